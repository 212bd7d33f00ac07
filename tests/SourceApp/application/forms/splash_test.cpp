// The start of every run: the splash screen's phases, and a lost network leading to the not-enrolled screen
// from wherever the user is.
#include "Libraries/base/os.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/Popup.h"
#include "SourceApp/application/controls/ProgressBar.h"
#include "SourceApp/application/forms/start/FormSplash.h"
#include "SourceApp/storage/net/TaviProtocol.h"
#include "SourceApp/system/config.h"
#include "SourceHost/api_lib/device_info.h"
#include "tests/SourceApp/application/forms/forms_fixture.h"

#include <utility>

namespace tdx::test {
namespace {

constexpr unsigned NOT_ENROLLED = 1;
constexpr unsigned SPLASH = 2;
constexpr unsigned CALIBRATION = 3;
constexpr unsigned HOME = 9;

class SplashTest : public FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        os_init();
    }
    // Time passing tick by tick.
    void run(uint32_t ms) {
        for (uint32_t t = 0; t < ms; t += TICK_MS) {
            tick();
        }
    }
    uint32_t phase() const { return dynamic_cast<FormSplash&>(*screen()).getPhase(); }
    std::string line() const {
        return find<ContainedLabel>([](const ContainedLabel& l) { return l.getTop() == 195; })->getText();
    }
    int progress() const { return find<ProgressBar>()->getProgress(); }
    // Connected to the control unit, the mirror not synchronised yet.
    void connectOnly(uint32_t owner = CONTROL_UNIT) {
        Net::Tavi.handleConnected(owner);
        runTasks();
    }
    // The search ends; the splash takes the next tick to notice.
    void endSearch() {
        updates().terminate(updates().getProcess());
        run(TICK_MS);
    }
};

TEST_F(SplashTest, AFingerHeldThreeSecondsCalibratesAndOneLiftedEarlyIsNotAskedAgain) {
    connect();
    for (const uint32_t liftAfter : {0u, 1000u}) {
        for (const event_kind_t first : {EVENT_TOUCH_PRESS, EVENT_TOUCH_MOVE}) {
            open(SPLASH);
            EXPECT_EQ(line(), "Press to calibrate touch screen");
            first == EVENT_TOUCH_PRESS ? press(160, 120) : move(160, 120);
            EXPECT_EQ(progress(), 100);
            run(liftAfter != 0 ? liftAfter : 1500);
            if (liftAfter != 0) {
                release();
                EXPECT_EQ(line(), "Waiting for network connection");
                press(160, 120); // too late: the splash only waits now
            } else {
                EXPECT_NEAR(progress(), 50, 5) << "the bar runs down while the finger stays";
            }
            run(1600);
            EXPECT_EQ(state().getStateId(), liftAfter != 0 ? SPLASH : CALIBRATION) << liftAfter;
            release();
        }
    }
}

// The splash leaves and still hands the event on to its children, as with every other event.
TEST_F(SplashTest, ANetworkNotConnectedLeadsToNotEnrolledInEveryPhase) {
    const std::function<void()> reach[] = {
        [] {},
        [this] { press(100, 100); },
        [this] { run(3100); },
        [this] { connectOnly(), run(3100); },
        [this] { connectOnly(), run(3100), endSearch(); },
    };
    for (uint32_t p = FormSplash::PHASE_START; p <= FormSplash::PHASE_SYNCHRONISING; ++p) {
        open(SPLASH);
        reach[p]();
        ASSERT_EQ(phase(), p);
        std::vector<int> passedOn;
        new EventLog(screen(), passedOn); // a child of the splash
        networkEvent(Net::NET_EVENT_NOT_CONNECTED);
        runTasks(2);
        EXPECT_EQ(screen()->getName(), "FormNotLearned") << p;
        EXPECT_EQ(passedOn, std::vector<int>{Net::NET_EVENT_NOT_CONNECTED}) << p;
        release();
        disconnect();
        if (updates().getProcess() != nullptr) {
            endSearch();
        }
    }
}

TEST_F(SplashTest, OneSearchWithTheMaskedOwnerThenLoadingTextsOnSixteenTickBoundaries) {
    connectOnly(0xFF000316);
    open(SPLASH);
    run(3100);
    EXPECT_EQ(line(), "Searching devices in distress");
    const UpdateProcess* search = updates().getProcess();
    ASSERT_NE(search, nullptr);
    EXPECT_EQ(countOf(trace(), "SPLASH searching devices in distress behind 000316"), 1u);
    run(1000);
    EXPECT_EQ(updates().getProcess(), search) << "the splash starts one search";

    endSearch();
    ASSERT_EQ(phase(), FormSplash::PHASE_SYNCHRONISING);
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
    EXPECT_EQ(shown, std::vector<std::string>(FormSplash::sLoadingStrings.begin(),
                                              FormSplash::sLoadingStrings.end()));
    run(10000);
    EXPECT_EQ(line(), "Please wait");
    EXPECT_EQ(state().getStateId(), SPLASH);
}

TEST_F(SplashTest, SynchronisedItGoesToTheGuideOnAFirstStartAndOtherwiseHomeWithAnEmptyHistory) {
    connect();
    for (const uint8_t firstStart : {1, 0}) {
        Configuration.first_start = firstStart;
        open(SPLASH);
        run(3100);
        endSearch();
        run(TICK_MS);
        EXPECT_EQ(screen()->getName(), firstStart != 0 ? "FormFirstStartGuide" : "FormHome");
        EXPECT_TRUE(firstStart != 0 || !mCore.getStateManager().isBackEnabled())
            << "back never leads to the splash";
        EXPECT_EQ(trace().find("Materializing"), std::string::npos) << "synchronised: no loading text";
    }
}

TEST_F(SplashTest, ASearchEndingAfterTheNetworkWasLostStillLeadsToNotEnrolled) {
    connectOnly();
    open(SPLASH);
    run(3100);
    disconnect(); // the bridge raises "not connected" while the search runs
    runTasks(2);
    ASSERT_EQ(state().getStateId(), NOT_ENROLLED);
    // The search ends: the update manager steps back to the splash, which never saw the event.
    endSearch();
    ASSERT_EQ(state().getStateId(), SPLASH);
    run(3500);
    EXPECT_EQ(state().getStateId(), NOT_ENROLLED);
    // Enrolled again: back through the splash.
    connectOnly();
    networkEvent(Net::NET_EVENT_SYNC_STARTED);
    runTasks(2);
    EXPECT_EQ(state().getStateId(), SPLASH);
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
    os_init();
    sw_descr_t numbered = *DI.sw;
    numbered.build = 7;
    for (const sw_descr_t* descriptor : {DI.sw, static_cast<const sw_descr_t*>(&numbered)}) {
        const sw_descr_t* release = std::exchange(DI.sw, descriptor);
        open(SPLASH);
        DI.sw = release;
        const auto* version = find<ContainedLabel>([](const ContainedLabel& l) { return l.getTop() == 4; });
        EXPECT_EQ(version != nullptr ? version->getText() : "", descriptor->build != 0 ? "TD41001b7" : "");
    }
    EXPECT_GT(countNear(Box(0, 60, 320, 120), 0xCBA14F), 0) << "the logo";
    screenshot("FormSplash");
}

} // namespace
} // namespace tdx::test
