#include "SourceApp/application/forms/room/FormRoomSettings.h"

#include "SourceApp/application/forms/room/ScreenTitle.h"

#include "Libraries/base/fmt.h"
#include "SourceApp/application/commands/DropdownToggleVisibilityItemClickHandler.h"
#include "SourceApp/application/commands/bindings/ProxyEditorHandlers.h"
#include "SourceApp/application/commands/bindings/ProxySwitchButton.h"
#include "SourceApp/application/commands/bindings/ProxyUpDownRow.h"
#include "SourceApp/application/commands/bindings/RoomController.h"
#include "SourceApp/application/controls/DropdownButton.h"
#include "SourceApp/application/controls/DropdownMenu.h"
#include "SourceApp/application/controls/EditableDropdownRow.h"
#include "SourceApp/application/controls/EditableRow.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/TextFrame.h"
#include "SourceApp/application/controls/factories/ProxyDropdownFactory.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/storage/DataModel.h"
#include "SourceApp/storage/ProxyObject.h"

#include <memory>
#include <vector>

namespace tdx {

namespace {

constexpr vid_t VID_HUMIDITY_STATE = 0x001E;
constexpr vid_t VID_MODE_SWITCHING = 0x8076;
constexpr vid_t VID_FLOOR_TEMPERATURE = 0x000D;
constexpr int ROW_HEIGHT = 26;
constexpr unsigned NOTE_COLOUR = 0x808080;
constexpr const char* RECOMMENDATION =
    N_("We highly recommend not to change the settings below unless you are completely sure about the "
       "parameters.");

// A location value read once: anything unreadable counts as 0.
unsigned locationByte(vid_t vid) {
    return static_cast<unsigned>(pt_read_int(OID_LOCATION, vid).value_or(0)) & 0xFF;
}

const DataModel::ObjectTemplate* templateOf(oid_t oid) {
    const ProxyObject* object = Structure.find(oid);
    return object != nullptr ? object->getTemplate() : nullptr;
}

} // namespace

void FormRoomSettings::SetHumidityState::execute(DropdownItem* item) {
    if (item != nullptr && !mUpdating) {
        HumidityController(mRoom).setEnabled(static_cast<HumidityState>(item->getIndex()));
    }
}

FormRoomSettings::FormRoomSettings(const State& state)
    : VexalStackedContentForm(state)
    , mObjectGuard(state.getP1())
    , mRoomOid(state.getP1()) {
    setName("FormRoomSettings");
    setHelp(gettext("Room Edit"));
    const ProxyObject* room = Structure.find(mRoomOid);
    if (room == nullptr || !room->type().is(BT_OBJ_ROOM)) {
        backOrDefault();
        return;
    }
    std::string name;
    room->getText(name, VID_NAME);
    const unsigned season = locationByte(RoomController::VID_SEASON);
    const unsigned switching = locationByte(VID_MODE_SWITCHING);
    const bool floor = RoomController(mRoomOid).hasPeripheralWithValue(VID_FLOOR_TEMPERATURE);

    StackedContainer* content = getContent();
    const int width = content->getWidth();
    mTitle = add_screen_title(content, fmt_gettext("Room | %s | Settings", name));
    bind_name_row(new EditableStringRow(content, 0, 0, width, gettext("Name"), name), *room);
    if (const auto* lock = room->getTemplate() != nullptr
                               ? room->getTemplate()->find<DataModel::EnumValue>(0x8008)
                               : nullptr) {
        ProxyDropdownFactory::create(content, lock->ovi(mRoomOid));
    }

    const Section winter = section(content, width, N_("Winter mode"));
    buildWinter(winter.content, floor);
    const Section summer = section(content, width, N_("Summer mode"), 0);
    buildSummer(summer.content, floor);
    const Section common = section(content, width, N_("Common settings & Limits"));
    buildCommon(common.content, floor);

    // With the season fixed, only its own section is offered, open.
    if (switching == 0) {
        winter.button->setEnabled(false);
        summer.button->setEnabled(false);
        if (season == 0) {
            winter.button->setCollapsed(true, false);
        } else if (season == 1) {
            summer.button->setCollapsed(true, false);
        }
    }
    content->fitToContent();
    Structure.addValueChangeHandler(this);
}

FormRoomSettings::~FormRoomSettings() {
    Structure.removeValueChangeHandler(this);
}

FormRoomSettings::Section FormRoomSettings::section(Container* parent, int width, const char* title,
                                                    int indent) {
    auto* button = new DropdownButton(parent, 0, 0, width, ROW_HEIGHT, gettext(title));
    StackedContainer* rows = StackedContainer::Builder{.parent = parent,
                                                       .x = indent,
                                                       .width = width - indent,
                                                       .fitHeight = true,
                                                       .direction = DIRECTION_VERTICAL,
                                                       .spacing = 5}
                                 .build();
    rows->setVisible(false);
    button->setCollapsibleContent(rows);
    return {button, rows};
}

Component* FormRoomSettings::upDown(Container* parent, int width, vid_t vid, const char* title) {
    const DataModel::ObjectTemplate* roomTemplate = templateOf(mRoomOid);
    const auto* value = roomTemplate != nullptr ? roomTemplate->find<DataModel::SignedValue>(vid) : nullptr;
    if (value == nullptr) {
        return nullptr;
    }
    return new ProxyUpDownRow(parent, 0, 0, width, ROW_HEIGHT, value->ovi(mRoomOid), getModel(),
                              title != nullptr ? gettext(title) : "");
}

void FormRoomSettings::heading(Container* parent, int width, const char* text) {
    new ContainedLabel(parent, 0, 0, width, ROW_HEIGHT, &bif_myriad12_bold, gettext(text));
}

void FormRoomSettings::note(Container* parent, int width, const char* text) {
    new TextFrame(parent, 0, 0, width, 0, &bif_myriad12, gettext(text), VerticalAlign::Top, NOTE_COLOUR);
}

void FormRoomSettings::buildWinter(Container* parent, bool floor) {
    const int width = parent->getWidth();
    for (vid_t vid : {0x801B, 0x801C, 0x801D}) {
        upDown(parent, width, vid);
    }
    const Section advanced = section(parent, width, N_("Advanced settings"));
    Container* rows = advanced.content;
    const int inner = rows->getWidth();
    note(rows, inner, RECOMMENDATION);
    upDown(rows, inner, 0x8022, floor ? N_("Air hysteresis regulation") : N_("Hysteresis regulation"));
    if (floor) {
        upDown(rows, inner, 0x8078);
    }
    upDown(rows, inner, 0x801F);
    upDown(rows, inner, 0x8021);
    const DataModel::ObjectTemplate* roomTemplate = templateOf(mRoomOid);
    if (floor && roomTemplate != nullptr) {
        if (const auto* source = roomTemplate->find<DataModel::EnumValue>(0x8014)) {
            ProxyDropdownFactory::create(rows, source->ovi(mRoomOid));
        }
    }
    if (const auto* adaptive =
            roomTemplate != nullptr ? roomTemplate->find<DataModel::UnsignedValue>(0x8016) : nullptr) {
        auto* row = new RowContainer(rows, 0, 0, inner, ROW_HEIGHT);
        row->setSpacing(0);
        new ContainedLabel(row, 9, 0, 166, ROW_HEIGHT, &bif_myriad12, gettext("Adaptive mode"));
        new ProxySwitchButton(row, 0, 2, adaptive->ovi(mRoomOid), pgettext("switch", "On"),
                              pgettext("switch", "Off"));
    }
    heading(rows, inner, floor ? N_("Air temperature settings range") : N_("Temperature settings range"));
    note(rows, inner, N_("These settings restricts range of user selected temperatures."));
    upDown(rows, inner, 0x8018);
    upDown(rows, inner, 0x8019);
    if (floor) {
        heading(rows, inner, N_("Floor limits"));
        for (vid_t vid : {0x8023, 0x8079, 0x8024, 0x8080, 0x8025, 0x8081}) {
            upDown(rows, inner, vid);
        }
    }
}

// The summer column spans the whole content; its rows stand at its left edge and keep the widths of the
// winter ones.
void FormRoomSettings::buildSummer(Container* parent, bool floor) {
    const int width = parent->getWidth() - SECTION_INDENT;
    for (vid_t vid : {0x802E, 0x802F, 0x8030}) {
        upDown(parent, width, vid);
    }
    const Section advanced = section(parent, width, N_("Advanced settings"));
    Container* rows = advanced.content;
    const int inner = rows->getWidth();
    note(rows, inner, RECOMMENDATION);
    for (vid_t vid : {0x8034, 0x8032, 0x8082}) {
        upDown(rows, inner, vid);
    }
    heading(rows, inner, floor ? N_("Air temperature settings range") : N_("Temperature settings range"));
    note(rows, inner, N_("These settings limits range of user selected temperatures."));
    upDown(rows, inner, 0x802B);
    upDown(rows, inner, 0x802C);
}

void FormRoomSettings::buildCommon(Container* parent, bool floor) {
    const int width = parent->getWidth();
    const std::vector<DropdownItem*> choices = {new DropdownItemImpl(gettext("Display only"), 0),
                                                new DropdownItemImpl(gettext("Dryer control"), 0)};
    // Wider where a choice would not read whole in the usual list.
    mHumidityRow = new EditableDropdownRow(parent, 0, 0, width, gettext("Humidity sensor"),
                                           DropdownMenu::widthToHold(choices, 81));
    mHumidityRow->addItems(choices.cbegin(), choices.cend());
    auto handler = std::make_unique<DropdownToggleVisibilityItemClickHandler>(
        mHumidityRow, std::make_unique<SetHumidityState>(mRoomOid, mUpdating));
    for (vid_t vid : {0x803A, 0x803B}) {
        if (Component* row = upDown(parent, width, vid)) {
            handler->add(row, HumidityDryerControl);
        }
    }
    mHumidityRow->setOnItemClickCommand(std::move(handler));
    updateHumidityState();

    heading(parent, width, floor ? N_("Air temperature alarm limits") : N_("Temperature alarm limits"));
    upDown(parent, width, 0x8010);
    upDown(parent, width, 0x8011);
    if (floor) {
        heading(parent, width, N_("Floor temperature alarm limits"));
        upDown(parent, width, 0x80F3);
        upDown(parent, width, 0x80F4);
    }
}

void FormRoomSettings::updateHumidityState() {
    mUpdating = true;
    mHumidityRow->setSelectedItem(HumidityController(mRoomOid).isEnabled() ? HumidityDryerControl
                                                                           : HumidityDisplayOnly);
    mUpdating = false;
}

void FormRoomSettings::handleProxyValueChange(ProxyObject& object, const OviEx& change) {
    if (object.oid() != mRoomOid) {
        return;
    }
    if (change.vid == VID_HUMIDITY_STATE) {
        updateHumidityState();
    } else if (change.vid == VID_NAME) {
        // The new name heads the screen at once, as it does on the home screen and the room's tile.
        std::string name;
        object.getText(name, VID_NAME);
        set_screen_title(mTitle, fmt_gettext("Room | %s | Settings", name));
    }
}

} // namespace tdx
