// Upgrading master of the bootloader protocol. It owns no socket: the owner feeds it the replies that arrive
// (bl_client_io_up) and asks it for the request to send whenever the socket may send (bl_client_io_task). It
// retries its current request every retry period and never gives up by itself; the owner supervises.
#pragma once

#include "Libraries/link_bus/tnet_config.h"
#include "Libraries/tavi_net/bl_protocol.h"

#include <cstdint>

namespace tdx {

// Events 0 and 2 are reserved and never raised.
enum bl_cl_event {
    BL_CL_EVENT_DEVICE_INFO = 1,   // arg: bl_dev_info*
    BL_CL_EVENT_APPLICATION = 3,   // arg: null
    BL_CL_EVENT_BOOTLOADER = 4,    // arg: null
    BL_CL_EVENT_BL_STARTING = 5,   // arg: uint32_t* maximum restart time in seconds
    BL_CL_EVENT_UPGRADE_START = 6, // arg: bl_event_arg_upgrade_start*
    BL_CL_EVENT_DATA = 7,          // arg: bl_event_arg_data*
    BL_CL_EVENT_FAULT = 8,         // arg: bl_event_arg_fault*
    BL_CL_EVENT_DONE = 9,          // arg: null
};

enum bl_cl_fault : int32_t {
    BL_FAULT_DEVICE_STATUS = 1,
    BL_FAULT_MALFORMED_REPLY = 2,
    BL_FAULT_CALLBACK = 4,
    BL_FAULT_OFFSET = 5,
};

// Master state numbers, traced by the owner.
enum bl_cl_state : uint8_t {
    BL_CL_IDLE = 0,
    BL_CL_PROTO = 1,
    BL_CL_DEV_INFO = 2,
    BL_CL_STATE = 3,
    BL_CL_RUN_BL = 4,
    BL_CL_WAIT_BL = 5,
    BL_CL_UPGRADE_START = 6,
    BL_CL_DATA = 7,
    BL_CL_RUN_APP = 8,
    BL_CL_WAIT_APP = 9,
    BL_CL_READY = 10,
};

struct bl_event_arg_fault {
    int32_t code;   // bl_cl_fault
    uint8_t state;  // master state when it happened
    uint8_t status; // the device's status for BL_FAULT_DEVICE_STATUS, else 0
};

constexpr uint16_t BL_MAX_EXTRA = 255;

struct bl_event_arg_upgrade_start {
    uint32_t file_id;
    bl_file* file;         // to fill
    uint8_t* extra_length; // to fill, 0..BL_MAX_EXTRA
    uint8_t* extra;        // BL_MAX_EXTRA bytes of room
};

struct bl_event_arg_data {
    uint32_t file_id;
    uint32_t offset;
    uint32_t length;
    uint8_t* buffer; // room for length bytes
};

struct bl_client;
// A non-zero result for BL_CL_EVENT_UPGRADE_START or BL_CL_EVENT_DATA ends the exchange with
// BL_FAULT_CALLBACK.
using bl_client_callback = int (*)(bl_client* client, bl_cl_event event, void* arg);

struct bl_client {
    bl_client_callback callback;
    uint32_t address;
    uint32_t retry_ms;
    uint8_t state;    // bl_cl_state
    bl_dev_info info; // valid once BL_CL_EVENT_DEVICE_INFO was raised
    bool info_valid;
    uint8_t mode; // bl_mode last reported; 0xFF unknown
    uint32_t file_id;
    uint32_t file_size; // D of the file being sent
    bool upgrade_wanted;
    uint16_t seq;
    // The request answered last: a resent copy of it, answered late, is no fault.
    bool answered;
    uint8_t answered_cmd;
    uint16_t answered_seq;
    uint64_t due; // timer() at which the current request goes out (again)
    uint16_t request_length;
    uint8_t request[TNET_DATALINK_MTU];
};

void bl_client_init(bl_client* client, bl_client_callback callback, uint32_t address, uint32_t retry_ms);
void bl_client_connect(bl_client* client);
void bl_client_run_upgrade(bl_client* client, uint32_t fileId);
// Asks the device to run its application and polls until it does; then reads its information again (the
// version it now runs) and raises BL_CL_EVENT_DEVICE_INFO before BL_CL_EVENT_APPLICATION.
void bl_client_run_app(bl_client* client);
void bl_client_disconnect(bl_client* client);
// Takes one reply datagram; returns the length of the next request written into buf, 0 for none. buf must
// hold TNET_DATALINK_MTU bytes.
int bl_client_io_up(bl_client* client, uint8_t* buf, uint32_t len);
// When the current request is due, writes it into buf (TNET_DATALINK_MTU bytes) and returns its length, else
// 0.
int bl_client_io_task(bl_client* client, uint8_t* buf);

const char* bl_client_state_name(uint8_t state);

} // namespace tdx
