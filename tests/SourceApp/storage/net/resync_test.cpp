// A complete synchronisation leaves the display with what the control unit holds: a value the unit no longer
// has (taken back by the simulator's restore) goes from the table as if it had never come, and what shows it
// hears of it; the display's own values and the user's writes not sent yet stay.
#include "bridge_harness.h"

#include "tools/simcu/sim_installer.h"

#include <optional>

namespace tdx::test {
namespace {

using sim::SimInstaller;

constexpr oid_t ROOM = 0x01000316;
constexpr vid_t ADDED = 0x8099;      // set on the unit after the backup
constexpr vid_t NEVER_SENT = 0x809A; // never held by anyone: what a fresh start reads
constexpr vid_t NAME = 0x8090;

class ResyncTest : public BridgeTest {
protected:
    void SetUp() override {
        BridgeTest::SetUp();
        addUnitWithRoom(ROOM);
        mSim.publish(LOCATION, NAME, sim::sim_text(BT_VTYPE_TEXT, {'A'}));
        ASSERT_TRUE(synchronise());
    }
    // The installer's request (backup or restore), taken by the unit.
    void request(vid_t vid) {
        ASSERT_EQ(pt_set_int(LOCATION, vid, 1, BT_VTYPE_U8), PT_OK);
        ASSERT_TRUE(waitFor([this, vid] { return holds(mSim, LOCATION, vid, 1); }));
    }
    static int reading(oid_t oid, vid_t vid) {
        int value = 0;
        const int result = pt_get_int(&value, oid, vid);
        return result == PT_OK ? value : result;
    }
    static bool synchronisingAll() { return Net::Tavi.state() == Net::TaviProtocol::State::SubscribingAll; }

