// What the room screens do with one room, read and written through the value table: its heating or cooling
// status, its temporary mode and presets, the desired temperature and the week schedule switch. Each call
// looks the room and the location up anew, so a controller may outlive either; the season (location value
// 0x803D: 0 heating, 1 cooling) picks which of the room's two sets of temperatures is meant.
#pragma once

#include "SourceApp/big_table/bt_types.h"

#include <array>
#include <cstdint>
#include <optional>

namespace tdx {

// The presets of a room, by the tags of the room screen's buttons.
enum RoomMode : uint8_t {
    RoomModeManual = 0,
    RoomModeEco = 1,
    RoomModeComfort = 2,
    RoomModeExtraComfort = 3
};

class RoomController {
public:
    // Room values the controller reads and writes.
    static constexpr vid_t VID_STATE = 0x001B;
    static constexpr vid_t VID_BLOCKING = 0x001C;
    static constexpr vid_t VID_DESIRED = 0x001D;
    static constexpr vid_t VID_MODE = 0x8004;
    static constexpr vid_t VID_OVERRIDE = 0x8005;
    static constexpr vid_t VID_OVERRIDE_END = 0x8006;
    static constexpr vid_t VID_ALLOW_VACATION = 0x8084;
    static constexpr vid_t VID_PERIPHERALS = 0x80AE;
    // Location values.
    static constexpr vid_t VID_SEASON = 0x803D;
    static constexpr vid_t VID_VACATION = 0x8085;
    static constexpr vid_t VID_VACATION_END = 0x8086;
    static constexpr vid_t VID_STANDBY = 0x8087;

    static constexpr uint8_t OVERRIDE_NONE = 0;
    static constexpr uint8_t OVERRIDE_TEMPORARY = 1;
    static constexpr uint8_t OVERRIDE_SCHEDULE = 3;

    // The temperatures of one season: heating (winter) or cooling (summer).
    struct Temperatures {
        vid_t manual;
        vid_t eco;
        vid_t comfort;
        vid_t extraComfort;
        vid_t temporary;
        vid_t adjusted;
    };
    static constexpr Temperatures HEATING{0x801A, 0x801B, 0x801C, 0x801D, 0x801E, 0x8020};
    static constexpr Temperatures COOLING{0x802D, 0x802E, 0x802F, 0x8030, 0x8031, 0x8033};
    // Every value setDesiredTemperature may write, in either season: what shows getDesiredTemperature follows
    // these as well as VID_DESIRED, since the user's write shows in its place until the unit holds it.
    static constexpr std::array<vid_t, 6> DESIRED_SOURCES{HEATING.manual,    HEATING.temporary,
                                                          HEATING.adjusted,  COOLING.manual,
                                                          COOLING.temporary, COOLING.adjusted};

    explicit RoomController(oid_t room)
        : mRoom(room) {}

    // 1 heating, 2 heating blocked, 3 cooling, 4 cooling blocked, 0 neither, -1 unreadable.
    int getStatus() const;
    // 2 temporary mode, 1 the schedule overridden, 0 neither, -1 unreadable.
    int getTemporaryMode() const;
    // The room's desired temperature as the user last set it: the control unit derives 0x001D from the value
    // setDesiredTemperature writes, so while the user's write of that value has not settled at the unit (it
    // waits, or is held through the unit's restart after a restore), that write; otherwise 0x001D. None when
    // it cannot be read.
    std::optional<int> getDesiredTemperature() const;
    // 1 eco, 2 comfort, 3 extra comfort when the desired temperature equals that preset of the season (first
    // match), 0 none, -1 unreadable.
    int getDesiredTemperatureMode() const;
    // The room follows the location's vacation; endTime gets the vacation's end (0: none).
    bool isInVacation(uint32_t* endTime = nullptr) const;
    // Writes where the room's mode takes it from: the temporary, adjusted or manual temperature; a room on
    // its schedule first gets the schedule overridden. Nothing without a readable season and mode.
    void setDesiredTemperature(int temperature);
    // The preset's temperature written as setDesiredTemperature writes it; none when the preset cannot be
    // read.
    std::optional<int> setDesiredTemperatureByProfile(RoomMode mode);
    void setSchedulerEnabled(bool enabled);
    void cancelModeOverride();
    // An object of the room's peripheral list has the value (low 16 bits of vid).
    bool hasPeripheralWithValue(unsigned vid) const;

    oid_t room() const { return mRoom; }

private:
    // The season's temperatures; none while the season cannot be read.
    static const Temperatures* season();
    // The value the control unit derives the desired temperature from as the room's mode and override stand:
    // where setDesiredTemperature writes. None on the schedule's own presets, in standby or vacation, or
    // while the season, mode or override cannot be read.
    std::optional<vid_t> desiredSource() const;
    // The set temperature the user's change goes to with this mode and override; none on the schedule's own
    // presets, where the change overrides the schedule first.
    static std::optional<vid_t> setPoint(const Temperatures& temperatures, int mode, int override);
    bool exists() const;

    oid_t mRoom;
};

enum HumidityState : uint8_t { HumidityDisplayOnly = 0, HumidityDryerControl = 1 };

// The dryer control of one room (value 0x8083).
class HumidityController {
public:
    static constexpr vid_t VID_ENABLED = 0x8083;

    explicit HumidityController(oid_t room)
        : mRoom(room) {}

    bool isEnabled() const;
    // Writes only a state other than the stored one.
    void setEnabled(HumidityState state);

private:
    oid_t mRoom;
};

} // namespace tdx
