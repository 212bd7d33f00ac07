// Start-up, the main loop pass and the screen registry, driven as the host drives them.
#include "app_fixture.h"

#include "Libraries/tavi_net/tnet.h"
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/ScrollBar.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/gui/gfx/gfx.h"
#include "SourceApp/gui/i18n/I18n.h"
#include "SourceApp/storage/ProxyStructure.h"
#include "SourceApp/system/SystemMgr.h"
#include "SourceApp/system/config.h"
#include "SourceHost/api_lib/layer.h"
#include "SourceHost/host/CHost.h"
#include "SourceHost/host/InputAdapters.h"
#include "SourceHost/host/TimerQueue.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tdx::test {
namespace {

using ::testing::ElementsAre;

// A layer above the screen that writes down the input events and timer messages it is given.
class Recorder : public Form {
public:
    explicit Recorder(std::vector<std::string>& log)
        : Form(State(99))
        , mLog(log) {}

    void handleEvent(Event* e) override {
        static const char* const NAMES[] = {"", "press", "hold", "release", "move", "", "", "network 7"};
        const char* name = e->kind < 8 ? NAMES[e->kind] : "other";
        mLog.push_back(std::string(name) + " " + std::to_string(e->x) + "," + std::to_string(e->y) + " " +
                       std::to_string(e->a) + "," + std::to_string(e->b));
    }
    void handleMessage(Message* m) override {
        if (m->id == MSG_TIMER) {
            mLog.push_back("timer " + std::to_string(m->p1));
        }
    }

private:
    std::vector<std::string>& mLog;
};

class Start : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        start();
        pass(); // the splash state's screen
        // The identity calibration, so that positions read as they were touched.
        Configuration.touch_scale_x = Configuration.touch_scale_y = 1.0f;
        Configuration.touch_offset_x = Configuration.touch_offset_y = 0.0f;
        new Recorder(mLog);
    }

    void touch(bool down, int x, int y) {
        handOver().setTouch(x, y);
        handOver().setTouchPress(down);
    }

    std::vector<std::string> mLog;
};

// ---- Start-up ----

std::vector<std::string>& steps() {
    static std::vector<std::string> names;
    return names;
}

TEST_F(AppTest, StartsInOrderWithTheRecordsLanguageBeforeTheSplashScreen) {
    configuration_t record = DefaultConfiguration;
    record.language = 2;
    record.country = 5;
    record.checksum = config_checksum(record);
    writeFile("config.bin", std::string(reinterpret_cast<const char*>(&record), sizeof record));
    steps().clear();
    Emulation::setStartObserver([](const char* step) {
        steps().push_back(step);
        if (std::string(step) == "splash") {
            steps().push_back("language " + std::to_string(i18n.getLanguage()));
        }
    });
    start();
    Emulation::setStartObserver(nullptr);
    EXPECT_THAT(steps(),
                ElementsAre("fresh application", "layer_init", "proxytab_init", "bootstrap",
                            "diagnostics_init", "sdcard_init", "timer_init", "config_init", "gfx_init",
                            "fsystem_init", "tnet_init", "tnet_init_interface_bus", "tnet_start",
                            "tnet_if_learn_request", "bl_start_service", "change-state callback",
                            "touch time", "language", "splash", "language 2"));
    EXPECT_EQ(i18n.getCountry(), 5);
    EXPECT_EQ(Structure.size(), 2u); // this display and the location
    EXPECT_EQ(core().getScreen(), nullptr);
    pass();
    EXPECT_EQ(core().getStateManager().getState().getStateId(), 2u);
    ASSERT_NE(core().getScreen(), nullptr);
    i18n.switchLanguage(0);
}

