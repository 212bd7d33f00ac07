#include "SourceApp/application/AlarmMgr.h"

#include "SourceApp/application/App.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/gui/core/Core.h"
#include "SourceApp/gui/core/Form.h"
#include "SourceApp/storage/values/Builders.h"
#include "SourceHost/api_lib/devices.h"
#include "tests/support/fresh_application.h"
#include "tests/support/trace_capture.h"

#include <gtest/gtest.h>

#include <vector>

namespace tdx {
namespace {

using namespace DataModel;

constexpr Descriptor::AlarmRow ROWS[] = {{1, "Problem"}};
constexpr Descriptor::VidAlarm ALARM = Build::alarm("Test alarm", 0x4010, BT_VTYPE_U8, ROWS, 1);
constexpr Descriptor::VidAlarm WARNING = Build::alarm("Test warning", 0x4011, BT_VTYPE_U16, ROWS, 0);
constexpr const Value* VALUES[] = {&Build::Plain<ALARM>, &Build::Plain<WARNING>};
constexpr ObjectTemplate TEST_TEMPLATE{"Test", VALUES};

constexpr oid_t OBJECT = 0x010203;

// The screen on show: keeps the ids of the system messages it receives.
class Screen final : public Form {
public:
    Screen()
        : Form(State(9)) {}
    void handleMessage(Message* message) override { ids.push_back(message->id); }
    std::vector<unsigned> ids;
};

class AlarmManager : public test::FreshApplication {
protected:
    void SetUp() override {
        FreshApplication::SetUp(); // its GUI core shows the screen
        buzzer.stop();
        proxytab_init();
        Structure.clear();
        Structure.addObjectAppendHandler(&alarms);
        Structure.addObjectRemoveHandler(&alarms);
        Structure.addValueChangeHandler(&alarms);
        Structure.append(new ProxyObject(OBJECT, ObjectInfo(6, 0), &TEST_TEMPLATE));
        screen = new Screen;
    }
    void TearDown() override {
        delete screen;
        Structure.removeObjectAppendHandler(&alarms);
        Structure.removeObjectRemoveHandler(&alarms);
        Structure.removeValueChangeHandler(&alarms);
        Structure.clear();
        buzzer.stop();
        FreshApplication::TearDown();
    }

    // The control unit reports a value; the tree and the GUI core run once. The messages of that pass.
    std::vector<unsigned> report(vid_t vid, uint32_t value, bt_vtype type = 0) {
        const bt_vtype vtype = type != 0 ? type : (vid == 0x4010 ? BT_VTYPE_U8 : BT_VTYPE_U16);
        const uint8_t bytes[] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
        pt_store(OBJECT, vid, vtype, bytes, bt_vtype_width(vtype), 0, PT_ORIGIN_NETWORK);
        return pass();
    }
    std::vector<unsigned> pass() {
        Structure.task();
        screen->ids.clear();
        getApplication()->getCore()->task();
        return screen->ids;
    }
    // The frequency the buzzer sounds at its next tick, 0 for silence.
    static unsigned heard() {
        buzzer_tick();
        const buzzer_platform_call call = buzzer_platform_last();
        return call.kind == buzzer_platform_call::Play ? call.frequency : 0;
    }
    // Ticks until the melody has played through once: true when it starts again at its first note.
    static bool loopsAfter(int ticks, unsigned firstNote) {
        for (int i = 1; i < ticks; ++i) {
            buzzer_tick();
        }
        return heard() == firstNote;
    }
    size_t entries() const { return static_cast<size_t>(std::distance(alarms.begin(), alarms.end())); }

