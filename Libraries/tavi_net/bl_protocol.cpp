#include "Libraries/tavi_net/bl_protocol.h"

#include "SourceHost/api_lib/device_info.h"

#include <cstring>

namespace tdx {

uint32_t bl_dev_info_serial(const bl_dev_info* info) {
    return get_le32(info->serial);
}

uint32_t bl_file_length(const bl_file* file) {
    return get_le32(file->length);
}

uint16_t bl_file_crc(const bl_file* file) {
    return get_le16(file->crc);
}

void bl_dev_info_build(bl_dev_info* out, const uint8_t* bl_descr, const uint8_t* hw_descr,
                       const uint8_t* sw_descr) {
    uint8_t bytes[sizeof(bl_dev_info)] = {};
    if (bl_descr) {
        std::memcpy(bytes, bl_descr, 4);
    }
    if (hw_descr) {
        std::memcpy(bytes + 4, hw_descr, 20);
        bytes[26] = hw_descr[18];
    }
    if (sw_descr) {
        bytes[24] = sw_descr[21];
        bytes[25] = sw_descr[22];
    }
    std::memcpy(out, bytes, sizeof(bytes));
}

void bl_dev_info_own(bl_dev_info* out) {
    bl_dev_info_build(out, DI.bl, reinterpret_cast<const uint8_t*>(DI.hw),
                      reinterpret_cast<const uint8_t*>(DI.sw));
}

uint16_t bl_reply_header(uint8_t* out, uint8_t cmd, uint8_t status, uint16_t seq) {
    out[0] = static_cast<uint8_t>(cmd | BL_REPLY_FLAG);
    out[1] = status;
    put_le16(out + 2, seq);
    return BL_HEADER_SIZE;
}

const char* bl_command_name(uint8_t cmd) {
    switch (cmd & static_cast<uint8_t>(~BL_REPLY_FLAG)) {
        case BL_CMD_GET_PROTO_VERSION:
            return "GET_PROTO_VERSION";
        case BL_CMD_GET_BL_STATE:
            return "GET_BL_STATE";
        case BL_CMD_GET_DEV_INFO:
            return "GET_DEV_INFO";
        case BL_CMD_RUN_BL:
            return "RUN_BL";
        case BL_CMD_UPGRADE_START:
            return "UPGRADE_START";
        case BL_CMD_UPGRADE_DATA:
            return "UPGRADE_DATA";
        case BL_CMD_RUN_APP:
            return "RUN_APP";
        default:
            return "UNKNOWN";
    }
}

} // namespace tdx
