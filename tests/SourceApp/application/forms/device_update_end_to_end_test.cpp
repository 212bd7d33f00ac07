// Updating the simulated control unit through the wizard's screens, as an installer does it: the system
// screen's link, the device's description, the package found in the card folder, its confirmation, the
// restart and download screens and the result, with the unit's bootloader at the other end of the in-process
// line and everything on the shared fake clock.
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/Checkbox.h"
#include "SourceApp/application/controls/DropdownButton.h"
#include "SourceApp/application/controls/TextFrame.h"
#include "tests/SourceApp/application/forms/forms_fixture.h"
#include "tests/SourceHost/api_lib/scratch_folder.h"
#include "tests/support/child_process.h"
#include "tests/support/update_loop.h"

#include "SourceApp/storage/net/TaviProtocol.h"
#include "SourceApp/system/config.h"
#include "SourceHost/api_lib/sdcard.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace tdx::test {
namespace {

constexpr unsigned NOT_ENROLLED = 1;
constexpr unsigned SPLASH = 2;
constexpr unsigned HOME = 9;
constexpr unsigned SYSTEM = 11;

class DeviceUpdateEndToEnd : public FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        std::filesystem::create_directory(mFolder / "sdcard");
        sdcard_set_folder((mFolder / "sdcard").c_str());
        sdcard_set_inserted(true);
        std::ofstream image(mFolder / "image.bin", std::ios::binary);
        for (uint32_t i = 0; i < 3000; ++i) {
            mImage.push_back(static_cast<uint8_t>(i * 13 + 5));
        }
        image.write(reinterpret_cast<const char*>(mImage.data()),
                    static_cast<std::streamsize>(mImage.size()));
        image.close();
        std::string command = MKPACKAGE_PATH;
        command.append(" --hw HM316 --sw HM316 --version 2.3 --data ")
            .append((mFolder / "image.bin").string());
        command.append(" -o ").append((mFolder / "sdcard" / "unit.fw").string());
        std::string said;
        ASSERT_EQ(runCommand(command, said), 0) << said;
    }
    void TearDown() override {
        mLoop.reset();
        sdcard_set_folder("");
        FormsTest::TearDown();
    }

    // The display connected to the simulated unit; the display's main loop runs at every step of the line.
    void connectUnit(const sim::SimConfig& config = {}) {
        mLoop = std::make_unique<UpdateLoop>(config);
        mLoop->setPump([this] {
            // A timer message every 60 ms or so of the line's 10 ms steps.
            if (++mSteps % 6 == 0) {
                mCore.tick();
                if (mCore.takeTimerFlag()) {
                    mCore.sendMessage(nullptr, MSG_TIMER, static_cast<int>(mCore.getTickCount()), 0, 0, 0);
                }
            }
            getApplication()->getTaskPool()->run();
            runTasks();
            if (mMirrorSession) {
                mirrorSession();
            }
            mSeen.insert(state().getStateId());
            if (state().getStateId() == 33) {
                mCountdown = findAll<ContainedLabel>().at(1)->getText();
                if (mCountdowns.empty() || mCountdowns.back().text != mCountdown) {
                    mCountdowns.push_back({mCountdown, timer()});
                }
            }
            if (state().getStateId() == 35 && !mResultAt) {
                mResultAt = timer();
            }
            if (state().getStateId() == 34) {
                if (auto* label = findAll<ContainedLabel>().at(1)) {
                    mProgressTexts.insert(label->getText());
                }
            }
        });
        ASSERT_TRUE(mLoop->connect());
        connect();
    }
    bool reach(unsigned id, uint32_t ms) {
        return mLoop->runUntil([&] { return state().getStateId() == id; }, ms);
    }
    Button* next() const {
        return find<Button>([](const Button& b) { return b.getLeft() > 200; });
    }
    // The system screen's "Update control unit".
    void startUpdate() {
        open(SYSTEM);
        tap(findAll<DropdownButton>().at(1)); // Actions
        const Component* link = findByText("Update control unit");
        ASSERT_NE(link, nullptr);
        tap(link);
    }
    // From the system screen's link to "Update" on the confirmation of the one package in the card folder.
    void chooseThePackage() {
        startUpdate();
        ASSERT_TRUE(reach(28, 3000)) << trace();
        EXPECT_NE(findByText("HMU-316"), nullptr);
        tap(next());
        ASSERT_TRUE(reach(30, 2000));
        const std::vector<CheckButton*> packages = findAll<CheckButton>();
        ASSERT_EQ(packages.size(), 1u);
        EXPECT_EQ(textOf(*packages[0]), "unit.fw");
        tap(packages[0]);
        tick();
        tap(next());
        runTasks(2);
        ASSERT_EQ(state().getStateId(), 32u);
        EXPECT_NE(findByText("HM31602"), nullptr) << "the package's version 2.3";
        tap(next()); // "Update"
    }
    // This stage's client has no bridge of its own: the bridge hears of the session as the client keeps it,
    // and a session that begins synchronises at once.
    void mirrorSession() {
        const bool session = tnet_get_state() == TNET_SESSION;
        if (session == mSession) {
            return;
        }
        mSession = session;
        if (session) {
            connect();
            networkEvent(Net::NET_EVENT_SYNC_STARTED);
        } else {
            ++mLosses;
            Net::Tavi.handleDisconnected(TNET_DISCONNECT_SUPERVISION);
        }
    }
    // The unit falls silent for ms: the session ends after its supervision time, and begins again after.
    void silence(uint32_t ms) {
        mLoop->sim().faults().stopPolling = true;
        mLoop->run(ms);
        mLoop->sim().faults().stopPolling = false;
    }
    // The package sent, the unit restarting into it, the bridge hearing of the session as the client keeps
    // it.
    void toTheWaitForTheNewProgram(const sim::SimConfig& config) {
        connectUnit(config);
        mMirrorSession = true;
        chooseThePackage();
        ASSERT_TRUE(
            mLoop->runUntil([&] { return mSeen.count(34) == 1 && state().getStateId() == 33; }, 30000))
            << trace();
    }
    std::string heading() const { return findAll<ContainedLabel>().at(0)->getText(); }
    std::string message() const { return find<TextFrame>()->getText(); }
    // Finish, and the user is back on the system screen with the process gone.
    void finish() {
        tap(next());
        ASSERT_TRUE(mLoop->runUntil([&] { return updates().getProcess() == nullptr; }, 1000));
        runTasks(2);
        EXPECT_EQ(state().getStateId(), SYSTEM);
        EXPECT_EQ(historyDepth(), 1u) << "no wizard screen left in the history";
    }

    TempDir mTemp;
    std::filesystem::path mFolder{mTemp.path()};
    std::vector<uint8_t> mImage;
    std::unique_ptr<UpdateLoop> mLoop;
    int mSteps = 0;
    bool mMirrorSession = false;
    bool mSession = true;
    int mLosses = 0;
    std::set<unsigned> mSeen;
    std::set<std::string> mProgressTexts;
    std::string mCountdown; // the last one the wait screen showed
    struct Shown {
        std::string text;
        uint64_t at;
    };
    std::vector<Shown> mCountdowns; // every change of the wait screen's figure
    std::optional<uint64_t> mResultAt;
};

