// The bootloader service against a fake master: the test raises the master's events as the device would
// answer, lets the fake clock run, and checks what the owner hears and what the master is asked to do.
#include "Libraries/base/os.h"
#include "SourceApp/application/update/remote/BootloaderService.h"
#include "SourceApp/application/update/remote/fake_port.h"
#include "support/trace_capture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace tdx::test {
namespace {

class Owner final : public BootloaderUpgradeInterface {
public:
    void handleEvent(bootloader_client_event event) override { events.push_back(event); }
    int getFileDescriptor(uint32_t, bl_file*, void*, uint8_t* extraLength) override {
        *extraLength = 0;
        return 0;
    }
    int getFileData(uint32_t, uint8_t*, uint32_t offset, uint32_t) override {
        return offset == failAt ? -1 : 0;
    }

    std::vector<int> events;
    uint32_t failAt = 0xFFFFFFFF;
};

class BootloaderServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        os_init();
        fresh();
    }

    void fresh() {
        mService.reset();
        mOwner = Owner{};
        auto port = std::make_unique<FakePort>();
        mPort = port.get();
        mService = std::make_unique<BootloaderService>(0x12000316, mOwner, std::move(port));
    }
    // Runs the service's poll step for ms of fake time, in host ticks.
    void run(uint32_t ms) {
        for (uint32_t t = 0; t < ms; t += OS_TICK_MS) {
            os_clock_advance(OS_TICK_MS);
            mService->task();
        }
    }
    void identify(bl_cl_event mode = BL_CL_EVENT_APPLICATION) {
        mService->start();
        mPort->raise(mode);
    }
    // Through the restart into the bootloader, ready for the first chunk.
    void restarted(uint32_t seconds = 2) {
        identify();
        mService->upgrade(7);
        mPort->raise(BL_CL_EVENT_APPLICATION);
        mPort->restarting(seconds);
    }
    void downloading() {
        restarted();
        mPort->chunk(0, 256);
    }
    std::string state() const { return mService->getStateName(); }

    TraceCapture mTrace;
    Owner mOwner;
    FakePort* mPort = nullptr;
    std::unique_ptr<BootloaderService> mService;
};

// The lines of the trace, each without its time stamp.
std::vector<std::string> traceLines(const std::string& trace) {
    std::vector<std::string> lines;
    std::istringstream in(trace);
    for (std::string line; std::getline(in, line);) {
        const size_t stamp = line.find(' ');
        lines.push_back(stamp == std::string::npos ? line : line.substr(stamp + 1));
    }
    return lines;
}

TEST_F(BootloaderServiceTest, HappyPathRaisesItsEventsInOrderAndEndsIdleWithTheMasterSilenced) {
    std::memcpy(mPort->info.hw_code, "HM316", 5);
    std::memcpy(mPort->info.sw_code, "HM316", 5);
    mPort->info.hw_version = 1;
    mPort->info.sw_major = 2;
    mPort->info.sw_minor = 3;
    mPort->info.serial[0] = 0x34;
    mPort->info.serial[1] = 0x12;
    mTrace.clear();
    mService->start();
    mPort->raise(BL_CL_EVENT_DEVICE_INFO, &mPort->info);
    mPort->raise(BL_CL_EVENT_APPLICATION);
    EXPECT_EQ(mService->getDeviceInfoState(nullptr), BSDS_APPLICATION);
    mService->upgrade(7);
    mPort->raise(BL_CL_EVENT_APPLICATION); // the reconnected application is asked to restart
    mPort->restarting(2);
    mPort->raise(BL_CL_EVENT_BOOTLOADER);
    for (uint32_t offset : {0u, 256u, 256u, 512u}) {
        EXPECT_EQ(mPort->chunk(offset, offset == 512 ? 88 : 256), 0);
    }
    uint32_t progress = 0;
    uint32_t max = 0;
    mService->getDownloadProgress(&progress, &max);
    EXPECT_EQ(progress, 600u);
    EXPECT_EQ(max, 600u);
    mPort->raise(BL_CL_EVENT_DONE);
    mPort->raise(BL_CL_EVENT_APPLICATION);

    EXPECT_EQ(mOwner.events, (std::vector<int>{BCE_IDENTIFIED, BCE_RESTARTING, BCE_DOWNLOAD, BCE_DOWNLOAD,
                                               BCE_DOWNLOAD, BCE_UPGRADED, BCE_FINISHED}));
    mPort->calls.resize(8);
    EXPECT_EQ(mPort->calls, (std::vector<std::string>{"disconnect", "init", "connect", "disconnect",
                                                      "connect", "upgrade 7", "app", "disconnect"}));
    EXPECT_EQ(state(), "BootloaderMap::Idle");
    EXPECT_EQ(mService->getDeviceInfoState(nullptr), BSDS_UNKNOWN);
    run(60000);
    EXPECT_EQ(mOwner.events.size(), 7u) << "no timer left running";

    // What the master heard, line by line as the service traces it.
    std::vector<std::string> heard;
    for (const std::string& line : traceLines(mTrace.str())) {
        if (line.find("ENTER STATE") == std::string::npos) {
            heard.push_back(line);
        }
    }
    EXPECT_EQ(heard, (std::vector<std::string>{"connected [hw:HM31601 sw:HM316 ver:2.3 sn:0x00001234]",
                                               "application is running(0) ", "application is running(0) ",
                                               "starting bootloader(max 2 seconds)",
                                               "bootloader is running(0) ", "application is running(0) "}));
}

