#include "SourceApp/application/forms/installer/FormItcRooms.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/fmt.h"
#include "Libraries/base/i18n.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/TextFrame.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/gui/core/layout/GridContainer.h"
#include "SourceApp/storage/ProxyObject.h"
#include "SourceApp/storage/ProxyStructure.h"

namespace tdx {

namespace {

constexpr int ROW_PITCH = 35;
constexpr int BUTTON_WIDTH = 127;
constexpr int BUTTON_HEIGHT = 26;
constexpr int CONTENT_WIDTH = 277;
constexpr uint32_t NO_OWNER = 0xFFFFFFFFu;

} // namespace

FormItcRooms::RoomButton::RoomButton(FormItcRooms& form, Container* parent, const std::string& name,
                                     oid_t room)
    : CheckButton(parent, 0, 0, BUTTON_WIDTH, BUTTON_HEIGHT, name)
    , mForm(form)
    , mRoom(room) {
    setName("RoomButton");
}

void FormItcRooms::RoomButton::handleClick() {
    // The list holds 64 rooms: a tick that could not be stored is not shown either.
    if (!getChecked() && mForm.tickedRooms().isFull()) {
        dbg_printf_h("FormItcRooms: %06X:%02X not ticked, the list is full", oid_address(mRoom),
                     oid_index(mRoom));
        return;
    }
    CheckButton::handleClick();
    mForm.publishRoomList();
}

FormItcRooms::FormItcRooms(const State& state)
    : VexalStackedContentForm(state)
    , mFunction(state.getP1()) {
    setName("FormItcRooms");
    setHelp(gettext("Room assignment"));
    ProxyObject* function = Structure.find(mFunction);
    if (function == nullptr) {
        backOrDefault();
        return;
    }
    std::string name;
    function->getText(name, VID_NAME);
    const OidList current = oid_list_read(mFunction, VID_ROOMS);

    StackedContainer* content = getContent();
    new ContainedLabel(content, 0, 0, content->getWidth(), 12, &bif_myriad12,
                       fmt_gettext("Functions | %s | Rooms", name), HorizontalAlign::Center);
    new TextFrame(content, 0, 0, CONTENT_WIDTH, 0, &bif_myriad12,
                  gettext("Select rooms that are connected to the circuit."));
    mGrid = new GridContainer(content, 0, 0, ROW_PITCH);
    mGrid->addColumn(150);
    mGrid->addColumn(127);
    for (ProxyObject* object : Structure) {
        if (object->type().is(BT_OBJ_ROOM)) {
            addRoom(*object, current);
        }
    }
    mGrid->fitToContent();
    content->fitToContent();
}

FormItcRooms::~FormItcRooms() = default;

void FormItcRooms::addRoom(ProxyObject& room, const OidList& current) {
    std::string name;
    room.getText(name, VID_NAME);
    int owner = 0;
    const uint32_t servedBy = pt_get_int(&owner, room.oid(), VID_SERVING_FUNCTION) == PT_OK
                                  ? static_cast<uint32_t>(owner)
                                  : NO_OWNER;
    // A function that the installation does not hold serves no room: the room is free to assign.
    const bool servedElsewhere =
        servedBy != NO_OWNER && servedBy != mFunction && Structure.find(servedBy) != nullptr;
    auto* button = new RoomButton(*this, mGrid, name, room.oid());
    if (servedElsewhere) {
        button->setEnabled(false);
    } else if (current.contains(room.oid()) && !tickedRooms().isFull()) {
        // Showing the stored ticks writes nothing, even where the stored list holds ids that no tick shows:
        // opening a screen changes nothing on the unit, only the installer's tick does.
        button->setChecked(true);
    }
    mButtons.push_back(button);
}

OidList FormItcRooms::tickedRooms() const {
    OidList rooms;
    for (const RoomButton* button : mButtons) {
        if (button->isEnabled() && button->getChecked()) {
            rooms.add(button->getRoom());
        }
    }
    return rooms;
}

void FormItcRooms::publishRoomList() {
    if (Structure.find(mFunction) == nullptr) {
        return;
    }
    const OidList ticked = tickedRooms();
    if (oid_list_same_members(ticked, oid_list_read(mFunction, VID_ROOMS))) {
        return;
    }
    if (const int result = oid_list_write(mFunction, VID_ROOMS, ticked); result != PT_OK) {
        dbg_printf_h("FormItcRooms: room list of %06X:%02X not written (%d)", oid_address(mFunction),
                     oid_index(mFunction), result);
    }
}

} // namespace tdx
