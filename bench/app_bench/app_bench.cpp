// The whole application against the simulated control unit in process: the cost of one idle pass of the
// main loop once the default installation is synchronised, and the fake time and bytes from reset to
// "synchronised" over a line paced at 57600 baud.
#include "Libraries/base/dbg.h"
#include "bench/support/app_rig.h"

#include <benchmark/benchmark.h>

namespace tdx {
namespace {

using bench::Folder;
using bench::Rig;

constexpr uint32_t BAUD = 57600;
constexpr uint32_t POLL_MS = 50;

void BM_IdlePass(benchmark::State& state) {
    dbg_set_enabled(false);
    Folder folder;
    Rig rig(std::nullopt);
    if (!rig.runUntil(Rig::synchronised, 60000)) {
        state.SkipWithError("not synchronised");
        return;
    }
    rig.run(2000); // the splash screen drawn, every value delivered
    // The clock stands still: nothing falls due, as in most of the passes of a running display.
    for (auto _ : state) {
        Emulation::AppLoopTask();
    }
}
BENCHMARK(BM_IdlePass)->Unit(benchmark::kMicrosecond);

void BM_ResetToSynchronised(benchmark::State& state) {
    dbg_set_enabled(false);
    Folder folder;
    for (auto _ : state) {
        Rig rig(sim::WireConfig{BAUD, 0.0, 1});
        const uint64_t start = timer();
        const bool done = rig.runUntil(Rig::synchronised, 600000);
        const double ms = static_cast<double>(timer() - start);
        const double bytes = static_cast<double>(rig.line->carried());
        const double lineMs = bytes * 10 * 1000 / BAUD;
        state.counters["synchronised"] = done ? 1 : 0;
        state.counters["sync_ms"] = ms;
        state.counters["bytes"] = bytes;
        state.counters["line_ms"] = lineMs;
        state.counters["per_line_and_poll"] = ms / (lineMs + POLL_MS);
    }
}
BENCHMARK(BM_ResetToSynchronised)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tdx
