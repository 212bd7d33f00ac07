// Plumbing between the client and the datalink inside the stack; not for other modules.
#pragma once

#include "Libraries/tavi_net/tnet_datalink.h"

#include <cstdint>

namespace tdx::tnet_detail {

// A checked DATALINK payload from the master (peer, ports, datagram).
void datalink_receive(const uint8_t* payload, uint16_t len);
// False when the datagram's listener still holds a reply to send: it must not be taken (nor acknowledged) yet.
bool datalink_can_take(const uint8_t* payload, uint16_t len);
// The session ended: replies that listeners still hold are for a peer of the old session, dropped.
void datalink_session_ended();
// The next socket with a datagram waiting to be carried, round robin; null when none.
xsock* datalink_next_pending();
// Writes the DATALINK payload of the socket's datagram; returns its length and marks it in flight.
uint16_t datalink_take(xsock* socket, uint8_t* payload);
// The master acknowledged (ok) or the client gave up the datagram of `socket` (may be closed meanwhile).
void datalink_done(xsock* socket, bool ok);
// Once per pass in a session: "may send" to the outgoing socket when it has nothing pending.
void datalink_poll();
void datalink_reset();
// Registers the ECHO listener.
void datalink_start();

} // namespace tdx::tnet_detail