TEST_F(AppTest, ARestartStartsAFreshApplication) {
    static int restarts;
    restarts = 0;
    os_set_restart_hook([] { ++restarts; });
    start();
    pass();
    core().changeState(9, 0, 0, 0, 0);
    pass();
    std::vector<std::string> log;
    new Recorder(log);                        // a popup left open
    pt_set_int(0x01000316, 0x000C, 2100, 10); // a value of an object that came with a connection
    os_restart();
    ASSERT_EQ(restarts, 1);

    start();
    EXPECT_EQ(core().getModalLayers().size(), 0u);
    EXPECT_EQ(Structure.size(), 2u);
    int value = 0;
    EXPECT_EQ(pt_get_int(&value, 0x01000316, 0x000C), PT_ERR_NO_ENTRY);
    pass();
    EXPECT_EQ(core().getModalLayers().size(), 1u);
    EXPECT_EQ(core().getStateManager().getState().getStateId(), 2u);
    EXPECT_EQ(core().getStateManager().size(), 1u); // the history begins at the splash screen again
}

// ---- The pass ----

struct TouchStep {
    int ticks; // host ticks before the pass
    bool down;
    int x;
    int y;
    std::vector<std::string> events;
};

TEST_F(Start, TurnsTheTouchIntoPressHoldMoveAndRelease) {
    const struct {
        const char* name;
        std::vector<TouchStep> steps;
    } cases[] = {
        {"held still: a hold 12 ticks after the press, then every 2 ticks",
         {{0, true, 100, 100, {"press 100,100 100,100"}},
          {0, true, 100, 100, {"move 100,100 100,100"}}, // a press does not set the last move point
          {11, true, 100, 100, {"timer 11"}},
          {1, true, 100, 100, {"hold 100,100 100,100", "timer 12"}},
          {1, true, 100, 100, {"timer 13"}},
          {1, true, 100, 100, {"hold 100,100 100,100", "timer 14"}},
          {0, false, 100, 100, {"release 100,100 100,100"}}}},
        {"a move of one pixel waits while a hold falls due",
         {{0, true, 50, 50, {"press 50,50 50,50"}},
          {0, true, 51, 50, {"move 51,50 51,50"}},
          {12, true, 52, 50, {"hold 52,50 52,50", "timer 12"}},
          {0, true, 52, 50, {"move 52,50 52,50"}},
          {0, false, 30, 30, {"release 30,30 30,30"}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const TouchStep& step : c.steps) {
            const uint32_t before = core().getTickCount();
            ticks(step.ticks);
            touch(step.down, step.x, step.y);
            mLog.clear();
            pass();
            std::vector<std::string> expected;
            for (const std::string& e : step.events) {
                // Timer messages name the tick relative to the start of the step list.
                expected.push_back(e.starts_with("timer ") ? "timer " + std::to_string(before + step.ticks)
                                                           : e);
            }
            EXPECT_EQ(mLog, expected) << "after " << step.x << "," << step.y;
        }
        ticks(1);
        pass();
    }
}

TEST_F(Start, PressesAndReleasesBetweenTwoPassesAllArriveInOrder) {
    touch(true, 10, 20); // a tap within one pass
    touch(false, 10, 20);
    pass();
    touch(true, 30, 40); // a double tap, the second still held
    touch(false, 30, 40);
    touch(true, 50, 60);
    pass();
    touch(false, 50, 60);
    pass();
    EXPECT_THAT(mLog, ElementsAre("press 10,20 10,20", "release 10,20 10,20", "press 30,40 30,40",
                                  "release 30,40 30,40", "press 50,60 50,60", "release 50,60 50,60"));
}

// The screen goes dark by its delays on the clock; a touch then lights it and nothing else, to its release.
TEST_F(Start, ATouchOnADarkScreenOnlyLightsItADimmedOneActs) {
    SystemMgr& system = *getApplication()->getSystemManager();
    // A press does not set the last move point: the finger standing still sends a move first.
    const std::vector<std::string> acts = {"press 40,50 40,50", "move 40,50 40,50", "move 41,50 41,50",
                                           "hold 41,50 41,50", "release 41,50 41,50"};
    core().changeState(9, 0, 0, 0, 0); // home: unlike the splash, it lets the screen go dark
    pass(2);
    new Recorder(mLog);
    const struct {
        const char* name;
        int idleSeconds; // after the last touch: 1 dims, 2 turns off
        screen_state_t before;
        std::vector<std::string> first;
    } cases[] = {
        {"bright", 0, ssActive, acts},
        {"dimmed", 1, ssDimmed, acts},
        {"dark", 2, ssOff, {}},
        {"bright again", 0, ssActive, acts},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        system.setDelay(ssActive, 1);
        system.setDelay(ssDimmed, 1);
        pass();
        for (int s = 0; s < c.idleSeconds; ++s) {
            os_clock_advance(1001);
            pass();
        }
        os_clock_advance(300); // the fade ends
        pass();
        ASSERT_EQ(system.getScreenState(), c.before);
        // A touch that slides and is held long enough to repeat, then a plain tap.
        auto events = [&](auto touchSteps) {
            mLog.clear();
            touchSteps();
            std::erase_if(mLog, [](const std::string& e) { return e.starts_with("timer"); });
            return mLog;
        };
        const std::vector<std::string> first = events([&] {
            touch(true, 40, 50);
            pass();
            touch(true, 40, 50);
            pass();
            touch(true, 41, 50);
            pass();
            ticks(12);
            pass();
            touch(false, 41, 50);
            pass();
        });
        EXPECT_EQ(first, c.first);
        EXPECT_EQ(system.getScreenState(), ssActive) << "lit by the first touch";
        const std::vector<std::string> next = events([&] {
            touch(true, 60, 70);
            pass();
            touch(false, 60, 70);
            pass();
        });
        EXPECT_THAT(next, ElementsAre("press 60,70 60,70", "release 60,70 60,70")) << "the next touch acts";
    }
    system.setDelay(ssActive, 0);
}

// The application run by the desktop host in step mode, as the program runs it, the host's ticks on the
// test's clock; the wheel is turned through the host's input adapter, with the message the window raises.
class WheelOnTheHost : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        std::snprintf(PortName, sizeof PortName, "%s", "loop:none");
        host = std::make_unique<CHost>(HostApplication{Emulation::AppInit, Emulation::AppLoopTask},
                                       host_hand_over(), &timers);
        host->InitializeStepMode();
        host->step(); // the start-up and the first pass
        wheel = std::make_unique<CoreMessageToHostAdapter>(*host);
    }
    void TearDown() override {
        wheel.reset();
        host.reset(); // closes the hand-over
        host_hand_over().open();
        AppTest::TearDown();
    }
    void runFor(int ms) {
        for (int t = 0; t < ms; t += static_cast<int>(OS_TICK_MS)) {
            timers.advance(std::chrono::milliseconds(OS_TICK_MS));
            host->step();
        }
    }
    // Notches towards the user: the content moves up, 40 pixels a notch.
    void turn(int notches) {
        MessageArgumentCoreMessage scroll(MSG_SCROLL_BY, static_cast<unsigned>(40 * notches), 0, 0, 0);
        wheel->execute(&scroll);
        host->step();
        host->step(); // the core delivers what the pass queued
    }
    // The shown screen's scroll bar.
    static const ScrollBar* scrollBar() {
        const ScrollBar* bar = nullptr;
        const std::function<void(const Component&)> look = [&](const Component& c) {
            bar = bar != nullptr ? bar : dynamic_cast<const ScrollBar*>(&c);
            if (const auto* container = dynamic_cast<const Container*>(&c)) {
                for (const Component* child : container->getChildren()) {
                    look(*child);
                }
            }
        };
        for (const Component* layer : core().getModalLayers()) {
            look(*layer);
        }
        return bar;
    }

    ManualTimerQueue timers;
    std::unique_ptr<CHost> host;
    std::unique_ptr<CoreMessageToHostAdapter> wheel;
};

