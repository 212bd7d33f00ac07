// The hand-over between the desktop host and the application: the touch block, the host's command and event
// queues, the loop-pass counter and the "a pass has drained" signal. The host's window thread writes into it;
// the application's loop pass takes from it. Usable without threads: a test drives passes one by one.
#pragma once

#include "SourceApp/gui/core/types.h"

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>

namespace tdx {

class HostHandOver {
public:
    struct Touch {
        int x = 0;
        int y = 0;
        bool pressed = false;
    };
    // The touch since the last pass, oldest first: each press and release where it happened, then the touch
    // as it is now (unless the last of them left it so). A tap shorter than a pass is thus a press and its
    // release, not nothing.
    struct TouchHistory {
        static constexpr size_t MAX_CHANGES = 8;
        std::array<Touch, MAX_CHANGES + 1> steps;
        size_t count = 0;
        const Touch* begin() const { return steps.data(); }
        const Touch* end() const { return steps.data() + count; }
    };
    // Runs on the application thread, after the hand-over's lock was released.
    using HostCommand = std::function<void()>;
    using EventSink = std::function<void(const Event&)>;

    // ---- Host side (window thread) ----
    void setTouch(int x, int y);
    void setTouchPress(bool pressed);
    void postCommand(HostCommand command);
    // Queues one event once the previous one has reached the application (at most one per pass). Waits up to
    // `wait` (no limit when empty); false when that was not in time or the hand-over is closed meanwhile.
    bool postEvent(const Event& event, std::optional<std::chrono::milliseconds> wait = std::nullopt);
    // Passes counted since the last call (the one-second sample).
    uint32_t takePassCount();
    // Closed: the application's loop ends and waiting senders return. Open again for a new run.
    void close();
    void open();
    bool isOpen() const;

    // ---- Application side (one loop pass) ----
    Touch takeTouch() const;
    // Takes the presses and releases kept since the last call; the last step is the touch now.
    TouchHistory takeTouchHistory();
    // Takes the queued commands and events out under the lock and runs them after releasing it: every
    // command, oldest first, then every event through `toCore`, oldest first; then signals that the pass has
    // drained, so that the next event may be queued.
    void runQueued(const EventSink& toCore);
    void countPass();

private:
    mutable std::mutex mTouchLock;
    Touch mTouch;
    // Beyond MAX_CHANGES between two passes (an application that hangs) further changes are not kept: the
    // touch as it is now still arrives.
    std::array<Touch, TouchHistory::MAX_CHANGES> mChanges;
    size_t mChangeCount = 0;

    mutable std::mutex mLock;
    std::condition_variable mDrained;
    std::deque<HostCommand> mCommands;
    std::deque<Event> mEvents;
    bool mSlotFree = true;
    bool mOpen = true;
    uint32_t mPasses = 0;
};

// The process's hand-over, shared by the host and the application's loop.
HostHandOver& host_hand_over();

} // namespace tdx
