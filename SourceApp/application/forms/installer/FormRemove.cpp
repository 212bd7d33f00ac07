#include "SourceApp/application/forms/installer/FormRemove.h"

#include "Libraries/base/i18n.h"
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/Checkbox.h"
#include "SourceApp/application/controls/Icon.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/TextFrame.h"
#include "SourceApp/application/forms/installer/InstallerValues.h"
#include "SourceApp/application/forms/installer/InstallerWidgets.h"
#include "SourceApp/gui/bif/bif.h"
#include "SourceApp/gui/core/ICommand.h"
#include "SourceApp/gui/core/layout/GridContainer.h"
#include "SourceApp/storage/ProxyObject.h"
#include "SourceApp/storage/ProxyStructure.h"

#include <algorithm>

namespace tdx {

using namespace installer;

namespace {

constexpr state_id_t PROCESS_STATE_ID = 50;
constexpr unsigned COMPONENT_SPACING = 9;

constexpr MenuLink REMOVE_LINKS[] = {
    {N_("Global component"), 46},
    {N_("Component associated to a room"), 47},
    {N_("Room and associated components"), 48},
};

void handOver(VexalForm& form, std::vector<uint32_t> ids) {
    form.changeState(SingleParamState<std::vector<uint32_t>>(PROCESS_STATE_ID, 0, 0, 0, 0, std::move(ids)));
}

} // namespace

std::vector<ProxyObject*> installationRooms() {
    std::vector<ProxyObject*> rooms;
    for (ProxyObject* object : Structure) {
        if (!object->type().is(BT_OBJ_DEVICE)) {
            continue;
        }
        for (ProxyObject* child : children(*object)) {
            if (child->type().is(BT_OBJ_ROOM)) {
                rooms.push_back(child);
            }
        }
    }
    return rooms;
}

// ---- 45 ----

FormRemoveComponent::FormRemoveComponent(const State& state)
    : VexalStackedContentForm(state) {
    setName("FormRemoveComponent");
    setHelp(gettext("Remove Component"));
    buildMenu(getContent(), N_("System | Remove component"),
              N_("Select what kind of component would you like to remove from the system."), REMOVE_LINKS,
              std::size(REMOVE_LINKS));
}

FormRemoveComponent::~FormRemoveComponent() = default;

// ---- the choice of components ----

RemoveChoiceForm::RemoveChoiceForm(const State& state, const char* name)
    : VexalWizardForm(state, false) {
    setName(name);
}

RemoveChoiceForm::~RemoveChoiceForm() = default;

void RemoveChoiceForm::updateChecked() {
    setNextEnabled(
        std::any_of(mChecks.begin(), mChecks.end(), [](const Checkbox* c) { return c->getChecked(); }));
}

void RemoveChoiceForm::handleMessage(Message* message) {
    const Message m = *message;
    VexalWizardForm::handleMessage(message);
    if (m.isClick(mNextButton)) {
        std::vector<uint32_t> ids;
        for (const Checkbox* check : mChecks) {
            if (check->getChecked()) {
                ids.push_back(check->tag);
            }
        }
        handOver(*this, std::move(ids));
    } else if (m.id == MSG_CHANGE) {
        updateChecked();
    }
}

// ---- 46 ----

FormRemoveFromLocation::FormRemoveFromLocation(const State& state)
    : RemoveChoiceForm(state, "FormRemoveFromLocation") {
    setHelp(gettext("Remove Component"));
    buildStep(
        *this, N_("Remove global component"),
        N_("Select at least one global component to be removed from the system and continue by pressing "
           "\"Remove\" button."));
    const std::vector<uint32_t> ids = Structure.find(OID_LOCATION) != nullptr
                                          ? readIds(OID_LOCATION, VID_GLOBAL_COMPONENTS)
                                          : std::vector<uint32_t>{};
    for (const uint32_t id : ids) {
        auto* check =
            new CheckButton(getContent(), 0, 0, ROW_WIDTH, ROW_HEIGHT, componentLabel(id, N_(", S/N ")));
        // The control unit removes devices: their address names them.
        check->tag = id & ADDRESS_MASK;
        mChecks.push_back(check);
    }
    mNote = buildNote(getContent(), N_("There are no global components enrolled"), VexalForm::WARNING_COLOR);
    mNote->setVisible(mChecks.empty());
    mNextButton->setText(gettext("Remove"));
    setNextEnabled(false);
    getContent()->fitToContent();
}

FormRemoveFromLocation::~FormRemoveFromLocation() = default;

// ---- 47 ----

FormRemoveFromExisting::FormRemoveFromExisting(const State& state)
    : RemoveChoiceForm(state, "FormRemoveFromExisting") {
    setHelp(gettext("Remove From Existing"));
    buildStep(*this, N_("Remove component associated to a room"),
              N_("Select at least one component you want to remove from a room and press \"Next\"."));
    const std::vector<ProxyObject*> rooms = installationRooms();
    for (ProxyObject* room : rooms) {
        addRoom(*room);
    }
    mNote = buildNote(getContent(), N_("There are no rooms at this moment"), colour::DISABLED);
    mNote->setVisible(rooms.empty());
    setNextEnabled(false);
    updateChecked();
    getContent()->fitToContent();
}

FormRemoveFromExisting::~FormRemoveFromExisting() = default;

void FormRemoveFromExisting::addRoom(ProxyObject& room) {
    if (!room.type().is(BT_OBJ_ROOM)) {
        return;
    }
    const std::vector<uint32_t> ids = readIds(room.oid(), VID_ROOM_COMPONENTS);
    if (ids.empty()) {
        return;
    }
    StackedContainer* rows = buildSection(getContent(), nameOf(room), COMPONENT_SPACING);
    for (const uint32_t id : ids) {
        auto* check = new CheckButton(rows, 0, 0, ROW_WIDTH - SECTION_INDENT, ROW_HEIGHT,
                                      componentLabel(id, N_(", S/N: ")));
        check->tag = id & ADDRESS_MASK;
        mChecks.push_back(check);
    }
    rows->fitToContent();
}

// ---- 48 ----

class FormRemoveRoom::OnItemSelected : public ICommand {
public:
    explicit OnItemSelected(FormRemoveRoom& form)
        : mForm(form) {}
    void execute() override { mForm.setNextEnabled(mForm.mRooms.hasSelected()); }

private:
    FormRemoveRoom& mForm;
};

FormRemoveRoom::FormRemoveRoom(const State& state)
    : VexalWizardForm(state, false) {
    setName("FormRemoveRoom");
    setHelp(gettext("Remove Room"));
    buildStep(*this, N_("Remove room and associated components"),
              N_("Select room you want to remove from the system and press \"Remove\"."));
    mGrid = buildGrid(getContent());
    const std::vector<ProxyObject*> rooms = installationRooms();
    for (ProxyObject* room : rooms) {
        addRoom(*room);
    }
    mGrid->fitToContent();
    mRooms.setItemSelectedCommand(std::make_unique<OnItemSelected>(*this));
    mNote = buildNote(getContent(), N_("There are no rooms at this moment"), colour::DISABLED);
    mNote->setVisible(rooms.empty());
    mNextButton->setText(gettext("Remove"));
    setNextEnabled(false);
    getContent()->fitToContent();
}

FormRemoveRoom::~FormRemoveRoom() = default;

void FormRemoveRoom::addRoom(ProxyObject& room) {
    if (!room.type().is(BT_OBJ_ROOM)) {
        return;
    }
    auto* check = new CheckButton(mGrid, 0, 0, CHECK_WIDTH, ROW_HEIGHT, nameOf(room));
    // The whole object id: a room is an object of its device, not a device.
    check->tag = room.oid();
    mRooms.append(check);
}

void FormRemoveRoom::handleMessage(Message* message) {
    const Message m = *message;
    VexalWizardForm::handleMessage(message);
    if (m.isClick(mNextButton) && mRooms.hasSelected()) {
        handOver(*this, {mRooms.getSelected()->tag});
    }
}

// ---- 49 ----

FormRemoveLocation::FormRemoveLocation(const State& state)
    : VexalWizardForm(state, false) {
    setName("FormRemoveLocation");
    setHelp(gettext("Remove Location"));
    buildStep(*this, N_("Remove all rooms"), nullptr);
    installer::buildWarning(getContent(),
                            gettext("You are about to remove all rooms and their associated components."));
    new TextFrame(getContent(), 5, 0, ROW_WIDTH - 5, 0, &bif_myriad12,
                  gettext("If you are sure, continue by pressing \"Remove\" button."));
    mNextButton->setText(gettext("Remove"));
    getContent()->fitToContent();
}

FormRemoveLocation::~FormRemoveLocation() = default;

void FormRemoveLocation::handleMessage(Message* message) {
    const Message m = *message;
    VexalWizardForm::handleMessage(message);
    if (m.isClick(mNextButton)) {
        handOver(*this, {OID_LOCATION});
    }
}

} // namespace tdx
