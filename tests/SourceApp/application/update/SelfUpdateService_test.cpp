// The display's own update, driven as the wizard screens drive it: through the process's model and
// controller, with the update manager polling it and the real packages on a card folder.
#include "SourceApp/application/update/SelfUpdateService.h"

#include "Libraries/base/os.h"
#include "Libraries/tavi_net/tnet.h"
#include "SourceApp/application/update/UpdateManager.h"
#include "SourceApp/gui/core/Core.h"
#include "SourceApp/storage/net/TaviProtocol.h"
#include "SourceHost/api_lib/scratch_folder.h"
#include "support/trace_capture.h"
#include "update/package_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <utility>

namespace tdx::test {
namespace {

constexpr unsigned DISPLAY_SCREEN = 12;

class SelfUpdate : public ScratchFolder {
protected:
    void SetUp() override {
        ScratchFolder::SetUp();
        os_init();
        std::filesystem::create_directory("sdcard");
        sdcard_set_folder("sdcard");
        sdcard_set_inserted(true);
        core.changeState(DISPLAY_SCREEN, 0, 0, 0, 0);
        ASSERT_TRUE(manager.start(SelfUpdateProcessFactory(pool)));
    }
    void TearDown() override {
        i18n_set_provider(nullptr);
        sdcard_set_folder("");
        sdcard_set_inserted(true);
        ScratchFolder::TearDown();
    }

    unsigned screen() const { return core.getStateManager().getState().getStateId(); }
    UpdateModel& model() { return *manager.getProcess()->getModel(); }
    UpdateController& controller() { return *manager.getProcess()->getController(); }
    // Main-loop passes: the manager's task and the job pool that verifies the data.
    void run(int passes = 50) {
        for (int i = 0; i < passes; ++i) {
            manager.task();
            pool.run();
        }
    }
    std::vector<std::string> rows() {
        std::vector<std::string> out;
        for (auto row = model().begin(); row != model().end(); ++row) {
            out.push_back(row->fileName + " " + std::to_string(row->version));
        }
        return out;
    }
    // The user confirms the summary; the next pass ends the process.
    void finish() {
        controller().doConfirmExit();
        manager.task();
        EXPECT_EQ(manager.getProcess(), nullptr);
        EXPECT_EQ(screen(), DISPLAY_SCREEN);
        EXPECT_EQ(core.getStateManager().size(), 1u) << "every wizard screen leaves the history";
    }

