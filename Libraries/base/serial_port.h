// A serial port as the link layer reaches it: a small table of functions, so that the link runs on the
// termios driver, on an in-memory pipe or on a test's own port that writes short or fails for a moment.
// Slot `index` (0 .. 3) is one port of the driver.
#pragma once

#include <cstdint>

namespace tdx {

struct serial_port {
    // Prepares the slot for the port `name`: 0, or -1 for a name the driver cannot take. A port missing now
    // is opened later by read and write, as often as the driver retries.
    int (*open)(int index, const char* name);
    // Bytes moved without blocking; 0 when none can move now (the port missing included); -1 with errno set,
    // where EINTR asks to try again at once and EAGAIN to try again later.
    int (*read)(int index, uint8_t* buf, int max);
    int (*write)(int index, const uint8_t* buf, int len);
    void (*close)(int index);
    // Whether the port is present now (false while it is unplugged).
    bool (*connected)(int index);
};

} // namespace tdx
