#include "Libraries/link_bus/dissector.h"
#include "Libraries/link_bus/tnet_packet.h"
#include "tests/support/trace_capture.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <vector>

namespace tdx {
namespace {

using test::TraceCapture;
using Bytes = std::vector<uint8_t>;

std::string line(const Bytes& pkt, bool tx = false) {
    return tnet_dissect_line(pkt.data(), static_cast<uint16_t>(pkt.size()), tx);
}

Bytes packet(uint8_t command, uint8_t control, const Bytes& payload = {}, uint32_t address = 0x010410) {
    Bytes pkt(TNET_HEADER_SIZE + payload.size());
    tnet_put_header(pkt.data(), address, command, control);
    std::copy(payload.begin(), payload.end(), pkt.begin() + TNET_HEADER_SIZE);
    return pkt;
}

TEST(Dissector, NamesEveryCommandAndItsControlBits) {
    struct Case {
        Bytes pkt;
        bool tx;
        const char* expected;
    };
    const Case cases[] = {
        {packet(TNET_CMD_POLL, 0), false, "RX 010410 POLL seq=0 ack=0 len=0"},
        {packet(TNET_CMD_NOP, TNET_CTL_DIR | TNET_CTL_ACK | TNET_CTL_ACKSEQ), true,
         "TX 010410 NOP seq=0 ack=1 len=0 ackseq=1 client"},
        {packet(TNET_CMD_SEARCH, 0, {}, TNET_BROADCAST), false, "RX FFFFFF SEARCH seq=0 ack=0 len=0"},
        {packet(TNET_CMD_SEARCH_REPLY, TNET_CTL_DIR,
                {'T', 'D', 'X', '4', '1', 3, 'G', 'U', 'I', '4', '1', 12, 0x78, 0x56, 0x34, 0x12}),
         true, "TX 010410 SEARCH_REPLY seq=0 ack=0 len=16 client hw TDX4103 sw GUI4112 sn 0x12345678"},
        {packet(TNET_CMD_CONNECT, 0, {0x16, 0x03, 0x00, 0x00}), false,
         "RX 010410 CONNECT seq=0 ack=0 len=4 owner 000316"},
        {packet(TNET_CMD_DISCONNECT, 0), false, "RX 010410 DISCONNECT seq=0 ack=0 len=0"},
        {packet(TNET_CMD_SESSION_OPEN, 0, {7}), false, "RX 010410 SESSION_OPEN seq=0 ack=0 len=1 session 7"},
        {packet(TNET_CMD_NACK, TNET_CTL_DIR, {TNET_CMD_POLL, TNET_NACK_NO_SESSION}), true,
         "TX 010410 NACK seq=0 ack=0 len=2 client POLL reason 2 (no session)"},
        {packet(TNET_CMD_NACK, TNET_CTL_DIR, {0x0B, 9}), true,
         "TX 010410 NACK seq=0 ack=0 len=2 client UNKNOWN(11) reason 9 (UNKNOWN)"},
        {packet(TNET_CMD_DATALINK, TNET_CTL_SEQ, {0x16, 0x03, 0x00, 1, 1, 0x01, 0x00, 0x05, 0x00}), false,
         "RX 010410 DATALINK seq=1 ack=0 len=9 peer 000316 port 1->1 data 4"},
        {packet(TNET_CMD_PUBLISH, TNET_CTL_DIR | TNET_CTL_SEQ,
                {0x10, 0x04, 0x01, 0x00, 0xE3, 0x80, 15, 0, 0, 0, 0, 2, 0, 'H', 'M'}),
         true, "TX 010410 PUBLISH seq=1 ack=0 len=15 client oid 010410:00 vid 80E3 type 15"},
        {packet(TNET_CMD_SUBSCRIBE, TNET_CTL_DIR, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), true,
         "TX 010410 SUBSCRIBE seq=0 ack=0 len=6 client oid FFFFFF:FF vid FFFF"},
        {packet(TNET_CMD_SYNCHRONIZED, 0, {0x16, 0x03, 0x00, 0x02, 0x2F, 0x00}), false,
         "RX 010410 SYNCHRONIZED seq=0 ack=0 len=6 oid 000316:02 vid 002F"},
        {packet(TNET_CMD_SYNC_TIME, 0, {0x00, 0x00, 0x00, 0x30}), false,
         "RX 010410 SYNC_TIME seq=0 ack=0 len=4 time 805306368"},
        {packet(TNET_CMD_OBJECT_INFO, 0, {0xFE, 0xFF, 0xFF, 0xFE, 1, 0, 0, 0}), false,
         "RX 010410 OBJECT_INFO seq=0 ack=0 len=8 oid FFFFFE:FE type 1 subtype 0"},
        {packet(TNET_CMD_OBJECT_REMOVE, 0, {0x16, 0x03, 0x00, 0x05}), false,
         "RX 010410 OBJECT_REMOVE seq=0 ack=0 len=4 oid 000316:05"},
        {packet(0x16, 0, {1, 2}), false, "RX 010410 UNKNOWN(22) seq=0 ack=0 len=2"},
        {packet(0xFF, 0, {1, 2}), false, "RX 010410 UNKNOWN(255) seq=0 ack=0 len=2"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(line(c.pkt, c.tx), c.expected);
    }
}

TEST(Dissector, PayloadsOfTheWrongSizeAreCalledMalformed) {
    const Bytes cases[] = {
        packet(TNET_CMD_POLL, 0, {1}),
        packet(TNET_CMD_SEARCH_REPLY, 0, Bytes(15)),
        packet(TNET_CMD_CONNECT, 0, {1, 2, 3}),
        packet(TNET_CMD_SESSION_OPEN, 0, {}),
        packet(TNET_CMD_NACK, 0, {1}),
        packet(TNET_CMD_DATALINK, 0, {1, 2, 3, 4}),
        packet(TNET_CMD_DATALINK, 0, Bytes(TNET_MAX_COMMAND_SIZE + 1)),
        packet(TNET_CMD_PUBLISH, 0, Bytes(10)),
        packet(TNET_CMD_SUBSCRIBE, 0, Bytes(7)),
        packet(TNET_CMD_SYNC_TIME, 0, Bytes(3)),
        packet(TNET_CMD_OBJECT_INFO, 0, Bytes(4)),
        packet(TNET_CMD_OBJECT_REMOVE, 0, Bytes(5)),
    };
    for (const Bytes& pkt : cases) {
        const std::string text = line(pkt);
        EXPECT_EQ(text.substr(text.size() - 10), " malformed") << text;
    }
}

TEST(Dissector, PacketsShorterThanAHeaderAreReportedNotRead) {
    const Bytes shortPacket = {0x10, 0x04, 0x01, 0x01};
    EXPECT_EQ(line(shortPacket), "RX malformed packet len=4");
    EXPECT_EQ(tnet_dissect_line(nullptr, 5, true), "TX malformed packet len=0");
}

} // namespace
} // namespace tdx
