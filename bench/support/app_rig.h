// The whole application against the simulated control unit in process, for the benchmarks: the real start-up
// and main loop on one end of the in-process converter pipe (or of a paced line), the simulator with its
// default installation on the other, one pass per millisecond of fake time and the host's tick every 62 ms.
// The application keeps its files in a temporary folder.
#pragma once

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

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace tdx::bench {

// A temporary working folder with the resources file where the program looks for it.
class Folder {
public:
    Folder() {
        char pattern[] = "/tmp/tdx-bench-XXXXXX";
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
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

private:
    std::filesystem::path mPath;
    std::filesystem::path mPrevious;
};

// The application started on the pipe (or a line of the given pace), the simulator with its default
// installation on the other end.
struct Rig {
    explicit Rig(std::optional<sim::WireConfig> wire) {
        static int runs = 0;
        loop.emplace("bench" + std::to_string(++runs));
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
    Rig(const Rig&) = delete;
    Rig& operator=(const Rig&) = delete;

    // One pass per millisecond of fake time and the host's tick every 62 ms, until done or the limit.
    template <class Done>
    bool runUntil(Done&& done, uint32_t limitMs) {
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
    void run(uint32_t ms) {
        runUntil([] { return false; }, ms);
    }
    static bool synchronised() { return Net::Tavi.isSynchronized(); }

    std::optional<sim::LoopStream> loop;
    std::optional<sim::WireStream> line;
    std::optional<sim::SimControlUnit> unit;
    int sinceTick = 0;
};

} // namespace tdx::bench
