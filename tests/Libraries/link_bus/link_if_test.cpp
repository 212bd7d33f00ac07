#include "Libraries/base/os.h"
#include "Libraries/link_bus/link_bus.h"
#include "Libraries/link_bus/tnet_packet.h"
#include "SourceHost/api_lib/comf.h"
#include "SourceHost/api_lib/loop_port.h"
#include "tests/Libraries/link_bus/link_test_util.h"

#include <gtest/gtest.h>

#include <cerrno>

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
        ASSERT_EQ(link_if_open(0, &loop_serial_port, "loop:link-if-test"), 0);
    }
    void TearDown() override {
        link_if_close(0);
        link_if_set_receiver(0, nullptr, nullptr);
        comf_loop_destroy(mLoop);
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

// A port that moves at most `chunk` bytes a call and fails every `period`-th call with `error`, as a port
// does under signals (EINTR), with full buffers (EAGAIN) or after a glitch (EIO).
struct ChoppyPort {
    static inline Bytes wire;     // what the link wrote
    static inline Bytes incoming; // what the port hands the link
    static inline int chunk = 1;
    static inline int period = 0;
    static inline int error = 0;
    static inline int calls = 0;

    static int fails() {
        if (period > 0 && ++calls % period == 0) {
            errno = error;
            return -1;
        }
        return 0;
    }
    static int read(int, uint8_t* buf, int max) {
        if (fails() != 0) {
            return -1;
        }
        const int n = std::min({max, chunk, static_cast<int>(incoming.size())});
        std::copy_n(incoming.begin(), n, buf);
        incoming.erase(incoming.begin(), incoming.begin() + n);
        return n;
    }
    static int write(int, const uint8_t* buf, int len) {
        if (fails() != 0) {
            return -1;
        }
        const int n = std::min(len, chunk);
        wire.insert(wire.end(), buf, buf + n);
        return n;
    }
};

TEST(LinkOnAChoppyPort, ShortWritesInterruptionsAndBusyPortsLoseAndRepeatNoByte) {
    static const serial_port port{[](int, const char*) { return 0; }, ChoppyPort::read, ChoppyPort::write,
                                  [](int) {}, [](int) { return true; }};
    struct Case {
        int chunk;
        int period;
        int error;
    };
    for (const Case c : {Case{1, 0, 0}, Case{3, 2, EINTR}, Case{5, 3, EAGAIN}, Case{64, 4, EIO}}) {
        SCOPED_TRACE(testing::Message() << "chunk " << c.chunk << " errno " << c.error);
        ChoppyPort::wire.clear();
        ChoppyPort::chunk = c.chunk;
        ChoppyPort::period = c.period;
        ChoppyPort::error = c.error;
        ChoppyPort::calls = 0;
        const Bytes poll = encode(POLL);
        const Bytes nop = encode(NOP);
        ChoppyPort::incoming = poll;
        ChoppyPort::incoming.insert(ChoppyPort::incoming.end(), nop.begin(), nop.end());
        Collector received;
        link_if_set_receiver(0, &Collector::onPacket, &received);
        ASSERT_EQ(link_if_open(0, &port, "choppy"), 0);
        ASSERT_EQ(link_if_send(0, NOP.data(), static_cast<uint16_t>(NOP.size())), 0);
        ASSERT_EQ(link_if_send(0, POLL.data(), static_cast<uint16_t>(POLL.size())), 0);
        for (int pass = 0; pass < 200 && (link_if_tx_pending(0) > 0 || !ChoppyPort::incoming.empty());
             ++pass) {
            link_task();
        }
        Bytes sent = nop;
        sent.insert(sent.end(), poll.begin(), poll.end());
        EXPECT_EQ(ChoppyPort::wire, sent);
        EXPECT_EQ(received.packets, (std::vector<Bytes>{POLL, NOP}));
        link_if_close(0);
        link_if_set_receiver(0, nullptr, nullptr);
    }
}

TEST_F(LinkInterfaceTest, BadPacketsAndBadInterfacesAreRefused) {
    TraceCapture trace;
    EXPECT_EQ(link_if_send(0, POLL.data(), 4), -1);
    EXPECT_EQ(link_if_send(0, nullptr, 5), -1);
    EXPECT_EQ(link_if_send(TNET_INTERFACES, POLL.data(), 5), -1);
    EXPECT_EQ(link_if_send(-1, POLL.data(), 5), -1);
    EXPECT_EQ(link_if_tx_pending(0), 0);
    EXPECT_TRUE(trace.contains("packet of 4 bytes not sent")) << trace.str();
    EXPECT_EQ(link_if_open(TNET_INTERFACES, &loop_serial_port, "loop:link-if-test"), -1);
    EXPECT_EQ(link_if_open(0, &loop_serial_port, ""), -1);
    EXPECT_EQ(link_if_open(0, &loop_serial_port, nullptr), -1);
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

} // namespace
} // namespace tdx
