// Simulated control unit: the bus master of the device network on one byte stream. It searches for a learning
// client, connects and opens a session, polls it, acknowledges and retransmits sequenced packets, routes
// datalink datagrams, serves the value protocol from its installation model, and is itself an updatable
// device: its bootloader port restarts it into its bootloader and back, the bus falling silent meanwhile.
// Everything runs in step(), on timer(); tests share the fake clock with the display and advance it with
// os_clock_advance.
#pragma once

#include "Libraries/link_bus/link_bus.h"
#include "tools/simcu/byte_stream.h"
#include "tools/simcu/sim_bootloader.h"
#include "tools/simcu/sim_model.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace tdx::sim {

struct SimConfig {
    uint32_t address = 0x000316; // the control unit's own address, owner of its clients
    uint32_t searchPeriodMs = 250;
    uint32_t pollPeriodMs = 50;
    uint32_t replyTimeoutMs = 150;
    // A reply whose first byte has not come this long after the packet left is not coming.
    uint32_t replyStartMs = 20;
    // A reply whose bytes stopped this long without ending in a frame (its start or end byte spoiled) is
    // over.
    uint32_t replyGapMs = 5;
    // The client counts as lost when its replies have been missing this long (the client's supervision time).
    uint32_t lostAfterMs = 3000;
    // The packet log and the lists of what the client sent keep the last this many entries (0: none, for a
    // simulator that runs for days and prints what it sees).
    size_t keepLast = 4096;
    // The unit's own bootloader port; its serial number, when 0, is the unit's address. Its restarts are
    // always deferred until the answer that asked for them has been acknowledged.
    SimBootloader::Config bootloader = unitBootloader();

    static SimBootloader::Config unitBootloader();
};

// One packet seen on the bus, either way.
struct SimPacket {
    uint64_t at = 0; // timer() when sent or taken in
    bool fromMaster = false;
    uint32_t address = 0;
    uint8_t cmd = 0;
    uint8_t control = 0;
    std::vector<uint8_t> payload;
};

// Switches to make the master misbehave on purpose.
struct SimFaults {
    int dropReplies = 0;       // the next n client packets are lost before the master sees them
    int dropOpenAnswers = 0;   // the client's next n answers to SESSION_OPEN are lost
    bool withholdAcks = false; // the master stops acknowledging the client's sequenced packets
    int corruptFrames = 0;     // the next n frames the master sends get one byte flipped
    int duplicates = 0;        // the next n acknowledged master packets are sent once more, same SEQ
    bool stopPolling = false;  // the master falls silent
    uint32_t pauseMs = 0;      // the master's next packet comes this much later than due
    // The next n SUBSCRIBEs of one value are taken and acknowledged but never answered, as if the answer
    // were lost in a spoiled frame that passed its check.
    int unansweredSubscribes = 0;
    // The next n SUBSCRIBEs of one value are refused (NACK 4) and not taken.
    int refusedSubscribes = 0;
    // The client's well-formed PUBLISHes of these values (object id, value id) are refused and not taken, as
    // a unit refuses a write of a value it will not take from the display: NACK 3, the layout is not one it
    // takes for that value.
    std::set<std::pair<uint32_t, uint16_t>> refusedWrites;
    // The SYNCHRONIZED that ends the answer to the next SUBSCRIBE of all values of this object (ALL_OBJECTS:
    // the subscription to everything) is lost, or, when spoiled, comes as one that answers nothing, as from a
    // frame damaged on the line that passed its check.
    std::optional<uint32_t> faultySynchronizedOf;
    bool faultySynchronizedSpoiled = false;
};

// A device behind the control unit that takes datagrams (the control unit itself for its own ports, or a
// simulated peripheral). Returns the answer datagram, if any, sent back to the source port.
using SimDatagramHandler = std::function<std::optional<std::vector<uint8_t>>(uint8_t srcPort, uint8_t dstPort,
                                                                             const std::vector<uint8_t>&)>;

class SimControlUnit {
public:
    enum class Phase { Search, Connect, Open, Session };

    explicit SimControlUnit(IByteStream& stream, SimConfig config = {});
    SimControlUnit(const SimControlUnit&) = delete;
    SimControlUnit& operator=(const SimControlUnit&) = delete;

