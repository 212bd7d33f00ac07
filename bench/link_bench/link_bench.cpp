// Link-layer figures for the record: frame encode and decode throughput, and how soon a reply frame is ready
// after the last byte of a POLL, at link level and through the display's client (the line carries 5760 bytes
// per second, so a reply slot is milliseconds).
#include "Libraries/base/dbg.h"
#include "Libraries/base/os.h"
#include "Libraries/link_bus/link_bus.h"
#include "Libraries/link_bus/tnet_packet.h"
#include "Libraries/tavi_net/tnet.h"
#include "SourceHost/api_lib/comf.h"
#include "SourceHost/api_lib/loop_port.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <initializer_list>
#include <random>
#include <vector>

namespace tdx {
namespace {

std::vector<uint8_t> randomPacket(size_t len, uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> packet(len);
    for (auto& byte : packet) {
        byte = static_cast<uint8_t>(rng());
    }
    return packet;
}

void BM_LinkEncode(benchmark::State& state) {
    const auto packet = randomPacket(static_cast<size_t>(state.range(0)), 1);
    uint8_t frame[LINK_MAX_FRAME];
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            link_encode(packet.data(), static_cast<uint16_t>(packet.size()), frame, sizeof(frame)));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_LinkEncode)->Arg(LINK_MIN_PACKET)->Arg(64)->Arg(TNET_MAX_PACKET_SIZE);

void countPacket(const uint8_t*, uint16_t len, void* user) {
    *static_cast<uint64_t*>(user) += len;
}

void BM_LinkDecode(benchmark::State& state) {
    // A stream of frames as it comes off the wire; throughput counts wire bytes.
    std::vector<uint8_t> stream;
    for (uint32_t i = 0; i < 64; ++i) {
        const auto packet = randomPacket(static_cast<size_t>(state.range(0)), i);
        uint8_t frame[LINK_MAX_FRAME];
        const int n = link_encode(packet.data(), static_cast<uint16_t>(packet.size()), frame, sizeof(frame));
        stream.insert(stream.end(), frame, frame + n);
    }
    uint64_t delivered = 0;
    link_decoder decoder;
    link_decoder_init(&decoder, countPacket, &delivered);
    for (auto _ : state) {
        link_feed_buffer(&decoder, stream.data(), stream.size());
        benchmark::ClobberMemory();
    }
    if (link_decoder_drop_count(&decoder) != 0) {
        state.SkipWithError("frames dropped");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * stream.size()));
}
BENCHMARK(BM_LinkDecode)->Arg(LINK_MIN_PACKET)->Arg(64)->Arg(TNET_MAX_PACKET_SIZE);

struct Responder {
    uint8_t reply[LINK_MAX_FRAME];
    int replyLen = 0;
};

// The client's whole work for a POLL at link level: check the frame, then frame a NOP carrying the ACK.
void answerPoll(const uint8_t* pkt, uint16_t len, void* user) {
    auto* responder = static_cast<Responder*>(user);
    if (len != TNET_HEADER_SIZE || pkt[TNET_OFS_COMMAND] != TNET_CMD_POLL) {
        return;
    }
    uint8_t nop[TNET_HEADER_SIZE];
    tnet_put_header(nop, get_le24(pkt), TNET_CMD_NOP, TNET_CTL_DIR | TNET_CTL_ACK);
    responder->replyLen = link_encode(nop, sizeof(nop), responder->reply, sizeof(responder->reply));
}

