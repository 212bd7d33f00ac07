#include "SourceApp/task/TaskPool.h"

#include "Libraries/base/os.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tdx {
namespace {

using Log = std::vector<std::string>;

// Logs its calls; finishes after `executions` calls of execute() (never when negative) and runs an optional
// action inside execute().
class LoggingJob : public Job {
public:
    LoggingJob(std::string name, Log& log, int executions = -1)
        : mName(std::move(name))
        , mLog(log)
        , mExecutionsLeft(executions) {}

    void handleStart() override {
        ++mStarts;
        mLog.push_back(mName + " start");
        if (mFinishOnStart) {
            setFinished();
        }
    }
    void execute() override {
        ++mExecutions;
        mLog.push_back(mName + " " + std::to_string(mExecutions));
        if (mAction) {
            mAction();
        }
        if (mExecutionsLeft > 0 && --mExecutionsLeft == 0) {
            setFinished();
        }
    }

    std::string mName;
    Log& mLog;
    int mExecutionsLeft;
    int mStarts = 0;
    int mExecutions = 0;
    bool mFinishOnStart = false;
    std::function<void()> mAction;
};

// Removes and deletes itself in its first execute(), as a job whose owner is destroyed from inside it.
class SelfDeletingJob : public Job {
public:
    SelfDeletingJob(TaskPool& pool, Log& log, bool& deleted)
        : mPool(pool)
        , mLog(log)
        , mDeleted(deleted) {}
    ~SelfDeletingJob() override { mDeleted = true; }