    // One non-blocking pass: reads the stream, handles complete packets, sends what is due.
    void step();
    // Only reads the stream and handles complete packets.
    void receive();

    // Calls step(), then the pump (the display's side), then advances the shared fake clock by stepMs, until
    // the predicate holds (true) or timeoutMs have passed (false). Deterministic single-thread tests only.
    void setPump(std::function<void()> pump) { mPump = std::move(pump); }
    // Told of every sequenced command taken in from the client (PUBLISH, SUBSCRIBE, SYNC_TIME, DATALINK),
    // once, after the master handled it.
    using ReceiveListener = std::function<void(uint8_t cmd, const std::vector<uint8_t>& payload)>;
    void setReceiveListener(ReceiveListener listener) { mReceiveListener = std::move(listener); }
    // Told at the start of every step(), for the parts of the simulation that act on their own time.
    void setStepListener(std::function<void()> listener) { mStepListener = std::move(listener); }
    bool wait_until(const std::function<bool()>& predicate, uint32_t timeoutMs, uint32_t stepMs = 10);

    // Assertions and scenario.
    Phase phase() const { return mPhase; }
    uint32_t client() const { return mClient; }
    const std::vector<SimPublish>& received_publishes() const { return mPublishes; }
    const std::vector<uint32_t>& received_time_syncs() const { return mTimeSyncs; }
    const std::vector<std::pair<uint32_t, uint16_t>>& subscriptions() const { return mSubscriptions; }
    std::optional<SimValue> value(uint32_t oid, uint16_t vid) const { return mModel.value(oid, vid); }
    // Stores the value and publishes it to a client that subscribed to it.
    void publish(uint32_t oid, uint16_t vid, const SimValue& value);
    void publish(uint32_t oid, uint16_t vid, uint8_t type, int64_t number);
    void add_object(uint32_t oid, uint8_t type, uint8_t subtype);
    // Removes the object and its values; a subscribed client hears OBJECT_REMOVE.
    void remove_object(uint32_t oid);
    SimModel& model() { return mModel; }

    // Everything sent and received (with the display's bytes the master could decode).
    const std::vector<SimPacket>& log() const { return mLog; }
    void clearLog() { mLog.clear(); }
    int count(bool fromMaster, uint8_t cmd) const;

    SimFaults& faults() { return mFaults; }
    // The unit's own bootloader; down() while it restarts (the bus is silent then).
    SimBootloader& bootloader() { return mOwnBootloader; }
    bool down() const { return mDown; }
    // The unit is switched off and on again: the bus falls silent until its bootloader is back (powerCycle).
    void powerCycle();
    // The master sends DISCONNECT to its client next.
    void disconnectClient();
    // Queues a sequenced command to the client with the payload as given (malformed ones included): it goes
    // out in turn with the master's own sequencing and acknowledgement.
    void send(uint8_t cmd, std::vector<uint8_t> payload) { queue(cmd, std::move(payload)); }
    // Queues a raw master packet to the client (or the broadcast address), sent in the next slot as it is.
    void inject(uint32_t address, uint8_t cmd, uint8_t control, const std::vector<uint8_t>& payload);
    // Sends raw bytes to the display at once.
    void injectBytes(const std::vector<uint8_t>& bytes);
    // Remembers a client address so that the master connects it without a search (a known device): at once,
    // or after a first search (a learning display then answers it, and one that is not learning is offered
    // CONNECT next, as an enrolled display is when the unit has restarted).
    void knowClient(uint32_t address, bool searchFirst = false);

    // Datalink: devices behind the control unit by address (its own address answers BLDR and ECHO itself).
    void attachDevice(uint32_t address, SimDatagramHandler handler);
    // Queues a datagram to the client from `from`:srcPort to its dstPort.
    void sendDatagram(uint32_t from, uint8_t srcPort, uint8_t dstPort, const std::vector<uint8_t>& data);
    struct Datagram {
        uint32_t to = 0;
        uint8_t srcPort = 0;
        uint8_t dstPort = 0;
        std::vector<uint8_t> data;
    };
    const std::vector<Datagram>& received_datagrams() const { return mDatagrams; }

private:
    struct Outgoing {
        uint32_t address = 0;
        uint8_t cmd = 0;
        std::vector<uint8_t> payload;
        bool raw = false; // injected: control byte as given
        uint8_t control = 0;
        uint8_t seq = 0;
        bool restartAfter = false; // the unit restarts once the client has this packet
    };

