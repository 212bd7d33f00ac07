#include "SourceApp/storage/net/TaviProtocol.h"
#include "Libraries/base/bytes.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/os.h"
#include "Libraries/base/timestamp.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/storage/DataModel.h"
#include "SourceApp/storage/ProxyStructure.h"
#include "SourceHost/api_lib/device_info.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

namespace tdx::Net {

TaviProtocol Tavi;

namespace {

// The display's identity, published once both subscriptions are complete.
constexpr vid_t VID_SERIAL = 0x800C;
constexpr vid_t VID_SW_VERSION = 0x800D;
constexpr vid_t VID_HW_VERSION = 0x800E;
constexpr vid_t VID_SW_BUILD = 0x809E;
constexpr vid_t VID_SERIAL_PREFIX = 0x80DF;
constexpr vid_t VID_HW_CODE = 0x80E3;
constexpr vid_t VID_SW_CODE = 0x80E4;

constexpr vid_t IDENTITY_VIDS[] = {VID_HW_CODE,    VID_SW_CODE, VID_SW_VERSION,    VID_SW_BUILD,
                                   VID_HW_VERSION, VID_SERIAL,  VID_SERIAL_PREFIX, VID_DEVICE_STATE};
// What "publishing myself" sets, in the order it sets it: the device state, "ready", last.
constexpr vid_t PUBLISHED_MYSELF[] = {VID_HW_CODE,       VID_HW_VERSION, VID_SERIAL,
                                      VID_SERIAL_PREFIX, VID_SW_CODE,    VID_SW_VERSION,
                                      VID_SW_BUILD,      VID_VALUE_LIST, VID_DEVICE_STATE};

const char* state_name(TaviProtocol::State state) {
    switch (state) {
        case TaviProtocol::State::Disconnected:
            return "DISCONNECTED";
        case TaviProtocol::State::SubscribingSelf:
            return "SUBSCRIBING_SELF";
        case TaviProtocol::State::SubscribingAll:
            return "SUBSCRIBING_ALL";
        case TaviProtocol::State::Ready:
            return "READY";
    }
    return "UNKNOWN";
}

// A value as the control unit shows it in a PUBLISH (integers as the table normalises them).
pt_value shownValue(oid_t oid, vid_t vid, bt_vtype vtype, const u8* bytes, u32 length) {
    pt_value value{};
    value.oid = oid;
    value.vid = vid;
    value.vtype = vtype;
    value.valid = true;
    if (BT_VTYPE_IS_BYTES(vtype)) {
        value.valid = length != PT_LENGTH_NO_VALUE;
        value.length = static_cast<u16>(value.valid ? std::min<u32>(length, PT_MAX_DATA) : 0);
        std::memcpy(value.data, bytes, value.length);
    } else {
        const unsigned width = bt_vtype_width(vtype);
        value.value = bt_vtype_normalise(vtype, static_cast<int>(get_le(bytes, width)));
    }
    return value;
}

// The value field of a checked PUBLISH payload and its length as the value table takes it.
const u8* publishedValue(const u8* payload, u16 len, u32* length) {
    const u8* value = payload + TNET_PUB_OFS_VALUE;
    *length = static_cast<u32>(len - TNET_PUBLISH_HEADER_SIZE);
    if (BT_VTYPE_IS_BYTES(payload[TNET_PUB_OFS_VTYPE])) {
        *length = get_le16(value);
        value += 2;
    }
    return value;
}

// What a checked PUBLISH payload shows.
pt_value publishShows(const u8* payload, u16 len) {
    u32 length = 0;
    const u8* value = publishedValue(payload, len, &length);
    return shownValue(get_le32(payload + TNET_PUB_OFS_OID), get_le16(payload + TNET_PUB_OFS_VID),
                      payload[TNET_PUB_OFS_VTYPE], value, length);
}

// Equal as the control unit and the display see a value: its kind, validity and content.
bool sameValue(const pt_value& a, const pt_value& b) {
    const bool bytes = BT_VTYPE_IS_BYTES(a.vtype);
    if (bytes != BT_VTYPE_IS_BYTES(b.vtype) || a.valid != b.valid) {
        return false;
    }
    if (!bytes) {
        return a.value == b.value;
    }
    return a.length == b.length && std::memcmp(a.data, b.data, a.length) == 0;
}

} // namespace

// ---- Queued commands ----

int QueuedSubscribe::build(u8* cmd, u8* payload, u16 max) {
    if (max < TNET_SUBSCRIBE_SIZE) {
        return -1;
    }
    *cmd = TNET_CMD_SUBSCRIBE;
    put_le32(payload + TNET_PUB_OFS_OID, mOid);
    put_le16(payload + TNET_PUB_OFS_VID, mVid);
    return TNET_SUBSCRIBE_SIZE;
}

int QueuedTimeSync::build(u8* cmd, u8* payload, u16 max) {
    if (max < TNET_SYNC_TIME_SIZE) {
        return -1;
    }
    *cmd = TNET_CMD_SYNC_TIME;
    put_le32(payload, timestamp_to_network(static_cast<time_t>(os_time())));
    return TNET_SYNC_TIME_SIZE;
}

// ---- Bridge ----

TaviProtocol::TaviProtocol() {
    mConnectWatch.start();
    if (this == &Tavi) {
        pt_set_local_write_hook([](u32 oid, u16 vid) { Tavi.beforeLocalWrite(oid, vid); });
    }
}

TaviProtocol::~TaviProtocol() {
    if (this == &Tavi) {
        pt_set_local_write_hook(nullptr); // writes of other static objects' destructors meet no bridge
    }
}

void TaviProtocol::restart() {
    mState = State::Disconnected;
    mOwner = NET_NO_OWNER;
    mEverConnected = false;
    mSyncStartRaised = false;
    mLost = false;
    mTrafficHeld = false;
    mKeepOfflineWrites = false;
    mSessionEndedWhileKept = false;
    mCommands.clear();
    mInFlight.reset();
    mInFlightCmd = 0;
    mWrites.clear();
    mRequests.clear();
    mKnown.clear();
    mRepublish.clear();
    mPublishInFlight.reset();
    mQuestions.clear();
    mAsks.clear();
    mApplied.clear();
    mSyncBrought.clear();
    stopSyncWatch();
    mConnectWatch.start();
}

void TaviProtocol::task() {
    if (mConnectWatch.isTimedOut() && !mEverConnected) {
        dbg_printf_h("tavi: no connection within %u ms", NET_CONNECT_TIMEOUT_MS);
        raise(NET_EVENT_NOT_CONNECTED);
    }
    for (auto& [ovi, question] : mQuestions) {
        if (question.takenAt != 0 && timer() - question.takenAt >= NET_ANSWER_TIMEOUT_MS) {
            // A late answer to the lost question, should it come after all, is older than the new one's and
            // is followed by it.
            question.unanswered = 0;
            question.takenAt = 0;
            askAgain(ovi, "no answer came");
        }
    }
    if (!mApplied.empty()) {
        const u32 polls = tnet_get_poll_count();
        std::erase_if(mApplied, [polls](const auto& applied) { return applied.second.polls != polls; });
    }
    if (const std::optional<Ovi> sync = syncSubscription();
        sync && mSyncProgressAt && timer() - *mSyncProgressAt >= NET_ANSWER_TIMEOUT_MS) {
        // A late SYNCHRONIZED of the first answer, should it come after all, moves the synchronisation on,
        // and the second one is then not asked for.
        dbg_printf_h("tavi: no SYNCHRONIZED of the subscription to %s within %u ms, subscribing again",
                     mState == State::SubscribingSelf ? "myself" : "everything", NET_ANSWER_TIMEOUT_MS);
        subscribeForSync(sync->oid, true);
    }
}

void TaviProtocol::raise(int kind) {
    dbg_printf_h("tavi: event %d", kind);
    if (kind == NET_EVENT_NOT_CONNECTED) {
        mLost = true;
    }
    if (mSink) {
        mSink(kind);
    }
}

void TaviProtocol::queue(std::unique_ptr<QueuedCommand> command) {
    if (command != nullptr) {
        mCommands.push_back(std::move(command));
    }
}

void TaviProtocol::subscribe(oid_t oid, vid_t vid, bool front) {
    auto command = std::make_unique<QueuedSubscribe>(oid, vid);
    if (front) {
        mCommands.push_front(std::move(command));
    } else {
        mCommands.push_back(std::move(command));
    }
}

void TaviProtocol::subscribeForSync(oid_t oid, bool front) {
    stopSyncWatch();
    subscribe(oid, VID_ALL, front);
}

std::optional<Ovi> TaviProtocol::syncSubscription() const {
    switch (mState) {
        case State::SubscribingSelf:
            return Ovi(mSelf, VID_ALL);
        case State::SubscribingAll:
            return Ovi(OID_ALL, VID_ALL);
        case State::Disconnected:
        case State::Ready:
            break;
    }
    return std::nullopt;
}

void TaviProtocol::stopSyncWatch() {
    mSyncProgressAt.reset();
    mSyncAnswered.clear();
}

void TaviProtocol::watchSyncAnswer(u8 cmd, const u8* payload) {
    if (!syncSubscription()) {
        return;
    }
    Ovi brought;
    if (cmd == TNET_CMD_PUBLISH) {
        brought = Ovi(get_le32(payload + TNET_PUB_OFS_OID), get_le16(payload + TNET_PUB_OFS_VID));
    } else if (cmd == TNET_CMD_OBJECT_INFO) {
        brought = Ovi(get_le32(payload), VID_ALL);
    } else {
        return;
    }
    if (mSyncAnswered.insert(brought).second && mSyncProgressAt) {
        mSyncProgressAt = timer();
    }
}

void TaviProtocol::handleConnected(u32 owner) {
    if (mState != State::Disconnected) {
        reset("connected again");
    }
    mSelf = oid_make(tnet_get_address(), 0);
    mOwner = owner;
    mEverConnected = true;
    mSyncStartRaised = false;
    mLost = false;
    if (mKeepOfflineWrites) {
        keepQueuedWrites();
    }
    // Any other write made while off-line is not sent: the control unit's values are about to come in.
    Structure.clearPublishQueue();
    std::erase_if(mWrites, [](const auto& write) { return !write.second.kept; });
    mState = State::SubscribingSelf;
    dbg_printf_h("tavi: connected to %06X", oid_address(owner));
    raise(NET_EVENT_CONNECTED);
    dbg_printf_h("tavi: subscribing to myself");
    subscribeForSync(mSelf, true);
}

void TaviProtocol::handleDisconnected(int reason) {
    if (mState == State::Disconnected) {
        dbg_printf_h("tavi: disconnect (%d) while not connected", reason);
        return;
    }
    reset(tnet_disconnect_reason_name(reason));
}

void TaviProtocol::reset(const char* why) {
    dbg_printf_h("tavi: connection reset in %s (%s)", state_name(mState), why);
    mState = State::Disconnected;
    mOwner = NET_NO_OWNER;
    mSyncStartRaised = false;
    mCommands.clear();
    mInFlight.reset();
    mInFlightCmd = 0;
    mRepublish.clear();
    // The write in flight may or may not have reached the control unit; those written in the session and
    // not yet sent did not. Both wait for the next synchronisation to tell.
    if (mPublishInFlight) {
        LocalWrite& write = mWrites[*mPublishInFlight];
        if (Structure.isPublishQueued(mPublishInFlight->oid, mPublishInFlight->vid)) {
            // The user wrote again behind it: that value is the last word, sent again unless the control unit
            // shows a change of its own. Showing the write in flight is none: it took that write. (A value
            // that crossed it is known already.)
            write.sentBefore = write.sent;
            write.kept.reset(); // the later value is kept below
            write.sent.reset();
            write.crossing.reset();
        } else if (write.crossing && !write.madeAway) {
            // Which of the two came last is unknown: the next synchronisation brings what the control unit
            // holds, and the write is not sent again.
            dbg_printf_h(
                "tavi: %06X:%02X vid %04X: the write crossed by the control unit's value is not kept",
                oid_address(mPublishInFlight->oid), oid_index(mPublishInFlight->oid), mPublishInFlight->vid);
            mWrites.erase(*mPublishInFlight);
        } else {
            if (!write.kept) {
                write.kept = write.sent;
            }
            write.sent.reset();
            write.crossing.reset(); // one made in the restart after a restore goes whatever crossed it
        }
        mPublishInFlight.reset();
    }
    // The synchronisation of the next session brings every value as the control unit holds it then; one cut
    // short takes nothing away.
    mQuestions.clear();
    mAsks.clear();
    mApplied.clear();
    mSyncBrought.clear();
    stopSyncWatch();
    keepQueuedWrites();
    mSessionEndedWhileKept = mSessionEndedWhileKept || mKeepOfflineWrites;
    for (auto& [ovi, write] : mWrites) {
        // What the unit took while writes were kept goes to the unit that returns, unless a later write of
        // the user is kept in its place.
        if (write.taken && !write.kept) {
            write.kept = write.taken;
        }
        write.taken.reset();
    }
    std::erase_if(mWrites, [](const auto& write) { return !write.second.kept; });
    if (!mWrites.empty()) {
        dbg_printf_h("tavi: %u local changes kept for the next session",
                     static_cast<unsigned>(mWrites.size()));
    }
    raise(NET_EVENT_NOT_CONNECTED);
}

void TaviProtocol::keepQueuedWrites() {
    pt_value value;
    while (Structure.takePublish(&value)) {
        LocalWrite& write = mWrites[Ovi(value.oid, value.vid)];
        if (write.kept && !write.sentBefore && !sameValue(*write.kept, value)) {
            // Written again behind a kept write (while the unit is away in its restart): the later one is the
            // last word, and the unit showing the earlier one is no change of its own.
            write.sentBefore = write.kept;
        }
        write.kept = value;
    }
}

void TaviProtocol::keepOfflineWrites(bool keep) {
    if (keep == mKeepOfflineWrites) {
        return;
    }
    mKeepOfflineWrites = keep;
    if (keep) {
        mSessionEndedWhileKept = false;
    } else {
        endMarks(!mSessionEndedWhileKept);
    }
}

void TaviProtocol::endMarks(bool noRestart) {
    if (noRestart) {
        dbg_printf_h("tavi: writes no longer kept and no restart came: their marks end");
    }
    struct Settled {
        Ovi ovi;
        pt_value taken;
        bool knownForSure;
    };
    std::vector<Settled> settled;
    for (auto it = mWrites.begin(); it != mWrites.end();) {
        LocalWrite& write = it->second;
        write.madeAway = write.madeAway && !noRestart;
        const std::optional<pt_value> taken = std::exchange(write.taken, std::nullopt);
        const Ovi ovi = it->first;
        if (!taken || write.kept || mPublishInFlight == ovi || Structure.isPublishQueued(ovi.oid, ovi.vid)) {
            ++it; // a write still to go decides
            continue;
        }
        settled.push_back({ovi, *taken, write.unitValue != UnitValue::Unplaced});
        it = mWrites.erase(it);
    }
    // The unit took each of these in this session, and no restart came since: settled. A value the unit
    // published since, which the write stood against, is newer.
    for (const Settled& write : settled) {
        if (write.knownForSure && isKnown(write.ovi, write.taken)) {
            learn(write.ovi, write.taken);
        } else {
            showUnitValue(write.ovi, write.knownForSure);
        }
    }
}

bool TaviProtocol::holdsWrite(oid_t oid, vid_t vid) const {
    const Ovi ovi(oid, vid);
    if (mPublishInFlight == ovi || Structure.isPublishQueued(oid, vid)) {
        return true;
    }
    // Acknowledged, and no POLL since: what the unit derives from it may still be on its way.
    if (const auto applied = mApplied.find(ovi);
        applied != mApplied.end() && applied->second.polls == tnet_get_poll_count()) {
        return true;
    }
    const auto write = mWrites.find(ovi);
    return write != mWrites.end() && (write->second.kept || write->second.taken);
}

int TaviProtocol::handleTransmit(u8* cmd, u8* payload, u16 max) {
    if (mState == State::Disconnected || mInFlight != nullptr || mTrafficHeld) {
        return -1;
    }
    while (!mCommands.empty()) {
        std::unique_ptr<QueuedCommand> command = std::move(mCommands.front());
        mCommands.pop_front();
        const int length = command->build(cmd, payload, max);
        if (length < 0) {
            dbg_printf_h("tavi: queued command could not be built, dropped");
            continue;
        }
        if (*cmd == TNET_CMD_SUBSCRIBE && !mSyncStartRaised) {
            mSyncStartRaised = true;
            raise(NET_EVENT_SYNC_STARTED);
        }
        mInFlight = std::move(command);
        mInFlightCmd = *cmd;
        return length;
    }
    if (mState != State::Ready) {
        return -1;
    }
    if (const int length = takeLocalChange(cmd, payload, max); length >= 0) {
        return length;
    }
    while (!mAsks.empty()) {
        const Ovi ovi = mAsks.front();
        mAsks.pop_front();
        auto question = std::make_unique<QueuedSubscribe>(ovi.oid, ovi.vid);
        const int length = question->build(cmd, payload, max);
        if (length >= 0) {
            mInFlight = std::move(question);
            mInFlightCmd = *cmd;
            return length;
        }
    }
    return -1;
}

bool TaviProtocol::takeMyself(pt_value* value) {
    for (const vid_t vid : PUBLISHED_MYSELF) {
        if (Structure.isPublishQueued(mSelf, vid)) {
            Structure.withdrawPublish(mSelf, vid);
            if (pt_get_value(value, mSelf, vid) == PT_OK) {
                return true;
            }
        }
    }
    return false;
}

bool TaviProtocol::takeKeptChange(pt_value* value) {
    while (!mRepublish.empty()) {
        const Ovi ovi = mRepublish.front();
        mRepublish.pop_front();
        const auto write = mWrites.find(ovi);
        if (write == mWrites.end() || !write->second.kept) {
            continue; // settled by the synchronisation
        }
        unkeep(write->second);
        // Sent as the table holds it now (the kept write, or a later one of the user), and only once.
        Structure.withdrawPublish(ovi.oid, ovi.vid);
        if (pt_get_value(value, ovi.oid, ovi.vid) == PT_OK) {
            return true;
        }
        mWrites.erase(write); // the value went with its object
    }
    return false;
}

int TaviProtocol::takeLocalChange(u8* cmd, u8* payload, u16 max) {
    pt_value value;
    // The synchronisation ends with the display's identity and its "ready"; what waited for it follows.
    while (takeMyself(&value) || takeKeptChange(&value) || Structure.takePublish(&value)) {
        const Ovi ovi(value.oid, value.vid);
        const int length = buildPublish(value, payload, max);
        if (length >= 0) {
            *cmd = TNET_CMD_PUBLISH;
            mWrites[ovi].sent = value;
            mPublishInFlight = ovi;
            return length;
        }
        mWrites.erase(ovi);
        dbg_printf_h("tavi: %06X:%02X vid %04X type %u cannot be published, dropped", oid_address(value.oid),
                     oid_index(value.oid), value.vid, unsigned{value.vtype});
    }
    return -1;
}

int TaviProtocol::buildPublish(const pt_value& value, u8* payload, u16 max) {
    const unsigned width = bt_vtype_width(value.vtype);
    const bool bytes = BT_VTYPE_IS_BYTES(value.vtype);
    if (width == 0 && !bytes) {
        return -1;
    }
    const unsigned count = bytes && value.valid ? value.length : 0;
    const unsigned size = TNET_PUBLISH_HEADER_SIZE + (bytes ? 2 + count : width);
    if (size > max || count > PT_MAX_DATA) {
        return -1;
    }
    put_le32(payload + TNET_PUB_OFS_OID, value.oid);
    put_le16(payload + TNET_PUB_OFS_VID, value.vid);
    payload[TNET_PUB_OFS_VTYPE] = value.vtype;
    put_le32(payload + TNET_PUB_OFS_TIMESTAMP, timestamp_to_network(static_cast<time_t>(value.timestamp)));
    u8* field = payload + TNET_PUB_OFS_VALUE;
    if (bytes) {
        put_le16(field, value.valid ? static_cast<u16>(count) : static_cast<u16>(PT_LENGTH_NO_VALUE));
        if (count > 0) {
            std::memcpy(field + 2, value.data, count);
        }
    } else {
        const u32 raw = value.valid ? static_cast<u32>(value.value) : bt_vtype_marker(value.vtype);
        put_le(field, raw, width);
    }
    return static_cast<int>(size);
}

void TaviProtocol::handleTransmitted(u8 cmd) {
    if (cmd == TNET_CMD_PUBLISH && mPublishInFlight) {
        const Ovi ovi = *std::exchange(mPublishInFlight, std::nullopt);
        const auto write = mWrites.find(ovi);
        if (write != mWrites.end()) {
            const std::optional<pt_value> taken = write->second.sent;
            if (taken) {
                mApplied[ovi] = Applied{*taken, tnet_get_poll_count()};
            }
            const bool writtenAgain = Structure.isPublishQueued(ovi.oid, ovi.vid);
            if (write->second.crossing && !writtenAgain) {
                askAgain(ovi, "the control unit took the crossed write");
            } else if (mQuestions.count(ovi) != 0) {
                // Every question out was taken before this write: their answers are older than it, also when
                // the user wrote again meanwhile.
                askAgain(ovi, "the control unit took a write after the value was asked");
            }
            const bool held = taken && write->second.madeAway && mKeepOfflineWrites;
            if (held) {
                // The restart to come may take it back: the unit that returns gets it again.
                write->second.taken = taken;
            }
            if (writtenAgain) {
                // The later write goes after every value that crossed this one; which of the two the unit
                // holds until then is not known.
                if (write->second.crossing) {
                    write->second.unitValue = UnitValue::Unplaced;
                }
                write->second.sent.reset();
                write->second.crossing.reset();
                endMark(write->second);
            } else if (held) {
                write->second.sent.reset();
                write->second.crossing.reset();
            } else {
                mWrites.erase(write);
            }
            if (taken) {
                learn(ovi, taken); // the control unit holds the display's write now
            }
        }
        return;
    }
    if (mInFlight != nullptr && cmd == mInFlightCmd) {
        if (const auto* subscribe = dynamic_cast<const QueuedSubscribe*>(mInFlight.get())) {
            if (const auto question = mQuestions.find(subscribe->ovi()); question != mQuestions.end()) {
                question->second.takenAt = timer();
            }
            if (syncSubscription() == subscribe->ovi()) {
                mSyncProgressAt = timer();
            }
        }
        mInFlight.reset();
        mInFlightCmd = 0;
    }
}

void TaviProtocol::handleTransmitFailed(u8 cmd) {
    if (cmd == TNET_CMD_PUBLISH && mPublishInFlight) {
        // After a reset the change waits for the next session; refused by the control unit, it changed
        // nothing there.
        const Ovi ovi = *std::exchange(mPublishInFlight, std::nullopt);
        if (mState != State::Disconnected) {
            dbg_printf_h("tavi: %06X:%02X vid %04X: PUBLISH refused, dropped", oid_address(ovi.oid),
                         oid_index(ovi.oid), ovi.vid);
            LocalWrite& write = mWrites[ovi];
            write.sent.reset();
            write.crossing.reset();
            endMark(write);
            if (Structure.isPublishQueued(ovi.oid, ovi.vid)) {
                return; // the user's later write still goes, and is shown meanwhile
            }
            const bool knownForSure = write.unitValue != UnitValue::Unplaced;
            const bool goneForSure = write.unitValue == UnitValue::NotBrought;
            mWrites.erase(ovi);
            showUnitValue(ovi, knownForSure, goneForSure);
        }
        return;
    }
    if (mInFlight == nullptr || cmd != mInFlightCmd) {
        dbg_printf_h("tavi: %s given up", tnet_command_text(cmd));
        return;
    }
    std::unique_ptr<QueuedCommand> command = std::move(mInFlight);
    mInFlightCmd = 0;
    if (cmd == TNET_CMD_SUBSCRIBE && mState != State::Disconnected) {
        // Synchronisation cannot go on without it, nor a held value without its answer: ask again.
        dbg_printf_h("tavi: SUBSCRIBE given up, asking again");
        const auto* subscribe = dynamic_cast<const QueuedSubscribe*>(command.get());
        if (subscribe != nullptr && mQuestions.count(subscribe->ovi()) != 0) {
            mAsks.push_front(subscribe->ovi());
            return;
        }
        mCommands.push_front(std::move(command));
    } else {
        dbg_printf_h("tavi: %s given up", tnet_command_text(cmd));
    }
}

void TaviProtocol::handleLearnChanged(int learning) {
    dbg_printf_h("tavi: learn mode %s", learning ? "on" : "off");
}

// ---- Received ----

void TaviProtocol::handleReceived(u8 cmd, const u8* payload, u16 len) {
    if (tnet_payload_check(cmd, payload, len, true) != 0) {
        dbg_printf_h("tavi: malformed %s (%u bytes) dropped", tnet_command_text(cmd), unsigned{len});
        return;
    }
    if (mState == State::Disconnected) {
        dbg_printf_h("tavi: %s while not connected dropped", tnet_command_text(cmd));
        return;
    }
    watchSyncAnswer(cmd, payload);
    switch (cmd) {
        case TNET_CMD_PUBLISH:
            receivePublish(payload, len);
            return;
        case TNET_CMD_SYNCHRONIZED:
            receiveSynchronized(payload, len);
            return;
        case TNET_CMD_SYNC_TIME:
            receiveTime(payload, len);
            return;
        case TNET_CMD_OBJECT_INFO:
            receiveObjectInfo(payload, len);
            return;
        case TNET_CMD_OBJECT_REMOVE:
            receiveObjectRemove(payload, len);
            return;
        default:
            dbg_printf_h("tavi: %s from the control unit ignored", tnet_command_text(cmd));
            return;
    }
}

void TaviProtocol::receivePublish(const u8* payload, u16 len) {
    const oid_t oid = get_le32(payload + TNET_PUB_OFS_OID);
    const vid_t vid = get_le16(payload + TNET_PUB_OFS_VID);
    if (Structure.wasRemoved(oid)) {
        dbg_printf_h("tavi: PUBLISH %06X:%02X vid %04X for a removed object dropped", oid_address(oid),
                     oid_index(oid), vid);
        return;
    }
    if (mState != State::Ready) {
        mSyncBrought.emplace(oid, vid);
    }
    if (unitValueStands(publishShows(payload, len), payload, len)) {
        storePublish(payload, len);
    }
}

bool TaviProtocol::unitValueStands(const pt_value& shown, const u8* payload, u16 len) {
    const Ovi ovi(shown.oid, shown.vid);
    if (const auto question = mQuestions.find(ovi); question != mQuestions.end()) {
        // Older than the answer to come, or the answer itself: the last one before the SYNCHRONIZED decides.
        question->second.answer.assign(payload, payload + len);
        if (mPublishInFlight == ovi) {
            LocalWrite& write = mWrites[ovi];
            if (!write.sent || !sameValue(*write.sent, shown)) {
                write.crossing = shown;
            }
        }
        return false;
    }
    const auto write = mWrites.find(ovi);
    if (write != mWrites.end() && (write->second.kept || write->second.taken || mPublishInFlight == ovi ||
                                   Structure.isPublishQueued(ovi.oid, ovi.vid))) {
        return !localWriteStays(shown);
    }
    if (const pt_value* applied = unsettledWrite(ovi)) {
        if (sameValue(*applied, shown)) {
            return true;
        }
        askAgain(ovi, "published after the control unit took the local write, perhaps sent before it");
        return false;
    }
    return write == mWrites.end() || !localWriteStays(shown);
}

void TaviProtocol::storePublish(const u8* payload, u16 len) {
    const oid_t oid = get_le32(payload + TNET_PUB_OFS_OID);
    const vid_t vid = get_le16(payload + TNET_PUB_OFS_VID);
    const bt_vtype vtype = payload[TNET_PUB_OFS_VTYPE];
    const u32 networkTime = get_le32(payload + TNET_PUB_OFS_TIMESTAMP);
    // The table keeps 32-bit Unix seconds, which end 30 years before network time does: a later stamp would
    // wrap to the 1970s, so it is taken as unknown like 0.
    u32 unixTime = static_cast<u32>(os_time());
    if (networkTime != 0) {
        const time_t stamp = timestamp_from_network(networkTime);
        if (stamp > static_cast<time_t>(UINT32_MAX)) {
            dbg_printf_h(
                "tavi: PUBLISH %06X:%02X vid %04X stamped %u, beyond the table's clock: taken as now",
                oid_address(oid), oid_index(oid), vid, networkTime);
        } else {
            unixTime = static_cast<u32>(stamp);
        }
    }
    u32 length = 0;
    const u8* value = publishedValue(payload, len, &length);
    const int result = pt_store(oid, vid, vtype, value, length, unixTime, PT_ORIGIN_NETWORK);
    if (result != PT_OK) {
        dbg_printf_h("tavi: PUBLISH %06X:%02X vid %04X type %u not stored (%d)", oid_address(oid),
                     oid_index(oid), vid, unsigned{vtype}, result);
    }
    learn(Ovi(oid, vid), shownValue(oid, vid, vtype, value, length));
}

void TaviProtocol::learn(const Ovi& ovi, const std::optional<pt_value>& value) {
    if (mWrites.count(ovi) != 0 || mApplied.count(ovi) != 0 || mQuestions.count(ovi) != 0) {
        mKnown[ovi] = value;
    } else {
        mKnown.erase(ovi); // the table shows it, and the next write takes it from there
    }
}

bool TaviProtocol::isKnown(const Ovi& ovi, const pt_value& shown) const {
    const auto known = mKnown.find(ovi);
    return known != mKnown.end() && known->second && sameValue(*known->second, shown);
}

void TaviProtocol::unkeep(LocalWrite& write) {
    write.kept.reset();
    write.sentBefore.reset();
}

void TaviProtocol::endMark(LocalWrite& write) const {
    write.madeAway = write.madeAway && mKeepOfflineWrites;
}

bool TaviProtocol::localWriteStays(const pt_value& shown) {
    const Ovi ovi(shown.oid, shown.vid);
    LocalWrite& write = mWrites[ovi];
    // The user's write that waits for its turn reaches the control unit after every value the unit published
    // before: at the unit it is the later one, whatever the unit shows now.
    const bool waiting = Structure.isPublishQueued(ovi.oid, ovi.vid);
    if (write.kept) {
        const bool unchanged =
            isKnown(ovi, shown) || (write.sentBefore && sameValue(*write.sentBefore, shown));
        learn(ovi, shown);
        const bool marked = write.madeAway;
        // The unit's return brought the value: from now on the write goes again only while the unit shows
        // this value.
        endMark(write);
        if (sameValue(*write.kept, shown)) {
            dbg_printf_h("tavi: %06X:%02X vid %04X: the kept write had arrived", oid_address(ovi.oid),
                         oid_index(ovi.oid), ovi.vid);
            if (write.madeAway) {
                // Before the restart: the unit holds it, and its return gets it again.
                write.taken = write.kept;
            }
            unkeep(write);
            if (waiting) {
                return true; // written again since: that write still goes
            }
            if (!write.taken) {
                mWrites.erase(ovi);
            }
            return false;
        }
        if (unchanged) {
            dbg_printf_h("tavi: %06X:%02X vid %04X: the kept write was lost, it is sent again",
                         oid_address(ovi.oid), oid_index(ovi.oid), ovi.vid);
            // A later value of the unit before it is sent is a change of its own.
            write.sentBefore.reset();
            return true;
        }
        if (marked) {
            dbg_printf_h(
                "tavi: %06X:%02X vid %04X: written while the control unit restarted, it is sent after "
                "what the restart changed",
                oid_address(ovi.oid), oid_index(ovi.oid), ovi.vid);
            return true;
        }
        if (waiting) {
            // The control unit changed the value while the session was down, and the user wrote it again
            // since the session came back: the kept write goes no more, the later one goes after the unit's
            // change.
            dbg_printf_h(
                "tavi: %06X:%02X vid %04X changed by the control unit since the kept write, the user's "
                "write made since goes",
                oid_address(ovi.oid), oid_index(ovi.oid), ovi.vid);
            unkeep(write);
            return true;
        }
    } else if (mPublishInFlight == ovi) {
        // What the unit holds unless it takes the write, when not perhaps older than a write it took before.
        learnUnlessOlder(write, shown);
        if (write.sent && sameValue(*write.sent, shown)) {
            return true; // the control unit shows our write: only its acknowledgement is missing
        }
        // The control unit sent this before it took our write, or took our write (its acknowledgement lost)
        // and changed the value since: its value stands until the acknowledgement tells that it took ours.
        write.crossing = shown;
        if (waiting) {
            return true; // the user wrote again since: that write goes and overrides both
        }
        if (write.madeAway) {
            // Made in the restart after a restore: shown until the acknowledgement asks, and kept should the
            // session end before it.
            return true;
        }
        dbg_printf_h(
            "tavi: %06X:%02X vid %04X published by the control unit while the local write was on its "
            "way: shown until the control unit tells which it holds",
            oid_address(ovi.oid), oid_index(ovi.oid), ovi.vid);
        return false;
    } else if (waiting) {
        if (!isKnown(ovi, shown)) {
            dbg_printf_h(
                "tavi: %06X:%02X vid %04X published by the control unit while the local write waits for "
                "its turn: the write goes after it",
                oid_address(ovi.oid), oid_index(ovi.oid), ovi.vid);
        }
        // Should the session end before the write left, the unit showing this value is no change of its own;
        // one that may be older than the write the unit took last tells nothing.
        learnUnlessOlder(write, shown);
        return true;
    } else if (write.taken) {
        // Taken before the restart: it stands against what the unit publishes until the unit's return (the
        // restore's values come before its restart), and what the unit holds is learned for a restart that
        // does not come.
        learnUnlessOlder(write, shown);
        return true;
    } else if (isKnown(ovi, shown)) {
        return true; // nothing new from the control unit
    }
    pt_value current;
    if (pt_get_value(&current, ovi.oid, ovi.vid) != PT_OK || !sameValue(current, shown)) {
        dbg_printf_h("tavi: %06X:%02X vid %04X changed by the control unit since the local write, which is "
                     "dropped",
                     oid_address(ovi.oid), oid_index(ovi.oid), ovi.vid);
    }
    dropWrite(ovi);
    return false;
}

void TaviProtocol::learnUnlessOlder(LocalWrite& write, const pt_value& shown) {
    const Ovi ovi(shown.oid, shown.vid);
    if (const pt_value* unsettled = unsettledWrite(ovi);
        unsettled == nullptr || sameValue(*unsettled, shown)) {
        learn(ovi, shown);
    } else {
        write.unitValue = UnitValue::Unplaced;
    }
}

void TaviProtocol::showUnitValue(const Ovi& ovi, bool knownForSure, bool goneForSure) {
    if (oid_address(ovi.oid) == oid_address(mSelf)) {
        return; // the display's own values are its own
    }
    if (mQuestions.count(ovi) != 0) {
        return; // the answer still to come shows what the control unit holds
    }
    const auto known = mKnown.find(ovi);
    if (goneForSure && known != mKnown.end() && !known->second && unsettledWrite(ovi) == nullptr) {
        // As the synchronisation left it: the unit holds no value.
        if (pt_remove_value(ovi.oid, ovi.vid) == PT_OK) {
            dbg_printf_h("tavi: %06X:%02X vid %04X: the control unit holds no value, shown missing again",
                         oid_address(ovi.oid), oid_index(ovi.oid), ovi.vid);
        }
        learn(ovi, std::nullopt);
        return;
    }
    if (knownForSure && known != mKnown.end() && known->second && unsettledWrite(ovi) == nullptr) {
        u8 payload[TNET_MAX_COMMAND_SIZE];
        if (const int length = buildPublish(*known->second, payload, sizeof payload); length >= 0) {
            dbg_printf_h("tavi: %06X:%02X vid %04X: the control unit's value is shown again",
                         oid_address(ovi.oid), oid_index(ovi.oid), ovi.vid);
            storePublish(payload, static_cast<u16>(length));
            return;
        }
    }
    askAgain(ovi, "the control unit refused the write, what it holds is not known for sure");
}

void TaviProtocol::dropWrite(const Ovi& ovi) {
    Structure.withdrawPublish(ovi.oid, ovi.vid);
    if (mPublishInFlight != ovi) {
        mWrites.erase(ovi);
    }
}

void TaviProtocol::askAgain(const Ovi& ovi, const char* why) {
    // Only the control unit can tell which value it holds. A question already out was taken before the
    // reason for this one arose, so its answer cannot settle it: each reason asks once more.
    Question& question = mQuestions[ovi];
    ++question.unanswered;
    dbg_printf_h("tavi: %06X:%02X vid %04X: %s, its value is asked again", oid_address(ovi.oid),
                 oid_index(ovi.oid), ovi.vid, why);
    mAsks.push_back(ovi);
}

const pt_value* TaviProtocol::unsettledWrite(const Ovi& ovi) {
    const auto applied = mApplied.find(ovi);
    if (applied == mApplied.end()) {
        return nullptr;
    }
    if (applied->second.polls != tnet_get_poll_count()) {
        // A POLL came since the acknowledgement: nothing the unit queued before it took the write is left.
        mApplied.erase(applied);
        return nullptr;
    }
    return &applied->second.value;
}

void TaviProtocol::receiveAnswer(const Ovi& ovi) {
    const auto found = mQuestions.find(ovi);
    if (--found->second.unanswered > 0) {
        // The PUBLISH of the next answer comes after this SYNCHRONIZED.
        found->second.answer.clear();
        return;
    }
    const std::vector<u8> answer = std::move(found->second.answer);
    mQuestions.erase(found);
    std::optional<pt_value> held;
    if (!answer.empty()) {
        held = publishShows(answer.data(), static_cast<u16>(answer.size()));
    }
    if (Structure.isPublishQueued(ovi.oid, ovi.vid) || mPublishInFlight == ovi) {
        // Written by the user after the question left: that write reaches the control unit after the answer,
        // which is what the unit holds until then.
        dbg_printf_h("tavi: %06X:%02X vid %04X answered, the local write made since goes on",
                     oid_address(ovi.oid), oid_index(ovi.oid), ovi.vid);
        learn(ovi, held);
        return;
    }
    if (const auto write = mWrites.find(ovi); write != mWrites.end() && write->second.taken) {
        // Taken before the restart: it stands until the unit's return, and the answer is what the unit holds
        // should no restart come.
        learn(ovi, held);
        return;
    }
    mApplied.erase(ovi);
    dbg_printf_h("tavi: %06X:%02X vid %04X asked again and received", oid_address(ovi.oid),
                 oid_index(ovi.oid), ovi.vid);
    if (Structure.wasRemoved(ovi.oid)) {
        learn(ovi, std::nullopt);
    } else if (held) {
        storePublish(answer.data(), static_cast<u16>(answer.size()));
    } else {
        // The control unit holds no value: shown missing, as on a fresh start.
        if (oid_address(ovi.oid) != oid_address(mSelf) && pt_remove_value(ovi.oid, ovi.vid) == PT_OK) {
            dbg_printf_h("tavi: %06X:%02X vid %04X: the control unit holds no value", oid_address(ovi.oid),
                         oid_index(ovi.oid), ovi.vid);
        }
        learn(ovi, std::nullopt);
    }
}

void TaviProtocol::beforeLocalWrite(oid_t oid, vid_t vid) {
    const Ovi ovi(oid, vid);
    LocalWrite& write = mWrites[ovi];
    write.madeAway = write.madeAway || marksWrite(ovi);
    if (mKnown.count(ovi) == 0) {
        // Nothing of the value pending: the table shows what the control unit holds.
        pt_value shown;
        mKnown[ovi] = pt_get_value(&shown, oid, vid) == PT_OK ? std::optional<pt_value>(shown) : std::nullopt;
    }
}

bool TaviProtocol::marksWrite(const Ovi& ovi) const {
    return mKeepOfflineWrites && mRequests.count(ovi) == 0;
}

void TaviProtocol::receiveSynchronized(const u8* payload, u16) {
    const oid_t oid = get_le32(payload + TNET_PUB_OFS_OID);
    const vid_t vid = get_le16(payload + TNET_PUB_OFS_VID);
    if (mState == State::SubscribingSelf && oid == mSelf && vid == VID_ALL) {
        mState = State::SubscribingAll;
        dbg_printf_h("tavi: subscribing to everything");
        subscribeForSync(OID_ALL, false);
    } else if (mState == State::SubscribingAll && oid == OID_ALL && vid == VID_ALL) {
        dropValuesNotBrought();
        publishMyself();
    } else if (mQuestions.count(Ovi(oid, vid)) != 0) {
        receiveAnswer(Ovi(oid, vid));
    } else {
        dbg_printf_h("tavi: SYNCHRONIZED %06X:%02X vid %04X in %s not asked for, ignored", oid_address(oid),
                     oid_index(oid), vid, state_name(mState));
    }
}

void TaviProtocol::dropValuesNotBrought() {
    std::vector<Ovi> gone;
    std::vector<Ovi> heldByTheUser;
    pt_for_each([this, &gone, &heldByTheUser](u32 oid, u16 vid) {
        const Ovi ovi(oid, vid);
        if (oid_address(oid) == oid_address(mSelf) || mSyncBrought.count(ovi) != 0 ||
            Structure.isPublishQueued(oid, vid)) {
            return;
        }
        if (const auto write = mWrites.find(ovi); write != mWrites.end() && write->second.kept) {
            heldByTheUser.push_back(ovi); // the user's last word, sent once ready
            return;
        }
        gone.push_back(ovi);
    });
    mSyncBrought.clear();
    for (const Ovi& ovi : heldByTheUser) {
        // The unit holds no value: the write goes once ready as the user's last word, and this
        // synchronisation is the unit's return for its mark.
        LocalWrite& write = mWrites[ovi];
        if (write.unitValue == UnitValue::Known) {
            write.unitValue = UnitValue::NotBrought;
        }
        endMark(write);
        learn(ovi, std::nullopt);
    }
    for (const Ovi& ovi : gone) {
        dbg_printf_h(
            "tavi: %06X:%02X vid %04X not brought by the synchronisation: the unit no longer holds it",
            oid_address(ovi.oid), oid_index(ovi.oid), ovi.vid);
        mWrites.erase(ovi);
        mKnown.erase(ovi);
        pt_remove_value(ovi.oid, ovi.vid);
    }
}

void TaviProtocol::publishMyself() {
    dbg_printf_h("tavi: publishing myself");
    mState = State::Ready;
    stopSyncWatch();
    const hw_descr_t* hw = DI.hw;
    const sw_descr_t* sw = DI.sw;
    if (hw != nullptr) {
        pt_set_text(mSelf, VID_HW_CODE, std::string(hw->hw_code, sizeof hw->hw_code));
        pt_set_int(mSelf, VID_HW_VERSION, hw->hw_version, BT_VTYPE_U8);
        pt_set_int(mSelf, VID_SERIAL, static_cast<int>(hw->serial), BT_VTYPE_U32);
        pt_set_int(mSelf, VID_SERIAL_PREFIX, hw->serial_prefix, BT_VTYPE_U16);
    }
    if (sw != nullptr) {
        pt_set_text(mSelf, VID_SW_CODE, std::string(sw->sw_code, sizeof sw->sw_code));
        pt_set_int(mSelf, VID_SW_VERSION, sw->version_major, BT_VTYPE_U8);
        pt_set_int(mSelf, VID_SW_BUILD, sw->build, BT_VTYPE_U8);
    }
    u8 list[sizeof IDENTITY_VIDS];
    for (size_t i = 0; i < std::size(IDENTITY_VIDS); ++i) {
        put_le16(list + 2 * i, IDENTITY_VIDS[i]);
    }
    pt_set_data(mSelf, VID_VALUE_LIST, list, sizeof list);
    pt_set_int(mSelf, VID_DEVICE_STATE, DEVICE_ONLINE, BT_VTYPE_U8);
    for (const auto& [ovi, write] : mWrites) {
        if (write.kept) {
            mRepublish.push_back(ovi);
        }
    }
    dbg_printf_h("tavi: ready");
}

void TaviProtocol::receiveTime(const u8* payload, u16) {
    const u32 networkTime = get_le32(payload);
    const time_t unixTime = timestamp_from_network(networkTime);
    if (unixTime > static_cast<time_t>(UINT32_MAX)) {
        dbg_printf_h("tavi: SYNC_TIME %u beyond the clock's range, ignored", networkTime);
        return;
    }
    dbg_printf_h("tavi: clock set to %u", static_cast<u32>(unixTime));
    os_time_set(static_cast<u32>(unixTime));
}

void TaviProtocol::receiveObjectInfo(const u8* payload, u16) {
    const oid_t oid = get_le32(payload);
    const bt_obj_info info{payload[TNET_INFO_OFS_TYPE], payload[TNET_INFO_OFS_SUBTYPE],
                           payload[TNET_INFO_OFS_FLAGS], payload[TNET_INFO_OFS_FLAGS + 1]};
    if (oid == OID_ALL) {
        dbg_printf_h("tavi: OBJECT_INFO for object id %08X refused", oid);
        return;
    }
    if (const ProxyObject* existing = Structure.find(oid)) {
        if (existing->type() != ObjectInfo(info)) {
            dbg_printf_h("tavi: %06X:%02X announced as %u/%u, kept as %u/%u", oid_address(oid),
                         oid_index(oid), unsigned{info.type}, unsigned{info.subtype},
                         unsigned{existing->type().type()}, unsigned{existing->type().subtype()});
        }
        return;
    }
    const DataModel::ObjectTemplate* objectTemplate = DataModel::Database::findObjectTemplate(info);
    if (objectTemplate == nullptr) {
        dbg_printf_h("tavi: %06X:%02X of type %u/%u has no template", oid_address(oid), oid_index(oid),
                     unsigned{info.type}, unsigned{info.subtype});
    }
    Structure.append(new ProxyObject(oid, ObjectInfo(info), objectTemplate));
}

void TaviProtocol::receiveObjectRemove(const u8* payload, u16) {
    const oid_t oid = get_le32(payload);
    std::erase_if(mKnown, [oid](const auto& known) { return known.first.oid == oid; });
    if (!Structure.remove(oid)) {
        dbg_printf_h("tavi: OBJECT_REMOVE of unknown %06X:%02X ignored", oid_address(oid), oid_index(oid));
    }
}

// ---- The client's callback table ----

const tnet_client_handler TaviClientsHandler{
    [](uint32_t owner) { Tavi.handleConnected(owner); },
    [](int reason) { Tavi.handleDisconnected(reason); },
    [](uint8_t cmd, const uint8_t* payload, uint16_t len) { Tavi.handleReceived(cmd, payload, len); },
    [](uint8_t* cmd, uint8_t* payload, uint16_t max) { return Tavi.handleTransmit(cmd, payload, max); },
    [](uint8_t cmd) { Tavi.handleTransmitted(cmd); },
    [](uint8_t cmd) { Tavi.handleTransmitFailed(cmd); },
    [](int learning) { Tavi.handleLearnChanged(learning); },
};

} // namespace tdx::Net
