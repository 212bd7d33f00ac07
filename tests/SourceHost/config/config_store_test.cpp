#include "SourceHost/api_lib/scratch_folder.h"
#include "SourceHost/config/config_store.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace tdx {
namespace {

using ConfigStore = test::ScratchFolder;

configuration_t sampleRecord() {
    configuration_t record{};
    record.version = 4;
    record.size = 52;
    record.checksum = 0x12345678;
    record.touch_scale_x = 1.25f;
    record.touch_offset_x = -3.5f;
    record.touch_scale_y = 0.75f;
    record.touch_offset_y = 2.0f;
    record.screen_delay[1] = 10;
    record.screen_delay[2] = 600;
    record.screen_intensity[1] = 6;
    record.screen_intensity[2] = 50;
    record.language = 3;
    record.country = 7;
    record.first_start = 1;
    record.reserved_47 = 1;
    record.daylight_saving = 1;
    record.demo_mode = 1;
    return record;
}

std::string bytesOf(const configuration_t& record) {
    return std::string(reinterpret_cast<const char*>(&record), sizeof record);
}

configuration_t filledWith(unsigned char value) {
    configuration_t record;
    std::memset(&record, value, sizeof record);
    return record;
}

// The entries of the working folder other than the record: temporary files left behind.
int leftovers() {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        count += entry.path().filename() != "config.bin";
    }
    return count;
}

TEST_F(ConfigStore, StoredRecordIsItsOwn52ByteImageAndLoadsBackUnchanged) {
    const configuration_t stored = sampleRecord();
    ASSERT_EQ(config_platform_store(&stored), 0);

    const std::string file = readFile("config.bin");
    ASSERT_EQ(file.size(), 52u);
    // Little-endian fields at their offsets: version 4 at 0, size 52 at 2, checksum at 8, daylight at 48.
    EXPECT_EQ(file.substr(0, 4), std::string("\x04\x00\x34\x00", 4));
    EXPECT_EQ(file.substr(8, 4), std::string("\x78\x56\x34\x12", 4));
    EXPECT_EQ(file[48], 1);
    EXPECT_EQ(leftovers(), 0);

    configuration_t loaded = filledWith(0xAA);
    EXPECT_EQ(config_platform_load(&loaded), 52);
    EXPECT_EQ(bytesOf(loaded), bytesOf(stored));
}

TEST_F(ConfigStore, StoreReplacesAnOlderLongerFileWithExactly52Bytes) {
    writeFile("config.bin", std::string(200, 'x'));
    const configuration_t stored = sampleRecord();
    ASSERT_EQ(config_platform_store(&stored), 0);
    EXPECT_EQ(readFile("config.bin"), bytesOf(stored));
}

TEST_F(ConfigStore, MissingFileLeavesTheRecordUnchanged) {
    configuration_t record = sampleRecord();
    EXPECT_EQ(config_platform_load(&record), -1);
    EXPECT_EQ(bytesOf(record), bytesOf(sampleRecord()));
}

TEST_F(ConfigStore, ShortFileOverwritesOnlyTheBytesItHolds) {
    const std::string tenBytes("\x03\x00\x30\x00\x01\x02\x03\x04\x05\x06", 10);
    writeFile("config.bin", tenBytes);
    configuration_t record = filledWith(0xAA);

    EXPECT_EQ(config_platform_load(&record), 10);
    const std::string bytes = bytesOf(record);
    EXPECT_EQ(bytes.substr(0, 10), tenBytes);
    EXPECT_EQ(bytes.substr(10), std::string(42, '\xAA'));
}

TEST_F(ConfigStore, LongFileGivesOnlyItsFirst52Bytes) {
    const configuration_t stored = sampleRecord();
    writeFile("config.bin", bytesOf(stored) + std::string(16, '\x55'));
    configuration_t record = filledWith(0);
    EXPECT_EQ(config_platform_load(&record), 52);
    EXPECT_EQ(bytesOf(record), bytesOf(stored));
}

TEST_F(ConfigStore, EmptyFileAndFolderInPlaceOfTheFileLeaveTheRecordUnchanged) {
    writeFile("config.bin", "");
    configuration_t record = sampleRecord();
    EXPECT_EQ(config_platform_load(&record), 0);
    EXPECT_EQ(bytesOf(record), bytesOf(sampleRecord()));

    std::filesystem::remove("config.bin");
    std::filesystem::create_directory("config.bin");
    EXPECT_EQ(config_platform_load(&record), -1);
    EXPECT_EQ(bytesOf(record), bytesOf(sampleRecord()));
}

TEST_F(ConfigStore, TwoProgramsStoringInOneFolderAtOnceEachLeaveAWholeRecord) {
    const configuration_t mine = filledWith(0x11);
    const configuration_t theirs = filledWith(0x22);
    auto storeMany = [](const configuration_t& record) {
        int failures = 0;
        for (int i = 0; i < 60; ++i) {
            failures += config_platform_store(&record) != 0;
        }
        return failures;
    };
    const pid_t other = fork();
    ASSERT_GE(other, 0);
    if (other == 0) {
        std::_Exit(storeMany(theirs) == 0 ? 0 : 1);
    }
    EXPECT_EQ(storeMany(mine), 0);
    int status = 0;
    ASSERT_EQ(waitpid(other, &status, 0), other);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the other program failed to store";
    const std::string file = readFile("config.bin");
    EXPECT_TRUE(file == bytesOf(mine) || file == bytesOf(theirs));
    EXPECT_EQ(leftovers(), 0);
}

TEST_F(ConfigStore, StoreThatCannotReplaceTheFileFailsAndLeavesNoTemporaryFile) {
    std::filesystem::create_directory("config.bin");
    std::filesystem::create_directory("config.bin/keep");

    const configuration_t record = sampleRecord();
    EXPECT_EQ(config_platform_store(&record), -1);
    EXPECT_TRUE(std::filesystem::is_directory("config.bin/keep"));
    EXPECT_EQ(leftovers(), 0);
}

TEST_F(ConfigStore, StoreInAReadOnlyFolderFailsWithoutEndingTheProgram) {
    const configuration_t old = sampleRecord();
    ASSERT_EQ(config_platform_store(&old), 0);
    namespace fs = std::filesystem;
    fs::permissions(mFolder, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                 fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    // Root writes into read-only folders, so the store runs in a child without root's rights.
    EXPECT_EXIT(
        {
            if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) {
                std::_Exit(2);
            }
            const configuration_t changed = filledWith(0x22);
            const bool failed = config_platform_store(&changed) == -1;
            const bool kept = readFile("config.bin") == bytesOf(old);
            std::_Exit(failed && kept && leftovers() == 0 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    fs::permissions(mFolder, fs::perms::owner_all);
    EXPECT_EQ(readFile("config.bin"), bytesOf(old));
}

TEST_F(ConfigStore, DiskFullWhileWritingFailsAndKeepsTheOldRecord) {
    const configuration_t old = sampleRecord();
    ASSERT_EQ(config_platform_store(&old), 0);

    const configuration_t changed = filledWith(0x33);
    int result = 0;
    {
        const test::FileSizeLimit full(20);
        result = config_platform_store(&changed);
    }

    EXPECT_EQ(result, -1);
    EXPECT_EQ(readFile("config.bin"), bytesOf(old));
    EXPECT_EQ(leftovers(), 0);
}

TEST_F(ConfigStore, NullRecordIsRejected) {
    EXPECT_EQ(config_platform_store(nullptr), -1);
    EXPECT_EQ(config_platform_load(nullptr), -1);
    EXPECT_FALSE(std::filesystem::exists("config.bin"));
}

} // namespace
} // namespace tdx
