// Updating the simulated control unit from the display over the in-process pipe at line speed, on the shared
// fake clock: the remote update driven through its model and controller as the wizard's screens do, from a
// package built by the package tool.
#include "Libraries/tavi_net/tnet_datalink.h"
#include "SourceApp/application/update/UpdateManager.h"
#include "SourceApp/application/update/package_support.h"
#include "SourceApp/application/update/remote/RemoteUpdateService.h"
#include "SourceApp/gui/core/Core.h"
#include "support/child_process.h"
#include "support/trace_capture.h"
#include "support/update_loop.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace tdx::test {
namespace {

constexpr uint32_t UNIT = 0x000316;
constexpr unsigned SYSTEM_SCREEN = 40;

class UpdateEndToEnd : public CardFolder {
protected:
    void SetUp() override {
        CardFolder::SetUp();
        for (uint32_t i = 0; i < 3000; ++i) {
            mImage.push_back(static_cast<uint8_t>(i * 13 + 5));
        }
        writeFile("image.bin", std::string(mImage.begin(), mImage.end()));
        ASSERT_TRUE(package("HM316"));
        core.changeState(SYSTEM_SCREEN, 0, 0, 0, 0);
    }
    // The card's package: the image for units of the given code, version 2.3.
    static bool package(const std::string& unit) {
        const std::string tool = MKPACKAGE_PATH;
        const std::string command =
            tool + " --hw " + unit + " --sw " + unit + " --version 2.3 --data image.bin -o sdcard/unit.fw";
        std::string said;
        const bool made = runCommand(command, said) == 0;
        EXPECT_TRUE(made) << said;
        return made;
    }
    void TearDown() override {
        loop.reset();
        CardFolder::TearDown();
    }

    void connect(const sim::SimConfig& config = {}) {
        loop.reset(); // one client at a time: the old one stops the network client
        loop = std::make_unique<UpdateLoop>(config);
        loop->setPump([this] {
            manager.task();
            pool.run();
        });
        ASSERT_TRUE(loop->connect());
    }
    bool start(remote_update_start_mode mode) {
        return manager.start(RemoteUpdateProcessFactory(tnet_get_owner(), mode, {&pool, nullptr}));
    }
    bool reach(unsigned id, uint32_t ms) {
        return loop->runUntil([&] { return screen() == id; }, ms);
    }
    // From the device information to the start of the download of the one package found.
    void chooseThePackage() {
        ASSERT_TRUE(reach(28, 3000)) << trace.str();
        controller().doSearchFirmwares();
        ASSERT_TRUE(reach(30, 1000));
        ASSERT_EQ(std::distance(model().begin(), model().end()), 1);
        controller().doSelectFirmware(0);
    }
    UpdateModel& model() { return *manager.getProcess()->getModel(); }
    UpdateController& controller() { return *manager.getProcess()->getController(); }
    unsigned screen() const { return core.getStateManager().getState().getStateId(); }
    bool unitRunsItsProgram() {
        auto& unit = loop->sim().bootloader();
        return !unit.restarting() && unit.mode() == BL_MODE_APPLICATION;
    }
    std::string result() { return model().getResult().getResultMessage(); }

