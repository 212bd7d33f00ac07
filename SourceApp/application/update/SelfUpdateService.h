// The update process of the display's own firmware: search the card for packages that fit the display, let
// the user choose one, hand it to the platform's half and show the result. Started by the display screen.
#pragma once

#include "Libraries/base/i18n.h"
#include "Libraries/tavi_net/bl_protocol.h"
#include "SourceApp/application/update/FirmwareFinder.h"
#include "SourceApp/application/update/SelfUpdateMap.h"
#include "SourceApp/application/update/UpdateProcess.h"
#include "SourceHost/application/self_update_platform.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace tdx {

class TaskPool;

// What setResult is given.
enum self_update_result : int32_t {
    SUR_ERROR = -1,
    SUR_CANCELLED = 1,
    SUR_AFTER_RESTART = 2, // the firmware is in place and is installed by the restart that follows
};

class SelfUpdateService final : public UpdateProcess, public SelfUpdateListener {
public:
    // The result texts, translated when a result is set (the language may have changed since start-up).
    // Shown by no result: the display installs the firmware in the restart that follows the update, so the
    // update ends prepared (STRING_UPDATE_AFTER_RESTART) rather than finished.
    static constexpr const char* STRING_UPDATE_FINISHED =
        N_("Device has updated successfully.\n\nAfter you click on the \"Finish\" button the device will "
           "restart.");
    static constexpr const char* STRING_CANCELLED = N_("Update process aborted, no changes were made.");
    static constexpr const char* STRING_UPDATE_ERROR = N_("There was an error during update process:");
    static constexpr const char* STRING_UPDATE_AFTER_RESTART = N_(
        "Device is prepared to update. After you click on the\"Finish\" button the device will restart and "
        "install selected update.\n\nDo not turn off the device or remove the SD card.");

    // Opens the device information screen. pool runs the finder's checksum jobs.
    SelfUpdateService(ProcessInterface& manager, TaskPool& pool);
    ~SelfUpdateService() override;

    UpdateModel* getModel() override { return &mModel; }
    UpdateController* getController() override { return &mController; }
    void handleTask() override;
    // Ended by home or back: the platform has nothing to undo before the firmware is chosen, and while it
    // writes the wizard offers no way out.
    void handleTermination() override {}
    // The display's own update asks nothing of the control unit: a loss of the network leaves it as it is
    // (the platform may be writing), and the not-enrolled screen follows its end when the unit is still away.
    bool expectsNetworkLoss() const override { return true; }

    // The firmware list, as the model gives it.
    std::vector<ui_firmware_info>::const_iterator getFirmwaresBegin() const { return mFirmwares.begin(); }
    std::vector<ui_firmware_info>::const_iterator getFirmwaresEnd() const { return mFirmwares.end(); }

    // The actions of SelfUpdateMap.
    void startPackageSearch();
    void resetSearch();
    void processPackages();
    void raise(update_event event);
    void setResult(self_update_result result);
    // Guard of confirmUpgrade: a row that the selection screen can show.
    bool isListed(uint32_t index) const { return index < mFirmwares.size(); }
    void platformStartUpgrade(uint32_t index);
    void platformTask() { mPlatform.execute(); }
    void platformHandleFinish() { mPlatform.onFinish(); }
    // What the platform's half reports.
    void onDownload(uint32_t progress, uint32_t max) override;
    void onUpgraded() override;
    void onFault(const char* reason) override;

    // Set by fault just before the error result.
    void setFaultReason(const char* reason) { mFaultReason = reason; }

    class Model final : public FirmwareListModel {
    public:
        explicit Model(SelfUpdateService& service)
            : FirmwareListModel(service.mResult, service.mFirmwares)
            , mService(service) {}
        bool isCancellable() const override { return true; }
        bool getDeviceInfo(bl_dev_info* out) const override;
        uint32_t getWaitPeriod() const override { return 1000; }

    private:
        SelfUpdateService& mService;
    };

    class Controller final : public UpdateController {
    public:
        explicit Controller(SelfUpdateService& service)
            : mService(service) {}
        void doAbort() override;
        void doConfirmExit() override;
        void doSearchFirmwares() override;
        void doSelectFirmware(uint32_t index) override;

    private:
        SelfUpdateService& mService;
    };

private:
    UpdateEventHandler mEvents;
    Model mModel{*this};
    Controller mController{*this};
    SelfUpdatePlatform mPlatform{*this};
    SelfUpdateServiceContext mContext{*this, SelfUpdateMap::Init};
    bl_dev_info mDevice{};
    UpdateResult mResult;
    TaskPool& mPool;
    std::unique_ptr<FirmwareFinder> mFinder;
    std::vector<ui_firmware_info> mFirmwares;
    const char* mFaultReason = nullptr;
};

// Made on the stack by the screen that starts the update; the process it creates outlives it.
class SelfUpdateProcessFactory final : public IProcessFactory {
public:
    explicit SelfUpdateProcessFactory(TaskPool& pool)
        : mPool(pool) {}
    UpdateProcess* create(ProcessInterface& manager) const override;

private:
    TaskPool& mPool;
};

} // namespace tdx
