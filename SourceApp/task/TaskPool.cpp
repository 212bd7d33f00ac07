#include "SourceApp/task/TaskPool.h"

#include "Libraries/base/os.h"

#include <algorithm>

namespace tdx {

void TaskPool::schedule(Job* job) {
    OS_ASSERT_MSG(job != nullptr, "null job");
    const bool scheduled =
        std::any_of(mEntries.begin(), mEntries.end(), [job](const Entry& entry) { return entry.job == job; });
    OS_ASSERT_MSG(!scheduled, "job already scheduled");
    mEntries.push_back({job, false});
}

void TaskPool::remove(Job* job) {
    if (job == nullptr) {
        return;
    }
    for (Entry& entry : mEntries) {
        if (entry.job == job) {
            // Inside a slice the entries must keep their places: run() holds an index into them.
            entry.job = nullptr;
            if (!mRunning) {
                dropRemoved();
            }
            return;
        }
    }
}

void TaskPool::run() {
    OS_ASSERT_MSG(!mRunning, "TaskPool::run is not re-entrant");
    mRunning = true;
    const uint32_t sliceStart = timer_us();
    while (!mEntries.empty()) {
        if (mNext >= mEntries.size()) {
            mNext = 0;
        }
        const std::size_t index = mNext++;
        // The job may schedule others (the vector may grow) or remove and delete itself: go through the
        // index.
        Job* job = mEntries[index].job;
        if (!mEntries[index].started) {
            mEntries[index].started = true;
            job->handleStart();
        } else {
            job->execute();
        }
        if (mEntries[index].job != nullptr && mEntries[index].job->hasFinished()) {
            mEntries[index].job = nullptr;
        }
        dropRemoved();
        if (static_cast<uint32_t>(timer_us() - sliceStart) >= SLICE_US) {
            break;
        }
    }
    mRunning = false;
}

bool TaskPool::isEmpty() const {
    return size() == 0;
}

std::size_t TaskPool::size() const {
    return static_cast<std::size_t>(std::count_if(mEntries.begin(), mEntries.end(),
                                                  [](const Entry& entry) { return entry.job != nullptr; }));
}

void TaskPool::dropRemoved() {
    std::size_t kept = 0;
    std::size_t next = mNext;
    for (std::size_t i = 0; i < mEntries.size(); ++i) {
        if (mEntries[i].job != nullptr) {
            mEntries[kept++] = mEntries[i];
        } else if (i < mNext) {
            --next;
        }
    }
    mEntries.resize(kept);
    mNext = next;
}

} // namespace tdx