// The seconds a countdown text shows; 0 for "Device is not responding".
int secondsOf(const std::string& text) {
    const std::string prefix = "Waiting for device ";
    if (text.rfind(prefix, 0) != 0) {
        return 0;
    }
    return std::stoi(text.substr(prefix.size()));
}

TEST_F(DeviceUpdateEndToEnd, ControlUnitIsUpdatedFromTheCardThroughEveryScreen) {
    connectUnit();
    chooseThePackage();
    ASSERT_TRUE(reach(35, 30000)) << trace();
    EXPECT_EQ(heading(), "Update Finished");
    EXPECT_EQ(message(), "Device has updated successfully.");
    EXPECT_EQ(mLoop->sim().bootloader().image(), mImage);
    EXPECT_TRUE(mSeen.count(33) == 1 && mSeen.count(34) == 1) << "the restart and download screens showed";
    EXPECT_GT(mProgressTexts.size(), 2u) << "the percentage moved";
    EXPECT_EQ(mProgressTexts.count("Downloading 0 %"), 1u);
    screenshot("DeviceUpdateEndToEnd_finished");
    finish();
}

TEST_F(DeviceUpdateEndToEnd, UnitFallingSilentMidDownloadEndsOnTheResultWithItsWholeText) {
    sim::SimConfig config;
    config.bootloader.silentAfterChunks = 4;
    connectUnit(config);
    chooseThePackage();
    ASSERT_TRUE(reach(35, 45000)) << trace();
    EXPECT_EQ(heading(), "Update Failed");
    EXPECT_EQ(message().rfind("Device stopped responding during download.", 0), 0u) << message();
    const TextFrame& text = *find<TextFrame>();
    EXPECT_LE(text.getTop() + text.getTextHeight(), 39 + 160) << "the whole text in sight without scrolling";
    screenshot("DeviceUpdateEndToEnd_failed");
    finish();
}