    SimInstaller mInstaller{mSim};
    TreeRecorder mRecorder;
};

// What happens around the restart that follows the restore.
enum class Around {
    Nothing,
    WrittenWhileTheUnitIsSilent,     // the user's write waits for the session: kept over the loss
    WrittenDuringTheSynchronisation, // waits until the synchronisation is complete
    SynchronisationCutShort,         // the first synchronisation after the restart is lost half-way
    // The unit holds the value again after the restart, the first synchronisation brings it and is lost
    // half-way, and the unit no longer holds it when the next one comes.
    BroughtByASynchronisationCutShort,
};

// A value set on the unit after the backup (on the location, a room or the display's own device) is no more
// on the unit once the restore took the backup back.
struct ResyncCase {
    const char* name;
    oid_t oid; // 0: the display's own device
    Around around;
    int display;                 // what the display reads afterwards (a result code when negative)
    std::optional<int64_t> unit; // what the unit holds afterwards
};

class AResyncTest : public ResyncTest, public ::testing::WithParamInterface<ResyncCase> {};

TEST_P(AResyncTest, HoldsOnlyWhatTheUnitHolds) {
    const ResyncCase& test = GetParam();
    const oid_t oid = test.oid == 0 ? mSelf : test.oid;
    request(SimInstaller::VID_BACKUP);
    ASSERT_TRUE(waitFor([this] { return mInstaller.backups() == 1; }, 5000));
    mSim.publish(oid, ADDED, BT_VTYPE_U16, 7);
    mSim.publish(LOCATION, NAME, sim::sim_text(BT_VTYPE_TEXT, {'B'}));
    ASSERT_TRUE(waitFor([oid] { return reading(oid, ADDED) == 7; }));
    if (test.oid == 0) {
        mSim.model().removeValue(oid, ADDED); // the restore keeps the display's own values: not this one
    }
    request(SimInstaller::VID_RESTORE);
    ASSERT_TRUE(waitFor([this] { return mInstaller.restarting(); }, 10000));
    EXPECT_FALSE(mSim.value(oid, ADDED).has_value()) << "taken back with the backup";
    if (test.around == Around::WrittenWhileTheUnitIsSilent) {
        ASSERT_EQ(pt_set_int(oid, ADDED, 9, BT_VTYPE_U16), PT_OK);
    }
    const bool brought = test.around == Around::BroughtByASynchronisationCutShort;
    if (brought) {
        mSim.model().setValue(oid, ADDED, *sim::sim_number(BT_VTYPE_U16, 8));
    }
    ASSERT_TRUE(waitFor([] { return !Net::Tavi.isConnected(); }, 5000));
    const int changes = mRecorder.changesOf(oid, ADDED);
    if (test.around == Around::SynchronisationCutShort || brought ||
        test.around == Around::WrittenDuringTheSynchronisation) {
        ASSERT_TRUE(mSim.wait_until(synchronisingAll, 15000, 1));
    }
    if (brought) {
        // Cut short as soon as the answer has brought the value.
        ASSERT_TRUE(mSim.wait_until([oid] { return reading(oid, ADDED) == 8; }, 15000, 1));
        ASSERT_TRUE(synchronisingAll());
        mSim.disconnectClient();
        ASSERT_TRUE(waitFor([] { return !Net::Tavi.isConnected(); }));
        const std::string trace = traceText();
        EXPECT_EQ(trace.find("tavi: ready", trace.rfind("tavi: connected to")), std::string::npos)
            << "cut short before its last SYNCHRONIZED";
        mSim.model().removeValue(oid, ADDED);
    } else if (test.around == Around::SynchronisationCutShort) {
        mSim.disconnectClient();
        ASSERT_TRUE(waitFor([] { return !Net::Tavi.isConnected(); }));
        EXPECT_EQ(reading(oid, ADDED), 7) << "nothing goes with a synchronisation cut short";
    } else if (test.around == Around::WrittenDuringTheSynchronisation) {
        ASSERT_EQ(pt_set_int(oid, ADDED, 9, BT_VTYPE_U16), PT_OK);
    }
    ASSERT_TRUE(waitFor([] { return Net::Tavi.isSynchronized(); }, 15000));
    run(1000);

    const bool written = test.around == Around::WrittenWhileTheUnitIsSilent ||
                         test.around == Around::WrittenDuringTheSynchronisation;
    EXPECT_EQ(sentFromTheLastSynchronisation(),
              synchronisationThen(written ? std::vector<std::string>{"publish FEFFFFFE:8099"}
                                          : std::vector<std::string>{}))
        << "the synchronisation first, the write that waited after it";
    EXPECT_EQ(reading(oid, ADDED), test.display);
    if (test.display < 0) {
        EXPECT_EQ(reading(oid, ADDED), reading(oid, NEVER_SENT)) << "as on a fresh start";
        EXPECT_GT(mRecorder.changesOf(oid, ADDED), changes) << "what shows it hears that it went";
    }
    const auto held = mSim.value(oid, ADDED);
    EXPECT_EQ(held ? std::optional<int64_t>(held->number()) : std::nullopt, test.unit);
    std::string name;
    EXPECT_EQ(pt_get_text(&name, LOCATION, NAME), PT_OK);
    EXPECT_EQ(name, "A") << "the backup's value";
}

INSTANTIATE_TEST_SUITE_P(
    Values, AResyncTest,
    ::testing::Values(ResyncCase{"ALocationValue", LOCATION, Around::Nothing, PT_ERR_NO_ENTRY, std::nullopt},
                      ResyncCase{"ARoomValue", ROOM, Around::Nothing, PT_ERR_NO_ENTRY, std::nullopt},
                      ResyncCase{"AValueOfTheDisplaysOwnDevice", 0, Around::Nothing, 7, std::nullopt},
                      ResyncCase{"WrittenWhileTheUnitIsSilent", LOCATION, Around::WrittenWhileTheUnitIsSilent,
                                 9, 9},
                      ResyncCase{"WrittenDuringTheSynchronisation", LOCATION,
                                 Around::WrittenDuringTheSynchronisation, 9, 9},
                      ResyncCase{"AfterASynchronisationCutShort", LOCATION, Around::SynchronisationCutShort,
                                 PT_ERR_NO_ENTRY, std::nullopt},
                      ResyncCase{"BroughtByASynchronisationCutShortThenGone", LOCATION,
                                 Around::BroughtByASynchronisationCutShort, PT_ERR_NO_ENTRY, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

// A value the unit holds in a form the display refuses (a type it does not know) is left out of a complete
// synchronisation although it exists: the display answers its PUBLISH with NACK 3 and the unit gives it up.
// The display cannot show what the unit holds, so it shows the value missing, not the content it had before.
TEST_F(ResyncTest, AValueTheDisplayCannotTakeReadsAsMissing) {
    mSim.publish(LOCATION, ADDED, BT_VTYPE_U16, 7);
    ASSERT_TRUE(waitFor([] { return reading(LOCATION, ADDED) == 7; }));
    mSim.model().setValue(LOCATION, ADDED, sim::SimValue{21, true, 0, {1, 2}});
    mSim.disconnectClient();
    ASSERT_TRUE(waitFor([] { return !Net::Tavi.isConnected(); }));
    ASSERT_TRUE(synchronise());
    run(500);
    EXPECT_EQ(reading(LOCATION, ADDED), PT_ERR_NO_ENTRY);
    EXPECT_GE(traceCount("refused (malformed"), 1u);
    EXPECT_TRUE(mSim.value(LOCATION, ADDED).has_value()) << "the unit still holds it";
}

} // namespace
} // namespace tdx::test
