// The display's own side of the bootloader protocol: it answers on port BLDR as a running application that
// cannot be upgraded over the network.
#pragma once

#include "Libraries/tavi_net/bl_protocol.h"

#include <cstdint>

namespace tdx {

// Starts answering bootloader requests on BLDR with the display's own device information (DI).
void bl_start_service();
// Answers one request datagram in place: returns the reply length written into buf (TNET_DATALINK_MTU bytes),
// 0 when the datagram is no request (too short, or a reply) and gets no answer.
int bl_target_answer(uint8_t* buf, uint32_t len);

} // namespace tdx
