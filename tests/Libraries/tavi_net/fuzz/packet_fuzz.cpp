#include "Libraries/tavi_net/fuzz/packet_fuzz.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/os.h"
#include "Libraries/link_bus/link_bus.h"
#include "Libraries/link_bus/tnet_packet.h"
#include "Libraries/tavi_net/bl_client.h"
#include "Libraries/tavi_net/bl_service.h"
#include "Libraries/tavi_net/tnet.h"
#include "SourceHost/api_lib/loop_port.h"
#include "tools/simcu/sim_model.h"

#include <algorithm>
#include <cstring>

namespace tdx::test {

namespace {

constexpr uint32_t DISPLAY = 0x010410;

comf_loop* setUp() {
    static comf_loop* loop = nullptr;
    if (loop == nullptr) {
        os_init();
        loop = comf_loop_create("fuzz");
        comf_loop_set_echo(loop, false);
    }
    return loop;
}

void master(comf_loop* loop, uint8_t cmd, std::initializer_list<uint8_t> payload) {
    uint8_t packet[16];
    tnet_put_header(packet, DISPLAY, cmd, 0);
    std::copy(payload.begin(), payload.end(), packet + TNET_HEADER_SIZE);
    feedPacket(loop, packet, TNET_HEADER_SIZE + payload.size());
}

int ignoreEvents(bl_client*, bl_cl_event, void*) {
    return 0;
}

} // namespace

bool feedPacket(comf_loop* loop, const uint8_t* packet, size_t size) {
    uint8_t frame[LINK_MAX_FRAME];
    const int length = link_encode(packet, static_cast<uint16_t>(size), frame, sizeof frame);
    if (length > 0) {
        comf_loop_write(loop, frame, length);
    }
    tnet_task();
    // Whatever came in, what goes out is a client's packet with a payload of the right layout.
    bool wellFormed = true;
    link_decoder replies;
    link_decoder_init(
        &replies,
        [](const uint8_t* reply, uint16_t len, void* user) {
            const bool fromClient = reply[TNET_OFS_CONTROL] & TNET_CTL_DIR;
            const bool reserved = reply[TNET_OFS_CONTROL] & TNET_CTL_RESERVED;
            const bool layout = tnet_payload_check(reply[TNET_OFS_COMMAND], reply + TNET_HEADER_SIZE,
                                                   static_cast<uint16_t>(len - TNET_HEADER_SIZE), false) == 0;
            *static_cast<bool*>(user) &= fromClient && !reserved && layout;
        },
        &wellFormed);
    uint8_t sent[1024];
    for (int n; (n = comf_loop_read(loop, sent, sizeof sent)) > 0;) {
        link_feed_buffer(&replies, sent, static_cast<size_t>(n));
    }
    return wellFormed;
}

bool packetFuzzOne(const uint8_t* data, size_t size) {
    const bool traced = dbg_is_enabled();
    dbg_set_enabled(false);
    comf_loop* loop = setUp();
    bool kept = true;

    // The client's receive path in each of its states.
    for (int state = 0; state < 3; ++state) {
        static const tnet_client_handler handler{};
        tnet_init(&handler);
        tnet_set_serial_port(&loop_serial_port);
        tnet_init_interface_bus(0, "loop:fuzz", 1, 0);
        tnet_start();
        bl_start_service();
        if (state >= 1) {
            master(loop, TNET_CMD_CONNECT, {0x16, 0x03, 0x00, 0x00});
        }
        if (state == 2) {
            master(loop, TNET_CMD_SESSION_OPEN, {1});
        }
        const size_t length = std::min<size_t>(size, LINK_MAX_PACKET);
        if (length >= LINK_MIN_PACKET) {
            kept &= feedPacket(loop, data, length);
        }
        tnet_stop();
    }

    // Payload checks in both directions and the value decoder.
    if (size >= 1) {
        tnet_payload_check(data[0], data + 1, static_cast<uint16_t>(std::min<size_t>(size - 1, 0xFFFF)),
                           true);
        tnet_payload_check(data[0], data + 1, static_cast<uint16_t>(std::min<size_t>(size - 1, 0xFFFF)),
                           false);
        sim::sim_decode_publish(data + 1, size - 1);
    }

    // Both bootloader roles take the bytes as a datagram.
    uint8_t buffer[TNET_DATALINK_MTU];
    const uint32_t datagram = static_cast<uint32_t>(std::min<size_t>(size, sizeof buffer));
    if (datagram > 0) {
        std::memcpy(buffer, data, datagram);
    }
    const int answer = bl_target_answer(buffer, datagram);
    kept &= answer >= 0 && answer <= static_cast<int>(TNET_DATALINK_MTU);
    for (uint8_t start = 0; start < 2; ++start) {
        bl_client client;
        bl_client_init(&client, ignoreEvents, 0x020304, 500);
        if (start == 0) {
            bl_client_connect(&client);
        } else {
            bl_client_run_upgrade(&client, 1);
        }
        if (bl_client_io_task(&client, buffer) > 0 && datagram >= BL_HEADER_SIZE) {
            // Let the bytes answer the request just made (its command and sequence number), so the reply
            // parser past the staleness check gets exercised too.
            uint8_t reply[TNET_DATALINK_MTU];
            std::memcpy(reply, data, datagram);
            reply[0] = static_cast<uint8_t>(buffer[0] | BL_REPLY_FLAG);
            reply[2] = buffer[2];
            reply[3] = buffer[3];
            bl_client_io_up(&client, reply, datagram);
        }
    }
    dbg_set_enabled(traced);
    return kept;
}

} // namespace tdx::test