    static void onPacket(const uint8_t* pkt, uint16_t len, void* user);
    void handlePacket(const uint8_t* pkt, uint16_t len);
    void handleSessionReply(uint8_t cmd, uint8_t control, const std::vector<uint8_t>& payload);
    void handleSequenced(uint8_t cmd, const std::vector<uint8_t>& payload);
    void handleSubscribe(uint32_t oid, uint16_t vid);
    void routeDatagram(const std::vector<uint8_t>& payload);
    std::optional<std::vector<uint8_t>> answerOwnPort(uint8_t srcPort, uint8_t dstPort,
                                                      const std::vector<uint8_t>& data);
    bool subscribed(uint32_t oid, uint16_t vid) const;
    // Rooms name their outputs by index into the list of every output in ascending object id, as the display
    // counts them: an output that comes or goes shifts the indices, so the rooms' lists are renumbered.
    std::map<uint32_t, std::vector<uint32_t>> roomOutputs() const;
    void renumberRoomOutputs(const std::map<uint32_t, std::vector<uint32_t>>& before);
    void queue(uint8_t cmd, std::vector<uint8_t> payload);
    void sendDue();
    // False when the packet cannot be framed (then nothing is sent).
    bool transmit(uint32_t address, uint8_t cmd, uint8_t control, const std::vector<uint8_t>& payload,
                  bool awaitReply);
    void replyArrived();
    void missed();
    void lose();
    void enterPhase(Phase phase);
    // The restart its own bootloader asked for: the bus falls silent until the unit is back.
    void goDown();
    void comeBack();
    // Something to send at once rather than at the next poll: queued packets, or an acknowledgement owed.
    bool hasWork() const;
    // Frames the decoder dropped at their end (bad CRC, too short): replies spoiled on the line.
    uint32_t spoiledFrames() const;
    template <class T>
    void record(std::vector<T>& list, T entry);

    IByteStream& mStream;
    SimConfig mConfig;
    link_decoder mDecoder{};
    std::function<void()> mPump;
    ReceiveListener mReceiveListener;
    std::function<void()> mStepListener;

    Phase mPhase = Phase::Search;
    uint32_t mClient = 0;
    bool mKnown = false;
    uint8_t mSession = 0;
    int mMisses = 0;
    uint64_t mFirstMissAt = 0; // timer() of the first of the missed replies in a row
    bool mAwaiting = false;
    uint32_t mAwaitAddress = 0;
    uint64_t mSentAt = 0;
    uint64_t mNextSend = 0;
    bool mProbeKnown = false;
    bool mOweAck = false;       // the client's last reply was a sequenced packet
    bool mReplyStarted = false; // a byte came since the packet left
    uint64_t mLastByteAt = 0;   // timer() when the last byte came

    // Sequenced traffic to the client: one outstanding packet, the rest queued.
    std::deque<Outgoing> mQueue;
    std::optional<Outgoing> mOutstanding;
    uint8_t mTxSeq = 0;
    bool mRxValid = false;
    uint8_t mRxSeq = 0;
    std::deque<Outgoing> mInjected;
    bool mDisconnect = false;
    std::optional<Outgoing> mDuplicate;
    std::optional<std::pair<uint8_t, uint8_t>> mNack; // refused command, reason

    SimModel mModel;
    std::vector<std::pair<uint32_t, uint16_t>> mSubscriptions;
    std::vector<SimPublish> mPublishes;
    std::vector<uint32_t> mTimeSyncs;
    std::vector<Datagram> mDatagrams;
    std::map<uint32_t, SimDatagramHandler> mDevices;
    SimBootloader mOwnBootloader;
    bool mDown = false;
    bool mRestartAfterReply = false;
    std::vector<SimPacket> mLog;
    SimFaults mFaults;
};

} // namespace tdx::sim
