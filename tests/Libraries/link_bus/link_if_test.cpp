#include "Libraries/base/os.h"
#include "Libraries/link_bus/dissector.h"
#include "Libraries/link_bus/link_bus.h"
#include "Libraries/link_bus/tnet_packet.h"
#include "SourceHost/api_lib/comf.h"
#include "tests/Libraries/link_bus/link_test_util.h"

#include <gtest/gtest.h>

namespace tdx {
namespace {

using test::Bytes;
using test::Collector;
using test::encode;
using test::TraceCapture;

const Bytes POLL = {0x10, 0x04, 0x01, TNET_CMD_POLL, 0x00};
const Bytes NOP = {0x10, 0x04, 0x01, TNET_CMD_NOP, TNET_CTL_DIR};

// Interface 0 on an in-process converter; the test plays the control unit on the loop's far end.
class LinkInterfaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        mLoop = comf_loop_create("link-if-test");
        ASSERT_NE(mLoop, nullptr);
        link_if_set_receiver(0, &Collector::onPacket, &mReceived);
        ASSERT_EQ(link_if_open(0, "loop:link-if-test"), 0);
    }
    void TearDown() override {
        link_if_close(0);
        link_if_set_receiver(0, nullptr, nullptr);
        comf_loop_destroy(mLoop);
        tnet_dissect_enable(false);
    }

    // What the control unit hears, decoded.
    std::vector<Bytes> busPackets() {
        uint8_t buf[COMF_LOOP_CAPACITY];
        const int n = comf_loop_read(mLoop, buf, sizeof(buf));
        mBus.feed(Bytes(buf, buf + std::max(n, 0)));
        auto packets = std::move(mBus.packets);
        mBus.packets.clear();
        return packets;
    }
    Bytes busBytes(int max = COMF_LOOP_CAPACITY) {
        uint8_t buf[COMF_LOOP_CAPACITY];
        const int n = comf_loop_read(mLoop, buf, std::min(max, COMF_LOOP_CAPACITY));
        return Bytes(buf, buf + std::max(n, 0));
    }
    void masterSends(const Bytes& bytes) {
        ASSERT_EQ(comf_loop_write(mLoop, bytes.data(), static_cast<int>(bytes.size())),
                  static_cast<int>(bytes.size()));
    }

    comf_loop* mLoop = nullptr;
    Collector mReceived; // its decoder is unused: the interface delivers through onPacket
    Collector mBus;
};

TEST_F(LinkInterfaceTest, PacketsTravelBothWaysAndTheEchoComesBack) {
    masterSends(encode(POLL));
    link_task();
    ASSERT_EQ(mReceived.packets.size(), 1u);
    EXPECT_EQ(mReceived.packets[0], POLL);

    ASSERT_EQ(link_if_send(0, NOP.data(), static_cast<uint16_t>(NOP.size())), 0);
    EXPECT_GT(link_if_tx_pending(0), 0);
    link_task();
    EXPECT_EQ(link_if_tx_pending(0), 0);
    EXPECT_EQ(busBytes(), encode(NOP));

    // The converter's echo of our own NOP arrives at the next pass; the client filters it by the DIR bit.
    link_task();
    ASSERT_EQ(mReceived.packets.size(), 2u);
    EXPECT_EQ(mReceived.packets[1], NOP);
}

TEST_F(LinkInterfaceTest, WithoutEchoOnlyTheMasterIsHeard) {
    comf_loop_set_echo(mLoop, false);
    ASSERT_EQ(link_if_send(0, NOP.data(), static_cast<uint16_t>(NOP.size())), 0);
    link_task();
    link_task();
    EXPECT_TRUE(mReceived.packets.empty());
    EXPECT_EQ(busPackets().size(), 1u);
}

TEST_F(LinkInterfaceTest, AReplySentFromTheReceiverGoesOutInTheSamePass) {
    struct Replier {
        std::vector<Bytes> heard;
        static void onPacket(const uint8_t* pkt, uint16_t len, void* user) {
            static_cast<Replier*>(user)->heard.emplace_back(pkt, pkt + len);
            if (pkt[TNET_OFS_COMMAND] == TNET_CMD_POLL) {
                EXPECT_EQ(link_if_send(0, NOP.data(), static_cast<uint16_t>(NOP.size())), 0);
            }
        }
    } replier;
    link_if_set_receiver(0, &Replier::onPacket, &replier);
    masterSends(encode(POLL));
    link_task();
    EXPECT_EQ(busPackets(), std::vector<Bytes>{NOP});
}

TEST_F(LinkInterfaceTest, AFullTransmitBufferRefusesTheWholePacket) {
    const Bytes big(LINK_MAX_PACKET, 0xC1);
    const auto frameLen = static_cast<int>(encode(big).size());
    int queued = 0;
    while (link_if_send(0, big.data(), LINK_MAX_PACKET) == 0) {
        ++queued;
    }
    ASSERT_GE(queued, 1);
    EXPECT_EQ(link_if_tx_pending(0), queued * frameLen);
    EXPECT_GT(link_if_tx_pending(0) + frameLen, LINK_TX_BUFFER);
    link_task();
    EXPECT_EQ(link_if_send(0, POLL.data(), 5), 0);
    link_task();
    std::vector<Bytes> expected(queued, big);
    expected.push_back(POLL);
    EXPECT_EQ(busPackets(), expected);
}