// Whatever failed, once the result shows the display talks to the unit again: its own traffic (the
// synchronisation, the user's changes) no longer waits behind a bootloader that nobody talks to any more.
struct FailedUpdateCase {
    const char* name;
    void (*setUp)(sim::SimConfig&);
    const char* message;
};

class FailedDeviceUpdate : public DeviceUpdateEndToEnd,
                           public ::testing::WithParamInterface<FailedUpdateCase> {};

TEST_P(FailedDeviceUpdate, EndsWithTheDisplaysOwnTrafficFree) {
    sim::SimConfig config;
    GetParam().setUp(config);
    connectUnit(config);
    chooseThePackage();
    ASSERT_TRUE(reach(35, 60000)) << trace();
    EXPECT_EQ(heading(), "Update Failed");
    EXPECT_EQ(message().rfind(GetParam().message, 0), 0u) << message();
    EXPECT_FALSE(Net::Tavi.isTrafficHeld()) << "the result screen holds the display's own traffic back";
    finish();
    EXPECT_FALSE(Net::Tavi.isTrafficHeld());
}

INSTANTIATE_TEST_SUITE_P(
    Knobs, FailedDeviceUpdate,
    ::testing::Values(
        FailedUpdateCase{"SilentMidDownload", [](sim::SimConfig& c) { c.bootloader.silentAfterChunks = 4; },
                         "Device stopped responding during download."},
        FailedUpdateCase{"ProgramDoesNotStart",
                         [](sim::SimConfig& c) { c.bootloader.stayInBootloaderAfterUpgrade = true; },
                         "Device did not start its new program."}),
    [](const auto& info) { return std::string(info.param.name); });

// The unit never comes back from its restart into the bootloader: the network goes down with it, the wizard
// keeps its screens while the display waits, the result says so, and the user then learns that the display
// has no control unit.
TEST_F(DeviceUpdateEndToEnd, UnitThatStaysAwayKeepsTheWizardUntilTheResultAndThenShowsTheNetworkLost) {
    sim::SimConfig config;
    config.bootloader.stayDown = true;
    connectUnit(config);
    chooseThePackage();
    mSeen.clear();
    ASSERT_TRUE(reach(33, 3000)) << trace();
    // The session with the unit ends as its silence passes the supervision time (this stage's client has no
    // bridge of its own: the bridge hears it here).
    Net::Tavi.handleConnected(0x000316);
    Net::Tavi.handleDisconnected(TNET_DISCONNECT_SUPERVISION);
    runTasks(2);
    EXPECT_EQ(state().getStateId(), 33u) << "the wait screen stays";
    ASSERT_TRUE(reach(35, 60000)) << trace();
    EXPECT_TRUE(Net::Tavi.isConnectionLost());
    for (unsigned id : mSeen) {
        EXPECT_TRUE(id >= 27 && id <= 35) << "screen " << id << " while the update ran";
    }
    EXPECT_EQ(heading(), "Update Failed");
    EXPECT_EQ(message().rfind("Device failed to entry download mode.", 0), 0u) << message();
    tap(next());
    ASSERT_TRUE(mLoop->runUntil([&] { return updates().getProcess() == nullptr; }, 1000));
    runTasks(2);
    EXPECT_EQ(state().getStateId(), 1u) << "the not-enrolled screen";
}

