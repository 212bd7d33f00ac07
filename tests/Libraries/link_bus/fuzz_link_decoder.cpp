// Any byte stream through the frame decoder. Every delivered packet must have a valid length, must frame
// again into bytes that decode to the same packet, and must dissect without harm. The libFuzzer target
// (link_fuzz_main.cpp) and the corpus replay in test_link_bus share it.
#include "tests/Libraries/link_bus/link_fuzz.h"

#include "Libraries/base/dbg.h"
#include "Libraries/link_bus/dissector.h"
#include "Libraries/link_bus/link_bus.h"

#include <cstring>

namespace {

struct Check {
    tdx::link_decoder again;
    const uint8_t* expected;
    uint16_t expectedLen;
    int matches;
};

void onAgain(const uint8_t* pkt, uint16_t len, void* user) {
    auto* check = static_cast<Check*>(user);
    if (len == check->expectedLen && std::memcmp(pkt, check->expected, len) == 0) {
        ++check->matches;
    }
}

void onPacket(const uint8_t* pkt, uint16_t len, void* user) {
    bool& kept = *static_cast<bool*>(user);
    if (len < tdx::LINK_MIN_PACKET || len > tdx::LINK_MAX_PACKET) {
        kept = false;
        return;
    }
    (void)tdx::tnet_dissect_line(pkt, len, false);
    uint8_t frame[tdx::LINK_MAX_FRAME];
    const int n = tdx::link_encode(pkt, len, frame, sizeof(frame));
    if (n < 0) {
        kept = false;
        return;
    }
    Check check{};
    check.expected = pkt;
    check.expectedLen = len;
    tdx::link_decoder_init(&check.again, onAgain, &check);
    tdx::link_feed_buffer(&check.again, frame, static_cast<size_t>(n));
    if (check.matches != 1) {
        kept = false;
    }
}

} // namespace

bool tdx::test::linkFuzzOne(const uint8_t* data, size_t size) {
    const bool traced = dbg_is_enabled();
    dbg_set_enabled(false);
    bool kept = true;
    tdx::link_decoder decoder;
    tdx::link_decoder_init(&decoder, onPacket, &kept);
    tdx::link_feed_buffer(&decoder, data, size);
    // The same bytes taken as one packet exercise the dissector's payload decoding directly.
    (void)tdx::tnet_dissect_line(data, static_cast<uint16_t>(size > 0xFFFF ? 0xFFFF : size), true);
    dbg_set_enabled(traced);
    return kept;
}
