// How long the display takes to send a 64 KiB firmware image into the simulated control unit's bootloader
// over a line paced at 57600 baud, on the fake clock, against the line time of the bytes the image needs
// (every chunk framed as the DATALINK packet that carries it: the bound that only sending fewer bytes could
// beat). The figures are counters in fake milliseconds; the wall time of a run means nothing here.
#include "Libraries/base/dbg.h"
#include "Libraries/link_bus/link_bus.h"
#include "Libraries/link_bus/tnet_packet.h"
#include "support/update_loop.h"

#include <benchmark/benchmark.h>

#include <algorithm>

namespace tdx {
namespace {

constexpr uint32_t UNIT = 0x000316;
constexpr uint32_t IMAGE = 64 * 1024;
constexpr double BYTES_PER_MS = 57600.0 / 10 / 1000;

// Line time of the image's chunks, each in the frame of the packet that carries it.
double boundMs(const std::vector<uint8_t>& image, uint32_t display) {
    uint64_t bytes = 0;
    for (uint32_t offset = 0; offset < image.size(); offset += BL_MAX_CHUNK) {
        const uint32_t length =
            std::min<uint32_t>(BL_MAX_CHUNK, static_cast<uint32_t>(image.size()) - offset);
        uint8_t packet[TNET_MAX_PACKET_SIZE] = {};
        tnet_put_header(packet, display, TNET_CMD_DATALINK, TNET_CTL_DIR);
        uint8_t* request = packet + TNET_HEADER_SIZE + TNET_DATALINK_HEADER_SIZE;
        request[0] = BL_CMD_UPGRADE_DATA;
        put_le32(request + BL_HEADER_SIZE, offset);
        put_le16(request + BL_HEADER_SIZE + 4, static_cast<uint16_t>(length));
        std::copy_n(image.begin() + offset, length, request + BL_HEADER_SIZE + 6);
        const auto size = static_cast<uint16_t>(request + BL_HEADER_SIZE + 6 + length - packet);
        uint8_t frame[LINK_MAX_FRAME];
        bytes += static_cast<uint64_t>(link_encode(packet, size, frame, sizeof frame));
    }
    return static_cast<double>(bytes) / BYTES_PER_MS;
}

void BM_UpdateControlUnit64KiB(benchmark::State& state) {
    dbg_set_enabled(false);
    for (auto _ : state) {
        test::UpdateLoop loop(sim::SimConfig{});
        test::ImageOwner owner(IMAGE);
        BootloaderService service(UNIT, owner);
        loop.setPump([&] { service.task(); });
        if (!loop.connect()) {
            state.SkipWithError("no session");
            break;
        }
        service.start();
        loop.runUntil([&] { return !owner.events.empty(); }, 3000, 1);
        const uint64_t started = timer();
        service.upgrade(0);
        uint64_t firstChunk = 0;
        uint64_t carried = 0;
        uint64_t done = 0;
        loop.runUntil(
            [&] {
                if (firstChunk == 0 && !owner.events.empty() && owner.events.back() == BCE_DOWNLOAD) {
                    firstChunk = timer();
                    carried = loop.wire().carried();
                }
                if (done == 0 && !owner.events.empty() && owner.events.back() == BCE_UPGRADED) {
                    done = timer();
                    carried = loop.wire().carried() - carried;
                }
                return owner.ended();
            },
            120000, 1);
        if (owner.events.back() != BCE_FINISHED || loop.sim().bootloader().image() != owner.image) {
            state.SkipWithError("the update did not finish");
            break;
        }
        const double transfer = static_cast<double>(done - firstChunk);
        const double bound = boundMs(owner.image, tnet_get_address());
        state.counters["update_ms"] = static_cast<double>(timer() - started);
        state.counters["transfer_ms"] = transfer;
        state.counters["bound_ms"] = bound;
        state.counters["per_bound"] = transfer / bound;
        // What the transfer spent beyond the bound: the line carrying other bytes (mostly the device's
        // answer to each chunk, which stop-and-wait needs before the next one goes), and the line idle
        // (each side's turnaround).
        const double line = static_cast<double>(carried) / BYTES_PER_MS;
        state.counters["line_ms"] = line;
        state.counters["other_bytes_ms"] = line - bound;
        state.counters["idle_ms"] = transfer - line;
    }
    dbg_set_enabled(true);
}
BENCHMARK(BM_UpdateControlUnit64KiB)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tdx

BENCHMARK_MAIN();
