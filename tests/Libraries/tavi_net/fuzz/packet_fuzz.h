// One fuzz input through the client's receive path: the bytes become one packet, framed and fed to the
// display over a loop port, once with the client offline, once connected and once in a session; the same
// bytes also go through the payload checks and both bootloader roles. Nothing may crash or leak; replies are
// checked: whatever came in, every packet the display sends is a client's packet of a valid layout.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tdx {
struct comf_loop;
}

namespace tdx::test {

// False when the display broke a promise.
bool packetFuzzOne(const uint8_t* data, size_t size);

// Frames one packet into the loop port as the master, runs the client once and checks what it sent back.
bool feedPacket(comf_loop* loop, const uint8_t* packet, size_t size);

} // namespace tdx::test
