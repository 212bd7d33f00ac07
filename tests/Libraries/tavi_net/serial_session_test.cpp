// The client on the real serial driver with the simulator executable on the other end of a pseudo-terminal:
// a session is reached and polls are answered; the simulator going away (its side of the pseudo-terminal
// closed) is survived, and the link returns when a simulator is there again.
#include "Libraries/base/dbg.h"
#include "Libraries/base/os.h"
#include "Libraries/link_bus/dissector.h"
#include "Libraries/link_bus/link_bus.h"
#include "Libraries/tavi_net/tnet.h"
#include "SourceHost/api_lib/comf.h"
#include "tests/SourceHost/api_lib/comf_test_util.h"
#include "tests/support/simcu_process.h"
#include "tests/support/trace_capture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tdx::test {
namespace {

struct Heard {
    std::vector<uint32_t> connected;
    std::vector<int> disconnected;
};

Heard& heard() {
    static Heard instance;
    return instance;
}

// Runs the network task on the wall clock until `done` or `seconds` passed.
bool runUntil(const std::function<bool()>& done, int seconds) {
    return runOnWallClock([] { tnet_task(); }, done, std::chrono::seconds(seconds));
}

bool inSession() {
    return tnet_get_state() == TNET_SESSION;
}

TEST(SerialSession, SessionOnAPseudoTerminalSurvivesTheSimulatorLeavingAndReturns) {
    heard() = Heard{};
    TempDir dir;
    // The display's port is a stable name (as udev gives a converter) for whichever terminal is there now.
    const std::string port = dir / "ttyHMU0";
    auto plug = [&](const SimProcess& sim) {
        std::filesystem::remove(port);
        std::filesystem::create_symlink(sim.slave(), port);
    };

    TraceCapture trace;
    os_init();
    static const tnet_client_handler handler{
        [](uint32_t owner) { heard().connected.push_back(owner); },
        [](int reason) { heard().disconnected.push_back(reason); },
        nullptr,
        nullptr,
        nullptr,
        nullptr,
        nullptr,
    };
    tnet_init(&handler);

    auto first = std::make_unique<SimProcess>();
    ASSERT_TRUE(first->ok()) << "first line: " << first->slave();
    plug(*first);
    ASSERT_EQ(tnet_init_interface_bus(0, port.c_str(), 1, 0), 0);
    tnet_start();
    tnet_learn_request();
    ASSERT_TRUE(runUntil(inSession, 10)) << trace.str();
    EXPECT_EQ(heard().connected, std::vector<uint32_t>{0x000316});

    // Polls are answered, one reply each.
    tnet_dissect_enable(true);
    const uint64_t from = timer();
    runUntil([&] { return timer() - from >= 500; }, 5);
    tnet_dissect_enable(false);
    const size_t polls = trace.count("RX 010410 POLL");
    EXPECT_GE(polls, 5u) << trace.str();
    EXPECT_GE(trace.count("TX 010410 NOP") + 1, polls);

    // The simulator leaves: the driver notices the hang-up, the session ends by supervision, nothing blocks.
    EXPECT_EQ(first->stop(), 0);
    ASSERT_TRUE(runUntil([] { return !link_if_is_connected(0); }, 5)) << trace.str();
    EXPECT_TRUE(trace.contains("lost (")) << trace.str();
    os_clock_advance(TNET_SUPERVISION_MS);
    tnet_task();
    EXPECT_EQ(tnet_get_state(), TNET_OFFLINE);
    EXPECT_EQ(heard().disconnected, std::vector<int>{TNET_DISCONNECT_SUPERVISION});

    // A simulator is there again: the port reopens within the retry period. A new simulator process knows no
    // clients (as a control unit after a factory reset), so the display learns once more.
    SimProcess second;
    ASSERT_TRUE(second.ok());
    plug(second);
    ASSERT_TRUE(runUntil([] { return link_if_is_connected(0); }, 5)) << trace.str();
    tnet_learn_request();
    ASSERT_TRUE(runUntil(inSession, 10)) << trace.str();
    EXPECT_EQ(heard().connected, (std::vector<uint32_t>{0x000316, 0x000316}));
    EXPECT_EQ(second.stop(), 0);

    tnet_stop();
}

} // namespace
} // namespace tdx::test
