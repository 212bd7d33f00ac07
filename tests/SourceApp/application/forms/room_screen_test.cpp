// The room screen: the desired temperature set with the up-down and written once after the commit delay, the
// presets and the schedule box, the mode label, the status with its blocking reason, and the limits of each
// season and program.
#include "SourceApp/application/controls/Checkbox.h"
#include "SourceApp/application/controls/Icon.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/TextFrame.h"
#include "SourceApp/application/controls/Timeline.h"
#include "SourceApp/application/controls/UpDown.h"
#include "SourceApp/application/forms/room/FormRoomEdit.h"
#include "SourceApp/system/SystemMgr.h"
#include "tests/SourceApp/application/forms/forms_fixture.h"

#include <algorithm>

namespace tdx::test {
namespace {

constexpr unsigned HOME_SCREEN = 9;
constexpr unsigned ROOM_SCREEN = 13;
constexpr oid_t ROOM = 0x01000316;
constexpr oid_t THERMOSTAT = 0x00000520;
constexpr vid_t DESIRED = 0x001D;
constexpr vid_t MODE = 0x8004;
constexpr vid_t OVERRIDE = 0x8005;
constexpr vid_t OVERRIDE_END = 0x8006;
constexpr vid_t SEASON = 0x803D;
constexpr vid_t STANDBY = 0x8087;
// Midnight at the start of the day after the harness's start, UTC.
constexpr uint32_t TOMORROW = 1772668800;

class RoomScreenTest : public FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        location().value(SEASON, 0).value(STANDBY, 0).value(0x8085, 0).value(0x8086, 0);
        room(ROOM)
            .text(VID_NAME, "Study")
            .value(0x001B, 2)
            .value(0x001C, 0)
            .value(DESIRED, 2100)
            .value(MODE, 3)
            .value(OVERRIDE, 0)
            .value(OVERRIDE_END, 0)
            .value(0x8010, 500)
            .value(0x8018, 1000)
            .value(0x8019, 3000)
            .value(0x801A, 2100)
            .value(0x801B, 1900)
            .value(0x801C, 2150)
            .value(0x801D, 2300)
            .value(0x802B, 1800)
            .value(0x802C, 3200)
            .value(0x8084, 1)
            .value(0x000C, 2130);
        connect();
        runTasks();
    }
    void openRoom() {
        open(ROOM_SCREEN, ROOM);
        published();
    }
    // Values written since the last call.
    Published writes() {
        const size_t before = mSeen;
        const Published& all = published();
        mSeen = all.size();
        return Published(all.begin() + static_cast<long>(before), all.end());
    }
    NumericUpDown<int>* upDown() const { return find<NumericUpDown<int>>(); }
    IconButton* arrow(bool up) const {
        std::vector<IconButton*> arrows;
        for (IconButton* b : findAll<IconButton>()) {
            if (b->isChildOf(upDown())) {
                arrows.push_back(b);
            }
        }
        auto byLeft = [](IconButton* a, IconButton* b) { return a->getLeft() < b->getLeft(); };
        return up ? *std::max_element(arrows.begin(), arrows.end(), byLeft)
                  : *std::min_element(arrows.begin(), arrows.end(), byLeft);
    }
    ContainedLabel* setTemperatureLabel() const {
        return find<ContainedLabel>([](const ContainedLabel& l) { return l.getText() == "Set temperature"; });
    }
    std::vector<CheckIconButton*> boxes() const { return findAll<CheckIconButton>(); } // schedule, 3 presets
    std::string modeLabel() const {
        return find<ContainedLabel>([](const ContainedLabel& l) { return l.getHeight() == 16; })->getText();
    }
    const TextFrame* statusText() const {
        std::vector<TextFrame*> frames = findAll<TextFrame>();
        return frames.size() == 2 ? frames[1] : nullptr; // after the room source text
    }

    size_t mSeen = 0;
};

TEST_F(RoomScreenTest, TwoTapsUpGreyTheLabelAndWriteTheNewTemperatureOnceASecondLater) {
    openRoom();
    tap(arrow(true));
    tick();
    tap(arrow(true));
    tick();
    EXPECT_EQ(upDown()->getValue(), 2100) << "shown, not yet committed";
    EXPECT_NE(findByText("22.0\u00B0"), nullptr);
    EXPECT_EQ(setTemperatureLabel()->getFaceColor(), colour::DISABLED);
    EXPECT_TRUE(writes().empty());
    wait(1000);
    runTasks();
    EXPECT_EQ(writes(), (Published{{ROOM, 0x801A, 2200}})) << "a fixed mode sets the manual temperature";
    EXPECT_EQ(setTemperatureLabel()->getFaceColor(), colour::TEXT);
    wait(2000);
    EXPECT_TRUE(writes().empty());
}

