#include "Libraries/tavi_net/tnet.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/os.h"
#include "Libraries/link_bus/link_bus.h"
#include "Libraries/tavi_net/bl_protocol.h"
#include "Libraries/tavi_net/tnet_internal.h"
#include "SourceHost/api_lib/comf.h"
#include "SourceHost/api_lib/device_info.h"

#include <cstring>

namespace tdx {

namespace {

using namespace tnet_detail;

constexpr uint32_t NO_OWNER = 0xFFFFFFFF;

enum class Reply : uint8_t { None, Normal, Nack, SearchReply };

// The one packet the client keeps sending until the master acknowledges it.
struct Outstanding {
    bool active = false;
    uint8_t cmd = 0;
    uint8_t seq = 0;
    uint16_t length = 0;
    uint64_t firstSent = 0;  // timer() of its first send: it is given up TNET_SUPERVISION_MS later
    xsock* socket = nullptr; // DATALINK: the socket it came from
    uint8_t payload[TNET_MAX_COMMAND_SIZE] = {};
};

struct Client {
    const serial_port* serialPort = &comf_serial_port;
    const tnet_client_handler* handler = nullptr;
    bool haveDevice = false;
    uint32_t address = 0;
    bl_dev_info info{};
    bool interfaces[TNET_INTERFACES] = {};
    bool started = false;

    tnet_state state = TNET_OFFLINE;
    bool learning = false;
    uint32_t owner = NO_OWNER;
    uint8_t session = 0;
    // The master spoke in this session after opening it: a SESSION_OPEN with the same id is a new session.
    bool sessionHeard = false;
    uint64_t lastMaster = 0;
    uint32_t polls = 0; // POLLs taken in a session, counted after the acknowledgement each carries

    Outstanding out;
    uint8_t txSeq = 0;
    bool rxValid = false; // a sequenced packet was accepted in this session
    uint8_t rxSeq = 0;
    bool preferDatalink = false;

