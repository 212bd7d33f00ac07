// The whole application started as the host starts it, in a folder of its own (its configuration record and
// resources), driven pass by pass on the test's thread. The host's 62 ms tick is the test's to give.
#pragma once

#include "Libraries/base/os.h"
#include "Libraries/tavi_net/tnet.h"
#include "SourceApp/application/App.h"
#include "SourceApp/application/host/HostHandOver.h"
#include "SourceApp/application/startup/Emulation.h"
#include "SourceApp/gui/core/Core.h"
#include "SourceHost/api_lib/comf.h"
#include "SourceHost/api_lib/loop_port.h"
#include "tests/SourceHost/api_lib/scratch_folder.h"
#include "tests/support/trace_capture.h"

#include <cstring>
#include <filesystem>
#include <string>

namespace tdx::test {

class AppTest : public ScratchFolder {
protected:
    void SetUp() override {
        ScratchFolder::SetUp();
        std::filesystem::create_directories("Dist");
        std::filesystem::create_symlink(TDX_RESOURCES_FILE, "Dist/resources.win32.bin");
        os_set_restart_hook(nullptr);
        Emulation::setSerialPort(&loop_serial_port);
    }

    void TearDown() override {
        // The next start-up closes the port anyway; the pipe behind it goes with the test.
        tnet_stop();
        os_set_tick_hook(nullptr);
        os_set_restart_hook(nullptr);
        Emulation::setSerialPort(nullptr);
        ScratchFolder::TearDown();
    }

    // os_init and start-up, as the host's application thread begins, on the given port.
    void start(const std::string& port = "loop:none") {
        std::snprintf(PortName, sizeof PortName, "%s", port.c_str());
        os_init();
        Emulation::AppInit();
    }

    static Core& core() { return *getApplication()->getCore(); }
    static HostHandOver& handOver() { return host_hand_over(); }

    static void pass(int n = 1) {
        for (int i = 0; i < n; ++i) {
            Emulation::AppLoopTask();
        }
    }
    // Host ticks without a pass between them.
    static void ticks(int n) {
        for (int i = 0; i < n; ++i) {
            timer0_isr();
        }
    }

    TraceCapture mTrace;
};

} // namespace tdx::test
