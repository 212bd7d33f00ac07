#include "Libraries/tavi_net/bl_client.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/os.h"

#include <algorithm>
#include <cstring>

namespace tdx {

namespace {

constexpr uint8_t MODE_UNKNOWN = 0xFF;

int raise(bl_client* client, bl_cl_event event, void* arg) {
    return client->callback ? client->callback(client, event, arg) : 0;
}

void stop(bl_client* client, uint8_t state) {
    client->state = state;
    client->request_length = 0;
}

void fault(bl_client* client, int32_t code, uint8_t status) {
    dbg_printf_h("bl %06X: fault %d in %s, status %u", client->address, code,
                 bl_client_state_name(client->state), status);
    bl_event_arg_fault arg{code, client->state, status};
    client->upgrade_wanted = false;
    stop(client, BL_CL_IDLE);
    raise(client, BL_CL_EVENT_FAULT, &arg);
}

// A new request (next sequence number) that goes out after `delay` ms.
void request(bl_client* client, uint8_t state, uint8_t cmd, uint16_t payloadLength, uint64_t delay) {
    client->state = state;
    ++client->seq;
    client->request[0] = cmd;
    client->request[1] = 0;
    put_le16(client->request + 2, client->seq);
    client->request_length = static_cast<uint16_t>(BL_HEADER_SIZE + payloadLength);
    client->due = timer() + delay;
}

void poll_state(bl_client* client, uint8_t state, uint64_t delay) {
    request(client, state, BL_CMD_GET_BL_STATE, 0, delay);
}

// Runs a callback and tells whether it left the master as it was (it may start another exchange from inside).
bool raise_untouched(bl_client* client, bl_cl_event event, void* arg) {
    const uint8_t state = client->state;
    const uint16_t seq = client->seq;
    raise(client, event, arg);
    return client->state == state && client->seq == seq;
}

void start_upgrade_file(bl_client* client) {
    bl_file file{};
    uint8_t extraLength = 0;
    uint8_t* extra = client->request + BL_HEADER_SIZE + sizeof(bl_file) + 1;
    bl_event_arg_upgrade_start arg{client->file_id, &file, &extraLength, extra};
    client->state = BL_CL_UPGRADE_START;
    if (raise(client, BL_CL_EVENT_UPGRADE_START, &arg) != 0) {
        fault(client, BL_FAULT_CALLBACK, 0);
        return;
    }
    client->file_size = bl_file_length(&file);
    std::memcpy(client->request + BL_HEADER_SIZE, &file, sizeof(bl_file));
    client->request[BL_HEADER_SIZE + sizeof(bl_file)] = extraLength;
    request(client, BL_CL_UPGRADE_START, BL_CMD_UPGRADE_START,
            static_cast<uint16_t>(sizeof(bl_file) + 1 + extraLength), 0);
}

void continue_upgrade(bl_client* client) {
    if (client->mode == BL_MODE_BOOTLOADER) {
        start_upgrade_file(client);
    } else {
        request(client, BL_CL_RUN_BL, BL_CMD_RUN_BL, 0, 0);
    }
}

// Reports the mode the device answered with; an upgrade asked for before the mode was known goes on.
void report_mode(bl_client* client) {
    const bool bootloader = client->mode == BL_MODE_BOOTLOADER;
    stop(client, BL_CL_READY);
    if (raise_untouched(client, bootloader ? BL_CL_EVENT_BOOTLOADER : BL_CL_EVENT_APPLICATION, nullptr) &&
        client->upgrade_wanted) {
        continue_upgrade(client);
    }
}

// Reply to UPGRADE_START or UPGRADE_DATA: [next offset u32][max chunk u16][done u8].
void next_chunk(bl_client* client, const uint8_t* payload) {
    const uint32_t offset = get_le32(payload);
    const uint16_t maxChunk = get_le16(payload + 4);
    if (payload[6] != 0) {
        client->upgrade_wanted = false;
        stop(client, BL_CL_READY);
        raise(client, BL_CL_EVENT_DONE, nullptr);
        return;
    }
    if (offset > client->file_size) {
        fault(client, BL_FAULT_OFFSET, 0);
        return;
    }
    const uint32_t length = std::min<uint32_t>({maxChunk, client->file_size - offset, BL_MAX_CHUNK});
    if (length == 0) {
        // Not done, yet nothing left to send or nothing accepted: the device contradicts itself.
        fault(client, BL_FAULT_MALFORMED_REPLY, 0);
        return;
    }
    uint8_t* data = client->request + BL_HEADER_SIZE + 6;
    bl_event_arg_data arg{client->file_id, offset, length, data};
    client->state = BL_CL_DATA;
    if (raise(client, BL_CL_EVENT_DATA, &arg) != 0) {
        fault(client, BL_FAULT_CALLBACK, 0);
        return;
    }
    put_le32(client->request + BL_HEADER_SIZE, offset);
    put_le16(client->request + BL_HEADER_SIZE + 4, static_cast<uint16_t>(length));
    request(client, BL_CL_DATA, BL_CMD_UPGRADE_DATA, static_cast<uint16_t>(6 + length), 0);
}

bool valid_mode(uint8_t mode) {
    return mode == BL_MODE_APPLICATION || mode == BL_MODE_BOOTLOADER;
}

// Expected reply payload length per state.
int expected_length(uint8_t state) {
    switch (state) {
        case BL_CL_PROTO:
            return 2;
        case BL_CL_DEV_INFO:
            return sizeof(bl_dev_info);
        case BL_CL_STATE:
        case BL_CL_WAIT_BL:
        case BL_CL_WAIT_APP:
            return 4;
        case BL_CL_RUN_BL:
            return 2;
        case BL_CL_UPGRADE_START:
        case BL_CL_DATA:
            return 7;
        case BL_CL_RUN_APP:
            return 0;
        default:
            return -1;
    }
}

// A reply byte that names no mode makes the whole reply malformed.
bool mode_valid(bl_client* client, uint8_t mode) {
    if (!valid_mode(mode)) {
        fault(client, BL_FAULT_MALFORMED_REPLY, 0);
        return false;
    }
    return true;
}

void on_device_info(bl_client* client, const uint8_t* payload) {
    std::memcpy(&client->info, payload, sizeof(bl_dev_info));
    client->info_valid = true;
    stop(client, BL_CL_READY);
    if (raise_untouched(client, BL_CL_EVENT_DEVICE_INFO, &client->info)) {
        report_mode(client);
    }
}

void on_bootloader_starting(bl_client* client, const uint8_t* payload) {
    uint32_t seconds = get_le16(payload);
    client->mode = MODE_UNKNOWN;
    poll_state(client, BL_CL_WAIT_BL, client->retry_ms);
    raise(client, BL_CL_EVENT_BL_STARTING, &seconds);
}

// Waiting for the bootloader or the application to run: poll again until the device reports it.
void on_mode_while_waiting(bl_client* client, uint8_t mode) {
    const uint8_t wanted = client->state == BL_CL_WAIT_BL ? BL_MODE_BOOTLOADER : BL_MODE_APPLICATION;
    if (mode != wanted) {
        poll_state(client, client->state, client->retry_ms);
        return;
    }
    client->mode = mode;
    if (wanted == BL_MODE_APPLICATION) {
        // The application that now runs may be another one than before: its information is read again, and
        // the application is reported once it is known.
        request(client, BL_CL_DEV_INFO, BL_CMD_GET_DEV_INFO, 0, 0);
    } else if (raise_untouched(client, BL_CL_EVENT_BOOTLOADER, nullptr)) {
        start_upgrade_file(client);
    }
}

void handle_reply(bl_client* client, const uint8_t* payload, uint32_t length) {
    if (static_cast<int>(length) != expected_length(client->state)) {
        dbg_printf_h("bl %06X: reply of %u bytes in %s", client->address, length,
                     bl_client_state_name(client->state));
        fault(client, BL_FAULT_MALFORMED_REPLY, 0);
        return;
    }
    switch (client->state) {
        case BL_CL_PROTO:
            if (mode_valid(client, payload[1])) {
                client->mode = payload[1];
                request(client, BL_CL_DEV_INFO, BL_CMD_GET_DEV_INFO, 0, 0);
            }
            break;
        case BL_CL_DEV_INFO:
            on_device_info(client, payload);
            break;
        case BL_CL_STATE:
            if (mode_valid(client, payload[0])) {
                client->mode = payload[0];
                report_mode(client);
            }
            break;
        case BL_CL_RUN_BL:
            on_bootloader_starting(client, payload);
            break;
        case BL_CL_WAIT_BL:
        case BL_CL_WAIT_APP:
            if (mode_valid(client, payload[0])) {
                on_mode_while_waiting(client, payload[0]);
            }
            break;
        case BL_CL_UPGRADE_START:
        case BL_CL_DATA:
            next_chunk(client, payload);
            break;
        case BL_CL_RUN_APP:
            client->mode = MODE_UNKNOWN;
            poll_state(client, BL_CL_WAIT_APP, client->retry_ms);
            break;
        default:
            break;
    }
}

int take_due(bl_client* client, uint8_t* buf) {
    if (client->request_length == 0 || timer() < client->due) {
        return 0;
    }
    std::memcpy(buf, client->request, client->request_length);
    client->due = timer() + client->retry_ms;
    return client->request_length;
}

} // namespace

void bl_client_init(bl_client* client, bl_client_callback callback, uint32_t address, uint32_t retry_ms) {
    std::memset(client, 0, sizeof(*client));
    client->callback = callback;
    client->address = address;
    client->retry_ms = retry_ms;
    client->mode = MODE_UNKNOWN;
}

void bl_client_connect(bl_client* client) {
    client->upgrade_wanted = false;
    client->mode = MODE_UNKNOWN;
    if (client->info_valid) {
        poll_state(client, BL_CL_STATE, 0);
    } else {
        request(client, BL_CL_PROTO, BL_CMD_GET_PROTO_VERSION, 0, 0);
    }
}

void bl_client_run_upgrade(bl_client* client, uint32_t fileId) {
    client->file_id = fileId;
    client->file_size = 0;
    client->upgrade_wanted = true;
    if (client->mode == MODE_UNKNOWN) {
        poll_state(client, BL_CL_STATE, 0);
    } else {
        continue_upgrade(client);
    }
}

void bl_client_run_app(bl_client* client) {
    client->upgrade_wanted = false;
    request(client, BL_CL_RUN_APP, BL_CMD_RUN_APP, 0, 0);
}

void bl_client_disconnect(bl_client* client) {
    client->upgrade_wanted = false;
    stop(client, BL_CL_IDLE);
}

int bl_client_io_up(bl_client* client, uint8_t* buf, uint32_t len) {
    if (client->request_length == 0) {
        dbg_printf_h("bl %06X: reply without a request in %s, ignored", client->address,
                     bl_client_state_name(client->state));
        return 0;
    }
    if (len < BL_HEADER_SIZE || buf[0] != (client->request[0] | BL_REPLY_FLAG) ||
        get_le16(buf + 2) != client->seq) {
        // A request resent while its answer was on the way (a line busy with a synchronisation) is answered
        // twice: the second answer is expected.
        const bool repeated = len >= BL_HEADER_SIZE && client->answered &&
                              buf[0] == (client->answered_cmd | BL_REPLY_FLAG) &&
                              get_le16(buf + 2) == client->answered_seq;
        if (!repeated) {
            dbg_printf_h("bl %06X: stale reply (%u bytes, cmd %02X) in %s, ignored", client->address, len,
                         len > 0 ? buf[0] : 0, bl_client_state_name(client->state));
        }
        return 0;
    }
    client->answered = true;
    client->answered_cmd = client->request[0];
    client->answered_seq = client->seq;
    if (buf[1] != BL_STATUS_OK) {
        fault(client, BL_FAULT_DEVICE_STATUS, buf[1]);
        return 0;
    }
    handle_reply(client, buf + BL_HEADER_SIZE, len - BL_HEADER_SIZE);
    return take_due(client, buf);
}

int bl_client_io_task(bl_client* client, uint8_t* buf) {
    return take_due(client, buf);
}

const char* bl_client_state_name(uint8_t state) {
    static const char* const names[] = {"idle",          "proto", "dev info", "state",    "run bl", "wait bl",
                                        "upgrade start", "data",  "run app",  "wait app", "ready"};
    return state < sizeof(names) / sizeof(names[0]) ? names[state] : "UNKNOWN";
}

} // namespace tdx
