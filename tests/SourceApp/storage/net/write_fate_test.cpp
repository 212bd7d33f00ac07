// What becomes of the user's write that the control unit refuses, or that a session end leaves unsettled:
// the display never shows a value the unit does not hold once the line is quiet, and a write carried over a
// session end replaces nothing the unit changed meanwhile.
#include "bridge_harness.h"

#include <algorithm>
#include <optional>
#include <string>

namespace tdx::test {
namespace {

using State = Net::TaviProtocol::State;
constexpr oid_t ROOM = 0x01000316;
constexpr vid_t DESIRED = 0x001D;
constexpr vid_t SPARE = 0x8099; // a location value that nobody sets on its own

class WriteFateTest : public BridgeTest {
protected:
    void SetUp() override {
        BridgeTest::SetUp();
        addUnitWithRoom(ROOM);
        mSim.publish(ROOM, DESIRED, BT_VTYPE_S16_X100, 2200);
    }
    void ready() {
        ASSERT_TRUE(synchronise());
        run(300);
    }
    static void write(int value, oid_t oid = ROOM, vid_t vid = DESIRED) {
        ASSERT_EQ(pt_set_int(oid, vid, value, oid == ROOM ? BT_VTYPE_S16_X100 : BT_VTYPE_U16), PT_OK);
    }
    static int reading(oid_t oid = ROOM, vid_t vid = DESIRED) {
        int value = 0;
        const int result = pt_get_int(&value, oid, vid);
        return result == PT_OK ? value : result;
    }
    std::optional<int64_t> unitHolds(oid_t oid = ROOM, vid_t vid = DESIRED) const {
        const auto held = mSim.value(oid, vid);
        return held ? std::optional<int64_t>(held->number()) : std::nullopt;
    }
    size_t taken(int value, oid_t oid = ROOM, vid_t vid = DESIRED) const {
        size_t n = 0;
        for (const sim::SimPublish& p : publishesOf(oid, vid)) {
            n += p.value.number() == value;
        }
        return n;
    }
    size_t questions(oid_t oid, vid_t vid) const {
        size_t n = 0;
        for (const sim::SimPacket& packet : mSim.log()) {
            n += !packet.fromMaster && packet.cmd == TNET_CMD_SUBSCRIBE &&
                 get_le32(packet.payload.data()) == oid &&
                 get_le16(packet.payload.data() + TNET_PUB_OFS_VID) == vid;
        }
        return n;
    }
    bool displaySent(oid_t oid) const {
        for (const sim::SimPacket& packet : mSim.log()) {
            if (!packet.fromMaster && packet.cmd == TNET_CMD_PUBLISH &&
                get_le32(packet.payload.data()) == oid) {
                return true;
            }
        }
        return false;
    }
    // The unit takes the user's write, and nothing reaches the display any more until the session ended.
    void writeItsAcknowledgementLost(int value) {
        mSim.setReceiveListener([this](uint8_t cmd, const std::vector<uint8_t>& payload) {
            if (cmd == TNET_CMD_PUBLISH && get_le32(payload.data()) == ROOM) {
                mSim.faults().corruptFrames = 1 << 30;
            }
        });
        ASSERT_NO_FATAL_FAILURE(write(value));
        ASSERT_TRUE(waitFor([] { return !Net::Tavi.isConnected(); }, 5000 + TNET_SUPERVISION_MS));
        mSim.setReceiveListener(nullptr);
        mSim.faults() = {};
        ASSERT_EQ(unitHolds(), value) << "taken";
    }
    void loseTheSession() {
        mSim.disconnectClient();
        ASSERT_TRUE(waitFor([] { return !Net::Tavi.isConnected(); }));
    }
    // What the display put on the line since `since` (timer()), a packet sent again counted once: "subscribe
    // self", "subscribe all", "publish self", "ready" (its own device state), "publish room", up to the
    // first "publish room".
    std::vector<std::string> sentSince(uint64_t since) const {
        std::vector<std::string> sent;
        for (const sim::SimPacket& packet : mSim.log()) {
            if (packet.fromMaster || packet.at < since ||
                (packet.cmd != TNET_CMD_SUBSCRIBE && packet.cmd != TNET_CMD_PUBLISH)) {
                continue;
            }
            const oid_t oid = get_le32(packet.payload.data());
            const vid_t vid = get_le16(packet.payload.data() + TNET_PUB_OFS_VID);
            std::string word = packet.cmd == TNET_CMD_SUBSCRIBE ? "subscribe " : "publish ";
            if (oid == mSelf) {
                word = vid == VID_DEVICE_STATE ? "ready" : word + "self";
            } else {
                word += oid == OID_ALL ? "all" : oid == ROOM ? "room" : "other";
            }
            if (sent.empty() || sent.back() != word) {
                sent.push_back(word);
            }
            if (word == "publish room") {
                break;
            }
        }
        return sent;
    }

