// The remote update's roads through its wizard, driven through its model and controller as the screens do,
// with a fake master standing for the device, a package on the card and the GUI core's navigation.
#include "Libraries/base/i18n.h"
#include "SourceApp/application/update/UpdateManager.h"
#include "SourceApp/application/update/package_support.h"
#include "SourceApp/application/update/remote/RemoteUpdateService.h"
#include "SourceApp/application/update/remote/fake_port.h"
#include "SourceApp/gui/core/Core.h"
#include "support/trace_capture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tdx::test {
namespace {

constexpr unsigned SYSTEM_SCREEN = 40;

mkpackage::Item unitItem(uint8_t major, std::size_t size) {
    mkpackage::Item item;
    item.descriptor.hwCode = "HM316";
    item.descriptor.swCode = "HM316";
    item.descriptor.versionMajor = major;
    item.descriptor.versionMinor = 3;
    for (std::size_t i = 0; i < size; ++i) {
        item.data.push_back(static_cast<uint8_t>(i * 11 + major));
    }
    return item;
}

class RemoteUpdateTest : public CardFolder {
protected:
    void SetUp() override {
        CardFolder::SetUp();
        os_init();
        // A display item first, then two for the unit: rows 0 and 1 are the unit's, in file order.
        writeBytes("sdcard/unit.fw",
                   concat({build(displayItem(3)), build(unitItem(2, 600)), build(unitItem(4, 300))}));
        core.changeState(SYSTEM_SCREEN, 0, 0, 0, 0);
    }
    void TearDown() override {
        i18n_set_provider(nullptr);
        CardFolder::TearDown();
    }

    bool start(remote_update_start_mode mode, uint32_t address = 0x000316) {
        RemoteUpdateEnvironment environment{&pool, [this] {
                                                auto port = std::make_unique<FakePort>();
                                                port->info = deviceInfo("HM316");
                                                mPort = port.get();
                                                return port;
                                            }};
        return manager.start(RemoteUpdateProcessFactory(address, mode, environment));
    }
    // One main-loop pass: the update manager's task and a slice of background jobs.
    void tick(int passes = 1) {
        for (int i = 0; i < passes; ++i) {
            os_clock_advance(OS_TICK_MS);
            manager.task();
            pool.run();
        }
    }
    void run(uint32_t ms) { tick(static_cast<int>(ms / OS_TICK_MS) + 1); }
    RemoteUpdateService& service() { return static_cast<RemoteUpdateService&>(*manager.getProcess()); }
    UpdateModel& model() { return *manager.getProcess()->getModel(); }
    UpdateController& controller() { return *manager.getProcess()->getController(); }
    unsigned screen() const { return core.getStateManager().getState().getStateId(); }

    // Manual start up to the list of packages found.
    void toSelection() {
        ASSERT_TRUE(start(RUSM_MANUAL));
        mPort->raise(BL_CL_EVENT_APPLICATION);
        controller().doSearchFirmwares();
        tick(20);
        ASSERT_EQ(screen(), 30u);
    }
    // Confirms row 0 and lets the device restart and take its first chunk.
    void toDownloading() {
        toSelection();
        controller().doSelectFirmware(0);
        mPort->raise(BL_CL_EVENT_APPLICATION);
        mPort->restarting(2);
        mPort->raise(BL_CL_EVENT_BOOTLOADER);
        bl_file file{};
        uint8_t extra[BL_MAX_EXTRA];
        uint8_t extraLength = 0;
        bl_event_arg_upgrade_start startArg{0, &file, &extraLength, extra};
        ASSERT_EQ(mPort->raise(BL_CL_EVENT_UPGRADE_START, &startArg), 0);
        mPort->chunk(0, 256);
    }

