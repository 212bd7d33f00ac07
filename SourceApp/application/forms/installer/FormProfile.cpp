#include "SourceApp/application/forms/installer/FormProfile.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/fmt.h"
#include "Libraries/base/i18n.h"
#include "SourceApp/application/commands/ChangeStateCommand.h"
#include "SourceApp/application/commands/bindings/ProxyEditorHandlers.h"
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/Checkbox.h"
#include "SourceApp/application/controls/EditableDropdownRow.h"
#include "SourceApp/application/controls/EditableRow.h"
#include "SourceApp/application/controls/Icon.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/NavigationLink.h"
#include "SourceApp/application/controls/Popup.h"
#include "SourceApp/application/controls/SwitchButton.h"
#include "SourceApp/application/controls/TextFrame.h"
#include "SourceApp/application/controls/factories/ProxyDropdownFactory.h"
#include "SourceApp/application/forms/installer/InstallerValues.h"
#include "SourceApp/application/forms/installer/InstallerWidgets.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/gui/bif/bif.h"
#include "SourceApp/gui/core/layout/Viewport.h"
#include "SourceApp/storage/DataModel.h"
#include "SourceApp/storage/ProxyObject.h"
#include "SourceApp/storage/ProxyStructure.h"

#include <algorithm>

namespace tdx {

using namespace installer;

namespace {

constexpr state_id_t CHANGE_STATE_ID = 52;
constexpr state_id_t PROCESS_STATE_ID = 53;
constexpr state_id_t ENROL_GLOBAL_STATE_ID = 41;
constexpr state_id_t OUTDOOR_STATE_ID = 55;
constexpr state_id_t CONFIGURATION_STATE_ID = 54;
constexpr state_id_t RELAYS_STATE_ID = 56;
constexpr state_id_t RELAY_EDIT_STATE_ID = 57;
constexpr state_id_t OBJECT_EDIT_STATE_ID = 70;
constexpr state_id_t ANALOG_EDIT_STATE_ID = 69;
constexpr vid_t VID_RELAY_FUNCTION = 0x80E7;
constexpr int TITLE_HEIGHT = 12;
constexpr int LINK_WIDTH = ROW_WIDTH - SECTION_INDENT;
constexpr unsigned LINK_SPACING = 5;
constexpr int SWITCH_LABEL_WIDTH = 186;

// A long breadcrumb is shown whole in the smaller font rather than cut short.
void title(StackedContainer* content, const std::string& text) {
    const int width = content->getWidth();
    Font* font = bif_text_width(bif_myriad12.getFont(), text) <= width ? &bif_myriad12 : &bif_myriad10;
    new ContainedLabel(content, 0, 0, width, TITLE_HEIGHT, font, text, HorizontalAlign::Center);
}

constexpr int CAPTION_INSET = 9;

// The current profile's name in its 122 columns, a few in from their edge: two lines of the usual font where
// they hold it, else the smaller font, and its lines broken evenly, so that no short word ("ITC") is left
// alone on the last one. The longer names take more lines rather than being cut.
TextFrame* profileName(Container* row, const std::string& text) {
    constexpr int COLUMN = 122;
    constexpr int INSET = 4;
    constexpr int ROOM = COLUMN - INSET;
    Font* font = bif_count_lines(bif_myriad12.getFont(), text, ROOM) <= 2 ? &bif_myriad12 : &bif_myriad10;
    const bif_t* glyphs = font->getFont();
    const int lines = bif_count_lines(glyphs, text, ROOM);
    int width = ROOM;
    while (width > 1 && bif_count_lines(glyphs, text, width - 1) == lines) {
        --width;
    }
    return new TextFrame(row, INSET, 0, width, 0, font, text, VerticalAlign::Middle);
}

NavigationLink* link(Container* parent, const std::string& text, int width) {
    return NavigationLink::Builder{.parent = parent,
                                   .width = width,
                                   .height = ROW_HEIGHT,
                                   .text = text,
                                   .buttonIcon = {res_arrow_right_double, 0, 0}}
        .build();
}

// The number read when it is valid; NO_ID otherwise.
uint32_t readNumber(vid_t vid) {
    return static_cast<uint32_t>(pt_read_int(OID_LOCATION, vid).value_or(static_cast<int>(NO_ID)));
}

struct Kind {
    const char* heading;
    uint8_t type;
    uint8_t subtype;
    unsigned state;
};
constexpr Kind KINDS[] = {
    {N_("Sensors"), BT_OBJ_INPUT, 0, OBJECT_EDIT_STATE_ID},
    {N_("Servos"), BT_OBJ_OUTPUT, 5, OBJECT_EDIT_STATE_ID},
    {N_("Voltage free relays"), BT_OBJ_OUTPUT, 4, OBJECT_EDIT_STATE_ID},
    {N_("Relays"), BT_OBJ_OUTPUT, 1, OBJECT_EDIT_STATE_ID},
    {N_("Analog outputs"), BT_OBJ_OUTPUT, 2, ANALOG_EDIT_STATE_ID},
};

} // namespace

const HwProfile::IProfile* currentProfile() {
    const std::optional<int> value = pt_read_int(OID_LOCATION, VID_PROFILE);
    if (!value) {
        return nullptr;
    }
    const uint32_t id = static_cast<uint32_t>(*value) & 0xFF;
    for (const HwProfile::IProfile* profile : HMU316::Device()) {
        if (profile->getId() == id) {
            return profile;
        }
    }
    return nullptr;
}

// ---- 51 ----

FormProfile::FormProfile(const State& state)
    : VexalStackedContentForm(state) {
    setName("FormProfile");
    StackedContainer* content = getContent();
    title(content, gettext("System | Hardware profile"));
    const HwProfile::IProfile* profile = currentProfile();
    auto* row = new RowContainer(content, 0, 0, ROW_WIDTH, ROW_HEIGHT);
    // Inset as every row's caption: 9 + 145 + 1 + 122 fills the row.
    auto* caption =
        new ContainedLabel(row, CAPTION_INSET, 0, 145, ROW_HEIGHT, &bif_myriad12, gettext("Current profile"));
    // Translated as the list of profiles to change to shows it.
    TextFrame* name = profileName(row, profile != nullptr ? gettext(profile->getName()) : gettext("Unknown"));
    const int height = std::max(ROW_HEIGHT, name->getHeight() + 6);
    name->setDimensions(name->getWidth(), height);
    caption->setDimensions(caption->getWidth(), height);
    row->setDimensions(ROW_WIDTH, height);
    const struct {
        const char* text;
        unsigned state;
    } links[] = {
        {N_("Change profile"), CHANGE_STATE_ID},
        {N_("Enroll global component"), ENROL_GLOBAL_STATE_ID},
        {N_("Set outdoor temperature source"), OUTDOOR_STATE_ID},
        {N_("Configure required inputs and outputs"), CONFIGURATION_STATE_ID},
        {N_("Configure unused relays"), RELAYS_STATE_ID},
    };
    for (const auto& l : links) {
        NavigationLink* made = link(content, gettext(l.text), ROW_WIDTH);
        if (l.state == ENROL_GLOBAL_STATE_ID) {
            made->setClickCommand(std::make_unique<ChangeStateCommand>(l.state));
        } else {
            made->setPressCommand(std::make_unique<ChangeStateCommand>(l.state));
        }
        if (l.state == CONFIGURATION_STATE_ID) {
            made->setEnabled(profile != nullptr);
        }
    }
    content->fitToContent();
}

FormProfile::~FormProfile() = default;

// ---- 52 ----

FormProfileChange::FormProfileChange(const State& state)
    : VexalWizardForm(state, false) {
    setName("FormProfileChange");
    StackedContainer* content = getContent();
    content->setSpacing(9);
    title(content, gettext("System | Hardware profile | Change"));
    new TextFrame(content, 0, 0, ROW_WIDTH, 0, &bif_myriad12,
                  gettext("Make sure that the system is in idle state, all servos are closed and pumps are "
                          "stopped.\n\nSelect new profile and continue by pressing \"Next\" button."));
    installer::buildWarning(
        content, gettext("System configuration will be lost, all components unrolled and rooms removed"));
    const HwProfile::IProfile* current = currentProfile();
    uint8_t index = 0;
    for (const HwProfile::IProfile* profile : HMU316::Device()) {
        auto* check = new CheckButton(content, 0, 0, ROW_WIDTH, ROW_HEIGHT, gettext(profile->getName()));
        check->tag = profile->getId();
        mProfiles.append(check);
        if (profile == current) {
            check->setEnabled(false);
            mProfiles.setSelected(index);
        }
        ++index;
    }
    setNextEnabled(false);
    content->fitToContent();
}

FormProfileChange::~FormProfileChange() = default;

void FormProfileChange::handleMessage(Message* message) {
    const Message m = *message;
    VexalWizardForm::handleMessage(message);
    if (m.id == MSG_CHANGE) {
        if (const Checkbox* selected = mProfiles.getSelected();
            selected != nullptr && selected->isEnabled()) {
            setNextEnabled(true);
        }
    } else if (m.isPress(mNextButton)) {
        mConfirming =
            Popup::create(gettext("Caution"), gettext("Confirm profile change"),
                          gettext("Configuration will be lost and all components unrolled. System will "
                                  "reset afterwards."),
                          PopupButtons::OkCancel) != nullptr;
    } else if (m.id == MSG_POPUP_RESULT && mConfirming) {
        // Only the answer to this screen's own question counts.
        mConfirming = false;
        const Checkbox* selected = mProfiles.getSelected();
        if (static_cast<uint8_t>(m.p1) == Popup::RESULT_OK && selected != nullptr && selected->isEnabled()) {
            changeState(PROCESS_STATE_ID, static_cast<int>(selected->tag), 0, 0, 0);
        }
    }
}

// ---- 54 ----

FormProfileConfiguration::FormProfileConfiguration(const State& state)
    : VexalStackedContentForm(state) {
    setName("FormProfileConfiguration");
    title(getContent(), gettext("System | Hardware profile | Configuration"));
    createProfileUI(currentProfile());
    getContent()->fitToContent();
}

FormProfileConfiguration::~FormProfileConfiguration() = default;

void FormProfileConfiguration::createProfileUI(const HwProfile::IProfile* /*profile*/) {
    // What the profile requires is what the control unit made of it: the objects of each kind in the tree.
    for (const Kind& kind : KINDS) {
        StackedContainer* rows = nullptr;
        for (ProxyObject* object : Structure) {
            if (object->type() != ObjectInfo(kind.type, kind.subtype)) {
                continue;
            }
            if (rows == nullptr) {
                rows = buildSection(getContent(), gettext(kind.heading), LINK_SPACING);
            }
            const std::string name = nameOf(*object);
            link(rows, name, LINK_WIDTH)
                ->setPressCommand(std::make_unique<ChangeStateCommand>(SingleParamState<std::string>(
                    kind.state, object->oid(), 0, 0, 0,
                    fmt_gettext("System | Hardware profile | Configuration | %s", name))));
        }
        if (rows != nullptr) {
            rows->fitToContent();
        }
    }
}

// ---- 55 ----

FormProfileOutdoorTemp::FormProfileOutdoorTemp(const State& state)
    : VexalStackedContentForm(state) {
    setName("FormProfileOutdoorTemp");
    StackedContainer* content = getContent();
    title(content, gettext("System | Hardware profile | Outdoor temperature source"));
    const uint32_t source = readNumber(VID_OUTDOOR_SOURCE);
    const uint32_t address = controlUnit();
    auto* row = new RowContainer(content, 0, 0, ROW_WIDTH, ROW_HEIGHT);
    row->setSpacing(0);
    new ContainedLabel(row, 0, 0, SWITCH_LABEL_WIDTH, ROW_HEIGHT, &bif_myriad12,
                       gettext("Use external sensor"));
    mSwitch = new SwitchButton(row, 0, (ROW_HEIGHT - SwitchButton::HEIGHT) / 2, pgettext("switch", "On"),
                               pgettext("switch", "Off"));
    mSwitch->setChecked(source != address);
    // Without the control unit's address the wired sensor cannot be chosen again.
    mSwitch->setEnabled(address != NO_ID);
    new TextFrame(
        content, 0, 0, ROW_WIDTH, 0, &bif_myriad12,
        gettext("Enable this option if you use external outdoor temperature sensor instead of wired "
                "sensor connected to T1."));
    content->fitToContent();
}

FormProfileOutdoorTemp::~FormProfileOutdoorTemp() = default;

void FormProfileOutdoorTemp::handleMessage(Message* message) {
    const Message m = *message;
    VexalStackedContentForm::handleMessage(message);
    if (!m.is(MSG_CHANGE, mSwitch)) {
        return;
    }
    const uint32_t source = readNumber(VID_OUTDOOR_SOURCE);
    const uint32_t address = controlUnit();
    const bool external = mSwitch->getChecked();
    if (external && source == address) {
        pt_set_int(OID_LOCATION, VID_OUTDOOR_SOURCE, 0, BT_VTYPE_U32);
    } else if (!external && source != address && address != NO_ID) {
        pt_set_int(OID_LOCATION, VID_OUTDOOR_SOURCE, static_cast<int>(address), BT_VTYPE_U32);
    }
}

// ---- 56 ----

FormProfileUserOutputs::FormProfileUserOutputs(const State& state)
    : VexalStackedContentForm(state) {
    setName("FormProfileUserOutputs");
    StackedContainer* content = getContent();
    title(content, gettext("System | Hardware profile | Relays"));
    bool any = false;
    const uint32_t address = controlUnit();
    if (ProxyObject* unit = address != NO_ID ? Structure.find(address) : nullptr) {
        any |= addDevice(*unit);
    }
    for (const uint32_t id : readIds(OID_LOCATION, VID_GLOBAL_COMPONENTS)) {
        // The control unit may list itself among the global components: its relays are shown once.
        if (ProxyObject* device = Structure.find(id); device != nullptr && id != address) {
            any |= addDevice(*device);
        }
    }
    if (!any) {
        new ContainedLabel(content, 0, 0, content->getWidth(), mViewport->getHeight() - 21, &bif_myriad12,
                           gettext("There are no items to be shown"), HorizontalAlign::Center);
    }
    content->fitToContent();
}

FormProfileUserOutputs::~FormProfileUserOutputs() = default;

bool FormProfileUserOutputs::addDevice(ProxyObject& device) {
    StackedContainer* rows = nullptr;
    for (ProxyObject* relay : children(device)) {
        if (!relay->type().is(BT_OBJ_OUTPUT, 7) && !relay->type().is(BT_OBJ_OUTPUT, 10)) {
            continue;
        }
        if (rows == nullptr) {
            rows = buildSection(getContent(), nameOf(device), LINK_SPACING);
        }
        link(rows, nameOf(*relay), LINK_WIDTH)
            ->setPressCommand(std::make_unique<ChangeStateCommand>(RELAY_EDIT_STATE_ID, relay->oid()));
    }
    if (rows == nullptr) {
        return false;
    }
    rows->fitToContent();
    return true;
}

// ---- 57 ----

FormProfileUserOutputEdit::FormProfileUserOutputEdit(const State& state)
    : VexalStackedContentForm(state) {
    setName("FormProfileUserOutputEdit");
    const ProxyObject* relay = Structure.find(state.getP1());
    if (relay == nullptr || !relay->type().is(BT_OBJ_OUTPUT)) {
        backOrDefault();
        return;
    }
    const std::string name = nameOf(*relay);
    StackedContainer* content = getContent();
    title(content, fmt_gettext("System | Hardware profile | Relays | %s", name));
    auto* nameRow = new EditableStringRow(content, 0, 0, content->getWidth(), gettext("Name"), name);
    const DataModel::ObjectTemplate* objectTemplate = relay->getTemplate();
    const auto* nameValue =
        objectTemplate != nullptr ? objectTemplate->find<DataModel::DataValue>(VID_NAME) : nullptr;
    if (nameValue != nullptr) {
        nameRow->setOnAcceptCommand(
            std::make_unique<ProxyStringEditorHandler>(nameRow, nameValue->ovi(relay->oid())));
    } else {
        nameRow->setEnabled(false);
    }
    const auto* function =
        objectTemplate != nullptr ? objectTemplate->find<DataModel::EnumValue>(VID_RELAY_FUNCTION) : nullptr;
    if (function != nullptr) {
        ProxyDropdownFactory::create(content, function->ovi(relay->oid()));
    } else {
        dbg_printf_h("FormProfileUserOutputEdit: output %08X has no function to choose", relay->oid());
    }
    content->fitToContent();
}

FormProfileUserOutputEdit::~FormProfileUserOutputEdit() = default;

} // namespace tdx