TEST_F(LinkInterfaceTest, APortThatTakesLittleAtATimeGetsEveryByteInOrder) {
    // The control unit reads slowly, so the converter's buffer fills and takes only a little per pass.
    comf_loop_set_echo(mLoop, false);
    std::vector<Bytes> sent;
    Bytes wire;
    auto pass = [&](int readMax) {
        link_task();
        const Bytes chunk = busBytes(readMax);
        wire.insert(wire.end(), chunk.begin(), chunk.end());
    };
    for (int i = 0; i < 40; ++i) {
        Bytes packet = {0x10, 0x04, 0x01, TNET_CMD_PUBLISH, static_cast<uint8_t>(i & 1)};
        packet.insert(packet.end(), 200, static_cast<uint8_t>(0xBE + i));
        for (int tries = 0; link_if_send(0, packet.data(), static_cast<uint16_t>(packet.size())) != 0;
             ++tries) {
            ASSERT_LT(tries, 100);
            pass(100);
        }
        sent.push_back(packet);
    }
    for (int tries = 0; link_if_tx_pending(0) > 0; ++tries) {
        ASSERT_LT(tries, 100);
        pass(COMF_LOOP_CAPACITY);
    }
    pass(COMF_LOOP_CAPACITY);
    mBus.feed(wire);
    EXPECT_EQ(mBus.packets, sent);
    EXPECT_EQ(link_decoder_drop_count(&mBus.decoder), 0u);
}

TEST_F(LinkInterfaceTest, UnplugIsSurvivedAndTheLinkReturnsAfterTheRetryPeriod) {
    TraceCapture trace;
    comf_loop_set_plugged(mLoop, false);
    link_task();
    EXPECT_TRUE(link_if_is_open(0));
    EXPECT_FALSE(link_if_is_connected(0));
    EXPECT_TRUE(trace.contains("lost (unplugged)")) << trace.str();

    // Frames queued while the port is missing are stale by the time it returns.
    ASSERT_EQ(link_if_send(0, NOP.data(), 5), 0);
    link_task();
    EXPECT_EQ(link_if_tx_pending(0), 0);

    comf_loop_set_plugged(mLoop, true);
    os_clock_advance(COMF_RETRY_MS - 1);
    link_task();
    EXPECT_FALSE(link_if_is_connected(0));
    os_clock_advance(1);
    link_task();
    EXPECT_TRUE(link_if_is_connected(0));

    EXPECT_TRUE(busPackets().empty());
    masterSends(encode(POLL));
    link_task();
    ASSERT_EQ(mReceived.packets.size(), 1u);
    EXPECT_EQ(mReceived.packets[0], POLL);
    ASSERT_EQ(link_if_send(0, NOP.data(), 5), 0);
    link_task();
    EXPECT_EQ(busPackets(), std::vector<Bytes>{NOP});
}

TEST_F(LinkInterfaceTest, AConverterThatDisappearsAndIsRegisteredAgainIsReopened) {
    comf_loop_destroy(mLoop);
    mLoop = nullptr;
    link_task();
    EXPECT_FALSE(link_if_is_connected(0));
    mLoop = comf_loop_create("link-if-test");
    ASSERT_NE(mLoop, nullptr);
    os_clock_advance(COMF_RETRY_MS);
    link_task();
    EXPECT_TRUE(link_if_is_connected(0));
    masterSends(encode(POLL));
    link_task();
    EXPECT_EQ(mReceived.packets.size(), 1u);
}

TEST_F(LinkInterfaceTest, BadPacketsAndBadInterfacesAreRefused) {
    TraceCapture trace;
    EXPECT_EQ(link_if_send(0, POLL.data(), 4), -1);
    EXPECT_EQ(link_if_send(0, nullptr, 5), -1);
    EXPECT_EQ(link_if_send(TNET_INTERFACES, POLL.data(), 5), -1);
    EXPECT_EQ(link_if_send(-1, POLL.data(), 5), -1);
    EXPECT_EQ(link_if_tx_pending(0), 0);
    EXPECT_TRUE(trace.contains("packet of 4 bytes not sent")) << trace.str();
    EXPECT_EQ(link_if_open(TNET_INTERFACES, "loop:link-if-test"), -1);
    EXPECT_EQ(link_if_open(0, ""), -1);
    EXPECT_EQ(link_if_open(0, nullptr), -1);
    EXPECT_EQ(link_if_decoder(TNET_INTERFACES), nullptr);
    link_if_close(0);
    EXPECT_FALSE(link_if_is_open(0));
    EXPECT_EQ(link_if_send(0, POLL.data(), 5), -1);
}

TEST_F(LinkInterfaceTest, DamagedFramesOnTheBusAreCountedAndNeverDelivered) {
    Bytes damaged = encode(POLL);
    damaged[2] ^= 0x40;
    masterSends(damaged);
    masterSends({0x01, 0x02, 0x03});
    masterSends(encode(POLL));
    link_task();
    ASSERT_EQ(mReceived.packets.size(), 1u);
    const link_decoder* decoder = link_if_decoder(0);
    ASSERT_NE(decoder, nullptr);
    EXPECT_EQ(decoder->drops[LINK_DROP_CRC], 1u);
    EXPECT_EQ(decoder->drops[LINK_DROP_NOISE], 1u);
    EXPECT_EQ(decoder->packets, 1u);
}

TEST_F(LinkInterfaceTest, TheDissectorTracesEveryPacketInAndOutWhenEnabled) {
    TraceCapture trace;
    masterSends(encode(POLL));
    link_task();
    EXPECT_FALSE(trace.contains("POLL"));

    tnet_dissect_enable(true);
    masterSends(encode(POLL));
    link_task();
    ASSERT_EQ(link_if_send(0, NOP.data(), 5), 0);
    EXPECT_TRUE(trace.contains("RX 010410 POLL seq=0 ack=0 len=0")) << trace.str();
    EXPECT_TRUE(trace.contains("TX 010410 NOP seq=0 ack=0 len=0 client")) << trace.str();
}

} // namespace
} // namespace tdx
