// Periodic timers for the host: a queue with a thread of its own for the running program, and a manual queue
// that tests advance by hand. A timer's callback runs on the queue's thread (the caller of advance() for the
// manual queue); removing a timer waits for a callback of it that is running.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

namespace tdx {

class TimerQueue {
public:
    using Callback = std::function<void()>;
    virtual ~TimerQueue() = default;
    // First call after one period, then every period. Returns the timer's id (never 0).
    virtual int add(std::chrono::milliseconds period, Callback callback) = 0;
    // Stops the timer; returns after a running callback of it has finished. Nothing for an unknown id.
    virtual void remove(int id) = 0;
};

class ThreadTimerQueue : public TimerQueue {
public:
    ThreadTimerQueue();
    ~ThreadTimerQueue() override;
    int add(std::chrono::milliseconds period, Callback callback) override;
    void remove(int id) override;

private:
    using Clock = std::chrono::steady_clock;
    struct Entry {
        std::chrono::milliseconds period;
        Clock::time_point due;
        Callback callback;
    };
    void run();

    std::mutex mLock;
    std::condition_variable mChanged;
    std::map<int, Entry> mEntries;
    int mNextId = 1;
    int mRunning = 0;
    bool mQuit = false;
    std::thread mThread;
};

class ManualTimerQueue : public TimerQueue {
public:
    int add(std::chrono::milliseconds period, Callback callback) override;
    void remove(int id) override;
    // Moves the queue's clock on, running every callback that falls due, in time order (the earlier-added
    // first at equal times).
    void advance(std::chrono::milliseconds by);

private:
    struct Entry {
        std::chrono::milliseconds period;
        std::chrono::milliseconds due;
        Callback callback;
    };
    std::map<int, Entry> mEntries;
    std::chrono::milliseconds mNow{0};
    int mNextId = 1;
};

} // namespace tdx
