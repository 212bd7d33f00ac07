// Cooperative background jobs, run in short time slices from the GUI core's task.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tdx {

// One piece of background work. The pool calls handleStart() once, then execute() again and again until the
// job calls setFinished(). Keep each execute() short: the pool can only stop between calls.
class Job {
public:
    virtual ~Job() = default;

    virtual void handleStart() {}
    virtual void execute() = 0;

    void setFinished() { mFinished = true; }
    bool hasFinished() const { return mFinished; }

private:
    bool mFinished = false;
};

// Runs scheduled jobs round robin. The pool does not own its jobs: their owners delete them, after
// remove() when they are still scheduled.
class TaskPool {
public:
    static constexpr uint32_t SLICE_US = 5000;

    TaskPool() = default;
    TaskPool(const TaskPool&) = delete;
    TaskPool& operator=(const TaskPool&) = delete;

    // Appends the job; it is started in the pool's next turn. A null job or one already scheduled asserts.
    void schedule(Job* job);
    // Takes the job out of the pool; it is not called again, and may be deleted as soon as this returns.
    // Safe from inside a job's handleStart() or execute(), for any job including the calling one. A job not
    // in the pool is ignored.
    void remove(Job* job);
    // One slice: calls the jobs in turn, continuing where the last slice stopped, until SLICE_US (timer_us())
    // have passed or no job is left. Jobs found finished after a call leave the pool. Not re-entrant.
    void run();

    bool isEmpty() const;
    std::size_t size() const;

private:
    struct Entry {
        Job* job; // null once removed during a slice; dropped at the next safe point
        bool started;
    };

    void dropRemoved();

    std::vector<Entry> mEntries;
    std::size_t mNext = 0;
    bool mRunning = false;
};

} // namespace tdx