// The unit's restart into its new program outlasts the session's supervision: the network goes down while
// the wizard waits for the program, the wait screen stays, and the update still ends in success.
TEST_F(DeviceUpdateEndToEnd, ALossDuringTheFinalRestartKeepsTheWizardAndEndsInSuccess) {
    sim::SimConfig config;
    config.bootloader.bootloaderRestartMs = 1000;
    config.bootloader.restartMs = 6000;
    toTheWaitForTheNewProgram(config);
    if (HasFatalFailure()) {
        return;
    }
    const int losses = mLosses; // the restart into the bootloader begins a session of its own too
    mSeen.clear();
    ASSERT_TRUE(reach(35, 30000)) << trace();
    EXPECT_EQ(mLosses, losses + 1) << "the session ended while the program started";
    for (unsigned id : mSeen) {
        EXPECT_TRUE(id == 33 || id == 35) << "screen " << id << " while the unit restarted";
    }
    EXPECT_EQ(heading(), "Update Finished");
    EXPECT_EQ(message(), "Device has updated successfully.");
    finish();
}

// The new program does not start, and the network goes down as the unit restarts into it: the wait screen
// counts down what the update still waits, so that the result comes as its countdown ends, not with half
// of it left.
TEST_F(DeviceUpdateEndToEnd, TheWaitForTheNewProgramCountsDownWhatIsReallyLeft) {
    sim::SimConfig config;
    config.bootloader.stayInBootloaderAfterUpgrade = true;
    config.bootloader.restartMs = 5000;
    toTheWaitForTheNewProgram(config);
    if (HasFatalFailure()) {
        return;
    }
    ASSERT_TRUE(reach(35, 60000)) << trace();
    EXPECT_EQ(heading(), "Update Failed");
    const std::string prefix = "Waiting for device ";
    ASSERT_EQ(mCountdown.rfind(prefix, 0), 0u) << mCountdown;
    EXPECT_LE(std::stoi(mCountdown.substr(prefix.size())), 1) << "the countdown when the result came";
}

// The unit lost during the download: asked afterwards to run its program, one that is back running it
// (switched off and on, its bootloader keeping the old program) gets a result that says so; one that stays
// silent gets the time-out's text and that it does not run its program.
struct LostDownloadCase {
    const char* name;
    bool powerCycled; // else silent for good
    const char* message;
    bool runsItsProgram;
};

void PrintTo(const LostDownloadCase& c, std::ostream* os) {
    *os << c.name;
}

class UnitLostDuringTheDownload : public DeviceUpdateEndToEnd,
                                  public ::testing::WithParamInterface<LostDownloadCase> {};

TEST_P(UnitLostDuringTheDownload, EndsOnAResultThatSaysWhatTheUnitRuns) {
    const LostDownloadCase& c = GetParam();
    sim::SimConfig config;
    config.bootloader.silentAfterChunks = 4;
    connectUnit(config);
    mMirrorSession = true;
    chooseThePackage();
    ASSERT_TRUE(reach(34, 20000)) << trace();
    mLoop->run(1000); // the download stands at its fourth chunk
    ASSERT_EQ(state().getStateId(), 34u);
    const int losses = mLosses;
    if (c.powerCycled) {
        mLoop->sim().powerCycle();
        silence(5000);
        EXPECT_EQ(mLosses, losses + 1) << "the session ended with the unit";
    }
    ASSERT_TRUE(reach(35, 60000)) << trace();
    EXPECT_EQ(heading(), "Update Failed");
    EXPECT_EQ(message(), c.message);
    EXPECT_EQ(mLoop->sim().bootloader().mode() == BL_MODE_APPLICATION, c.runsItsProgram);
    EXPECT_EQ(mLoop->sim().bootloader().info().sw_major, 1) << "the unit's version before the update";
    const TextFrame& text = *find<TextFrame>();
    EXPECT_LE(text.getTop() + text.getTextHeight(), 39 + 160) << "the whole text in sight without scrolling";
    finish();
}