    TraceCapture trace;
    Core core;
    UpdateManager manager{core};
    TaskPool pool;
    FakePort* mPort = nullptr;
};

TEST_F(RemoteUpdateTest, ManualUpdateWalksTheWizardAndSendsTheChosenItemsDescriptorAndData) {
    std::vector<unsigned> screens;
    const auto saw = [&] {
        if (screens.empty() || screens.back() != screen()) {
            screens.push_back(screen());
        }
    };
    ASSERT_TRUE(start(RUSM_MANUAL));
    saw();
    mPort->raise(BL_CL_EVENT_APPLICATION);
    saw();
    bl_dev_info info{};
    ASSERT_TRUE(model().getDeviceInfo(&info));
    EXPECT_EQ(std::string(info.hw_code, 5), "HM316");
    controller().doSearchFirmwares();
    saw();
    tick(20);
    saw();
    ASSERT_EQ(std::distance(model().begin(), model().end()), 2);
    EXPECT_EQ(model().begin()->version, 2);
    EXPECT_EQ((model().begin() + 1)->version, 4);
    EXPECT_EQ(service().getFirmwaresBegin(), model().begin()) << "the service's list is the one shown";
    EXPECT_EQ(service().getFirmwaresEnd(), model().end());

    controller().doSelectFirmware(1);
    saw();
    mPort->raise(BL_CL_EVENT_APPLICATION);
    EXPECT_EQ(mPort->calls.back(), "upgrade 1");
    const size_t depth = core.getStateManager().size();
    mPort->restarting(4);
    EXPECT_EQ(model().getWaitPeriod(), 34000u);
    EXPECT_EQ(core.getStateManager().size(), depth) << "the announcement replaces the wait screen";

    // The master asks for what it sends: the second unit item's descriptor and data.
    bl_file file{};
    uint8_t extra[BL_MAX_EXTRA];
    uint8_t extraLength = 0;
    bl_event_arg_upgrade_start startArg{1, &file, &extraLength, extra};
    EXPECT_EQ(mPort->raise(BL_CL_EVENT_UPGRADE_START, &startArg), 0);
    EXPECT_EQ(bl_file_length(&file), 300u);
    ASSERT_EQ(extraLength, 23);
    EXPECT_EQ(extra[21], 4);
    std::vector<uint8_t> chunk(256);
    bl_event_arg_data data{1, 256, 44, chunk.data()};
    mPort->size = 300;
    EXPECT_EQ(mPort->raise(BL_CL_EVENT_DATA, &data), 0);
    EXPECT_EQ(chunk[0], static_cast<uint8_t>(256 * 11 + 4)) << "read from the item's own data";
    saw();
    EXPECT_EQ(model().getProgress(), 300u);
    EXPECT_EQ(model().getProgressMax(), 300u);
    data.offset = 257; // beyond the item's data, where the next item would start
    EXPECT_NE(mPort->raise(BL_CL_EVENT_DATA, &data), 0);

    mPort->raise(BL_CL_EVENT_DONE);
    saw();
    EXPECT_EQ(model().getResult().getResultType(), UpdateResultType::Default)
        << "not before the program answers";
    mPort->info.sw_major = 4; // the package's version
    mPort->info.sw_minor = 3;
    mPort->raise(BL_CL_EVENT_APPLICATION);
    saw();
    EXPECT_EQ(screens, (std::vector<unsigned>{27, 28, 29, 30, 33, 34, 33, 35}));
    EXPECT_EQ(model().getResult().getResultType(), UpdateResultType::Finished);
    EXPECT_EQ(model().getResult().getResultMessage(), "Device has updated successfully.");

    controller().doConfirmExit();
    tick();
    EXPECT_EQ(manager.getProcess(), nullptr);
    EXPECT_EQ(screen(), SYSTEM_SCREEN);
    EXPECT_EQ(core.getStateManager().size(), 1u);
}

TEST_F(RemoteUpdateTest, AutomaticStartShowsNothingForARunningApplicationOrAFaultAndCannotBeCancelledLater) {
    ASSERT_TRUE(start(RUSM_WAIT_BOOTLOADER));
    mPort->raise(BL_CL_EVENT_APPLICATION);
    EXPECT_EQ(screen(), SYSTEM_SCREEN);
    EXPECT_EQ(model().getResult().getResultType(), UpdateResultType::Default);
    tick();
    EXPECT_EQ(manager.getProcess(), nullptr);

    ASSERT_TRUE(start(RUSM_WAIT_BOOTLOADER));
    mPort->fault(BL_FAULT_DEVICE_STATUS);
    tick();
    EXPECT_EQ(manager.getProcess(), nullptr);
    EXPECT_EQ(screen(), SYSTEM_SCREEN);

    ASSERT_TRUE(start(RUSM_WAIT_BOOTLOADER));
    EXPECT_EQ(screen(), SYSTEM_SCREEN);
    mPort->raise(BL_CL_EVENT_BOOTLOADER);
    EXPECT_EQ(screen(), 28u);
    EXPECT_FALSE(model().isCancellable());
    controller().doAbort();
    EXPECT_EQ(screen(), 28u);
}

TEST_F(RemoteUpdateTest, CancelEndsTheWaitAndTheChoiceButNotARunningDownload) {
    struct Case {
        const char* where;
        std::function<void()> reach;
        bool cancels;
    };
    const Case cases[] = {
        {"waiting for the device", [this] { ASSERT_TRUE(start(RUSM_MANUAL)); }, true},
        {"device identified",
         [this] {
             ASSERT_TRUE(start(RUSM_MANUAL));
             mPort->raise(BL_CL_EVENT_BOOTLOADER);
         },
         true},
        {"choosing", [this] { toSelection(); }, true},
        {"downloading", [this] { toDownloading(); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        c.reach();
        const unsigned before = screen();
        controller().doAbort();
        if (c.cancels) {
            EXPECT_EQ(screen(), 35u);
            EXPECT_EQ(model().getResult().getResultType(), UpdateResultType::Aborted);
            EXPECT_EQ(model().getResult().getResultMessage(),
                      "Update process aborted, no changes were made.");
        } else {
            EXPECT_EQ(screen(), before);
        }
        manager.getProcess()->terminate();
        tick();
        ASSERT_EQ(manager.getProcess(), nullptr);
    }
}

TEST_F(RemoteUpdateTest, CardTakenOutWhileChoosingShowsCardRemovedAndPuttingItBackSearchesAnew) {
    toSelection();
    const size_t depth = core.getStateManager().size();
    sdcard_set_inserted(false);
    tick();
    EXPECT_EQ(screen(), 31u);
    EXPECT_EQ(model().begin(), model().end());
    sdcard_set_inserted(true);
    tick();
    EXPECT_EQ(screen(), 29u);
    tick(20);
    EXPECT_EQ(screen(), 30u);
    EXPECT_EQ(std::distance(model().begin(), model().end()), 2);
    EXPECT_EQ(core.getStateManager().size(), depth + 1) << "card removed and searching replaced each other";
}

TEST_F(RemoteUpdateTest, FailuresEndOnTheDoneScreenWithTheirResult) {
    const std::string notRunning =
        "\n\nThe device does not run its program: update it again or power-cycle it.";
    const std::string noBootloader =
        "Device failed to entry download mode.\n\nPower cycle the device and try again.";
    const auto restartWithoutBootloader = [this] {
        toSelection();
        controller().doSelectFirmware(0);
        mPort->raise(BL_CL_EVENT_APPLICATION);
        mPort->restarting(2);
        run(7100);
        ASSERT_EQ(screen(), 33u) << "the device is asked to run its program first";
    };
    const auto upgraded = [this] {
        toDownloading();
        mPort->raise(BL_CL_EVENT_DONE);
    };
    struct Case {
        const char* what;
        std::function<void()> fail;
        std::string text;
    };
    const Case cases[] = {
        {"no answer",
         [this] {
             ASSERT_TRUE(start(RUSM_MANUAL));
             run(8100);
         },
         "Device did not respond to update request. It may be busy or not available. Try again."},
        {"no bootloader after the restart, and no answer after it",
         [&] {
             restartWithoutBootloader();
             run(8100);
         },
         noBootloader + notRunning},
        {"no bootloader after the restart, and then its bootloader runs the program",
         [&] {
             restartWithoutBootloader();
             mPort->raise(BL_CL_EVENT_BOOTLOADER);
             EXPECT_EQ(mPort->calls.back(), "app");
             mPort->raise(BL_CL_EVENT_APPLICATION);
         },
         noBootloader},
        {"silent during the download, and to the request to run its program",
         [this] {
             toDownloading();
             run(30100);
             ASSERT_EQ(screen(), 33u) << "the device is asked to run its program first";
             EXPECT_EQ(mPort->calls.back(), "connect");
             run(8100);
         },
         "Device stopped responding during download.\n\nPower cycle the device to repeat the process." +
             notRunning},
        {"silent during the download, and then back running its program",
         [this] {
             toDownloading();
             run(30100);
             mPort->raise(BL_CL_EVENT_APPLICATION);
         },
         "The download was interrupted. The device runs its previous program again."},
        {"a chunk refused, and then its program answers",
         [this] {
             toDownloading();
             mPort->fault(BL_FAULT_DEVICE_STATUS);
             ASSERT_EQ(screen(), 33u) << "the device is asked to run its program first";
             mPort->raise(BL_CL_EVENT_APPLICATION);
         },
         "The download was interrupted. The device runs its previous program again."},
        {"a chunk refused, and no answer after it",
         [this] {
             toDownloading();
             mPort->fault(BL_FAULT_DEVICE_STATUS);
             run(8100);
         },
         "There was an error during update process: Code 1" + notRunning},
        {"no application after the upgrade",
         [&] {
             upgraded();
             run(7100); // the announced 2 s restart and 5 s
         },
         "Device did not start its new program." + notRunning},
        {"refused to start its application",
         [&] {
             upgraded();
             mPort->fault(BL_FAULT_DEVICE_STATUS);
         },
         "There was an error during update process: Code 1" + notRunning},
        {"another version answers after the upgrade",
         [&] {
             upgraded();
             mPort->info.sw_major = 2;
             mPort->info.sw_minor = 2;
             mPort->raise(BL_CL_EVENT_APPLICATION);
         },
         "The device now runs version 2.2, not the package's version 2.3."},
        {"fault while identifying",
         [this] {
             ASSERT_TRUE(start(RUSM_MANUAL));
             mPort->fault(BL_FAULT_MALFORMED_REPLY);
         },
         "There was an error during update process: Code 2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.fail();
        EXPECT_EQ(screen(), 35u);
        EXPECT_EQ(model().getResult().getResultType(), UpdateResultType::Failed);
        EXPECT_EQ(model().getResult().getResultMessage(), c.text);
        controller().doConfirmExit();
        tick();
        ASSERT_EQ(manager.getProcess(), nullptr);
    }
}

// The wait left is the whole wait: a phase whose time-out is followed by the request to run the program
// again counts that request's wait too, so that the wait screen's 0 is the result.
TEST_F(RemoteUpdateTest, TheWaitLeftCountsTheRequestToRunTheProgramThatFollowsATimeOut) {
    const struct {
        const char* where;
        std::function<void()> reach;
        std::optional<uint32_t> left;
    } rows[] = {
        {"choosing: nothing supervised", [this] { toSelection(); }, std::nullopt},
        {"connecting for the upgrade",
         [this] {
             toSelection();
             controller().doSelectFirmware(0);
         },
         8000 + 8000},
        {"restarting into the bootloader, 2 s announced",
         [this] {
             toSelection();
             controller().doSelectFirmware(0);
             mPort->raise(BL_CL_EVENT_APPLICATION);
             mPort->restarting(2);
         },
         7000 + 8000},
        {"downloading", [this] { toDownloading(); }, 30000 + 8000},
        {"asking the device to run its program after a time-out",
         [this] {
             toDownloading();
             run(30100);
         },
         8000},
        {"the new program starting after the upgrade, 2 s announced",
         [this] {
             toDownloading();
             mPort->raise(BL_CL_EVENT_DONE);
         },
         7000},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.where);
        row.reach();
        const std::optional<uint32_t> left = model().getWaitLeft();
        ASSERT_EQ(left.has_value(), row.left.has_value());
        if (left) {
            // Within the main-loop pass that went past the time-out.
            EXPECT_LE(*left, *row.left);
            EXPECT_GT(*left + 3 * OS_TICK_MS, *row.left);
        }
        manager.getProcess()->terminate();
        tick();
        ASSERT_EQ(manager.getProcess(), nullptr);
    }
}

TEST_F(RemoteUpdateTest, NoUpdateStartsWhileTheOwnerIsUnknown) {
    EXPECT_FALSE(start(RUSM_MANUAL, 0xFFFFFFFF));
    EXPECT_EQ(manager.getProcess(), nullptr);
    EXPECT_EQ(screen(), SYSTEM_SCREEN);
}

TEST_F(RemoteUpdateTest, ResultTextIsTranslatedInTheLanguageOfTheMomentItIsSet) {
    ASSERT_TRUE(start(RUSM_MANUAL));
    i18n_set_provider([](const char*, const char* id) -> const char* {
        return std::strcmp(id, RemoteUpdateService::STRING_CANCELLED) == 0 ? "Afgebroken." : nullptr;
    });
    controller().doAbort();
    EXPECT_EQ(model().getResult().getResultMessage(), "Afgebroken.");
}

TEST_F(RemoteUpdateTest, LeavingTheWizardByHomeSilencesTheDeviceExchange) {
    toDownloading();
    core.defaultState();
    EXPECT_EQ(mPort->calls.back(), "disconnect");
    EXPECT_EQ(service().getBootloaderService().getStateName(), std::string("BootloaderMap::Idle"));
    tick();
    EXPECT_EQ(manager.getProcess(), nullptr);
}

} // namespace
} // namespace tdx::test
