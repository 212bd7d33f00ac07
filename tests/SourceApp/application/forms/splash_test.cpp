// The start of every run: the splash screen's phases, and a lost network leading to the not-enrolled screen
// from wherever the user is.
#include "Libraries/base/os.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/Popup.h"
#include "SourceApp/application/controls/ProgressBar.h"
#include "SourceApp/application/forms/start/FormSplash.h"
#include "SourceApp/application/update/UpdateManager.h"
#include "SourceApp/storage/net/TaviProtocol.h"
#include "SourceApp/system/config.h"
#include "SourceHost/api_lib/device_info.h"
#include "tests/SourceApp/application/forms/forms_fixture.h"

#include <string>
#include <vector>

namespace tdx::test {
namespace {

constexpr unsigned NOT_ENROLLED = 1;
constexpr unsigned SPLASH = 2;
constexpr unsigned CALIBRATION = 3;
constexpr unsigned GUIDE = 4;
constexpr unsigned HOME = 9;

class SplashTest : public FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        os_init();
    }
    // Time passing as the main loop lets it pass, the update manager's task included.
    void run(uint32_t ms) {
        for (uint32_t t = 0; t < ms; t += TICK_MS) {
            updates().task();
            tick();
        }
    }
    FormSplash* splash() const { return dynamic_cast<FormSplash*>(screen()); }
    std::string line() const {
        const auto* text = find<ContainedLabel>([](const ContainedLabel& l) { return l.getTop() == 195; });
        return text != nullptr ? text->getText() : "(none)";
    }
    int progress() const { return find<ProgressBar>()->getProgress(); }
    // Connected to the control unit, the mirror not synchronised yet.
    void connectOnly(uint32_t owner = CONTROL_UNIT) {
        Net::Tavi.handleConnected(owner);
        runTasks();
    }
    // The splash searching devices in distress, its search not ended.
    void openSearching() {
        open(SPLASH);
        run(3100);
        ASSERT_EQ(splash()->getPhase(), FormSplash::PHASE_SEARCHING);
        ASSERT_NE(updates().getProcess(), nullptr);
    }
    void endSearch() {
        updates().terminate(updates().getProcess());
        run(TICK_MS * 2);
    }
};

TEST_F(SplashTest, AFingerHeldThreeSecondsOpensTheCalibrationEvenWhenConnected) {
    connect();
    for (const bool startsWithMove : {false, true}) {
        open(SPLASH);
        EXPECT_EQ(line(), "Press to calibrate touch screen");
        EXPECT_EQ(progress(), ProgressBar::INDETERMINATE);
        if (startsWithMove) {
            move(160, 120);
        } else {
            press(160, 120);
        }
        EXPECT_EQ(progress(), 100);
        run(1500);
        EXPECT_NEAR(progress(), 50, 5) << "the bar runs down while the finger stays";
        run(1600);
        EXPECT_EQ(state().getStateId(), CALIBRATION) << startsWithMove;
        release();
    }
}

TEST_F(SplashTest, AFingerLiftedEarlyWaitsForTheNetworkAndLaterTouchesDoNothing) {
    open(SPLASH);
    press(160, 120);
    run(1000);
    release();
    EXPECT_EQ(line(), "Waiting for network connection");
    EXPECT_EQ(progress(), ProgressBar::INDETERMINATE);
    press(160, 120);
    run(4000);
    release();
    EXPECT_EQ(state().getStateId(), SPLASH);
    EXPECT_EQ(splash()->getPhase(), FormSplash::PHASE_WAIT_NETWORK);
    EXPECT_EQ(updates().getProcess(), nullptr);
}

TEST_F(SplashTest, ANetworkNotConnectedLeadsToNotEnrolledInEveryPhase) {
    const struct {
        const char* phase;
        std::function<void()> reach;
    } phases[] = {
        {"start", [] {}},
        {"finger held", [this] { press(100, 100); }},
        {"waiting", [this] { run(3100); }},
        {"searching",
         [this] {
             connectOnly();
             run(3100);
         }},
        {"synchronising",
         [this] {
             connectOnly();
             run(3100);
             endSearch();
         }},
    };
    for (const auto& p : phases) {
        open(SPLASH);
        p.reach();
        networkEvent(Net::NET_EVENT_NOT_CONNECTED);
        runTasks(2);
        EXPECT_EQ(state().getStateId(), NOT_ENROLLED) << p.phase;
        EXPECT_EQ(screen()->getName(), "FormNotLearned") << p.phase;
        release();
        disconnect();
        if (updates().getProcess() != nullptr) {
            endSearch();
        }
    }
}