// The wheel scrolls whatever the screen's light: a lit, dimmed or dark screen scrolls by the turn and stays
// as it was, going dim and dark on the time of the last touch, not of the turn. Only a touch wakes the
// screen.
TEST_F(WheelOnTheHost, TheWheelScrollsAndLeavesTheScreensLightAsItWas) {
    SystemMgr& system = *getApplication()->getSystemManager();
    system.setDelay(ssActive, 1);
    system.setDelay(ssDimmed, 1);
    const struct {
        const char* name;
        int idleMs; // since the last touch, before the turn: 1 s dims, 2 s turn off (and 0.3 s to fade)
        screen_state_t before;
        int laterMs; // after the turn
        screen_state_t later;
    } cases[] = {
        {"bright", 500, ssActive, 800, ssDimmed},
        {"dimmed", 1300, ssDimmed, 1100, ssOff},
        {"dark", 2300, ssOff, 300, ssOff},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        core().changeState(21, 0, 0, 0, 0); // the screen settings: more rows than the screen holds
        system.reset();                     // the last touch
        runFor(c.idleMs);
        ASSERT_EQ(system.getScreenState(), c.before);
        const ScrollBar* bar = scrollBar();
        ASSERT_NE(bar, nullptr) << "state " << core().getStateManager().getState().getStateId();
        ASSERT_EQ(bar->getThumbPosition(), 0);
        ASSERT_GT(bar->getMax(), 0);
        turn(1);
        EXPECT_EQ(bar->getThumbPosition(), std::min(40, bar->getMax())) << "a notch scrolls down";
        EXPECT_EQ(system.getScreenState(), c.before);
        turn(-1);
        EXPECT_EQ(bar->getThumbPosition(), 0) << "and back to the top";
        runFor(c.laterMs);
        EXPECT_EQ(system.getScreenState(), c.later);
    }
    system.setDelay(ssActive, 0);
    system.setDelay(ssDimmed, 0);
}