// The user raises the temperature and leaves the screen within the commit delay: the raise is written once as
// the screen closes, and the screen that follows stands.
TEST_F(RoomScreenTest, ARaiseLeftPendingWhenTheScreenClosesIsWrittenOnce) {
    openRoom();
    tap(arrow(true));
    tick();
    EXPECT_TRUE(writes().empty());
    open(HOME_SCREEN);
    EXPECT_EQ(writes(), (Published{{ROOM, 0x801A, 2150}}));
    wait(2000);
    EXPECT_TRUE(writes().empty());
    EXPECT_EQ(state().getStateId(), HOME_SCREEN);
}

TEST_F(RoomScreenTest, OnItsScheduleARaiseOverridesTheScheduleFirst) {
    room(ROOM).value(MODE, 0);
    runTasks();
    openRoom();
    EXPECT_TRUE(boxes()[0]->getChecked());
    EXPECT_TRUE(find<Timeline>()->isVisible());
    tap(arrow(false));
    wait(1100);
    EXPECT_EQ(writes(), (Published{{ROOM, OVERRIDE, 3}, {ROOM, 0x8020, 2050}}));
}

TEST_F(RoomScreenTest, UntickingTheScheduleWhileOverriddenCancelsTheOverrideWithOneWriteEach) {
    room(ROOM).value(MODE, 0).value(OVERRIDE, 3).value(OVERRIDE_END, TOMORROW);
    runTasks();
    openRoom();
    ASSERT_TRUE(boxes()[0]->getChecked());
    tap(boxes()[0]);
    runTasks(3);
    EXPECT_EQ(writes(), (Published{{ROOM, OVERRIDE, 0}, {ROOM, OVERRIDE_END, 0}}));
    EXPECT_TRUE(boxes()[0]->getChecked()) << "the room is still on its schedule";
    EXPECT_EQ(modeLabel(), "Week schedule");

    // Without an override the box switches to a fixed temperature, and back.
    tap(boxes()[0]);
    runTasks(3);
    EXPECT_EQ(writes(), (Published{{ROOM, MODE, 1}}));
    EXPECT_FALSE(find<Timeline>()->isVisible());
    tap(boxes()[0]);
    runTasks(3);
    EXPECT_EQ(writes(), (Published{{ROOM, MODE, 0}}));
}

TEST_F(RoomScreenTest, PresetsFollowTheDesiredTemperatureWithoutWritingAndATapWritesItsTemperature) {
    room(ROOM).value(DESIRED, 2150);
    runTasks();
    openRoom();
    EXPECT_TRUE(boxes()[2]->getChecked()) << "comfort";
    receive(ROOM, DESIRED, 1900);
    runTasks(2);
    EXPECT_TRUE(boxes()[1]->getChecked()) << "eco";
    EXPECT_EQ(upDown()->getValue(), 1900);
    EXPECT_TRUE(writes().empty());
    tap(boxes()[3]);
    runTasks(2);
    EXPECT_EQ(writes(), (Published{{ROOM, 0x801A, 2300}}));
}