    TraceCapture trace;
    Core core;
    UpdateManager manager{core};
    TaskPool pool;
};

const char* czech(const char*, const char* id) {
    return std::strcmp(id, SelfUpdateService::STRING_CANCELLED) == 0 ? "Aktualizace přerušena." : nullptr;
}

TEST_F(SelfUpdate, AbortOnEachScreenGivesTheAbortedResultInTheLanguageOfTheMoment) {
    writeBytes("sdcard/a.fw", build(displayItem(5)));
    struct Case {
        const char* name;
        std::function<void()> reach;
        unsigned screen;
    };
    const Case cases[] = {
        // A card present from the start does not start the search.
        {"information", [this] { run(5); }, 28},
        {"selection",
         [this] {
             controller().doSearchFirmwares();
             run();
         },
         30},
        {"card removed",
         [this] {
             controller().doSearchFirmwares();
             sdcard_set_inserted(false);
             run(1);
         },
         31},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (manager.getProcess() == nullptr) {
            sdcard_set_inserted(true);
            ASSERT_TRUE(manager.start(SelfUpdateProcessFactory(pool)));
        }
        c.reach();
        EXPECT_EQ(screen(), c.screen);
        i18n_set_provider(czech);
        controller().doAbort();
        i18n_set_provider(nullptr);
        EXPECT_EQ(screen(), 35u);
        EXPECT_EQ(model().getResult().getResultType(), UpdateResultType::Aborted);
        EXPECT_EQ(model().getResult().getResultMessage(), "Aktualizace přerušena.");
        finish();
    }
}

// The display's own update asks nothing of the control unit: a loss on any of its screens leaves it as it
// is, and once the user ends it the not-enrolled screen follows while the unit is still away; with the unit
// back, the user is where the update started.
TEST_F(SelfUpdate, ALostControlUnitLeavesTheUpdateAsItIsAndTheNotEnrolledScreenFollowsItsEnd) {
    writeBytes("sdcard/a.fw", build(displayItem(5)));
    for (const bool back : {false, true}) {
        SCOPED_TRACE(back ? "the unit is back at the end" : "the unit is still away at the end");
        if (manager.getProcess() == nullptr) {
            ASSERT_TRUE(manager.start(SelfUpdateProcessFactory(pool)));
        }
        Net::Tavi.handleConnected(0x000316);
        Net::Tavi.handleDisconnected(TNET_DISCONNECT_SUPERVISION);
        ASSERT_TRUE(Net::Tavi.isConnectionLost());
        const std::pair<std::function<void()>, unsigned> steps[] = {
            {[this] { run(5); }, 28u},
            {[this] {
                 controller().doSearchFirmwares();
                 run();
             },
             30u},
            {[this] { controller().doAbort(); }, 35u},
        };
        for (const auto& [step, shown] : steps) {
            step();
            EXPECT_EQ(screen(), shown);
            EXPECT_TRUE(manager.handleNetworkLoss()) << "screen " << shown << " stays";
            EXPECT_NE(manager.getProcess(), nullptr);
        }
        if (back) {
            Net::Tavi.handleConnected(0x000316);
            finish();
        } else {
            controller().doConfirmExit();
            manager.task();
            EXPECT_EQ(manager.getProcess(), nullptr);
            EXPECT_EQ(screen(), 1u) << "the not-enrolled screen";
            EXPECT_EQ(core.getStateManager().size(), 2u) << "over the screen that started the update";
            core.prevState();
        }
    }
    Net::Tavi.restart();
}

TEST_F(SelfUpdate, SearchingAgainOrReinsertingTheCardRepeatsTheWholeSearch) {
    Bytes first = build(displayItem(5, 3000));
    writeBytes("sdcard/a.fw", first);
    writeBytes("sdcard/b.fw", build(displayItem(6)));
    controller().doSearchFirmwares();
    EXPECT_EQ(screen(), 29u);
    run();
    EXPECT_EQ(screen(), 30u);
    EXPECT_EQ(rows(), (std::vector<std::string>{"sdcard/a.fw 5", "sdcard/b.fw 6"}));
    const auto& service = static_cast<const SelfUpdateService&>(*manager.getProcess());
    EXPECT_EQ(service.getFirmwaresBegin(), model().begin()) << "the service's list is the one shown";
    EXPECT_EQ(service.getFirmwaresEnd(), model().end());

    controller().doSearchFirmwares();
    EXPECT_EQ(screen(), 29u);
    EXPECT_TRUE(rows().empty()) << "the old list goes before the new search";
    run();
    EXPECT_EQ(rows().size(), 2u);

    // The card comes back with a damaged package: the data is verified again.
    sdcard_set_inserted(false);
    run(1);
    EXPECT_EQ(screen(), 31u);
    EXPECT_TRUE(rows().empty());
    first[24 + 23 + 100] ^= 0x01;
    writeBytes("sdcard/a.fw", first);
    sdcard_set_inserted(true);
    run(1);
    EXPECT_EQ(screen(), 29u);
    run();
    EXPECT_EQ(screen(), 30u);
    EXPECT_EQ(rows(), (std::vector<std::string>{"sdcard/b.fw 6"}));
}

TEST_F(SelfUpdate, TheDesktopCannotWriteItsFirmwareSoTheWizardEndsOnTheSummaryWithTheReason) {
    // The damaged first item is left out: row 0 stands for the package's second item.
    Bytes package = concat({build(displayItem(5)), build(displayItem(6))});
    package[24 + 23 + 10] ^= 0x01;
    writeBytes("sdcard/a.fw", package);
    controller().doSearchFirmwares();
    run();
    controller().doSelectFirmware(1);
    EXPECT_EQ(screen(), 30u);
    EXPECT_TRUE(trace.contains("SELFUPDATE row 1 is not listed"));
    controller().doSelectFirmware(0);
    EXPECT_EQ(screen(), 34u);
    EXPECT_TRUE(trace.contains("SELFUPDATE firmware 0 from sdcard/a.fw")) << trace.str();
    controller().doAbort(); // nothing to abort while the firmware is written
    EXPECT_EQ(screen(), 34u);

    run(1);
    EXPECT_EQ(screen(), 35u);
    EXPECT_EQ(model().getResult().getResultType(), UpdateResultType::Failed);
    EXPECT_EQ(model().getResult().getResultMessage(),
              "There was an error during update process:\n"
              "Updating the display software is not supported on this platform.");
    finish();
}

TEST_F(SelfUpdate, APlatformThatWritesTheFirmwareShowsItsProgressAndThenTheRestartNotice) {
    writeBytes("sdcard/a.fw", build(displayItem(5)));
    controller().doSearchFirmwares();
    run();
    controller().doSelectFirmware(0);
    const size_t depth = core.getStateManager().size();
    auto& platform = static_cast<SelfUpdateListener&>(static_cast<SelfUpdateService&>(*manager.getProcess()));
    platform.onDownload(400, 1000);
    platform.onUpgraded();
    run(1);
    EXPECT_EQ(model().getProgress(), 400u);
    EXPECT_EQ(model().getProgressMax(), 1000u);
    EXPECT_EQ(core.getStateManager().size(), depth + 2) << "the progress screen again, then the summary";
    EXPECT_EQ(screen(), 35u);
    EXPECT_EQ(model().getResult().getResultType(), UpdateResultType::Default);
    EXPECT_EQ(model().getResult().getResultMessage(),
              gettext(SelfUpdateService::STRING_UPDATE_AFTER_RESTART));
    bl_dev_info own{};
    EXPECT_TRUE(model().getDeviceInfo(&own));
    EXPECT_EQ(std::string(own.hw_code, 5), "TD410");
    finish();
}

} // namespace
} // namespace tdx::test
