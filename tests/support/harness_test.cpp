// The harness itself, as later screen tests lean on it: the default installation in-process, navigation
// probes, network events reaching the screen, and the clocks.
#include "tests/support/screen_harness.h"

#include "SourceApp/application/update/UpdateManager.h"
#include "SourceApp/storage/ProxyObject.h"
#include "SourceApp/storage/ProxyStructure.h"
#include "SourceApp/system/config.h"

#include <filesystem>
#include <functional>

namespace tdx::test {
namespace {

class HarnessTest : public ScreenHarness {};

TEST_F(HarnessTest, TheDefaultInstallationStandsInTheTreeWithItsValues) {
    loadDefaultInstallation();
    runTasks();
    const std::vector<ProxyObject*> rooms = objects(BT_OBJ_ROOM);
    ASSERT_EQ(rooms.size(), 2u);
    EXPECT_EQ(text(rooms[0]->oid(), VID_NAME), "Living room");
    EXPECT_TRUE(rooms[0]->hasValue(VID_NAME)) << "the value-id lists came along";
    EXPECT_EQ(objects(BT_OBJ_OUTPUT, 6).size(), 3u);
    EXPECT_NE(Structure.find(OID_LOCATION), nullptr);
    EXPECT_EQ(publishPending(), 0u) << "the control unit's values are not published back";
}

TEST_F(HarnessTest, NavigationNetworkEventsAndClocksAreTheTestsToDrive) {
    open(3, 7, 8);
    open(4);
    EXPECT_EQ(historyDepth(), 2u);
    mCore.prevState();
    runTasks();
    EXPECT_EQ(state().getStateId(), 3u);
    EXPECT_EQ(state().getP2(), 8u);

    std::vector<int> kinds;
    new EventLog(screen(), kinds);
    for (int kind : {5, 6, 7}) {
        networkEvent(kind);
    }
    runTasks();
    EXPECT_EQ(kinds, (std::vector<int>{5, 6, 7}));

    EXPECT_FALSE(isConnected());
    connect();
    EXPECT_TRUE(isSynchronized());
    EXPECT_EQ(kinds.back(), 5) << "the bridge's own connected event reaches the screen";
    EXPECT_EQ(published().size(), 0u) << "the display's identity does not count as published";

    EXPECT_EQ(os_time(), START_TIME);
    const uint32_t ticks = tickCount();
    wait(1000);
    EXPECT_EQ(tickCount() - ticks, 17u);
    EXPECT_EQ(os_time(), START_TIME + 1);
}

TEST_F(HarnessTest, TheConfigurationRecordStartsAtTheDefaultsInMemoryAndCountsItsStores) {
    std::filesystem::remove(CONFIG_FILE_NAME);
    EXPECT_EQ(Configuration.first_start, 1);
    config_apply();
    EXPECT_EQ(configStores(), 0) << "the defaults count as stored";
    Configuration.language = 2;
    config_apply();
    config_apply();
    EXPECT_EQ(configStores(), 1);
    EXPECT_EQ(storedConfiguration().language, 2);
    EXPECT_FALSE(std::filesystem::exists(CONFIG_FILE_NAME)) << "no file is written";
}

// An update process that counts the passes of the main loop that poll it.
class CountedProcess final : public UpdateProcess {
public:
    CountedProcess(ProcessInterface& manager, int& tasks)
        : UpdateProcess(manager)
        , mTasks(tasks) {}
    UpdateModel* getModel() override { return nullptr; }
    UpdateController* getController() override { return nullptr; }
    void handleTask() override { ++mTasks; }
    void handleTermination() override {}
    bool expectsNetworkLoss() const override { return false; }

private:
    int& mTasks;
};

class CountedFactory final : public IProcessFactory {
public:
    explicit CountedFactory(int& tasks)
        : mTasks(tasks) {}
    UpdateProcess* create(ProcessInterface& manager) const override {
        return new CountedProcess(manager, mTasks);
    }

private:
    int& mTasks;
};

// Time passing in a test runs what the main loop runs in every pass, the update manager's task among it: a
// screen test that waits sees what a user would.
TEST_F(HarnessTest, EveryPassOfTheMainLoopRunsTheUpdateManagersTask) {
    const struct {
        const char* what;
        std::function<void()> pass;
        int tasks;
    } rows[] = {
        {"two passes", [this] { runTasks(2); }, 2},
        {"three ticks and the pass that paints", [this] { tick(3); }, 4},
        {"a second: 17 ticks and the pass that paints", [this] { wait(1000); }, 18},
    };
    UpdateManager& updates = *getApplication()->getUpdateManager();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        int tasks = 0;
        ASSERT_TRUE(updates.start(CountedFactory(tasks)));
        row.pass();
        EXPECT_EQ(tasks, row.tasks);
        updates.terminate(updates.getProcess());
        runTasks();
        EXPECT_EQ(updates.getProcess(), nullptr) << "ended by the next pass";
    }
}

} // namespace
} // namespace tdx::test
