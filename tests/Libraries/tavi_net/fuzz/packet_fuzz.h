// One fuzz input through the client's receive path: the bytes become one packet, framed and fed to the
// display over a loop port, once with the client offline, once connected and once in a session; the same
// bytes also go through the payload checks and both bootloader roles. Nothing may crash or leak; replies are
// read and dropped.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tdx::test {

void packetFuzzOne(const uint8_t* data, size_t size);

} // namespace tdx::test
