#include "Libraries/base/descriptors.h"

#include <gtest/gtest.h>

#include <cstring>

namespace tdx {
namespace {

sw_descr_t software(uint8_t major, uint8_t minor, uint8_t build) {
    sw_descr_t descriptor{};
    std::memcpy(descriptor.magic, "SWD1", 4);
    std::memcpy(descriptor.sw_code, "TD410", 5);
    // Non-zero bytes right after the unterminated code must not leak into the version text.
    std::memset(descriptor.reserved, 'R', sizeof descriptor.reserved);
    descriptor.descr_version = 1;
    descriptor.version_major = major;
    descriptor.version_minor = minor;
    descriptor.build = build;
    return descriptor;
}

TEST(ShortVersion, IsCodeAndVersionAndTheBuildOnlyWhenThereIsOne) {
    const sw_descr_t release = software(3, 0, 0);
    const sw_descr_t preview = software(3, 1, 7);
    const sw_descr_t late = software(12, 0, 255);
    EXPECT_EQ(build_get_short_version(&release), "TD41003");
    EXPECT_EQ(build_get_short_version(&preview), "TD41003b7");
    EXPECT_EQ(build_get_short_version(&late), "TD41012b255");
    EXPECT_EQ(build_get_short_version(nullptr), "");
}

TEST(Descriptors, ReadFromTheBytesOfAFirmwareImage) {
    const uint8_t hwBytes[24] = {'T',  'D',  '4',  '1',  '0',  1,    'T', 'D', '4',  '1',  '0',  0,
                                 0x10, 0x04, 0x01, 0x00, 0xFA, 0x05, 0,   0,   0x10, 0x04, 0x01, 0x00};
    hw_descr_t hw;
    std::memcpy(&hw, hwBytes, sizeof hw);
    EXPECT_EQ(std::string(hw.hw_code, 5), "TD410");
    EXPECT_EQ(hw.hw_version, 1);
    EXPECT_EQ(std::string(hw.sw_code, 5), "TD410");
    EXPECT_EQ(hw.serial, 0x010410u);
    EXPECT_EQ(hw.serial_prefix, 1530);
    EXPECT_EQ(hw.network_address, 0x010410u);

    uint8_t swBytes[32] = {'S', 'W', 'D', '1', 'T', 'D', '4', '1', '0'};
    swBytes[20] = 1;
    swBytes[21] = 2;
    swBytes[22] = 5;
    swBytes[23] = 9;
    const uint8_t time[4] = {0x80, 0x43, 0x6D, 0x38}; // 946684800 = 2000-01-01
    std::memcpy(swBytes + 24, time, 4);
    sw_descr_t sw;
    std::memcpy(&sw, swBytes, sizeof sw);
    EXPECT_EQ(sw.version_major, 2);
    EXPECT_EQ(sw.version_minor, 5);
    EXPECT_EQ(sw.build, 9);
    EXPECT_EQ(sw.build_time, 946684800u);
    EXPECT_EQ(build_get_short_version(&sw), "TD41002b9");

    const uint8_t blBytes[8] = {'T', 'B', 1, 4};
    bl_descr_t bl;
    std::memcpy(&bl, blBytes, sizeof bl);
    EXPECT_EQ(bl.protocol_version, 1);
    EXPECT_EQ(bl.bl_version, 4);
}

} // namespace
} // namespace tdx
