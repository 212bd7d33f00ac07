#include "SourceHost/api_lib/scratch_folder.h"
#include "SourceHost/config/config_store.h"
#include "tests/support/child_process.h"

#include <gtest/gtest.h>

#include <chrono>
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
    record.screen_delay[2] = 600;
    record.language = 3;
    record.daylight_saving = 1;
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

TEST_F(ConfigStore, StoredRecordReplacesAnOlderLongerFileWithItsOwn52ByteImageAndLoadsBackUnchanged) {
    EXPECT_EQ(config_platform_store(nullptr), -1);
    EXPECT_FALSE(std::filesystem::exists("config.bin"));
    writeFile("config.bin", std::string(200, 'x'));
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
    EXPECT_EQ(config_platform_load(nullptr), -1);
}

// A load takes what the file holds, up to the record's 52 bytes, over the record; the rest stays.
TEST_F(ConfigStore, LoadOverwritesOnlyTheBytesTheFileHolds) {
    const std::string record = bytesOf(sampleRecord());
    const std::string tenBytes("\x03\x00\x30\x00\x01\x02\x03\x04\x05\x06", 10);
    const struct {
        const char* what;
        const char* file; // nullptr: no file; "/": a folder in its place
        std::string bytes;
        int result;
        std::string loaded; // over a record of 0xAA bytes
    } cases[] = {
        {"missing", nullptr, "", -1, std::string(52, '\xAA')},
        {"a folder", "/", "", -1, std::string(52, '\xAA')},
        {"empty", "", "", 0, std::string(52, '\xAA')},
        {"short", "", tenBytes, 10, tenBytes + std::string(42, '\xAA')},
        {"long", "", record + std::string(16, '\x55'), 52, record},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all("config.bin");
        if (c.file != nullptr && std::string(c.file) == "/") {
            std::filesystem::create_directory("config.bin");
        } else if (c.file != nullptr) {
            writeFile("config.bin", c.bytes);
        }
        configuration_t loaded = filledWith(0xAA);
        EXPECT_EQ(config_platform_load(&loaded), c.result);
        EXPECT_EQ(bytesOf(loaded), c.loaded);
    }
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
    EXPECT_EQ(test::exitStatus(test::reapChild(other, "the other storing program", test::CHILD_END_BOUND)), 0)
        << "the other program failed to store";
    const std::string file = readFile("config.bin");
    EXPECT_TRUE(file == bytesOf(mine) || file == bytesOf(theirs));
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

TEST_F(ConfigStore, AStoreThatCannotWriteOrReplaceTheFileFailsAndLeavesNoTemporaryFile) {
    const configuration_t old = sampleRecord();
    ASSERT_EQ(config_platform_store(&old), 0);

    const configuration_t changed = filledWith(0x33);
    int result = 0;
    {
        const test::FileSizeLimit full(20); // the disk fills while writing
        result = config_platform_store(&changed);
    }
    EXPECT_EQ(result, -1);
    EXPECT_EQ(readFile("config.bin"), bytesOf(old));
    EXPECT_EQ(leftovers(), 0);

    std::filesystem::remove("config.bin");
    std::filesystem::create_directories("config.bin/keep");
    EXPECT_EQ(config_platform_store(&changed), -1);
    EXPECT_TRUE(std::filesystem::is_directory("config.bin/keep"));
    EXPECT_EQ(leftovers(), 0);
}

TEST_F(ConfigStore, LoadingRemovesTheTemporaryFilesOfInterruptedStoresOnly) {
    const configuration_t record = sampleRecord();
    ASSERT_EQ(config_platform_store(&record), 0);
    const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::minutes(5);
    for (const char* name : {"config.bin.a1B2c3", "config.bin.ZZZZZZ", "config.bin.xyz", "config.bin.bak123x",
                             "notconfig.bin.a1B2c3", "config.bin.Young1"}) {
        writeFile(name, "half a record");
        if (std::string(name) != "config.bin.Young1") {
            std::filesystem::last_write_time(name, old);
        }
    }
    configuration_t loaded{};
    EXPECT_EQ(config_platform_load(&loaded), 52);
    EXPECT_FALSE(std::filesystem::exists("config.bin.a1B2c3"));
    EXPECT_FALSE(std::filesystem::exists("config.bin.ZZZZZZ"));
    EXPECT_TRUE(std::filesystem::exists("config.bin.xyz")) << "not a name a store makes";
    EXPECT_TRUE(std::filesystem::exists("config.bin.bak123x"));
    EXPECT_TRUE(std::filesystem::exists("notconfig.bin.a1B2c3"));
    EXPECT_TRUE(std::filesystem::exists("config.bin.Young1")) << "another program may be storing right now";
    EXPECT_EQ(readFile("config.bin"), bytesOf(record));
}

// Only a file written within the last 10 s counts as young: one dated in the future was written before the
// clock was set back and is as much a leftover as an old one.
TEST_F(ConfigStore, ALeftoverDatedInTheFutureIsRemovedToo) {
    const auto now = std::filesystem::file_time_type::clock::now();
    const struct {
        const char* name;
        std::filesystem::file_time_type written;
        bool kept;
    } cases[] = {
        {"config.bin.Futur1", now + std::chrono::hours(24 * 365), false},
        {"config.bin.Futur2", now + std::chrono::seconds(30), false},
        {"config.bin.Young2", now - std::chrono::seconds(2), true},
        {"config.bin.Old001", now - std::chrono::seconds(11), false},
    };
    for (const auto& c : cases) {
        writeFile(c.name, "half a record");
        std::filesystem::last_write_time(c.name, c.written);
    }
    configuration_t loaded{};
    EXPECT_EQ(config_platform_load(&loaded), -1) << "no record stored";
    for (const auto& c : cases) {
        EXPECT_EQ(std::filesystem::exists(c.name), c.kept) << c.name;
    }
}

} // namespace
} // namespace tdx
