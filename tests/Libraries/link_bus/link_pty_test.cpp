// The link layer over the real serial driver on a pseudo-terminal: a POLL from the bus is answered in the
// same pass, and the answer is on the wire as one frame.
#include "Libraries/link_bus/link_bus.h"
#include "Libraries/link_bus/tnet_packet.h"
#include "SourceHost/api_lib/comf.h"
#include "tests/SourceHost/api_lib/comf_test_util.h"

#include <gtest/gtest.h>

#include <vector>

namespace tdx {
namespace {

using test::keepTrying;
using test::Pty;

struct Answerer {
    std::vector<std::vector<uint8_t>> heard;
    static void onPacket(const uint8_t* pkt, uint16_t len, void* user) {
        static_cast<Answerer*>(user)->heard.emplace_back(pkt, pkt + len);
        if (pkt[TNET_OFS_COMMAND] == TNET_CMD_POLL) {
            uint8_t nop[TNET_HEADER_SIZE];
            tnet_put_header(nop, get_le24(pkt), TNET_CMD_NOP, TNET_CTL_DIR);
            EXPECT_EQ(link_if_send(0, nop, sizeof(nop)), 0);
        }
    }
};

TEST(LinkOnPseudoTerminal, APollFromTheBusIsAnsweredWithOneFrame) {
    Pty pty;
    ASSERT_TRUE(pty.ok());
    Answerer answerer;
    link_if_set_receiver(0, &Answerer::onPacket, &answerer);
    ASSERT_EQ(link_if_open(0, &comf_serial_port, pty.slave().c_str()), 0);
    ASSERT_TRUE(link_if_is_connected(0));

    // Half a frame of an earlier poll, then the poll itself: the decoder resynchronises on START.
    pty.send(std::string("\xEF\xE5\x1C\x9B", 4));
    pty.send(std::string("\xC0\xEF\xE5\x1C\x9B\xED\x31\x90\xC1", 9));
    ASSERT_TRUE(keepTrying([&] {
        link_task();
        return !answerer.heard.empty();
    }));
    EXPECT_EQ(answerer.heard[0], (std::vector<uint8_t>{0x10, 0x04, 0x01, TNET_CMD_POLL, 0x00}));
    EXPECT_EQ(link_if_tx_pending(0), 0);
    EXPECT_EQ(pty.receive(9), std::string("\xC0\xEF\xE5\x1C\x9A\x6D\x31\xA0\xC1", 9));

    link_if_close(0);
    link_if_set_receiver(0, nullptr, nullptr);
}

} // namespace
} // namespace tdx
