// Every state id of the screen registry, with the simulated control unit's default installation synchronised:
// the time to build the screen and draw its first frame (the GUI core's pass after the change of state), and
// one idle pass of the whole main loop with the screen shown. The slowest three of each close the output.
// Goals: every screen opened and drawn in under 1 ms, an idle pass under 20 us.
#include "Libraries/base/dbg.h"
#include "SourceApp/application/startup/StateRegistry.h"
#include "SourceApp/gui/core/Form.h"
#include "SourceApp/storage/ProxyStructure.h"
#include "bench/support/app_rig.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tdx {
namespace {

using bench::Folder;
using bench::Rig;

constexpr uint32_t SETTLE_MS = 200;
constexpr uint32_t STAND_MS = 2000;
constexpr double MIN_TIME_S = 0.1;

Core& core() {
    return *getApplication()->getCore();
}

unsigned shownState() {
    return core().getStateManager().getState().getStateId();
}

// Opens the state and lets the screen settle: what its constructor asked for, and its values.
void show(Rig& rig, const State& state) {
    core().changeState(state);
    rig.run(SETTLE_MS);
}

// The first state of the id that the screen keeps: plain or with a text, on no object or on the first object
// of the installation that it takes. A screen that does not find its object or the state it needs goes back
// at once, and its timing would tell nothing of it.
std::unique_ptr<State> stateFor(Rig& rig, unsigned id) {
    std::vector<unsigned> objects{0};
    for (const ProxyObject* object : Structure) {
        objects.push_back(object->oid());
    }
    for (unsigned p1 : objects) {
        for (bool titled : {false, true}) {
            std::unique_ptr<State> state =
                titled ? std::make_unique<SingleParamState<std::string>>(id, p1, 0, 0, 0, "General")
                       : std::make_unique<State>(id, p1);
            show(rig, *state);
            if (shownState() == id) {
                return state;
            }
        }
    }
    return std::make_unique<State>(id);
}

// The application thread's own time: on a shared machine the wall clock also counts other programs' turns.
double threadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void openAndDraw(benchmark::State& bench, Rig* rig, const State* state) {
    show(*rig, *state);
    for (auto _ : bench) {
        core().changeState(*state);
        const double start = threadSeconds();
        core().task(); // builds the screen, draws its first frame and shows it
        bench.SetIterationTime(threadSeconds() - start);
        Emulation::AppLoopTask(); // what the new screen queued
    }
}

void idlePass(benchmark::State& bench, Rig* rig, const State* state) {
    show(*rig, *state);
    rig->run(STAND_MS);
    // The clock stands still: nothing falls due, as in most of the passes of a running display.
    for (auto _ : bench) {
        Emulation::AppLoopTask();
    }
}

// The console's report, and the slowest runs of each kind at the end.
class SlowestReporter : public benchmark::ConsoleReporter {
public:
    explicit SlowestReporter(OutputOptions options)
        : ConsoleReporter(options) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                mTimes.emplace_back(run.GetAdjustedRealTime(), run.run_name.function_name);
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void printSlowest(const std::string& kind, const char* goal) const {
        std::vector<std::pair<double, std::string>> times;
        for (const auto& time : mTimes) {
            if (time.second.starts_with(kind + "/")) {
                times.push_back(time);
            }
        }
        std::sort(times.rbegin(), times.rend());
        std::printf("slowest %s (goal %s):", kind.c_str(), goal);
        for (size_t i = 0; i < std::min<size_t>(3, times.size()); ++i) {
            std::printf("%s %.1f us %s", i == 0 ? "" : ",", times[i].first, times[i].second.c_str());
        }
        std::printf("\n");
    }

private:
    std::vector<std::pair<double, std::string>> mTimes; // microseconds per iteration, benchmark name
};

} // namespace
} // namespace tdx

int main(int argc, char** argv) {
    using namespace tdx;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    dbg_set_enabled(false);
    Folder folder;
    Rig rig(std::nullopt);
    if (!rig.runUntil(Rig::synchronised, 60000)) {
        std::fputs("the default installation did not synchronise\n", stderr);
        return 1;
    }
    rig.run(STAND_MS);
    // Every id of the registry and the first one beyond it, each with the screen's class in its name.
    std::vector<std::unique_ptr<State>> states;
    for (unsigned id = 0; id <= STATE_COUNT; ++id) {
        states.push_back(stateFor(rig, id));
        const Form* screen = core().getScreen();
        const bool kept = screen != nullptr && shownState() == id;
        const std::string name = std::to_string(id) + "/" + (kept ? screen->getName() : "leaves-at-once");
        benchmark::RegisterBenchmark(("OpenAndDraw/" + name).c_str(), openAndDraw, &rig, states.back().get())
            ->UseManualTime()
            ->MinTime(MIN_TIME_S)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("IdlePass/" + name).c_str(), idlePass, &rig, states.back().get())
            ->MinTime(MIN_TIME_S)
            ->Unit(benchmark::kMicrosecond);
    }
    // Coloured only on a terminal.
    SlowestReporter reporter(isatty(STDOUT_FILENO) != 0 ? benchmark::ConsoleReporter::OO_ColorTabular
                                                        : benchmark::ConsoleReporter::OO_Tabular);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printSlowest("OpenAndDraw", "1000 us");
    reporter.printSlowest("IdlePass", "20 us");
    benchmark::Shutdown();
    return 0;
}
