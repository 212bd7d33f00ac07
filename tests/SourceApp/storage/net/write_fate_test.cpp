// What becomes of the user's write that the control unit refuses, or that a session end leaves unsettled:
// the display never shows a value the unit does not hold once the line is quiet, and a write carried over a
// session end replaces nothing the unit changed meanwhile.
#include "bridge_harness.h"

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
// the value hears of it. A write the user made behind the refused one still goes.
struct RefusedCase {
    const char* name;
    oid_t oid;
    vid_t vid;
    std::optional<int> unitHolds; // none: the unit holds no value
    bool displayKnowsIt;          // else the unit got it with no word to the display
    bool writtenAgain;            // 18.00 behind the refused write, which the unit takes
    int shown;                    // on the display once quiet (a result code when negative)
    size_t questions;             // about the value
};

class ARefusedWriteTest : public WriteFateTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(ARefusedWriteTest, LeavesTheDisplayOnTheUnitsValue) {
    const RefusedCase& test = GetParam();
    if (test.unitHolds && test.displayKnowsIt && test.oid != ROOM) {
        mSim.publish(test.oid, test.vid, BT_VTYPE_U16, *test.unitHolds);
    }
    ASSERT_NO_FATAL_FAILURE(ready());
    if (test.unitHolds && !test.displayKnowsIt) {
        mSim.model().setValue(test.oid, test.vid, *sim::sim_number(BT_VTYPE_U16, *test.unitHolds));
    }
    mSim.clearLog();
    mSim.faults().refusedWrites = {{test.oid, test.vid}};
    const int heard = mRecorder.changesOf(test.oid, test.vid);
    ASSERT_NO_FATAL_FAILURE(write(test.oid == ROOM ? 1900 : 9, test.oid, test.vid));
    ASSERT_TRUE(waitFor([&] { return displaySent(test.oid); }));
    if (test.writtenAgain) {
        // On its way and refused; the unit takes what comes next.
        ASSERT_NO_FATAL_FAILURE(write(1800));
        mSim.faults().refusedWrites.clear();
    }
    run(1500);
    EXPECT_EQ(mSim.count(true, TNET_CMD_NACK), 1);
    EXPECT_EQ(reading(test.oid, test.vid), test.shown);
    const std::optional<int64_t> after =
        test.writtenAgain ? std::optional<int64_t>(1800)
                          : (test.unitHolds ? std::optional<int64_t>(*test.unitHolds) : std::nullopt);
    EXPECT_EQ(unitHolds(test.oid, test.vid), after);
    EXPECT_EQ(questions(test.oid, test.vid), test.questions);
    EXPECT_GE(mRecorder.changesOf(test.oid, test.vid), heard + 2) << "what shows the value hears of it";
    EXPECT_EQ(bridgeEvents(), (std::vector<int>{5, 7})) << "no reset on the way";
}

INSTANTIATE_TEST_SUITE_P(
    Values, ARefusedWriteTest,
    ::testing::Values(RefusedCase{"TheKnownValueIsShownAgain", ROOM, DESIRED, 2200, true, false, 2200, 0},
                      RefusedCase{"AKnownLocationValueIsShownAgain", LOCATION, SPARE, 5, true, false, 5, 0},
                      RefusedCase{"NoValueKnownTheUnitIsAsked", LOCATION, SPARE, 5, false, false, 5, 1},
                      RefusedCase{"NoValueAnywhereReadsMissing", LOCATION, SPARE, std::nullopt, false, false,
                                  PT_ERR_NO_ENTRY, 1},
                      RefusedCase{"AWriteBehindItStillGoes", ROOM, DESIRED, 2200, true, true, 1800, 0}),
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
};

struct CarriedCase {
    const char* name;
    Road road;
    int after;      // on both sides
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
            Net::Tavi.holdTraffic(true);
            ASSERT_NO_FATAL_FAILURE(write(1900));
            if (test.road != Road::ChangedDuringTheOutage) {
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
            last = 1800;
            mSim.setReceiveListener([this](uint8_t cmd, const std::vector<uint8_t>& payload) {
                if (get_le32(payload.data()) != ROOM) {
                    return;
                }
                if (cmd == TNET_CMD_PUBLISH) {
                    mSim.publish(ROOM, DESIRED, BT_VTYPE_S16_X100, 1600);
                } else if (cmd == TNET_CMD_SUBSCRIBE) {
                    Net::Tavi.holdTraffic(true);
                    write(1800);
                }
            });
            ASSERT_NO_FATAL_FAILURE(write(2345));
            ASSERT_TRUE(waitFor(
                [] { return traceText().find("the local write made since goes on") != std::string::npos; }));
            mSim.setReceiveListener(nullptr);
            ASSERT_EQ(unitHolds(), 1600);
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
    }
    ASSERT_TRUE(synchronise());
    run(1000);
    EXPECT_EQ(unitHolds(), test.after);
    EXPECT_EQ(reading(), test.after);
    EXPECT_EQ(taken(last), test.written);
}