TEST_F(RoomScreenTest, TheModeLabelTakesTheFirstRuleThatApplies) {
    const struct {
        int standby, vacation, override, mode, desired;
        uint32_t end;
        const char* label;
    } cases[] = {
        {1, 1, 1, 0, 2150, 0, "Standby mode"},
        {0, 1, 1, 0, 2150, 0, "Vacation mode without expiration"},
        {0, 0, 1, 3, 2150, TOMORROW - 3600, "Temporary comfort mode until 23:00"},
        {0, 0, 1, 3, 1900, 0, "Temporary eco mode without expiration"},
        {0, 0, 1, 3, 2000, TOMORROW, "Temporary mode until 00:00"},
        {0, 0, 1, 3, 2300, TOMORROW + 60, "Temporary extra comfort mode until March 05 00:01"},
        {0, 0, 3, 0, 2000, TOMORROW + 60, "Schedule overridden until March 05 00:01"},
        {0, 0, 3, 0, 2000, 0, "Schedule overridden without expiration"},
        {0, 0, 3, 3, 2000, 0, "Manual mode"},
        {0, 0, 0, 0, 2000, 0, "Week schedule"},
        {0, 0, 0, 3, 1900, 0, "Eco mode"},
        {0, 0, 0, 3, 2150, 0, "Comfort"},
        {0, 0, 0, 3, 2300, 0, "Extra comfort mode"},
    };
    for (const auto& c : cases) {
        location().value(STANDBY, c.standby).value(0x8085, c.vacation);
        room(ROOM)
            .value(OVERRIDE, c.override)
            .value(MODE, c.mode)
            .value(DESIRED, c.desired)
            .value(OVERRIDE_END, static_cast<int>(c.end));
        runTasks();
        openRoom();
        EXPECT_EQ(modeLabel(), c.label);
    }
    location().invalid(SEASON);
    location().value(STANDBY, 0).value(0x8085, 0);
    room(ROOM).value(OVERRIDE, 0).value(MODE, 3);
    runTasks();
    openRoom();
    EXPECT_EQ(modeLabel(), "Information unavailable");
    EXPECT_TRUE(writes().empty()) << "showing writes nothing";
}

// The longest mode line takes a second line only while it needs one: when the control unit's change makes it
// short again, the second line goes and the timeline moves back up under the one line.
TEST_F(RoomScreenTest, TheModeLineTakesASecondLineOnlyWhileItNeedsOne) {
    const int offset = getApplication()->getSystemManager()->getLocalTime().getLocalTimeOffset();
    Date first(1, 8, 2026); // September 1st, noon
    first.addHours(12);
    setTime(first.getLocalTimestamp() - offset);
    Date end(28, 8, 2026);
    end.addHours(23);
    end.addMinutes(45);
    room(ROOM)
        .value(MODE, 0)
        .value(OVERRIDE, 1)
        .value(OVERRIDE_END, static_cast<int>(end.getLocalTimestamp() - offset));
    runTasks();
    openRoom();
    auto lines = [this] {
        std::vector<std::string> shown;
        for (const ContainedLabel* l : findAll<ContainedLabel>()) {
            if (l->isGloballyVisible() &&
                (l->getFont() == &bif_myriad12_bold || l->getFont() == &bif_myriad10_bold)) {
                shown.push_back(l->getText());
            }
        }
        return shown;
    };
    const struct {
        int desired;
        std::vector<std::string> lines;
    } steps[] = {
        {2150, {"Temporary comfort mode until September 28 23:45"}},
        {2300, {"Temporary extra comfort mode until September 28", "23:45"}},
        {1900, {"Temporary eco mode until September 28 23:45"}},
    };
    const int oneLineTop = find<Timeline>()->getTop();
    for (const auto& step : steps) {
        receive(ROOM, DESIRED, step.desired);
        runTasks(2);
        EXPECT_EQ(lines(), step.lines) << step.desired;
        const int shift = step.lines.size() == 2 ? 26 - 16 : 0;
        EXPECT_EQ(find<Timeline>()->getTop(), oneLineTop + shift) << step.desired;
    }
    EXPECT_TRUE(writes().empty()) << "showing writes nothing";
}

TEST_F(RoomScreenTest, StatusShowsTheIconAndTheBlockingReason) {
    const struct {
        int state, blocking;
        int icon;
        const char* text; // none: hidden
    } cases[] = {
        {2, 0, 1, nullptr},
        {3, 0, 3, nullptr},
        {0, 0, 0, nullptr},
        {1, 9, 0, nullptr}, // neither heating nor cooling: a blocking code says nothing
        {2, 1, 2, "Heating is blocked by open magnetic contact"},
        {2, 9, 2, "Heating is blocked due to an output periodic activation"},
        {3, 6, 4, "Cooling is blocked by low outside temperature"},
        {3, 42, 4, "Cooling is blocked. Blocking code 42."},
    };
    openRoom();
    for (const auto& c : cases) {
        room(ROOM).value(0x001B, c.state).value(0x001C, c.blocking);
        runTasks(2);
        EXPECT_EQ(find<MultiIcon>()->getIconIndex(), c.icon) << c.state << "/" << c.blocking;
        const TextFrame* text = statusText();
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->isVisible(), c.text != nullptr) << c.blocking;
        if (c.text != nullptr) {
            EXPECT_EQ(text->getText(), c.text);
        }
    }
    room(ROOM).value(0x001B, 2).invalid(0x001C);
    runTasks();
    openRoom();
    EXPECT_EQ(find<MultiIcon>()->getIconIndex(), 0) << "heating of an unknown blocking: no status";
    EXPECT_FALSE(statusText()->isVisible());
}

