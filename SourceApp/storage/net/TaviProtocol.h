// The network bridge between the device-network client and the object tree. It subscribes to the display's
// own device and then to everything, publishes the display's identity, stores what the control unit
// publishes into the value table, fills the tree from object announcements and publishes local changes.
//
//   DISCONNECTED --connected(owner)--> SUBSCRIBING_SELF --SYNCHRONIZED(own)--> SUBSCRIBING_ALL
//   --SYNCHRONIZED(all)--> READY ("publishing myself", own device state 2, "ready")
//
// Local writes go once ready, after the display's identity values and its "ready".
//
// A subscription of the synchronisation whose SYNCHRONIZED has not come NET_ANSWER_TIMEOUT_MS after the
// control unit took it, or after its answer last brought an object or value it had not brought yet, is asked
// again: a frame damaged on the line that passed its check may have turned that SYNCHRONIZED into one that
// answers nothing. The control unit answers every subscription in full, so the second answer brings
// everything the first one did, as the unit holds it then. The unit's changes of values already answered do
// not hold the question off: they come after the lost SYNCHRONIZED, and a busy unit would otherwise keep the
// display from "ready" for good.
//
// The client's disconnect notification resets the bridge from any state: the command queue is dropped (a new
// subscription brings the control unit's values back). For each value the user writes, the bridge keeps what
// it last knew the control unit to hold: the last value the unit published that cannot be older than a write
// the unit took (a value stored, the answer to a question, a value that came while the write waited for its
// turn or crossed it on its way), or the display's own write once the unit acknowledged it. Local changes
// that the control unit has not acknowledged are kept over the reset, and the new synchronisation decides by
// values, never by the two devices' clocks: the control unit shows the kept value (the write arrived, only
// its acknowledgement was lost: dropped), or what the display knew it to hold (no change of its own since:
// the write is published once more when synchronised), or anything else (the control unit changed it since:
// it wins, and the dropped write is traced). A value the unit changed during the outage and set back to what
// it was cannot be told from no change. What was written while no session was open is not sent. A value the
// control unit publishes while a write is in flight tells nothing of their order: the control unit's value is
// shown, the write is not kept over a reset, and its acknowledgement makes the bridge ask the control unit
// for the value again. A write the user made behind the one in flight is kept over a reset as the last word,
// and the unit showing the write that was in flight is no change of its own either: it took that write.
//
// A write waiting for its turn reaches the control unit after every value the unit published before it left:
// at the unit it is the later one. A PUBLISH of the value that comes meanwhile neither replaces the write nor
// drops it: the write goes, and the display keeps showing it.
//
// A write the control unit refuses (NACK) changed nothing there: the display shows the unit's value again,
// the one it knew, or asks for it when it knew none (and shows the value missing when the unit holds none).
// It asks too when a value of the unit came that it could not place against a write the unit took (one that
// may be older than that write, or one that crossed it): the unit holds that value or the write. A refused
// write carried over a session end whose value the synchronisation did not bring leaves the value as the
// synchronisation left it: the unit holds none, and the value goes from the table. A write the user made
// behind the refused one still goes.
//
// While told to (keepOfflineWrites: a restart of the control unit is announced, a restore), the bridge marks
// what the user writes: it is meant for the unit that returns, and comes after whatever the restart changed.
//
//   kept     A marked write that a session end leaves unsettled (not sent, on its way, taken with or without
//            its acknowledgement), also one made with no session open. One the unit takes while writes are
//            kept is held too: the restart may take it back. A later write of the user takes the marked
//            one's place, and its mark.
//   sent     Once the unit is back and synchronised, as every write that waited, whatever the unit shows.
//   shown    The user's value, whatever the unit publishes of it meanwhile (the restore's own values come
//            before its restart). What the unit derives from it (a room's desired temperature) the table
//            shows as the unit publishes it; holdsWrite() tells the screens to show the write in its place.
//   arrived  A synchronisation that shows exactly the kept write settles it, unless writes are still kept:
//            then the unit holds it, and it waits for the return as one the unit took.
//   ends     When the unit's return has brought the value: at a synchronisation once writes are no longer
//            kept, when its PUBLISH of the value comes, or at its end when it did not bring the value. A
//            synchronisation while writes are still kept is no return (the session ended before the
//            restart): the marks stay. The unit's refusal of a marked write ends its mark, once writes are no
//            longer kept. Keeping turned off with no session end since it was turned on (the unit refused
//            the restore, or it lapsed) ends every mark at once, and settles a write the unit took in the
//            session under way, unless a later write of the user waits: no restart came since. The update
//            manager stops keeping writes as soon as the returned unit's connection is made, before its
//            synchronisation brings anything.
//   after    A write whose mark ended is one as any other carried over a session end: a later session end
//            sends it again only while the unit shows what the display last knew, the value the return
//            brought, so that a change made at the unit in a later outage stands.
//
// The control unit sends its packets in the order it queued them, and a PUBLISH it queued before it applied
// the display's write may come in the frame that acknowledges the write, or later. The display assumes that
// the unit polls only when nothing of its own is outstanding or queued (no document of the unit says so; the
// simulator keeps it), so once a POLL came in or after the frame of the acknowledgement, everything it queued
// before it took the write has come: the write is settled, and what the unit publishes from then on is newer.
// A unit that polled with a PUBLISH still queued would have that PUBLISH, when older than the write, shown in
// the write's place until the value's next change or synchronisation. A value published after the
// acknowledgement and before that POLL, until the control unit answered a question asked since, may be older
// than the write: the display keeps the write shown and asks (SUBSCRIBE of that one value). The PUBLISH right
// before the SYNCHRONIZED of the last question is what the control unit holds, unless the user wrote the
// value again meanwhile (that write reaches the control unit after the question, so it is newer). Questions
// are counted per value, and a write acknowledged while one is out asks once more: only the last answer
// counts. The user's writes go before the questions, so that no write waits behind questions about other
// values.
//
// A complete synchronisation brings every value the control unit holds: once its last SYNCHRONIZED has come,
// a value of the unit's objects that it did not bring is gone from the unit (taken back by a restore, say)
// and goes from the table too, as if it had never come, unless the user's write of it waits to be sent. The
// display's own device keeps its values: they are the display's.
#pragma once