TEST_F(BootloaderServiceTest, DeviceAlreadyInItsBootloaderIsUpgradedWithoutARestart) {
    identify(BL_CL_EVENT_BOOTLOADER);
    EXPECT_EQ(mService->getDeviceInfoState(nullptr), BSDS_BOOTLOADER);
    mService->upgrade(BootloaderService::NO_FILE);
    EXPECT_EQ(state(), "BootloaderMap::DeviceIdentified") << "no file, no upgrade";
    mService->upgrade(3);
    mPort->raise(BL_CL_EVENT_BOOTLOADER);
    EXPECT_EQ(mPort->calls.back(), "upgrade 3");
    mPort->chunk(0, 256);
    EXPECT_EQ(mOwner.events, (std::vector<int>{BCE_IDENTIFIED, BCE_DOWNLOAD}));
}

// After an update that wrote nothing the device is asked what runs: a bootloader is told to run the
// application, an application is simply done, and silence ends as a timeout.
TEST_F(BootloaderServiceTest, StartingTheApplicationAfterAFailureRunsTheProgramOfABootloaderOnly) {
    struct Case {
        const char* after;
        std::function<void()> fail;
        std::optional<bl_cl_event> answer;
        long runRequests;
        int ends;
    };
    const Case cases[] = {
        {"a refused upgrade",
         [this] {
             restarted();
             mPort->raise(BL_CL_EVENT_BOOTLOADER);
             mPort->fault(BL_FAULT_DEVICE_STATUS);
         },
         BL_CL_EVENT_BOOTLOADER, 1, BCE_FINISHED},
        {"no bootloader after the restart",
         [this] {
             restarted();
             run(7100);
         },
         BL_CL_EVENT_APPLICATION, 0, BCE_FINISHED},
        {"an unusable package", [this] { identify(BL_CL_EVENT_BOOTLOADER); }, std::nullopt, 0, BCE_TIMEOUT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.after);
        fresh();
        c.fail();
        mPort->calls.clear();
        mService->startApplication();
        if (c.answer) {
            mPort->raise(*c.answer);
            mPort->raise(BL_CL_EVENT_APPLICATION);
        }
        run(8100);
        ASSERT_FALSE(mPort->calls.empty());
        EXPECT_EQ(mPort->calls.front(), "connect");
        EXPECT_EQ(std::count(mPort->calls.begin(), mPort->calls.end(), "app"), c.runRequests);
        EXPECT_EQ(mOwner.events.back(), c.ends);
    }
}

TEST_F(BootloaderServiceTest, OneChunkFileReachesDownloadingAndFinishes) {
    mPort->size = 100;
    restarted();
    mPort->chunk(0, 100);
    mPort->raise(BL_CL_EVENT_DONE);
    EXPECT_EQ(mOwner.events, (std::vector<int>{BCE_IDENTIFIED, BCE_RESTARTING, BCE_DOWNLOAD, BCE_UPGRADED}));
    EXPECT_EQ(state(), "BootloaderMap::Upgraded");
}