TEST_F(RoomScreenTest, LimitsAndEnablingFollowTheSeasonAndThePrograms) {
    const struct {
        int season, standby, vacation;
        int minimum, maximum;
        bool enabled;
    } cases[] = {
        {0, 0, 0, 1000, 3000, true}, {1, 0, 0, 1800, 3200, true}, {0, 1, 1, 500, 1000, false}, // standby wins
        {1, 1, 0, 600, 1800, false},                             // standby, summer
        {0, 0, 1, 500, 3000, false},                             // vacation
        {1, 0, 1, 600, 3200, false}, {2, 0, 0, 600, 4000, true}, // no season of its own: the first limits
                                                                 // stay
    };
    for (const auto& c : cases) {
        location().value(SEASON, c.season).value(STANDBY, c.standby).value(0x8085, c.vacation);
        runTasks();
        openRoom();
        EXPECT_EQ(upDown()->getMinimum(), c.minimum) << c.season << c.standby << c.vacation;
        EXPECT_EQ(upDown()->getMaximum(), c.maximum) << c.season << c.standby << c.vacation;
        EXPECT_EQ(upDown()->isEnabled(), c.enabled);
        EXPECT_EQ(boxes()[0]->isEnabled(), c.enabled);
        EXPECT_EQ(boxes()[2]->isEnabled(), c.enabled);
    }
    // The season changes while the screen is open: the summer span at once.
    location().value(SEASON, 0).value(STANDBY, 0).value(0x8085, 0);
    runTasks();
    openRoom();
    receive(OID_LOCATION, SEASON, 1);
    runTasks(2);
    EXPECT_EQ(upDown()->getMinimum(), 1800);
    EXPECT_EQ(upDown()->getMaximum(), 3200);
    EXPECT_TRUE(writes().empty());
    // An unreadable desired temperature is unknown, not the top of the span.
    location().value(SEASON, 0);
    room(ROOM).invalid(DESIRED);
    runTasks();
    openRoom();
    EXPECT_FALSE(upDown()->isKnown());
    EXPECT_EQ(findByText("30.0\u00B0"), nullptr);
}

// A desired temperature that cannot be read shows "--" as the tiles do; the arrows write nothing until the
// control unit tells the value, in every season and program.
TEST_F(RoomScreenTest, AnUnreadableDesiredTemperatureShowsDashesAndTheArrowsWriteNothing) {
    const struct {
        int season, standby;
        const char* known;
    } cases[] = {{0, 0, "21.5\u00B0"}, {1, 0, "21.5\u00B0"}, {0, 1, "10.0\u00B0"}};
    for (const auto& c : cases) {
        location().value(SEASON, c.season).value(STANDBY, c.standby);
        room(ROOM).invalid(DESIRED);
        runTasks();
        openRoom();
        EXPECT_TRUE(upDown()->isEnabled() == (c.standby == 0));
        EXPECT_FALSE(upDown()->isKnown());
        const auto* shown =
            find<ContainedLabel>([this](const ContainedLabel& l) { return l.isChildOf(upDown()); });
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(shown->getText(), "--") << c.season << c.standby;
        screenshot("FormRoomEdit_desired_unknown_" + std::to_string(c.season) + std::to_string(c.standby));
        EXPECT_FALSE(arrow(true)->isEnabled());
        EXPECT_FALSE(arrow(false)->isEnabled());
        tap(arrow(true));
        tick();
        tap(arrow(false));
        wait(1500);
        runTasks();
        EXPECT_TRUE(writes().empty()) << c.season << c.standby;
        EXPECT_EQ(setTemperatureLabel()->getFaceColor(), colour::TEXT);

        // The control unit tells it: shown, and the arrows step from it.
        receive(ROOM, DESIRED, 2150);
        runTasks(2);
        EXPECT_EQ(shown->getText(), c.known) << c.season << c.standby;
        EXPECT_TRUE(upDown()->isKnown());
        if (c.standby == 0) {
            tap(arrow(true));
            wait(1100);
            runTasks();
            EXPECT_EQ(writes().size(), 1u) << "one write from the known value";
        }
    }
}

