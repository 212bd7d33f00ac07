#include "SourceApp/application/update/FirmwareFinder.h"
#include "SourceHost/api_lib/scratch_folder.h"
#include "update/package_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace tdx::test {
namespace {

class Finder : public CardFolder {
protected:
    // Steps the finder and the job pool as the main loop does, until the search has finished.
    void finish(FirmwareFinder& finder) {
        for (int step = 0; step < 1000 && !finder.hasFinished(); ++step) {
            finder.task();
            mPool.run();
        }
        ASSERT_TRUE(finder.hasFinished());
        EXPECT_TRUE(mPool.isEmpty());
    }

    bl_dev_info mDevice = displayInfo();
    TaskPool mPool;
};

TEST_F(Finder, ListsFittingItemsOfEveryPackageAndLeavesCorruptDataOutOfTheRows) {
    mkpackage::Item foreign = displayItem(9);
    foreign.descriptor.swCode = "HM316";
    Bytes corrupt = concat({build(displayItem(4, 3000)), build(foreign), build(displayItem(5, 3000))});
    corrupt[24 + 23 + 1500] ^= 0x10; // one data byte of the first item
    writeBytes("sdcard/a.fw", corrupt);
    writeBytes("sdcard/B.FW", build(displayItem(6)));
    writeBytes("sdcard/c.txt", build(displayItem(7)));

    FirmwareFinder finder(&mDevice, mPool);
    finish(finder);
    ASSERT_EQ(finder.size(), 3u);
    std::vector<std::pair<std::string, int>> found;
    for (const tr1_package_item& item : finder) {
        found.emplace_back(item.fileName + ":" + std::to_string(item.index), item.checksumFail);
    }
    EXPECT_EQ(found, (std::vector<std::pair<std::string, int>>{
                         {"sdcard/B.FW:0", 0}, {"sdcard/a.fw:0", 1}, {"sdcard/a.fw:2", 0}}));

    const std::vector<ui_firmware_info> rows = tr1_firmware_list(finder);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].index, 0u);
    EXPECT_EQ(rows[0].version, 6);
    EXPECT_EQ(rows[1].index, 1u);
    EXPECT_EQ(rows[1].version, 5);
    EXPECT_EQ(rows[1].minorVersion, 7);
    EXPECT_EQ(rows[1].softwareCode, "TD410");
    EXPECT_EQ(rows[1].fileName, "sdcard/a.fw");
    EXPECT_EQ(rows[1].item.index, 2) << "the row names the item it shows, not the second of the finder";
    EXPECT_EQ(rows[1].item.offset, corrupt.size() - (24 + 23 + 3000));
}

// A device whose software code is shorter than five characters takes every package whose code starts with it
// (the codes are compared as texts); the rows keep all five bytes of each, so that they stay told apart.
TEST_F(Finder, ARowKeepsAllFiveBytesOfItsSoftwareCode) {
    std::memset(mDevice.sw_code, 0, sizeof mDevice.sw_code);
    std::memcpy(mDevice.sw_code, "TD", 2);
    const std::string codes[] = {std::string("TD\0AB", 5), std::string("TD\0XY", 5), std::string("TD", 2)};
    for (size_t i = 0; i < std::size(codes); ++i) {
        mkpackage::Item item = displayItem(static_cast<uint8_t>(i + 1));
        item.descriptor.swCode = codes[i];
        writeBytes("sdcard/" + std::to_string(i) + ".fw", build(item));
    }
    FirmwareFinder finder(&mDevice, mPool);
    finish(finder);
    std::vector<std::pair<int, std::string>> rows;
    for (const ui_firmware_info& row : tr1_firmware_list(finder)) {
        rows.emplace_back(row.version, row.softwareCode);
    }
    EXPECT_EQ(rows, (std::vector<std::pair<int, std::string>>{{1, std::string("TD\0AB", 5)},
                                                              {2, std::string("TD\0XY", 5)},
                                                              {3, std::string("TD\0\0\0", 5)}}));
}

TEST_F(Finder, NoCardOrNoPackagesFinishesWithAnEmptyList) {
    writeBytes("sdcard/a.fw", build(displayItem(1)));
    sdcard_set_inserted(false);
    FirmwareFinder noCard(&mDevice, mPool);
    finish(noCard);
    EXPECT_EQ(noCard.size(), 0u);

    sdcard_set_inserted(true);
    std::filesystem::remove("sdcard/a.fw");
    FirmwareFinder empty(&mDevice, mPool);
    finish(empty);
    EXPECT_EQ(empty.size(), 0u);
}

TEST_F(Finder, CardRemovedDuringVerificationLeavesNoJobBehind) {
    writeBytes("sdcard/a.fw", build(displayItem(1)));
    auto finder = std::make_unique<FirmwareFinder>(&mDevice, mPool);
    for (int step = 0; step < 10 && mPool.isEmpty(); ++step) {
        finder->task();
    }
    ASSERT_EQ(mPool.size(), 1u) << "the checksum job is queued";
    finder.reset();
    EXPECT_TRUE(mPool.isEmpty());
    mPool.run(); // nothing left that reads a closed file
}

TEST_F(Finder, AnItemWhoseFileWentBeforeItsCheckIsNotOfferedWhenItComesBack) {
    const Bytes package = build(displayItem(1));
    writeBytes("sdcard/a.fw", package);
    FirmwareFinder finder(&mDevice, mPool);
    finder.task(); // scans the one package
    std::filesystem::remove("sdcard/a.fw");
    finish(finder);
    ASSERT_EQ(finder.size(), 1u);
    writeBytes("sdcard/a.fw", package);
    EXPECT_TRUE(tr1_firmware_list(finder).empty());
}

TEST_F(Finder, ChecksumOfDataShorterThanItsLengthEndsTheJobAsIncomplete) {
    const std::string path = "short.bin";
    writeBytes(path, Bytes(1000, 0x5A));
    struct Case {
        uint32_t offset;
        uint32_t length;
        bool incomplete;
    };
    for (const Case& c : {Case{0, 1000, false}, Case{100, 900, false}, Case{0, 5000, true},
                          Case{4000, 10, true}, Case{0, 0, false}}) {
        FileChecksumTask job(std::make_unique<File>(path, FileOpenMode::Read), c.offset, c.length);
        job.handleStart();
        for (int call = 0; call < 20 && !job.hasFinished(); ++call) {
            job.execute();
        }
        ASSERT_TRUE(job.hasFinished()) << c.offset << "+" << c.length;
        EXPECT_EQ(job.isIncomplete(), c.incomplete) << c.offset << "+" << c.length;
        if (!c.incomplete) {
            EXPECT_EQ(job.getChecksum(), crc16(Bytes(c.length, 0x5A).data(), c.length));
            EXPECT_EQ(job.getBytesCompleted(), c.length);
        }
    }
}

} // namespace
} // namespace tdx::test
