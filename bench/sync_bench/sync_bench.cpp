// How long the display takes to synchronise the simulator's shipped installation over a line paced at
// 57600 baud, on the fake clock: against the line time of the bytes it needed (the bound no protocol
// change short of sending fewer bytes can beat), and with a share of the bytes spoiled. The figures are
// counters in fake milliseconds; the wall time of a run means nothing here.
#include "Libraries/base/dbg.h"
#include "Libraries/base/os.h"
#include "Libraries/tavi_net/tnet.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/storage/DataModel.h"
#include "SourceApp/storage/ProxyStructure.h"
#include "SourceApp/storage/net/TaviProtocol.h"
#include "SourceHost/api_lib/device_info.h"
#include "SourceHost/api_lib/loop_port.h"
#include "tools/simcu/installation.h"
#include "tools/simcu/simcu.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

namespace tdx {
namespace {

struct SyncRun {
    bool synchronised = false;
    uint64_t ms = 0;     // from the first session's start to "ready", resets and all
    uint64_t lineMs = 0; // the bytes that crossed meanwhile, at 10 bits a byte
    int resets = 0;      // sessions that ended before "ready"
};

void append(oid_t oid, u8 type) {
    const bt_obj_info info{type, 0, 0, 0};
    Structure.append(new ProxyObject(oid, ObjectInfo(info), DataModel::Database::findObjectTemplate(info)));
}

SyncRun synchronise(double noise, uint32_t seed) {
    static int runs = 0;
    os_init();
    Structure.clear();
    proxytab_init();
    append(oid_make(DI.hw->network_address, 0), BT_OBJ_DEVICE);
    append(OID_LOCATION, BT_OBJ_LOCATION);

    sim::LoopStream loop("sync" + std::to_string(++runs));
    sim::WireStream wire(loop, {57600, noise, seed});
    sim::SimControlUnit unit(wire);
    std::string error;
    auto installation = sim::sim_load_installation(sim::sim_default_installation_path(), &error);
    if (!installation) {
        std::fprintf(stderr, "sync_bench: the default installation does not load: %s\n", error.c_str());
        std::exit(1);
    }
    unit.model() = std::move(installation->model);

    SyncRun run;
    std::optional<uint64_t> connectedAt;
    uint64_t carriedAtConnect = 0;
    Net::Tavi.restart();
    Net::Tavi.setEventSink([&](int kind) {
        // A reset costs the run its time: the clock starts at the first session, not the last.
        if (kind == Net::NET_EVENT_CONNECTED && !connectedAt) {
            connectedAt = timer();
            carriedAtConnect = wire.carried();
        } else if (kind == Net::NET_EVENT_NOT_CONNECTED) {
            ++run.resets;
        }
    });
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
    run.synchronised = unit.wait_until([] { return Net::Tavi.isSynchronized(); }, 600000, 1);
    run.ms = connectedAt ? timer() - *connectedAt : 0;
    run.lineMs = (wire.carried() - carriedAtConnect) * 10 * 1000 / 57600;
    tnet_stop();
    Net::Tavi.setEventSink(nullptr);
    Net::Tavi.restart();
    Structure.clear();
    return run;
}

// Argument: spoiled bytes in tenths of a percent. Eight seeds each: the mean, and the worst seed, which is
// what a user on that line may meet.
void BM_SyncDefaultInstallation(benchmark::State& state) {
    dbg_set_enabled(false);
    const double noise = static_cast<double>(state.range(0)) / 1000.0;
    const double clean = static_cast<double>(synchronise(0.0, 1).ms);
    double ms = 0;
    double worst = 0;
    uint32_t worstSeed = 0;
    double lineMs = 0;
    int resets = 0;
    int failed = 0;
    constexpr int SEEDS = 8;
    for (auto _ : state) {
        for (uint32_t seed = 1; seed <= SEEDS; ++seed) {
            const SyncRun run = synchronise(noise, seed);
            ms += static_cast<double>(run.ms) / SEEDS;
            lineMs += static_cast<double>(run.lineMs) / SEEDS;
            if (static_cast<double>(run.ms) > worst) {
                worst = static_cast<double>(run.ms);
                worstSeed = seed;
            }
            resets += run.resets;
            failed += run.synchronised ? 0 : 1;
        }
    }
    state.counters["sync_ms"] = ms;
    state.counters["worst_ms"] = worst;
    state.counters["worst_seed"] = worstSeed;
    state.counters["line_ms"] = lineMs;
    state.counters["per_line"] = ms / lineMs;
    state.counters["per_clean"] = ms / clean;
    state.counters["worst_per_clean"] = worst / clean;
    state.counters["resets"] = resets;
    state.counters["unfinished"] = failed;
}
BENCHMARK(BM_SyncDefaultInstallation)
    ->Arg(0)
    ->Arg(5)
    ->Arg(10)
    ->Arg(20)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tdx

BENCHMARK_MAIN();
