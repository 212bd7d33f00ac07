#include "SourceApp/application/host/HostHandOver.h"

#include <utility>

namespace tdx {

void HostHandOver::setTouch(int x, int y) {
    std::lock_guard<std::mutex> lock(mTouchLock);
    mTouch.x = x;
    mTouch.y = y;
}

void HostHandOver::setTouchPress(bool pressed) {
    std::lock_guard<std::mutex> lock(mTouchLock);
    mTouch.pressed = pressed;
}

HostHandOver::Touch HostHandOver::takeTouch() const {
    std::lock_guard<std::mutex> lock(mTouchLock);
    return mTouch;
}

void HostHandOver::postCommand(HostCommand command) {
    if (!command) {
        return;
    }
    std::lock_guard<std::mutex> lock(mLock);
    mCommands.push_back(std::move(command));
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
