// Device-network client: answers the control unit's polls on the link bus, one reply per master packet.
//
// OFFLINE -> LEARN (tnet_learn_request; answers broadcast SEARCH) -> CONNECTED (CONNECT from a master) ->
// SESSION (SESSION_OPEN: connected(owner)). A session ends on DISCONNECT, after TNET_SUPERVISION_MS without
// an addressed master packet, or when one packet went unacknowledged that long:
// disconnected(reason). Sequenced commands go stop-and-wait: one outstanding packet, resent in every reply
// slot until the master's packet acknowledges it. Everything runs inside tnet_task(), which never blocks.
#pragma once

#include "Libraries/base/serial_port.h"
#include "Libraries/link_bus/tnet_config.h"
#include "Libraries/link_bus/tnet_packet.h"

#include <cstdint>

namespace tdx {

// The upper layer (the network bridge) behind the client. Every entry may be null.
struct tnet_client_handler {
    // A session with the master `owner` is open.
    void (*connected)(uint32_t owner);
    // The session ended (tnet_disconnect_reason).
    void (*disconnected)(int reason);
    // A sequenced command from the master (not DATALINK), payload checked, delivered once.
    void (*received)(uint8_t cmd, const uint8_t* payload, uint16_t len);
    // The next upper-layer command: writes its code and payload (at most max bytes), returns the payload
    // length, -1 when there is none.
    int (*transmit)(uint8_t* cmd, uint8_t* payload, uint16_t max);
    // The master acknowledged the command.
    void (*transmitted)(uint8_t cmd);
    // The command was given up: refused by the master, or the session ended (then after disconnected).
    void (*transmit_failed)(uint8_t cmd);
    // Learn mode entered (1) or left (0).
    void (*learn_changed)(int learning);
};

enum tnet_state : uint8_t {
    TNET_OFFLINE = 0,
    TNET_LEARN = 1,
    TNET_CONNECTED = 2,
    TNET_SESSION = 3,
};

enum tnet_disconnect_reason : int {
    TNET_DISCONNECT_MASTER = 1,      // DISCONNECT received
    TNET_DISCONNECT_SUPERVISION = 2, // no master packet for TNET_SUPERVISION_MS
    TNET_DISCONNECT_RETRIES = 3,     // one packet unacknowledged for TNET_SUPERVISION_MS
    TNET_DISCONNECT_RECONNECT = 4,   // the master connected or opened a session again
};

// Why a connection ended, for a trace line.
const char* tnet_disconnect_reason_name(int reason);

void tnet_init(const tnet_client_handler* table);
// RS-485 interface `index` on serial port `port` of the serial driver, or of the port tnet_set_serial_port
// installed since tnet_init. 0 or -1.
int tnet_init_interface_bus(int index, const char* port, int, int);
// Another port for the interfaces opened next (an in-memory pipe in tests); nullptr for the serial driver.
void tnet_set_serial_port(const serial_port* port);
// Starts the links and the ECHO listener. The display's address and identity come from DI (os_init).
void tnet_start();
// Enters learn mode; every call requests again.
void tnet_learn_request();
void tnet_if_learn_request();
// One non-blocking step: reads the links, handles master packets, builds the reply, runs the datalink.
void tnet_task();
// Closes the interfaces and forgets all state and sockets (program end, tests).
void tnet_stop();

tnet_state tnet_get_state();
uint32_t tnet_get_address();
// Owner address of the connection, 0xFFFFFFFF when not connected.
uint32_t tnet_get_owner();
const char* tnet_state_name(int state);
// POLLs taken in sessions since the start, each counted after the acknowledgement it carries. For a master
// that polls only when it has no sequenced packet of its own outstanding or queued for the client (assumed
// of the control unit, not documented by it), every packet it queued before a POLL has reached the client,
// and been handed on, before the POLL.
uint32_t tnet_get_poll_count();

// Checks a command's payload against its layout (fixed sizes, PUBLISH value length by type, DATALINK size)
// and direction. 0 valid, TNET_NACK_MALFORMED or TNET_NACK_UNKNOWN_COMMAND otherwise.
int tnet_payload_check(uint8_t cmd, const uint8_t* payload, uint16_t len, bool fromMaster);
// Bytes of a value of type vtype as it travels in PUBLISH and SYNCHRONIZED: the size of a number type, 0 for
// text and data (their length travels with them), -1 for no value type.
int tnet_value_size(uint8_t vtype);

} // namespace tdx
