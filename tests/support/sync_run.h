// One synchronisation of the simulator's default installation over a paced, optionally noisy line: what the
// sync benchmark measures and the wire tests bound.
#pragma once

#include "Libraries/base/os.h"
#include "Libraries/tavi_net/tnet.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/storage/DataModel.h"
#include "SourceApp/storage/ProxyStructure.h"
#include "SourceApp/storage/net/TaviProtocol.h"
#include "SourceHost/api_lib/device_info.h"
#include "SourceHost/api_lib/loop_port.h"
#include "tests/support/fixed_wall_clock.h"
#include "tools/simcu/installation.h"
#include "tools/simcu/simcu.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

namespace tdx::test {

struct SyncRun {
    bool synchronised = false;
    uint64_t ms = 0;     // from the first session's start to "ready", resets and all
    uint64_t lineMs = 0; // the bytes that crossed meanwhile, at 10 bits a byte
    int resets = 0;      // sessions that ended before "ready"
};

inline void sync_append(oid_t oid, u8 type) {
    const bt_obj_info info{type, 0, 0, 0};
    Structure.append(new ProxyObject(oid, ObjectInfo(info), DataModel::Database::findObjectTemplate(info)));
}

// A fresh tree with what start-up puts into it before the network starts.
inline void sync_fresh_tree() {
    os_init();
    Structure.clear();
    proxytab_init();
    sync_append(oid_make(DI.hw->network_address, 0), BT_OBJ_DEVICE);
    sync_append(OID_LOCATION, BT_OBJ_LOCATION);
}

// The display's bridge and client started afresh on `loop`, learning, and run by the unit's pump; the
// bridge's events go to `sink`.
inline void sync_start_display(sim::LoopStream& loop, sim::SimControlUnit& unit,
                               Net::TaviProtocol::EventSink sink) {
    Net::Tavi.restart();
    Net::Tavi.setEventSink(std::move(sink));
    tnet_init(&Net::TaviClientsHandler);
    tnet_set_serial_port(&loop_serial_port);
    tnet_init_interface_bus(0, loop.port().c_str(), 1, 0);
    tnet_start();
    tnet_learn_request();
    unit.setPump([] {
        Net::Tavi.task();
        tnet_task();
        Structure.task();
    });
}

inline void sync_stop_display() {
    tnet_stop();
    Net::Tavi.setEventSink(nullptr);
    Net::Tavi.restart();
    Structure.clear();
}

// The simulator's shipped installation on `unit`; a run without it measures nothing, and stops.
inline void sync_load_default_installation(sim::SimControlUnit& unit) {
    std::string error;
    auto installation = sim::sim_load_installation(sim::sim_default_installation_path(), &error);
    if (!installation) {
        std::fprintf(stderr, "the default installation does not load: %s\n", error.c_str());
        std::exit(1);
    }
    unit.model() = std::move(installation->model);
}

// The display synchronises the simulator's shipped installation over a line at 57600 baud with `noise` of
// its bytes spoiled (seeded), on the fake clock, from a fresh start of the bridge, client and tree.
inline SyncRun sync_default_installation(double noise, uint32_t seed) {
    static int runs = 0;
    // Each seed spoils the same bytes in every run.
    const FixedWallClock clock;
    sync_fresh_tree();
    sim::LoopStream loop("sync" + std::to_string(++runs));
    sim::WireStream wire(loop, {57600, noise, seed});
    sim::SimControlUnit unit(wire);
    sync_load_default_installation(unit);

    SyncRun run;
    std::optional<uint64_t> connectedAt;
    uint64_t carriedAtConnect = 0;
    sync_start_display(loop, unit, [&](int kind) {
        // A reset costs the run its time: the clock starts at the first session, not the last.
        if (kind == Net::NET_EVENT_CONNECTED && !connectedAt) {
            connectedAt = timer();
            carriedAtConnect = wire.carried();
        } else if (kind == Net::NET_EVENT_NOT_CONNECTED) {
            ++run.resets;
        }
    });
    run.synchronised = unit.wait_until([] { return Net::Tavi.isSynchronized(); }, 600000, 1);
    run.ms = connectedAt ? timer() - *connectedAt : 0;
    run.lineMs = (wire.carried() - carriedAtConnect) * 10 * 1000 / 57600;
    sync_stop_display();
    return run;
}

} // namespace tdx::test
