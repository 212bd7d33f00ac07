#include "SourceApp/application/update/remote/BootloaderService.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/os.h"
#include "Libraries/link_bus/tnet_packet.h"
#include "SourceApp/application/update/remote/BootloaderMap.h"

#include <cstring>

namespace tdx {

namespace {

constexpr uint32_t RESTART_MARGIN_MS = 5000;
constexpr uint32_t APPLICATION_TIMEOUT_MS = 5000;
constexpr uint32_t CHUNK_TIMEOUT_MS = 30000;

} // namespace

BootloaderService::BootloaderService(uint32_t address, BootloaderUpgradeInterface& owner,
                                     std::unique_ptr<BootloaderPort> port)
    : mAddress(address & TNET_ADDRESS_MASK)
    , mOwner(owner)
    , mPort(std::move(port))
    , mContext(*this, BootloaderMap::Idle) {
    mContext.setDebugFlag(true);
    mContext.enterStartState();
}

BootloaderService::~BootloaderService() {
    // The socket names this service's master as its user: it must not outlive the service.
    stopTimer();
    mPort->disconnect();
}

void BootloaderService::start() {
    mContext.send(&BootloaderServiceState::start);
}

void BootloaderService::upgrade(uint32_t fileId) {
    mContext.send(&BootloaderServiceState::upgrade, fileId);
}

void BootloaderService::finish() {
    mContext.send(&BootloaderServiceState::finish);
}

void BootloaderService::stop() {
    mContext.deliver([this] { mContext.transition(BootloaderMap::Idle); });
}

void BootloaderService::task() {
    if (!mTimerActive) {
        return;
    }
    if (!mPort->canReachDevice()) {
        const uint64_t now = timer();
        if (!mUnreachableSince) {
            mUnreachableSince = now;
            dbg_printf_h("bootloader %06X: the network is down, the phase's time waits for it", mAddress);
        }
        if (now - *mUnreachableSince < NETWORK_GRACE_MS) {
            resetTimer();
            return;
        }
    } else {
        mUnreachableSince.reset();
    }
    if (ct_timed_out(&mTimer)) {
        mContext.send(&BootloaderServiceState::timeout);
    }
}

std::optional<uint32_t> BootloaderService::getTimeLeft() const {
    if (!mTimerActive) {
        return std::nullopt;
    }
    const uint64_t now = timer();
    // Within an outage's grace the timeout starts again at its end.
    uint64_t end = mTimer.start + mTimer.timeout;
    if (mUnreachableSince && now - *mUnreachableSince < NETWORK_GRACE_MS) {
        end = *mUnreachableSince + NETWORK_GRACE_MS + mTimer.timeout;
    }
    return static_cast<uint32_t>(end > now ? end - now : 0);
}

void BootloaderService::startApplication() {
    mContext.send(&BootloaderServiceState::run_app);
}

bootloader_service_device_state BootloaderService::getDeviceInfoState(bl_dev_info* info) const {
    if (mDeviceState != BSDS_UNKNOWN && info != nullptr) {
        std::memcpy(info, &mPort->deviceInfo(), sizeof(bl_dev_info));
    }
    return mDeviceState;
}

bool BootloaderService::getDownloadProgress(uint32_t* progress, uint32_t* max) const {
    *progress = mProgress;
    *max = mProgressMax;
    return true;
}

// ---- Actions ----

void BootloaderService::reset() {
    mPort->disconnect();
    mFileId = NO_FILE;
    mEstimatedRestartTime = 0;
    mFault = 0;
    mLastOffset.reset();
    mProgress = 0;
    mProgressMax = 0;
    mDeviceState = BSDS_UNKNOWN;
    mTimerActive = false;
}

void BootloaderService::clientInitialize() {
    mPort->init(mAddress, RETRY_MS, *this);
}

void BootloaderService::clientConnect() {
    if (!mPort->connect()) {
        dbg_printf_h("bootloader %06X: no socket, the phase will time out", mAddress);
    }
}

void BootloaderService::clientDisconnect() {
    mPort->disconnect();
}

void BootloaderService::startUpgrade() {
    mPort->runUpgrade(mFileId);
}

void BootloaderService::clientRunApplication() {
    mPort->runApp();
}

void BootloaderService::setTimer(bootloader_service_timer_mode mode) {
    uint32_t ms = CONNECT_TIMEOUT_MS;
    switch (mode) {
        case BSTM_CONNECT:
            break;
        case BSTM_RESTART:
            ms = mEstimatedRestartTime * 1000 + RESTART_MARGIN_MS;
            break;
        case BSTM_APPLICATION:
            // The device restarts into its program first, as long as it announced for its restarts.
            ms = mEstimatedRestartTime * 1000 + APPLICATION_TIMEOUT_MS;
            break;
        case BSTM_DOWNLOAD:
            ms = CHUNK_TIMEOUT_MS;
            break;
    }
    ct_timeout_set(&mTimer, ms, 0);
    mTimerActive = true;
}

void BootloaderService::resetTimer() {
    ct_timeout_set(&mTimer, mTimer.timeout, 0);
}

void BootloaderService::stopTimer() {
    mTimerActive = false;
}

void BootloaderService::raise(bootloader_client_event event) {
    mOwner.handleEvent(event);
}

// ---- The master's events ----

int BootloaderService::handleMasterEvent(bl_cl_event event, void* arg) {
    switch (event) {
        case BL_CL_EVENT_DEVICE_INFO: {
            const auto* info = static_cast<const bl_dev_info*>(arg);
            dbg_printf_h("connected [hw:%.5s%02d sw:%.5s ver:%u.%u sn:0x%08X]", info->hw_code,
                         info->hw_version, info->sw_code, info->sw_major, info->sw_minor,
                         bl_dev_info_serial(info));
            return 0;
        }
        case BL_CL_EVENT_APPLICATION:
            dbg_printf_h("application is running(%u) ", mPort->masterState());
            mContext.send(&BootloaderServiceState::connected_app);
            return 0;
        case BL_CL_EVENT_BOOTLOADER:
            dbg_printf_h("bootloader is running(%u) ", mPort->masterState());
            mContext.send(&BootloaderServiceState::connected_bl);
            return 0;
        case BL_CL_EVENT_BL_STARTING: {
            const uint32_t seconds = *static_cast<const uint32_t*>(arg);
            dbg_printf_h("starting bootloader(max %u seconds)", seconds);
            mContext.send(&BootloaderServiceState::restarting_into_bl, seconds);
            return 0;
        }
        case BL_CL_EVENT_UPGRADE_START: {
            auto& start = *static_cast<bl_event_arg_upgrade_start*>(arg);
            return mOwner.getFileDescriptor(start.file_id, start.file, start.extra, start.extra_length);
        }
        case BL_CL_EVENT_DATA:
            return handleData(*static_cast<const bl_event_arg_data*>(arg));
        case BL_CL_EVENT_FAULT: {
            if (arg == nullptr) {
                dbg_printf_h("bootloader %06X: fault without a code", mAddress);
                mContext.deliver([this] { mContext.getState().fault(mContext); });
                return 0;
            }
            const bl_event_arg_fault fault = *static_cast<const bl_event_arg_fault*>(arg);
            // The argument lives with the event: it may wait for a transition to end.
            mContext.deliver([this, fault] { mContext.getState().fault(mContext, &fault); });
            return 0;
        }
        case BL_CL_EVENT_DONE:
            mContext.send(&BootloaderServiceState::upgraded);
            return 0;
    }
    return 0;
}

int BootloaderService::handleData(const bl_event_arg_data& data) {
    const int result = mOwner.getFileData(data.file_id, data.buffer, data.offset, data.length);
    if (result != 0) {
        return result;
    }
    mProgressMax = mPort->fileSize();
    // The device may ask for a chunk again: only a new offset is progress, and only it restarts the timeout.
    if (mLastOffset != data.offset) {
        mLastOffset = data.offset;
        mProgress = data.offset + data.length;
        mContext.send(&BootloaderServiceState::download);
    }
    return 0;
}

} // namespace tdx