TEST_F(Start, ClampsTheCalibratedTouchToTheScreenAndKeepsTheRawPosition) {
    Configuration.touch_offset_x = -10.0f;
    Configuration.touch_offset_y = 2.0f;
    touch(true, 5, 300);
    pass();
    touch(false, 400, -3);
    pass();
    EXPECT_THAT(mLog, ElementsAre("press 0,239 5,300", "release 319,0 400,-3"));
}

TEST_F(Start, SeveralTicksBetweenPassesGiveOneTimerMessage) {
    ticks(5);
    pass(3);
    EXPECT_THAT(mLog, ElementsAre("timer " + std::to_string(core().getTickCount())));
}

TEST_F(Start, HostCommandsRunBeforeHostEventsAndMayQueueMore) {
    handOver().postEvent(Event{EVENT_NETWORK_CONNECTED, 0, 0, 0, 0});
    handOver().postCommand([this] { mLog.push_back("first"); });
    handOver().postCommand([this] {
        mLog.push_back("second");
        // Back into the hand-over from a command: no deadlock, it runs in the next pass.
        handOver().postCommand([this] { mLog.push_back("third"); });
    });
    pass();
    EXPECT_THAT(mLog, ElementsAre("first", "second", "network 7 0,0 0,0"));
    pass();
    EXPECT_THAT(mLog, ElementsAre("first", "second", "network 7 0,0 0,0", "third"));
}

// ---- The registry ----

