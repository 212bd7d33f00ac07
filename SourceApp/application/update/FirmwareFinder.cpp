#include "SourceApp/application/update/FirmwareFinder.h"

#include "Libraries/base/crc16.h"
#include "Libraries/base/dbg.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace tdx {

namespace {
constexpr uint32_t CHECKSUM_CHUNK = 512;
}

FileChecksumTask::FileChecksumTask(std::unique_ptr<File> file, uint32_t offset, uint32_t length)
    : mFile(std::move(file))
    , mOffset(offset)
    , mTotal(length)
    , mRemaining(length) {
    crc16_init(&mCrc);
}

void FileChecksumTask::handleStart() {
    if (!mFile || !mFile->seek(mOffset)) {
        mIncomplete = true;
        setFinished();
    }
}

void FileChecksumTask::execute() {
    if (mRemaining > 0) {
        uint8_t buffer[CHECKSUM_CHUNK];
        const uint32_t got = mFile->read(buffer, std::min(mRemaining, CHECKSUM_CHUNK));
        if (got == 0) {
            // The file is shorter than it said (or the card went): without this the job would read nothing
            // for ever.
            mIncomplete = true;
            setFinished();
            return;
        }
        crc16_buffer(&mCrc, buffer, got);
        mRemaining -= got;
        if (mRemaining > 0) {
            return;
        }
    }
    setFinished();
}

FirmwareFinder::FirmwareFinder(const bl_dev_info* device, TaskPool& pool)
    : mDevice(*device)
    , mPool(pool)
    , mSearch("*.fw") {}

FirmwareFinder::~FirmwareFinder() {
    mPool.remove(mJob.get());
}

void FirmwareFinder::task() {
    switch (mState) {
        case SearchPending:
            if (mSearch.find(mLastFileName)) {
                File file(mLastFileName, FileOpenMode::Read);
                if (file.isOpened()) {
                    tr1_firmware_scan_insert(file, std::back_inserter(mItems),
                                             tr1_firmware_device_compatible(&mDevice));
                }
            } else {
                mState = Verifying;
                mVerified = 0;
            }
            break;
        case Verifying:
            startNextChecksum();
            break;
        case WaitingForChecksum:
            collectChecksum();
            break;
        case Finished:
            break;
    }
}

void FirmwareFinder::startNextChecksum() {
    if (mVerified >= mItems.size()) {
        mState = Finished;
        return;
    }
    tr1_package_item& item = mItems[mVerified];
    auto file = std::make_unique<File>(item.fileName, FileOpenMode::Read);
    if (!file->isOpened()) {
        // Firmware whose data was never checked is not offered, even when its file opens again later.
        item.checksumFail = 1;
        ++mVerified;
        return;
    }
    // The scan refused items with less data than the trailer, so the length does not underflow.
    mJob = std::make_unique<FileChecksumTask>(std::move(file), item.dataOffset(),
                                              item.dataLength() - TR1_DATA_TRAILER);
    mPool.schedule(mJob.get());
    mState = WaitingForChecksum;
}

void FirmwareFinder::collectChecksum() {
    if (!mJob->hasFinished()) {
        return;
    }
    tr1_package_item& item = mItems[mVerified];
    item.checksumFail = mJob->isIncomplete() || mJob->getChecksum() != item.dataChecksum();
    if (item.checksumFail) {
        dbg_printf_h("TR1 %s item %u: data checksum does not match", item.fileName, item.index);
    }
    mPool.remove(mJob.get());
    mJob.reset();
    ++mVerified;
    mState = Verifying;
}

std::vector<ui_firmware_info> tr1_firmware_list(const FirmwareFinder& finder) {
    std::vector<ui_firmware_info> rows;
    for (const tr1_package_item& item : finder) {
        if (item.checksumFail) {
            continue;
        }
        File file(item.fileName, FileOpenMode::Read);
        uint8_t descriptor[TR1_DESCRIPTOR_SIZE];
        if (!file.isOpened() || !tr1_read_descriptor(file, item, descriptor)) {
            continue;
        }
        // All five bytes, zeros included: two codes that differ after a zero are two codes.
        const char* code = reinterpret_cast<const char*>(descriptor + TR1_DESC_SW_CODE);
        rows.push_back({static_cast<uint32_t>(rows.size()), descriptor[TR1_DESC_VERSION_MAJOR],
                        descriptor[TR1_DESC_VERSION_MINOR], std::string(code, TR1_SW_CODE_LENGTH),
                        item.fileName, item});
    }
    return rows;
}

} // namespace tdx
