// The whole application against the simulated control unit in process: the cost of one idle pass of the
// main loop once the default installation is synchronised, and the fake time and bytes from reset to
// "synchronised" over a line paced at 57600 baud. The application keeps its files in a temporary folder.
#include "Libraries/base/dbg.h"
#include "Libraries/base/os.h"
#include "Libraries/tavi_net/tnet.h"
#include "SourceApp/application/App.h"
#include "SourceApp/application/startup/Emulation.h"
#include "SourceApp/gui/core/Core.h"
#include "SourceApp/storage/net/TaviProtocol.h"
#include "SourceHost/api_lib/comf.h"
#include "SourceHost/api_lib/loop_port.h"
#include "tools/simcu/installation.h"
#include "tools/simcu/simcu.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace tdx {
namespace {

constexpr uint32_t BAUD = 57600;
constexpr uint32_t POLL_MS = 50;

// A temporary working folder with the resources file where the program looks for it.
class Folder {
public:
    Folder() {
        char pattern[] = "/tmp/tdx-app-bench-XXXXXX";
        mPath = mkdtemp(pattern);
        mPrevious = std::filesystem::current_path();
        std::filesystem::current_path(mPath);
        std::filesystem::create_directories("Dist");
        std::filesystem::create_symlink(TDX_RESOURCES_FILE, "Dist/resources.win32.bin");
    }
    ~Folder() {
        std::filesystem::current_path(mPrevious);
        std::filesystem::remove_all(mPath);
    }

private:
    std::filesystem::path mPath;
    std::filesystem::path mPrevious;
};

// The application started on the pipe, the simulator with its default installation on the other end.
struct Rig {
    explicit Rig(std::optional<sim::WireConfig> wire) {
        static int runs = 0;
        loop.emplace("app-bench" + std::to_string(++runs));
        if (wire) {
            line.emplace(*loop, *wire);
        }
        unit.emplace(line ? static_cast<sim::IByteStream&>(*line) : *loop);
        std::string error;
        unit->model() =
            std::move(sim::sim_load_installation(sim::sim_default_installation_path(), &error)->model);
        std::snprintf(PortName, sizeof PortName, "%s", loop->port().c_str());
        Emulation::setSerialPort(&loop_serial_port);
        os_init();
        Emulation::AppInit();
    }
    ~Rig() { tnet_stop(); }

    // One pass per millisecond of fake time and the host's tick every 62 ms, until done or the limit.
    bool runUntil(bool (*done)(), uint32_t limitMs) {
        for (uint32_t t = 0; t < limitMs; ++t) {
            unit->step();
            Emulation::AppLoopTask();
            os_clock_advance(1);
            if (++sinceTick == 62) {
                sinceTick = 0;
                getApplication()->getCore()->tick();
            }
            if (done()) {
                return true;
            }
        }
        return false;
    }

    std::optional<sim::LoopStream> loop;
    std::optional<sim::WireStream> line;
    std::optional<sim::SimControlUnit> unit;
    int sinceTick = 0;
};

bool synchronised() {
    return Net::Tavi.isSynchronized();
}

void BM_IdlePass(benchmark::State& state) {
    dbg_set_enabled(false);
    Folder folder;
    Rig rig(std::nullopt);
    if (!rig.runUntil(synchronised, 60000)) {
        state.SkipWithError("not synchronised");
        return;
    }
    rig.runUntil([] { return false; }, 2000); // the splash screen drawn, every value delivered
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
        const bool done = rig.runUntil(synchronised, 600000);
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
