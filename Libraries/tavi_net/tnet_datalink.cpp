#include "Libraries/tavi_net/tnet_datalink.h"

#include "Libraries/base/dbg.h"
#include "Libraries/link_bus/tnet_packet.h"
#include "Libraries/tavi_net/tnet_internal.h"

#include <cstring>

namespace tdx {

namespace {

constexpr int SOCKETS = 1 + TNET_CFG_DATALINK_LISTENERS;

// Slot 0 is the outgoing socket, the rest are listeners.
xsock sSockets[SOCKETS];
xsock* sCurrent = nullptr;
int sNextPending = 0;

void run_handler(xsock* socket, xsock_event event, uint32_t length) {
    xsock* previous = sCurrent;
    sCurrent = socket;
    socket->handler(event, socket->buffer, length, socket->user);
    sCurrent = previous;
}

void echo_handler(xsock_event event, uint8_t* buffer, uint32_t length, void*) {
    if (event == XSOCK_RECEIVED) {
        tnet_datalink_send(buffer, length);
    }
}

} // namespace

xsock* tnet_datalink_connect(uint8_t localPort, uint32_t address, uint8_t remotePort, xsock_handler handler,
                             void* user) {
    xsock& socket = sSockets[0];
    if (socket.used || handler == nullptr) {
        dbg_printf_h("datalink: connect to %06X:%u refused, %s", address & TNET_ADDRESS_MASK, remotePort,
                     socket.used ? "the outgoing socket is open" : "no handler");
        return nullptr;
    }
    socket = xsock{};
    socket.used = true;
    socket.local_port = localPort;
    socket.remote_port = remotePort;
    socket.peer = address & TNET_ADDRESS_MASK;
    socket.handler = handler;
    socket.user = user;
    return &socket;
}

int tnet_datalink_send(const uint8_t* buffer, uint32_t length) {
    xsock* socket = sCurrent;
    if (socket == nullptr || length > TNET_DATALINK_MTU || socket->pending ||
        (buffer == nullptr && length > 0)) {
        dbg_printf_h("datalink: send of %u bytes refused, %s", length,
                     socket == nullptr            ? "no socket handler running"
                     : length > TNET_DATALINK_MTU ? "too long"
                     : socket->pending            ? "previous datagram pending"
                                                  : "no data");
        return -1;
    }
    if (length > 0) {
        std::memmove(socket->tx, buffer, length);
    }
    socket->tx_length = static_cast<uint16_t>(length);
    socket->pending = true;
    socket->in_flight = false;
    return 0;
}

void tnet_datalink_close(xsock* socket) {
    if (socket == nullptr || socket < sSockets || socket >= sSockets + SOCKETS || !socket->used) {
        return;
    }
    if (sCurrent == socket) {
        sCurrent = nullptr;
    }
    *socket = xsock{};
}

int tnet_datalink_listen(uint8_t port, xsock_handler handler, void* user) {
    if (handler == nullptr) {
        return -1;
    }
    xsock* free = nullptr;
    for (int i = 1; i < SOCKETS; ++i) {
        if (sSockets[i].used && sSockets[i].local_port == port) {
            dbg_printf_h("datalink: port %u is served already", port);
            return -1;
        }
        if (!sSockets[i].used && free == nullptr) {
            free = &sSockets[i];
        }
    }
    if (free == nullptr) {
        dbg_printf_h("datalink: no listener slot for port %u", port);
        return -1;
    }
    *free = xsock{};
    free->used = true;
    free->listener = true;
    free->local_port = port;
    free->handler = handler;
    free->user = user;
    return 0;
}

namespace tnet_detail {

namespace {

xsock* find_target(const uint8_t* payload) {
    const uint32_t peer = get_le24(payload + TNET_DL_OFS_PEER);
    const uint8_t source = payload[TNET_DL_OFS_SRC_PORT];
    const uint8_t destination = payload[TNET_DL_OFS_DST_PORT];
    xsock& out = sSockets[0];
    if (out.used && out.peer == peer && out.remote_port == source && out.local_port == destination) {
        return &out;
    }
    for (int i = 1; i < SOCKETS; ++i) {
        if (sSockets[i].used && sSockets[i].local_port == destination) {
            return &sSockets[i];
        }
    }
    return nullptr;
}

} // namespace

bool datalink_can_take(const uint8_t* payload, uint16_t) {
    const xsock* target = find_target(payload);
    if (target != nullptr && target->listener && target->pending) {
        // Its answer to the previous datagram still travels; taking this one would overwrite it.
        dbg_printf_h("datalink: datagram to port %u waits: its listener's last reply is pending",
                     payload[TNET_DL_OFS_DST_PORT]);
        return false;
    }
    return true;
}

void datalink_session_ended() {
    for (int i = 1; i < SOCKETS; ++i) {
        xsock& socket = sSockets[i];
        if (socket.used && socket.pending && !socket.in_flight) {
            dbg_printf_h("datalink: reply of port %u to %06X:%u dropped with the session", socket.local_port,
                         socket.peer, socket.remote_port);
            socket.pending = false;
        }
    }
}

void datalink_receive(const uint8_t* payload, uint16_t len) {
    const uint32_t peer = get_le24(payload + TNET_DL_OFS_PEER);
    const uint8_t source = payload[TNET_DL_OFS_SRC_PORT];
    const uint8_t destination = payload[TNET_DL_OFS_DST_PORT];
    const uint32_t length = len - TNET_DATALINK_HEADER_SIZE;

    xsock* target = find_target(payload);
    if (target == nullptr) {
        dbg_printf_h("datalink: datagram %06X:%u -> port %u, %u bytes, nobody listens: dropped", peer, source,
                     destination, length);
        return;
    }
    if (target->listener) {
        target->peer = peer;
        target->remote_port = source;
    }
    std::memcpy(target->buffer, payload + TNET_DATALINK_HEADER_SIZE, length);
    run_handler(target, XSOCK_RECEIVED, length);
}

xsock* datalink_next_pending() {
    for (int n = 0; n < SOCKETS; ++n) {
        xsock* socket = &sSockets[(sNextPending + n) % SOCKETS];
        if (socket->used && socket->pending && !socket->in_flight) {
            sNextPending = static_cast<int>(socket - sSockets + 1) % SOCKETS;
            return socket;
        }
    }
    return nullptr;
}

uint16_t datalink_take(xsock* socket, uint8_t* payload) {
    put_le24(payload + TNET_DL_OFS_PEER, socket->peer);
    payload[TNET_DL_OFS_SRC_PORT] = socket->local_port;
    payload[TNET_DL_OFS_DST_PORT] = socket->remote_port;
    std::memcpy(payload + TNET_DATALINK_HEADER_SIZE, socket->tx, socket->tx_length);
    socket->in_flight = true;
    return static_cast<uint16_t>(TNET_DATALINK_HEADER_SIZE + socket->tx_length);
}

void datalink_done(xsock* socket, bool ok) {
    if (socket == nullptr || !socket->used || !socket->in_flight) {
        return;
    }
    socket->pending = false;
    socket->in_flight = false;
    if (!ok) {
        run_handler(socket, XSOCK_ERROR, 0);
    }
}

void datalink_poll() {
    xsock& out = sSockets[0];
    if (out.used && !out.pending) {
        run_handler(&out, XSOCK_MAY_SEND, 0);
    }
}

void datalink_reset() {
    for (xsock& socket : sSockets) {
        socket = xsock{};
    }
    sCurrent = nullptr;
    sNextPending = 0;
}

void datalink_start() {
    for (int i = 1; i < SOCKETS; ++i) {
        if (sSockets[i].used && sSockets[i].local_port == TNET_PORT_ECHO) {
            return;
        }
    }
    tnet_datalink_listen(TNET_PORT_ECHO, echo_handler, nullptr);
}

} // namespace tnet_detail

} // namespace tdx
