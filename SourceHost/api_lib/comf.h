// Serial link driver on termios (57600 8N1, raw, non-blocking) and discovery of the USB converter through
// sysfs.
#pragma once

#include "Libraries/base/serial_port.h"

#include <cstdint>

namespace tdx {

constexpr int COMF_PORT_NAME_SIZE = 256;
constexpr int COMF_MAX_PORTS = 4;
// While a port is missing (unplugged), opening it is retried this often on os_clock().
constexpr uint64_t COMF_RETRY_MS = 1000;
// The probe listens this many periods of COMF_PROBE_PERIOD_MS for any byte.
constexpr int COMF_PROBE_PERIODS = 10;
constexpr int COMF_PROBE_PERIOD_MS = 100;

// The converter's port: "AUTO" until discovery (comf_get_port) or an explicit port fills it.
extern char PortName[COMF_PORT_NAME_SIZE];

// The driver as the link layer takes it.
extern const serial_port comf_serial_port;

// Driver slot `index` (0 .. COMF_MAX_PORTS - 1) on `port`, a device path. Opens and configures
// the port; when that fails the slot stays configured and is reopened every COMF_RETRY_MS from comf_read and
// comf_write. 0 when configured, -1 for a bad index or port name. An open slot is closed first.
int comf_open(int index, const char* port);
void comf_close(int index);
// Bytes read (0 when none are waiting or the port is missing), -1 when the slot is not configured. Never
// blocks.
int comf_read(int index, uint8_t* buf, int max);
// Bytes accepted (0 when the port takes none now or is missing), -1 when the slot is not configured.
int comf_write(int index, const uint8_t* buf, int len);
// True while the slot's port is open (false while it is missing or the slot is not configured).
bool comf_is_connected(int index);
// The descriptors of the open ports (at most `max`), for a loop that sleeps until bytes arrive.
int comf_input_descriptors(int* fds, int max);

// Discovery: an explicit port (comf_set_port_override, else the environment variable TDX410_PORT, else a
// portName that already holds something other than "AUTO") is taken at once; otherwise every USB tty whose
// USB device reports manufacturer "KORVANTEX" and product "HMU-300-USB" is probed in name order. 0 after
// writing the port path into portName (COMF_PORT_NAME_SIZE bytes), -1 when there is none (portName
// unchanged). Synchronous: up to one second of listening per candidate. Sysfs root: TDX410_SYSFS_ROOT, else
// "/sys".
int comf_get_port(char* portName);
// The port given on the command line (--port PATH); nullptr or "" clears it.
void comf_set_port_override(const char* path);
// The sysfs half of discovery: fills up to `max` device paths ("/dev/ttyUSB0") of matching converters, sorted
// by name; returns how many.
int comf_find_converters(char (*paths)[COMF_PORT_NAME_SIZE], int max);
// Opens and configures `path` and waits up to COMF_PROBE_PERIODS x COMF_PROBE_PERIOD_MS for any byte: 0 when
// one came, -1 otherwise (also when the port cannot be opened or hangs up).
int comf_probe(const char* path);

} // namespace tdx
