// The bridge's road from the first search to "ready", its resets and the connection watch, against the
// simulated control unit.
#include "bridge_harness.h"

#include "Libraries/base/timestamp.h"

#include <algorithm>
#include <memory>
#include <optional>

namespace tdx::test {
namespace {

using State = Net::TaviProtocol::State;
constexpr oid_t ROOM = 0x01000316;
constexpr oid_t OUTPUT = 0x02000316;
// The user's write of the room's desired temperature on the line, as sentFromTheLastSynchronisation() names
// it.
const std::string ROOM_WRITE = "publish 01000316:001D";

// The bridge as an event found it.
struct Snapshot {
    int kind;
    bool connected;
    bool synchronized;
    unsigned owner;
    bool operator==(const Snapshot&) const = default;
};

std::vector<Snapshot>& snapshots() {
    static std::vector<Snapshot> list;
    return list;
}

class SyncTest : public BridgeTest {
protected:
    void SetUp() override {
        BridgeTest::SetUp();
        snapshots().clear();
        Net::Tavi.setEventSink([](int kind) {
            bridgeEvents().push_back(kind);
            snapshots().push_back(
                {kind, Net::Tavi.isConnected(), Net::Tavi.isSynchronized(), Net::Tavi.getOwner()});
        });
    }

    void populate() {
        addUnitWithRoom(ROOM);
        mSim.add_object(OUTPUT, BT_OBJ_OUTPUT, 6);
        mSim.publish(LOCATION, 0x80DC, BT_VTYPE_U32, UNIT);
        mSim.publish(UNIT, 0x002F, BT_VTYPE_U8, 2);
        mSim.publish(UNIT, 0x80E3, sim::sim_text(BT_VTYPE_TEXT, {'H', 'M', '3', '1', '6'}));
        mSim.publish(ROOM, 0x000C, BT_VTYPE_S16_X100, 2150);
        mSim.publish(ROOM, 0x001D, BT_VTYPE_S16_X100, 2200);
        mSim.publish(OUTPUT, 0x004C, BT_VTYPE_S16_X100, 5000);
    }

    void writeWithTheAcknowledgementLost(const struct KeptCase& test);

