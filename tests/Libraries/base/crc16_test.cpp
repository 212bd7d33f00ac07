#include "Libraries/base/crc16.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace tdx {
namespace {

TEST(Crc16, MatchesTheStandardCheckValues) {
    EXPECT_EQ(crc16("123456789", 9), 0x4B37);
    EXPECT_EQ(crc16("", 0), 0xFFFF);
    // A well-known request on RS-485 buses: read ten registers from device 1; its CRC travels as C5 CD.
    const uint8_t request[] = {0x01, 0x03, 0x00, 0x00, 0x00, 0x0A};
    EXPECT_EQ(crc16(request, sizeof request), 0xCDC5);
}

TEST(Crc16, AFrameWithItsOwnCrcAppendedChecksToZero) {
    std::vector<uint8_t> frame = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77};
    const uint16_t crc = crc16(frame.data(), frame.size());
    frame.push_back(static_cast<uint8_t>(crc & 0xFF));
    frame.push_back(static_cast<uint8_t>(crc >> 8));
    EXPECT_EQ(crc16(frame.data(), frame.size()), 0);
    frame[3] ^= 0x10;
    EXPECT_NE(crc16(frame.data(), frame.size()), 0);
}

TEST(Crc16, RunningCrcOverPiecesEqualsTheOneShot) {
    std::mt19937 random(20261206);
    std::vector<uint8_t> data(4096);
    for (uint8_t& byte : data) {
        byte = static_cast<uint8_t>(random());
    }
    const uint16_t whole = crc16(data.data(), data.size());
    for (int round = 0; round < 200; ++round) {
        uint16_t running = 0;
        crc16_init(&running);
        size_t offset = 0;
        while (offset < data.size()) {
            const size_t piece = std::min<size_t>(random() % 300, data.size() - offset);
            crc16_buffer(&running, data.data() + offset, piece);
            offset += piece;
        }
        ASSERT_EQ(running, whole) << "round " << round;
    }
}

TEST(Crc16, NullArgumentsChangeNothing) {
    EXPECT_EQ(crc16(nullptr, 10), 0xFFFF);
    uint16_t running = 0;
    crc16_init(&running);
    crc16_buffer(&running, "1234", 4);
    crc16_buffer(&running, nullptr, 100);
    crc16_buffer(nullptr, "x", 1);
    crc16_init(nullptr);
    crc16_buffer(&running, "56789", 5);
    EXPECT_EQ(running, 0x4B37);
}

} // namespace
} // namespace tdx
