// The display's write and the control unit's own change of one value in every order the line lets them take:
// once the line is quiet the display shows what the unit holds, and each write of the user reaches the unit
// once.
#include "bridge_harness.h"

#include "tests/support/value_race.h"

#include <algorithm>
#include <optional>
#include <set>
#include <sstream>

namespace tdx::test {
namespace {

constexpr oid_t ROOM = 0x01000316;
constexpr vid_t DESIRED = 0x001D;
constexpr vid_t OTHER_VID = 0x000C; // the room's temperature

// On a line paced at 57600 baud, so that a few milliseconds mean on which side of a frame a write falls.
class ValueOrderTest : public BridgeTest {
protected:
    ValueOrderTest()
        : BridgeTest(sim::WireConfig{57600, 0.0, 1}) {}

    void SetUp() override {
        BridgeTest::SetUp();
        addUnitWithRoom(ROOM);
        mSim.publish(ROOM, DESIRED, BT_VTYPE_S16_X100, 2200);
        ASSERT_TRUE(synchronise());
        run(300);
    }

    static void write(int value) { ASSERT_EQ(pt_set_int(ROOM, DESIRED, value, BT_VTYPE_S16_X100), PT_OK); }
    int unitValue() const { return static_cast<int>(heldNumber(mSim, ROOM, DESIRED)); }
    // How often the control unit took the display's write of `value`.
    size_t taken(int value) const {
        size_t n = 0;
        for (const sim::SimPublish& p : publishesOf(ROOM, DESIRED)) {
            n += p.value.number() == value;
        }
        return n;
    }
    size_t questions() const {
        size_t n = 0;
        for (const sim::SimPacket& packet : mSim.log()) {
            n += !packet.fromMaster && packet.cmd == TNET_CMD_SUBSCRIBE &&
                 get_le32(packet.payload.data()) == ROOM;
        }
        return n;
    }
    // Runs on a 1 ms step, so that a few milliseconds mean what they say.
    void runFine(uint32_t ms) {
        if (ms > 0) {
            mSim.wait_until([] { return false; }, ms, 1);
        }
    }
    static bool isPublishOfTheRoom(uint8_t cmd, const std::vector<uint8_t>& payload) {
        return cmd == TNET_CMD_PUBLISH && get_le32(payload.data()) == ROOM;
    }
};

// The unit changes the value (15.00, 15.01, ...) and the user writes it (18.00, 18.01, ...) this long after,
// in ten rounds that each meet the unit's polls elsewhere: the first round's change comes while one of the
// unit's idle POLLs is on its way, the others' 0, 5, ... 40 ms after the display answered one, which puts the
// unit's next frame a poll period after that POLL. In some the unit's change reaches the display while the
// write still waits for its turn (in the second round of every row: the unit holds its change 47 ms for its
// turn), or is on its way to the display as the user writes; in the first round, written at once, it comes
// in the frame that acknowledges the write; in others it came before the user wrote. The write reaches the
// unit after the change in every round: it stands on both sides, once, and from the moment the user made it
// the display shows nothing else.
class AWriteWaitingForItsTurnTest : public ValueOrderTest, public ::testing::WithParamInterface<uint32_t> {
protected:
    // Runs until the unit has sent a POLL with nothing of its own to send, or, `answered`, until it has the
    // display's answer to it: a round is timed from there, not from wherever the frames before it left the
    // unit's polls.
    void untilAnIdlePoll(bool answered) {
        mSim.clearLog();
        ASSERT_TRUE(mSim.wait_until(
            [this, answered] {
                const auto& log = mSim.log();
                const size_t poll = answered ? 2 : 1;
                return log.size() >= poll && log[log.size() - poll].fromMaster &&
                       log[log.size() - poll].cmd == TNET_CMD_POLL && (!answered || !log.back().fromMaster);
            },
            1000, 1));
    }
};

TEST_P(AWriteWaitingForItsTurnTest, StandsAgainstTheUnitsChangeThatCameMeanwhile) {
    int waited = 0;
    for (int round = 0; round < 10; ++round) {
        ASSERT_NO_FATAL_FAILURE(untilAnIdlePoll(round > 0));
        runFine(round > 0 ? static_cast<uint32_t>(5 * (round - 1)) : 0u);
        mSim.publish(ROOM, DESIRED, BT_VTYPE_S16_X100, 1500 + round);
        runFine(GetParam());
        const uint64_t writtenAt = timer();
        const bool shownBefore = tableInt(ROOM, DESIRED) == 1500 + round;
        write(1800 + round);
        bool other = false;
        mSim.wait_until(
            [&] {
                other = other || tableInt(ROOM, DESIRED) != 1800 + round;
                return false;
            },
            1000, 1);
        EXPECT_FALSE(other) << "round " << round;
        EXPECT_EQ(unitValue(), 1800 + round) << "round " << round;
        EXPECT_EQ(tableInt(ROOM, DESIRED), 1800 + round) << "round " << round;
        EXPECT_EQ(taken(1800 + round), 1u) << "round " << round;
        const auto change = std::find_if(mSim.log().begin(), mSim.log().end(), [](const sim::SimPacket& p) {
            return p.fromMaster && isPublishOfTheRoom(p.cmd, p.payload);
        });
        ASSERT_NE(change, mSim.log().end());
        waited += !shownBefore && change->at >= writtenAt;
    }
    EXPECT_EQ(traceCount("which is dropped"), 0u);
    EXPECT_GT(waited, 0) << "no round had the write wait for its turn while the unit's change came";
}

INSTANTIATE_TEST_SUITE_P(MillisecondsAfterTheUnitsChange, AWriteWaitingForItsTurnTest,
                         ::testing::Values(0u, 5u, 10u, 15u, 20u, 25u, 30u, 35u, 40u, 45u),
                         [](const auto& info) { return std::to_string(info.param) + "ms"; });

// The unit had queued its own values (1500, 1600) before it took the display's 23.45, so the frame that
// acknowledges the write carries the first of them and the next frames the rest; the unit holds 23.45. A
// write of the user queued behind 23.45 (18.00) is the last word. When the unit had queued another value of
// the room first, that value's frame acknowledges the write, and the older value comes in the next one.
struct OlderCase {
    const char* name;
    std::vector<int> older;
    int laterWrite; // 0: none
    int after;      // on both sides
    bool anotherValueFirst = false;
};

class AcknowledgementWithAnOlderValueTest : public ValueOrderTest,
                                            public ::testing::WithParamInterface<OlderCase> {};

TEST_P(AcknowledgementWithAnOlderValueTest, LeavesTheDisplayOnWhatTheUnitHolds) {
    const OlderCase& test = GetParam();
    bool armed = true;
    mSim.setReceiveListener([&](uint8_t cmd, const std::vector<uint8_t>& payload) {
        if (!armed || !isPublishOfTheRoom(cmd, payload)) {
            return;
        }
        armed = false;
        if (test.anotherValueFirst) {
            mSim.publish(ROOM, OTHER_VID, BT_VTYPE_S16_X100, 2150);
        }
        for (const int value : test.older) {
            mSim.send(TNET_CMD_PUBLISH,
                      sim::sim_encode_publish(ROOM, DESIRED, *sim::sim_number(BT_VTYPE_S16_X100, value)));
        }
        if (test.laterWrite != 0) {
            write(test.laterWrite);
        }
    });
    mSim.clearLog();
    write(2345);
    run(2000);
    mSim.setReceiveListener(nullptr);
    ASSERT_FALSE(armed);
    // The frame after the display's write acknowledges it and carries the first older value.
    const auto& log = mSim.log();
    const auto written = std::find_if(log.begin(), log.end(), [](const sim::SimPacket& packet) {
        return !packet.fromMaster && isPublishOfTheRoom(packet.cmd, packet.payload);
    });
    const auto fromMaster = [](const sim::SimPacket& packet) { return packet.fromMaster; };
    const auto next = std::find_if(written, log.end(), fromMaster);
    ASSERT_NE(next, log.end());
    EXPECT_EQ(next->cmd, TNET_CMD_PUBLISH);
    EXPECT_NE(next->control & TNET_CTL_ACK, 0);
    auto older = next;
    if (test.anotherValueFirst) {
        EXPECT_EQ(get_le16(next->payload.data() + TNET_PUB_OFS_VID), OTHER_VID);
        older = std::find_if(next + 1, log.end(), fromMaster);
        ASSERT_NE(older, log.end());
        EXPECT_EQ(older->cmd, TNET_CMD_PUBLISH) << "no POLL between the two frames";
    }
    const auto first = sim::sim_decode_publish(older->payload.data(), older->payload.size());
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->value.number(), test.older[0]);
    EXPECT_EQ(unitValue(), test.after);
    EXPECT_EQ(tableInt(ROOM, DESIRED), test.after);
    EXPECT_EQ(taken(2345), 1u);
    if (test.laterWrite != 0) {
        EXPECT_EQ(taken(test.laterWrite), 1u);
    }
    EXPECT_EQ(bridgeEvents(), (std::vector<int>{5, 7})) << "no reset on the way";
}

INSTANTIATE_TEST_SUITE_P(
    Frames, AcknowledgementWithAnOlderValueTest,
    ::testing::Values(
        OlderCase{"OneOlderValue", {1500}, 0, 2345}, OlderCase{"TwoOlderValues", {1500, 1600}, 0, 2345},
        OlderCase{"TheBaseAgain", {2200}, 0, 2345},
        OlderCase{"OneOlderValueAndALaterWrite", {1500}, 1800, 1800},
        OlderCase{"TwoOlderValuesAndALaterWrite", {1500, 1600}, 1800, 1800},
        OlderCase{"AnotherValueInTheAcknowledgementThenAnOlderValue", {1500}, 0, 2345, true},
        OlderCase{
            "AnotherValueInTheAcknowledgementThenAnOlderValueAndALaterWrite", {1500}, 1800, 1800, true}),
    [](const auto& info) { return std::string(info.param.name); });

// The unit takes the display's 23.45, withholds its acknowledgement and sets 15.00 itself: the display shows
// the crossing 15.00. Once the acknowledgement comes the display asks for the value; the user writes 18.00
// a few milliseconds later. On this line the write leaves after the question and is acknowledged before the
// answer comes (0-13 ms: asked once more), waits while the answer comes (14-19 ms), or follows the answer
// (20 ms on). The user wrote after the display showed the unit's value: 18.00 reaches the unit, once, and
// both show it.
class ASecondCrossingTest : public ValueOrderTest, public ::testing::WithParamInterface<uint32_t> {
protected:
    // Plays the crossing and the user's 18.00; `also` hears the other commands the unit takes meanwhile.
    void crossThenWriteAgain(const sim::SimControlUnit::ReceiveListener& also = nullptr) {
        bool crossed = false;
        mSim.setReceiveListener([&](uint8_t cmd, const std::vector<uint8_t>& payload) {
            if (isPublishOfTheRoom(cmd, payload) && !crossed) {
                crossed = true;
                mSim.faults().withholdAcks = true;
                mSim.publish(ROOM, DESIRED, BT_VTYPE_S16_X100, 1500);
            } else if (also) {
                also(cmd, payload);
            }
        });
        write(2345);
        ASSERT_TRUE(waitFor([] { return tableInt(ROOM, DESIRED) == 1500; }));
        mSim.faults().withholdAcks = false;
        ASSERT_TRUE(
            mSim.wait_until([] { return traceText().find("asked again") != std::string::npos; }, 3000, 1));
        runFine(GetParam());
        write(1800);
        run(2000);
        mSim.setReceiveListener(nullptr);
    }
};

TEST_P(ASecondCrossingTest, TheUsersLaterWriteReachesTheUnitAndBothShowIt) {
    ASSERT_NO_FATAL_FAILURE(crossThenWriteAgain());
    EXPECT_EQ(unitValue(), 1800);
    EXPECT_EQ(tableInt(ROOM, DESIRED), 1800);
    EXPECT_EQ(taken(2345), 1u);
    EXPECT_EQ(taken(1800), 1u);
}

// The same, and the answer to the second question (asked when the unit took the 18.00 while the first was
// out, 0-13 ms) is lost on the line: the first answer (15.00) is older than the write and settles nothing;
// the display keeps 18.00 shown and asks once more after 10 s. Written later, the user's write asks nothing.
TEST_P(ASecondCrossingTest, TheUsersLaterWriteStandsWhenTheLastAnswerIsLost) {
    const bool askedTwice = GetParam() < 14;
    int asked = 0;
    ASSERT_NO_FATAL_FAILURE(crossThenWriteAgain([&](uint8_t cmd, const std::vector<uint8_t>& payload) {
        if (cmd == TNET_CMD_SUBSCRIBE && get_le32(payload.data()) == ROOM && ++asked == 1) {
            mSim.faults().unansweredSubscribes = 1; // the next question about the value
        }
    }));
    mSim.faults().unansweredSubscribes = 0;
    EXPECT_EQ(questions(), askedTwice ? 2u : 1u);
    EXPECT_EQ(tableInt(ROOM, DESIRED), 1800) << "held while the last question is out";
    run(Net::NET_ANSWER_TIMEOUT_MS);
    EXPECT_EQ(traceCount("no answer came"), askedTwice ? 1u : 0u);
    EXPECT_EQ(unitValue(), 1800);
    EXPECT_EQ(tableInt(ROOM, DESIRED), 1800);
    EXPECT_EQ(taken(1800), 1u);
}

INSTANTIATE_TEST_SUITE_P(MillisecondsAfterTheAcknowledgement, ASecondCrossingTest,
                         ::testing::Values(0u, 4u, 8u, 12u, 16u, 20u),
                         [](const auto& info) { return std::to_string(info.param) + "ms"; });

// A question lost with its session does not stand in the way of the next one: after the reset a second
// crossing of the same value is asked about again, and the display ends on the unit's value.
TEST_F(ValueOrderTest, AQuestionLostWithItsSessionIsAskedAgainAtTheNextCrossing) {
    const auto cross = [this](int unitChange) {
        mSim.setReceiveListener([this, unitChange](uint8_t cmd, const std::vector<uint8_t>& payload) {
            if (isPublishOfTheRoom(cmd, payload) && !mSim.faults().withholdAcks) {
                mSim.faults().withholdAcks = true;
                mSim.publish(ROOM, DESIRED, BT_VTYPE_S16_X100, unitChange);
            }
        });
    };
    cross(1500);
    write(2345);
    ASSERT_TRUE(waitFor([] { return tableInt(ROOM, DESIRED) == 1500; }));
    // The unit ends the session as soon as it has the question, before it answers.
    mSim.setReceiveListener([this](uint8_t cmd, const std::vector<uint8_t>& payload) {
        if (cmd == TNET_CMD_SUBSCRIBE && get_le32(payload.data()) == ROOM) {
            mSim.disconnectClient();
        }
    });
    mSim.faults().withholdAcks = false;
    ASSERT_TRUE(waitFor([] { return !Net::Tavi.isConnected(); }));
    mSim.setReceiveListener(nullptr);
    ASSERT_TRUE(synchronise());
    run(500);
    EXPECT_EQ(questions(), 1u);
    EXPECT_EQ(tableInt(ROOM, DESIRED), 1500);

    cross(1600);
    write(2500);
    ASSERT_TRUE(waitFor([] { return tableInt(ROOM, DESIRED) == 1600; }));
    mSim.setReceiveListener(nullptr);
    mSim.faults().withholdAcks = false;
    run(1500);
    EXPECT_EQ(questions(), 2u);
    EXPECT_EQ(unitValue(), 1600);
    EXPECT_EQ(tableInt(ROOM, DESIRED), 1600);
    EXPECT_EQ(taken(2345), 1u);
    EXPECT_EQ(taken(2500), 1u);
}

// The answer to the question after the acknowledgement never comes, and the unit changes the value
// meanwhile: the display asks once more, and shows the unit's value.
TEST_F(ValueOrderTest, AQuestionLeftUnansweredIsAskedOnceMore) {
    bool armed = true;
    mSim.setReceiveListener([&](uint8_t cmd, const std::vector<uint8_t>& payload) {
        if (armed && isPublishOfTheRoom(cmd, payload)) {
            armed = false;
            mSim.send(TNET_CMD_PUBLISH,
                      sim::sim_encode_publish(ROOM, DESIRED, *sim::sim_number(BT_VTYPE_S16_X100, 1500)));
        }
    });
    mSim.faults().unansweredSubscribes = 1;
    write(2345);
    ASSERT_TRUE(waitFor([this] { return questions() == 1; }));
    mSim.setReceiveListener(nullptr);
    mSim.publish(ROOM, DESIRED, BT_VTYPE_S16_X100, 1700);
    run(2000);
    EXPECT_EQ(tableInt(ROOM, DESIRED), 2345) << "held while the question is out";
    run(Net::NET_ANSWER_TIMEOUT_MS);
    EXPECT_EQ(questions(), 2u);
    EXPECT_EQ(traceCount("no answer came"), 1u);
    EXPECT_EQ(unitValue(), 1700);
    EXPECT_EQ(tableInt(ROOM, DESIRED), 1700);
    EXPECT_EQ(taken(2345), 1u);
}

// A write is settled once a POLL came in or after the frame that acknowledged it: the unit polls only with
// nothing of its own queued, so what it publishes afterwards is newer than the write. Its change is shown as
// it comes and asks nothing, however soon or late it comes; only a value that came before that POLL (sent
// by the unit in the acknowledging frame and after it) is asked about.
struct SettleCase {
    const char* name;
    std::vector<int> older; // sent by the unit from the acknowledging frame on; none: it was idle
    uint32_t changeAfterMs; // the unit's own change, this long after it took the write
    size_t questions;       // questions about the value the display sent
    int refused = 0;        // of them, refused by the unit (NACK) and asked again
};

class ASettledWriteTest : public ValueOrderTest, public ::testing::WithParamInterface<SettleCase> {};

TEST_P(ASettledWriteTest, TheUnitsLaterChangeIsShownAsItComes) {
    const SettleCase& test = GetParam();
    bool armed = true;
    mSim.setReceiveListener([&](uint8_t cmd, const std::vector<uint8_t>& payload) {
        if (armed && isPublishOfTheRoom(cmd, payload)) {
            armed = false;
            for (const int value : test.older) {
                mSim.send(TNET_CMD_PUBLISH,
                          sim::sim_encode_publish(ROOM, DESIRED, *sim::sim_number(BT_VTYPE_S16_X100, value)));
            }
        }
    });
    mSim.faults().refusedSubscribes = test.refused;
    write(2345);
    ASSERT_TRUE(mSim.wait_until([&] { return !armed; }, 3000, 1));
    mSim.setReceiveListener(nullptr);
    runFine(test.changeAfterMs);
    mSim.publish(ROOM, DESIRED, BT_VTYPE_S16_X100, 1900);
    // The unit sends it within its poll period; shown in that very frame.
    ASSERT_TRUE(mSim.wait_until([] { return tableInt(ROOM, DESIRED) == 1900; }, 60, 1));
    run(1000);
    EXPECT_EQ(unitValue(), 1900);
    EXPECT_EQ(tableInt(ROOM, DESIRED), 1900);
    EXPECT_EQ(questions(), test.questions);
    EXPECT_EQ(taken(2345), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Frames, ASettledWriteTest,
    ::testing::Values(SettleCase{"AnIdleUnitChangesItAtOnce", {}, 0, 0},
                      SettleCase{"AnIdleUnitChangesIt100msLater", {}, 100, 0},
                      SettleCase{"AnIdleUnitChangesItAMinuteLater", {}, 60000, 0},
                      SettleCase{"AfterAnOlderValueInTheAcknowledgement", {1500}, 300, 1},
                      SettleCase{"AfterTwoOlderValues", {1500, 1600}, 300, 1},
                      SettleCase{"AfterAnOlderValueWhoseQuestionTheUnitRefuses", {1500}, 300, 2, 1}),
    [](const auto& info) { return std::string(info.param.name); });

// Ten writes, each acknowledged in a frame that carries an older value of it: ten values to ask about. The
// user's write of another value, made as the first question reaches the unit, goes before the nine others.
TEST_F(ValueOrderTest, AUsersWriteGoesBeforeTheQuestionsAboutOtherValues) {
    const auto room = [](int i) { return oid_make(UNIT, static_cast<u8>(2 + i)); };
    for (int i = 0; i < 10; ++i) {
        mSim.add_object(room(i), BT_OBJ_ROOM, 0);
        mSim.publish(room(i), DESIRED, BT_VTYPE_S16_X100, 2200);
    }
    run(1000);
    std::set<oid_t> written;
    size_t writtenAt = 0;
    mSim.setReceiveListener([&](uint8_t cmd, const std::vector<uint8_t>& payload) {
        const oid_t oid = get_le32(payload.data());
        if (cmd == TNET_CMD_SUBSCRIBE && writtenAt == 0) {
            writtenAt = mSim.log().size();
            write(1800);
        } else if (cmd == TNET_CMD_PUBLISH && oid != ROOM && written.insert(oid).second) {
            mSim.send(TNET_CMD_PUBLISH,
                      sim::sim_encode_publish(oid, DESIRED, *sim::sim_number(BT_VTYPE_S16_X100, 1500)));
        }
    });
    mSim.clearLog();
    for (int i = 0; i < 10; ++i) {
        ASSERT_EQ(pt_set_int(room(i), DESIRED, 2300 + i, BT_VTYPE_S16_X100), PT_OK);
    }
    run(3000);
    mSim.setReceiveListener(nullptr);
    ASSERT_NE(writtenAt, 0u);
    size_t asked = 0;
    for (size_t i = writtenAt; i < mSim.log().size() && taken(1800) == 1; ++i) {
        const sim::SimPacket& packet = mSim.log()[i];
        if (!packet.fromMaster && packet.cmd == TNET_CMD_PUBLISH && get_le32(packet.payload.data()) == ROOM) {
            break;
        }
        asked += !packet.fromMaster && packet.cmd == TNET_CMD_SUBSCRIBE;
    }
    EXPECT_EQ(asked, 0u) << "questions sent between the user's write and its PUBLISH";
    EXPECT_EQ(mSim.count(false, TNET_CMD_SUBSCRIBE), 10);
    EXPECT_EQ(taken(1800), 1u);
    EXPECT_EQ(unitValue(), 1800);
    EXPECT_EQ(tableInt(ROOM, DESIRED), 1800);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(tableInt(room(i), DESIRED), 2300 + i) << i;
        EXPECT_EQ(heldNumber(mSim, room(i), DESIRED), 2300 + i) << i;
    }
}

// Two values asked about at once: each write crossed by the unit's own change (it withholds the
// acknowledgement meanwhile), or acknowledged in a frame that carries an older value of it. The answer to the
// first or the second question is lost on the line. The other value is settled by its own answer and shows
// the unit's next change as it comes; the lost one is held until it is asked once more after 10 s, and then
// both sides hold the unit's last value of each.
struct LostAnswerCase {
    const char* name;
    bool crossing;
    Ovi other; // the second value: another room's set point, or another value of the room
    int lost;  // 1: the first question's answer, 2: the second's
};

class TwoQuestionsTest : public ValueOrderTest, public ::testing::WithParamInterface<LostAnswerCase> {
protected:
    int unitHolds(const Ovi& v) const { return static_cast<int>(heldNumber(mSim, v.oid, v.vid)); }
    void change(const Ovi& v, int value) { mSim.publish(v.oid, v.vid, BT_VTYPE_S16_X100, value); }
};

TEST_P(TwoQuestionsTest, EachValueIsSettledByItsOwnAnswer) {
    const LostAnswerCase& test = GetParam();
    const Ovi values[] = {Ovi(ROOM, DESIRED), test.other};
    const Ovi& answered = values[test.lost == 1 ? 1 : 0];
    const Ovi& lost = values[test.lost - 1];
    mSim.add_object(test.other.oid, BT_OBJ_ROOM, 0);
    change(test.other, 2200);
    run(1000);
    std::set<Ovi> written;
    std::optional<Ovi> crossed;
    int asked = 0;
    mSim.setReceiveListener([&](uint8_t cmd, const std::vector<uint8_t>& payload) {
        const Ovi v(get_le32(payload.data()), get_le16(payload.data() + TNET_PUB_OFS_VID));
        if (cmd == TNET_CMD_SUBSCRIBE && v.vid != VID_ALL && ++asked == 1 && test.lost == 2) {
            mSim.faults().unansweredSubscribes = 1;
        } else if (cmd == TNET_CMD_PUBLISH && written.insert(v).second) {
            const sim::SimValue older = *sim::sim_number(BT_VTYPE_S16_X100, 1500);
            mSim.faults().withholdAcks = test.crossing;
            crossed = test.crossing ? std::optional<Ovi>(v) : std::nullopt;
            test.crossing ? mSim.publish(v.oid, v.vid, older)
                          : mSim.send(TNET_CMD_PUBLISH, sim::sim_encode_publish(v.oid, v.vid, older));
        }
    });
    mSim.faults().unansweredSubscribes = test.lost == 1 ? 1 : 0;
    write(2345);
    ASSERT_EQ(pt_set_int(test.other.oid, test.other.vid, 2400, BT_VTYPE_S16_X100), PT_OK);
    ASSERT_TRUE(mSim.wait_until(
        [&] {
            // Acknowledged once the display shows the crossing value.
            if (crossed && tableInt(crossed->oid, crossed->vid) == 1500) {
                mSim.faults().withholdAcks = false;
                crossed.reset();
            }
            return asked == 2;
        },
        3000, 1));
    run(1000);
    mSim.setReceiveListener(nullptr);
    EXPECT_EQ(tableInt(answered.oid, answered.vid), unitHolds(answered));

    change(answered, 1750);
    change(lost, 1700);
    run(500);
    EXPECT_EQ(tableInt(answered.oid, answered.vid), 1750) << "settled by its own answer";
    EXPECT_NE(tableInt(lost.oid, lost.vid), 1700) << "held while its question is out";
    run(Net::NET_ANSWER_TIMEOUT_MS);
    EXPECT_EQ(traceCount("no answer came"), 1u);
    EXPECT_EQ(tableInt(lost.oid, lost.vid), 1700) << "asked once more";

    change(values[0], 1800);
    change(values[1], 1850);
    run(500);
    for (const Ovi& v : values) {
        EXPECT_EQ(tableInt(v.oid, v.vid), unitHolds(v));
    }
    EXPECT_EQ(unitHolds(values[1]), 1850);
}

INSTANTIATE_TEST_SUITE_P(
    Values, TwoQuestionsTest,
    ::testing::Values(LostAnswerCase{"TwoCrossingsTheSecondAnswerLost", true, Ovi(0x02000316, DESIRED), 2},
                      LostAnswerCase{"TwoCrossingsOfOneRoomTheFirstAnswerLost", true, Ovi(ROOM, 0x001E), 1},
                      LostAnswerCase{"TwoOlderValuesOfOneRoomTheSecondAnswerLost", false, Ovi(ROOM, 0x001E),
                                     2},
                      LostAnswerCase{"TwoOlderValuesTheFirstAnswerLost", false, Ovi(0x02000316, DESIRED), 1}),
    [](const auto& info) { return std::string(info.param.name); });

// The seeded race, over enough seeds to catch a fault that one race in fifty meets.
struct RaceCase {
    const char* name;
    double noise;
    uint32_t seeds;
    RaceLoss loss;
    uint32_t firstSeed = 1;
    uint32_t quietMs = 10000;
    // The seed spoils a SYNCHRONIZED after the loss: the unit takes more than the two subscriptions of the
    // synchronisation in that session.
    bool spoiledSynchronized = false;
};

class ValueRaceTest : public ::testing::TestWithParam<RaceCase> {};

TEST_P(ValueRaceTest, EverySeedEndsWithTheDisplayOnTheUnitsValueAndEachWriteTakenOnce) {
    const RaceCase& test = GetParam();
    const bool traced = dbg_is_enabled();
    dbg_set_enabled(false);
    std::ostringstream failures;
    int failed = 0;
    int writes = 0;
    int changes = 0;
    int resets = 0;
    int lost = 0;
    int subscribedAgain = 0;
    for (uint32_t seed = test.firstSeed; seed < test.firstSeed + test.seeds; ++seed) {
        const RaceRun run = value_race(test.noise, seed, 60, test.quietMs, test.loss);
        writes += run.writes;
        changes += run.changes;
        resets += run.resets;
        lost += run.lost;
        subscribedAgain += run.subscribedAgain;
        if (!run.synchronised || run.display != run.unit || run.twice != 0) {
            if (++failed <= 5) {
                failures << "\n  seed " << seed << ": display " << run.display << ", unit " << run.unit
                         << ", taken twice " << run.twice << (run.synchronised ? "" : ", not synchronised");
            }
        }
    }
    dbg_set_enabled(traced);
    EXPECT_EQ(failed, 0) << failures.str();
    EXPECT_EQ(resets, test.loss == RaceLoss::None ? 0 : static_cast<int>(test.seeds));
    // Both sides really raced: about half of the 60 events each.
    EXPECT_GT(writes, 20 * static_cast<int>(test.seeds));
    EXPECT_GT(changes, 20 * static_cast<int>(test.seeds));
    EXPECT_EQ(lost, 0) << "the user's writes that never reached the unit although the session held";
    if (test.spoiledSynchronized) {
        EXPECT_GT(subscribedAgain, 0)
            << "the seed no longer spoils a SYNCHRONIZED after the loss: find another";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ValueRaceTest,
    ::testing::Values(RaceCase{"Clean", 0.0, 1000, RaceLoss::None},
                      RaceCase{"OnePercentNoise", 0.01, 1000, RaceLoss::None},
                      RaceCase{"TheUnitEndsTheSession", 0.01, 300, RaceLoss::Disconnect},
                      RaceCase{"TheUnitFallsSilent", 0.01, 300, RaceLoss::Silence},
                      // A frame of the synchronisation of the session after the loss comes spoiled in a way
                      // that passes its check, so that no SYNCHRONIZED answers what the display asked (its
                      // subscription to itself reaches the unit as one to another object; the SYNCHRONIZED
                      // of the one to everything comes as one that answers nothing): the display subscribes
                      // again once the answer has brought nothing new for 10 s, and is ready again within
                      // the quiet time. Seeds found as races whose subscribedAgain is not 0.
                      RaceCase{"ASpoiledSynchronizedAfterTheUnitEndsTheSession", 0.02, 1,
                               RaceLoss::Disconnect, 298185, 30000, true},
                      RaceCase{"ASpoiledSynchronizedAfterTheUnitFallsSilent", 0.02, 1, RaceLoss::Silence,
                               92803, 30000, true}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tdx::test
