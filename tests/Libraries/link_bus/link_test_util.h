// Helpers shared by the link-layer tests: encoding frames, collecting decoded packets; trace lines are caught
// by the shared TraceCapture.
#pragma once

#include "Libraries/link_bus/link_bus.h"
#include "tests/support/trace_capture.h"

#include <cstdint>
#include <vector>

namespace tdx::test {

using Bytes = std::vector<uint8_t>;

inline Bytes encode(const Bytes& packet) {
    Bytes frame(LINK_MAX_FRAME);
    const int n = link_encode(packet.data(), static_cast<uint16_t>(packet.size()), frame.data(),
                              static_cast<uint16_t>(frame.size()));
    frame.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return frame;
}

// A decoder that keeps every packet it delivers.
struct Collector {
    link_decoder decoder{};
    std::vector<Bytes> packets;

    Collector() { link_decoder_init(&decoder, &Collector::onPacket, this); }
    void feed(const Bytes& bytes) { link_feed_buffer(&decoder, bytes.data(), bytes.size()); }
    uint32_t drops(link_drop_reason reason) const { return decoder.drops[reason]; }

    static void onPacket(const uint8_t* pkt, uint16_t len, void* user) {
        static_cast<Collector*>(user)->packets.emplace_back(pkt, pkt + len);
    }
};

} // namespace tdx::test
