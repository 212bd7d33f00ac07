// Widgets bound to values: the form model's order and ownership, the switch that writes its value, the
// adapters and listeners, and the top bar's clock, driven by values from the control unit and by touch.
#include "SourceApp/application/commands/bindings/DatetimeItem.h"
#include "SourceApp/application/commands/bindings/FormModel.h"
#include "SourceApp/application/commands/bindings/ProxySwitchButton.h"
#include "SourceApp/application/commands/bindings/ValueAdapters.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/SortedIconList.h"
#include "SourceApp/application/controls/TopBar.h"
#include "SourceApp/storage/values/Catalogue.h"
#include "tests/support/screen_harness.h"

#include <string>
#include <vector>

namespace tdx::test {
namespace {

namespace I = DataModel::Implementation;

constexpr oid_t ROOM = 0x01000316;
constexpr vid_t AIR = 0x000C;
constexpr vid_t FLOOR = 0x000D;

class BindingsTest : public ScreenHarness {
protected:
    std::vector<std::string> mLog;
};

// Writes its runs and its end into the log.
class Recording : public ICommand {
public:
    Recording(std::vector<std::string>& log, std::string name)
        : mLog(log)
        , mName(std::move(name)) {}
    ~Recording() override { mLog.push_back("~" + mName); }
    void execute() override { mLog.push_back(mName); }

private:
    std::vector<std::string>& mLog;
    std::string mName;
};

class RecordingListener : public DataModel::Listener {
public:
    RecordingListener(std::vector<std::string>& log, std::string name)
        : mLog(log)
        , mName(std::move(name)) {}
    ~RecordingListener() override { mLog.push_back("~" + mName); }

protected:
    void handleNotify(ProxyObject&, const Ovi&) override { mLog.push_back(mName); }

private:
    std::vector<std::string>& mLog;
    std::string mName;
};

using Log = std::vector<std::string>;

TEST_F(BindingsTest, TheFormModelRunsBindingsInOrderThenListenersAndFreesAllOnce) {
    constexpr vid_t MODE = 0x8005;
    room(ROOM).value(AIR, 2000).value(FLOOR, 2200).value(MODE, BT_VTYPE_U8, 0);
    runTasks();
    auto model = std::make_unique<FormModel>();
    model->bind(new Recording(mLog, "A"), Ovi(ROOM, AIR));
    model->bind(new Recording(mLog, "B"), Ovi(ROOM, AIR));
    model->bind(new Recording(mLog, "C"), Ovi(ROOM, FLOOR));
    model->addListener(std::make_unique<RecordingListener>(mLog, "L1"));
    model->addListener(std::make_unique<RecordingListener>(mLog, "L2"));
    EXPECT_EQ(mLog, (Log{"A", "B", "C"})) << "each binding runs once at its bind, listeners not at all";

    const struct {
        vid_t vid;
        Log runs;
    } changes[] = {{AIR, {"A", "B", "L1", "L2"}}, {FLOOR, {"C", "L1", "L2"}}, {MODE, {"L1", "L2"}}};
    for (const auto& change : changes) {
        mLog.clear();
        receive(ROOM, change.vid, 1);
        runTasks();
        EXPECT_EQ(mLog, change.runs) << "change of " << change.vid;
    }

    mLog.clear();
    model.reset();
    EXPECT_EQ(mLog, (Log{"~L1", "~L2", "~A", "~B", "~C"}));
    mLog.clear();
    receive(ROOM, AIR, 2300);
    runTasks();
    EXPECT_TRUE(mLog.empty()) << "a destroyed model hears nothing";
    EXPECT_THROW(FormModel().bind(nullptr, Ovi(ROOM, AIR)), FailedAssertion);
}

class SwitchBindingTest : public BindingsTest {
protected:
    static constexpr vid_t DST = 0x8075;
    UnsignedOvi ovi() const {
        return UnsignedOvi(OID_LOCATION, DST, BT_VTYPE_U8, &I::Location::DaylightSavings);
    }
};

TEST_F(SwitchBindingTest, TheSwitchIsOnWhileTheValueIsValidAndItsLowByteIsNotZero) {
    Form* form = blank();
    location();
    const struct {
        const char* name;
        std::function<void()> given;
        bool on;
    } cases[] = {
        {"no entry", [] {}, false},
        {"1", [this] { location().value(DST, BT_VTYPE_U16, 1); }, true},
        {"0x201", [this] { location().value(DST, BT_VTYPE_U16, 0x201); }, true},
        {"0x100", [this] { location().value(DST, BT_VTYPE_U16, 0x100); }, false},
        {"no valid value", [this] { location().invalid(DST); }, false},
    };
    for (const auto& c : cases) {
        c.given();
        auto* s = new ProxySwitchButton(form, 20, 20, ovi());
        EXPECT_EQ(s->getChecked(), c.on) << c.name;
        EXPECT_EQ(s->getText(), c.on ? "On" : "Off") << c.name;
        delete s;
    }
    EXPECT_EQ(published().size(), 0u) << "showing a value writes nothing";
}

TEST_F(SwitchBindingTest, ATapWritesTheNewStateOnceAndTheNetworkMovesTheSwitchWithoutAnEcho) {
    location().value(DST, 0);
    connect();
    Form* form = blank();
    auto* s = new ProxySwitchButton(form, 20, 20, ovi());
    runTasks();
    screenshot("proxy_switch_off");
    tap(s);
    EXPECT_EQ(published(), (Published{{OID_LOCATION, DST, 1}}));
    bt_vtype vtype = 0;
    pt_get_vtype(&vtype, OID_LOCATION, DST);
    EXPECT_EQ(vtype, BT_VTYPE_U8) << "written in the value's own type";
    EXPECT_EQ(messages(MSG_CHANGE, s), 1);

    receive(OID_LOCATION, DST, 0);
    runTasks();
    EXPECT_FALSE(s->getChecked()) << "the switch follows the control unit";
    receive(OID_LOCATION, DST, 0x100);
    runTasks();
    EXPECT_FALSE(s->getChecked());
    EXPECT_EQ(published().size(), 1u) << "a change from the network is not sent back";
    tap(s);
    EXPECT_EQ(published().back(), PublishedValue(OID_LOCATION, DST, 1));
    tap(s);
    EXPECT_EQ(published().back(), PublishedValue(OID_LOCATION, DST, 0));
    EXPECT_EQ(published().size(), 3u);
}

TEST_F(BindingsTest, TheIconAdapterShowsTheIconOfTheCurrentValueOnly) {
    Form* form = blank();
    auto* list = new SortedIconList(form, 100, 20, 200, 30);
    for (uint32_t key : {10u, 11u, 12u}) {
        list->add(key, res_bell, 0);
    }
    constexpr vid_t MODE = 0x8005;
    room(ROOM).value(MODE, BT_VTYPE_U8, 0);
    FormModel model;
    auto* adapter = new UnsignedValueToIconListAdapter(
        list, UnsignedOvi(ROOM, MODE, BT_VTYPE_U8, &I::Location::DaylightSavings));
    for (unsigned value : {0u, 1u, 2u}) {
        adapter->addIconIndex(value, 10 + value);
    }
    model.bind(adapter, Ovi(ROOM, MODE));
    const struct {
        int value; // -1: no valid value
        std::vector<bool> shown;
    } cases[] = {{0, {true, false, false}},
                 {2, {false, false, true}},
                 {7, {false, false, false}},
                 {-1, {false, false, false}}};
    for (const auto& c : cases) {
        if (c.value < 0) {
            room(ROOM).invalid(MODE);
        } else {
            receive(ROOM, MODE, c.value);
        }
        runTasks();
        for (uint32_t i = 0; i < 3; ++i) {
            EXPECT_EQ(list->getItem(10 + i)->visible, c.shown[i]) << "value " << c.value << " icon " << i;
        }
    }
}

TEST_F(BindingsTest, ADeviceMeasurementShowsOffLineWhileItsDeviceIs) {
    Form* form = blank();
    constexpr uint32_t DEVICE = 0x000777;
    const oid_t sensor = oid_make(DEVICE, 2);
    auto* plain = new Label(form, 20, 20, &bif_myriad12, "", HorizontalAlign::Left);
    auto* custom = new Label(form, 20, 50, &bif_myriad12, "", HorizontalAlign::Left);
    FormModel model;
    const SignedOvi air(sensor, AIR, BT_VTYPE_S16_X100, &I::General::AirTemperature);
    model.addListener(std::make_unique<DeviceNumberToStringListener>(plain, air, ""));
    model.addListener(std::make_unique<DeviceNumberToStringListener>(custom, air, "Asleep"));
    EXPECT_EQ(plain->getText(), "--") << "the object is not in the tree yet";

    device(DEVICE);
    object(sensor, BT_OBJ_INPUT).value(AIR, BT_VTYPE_S16_X100, 2150);
    runTasks();
    EXPECT_EQ(plain->getText(), "21.5\u00B0");
    object(oid_make(DEVICE, 0), BT_OBJ_DEVICE).value(VID_DEVICE_STATE, BT_VTYPE_U8, 1);
    runTasks();
    EXPECT_EQ(plain->getText(), "Off-line");
    EXPECT_EQ(custom->getText(), "Asleep");
    receive(oid_make(DEVICE, 0), VID_DEVICE_STATE, 2);
    receive(sensor, AIR, -50);
    runTasks();
    EXPECT_EQ(custom->getText(), "-0.5\u00B0");
}

class ClockTest : public BindingsTest {
protected:
    Label* label(DatetimeItem* item, int index) const {
        return static_cast<Label*>(item->getChildren().at(static_cast<size_t>(index)));
    }
};

TEST_F(ClockTest, TheClockChangesOnlyOnEverySixteenthTick) {
    Form* form = blank();
    auto* item = new DatetimeItem(form, 200, 0, 120, 30);
    EXPECT_EQ(label(item, 0)->getText(), "12:00");
    EXPECT_EQ(label(item, 1)->getText(), "March 04");
    setTime(START_TIME + 125);
    while ((tickCount() + 1) % 16 != 0) {
        tick();
        EXPECT_EQ(label(item, 0)->getText(), "12:00") << "tick " << tickCount();
    }
    tick();
    EXPECT_EQ(label(item, 0)->getText(), "12:02");

    location().value(0x002E, 3600); // the installation's local time is an hour ahead of UTC
    tick(16);
    EXPECT_EQ(label(item, 0)->getText(), "13:02");
}

TEST_F(ClockTest, TheNumberFollowsTheLocationsOutdoorTemperatureOnly) {
    Form* form = blank();
    auto* item = new DatetimeItem(form, 200, 0, 120, 30);
    Label* number = label(item, 2);
    EXPECT_EQ(number->getText(), "--") << "no location yet";
    EXPECT_NE(trace().find("value 0036 is missing"), std::string::npos);

    location().value(DatetimeItem::VID_NUMBER, -340);
    runTasks();
    EXPECT_EQ(number->getText(), "-3.4\u00B0");
    EXPECT_EQ(number->getRight(), item->getRight() - 17) << "the number ends 17 pixels inside the item";

    // Another object's 0x36 and another value of the location leave the number as it was, even while the
    // location's own value has moved on unannounced.
    room(ROOM).value(DatetimeItem::VID_NUMBER, BT_VTYPE_S16_X100, 900);
    location().value(0x0028, 100).value(DatetimeItem::VID_NUMBER, 1200);
    ProxyObject& room = *Structure.find(ROOM);
    static_cast<ProxyValueChangeHandler*>(item)->onProxyValueChange(
        room, OviEx(DatetimeItem::VID_NUMBER, ROOM, 18));
    static_cast<ProxyValueChangeHandler*>(item)->onProxyValueChange(*Structure.find(OID_LOCATION),
                                                                    OviEx(0x0028, OID_LOCATION, 18));
    EXPECT_EQ(number->getText(), "-3.4\u00B0");
    runTasks();
    EXPECT_EQ(number->getText(), "12.0\u00B0");

    delete item;
    receive(OID_LOCATION, DatetimeItem::VID_NUMBER, 1300);
    runTasks(); // a deleted item is no longer told

    auto* bar = new TopBar(form);
    new Spacer(bar, 0, 0, 199, 30);
    auto* clock = new DatetimeItem(bar, 0, 0, 120, 30);
    runTasks();
    EXPECT_EQ(label(clock, 2)->getText(), "13.0\u00B0");
    EXPECT_EQ(label(clock, 2)->getRight(), 319 - 17) << "the labels move with the item into the bar";
    screenshot("top_bar_with_clock");
}

} // namespace
} // namespace tdx::test