TEST_F(SplashTest, OneSearchWithTheMaskedOwnerThenLoadingTextsOnSixteenTickBoundaries) {
    connectOnly(0xFF000316);
    openSearching();
    EXPECT_EQ(line(), "Searching devices in distress");
    const UpdateProcess* search = updates().getProcess();
    EXPECT_EQ(countOf(trace(), "SPLASH searching devices in distress behind 000316"), 1u);
    run(1000);
    EXPECT_EQ(updates().getProcess(), search) << "the splash starts one search";

    updates().terminate(updates().getProcess());
    for (int i = 0; i < 3 && splash()->getPhase() != FormSplash::PHASE_SYNCHRONISING; ++i) {
        run(TICK_MS);
    }
    ASSERT_EQ(splash()->getPhase(), FormSplash::PHASE_SYNCHRONISING);
    EXPECT_EQ(line(), "");
    std::vector<std::string> shown;
    uint32_t lastMs = os_clock(); // the phase began on this tick
    for (int i = 0; i < 800 && shown.size() < FormSplash::sLoadingStrings.size(); ++i) {
        run(TICK_MS);
        if (line() != (shown.empty() ? "" : shown.back())) {
            shown.push_back(line());
            EXPECT_EQ(tickCount() & 0xF, 0u) << line();
            EXPECT_GE(os_clock() - lastMs, 3000u) << line();
            lastMs = os_clock();
        }
    }
    std::vector<std::string> expected(FormSplash::sLoadingStrings.begin(), FormSplash::sLoadingStrings.end());
    EXPECT_EQ(shown, expected);
    run(10000);
    EXPECT_EQ(line(), "Please wait");
    EXPECT_EQ(state().getStateId(), SPLASH);
}

TEST_F(SplashTest, SynchronisedItGoesToTheGuideOnAFirstStartAndOtherwiseHomeWithAnEmptyHistory) {
    connect();
    const struct {
        uint8_t firstStart;
        unsigned next;
    } rows[] = {{1, GUIDE}, {0, HOME}};
    for (const auto& row : rows) {
        Configuration.first_start = row.firstStart;
        open(SPLASH);
        run(3100);
        endSearch();
        EXPECT_EQ(state().getStateId(), row.next);
        if (row.next == HOME) {
            EXPECT_FALSE(mCore.getStateManager().isBackEnabled()) << "back never returns to the splash";
        }
        EXPECT_EQ(trace().find("Materializing"), std::string::npos) << "synchronised: no loading text";
    }
}

TEST_F(SplashTest, ASearchEndingAfterTheNetworkWasLostStillLeadsToNotEnrolled) {
    connectOnly();
    openSearching();
    disconnect(); // the bridge raises "not connected"
    runTasks(2);
    ASSERT_EQ(state().getStateId(), NOT_ENROLLED);

    // The search ends: the update manager steps back to the splash, which never saw the event.
    endSearch();
    ASSERT_EQ(state().getStateId(), SPLASH);
    EXPECT_EQ(splash()->getPhase(), FormSplash::PHASE_START);
    run(3500);
    EXPECT_EQ(state().getStateId(), NOT_ENROLLED);

    // Enrolled again: back through the splash.
    connectOnly();
    networkEvent(Net::NET_EVENT_SYNC_STARTED);
    runTasks(2);
    EXPECT_EQ(state().getStateId(), SPLASH);
}

TEST_F(SplashTest, TheVersionShowsOnlyForANumberedBuild) {
    const sw_descr_t* release = DI.sw;
    sw_descr_t numbered = *release;
    numbered.build = 7;
    for (const sw_descr_t* descriptor : {release, static_cast<const sw_descr_t*>(&numbered)}) {
        DI.sw = descriptor;
        open(SPLASH);
        const ContainedLabel* version =
            find<ContainedLabel>([](const ContainedLabel& l) { return l.getTop() == 4; });
        EXPECT_EQ(version != nullptr, descriptor->build != 0);
        if (version != nullptr) {
            EXPECT_EQ(version->getText(), build_get_short_version(descriptor));
        }
    }
    DI.sw = release;
}

// From home, the system menu and other system screens, also with a popup open over them; back through the
// splash.
TEST_F(SplashTest, ALostNetworkShowsFromAnyScreenAndComesBackThroughTheSplash) {
    loadDefaultInstallation();
    connect();
    const struct {
        unsigned state;
        bool popup;
    } rows[] = {{HOME, false}, {HOME, true}, {11, false}, {21, false}, {23, true}};
    for (const auto& row : rows) {
        open(row.state, row.state == 23 ? CONTROL_UNIT : 0);
        if (row.popup) {
            Popup::create("Notice", "Line", "Text", PopupButtons::Close);
            runTasks();
        }
        networkEvent(Net::NET_EVENT_NOT_CONNECTED);
        runTasks(2);
        EXPECT_EQ(state().getStateId(), NOT_ENROLLED) << row.state;
        EXPECT_EQ(mCore.getModalLayers().size(), 1u) << row.state;
        const size_t depth = historyDepth();
        networkEvent(Net::NET_EVENT_NOT_CONNECTED); // a second report adds nothing
        runTasks(2);
        EXPECT_EQ(historyDepth(), depth);
        networkEvent(Net::NET_EVENT_SYNC_STARTED);
        runTasks(2);
        EXPECT_EQ(state().getStateId(), SPLASH) << row.state;
    }
}

TEST_F(DefaultInstallationTest, SplashScreen) {
    open(SPLASH);
    screenshot("FormSplash");
    EXPECT_GT(countNear(Box(0, 60, 320, 120), 0xCBA14F), 0) << "the logo";
}

} // namespace
} // namespace tdx::test
