// The simulated line between the converter and the display: its byte time and its receive buffer.
#include "Libraries/base/os.h"
#include "tests/support/trace_capture.h"
#include "tools/simcu/byte_stream.h"

#include <gtest/gtest.h>

#include <vector>

namespace tdx::test {
namespace {

// The display's end as a plain buffer: what it "sent" waits to be read, what reaches it is kept.
class BufferStream : public sim::IByteStream {
public:
    int read(uint8_t* buf, int max) override {
        const int n = std::min<int>(max, static_cast<int>(sent.size() - readAt));
        std::copy_n(sent.begin() + static_cast<std::ptrdiff_t>(readAt), n, buf);
        readAt += static_cast<size_t>(n);
        return n;
    }
    int write(const uint8_t* buf, int len) override {
        arrived.insert(arrived.end(), buf, buf + len);
        return len;
    }
    void setEcho(bool) override {}

    std::vector<uint8_t> sent;
    size_t readAt = 0;
    std::vector<uint8_t> arrived;
};

TEST(Wire, ASecondOfBytesTakesExactlyASecondAt57600Baud) {
    BufferStream display;
    sim::WireStream wire(display);
    const std::vector<uint8_t> second(5760, 0x55);
    wire.write(second.data(), static_cast<int>(second.size()));
    EXPECT_EQ(wire.pendingMs(), 1000u);
    os_clock_advance(999);
    uint8_t none[1];
    wire.read(none, 1);
    EXPECT_EQ(display.arrived.size(), 5754u) << "173.6 us a byte, not 173";
    os_clock_advance(1);
    wire.read(none, 1);
    EXPECT_EQ(display.arrived.size(), 5760u);
    EXPECT_EQ(wire.pendingMs(), 0u);
}

TEST(Wire, ABurstFromTheDisplayFillsOnlyTheReceiveBufferAndDelaysTheMasterByItsLineTimeAtMost) {
    TraceCapture trace;
    BufferStream display;
    display.sent.assign(100000, 0xA5);
    sim::WireStream wire(display);
    uint8_t buffer[64];
    EXPECT_EQ(wire.read(buffer, sizeof buffer), 0);
    EXPECT_TRUE(wire.receiving());
    EXPECT_EQ(wire.overrun(), 100000u - LINK_MAX_FRAME);
    EXPECT_NE(traceText().find("receive buffer full"), std::string::npos);

    // The master's next frame crosses behind the buffer's bytes, not behind 100 kB.
    const std::vector<uint8_t> poll(9, 0x11);
    wire.write(poll.data(), static_cast<int>(poll.size()));
    EXPECT_EQ(wire.pendingMs(), (static_cast<uint32_t>(LINK_MAX_FRAME) + 9) * 10 * 1000 / 57600 + 1);
    size_t taken = 0;
    for (int ms = 0; ms < 200; ++ms) {
        os_clock_advance(1);
        int n = 0;
        while ((n = wire.read(buffer, sizeof buffer)) > 0) {
            taken += static_cast<size_t>(n);
        }
    }
    EXPECT_EQ(taken, static_cast<size_t>(LINK_MAX_FRAME));
    EXPECT_EQ(display.arrived.size(), poll.size());
    EXPECT_FALSE(wire.receiving());
}

} // namespace
} // namespace tdx::test
