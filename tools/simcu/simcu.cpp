#include "tools/simcu/simcu.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/os.h"
#include "Libraries/link_bus/tnet_packet.h"
#include "Libraries/tavi_net/tnet.h"

#include <algorithm>
#include <utility>

namespace tdx::sim {

namespace {

SimBootloader::Config ownBootloader(const SimConfig& config) {
    SimBootloader::Config bootloader = config.bootloader;
    if (bl_dev_info_serial(&bootloader.info) == 0) {
        put_le32(bootloader.info.serial, config.address & TNET_ADDRESS_MASK);
    }
    bootloader.deferRestart = true;
    return bootloader;
}

} // namespace

SimBootloader::Config SimConfig::unitBootloader() {
    SimBootloader::Config config;
    config.info = SimBootloader::makeInfo("HM316", 1, "HM316", 1, 0, 0);
    config.maxRestartSeconds = 3;
    config.restartMs = 1500;
    config.maxChunk = BL_MAX_CHUNK;
    config.repeatOnce = true;
    return config;
}

SimControlUnit::SimControlUnit(IByteStream& stream, SimConfig config)
    : mStream(stream)
    , mConfig(config)
    , mOwnBootloader(ownBootloader(config)) {
    link_decoder_init(&mDecoder, &SimControlUnit::onPacket, this);
    mNextSend = timer();
}

template <class T>
void SimControlUnit::record(std::vector<T>& list, T entry) {
    if (mConfig.keepLast == 0) {
        return;
    }
    // Trimmed in halves, so that keeping the last N costs no more than appending.
    if (list.size() >= 2 * mConfig.keepLast) {
        list.erase(list.begin(), list.end() - static_cast<std::ptrdiff_t>(mConfig.keepLast - 1));
    }
    list.push_back(std::move(entry));
}

uint32_t SimControlUnit::spoiledFrames() const {
    return mDecoder.drops[LINK_DROP_CRC] + mDecoder.drops[LINK_DROP_SHORT] +
           mDecoder.drops[LINK_DROP_END_AFTER_ESC];
}

void SimControlUnit::step() {
    if (mStepListener) {
        mStepListener();
    }
    const uint32_t spoiled = spoiledFrames();
    receive();
    if (mDown) {
        if (mOwnBootloader.restarting()) {
            return;
        }
        comeBack();
    }
    const uint64_t now = timer();
    // A reply that ended spoiled is over, one that has not begun by replyStartMs will not come, and one whose
    // bytes stopped without a frame's end is over too: no need to wait out the slot before sending again.
    const bool replyStopped =
        mReplyStarted && !mStream.receiving() && now >= mLastByteAt + mConfig.replyGapMs;
    if (mAwaiting && (now >= mSentAt + mConfig.replyTimeoutMs || spoiledFrames() != spoiled ||
                      (!mReplyStarted && now >= mSentAt + mConfig.replyStartMs) || replyStopped)) {
        missed();
    }
    if (!mAwaiting && !mFaults.stopPolling && now >= mNextSend) {
        sendDue();
    }
}

void SimControlUnit::receive() {
    uint8_t buffer[512];
    for (;;) {
        const int n = mStream.read(buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        mReplyStarted = true;
        mLastByteAt = timer();
        link_feed_buffer(&mDecoder, buffer, static_cast<size_t>(n));
    }
}

bool SimControlUnit::wait_until(const std::function<bool()>& predicate, uint32_t timeoutMs, uint32_t stepMs) {
    const uint64_t end = timer() + timeoutMs;
    for (;;) {
        step();
        if (mPump) {
            mPump();
        }
        if (predicate()) {
            return true;
        }
        if (timer() >= end) {
            return false;
        }
        os_clock_advance(stepMs);
    }
}

int SimControlUnit::count(bool fromMaster, uint8_t cmd) const {
    return static_cast<int>(std::count_if(mLog.begin(), mLog.end(), [&](const SimPacket& packet) {
        return packet.fromMaster == fromMaster && packet.cmd == cmd;
    }));
}

// ---- Scenario ----

void SimControlUnit::publish(uint32_t oid, uint16_t vid, const SimValue& value) {
    if (!mModel.setValue(oid, vid, value)) {
        return;
    }
    if (subscribed(oid, vid)) {
        queue(TNET_CMD_PUBLISH, sim_encode_publish(oid, vid, value));
    }
}

void SimControlUnit::publish(uint32_t oid, uint16_t vid, uint8_t type, int64_t number) {
    if (auto value = sim_number(type, number)) {
        publish(oid, vid, *value);
    } else {
        dbg_printf_h("sim: type %u is no number type, %06X:%02X vid %04X not published", type,
                     oid & TNET_ADDRESS_MASK, oid >> 24, vid);
    }
}

void SimControlUnit::add_object(uint32_t oid, uint8_t type, uint8_t subtype) {
    const auto before = roomOutputs();
    mModel.setObject(oid, type, subtype);
    if (subscribed(oid, ALL_VALUES)) {
        std::vector<uint8_t> payload(TNET_OBJECT_INFO_SIZE);
        put_le32(payload.data(), oid);
        payload[TNET_INFO_OFS_TYPE] = type;
        payload[TNET_INFO_OFS_SUBTYPE] = subtype;
        queue(TNET_CMD_OBJECT_INFO, payload);
    }
    if (type == OBJECT_TYPE_OUTPUT) {
        renumberRoomOutputs(before);
    }
}

void SimControlUnit::remove_object(uint32_t oid) {
    const auto before = roomOutputs();
    const auto object = mModel.object(oid);
    if (!mModel.removeObject(oid)) {
        return;
    }
    if (subscribed(oid, ALL_VALUES)) {
        std::vector<uint8_t> payload(TNET_OBJECT_REMOVE_SIZE);
        put_le32(payload.data(), oid);
        queue(TNET_CMD_OBJECT_REMOVE, payload);
    }
    if (object && object->type == OBJECT_TYPE_OUTPUT) {
        renumberRoomOutputs(before);
    }
}

std::map<uint32_t, std::vector<uint32_t>> SimControlUnit::roomOutputs() const {
    const std::vector<uint32_t> outputs = sim_output_list(mModel);
    std::map<uint32_t, std::vector<uint32_t>> rooms;
    mModel.forEachObject(ALL_OBJECTS, [&](uint32_t oid, const SimObject& object) {
        if (object.type != OBJECT_TYPE_ROOM) {
            return;
        }
        std::vector<uint32_t>& list = rooms[oid];
        if (const auto indices = mModel.value(oid, VID_ROOM_OUTPUTS)) {
            for (const uint8_t index : indices->bytes) {
                if (index < outputs.size()) {
                    list.push_back(outputs[index]);
                }
            }
        }
    });
    return rooms;
}

void SimControlUnit::renumberRoomOutputs(const std::map<uint32_t, std::vector<uint32_t>>& before) {
    const std::vector<uint32_t> outputs = sim_output_list(mModel);
    for (const auto& [room, list] : before) {
        const auto current = mModel.value(room, VID_ROOM_OUTPUTS);
        if (!current || !mModel.object(room)) {
            continue;
        }
        std::vector<uint8_t> indices;
        for (const uint32_t output : list) {
            const auto at = std::find(outputs.begin(), outputs.end(), output);
            if (at != outputs.end()) {
                indices.push_back(static_cast<uint8_t>(at - outputs.begin()));
            }
        }
        if (indices != current->bytes) {
            publish(room, VID_ROOM_OUTPUTS, sim_text(current->type, indices));
        }
    }
}

void SimControlUnit::disconnectClient() {
    mDisconnect = true;
}

void SimControlUnit::inject(uint32_t address, uint8_t cmd, uint8_t control,
                            const std::vector<uint8_t>& payload) {
    mInjected.push_back(Outgoing{address & TNET_ADDRESS_MASK, cmd, payload, true, control, 0});
}

void SimControlUnit::injectBytes(const std::vector<uint8_t>& bytes) {
    mStream.write(bytes.data(), static_cast<int>(bytes.size()));
}

void SimControlUnit::knowClient(uint32_t address, bool searchFirst) {
    mClient = address & TNET_ADDRESS_MASK;
    mKnown = true;
    mProbeKnown = !searchFirst;
}

void SimControlUnit::attachDevice(uint32_t address, SimDatagramHandler handler) {
    mDevices[address & TNET_ADDRESS_MASK] = std::move(handler);
}

void SimControlUnit::sendDatagram(uint32_t from, uint8_t srcPort, uint8_t dstPort,
                                  const std::vector<uint8_t>& data) {
    std::vector<uint8_t> payload(TNET_DATALINK_HEADER_SIZE);
    put_le24(payload.data() + TNET_DL_OFS_PEER, from);
    payload[TNET_DL_OFS_SRC_PORT] = srcPort;
    payload[TNET_DL_OFS_DST_PORT] = dstPort;
    payload.insert(payload.end(), data.begin(), data.end());
    queue(TNET_CMD_DATALINK, payload);
}

// ---- Receiving ----

void SimControlUnit::onPacket(const uint8_t* pkt, uint16_t len, void* user) {
    static_cast<SimControlUnit*>(user)->handlePacket(pkt, len);
}

void SimControlUnit::handlePacket(const uint8_t* pkt, uint16_t len) {
    if (mDown) {
        return; // a restarting unit hears nothing
    }
    const uint8_t control = pkt[TNET_OFS_CONTROL];
    if (!(control & TNET_CTL_DIR)) {
        return; // a master's packet: not ours to answer
    }
    const uint32_t address = get_le24(pkt + TNET_OFS_ADDRESS);
    const uint8_t cmd = pkt[TNET_OFS_COMMAND];
    std::vector<uint8_t> payload(pkt + TNET_HEADER_SIZE, pkt + len);
    record(mLog, SimPacket{timer(), false, address, cmd, control, payload});
    if (mFaults.dropReplies > 0 || (mFaults.dropOpenAnswers > 0 && mPhase == Phase::Open)) {
        --(mFaults.dropReplies > 0 ? mFaults.dropReplies : mFaults.dropOpenAnswers);
        return;
    }
    if (tnet_payload_check(cmd, payload.data(), static_cast<uint16_t>(payload.size()), false) != 0) {
        dbg_printf_h("sim: malformed %s from %06X (%u bytes) dropped", tnet_command_text(cmd), address,
                     static_cast<unsigned>(payload.size()));
        if (mAwaiting && address == mAwaitAddress) {
            replyArrived();
            if (mPhase == Phase::Session && tnet_command_is_sequenced(cmd)) {
                mNack = std::make_pair(cmd, static_cast<uint8_t>(TNET_NACK_MALFORMED));
            }
        }
        return;
    }
    if (cmd == TNET_CMD_SEARCH_REPLY) {
        if (mPhase == Phase::Search) {
            dbg_printf_h("sim: found %06X", address);
            mClient = address;
            mKnown = true;
            enterPhase(Phase::Connect);
            mNextSend = timer();
        }
        return;
    }
    const bool awaited = mAwaiting && address == mAwaitAddress;
    if (awaited) {
        replyArrived();
    }
    if (!mKnown || address != mClient) {
        return;
    }
    mOweAck = tnet_command_is_sequenced(cmd);
    if (cmd == TNET_CMD_NACK && mPhase != Phase::Session) {
        if (payload[1] == TNET_NACK_NOT_CONNECTED && mPhase != Phase::Search) {
            enterPhase(Phase::Connect);
        }
        return;
    }
    switch (mPhase) {
        case Phase::Search:
        case Phase::Connect:
            enterPhase(Phase::Open);
            break;
        case Phase::Open:
            enterPhase(Phase::Session);
            break;
        case Phase::Session:
            handleSessionReply(cmd, control, payload);
            break;
    }
    // The exchange is complete: the next packet goes out now while there is something to carry; an idle
    // client is polled every pollPeriodMs.
    if (awaited && hasWork()) {
        mNextSend = timer();
    }
}

bool SimControlUnit::hasWork() const {
    if (mPhase == Phase::Connect || mPhase == Phase::Open) {
        return true;
    }
    return mPhase == Phase::Session && (mOweAck || mOutstanding || !mQueue.empty() || !mInjected.empty() ||
                                        mDisconnect || mNack || mDuplicate);
}

void SimControlUnit::handleSessionReply(uint8_t cmd, uint8_t control, const std::vector<uint8_t>& payload) {
    if (mOutstanding && (control & TNET_CTL_ACK) &&
        ((control & TNET_CTL_ACKSEQ) ? 1 : 0) == mOutstanding->seq) {
        if (mFaults.duplicates > 0) {
            --mFaults.duplicates;
            mDuplicate = mOutstanding;
        }
        const bool restart = mOutstanding->restartAfter;
        mOutstanding.reset();
        mTxSeq ^= 1;
        if (restart) {
            goDown();
            return;
        }
    }
    if (cmd == TNET_CMD_NACK) {
        const uint8_t refused = payload[0];
        const uint8_t reason = payload[1];
        dbg_printf_h("sim: %06X refused %s (%u)", mClient, tnet_command_text(refused), reason);
        if (reason == TNET_NACK_NOT_CONNECTED) {
            enterPhase(Phase::Connect);
        } else if (reason == TNET_NACK_NO_SESSION) {
            enterPhase(Phase::Open);
        } else if (mOutstanding && mOutstanding->cmd == refused) {
            mOutstanding.reset(); // the client will never take it; its SEQ stays free
        }
        return;
    }
    if (!tnet_command_is_sequenced(cmd)) {
        return;
    }
    const uint8_t seq = control & TNET_CTL_SEQ;
    if (mRxValid && seq == mRxSeq) {
        return; // a retransmission of what we have
    }
    if (cmd == TNET_CMD_SUBSCRIBE && mFaults.refusedSubscribes > 0 &&
        get_le16(payload.data() + TNET_PUB_OFS_VID) != ALL_VALUES) {
        --mFaults.refusedSubscribes;
        const uint32_t oid = get_le32(payload.data());
        dbg_printf_h("sim: SUBSCRIBE %06X:%02X vid %04X refused", oid & TNET_ADDRESS_MASK, oid >> 24,
                     get_le16(payload.data() + TNET_PUB_OFS_VID));
        mNack = std::make_pair(cmd, static_cast<uint8_t>(TNET_NACK_UNKNOWN_COMMAND));
        return;
    }
    if (cmd == TNET_CMD_PUBLISH &&
        mFaults.refusedWrites.count(
            {get_le32(payload.data()), get_le16(payload.data() + TNET_PUB_OFS_VID)}) != 0) {
        const uint32_t oid = get_le32(payload.data());
        dbg_printf_h("sim: PUBLISH from %06X: %06X:%02X vid %04X refused", mClient, oid & TNET_ADDRESS_MASK,
                     oid >> 24, get_le16(payload.data() + TNET_PUB_OFS_VID));
        mNack = std::make_pair(cmd, static_cast<uint8_t>(TNET_NACK_MALFORMED));
        return;
    }
    mRxValid = true;
    mRxSeq = seq;
    handleSequenced(cmd, payload);
}

void SimControlUnit::handleSequenced(uint8_t cmd, const std::vector<uint8_t>& payload) {
    switch (cmd) {
        case TNET_CMD_PUBLISH:
            if (auto publish = sim_decode_publish(payload.data(), payload.size());
                publish && !mModel.object(publish->oid) && (publish->oid & TNET_ADDRESS_MASK) != mClient) {
                // Neither an object of the installation nor one of the client's own: nothing to store it in.
                dbg_printf_h("sim: PUBLISH from %06X for %06X:%02X, no such object: refused", mClient,
                             publish->oid & TNET_ADDRESS_MASK, publish->oid >> 24);
            } else if (publish) {
                dbg_printf_h("sim: PUBLISH from %06X: %06X:%02X vid %04X type %u, %u bytes", mClient,
                             publish->oid & TNET_ADDRESS_MASK, publish->oid >> 24, publish->vid,
                             publish->value.type, static_cast<unsigned>(publish->value.bytes.size()));
                mModel.setValue(publish->oid, publish->vid, publish->value);
                record(mPublishes, *publish);
            }
            break;
        case TNET_CMD_SUBSCRIBE:
            handleSubscribe(get_le32(payload.data()), get_le16(payload.data() + TNET_PUB_OFS_VID));
            break;
        case TNET_CMD_SYNC_TIME:
            record(mTimeSyncs, get_le32(payload.data()));
            break;
        case TNET_CMD_DATALINK:
            routeDatagram(payload);
            break;
        default:
            break;
    }
    if (mReceiveListener) {
        mReceiveListener(cmd, payload);
    }
}

void SimControlUnit::handleSubscribe(uint32_t oid, uint16_t vid) {
    constexpr size_t MAX_SUBSCRIPTIONS = 1024;
    if (std::find(mSubscriptions.begin(), mSubscriptions.end(), std::make_pair(oid, vid)) ==
            mSubscriptions.end() &&
        mSubscriptions.size() < MAX_SUBSCRIPTIONS) {
        mSubscriptions.emplace_back(oid, vid);
    }
    if (vid != ALL_VALUES && mFaults.unansweredSubscribes > 0) {
        --mFaults.unansweredSubscribes;
        dbg_printf_h("sim: SUBSCRIBE %06X:%02X vid %04X left unanswered", oid & TNET_ADDRESS_MASK, oid >> 24,
                     vid);
        return;
    }
    mModel.forEachObject(oid, [&](uint32_t object, const SimObject& info) {
        std::vector<uint8_t> payload(TNET_OBJECT_INFO_SIZE);
        put_le32(payload.data(), object);
        payload[TNET_INFO_OFS_TYPE] = info.type;
        payload[TNET_INFO_OFS_SUBTYPE] = info.subtype;
        queue(TNET_CMD_OBJECT_INFO, payload);
    });
    mModel.forEachValue(oid, vid, [&](uint32_t object, uint16_t value, const SimValue& data) {
        queue(TNET_CMD_PUBLISH, sim_encode_publish(object, value, data));
    });
    uint32_t doneOid = oid;
    uint16_t doneVid = vid;
    if (vid == ALL_VALUES && mFaults.faultySynchronizedOf == oid) {
        mFaults.faultySynchronizedOf.reset();
        dbg_printf_h("sim: SYNCHRONIZED %06X:%02X vid %04X %s", oid & TNET_ADDRESS_MASK, oid >> 24, vid,
                     mFaults.faultySynchronizedSpoiled ? "spoiled" : "lost");
        if (!mFaults.faultySynchronizedSpoiled) {
            return;
        }
        doneOid ^= 0xB4000000;
        doneVid ^= 0x7700;
    }
    std::vector<uint8_t> done(TNET_SUBSCRIBE_SIZE);
    put_le32(done.data(), doneOid);
    put_le16(done.data() + TNET_PUB_OFS_VID, doneVid);
    queue(TNET_CMD_SYNCHRONIZED, done);
}

void SimControlUnit::routeDatagram(const std::vector<uint8_t>& payload) {
    Datagram datagram;
    datagram.to = get_le24(payload.data() + TNET_DL_OFS_PEER);
    datagram.srcPort = payload[TNET_DL_OFS_SRC_PORT];
    datagram.dstPort = payload[TNET_DL_OFS_DST_PORT];
    datagram.data.assign(payload.begin() + TNET_DATALINK_HEADER_SIZE, payload.end());
    record(mDatagrams, datagram);

    std::optional<std::vector<uint8_t>> answer;
    if (datagram.to == mConfig.address) {
        answer = answerOwnPort(datagram.srcPort, datagram.dstPort, datagram.data);
    } else if (auto device = mDevices.find(datagram.to); device != mDevices.end()) {
        answer = device->second(datagram.srcPort, datagram.dstPort, datagram.data);
    } else {
        dbg_printf_h("sim: datagram to %06X:%u, no such device: dropped", datagram.to, datagram.dstPort);
    }
    if (answer) {
        sendDatagram(datagram.to, datagram.dstPort, datagram.srcPort, *answer);
        mQueue.back().restartAfter = std::exchange(mRestartAfterReply, false);
    }
}

std::optional<std::vector<uint8_t>> SimControlUnit::answerOwnPort(uint8_t, uint8_t dstPort,
                                                                  const std::vector<uint8_t>& data) {
    switch (dstPort) {
        case TNET_PORT_ECHO:
            return data;
        case TNET_PORT_BLDR: {
            auto answer = mOwnBootloader.answer(data);
            mRestartAfterReply = answer && mOwnBootloader.pendingRestart();
            return answer;
        }
        default:
            dbg_printf_h("sim: datagram to own port %u: nobody listens", dstPort);
            return std::nullopt;
    }
}

bool SimControlUnit::subscribed(uint32_t oid, uint16_t vid) const {
    return std::any_of(mSubscriptions.begin(), mSubscriptions.end(), [&](const auto& subscription) {
        return SimModel::matches(oid, vid, subscription.first, subscription.second) ||
               (vid == ALL_VALUES && (subscription.first == ALL_OBJECTS || subscription.first == oid));
    });
}

void SimControlUnit::queue(uint8_t cmd, std::vector<uint8_t> payload) {
    mQueue.push_back(Outgoing{mClient, cmd, std::move(payload), false, 0, 0});
}

// ---- Sending ----

void SimControlUnit::sendDue() {
    const uint64_t now = timer();
    if (mFaults.pauseMs > 0) {
        mNextSend = now + mFaults.pauseMs;
        mFaults.pauseMs = 0;
        return;
    }
    if (!mInjected.empty()) {
        Outgoing packet = std::move(mInjected.front());
        mInjected.pop_front();
        transmit(packet.address, packet.cmd, packet.control, packet.payload,
                 packet.address != TNET_BROADCAST);
        return;
    }
    std::vector<uint8_t> connect(TNET_CONNECT_SIZE);
    put_le24(connect.data(), mConfig.address);
    switch (mPhase) {
        case Phase::Search:
            if (mKnown && mProbeKnown) {
                mProbeKnown = false;
                transmit(mClient, TNET_CMD_CONNECT, 0, connect, true);
            } else {
                mProbeKnown = mKnown;
                transmit(TNET_BROADCAST, TNET_CMD_SEARCH, 0, {}, false);
            }
            mNextSend = now + mConfig.searchPeriodMs;
            return;
        case Phase::Connect:
            transmit(mClient, TNET_CMD_CONNECT, 0, connect, true);
            return;
        case Phase::Open:
            // The same id on every try: a client that took it and whose answer was lost answers again.
            transmit(mClient, TNET_CMD_SESSION_OPEN, 0, {mSession}, true);
            return;
        case Phase::Session:
            break;
    }

    mOweAck = false;
    const uint8_t ack = (mRxValid && !mFaults.withholdAcks)
                            ? static_cast<uint8_t>(TNET_CTL_ACK | (mRxSeq ? TNET_CTL_ACKSEQ : 0))
                            : 0;
    if (mDisconnect) {
        mDisconnect = false;
        transmit(mClient, TNET_CMD_DISCONNECT, ack, {}, true);
        enterPhase(Phase::Search);
        mProbeKnown = true;
        return;
    }
    if (mNack) {
        transmit(mClient, TNET_CMD_NACK, ack, {mNack->first, mNack->second}, true);
        mNack.reset();
        return;
    }
    if (mDuplicate) {
        const Outgoing duplicate = *mDuplicate;
        mDuplicate.reset();
        transmit(mClient, duplicate.cmd, static_cast<uint8_t>(duplicate.seq | ack), duplicate.payload, true);
        return;
    }
    if (!mOutstanding && !mQueue.empty()) {
        mOutstanding = std::move(mQueue.front());
        mQueue.pop_front();
        mOutstanding->seq = mTxSeq;
    }
    if (mOutstanding) {
        if (!transmit(mClient, mOutstanding->cmd, static_cast<uint8_t>(mOutstanding->seq | ack),
                      mOutstanding->payload, true)) {
            // Sent again it would fail again and hold up everything queued behind it: its SEQ stays free.
            dbg_printf_h("sim: %s to %06X dropped", tnet_command_text(mOutstanding->cmd), mClient);
            mOutstanding.reset();
        }
    } else {
        // Only with nothing of its own queued or outstanding: the display takes a POLL to mean that
        // everything queued before it has come (docs/device-network.md, section 6).
        transmit(mClient, TNET_CMD_POLL, ack, {}, true);
    }
}

bool SimControlUnit::transmit(uint32_t address, uint8_t cmd, uint8_t control,
                              const std::vector<uint8_t>& payload, bool awaitReply) {
    uint8_t packet[TNET_MAX_PACKET_SIZE + 16];
    const size_t size = std::min(payload.size(), sizeof packet - TNET_HEADER_SIZE);
    tnet_put_header(packet, address, cmd, control);
    std::copy(payload.begin(), payload.begin() + static_cast<std::ptrdiff_t>(size),
              packet + TNET_HEADER_SIZE);
    uint8_t frame[LINK_MAX_FRAME];
    const int length =
        link_encode(packet, static_cast<uint16_t>(TNET_HEADER_SIZE + size), frame, sizeof frame);
    if (length < 0) {
        dbg_printf_h("sim: %s of %u bytes cannot be framed", tnet_command_text(cmd),
                     static_cast<unsigned>(size));
        return false;
    }
    if (mFaults.corruptFrames > 0 && length > 4) {
        --mFaults.corruptFrames;
        // Flipping bit 0 of a byte that is no frame byte keeps the frame's shape and spoils its content.
        for (int i = length / 2; i < length - 1; ++i) {
            if (frame[i] < LINK_START || frame[i] > LINK_RESET) {
                frame[i] ^= 0x01;
                break;
            }
        }
    }
    record(mLog,
           SimPacket{timer(), true, address, cmd, control,
                     std::vector<uint8_t>(packet + TNET_HEADER_SIZE, packet + TNET_HEADER_SIZE + size)});
    int written = 0;
    while (written < length) {
        const int n = mStream.write(frame + written, length - written);
        if (n <= 0) {
            dbg_printf_h("sim: stream took %d of %d bytes", written, length);
            break;
        }
        written += n;
    }
    // The reply wait starts when the frame has left, not when it was handed to a paced line.
    const uint64_t now = timer() + mStream.pendingMs();
    mSentAt = now;
    mAwaiting = awaitReply;
    mReplyStarted = false;
    mAwaitAddress = address;
    mNextSend = now + mConfig.pollPeriodMs;
    return true;
}

void SimControlUnit::replyArrived() {
    mAwaiting = false;
    mMisses = 0;
}

void SimControlUnit::missed() {
    mAwaiting = false;
    if (mPhase == Phase::Search) {
        return;
    }
    if (mMisses++ == 0) {
        mFirstMissAt = mSentAt;
    }
    if (timer() >= mFirstMissAt + mConfig.lostAfterMs) {
        lose();
        return;
    }
    mNextSend = timer(); // retransmit at once
}

void SimControlUnit::lose() {
    dbg_printf_h("sim: client %06X lost", mClient);
    enterPhase(Phase::Search);
    mProbeKnown = mKnown;
}

void SimControlUnit::goDown() {
    if (!mOwnBootloader.restart()) {
        return;
    }
    dbg_printf_h("sim: restarting, the bus falls silent");
    mDown = true;
    mAwaiting = false;
    enterPhase(Phase::Search);
}

void SimControlUnit::powerCycle() {
    mOwnBootloader.powerCycle();
    dbg_printf_h("sim: switched off and on, the bus falls silent");
    mDown = true;
    mAwaiting = false;
    enterPhase(Phase::Search);
}

void SimControlUnit::comeBack() {
    mDown = false;
    dbg_printf_h("sim: back as %s",
                 mOwnBootloader.mode() == BL_MODE_BOOTLOADER ? "bootloader" : "application");
    if (mOwnBootloader.mode() == BL_MODE_APPLICATION) {
        // The program that now runs publishes its own version: after an update, the one the update brought.
        constexpr uint16_t VID_SOFTWARE_VERSION = 0x800D;
        constexpr uint8_t TYPE_U8 = 12;
        mModel.setValue(mConfig.address, VID_SOFTWARE_VERSION,
                        *sim_number(TYPE_U8, mOwnBootloader.info().sw_major));
    }
    // A new session: the client it knew is connected again at once.
    enterPhase(Phase::Search);
    mProbeKnown = mKnown;
    mNextSend = timer();
}

void SimControlUnit::enterPhase(Phase phase) {
    bool restart = false;
    if (phase != Phase::Session) {
        // The session's state is gone; a reconnected client subscribes again. A restart that waited for an
        // answer the client will not get now happens all the same.
        restart = (mOutstanding && mOutstanding->restartAfter) ||
                  std::any_of(mQueue.begin(), mQueue.end(), [](const Outgoing& o) { return o.restartAfter; });
        if (mOutstanding) {
            mOutstanding.reset();
        }
        mQueue.clear();
        mSubscriptions.clear();
        mDuplicate.reset();
        mNack.reset();
    } else {
        dbg_printf_h("sim: session %u with %06X", mSession, mClient);
    }
    if (phase == Phase::Open && mPhase != Phase::Open) {
        ++mSession;
    }
    mOweAck = false;
    mPhase = phase;
    mMisses = 0;
    mTxSeq = 0;
    mRxValid = false;
    mRxSeq = 0;
    if (restart) {
        goDown();
    }
}

} // namespace tdx::sim
