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

} // namespace
} // namespace tdx
