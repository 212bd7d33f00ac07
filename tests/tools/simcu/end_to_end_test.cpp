// The simulator executable on a real pseudo-terminal, the display's client on the real serial driver.
#include "Libraries/base/os.h"
#include "Libraries/link_bus/dissector.h"
#include "Libraries/tavi_net/tnet.h"
#include "tests/SourceHost/api_lib/scratch_folder.h"
#include "tests/support/simcu_process.h"
#include "tests/support/trace_capture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>

namespace tdx::test {
namespace {

// The POLLs the display read in one pass end in its one answer (a NOP): the bus has room for one, so of the
// master's repeats after a late answer only the last is answered.
struct PollRuns {
    size_t runs = 0;
    size_t answered = 0;
};
PollRuns pollRuns(const std::string& trace) {
    PollRuns result;
    bool open = false;
    std::istringstream lines(trace);
    for (std::string line; std::getline(lines, line);) {
        if (line.find("RX 010410 POLL") != std::string::npos) {
            result.runs += open ? 0 : 1;
            open = true;
        } else if (open && line.find("TX 010410 ") != std::string::npos) {
            result.answered += line.find("TX 010410 NOP") != std::string::npos ? 1 : 0;
            open = false;
        }
    }
    return result;
}

TEST(EndToEnd, ClientReachesSessionWithTheSimulatorOnAPseudoTerminalAndAnswersItsPolls) {
    // A unit that has not enrolled the display reaches it only through a search, however late the display
    // opens its port. (The shipped installation's unit also connects its enrolled display by address: a port
    // opened after the first search met that instead.)
    const TempDir folder;
    folder.write("installation.json", R"({"address": "0x000316", "objects": []})");
    SimProcess sim({"--installation", folder / "installation.json", "--quiet"});
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
    EXPECT_TRUE(runOnWallClock([] { tnet_task(); }, [] { return tnet_get_poll_count() >= 10; },
                               std::chrono::seconds(10)))
        << trace.str();
    tnet_dissect_enable(false);
    EXPECT_EQ(tnet_get_state(), TNET_SESSION);
    EXPECT_EQ(tnet_get_owner(), 0x000316u);
    EXPECT_GE(trace.count("RX 010410 POLL"), 10u) << trace.str();
    const PollRuns runs = pollRuns(trace.str());
    EXPECT_EQ(runs.answered, runs.runs) << trace.str();
    EXPECT_GE(trace.count("TX 010410 SEARCH_REPLY"), 1u) << trace.str();
    tnet_stop();

    // The simulator stops cleanly on SIGTERM.
    EXPECT_EQ(sim.stop(), 0);
}

// The display publishes long texts that the simulator prints, into a pipe that nobody reads for a while.
int sToSend = 0;
int sAcknowledged = 0;
int sDisconnects = 0;

int publishLongText(uint8_t* cmd, uint8_t* payload, uint16_t max) {
    constexpr uint16_t TEXT = 200;
    if (sToSend == 0 || max < TNET_PUBLISH_HEADER_SIZE + 2 + TEXT) {
        return -1;
    }
    --sToSend;
    *cmd = TNET_CMD_PUBLISH;
    put_le32(payload, tnet_get_address()); // the display's own device
    put_le16(payload + TNET_PUB_OFS_VID, 0x8090);
    payload[TNET_PUB_OFS_VTYPE] = 15;
    put_le32(payload + TNET_PUB_OFS_TIMESTAMP, 0);
    put_le16(payload + TNET_PUB_OFS_VALUE, TEXT);
    std::fill_n(payload + TNET_PUB_OFS_VALUE + 2, TEXT, static_cast<uint8_t>('a' + sToSend % 26));
    return TNET_PUBLISH_HEADER_SIZE + 2 + TEXT;
}

// Runs the display's client on the wall clock until `done` holds, 15 s at the most.
bool runClient(const std::function<bool()>& done) {
    return runOnWallClock([] { tnet_task(); }, done, std::chrono::seconds(15));
}

// The display's client with `handler` on the simulator's port, learning, until it has its session.
void startClient(const SimProcess& sim, const tnet_client_handler* handler) {
    os_init();
    tnet_init(handler);
    ASSERT_EQ(tnet_init_interface_bus(0, sim.slave().c_str(), 1, 0), 0);
    tnet_start();
    tnet_learn_request();
    ASSERT_TRUE(runClient([] { return tnet_get_state() == TNET_SESSION; }));
}

TEST(EndToEnd, TheSimulatorKeepsTheBusGoingWhileNobodyReadsWhatItPrints) {
    sToSend = 0;
    sAcknowledged = 0;
    sDisconnects = 0;
    SimProcess sim;
    ASSERT_TRUE(sim.ok()) << "first line: " << sim.slave();
    TraceCapture trace;
    static const tnet_client_handler handler{nullptr,         [](int) { ++sDisconnects; },      nullptr,
                                             publishLongText, [](uint8_t) { ++sAcknowledged; }, nullptr,
                                             nullptr};
    ASSERT_NO_FATAL_FAILURE(startClient(sim, &handler));
    const auto loop = runClient;

    // Forty lines of some 250 bytes: far more than the pipe holds.
    sToSend = 40;
    EXPECT_TRUE(loop([] { return sAcknowledged == 40; })) << sAcknowledged;
    EXPECT_EQ(sDisconnects, 0);
    // Read again, the output flows, and tells what was lost meanwhile.
    sim.readAvailable();
    sToSend = 1;
    std::string printed;
    EXPECT_TRUE(loop([&] {
        printed += sim.readAvailable();
        return printed.find("PUBLISH") != std::string::npos;
    }));
    EXPECT_NE(printed.find(" lines dropped)\n"), std::string::npos) << printed;
    EXPECT_EQ(tnet_get_state(), TNET_SESSION);
    tnet_stop();
    EXPECT_EQ(sim.stop(), 0);
}

// Told to refuse the display's writes of its own 0x8090, the simulator refuses each; without, it takes them.
int sRefused = 0;
TEST(EndToEnd, TheSimulatorRefusesTheWritesOfTheValueItIsToldToRefuse) {
    for (const bool refuse : {true, false}) {
        sToSend = 0;
        sAcknowledged = 0;
        sRefused = 0;
        std::vector<std::string> options{"--quiet"};
        if (refuse) {
            options.insert(options.end(), {"--refuse", "00010410:8090"});
        }
        SimProcess sim(options);
        ASSERT_TRUE(sim.ok()) << "first line: " << sim.slave();
        static const tnet_client_handler handler{nullptr,
                                                 nullptr,
                                                 nullptr,
                                                 publishLongText,
                                                 [](uint8_t) { ++sAcknowledged; },
                                                 [](uint8_t) { ++sRefused; },
                                                 nullptr};
        ASSERT_NO_FATAL_FAILURE(startClient(sim, &handler));
        ASSERT_EQ(tnet_get_address(), 0x010410u);
        sToSend = 3;
        EXPECT_TRUE(runClient([] { return sAcknowledged + sRefused == 3; }));
        EXPECT_EQ(sRefused, refuse ? 3 : 0);
        EXPECT_EQ(sAcknowledged, refuse ? 0 : 3);
        EXPECT_EQ(tnet_get_state(), TNET_SESSION);
        tnet_stop();
        EXPECT_EQ(sim.stop(), 0);
    }
}

TEST(EndToEnd, UpdateOptionsThatMakeNoSenseAreRefusedWithTheUsage) {
    struct Case {
        const char* options;
        int status;
    };
    const Case cases[] = {
        {"--help", 0},
        {"--fault 0", 2}, // status 0 is no fault
        {"--version 1.x", 2},
        {"--hw-version 256", 2},
        {"--silent-after", 2},             // no value
        {"--bootloader-restart-ms 9s", 2}, // a slower restart than announced is played, a malformed one not
        {"--refuse 01000316", 2},          // no value id
        {"--refuse 01000316:", 2},
        {"--refuse x:801A", 2},
        {"--refuse 01000316:10000", 2}, // beyond a value id
        {"--refuse 101000316:801A", 2}, // beyond an object id
        {"--refuse 01000316:801A --help", 0},
    };
    for (const Case& c : cases) {
        std::string said;
        EXPECT_EQ(runCommand(std::string(SIMCU_PATH " ").append(c.options), said), c.status) << c.options;
    }
}

} // namespace
} // namespace tdx::test