    size_t firstPacket(bool fromMaster, uint8_t cmd, size_t from = 0) const {
        const auto& log = mSim.log();
        for (size_t i = from; i < log.size(); ++i) {
            if (log[i].fromMaster == fromMaster && log[i].cmd == cmd) {
                return i;
            }
        }
        return log.size();
    }
};

TEST_F(SyncTest, ConnectsSubscribesToItselfThenToEverythingAndReportsReady) {
    populate();
    EXPECT_FALSE(Net::Tavi.isConnected());
    EXPECT_FALSE(Net::Tavi.isSynchronized());
    EXPECT_EQ(Net::Tavi.getOwner(), 0xFFFFFFFFu);

    ASSERT_TRUE(waitFor([] { return Net::Tavi.isConnected(); }));
    // The connect notification recorded the owner before anyone could ask.
    ASSERT_EQ(snapshots().size(), 2u);
    EXPECT_EQ(snapshots()[0], (Snapshot{5, true, false, UNIT}));
    EXPECT_EQ(snapshots()[1], (Snapshot{7, true, false, UNIT}));
    EXPECT_EQ(Net::Tavi.state(), State::SubscribingSelf);

    ASSERT_TRUE(waitFor([] { return Net::Tavi.state() == State::SubscribingAll; }));
    EXPECT_TRUE(Net::Tavi.isConnected());
    EXPECT_FALSE(Net::Tavi.isSynchronized());
    EXPECT_EQ(Net::Tavi.getOwner(), UNIT);

    ASSERT_TRUE(synchronise());
    EXPECT_TRUE(Net::Tavi.isConnected());
    EXPECT_EQ(Net::Tavi.getOwner(), UNIT);
    EXPECT_EQ(bridgeEvents(), (std::vector<int>{5, 7}));

    const size_t self = traceText().find("subscribing to myself");
    const size_t all = traceText().find("subscribing to everything");
    const size_t publishing = traceText().find("publishing myself");
    const size_t ready = traceText().find("ready");
    ASSERT_NE(self, std::string::npos);
    ASSERT_NE(ready, std::string::npos);
    EXPECT_LT(self, all);
    EXPECT_LT(all, publishing);
    EXPECT_LT(publishing, ready);

    EXPECT_EQ(mSim.subscriptions(),
              (std::vector<std::pair<uint32_t, uint16_t>>{{mSelf, 0xFFFF}, {0xFFFFFFFF, 0xFFFF}}));
    // The identity travels only after the control unit said the whole subscription was complete.
    ASSERT_TRUE(waitFor([this] { return mSim.value(mSelf, 0x002F).has_value(); }));
    const size_t lastSync = [this] {
        size_t at = 0;
        for (size_t i = 0; i < mSim.log().size(); ++i) {
            if (mSim.log()[i].fromMaster && mSim.log()[i].cmd == TNET_CMD_SYNCHRONIZED) {
                at = i;
            }
        }
        return at;
    }();
    EXPECT_LT(lastSync, firstPacket(false, TNET_CMD_PUBLISH));
    run(1000);
    EXPECT_EQ(sentFromTheLastSynchronisation(), synchronisationThen({})) << "the whole identity before ready";

    EXPECT_EQ(heldNumber(mSim, mSelf, 0x002F), 2);
    EXPECT_EQ(heldValue(mSim, mSelf, 0x80E3).bytes, (std::vector<uint8_t>{'T', 'D', '4', '1', '0'}));
    EXPECT_EQ(heldValue(mSim, mSelf, 0x80E4).bytes, (std::vector<uint8_t>{'T', 'D', '4', '1', '0'}));
    EXPECT_EQ(heldNumber(mSim, mSelf, 0x80DF), 1530);
    EXPECT_EQ(heldNumber(mSim, mSelf, 0x800C), static_cast<int64_t>(DI.hw->serial));
    EXPECT_EQ(heldNumber(mSim, mSelf, 0x800E), DI.hw->hw_version);
    EXPECT_EQ(heldNumber(mSim, mSelf, 0x800D), DI.sw->version_major);
    EXPECT_EQ(heldNumber(mSim, mSelf, 0x809E), DI.sw->build);
    // The value-id list names what the display publishes of itself, two bytes each.
    const auto list = mSim.value(mSelf, 0x809F);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->type, BT_VTYPE_DATA);
    EXPECT_EQ(list->bytes.size(), 16u);
    ProxyObject* own = Structure.find(mSelf);
    ASSERT_NE(own, nullptr);
    EXPECT_TRUE(own->hasValue(0x80E3));
    EXPECT_TRUE(own->hasValue(0x002F));
    // Connected before the watch ended: no event 6.
    run(Net::NET_CONNECT_TIMEOUT_MS + 1000);
    EXPECT_EQ(bridgeEvents(), (std::vector<int>{5, 7}));
}

// The control unit's own device enters the tree as any other object does: announced, or named by the
// location's list of components when its state changes; the state alone of the unit connected to adds
// nothing.
TEST_F(SyncTest, TheControlUnitsOwnDeviceIsNotAddedByItsStateAlone) {
    mSim.add_object(LOCATION, BT_OBJ_LOCATION, 0);
    mSim.add_object(ROOM, BT_OBJ_ROOM, 0);
    mSim.publish(LOCATION, 0x80DC, BT_VTYPE_U32, UNIT);
    mSim.publish(UNIT, 0x002F, BT_VTYPE_U8, 2);
    ASSERT_TRUE(synchronise());
    run(300);
    EXPECT_EQ(Net::Tavi.getOwner(), UNIT);
    EXPECT_TRUE(pt_read_int(UNIT, 0x002F).has_value()) << "the state itself is mirrored";
    EXPECT_EQ(Structure.find(UNIT), nullptr);

    mSim.publish(LOCATION, 0x80AE, sim::sim_text(BT_VTYPE_DATA, {0x16, 0x03, 0x00, 0x00}));
    mSim.publish(UNIT, 0x002F, BT_VTYPE_U8, 1);
    ASSERT_TRUE(waitFor([] { return Structure.find(UNIT) != nullptr; }, 2000));
    EXPECT_TRUE(Structure.find(UNIT)->type().is(BT_OBJ_DEVICE));
}

TEST_F(SyncTest, NoConnectionWithinFifteenSecondsRaisesEventSixOnce) {
    mSim.faults().stopPolling = true;
    run(Net::NET_CONNECT_TIMEOUT_MS - 100);
    EXPECT_TRUE(bridgeEvents().empty());
    run(200);
    EXPECT_EQ(bridgeEvents(), (std::vector<int>{6}));
    EXPECT_EQ(snapshots()[0], (Snapshot{6, false, false, 0xFFFFFFFFu}));
    run(30000);
    EXPECT_EQ(bridgeEvents(), (std::vector<int>{6}));

    mSim.faults().stopPolling = false;
    ASSERT_TRUE(synchronise());
    EXPECT_EQ(bridgeEvents(), (std::vector<int>{6, 5, 7}));
}

TEST_F(SyncTest, ALostConnectionResetsAndTheNextOneBringsTheCurrentValues) {
    populate();
    ASSERT_TRUE(synchronise());
    run(300);
    const size_t publishesBefore = mSim.received_publishes().size();

    mSim.faults().stopPolling = true;
    ASSERT_TRUE(waitFor([] { return !Net::Tavi.isConnected(); }, TNET_SUPERVISION_MS + 500));
    EXPECT_FALSE(Net::Tavi.isSynchronized());
    EXPECT_EQ(Net::Tavi.getOwner(), 0xFFFFFFFFu);
    EXPECT_EQ(bridgeEvents(), (std::vector<int>{5, 7, 6}));
    EXPECT_EQ(snapshots().back(), (Snapshot{6, false, false, 0xFFFFFFFFu}));
    EXPECT_NE(traceText().find("connection reset"), std::string::npos);

    // Off-line: the user changes a setting, the control unit changes a measurement.
    EXPECT_EQ(pt_set_int(ROOM, 0x001D, 1900, BT_VTYPE_S16_X100), PT_OK);
    mSim.model().setValue(ROOM, 0x000C, *sim::sim_number(BT_VTYPE_S16_X100, 2375));
    run(100);

    mSim.faults().stopPolling = false;
    ASSERT_TRUE(synchronise());
    EXPECT_EQ(bridgeEvents(), (std::vector<int>{5, 7, 6, 5, 7}));
    EXPECT_EQ(Net::Tavi.getOwner(), UNIT);
    run(500);
    int value = 0;
    ASSERT_EQ(pt_get_int(&value, ROOM, 0x000C), PT_OK);
    EXPECT_EQ(value, 2375);
    // The control unit is master of the data: the off-line write was dropped and its value restored.
    ASSERT_EQ(pt_get_int(&value, ROOM, 0x001D), PT_OK);
    EXPECT_EQ(value, 2200);
    EXPECT_TRUE(publishesOf(ROOM, 0x001D).empty());
    EXPECT_GT(mSim.received_publishes().size(), publishesBefore); // identity again
}

// A value the user changes while no session is open, the bridge told to keep such writes (the screens stay
// through an announced restart of the control unit): shown meanwhile, and sent to the unit once it is back
// and synchronised, also when the restart changed the value (a restore): the user changed it after that.
// So is one written after the announcement while the silent unit is not missed yet. Not told to, the bridge
// gives the unit's value back, as a unit lost for a while has the last word.
struct OfflineWriteCase {
    const char* name;
    bool keep;
    bool unitChangesOffline; // to 23.75 degrees
    bool beforeTheLoss;      // written while the session is still open
    int after;               // on both sides
    size_t publishes;        // of the value, taken by the unit after its return
};

class AnOfflineWriteTest : public SyncTest, public ::testing::WithParamInterface<OfflineWriteCase> {};

TEST_P(AnOfflineWriteTest, ReachesTheUnitOnItsReturnWhenTheBridgeKeepsIt) {
    const OfflineWriteCase& test = GetParam();
    populate();
    ASSERT_TRUE(synchronise());
    run(300);
    Net::Tavi.keepOfflineWrites(test.keep);
    mSim.faults().stopPolling = true;
    if (test.beforeTheLoss) {
        ASSERT_TRUE(Net::Tavi.isConnected());
        EXPECT_EQ(pt_set_int(ROOM, 0x001D, 1900, BT_VTYPE_S16_X100), PT_OK);
    }
    ASSERT_TRUE(waitFor([] { return !Net::Tavi.isConnected(); }, TNET_SUPERVISION_MS + 500));
    if (!test.beforeTheLoss) {
        EXPECT_EQ(pt_set_int(ROOM, 0x001D, 1900, BT_VTYPE_S16_X100), PT_OK);
    }
    if (test.unitChangesOffline) {
        mSim.model().setValue(ROOM, 0x001D, *sim::sim_number(BT_VTYPE_S16_X100, 2375));
    }
    run(100);
    EXPECT_EQ(tableInt(ROOM, 0x001D), 1900) << "shown while the unit is away";
    const size_t before = publishesOf(ROOM, 0x001D).size();

    mSim.faults().stopPolling = false;
    ASSERT_TRUE(synchronise());
    run(1000);
    Net::Tavi.keepOfflineWrites(false);
    EXPECT_EQ(sentFromTheLastSynchronisation(),
              synchronisationThen(test.publishes == 0 ? std::vector<std::string>{}
                                                      : std::vector<std::string>{ROOM_WRITE}))
        << "the synchronisation first, the write after it";
    const std::optional<sim::SimValue> unit = mSim.value(ROOM, 0x001D);
    ASSERT_TRUE(unit.has_value());
    EXPECT_EQ(unit->number(), test.after);
    EXPECT_EQ(tableInt(ROOM, 0x001D), test.after);
    EXPECT_EQ(publishesOf(ROOM, 0x001D).size() - before, test.publishes);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, AnOfflineWriteTest,
    ::testing::Values(OfflineWriteCase{"Kept", true, false, false, 1900, 1},
                      OfflineWriteCase{"KeptTheUnitChangedItSince", true, true, false, 1900, 1},
                      OfflineWriteCase{"KeptWrittenBeforeTheUnitWasMissed", true, true, true, 1900, 1},
                      OfflineWriteCase{"NotKept", false, false, false, 2200, 0},
                      OfflineWriteCase{"NotKeptTheUnitChangedItSince", false, true, false, 2375, 0},
                      OfflineWriteCase{"NotKeptWrittenBeforeTheUnitWasMissed", false, true, true, 2375, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// What became of a write whose acknowledgement never reached the display.
enum class Fate { Arrived, ChangedByTheUnit, Lost, CrossedByTheUnit };

struct KeptCase {
    Fate fate;
    uint32_t displayClock; // 0: the real time; else Unix seconds (before 2000: a display not yet set)
    bool unitStamped;      // the unit's own change carries a time 5 s after the display's clock, not 0
    int tableAfter;        // the display's value once synchronised again
    int unitAfter;         // the control unit's
    size_t publishes;      // PUBLISHes of the value the control unit took in all
};

// The user writes 23.45 degrees (desired 22.00 before); the control unit takes it (or not, when lost), its
// acknowledgement never comes back, the session ends and a new one synchronises. Changed by the unit: it
// sets 15.00 itself meanwhile, stamped 0 as the simulator stamps its own changes (or later than the
// display's clock). Crossed by the unit: the same, but its 15.00 reaches the display while the display still
// repeats its write.
void SyncTest::writeWithTheAcknowledgementLost(const KeptCase& test) {
    populate();
    ASSERT_TRUE(synchronise());
    run(300);
    if (test.displayClock != 0) {
        os_time_set(test.displayClock);
    }
    mSim.setReceiveListener([this, test](uint8_t cmd, const std::vector<uint8_t>& payload) {
        if (cmd != TNET_CMD_PUBLISH || get_le32(payload.data()) != ROOM) {
            return;
        }
        if (test.fate == Fate::CrossedByTheUnit) {
            mSim.faults().withholdAcks = true;
        } else {
            mSim.faults().corruptFrames = 1 << 30; // nothing the unit sends reaches the display any more
        }
        if (test.fate == Fate::ChangedByTheUnit || test.fate == Fate::CrossedByTheUnit) {
            sim::SimValue change = *sim::sim_number(BT_VTYPE_S16_X100, 1500);
            if (test.unitStamped) {
                change.timestamp = timestamp_to_network(static_cast<time_t>(os_time()) + 5);
            }
            mSim.publish(ROOM, 0x001D, change);
        }
    });
    if (test.fate == Fate::Lost) {
        mSim.faults().dropReplies = 1 << 30;
    }
    ASSERT_EQ(pt_set_int(ROOM, 0x001D, 2345, BT_VTYPE_S16_X100), PT_OK);
    ASSERT_TRUE(waitFor([] { return !Net::Tavi.isConnected(); }, TNET_SUPERVISION_MS + 1000));
    mSim.setReceiveListener(nullptr);
    mSim.faults() = {};
    ASSERT_TRUE(synchronise());
    run(1000);
    os_time_set(static_cast<uint32_t>(FixedWallClock::MOMENT));
}

std::string keptCaseName(const ::testing::TestParamInfo<KeptCase>& info) {
    static const char* const names[] = {"Arrived", "ChangedByTheUnit", "Lost", "CrossedByTheUnit"};
    return std::string(names[static_cast<int>(info.param.fate)]) +
           (info.param.displayClock != 0 ? "WithTheClockUnset" : "") +
           (info.param.unitStamped ? "StampedLater" : "");
}

class KeptWriteTest : public SyncTest, public ::testing::WithParamInterface<KeptCase> {};

TEST_P(KeptWriteTest, IsSettledByTheValueTheControlUnitShowsNotByClocks) {
    const KeptCase& test = GetParam();
    writeWithTheAcknowledgementLost(test);
    EXPECT_EQ(tableInt(ROOM, 0x001D), test.tableAfter);
    EXPECT_EQ(heldNumber(mSim, ROOM, 0x001D), test.unitAfter);
    EXPECT_EQ(publishesOf(ROOM, 0x001D).size(), test.publishes);
    EXPECT_EQ(traceCount("changed by the control unit since the local write"),
              test.fate == Fate::ChangedByTheUnit ? 1u : 0u);
    EXPECT_EQ(traceCount("crossed by the control unit's value is not kept"),
              test.fate == Fate::CrossedByTheUnit ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Fates, KeptWriteTest,
                         ::testing::Values(KeptCase{Fate::Arrived, 0, false, 2345, 2345, 1},
                                           KeptCase{Fate::Arrived, 600000000, false, 2345, 2345, 1}, // 1989
                                           KeptCase{Fate::ChangedByTheUnit, 0, false, 1500, 1500, 1},
                                           KeptCase{Fate::ChangedByTheUnit, 600000000, false, 1500, 1500, 1},
                                           KeptCase{Fate::ChangedByTheUnit, 0, true, 1500, 1500, 1},
                                           KeptCase{Fate::Lost, 0, false, 2345, 2345, 1},
                                           KeptCase{Fate::Lost, 600000000, false, 2345, 2345, 1},
                                           KeptCase{Fate::CrossedByTheUnit, 0, false, 1500, 1500, 1},
                                           KeptCase{Fate::CrossedByTheUnit, 0, true, 1500, 1500, 1},
                                           KeptCase{Fate::CrossedByTheUnit, 600000000, false, 1500, 1500, 1}),
                         keptCaseName);

// Within a session the control unit's value crosses the display's write in flight: the display's first
// send is lost and the unit's 15.00 comes before the repeat is taken (the unit then holds 23.45), or the
// unit took the write, withholds its acknowledgement, sets 15.00 and acknowledges the repeat (the unit
// then holds 15.00). Either way the write is applied once and the display ends on what the unit holds.
struct CrossingCase {
    const char* name;
    bool firstSendLost;
    int unitAfter;
};

class CrossedWriteTest : public SyncTest, public ::testing::WithParamInterface<CrossingCase> {};

TEST_P(CrossedWriteTest, EndsOnTheValueTheControlUnitHolds) {
    const CrossingCase& test = GetParam();
    populate();
    ASSERT_TRUE(synchronise());
    run(300);
    const auto sent = [this] { return firstPacket(false, TNET_CMD_PUBLISH) < mSim.log().size(); };
    mSim.clearLog();
    if (test.firstSendLost) {
        mSim.faults().dropReplies = 1;
        ASSERT_EQ(pt_set_int(ROOM, 0x001D, 2345, BT_VTYPE_S16_X100), PT_OK);
        ASSERT_TRUE(waitFor(sent));
        mSim.publish(ROOM, 0x001D, *sim::sim_number(BT_VTYPE_S16_X100, 1500));
    } else {
        mSim.setReceiveListener([this](uint8_t cmd, const std::vector<uint8_t>& payload) {
            if (cmd == TNET_CMD_PUBLISH && get_le32(payload.data()) == ROOM) {
                mSim.faults().withholdAcks = true;
                mSim.publish(ROOM, 0x001D, *sim::sim_number(BT_VTYPE_S16_X100, 1500));
            }
        });
        ASSERT_EQ(pt_set_int(ROOM, 0x001D, 2345, BT_VTYPE_S16_X100), PT_OK);
        ASSERT_TRUE(waitFor([this] { return tableInt(ROOM, 0x001D) == 1500; }));
        mSim.setReceiveListener(nullptr);
        mSim.faults().withholdAcks = false;
    }
    run(1500);
    EXPECT_TRUE(Net::Tavi.isSynchronized());
    EXPECT_EQ(heldNumber(mSim, ROOM, 0x001D), test.unitAfter);
    EXPECT_EQ(tableInt(ROOM, 0x001D), test.unitAfter);
    EXPECT_EQ(publishesOf(ROOM, 0x001D).size(), 1u);
    EXPECT_EQ(traceCount("its value is asked again"), 1u);
}

INSTANTIATE_TEST_SUITE_P(Orders, CrossedWriteTest,
                         ::testing::Values(CrossingCase{"TheFirstSendLost", true, 2345},
                                           CrossingCase{"TheAcknowledgementWithheld", false, 1500}),
                         [](const auto& info) { return std::string(info.param.name); });

// The user writes 23.45, the control unit takes it and its acknowledgement never comes back; crossed: the
// unit's own 15.00 reaches the display meanwhile. The user then writes 18.00, which waits behind the first
// write until the session ends. The 18.00 is the last word (the user saw the unit's value): the next session
// brings it to the unit, unless the unit changed the value itself (20.00) while the session was down.
struct LaterWriteCase {
    const char* name;
    bool crossed;
    bool unitChangesOffline;
    int after; // on both sides
    // Written by the user while the next session synchronises (0: not): later than anything the unit holds,
    // it goes once ready, in the place of the 18.00.
    int writtenDuringTheSynchronisation = 0;
};

class ALaterWriteTest : public SyncTest, public ::testing::WithParamInterface<LaterWriteCase> {};

TEST_P(ALaterWriteTest, BehindAWriteWhoseAcknowledgementWasLostIsTheLastWordAfterTheReset) {
    const LaterWriteCase& test = GetParam();
    populate();
    ASSERT_TRUE(synchronise());
    run(300);
    mSim.setReceiveListener([this, test](uint8_t cmd, const std::vector<uint8_t>& payload) {
        if (cmd == TNET_CMD_PUBLISH && get_le32(payload.data()) == ROOM && !mSim.faults().withholdAcks) {
            mSim.faults().withholdAcks = true;
            if (test.crossed) {
                mSim.publish(ROOM, 0x001D, *sim::sim_number(BT_VTYPE_S16_X100, 1500));
            }
        }
    });
    ASSERT_EQ(pt_set_int(ROOM, 0x001D, 2345, BT_VTYPE_S16_X100), PT_OK);
    ASSERT_TRUE(waitFor([this] { return mSim.faults().withholdAcks; }));
    if (test.crossed) {
        ASSERT_TRUE(waitFor([this] { return tableInt(ROOM, 0x001D) == 1500; }));
    }
    ASSERT_EQ(pt_set_int(ROOM, 0x001D, 1800, BT_VTYPE_S16_X100), PT_OK);
    ASSERT_TRUE(waitFor([] { return !Net::Tavi.isConnected(); }, TNET_SUPERVISION_MS + 1000));
    mSim.setReceiveListener(nullptr);
    mSim.faults() = {};
    if (test.unitChangesOffline) {
        mSim.model().setValue(ROOM, 0x001D, *sim::sim_number(BT_VTYPE_S16_X100, 2000));
    }
    if (test.writtenDuringTheSynchronisation != 0) {
        ASSERT_TRUE(waitFor([] { return Net::Tavi.state() == State::SubscribingAll; }, 10000));
        ASSERT_EQ(pt_set_int(ROOM, 0x001D, test.writtenDuringTheSynchronisation, BT_VTYPE_S16_X100), PT_OK);
    }
    ASSERT_TRUE(synchronise());
    run(1000);
    EXPECT_EQ(heldNumber(mSim, ROOM, 0x001D), test.after);
    EXPECT_EQ(tableInt(ROOM, 0x001D), test.after);
    const bool writeGoes = !test.unitChangesOffline || test.writtenDuringTheSynchronisation != 0;
    EXPECT_EQ(
        sentFromTheLastSynchronisation(),
        synchronisationThen(writeGoes ? std::vector<std::string>{ROOM_WRITE} : std::vector<std::string>{}))
        << "the synchronisation first, the write that waited after it";
    if (test.writtenDuringTheSynchronisation != 0) {
        const auto sent = publishesOf(ROOM, 0x001D);
        EXPECT_EQ(std::count_if(sent.begin(), sent.end(),
                                [&test](const sim::SimPublish& p) {
                                    return p.value.number() == test.writtenDuringTheSynchronisation;
                                }),
                  1);
        EXPECT_EQ(std::count_if(sent.begin(), sent.end(),
                                [](const sim::SimPublish& p) { return p.value.number() == 1800; }),
                  0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Fates, ALaterWriteTest,
    ::testing::Values(LaterWriteCase{"NotCrossed", false, false, 1800},
                      LaterWriteCase{"Crossed", true, false, 1800},
                      LaterWriteCase{"NotCrossedTheUnitChangedItSince", false, true, 2000},
                      LaterWriteCase{"CrossedTheUnitChangedItSince", true, true, 2000},
                      LaterWriteCase{"WrittenAgainDuringTheSynchronisation", false, false, 2100, 2100},
                      LaterWriteCase{"TheUnitChangedItSinceWrittenAgainDuringTheSynchronisation", true, true,
                                     2100, 2100}),
    [](const auto& info) { return std::string(info.param.name); });

// Within a session: a write still waiting for its turn stays against the control unit's value republished
// unchanged, and against a new one too: it reaches the unit after that value, so it is the later one there.
TEST_F(SyncTest, AWaitingWriteStaysAgainstTheControlUnitsOldValueAndItsNewOne) {
    populate();
    ASSERT_TRUE(synchronise());
    run(300);
    for (const int unitValue : {2200, 2460}) {
        ASSERT_EQ(pt_set_int(ROOM, 0x001D, 1900, BT_VTYPE_S16_X100), PT_OK);
        mSim.publish(ROOM, 0x001D, *sim::sim_number(BT_VTYPE_S16_X100, unitValue));
        run(1000);
        const int expected = 1900;
        EXPECT_EQ(tableInt(ROOM, 0x001D), expected) << unitValue;
        EXPECT_EQ(heldNumber(mSim, ROOM, 0x001D), expected) << unitValue;
        mSim.publish(ROOM, 0x001D, *sim::sim_number(BT_VTYPE_S16_X100, 2200));
        run(500);
    }
}

// A write waits for its turn (the bridge holds its traffic, as it does for an update), the unit's 24.60
// reaches the display meanwhile and the session ends before the write left. The unit still showing 24.60 at
// the next synchronisation made no change of its own since: the write goes, and both end on it. A change the
// unit made while the session was down (20.00) stands.
struct WaitingOverAResetCase {
    const char* name;
    bool unitChangesOffline;
    int after; // on both sides
};

class AWaitingWriteOverAResetTest : public SyncTest,
                                    public ::testing::WithParamInterface<WaitingOverAResetCase> {};

TEST_P(AWaitingWriteOverAResetTest, GoesAfterTheUnitsValueThatCameWhileItWaited) {
    const WaitingOverAResetCase& test = GetParam();
    populate();
    ASSERT_TRUE(synchronise());
    run(300);
    Net::Tavi.holdTraffic(true);
    ASSERT_EQ(pt_set_int(ROOM, 0x001D, 1900, BT_VTYPE_S16_X100), PT_OK);
    mSim.publish(ROOM, 0x001D, *sim::sim_number(BT_VTYPE_S16_X100, 2460));
    run(500);
    EXPECT_EQ(tableInt(ROOM, 0x001D), 1900) << "shown while it waits";
    mSim.disconnectClient();
    ASSERT_TRUE(waitFor([] { return !Net::Tavi.isConnected(); }));
    Net::Tavi.holdTraffic(false);
    if (test.unitChangesOffline) {
        mSim.model().setValue(ROOM, 0x001D, *sim::sim_number(BT_VTYPE_S16_X100, 2000));
    }
    ASSERT_TRUE(synchronise());
    run(1000);
    const auto held = mSim.value(ROOM, 0x001D);
    ASSERT_TRUE(held.has_value());
    EXPECT_EQ(held->number(), test.after);
    EXPECT_EQ(tableInt(ROOM, 0x001D), test.after);
    EXPECT_EQ(publishesOf(ROOM, 0x001D).size(), test.after == 1900 ? 1u : 0u);
    EXPECT_EQ(sentFromTheLastSynchronisation(),
              synchronisationThen(test.after == 1900 ? std::vector<std::string>{ROOM_WRITE}
                                                     : std::vector<std::string>{}))
        << "the synchronisation first, the write that waited after it";
}

INSTANTIATE_TEST_SUITE_P(Fates, AWaitingWriteOverAResetTest,
                         ::testing::Values(WaitingOverAResetCase{"TheUnitShowsWhatCameMeanwhile", false,
                                                                 1900},
                                           WaitingOverAResetCase{"TheUnitChangedItSince", true, 2000}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SyncTest, AResetDuringSynchronisationDropsTheQueuedSubscription) {
    populate();
    ASSERT_TRUE(waitFor([] { return Net::Tavi.state() == State::SubscribingAll; }));
    Net::Tavi.queue(std::make_unique<Net::QueuedTimeSync>());
    mSim.disconnectClient();
    ASSERT_TRUE(waitFor([] { return !Net::Tavi.isConnected(); }));
    EXPECT_EQ(bridgeEvents(), (std::vector<int>{5, 7, 6}));
    mSim.clearLog();

    ASSERT_TRUE(synchronise());
    // After the reset the display starts again with itself; nothing of the old queue is left.
    const size_t firstSubscribe = firstPacket(false, TNET_CMD_SUBSCRIBE);
    ASSERT_LT(firstSubscribe, mSim.log().size());
    EXPECT_EQ(get_le32(mSim.log()[firstSubscribe].payload.data()), mSelf);
    EXPECT_EQ(mSim.count(false, TNET_CMD_SYNC_TIME), 0);
    EXPECT_EQ(bridgeEvents(), (std::vector<int>{5, 7, 6, 5, 7}));
}

TEST_F(SyncTest, AConnectFromAnotherOwnerResetsThenConnectsToIt) {
    populate();
    ASSERT_TRUE(synchronise());
    constexpr u32 OTHER = 0x000999;
    std::vector<uint8_t> connect(TNET_CONNECT_SIZE);
    put_le24(connect.data(), OTHER);
    mSim.inject(DI.hw->network_address, TNET_CMD_CONNECT, 0, connect);
    mSim.inject(DI.hw->network_address, TNET_CMD_SESSION_OPEN, 0, {9});
    ASSERT_TRUE(waitFor([] { return Net::Tavi.getOwner() == OTHER; }));
    EXPECT_EQ(bridgeEvents(), (std::vector<int>{5, 7, 6, 5, 7}));
    EXPECT_EQ(snapshots()[2], (Snapshot{6, false, false, 0xFFFFFFFFu}));
    EXPECT_EQ(snapshots()[3], (Snapshot{5, true, false, OTHER}));
    EXPECT_FALSE(Net::Tavi.isSynchronized());
}

TEST_F(SyncTest, TimeTravelsBothWays) {
    populate();
    // Queued before there is a connection: it waits, and goes after the first subscription.
    Net::Tavi.queue(std::make_unique<Net::QueuedTimeSync>());
    ASSERT_TRUE(synchronise());
    ASSERT_TRUE(waitFor([this] { return !mSim.received_time_syncs().empty(); }));
    EXPECT_LT(firstPacket(false, TNET_CMD_SUBSCRIBE), firstPacket(false, TNET_CMD_SYNC_TIME));
    const int64_t sent = static_cast<int64_t>(mSim.received_time_syncs()[0]) + NETWORK_TIME_OFFSET;
    EXPECT_LE(std::llabs(sent - os_time()), 2);

    // The control unit sets the display's clock.
    const uint32_t unitTime = 800000000; // 2025-05-09
    std::vector<uint8_t> payload(TNET_SYNC_TIME_SIZE);
    put_le32(payload.data(), unitTime);
    mSim.send(TNET_CMD_SYNC_TIME, payload);
    ASSERT_TRUE(waitFor([&] { return std::llabs(os_time() - (unitTime + NETWORK_TIME_OFFSET)) <= 2; }));

    // A time the clock cannot hold is refused.
    put_le32(payload.data(), 0xFFFFFFF0u);
    mSim.send(TNET_CMD_SYNC_TIME, payload);
    ASSERT_TRUE(waitFor([] { return traceText().find("beyond the clock's range") != std::string::npos; }));
    EXPECT_LE(std::llabs(os_time() - (unitTime + NETWORK_TIME_OFFSET)), 5);

    // A sync queued now reports the clock the control unit set.
    Net::Tavi.queue(std::make_unique<Net::QueuedTimeSync>());
    ASSERT_TRUE(waitFor([this] { return mSim.received_time_syncs().size() == 2; }));
    EXPECT_LE(std::llabs(static_cast<int64_t>(mSim.received_time_syncs()[1]) - unitTime), 5);
    os_time_set(static_cast<uint32_t>(FixedWallClock::MOMENT));
}

} // namespace
} // namespace tdx::test

namespace tdx::test {
namespace {

// The callback contract, driven by hand: nothing runs the client here.
TEST_F(SyncTest, ARefusedSubscriptionIsAskedForAgainAndNothingLeavesWhileDisconnected) {
    u8 cmd = 0;
    u8 payload[TNET_MAX_COMMAND_SIZE];
    EXPECT_EQ(Net::Tavi.handleTransmit(&cmd, payload, sizeof payload), -1);
    Net::Tavi.queue(std::make_unique<Net::QueuedTimeSync>());
    EXPECT_EQ(Net::Tavi.handleTransmit(&cmd, payload, sizeof payload), -1) << "not connected";

    Net::Tavi.handleConnected(UNIT);
    EXPECT_EQ(bridgeEvents(), (std::vector<int>{5}));
    ASSERT_EQ(Net::Tavi.handleTransmit(&cmd, payload, sizeof payload), TNET_SUBSCRIBE_SIZE);
    EXPECT_EQ(cmd, TNET_CMD_SUBSCRIBE);
    EXPECT_EQ(get_le32(payload), mSelf);
    EXPECT_EQ(bridgeEvents(), (std::vector<int>{5, 7}));
    // One command at a time: nothing more until the client reports on this one.
    EXPECT_EQ(Net::Tavi.handleTransmit(&cmd, payload, sizeof payload), -1);

    Net::Tavi.handleTransmitFailed(TNET_CMD_SUBSCRIBE);
    EXPECT_NE(traceText().find("SUBSCRIBE given up, asking again"), std::string::npos);
    std::fill(std::begin(payload), std::end(payload), u8{0});
    ASSERT_EQ(Net::Tavi.handleTransmit(&cmd, payload, sizeof payload), TNET_SUBSCRIBE_SIZE);
    EXPECT_EQ(cmd, TNET_CMD_SUBSCRIBE);
    EXPECT_EQ(get_le32(payload), mSelf);
    EXPECT_EQ(bridgeEvents(), (std::vector<int>{5, 7})) << "event 7 once per connection";
    Net::Tavi.handleTransmitted(TNET_CMD_SUBSCRIBE);

    // The time sync queued while off-line follows; no value is published before synchronisation.
    EXPECT_EQ(pt_set_int(mSelf, 0x002C, 80, BT_VTYPE_U8), PT_OK);
    ASSERT_EQ(Net::Tavi.handleTransmit(&cmd, payload, sizeof payload), TNET_SYNC_TIME_SIZE);
    EXPECT_EQ(cmd, TNET_CMD_SYNC_TIME);
    Net::Tavi.handleTransmitted(TNET_CMD_SYNC_TIME);
    EXPECT_EQ(Net::Tavi.handleTransmit(&cmd, payload, sizeof payload), -1);

    // A buffer too small for the command: dropped with a trace, never overrun.
    Net::Tavi.queue(std::make_unique<Net::QueuedTimeSync>());
    EXPECT_EQ(Net::Tavi.handleTransmit(&cmd, payload, 3), -1);
    EXPECT_NE(traceText().find("could not be built"), std::string::npos);

    Net::Tavi.handleDisconnected(TNET_DISCONNECT_SUPERVISION);
    EXPECT_EQ(bridgeEvents(), (std::vector<int>{5, 7, 6}));
    EXPECT_EQ(Net::Tavi.getOwner(), 0xFFFFFFFFu);
    EXPECT_EQ(Structure.publishPending(), 0u);
    EXPECT_EQ(Net::Tavi.handleTransmit(&cmd, payload, sizeof payload), -1);
    // A second disconnect changes nothing.
    Net::Tavi.handleDisconnected(TNET_DISCONNECT_SUPERVISION);
    EXPECT_EQ(bridgeEvents(), (std::vector<int>{5, 7, 6}));
}

} // namespace
} // namespace tdx::test

namespace tdx::test {
namespace {

TEST_F(SyncTest, AfterAResetInTheReadyStateTheIdentityIsPublishedOnce) {
    populate();
    ASSERT_TRUE(synchronise());
    // The control unit goes away while the identity is on its way, and comes back.
    mSim.faults().stopPolling = true;
    ASSERT_TRUE(waitFor([] { return !Net::Tavi.isConnected(); }, TNET_SUPERVISION_MS + 500));
    const size_t before = mSim.received_publishes().size();
    mSim.faults().stopPolling = false;
    ASSERT_TRUE(synchronise());
    run(1000);
    int own = 0;
    for (size_t i = before; i < mSim.received_publishes().size(); ++i) {
        own += mSim.received_publishes()[i].oid == mSelf;
    }
    EXPECT_EQ(own, 9) << "seven identity values, the value list and the device state";
}

} // namespace
} // namespace tdx::test
