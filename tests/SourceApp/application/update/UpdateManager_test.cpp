#include "SourceApp/application/update/UpdateManager.h"

#include "SourceApp/gui/core/Core.h"
#include "tests/support/trace_capture.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace tdx {
namespace {

struct ProcessLog {
    int tasks = 0;
    int terminations = 0;
    bool deleted = false;
    bool expectsLoss = false; // the process's device is restarting
};

// A process that opens wizard screens through the real event handler when the test tells it to.
class FakeProcess final : public UpdateProcess {
public:
    FakeProcess(ProcessInterface& manager, ProcessLog& log)
        : UpdateProcess(manager)
        , mLog(log) {}
    ~FakeProcess() override { mLog.deleted = true; }
    UpdateModel* getModel() override { return nullptr; }
    UpdateController* getController() override { return nullptr; }
    void handleTask() override { ++mLog.tasks; }
    void handleTermination() override { ++mLog.terminations; }
    bool expectsNetworkLoss() const override { return mLog.expectsLoss; }
    void raise(update_event event) { mEvents.handleProcessEvent(event); }

private:
    ProcessLog& mLog;
    UpdateEventHandler mEvents;
};

class FakeFactory final : public IProcessFactory {
public:
    explicit FakeFactory(ProcessLog& log)
        : mLog(log) {}
    UpdateProcess* create(ProcessInterface& manager) const override { return new FakeProcess(manager, mLog); }

private:
    ProcessLog& mLog;
};

// The user is on the display screen (state 40, one entry deep) when the update starts.
class UpdateManagerTest : public ::testing::Test {
protected:
    UpdateManagerTest() {
        core.changeState(40, 0, 0, 0, 0);
        EXPECT_TRUE(manager.start(factory));
    }
    FakeProcess& process() { return static_cast<FakeProcess&>(*manager.getProcess()); }
    unsigned stateId() const { return core.getStateManager().getState().getStateId(); }
    size_t depth() const { return core.getStateManager().size(); }