INSTANTIATE_TEST_SUITE_P(
    Losses, UnitLostDuringTheDownload,
    ::testing::Values(
        LostDownloadCase{"BackInItsProgram", true,
                         "The download was interrupted. The device runs its previous program again.", true},
        LostDownloadCase{
            "SilentForGood", false,
            "Device stopped responding during download.\n\nPower cycle the device to repeat the "
            "process.\n\nThe device does not run its program: update it again or power-cycle it.",
            false}),
    [](const auto& info) { return std::string(info.param.name); });

// A unit that does not come back while the update waits for it: the wait screen counts down the whole wait
// left, the request to run the program that follows a phase's time-out included, so that its 0 is the result
// and no countdown starts again after it.
struct LongWaitCase {
    const char* name;
    void (*setUp)(sim::SimConfig&);
    const char* message; // the result's first sentence
};

void PrintTo(const LongWaitCase& c, std::ostream* os) {
    *os << c.name;
}

class WaitForAUnitThatStaysAway : public DeviceUpdateEndToEnd,
                                  public ::testing::WithParamInterface<LongWaitCase> {};

TEST_P(WaitForAUnitThatStaysAway, CountsDownToZeroOnceAsTheResultComes) {
    const LongWaitCase& c = GetParam();
    sim::SimConfig config;
    c.setUp(config);
    connectUnit(config);
    mMirrorSession = true;
    chooseThePackage();
    ASSERT_TRUE(reach(35, 90000)) << trace();
    EXPECT_EQ(message().rfind(c.message, 0), 0u) << message();
    ASSERT_FALSE(mCountdowns.empty()) << "the wait screen showed";
    std::vector<int> figures;
    for (const Shown& shown : mCountdowns) {
        figures.push_back(secondsOf(shown.text));
    }
    const std::string all = ::testing::PrintToString(figures);
    // The figure grows only while the network goes down (the grace comes first); from its highest on it runs
    // down to the end.
    const auto highest = std::max_element(figures.begin(), figures.end());
    EXPECT_TRUE(std::is_sorted(highest, figures.end(), std::greater<int>())) << all;
    EXPECT_EQ(figures.back(), 0) << all;
    const auto zero = std::find(figures.begin(), figures.end(), 0);
    EXPECT_EQ(std::count_if(zero, figures.end(), [](int f) { return f > 0; }), 0)
        << "a wait after 0: " << all;
    const uint64_t zeroAt = mCountdowns[static_cast<size_t>(zero - figures.begin())].at;
    ASSERT_TRUE(mResultAt.has_value());
    EXPECT_LE(*mResultAt - zeroAt, 1500u) << "0 is the end of the wait: " << all;
}

INSTANTIATE_TEST_SUITE_P(
    Units, WaitForAUnitThatStaysAway,
    ::testing::Values(LongWaitCase{"StaysDown", [](sim::SimConfig& c) { c.bootloader.stayDown = true; },
                                   "Device failed to entry download mode."},
                      LongWaitCase{"SilentMidDownload",
                                   [](sim::SimConfig& c) { c.bootloader.silentAfterChunks = 4; },
                                   "Device stopped responding during download."}),
    [](const auto& info) { return std::string(info.param.name); });

// A unit lost where the update waits for nothing of it (the first page, each result) ends the update: the
// not-enrolled screen stands on the screen that started it, and the unit's return leads through the splash,
// whose own search of devices in distress runs and ends, to home.
struct LostUnitCase {
    const char* name;
    void (*setUp)(sim::SimConfig&);
    bool update;         // a package is chosen and sent
    bool cancel;         // "Cancel" on the first page
    unsigned page;       // where the unit goes
    const char* heading; // of the result shown then; none on the first page
};

