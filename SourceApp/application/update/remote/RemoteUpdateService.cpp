#include "SourceApp/application/update/remote/RemoteUpdateService.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/fmt.h"
#include "Libraries/base/i18n.h"
#include "Libraries/link_bus/tnet_packet.h"
#include "SourceApp/application/App.h"
#include "SourceApp/application/update/remote/RemoteUpdateMap.h"
#include "SourceHost/api_lib/sdcard.h"

#include <cstring>
#include <iterator>

namespace tdx {

const char* const RemoteUpdateService::STRING_UPDATE_FINISHED = N_("Device has updated successfully.");
const char* const RemoteUpdateService::STRING_CANCELLED = N_("Update process aborted, no changes were made.");
const char* const RemoteUpdateService::STRING_TIMEOUT =
    N_("Device failed to entry download mode.\n\nPower cycle the device and try again.");
const char* const RemoteUpdateService::STRING_QUERY_TIMEOUT =
    N_("Device did not respond to update request. It may be busy or not available. Try again.");
const char* const RemoteUpdateService::STRING_UPDATE_TIMEOUT =
    N_("Device stopped responding during download.\n\nPower cycle the device to repeat the process.");
const char* const RemoteUpdateService::STRING_UPDATE_ERROR = N_("There was an error during update process:");
// The three failures below are not among the wizard's classic results, yet each asks the installer for a
// different next step (choose another package, update again, power-cycle), so each says so in a sentence of
// its own.
const char* const RemoteUpdateService::STRING_PACKAGE_UNUSABLE =
    N_("The package cannot be read or does not fit this device. Nothing was sent to it.");
const char* const RemoteUpdateService::STRING_WRONG_VERSION =
    N_("The device now runs version %u.%u, not the package's version %u.%u.");
const char* const RemoteUpdateService::STRING_NOT_STARTED = N_("Device did not start its new program.");
// The download stopped and the device, asked afterwards, runs its program again: the download's time-out and
// error texts would send the user to power-cycle a device that runs.
const char* const RemoteUpdateService::STRING_INTERRUPTED =
    N_("The download was interrupted. The device runs its previous program again.");
const char* const RemoteUpdateService::STRING_NOT_RUNNING =
    N_("The device does not run its program: update it again or power-cycle it.");

namespace {

constexpr uint32_t NO_OWNER = 0xFFFFFFFF;
constexpr uint32_t WAIT_MARGIN_MS = 30000;

} // namespace

RemoteUpdateService::RemoteUpdateService(uint32_t address, ProcessInterface& manager,
                                         remote_update_start_mode mode, TaskPool& pool,
                                         std::unique_ptr<BootloaderPort> port)
    : UpdateProcess(manager)
    , mBootloader(address & TNET_ADDRESS_MASK, mUpgradeInterface, std::move(port))
    , mContext(*this, RemoteUpdateMap::Idle)
    , mPool(pool) {
    mContext.enterStartState();
    mContext.setDebugFlag(true);
    mContext.send(&RemoteUpdateServiceState::start, mode);
}

// Members go in reverse order: the finder takes its running checksum job out of the pool, and then the
// bootloader service closes its socket and silences its master.
RemoteUpdateService::~RemoteUpdateService() = default;

void RemoteUpdateService::handleTask() {
    if (mFinder) {
        mFinder->task();
        if (mFinder->hasFinished()) {
            mContext.send(&RemoteUpdateServiceState::searchFinished);
        }
    }
    if (sdcard_is_inserted()) {
        mContext.send(&RemoteUpdateServiceState::cardInserted);
    } else {
        mContext.send(&RemoteUpdateServiceState::cardRemoved);
    }
    mBootloader.task();
}

void RemoteUpdateService::handleTermination() {
    mBootloader.stop();
}

bool RemoteUpdateService::expectsNetworkLoss() const {
    if (mContext.inTransition()) {
        return false;
    }
    const statemap::State* state = &mContext.getState();
    return state == &RemoteUpdateMap::WaitingForDownload || state == &RemoteUpdateMap::Downloading ||
           state == &RemoteUpdateMap::WaitingForBoot;
}

void RemoteUpdateService::raise(update_event event) {
    mEvents.handleProcessEvent(event);
}

void RemoteUpdateService::setResult(remote_update_result result) {
    struct Outcome {
        UpdateResultType::Enum type;
        const char* text;
    };
    const Outcome outcomes[] = {
        {UpdateResultType::Finished, STRING_UPDATE_FINISHED},
        {UpdateResultType::Aborted, STRING_CANCELLED},
        {UpdateResultType::Failed, STRING_TIMEOUT},
        {UpdateResultType::Failed, STRING_QUERY_TIMEOUT},
        {UpdateResultType::Failed, STRING_UPDATE_TIMEOUT},
        {UpdateResultType::Failed, STRING_UPDATE_ERROR},
        {UpdateResultType::Failed, STRING_PACKAGE_UNUSABLE},
        {UpdateResultType::Failed, STRING_WRONG_VERSION},
        {UpdateResultType::Failed, STRING_NOT_STARTED},
        {UpdateResultType::Failed, STRING_INTERRUPTED},
    };
    if (result >= std::size(outcomes)) {
        return;
    }
    // Translated now, in the language the user has chosen by the time the update ends.
    const Outcome& outcome = outcomes[result];
    if (result == RUR_UPDATE_ERROR) {
        // TRANSLATORS: the error text above, then the fault code the device's bootloader reported.
        const char* format = gettext("%s Code %u");
        mResult = UpdateResult(outcome.type, fmt(format, gettext(outcome.text), mBootloader.getFault()));
    } else if (result == RUR_WRONG_VERSION) {
        const auto answered = mAnsweredVersion.value_or(std::make_pair(uint8_t{0}, uint8_t{0}));
        const auto sent = mSentVersion.value_or(std::make_pair(uint8_t{0}, uint8_t{0}));
        mResult = UpdateResult(outcome.type, fmt_gettext(outcome.text, answered.first, answered.second,
                                                         sent.first, sent.second));
    } else {
        mResult = UpdateResult(outcome.type, gettext(outcome.text));
    }
}

void RemoteUpdateService::noteNotRunning() {
    mResult = UpdateResult(mResult.getResultType(),
                           mResult.getResultMessage() + "\n\n" + gettext(STRING_NOT_RUNNING));
}

std::optional<uint32_t> RemoteUpdateService::getWaitLeft() const {
    const std::optional<uint32_t> left = mBootloader.getTimeLeft();
    if (!left || mContext.inTransition() || mRecovering) {
        return left;
    }
    // Before the data is in, a phase that times out is followed by the request to run the program again
    // (RemoteUpdateMap): the countdown's 0 is the result, not the start of another wait.
    const statemap::State* state = &mContext.getState();
    if (state == &RemoteUpdateMap::WaitingForDownload || state == &RemoteUpdateMap::Downloading) {
        return *left + BootloaderService::CONNECT_TIMEOUT_MS;
    }
    return left;
}

bool RemoteUpdateService::isPackageUsable(uint32_t index) const {
    const tr1_package_item* item = getFileWithId(index);
    if (item == nullptr) {
        return false;
    }
    File package(item->fileName, FileOpenMode::Read);
    const uint64_t end = static_cast<uint64_t>(item->dataOffset()) + item->dataLength();
    if (!package.isOpened() || package.getSize() < end ||
        !tr1_firmware_device_compatible(&mDeviceInfo)(package, *item)) {
        dbg_printf_h("remote update: %s item %u cannot be read or does not fit the device", item->fileName,
                     item->index);
        return false;
    }
    return true;
}

void RemoteUpdateService::startPackageSearch() {
    if (!mFinder) {
        mFinder = std::make_unique<FirmwareFinder>(&mDeviceInfo, mPool);
    }
}

void RemoteUpdateService::resetSearch() {
    mFinder.reset();
    mFirmwares.clear();
}

void RemoteUpdateService::processPackages() {
    mFirmwares = mFinder ? tr1_firmware_list(*mFinder) : std::vector<ui_firmware_info>{};
}

// ---- The bootloader service's side ----

void RemoteUpdateService::handleBootloaderEvent(bootloader_client_event event) {
    switch (event) {
        case BCE_IDENTIFIED: {
            const auto state = mBootloader.getDeviceInfoState(&mDeviceInfo);
            if (state == BSDS_BOOTLOADER || state == BSDS_APPLICATION) {
                const auto value = state == BSDS_BOOTLOADER ? RUDC_BOOTLOADER : RUDC_APPLICATION;
                mContext.send(&RemoteUpdateServiceState::connected, value);
            }
            break;
        }
        case BCE_RESTARTING:
            mContext.send(&RemoteUpdateServiceState::deviceRestarting);
            break;
        case BCE_FINISHED: {
            bl_dev_info info{};
            mAnsweredVersion.reset();
            // The application answered: the information the master read then is its own.
            if (mBootloader.getDeviceInfoState(&info) != BSDS_UNKNOWN) {
                mAnsweredVersion = std::make_pair(info.sw_major, info.sw_minor);
            }
            mContext.send(&RemoteUpdateServiceState::started);
            break;
        }
        case BCE_DOWNLOAD: {
            uint32_t progress = 0;
            uint32_t max = 0;
            mBootloader.getDownloadProgress(&progress, &max);
            mModel.setProgress(progress, max);
            mContext.send(&RemoteUpdateServiceState::download);
            break;
        }
        case BCE_UPGRADED:
            mContext.send(&RemoteUpdateServiceState::upgraded);
            break;
        case BCE_TIMEOUT:
            mContext.send(&RemoteUpdateServiceState::deviceTimeout);
            break;
        case BCE_FAULT:
            mContext.send(&RemoteUpdateServiceState::fault);
            break;
    }
}

const tr1_package_item* RemoteUpdateService::getFileWithId(uint32_t fileId) const {
    return fileId < mFirmwares.size() ? &mFirmwares[fileId].item : nullptr;
}

void RemoteUpdateService::RemoteUpdateUpgradeInterface::handleEvent(bootloader_client_event event) {
    mService.handleBootloaderEvent(event);
}

int RemoteUpdateService::RemoteUpdateUpgradeInterface::getFileDescriptor(uint32_t fileId, bl_file* file,
                                                                         void* extra, uint8_t* extraLength) {
    static_assert(sizeof(bl_file) == TR1_HEADER_SIZE - 8, "the descriptor is header bytes 8 to 23");
    const tr1_package_item* item = mService.getFileWithId(fileId);
    if (item == nullptr) {
        return -1;
    }
    // The whole item must be in the file: the device is told its length before any data is read. The
    // block is at most 255 bytes, which is what the master gives room for.
    static_assert(BL_MAX_EXTRA >= 255);
    File package(item->fileName, FileOpenMode::Read);
    const uint64_t end = static_cast<uint64_t>(item->dataOffset()) + item->dataLength();
    const uint8_t length = item->descriptorLength();
    if (!package.isOpened() || package.getSize() < end || !package.seek(item->descriptorOffset()) ||
        package.read(extra, length) != length) {
        dbg_printf_h("remote update: descriptor of %s item %u cannot be read", item->fileName, item->index);
        return -1;
    }
    std::memcpy(file, item->header + 8, sizeof(bl_file));
    *extraLength = length;
    // What the device is told it gets: the version its application must answer with afterwards.
    const auto* descriptor = static_cast<const uint8_t*>(extra);
    mService.mSentVersion =
        std::make_pair(descriptor[TR1_DESC_VERSION_MAJOR], descriptor[TR1_DESC_VERSION_MINOR]);
    return 0;
}

int RemoteUpdateService::RemoteUpdateUpgradeInterface::getFileData(uint32_t fileId, uint8_t* buffer,
                                                                   uint32_t offset, uint32_t length) {
    const tr1_package_item* item = mService.getFileWithId(fileId);
    // Only the item's own data: a chunk beyond it would send the next item's bytes.
    if (item == nullptr || static_cast<uint64_t>(offset) + length > item->dataLength()) {
        return -1;
    }
    File package(item->fileName, FileOpenMode::Read);
    if (!package.isOpened() || !package.seek(item->dataOffset() + offset) ||
        package.read(buffer, length) != length) {
        dbg_printf_h("remote update: %u bytes at %u of %s cannot be read", length, offset, item->fileName);
        return -1;
    }
    return 0;
}

// ---- Model and controller ----

bool RemoteUpdateService::Model::getDeviceInfo(bl_dev_info* out) const {
    return mService.mBootloader.getDeviceInfoState(out) != BSDS_UNKNOWN;
}

uint32_t RemoteUpdateService::Model::getWaitPeriod() const {
    return mService.mBootloader.getEstimatedRestartTime() * 1000 + WAIT_MARGIN_MS;
}

void RemoteUpdateService::Controller::doAbort() {
    mService.mContext.send(&RemoteUpdateServiceState::cancel);
}

void RemoteUpdateService::Controller::doConfirmExit() {
    mService.mContext.send(&RemoteUpdateServiceState::finish);
}

void RemoteUpdateService::Controller::doSearchFirmwares() {
    mService.mContext.send(&RemoteUpdateServiceState::search);
}

void RemoteUpdateService::Controller::doSelectFirmware(uint32_t index) {
    mService.mContext.send(&RemoteUpdateServiceState::confirmUpgrade, index);
}

// ---- Factory ----

UpdateProcess* RemoteUpdateProcessFactory::create(ProcessInterface& manager) const {
    if (mAddress == NO_OWNER) {
        dbg_printf_h("remote update: no owner known, nothing to update");
        return nullptr;
    }
    TaskPool& pool = mEnvironment.pool ? *mEnvironment.pool : *getApplication()->getTaskPool();
    return new RemoteUpdateService(mAddress, manager, mMode, pool,
                                   mEnvironment.port ? mEnvironment.port() : makeNetworkBootloaderPort());
}

} // namespace tdx