TEST_F(BootloaderServiceTest, RepeatedChunkSendsNoProgressAndDoesNotRestartTheTimeout) {
    downloading();
    run(20000);
    mPort->chunk(0, 256); // asked again
    EXPECT_EQ(std::count(mOwner.events.begin(), mOwner.events.end(), BCE_DOWNLOAD), 1);
    run(10100);
    EXPECT_EQ(mOwner.events.back(), BCE_TIMEOUT) << "30 s from the first chunk, not from its repetition";
}

TEST_F(BootloaderServiceTest, EachPhaseTimesOutAfterItsOwnPeriod) {
    struct Case {
        const char* phase;
        std::function<void()> reach;
        uint32_t ms;
    };
    const Case cases[] = {
        {"connecting", [this] { mService->start(); }, 8000},
        {"reconnecting for the upgrade",
         [this] {
             identify();
             mService->upgrade(1);
         },
         8000},
        {"restart announced as 60 s", [this] { restarted(60); }, 65000},
        {"downloading", [this] { downloading(); }, 30000},
        {"waiting for the application, restart announced as 2 s",
         [this] {
             downloading();
             mPort->raise(BL_CL_EVENT_DONE);
         },
         7000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.phase);
        fresh();
        c.reach();
        const size_t before = mOwner.events.size();
        run(c.ms - OS_TICK_MS);
        EXPECT_EQ(mOwner.events.size(), before) << "too early";
        run(2 * OS_TICK_MS);
        ASSERT_EQ(mOwner.events.size(), before + 1);
        EXPECT_EQ(mOwner.events.back(), BCE_TIMEOUT);
        mService->finish();
        EXPECT_EQ(state(), "BootloaderMap::Idle");
    }
}

// The control unit restarting takes the network down: the phase's time waits for the network's return, so
// that a unit slower than it announced still answers in time, but no longer than 20 s of one outage.
TEST_F(BootloaderServiceTest, APhasesTimeWaitsForTheNetworkForUpToTwentySecondsOfOneOutage) {
    struct Case {
        const char* phase;
        std::function<void()> reach;
        uint32_t phaseMs;
        uint32_t downMs; // then the network is back; 0: it stays down
        uint32_t timeoutAfterMs;
    };
    auto afterUpgrade = [this] {
        downloading();
        mPort->raise(BL_CL_EVENT_DONE);
    };
    const Case cases[] = {
        {"restart announced as 2 s, back after 9 s", [this] { restarted(2); }, 7000, 9000, 9000 + 7000},
        {"restart announced as 2 s, never back", [this] { restarted(2); }, 7000, 0, 20000 + 7000},
        {"application after the upgrade, back after 6 s", afterUpgrade, 7000, 6000, 6000 + 7000},
        {"application after the upgrade, never back", afterUpgrade, 7000, 0, 20000 + 7000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.phase);
        fresh();
        c.reach();
        const size_t before = mOwner.events.size();
        mPort->reachable = false;
        if (c.downMs != 0) {
            run(c.downMs);
            mPort->reachable = true;
        }
        run(c.timeoutAfterMs - c.downMs - OS_TICK_MS);
        EXPECT_EQ(mOwner.events.size(), before) << "too early";
        run(3 * OS_TICK_MS);
        ASSERT_EQ(mOwner.events.size(), before + 1);
        EXPECT_EQ(mOwner.events.back(), BCE_TIMEOUT);
    }
    // A device that answers once the network is back ends the wait without a timeout.
    fresh();
    afterUpgrade();
    mPort->reachable = false;
    run(15000);
    mPort->reachable = true;
    run(1000);
    mPort->raise(BL_CL_EVENT_APPLICATION);
    EXPECT_EQ(mOwner.events.back(), BCE_FINISHED);
    EXPECT_EQ(state(), "BootloaderMap::Idle");
}

