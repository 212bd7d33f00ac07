// One value written on both sides at once: the display writes 1000, 1001, ... and the simulated control unit
// changes it to 5000, 5001, ..., in a seeded order a few milliseconds apart, over a paced and optionally
// noisy line; then the line falls quiet. What the value tests bound and the sync benchmark counts over many
// seeds.
#pragma once

#include "tests/support/fixed_wall_clock.h"
#include "tests/support/sync_run.h"

#include <map>
#include <random>
#include <set>
#include <string>

namespace tdx::test {

struct RaceRun {
    bool synchronised = false; // ready before the race and again once the line is quiet
    int display = 0;           // the display's value once quiet (-99999: none)
    int unit = 0;              // the control unit's
    int writes = 0;            // the display's writes made during the race
    int changes = 0;           // the unit's own changes
    int twice = 0;             // display writes the control unit took more than once
    int resets = 0;            // sessions that ended during the race
    // The user's writes that the control unit never took although the session held from the write on and no
    // later write of the user replaced them while they waited to be sent.
    int lost = 0;
    // Subscriptions of the synchronisation that the unit took beyond the two of a session: the display asked
    // again after a SYNCHRONIZED that did not come, or a frame spoiled on the line that passed its check
    // made the unit take its subscription as one to another object.
    int subscribedAgain = 0;
};

// Room 0x01000316's desired temperature, as the race writes it.
inline constexpr oid_t RACE_ROOM = 0x01000316;
inline constexpr vid_t RACE_VID = 0x001D;

// How a race loses its session once, at a seeded event.
enum class RaceLoss {
    None,
    Disconnect, // the unit ends the session
    Silence,    // the unit falls silent for 3.5 s: both sides give the session up
};

// `events` changes, each one of the two sides at random, 1-120 ms apart, then `quietMs` without any.
inline RaceRun value_race(double noise, uint32_t seed, int events = 60, uint32_t quietMs = 10000,
                          RaceLoss loss = RaceLoss::None) {
    static int runs = 0;
    constexpr u32 UNIT = 0x000316;
    // Each seed plays the same race in every run.
    const FixedWallClock clock;
    sync_fresh_tree();
    sim::LoopStream loop("race" + std::to_string(++runs));
    sim::WireStream wire(loop, {57600, noise, seed});
    sim::SimControlUnit unit(wire);
    unit.model().setObject(OID_LOCATION, BT_OBJ_LOCATION, 0);
    unit.model().setObject(UNIT, BT_OBJ_DEVICE, 0);
    unit.model().setObject(RACE_ROOM, BT_OBJ_ROOM, 0);
    unit.model().setValue(RACE_ROOM, RACE_VID, *sim::sim_number(BT_VTYPE_S16_X100, 2200));

    RaceRun run;
    // Subscriptions of the synchronisation (all values of an object) the unit took in the session under way:
    // two when nothing went astray, the display's own device and everything.
    int subscriptions = 0;
    // The user's writes made while no session was open (never sent), replaced by a later write of the user
    // while they waited to be sent, or not taken when the session ended (the rules for a lost session decide
    // those).
    std::set<int> notToBeTaken;
    sync_start_display(loop, unit, [&](int kind) {
        if (kind != Net::NET_EVENT_NOT_CONNECTED) {
            return;
        }
        ++run.resets;
        subscriptions = 0;
        std::set<int64_t> taken;
        for (const sim::SimPublish& publish : unit.received_publishes()) {
            if (publish.oid == RACE_ROOM && publish.vid == RACE_VID) {
                taken.insert(publish.value.number());
            }
        }
        for (int value = 1000; value < 1000 + run.writes; ++value) {
            if (taken.count(value) == 0) {
                notToBeTaken.insert(value);
            }
        }
    });
    const auto ready = [] { return Net::Tavi.isSynchronized(); };
    run.synchronised = unit.wait_until(ready, 60000, 1);
    run.resets = 0;
    unit.setReceiveListener([&run, &subscriptions](uint8_t cmd, const std::vector<uint8_t>& payload) {
        if (cmd == TNET_CMD_SUBSCRIBE && get_le16(payload.data() + TNET_PUB_OFS_VID) == VID_ALL) {
            run.subscribedAgain += ++subscriptions > 2;
        }
    });

    std::mt19937 random(seed);
    std::uniform_int_distribution<int> gap(1, 120);
    const int lossAt = static_cast<int>(seed % static_cast<uint32_t>(events));
    for (int i = 0; i < events && run.synchronised; ++i) {
        if (i == lossAt && loss == RaceLoss::Disconnect) {
            unit.disconnectClient();
        } else if (i == lossAt && loss == RaceLoss::Silence) {
            unit.faults().stopPolling = true;
            unit.wait_until([] { return false; }, 3500, 1);
            unit.faults().stopPolling = false;
        }
        if (random() % 2 == 0) {
            if (run.writes > 0 && Structure.isPublishQueued(RACE_ROOM, RACE_VID)) {
                notToBeTaken.insert(1000 + run.writes - 1);
            }
            if (!Net::Tavi.isConnected()) {
                notToBeTaken.insert(1000 + run.writes);
            }
            pt_set_int(RACE_ROOM, RACE_VID, 1000 + run.writes++, BT_VTYPE_S16_X100);
        } else {
            unit.publish(RACE_ROOM, RACE_VID, BT_VTYPE_S16_X100, 5000 + run.changes++);
        }
        unit.wait_until([] { return false; }, static_cast<uint32_t>(gap(random)), 1);
    }
    unit.wait_until([] { return false; }, quietMs, 5);
    unit.receive();
    run.synchronised = run.synchronised && ready();

    run.display = pt_read_int(RACE_ROOM, RACE_VID).value_or(-99999);
    const auto held = unit.value(RACE_ROOM, RACE_VID);
    run.unit = held ? static_cast<int>(held->number()) : -99999;
    std::map<int64_t, int> taken;
    for (const sim::SimPublish& publish : unit.received_publishes()) {
        if (publish.oid == RACE_ROOM && publish.vid == RACE_VID) {
            run.twice += ++taken[publish.value.number()] == 2;
        }
    }
    for (int value = 1000; value < 1000 + run.writes; ++value) {
        run.lost += taken.count(value) == 0 && notToBeTaken.count(value) == 0;
    }

    sync_stop_display();
    return run;
}

} // namespace tdx::test