#include "Libraries/base/Timer.h"
#include "Libraries/tavi_net/tnet.h"
#include "SourceApp/big_table/bt_types.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/storage/Ovi.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

namespace tdx {

namespace Net {

// Events raised for the GUI core.
enum : int {
    NET_EVENT_CONNECTED = 5,     // a session with the control unit is open
    NET_EVENT_NOT_CONNECTED = 6, // none within NET_CONNECT_TIMEOUT_MS of start, or the connection was reset
    NET_EVENT_SYNC_STARTED = 7,  // the first subscription of a connection is on its way
};

inline constexpr unsigned NET_CONNECT_TIMEOUT_MS = 15000;
// A value asked again whose answer has not come this long after the control unit took the question is asked
// once more: the answer went astray (a spoiled frame that passed its check), and the value is not held for
// good. A subscription of the synchronisation is asked again after this long without its SYNCHRONIZED and
// without anything new in its answer.
inline constexpr unsigned NET_ANSWER_TIMEOUT_MS = 10000;
inline constexpr u32 NET_NO_OWNER = 0xFFFFFFFFu;

// A command waiting for its turn in the bridge's queue; built when the client has a reply slot for it.
class QueuedCommand {
public:
    virtual ~QueuedCommand() = default;
    // Writes the command code and payload (at most max bytes); returns the payload length.
    virtual int build(u8* cmd, u8* payload, u16 max) = 0;
};

class QueuedSubscribe : public QueuedCommand {
public:
    QueuedSubscribe(oid_t oid, vid_t vid)
        : mOid(oid)
        , mVid(vid) {}
    int build(u8* cmd, u8* payload, u16 max) override;
    Ovi ovi() const { return Ovi(mOid, mVid); }

private:
    oid_t mOid;
    vid_t mVid;
};

// Sends the display's clock as it is when the command's turn comes, not when it was queued.
class QueuedTimeSync : public QueuedCommand {
public:
    int build(u8* cmd, u8* payload, u16 max) override;
};

class TaviProtocol {
public:
    enum class State { Disconnected, SubscribingSelf, SubscribingAll, Ready };
    using EventSink = std::function<void(int kind)>;

