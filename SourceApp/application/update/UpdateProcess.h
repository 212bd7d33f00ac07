// What an update process (of a peripheral, or of the display itself) and the device-update wizard screens
// know of each other. The update manager runs one process at a time: the process polls its state machine in
// handleTask(), raises update events that open the wizard's screens, and ends itself with terminate().
//
// For the screens:
// - getApplication()->getUpdateManager()->getProcess() is null whenever no process runs, and a process
//   that has been told to end is deleted at the next pass of the main loop. A wizard screen that finds no
//   process goes back (or home) instead of reading the model.
// - getProgressMax() may be 0 (the size is not known yet, or there is nothing to send): show a bar without a
//   fill level rather than dividing by it.
#pragma once

#include "Libraries/tavi_net/bl_protocol.h"
#include "SourceApp/application/update/FirmwareFinder.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tdx {

// The events a process raises; each opens one wizard screen (UpdateEventHandler).
enum update_event : uint32_t {
    UE_DEVICE_UNIDENTIFIED = 0, // waiting for the device's bootloader
    UE_DEVICE_IDENTIFIED = 1,   // the device and its versions are known
    UE_CARD_REMOVED = 2,        // no memory card, or it was taken out
    UE_SEARCHING = 3,           // looking for firmware packages on the card
    UE_SEARCH_FINISHED = 4,     // choose a package
    UE_WAIT = 5,                // the device is restarting
    UE_PROGRESS = 6,            // download running
    UE_DONE = 7,                // show the result
};

struct UpdateResultType {
    enum Enum : uint32_t { Finished = 0, Aborted = 2, Failed = 3, Default = 4 };
};

// How a process ended. The message is the text the result screen shows, already in the user's language:
// the process sets it while it runs, never during static initialisation.
class UpdateResult {
public:
    UpdateResult() = default;
    UpdateResult(UpdateResultType::Enum type, std::string message)
        : mType(type)
        , mMessage(std::move(message)) {}

    UpdateResultType::Enum getResultType() const { return mType; }
    std::string getResultMessage() const { return mMessage; }

private:
    UpdateResultType::Enum mType = UpdateResultType::Default;
    std::string mMessage;
};

// The read side of a process, queried by the wizard screens.
class UpdateModel {
public:
    virtual ~UpdateModel() = default;
    virtual bool isCancellable() const = 0;
    // Copies the information of the device being updated; false when it is not known (out untouched).
    virtual bool getDeviceInfo(bl_dev_info* out) const = 0;
    // Milliseconds the wait screen counts down.
    virtual uint32_t getWaitPeriod() const = 0;
    // Milliseconds the process still waits for the device at most, when it knows: its waits pause while the
    // network is down, so that the wait screen counts this down instead of its own period. Beside the period
    // it stands for; not pure, as a process whose waits never pause has nothing to add to its period.
    virtual std::optional<uint32_t> getWaitLeft() const { return std::nullopt; }
    // Progress in the unit of getProgressMax() (bytes for a peripheral); the maximum may be 0.
    virtual uint32_t getProgress() const = 0;
    virtual uint32_t getProgressMax() const = 0;
    virtual const UpdateResult& getResult() const = 0;
    // The firmware found on the card.
    virtual std::vector<ui_firmware_info>::const_iterator begin() const = 0;
    virtual std::vector<ui_firmware_info>::const_iterator end() const = 0;
};

// The part of a model both update services share: the progress they report, and the result and firmware list
// the service owns.
class FirmwareListModel : public UpdateModel {
public:
    FirmwareListModel(const UpdateResult& result, const std::vector<ui_firmware_info>& firmwares)
        : mResult(result)
        , mFirmwares(firmwares) {}
    uint32_t getProgress() const override { return mProgress; }
    uint32_t getProgressMax() const override { return mProgressMax; }
    const UpdateResult& getResult() const override { return mResult; }
    std::vector<ui_firmware_info>::const_iterator begin() const override { return mFirmwares.begin(); }
    std::vector<ui_firmware_info>::const_iterator end() const override { return mFirmwares.end(); }

    void setProgress(uint32_t progress, uint32_t max) {
        mProgress = progress;
        mProgressMax = max;
    }

private:
    const UpdateResult& mResult;
    const std::vector<ui_firmware_info>& mFirmwares;
    uint32_t mProgress = 0;
    uint32_t mProgressMax = 0;
};

// The command side, called by the wizard screens.
class UpdateController {
public:
    virtual ~UpdateController() = default;
    virtual void doAbort() = 0;
    virtual void doConfirmExit() = 0;
    virtual void doSearchFirmwares() = 0;
    // index: a row of the model's firmware list.
    virtual void doSelectFirmware(uint32_t index) = 0;
};

class UpdateProcess;

// What the update manager offers a process.
class ProcessInterface {
public:
    virtual ~ProcessInterface() = default;
    virtual void terminate(UpdateProcess* process) = 0;
};

class UpdateProcess {
public:
    explicit UpdateProcess(ProcessInterface& manager)
        : mManager(manager) {}
    virtual ~UpdateProcess() = default;
    UpdateProcess(const UpdateProcess&) = delete;
    UpdateProcess& operator=(const UpdateProcess&) = delete;

    virtual UpdateModel* getModel() = 0;
    virtual UpdateController* getController() = 0;
    // One poll step, once per main-loop pass while the process runs.
    virtual void handleTask() = 0;
    // The process is ending (its own terminate(), the home button, or backing out of the first update
    // screen). It must not delete itself: the manager does that at its next task.
    virtual void handleTermination() = 0;
    // The network going down is part of the process now (the device it updates is the control unit, which
    // restarts): its screens stay, and the process's own supervision tells whether the device came back.
    virtual bool expectsNetworkLoss() const { return false; }

    void task() { handleTask(); }
    void terminate() { mManager.terminate(this); }

private:
    ProcessInterface& mManager;
};

// Makes the process an update screen asked for; the caller owns the result.
class IProcessFactory {
public:
    virtual ~IProcessFactory() = default;
    virtual UpdateProcess* create(ProcessInterface& manager) const = 0;
};

class ProcessEventHandler {
public:
    virtual ~ProcessEventHandler() = default;
    virtual void handleProcessEvent(update_event event) = 0;
};

// Opens the wizard screen of an event. From a transient screen (unidentified, searching, card removed, wait)
// the new screen replaces it, so that back never returns to it.
class UpdateEventHandler final : public ProcessEventHandler {
public:
    // An event above UE_DONE is a fatal assertion.
    void handleProcessEvent(update_event event) override;
};

} // namespace tdx
