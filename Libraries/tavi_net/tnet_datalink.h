// Datalink sockets: datagrams of up to TNET_DATALINK_MTU bytes between ports of two devices, routed by the
// master and carried in DATALINK packets. One outgoing socket (tnet_datalink_connect) and up to
// TNET_CFG_DATALINK_LISTENERS listeners; a listener answers the peer and port its last datagram came from.
// Handlers run inside tnet_task.
#pragma once

#include "Libraries/link_bus/tnet_config.h"

#include <cstdint>

namespace tdx {

enum xsock_event {
    XSOCK_OPENED = 1,
    XSOCK_CLOSED = 2,
    XSOCK_ERROR = 3,    // a datagram was given up
    XSOCK_RECEIVED = 4, // buffer holds the datagram
    XSOCK_MAY_SEND = 5, // buffer is free for the next datagram (once per tnet_task pass in a session)
};

// buffer: the socket's own TNET_DATALINK_MTU bytes, free to write into and to pass to tnet_datalink_send.
using xsock_handler = void (*)(xsock_event event, uint8_t* buffer, uint32_t length, void* user);

struct xsock {
    uint8_t local_port;
    uint8_t remote_port;
    uint32_t peer;
    xsock_handler handler;
    void* user;
    uint8_t buffer[TNET_DATALINK_MTU];
    // Stack-internal.
    bool used;
    bool listener;
    bool pending;   // a datagram waits in tx or travels unacknowledged
    bool in_flight; // the client carries it now
    uint16_t tx_length;
    uint8_t tx[TNET_DATALINK_MTU];
};

// The one outgoing socket; null when it is already open or the handler is null.
xsock* tnet_datalink_connect(uint8_t localPort, uint32_t address, uint8_t remotePort, xsock_handler handler,
                             void* user);
// Queues a datagram on the socket whose handler is running. 0, or -1 outside a handler, for more than
// TNET_DATALINK_MTU bytes, or while that socket's previous datagram is still pending.
int tnet_datalink_send(const uint8_t* buffer, uint32_t length);
void tnet_datalink_close(xsock* socket);
// Serves local `port`. 0, or -1 when the port is served already, no slot is free or the handler is null.
int tnet_datalink_listen(uint8_t port, xsock_handler handler, void* user);

} // namespace tdx