    void handleStart() override { mLog.push_back("S start"); }
    void execute() override {
        mLog.push_back("S 1");
        mPool.remove(this);
        delete this;
    }

private:
    TaskPool& mPool;
    Log& mLog;
    bool& mDeleted;
};

void runUntilEmpty(TaskPool& pool) {
    for (int slice = 0; slice < 1000 && !pool.isEmpty(); ++slice) {
        pool.run();
    }
    ASSERT_TRUE(pool.isEmpty());
}

TEST(TaskPool, StartsEachJobOnceThenExecutesTheJobsRoundRobinUntilTheyFinish) {
    Log log;
    LoggingJob a("A", log, 3);
    LoggingJob b("B", log, 1);
    LoggingJob c("C", log, 2);
    TaskPool pool;
    pool.schedule(&a);
    pool.schedule(&b);
    pool.schedule(&c);
    EXPECT_EQ(pool.size(), 3u);

    // However the slices fall, each slice continues where the last one stopped.
    runUntilEmpty(pool);
    const Log expected = {"A start", "B start", "C start", "A 1", "B 1", "C 1", "A 2", "C 2", "A 3"};
    EXPECT_EQ(log, expected);

    // Finished jobs are gone: running again calls nobody.
    pool.run();
    EXPECT_EQ(log, expected);
}

TEST(TaskPool, AJobFinishedInItsStartIsNeverExecuted) {
    Log log;
    LoggingJob quick("Q", log);
    quick.mFinishOnStart = true;
    LoggingJob other("O", log, 1);
    TaskPool pool;
    pool.schedule(&quick);
    pool.schedule(&other);
    runUntilEmpty(pool);
    EXPECT_EQ(log, (Log{"Q start", "O start", "O 1"}));
}

TEST(TaskPool, AJobThatNeverFinishesIsCalledAgainAndAgainUntilTheSliceIsUsed) {
    Log log;
    LoggingJob endless("E", log);
    TaskPool pool;
    pool.schedule(&endless);

    const uint32_t before = timer_us();
    pool.run();
    const uint32_t after = timer_us();
    EXPECT_GE(after - before, TaskPool::SLICE_US);
    EXPECT_GT(endless.mExecutions, 1);
    EXPECT_EQ(endless.mStarts, 1);
    EXPECT_EQ(pool.size(), 1u);
}

TEST(TaskPool, AJobThatUsesUpTheSliceEndsItAndTheNextSliceGoesOnWithTheNextJob) {
    Log log;
    LoggingJob slow("S", log);
    slow.mAction = [] {
        const uint32_t start = timer_us();
        while (timer_us() - start < TaskPool::SLICE_US) {
        }
    };
    LoggingJob fast("F", log);
    TaskPool pool;
    pool.schedule(&slow);
    pool.schedule(&fast);

    // The machine may pause the test at any moment, which can end a slice early; but a slice never goes on
    // after the slow job has used it up, and the turns alternate whatever the slices.
    Log all;
    for (int slice = 0; slice < 6; ++slice) {
        log.clear();
        pool.run();
        ASSERT_FALSE(log.empty());
        for (size_t i = 0; i + 1 < log.size(); ++i) {
            const bool slowJobRan = log[i] != "S start" && log[i].rfind("S ", 0) == 0;
            EXPECT_FALSE(slowJobRan) << "the slice went on after the slow job: " << log[i + 1];
        }
        all.insert(all.end(), log.begin(), log.end());
    }
    ASSERT_GE(all.size(), 5u);
    EXPECT_EQ((Log{all.begin(), all.begin() + 5}), (Log{"S start", "F start", "S 1", "F 1", "S 2"}));
}

TEST(TaskPool, AJobRemovedDuringASliceIsNotCalledAgainAndMayBeDeletedAtOnce) {
    Log log;
    auto victim = std::make_unique<LoggingJob>("V", log);
    LoggingJob killer("K", log, 2);
    LoggingJob bystander("B", log, 3);
    TaskPool pool;
    killer.mAction = [&] {
        if (killer.mExecutions == 1) {
            pool.remove(victim.get());
            victim.reset();
        }
    };
    pool.schedule(&killer);
    pool.schedule(victim.get());
    pool.schedule(&bystander);

    runUntilEmpty(pool);
    EXPECT_EQ(log, (Log{"K start", "V start", "B start", "K 1", "B 1", "K 2", "B 2", "B 3"}));
}

TEST(TaskPool, AJobMayRemoveAndDeleteItselfOrScheduleAnotherFromItsExecute) {
    Log log;
    TaskPool pool;
    bool deleted = false;
    LoggingJob spawned("N", log, 1);
    LoggingJob parent("P", log, 1);
    parent.mAction = [&] { pool.schedule(&spawned); };
    pool.schedule(new SelfDeletingJob(pool, log, deleted));
    pool.schedule(&parent);

    // Scheduling from inside a slice may move the pool's storage; the pool must not care.
    std::vector<std::unique_ptr<LoggingJob>> many;
    LoggingJob grower("G", log, 1);
    grower.mAction = [&] {
        for (int i = 0; i < 64; ++i) {
            many.push_back(std::make_unique<LoggingJob>("M", log, 1));
            pool.schedule(many.back().get());
        }
    };
    pool.schedule(&grower);

    runUntilEmpty(pool);
    EXPECT_TRUE(deleted);
    ASSERT_EQ(log.size(), 7u + 64u * 2u + 1u);
    EXPECT_EQ((Log{log.begin(), log.begin() + 7}),
              (Log{"S start", "P start", "G start", "S 1", "P 1", "G 1", "N start"}));
    EXPECT_EQ(spawned.mExecutions, 1);
    for (const auto& job : many) {
        EXPECT_EQ(job->mStarts, 1);
        EXPECT_EQ(job->mExecutions, 1);
    }
}

TEST(TaskPool, RemovingOutsideASliceAndRemovingUnknownJobsAreSafe) {
    Log log;
    LoggingJob a("A", log, 1);
    LoggingJob b("B", log, 1);
    LoggingJob stranger("X", log);
    TaskPool pool;
    pool.schedule(&a);
    pool.schedule(&b);
    pool.remove(&stranger);
    pool.remove(nullptr);
    EXPECT_EQ(pool.size(), 2u);
    pool.remove(&a);
    EXPECT_EQ(pool.size(), 1u);
    pool.remove(&a);
    EXPECT_EQ(pool.size(), 1u);
    runUntilEmpty(pool);
    EXPECT_EQ(log, (Log{"B start", "B 1"}));

    // A removed job may be scheduled again and starts afresh.
    pool.schedule(&stranger);
    pool.run();
    pool.remove(&stranger);
    const int executions = stranger.mExecutions;
    pool.schedule(&stranger);
    EXPECT_EQ(pool.size(), 1u);
    pool.run();
    EXPECT_EQ(stranger.mStarts, 2);
    EXPECT_GT(stranger.mExecutions, executions);
    pool.remove(&stranger);
}

TEST(TaskPoolDeathTest, MisuseAsserts) {
    TaskPool pool;
    EXPECT_DEATH(pool.schedule(nullptr), "ASSERTION FAILED.*\n.*\n.*null job");

    Log log;
    LoggingJob job("J", log);
    pool.schedule(&job);
    EXPECT_DEATH(pool.schedule(&job), "job already scheduled");

    job.mAction = [&] { pool.run(); };
    EXPECT_DEATH(
        {
            pool.run();
            pool.run();
        },
        "not re-entrant");
    pool.remove(&job);
}

} // namespace
} // namespace tdx