// Two outages in one update: one during a long download, and the restart into the new program well after it.
// The second outage's grace counts from its own start: a unit slower than it announced still answers in time
// after a long download, one that comes back silent fails the phase's time after its return, and one that
// stays away fails 20 s and the phase's time after the second outage began.
TEST_F(BootloaderServiceTest, EachOutageGetsItsOwnGraceCountedFromItsOwnStart) {
    const struct {
        const char* name;
        uint32_t secondDownMs; // 0: the network stays down
        bool answers;          // the application, once the network is back
        uint32_t timeoutMs;    // from the second outage's start; 0: none
    } rows[] = {
        {"back after 12 s, the program answers", 12000, true, 0},
        {"back after 12 s, nothing answers", 12000, false, 12000 + 7000},
        {"never back", 0, false, 20000 + 7000},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        fresh();
        mPort->size = 4096;
        downloading();
        mPort->reachable = false; // the first outage, within the download's 30 s per chunk
        run(10000);
        mPort->reachable = true;
        for (uint32_t offset = 256; offset < 4096; offset += 256) {
            run(2000);
            ASSERT_EQ(mPort->chunk(offset, 256), 0);
        }
        ASSERT_EQ(mOwner.events.back(), BCE_DOWNLOAD) << "the download went on through the first outage";
        mPort->raise(BL_CL_EVENT_DONE); // 2 s announced: 7 s for the program to answer
        const size_t before = mOwner.events.size();
        mPort->reachable = false;
        if (row.secondDownMs != 0) {
            run(row.secondDownMs);
            mPort->reachable = true;
        }
        if (row.answers) {
            run(1000);
            mPort->raise(BL_CL_EVENT_APPLICATION);
            EXPECT_EQ(std::count(mOwner.events.begin(), mOwner.events.end(), BCE_TIMEOUT), 0);
            ASSERT_EQ(mOwner.events.size(), before + 1);
            EXPECT_EQ(mOwner.events.back(), BCE_FINISHED);
            continue;
        }
        run(row.timeoutMs - row.secondDownMs - OS_TICK_MS);
        EXPECT_EQ(mOwner.events.size(), before) << "too early";
        run(3 * OS_TICK_MS);
        ASSERT_EQ(mOwner.events.size(), before + 1);
        EXPECT_EQ(mOwner.events.back(), BCE_TIMEOUT);
    }
}

// What the wait screen counts down: the phase's timeout as it runs, and while the network is down the rest of
// the outage's grace before the whole timeout; nothing while no phase is supervised.
TEST_F(BootloaderServiceTest, TheTimeLeftIsThePhasesTimeoutAndWhileTheNetworkIsDownTheGraceBeforeIt) {
    EXPECT_EQ(mService->getTimeLeft(), std::nullopt) << "idle";
    restarted(2); // 7 s for the bootloader to answer
    const struct {
        const char* what;
        bool reachable;
        uint32_t runMs;
        uint32_t left;
    } rows[] = {
        {"the restart's wait runs", true, 1000, 6000},
        {"the network goes down", false, 0, 20000 + 7000},
        {"down for 5 s", false, 5000, 15000 + 7000},
        {"back: the whole timeout from the return", true, 0, 7000},
        {"running again", true, 3000, 4000},
        {"down again: a new grace", false, 2000, 18000 + 7000},
        {"the grace is over: the timeout runs", false, 20000, 5000},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        mPort->reachable = row.reachable;
        run(row.runMs + OS_TICK_MS); // one poll step sees the network as it is
        const std::optional<uint32_t> left = mService->getTimeLeft();
        ASSERT_TRUE(left.has_value());
        EXPECT_LE(*left, row.left);
        EXPECT_GE(*left + 4 * OS_TICK_MS, row.left) << "the poll steps of the rows before";
    }
    mPort->raise(BL_CL_EVENT_BOOTLOADER);
    mPort->chunk(0, 256);
    mPort->chunk(256, 256);
    EXPECT_EQ(mService->getTimeLeft(), std::optional<uint32_t>(30000)) << "a new chunk: the download's 30 s";
    mService->stop();
    EXPECT_EQ(mService->getTimeLeft(), std::nullopt);
}