    test::TraceCapture trace;
    Core core;
    UpdateManager manager{core};
    ProcessLog log;
    FakeFactory factory{log};
};

TEST_F(UpdateManagerTest, BackingOutOfTheFirstWizardScreenEndsTheProcessAndPopsNothingMore) {
    process().raise(UE_DEVICE_IDENTIFIED);
    EXPECT_EQ(stateId(), 28u);
    core.prevState();
    EXPECT_EQ(log.terminations, 1);
    EXPECT_TRUE(trace.contains("Navigate home from 28, count 0"));
    manager.task();
    EXPECT_TRUE(log.deleted);
    EXPECT_EQ(manager.getProcess(), nullptr);
    EXPECT_EQ(stateId(), 40u);
    EXPECT_EQ(log.tasks, 0);
}

TEST_F(UpdateManagerTest, HomeTwiceEndsTheProcessOnceAndAStartMeanwhileIsRefused) {
    process().raise(UE_DEVICE_IDENTIFIED);
    manager.task();
    EXPECT_EQ(log.tasks, 1);
    core.defaultState();
    core.defaultState();
    EXPECT_EQ(log.terminations, 1);
    EXPECT_FALSE(manager.start(factory));
    manager.task();
    EXPECT_EQ(log.tasks, 1);
    EXPECT_TRUE(log.deleted);
    EXPECT_EQ(depth(), 0u); // home: the history is empty, nothing left to pop
    EXPECT_TRUE(manager.start(factory));
}

TEST_F(UpdateManagerTest, TheProcessEndingItselfPopsExactlyTheScreensItOpened) {
    // Info, then searching; card removed replaces searching, and so does the selection after it.
    for (update_event e : {UE_DEVICE_IDENTIFIED, UE_SEARCHING, UE_CARD_REMOVED, UE_SEARCH_FINISHED}) {
        process().raise(e);
    }
    EXPECT_TRUE(trace.contains("Replace 29 with 31, count 2"));
    EXPECT_EQ(stateId(), 30u);
    EXPECT_EQ(depth(), 3u);
    process().raise(UE_PROGRESS);
    process().raise(UE_PROGRESS); // the progress screen opened again: one more entry to pop
    EXPECT_EQ(depth(), 5u);
    EXPECT_TRUE(trace.contains("Navigate from 34 to 34, count 4"));

    process().terminate();
    process().terminate();
    EXPECT_EQ(log.terminations, 1);
    trace.clear();
    manager.task();
    EXPECT_EQ(stateId(), 40u);
    EXPECT_EQ(depth(), 1u);
    EXPECT_FALSE(trace.contains("count")) << "the rollback must not be counted";
    core.prevState(); // later navigation is not counted either
    EXPECT_FALSE(trace.contains("count"));
}

TEST_F(UpdateManagerTest, TerminateOfAnotherProcessAndBackWithNothingCountedAreIgnored) {
    struct Nowhere : ProcessInterface {
        void terminate(UpdateProcess*) override {}
    } nowhere;
    ProcessLog otherLog;
    FakeProcess other(nowhere, otherLog);
    manager.terminate(&other);
    manager.terminate(nullptr);
    core.prevState(); // count 0: leaving the starting screen is not the wizard's business
    EXPECT_EQ(log.terminations, 0);
    manager.task();
    EXPECT_EQ(log.tasks, 1);
}

// The network goes down on a wizard screen. A process that does not expect it ends at once: its screens leave
// the history before the screen shown goes to the not-enrolled screen, which then stands on the screen that
// started the update; the next start is free after one task. One that expects it keeps every screen.
TEST_F(UpdateManagerTest, ANetworkLossEndsAProcessThatDoesNotExpectItAndKeepsOneThatDoes) {
    const std::vector<update_event> toResult = {UE_DEVICE_IDENTIFIED, UE_SEARCHING, UE_SEARCH_FINISHED,
                                                UE_WAIT, UE_DONE};
    const struct {
        const char* name;
        std::vector<update_event> screens;
        bool help; // the help screen opened over the last wizard screen
        bool expects;
        unsigned shown; // the screen on show after the loss
        size_t depth;   // and the history under it
    } rows[] = {
        {"first page", {UE_DEVICE_IDENTIFIED}, false, false, 40, 1},
        {"result", toResult, false, false, 40, 1},
        {"help over the result", toResult, true, false, 40, 1},
        {"download",
         {UE_DEVICE_IDENTIFIED, UE_SEARCHING, UE_SEARCH_FINISHED, UE_PROGRESS},
         false,
         true,
         34,
         4},
    };
    bool first = true;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (!std::exchange(first, false)) {
            core.defaultState();
            manager.task();
            core.changeState(40, 0, 0, 0, 0);
            log = ProcessLog{};
            ASSERT_TRUE(manager.start(factory));
        }
        log.expectsLoss = row.expects;
        for (update_event e : row.screens) {
            process().raise(e);
        }
        if (row.help) {
            core.changeState(5, 0, 0, 0, 0); // a screen of its own, counted as the wizard's
        }
        trace.clear();
        EXPECT_EQ(manager.handleNetworkLoss(), row.expects);
        EXPECT_EQ(manager.handleNetworkLoss(), row.expects) << "a second report changes nothing";
        EXPECT_EQ(log.terminations, row.expects ? 0 : 1);
        EXPECT_EQ(stateId(), row.shown);
        EXPECT_EQ(depth(), row.depth);
        if (!row.expects) {
            core.changeState(1, 0, 0, 0, 0); // the screen's own answer to the loss
            EXPECT_FALSE(trace.contains("count"))
                << "neither the rollback nor the not-enrolled screen counted";
            manager.task();
            EXPECT_TRUE(log.deleted);
            EXPECT_EQ(log.tasks, 0) << "an ended process is not polled";
            EXPECT_EQ(stateId(), 1u);
            EXPECT_EQ(depth(), 2u);
            EXPECT_TRUE(manager.start(factory));
        } else {
            manager.task();
            EXPECT_EQ(log.tasks, 1) << "it goes on";
            process().terminate();
            manager.task();
            EXPECT_EQ(stateId(), 40u) << "the network is back: where the update started";
            EXPECT_EQ(depth(), 1u);
        }
    }
}

TEST(UpdateManager, AFactoryThatMakesNoProcessStartsNothing) {
    struct NoFactory : IProcessFactory {
        UpdateProcess* create(ProcessInterface&) const override { return nullptr; }
    };
    Core core;
    UpdateManager manager(core);
    EXPECT_FALSE(manager.start(NoFactory{}));
    core.changeState(28, 0, 0, 0, 0);
    core.prevState();
    manager.task();
    EXPECT_EQ(manager.getProcess(), nullptr);
}

} // namespace
} // namespace tdx
