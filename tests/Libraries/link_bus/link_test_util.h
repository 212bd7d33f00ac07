// Helpers shared by the link-layer tests: collecting decoded packets and captured trace lines.
#pragma once

#include "Libraries/base/dbg.h"
#include "Libraries/link_bus/link_bus.h"

#include <cstdint>
#include <string>
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

// Captures the trace output while alive.
class TraceCapture {
public:
    TraceCapture() {
        text().clear();
        dbg_set_output(&TraceCapture::write);
    }
    ~TraceCapture() { dbg_set_output(nullptr); }
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;

    const std::string& str() const { return text(); }
    bool contains(const std::string& part) const { return text().find(part) != std::string::npos; }
    void clear() { text().clear(); }

private:
    static std::string& text() {
        static std::string captured;
        return captured;
    }
    static void write(const char* data, size_t length) { text().append(data, length); }
};

} // namespace tdx::test
