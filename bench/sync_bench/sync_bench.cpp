// How long the display takes to synchronise the simulator's shipped installation over a line paced at
// 57600 baud, on the fake clock: against the line time of the bytes it needed (the bound no protocol
// change short of sending fewer bytes can beat), and with a share of the bytes spoiled. The figures are
// counters in fake milliseconds; the wall time of a run means nothing here.
#include "Libraries/base/dbg.h"
#include "tests/support/sync_run.h"
#include "tests/support/value_race.h"

#include <benchmark/benchmark.h>

namespace tdx {
namespace {

// Argument: spoiled bytes in tenths of a percent. 32 seeds each: the mean, and the worst seed, which is what
// a user on that line may meet. The spread comes mostly from the few long PUBLISHes (the week schedules,
// about 200 bytes on the line), which get through a 1 % line in one try of seven on average: a seed's time
// follows how many tries they happened to need.
void BM_SyncDefaultInstallation(benchmark::State& state) {
    dbg_set_enabled(false);
    const double noise = static_cast<double>(state.range(0)) / 1000.0;
    const double clean = static_cast<double>(test::sync_default_installation(0.0, 1).ms);
    double ms = 0;
    double worst = 0;
    uint32_t worstSeed = 0;
    double lineMs = 0;
    int resets = 0;
    int failed = 0;
    constexpr uint32_t SEEDS = 32;
    for (auto _ : state) {
        for (uint32_t seed = 1; seed <= SEEDS; ++seed) {
            const test::SyncRun run = test::sync_default_installation(noise, seed);
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

// The race of one value written by the display (1000, 1001, ...) and changed by the control unit (5000, 5001,
// ...), 60 events 1-120 ms apart and then 60 quiet seconds, over 5000 seeds per line: the races that end with
// the display showing another value than the unit holds, that leave a write taken twice, or that end
// unsynchronised. Arguments: spoiled bytes in tenths of a percent, and how the session is lost once on the
// way (0 not, 1 the unit ends it, 2 the unit falls silent for 3.5 s). The test runs the same race over 1000
// seeds.
void BM_ValueRace(benchmark::State& state) {
    dbg_set_enabled(false);
    const double noise = static_cast<double>(state.range(0)) / 1000.0;
    constexpr uint32_t SEEDS = 5000;
    int diverged = 0;
    int twice = 0;
    int unsynchronised = 0;
    int resets = 0;
    for (auto _ : state) {
        for (uint32_t seed = 1; seed <= SEEDS; ++seed) {
            const test::RaceRun run =
                test::value_race(noise, seed, 60, 60000, static_cast<test::RaceLoss>(state.range(1)));
            diverged += run.display != run.unit;
            twice += run.twice != 0;
            unsynchronised += !run.synchronised;
            resets += run.resets;
        }
    }
    state.counters["seeds"] = SEEDS;
    state.counters["diverged"] = diverged;
    state.counters["taken_twice"] = twice;
    state.counters["unsynchronised"] = unsynchronised;
    state.counters["resets"] = resets;
}
BENCHMARK(BM_ValueRace)
    ->Args({0, 0})
    ->Args({10, 0})
    ->Args({20, 0})
    ->Args({10, 1})
    ->Args({10, 2})
    ->Args({20, 1})
    ->Args({20, 2})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tdx

BENCHMARK_MAIN();
