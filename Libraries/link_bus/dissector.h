// Packet dissector: one trace line per device-network packet received or sent, while enabled.
//   "RX 010410 POLL seq=0 ack=0 len=0"
//   "TX 010410 PUBLISH seq=1 ack=1 len=13 ackseq=0 oid 010410:00 vid 80E3 type 15"
#pragma once

#include <cstdint>
#include <string>

namespace tdx {

// Traces the packet when the dissector is enabled (off by default). tx: sent by this program.
void tnet_dissect(const uint8_t* pkt, uint16_t len, bool tx);
void tnet_dissect_enable(bool on);
bool tnet_dissect_enabled();
// The text of the trace line (without the time stamp), whether enabled or not.
std::string tnet_dissect_line(const uint8_t* pkt, uint16_t len, bool tx);

} // namespace tdx
