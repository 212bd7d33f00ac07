#include "SourceApp/application/update/SelfUpdateService.h"

#include "Libraries/base/dbg.h"
#include "SourceHost/api_lib/sdcard.h"

#include <cstring>
#include <string>

namespace tdx {

SelfUpdateService::SelfUpdateService(ProcessInterface& manager, TaskPool& pool)
    : UpdateProcess(manager)
    , mPool(pool) {
    bl_dev_info_own(&mDevice);
    mContext.enterStartState();
}

// The finder takes its checksum job out of the pool as it goes.
SelfUpdateService::~SelfUpdateService() = default;

void SelfUpdateService::handleTask() {
    if (mFinder) {
        mFinder->task();
        if (mFinder->hasFinished()) {
            mContext.send(&SelfUpdateServiceState::searchFinished);
        }
    }
    if (sdcard_is_inserted()) {
        mContext.send(&SelfUpdateServiceState::cardInserted);
    } else {
        mContext.send(&SelfUpdateServiceState::cardRemoved);
    }
    mContext.send(&SelfUpdateServiceState::task);
}

void SelfUpdateService::startPackageSearch() {
    if (!mFinder) {
        mFinder = std::make_unique<FirmwareFinder>(&mDevice, mPool);
    }
}

void SelfUpdateService::resetSearch() {
    mFinder.reset();
    mFirmwares.clear();
}

void SelfUpdateService::processPackages() {
    mFirmwares = tr1_firmware_list(*mFinder);
}

void SelfUpdateService::raise(update_event event) {
    mEvents.handleProcessEvent(event);
}

void SelfUpdateService::setResult(self_update_result result) {
    switch (result) {
        case SUR_ERROR: {
            std::string text = gettext(STRING_UPDATE_ERROR);
            if (mFaultReason != nullptr) {
                text += '\n';
                text += gettext(mFaultReason);
            }
            mResult = UpdateResult(UpdateResultType::Failed, std::move(text));
            return;
        }
        case SUR_CANCELLED:
            mResult = UpdateResult(UpdateResultType::Aborted, gettext(STRING_CANCELLED));
            return;
        case SUR_AFTER_RESTART:
            mResult = UpdateResult(UpdateResultType::Default, gettext(STRING_UPDATE_AFTER_RESTART));
            return;
    }
}

void SelfUpdateService::platformStartUpgrade(uint32_t index) {
    // The row holds the item it shows, whichever items were left out of the list.
    const tr1_package_item& item = mFirmwares[index].item;
    mPlatform.onStart(index, {item.fileName, item.dataOffset(), item.dataLength(), item.dataChecksum()});
}

void SelfUpdateService::onDownload(uint32_t progress, uint32_t max) {
    mModel.setProgress(progress, max);
    mContext.send(&SelfUpdateServiceState::download);
}

void SelfUpdateService::onUpgraded() {
    mContext.send(&SelfUpdateServiceState::upgraded);
}

void SelfUpdateService::onFault(const char* reason) {
    dbg_printf_h("SELFUPDATE failed: %s", reason);
    mContext.send(&SelfUpdateServiceState::fault, reason);
}

bool SelfUpdateService::Model::getDeviceInfo(bl_dev_info* out) const {
    std::memcpy(out, &mService.mDevice, sizeof *out);
    return true;
}

void SelfUpdateService::Controller::doAbort() {
    mService.mContext.send(&SelfUpdateServiceState::cancel);
}

void SelfUpdateService::Controller::doConfirmExit() {
    mService.mContext.send(&SelfUpdateServiceState::finish);
}

void SelfUpdateService::Controller::doSearchFirmwares() {
    mService.mContext.send(&SelfUpdateServiceState::search);
}

void SelfUpdateService::Controller::doSelectFirmware(uint32_t index) {
    mService.mContext.send(&SelfUpdateServiceState::confirmUpgrade, index);
}

UpdateProcess* SelfUpdateProcessFactory::create(ProcessInterface& manager) const {
    return new SelfUpdateService(manager, mPool);
}

} // namespace tdx
