// Bootloader protocol on the datalink port BLDR: the records both roles exchange and the request/reply
// layout.
//
// Request: cmd u8, flags u8 (0), seq u16 LE, payload.  Reply: cmd | 0x80, status u8, seq u16 LE, payload.
// A request keeps its sequence number on every retry; a new request takes the next one.
#pragma once

#include "Libraries/base/bytes.h"

#include <cstdint>

namespace tdx {

constexpr uint8_t BL_PORT = 1; // BLDR
constexpr uint8_t BL_PROTOCOL_VERSION = 1;
constexpr uint16_t BL_HEADER_SIZE = 4;
constexpr uint16_t BL_MAX_CHUNK = 256;
constexpr uint8_t BL_REPLY_FLAG = 0x80;

enum bl_command : uint8_t {
    BL_CMD_GET_PROTO_VERSION = 0x01,
    BL_CMD_GET_BL_STATE = 0x02,
    BL_CMD_GET_DEV_INFO = 0x03,
    BL_CMD_RUN_BL = 0x04,
    BL_CMD_UPGRADE_START = 0x05,
    BL_CMD_UPGRADE_DATA = 0x06,
    BL_CMD_RUN_APP = 0x07,
};

enum bl_status : uint8_t {
    BL_STATUS_OK = 0,
    BL_STATUS_UNKNOWN_COMMAND = 1,
    BL_STATUS_BAD_LENGTH = 2,
    BL_STATUS_BAD_STATE = 3,
    BL_STATUS_NOT_SUPPORTED = 4,
    BL_STATUS_OFFSET_MISMATCH = 5,
    BL_STATUS_VERIFY_FAILED = 6,
};

// What runs on the device that answers.
enum bl_mode : uint8_t {
    BL_MODE_APPLICATION = 0,
    BL_MODE_BOOTLOADER = 1,
};

// Device information of a bootloader (GET_DEV_INFO reply bytes 4..31). Single bytes only: no padding.
struct bl_dev_info {
    char magic[2];            // 0-1
    uint8_t protocol;         // 2
    uint8_t bl_version;       // 3
    char hw_code[5];          // 4-8, not terminated
    uint8_t hw_version;       // 9
    char sw_code[5];          // 10-14, not terminated
    uint8_t variant;          // 15
    uint8_t serial[4];        // 16-19 LE
    uint8_t serial_prefix[2]; // 20-21 LE
    uint8_t hw_flags;         // 22
    uint8_t reserved;         // 23
    uint8_t sw_major;         // 24, 0 = no valid application
    uint8_t sw_minor;         // 25, non-zero = pre-release
    uint8_t flags;            // 26
    uint8_t reserved2;        // 27
};
static_assert(sizeof(bl_dev_info) == 28);

// File descriptor of UPGRADE_START (bytes 8..23 of a package item header).
struct bl_file {
    uint8_t head[4];
    uint8_t length[4]; // data length D, LE
    uint8_t crc[2];    // CRC-16 of the first D - 4 data bytes, LE
    uint8_t type;
    uint8_t reserved[5];
};
static_assert(sizeof(bl_file) == 16);

uint32_t bl_dev_info_serial(const bl_dev_info* info);
uint32_t bl_file_length(const bl_file* file);
uint16_t bl_file_crc(const bl_file* file);

// The one place that assembles a device's own information from its descriptor records: bytes 0-3 from the
// bootloader descriptor, 4-23 from the first 20 bytes of the production data, 24-25 from software descriptor
// bytes 21-22, 26 from production-data byte 18. Null descriptors leave their bytes zero.
void bl_dev_info_build(bl_dev_info* out, const uint8_t* bl_descr, const uint8_t* hw_descr,
                       const uint8_t* sw_descr);
// The display's own device information, from the descriptor records of DI (zero before os_init).
void bl_dev_info_own(bl_dev_info* out);

// Writes a reply header; returns BL_HEADER_SIZE.
uint16_t bl_reply_header(uint8_t* out, uint8_t cmd, uint8_t status, uint16_t seq);

const char* bl_command_name(uint8_t cmd);

} // namespace tdx
