// Link-bus framing and the RS-485 bus interfaces.
//
// Frame = START, escape(whiten(packet + CRC)), END. The CRC is CRC-16/MODBUS of the packet, low byte first,
// so that the CRC over packet + CRC leaves a zero residue. Whitening XORs body byte i with byte i of the PN9
// sequence (x^9 + x^5 + 1, seed 0x1FF); escaping sends a special byte b as ESC, b ^ 0x20.
//
// Receiver: START anywhere restarts the frame; RESET aborts it; END with fewer than LINK_MIN_BODY body bytes,
// a bad CRC or right after ESC drops it; a body longer than LINK_MAX_BODY drops it and hunts for the next
// START; ESC followed by anything but an escaped special byte drops it. Every drop is traced with its reason.
#pragma once

#include "Libraries/base/serial_port.h"
#include "Libraries/link_bus/tnet_config.h"

#include <cstddef>
#include <cstdint>

namespace tdx {

constexpr uint8_t LINK_START = 0xC0;
constexpr uint8_t LINK_END = 0xC1;
constexpr uint8_t LINK_ESC = 0xC2;
constexpr uint8_t LINK_RESET = 0xC3;
constexpr uint8_t LINK_ESC_XOR = 0x20;

constexpr uint16_t LINK_CRC_SIZE = 2;
constexpr uint16_t LINK_MIN_BODY = TNET_HEADER_SIZE + LINK_CRC_SIZE; // 7
// The largest packet either side builds, plus its CRC: a longer body can only be noise.
constexpr uint16_t LINK_MAX_BODY = TNET_MAX_PACKET_SIZE + LINK_CRC_SIZE; // 292
constexpr uint16_t LINK_MIN_PACKET = LINK_MIN_BODY - LINK_CRC_SIZE;      // 5
constexpr uint16_t LINK_MAX_PACKET = LINK_MAX_BODY - LINK_CRC_SIZE;      // 290
// Worst case: every body byte escaped.
constexpr uint16_t LINK_MAX_FRAME = 2 + 2 * LINK_MAX_BODY;

// Receives one good packet (body without its CRC). The bytes are valid during the call only.
using link_packet_cb = void (*)(const uint8_t* pkt, uint16_t len, void* user);

// Frames a packet of LINK_MIN_PACKET..LINK_MAX_PACKET bytes into out. Returns the frame length,
// -1 for a packet length out of range, -2 when the frame does not fit into max bytes (out is then
// unspecified).
int link_encode(const uint8_t* pkt, uint16_t len, uint8_t* out, uint16_t max);

// Why the decoder dropped bytes; counted in link_decoder::drops.
enum link_drop_reason : uint8_t {
    LINK_DROP_NOISE,         // bytes outside any frame (counted once per run of such bytes)
    LINK_DROP_RESTART,       // START inside a frame
    LINK_DROP_RESET,         // RESET inside a frame
    LINK_DROP_SHORT,         // END with fewer than LINK_MIN_BODY body bytes
    LINK_DROP_CRC,           // END with a bad CRC
    LINK_DROP_END_AFTER_ESC, // END right after ESC
    LINK_DROP_OVERSIZE,      // body longer than LINK_MAX_BODY
    LINK_DROP_BAD_ESCAPE,    // ESC followed by a byte that is no escaped special byte
    LINK_DROP_COUNT
};

// Text of a drop reason, as traced ("bad CRC", ...).
const char* link_drop_name(int reason);

// Frame decoder for one byte stream. Plain data: embed it anywhere, initialise with link_decoder_init.
struct link_decoder {
    link_packet_cb cb;
    void* user;
    uint8_t state;    // internal
    uint16_t len;     // body bytes collected so far
    uint32_t skipped; // bytes skipped since the last frame ended or was dropped
    uint32_t packets; // good packets delivered
    uint32_t drops[LINK_DROP_COUNT];
    uint8_t body[LINK_MAX_BODY];
};

void link_decoder_init(link_decoder* dec, link_packet_cb cb, void* user);
// Takes one received byte; calls the callback when it completes a good frame.
void link_feed(link_decoder* dec, uint8_t byte);
void link_feed_buffer(link_decoder* dec, const uint8_t* data, size_t len);
// Total of dec->drops.
uint32_t link_decoder_drop_count(const link_decoder* dec);

// ---- Bus interfaces on serial ports (index 0 .. TNET_INTERFACES - 1) ----

// Size of an interface's transmit buffer: two largest frames.
constexpr uint16_t LINK_TX_BUFFER = 2 * LINK_MAX_FRAME;

// Opens interface `index` on the port `port` of `driver` (slot `index` of the driver); an open interface is
// closed first. 0 when the interface is set up (the port is open now, or the driver retries until it
// appears), -1 for a bad index, driver or port name.
int link_if_open(int index, const serial_port* driver, const char* port);
void link_if_close(int index);
bool link_if_is_open(int index);
// True while the serial port itself is present (false while unplugged).
bool link_if_is_connected(int index);
// Every good packet received on the interface goes to cb (also the display's own echoed frames: the caller
// filters by the DIR bit). Safe to call before or after link_if_open.
void link_if_set_receiver(int index, link_packet_cb cb, void* user);
// Frames the packet into the interface's transmit buffer (under the critical section); link_task sends it.
// 0 queued, -1 not open, bad packet length, or not enough room (nothing is queued then).
int link_if_send(int index, const uint8_t* pkt, uint16_t len);
// Bytes still waiting in the transmit buffer.
int link_if_tx_pending(int index);
// Receive statistics of the interface (nullptr for a bad index).
const link_decoder* link_if_decoder(int index);

// One non-blocking step for every open interface: feeds all bytes the port has into the decoder (callbacks
// run here), then writes as much of the transmit buffer as the port takes.
void link_task();

} // namespace tdx
