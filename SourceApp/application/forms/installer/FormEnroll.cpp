#include "SourceApp/application/forms/installer/FormEnroll.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/i18n.h"
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/Checkbox.h"
#include "SourceApp/application/controls/DropdownButton.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/SerialNumberEditor.h"
#include "SourceApp/application/controls/TextFrame.h"
#include "SourceApp/application/forms/installer/InstallerValues.h"
#include "SourceApp/application/forms/installer/InstallerWidgets.h"
#include "SourceApp/application/forms/installer/RequestProcessForm.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/gui/bif/bif.h"
#include "SourceApp/gui/core/ICommand.h"
#include "SourceApp/gui/core/layout/GridContainer.h"
#include "SourceApp/gui/core/layout/Viewport.h"
#include "SourceApp/storage/ProxyObject.h"
#include "SourceApp/storage/ProxyStructure.h"

#include <algorithm>

namespace tdx {

using namespace installer;

namespace {

constexpr state_id_t SERIAL_STATE_ID = 43;
constexpr state_id_t PROCESS_STATE_ID = 44;
constexpr int SERIAL_HEADING_HEIGHT = 16;
constexpr unsigned SERIAL_SPACING = 4;
constexpr const char* PREFIX = "1530-";

constexpr MenuLink ENROL_LINKS[] = {
    {N_("Global component"), 41},
    {N_("Component to a new room"), 40},
    {N_("Component to an existing room"), 42},
};

bool isFreeThermohead(const ProxyObject& object) {
    return object.type().is(BT_OBJ_OUTPUT, 6) || object.type().is(BT_OBJ_OUTPUT, 0);
}

// An output whose use value holds anything is taken by a function or a room.
bool isTaken(const ProxyObject& output) {
    uint8_t use[8];
    return output.getData(use, sizeof use, VID_OUTPUT_USE) > 0;
}

} // namespace

// ---- 39 ----

FormEnrollComponent::FormEnrollComponent(const State& state)
    : VexalStackedContentForm(state) {
    setName("FormEnrollComponent");
    setHelp(gettext("Enroll Component"));
    buildMenu(getContent(), N_("System | Enroll component"),
              N_("Select what kind of component would you like to learn into the system."), ENROL_LINKS,
              std::size(ENROL_LINKS));
}

FormEnrollComponent::~FormEnrollComponent() = default;

// ---- the learn list ----

LearnListForm::LearnListForm(const State& state, const char* name)
    : VexalWizardForm(state, false) {
    setName(name);
}

LearnListForm::~LearnListForm() {
    // The screen left is destroyed before the next is built: a later step's write is never undone here.
    if (mClear && Structure.find(OID_LOCATION) != nullptr) {
        withdraw(OID_LOCATION, VID_LEARN_LIST);
    }
}

const std::vector<uint32_t>& LearnListForm::publish(const std::vector<uint32_t>& ids) {
    mIds = distinctIds(ids);
    if (mIds.empty()) {
        withdraw(OID_LOCATION, VID_LEARN_LIST);
    } else {
        writeIds(OID_LOCATION, VID_LEARN_LIST, mIds);
    }
    return mIds;
}

void LearnListForm::handOn() {
    mClear = false;
    changeState(SingleParamState<std::vector<uint32_t>>(SERIAL_STATE_ID, 0, 0, 0, 0, mIds));
}

// ---- 40 ----

FormEnrollIntoNew::FormEnrollIntoNew(const State& state)
    : LearnListForm(state, "FormEnrollIntoNew") {
    setHelp(gettext("Enroll Into New"));
    buildStep(
        *this, N_("Enroll component into new room"),
        N_("Select at least one available output you want to create a new room from and press \"Next\"."));
    std::vector<uint32_t> devices;
    if (const uint32_t cu = controlUnit(); cu != NO_ID && Structure.find(cu) != nullptr) {
        devices.push_back(cu);
    }
    for (const uint32_t id : readIds(OID_LOCATION, VID_GLOBAL_COMPONENTS)) {
        // The control unit may list itself among the global components: one section per device.
        if (Structure.find(id) != nullptr && std::find(devices.begin(), devices.end(), id) == devices.end()) {
            devices.push_back(id);
        }
    }
    for (const uint32_t id : devices) {
        addDevice(*Structure.find(id));
    }
    setNextEnabled(false);
    updateChecked();
    getContent()->fitToContent();
}

FormEnrollIntoNew::~FormEnrollIntoNew() = default;

void FormEnrollIntoNew::addDevice(ProxyObject& device) {
    GridContainer* grid = nullptr;
    for (ProxyObject* output : children(device)) {
        if (!isFreeThermohead(*output)) {
            continue;
        }
        if (grid == nullptr) {
            auto* header = new DropdownButton(getContent(), 0, 0, ROW_WIDTH, ROW_HEIGHT, nameOf(device));
            grid = buildGrid(getContent());
            grid->setVisible(false);
            header->setCollapsibleContent(grid);
        }
        auto* check = new CheckButton(grid, 0, 0, CHECK_WIDTH, ROW_HEIGHT, nameOf(*output));
        check->tag = output->oid();
        check->setEnabled(!isTaken(*output));
        mChecks.push_back(check);
    }
    if (grid != nullptr) {
        grid->fitToContent();
    }
}

void FormEnrollIntoNew::updateChecked() {
    std::vector<uint32_t> ids;
    for (const Checkbox* check : mChecks) {
        if (check->getChecked()) {
            ids.push_back(check->tag);
        }
    }
    setNextEnabled(!publish(ids).empty());
}

void FormEnrollIntoNew::handleMessage(Message* message) {
    const Message m = *message;
    VexalWizardForm::handleMessage(message);
    if (m.isClick(mNextButton)) {
        handOn();
    } else if (m.id == MSG_CHANGE) {
        updateChecked();
    }
}

// ---- 41 ----

FormEnrollIntoLocation::FormEnrollIntoLocation(const State& state)
    : LearnListForm(state, "FormEnrollIntoLocation") {
    setHelp(gettext("Enroll Into Location"));
    buildStep(
        *this, N_("Enroll global component"),
        N_("Global component will be learned into the system. These are for example:\n- Expansion unit\n- "
           "Outdoor temperature sensor\n\nContinue by pressing \"Next\" button."));
    // Without the control unit's address there is nothing to enrol into: no marker goes out as an id.
    const uint32_t cu = controlUnit();
    if (cu != NO_ID) {
        publish({cu});
    } else {
        dbg_printf_h("FormEnrollIntoLocation: the control unit's address is unknown");
    }
    setNextEnabled(cu != NO_ID);
    getContent()->fitToContent();
}

FormEnrollIntoLocation::~FormEnrollIntoLocation() = default;

void FormEnrollIntoLocation::handleMessage(Message* message) {
    const Message m = *message;
    VexalWizardForm::handleMessage(message);
    if (!m.isClick(mNextButton)) {
        return;
    }
    // The component goes to the control unit the location names now, which the next step writes as the list.
    const uint32_t cu = controlUnit();
    if (cu == NO_ID) {
        dbg_printf_h("FormEnrollIntoLocation: the control unit's address is gone, nothing handed on");
        setNextEnabled(false);
        return;
    }
    mIds = {cu};
    handOn();
}

// ---- 42 ----

class FormEnrollIntoExisting::OnItemSelected : public ICommand {
public:
    explicit OnItemSelected(FormEnrollIntoExisting& form)
        : mForm(form) {}
    void execute() override { mForm.selectionChanged(); }

private:
    FormEnrollIntoExisting& mForm;
};

FormEnrollIntoExisting::FormEnrollIntoExisting(const State& state)
    : LearnListForm(state, "FormEnrollIntoExisting") {
    setHelp(gettext("Enroll Into Existing"));
    buildStep(*this, N_("Enroll component into existing room"),
              N_("Select room you want to learn the thermostat into and press \"Next\"."));
    mGrid = buildGrid(getContent());
    bool any = false;
    for (ProxyObject* object : Structure) {
        if (!object->type().is(BT_OBJ_DEVICE)) {
            continue;
        }
        for (ProxyObject* child : children(*object)) {
            if (child->type().is(BT_OBJ_ROOM)) {
                addRoom(*child);
                any = true;
            }
        }
    }
    mGrid->fitToContent();
    mNote = buildNote(getContent(), N_("There are no rooms at this moment"), colour::DISABLED);
    mNote->setVisible(!any);
    mRooms.setItemSelectedCommand(std::make_unique<OnItemSelected>(*this));
    setNextEnabled(false);
    selectionChanged();
    getContent()->fitToContent();
}

FormEnrollIntoExisting::~FormEnrollIntoExisting() = default;

void FormEnrollIntoExisting::addRoom(ProxyObject& room) {
    if (!room.type().is(BT_OBJ_ROOM)) {
        return;
    }
    auto* check = new CheckButton(mGrid, 0, 0, CHECK_WIDTH, ROW_HEIGHT, nameOf(room));
    check->tag = room.oid();
    mRooms.append(check);
}

void FormEnrollIntoExisting::selectionChanged() {
    const Checkbox* selected = mRooms.getSelected();
    publish(selected != nullptr ? std::vector<uint32_t>{selected->tag} : std::vector<uint32_t>{});
    setNextEnabled(selected != nullptr);
}

void FormEnrollIntoExisting::handleMessage(Message* message) {
    const Message m = *message;
    VexalWizardForm::handleMessage(message);
    if (m.isClick(mNextButton) && mRooms.hasSelected()) {
        handOn();
    }
}

// ---- 43 ----

FormEnrollEnterSerial::FormEnrollEnterSerial(const State& state)
    : LearnListForm(state, "FormEnrollEnterSerial") {
    setHelp(gettext("Enroll Into Existing"));
    StackedContainer* content = getContent();
    // Closer than the other pages: the editor with every key fits under the explanation, so the user types
    // at once without scrolling.
    content->setSpacing(SERIAL_SPACING);
    const int width = content->getWidth();
    // The editor's keys reach the scroll bar: the page is as wide as they are.
    mViewport->setDimensions(SerialNumberEditor::WIDTH, mViewport->getHeight());
    content->setDimensions(SerialNumberEditor::WIDTH, content->getHeight());
    new ContainedLabel(content, 0, 0, width, SERIAL_HEADING_HEIGHT, &bif_myriad14,
                       gettext("Enter component's serial number"));
    new TextFrame(content, 0, 0, width, 0, &bif_myriad12,
                  gettext("Serial number is on the back side (expansion unit) or under battery cover "
                          "(thermostats). It looks like this:"));
    new SerialNumberSticker(content, 0, 0);
    mEditor = new SerialNumberEditor(content, 0, 0);
    // Word-wrapped: the hint is longer than a line in some languages.
    mHint = new TextFrame(content, 0, 0, width, 0, &bif_myriad12,
                          gettext("Serial number must be in format 1530-XX-XXXX-XXXX"), VerticalAlign::Top,
                          FAILURE_COLOUR);
    mHint->setVisible(false);
    setNextEnabled(false);
    // The list as the target screen handed it on; a state without one asks for nothing.
    const std::vector<uint32_t> ids = distinctIds(handedIds(state));
    if (!ids.empty()) {
        publish(ids);
    }
    content->fitToContent();
}

FormEnrollEnterSerial::~FormEnrollEnterSerial() = default;

bool FormEnrollEnterSerial::isEntryValid() const {
    // The prefix names the kind of device: a number with another prefix belongs to another kind, which this
    // installation cannot enrol.
    return mEditor->isValid() && mEditor->getText().starts_with(PREFIX);
}

void FormEnrollEnterSerial::handleMessage(Message* message) {
    const Message m = *message;
    VexalWizardForm::handleMessage(message);
    if (m.is(MSG_CHANGE, mEditor)) {
        // Decided on the entry as it is now, not on the hint's last state: keys typed faster than their
        // messages are handled still end with Next enabled.
        const bool valid = isEntryValid();
        if (mHint->isVisible() == valid) {
            mHint->setVisible(!valid);
            getContent()->fitToContent();
        }
        setNextEnabled(valid);
    } else if (m.isClick(mNextButton) && isEntryValid()) {
        mClear = false;
        changeState(
            SingleParamState<std::vector<uint32_t>>(PROCESS_STATE_ID, mEditor->getSerial(), 0, 0, 0, mIds));
    } else if (m.isClick(mBackButton)) {
        mClear = false;
    }
}

} // namespace tdx