    TreeRecorder mRecorder;
};

// The unit refuses the user's write (NACK): it holds what it held, and the display shows that again, the
// value it knew, or, knowing none, what the unit answers when asked (missing when it holds none); what shows
// the value hears of it. A write the user made behind the refused one still goes. A value of the display's
// own device is the display's: its write stays.
enum class Refusal {
    Alone,
    // The user writes 18.00 once the refusal came; the unit takes it.
    WrittenAgainAfterIt,
    // The user writes 18.00 while the refused write is on its way; the unit takes it.
    WrittenAgainBeforeIt,
    // The unit takes the user's 23.45 and changes the value to 24.60 at once, which comes in the
    // acknowledging frame while the user's 19.00 waits; the frame that refuses 19.00 is spoiled, so a POLL
    // comes before the refusal (23.45 counts as settled by then). The unit holds 24.60.
    AfterATakenWriteAndTheUnitsChange,
    // The unit takes the user's 23.45, withholds its acknowledgement and changes the value to 24.60, which
    // crosses 23.45 while the user's 19.00 waits; then it acknowledges 23.45 and refuses 19.00. The unit
    // holds 24.60.
    AfterACrossedWrite,
    // The unit takes the user's 23.45 and publishes it back at once, which comes in the acknowledging frame
    // while the user's 19.00 waits; the refusal comes as for AfterATakenWriteAndTheUnitsChange. The echo is
    // what the unit holds: no question, and 23.45 is shown again at once.
    AfterTheEchoOfATakenWrite,
};

struct RefusedCase {
    const char* name;
    oid_t oid; // 0: the display's own device
    vid_t vid;
    std::optional<int> unitHolds; // none: the unit holds no value
    bool displayKnowsIt;          // else the unit got it with no word to the display
    Refusal road;
    int shown;        // on the display once quiet (a result code when negative)
    size_t questions; // about the value
};

class ARefusedWriteTest : public WriteFateTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(ARefusedWriteTest, LeavesTheDisplayOnTheUnitsValue) {
    const RefusedCase& test = GetParam();
    const oid_t oid = test.oid == 0 ? mSelf : test.oid;
    if (test.unitHolds && test.displayKnowsIt && oid != ROOM) {
        mSim.publish(oid, test.vid, BT_VTYPE_U16, *test.unitHolds);
    }
    ASSERT_NO_FATAL_FAILURE(ready());
    if (test.unitHolds && !test.displayKnowsIt) {
        mSim.model().setValue(oid, test.vid, *sim::sim_number(BT_VTYPE_U16, *test.unitHolds));
    }
    mSim.clearLog();
    const int heard = mRecorder.changesOf(oid, test.vid);
    const int refused = oid == ROOM ? 1900 : 9;
    int writes = 1;
    int last = refused; // the user's last write
    std::optional<int64_t> after = test.unitHolds;
    const bool echo = test.road == Refusal::AfterTheEchoOfATakenWrite;
    const bool spoiledRefusal = test.road == Refusal::AfterATakenWriteAndTheUnitsChange || echo;
    const int unitsValue = echo ? 2345 : 2460; // published by the unit once it took 23.45
    bool changeCame = false;
    bool behind = false;
    if (spoiledRefusal || test.road == Refusal::AfterACrossedWrite) {
        after = unitsValue;
        writes = 2;
        mSim.setReceiveListener(
            [this, refused, spoiledRefusal, unitsValue](uint8_t cmd, const std::vector<uint8_t>&) {
                if (cmd == TNET_CMD_PUBLISH && !mSim.faults().refusedWrites.count({ROOM, DESIRED})) {
                    mSim.faults().withholdAcks = !spoiledRefusal;
                    mSim.publish(ROOM, DESIRED, BT_VTYPE_S16_X100, unitsValue);
                    write(refused);
                    mSim.faults().refusedWrites = {{ROOM, DESIRED}};
                }
            });
        // Once the display has the unit's value, the next frame refuses 19.00 and is spoiled, or acknowledges
        // 23.45.
        mSim.setStepListener([this, &changeCame, spoiledRefusal] {
            if (!changeCame && mSim.count(true, TNET_CMD_PUBLISH) != 0) {
                changeCame = true;
                mSim.faults().corruptFrames = spoiledRefusal ? 1 : 0;
                mSim.faults().withholdAcks = false;
            }
        });
        ASSERT_NO_FATAL_FAILURE(write(2345));
        ASSERT_TRUE(waitFor([&] { return mSim.count(true, TNET_CMD_NACK) == (spoiledRefusal ? 2 : 1); }));
        mSim.setReceiveListener(nullptr);
        mSim.setStepListener(nullptr);
        ASSERT_EQ(taken(2345), 1u);
        if (spoiledRefusal) {
            const auto& log = mSim.log();
            const auto lost = std::find_if(log.begin(), log.end(), [](const sim::SimPacket& packet) {
                return packet.fromMaster && packet.cmd == TNET_CMD_NACK;
            });
            ASSERT_NE(lost, log.end());
            const auto next = std::find_if(lost + 1, log.end(),
                                           [](const sim::SimPacket& packet) { return packet.fromMaster; });
            ASSERT_NE(next, log.end());
            ASSERT_EQ(next->cmd, TNET_CMD_POLL) << "a POLL before the refusal that came";
        }
    } else {
        mSim.faults().refusedWrites = {{oid, test.vid}};
        if (test.road == Refusal::WrittenAgainBeforeIt) {
            mSim.setStepListener([&] {
                if (!behind && !Structure.isPublishQueued(oid, test.vid)) {
                    behind = true; // on its way
                    write(1800);
                }
            });
        }
        ASSERT_NO_FATAL_FAILURE(write(refused, oid, test.vid));
        // Refused, and the display's answer to the refusal not read yet.
        ASSERT_TRUE(mSim.wait_until([&] { return displaySent(oid); }, 3000));
        if (test.road == Refusal::WrittenAgainAfterIt) {
            ASSERT_NO_FATAL_FAILURE(write(1800));
        }
        mSim.faults().refusedWrites.clear(); // the unit takes what comes next
        if (test.road != Refusal::Alone) {
            after = 1800;
            writes = 2;
            last = 1800;
        }
    }
    run(1500);
    mSim.setStepListener(nullptr);
    EXPECT_EQ(mSim.count(true, TNET_CMD_NACK), spoiledRefusal ? 2 : 1);
    EXPECT_EQ(reading(oid, test.vid), test.shown);
    EXPECT_EQ(unitHolds(oid, test.vid), after);
    EXPECT_EQ(questions(oid, test.vid), test.questions);
    EXPECT_EQ(taken(test.unitHolds.value_or(0), oid, test.vid), 0u) << "the unit's value written back to it";
    const int putBack = test.shown != last;
    EXPECT_GE(mRecorder.changesOf(oid, test.vid), heard + writes + putBack)
        << "what shows the value hears of it";
    EXPECT_EQ(bridgeEvents(), (std::vector<int>{5, 7})) << "no reset on the way";
}

INSTANTIATE_TEST_SUITE_P(
    Values, ARefusedWriteTest,
    ::testing::Values(
        RefusedCase{"TheKnownValueIsShownAgain", ROOM, DESIRED, 2200, true, Refusal::Alone, 2200, 0},
        RefusedCase{"AKnownLocationValueIsShownAgain", LOCATION, SPARE, 5, true, Refusal::Alone, 5, 0},
        RefusedCase{"NoValueKnownTheUnitIsAsked", LOCATION, SPARE, 5, false, Refusal::Alone, 5, 1},
        RefusedCase{"NoValueAnywhereReadsMissing", LOCATION, SPARE, std::nullopt, false, Refusal::Alone,
                    PT_ERR_NO_ENTRY, 1},
        RefusedCase{"AWriteBehindItStillGoes", ROOM, DESIRED, 2200, true, Refusal::WrittenAgainAfterIt, 1800,
                    0},
        RefusedCase{"AWriteQueuedBehindItStillGoes", ROOM, DESIRED, 2200, true, Refusal::WrittenAgainBeforeIt,
                    1800, 0},
        RefusedCase{"AValueOfTheUnitItCouldNotPlaceIsAsked", ROOM, DESIRED, 2200, true,
                    Refusal::AfterATakenWriteAndTheUnitsChange, 2460, 1},
        RefusedCase{"AValueThatCrossedTheTakenWriteIsAsked", ROOM, DESIRED, 2200, true,
                    Refusal::AfterACrossedWrite, 2460, 1},
        RefusedCase{"TheEchoOfTheTakenWriteIsShownAgain", ROOM, DESIRED, 2200, true,
                    Refusal::AfterTheEchoOfATakenWrite, 2345, 0},
        RefusedCase{"AValueOfTheDisplaysOwnStays", 0, SPARE, 5, true, Refusal::Alone, 9, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// A write carried over a session end is sent when the next synchronisation shows what the display last knew
// the unit to hold, and dropped otherwise. Each road leaves the user's last write (19.00, or 18.00 behind the
// 23.45 the unit took) waiting when the session ends.
enum class Road {
    // The unit's 24.60 reaches the display while the write waits for its turn: the write goes after it.
    CameWhileItWaited,
    // The same, and the unit sets the value back to 22.00 during the outage: a change of its own.
    CameWhileItWaitedThenSetBack,
    // The unit changes it to 20.00 during the outage.
    ChangedDuringTheOutage,
    // The 23.45's first send is lost, the unit's 15.00 crosses it, the unit takes the repeat and acknowledges
    // it; the question that follows is never answered, the user writes 18.00. The unit holds 23.45.
    CrossedThenAcknowledged,
    // The unit takes the 23.45 and changes the value to 16.00 at once, which comes in the acknowledging
    // frame:
    // the display asks, the user writes 18.00, then the answer (16.00) comes while the write waits.
    AnsweredWhileItWaited,
    // The same, but the user writes 17.00 as the question reaches the unit and 18.00 as 17.00 does: the
    // answer (16.00) comes in the frame that acknowledges 17.00, and its end while 18.00 waits. The unit
    // holds
    // 17.00.
    AnsweredAsTheNextWriteWasTaken,
    // The unit takes the user's 19.00, later changes the value to 20.00, and the user writes 21.00.
    ChangedAfterAnEarlierWrite,
    // The unit no longer holds the value after the outage (a restore took it back), and refuses the write,
    // which goes as the synchronisation did not bring the value: the value is gone from the display too.
    GoneFromTheUnitAndRefused,
    // The unit takes the user's 19.00, its acknowledgement lost with the session; the user writes 21.00 as
    // the
    // display reconnects, and that session ends before it left. The unit shows 19.00 on the next return: it
    // took that write, which is no change of its own.
    WrittenAgainAsTheDisplayReconnects,
};

struct CarriedCase {
    const char* name;
    Road road;
    int after;      // on both sides (PT_ERR_NO_ENTRY: none)
    size_t written; // the unit took the user's last write this often
};

class ACarriedWriteTest : public WriteFateTest, public ::testing::WithParamInterface<CarriedCase> {};

TEST_P(ACarriedWriteTest, GoesOnlyWhileTheUnitHoldsWhatTheDisplayKnew) {
    const CarriedCase& test = GetParam();
    ASSERT_NO_FATAL_FAILURE(ready());
    int last = 1900;
    switch (test.road) {
        case Road::CameWhileItWaited:
        case Road::CameWhileItWaitedThenSetBack:
        case Road::ChangedDuringTheOutage:
        case Road::GoneFromTheUnitAndRefused:
            Net::Tavi.holdTraffic(true);
            ASSERT_NO_FATAL_FAILURE(write(1900));
            if (test.road != Road::ChangedDuringTheOutage && test.road != Road::GoneFromTheUnitAndRefused) {
                mSim.publish(ROOM, DESIRED, BT_VTYPE_S16_X100, 2460);
            }
            run(500);
            break;
        case Road::CrossedThenAcknowledged:
            last = 1800;
            mSim.faults().dropReplies = 1;
            mSim.faults().unansweredSubscribes = 1;
            ASSERT_NO_FATAL_FAILURE(write(2345));
            ASSERT_TRUE(waitFor([this] { return displaySent(ROOM); }));
            mSim.publish(ROOM, DESIRED, BT_VTYPE_S16_X100, 1500);
            ASSERT_TRUE(waitFor([this] { return questions(ROOM, DESIRED) == 1; }));
            ASSERT_EQ(unitHolds(), 2345);
            Net::Tavi.holdTraffic(true);
            ASSERT_NO_FATAL_FAILURE(write(1800));
            run(500);
            break;
        case Road::AnsweredWhileItWaited:
        case Road::AnsweredAsTheNextWriteWasTaken:
            last = 1800;
            mSim.setReceiveListener([this, &test](uint8_t cmd, const std::vector<uint8_t>& payload) {
                if (get_le32(payload.data()) != ROOM) {
                    return;
                }
                if (cmd == TNET_CMD_PUBLISH && unitHolds() == 2345) {
                    mSim.publish(ROOM, DESIRED, BT_VTYPE_S16_X100, 1600);
                } else if (cmd == TNET_CMD_SUBSCRIBE && test.road == Road::AnsweredAsTheNextWriteWasTaken) {
                    write(1700);
                } else {
                    Net::Tavi.holdTraffic(true);
                    write(1800);
                }
            });
            ASSERT_NO_FATAL_FAILURE(write(2345));
            if (test.road == Road::AnsweredWhileItWaited) {
                ASSERT_TRUE(waitFor([] {
                    return traceText().find("the local write made since goes on") != std::string::npos;
                }));
            } else {
                ASSERT_TRUE(waitFor([] { return Net::Tavi.isTrafficHeld(); }));
                run(500);
                // The frame that acknowledges the display's 17.00 brings the answer.
                const auto& log = mSim.log();
                const auto roomAt = [](const sim::SimPacket& packet, bool fromMaster, int value) {
                    const auto publish =
                        packet.cmd == TNET_CMD_PUBLISH
                            ? sim::sim_decode_publish(packet.payload.data(), packet.payload.size())
                            : std::nullopt;
                    return packet.fromMaster == fromMaster && publish && publish->oid == ROOM &&
                           publish->value.number() == value;
                };
                const auto sent = std::find_if(log.begin(), log.end(), [&](const sim::SimPacket& packet) {
                    return roomAt(packet, false, 1700);
                });
                const auto next =
                    std::find_if(sent, log.end(), [](const sim::SimPacket& p) { return p.fromMaster; });
                ASSERT_NE(next, log.end());
                ASSERT_TRUE(roomAt(*next, true, 1600));
                ASSERT_NE(next->control & TNET_CTL_ACK, 0);
            }
            mSim.setReceiveListener(nullptr);
            ASSERT_EQ(unitHolds(), test.road == Road::AnsweredWhileItWaited ? 1600 : 1700);
            break;
        case Road::WrittenAgainAsTheDisplayReconnects:
            last = 2100;
            ASSERT_NO_FATAL_FAILURE(writeItsAcknowledgementLost(1900));
            Net::Tavi.holdTraffic(true); // the synchronisation does not start
            ASSERT_TRUE(waitFor([] { return Net::Tavi.isConnected(); }, 5000));
            ASSERT_NO_FATAL_FAILURE(write(2100));
            run(500);
            break;
        case Road::ChangedAfterAnEarlierWrite:
            last = 2100;
            ASSERT_NO_FATAL_FAILURE(write(1900));
            ASSERT_TRUE(waitFor([this] { return taken(1900) == 1; }));
            run(500);
            mSim.publish(ROOM, DESIRED, BT_VTYPE_S16_X100, 2000);
            ASSERT_TRUE(waitFor([] { return reading() == 2000; }));
            Net::Tavi.holdTraffic(true);
            ASSERT_NO_FATAL_FAILURE(write(2100));
            run(500);
            break;
    }
    EXPECT_EQ(reading(), last) << "shown while it waits";
    ASSERT_NO_FATAL_FAILURE(loseTheSession());
    Net::Tavi.holdTraffic(false);
    mSim.faults() = {};
    if (test.road == Road::CameWhileItWaitedThenSetBack) {
        mSim.model().setValue(ROOM, DESIRED, *sim::sim_number(BT_VTYPE_S16_X100, 2200));
    } else if (test.road == Road::ChangedDuringTheOutage) {
        mSim.model().setValue(ROOM, DESIRED, *sim::sim_number(BT_VTYPE_S16_X100, 2000));
    } else if (test.road == Road::GoneFromTheUnitAndRefused) {
        mSim.model().removeValue(ROOM, DESIRED);
        mSim.faults().refusedWrites = {{ROOM, DESIRED}};
    }
    mSim.clearLog();
    ASSERT_TRUE(synchronise());
    run(1000);
    EXPECT_EQ(unitHolds(), test.after == PT_ERR_NO_ENTRY ? std::nullopt : std::optional<int64_t>(test.after));
    EXPECT_EQ(reading(), test.after);
    EXPECT_EQ(taken(last), test.written);
    if (test.road == Road::GoneFromTheUnitAndRefused) {
        EXPECT_EQ(mSim.count(true, TNET_CMD_NACK), 1u) << "sent, and refused";
        EXPECT_EQ(questions(ROOM, DESIRED), 0u) << "the synchronisation told";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Roads, ACarriedWriteTest,
    ::testing::Values(
        CarriedCase{"TheUnitShowsWhatCameWhileItWaited", Road::CameWhileItWaited, 1900, 1},
        CarriedCase{"TheUnitSetItBackDuringTheOutage", Road::CameWhileItWaitedThenSetBack, 2200, 0},
        CarriedCase{"TheUnitChangedItDuringTheOutage", Road::ChangedDuringTheOutage, 2000, 0},
        CarriedCase{"TheUnitShowsTheAcknowledgedWriteThatWasCrossed", Road::CrossedThenAcknowledged, 1800, 1},
        CarriedCase{"TheUnitShowsTheAnswerThatCameWhileItWaited", Road::AnsweredWhileItWaited, 1800, 1},
        CarriedCase{"TheUnitShowsTheWriteTakenAfterTheQuestion", Road::AnsweredAsTheNextWriteWasTaken, 1800,
                    1},
        CarriedCase{"TheUnitShowsItsChangeAfterAnEarlierWrite", Road::ChangedAfterAnEarlierWrite, 2100, 1},
        CarriedCase{"TheUnitNoLongerHoldsItAndRefusesIt", Road::GoneFromTheUnitAndRefused, PT_ERR_NO_ENTRY,
                    0},
        CarriedCase{"WrittenAgainBehindAKeptWriteAsTheDisplayReconnects",
                    Road::WrittenAgainAsTheDisplayReconnects, 2100, 1}),
    [](const auto& info) { return std::string(info.param.name); });

// A write made while the unit restarts after a restore (the bridge told to keep writes from the restart's
// announcement on): the restore set 24.60. It is shown through the unit's return and sent once synchronised,
// as every write that waited, whatever the unit shows, also when the unit took it before its restart; every
// session that ends before the unit's return brought the value keeps it for the next return, also for the
// user's write made meanwhile. From then on it is a write as any other carried over a session end: sent again
// only while the unit shows what the return brought, so that the unit's change in a later outage stands.
enum class Away {
    Returns,             // the write goes on the unit's return
    AcknowledgementLost, // the unit takes it, and nothing reaches the display any more
    LostOnItsWay,        // nothing the display sends from its "ready" on reaches the unit, the session ends
    CrossedOnItsWay,     // the same, and the unit's 20.00 comes while the write is on its way
    LostAgainBeforeItsSend, // traffic held (a device updated), the session ends in the return's
                            // synchronisation, the user wrote 21.00 in it
    WrittenBeforeTheLoss,   // written while the silent unit is not missed yet
    // The user writes 21.00 once the unit took the write, the session ends before it left: a write as any.
    WrittenAgainOnceTaken,
    // Written while the unit is still there; the unit takes it and publishes the restore's 24.60 before it
    // restarts.
    TakenBeforeTheRestart,
    // The same, and the user's change of a location value (9) waits behind it when the unit restarts; the
    // restore set that one to 3.
    ASecondChangeWaitsWhenTheFirstIsTaken,
    // Taken before the restart as TakenBeforeTheRestart, the value a request (the unit carries it out once,
    // as a backup): done once taken, and the unit's 24.60 stands.
    ARequestTakenBeforeTheRestart,
    // Written and taken while the restart is announced, which ends with the unit still there (it refused the
    // restore); an ordinary outage follows, in which the unit's value becomes 24.60.
    TheRestoreRefused,
    // Taken before the restart, the restore leaves it, and the user writes 21.00 while the unit is away.
    TakenThenWrittenAgainWhileAway,
    // The unit holds 19.00 on its return, which is synchronised while writes are still kept; once they are no
    // longer kept, the unit changes the value to 20.00.
    ArrivedInAReturnStillKept,
    // The return's synchronisation brings 24.60, and the session ends after the display's "ready", before the
    // write left.
    EndedBeforeItLeft,
    // The unit holds 19.00 on its return (taken, its acknowledgement lost in the restart); the user writes
    // 21.00 as the unit comes back, and the session ends after the display's "ready", before it left.
    ArrivedAndWrittenAgain,
    // The unit's return is synchronised while writes are still kept (no return for the bridge), the user
    // writes 23.00 in it; the keeping ends after the display's "ready", the unit refuses 23.00, the user
    // writes 21.00 while it is on its way, and the session ends before that left.
    RefusedAfterItsReturn,
    // Written right after the restore's OK and taken; the user writes 21.00 at once, which waits when the
    // unit restarts. The restore leaves the value at 19.00.
    TwoChangesTheRestoreLeavesIt,
    // The same, and the restore sets 24.60 without publishing it before the restart.
    TwoChangesTheRestoreSetsUnpublished,
    // Taken, and the user's 21.00 waits, while the unit's own 20.00 comes; the unit refuses the restore (no
    // restart), and an ordinary outage follows, in which the unit's value becomes 24.60.
    TheRestoreRefusedWhileASecondWaits,
    // The unit takes the write and its acknowledgement is lost with the session; the display's next session,
    // synchronised before the restart, finds it arrived. The restore then sets 24.60.
    ArrivedBeforeTheRestart,
    // The restore takes the value away: the return's synchronisation does not bring it, and the write goes as
    // the user's last word, its acknowledgement lost; the unit changes the value to 20.00 in the outage.
    NotBroughtByTheReturn,
};

struct AwayCase {
    const char* name;
    Away road;
    int sessionsLost; // after the restart, each ending on the road
    int changedTo;    // the unit sets the value to this after each (0: it does not)
    int after;        // on both sides
    size_t sentAfter; // the unit took the write kept over the restart (19.00) this often, in all
    bool sentOnTheLastReturn = true; // else the unit's value stands
};

bool twoChanges(Away road) {
    return road == Away::TwoChangesTheRestoreLeavesIt || road == Away::TwoChangesTheRestoreSetsUnpublished ||
           road == Away::TheRestoreRefusedWhileASecondWaits;
}

bool takenBeforeTheRestart(Away road) {
    return road == Away::TakenBeforeTheRestart || road == Away::ASecondChangeWaitsWhenTheFirstIsTaken ||
           road == Away::ARequestTakenBeforeTheRestart || road == Away::TheRestoreRefused ||
           road == Away::TakenThenWrittenAgainWhileAway || twoChanges(road) ||
           road == Away::ArrivedBeforeTheRestart;
}

class AWriteMadeWhileAwayTest : public WriteFateTest, public ::testing::WithParamInterface<AwayCase> {
protected:
    // The unit back, and the session ends on the case's road before the display hears that the unit took
    // the write.
    void returnAndLoseTheSession(const AwayCase& test) {
        mSim.clearLog();
        // The unit receives the display's "ready".
        const auto ready = [this](uint8_t cmd, const std::vector<uint8_t>& payload) {
            return cmd == TNET_CMD_PUBLISH && get_le32(payload.data()) == mSelf &&
                   get_le16(payload.data() + TNET_PUB_OFS_VID) == VID_DEVICE_STATE;
        };
        if (test.road == Away::AcknowledgementLost || test.road == Away::NotBroughtByTheReturn) {
            mSim.setReceiveListener([this](uint8_t cmd, const std::vector<uint8_t>& payload) {
                if (cmd == TNET_CMD_PUBLISH && get_le32(payload.data()) == ROOM) {
                    mSim.faults().corruptFrames = 1 << 30;
                }
            });
        } else if (test.road == Away::LostOnItsWay || test.road == Away::CrossedOnItsWay) {
            mSim.setReceiveListener([this, ready](uint8_t cmd, const std::vector<uint8_t>& payload) {
                if (ready(cmd, payload)) {
                    mSim.faults().dropReplies = 1 << 30;
                }
            });
        } else if (test.road == Away::WrittenAgainOnceTaken) {
            mSim.setReceiveListener([](uint8_t cmd, const std::vector<uint8_t>& payload) {
                if (cmd == TNET_CMD_PUBLISH && get_le32(payload.data()) == ROOM) {
                    Net::Tavi.holdTraffic(true);
                    write(2100);
                }
            });
        } else if (test.road == Away::EndedBeforeItLeft || test.road == Away::ArrivedAndWrittenAgain) {
            mSim.setReceiveListener([ready](uint8_t cmd, const std::vector<uint8_t>& payload) {
                if (ready(cmd, payload)) {
                    Net::Tavi.holdTraffic(true);
                }
            });
        } else if (test.road == Away::RefusedAfterItsReturn) {
            mSim.setReceiveListener([this, ready](uint8_t cmd, const std::vector<uint8_t>& payload) {
                if (ready(cmd, payload)) {
                    Net::Tavi.keepOfflineWrites(false);
                    mSim.faults().refusedWrites = {{ROOM, DESIRED}};
                }
            });
            // The refusal comes while the user's 21.00 waits behind the refused write.
            mSim.setStepListener([this] {
                if (!Net::Tavi.isTrafficHeld() && !mSim.faults().refusedWrites.empty() &&
                    !Structure.isPublishQueued(ROOM, DESIRED)) {
                    write(2100);
                    Net::Tavi.holdTraffic(true);
                }
            });
        } else if (test.road == Away::LostAgainBeforeItsSend) {
            Net::Tavi.holdTraffic(true);
        }
        if (test.road == Away::ArrivedAndWrittenAgain) {
            mSim.model().setValue(ROOM, DESIRED, *sim::sim_number(BT_VTYPE_S16_X100, 1900));
        }
        mSim.faults().stopPolling = false;
        ASSERT_TRUE(waitFor([] { return Net::Tavi.isConnected(); }));
        if (test.road != Away::RefusedAfterItsReturn) {
            Net::Tavi.keepOfflineWrites(false); // the unit is back: the restart is over
        }
        if (test.road == Away::AcknowledgementLost || test.road == Away::NotBroughtByTheReturn) {
            ASSERT_TRUE(waitFor([] { return !Net::Tavi.isConnected(); }, 5000 + TNET_SUPERVISION_MS));
            if (test.road == Away::NotBroughtByTheReturn) {
                EXPECT_EQ(unitHolds(), 1900) << "taken";
            }
        } else if (test.road == Away::LostOnItsWay || test.road == Away::CrossedOnItsWay) {
            ASSERT_TRUE(waitFor([this] { return displaySent(ROOM); }, 5000)) << "on its way";
            if (test.road == Away::CrossedOnItsWay) {
                mSim.publish(ROOM, DESIRED, BT_VTYPE_S16_X100, 2000);
                run(300);
                EXPECT_EQ(reading(), 2000) << "the unit's value shown while the write is on its way";
            }
            ASSERT_NO_FATAL_FAILURE(loseTheSession());
        } else if (test.road == Away::WrittenAgainOnceTaken) {
            ASSERT_TRUE(waitFor([this] { return taken(1900) > 0; }, 5000));
            run(500); // its acknowledgement
            ASSERT_NO_FATAL_FAILURE(loseTheSession());
            Net::Tavi.holdTraffic(false);
        } else if (test.road == Away::EndedBeforeItLeft || test.road == Away::ArrivedAndWrittenAgain ||
                   test.road == Away::RefusedAfterItsReturn) {
            if (test.road == Away::ArrivedAndWrittenAgain) {
                ASSERT_NO_FATAL_FAILURE(write(2100));
            } else if (test.road == Away::RefusedAfterItsReturn) {
                ASSERT_NO_FATAL_FAILURE(write(2300));
            }
            ASSERT_TRUE(waitFor([] { return Net::Tavi.isTrafficHeld(); }, 5000));
            run(300);
            if (test.road == Away::RefusedAfterItsReturn) {
                EXPECT_EQ(mSim.count(true, TNET_CMD_NACK), 1u) << "refused";
                EXPECT_EQ(taken(2300), 0u);
                EXPECT_EQ(taken(2100), 0u) << "waits";
                EXPECT_EQ(reading(), 2100);
            } else {
                EXPECT_FALSE(displaySent(ROOM)) << "not left";
            }
            ASSERT_NO_FATAL_FAILURE(loseTheSession());
            Net::Tavi.holdTraffic(false);
        } else {
            ASSERT_EQ(Net::Tavi.state(), State::SubscribingSelf) << "the room's value not brought yet";
            ASSERT_NO_FATAL_FAILURE(write(2100));
            ASSERT_NO_FATAL_FAILURE(loseTheSession());
            Net::Tavi.holdTraffic(false);
        }
        mSim.setReceiveListener(nullptr);
        mSim.setStepListener(nullptr);
        mSim.faults() = {};
        mSim.faults().stopPolling = true; // away until the next return
        if (test.changedTo != 0) {
            mSim.model().setValue(ROOM, DESIRED, *sim::sim_number(BT_VTYPE_S16_X100, test.changedTo));
        }
        run(100);
    }
};

TEST_P(AWriteMadeWhileAwayTest, IsShownAndSentOnTheUnitsReturnUntilTheUnitTakesIt) {
    const AwayCase& test = GetParam();
    const bool secondChange = test.road == Away::ASecondChangeWaitsWhenTheFirstIsTaken;
    if (secondChange) {
        mSim.publish(LOCATION, SPARE, BT_VTYPE_U16, 5);
    }
    ASSERT_NO_FATAL_FAILURE(ready());
    const bool request = test.road == Away::ARequestTakenBeforeTheRestart;
    if (request) {
        Net::Tavi.treatAsRequest(ROOM, DESIRED);
    }
    // The restart announced, the unit falls silent, and takes a configuration back with 24.60.
    Net::Tavi.keepOfflineWrites(true);
    const bool restoreLeavesIt = test.road == Away::TakenThenWrittenAgainWhileAway ||
                                 test.road == Away::ArrivedInAReturnStillKept ||
                                 test.road == Away::TwoChangesTheRestoreLeavesIt;
    if (test.road == Away::ArrivedBeforeTheRestart) {
        ASSERT_NO_FATAL_FAILURE(writeItsAcknowledgementLost(1900));
        ASSERT_TRUE(synchronise());
        run(500);
        EXPECT_TRUE(Net::Tavi.keepsOfflineWrites()) << "no restart yet";
        EXPECT_EQ(taken(1900), 1u) << "arrived, not sent again";
        EXPECT_EQ(reading(), 1900);
    } else if (takenBeforeTheRestart(test.road)) {
        if (secondChange || twoChanges(test.road)) {
            // Nothing more leaves once the unit has the first: the second waits when the first is taken. Two
            // changes of the value: the user's second comes before the unit's acknowledgement of the first.
            const bool again = twoChanges(test.road);
            mSim.setReceiveListener([again](uint8_t cmd, const std::vector<uint8_t>& payload) {
                if (cmd == TNET_CMD_PUBLISH && get_le32(payload.data()) == ROOM) {
                    Net::Tavi.holdTraffic(true);
                    if (again && reading() == 1900) {
                        write(2100);
                    }
                }
            });
        }
        ASSERT_NO_FATAL_FAILURE(write(1900));
        if (secondChange) {
            ASSERT_NO_FATAL_FAILURE(write(9, LOCATION, SPARE));
        }
        ASSERT_TRUE(waitFor([this] { return taken(1900) == 1; }));
        run(500); // its acknowledgement
        mSim.setReceiveListener(nullptr);
        EXPECT_EQ(taken(9, LOCATION, SPARE), 0u) << "waits";
        if (twoChanges(test.road)) {
            EXPECT_EQ(reading(), 2100);
            EXPECT_EQ(taken(2100), 0u) << "waits";
        }
        if (test.road == Away::TheRestoreRefusedWhileASecondWaits) {
            mSim.publish(ROOM, DESIRED, BT_VTYPE_S16_X100, 2000);
            run(500);
            Net::Tavi.keepOfflineWrites(false); // no restart came
            Net::Tavi.holdTraffic(false);
            EXPECT_TRUE(waitFor([this] { return taken(2100) == 1; })) << "the later write goes";
            run(500);
            EXPECT_EQ(unitHolds(), 2100);
            EXPECT_EQ(reading(), 2100);
        } else if (test.road == Away::TheRestoreRefused) {
            Net::Tavi.keepOfflineWrites(false); // no restart came
        } else if (!restoreLeavesIt && !twoChanges(test.road)) {
            // What the restore takes back comes before the unit restarts.
            mSim.publish(ROOM, DESIRED, BT_VTYPE_S16_X100, 2460);
            run(500);
            EXPECT_EQ(reading(), request ? 2460 : 1900) << "the user's change stands through the restore, a "
                                                           "request taken is done";
        }
    }
    mSim.faults().stopPolling = true;
    if (test.road == Away::NotBroughtByTheReturn) {
        mSim.model().removeValue(ROOM, DESIRED);
    } else {
        mSim.model().setValue(ROOM, DESIRED,
                              *sim::sim_number(BT_VTYPE_S16_X100, restoreLeavesIt ? 1900 : 2460));
    }
    if (secondChange) {
        mSim.model().setValue(LOCATION, SPARE, *sim::sim_number(BT_VTYPE_U16, 3));
    }
    if (test.road == Away::WrittenBeforeTheLoss) {
        run(TNET_SUPERVISION_MS / 2);
        ASSERT_TRUE(Net::Tavi.isConnected()) << "not missed yet";
        ASSERT_NO_FATAL_FAILURE(write(1900));
    }
    ASSERT_TRUE(waitFor([] { return !Net::Tavi.isConnected(); }, TNET_SUPERVISION_MS + 500));
    Net::Tavi.holdTraffic(false);
    if (test.road == Away::TakenThenWrittenAgainWhileAway) {
        ASSERT_NO_FATAL_FAILURE(write(2100));
    } else if (!takenBeforeTheRestart(test.road) && test.road != Away::WrittenBeforeTheLoss) {
        ASSERT_NO_FATAL_FAILURE(write(1900));
    }
    run(100);
    for (int lost = 0; lost < test.sessionsLost; ++lost) {
        ASSERT_NO_FATAL_FAILURE(returnAndLoseTheSession(test));
    }

    // The return that goes through: the synchronisation, then the write. The display shows it throughout.
    const uint64_t returned = timer();
    const int last = reading(); // the user's last write
    std::vector<int> shown;
    const auto watch = [&shown] {
        if (shown.empty() || shown.back() != reading()) {
            shown.push_back(reading());
        }
        return false;
    };
    mSim.faults().stopPolling = false;
    ASSERT_TRUE(waitFor([&] { return watch() || Net::Tavi.isSynchronized(); }, 10000));
    Net::Tavi.keepOfflineWrites(false);
    if (test.road == Away::ArrivedInAReturnStillKept) {
        mSim.publish(ROOM, DESIRED, BT_VTYPE_S16_X100, 2000);
    }
    mSim.wait_until(watch, 1000, 1);
    if (test.sentOnTheLastReturn) {
        EXPECT_EQ(shown, std::vector<int>{test.after}) << "shown through the synchronisation until sent";
        EXPECT_EQ(sentSince(returned), (std::vector<std::string>{"subscribe self", "subscribe all",
                                                                 "publish self", "ready", "publish room"}))
            << "the synchronisation first, the write after it";
    } else {
        const std::vector<int> stands =
            last == test.after ? std::vector<int>{last} : std::vector<int>{last, test.after};
        EXPECT_EQ(shown, stands) << "the unit's value stands";
        EXPECT_EQ(sentSince(returned),
                  (std::vector<std::string>{"subscribe self", "subscribe all", "publish self", "ready"}))
            << "nothing of the room sent";
    }
    EXPECT_EQ(unitHolds(), test.after);
    EXPECT_EQ(reading(), test.after);
    EXPECT_EQ(taken(1900), test.sentAfter);
    EXPECT_EQ(questions(ROOM, DESIRED), 0u) << "nothing to ask";
    if (twoChanges(test.road) && test.road != Away::TheRestoreRefusedWhileASecondWaits) {
        EXPECT_EQ(taken(2100), 1u) << "the later change goes once, after the return";
    }
    if (secondChange) {
        EXPECT_EQ(unitHolds(LOCATION, SPARE), 9) << "the second change is not lost";
        EXPECT_EQ(reading(LOCATION, SPARE), 9);
        EXPECT_EQ(taken(9, LOCATION, SPARE), 1u);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Roads, AWriteMadeWhileAwayTest,
    ::testing::Values(
        AwayCase{"OnTheUnitsReturn", Away::Returns, 0, 0, 1900, 1},
        // Sent on the return, its acknowledgement lost: the unit's change in the outage after stands, and the
        // write does not go again where the unit holds it; where the unit shows what its return brought, it
        // goes again.
        AwayCase{"ItsAcknowledgementLost", Away::AcknowledgementLost, 1, 2000, 2000, 1, false},
        AwayCase{"ItsAcknowledgementLostTwice", Away::AcknowledgementLost, 2, 2460, 1900, 3},
        AwayCase{"ItsAcknowledgementLostTheUnitKeptIt", Away::AcknowledgementLost, 1, 0, 1900, 1, false},
        AwayCase{"LostOnItsWay", Away::LostOnItsWay, 1, 0, 1900, 1},
        AwayCase{"LostOnItsWayTwice", Away::LostOnItsWay, 2, 0, 1900, 1},
        AwayCase{"LostOnItsWayTheUnitChangedItSince", Away::LostOnItsWay, 1, 2000, 2000, 0, false},
        AwayCase{"CrossedOnItsWay", Away::CrossedOnItsWay, 1, 0, 2000, 0, false},
        AwayCase{"ALaterSessionEndKeepsItsMark", Away::LostAgainBeforeItsSend, 1, 0, 2100, 0},
        AwayCase{"WrittenBeforeTheUnitIsMissed", Away::WrittenBeforeTheLoss, 0, 0, 1900, 1},
        AwayCase{"ItsMarkEndsOnceTaken", Away::WrittenAgainOnceTaken, 1, 2000, 2000, 1, false},
        AwayCase{"TakenBeforeTheRestart", Away::TakenBeforeTheRestart, 0, 0, 1900, 2},
        AwayCase{"ASecondChangeIsNotLostWhenTheFirstIsTaken", Away::ASecondChangeWaitsWhenTheFirstIsTaken, 0,
                 0, 1900, 2},
        AwayCase{"ARequestTakenBeforeTheRestartIsNotSentAgain", Away::ARequestTakenBeforeTheRestart, 0, 0,
                 2460, 1, false},
        AwayCase{"TheRestoreRefusedEndsTheMark", Away::TheRestoreRefused, 0, 0, 2460, 1, false},
        AwayCase{"AChangeWhileAwayAfterOneTakenGoes", Away::TakenThenWrittenAgainWhileAway, 0, 0, 2100, 1},
        AwayCase{"ArrivedItIsSettledOnceNoLongerKept", Away::ArrivedInAReturnStillKept, 0, 0, 2000, 0, false},
        AwayCase{"EndedBeforeItLeftTheUnitsChangeStands", Away::EndedBeforeItLeft, 1, 2000, 2000, 0, false},
        AwayCase{"EndedBeforeItLeftItGoesNext", Away::EndedBeforeItLeft, 1, 0, 1900, 1},
        AwayCase{"ItsMarkEndsWhenItHadArrived", Away::ArrivedAndWrittenAgain, 1, 2000, 2000, 0, false},
        AwayCase{"ItsMarkEndsWithItsRefusal", Away::RefusedAfterItsReturn, 1, 2000, 2000, 0, false},
        AwayCase{"TwoQuickChangesTheRestoreLeavesTheFirst", Away::TwoChangesTheRestoreLeavesIt, 0, 0, 2100,
                 1},
        AwayCase{"TwoQuickChangesTheRestoreChangesItUnpublished", Away::TwoChangesTheRestoreSetsUnpublished,
                 0, 0, 2100, 1},
        AwayCase{"TheRestoreRefusedWhileASecondChangeWaits", Away::TheRestoreRefusedWhileASecondWaits, 0, 0,
                 2460, 1, false},
        AwayCase{"ArrivedBeforeTheRestartItIsHeldForTheReturn", Away::ArrivedBeforeTheRestart, 0, 0, 1900, 2},
        AwayCase{"NotBroughtByTheReturnItsMarkEnds", Away::NotBroughtByTheReturn, 1, 2000, 2000, 1, false}),
    [](const auto& info) { return std::string(info.param.name); });

// A bridge restarted (a restarted network) no longer keeps what is written while no session is open: the unit
// lost for a while has the last word again.
TEST_F(WriteFateTest, ARestartedBridgeKeepsNoWriteMadeWhileTheUnitIsAway) {
    Net::Tavi.keepOfflineWrites(true);
    Net::Tavi.restart();
    ASSERT_NO_FATAL_FAILURE(ready());
    mSim.faults().stopPolling = true;
    ASSERT_TRUE(waitFor([] { return !Net::Tavi.isConnected(); }, TNET_SUPERVISION_MS + 500));
    ASSERT_NO_FATAL_FAILURE(write(1900));
    mSim.faults().stopPolling = false;
    ASSERT_TRUE(synchronise());
    run(1000);
    EXPECT_EQ(unitHolds(), 2200);
    EXPECT_EQ(reading(), 2200);
    EXPECT_EQ(taken(1900), 0u);
}

} // namespace
} // namespace tdx::test
