#include "SourceApp/application/host/HostHandOver.h"

#include "Libraries/base/os.h"

#include <utility>

namespace tdx {

void HostHandOver::setTouch(int x, int y) {
    {
        std::lock_guard<std::mutex> lock(mTouchLock);
        mTouch.x = x;
        mTouch.y = y;
    }
    os_wake();
}

void HostHandOver::setTouchPress(bool pressed) {
    {
        std::lock_guard<std::mutex> lock(mTouchLock);
        if (pressed != mTouch.pressed && mChangeCount < mChanges.size()) {
            mChanges[mChangeCount++] = {mTouch.x, mTouch.y, pressed};
        }
        mTouch.pressed = pressed;
    }
    os_wake();
}

HostHandOver::Touch HostHandOver::takeTouch() const {
    std::lock_guard<std::mutex> lock(mTouchLock);
    return mTouch;
}

HostHandOver::TouchHistory HostHandOver::takeTouchHistory() {
    TouchHistory history;
    std::lock_guard<std::mutex> lock(mTouchLock);
    for (size_t i = 0; i < mChangeCount; ++i) {
        history.steps[history.count++] = mChanges[i];
    }
    mChangeCount = 0;
    // The touch now, unless it is where and as the last change left it: a pass sees each state once.
    const Touch* last = history.count > 0 ? &history.steps[history.count - 1] : nullptr;
    if (last == nullptr || last->x != mTouch.x || last->y != mTouch.y || last->pressed != mTouch.pressed) {
        history.steps[history.count++] = mTouch;
    }
    return history;
}

void HostHandOver::postCommand(HostCommand command) {
    if (!command) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mLock);
        mCommands.push_back(std::move(command));
    }
    os_wake();
}

bool HostHandOver::postEvent(const Event& event, std::optional<std::chrono::milliseconds> wait) {
    std::unique_lock<std::mutex> lock(mLock);
    auto ready = [this] { return mSlotFree || !mOpen; };
    if (wait) {
        if (!mDrained.wait_for(lock, *wait, ready)) {
            return false;
        }
    } else {
        mDrained.wait(lock, ready);
    }
    if (!mOpen) {
        return false;
    }
    mSlotFree = false;
    mEvents.push_back(event);
    lock.unlock();
    os_wake();
    return true;
}

uint32_t HostHandOver::takePassCount() {
    std::lock_guard<std::mutex> lock(mLock);
    return std::exchange(mPasses, 0);
}

void HostHandOver::close() {
    {
        std::lock_guard<std::mutex> lock(mLock);
        mOpen = false;
    }
    mDrained.notify_all();
    os_wake();
}

void HostHandOver::open() {
    std::lock_guard<std::mutex> lock(mLock);
    mOpen = true;
}

bool HostHandOver::isOpen() const {
    std::lock_guard<std::mutex> lock(mLock);
    return mOpen;
}

void HostHandOver::runQueued(const EventSink& toCore) {
    {
        // Most passes find nothing: they take nothing and build no queues.
        std::lock_guard<std::mutex> lock(mLock);
        if (mCommands.empty() && mEvents.empty() && mSlotFree) {
            return;
        }
    }
    std::deque<HostCommand> commands;
    std::deque<Event> events;
    {
        std::lock_guard<std::mutex> lock(mLock);
        commands.swap(mCommands);
        events.swap(mEvents);
    }
    // Unlocked: a command may queue further work without deadlocking.
    for (HostCommand& command : commands) {
        command();
    }
    if (toCore) {
        for (const Event& event : events) {
            toCore(event);
        }
    }
    {
        std::lock_guard<std::mutex> lock(mLock);
        mSlotFree = true;
    }
    mDrained.notify_all();
}

void HostHandOver::countPass() {
    std::lock_guard<std::mutex> lock(mLock);
    ++mPasses;
}

HostHandOver& host_hand_over() {
    static HostHandOver handOver;
    return handOver;
}

} // namespace tdx