    TaviProtocol();
    ~TaviProtocol();
    TaviProtocol(const TaviProtocol&) = delete;
    TaviProtocol& operator=(const TaviProtocol&) = delete;

    // Start-up wires this to the GUI core; without a sink events are only traced.
    void setEventSink(EventSink sink) { mSink = std::move(sink); }

    // Once per main-loop pass, before tnet_task().
    void task();

    bool isConnected() const { return mState != State::Disconnected; }
    bool isSynchronized() const { return mState == State::Ready; }
    // The control unit the display is connected to, NET_NO_OWNER when not connected. Callers mask 24 bits.
    unsigned getOwner() const { return mOwner; }
    // A "not connected" was raised and no connection has come since: a screen built after the event, which
    // never saw it, still knows that the display is not enrolled.
    bool isConnectionLost() const { return mLost; }
    State state() const { return mState; }

    // Appends a command to the queue; it is sent once connected, in turn, before any value is published.
    void queue(std::unique_ptr<QueuedCommand> command);

    // While held, the bridge sends nothing of its own (no synchronisation, no local change): a device being
    // updated over the network gets its datalink requests through at once, also right after the control
    // unit's restart, instead of behind a whole synchronisation. Held by whoever talks to a bootloader; the
    // synchronisation goes on once released.
    void holdTraffic(bool held) { mTrafficHeld = held; }
    bool isTrafficHeld() const { return mTrafficHeld; }

    // While set, what the user writes is marked: it waits for the unit's return, also when the unit took it
    // before or it was written with no session open, and goes then whatever the unit shows. Set from the
    // announcement of a restart of the unit until its return: the screens stay through the restart, and what
    // the user changes on them is meant for the unit that returns. Cleared with no session end since it was
    // set, the restart did not come: the marks end.
    void keepOfflineWrites(bool keep);
    bool keepsOfflineWrites() const { return mKeepOfflineWrites; }
    // The value is a request: written to ask the control unit for an action that it carries out once (a
    // backup, a restore). A request is never marked: once the unit took it, it is done, and the unit that
    // returns from a restart does not get it again, which would carry the action out a second time.
    void treatAsRequest(oid_t oid, vid_t vid) { mRequests.insert(Ovi(oid, vid)); }

    // The user's write of the value has not settled at the control unit yet: it waits to be sent, is on its
    // way, was taken moments ago, is kept over a session end, or was taken before an announced restart that
    // may take it back. The table shows the user's value meanwhile; what the unit derives from it (a room's
    // desired temperature) still shows the unit's value from before it.
    bool holdsWrite(oid_t oid, vid_t vid) const;

    // Asks the network client to enter learn mode again (a user's request to enrol the display).
    void requestLearn() { tnet_learn_request(); }

    // Back to the state of construction, the connection watch started anew (a restarted network, tests).
    void restart();

