// The rooms served by one heating function (state parameter 1): every room of the installation with a tick,
// rooms that another function serves shown but not to be ticked. Each tick or untick of the installer
// writes the function's room list at once; merely opening the screen writes nothing.
#pragma once

#include "SourceApp/application/controls/Checkbox.h"
#include "SourceApp/application/forms/VexalStackedContentForm.h"
#include "SourceApp/storage/OidList.h"

#include <vector>

namespace tdx {

class GridContainer;
class ProxyObject;

class FormItcRooms : public VexalStackedContentForm {
public:
    static constexpr state_id_t STATE_ID = 63;
    static constexpr vid_t VID_ROOMS = 0x80B8;
    static constexpr vid_t VID_SERVING_FUNCTION = 0x810C;

    // One room's tick; it carries the room's object id.
    class RoomButton : public CheckButton {
    public:
        RoomButton(FormItcRooms& form, Container* parent, const std::string& name, oid_t room);
        oid_t getRoom() const { return mRoom; }

    protected:
        void handleClick() override;

    private:
        FormItcRooms& mForm;
        oid_t mRoom;
    };

    explicit FormItcRooms(const State& state);
    ~FormItcRooms() override;

    // The rooms ticked now, in the order of the screen (at most 64).
    OidList tickedRooms() const;
    // Writes the ticked rooms when they differ from the stored list (in any order).
    void publishRoomList();

private:
    void addRoom(ProxyObject& room, const OidList& current);

    oid_t mFunction;
    GridContainer* mGrid = nullptr;
    std::vector<RoomButton*> mButtons;
};

} // namespace tdx