void PrintTo(const LostUnitCase& c, std::ostream* os) {
    *os << c.name;
}

class UnitLostInTheWizard : public DeviceUpdateEndToEnd,
                            public ::testing::WithParamInterface<LostUnitCase> {};

TEST_P(UnitLostInTheWizard, EndsTheUpdateAndComesBackHomeThroughTheSplash) {
    const LostUnitCase& c = GetParam();
    sim::SimConfig config;
    c.setUp(config);
    connectUnit(config);
    mMirrorSession = true;
    Configuration.first_start = 0; // the splash leads home
    if (c.update) {
        chooseThePackage();
    } else {
        startUpdate();
    }
    if (c.cancel) {
        ASSERT_TRUE(reach(28, 3000)) << trace();
        tap(findByText("Cancel"));
    }
    ASSERT_TRUE(reach(c.page, 60000)) << trace();
    if (c.heading != nullptr) {
        EXPECT_EQ(heading(), c.heading);
    }
    const int losses = mLosses;
    silence(5000);
    EXPECT_EQ(mLosses, losses + 1);
    ASSERT_TRUE(
        mLoop->runUntil([&] { return state().getStateId() == SPLASH || state().getStateId() == HOME; }, 5000))
        << trace();
    EXPECT_TRUE(mSeen.count(NOT_ENROLLED) == 1) << "the loss was shown";
    ASSERT_TRUE(reach(HOME, 20000)) << "stuck on screen " << state().getStateId() << "\n" << trace();
    EXPECT_EQ(updates().getProcess(), nullptr);
    EXPECT_TRUE(isSynchronized());
    EXPECT_EQ(countOf(trace(), "SPLASH searching devices in distress"), 1u) << "the splash's own search ran";
    EXPECT_EQ(trace().find("ASSERTION"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, UnitLostInTheWizard,
    ::testing::Values(LostUnitCase{"FirstPage", [](sim::SimConfig&) {}, false, false, 28, nullptr},
                      LostUnitCase{"Finished", [](sim::SimConfig&) {}, true, false, 35, "Update Finished"},
                      LostUnitCase{"Aborted", [](sim::SimConfig&) {}, false, true, 35, "Update Aborted"},
                      LostUnitCase{"Failed", [](sim::SimConfig& c) { c.bootloader.neverAnswer = true; },
                                   false, false, 35, "Update Failed"}),
    [](const auto& info) { return std::string(info.param.name); });

// A unit in distress, found by the splash in its bootloader: its update cannot be cancelled, yet a loss on
// its first page ends it like any other; once the unit is back the splash finds it again and the wizard
// shows it anew, with no leftover process in the way.
TEST_F(DeviceUpdateEndToEnd, AUnitInDistressLostOnItsFirstPageIsFoundAgainWhenItIsBack) {
    sim::SimConfig config;
    config.bootloader.startInBootloader = true;
    config.bootloader.info.sw_major = 0;
    connectUnit(config);
    mMirrorSession = true;
    Configuration.first_start = 0;
    open(SPLASH);
    ASSERT_TRUE(reach(28, 10000)) << trace();
    EXPECT_FALSE(updates().getProcess()->getModel()->isCancellable());
    const int losses = mLosses;
    mSeen.clear();
    silence(5000);
    EXPECT_EQ(mLosses, losses + 1);
    ASSERT_TRUE(
        mLoop->runUntil([&] { return mSeen.count(NOT_ENROLLED) == 1 && state().getStateId() == 28; }, 20000))
        << "on screen " << state().getStateId() << "\n"
        << trace();
    EXPECT_EQ(countOf(trace(), "SPLASH searching devices in distress"), 2u);
    EXPECT_EQ(countOf(trace(), "update: the network is down, the update ends"), 1u);
}

} // namespace
} // namespace tdx::test
