#include "Libraries/tavi_net/bl_service.h"

#include "Libraries/base/dbg.h"
#include "Libraries/tavi_net/tnet_datalink.h"

#include <cstring>

namespace tdx {

namespace {

bl_dev_info sOwnInfo{};

void handler(xsock_event event, uint8_t* buffer, uint32_t length, void*) {
    if (event != XSOCK_RECEIVED) {
        return;
    }
    const int reply = bl_target_answer(buffer, length);
    if (reply > 0) {
        tnet_datalink_send(buffer, static_cast<uint32_t>(reply));
    }
}

uint16_t expected_request_length(uint8_t cmd) {
    switch (cmd) {
        case BL_CMD_GET_PROTO_VERSION:
        case BL_CMD_GET_BL_STATE:
        case BL_CMD_GET_DEV_INFO:
        case BL_CMD_RUN_BL:
        case BL_CMD_RUN_APP:
            return 0;
        default:
            return 0xFFFF; // upgrade requests are refused by state before their length matters
    }
}

} // namespace

void bl_start_service() {
    bl_dev_info_own(&sOwnInfo);
    if (tnet_datalink_listen(BL_PORT, handler, nullptr) != 0) {
        dbg_printf_h("bl: service not started");
    }
}

int bl_target_answer(uint8_t* buf, uint32_t len) {
    if (len < BL_HEADER_SIZE) {
        dbg_printf_h("bl: request of %u bytes dropped", len);
        return 0;
    }
    const uint8_t cmd = buf[0];
    if (cmd & BL_REPLY_FLAG) {
        // Answering a reply could set two targets answering each other without end.
        dbg_printf_h("bl: reply %02X from a peer ignored", cmd);
        return 0;
    }
    const uint16_t seq = get_le16(buf + 2);
    const uint32_t payloadLength = len - BL_HEADER_SIZE;
    uint8_t* payload = buf + BL_HEADER_SIZE;
    uint8_t status = BL_STATUS_OK;
    uint16_t replyLength = 0;

    if (cmd < BL_CMD_GET_PROTO_VERSION || cmd > BL_CMD_RUN_APP) {
        status = BL_STATUS_UNKNOWN_COMMAND;
    } else if (cmd == BL_CMD_UPGRADE_START || cmd == BL_CMD_UPGRADE_DATA) {
        status = BL_STATUS_BAD_STATE;
    } else if (payloadLength != expected_request_length(cmd)) {
        status = BL_STATUS_BAD_LENGTH;
    } else {
        switch (cmd) {
            case BL_CMD_GET_PROTO_VERSION:
                payload[0] = BL_PROTOCOL_VERSION;
                payload[1] = BL_MODE_APPLICATION;
                replyLength = 2;
                break;
            case BL_CMD_GET_BL_STATE:
                payload[0] = BL_MODE_APPLICATION;
                payload[1] = 0;
                put_le16(payload + 2, 0);
                replyLength = 4;
                break;
            case BL_CMD_GET_DEV_INFO:
                std::memcpy(payload, &sOwnInfo, sizeof sOwnInfo);
                replyLength = sizeof sOwnInfo;
                break;
            case BL_CMD_RUN_BL:
                status = BL_STATUS_NOT_SUPPORTED;
                break;
            default: // RUN_APP: the application runs already
                break;
        }
    }
    if (status != BL_STATUS_OK) {
        dbg_printf_h("bl: %s refused, status %u", bl_command_name(cmd), status);
        replyLength = 0;
    }
    bl_reply_header(buf, cmd, status, seq);
    return BL_HEADER_SIZE + replyLength;
}

} // namespace tdx
