// The update process that replaces the firmware of a device on the device network (normally the control
// unit) with a package from the memory card: it identifies the device through the bootloader service, finds
// the packages that fit it, lists them for the user, has the chosen one downloaded into the device's
// bootloader, starts the device's application again and reports a result. Its progress lives in
// RemoteUpdateMap; each wizard screen is opened by an update event it raises.
#pragma once

#include "SourceApp/application/update/FirmwareFinder.h"
#include "SourceApp/application/update/UpdateProcess.h"
#include "SourceApp/application/update/remote/BootloaderService.h"
#include "SourceApp/application/update/statemap.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace tdx {

class TaskPool;

enum remote_update_start_mode : uint32_t {
    RUSM_MANUAL = 0,          // the user asked: the wizard waits for the device on screen
    RUSM_WAIT_BOOTLOADER = 1, // no screen until the device's bootloader answers; its application ends it
};

enum remote_update_device_connected : uint32_t {
    RUDC_BOOTLOADER = 0,
    RUDC_APPLICATION = 1,
};

enum remote_update_result : uint32_t {
    RUR_FINISHED = 0,
    RUR_CANCELLED = 1,
    RUR_TIMEOUT = 2,       // the device did not come back in its bootloader
    RUR_QUERY_TIMEOUT = 3, // the device did not answer at all
    RUR_UPDATE_TIMEOUT = 4,
    RUR_UPDATE_ERROR = 5,
    RUR_PACKAGE_UNUSABLE = 6, // the chosen package cannot be read or names another device
    RUR_WRONG_VERSION = 7,    // the updated device answers with another version than the package's
    RUR_NOT_STARTED = 8,      // its bootloader answers after the upgrade, not the new program
    RUR_INTERRUPTED = 9,      // the download stopped, and the device runs its previous program again
};

class RemoteUpdateServiceState;
class RemoteUpdateService;
using RemoteUpdateServiceContext = statemap::Context<RemoteUpdateService, RemoteUpdateServiceState>;

class RemoteUpdateService final : public UpdateProcess {
public:
    // English message ids of the results, translated when a result is set.
    static const char* const STRING_UPDATE_FINISHED;
    static const char* const STRING_CANCELLED;
    static const char* const STRING_TIMEOUT;
    static const char* const STRING_QUERY_TIMEOUT;
    static const char* const STRING_UPDATE_TIMEOUT;
    static const char* const STRING_UPDATE_ERROR;
    static const char* const STRING_PACKAGE_UNUSABLE;
    static const char* const STRING_WRONG_VERSION;
    static const char* const STRING_NOT_STARTED;
    static const char* const STRING_INTERRUPTED;
    // Added to a failure after which the device is not seen running a program.
    static const char* const STRING_NOT_RUNNING;

    // The address is masked to its 24 bits.
    RemoteUpdateService(uint32_t address, ProcessInterface& manager, remote_update_start_mode mode,
                        TaskPool& pool, std::unique_ptr<BootloaderPort> port = makeNetworkBootloaderPort());
    ~RemoteUpdateService() override;

    UpdateModel* getModel() override { return &mModel; }
    UpdateController* getController() override { return &mController; }
    void handleTask() override;
    void handleTermination() override;
    // From the request to restart into the bootloader until the result: the device restarts twice.
    bool expectsNetworkLoss() const override;

    BootloaderService& getBootloaderService() { return mBootloader; }
    // The firmware list, as the model gives it.
    std::vector<ui_firmware_info>::const_iterator getFirmwaresBegin() const { return mFirmwares.begin(); }
    std::vector<ui_firmware_info>::const_iterator getFirmwaresEnd() const { return mFirmwares.end(); }
    const char* getStateName() const { return mContext.getStateName(); }

