// The host of the application thread: the hand-over in step mode, the timers on a manual queue, and a few
// real-thread cases synchronised by latches.
#include "SourceHost/host/CHost.h"
#include "SourceHost/host/HostEvents.h"
#include "SourceHost/host/InputAdapters.h"

#include "Libraries/base/os.h"
#include "SourceApp/gui/core/Core.h"
#include "SourceHost/api_lib/devices.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <latch>
#include <string>
#include <thread>
#include <vector>

namespace tdx {
namespace {

using Log = std::vector<std::string>;

// Stands in for the application: a pass takes the touch copy and the queued work, as the real loop does.
struct TestApplication {
    explicit TestApplication(HostHandOver& h)
        : handOver(h) {}
    HostHandOver& handOver;
    std::mutex lock;
    Log log;
    int inits = 0;
    HostHandOver::Touch touch;
    std::function<void()> duringPass;

    HostApplication entry() {
        return {[this] {
                    std::lock_guard<std::mutex> guard(lock);
                    ++inits;
                },
                [this] { pass(); }};
    }
    void pass() {
        touch = handOver.takeTouch();
        if (duringPass) {
            duringPass();
        }
        handOver.runQueued([this](const Event& e) { note("event " + std::to_string(e.kind)); });
        handOver.countPass();
    }
    void note(const std::string& line) {
        std::lock_guard<std::mutex> guard(lock);
        log.push_back(line);
    }
    Log taken() {
        std::lock_guard<std::mutex> guard(lock);
        return std::exchange(log, {});
    }
};

class NoteCommand : public Command {
public:
    NoteCommand(TestApplication& app, std::string text)
        : mApp(app)
        , mText(std::move(text)) {}
    void execute(MessageArgument* argument) override { mApp.note(mText + (argument ? " arg" : "")); }

private:
    TestApplication& mApp;
    std::string mText;
};

class StepHost : public ::testing::Test {
protected:
    HostHandOver handOver;
    TestApplication app{handOver};
    ManualTimerQueue timers;
    CHost host{app.entry(), handOver, &timers};
};

TEST_F(StepHost, CommandsRunBeforeEventsAndOneEventGoesPerPass) {
    host.InitializeStepMode();
    EXPECT_TRUE(host.sendEvent(EVENT_DEBUG_SELECT, 1, 2));
    EXPECT_FALSE(host.sendEvent(EVENT_DEBUG_MOVE, 3, 4)); // the first has not reached the application
    host.sendCommand(std::make_shared<NoteCommand>(app, "command 1"));
    host.sendCommand(std::make_shared<NoteCommand>(app, "command 2"));
    ASSERT_TRUE(host.step());
    EXPECT_EQ(app.inits, 1);
    EXPECT_EQ(app.taken(), (Log{"command 1", "command 2", "event 10"}));
    EXPECT_TRUE(host.sendEvent(EVENT_DEBUG_MOVE, 3, 4));
    ASSERT_TRUE(host.step());
    EXPECT_EQ(app.taken(), (Log{"event 8"}));
    EXPECT_EQ(app.inits, 1);
}

TEST_F(StepHost, DebugMovesAndResizesTravelAsTheirEventKinds) {
    host.InitializeStepMode();
    EXPECT_TRUE(host.sendDebugMove(3, 4));
    EXPECT_FALSE(host.sendDebugResize(5, 6)); // one event per pass, as every other
    ASSERT_TRUE(host.step());
    EXPECT_TRUE(host.sendDebugResize(5, 6));
    ASSERT_TRUE(host.step());
    EXPECT_EQ(app.taken(), (Log{"event 8", "event 9"}));
}

TEST(HostEvents, HandlersRunInRegistrationOrderAndLeaveByName) {
    struct Handler : CEventHandler {
        Log& log;
        std::string name;
        Handler(Log& l, std::string n)
            : log(l)
            , name(std::move(n)) {}
        void invoke(void* sender, CEventArgs* args) override {
            log.push_back(name + (sender != nullptr ? " sender" : "") +
                          (args && args->timerOrWaitFired ? " fired" : ""));
        }
    };
    Log log;
    Handler a(log, "a"), b(log, "b");
    CEvent event;
    event += &a;
    event += &b;
    event += nullptr; // kept, never called
    event += &a;      // twice: called twice
    CEventArgs args{true};
    int sender = 0;
    event(&sender, &args);
    EXPECT_EQ(log, (Log{"a sender fired", "b sender fired", "a sender fired"}));
    log.clear();
    event -= &a; // every registration of it
    event -= &a; // nothing left to remove
    event(nullptr, nullptr);
    EXPECT_EQ(log, (Log{"b"}));
    EXPECT_EQ(event.size(), 2u);
}

TEST(HostEvents, TheProgramClockCountsFromTheStartAndNeverGoesBack) {
    const int64_t first = CTime::MillisSinceStart();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const int64_t second = CTime::MillisSinceStart();
    EXPECT_GE(first, 0);
    EXPECT_GE(second - first, 20);
}

TEST_F(StepHost, ACommandMayQueueWorkForTheNextPass) {
    struct Requeue : Command {
        CHost& host;
        TestApplication& app;
        Requeue(CHost& h, TestApplication& a)
            : host(h)
            , app(a) {}
        void execute(MessageArgument*) override {
            app.note("first");
            host.sendCommand(std::make_shared<NoteCommand>(app, "second"));
        }
    };
    host.InitializeStepMode();
    host.sendCommand(std::make_shared<Requeue>(host, app));
    host.step();
    EXPECT_EQ(app.taken(), (Log{"first"}));
    host.step();
    EXPECT_EQ(app.taken(), (Log{"second"}));
}

TEST_F(StepHost, TheTickAndTheSampleRunOnTheTimers) {
    static std::atomic<int> ticks{0};
    os_set_tick_hook([] { ++ticks; });
    ticks = 0;
    const uint64_t clock = os_clock();
    host.InitializeStepMode();
    for (int i = 0; i < 7; ++i) {
        host.step();
    }
    timers.advance(std::chrono::milliseconds(620));
    EXPECT_EQ(ticks.load(), 10);
    EXPECT_EQ(os_clock() - clock, 620u);
    EXPECT_EQ(host.cyclesPerSecond(), 0u); // no full second yet
    timers.advance(std::chrono::milliseconds(380));
    EXPECT_EQ(host.cyclesPerSecond(), 7u);
    host.step();
    timers.advance(std::chrono::milliseconds(1000));
    EXPECT_EQ(host.cyclesPerSecond(), 1u);
    host.stop();
    timers.advance(std::chrono::milliseconds(1000));
    EXPECT_EQ(ticks.load(), 32); // stopped: no more ticks
    EXPECT_FALSE(host.step());
    os_set_tick_hook(nullptr);
}

TEST_F(StepHost, ARestartRunsTheStartUpAgain) {
    host.InitializeStepMode();
    host.step();
    os_restart();
    host.step();
    EXPECT_EQ(app.inits, 2);
}

TEST_F(StepHost, TouchTravelsThroughTheTouchingState) {
    auto machine = std::make_shared<StateMachine>("ComponentMachine");
    auto idle = std::make_shared<StateCommand>("Deselected");
    auto touching = std::make_shared<TouchingStateCommand>("Touching", host);
    machine->addTransition(idle, "TouchStart", touching);
    machine->addTransition(touching, "TouchRelease", idle);
    machine->addTransition(touching, "Cancel", idle);
    machine->start(idle);
    CommandToStateMachineAdapter start(machine, "TouchStart"), drag(machine, "TouchDrag"),
        release(machine, "TouchRelease"), cancel(machine, "Cancel");
    host.InitializeStepMode();
    struct Row {
        CommandToStateMachineAdapter* event;
        bool withPoint;
        int x, y;
        bool pressed;
    };
    const Row rows[] = {
        {&drag, true, 9, 9, false},      // no press yet: nothing moves
        {&start, true, 10, 20, true},    // press
        {&drag, true, 30, 40, true},     // move
        {&release, true, 31, 41, false}, // release at the point
        {&start, true, 5, 6, true},      //
        {&cancel, false, 5, 6, false},   // leaving without a point still lifts the finger
    };
    for (const Row& row : rows) {
        MessageArgumentMouseEvent point(row.x, row.y);
        row.event->execute(row.withPoint ? &point : nullptr);
        host.step();
        SCOPED_TRACE(row.x);
        EXPECT_EQ(app.touch.pressed, row.pressed);
        if (row.pressed) {
            EXPECT_EQ(app.touch.x * 1000 + app.touch.y, row.x * 1000 + row.y);
        }
    }
}

class MessageRecorder : public DebuggerBridge {
public:
    void onMessagePush(Component*, unsigned id, int p1, int, int, int) override {
        messages.push_back(std::to_string(id) + ":" + std::to_string(p1));
        threads.push_back(std::this_thread::get_id());
    }
    std::vector<std::string> messages;
    std::vector<std::thread::id> threads; // on which each message reached the core
};

// Keys and core messages queue, in the order the window raised them, what the core then receives; a payload
// of another kind, or none, queues nothing. Each payload is gone before the pass, as a raised one is.
TEST_F(StepHost, KeysAndCoreMessagesReachTheCore) {
    Core core;
    MessageRecorder recorder;
    core.attachDebuggerBridge(&recorder);
    host.InitializeStepMode();
    KeyPressToHostAdapter keys(host);
    CoreMessageToHostAdapter messages(host);
    enum Kind { KEY, CORE_MESSAGE, INTEGER, NONE };
    const struct Row {
        Command& adapter;
        Kind kind;
        std::string bytes;
        int p1;
    } rows[] = {
        {keys, KEY, "\x25", 0},
        {keys, KEY, "\xC3\xA9", 0},
        {keys, KEY, "", 0},
        {keys, INTEGER, "", 1},
        {keys, NONE, "", 0},
        {messages, CORE_MESSAGE, "", -40},
        {messages, CORE_MESSAGE, "", 80},
        {messages, CORE_MESSAGE, "", 0},
        {messages, KEY, "\x25", 0},
        {messages, INTEGER, "", 5},
        {messages, NONE, "", 0},
    };
    for (const Row& row : rows) {
        MessageArgumentKey key(row.bytes.data(), static_cast<unsigned>(row.bytes.size()));
        MessageArgumentCoreMessage message(MSG_SCROLL_BY, static_cast<unsigned>(row.p1), 0, 0, 0);
        MessageArgumentInteger integer(row.p1);
        MessageArgument* const arguments[] = {&key, &message, &integer, nullptr};
        row.adapter.execute(arguments[row.kind]);
    }
    host.step();
    EXPECT_EQ(recorder.messages, (std::vector<std::string>{"4:37", "4:" + std::to_string(0xA9C3), "4:0",
                                                           "5:-40", "5:80", "5:0"}));
    core.attachDebuggerBridge(nullptr);
}

// ---- Real threads ----

class ThreadHost : public ::testing::Test {
protected:
    // The application's first pass signals `inPass` and waits inside for `release`, before its drain.
    void holdFirstPass() {
        app.duringPass = [this] {
            if (first.exchange(false)) {
                inPass.count_down();
                release.wait();
            }
        };
    }
    HostHandOver handOver;
    TestApplication app{handOver};
    std::latch inPass{1}, release{1};
    std::atomic<bool> first{true};
    ManualTimerQueue timers;
    CHost host{app.entry(), handOver, &timers};
};

TEST_F(ThreadHost, StartsPassesAndStops) {
    std::latch tenPasses(10);
    std::atomic<int> counted{0};
    app.duringPass = [&] {
        if (counted.fetch_add(1) < 10) {
            tenPasses.count_down();
        }
    };
    host.Initialize();
    tenPasses.wait();
    EXPECT_TRUE(host.stop());
    EXPECT_EQ(app.inits, 1);
    EXPECT_FALSE(host.sendEvent(EVENT_DEBUG_SELECT, 0, 0)); // stopped: nothing waits for ever
}

TEST_F(ThreadHost, ASecondEventWaitsUntilTheFirstHasReachedTheApplication) {
    holdFirstPass();
    host.Initialize();
    inPass.wait();
    ASSERT_TRUE(host.sendEvent(EVENT_DEBUG_SELECT, 1, 1));
    auto second = std::async(std::launch::async, [&] {
        const bool sent = host.sendEvent(EVENT_DEBUG_MOVE, 2, 2);
        return std::make_pair(sent, app.taken());
    });
    release.count_down();
    const auto [sent, seenBefore] = second.get();
    EXPECT_TRUE(sent);
    EXPECT_EQ(seenBefore, (Log{"event 10"}));
    EXPECT_TRUE(host.stop());
}

TEST_F(ThreadHost, AWaitingSenderWakesWhenTheHostStops) {
    Event event;
    event.kind = EVENT_DEBUG_SELECT;
    ASSERT_TRUE(handOver.postEvent(event)); // no application drains it
    auto waiting = std::async(std::launch::async, [&] { return handOver.postEvent(event); });
    handOver.close();
    EXPECT_FALSE(waiting.get());
}

TEST_F(ThreadHost, AHungApplicationIsReportedAfterTheWait) {
    holdFirstPass();
    host.Initialize();
    inPass.wait();
    const auto begin = std::chrono::steady_clock::now();
    EXPECT_FALSE(host.stop(std::chrono::milliseconds(100)));
    EXPECT_GE(std::chrono::steady_clock::now() - begin, std::chrono::milliseconds(100));
    release.count_down();
    EXPECT_TRUE(host.stop());
}

// The application fades the backlight out on its thread while the window's thread reads the glass: the
// window is told of each change, on the application thread, and reads only values the application set.
TEST_F(ThreadHost, TheWindowReadsTheGlassTheApplicationFades) {
    std::latch faded(1);
    std::atomic<int> step{0}, told{0};
    app.duringPass = [&] {
        const int s = step.fetch_add(1);
        if (s == 0) {
            lcd_turn_on();
        }
        if (s <= 50) {
            lcd_set_backlight(static_cast<uint8_t>(50 - s));
            lcd_set_backlight(static_cast<uint8_t>(50 - s)); // the same light again: nothing to show
        } else if (s == 51) {
            lcd_turn_off();
            faded.count_down();
        }
    };
    lcd_turn_on();
    lcd_set_backlight(50);
    lcd_platform_set_glass_listener([&] { told.fetch_add(1); });
    host.Initialize();
    bool onlySetValues = true;
    while (step.load() <= 51) {
        const int glass = lcd_platform_glass();
        onlySetValues = onlySetValues && glass >= 0 && glass <= 50;
    }
    faded.wait();
    EXPECT_TRUE(host.stop());
    lcd_platform_set_glass_listener(nullptr);
    EXPECT_TRUE(onlySetValues);
    EXPECT_EQ(lcd_platform_glass(), 0);
    // 49 .. 0 are changes; the switch-off at 0 and the repeated values are not.
    EXPECT_EQ(told.load(), 50);
    lcd_turn_on();
    lcd_set_backlight(50);
}

// The wheel turned on the window's thread while the application runs: each turn reaches the core on the
// application's thread, as it was raised and in order, though its payload went at once.
TEST_F(ThreadHost, WheelTurnsReachTheCoreOnTheApplicationsThreadInOrder) {
    Core core;
    MessageRecorder recorder; // written on the application's thread, read once it has ended
    core.attachDebuggerBridge(&recorder);
    CoreMessageToHostAdapter wheel(host);
    std::atomic<std::thread::id> application;
    app.duringPass = [&] { application.store(std::this_thread::get_id()); };
    host.Initialize();
    std::vector<std::string> turned;
    for (int notches = -3; notches <= 3; ++notches) {
        MessageArgumentCoreMessage scroll(MSG_SCROLL_BY, static_cast<unsigned>(-40 * notches), 0, 0, 0);
        wheel.execute(&scroll);
        turned.push_back("5:" + std::to_string(-40 * notches));
    }
    host.sendCommand(std::make_shared<NoteCommand>(app, "turned"));
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (app.taken().empty() && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_TRUE(host.stop());
    core.attachDebuggerBridge(nullptr);
    EXPECT_EQ(recorder.messages, turned);
    ASSERT_NE(application.load(), std::this_thread::get_id());
    EXPECT_EQ(recorder.threads, std::vector<std::thread::id>(turned.size(), application.load()))
        << "a turn reached the core on the window's thread";
}

TEST_F(ThreadHost, ARestartStartsTheApplicationAgain) {
    std::latch secondRun(1);
    std::atomic<bool> restarted{false}, counted{false};
    app.duringPass = [&] {
        std::lock_guard<std::mutex> guard(app.lock);
        if (app.inits == 1 && !restarted.exchange(true)) {
            os_restart();
        } else if (app.inits == 2 && !counted.exchange(true)) {
            secondRun.count_down();
        }
    };
    host.Initialize();
    while (!secondRun.try_wait()) {
        timers.advance(CHost::TICK); // the tick starts the new thread once the old one has ended
        std::this_thread::yield();
    }
    EXPECT_TRUE(host.stop());
}

} // namespace
} // namespace tdx