    TraceCapture trace;
    Core core;
    UpdateManager manager{core};
    TaskPool pool;
    std::unique_ptr<UpdateLoop> loop;
    std::vector<uint8_t> mImage;
};

TEST_F(UpdateEndToEnd, ControlUnitIsUpdatedThroughItsBootloaderAndReportsTheNewVersion) {
    connect();
    ASSERT_TRUE(start(RUSM_MANUAL));
    chooseThePackage();
    ASSERT_TRUE(reach(35, 30000)) << trace.str();
    EXPECT_EQ(model().getResult().getResultType(), UpdateResultType::Finished);
    EXPECT_EQ(loop->sim().bootloader().image(), mImage);
    EXPECT_GE(trace.count("sim: back as bootloader"), 1u);
    EXPECT_GE(trace.count("sim: session 3"), 1u) << "a new session after each restart";
    // Its values agree with its bootloader: the device information screen shows the new version too.
    const auto published = loop->sim().value(sim::SimConfig{}.address, 0x800D);
    ASSERT_TRUE(published);
    EXPECT_EQ(published->number(), 2);
    controller().doConfirmExit();
    loop->run(100);
    ASSERT_EQ(manager.getProcess(), nullptr);
    EXPECT_EQ(screen(), SYSTEM_SCREEN);

    ASSERT_TRUE(start(RUSM_MANUAL));
    ASSERT_TRUE(reach(28, 3000));
    bl_dev_info info{};
    ASSERT_TRUE(model().getDeviceInfo(&info));
    EXPECT_EQ(info.sw_major, 2);
    EXPECT_EQ(info.sw_minor, 3);
}

TEST_F(UpdateEndToEnd, CorruptedUnitWaitingInItsBootloaderIsUpdatedFromTheAutomaticStart) {
    sim::SimConfig config;
    config.bootloader.startInBootloader = true;
    config.bootloader.info.sw_major = 0;
    connect(config);
    ASSERT_TRUE(start(RUSM_WAIT_BOOTLOADER));
    chooseThePackage();
    EXPECT_FALSE(model().isCancellable());
    ASSERT_TRUE(reach(35, 30000)) << trace.str();
    EXPECT_EQ(model().getResult().getResultType(), UpdateResultType::Finished) << result();
    EXPECT_EQ(trace.count("sim bl: restarting"), 1u) << "no restart into the bootloader it runs already";
}

TEST_F(UpdateEndToEnd, EachWayTheUnitFailsEndsWithTheUnitRunningItsProgramOrTheTextSayingItDoesNot) {
    const std::string notRunning =
        "\n\nThe device does not run its program: update it again or power-cycle it.";
    struct Case {
        const char* knob;
        void (*set)(sim::SimBootloader::Config&);
        std::string text;
    };
    const Case cases[] = {
        {"never answers", [](sim::SimBootloader::Config& c) { c.neverAnswer = true; },
         "Device did not respond to update request. It may be busy or not available. Try again."},
        {"cannot be updated", [](sim::SimBootloader::Config& c) { c.upgradable = false; },
         "There was an error during update process: Code 1"},
        {"refuses the upgrade in its bootloader",
         [](sim::SimBootloader::Config& c) { c.faultStatus = BL_STATUS_NOT_SUPPORTED; },
         "There was an error during update process: Code 1"},
        {"stays down after the restart", [](sim::SimBootloader::Config& c) { c.stayDown = true; },
         "Device failed to entry download mode.\n\nPower cycle the device and try again." + notRunning},
        {"falls silent mid-download", [](sim::SimBootloader::Config& c) { c.silentAfterChunks = 4; },
         "Device stopped responding during download.\n\nPower cycle the device to repeat the process." +
             notRunning},
        {"answers a chunk with a fault status, and then runs its previous program",
         [](sim::SimBootloader::Config& c) {
             c.faultStatus = BL_STATUS_VERIFY_FAILED;
             c.faultAtChunk = 2;
         },
         "The download was interrupted. The device runs its previous program again."},
        {"its new application does not start",
         [](sim::SimBootloader::Config& c) { c.stayInBootloaderAfterUpgrade = true; },
         "Device did not start its new program." + notRunning},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.knob);
        sim::SimConfig config;
        c.set(config.bootloader);
        connect(config);
        ASSERT_TRUE(start(RUSM_MANUAL));
        if (!config.bootloader.neverAnswer) {
            chooseThePackage();
        }
        ASSERT_TRUE(reach(35, 45000)) << trace.str();
        EXPECT_EQ(model().getResult().getResultType(), UpdateResultType::Failed);
        EXPECT_EQ(result(), c.text);
        controller().doConfirmExit();
        loop->run(20000); // long after the user left
        ASSERT_EQ(manager.getProcess(), nullptr);
        EXPECT_EQ(unitRunsItsProgram(), c.text.find(notRunning) == std::string::npos);
        if (config.bootloader.stayInBootloaderAfterUpgrade) {
            EXPECT_EQ(loop->sim().bootloader().info().sw_major, 0) << "a broken unit reports version 0";
        }
    }
}

TEST_F(UpdateEndToEnd,
       AnotherUnitsPackageIsNotOfferedAndRefusedBeforeTheRestartAndAWaitingUnitRunsItsProgram) {
    for (const bool inBootloader : {false, true}) {
        SCOPED_TRACE(inBootloader ? "unit waiting in its bootloader" : "unit running");
        sim::SimConfig config;
        config.bootloader.startInBootloader = inBootloader;
        connect(config);
        ASSERT_TRUE(start(inBootloader ? RUSM_WAIT_BOOTLOADER : RUSM_MANUAL));
        ASSERT_TRUE(reach(28, 3000)) << trace.str();
        controller().doSearchFirmwares();
        ASSERT_TRUE(reach(30, 1000));
        ASSERT_TRUE(package("HM317")); // replaced between the listing and the choice
        const size_t restarts = trace.count("sim bl: restarting");
        controller().doSelectFirmware(0);
        ASSERT_TRUE(reach(35, 10000)) << trace.str();
        EXPECT_EQ(result(),
                  "The package cannot be read or does not fit this device. Nothing was sent to it.");
        EXPECT_TRUE(unitRunsItsProgram());
        EXPECT_EQ(trace.count("sim bl: restarting"), restarts + (inBootloader ? 1 : 0))
            << "only a unit waiting in its bootloader restarts, into its program";
        controller().doConfirmExit();
        loop->run(100);
        ASSERT_EQ(manager.getProcess(), nullptr);
        ASSERT_TRUE(package("HM316"));
    }

    ASSERT_TRUE(package("HM317"));
    ASSERT_TRUE(start(RUSM_MANUAL));
    ASSERT_TRUE(reach(28, 3000));
    controller().doSearchFirmwares();
    ASSERT_TRUE(reach(30, 1000));
    EXPECT_EQ(model().begin(), model().end()) << "another unit's package is not offered";
}

TEST_F(UpdateEndToEnd, ServiceDestroyedWithItsSocketOpenLeavesNoUserBehindAndFreesTheSocket) {
    connect();
    ImageOwner owner(100);
    auto service = std::make_unique<BootloaderService>(UNIT, owner);
    service->start();
    ASSERT_TRUE(loop->runUntil([&] { return !loop->sim().received_datagrams().empty(); }, 1000));
    service.reset(); // the answer to its first request is on its way
    loop->run(1000);
    EXPECT_TRUE(owner.events.empty());
    EXPECT_EQ(trace.count("nobody listens: dropped"), 1u) << trace.str();
    xsock* socket = tnet_datalink_connect(
        BL_PORT, UNIT, BL_PORT, [](xsock_event, uint8_t*, uint32_t, void*) {}, nullptr);
    EXPECT_NE(socket, nullptr) << "the one outgoing socket is free again";
    tnet_datalink_close(socket);
}

} // namespace
} // namespace tdx::test