    // Actions and guards of RemoteUpdateMap.
    void setResult(remote_update_result result);
    void startPackageSearch();
    void resetSearch();
    void processPackages();
    void raise(update_event event);
    void setCancellable(bool cancellable) { mCancellable = cancellable; }
    bool isCancellable() const { return mCancellable; }
    // The chosen row's item is still whole on the card and its descriptor names the device identified.
    bool isPackageUsable(uint32_t index) const;
    // The device's application answered after the upgrade with the version the package's descriptor gave.
    bool runsPackageVersion() const { return mSentVersion && mAnsweredVersion == mSentVersion; }
    // After a failure the device is asked to run its program before the result shows. When it does, the
    // result becomes `onceRunning`, when given; else the failure stays as set.
    void setRecovering(bool recovering, std::optional<remote_update_result> onceRunning = std::nullopt) {
        mRecovering = recovering;
        mResultOnceRunning = onceRunning;
    }
    bool isRecovering() const { return mRecovering; }
    std::optional<remote_update_result> getResultOnceRunning() const { return mResultOnceRunning; }
    // What the wait screen counts down: the current phase's time left and, when its time-out is followed by
    // the wait for the device to run its program again, that wait too.
    std::optional<uint32_t> getWaitLeft() const;
    // Adds to the failure shown that the device does not run its program.
    void noteNotRunning();

private:
    class RemoteUpdateUpgradeInterface final : public BootloaderUpgradeInterface {
    public:
        explicit RemoteUpdateUpgradeInterface(RemoteUpdateService& service)
            : mService(service) {}
        void handleEvent(bootloader_client_event event) override;
        int getFileDescriptor(uint32_t fileId, bl_file* file, void* extra, uint8_t* extraLength) override;
        int getFileData(uint32_t fileId, uint8_t* buffer, uint32_t offset, uint32_t length) override;

    private:
        RemoteUpdateService& mService;
    };

    class Model final : public FirmwareListModel {
    public:
        explicit Model(RemoteUpdateService& service)
            : FirmwareListModel(service.mResult, service.mFirmwares)
            , mService(service) {}
        bool isCancellable() const override { return mService.mCancellable; }
        bool getDeviceInfo(bl_dev_info* out) const override;
        uint32_t getWaitPeriod() const override;
        std::optional<uint32_t> getWaitLeft() const override { return mService.getWaitLeft(); }

    private:
        RemoteUpdateService& mService;
    };

    class Controller final : public UpdateController {
    public:
        explicit Controller(RemoteUpdateService& service)
            : mService(service) {}
        void doAbort() override;
        void doConfirmExit() override;
        void doSearchFirmwares() override;
        void doSelectFirmware(uint32_t index) override;

    private:
        RemoteUpdateService& mService;
    };

    void handleBootloaderEvent(bootloader_client_event event);
    // The chosen row's item; null for an id that names no row.
    const tr1_package_item* getFileWithId(uint32_t fileId) const;

    UpdateEventHandler mEvents;
    RemoteUpdateUpgradeInterface mUpgradeInterface{*this};
    Model mModel{*this};
    Controller mController{*this};
    BootloaderService mBootloader;
    RemoteUpdateServiceContext mContext;
    bl_dev_info mDeviceInfo{};
    UpdateResult mResult;
    TaskPool& mPool;
    std::unique_ptr<FirmwareFinder> mFinder;
    std::vector<ui_firmware_info> mFirmwares;
    bool mCancellable = true;
    bool mRecovering = false;
    std::optional<remote_update_result> mResultOnceRunning;
    // Major and minor version: of the descriptor sent with the upgrade, and of the application that answered
    // after it.
    std::optional<std::pair<uint8_t, uint8_t>> mSentVersion;
    std::optional<std::pair<uint8_t, uint8_t>> mAnsweredVersion;
};

// What a remote update runs on; by default the application's job pool and the device network.
struct RemoteUpdateEnvironment {
    TaskPool* pool = nullptr;
    std::function<std::unique_ptr<BootloaderPort>()> port;
};

// Makes the remote update for the screens that start it. The owner address of an unconnected display
// (0xFFFFFFFF) names no device: then no process is made, and the update manager refuses to start.
class RemoteUpdateProcessFactory final : public IProcessFactory {
public:
    RemoteUpdateProcessFactory(uint32_t address, remote_update_start_mode mode,
                               RemoteUpdateEnvironment environment = {})
        : mAddress(address)
        , mMode(mode)
        , mEnvironment(std::move(environment)) {}
    UpdateProcess* create(ProcessInterface& manager) const override;

private:
    uint32_t mAddress;
    remote_update_start_mode mMode;
    RemoteUpdateEnvironment mEnvironment;
};

} // namespace tdx
