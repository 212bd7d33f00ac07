// Byte layout of a device-network packet: the 5-byte header, its control bits, the command codes and their
// names, and the fixed parts of the payloads that more than one module reads. Header only, no code to link:
// the client stack builds and parses packets with it, the packet dissector names and decodes them.
//
//   byte 0-2  client address, little endian (master -> client: destination, 0xFFFFFF broadcast;
//             client -> master: source)
//   byte 3    command (tnet_command)
//   byte 4    control: bit 7 DIR, bit 0 SEQ, bit 1 ACK, bit 2 ACKSEQ (valid with ACK), bits 3-6 zero
//   byte 5..  payload, at most TNET_MAX_COMMAND_SIZE bytes
#pragma once

#include "Libraries/base/bytes.h"
#include "Libraries/link_bus/tnet_config.h"

#include <cstdint>

namespace tdx {

// Header offsets.
constexpr uint16_t TNET_OFS_ADDRESS = 0;
constexpr uint16_t TNET_OFS_COMMAND = 3;
constexpr uint16_t TNET_OFS_CONTROL = 4;
constexpr uint16_t TNET_OFS_PAYLOAD = TNET_HEADER_SIZE;

// Control byte.
constexpr uint8_t TNET_CTL_SEQ = 0x01;      // sequence bit of a sequenced command
constexpr uint8_t TNET_CTL_ACK = 0x02;      // ACKSEQ below is valid
constexpr uint8_t TNET_CTL_ACKSEQ = 0x04;   // the SEQ of the peer's packet being acknowledged
constexpr uint8_t TNET_CTL_RESERVED = 0x78; // always zero
constexpr uint8_t TNET_CTL_DIR = 0x80;      // 0 sent by the master, 1 sent by a client

constexpr uint32_t TNET_ADDRESS_MASK = 0xFFFFFF;
constexpr uint32_t TNET_BROADCAST = 0xFFFFFF;

enum tnet_command : uint8_t {
    TNET_CMD_NOP = 0x00,           // C: nothing to send (carries ACK)
    TNET_CMD_POLL = 0x01,          // M
    TNET_CMD_SEARCH = 0x02,        // M, broadcast
    TNET_CMD_SEARCH_REPLY = 0x03,  // C: hw code[5], hw ver, sw code[5], sw ver, serial u32
    TNET_CMD_CONNECT = 0x04,       // M: owner address u24, reserved u8
    TNET_CMD_DISCONNECT = 0x05,    // M
    TNET_CMD_SESSION_OPEN = 0x06,  // M: session id u8
    TNET_CMD_NACK = 0x07,          // C/M: refused command u8, reason u8 (tnet_nack_reason)
    TNET_CMD_DATALINK = 0x08,      // C/M: peer u24, source port, destination port, data (sequenced)
    TNET_CMD_PUBLISH = 0x10,       // C/M: oid u32, vid u16, vtype u8, timestamp u32, value (sequenced)
    TNET_CMD_SUBSCRIBE = 0x11,     // C: oid u32, vid u16 (sequenced)
    TNET_CMD_SYNCHRONIZED = 0x12,  // M: oid u32, vid u16 (sequenced)
    TNET_CMD_SYNC_TIME = 0x13,     // C/M: network time u32 (sequenced)
    TNET_CMD_OBJECT_INFO = 0x14,   // M: oid u32, type, subtype, flags, reserved (sequenced)
    TNET_CMD_OBJECT_REMOVE = 0x15, // M: oid u32 (sequenced)
};

enum tnet_nack_reason : uint8_t {
    TNET_NACK_NOT_CONNECTED = 1,
    TNET_NACK_NO_SESSION = 2,
    TNET_NACK_MALFORMED = 3,
    TNET_NACK_UNKNOWN_COMMAND = 4,
};

// Fixed payload sizes.
constexpr uint16_t TNET_SEARCH_REPLY_SIZE = 16;
constexpr uint16_t TNET_CONNECT_SIZE = 4;
constexpr uint16_t TNET_SESSION_OPEN_SIZE = 1;
constexpr uint16_t TNET_NACK_SIZE = 2;
constexpr uint16_t TNET_SUBSCRIBE_SIZE = 6; // also SYNCHRONIZED
constexpr uint16_t TNET_SYNC_TIME_SIZE = 4;
constexpr uint16_t TNET_OBJECT_INFO_SIZE = 8;
constexpr uint16_t TNET_OBJECT_REMOVE_SIZE = 4;
constexpr uint16_t TNET_PUBLISH_HEADER_SIZE = 11; // oid, vid, vtype, timestamp; the value follows

// PUBLISH payload; SUBSCRIBE and SYNCHRONIZED carry its oid and vid only, OBJECT_INFO and OBJECT_REMOVE its
// oid.
constexpr uint16_t TNET_PUB_OFS_OID = 0;
constexpr uint16_t TNET_PUB_OFS_VID = 4;
constexpr uint16_t TNET_PUB_OFS_VTYPE = 6;
constexpr uint16_t TNET_PUB_OFS_TIMESTAMP = 7;
constexpr uint16_t TNET_PUB_OFS_VALUE = TNET_PUBLISH_HEADER_SIZE; // text and data: length u16, then the bytes
// OBJECT_INFO payload after the oid.
constexpr uint16_t TNET_INFO_OFS_TYPE = 4;
constexpr uint16_t TNET_INFO_OFS_SUBTYPE = 5;
constexpr uint16_t TNET_INFO_OFS_FLAGS = 6;

// SEARCH_REPLY payload.
constexpr uint16_t TNET_SR_OFS_HW_CODE = 0; // 5 characters, not terminated
constexpr uint16_t TNET_SR_OFS_HW_VERSION = 5;
constexpr uint16_t TNET_SR_OFS_SW_CODE = 6; // 5 characters, not terminated
constexpr uint16_t TNET_SR_OFS_SW_VERSION = 11;
constexpr uint16_t TNET_SR_OFS_SERIAL = 12;

// DATALINK payload: peer address u24, source port, destination port, then the datagram.
constexpr uint16_t TNET_DL_OFS_PEER = 0;
constexpr uint16_t TNET_DL_OFS_SRC_PORT = 3;
constexpr uint16_t TNET_DL_OFS_DST_PORT = 4;
constexpr uint8_t TNET_PORT_ECHO = 0;
constexpr uint8_t TNET_PORT_BLDR = 1;
constexpr uint8_t TNET_PORT_SERV = 2;

// Name of a command code, or nullptr for a reserved code (print "UNKNOWN(%u)" then).
constexpr const char* tnet_command_name(uint8_t command) {
    switch (command) {
        case TNET_CMD_NOP:
            return "NOP";
        case TNET_CMD_POLL:
            return "POLL";
        case TNET_CMD_SEARCH:
            return "SEARCH";
        case TNET_CMD_SEARCH_REPLY:
            return "SEARCH_REPLY";
        case TNET_CMD_CONNECT:
            return "CONNECT";
        case TNET_CMD_DISCONNECT:
            return "DISCONNECT";
        case TNET_CMD_SESSION_OPEN:
            return "SESSION_OPEN";
        case TNET_CMD_NACK:
            return "NACK";
        case TNET_CMD_DATALINK:
            return "DATALINK";
        case TNET_CMD_PUBLISH:
            return "PUBLISH";
        case TNET_CMD_SUBSCRIBE:
            return "SUBSCRIBE";
        case TNET_CMD_SYNCHRONIZED:
            return "SYNCHRONIZED";
        case TNET_CMD_SYNC_TIME:
            return "SYNC_TIME";
        case TNET_CMD_OBJECT_INFO:
            return "OBJECT_INFO";
        case TNET_CMD_OBJECT_REMOVE:
            return "OBJECT_REMOVE";
        default:
            return nullptr;
    }
}

// Name of a command code for a trace line, "UNKNOWN" for a reserved code.
constexpr const char* tnet_command_text(uint8_t command) {
    const char* name = tnet_command_name(command);
    return name != nullptr ? name : "UNKNOWN";
}

constexpr bool tnet_command_is_known(uint8_t command) {
    return tnet_command_name(command) != nullptr;
}

// Sequenced commands are sent stop-and-wait and acknowledged through the control byte.
constexpr bool tnet_command_is_sequenced(uint8_t command) {
    return command == TNET_CMD_DATALINK || (command >= TNET_CMD_PUBLISH && command <= TNET_CMD_OBJECT_REMOVE);
}

// Name of a NACK reason, or nullptr for an unknown one.
constexpr const char* tnet_nack_reason_name(uint8_t reason) {
    switch (reason) {
        case TNET_NACK_NOT_CONNECTED:
            return "not connected";
        case TNET_NACK_NO_SESSION:
            return "no session";
        case TNET_NACK_MALFORMED:
            return "malformed";
        case TNET_NACK_UNKNOWN_COMMAND:
            return "unknown command";
        default:
            return nullptr;
    }
}

// Writes the 5-byte header; returns TNET_HEADER_SIZE.
constexpr uint16_t tnet_put_header(uint8_t* pkt, uint32_t address, uint8_t command, uint8_t control) {
    put_le24(pkt + TNET_OFS_ADDRESS, address);
    pkt[TNET_OFS_COMMAND] = command;
    pkt[TNET_OFS_CONTROL] = control;
    return TNET_HEADER_SIZE;
}

} // namespace tdx