TEST_F(RoomScreenTest, MeasuredRowsAndTheControlledTemperature) {
    device(THERMOSTAT).value(0x000D, 2350);
    room(ROOM).oids(0x80AE, {THERMOSTAT}).value(0x8014, 0).value(0x004B, 1050);
    runTasks();
    openRoom();
    EXPECT_NE(findByText("Floor temperature"), nullptr);
    EXPECT_EQ(findByText("Humidity"), nullptr);
    EXPECT_NE(findByText("21.3\u00B0"), nullptr);
    EXPECT_NE(findByText("Floor temperature is controlled in this room."), nullptr);
    EXPECT_EQ(findByText("Dew point"), nullptr) << "winter";

    receive(OID_LOCATION, SEASON, 1);
    runTasks(2);
    EXPECT_NE(findByText("Air temperature is controlled in this room."), nullptr);
    EXPECT_NE(findByText("Dew point"), nullptr);
    // The room's temperature changes on the control unit.
    receive(ROOM, 0x000C, 2250);
    runTasks(2);
    EXPECT_NE(findByText("22.5\u00B0"), nullptr);
}

TEST_F(RoomScreenTest, AfterMidnightTheTimelineShowsTheNewDayFromTheCopyTakenAtOpening) {
    std::vector<uint8_t> week(170, 0);
    std::fill(week.begin() + 2 + 3 * 24, week.begin() + 2 + 4 * 24, 0xAA); // Thursday: type 2 all day
    std::fill(week.begin() + 2 + 6 * 24, week.begin() + 2 + 7 * 24, 0x55); // Sunday: type 1 all day
    room(ROOM).value(MODE, 0).data(0x8043, week);
    setTime(TOMORROW - 30); // Wednesday 23:59:30
    runTasks();
    openRoom();
    const Box bar = find<Timeline>()->getBoundingBox();
    EXPECT_FALSE(shows(bar, 0x6D2AE5));
    room(ROOM).data(0x8043, std::vector<uint8_t>(170, 0)); // not followed
    setTime(TOMORROW + 30);
    tick(16);
    EXPECT_TRUE(shows(bar, 0x6D2AE5)) << "Thursday";
    setTime(TOMORROW + 3 * 86400 + 30); // Sunday: the seventh day
    tick(16);
    EXPECT_TRUE(shows(bar, 0x52A6EC));
    EXPECT_FALSE(shows(bar, 0x6D2AE5));
}

// Each link of the room screen opens its own screen for this room: the outputs the thermohead list (59), the
// peripherals the peripheral list (60).
TEST_F(RoomScreenTest, EachLinkOpensItsScreenForTheRoom) {
    const struct {
        const char* link;
        unsigned state;
        const char* screen;
    } links[] = {
        {"Set temporary mode", 15, "FormRoomTemporaryMode"},
        {"Settings", 14, "FormRoomSettings"},
        {"Room schedule", 16, "FormSchedule"},
        {"Associated outputs", 59, "FormThermoheadOverview"},
        {"Associated peripherals", 60, "FormPeripheralOverview"},
    };
    room(ROOM).data(0x8043, std::vector<uint8_t>(171, 0)); // a week schedule, all days empty
    runTasks();
    for (const auto& l : links) {
        SCOPED_TRACE(l.link);
        openRoom();
        tapLink(l.link);
        EXPECT_EQ(state().getStateId(), l.state);
        EXPECT_EQ(screen()->getName(), l.screen);
        EXPECT_EQ(state().getP1(), ROOM) << "the room's own (its schedule's object for the week)";
        EXPECT_TRUE(writes().empty()) << "a link writes nothing";
    }
}

TEST_F(RoomScreenTest, ARoomItsDeviceNoLongerListsTakesTheUserHome) {
    device(0x000316).data(0x80B0, {1, 2});
    runTasks();
    open(11);
    mCore.changeState(State(ROOM_SCREEN, ROOM));
    runTasks(3);
    EXPECT_EQ(findByText("Object removed"), nullptr);
    ObjectBuilder(0x000316).data(0x80B0, {2});
    runTasks(2);
    ASSERT_NE(findByText("Object removed"), nullptr);
    tap(findByText("Close"));
    runTasks(3);
    EXPECT_EQ(state().getStateId(), 9u);
}

} // namespace
} // namespace tdx::test
