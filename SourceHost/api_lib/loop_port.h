// In-process loop ports ("loop:NAME") for tests, benchmarks and the simulated control unit: a byte pipe pair
// that stands in for the converter. What the display writes on "loop:NAME" the peer reads, and the other way
// round. Like the converter, the pipe echoes the display's writes back to the display while echo is on (the
// default). Each direction holds COMF_LOOP_CAPACITY bytes; a full direction takes no more. Thread-safe. A
// missing or unplugged pipe is retried every COMF_RETRY_MS, as the serial driver retries a missing device.
#pragma once

#include "Libraries/base/serial_port.h"

#include <cstdint>

namespace tdx {

// The display's end, as the link layer takes it; its slots are its own, apart from the serial driver's.
extern const serial_port loop_serial_port;

constexpr int COMF_LOOP_CAPACITY = 4096;
struct comf_loop;
// Registers "loop:NAME"; nullptr when the name is empty, too long or already registered.
comf_loop* comf_loop_create(const char* name);
// Unregisters and frees the pipe; a display still on it sees the port unplugged.
void comf_loop_destroy(comf_loop* loop);
// The peer's end: bytes the display wrote (up to max) / bytes for the display; -1 for no pipe.
int comf_loop_read(comf_loop* loop, uint8_t* buf, int max);
int comf_loop_write(comf_loop* loop, const uint8_t* buf, int len);
void comf_loop_set_echo(comf_loop* loop, bool on);
// Unplugs (false) or replugs (true) the converter: while unplugged the display's reads and writes fail as on
// a removed USB device, pending bytes are lost, and the display's end reopens only after replugging.
void comf_loop_set_plugged(comf_loop* loop, bool plugged);

} // namespace tdx