    // The client's notifications (TaviClientsHandler forwards them to the global bridge).
    void handleConnected(u32 owner);
    void handleDisconnected(int reason);
    void handleReceived(u8 cmd, const u8* payload, u16 len);
    int handleTransmit(u8* cmd, u8* payload, u16 max);
    void handleTransmitted(u8 cmd);
    void handleTransmitFailed(u8 cmd);
    void handleLearnChanged(int learning);
    // The value table's hook before a local write replaces a value: keeps what the control unit showed,
    // unless the display already knows better what it holds.
    void beforeLocalWrite(oid_t oid, vid_t vid);

private:
    void raise(int kind);
    void reset(const char* why);
    // The local writes waiting to be published are kept for the next synchronisation to decide.
    void keepQueuedWrites();
    void subscribe(oid_t oid, vid_t vid, bool front);
    // Subscribes to all values of `oid` for the synchronisation, its answer watched anew.
    void subscribeForSync(oid_t oid, bool front);
    // The subscription that the synchronisation waits for the SYNCHRONIZED of; none when it waits for none.
    std::optional<Ovi> syncSubscription() const;
    void stopSyncWatch();
    // A PUBLISH or OBJECT_INFO that came while the synchronisation waits: something not brought before
    // shows that the answer is still coming.
    void watchSyncAnswer(u8 cmd, const u8* payload);
    void receivePublish(const u8* payload, u16 len);
    // Whether a local write of the value that the control unit has not taken yet stays against the value
    // `shown` that the control unit publishes (then it is not stored); may drop the write.
    bool localWriteStays(const pt_value& shown);
    void dropWrite(const Ovi& ovi);
    // Whether the control unit's value `shown` is stored now; false when a write or a question of the value
    // decides instead.
    bool unitValueStands(const pt_value& shown, const u8* payload, u16 len);
    // Stores a PUBLISH of the control unit into the value table.
    void storePublish(const u8* payload, u16 len);
    // Subscribes to one value again, so that the control unit publishes what it holds; `why` for the trace.
    void askAgain(const Ovi& ovi, const char* why);
    // The write of the value that the control unit acknowledged and no answer settled yet, if any; one that a
    // POLL since its acknowledgement settled is forgotten.
    const pt_value* unsettledWrite(const Ovi& ovi);
    // After the last SYNCHRONIZED of a complete synchronisation: the values of the unit's objects that it did
    // not bring leave the table.
    void dropValuesNotBrought();
    void receiveAnswer(const Ovi& ovi);
    void receiveSynchronized(const u8* payload, u16 len);
    void receiveTime(const u8* payload, u16 len);
    void receiveObjectInfo(const u8* payload, u16 len);
    void receiveObjectRemove(const u8* payload, u16 len);
    void publishMyself();
    static int buildPublish(const pt_value& value, u8* payload, u16 max);
    int takeLocalChange(u8* cmd, u8* payload, u16 max);
    // The next of the display's identity values set by publishMyself() and not yet published.
    bool takeMyself(pt_value* value);
    // The next change kept over a reset that the synchronisation left to be sent again.
    bool takeKeptChange(pt_value* value);

    // What the display knows of the control unit's value of a value the user wrote.
    enum class UnitValue : u8 {
        Known,
        // Kept over a reset, and the synchronisation did not bring the value: the unit held none.
        NotBrought,
        // A value of the control unit came that could not be placed against the write it took last: what the
        // display knows of the value may be older than what the unit holds. Stays, whatever comes next.
        Unplaced,
    };

    // A local write the control unit has not taken for sure.
    struct LocalWrite {
        std::optional<pt_value> sent; // the value of the PUBLISH in flight
        std::optional<pt_value> kept; // carried over a reset: the value the control unit may have got
        // The value the control unit published while the write was in flight: which came last is unknown.
        std::optional<pt_value> crossing;
        // Carried over a reset behind a write in flight: that write, which the control unit showing took.
        std::optional<pt_value> sentBefore;
        // Made from the announcement of a restart of the control unit (a restore) until its return: it goes
        // after whatever the restart changed, over every session that ends before the unit's return brought
        // the value.
        bool madeAway = false;
        // Marked and taken by the control unit while writes are kept: held for the unit's return, which the
        // restart may have taken it back in.
        std::optional<pt_value> taken;
        // How far what the display knows of the unit's value (mKnown) can be trusted.
        UnitValue unitValue = UnitValue::Known;
    };