INSTANTIATE_TEST_SUITE_P(
    Roads, ACarriedWriteTest,
    ::testing::Values(
        CarriedCase{"TheUnitShowsWhatCameWhileItWaited", Road::CameWhileItWaited, 1900, 1},
        CarriedCase{"TheUnitSetItBackDuringTheOutage", Road::CameWhileItWaitedThenSetBack, 2200, 0},
        CarriedCase{"TheUnitChangedItDuringTheOutage", Road::ChangedDuringTheOutage, 2000, 0},
        CarriedCase{"TheUnitShowsTheAcknowledgedWriteThatWasCrossed", Road::CrossedThenAcknowledged, 1800, 1},
        CarriedCase{"TheUnitShowsTheAnswerThatCameWhileItWaited", Road::AnsweredWhileItWaited, 1800, 1}),
    [](const auto& info) { return std::string(info.param.name); });

// A write made while the unit restarts after a restore (the bridge told to keep writes from the restart's
// announcement on): the restore set 24.60. It is shown through the unit's return and sent once synchronised,
// as every write that waited, whatever the unit shows; every session that ends before the unit acknowledged
// it keeps it for the next return, also for the user's write made meanwhile. Then it is a write as any other.
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
};

struct AwayCase {
    const char* name;
    Away road;
    int sessionsLost;      // after the restart, each ending on the road
    bool changedMeanwhile; // the unit changes the value to 20.00 after each
    int after;             // on both sides
    size_t sentAfter;      // the unit took the write kept over the restart (19.00) this often
};

