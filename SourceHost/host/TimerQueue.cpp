#include "SourceHost/host/TimerQueue.h"

#include <algorithm>
#include <utility>

namespace tdx {

ThreadTimerQueue::ThreadTimerQueue()
    : mThread([this] { run(); }) {}

ThreadTimerQueue::~ThreadTimerQueue() {
    {
        std::lock_guard<std::mutex> lock(mLock);
        mQuit = true;
    }
    mChanged.notify_all();
    mThread.join();
}

int ThreadTimerQueue::add(std::chrono::milliseconds period, Callback callback) {
    std::lock_guard<std::mutex> lock(mLock);
    const int id = mNextId++;
    period = std::max(period, std::chrono::milliseconds(1));
    mEntries.emplace(id, Entry{period, Clock::now() + period, std::move(callback)});
    mChanged.notify_all();
    return id;
}

void ThreadTimerQueue::remove(int id) {
    std::unique_lock<std::mutex> lock(mLock);
    mEntries.erase(id);
    if (std::this_thread::get_id() != mThread.get_id()) {
        mChanged.wait(lock, [&] { return mRunning != id; });
    }
}

void ThreadTimerQueue::run() {
    std::unique_lock<std::mutex> lock(mLock);
    while (!mQuit) {
        auto next = mEntries.end();
        for (auto it = mEntries.begin(); it != mEntries.end(); ++it) {
            if (next == mEntries.end() || it->second.due < next->second.due) {
                next = it;
            }
        }
        if (next == mEntries.end()) {
            mChanged.wait(lock);
            continue;
        }
        const Clock::time_point due = next->second.due;
        if (Clock::now() < due) {
            mChanged.wait_until(lock, due);
            continue;
        }
        const int id = next->first;
        Entry& entry = next->second;
        // Fixed rate keeps the emulated clock with the wall clock; a long stall is not caught up in a burst.
        entry.due += entry.period;
        if (entry.due + 4 * entry.period < Clock::now()) {
            entry.due = Clock::now() + entry.period;
        }
        Callback callback = entry.callback;
        mRunning = id;
        lock.unlock();
        callback();
        lock.lock();
        mRunning = 0;
        mChanged.notify_all();
    }
}

int ManualTimerQueue::add(std::chrono::milliseconds period, Callback callback) {
    const int id = mNextId++;
    period = std::max(period, std::chrono::milliseconds(1));
    mEntries.emplace(id, Entry{period, mNow + period, std::move(callback)});
    return id;
}

void ManualTimerQueue::remove(int id) {
    mEntries.erase(id);
}

void ManualTimerQueue::advance(std::chrono::milliseconds by) {
    const std::chrono::milliseconds end = mNow + by;
    for (;;) {
        auto next = mEntries.end();
        for (auto it = mEntries.begin(); it != mEntries.end(); ++it) {
            if (it->second.due <= end && (next == mEntries.end() || it->second.due < next->second.due)) {
                next = it;
            }
        }
        if (next == mEntries.end()) {
            break;
        }
        mNow = next->second.due;
        next->second.due += next->second.period;
        Callback callback = next->second.callback;
        callback();
    }
    mNow = end;
}

} // namespace tdx
