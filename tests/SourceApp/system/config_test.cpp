#include "SourceApp/system/config.h"

#include "SourceHost/api_lib/scratch_folder.h"
#include "tests/support/trace_capture.h"

#include <gtest/gtest.h>

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
        EXPECT_EQ(bytesOf(Configuration), readFile("config.bin"));
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
    EXPECT_EQ(bytesOf(DefaultConfiguration), expected);
    EXPECT_EQ(config_checksum(configuration_t{}), 0xC32D64C1u); // nothing covered: the seed alone
    config_init();
    EXPECT_EQ(readFile("config.bin"), expected);
    EXPECT_FALSE(applyStores());
}

TEST_F(ConfigRecord, RecordsAreKeptConvertedOrReplacedByTheDefaults) {
    auto record = [](uint16_t version, uint16_t size, auto change) {
        configuration_t r = DefaultConfiguration;
        r.version = version;
        r.size = size;
        change(r);
        return r;
    };
    auto none = [](configuration_t&) {};
    const configuration_t v2 = record(2, 52, [](configuration_t& r) {
        r.screen_delay[0] = 7; // kept: only the two delays in use were milliseconds
        r.screen_delay[1] = 30000;
        r.screen_delay[2] = 60000;
    });
    const configuration_t v3 = record(3, 48, [](configuration_t& r) {
        r.country = 6;
        r.daylight_saving = 0x55; // beyond the covered bytes: replaced by the default
    });
    const configuration_t v5 = record(5, 56, [](configuration_t& r) { r.language = 3; });
    // Covering its header only: the rest of the file is not summed and goes for the defaults.
    const configuration_t v3Header = record(3, 8, [](configuration_t& r) {
        r.reserved = 0x1234;
        r.country = 6;
    });
    // Covering more than the record: the sum ends with the record.
    const configuration_t v3Long = record(3, 60, [](configuration_t& r) { r.country = 6; });
    configuration_t flipped = DefaultConfiguration;
    flipped.screen_delay[2] ^= 0x100;
    const struct {
        configuration_t stored;
        size_t fileLength;
        configuration_t expected;
    } cases[] = {
        {sealed(v2), 52,
         sealed(record(4, 52,
                       [](configuration_t& r) {
                           r.screen_delay[0] = 7;
                           r.screen_delay[1] = 30;
                           r.screen_delay[2] = 60;
                       }))},
        {sealed(v3), 48, sealed(record(4, 52, [](configuration_t& r) { r.country = 6; }))},
        {sealed(v3Header), 12, sealed(record(4, 52, [](configuration_t& r) { r.reserved = 0x1234; }))},
        {sealed(v3Header), 52, sealed(record(4, 52, [](configuration_t& r) { r.reserved = 0x1234; }))},
        {sealed(record(2, 0, none)), 52, DefaultConfiguration},
        {sealed(v3Long), 52, sealed(record(4, 52, [](configuration_t& r) { r.country = 6; }))},
        {sealed(v5), 52, sealed(v5)},
        {sealed(record(5, 56,
                       [](configuration_t& r) {
                           r.language = 4;
                           r.country = 13;
                       })),
         52, sealed(record(5, 56, none))}, // unknown choices read as the first
        {flipped, 52, DefaultConfiguration},
        {sealed(record(4, 48, none)), 52, DefaultConfiguration}, // fields outside the sum
        {sealed(record(5, 48, none)), 52, DefaultConfiguration},
        {sealed(record(5, 54, none)), 52, DefaultConfiguration}, // not whole words
        {sealed(record(4, 52, none)), 20, DefaultConfiguration}, // short file
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "version " << c.stored.version << " size " << c.stored.size);
        EXPECT_EQ(startWith(bytesOf(c.stored).substr(0, c.fileLength)), bytesOf(c.expected));
    }
    EXPECT_TRUE(mTrace.contains("CONFIG language 4 unknown"));
    // A record that covers nothing is converted whole from the defaults, not refused.
    EXPECT_TRUE(mTrace.contains("CONFIG converted from version 2 (0 bytes)"));
}

TEST_F(ConfigRecord, ApplyStoresWhatChangedEvenWhenTheChangesCancelInTheSum) {
    config_init();
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
    Configuration.demo_mode = 1;
    {
        const test::FileSizeLimit full(20); // the store cannot write its temporary file
        config_apply();
    }
    EXPECT_TRUE(mTrace.contains("CONFIG not stored"));
    EXPECT_EQ(readFile("config.bin"), bytesOf(DefaultConfiguration));
    config_apply();
    configuration_t expected = DefaultConfiguration;
    expected.demo_mode = 1;
    EXPECT_EQ(readFile("config.bin"), bytesOf(sealed(expected)));
}

} // namespace
} // namespace tdx
