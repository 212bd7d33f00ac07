#include "Libraries/base/limits.h"
#include "Libraries/tavi_net/tnet.h"

namespace tdx {

namespace {

constexpr int VARIABLE = -1;

// Payload size of a command in one direction; -2 when the command does not travel that way.
int fixed_size(uint8_t cmd, bool fromMaster) {
    switch (cmd) {
        case TNET_CMD_POLL:
        case TNET_CMD_SEARCH:
        case TNET_CMD_DISCONNECT:
            return fromMaster ? 0 : -2;
        case TNET_CMD_CONNECT:
            return fromMaster ? TNET_CONNECT_SIZE : -2;
        case TNET_CMD_SESSION_OPEN:
            return fromMaster ? TNET_SESSION_OPEN_SIZE : -2;
        case TNET_CMD_SYNCHRONIZED:
            return fromMaster ? TNET_SUBSCRIBE_SIZE : -2;
        case TNET_CMD_OBJECT_INFO:
            return fromMaster ? TNET_OBJECT_INFO_SIZE : -2;
        case TNET_CMD_OBJECT_REMOVE:
            return fromMaster ? TNET_OBJECT_REMOVE_SIZE : -2;
        case TNET_CMD_NOP:
            return fromMaster ? -2 : 0;
        case TNET_CMD_SEARCH_REPLY:
            return fromMaster ? -2 : TNET_SEARCH_REPLY_SIZE;
        case TNET_CMD_SUBSCRIBE:
            return fromMaster ? -2 : TNET_SUBSCRIBE_SIZE;
        case TNET_CMD_NACK:
            return TNET_NACK_SIZE;
        case TNET_CMD_SYNC_TIME:
            return TNET_SYNC_TIME_SIZE;
        case TNET_CMD_DATALINK:
        case TNET_CMD_PUBLISH:
            return VARIABLE;
        default:
            return -2;
    }
}

bool publish_valid(const uint8_t* payload, uint16_t len) {
    if (len < TNET_PUBLISH_HEADER_SIZE) {
        return false;
    }
    const int size = tnet_value_size(payload[TNET_PUB_OFS_VTYPE]);
    if (size > 0) {
        return len == TNET_PUBLISH_HEADER_SIZE + size;
    }
    if (size < 0 || len < TNET_PUBLISH_HEADER_SIZE + 2) {
        return false;
    }
    const uint16_t count = get_le16(payload + TNET_PUBLISH_HEADER_SIZE);
    if (count == 0xFFFF) {
        return len == TNET_PUBLISH_HEADER_SIZE + 2;
    }
    return count <= PT_MAX_DATA && len == TNET_PUBLISH_HEADER_SIZE + 2 + count;
}

} // namespace

int tnet_value_size(uint8_t vtype) {
    switch (vtype) {
        case 9:
        case 12:
            return 1;
        case 10:
        case 13:
        case 17:
        case 18:
        case 19:
        case 20:
            return 2;
        case 11:
        case 14:
            return 4;
        case 15:
        case 16:
            return 0;
        default:
            return -1;
    }
}

int tnet_payload_check(uint8_t cmd, const uint8_t* payload, uint16_t len, bool fromMaster) {
    const int size = fixed_size(cmd, fromMaster);
    if (size == -2) {
        return TNET_NACK_UNKNOWN_COMMAND;
    }
    if (len > 0 && payload == nullptr) {
        return TNET_NACK_MALFORMED;
    }
    bool valid = false;
    if (size >= 0) {
        valid = len == size;
    } else if (cmd == TNET_CMD_DATALINK) {
        valid = len >= TNET_DATALINK_HEADER_SIZE && len <= TNET_MAX_COMMAND_SIZE;
    } else {
        valid = publish_valid(payload, len);
    }
    return valid ? 0 : TNET_NACK_MALFORMED;
}

} // namespace tdx
