// RS-485 bus interfaces: the frame decoder fed from the serial port, and a transmit buffer that the network
// task fills and link_task drains into the port. The port is whatever table of functions the opener gives.
#include "Libraries/link_bus/link_bus.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/os.h"
#include "Libraries/link_bus/dissector.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tdx {

namespace {

struct LinkInterface {
    bool open;
    const serial_port* port;
    link_packet_cb receiver;
    void* user;
    link_decoder decoder;
    // Ring buffer; head and count change only inside the critical section.
    uint8_t tx[LINK_TX_BUFFER];
    uint16_t txHead;
    uint16_t txCount;
    // A port call that keeps failing is traced when it starts failing and when it works again, not at every
    // pass of the network task.
    bool readFailing;
    bool writeFailing;
};

LinkInterface sInterfaces[TNET_INTERFACES];

// How many reads one pass takes at most: the pass must end even when a peer keeps writing.
constexpr int MAX_READS_PER_TASK = 16;
// How often a call interrupted by a signal is repeated at once before the pass gives up until the next.
constexpr int MAX_INTERRUPTS = 8;

// A port call repeated while a signal interrupts it; 0 for "nothing now" (EAGAIN, or still interrupted) and
// for any other failure, which the driver handles itself (a lost port is reopened by its retries).
template <class Call>
int portCall(int index, const char* what, bool& failing, Call call) {
    for (int tries = 0; tries < MAX_INTERRUPTS; ++tries) {
        const int n = call();
        if (n >= 0) {
            if (failing) {
                failing = false;
                dbg_printf_h("LINK%d: %s works again", index, what);
            }
            return n;
        }
        if (errno != EINTR) {
            if (errno != EAGAIN && errno != EWOULDBLOCK && !failing) {
                failing = true;
                dbg_printf_h("LINK%d: %s failed (%s)", index, what, std::strerror(errno));
            }
            return 0;
        }
    }
    return 0;
}

LinkInterface* find(int index) {
    return index >= 0 && index < TNET_INTERFACES ? &sInterfaces[index] : nullptr;
}

void deliver(const uint8_t* pkt, uint16_t len, void* user) {
    auto* link = static_cast<LinkInterface*>(user);
    tnet_dissect(pkt, len, false);
    if (link->receiver != nullptr) {
        link->receiver(pkt, len, link->user);
    }
}

void clearTx(LinkInterface& link) {
    os_enter_critical();
    link.txHead = 0;
    link.txCount = 0;
    os_exit_critical();
}

void receive(int index, LinkInterface& link) {
    uint8_t buf[256];
    for (int i = 0; i < MAX_READS_PER_TASK && link.open; ++i) {
        const int n = portCall(index, "read", link.readFailing,
                               [&] { return link.port->read(index, buf, sizeof buf); });
        if (n <= 0) {
            return;
        }
        for (int k = 0; k < n && link.open; ++k) {
            link_feed(&link.decoder, buf[k]);
        }
        if (n < static_cast<int>(sizeof(buf))) {
            return;
        }
    }
}

// Only link_task drains the buffer, so the bytes between head and head + count stay put while the port
// writes them; the critical section guards the indices alone, never a port call.
void flush(int index, LinkInterface& link) {
    if (!link.port->connected(index)) {
        os_enter_critical();
        if (link.txCount != 0) {
            // Frames queued for a missing port are stale by the time it returns; the client stack resends.
            dbg_printf_h("LINK%d: port missing, %u bytes not sent", index, link.txCount);
            link.txHead = 0;
            link.txCount = 0;
        }
        os_exit_critical();
        return;
    }
    for (;;) {
        os_enter_critical();
        const uint16_t head = link.txHead;
        const uint16_t chunk = std::min<uint16_t>(link.txCount, LINK_TX_BUFFER - head);
        os_exit_critical();
        if (chunk == 0) {
            return;
        }
        const int n = portCall(index, "write", link.writeFailing,
                               [&] { return link.port->write(index, link.tx + head, chunk); });
        if (n <= 0) {
            return;
        }
        os_enter_critical();
        link.txHead = static_cast<uint16_t>((head + n) % LINK_TX_BUFFER);
        link.txCount = static_cast<uint16_t>(link.txCount - n);
        if (link.txCount == 0) {
            link.txHead = 0;
        }
        os_exit_critical();
        if (n < chunk) {
            return;
        }
    }
}

} // namespace

int link_if_open(int index, const serial_port* driver, const char* port) {
    LinkInterface* link = find(index);
    if (link == nullptr || driver == nullptr || port == nullptr || port[0] == '\0') {
        dbg_printf_h("LINK%d: cannot open port \"%s\"", index, port != nullptr ? port : "");
        return -1;
    }
    link_if_close(index);
    if (driver->open(index, port) != 0) {
        return -1;
    }
    link->port = driver;
    link->readFailing = false;
    link->writeFailing = false;
    link_decoder_init(&link->decoder, deliver, link);
    clearTx(*link);
    link->open = true;
    dbg_printf_h("LINK%d: open on %s", index, port);
    return 0;
}

void link_if_close(int index) {
    LinkInterface* link = find(index);
    if (link == nullptr || !link->open) {
        return;
    }
    link->open = false;
    link->port->close(index);
    clearTx(*link);
    dbg_printf_h("LINK%d: closed", index);
}

bool link_if_is_open(int index) {
    const LinkInterface* link = find(index);
    return link != nullptr && link->open;
}

bool link_if_is_connected(int index) {
    return link_if_is_open(index) && sInterfaces[index].port->connected(index);
}

void link_if_set_receiver(int index, link_packet_cb cb, void* user) {
    if (LinkInterface* link = find(index)) {
        link->receiver = cb;
        link->user = user;
    }
}

int link_if_send(int index, const uint8_t* pkt, uint16_t len) {
    LinkInterface* link = find(index);
    if (link == nullptr || !link->open) {
        return -1;
    }
    uint8_t frame[LINK_MAX_FRAME];
    const int frameLen = link_encode(pkt, len, frame, sizeof(frame));
    if (frameLen < 0) {
        dbg_printf_h("LINK%d: packet of %u bytes not sent", index, len);
        return -1;
    }
    os_enter_critical();
    const bool fits = link->txCount + frameLen <= LINK_TX_BUFFER;
    if (fits) {
        uint16_t tail = static_cast<uint16_t>((link->txHead + link->txCount) % LINK_TX_BUFFER);
        const uint16_t first = std::min<uint16_t>(static_cast<uint16_t>(frameLen), LINK_TX_BUFFER - tail);
        std::memcpy(link->tx + tail, frame, first);
        std::memcpy(link->tx, frame + first, frameLen - first);
        link->txCount = static_cast<uint16_t>(link->txCount + frameLen);
    }
    os_exit_critical();
    if (!fits) {
        dbg_printf_h("LINK%d: transmit buffer full, packet of %u bytes not sent", index, len);
        return -1;
    }
    tnet_dissect(pkt, len, true);
    return 0;
}

int link_if_tx_pending(int index) {
    const LinkInterface* link = find(index);
    if (link == nullptr) {
        return 0;
    }
    os_enter_critical();
    const int pending = link->txCount;
    os_exit_critical();
    return pending;
}

const link_decoder* link_if_decoder(int index) {
    const LinkInterface* link = find(index);
    return link != nullptr ? &link->decoder : nullptr;
}

void link_task() {
    for (int index = 0; index < TNET_INTERFACES; ++index) {
        LinkInterface& link = sInterfaces[index];
        if (!link.open) {
            continue;
        }
        receive(index, link);
        if (link.open) {
            flush(index, link);
        }
    }
}

} // namespace tdx