TEST_F(Start, TheRegistryBuildsTheScreensThatExistAndNotImplementedInEnglishForTheRest) {
    i18n.switchLanguage(1);
    struct Row {
        unsigned id;
        unsigned p1;
        std::string screen;
    };
    std::vector<Row> rows = {
        {1, 0, "FormNotLearned"},
        {7, 0, "FormAlarms"},
        {12, 0, "FormDisplay"},
        {21, 0, "FormDisplaySettings"},
        {23, 0x010410, "FormDeviceInfo"}, // this display
        {2, 0, "FormSplash"},
        {9, 0, "FormHome"},
    };
    for (unsigned id : {0u, 22u, 67u, 68u, 74u, 76u, 1000u, 0xFFFFFFFFu}) {
        rows.push_back({id, 0, "FormNotImplemented"});
    }
    for (const Row& row : rows) {
        core().changeState(row.id, static_cast<int>(row.p1), 0, 0, 0);
        new Recorder(mLog); // a popup over the old screen goes with it
        pass();
        const Form* screen = core().getScreen();
        ASSERT_NE(screen, nullptr) << row.id;
        EXPECT_EQ(screen->getName(), row.screen) << row.id;
        EXPECT_EQ(core().getModalLayers().size(), 1u) << row.id;
        if (row.screen == "FormNotImplemented") {
            const auto* label = dynamic_cast<const Label*>(screen->getChildren().back());
            ASSERT_NE(label, nullptr);
            EXPECT_EQ(label->getText(), "Form not implemented");
        }
    }
    i18n.switchLanguage(0);
}

TEST_F(Start, ATypedStateReachesItsScreenWhole) {
    core().changeState(SingleParamState<std::string>(8, 0, 0, 0, 0, "rooms"));
    pass();
    const auto* state = dynamic_cast<const SingleParamState<std::string>*>(&core().getScreen()->getState());
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(state->getParam(), "rooms");
}

// ---- The not-enrolled screen ----

int ledPixels() {
    const layer* screen = layer_get(LAYER_MAIN);
    int n = 0;
    for (int i = 0; i < SCREEN_WIDTH * SCREEN_HEIGHT; ++i) {
        n += screen->front[i] == gfx_pixel_of(0x312CD8);
    }
    return n;
}

TEST_F(Start, NotEnrolledBlinksItsLedLearnsOnEveryTapAndLeavesWhenConnected) {
    core().changeState(1, 0, 0, 0, 0);
    pass(2);
    Form* screen = core().getScreen();
    ASSERT_EQ(screen->getName(), "FormNotLearned");
    ASSERT_GT(ledPixels(), 0);
    const struct {
        int tick;
        bool lit;
    } blinks[] = {{1, true}, {8, false}, {9, false}, {16, true}, {0, false}};
    for (const auto& blink : blinks) {
        core().sendMessage(nullptr, MSG_TIMER, blink.tick, 0, 0, 0);
        pass(2); // delivered, then painted
        EXPECT_EQ(ledPixels() > 0, blink.lit) << "tick " << blink.tick;
    }

    const Button* learn = nullptr;
    for (Component* child : screen->getChildren()) {
        learn = learn != nullptr ? learn : dynamic_cast<const Button*>(child);
    }
    ASSERT_NE(learn, nullptr);
    EXPECT_LE(std::abs(learn->getLeft() + learn->getRight() - 2 * 160), 1);
    const size_t before = mTrace.count("tnet: learn request");
    for (int tap = 0; tap < 2; ++tap) {
        touch(true, learn->getLeft() + 5, learn->getTop() + 5);
        pass();
        touch(false, learn->getLeft() + 5, learn->getTop() + 5);
        pass(2);
    }
    // A click quicker than a pass (a touchpad's tap) is a tap too.
    touch(true, learn->getLeft() + 5, learn->getTop() + 5);
    touch(false, learn->getLeft() + 5, learn->getTop() + 5);
    pass(2);
    EXPECT_EQ(mTrace.count("tnet: learn request"), before + 3);
    EXPECT_EQ(core().getScreen(), screen);

    core().sendEvent(EVENT_NETWORK_CONNECTED, 0, 0, 0, 0);
    pass(2);
    EXPECT_EQ(core().getStateManager().getState().getStateId(), 2u);
}

} // namespace
} // namespace tdx::test
