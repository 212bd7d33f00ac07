// The simulated installation's life, so that a display connected to it has something to show: the control
// unit's clock runs (and is sent to a client when its session opens), the rooms' desired temperatures follow
// their mode, schedule and the location's programs, the measured temperatures drift slowly toward them with
// the thermoheads open while a room heats, and what the display writes moves what depends on it (a
// function's room list names the function in its rooms).
#pragma once

#include "tools/simcu/simcu.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace tdx::sim {

class SimBehaviour {
public:
    // Every period, each measured temperature moves at most one step toward its aim.
    static constexpr int ROOM_STEP = 10; // 0.1 degree
    static constexpr int TANK_STEP = 50;

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
};

} // namespace tdx::sim
