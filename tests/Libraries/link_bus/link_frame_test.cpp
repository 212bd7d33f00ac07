#include "Libraries/base/crc16.h"
#include "Libraries/link_bus/link_bus.h"
#include "tests/Libraries/link_bus/link_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace tdx {
namespace {

using test::Bytes;
using test::Collector;
using test::encode;
using test::TraceCapture;

struct GoldenVector {
    const char* what;
    Bytes packet;
    uint16_t crc; // travels low byte first
    Bytes frame;
};

// Packets as the display and the control unit exchange them, with their CRCs and frames.
const GoldenVector GOLDEN[] = {
    {"POLL to 010410",
     {0x10, 0x04, 0x01, 0x01, 0x00},
     0xA3B4,
     {0xC0, 0xEF, 0xE5, 0x1C, 0x9B, 0xED, 0x31, 0x90, 0xC1}},
    {"framing only: POLL with reserved control bits 0x2C (escaped byte)",
     {0x10, 0x04, 0x01, 0x01, 0x2C},
     0x7EB5,
     {0xC0, 0xEF, 0xE5, 0x1C, 0x9B, 0xC2, 0xE1, 0x30, 0x4D, 0xC1}},
    {"NOP from 010410",
     {0x10, 0x04, 0x01, 0x00, 0x80},
     0x93B4,
     {0xC0, 0xEF, 0xE5, 0x1C, 0x9A, 0x6D, 0x31, 0xA0, 0xC1}},
    {"SEARCH",
     {0xFF, 0xFF, 0xFF, 0x02, 0x00},
     0x5031,
     {0xC0, 0x00, 0x1E, 0xE2, 0x98, 0xED, 0xB4, 0x63, 0xC1}},
    {"CONNECT",
     {0x10, 0x04, 0x01, 0x04, 0x00, 0x16, 0x03, 0x00, 0x00},
     0xCF23,
     {0xC0, 0xEF, 0xE5, 0x1C, 0x9E, 0xED, 0x93, 0x30, 0x24, 0xEA, 0x59, 0x1D, 0xC1}},
    {"SESSION_OPEN",
     {0x10, 0x04, 0x01, 0x06, 0x00, 0x01},
     0x76D3,
     {0xC0, 0xEF, 0xE5, 0x1C, 0x9C, 0xED, 0x84, 0xE0, 0x52, 0xC1}},
    {"SEARCH_REPLY",
     {0x10, 0x04, 0x01, 0x03, 0x80, 0x54, 0x44, 0x34, 0x31, 0x30, 0x01,
      0x54, 0x44, 0x34, 0x31, 0x30, 0x01, 0x10, 0x04, 0x01, 0x00},
     0xB903,
     {0xC0, 0xEF, 0xE5, 0x1C, 0x99, 0x6D, 0xD1, 0x77, 0x10, 0xDB, 0x4A, 0xD3, 0x6D,
      0x34, 0xA3, 0x66, 0x3A, 0x55, 0x6D, 0x29, 0xD9, 0x6D, 0x0E, 0x03, 0xC1}},
    {"SUBSCRIBE",
     {0x10, 0x04, 0x01, 0x11, 0x80, 0x10, 0x04, 0x01, 0x00, 0xFF, 0xFF},
     0x75AC,
     {0xC0, 0xEF, 0xE5, 0x1C, 0x8B, 0x6D, 0x95, 0x37, 0x25, 0xEA, 0x85, 0x2D, 0x95, 0x05, 0xC1}},
};

TEST(LinkFrame, GoldenPacketsEncodeToTheirFramesAndDecodeBack) {
    Collector rx;
    for (const GoldenVector& vector : GOLDEN) {
        SCOPED_TRACE(vector.what);
        EXPECT_EQ(crc16(vector.packet.data(), vector.packet.size()), vector.crc);
        EXPECT_EQ(encode(vector.packet), vector.frame);
        rx.packets.clear();
        rx.feed(vector.frame);
        ASSERT_EQ(rx.packets.size(), 1u);
        EXPECT_EQ(rx.packets[0], vector.packet);
    }
    EXPECT_EQ(link_decoder_drop_count(&rx.decoder), 0u);
}

TEST(LinkFrame, EncodeRefusesBadLengthsAndSmallBuffers) {
    uint8_t out[LINK_MAX_FRAME];
    const Bytes tooShort(LINK_MIN_PACKET - 1, 0x11);
    const Bytes tooLong(LINK_MAX_PACKET + 1, 0x11);
    EXPECT_EQ(link_encode(tooShort.data(), static_cast<uint16_t>(tooShort.size()), out, sizeof(out)), -1);
    EXPECT_EQ(link_encode(tooLong.data(), static_cast<uint16_t>(tooLong.size()), out, sizeof(out)), -1);
    EXPECT_EQ(link_encode(nullptr, 5, out, sizeof(out)), -1);

    const Bytes& packet = GOLDEN[1].packet;
    const auto exact = static_cast<uint16_t>(GOLDEN[1].frame.size());
    EXPECT_EQ(link_encode(packet.data(), 5, out, exact - 1), -2);
    EXPECT_EQ(link_encode(packet.data(), 5, out, exact), exact);
}

// Random packets of every length, biased towards the four special bytes and ESC ^ 0x20 look-alikes.
Bytes randomPacket(std::mt19937& rng, uint16_t len) {
    static const uint8_t tricky[] = {0xC0, 0xC1, 0xC2, 0xC3, 0xE0, 0xE1, 0xE2, 0xE3, 0x20, 0x00, 0xFF};
    Bytes packet(len);
    for (auto& byte : packet) {
        byte = (rng() & 1) != 0 ? tricky[rng() % sizeof(tricky)] : static_cast<uint8_t>(rng());
    }
    return packet;
}

TEST(LinkFrame, RandomPacketsSurviveTheRoundTripInOneStream) {
    std::mt19937 rng(410);
    std::vector<Bytes> sent;
    Bytes stream;
    for (int i = 0; i < 600; ++i) {
        const auto len =
            static_cast<uint16_t>(LINK_MIN_PACKET + rng() % (LINK_MAX_PACKET - LINK_MIN_PACKET + 1));
        sent.push_back(randomPacket(rng, i < 2 ? (i == 0 ? LINK_MIN_PACKET : LINK_MAX_PACKET) : len));
        const Bytes frame = encode(sent.back());
        ASSERT_FALSE(frame.empty());
        // Only the frame's own delimiters are special bytes on the wire.
        EXPECT_EQ(frame.front(), LINK_START);
        EXPECT_EQ(frame.back(), LINK_END);
        for (size_t k = 1; k + 1 < frame.size(); ++k) {
            ASSERT_TRUE(frame[k] == LINK_ESC || frame[k] < LINK_START || frame[k] > LINK_RESET)
                << "byte " << k;
        }
        stream.insert(stream.end(), frame.begin(), frame.end());
    }
    Collector rx;
    rx.feed(stream);
    EXPECT_EQ(rx.packets, sent);
    EXPECT_EQ(link_decoder_drop_count(&rx.decoder), 0u);
    EXPECT_EQ(rx.decoder.packets, sent.size());
}

TEST(LinkFrame, DamagedFramesAreDroppedWithTheirReasonAndTheNextFrameDecodes) {
    struct Case {
        const char* what;
        Bytes bytes;
        link_drop_reason reason;
        const char* traced;
    };
    Bytes badCrc = GOLDEN[0].frame;
    badCrc[3] ^= 0x01;
    Bytes badEscape = GOLDEN[1].frame;
    badEscape[6] = 0x30; // ESC followed by a byte that is no escaped special byte
    Bytes endAfterEsc = GOLDEN[1].frame;
    endAfterEsc[6] = LINK_END;
    Bytes aborted = GOLDEN[0].frame;
    aborted.insert(aborted.begin() + 4, LINK_RESET);
    const Case cases[] = {
        {"bad CRC", badCrc, LINK_DROP_CRC, "bad CRC"},
        {"empty frame", {LINK_START, LINK_END}, LINK_DROP_SHORT, "short frame"},
        {"six body bytes", {LINK_START, 1, 2, 3, 4, 5, 6, LINK_END}, LINK_DROP_SHORT, "short frame"},
        {"bad escape", badEscape, LINK_DROP_BAD_ESCAPE, "bad escape"},
        {"END after ESC", endAfterEsc, LINK_DROP_END_AFTER_ESC, "END after ESC"},
        {"garbage outside a frame",
         {0x00, 0x55, LINK_END, LINK_ESC, 0xAA, LINK_RESET, 0x13},
         LINK_DROP_NOISE,
         "noise (7 bytes outside a frame)"},
        {"RESET inside a frame", aborted, LINK_DROP_RESET, "RESET inside frame"},
        // The sender restarted in the middle of a frame: the decoder resynchronises on the next START.
        {"truncated frame", Bytes(GOLDEN[2].frame.begin(), GOLDEN[2].frame.begin() + 5), LINK_DROP_RESTART,
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TraceCapture trace;
        Collector rx;
        rx.feed(c.bytes);
        EXPECT_LE(link_decoder_drop_count(&rx.decoder),
                  1u); // a truncated frame is known only at the next START
        rx.feed(GOLDEN[3].frame);
        EXPECT_EQ(rx.packets, std::vector<Bytes>{GOLDEN[3].packet});
        EXPECT_EQ(rx.drops(c.reason), 1u);
        EXPECT_TRUE(trace.contains(std::string("LINK drop: ") + c.traced)) << trace.str();
    }
    EXPECT_STREQ(link_drop_name(LINK_DROP_COUNT), "UNKNOWN");
    EXPECT_STREQ(link_drop_name(-1), "UNKNOWN");
}

// Frames a packet of any length as a sender that ignores the limit would: whitened, with a good CRC.
Bytes frameUnchecked(const Bytes& packet) {
    Bytes body = packet;
    const uint16_t crc = crc16(packet.data(), packet.size());
    body.push_back(static_cast<uint8_t>(crc));
    body.push_back(static_cast<uint8_t>(crc >> 8));
    Bytes frame = {LINK_START};
    unsigned state = 0x1FF;
    for (const uint8_t plain : body) {
        const uint8_t byte = plain ^ static_cast<uint8_t>(state);
        for (int i = 0; i < 8; ++i) {
            state = (state >> 1) | (((state ^ (state >> 5)) & 1u) << 8);
        }
        if (byte >= LINK_START && byte <= LINK_RESET) {
            frame.insert(frame.end(), {LINK_ESC, static_cast<uint8_t>(byte ^ LINK_ESC_XOR)});
        } else {
            frame.push_back(byte);
        }
    }
    frame.push_back(LINK_END);
    return frame;
}

TEST(LinkFrame, TheLargestPacketPassesAndAGoodFrameOneByteLongerIsDropped) {
    std::mt19937 rng(7);
    const Bytes longest = randomPacket(rng, TNET_MAX_PACKET_SIZE);
    EXPECT_EQ(frameUnchecked(longest), encode(longest));
    Collector rx;
    rx.feed(encode(longest));
    ASSERT_EQ(rx.packets.size(), 1u);
    EXPECT_EQ(rx.packets[0], longest);

    // Its CRC is good, but no sender builds it: dropped, and the rest is skipped up to START.
    TraceCapture trace;
    rx.feed(frameUnchecked(randomPacket(rng, TNET_MAX_PACKET_SIZE + 1)));
    EXPECT_EQ(rx.drops(LINK_DROP_OVERSIZE), 1u);
    EXPECT_TRUE(trace.contains("oversize body")) << trace.str();
    EXPECT_EQ(rx.packets.size(), 1u);
    rx.feed(GOLDEN[0].frame);
    ASSERT_EQ(rx.packets.size(), 2u);
    EXPECT_EQ(rx.drops(LINK_DROP_NOISE), 1u); // the tail of the oversize frame
}

TEST(LinkFrame, RandomNoiseNeverReachesTheCallbackWithABadPacket) {
    // Whatever arrives, a delivered packet has a valid length; the CRC makes false packets practically
    // absent.
    std::mt19937 rng(316);
    Collector rx;
    Bytes noise(200000);
    for (auto& byte : noise) {
        byte = (rng() % 8) == 0 ? static_cast<uint8_t>(0xC0 + rng() % 4) : static_cast<uint8_t>(rng());
    }
    rx.feed(noise);
    for (const Bytes& packet : rx.packets) {
        EXPECT_GE(packet.size(), LINK_MIN_PACKET);
        EXPECT_LE(packet.size(), LINK_MAX_PACKET);
    }
    EXPECT_LE(rx.packets.size(), 2u);
    EXPECT_GT(link_decoder_drop_count(&rx.decoder), 1000u);
}

} // namespace
} // namespace tdx