class AWriteMadeWhileAwayTest : public WriteFateTest, public ::testing::WithParamInterface<AwayCase> {
protected:
    // The unit back, and the session ends on the case's road before the display hears that the unit took
    // the write.
    void returnAndLoseTheSession(const AwayCase& test) {
        mSim.clearLog();
        if (test.road == Away::AcknowledgementLost) {
            mSim.setReceiveListener([this](uint8_t cmd, const std::vector<uint8_t>& payload) {
                if (cmd == TNET_CMD_PUBLISH && get_le32(payload.data()) == ROOM) {
                    mSim.faults().corruptFrames = 1 << 30;
                }
            });
        } else if (test.road == Away::LostOnItsWay || test.road == Away::CrossedOnItsWay) {
            mSim.setReceiveListener([this](uint8_t cmd, const std::vector<uint8_t>& payload) {
                if (cmd == TNET_CMD_PUBLISH && get_le32(payload.data()) == mSelf &&
                    get_le16(payload.data() + TNET_PUB_OFS_VID) == VID_DEVICE_STATE) {
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
        } else if (test.road == Away::LostAgainBeforeItsSend) {
            Net::Tavi.holdTraffic(true);
        }
        mSim.faults().stopPolling = false;
        ASSERT_TRUE(waitFor([] { return Net::Tavi.isConnected(); }));
        Net::Tavi.keepOfflineWrites(false); // the unit is back: the restart is over
        if (test.road == Away::AcknowledgementLost) {
            ASSERT_TRUE(waitFor([] { return !Net::Tavi.isConnected(); }, 5000 + TNET_SUPERVISION_MS));
        } else if (test.road == Away::LostOnItsWay || test.road == Away::CrossedOnItsWay) {
            ASSERT_TRUE(waitFor([this] { return displaySent(ROOM); }, 5000)) << "on its way";
            if (test.road == Away::CrossedOnItsWay) {
                mSim.publish(ROOM, DESIRED, BT_VTYPE_S16_X100, 2000);
                run(300);
                EXPECT_EQ(reading(), 1900) << "shown while on its way";
            }
            ASSERT_NO_FATAL_FAILURE(loseTheSession());
        } else if (test.road == Away::WrittenAgainOnceTaken) {
            ASSERT_TRUE(waitFor([this] { return taken(1900) > 0; }, 5000));
            run(500); // its acknowledgement
            ASSERT_NO_FATAL_FAILURE(loseTheSession());
            Net::Tavi.holdTraffic(false);
        } else {
            ASSERT_EQ(Net::Tavi.state(), State::SubscribingSelf) << "the room's value not brought yet";
            ASSERT_NO_FATAL_FAILURE(write(2100));
            ASSERT_NO_FATAL_FAILURE(loseTheSession());
            Net::Tavi.holdTraffic(false);
        }
        mSim.setReceiveListener(nullptr);
        mSim.faults() = {};
        mSim.faults().stopPolling = true; // away until the next return
        if (test.changedMeanwhile) {
            mSim.model().setValue(ROOM, DESIRED, *sim::sim_number(BT_VTYPE_S16_X100, 2000));
        }
        run(100);
    }
};

TEST_P(AWriteMadeWhileAwayTest, IsShownAndSentOnTheUnitsReturnUntilTheUnitTakesIt) {
    const AwayCase& test = GetParam();
    ASSERT_NO_FATAL_FAILURE(ready());
    // The restart announced, the unit falls silent, and takes a configuration back with 24.60.
    Net::Tavi.keepOfflineWrites(true);
    mSim.faults().stopPolling = true;
    mSim.model().setValue(ROOM, DESIRED, *sim::sim_number(BT_VTYPE_S16_X100, 2460));
    if (test.road == Away::WrittenBeforeTheLoss) {
        run(TNET_SUPERVISION_MS / 2);
        ASSERT_TRUE(Net::Tavi.isConnected()) << "not missed yet";
        ASSERT_NO_FATAL_FAILURE(write(1900));
    }
    ASSERT_TRUE(waitFor([] { return !Net::Tavi.isConnected(); }, TNET_SUPERVISION_MS + 500));
    if (test.road != Away::WrittenBeforeTheLoss) {
        ASSERT_NO_FATAL_FAILURE(write(1900));
    }
    run(100);
    for (int lost = 0; lost < test.sessionsLost; ++lost) {
        ASSERT_NO_FATAL_FAILURE(returnAndLoseTheSession(test));
    }

    // The return that goes through: the synchronisation, then the write. The display shows it throughout.
    const uint64_t returned = timer();
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
    mSim.wait_until(watch, 1000, 1);
    if (test.road == Away::WrittenAgainOnceTaken) {
        EXPECT_EQ(shown, (std::vector<int>{2100, test.after})) << "the unit's change stands";
    } else {
        EXPECT_EQ(shown, std::vector<int>{test.after}) << "shown through the synchronisation until sent";
        EXPECT_EQ(sentSince(returned), (std::vector<std::string>{"subscribe self", "subscribe all",
                                                                 "publish self", "ready", "publish room"}))
            << "the synchronisation first, the write after it";
    }
    EXPECT_EQ(unitHolds(), test.after);
    EXPECT_EQ(reading(), test.after);
    EXPECT_EQ(taken(1900), test.sentAfter);
    EXPECT_EQ(questions(ROOM, DESIRED), 0u) << "nothing to ask";
}

INSTANTIATE_TEST_SUITE_P(
    Roads, AWriteMadeWhileAwayTest,
    ::testing::Values(AwayCase{"OnTheUnitsReturn", Away::Returns, 0, false, 1900, 1},
                      AwayCase{"ItsAcknowledgementLost", Away::AcknowledgementLost, 1, true, 1900, 2},
                      AwayCase{"ItsAcknowledgementLostTwice", Away::AcknowledgementLost, 2, true, 1900, 3},
                      AwayCase{"LostOnItsWay", Away::LostOnItsWay, 1, false, 1900, 1},
                      AwayCase{"LostOnItsWayTwice", Away::LostOnItsWay, 2, false, 1900, 1},
                      AwayCase{"LostOnItsWayTheUnitChangedItSince", Away::LostOnItsWay, 1, true, 1900, 1},
                      AwayCase{"CrossedOnItsWay", Away::CrossedOnItsWay, 1, false, 1900, 1},
                      AwayCase{"ALaterSessionEndKeepsItsMark", Away::LostAgainBeforeItsSend, 1, false, 2100,
                               0},
                      AwayCase{"WrittenBeforeTheUnitIsMissed", Away::WrittenBeforeTheLoss, 0, false, 1900, 1},
                      AwayCase{"ItsMarkEndsOnceTaken", Away::WrittenAgainOnceTaken, 1, true, 2000, 1}),
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