void BM_PollToReplyFrameReady(benchmark::State& state) {
    const uint8_t poll[] = {0x10, 0x04, 0x01, TNET_CMD_POLL, 0x00};
    uint8_t frame[LINK_MAX_FRAME];
    const int frameLen = link_encode(poll, sizeof(poll), frame, sizeof(frame));
    Responder responder;
    link_decoder decoder;
    link_decoder_init(&decoder, answerPoll, &responder);
    for (auto _ : state) {
        link_feed_buffer(&decoder, frame, static_cast<size_t>(frameLen - 1));
        responder.replyLen = 0;
        const auto start = std::chrono::steady_clock::now();
        link_feed(&decoder, frame[frameLen - 1]);
        const auto end = std::chrono::steady_clock::now();
        if (responder.replyLen <= 0) {
            state.SkipWithError("no reply");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
}
BENCHMARK(BM_PollToReplyFrameReady)->UseManualTime();

// The same through a bus interface: one link_task pass reads the POLL from the port, the receiver queues the
// NOP, and the pass writes the reply frame into the port.
void queueNop(const uint8_t* pkt, uint16_t len, void*) {
    if (len == TNET_HEADER_SIZE && pkt[TNET_OFS_COMMAND] == TNET_CMD_POLL) {
        uint8_t nop[TNET_HEADER_SIZE];
        tnet_put_header(nop, get_le24(pkt), TNET_CMD_NOP, TNET_CTL_DIR | TNET_CTL_ACK);
        link_if_send(0, nop, sizeof(nop));
    }
}

void BM_PollToReplyThroughInterface(benchmark::State& state) {
    dbg_set_enabled(false);
    comf_loop* loop = comf_loop_create("link-bench");
    comf_loop_set_echo(loop, false);
    link_if_set_receiver(0, queueNop, nullptr);
    link_if_open(0, &loop_serial_port, "loop:link-bench");
    const uint8_t poll[] = {0x10, 0x04, 0x01, TNET_CMD_POLL, 0x00};
    uint8_t frame[LINK_MAX_FRAME];
    const int frameLen = link_encode(poll, sizeof(poll), frame, sizeof(frame));
    uint8_t wire[LINK_MAX_FRAME];
    for (auto _ : state) {
        state.PauseTiming();
        comf_loop_write(loop, frame, frameLen);
        state.ResumeTiming();
        link_task();
        if (comf_loop_read(loop, wire, sizeof(wire)) <= 0) {
            state.SkipWithError("no reply");
            break;
        }
    }
    link_if_close(0);
    comf_loop_destroy(loop);
    dbg_set_enabled(true);
}
BENCHMARK(BM_PollToReplyThroughInterface);

// The display's own client in a session: the POLL frame lies in the port, one tnet_task pass takes it in,
// builds the NOP with its acknowledgement and writes the reply frame into the port.
void BM_PollToClientReply(benchmark::State& state) {
    dbg_set_enabled(false);
    os_init();
    comf_loop* loop = comf_loop_create("link-bench-client");
    comf_loop_set_echo(loop, false);
    static const tnet_client_handler none{};
    tnet_init(&none);
    tnet_set_serial_port(&loop_serial_port);
    tnet_init_interface_bus(0, "loop:link-bench-client", 1, 0);
    tnet_start();
    const uint32_t address = tnet_get_address();
    uint8_t wire[LINK_MAX_FRAME];
    auto masterSends = [&](uint8_t cmd, std::initializer_list<uint8_t> payload) {
        uint8_t pkt[TNET_HEADER_SIZE + 4];
        tnet_put_header(pkt, address, cmd, 0);
        std::copy(payload.begin(), payload.end(), pkt + TNET_HEADER_SIZE);
        uint8_t frame[LINK_MAX_FRAME];
        const int n =
            link_encode(pkt, static_cast<uint16_t>(TNET_HEADER_SIZE + payload.size()), frame, sizeof(frame));
        comf_loop_write(loop, frame, n);
        tnet_task();
        return comf_loop_read(loop, wire, sizeof(wire));
    };
    masterSends(TNET_CMD_CONNECT, {0x16, 0x03, 0x00, 0x00});
    masterSends(TNET_CMD_SESSION_OPEN, {1});
    if (tnet_get_state() != TNET_SESSION) {
        state.SkipWithError("no session");
    }
    uint8_t poll[TNET_HEADER_SIZE];
    tnet_put_header(poll, address, TNET_CMD_POLL, 0);
    uint8_t frame[LINK_MAX_FRAME];
    const int frameLen = link_encode(poll, sizeof(poll), frame, sizeof(frame));
    for (auto _ : state) {
        state.PauseTiming();
        comf_loop_write(loop, frame, frameLen);
        state.ResumeTiming();
        tnet_task();
        if (comf_loop_read(loop, wire, sizeof(wire)) <= 0) {
            state.SkipWithError("no reply");
            break;
        }
    }
    tnet_stop();
    comf_loop_destroy(loop);
    dbg_set_enabled(true);
}
BENCHMARK(BM_PollToClientReply);

} // namespace
} // namespace tdx
