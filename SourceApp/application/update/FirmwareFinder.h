// The search for firmware on the memory card: every "*.fw" package is scanned for items that fit a device,
// then each found item's data checksum is verified by a background job, one item at a time.
#pragma once

#include "Libraries/tavi_net/bl_protocol.h"
#include "SourceApp/application/update/tr1_package.h"
#include "SourceApp/task/TaskPool.h"
#include "SourceHost/api_lib/file.h"
#include "SourceHost/api_lib/sdcard.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tdx {

// The CRC-16 of a stretch of a file, 512 bytes per call. The job owns its file, so that it may outlive
// whoever scheduled it without reading a closed file.
class FileChecksumTask : public Job {
public:
    FileChecksumTask(std::unique_ptr<File> file, uint32_t offset, uint32_t length);

    void handleStart() override;
    void execute() override;

    uint32_t getTotalBytesCount() const { return mTotal; }
    uint32_t getBytesCompleted() const { return mTotal - mRemaining; }
    uint16_t getChecksum() const { return mCrc; }
    // The file ended (or could not be positioned) before every byte was read: the checksum means nothing.
    bool isIncomplete() const { return mIncomplete; }

private:
    std::unique_ptr<File> mFile;
    uint32_t mOffset;
    uint32_t mTotal;
    uint32_t mRemaining;
    uint16_t mCrc;
    bool mIncomplete = false;
};

class FirmwareFinder {
public:
    using const_iterator = std::vector<tr1_package_item>::const_iterator;

    // Copies the device information and starts the search with the next task().
    FirmwareFinder(const bl_dev_info* device, TaskPool& pool);
    // Takes a running checksum job out of the pool: the finder may go while its job is still queued.
    ~FirmwareFinder();
    FirmwareFinder(const FirmwareFinder&) = delete;
    FirmwareFinder& operator=(const FirmwareFinder&) = delete;

    // One step: scans one package, or starts or collects one checksum job.
    void task();
    bool hasFinished() const { return mState == Finished; }

    const_iterator begin() const { return mItems.begin(); }
    const_iterator end() const { return mItems.end(); }
    std::size_t size() const { return mItems.size(); }

private:
    enum State : uint32_t { Finished = 0, SearchPending = 1, Verifying = 2, WaitingForChecksum = 3 };

    void startNextChecksum();
    void collectChecksum();

    State mState = SearchPending;
    bl_dev_info mDevice;
    TaskPool& mPool;
    FileFind mSearch;
    std::string mLastFileName;
    std::unique_ptr<FileChecksumTask> mJob;
    std::vector<tr1_package_item> mItems;
    std::size_t mVerified = 0;
};

// One row of the wizard's firmware list. The row keeps its own copy of the item it stands for, so the
// firmware flashed is the one shown whichever items were left out of the list.
struct ui_firmware_info {
    uint32_t index; // the row's position in the list
    uint8_t version;
    uint8_t minorVersion;
    std::string softwareCode; // descriptor bytes 10 to 14, all five
    std::string fileName;
    tr1_package_item item;
};

// The rows for a finished search: one per item whose data matched its checksum and whose descriptor can
// still be read, in the finder's order.
std::vector<ui_firmware_info> tr1_firmware_list(const FirmwareFinder& finder);

} // namespace tdx
