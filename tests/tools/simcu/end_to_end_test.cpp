// The simulator executable on a real pseudo-terminal, the display's client on the real serial driver.
#include "Libraries/base/os.h"
#include "Libraries/link_bus/dissector.h"
#include "Libraries/tavi_net/tnet.h"
#include "tests/support/simcu_process.h"
#include "tests/support/trace_capture.h"

#include <gtest/gtest.h>

#include <chrono>

namespace tdx::test {
namespace {

TEST(EndToEnd, ClientReachesSessionWithTheSimulatorOnAPseudoTerminalAndAnswersItsPolls) {
    SimProcess sim;
    ASSERT_TRUE(sim.ok()) << "first line: " << sim.slave();

    TraceCapture trace;
    os_init();
    static const tnet_client_handler handler{};
    tnet_init(&handler);
    ASSERT_EQ(tnet_init_interface_bus(0, sim.slave().c_str(), 1, 0), 0);
    tnet_start();
    tnet_dissect_enable(true);
    tnet_learn_request();

    // Real time on both sides: the display's clock follows the wall clock while it waits for bytes.
    uint64_t sessionAt = 0;
    runOnWallClock([] { tnet_task(); },
                   [&] {
                       if (tnet_get_state() == TNET_SESSION && sessionAt == 0) {
                           sessionAt = timer();
                       }
                       return sessionAt != 0 && timer() - sessionAt >= 1000;
                   },
                   std::chrono::seconds(10));
    tnet_dissect_enable(false);
    EXPECT_EQ(tnet_get_state(), TNET_SESSION);
    EXPECT_EQ(tnet_get_owner(), 0x000316u);
    const size_t polls = trace.count("RX 010410 POLL");
    EXPECT_GE(polls, 10u) << trace.str();
    EXPECT_GE(trace.count("TX 010410 NOP") + 1, polls);
    EXPECT_GE(trace.count("TX 010410 SEARCH_REPLY"), 1u);
    tnet_stop();

    // The simulator stops cleanly on SIGTERM.
    EXPECT_EQ(sim.stop(), 0);
}

} // namespace
} // namespace tdx::test