    // Remembers `value` as what the control unit holds of it (none: it holds no value), for a value the user
    // wrote; forgotten when the unit shows the value with nothing of it pending. An entry left once nothing
    // is pending is what the table shows, so the next write of the value takes it as it stands.
    void learn(const Ovi& ovi, const std::optional<pt_value>& value);
    // Whether the control unit shows what the display last knew it to hold.
    bool isKnown(const Ovi& ovi, const pt_value& shown) const;
    // Learns the control unit's value `shown` of a value the user wrote, unless it may be older than the
    // write the unit took last.
    void learnUnlessOlder(LocalWrite& write, const pt_value& shown);
    // After the control unit refused the display's write: shows the unit's value again when the display knows
    // it for sure, or asks for it. `goneForSure`: the display learned that the unit holds no value from a
    // synchronisation that did not bring it, and shows it missing unless a value came since.
    void showUnitValue(const Ovi& ovi, bool knownForSure, bool goneForSure = false);
    // Ends a kept write's wait over the reset (settled, or about to be sent).
    static void unkeep(LocalWrite& write);
    // The unit's return brought the value, or the unit took or refused the write with a later one of the
    // user waiting: its mark ends, unless writes are still kept (the unit's return is still to come, and a
    // later write is made in the restart too).
    void endMark(LocalWrite& write) const;
    // Writes are no longer kept: a marked write the unit took in this session is settled (what the unit
    // published since is shown), and with `noRestart` (no session ended while they were kept) every mark
    // ends.
    void endMarks(bool noRestart);
    // Whether a write of the value made now is marked: while writes are kept, unless it is a request.
    bool marksWrite(const Ovi& ovi) const;

    State mState = State::Disconnected;
    u32 mOwner = NET_NO_OWNER;
    oid_t mSelf = 0;
    bool mEverConnected = false;
    bool mSyncStartRaised = false;
    bool mLost = false;
    bool mTrafficHeld = false;
    bool mKeepOfflineWrites = false;
    // A session ended while writes were kept: the restart came, and the next synchronisation with writes no
    // longer kept is the unit's return.
    bool mSessionEndedWhileKept = false;
    Timer mConnectWatch{NET_CONNECT_TIMEOUT_MS};
    // timer() when the control unit took the subscription of the synchronisation, or when its answer last
    // brought an object (its id with VID_ALL) or value not in mSyncAnswered; none before it is taken.
    std::optional<uint64_t> mSyncProgressAt;
    std::set<Ovi> mSyncAnswered;
    std::deque<std::unique_ptr<QueuedCommand>> mCommands;
    // The command handed to the client and not yet acknowledged or given up.
    std::unique_ptr<QueuedCommand> mInFlight;
    u8 mInFlightCmd = 0;
    // Local writes not yet acknowledged by the control unit (or not yet sent).
    std::map<Ovi, LocalWrite> mWrites;
    // The values written as requests (treatAsRequest).
    std::set<Ovi> mRequests;
    // What the display last knew the control unit to hold of each value the user wrote (none: no value),
    // while the table may show otherwise.
    std::map<Ovi, std::optional<pt_value>> mKnown;
    // Those carried over a reset and not settled by the synchronisation, to be published again once ready.
    std::deque<Ovi> mRepublish;
    std::optional<Ovi> mPublishInFlight;
    // A value asked again (SUBSCRIBE of it): the questions queued or sent and not answered yet (their
    // SYNCHRONIZED has not come), and the last PUBLISH of the value since, which holds the answer once the
    // last SYNCHRONIZED comes.
    struct Question {
        int unanswered = 0;
        std::vector<u8> answer;
        uint64_t takenAt = 0; // timer() when the control unit acknowledged the last one, 0 before
    };
    std::map<Ovi, Question> mQuestions;
    // Questions waiting for their turn, behind the user's writes.
    std::deque<Ovi> mAsks;
    // Writes the control unit acknowledged and neither a POLL nor an answer has settled since: a PUBLISH of
    // the value that comes now may have been queued before the control unit applied the write.
    struct Applied {
        pt_value value;
        u32 polls; // the client's POLL count when the acknowledgement came
    };
    std::map<Ovi, Applied> mApplied;
    // The values the synchronisation under way has brought (also those a kept write stood against).
    std::set<Ovi> mSyncBrought;
    EventSink mSink;
};

// The one bridge of the program.
extern TaviProtocol Tavi;

// The bridge's seven callbacks, for tnet_init.
extern const tnet_client_handler TaviClientsHandler;

} // namespace Net
} // namespace tdx