    // The reply owed for this pass.
    Reply reply = Reply::None;
    int replyInterface = 0;
    uint8_t nackCommand = 0;
    uint8_t nackReason = 0;
};

Client sClient;

const tnet_client_handler* handler() {
    static const tnet_client_handler none{};
    return sClient.handler ? sClient.handler : &none;
}

void set_learning(bool learning) {
    if (sClient.learning == learning) {
        return;
    }
    sClient.learning = learning;
    if (handler()->learn_changed) {
        handler()->learn_changed(learning ? 1 : 0);
    }
}

void reset_sequences() {
    sClient.txSeq = 0;
    sClient.rxValid = false;
    sClient.rxSeq = 0;
}

void finish_outstanding(bool ok) {
    Outstanding& out = sClient.out;
    if (!out.active) {
        return;
    }
    out.active = false;
    if (out.cmd == TNET_CMD_DATALINK) {
        datalink_done(out.socket, ok);
    } else if (ok) {
        if (handler()->transmitted) {
            handler()->transmitted(out.cmd);
        }
    } else if (handler()->transmit_failed) {
        handler()->transmit_failed(out.cmd);
    }
}

// Leaves CONNECTED or SESSION; the upper layer hears of it when a session was open.
void drop_connection(int reason) {
    const bool hadSession = sClient.state == TNET_SESSION;
    if (sClient.state < TNET_CONNECTED) {
        return;
    }
    dbg_printf_h("tnet: %s ends (%s)", tnet_state_name(sClient.state), tnet_disconnect_reason_name(reason));
    reset_sequences();
    sClient.state = sClient.learning ? TNET_LEARN : TNET_OFFLINE;
    sClient.owner = NO_OWNER;
    datalink_session_ended();
    // The upper layer hears of the end first, so that it tells a packet lost with the session from one the
    // master refused.
    if (hadSession && handler()->disconnected) {
        handler()->disconnected(reason);
    }
    finish_outstanding(false);
}

void owe_nack(uint8_t cmd, uint8_t reason) {
    sClient.reply = Reply::Nack;
    sClient.nackCommand = cmd;
    sClient.nackReason = reason;
}

uint8_t not_in_session_reason() {
    return sClient.state == TNET_CONNECTED ? TNET_NACK_NO_SESSION : TNET_NACK_NOT_CONNECTED;
}

void handle_ack(uint8_t control) {
    Outstanding& out = sClient.out;
    if (!out.active || !(control & TNET_CTL_ACK)) {
        return;
    }
    const uint8_t ackSeq = (control & TNET_CTL_ACKSEQ) ? 1 : 0;
    if (ackSeq == out.seq) {
        sClient.txSeq ^= 1;
        finish_outstanding(true);
    }
}

void handle_sequenced(uint8_t cmd, uint8_t control, const uint8_t* payload, uint16_t len) {
    const uint8_t seq = control & TNET_CTL_SEQ;
    if (sClient.rxValid && seq == sClient.rxSeq) {
        dbg_printf_h("tnet: duplicate %s seq=%u acknowledged again, not delivered", tnet_command_text(cmd),
                     seq);
        return;
    }
    if (cmd == TNET_CMD_DATALINK && !datalink_can_take(payload, len)) {
        // Not acknowledged: the master repeats it, and the listener takes it once its reply has left.
        return;
    }
    sClient.rxValid = true;
    sClient.rxSeq = seq;
    if (cmd == TNET_CMD_DATALINK) {
        datalink_receive(payload, len);
    } else if (handler()->received) {
        handler()->received(cmd, payload, len);
    }
}

// A payload that does not fit its command is refused with its reason; in a session its ACK still counts.
bool refuse_malformed(uint8_t cmd, uint8_t control, const uint8_t* payload, uint16_t len) {
    const int check = tnet_payload_check(cmd, payload, len, true);
    if (check == 0) {
        return false;
    }
    dbg_printf_h("tnet: %s%s from the master with %u payload bytes refused (%s)", tnet_command_text(cmd),
                 tnet_command_is_known(cmd) ? "" : fmt("(%u)", cmd), len, tnet_nack_reason_name(check));
    if (sClient.state == TNET_SESSION) {
        handle_ack(control);
    }
    owe_nack(cmd, static_cast<uint8_t>(check));
    return true;
}

void take_connect(const uint8_t* payload) {
    drop_connection(TNET_DISCONNECT_RECONNECT);
    sClient.owner = get_le24(payload);
    sClient.state = TNET_CONNECTED;
    set_learning(false);
    dbg_printf_h("tnet: connected to %06X", sClient.owner);
}

void take_session_open(uint8_t session) {
    if (sClient.state < TNET_CONNECTED) {
        owe_nack(TNET_CMD_SESSION_OPEN, TNET_NACK_NOT_CONNECTED);
        return;
    }
    if (sClient.state == TNET_SESSION && session == sClient.session && !sClient.sessionHeard) {
        // The master missed our answer and asks again: answer again, the session goes on.
        dbg_printf_h("tnet: session %u opened again, answered again", sClient.session);
        return;
    }
    if (sClient.state == TNET_SESSION) {
        const uint32_t owner = sClient.owner;
        drop_connection(TNET_DISCONNECT_RECONNECT);
        sClient.owner = owner;
    }
    reset_sequences();
    sClient.session = session;
    sClient.sessionHeard = false;
    sClient.state = TNET_SESSION;
    dbg_printf_h("tnet: session %u with %06X", sClient.session, sClient.owner);
    if (handler()->connected) {
        handler()->connected(sClient.owner);
    }
}

// Every other command needs the session; its ACK bits count before the command itself.
void take_in_session(uint8_t cmd, uint8_t control, const uint8_t* payload, uint16_t len) {
    if (sClient.state != TNET_SESSION) {
        owe_nack(cmd, not_in_session_reason());
        return;
    }
    sClient.sessionHeard = true;
    handle_ack(control);
    if (cmd == TNET_CMD_POLL) {
        ++sClient.polls;
    } else if (cmd == TNET_CMD_NACK) {
        dbg_printf_h("tnet: master refused %u (%u)", payload[0], payload[1]);
        // The master did not take the packet, so its sequence number stays free for the next one.
        if (sClient.out.active && sClient.out.cmd == payload[0]) {
            finish_outstanding(false);
        }
    } else if (tnet_command_is_sequenced(cmd)) {
        handle_sequenced(cmd, control, payload, len);
    }
}

void handle_addressed(uint8_t cmd, uint8_t control, const uint8_t* payload, uint16_t len) {
    sClient.lastMaster = timer();
    sClient.reply = Reply::Normal;
    if (refuse_malformed(cmd, control, payload, len)) {
        return;
    }
    switch (cmd) {
        case TNET_CMD_CONNECT:
            take_connect(payload);
            return;
        case TNET_CMD_SESSION_OPEN:
            take_session_open(payload[0]);
            return;
        case TNET_CMD_DISCONNECT:
            drop_connection(TNET_DISCONNECT_MASTER);
            return;
        default:
            take_in_session(cmd, control, payload, len);
            return;
    }
}

void on_packet(const uint8_t* pkt, uint16_t len, void* user) {
    if (len < TNET_HEADER_SIZE) {
        dbg_printf_h("tnet: packet of %u bytes dropped", len);
        return;
    }
    const uint8_t control = pkt[TNET_OFS_CONTROL];
    if (control & TNET_CTL_DIR) {
        return; // our own echo or another client's reply
    }
    const uint32_t address = get_le24(pkt + TNET_OFS_ADDRESS);
    const bool broadcast = address == TNET_BROADCAST;
    if (!sClient.started || !sClient.haveDevice || (!broadcast && address != sClient.address)) {
        return;
    }
    const uint8_t cmd = pkt[TNET_OFS_COMMAND];
    const uint8_t* payload = pkt + TNET_HEADER_SIZE;
    const uint16_t payloadLength = static_cast<uint16_t>(len - TNET_HEADER_SIZE);
    if (control & TNET_CTL_RESERVED) {
        dbg_printf_h("tnet: packet with reserved control bits %02X dropped", control);
        return;
    }
    if (payloadLength > TNET_MAX_COMMAND_SIZE) {
        dbg_printf_h("tnet: packet with %u payload bytes dropped", payloadLength);
        return;
    }
    if (broadcast) {
        if (cmd != TNET_CMD_SEARCH || payloadLength != 0) {
            dbg_printf_h("tnet: broadcast command %u with %u bytes dropped", cmd, payloadLength);
        } else if (sClient.learning) {
            sClient.reply = Reply::SearchReply;
            sClient.replyInterface = static_cast<int>(reinterpret_cast<intptr_t>(user));
        }
        return;
    }
    sClient.replyInterface = static_cast<int>(reinterpret_cast<intptr_t>(user));
    handle_addressed(cmd, control, payload, payloadLength);
}

uint8_t ack_bits() {
    if (!sClient.rxValid) {
        return 0;
    }
    return static_cast<uint8_t>(TNET_CTL_ACK | (sClient.rxSeq ? TNET_CTL_ACKSEQ : 0));
}

void send_packet(uint8_t cmd, uint8_t control, const uint8_t* payload, uint16_t len) {
    uint8_t pkt[TNET_MAX_PACKET_SIZE];
    tnet_put_header(pkt, sClient.address, cmd, static_cast<uint8_t>(control | TNET_CTL_DIR));
    if (len > 0) {
        std::memcpy(pkt + TNET_HEADER_SIZE, payload, len);
    }
    const uint16_t total = static_cast<uint16_t>(TNET_HEADER_SIZE + len);
    if (link_if_send(sClient.replyInterface, pkt, total) != 0) {
        dbg_printf_h("tnet: %s not queued on interface %d", tnet_command_text(cmd), sClient.replyInterface);
    }
}

// Takes the next upper-layer command or datagram as the outstanding packet; the two take turns.
bool take_next() {
    Outstanding& out = sClient.out;
    for (int attempt = 0; attempt < 2; ++attempt) {
        const bool datalink = sClient.preferDatalink != (attempt == 1);
        if (datalink) {
            if (xsock* socket = datalink_next_pending()) {
                out.cmd = TNET_CMD_DATALINK;
                out.length = datalink_take(socket, out.payload);
                out.socket = socket;
                sClient.preferDatalink = false;
                return true;
            }
        } else if (handler()->transmit) {
            uint8_t cmd = 0;
            const int length = handler()->transmit(&cmd, out.payload, TNET_MAX_COMMAND_SIZE);
            if (length >= 0) {
                if (length > TNET_MAX_COMMAND_SIZE || !tnet_command_is_sequenced(cmd) ||
                    cmd == TNET_CMD_DATALINK || tnet_payload_check(cmd, out.payload, length, false) != 0) {
                    dbg_printf_h("tnet: upper layer handed %u with %d bytes: not sent", cmd, length);
                    if (handler()->transmit_failed) {
                        handler()->transmit_failed(cmd);
                    }
                    continue;
                }
                out.cmd = cmd;
                out.length = static_cast<uint16_t>(length);
                out.socket = nullptr;
                sClient.preferDatalink = true;
                return true;
            }
        }
    }
    return false;
}

void send_session_reply() {
    Outstanding& out = sClient.out;
    if (out.active && timer() - out.firstSent >= TNET_SUPERVISION_MS) {
        const uint8_t cmd = out.cmd;
        drop_connection(TNET_DISCONNECT_RETRIES);
        // The master hears at once that the client needs connecting again.
        const uint8_t nack[TNET_NACK_SIZE] = {cmd, TNET_NACK_NOT_CONNECTED};
        send_packet(TNET_CMD_NACK, 0, nack, sizeof nack);
        return;
    }
    if (!out.active && take_next()) {
        out.active = true;
        out.seq = sClient.txSeq;
        out.firstSent = timer();
    }
    if (out.active) {
        send_packet(out.cmd, static_cast<uint8_t>(out.seq | ack_bits()), out.payload, out.length);
    } else {
        send_packet(TNET_CMD_NOP, ack_bits(), nullptr, 0);
    }
}

void send_reply() {
    const Reply reply = sClient.reply;
    sClient.reply = Reply::None;
    switch (reply) {
        case Reply::None:
            return;
        case Reply::SearchReply: {
            uint8_t payload[TNET_SEARCH_REPLY_SIZE];
            std::memcpy(payload + TNET_SR_OFS_HW_CODE, sClient.info.hw_code, 5);
            payload[TNET_SR_OFS_HW_VERSION] = sClient.info.hw_version;
            std::memcpy(payload + TNET_SR_OFS_SW_CODE, sClient.info.sw_code, 5);
            payload[TNET_SR_OFS_SW_VERSION] = sClient.info.sw_major;
            std::memcpy(payload + TNET_SR_OFS_SERIAL, sClient.info.serial, 4);
            send_packet(TNET_CMD_SEARCH_REPLY, 0, payload, sizeof payload);
            return;
        }
        case Reply::Nack: {
            if (sClient.state == TNET_SESSION && sClient.out.active) {
                send_session_reply();
                return;
            }
            const uint8_t payload[TNET_NACK_SIZE] = {sClient.nackCommand, sClient.nackReason};
            send_packet(TNET_CMD_NACK, ack_bits(), payload, sizeof payload);
            return;
        }
        case Reply::Normal:
            if (sClient.state == TNET_SESSION) {
                send_session_reply();
            } else {
                send_packet(TNET_CMD_NOP, 0, nullptr, 0);
            }
            return;
    }
}

} // namespace

void tnet_set_serial_port(const serial_port* port) {
    sClient.serialPort = port != nullptr ? port : &comf_serial_port;
}

void tnet_init(const tnet_client_handler* table) {
    sClient.handler = table;
    sClient.serialPort = &comf_serial_port;
}

int tnet_init_interface_bus(int index, const char* port, int, int) {
    if (index < 0 || index >= TNET_INTERFACES || port == nullptr) {
        dbg_printf_h("tnet: interface %d on %s refused", index, port ? port : "(none)");
        return -1;
    }
    link_if_set_receiver(index, on_packet, reinterpret_cast<void*>(static_cast<intptr_t>(index)));
    if (link_if_open(index, sClient.serialPort, port) != 0) {
        dbg_printf_h("tnet: interface %d cannot use port %s", index, port);
        return -1;
    }
    sClient.interfaces[index] = true;
    return 0;
}

void tnet_start() {
    if (DI.hw == nullptr) {
        dbg_printf_h("tnet: started without a device identity, the client stays silent");
    } else {
        sClient.address = DI.hw->network_address & TNET_ADDRESS_MASK;
        bl_dev_info_own(&sClient.info);
        sClient.haveDevice = true;
    }
    sClient.started = true;
    datalink_start();
}

void tnet_learn_request() {
    dbg_printf_h("tnet: learn request");
    set_learning(true);
    if (sClient.state == TNET_OFFLINE) {
        sClient.state = TNET_LEARN;
    }
}

void tnet_if_learn_request() {
    tnet_learn_request();
}

void tnet_task() {
    link_task();
    if (!sClient.started) {
        return;
    }
    if (sClient.state >= TNET_CONNECTED && sClient.reply == Reply::None &&
        timer() - sClient.lastMaster >= TNET_SUPERVISION_MS) {
        drop_connection(TNET_DISCONNECT_SUPERVISION);
    }
    const bool replying = sClient.reply != Reply::None;
    send_reply();
    if (sClient.state == TNET_SESSION) {
        datalink_poll();
    }
    if (replying) {
        link_task(); // the reply leaves in this pass, not one pass late
    }
}

void tnet_stop() {
    for (int i = 0; i < TNET_INTERFACES; ++i) {
        if (sClient.interfaces[i]) {
            link_if_close(i);
            link_if_set_receiver(i, nullptr, nullptr);
        }
    }
    datalink_reset();
    sClient = Client{};
}

tnet_state tnet_get_state() {
    return sClient.state;
}

uint32_t tnet_get_address() {
    return sClient.address;
}

uint32_t tnet_get_owner() {
    return sClient.owner;
}

uint32_t tnet_get_poll_count() {
    return sClient.polls;
}

const char* tnet_disconnect_reason_name(int reason) {
    switch (reason) {
        case TNET_DISCONNECT_MASTER:
            return "disconnected by the master";
        case TNET_DISCONNECT_SUPERVISION:
            return "master silent";
        case TNET_DISCONNECT_RETRIES:
            return "retries exhausted";
        case TNET_DISCONNECT_RECONNECT:
            return "master connects again";
        default:
            return "UNKNOWN";
    }
}

const char* tnet_state_name(int state) {
    switch (state) {
        case TNET_OFFLINE:
            return "OFFLINE";
        case TNET_LEARN:
            return "LEARN";
        case TNET_CONNECTED:
            return "CONNECTED";
        case TNET_SESSION:
            return "SESSION";
        default:
            return "UNKNOWN";
    }
}

} // namespace tdx
