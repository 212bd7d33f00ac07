// The host of the embedded application on the desktop. The application runs on a thread of its own (the
// application thread) and knows nothing of the window: it is given as two entry points, its start-up and one
// pass of its main loop. The host starts it (os_init, then start-up, then passes with 1 ms between them until
// stopped), drives the platform's 62 ms tick, samples the passes of each second, and hands the window's input
// over through the process's hand-over block. Without a thread, step() runs one guarded pass per call.
// Between passes the application may rest until its next tick or input (HostApplication::idle).
#pragma once

#include "SourceApp/application/host/HostHandOver.h"
#include "SourceHost/host/Command.h"
#include "SourceHost/host/TimerQueue.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace tdx {

// The application as the host runs it. `pass` takes the hand-over's touch copy and queued work, runs its
// tasks and counts the pass. `idle`, when given, runs after each pass and its 1 ms pause and may sleep on
// while the application has nothing to do; the hand-over's input and a stop end that sleep (os_wake).
struct HostApplication {
    HostApplication(std::function<void()> start = {}, std::function<void()> onePass = {},
                    std::function<void()> rest = {})
        : init(std::move(start))
        , pass(std::move(onePass))
        , idle(std::move(rest)) {}
    std::function<void()> init;
    std::function<void()> pass;
    std::function<void()> idle;
};

class CHost {
public:
    static constexpr std::chrono::milliseconds TICK{62};
    static constexpr std::chrono::milliseconds SAMPLE{1000};
    static constexpr std::chrono::milliseconds JOIN_WAIT{1000};

    // Timers: the queue to run the tick and the sample on; null gives the host a timer thread of its own.
    explicit CHost(HostApplication application, HostHandOver& handOver = host_hand_over(),
                   TimerQueue* timers = nullptr);
    // Stops as stop() does and waits for the application thread however long it takes.
    ~CHost();
    CHost(const CHost&) = delete;
    CHost& operator=(const CHost&) = delete;

    // Starts the 1000 ms sample, the 62 ms tick and the application thread.
    void Initialize();
    // Starts the timers only: the caller runs the application with step().
    void InitializeStepMode();
    // Step mode: one guarded pass (the start-up first, and again after a restart). False once stopped.
    bool step();
    // Stops the timers, ends the application's loop and waits up to `wait` for its thread. False when the
    // thread is still running: it uses the host, so the caller must not destroy it and ends the process.
    bool stop(std::chrono::milliseconds wait = JOIN_WAIT);

    // ---- Window thread ----
    // Queues one event; waits until the previous event has reached the application (in step mode it does not
    // wait: false while one is pending). False once stopped.
    bool sendEvent(event_kind_t kind, int x, int y);
    // The inspector's move and resize of the selected component as events of the GUI core, on the same road
    // as every other event.
    bool sendDebugMove(int x, int y) { return sendEvent(EVENT_DEBUG_MOVE, x, y); }
    bool sendDebugResize(int x, int y) { return sendEvent(EVENT_DEBUG_RESIZE, x, y); }
    // Runs on the application thread before the next pass's events, with a null argument.
    void sendCommand(std::shared_ptr<Command> command);
    void setTouch(int x, int y) { mHandOver.setTouch(x, y); }
    void setTouchPress(bool pressed) { mHandOver.setTouchPress(pressed); }
    // The inspector's selection: changed on the application thread, where the GUI core runs.
    void SelectComponent(int x, int y);
    void DeselectComponent();

    // Loop passes of the last full second; 0 before the first sample.
    uint32_t cyclesPerSecond() const { return mCyclesPerSecond.load(std::memory_order_relaxed); }

    // Starts the application again from os_init and its start-up, on a new thread, the window kept. Any
    // thread; the application thread ends at the top of its next pass and the tick starts the new one.
    void requestRestart();

private:
    void startTimers();
    void stopTimers();
    void launch();
    // os_init, then the application's start-up.
    void startUp();
    void threadMain();
    void runOnce();
    void onTick();
    void onSample();

    HostApplication mApplication;
    HostHandOver& mHandOver;
    std::unique_ptr<TimerQueue> mOwnTimers;
    TimerQueue* mTimers;
    int mTickTimer = 0;
    int mSecondTimer = 0;

    std::thread mThread;
    std::mutex mDoneLock;
    std::condition_variable mDoneSignal;
    bool mThreadDone = true;

    bool mStepMode = false;
    bool mNeedsInit = true;
    std::atomic<bool> mRestart{false};
    std::atomic<uint32_t> mCyclesPerSecond{0};
};

// A command that sends a GUI message to the running core (from no source).
class SendMessageCommand : public Command {
public:
    explicit SendMessageCommand(const Message& message)
        : mMessage(message) {}
    void execute(MessageArgument*) override;

private:
    Message mMessage;
};

// A character typed on the host's keyboard, for the running core (which refuses what is no character).
class TypeCharacterCommand : public Command {
public:
    explicit TypeCharacterCommand(char32_t code)
        : mCode(code) {}
    void execute(MessageArgument*) override;

private:
    char32_t mCode;
};

// A key press for the running core: message MSG_KEY with the key code as first parameter.
class InspectorPressKeyCommand : public Command {
public:
    explicit InspectorPressKeyCommand(unsigned key)
        : mKey(key) {}
    void execute(MessageArgument*) override;

private:
    unsigned mKey;
};

} // namespace tdx
