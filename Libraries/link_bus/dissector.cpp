// Packet dissector: names and decodes device-network packets for the trace.
#include "Libraries/link_bus/dissector.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/fmt.h"
// The dissector reads the wire layout of the device network; the layout header holds no code.
#include "Libraries/link_bus/tnet_packet.h"

#include <atomic>

namespace tdx {

namespace {

std::atomic<bool> sEnabled{false};

std::string commandName(uint8_t command) {
    const char* name = tnet_command_name(command);
    return name != nullptr ? std::string(name) : fmt("UNKNOWN(%u)", command);
}

std::string oidText(uint32_t oid) {
    return fmt("oid %06X:%02X", oid & TNET_ADDRESS_MASK, oid >> 24);
}

// The payload part of the line; a payload whose size does not fit its command says so.
std::string payloadText(uint8_t command, const uint8_t* p, uint16_t len) {
    auto fixed = [len](uint16_t size) { return len == size; };
    switch (command) {
        case TNET_CMD_NOP:
        case TNET_CMD_POLL:
        case TNET_CMD_SEARCH:
        case TNET_CMD_DISCONNECT:
            return len == 0 ? std::string() : std::string(" malformed");
        case TNET_CMD_SEARCH_REPLY:
            if (!fixed(TNET_SEARCH_REPLY_SIZE)) {
                break;
            }
            return fmt(" hw %.5s%02u sw %.5s%02u sn 0x%08X",
                       reinterpret_cast<const char*>(p + TNET_SR_OFS_HW_CODE), p[TNET_SR_OFS_HW_VERSION],
                       reinterpret_cast<const char*>(p + TNET_SR_OFS_SW_CODE), p[TNET_SR_OFS_SW_VERSION],
                       get_le32(p + TNET_SR_OFS_SERIAL));
        case TNET_CMD_CONNECT:
            if (!fixed(TNET_CONNECT_SIZE)) {
                break;
            }
            return fmt(" owner %06X", get_le24(p));
        case TNET_CMD_SESSION_OPEN:
            if (!fixed(TNET_SESSION_OPEN_SIZE)) {
                break;
            }
            return fmt(" session %u", p[0]);
        case TNET_CMD_NACK: {
            if (!fixed(TNET_NACK_SIZE)) {
                break;
            }
            const char* reason = tnet_nack_reason_name(p[1]);
            return fmt(" %s reason %u (%s)", commandName(p[0]), p[1], reason != nullptr ? reason : "UNKNOWN");
        }
        case TNET_CMD_DATALINK:
            if (len < TNET_DATALINK_HEADER_SIZE || len > TNET_DATALINK_HEADER_SIZE + TNET_DATALINK_MTU) {
                break;
            }
            return fmt(" peer %06X port %u->%u data %u", get_le24(p + TNET_DL_OFS_PEER),
                       p[TNET_DL_OFS_SRC_PORT], p[TNET_DL_OFS_DST_PORT], len - TNET_DATALINK_HEADER_SIZE);
        case TNET_CMD_PUBLISH:
            if (len < TNET_PUBLISH_HEADER_SIZE) {
                break;
            }
            return fmt(" %s vid %04X type %u", oidText(get_le32(p + TNET_PUB_OFS_OID)),
                       get_le16(p + TNET_PUB_OFS_VID), p[TNET_PUB_OFS_VTYPE]);
        case TNET_CMD_SUBSCRIBE:
        case TNET_CMD_SYNCHRONIZED:
            if (!fixed(TNET_SUBSCRIBE_SIZE)) {
                break;
            }
            return fmt(" %s vid %04X", oidText(get_le32(p + TNET_PUB_OFS_OID)),
                       get_le16(p + TNET_PUB_OFS_VID));
        case TNET_CMD_SYNC_TIME:
            if (!fixed(TNET_SYNC_TIME_SIZE)) {
                break;
            }
            return fmt(" time %u", get_le32(p));
        case TNET_CMD_OBJECT_INFO:
            if (!fixed(TNET_OBJECT_INFO_SIZE)) {
                break;
            }
            return fmt(" %s type %u subtype %u", oidText(get_le32(p)), p[TNET_INFO_OFS_TYPE],
                       p[TNET_INFO_OFS_SUBTYPE]);
        case TNET_CMD_OBJECT_REMOVE:
            if (!fixed(TNET_OBJECT_REMOVE_SIZE)) {
                break;
            }
            return " " + oidText(get_le32(p));
        default:
            return {};
    }
    return " malformed";
}

} // namespace

std::string tnet_dissect_line(const uint8_t* pkt, uint16_t len, bool tx) {
    const char* direction = tx ? "TX" : "RX";
    if (pkt == nullptr || len < TNET_HEADER_SIZE) {
        return fmt("%s malformed packet len=%u", direction, pkt != nullptr ? len : 0);
    }
    const uint8_t command = pkt[TNET_OFS_COMMAND];
    const uint8_t control = pkt[TNET_OFS_CONTROL];
    const uint16_t payloadLen = static_cast<uint16_t>(len - TNET_HEADER_SIZE);
    std::string line = fmt("%s %06X %s seq=%u ack=%u len=%u", direction, get_le24(pkt), commandName(command),
                           control & TNET_CTL_SEQ, (control & TNET_CTL_ACK) != 0 ? 1 : 0, payloadLen);
    if ((control & TNET_CTL_ACK) != 0) {
        line += fmt(" ackseq=%u", (control & TNET_CTL_ACKSEQ) != 0 ? 1 : 0);
    }
    if ((control & TNET_CTL_DIR) != 0) {
        line += " client";
    }
    return line + payloadText(command, pkt + TNET_HEADER_SIZE, payloadLen);
}

void tnet_dissect(const uint8_t* pkt, uint16_t len, bool tx) {
    if (sEnabled.load(std::memory_order_relaxed)) {
        dbg_printf_h("%s", tnet_dissect_line(pkt, len, tx));
    }
}

void tnet_dissect_enable(bool on) {
    sEnabled.store(on, std::memory_order_relaxed);
}

bool tnet_dissect_enabled() {
    return sEnabled.load(std::memory_order_relaxed);
}

} // namespace tdx