TEST_F(BootloaderServiceTest, FaultEndsIdleAndDeviceIdentifiedWhichIgnoreTimeoutsAndKeepsItsCodeUntilFinish) {
    identify();
    run(10000);
    EXPECT_EQ(state(), "BootloaderMap::DeviceIdentified");
    mPort->fault(BL_FAULT_DEVICE_STATUS);
    EXPECT_EQ(mOwner.events.back(), BCE_FAULT);
    EXPECT_EQ(mService->getFault(), BL_FAULT_DEVICE_STATUS);
    mService->finish();
    EXPECT_EQ(mService->getFault(), 0);
    mPort->fault(BL_FAULT_OFFSET);
    EXPECT_EQ(state(), "BootloaderMap::Fault") << "from Idle";
    EXPECT_EQ(mService->getFault(), BL_FAULT_OFFSET);
}

// A fault the master reports without its code changes no state and tells the owner nothing; one with its code
// ends every state but Fault itself in Fault.
TEST_F(BootloaderServiceTest, AFaultWithoutItsCodeIsIgnoredInEveryStateAndOneWithItEndsEach) {
    const struct {
        const char* state;
        std::function<void()> reach;
    } rows[] = {
        {"BootloaderMap::Idle",
         [this] {
             mService->start(); // the master knows whom to call back from now on
             mService->stop();
         }},
        {"BootloaderMap::Started", [this] { mService->start(); }},
        {"BootloaderMap::DeviceIdentified", [this] { identify(); }},
        {"BootloaderMap::DeviceReconnectUpgrade",
         [this] {
             identify();
             mService->upgrade(7);
         }},
        {"BootloaderMap::AboutToUpgrade", [this] { restarted(); }},
        {"BootloaderMap::Downloading", [this] { downloading(); }},
        {"BootloaderMap::Upgraded",
         [this] {
             downloading();
             mPort->raise(BL_CL_EVENT_DONE);
         }},
        {"BootloaderMap::Timeout",
         [this] {
             mService->start();
             run(8100);
         }},
        {"BootloaderMap::Fault",
         [this] {
             mService->start();
             mPort->fault(BL_FAULT_OFFSET);
         }},
    };
    for (const auto& row : rows) {
        fresh();
        row.reach();
        ASSERT_EQ(state(), row.state);
        const std::vector<int> before = mOwner.events;
        const int32_t code = mService->getFault();
        EXPECT_EQ(mPort->raise(BL_CL_EVENT_FAULT, nullptr), 0) << row.state;
        EXPECT_EQ(state(), row.state);
        EXPECT_EQ(mOwner.events, before) << row.state;
        EXPECT_EQ(mService->getFault(), code) << row.state;

        mPort->fault(BL_FAULT_DEVICE_STATUS);
        EXPECT_EQ(state(), "BootloaderMap::Fault") << row.state;
        EXPECT_EQ(mOwner.events.back(), BCE_FAULT) << row.state;
        EXPECT_EQ(mService->getFault(), BL_FAULT_DEVICE_STATUS) << row.state;
    }
    EXPECT_GE(mTrace.count("fault without a code"), 9u);
}

TEST_F(BootloaderServiceTest, UnreadableChunkIsRefusedToTheMasterAndIsNoProgress) {
    restarted();
    mOwner.failAt = 0;
    EXPECT_NE(mPort->chunk(0, 256), 0);
    EXPECT_EQ(mOwner.events.back(), BCE_RESTARTING);
}

TEST_F(BootloaderServiceTest, StopReturnsToIdleSilentlyFromAnyPhase) {
    downloading();
    const size_t before = mOwner.events.size();
    mService->stop();
    EXPECT_EQ(state(), "BootloaderMap::Idle");
    EXPECT_EQ(mPort->calls.back(), "disconnect");
    run(40000);
    EXPECT_EQ(mOwner.events.size(), before) << "nothing raised, no timer left";
}

TEST_F(BootloaderServiceTest, FaultRaisedWhileATransitionRunsIsDeliveredToTheNextState) {
    identify(BL_CL_EVENT_BOOTLOADER);
    mService->upgrade(1);
    mPort->faultOnUpgrade = true;
    mPort->raise(BL_CL_EVENT_BOOTLOADER);
    EXPECT_EQ(state(), "BootloaderMap::Fault");
    EXPECT_EQ(mOwner.events.back(), BCE_FAULT);
}

} // namespace
} // namespace tdx::test
