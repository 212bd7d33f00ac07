#include "SourceApp/system/config.h"

#include "SourceHost/api_lib/scratch_folder.h"
#include "tests/support/trace_capture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

namespace tdx {
namespace {

std::string bytesOf(const configuration_t& record) {
    return std::string(reinterpret_cast<const char*>(&record), sizeof record);
}

configuration_t sealed(configuration_t record) {
    record.checksum = config_checksum(record);
    return record;
}

class ConfigRecord : public test::ScratchFolder {
protected:
    // Starts the program over the file; returns what "config.bin" holds afterwards.
    std::string startWith(const std::string& file) {
        writeFile("config.bin", file);
        config_init();
        return readFile("config.bin");
    }
    // Whether config_apply() writes the file: it is removed first.
    bool applyStores() {
        std::filesystem::remove("config.bin");
        config_apply();
        return std::filesystem::exists("config.bin");
    }
    test::TraceCapture mTrace;
};

TEST_F(ConfigRecord, TheDefaultRecordIsAFixed52ByteImageAndAMissingFileBecomesIt) {
    const unsigned char image[52] = {
        0x04, 0x00, 0x34, 0x00, 0x00, 0x00, 0x00, 0x00, 0xA9, 0x5E, 0xC6, 0xC3, // version, size, checksum
        0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0x80, 0x3F, // touch: 1.0 x 4
        0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0x00, 0x00, 0x0A, 0x00, 0x00, 0x00, // delays 0, 10, 10
        0x0A, 0x00, 0x00, 0x00, 0x00, 0x06, 0x32, 0x00, 0x00, 0x00, 0x01, 0x01, // intensities, first start
        0x00, 0x00, 0x00, 0x00};
    const std::string expected(reinterpret_cast<const char*>(image), sizeof image);
    EXPECT_EQ(DefaultConfiguration.checksum, 0xC3C65EA9u);
    EXPECT_EQ(bytesOf(DefaultConfiguration), expected);
    EXPECT_EQ(config_checksum(configuration_t{}), 0xC32D64C1u); // nothing covered: the seed alone

    config_init();
    EXPECT_EQ(readFile("config.bin"), expected);
    EXPECT_EQ(bytesOf(Configuration), expected);
}

TEST_F(ConfigRecord, ValidOlderRecordsAreConvertedAndStoredAgain) {
    configuration_t v2 = DefaultConfiguration;
    v2.version = 2;
    v2.screen_delay[0] = 7;
    v2.screen_delay[1] = 30000;
    v2.screen_delay[2] = 60000;
    v2.language = 2;
    configuration_t v3 = DefaultConfiguration;
    v3.version = 3;
    v3.size = 48;
    v3.country = 6;
    v3.daylight_saving = 0x55; // beyond the covered bytes: replaced by the default
    v3.demo_mode = 0x66;
    struct Case {
        configuration_t stored;
        size_t fileLength;
        uint32_t delays[3];
        uint8_t language, country;
    } cases[] = {
        {sealed(v2), 52, {7, 30, 60}, 2, 0},
        {sealed(v3), 48, {0, 10, 10}, 0, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.version);
        const std::string file = startWith(bytesOf(c.stored).substr(0, c.fileLength));
        configuration_t expected = DefaultConfiguration;
        std::memcpy(expected.screen_delay, c.delays, sizeof c.delays);
        expected.language = c.language;
        expected.country = c.country;
        EXPECT_EQ(file, bytesOf(sealed(expected)));
        EXPECT_EQ(bytesOf(Configuration), file);
    }
}

TEST_F(ConfigRecord, AnyRecordThatFailsItsChecksOrSizeBecomesTheDefaults) {
    configuration_t flipped = DefaultConfiguration;
    flipped.screen_delay[2] ^= 0x100;
    configuration_t shortV4 = DefaultConfiguration;
    shortV4.size = 48; // demo mode and daylight saving would be outside the sum
    configuration_t ragged = DefaultConfiguration;
    ragged.version = 5;
    ragged.size = 54;
    configuration_t tinyV5 = DefaultConfiguration;
    tinyV5.version = 5;
    tinyV5.size = 48;
    const configuration_t cases[] = {flipped, sealed(shortV4), sealed(ragged), sealed(tinyV5)};
    for (const configuration_t& stored : cases) {
        SCOPED_TRACE(testing::Message() << "version " << stored.version << " size " << stored.size);
        EXPECT_EQ(startWith(bytesOf(stored)), bytesOf(DefaultConfiguration));
    }
    EXPECT_EQ(startWith("short"), bytesOf(DefaultConfiguration));
}

TEST_F(ConfigRecord, ALaterVersionIsUsedAsItIsAndUnknownChoicesReadAsTheFirst) {
    configuration_t later = DefaultConfiguration;
    later.version = 5;
    later.size = 56;
    later.language = 3;
    later.country = 12;
    const std::string laterFile = bytesOf(sealed(later));
    EXPECT_EQ(startWith(laterFile), laterFile);
    EXPECT_EQ(bytesOf(Configuration), laterFile);

    configuration_t unknown = later;
    unknown.language = 4;
    unknown.country = 13;
    configuration_t expected = later;
    expected.language = 0;
    expected.country = 0;
    EXPECT_EQ(startWith(bytesOf(sealed(unknown))), bytesOf(sealed(expected)));
    EXPECT_TRUE(mTrace.contains("CONFIG language 4 unknown"));
    EXPECT_TRUE(mTrace.contains("CONFIG country 13 unknown"));
}

TEST_F(ConfigRecord, ApplyStoresOnlyWhatChangedEvenWhenTheChangesCancelInTheSum) {
    config_init();
    EXPECT_FALSE(applyStores());

    Configuration.screen_delay[1] += 1;
    Configuration.screen_delay[2] -= 1; // the sum of the words is unchanged
    EXPECT_TRUE(applyStores());
    configuration_t expected = DefaultConfiguration;
    expected.screen_delay[1] = 11;
    expected.screen_delay[2] = 9;
    EXPECT_EQ(readFile("config.bin"), bytesOf(sealed(expected)));
    EXPECT_FALSE(applyStores());
}

TEST_F(ConfigRecord, AFailedStoreKeepsTheRecordAndIsTriedAgainAtTheNextApply) {
    config_init();
    std::filesystem::create_directory("config.bin.tmp"); // the store cannot write its temporary file
    Configuration.demo_mode = 1;
    config_apply();
    EXPECT_TRUE(mTrace.contains("CONFIG not stored"));
    EXPECT_EQ(readFile("config.bin"), bytesOf(DefaultConfiguration));
    EXPECT_EQ(Configuration.demo_mode, 1);

    std::filesystem::remove("config.bin.tmp");
    config_apply();
    configuration_t expected = DefaultConfiguration;
    expected.demo_mode = 1;
    EXPECT_EQ(readFile("config.bin"), bytesOf(sealed(expected)));
}

} // namespace
} // namespace tdx