    test::TraceCapture trace;
    AlarmMgr alarms;
    Screen* screen = nullptr;
};

using Messages = std::vector<unsigned>;

TEST_F(AlarmManager, AnAlarmIsAddedUpdatedAndRemovedWithItsMelodyAndMessages) {
    EXPECT_EQ(report(0x4010, 3), Messages{MSG_ALARM_ADDED});
    EXPECT_EQ(alarms.getAlarmState(), AlarmState::Alarm);
    EXPECT_EQ(heard(), 2500u);
    EXPECT_TRUE(loopsAfter(513, 2500)) << "the alarm melody loops";

    EXPECT_EQ(report(0x4010, 5), Messages{MSG_ALARM_CHANGED});
    EXPECT_EQ(alarms.begin()->value, 5u);
    EXPECT_NE(heard(), 0u) << "an update does not stop the melody";

    EXPECT_EQ(report(0x4010, 0xFF), Messages{MSG_ALARM_REMOVED}) << "no valid value counts as inactive";
    EXPECT_EQ(entries(), 0u);
    EXPECT_EQ(heard(), 0u);
    EXPECT_EQ(report(0x4010, 0), Messages{});
}

TEST_F(AlarmManager, AWarningPlaysOnceAloneAnAlarmJoiningItSoundsAndAWarningBesideAnAlarmKeepsItsSnooze) {
    EXPECT_EQ(report(0x4011, 1), Messages{MSG_ALARM_ADDED});
    EXPECT_EQ(alarms.getAlarmState(), AlarmState::Warnings);
    EXPECT_EQ(heard(), 1976u);
    EXPECT_FALSE(loopsAfter(240, 1976)) << "the warning melody plays once";
    EXPECT_EQ(buzzer.status(), 0);

    EXPECT_EQ(report(0x4010, 1), Messages{MSG_ALARM_ADDED});
    EXPECT_EQ(heard(), 2500u) << "an alarm among warnings sounds its melody";
    report(0x4011, 0);
    alarms.snooze();
    EXPECT_TRUE(alarms.isSnoozed());
    EXPECT_EQ(report(0x4011, 2), Messages{MSG_ALARM_ADDED});
    EXPECT_EQ(heard(), 0u);
    EXPECT_TRUE(alarms.isSnoozed());
    EXPECT_EQ(alarms.getAlarmState(), AlarmState::Alarm);

    alarms.setMuted(true);
    report(0x4010, 0);
    report(0x4010, 4);
    EXPECT_EQ(heard(), 0u) << "muted";
}

TEST_F(AlarmManager, ValuesThatAreNoAlarmOfTheListNeverBecomeEntries) {
    const bt_obj_info device{2, 0, 0, 0};
    Structure.append(new ProxyObject(0x020304, ObjectInfo(device), Database::findObjectTemplate(device)));
    for (vid_t excluded : {0x4001, 0x4002, 0x4003}) {
        pt_set_int(0x020304, excluded, 1, BT_VTYPE_U32);
    }
    EXPECT_EQ(report(0x4010, 3, BT_VTYPE_U16), Messages{}); // a type the object type does not have here
    EXPECT_TRUE(trace.contains("value 4010 is type 12, not 13"));
    EXPECT_EQ(entries(), 0u);
    EXPECT_EQ(heard(), 0u);
    alarms.snooze();
    EXPECT_FALSE(alarms.isSnoozed()) << "nothing to snooze";
}

TEST_F(AlarmManager, AnAppendedObjectIsScannedForTheAlarmsOfItsValueIdList) {
    // The value table holds lists of up to 128 ids: a longer one never reaches the manager.
    std::vector<uint16_t> ids(150, 0x8001);
    const oid_t other = 0x030405;
    EXPECT_NE(pt_set_data(other, VID_VALUE_LIST, ids.data(), 300), 0);
    ids[127] = 0x4010;
    ids[126] = 0x4011;
    pt_set_data(other, VID_VALUE_LIST, ids.data(), 256);
    pt_set_int(other, 0x4010, 2, BT_VTYPE_U8);
    Structure.task();
    Structure.append(new ProxyObject(other, ObjectInfo(6, 0), &TEST_TEMPLATE));
    ASSERT_EQ(entries(), 1u) << "the warning has no value in the table";
    EXPECT_EQ(alarms.begin()->vid, 0x4010);

    EXPECT_EQ(pass(), Messages{MSG_ALARM_ADDED});
    Structure.remove(OBJECT); // no entries of its own
    EXPECT_EQ(pass(), Messages{});
    Structure.remove(other);
    EXPECT_EQ(pass(), Messages{MSG_ALARM_REMOVED});
    EXPECT_EQ(heard(), 0u);
}

TEST_F(AlarmManager, DisablingForgetsEveryEntryAndEnablingPicksUpTheActiveAlarmsOfTheTree) {
    const uint16_t ids[] = {0x4010, 0x4011};
    pt_set_data(OBJECT, VID_VALUE_LIST, ids, sizeof ids);
    report(0x4010, 1);
    report(0x4011, 1);
    alarms.setEnabled(false);
    EXPECT_EQ(pass(), Messages{MSG_ALARM_REMOVED});
    EXPECT_EQ(alarms.getAlarmState(), AlarmState::None);
    EXPECT_EQ(report(0x4010, 2), Messages{});
    alarms.setEnabled(true);
    EXPECT_EQ(entries(), 2u);
    EXPECT_EQ(alarms.begin()->value, 2u);
}

} // namespace
} // namespace tdx
