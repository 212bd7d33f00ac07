#include "Libraries/base/bytes.h"
#include "SourceHost/api_lib/resfile.h"
#include "tests/SourceHost/api_lib/scratch_folder.h"

#include <gtest/gtest.h>

namespace tdx {
namespace {

const char* const NAMES[] = {"alpha", "beta", "gamma"};
const uint16_t CRC = resfile_names_crc(NAMES, 3);

std::vector<uint8_t> sample() {
    return resfile_build(
        CRC, {{RESFILE_FONT, {1, 2, 3, 4, 5}}, {RESFILE_EMPTY, {}}, {RESFILE_IMAGE, {1, 1, 1, 9}}});
}

TEST(ResfileTest, BuiltFileReadsBackEntryByEntryWithAlignedBlobs) {
    const std::vector<uint8_t> bytes = sample();
    resfile file;
    ASSERT_EQ(resfile_parse(bytes, 3, CRC, "sample", &file), 0);
    uint32_t size = 0;
    const uint8_t* font = file.data(0, &size);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(size, 5u);
    EXPECT_EQ(font[4], 5);
    EXPECT_EQ(file.type(0), RESFILE_FONT);
    EXPECT_EQ(file.data(1, &size), nullptr);
    EXPECT_EQ(size, 0u);
    const uint8_t* image = file.data(2, &size);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(image[3], 9);
    EXPECT_EQ((image - file.bytes.data()) % 4, 0);
    EXPECT_EQ(file.data(3), nullptr);
    EXPECT_EQ(file.type(3), RESFILE_EMPTY);
}

TEST(ResfileTest, NameCrcIsCrc16OfTheNamesJoinedByNewlines) {
    // CRC-16/MODBUS check value.
    const char* const check[] = {"123456789"};
    EXPECT_EQ(resfile_names_crc(check, 1), 0x4B37);
    const char* const split[] = {"1234", "56789"};
    const char* const joined[] = {"1234\n56789"};
    EXPECT_EQ(resfile_names_crc(split, 2), resfile_names_crc(joined, 1));
    const char* const reordered[] = {"beta", "alpha", "gamma"};
    EXPECT_NE(resfile_names_crc(reordered, 3), CRC);
}

TEST(ResfileTest, BadHeadersAreRefused) {
    resfile file;
    const std::vector<uint8_t> good = sample();
    EXPECT_EQ(resfile_parse(good, 4, CRC, "count", &file), -1);
    EXPECT_EQ(resfile_parse(good, 3, CRC ^ 1, "crc", &file), -1);
    for (size_t at : {0u, 3u, 4u, 5u}) {
        std::vector<uint8_t> bad = good;
        bad[at] ^= 0x40;
        EXPECT_EQ(resfile_parse(bad, 3, CRC, "header", &file), -1) << at;
        EXPECT_TRUE(file.entries.empty());
    }
    for (size_t n = 0; n < RESFILE_HEADER + 3 * RESFILE_ENTRY; ++n) {
        const std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<ptrdiff_t>(n));
        EXPECT_EQ(resfile_parse(cut, 3, CRC, "cut", &file), -1) << n;
    }
    EXPECT_EQ(resfile_parse(good, 3, CRC, "no output", nullptr), -1);
}

TEST(ResfileTest, EntriesOutsideTheFileOrOfUnknownTypeBecomeEmpty) {
    std::vector<uint8_t> bytes = sample();
    const size_t font = RESFILE_HEADER, image = RESFILE_HEADER + 2 * RESFILE_ENTRY;
    put_le32(&bytes[font + 8], 0xFFFFFFFFu); // size past the end (and past 32-bit wrap-around)
    bytes[image] = 7;                        // unknown type
    resfile file;
    ASSERT_EQ(resfile_parse(bytes, 3, CRC, "entries", &file), 0);
    EXPECT_EQ(file.data(0), nullptr);
    EXPECT_EQ(file.data(2), nullptr);

    bytes = sample();
    put_le32(&bytes[image + 4], 4); // inside the header
    ASSERT_EQ(resfile_parse(bytes, 3, CRC, "entries", &file), 0);
    EXPECT_EQ(file.data(2), nullptr);
    EXPECT_NE(file.data(0), nullptr);

    bytes = sample();
    put_le32(&bytes[image + 4], get_le32(&bytes[image + 4]) + 1); // one byte too far
    ASSERT_EQ(resfile_parse(bytes, 3, CRC, "entries", &file), 0);
    EXPECT_EQ(file.data(2), nullptr);
}

TEST(ResfileTest, LoadReadsTheWholeFileAndRefusesMissingOnes) {
    const std::vector<uint8_t> bytes = sample();
    const test::TempDir folder;
    const std::string path = folder / "resources.bin";
    folder.write("resources.bin", std::string(bytes.begin(), bytes.end()));
    resfile file;
    ASSERT_EQ(resfile_load(path.c_str(), 3, CRC, &file), 0);
    EXPECT_EQ(file.bytes, bytes);
    EXPECT_EQ(file.path, path);
    EXPECT_EQ(resfile_load((folder / "missing.bin").c_str(), 3, CRC, &file), -1);
    EXPECT_EQ(resfile_load(nullptr, 3, CRC, &file), -1);
    EXPECT_EQ(resfile_load(".", 3, CRC, &file), -1); // a folder
}

} // namespace
} // namespace tdx
