// The simulated installation's life, so that a display connected to it has something to show: the control
// unit's clock runs (and is sent to a client when its session opens), the rooms' desired temperatures follow
// what the display's writes mean (a fixed mode's manual temperature, set from the mode's preset when the mode
// changes; the week schedule; the temporary or adjusted temperature of an override until its end; the
// location's programs; the cooling settings in summer), the measured temperatures drift slowly toward them
// with the room's state and thermoheads showing when the room calls for heat or cold, a hot-water tank heats
// up to its set temperature and cools slowly while it is not heated, the location's outdoor temperature is
// its sensor's, and what the display writes moves what depends on it (a function's room list names the
// function in its rooms).
#pragma once

#include "tools/simcu/simcu.h"

#include "Libraries/base/timestamp.h"

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace tdx::sim {

class SimBehaviour {
public:
    // Every period, each measured temperature moves at most one step: a room's toward its aim, a heated
    // tank's up to its set temperature, an unheated tank's down toward its surroundings.
    static constexpr int ROOM_STEP = 10; // 0.1 degree
    static constexpr int TANK_STEP = 50;
    static constexpr int TANK_LOSS = 10;
    // A tank that reached its set temperature is heated again once it has cooled this far below it.
    static constexpr int TANK_HYSTERESIS = 500;

    explicit SimBehaviour(SimControlUnit& unit, uint32_t periodMs = 10000);
    SimBehaviour(const SimBehaviour&) = delete;
    SimBehaviour& operator=(const SimBehaviour&) = delete;

    // Once per main-loop pass, after the unit's step().
    void step();
    // A sequenced command the unit took in from the display (wire to SimControlUnit::setReceiveListener).
    void received(uint8_t cmd, const std::vector<uint8_t>& payload);

    // The control unit's clock in network seconds.
    uint32_t networkTime() const;

    // The temperature a room aims at now; std::nullopt when its settings do not say.
    std::optional<int> desiredOf(uint32_t room) const;

private:
    int64_t unixTime() const { return static_cast<int64_t>(networkTime()) + NETWORK_TIME_OFFSET; }
    bool cooling() const;
    std::vector<uint32_t> objectsOf(uint8_t type) const;
    std::vector<uint32_t> rooms() const;
    // The week schedule's period (0 to 3) at local time; std::nullopt without a schedule.
    std::optional<int> schedulePeriod(uint32_t room) const;
    // The room's mode was written: a fixed mode that changed sets the manual temperatures from its preset.
    void startMode(uint32_t room);
    // An override whose end (Unix seconds, 0 for none) has passed ends: the room goes back to its mode.
    void endOverride(uint32_t room);
    // The room's state and thermoheads from its air and desired temperature.
    void regulate(uint32_t room);
    // The tank's set temperature from the location's programs it takes part in.
    void aimTank(uint32_t tank);
    // The tank's state from its temperature and set temperature.
    void regulateTank(uint32_t tank);
    void followOutdoor();
    std::optional<int64_t> number(uint32_t oid, uint16_t vid) const;
    void publishNumber(uint32_t oid, uint16_t vid, uint8_t type, int64_t value);
    void sendClock();
    void live();
    void aimRooms();
    // A function's room list was written: its rooms name it as their serving function, rooms it no longer
    // lists are free, and a room it took from another function leaves that one's list.
    void assignRooms(uint32_t function);

    SimControlUnit& mUnit;
    uint32_t mPeriodMs;
    uint64_t mNextLife;
    uint32_t mClockBase; // network seconds at mClockAt
    uint64_t mClockAt;
    bool mInSession = false;
    std::map<uint32_t, int64_t> mModes; // each room's mode as last aimed at
};

} // namespace tdx::sim
