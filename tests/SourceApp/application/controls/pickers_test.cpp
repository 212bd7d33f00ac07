// The time and weekday-event pickers by touch and clock: calendar carries, the running clock, the decision
// messages, and events from the control unit whose fields the picker must never spill or trust.
#include "Libraries/base/os.h"
#include "Libraries/base/timestamp.h"
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/TimePicker.h"
#include "SourceApp/application/controls/WeekdayEventPicker.h"
#include "tests/support/screen_harness.h"

#include <vector>

namespace tdx::test {
namespace {

class PickerTest : public ScreenHarness {
protected:
    // The arrows of a picker, column by column: up, down, up, down ...
    static std::vector<IconButton*> arrows(const Container& picker) {
        std::vector<IconButton*> found;
        for (Component* c : picker.getChildren()) {
            if (auto* b = dynamic_cast<IconButton*>(c)) {
                found.push_back(b);
            }
        }
        return found;
    }
    static std::vector<std::string> labels(const Container& picker) {
        std::vector<std::string> texts;
        for (Component* c : picker.getChildren()) {
            if (auto* l = dynamic_cast<ContainedLabel*>(c)) {
                texts.push_back(l->getText());
            }
        }
        return texts;
    }
    void step(const Container& picker, int column, bool up) {
        tap(arrows(picker).at(static_cast<size_t>(column * 2 + (up ? 0 : 1))));
    }
    static Date at(int day, int hour, int minute, int second) {
        return Date(timestamp_make_simple(2026, 3, day, hour, minute, second), 0);
    }
};

TEST_F(PickerTest, TimeArrowsCarryThroughTheCalendar) {
    const struct {
        Date start;
        int column;
        bool up;
        std::vector<std::string> shows;
        int day;
    } cases[] = {
        {at(4, 23, 59, 59), 2, true, {"00", "00", "00"}, 5},
        {at(4, 0, 10, 5), 0, false, {"23", "10", "05"}, 3},
        {at(4, 12, 0, 0), 1, false, {"11", "59", "00"}, 4},
    };
    for (const auto& c : cases) {
        auto* picker = new TimePicker(blank(), 60, 40, c.start);
        runTasks();
        step(*picker, c.column, c.up);
        EXPECT_EQ(labels(*picker), c.shows);
        EXPECT_EQ(picker->getDate().getDay(), c.day);
    }
    screenshot("time_picker");
}

TEST_F(PickerTest, AnOpenTimePickerWithoutADateRunsWithTheClockOnEvenTicksOnly) {
    Form* form = blank();
    auto* running = new TimePicker(form, 0, 0);
    auto* fixed = new TimePicker(form, 0, 100, at(4, 8, 0, 0));
    runTasks();
    EXPECT_EQ(labels(*running), (std::vector<std::string>{"12", "00", "00"}));
    int changes = 0;
    for (int i = 0; i < 64; ++i) {
        const std::vector<std::string> before = labels(*running);
        tick();
        if (labels(*running) != before) {
            ++changes;
            EXPECT_EQ(tickCount() % 2, 0u) << "changed on an odd tick";
        }
    }
    EXPECT_GE(changes, 3);
    EXPECT_EQ(labels(*fixed), (std::vector<std::string>{"08", "00", "00"}));

    const std::vector<std::string> shown = labels(*running);
    setTime(os_time() - 100);
    tick(32);
    EXPECT_EQ(labels(*running), shown) << "a clock set back does not move the time back";
}

TEST_F(PickerTest, OkAndCancelEachSendOneDecisionAndLeaveTheTime) {
    auto* picker = new TimePicker(blank(), 60, 40, at(4, 7, 30, 0));
    runTasks();
    tap(findByText("OK"));
    tap(findByText("Cancel"));
    EXPECT_EQ(messages(MSG_OK, picker), 1);
    EXPECT_EQ(messages(MSG_CANCEL, picker), 1);
    EXPECT_EQ(labels(*picker), (std::vector<std::string>{"07", "30", "00"}));
}

// Only the stepped field changes (the minute's carry also the hour); mode and day keep their bits.
TEST_F(PickerTest, WeekdayStepsRewriteOnlyTheirFieldsAndBringBadFieldsIntoRange) {
    enum { DAY, HOUR, MINUTE };
    const struct {
        WeekdayEvent event;
        int column;
        bool up;
        WeekdayEvent expected;
    } cases[] = {
        {{0, 0, 23, 59}, MINUTE, true, {0, 0, 0, 0}},  // Monday 23:59 -> Monday 00:00
        {{3, 3, 23, 59}, MINUTE, true, {3, 3, 0, 0}},  // monthly: mode bits kept
        {{2, 5, 0, 0}, MINUTE, false, {2, 5, 23, 59}}, // borrow from the hour, not the day
        {{0, 0, 7, 0}, DAY, true, {0, 0, 7, 0}},       // Monday stays
        {{0, 6, 7, 0}, DAY, false, {0, 6, 7, 0}},      // Sunday stays
        {{0, 2, 7, 0}, DAY, true, {0, 1, 7, 0}},
        {{1, 2, 7, 0}, DAY, false, {1, 3, 7, 0}},
        {{0, 7, 7, 0}, DAY, true, {0, 6, 7, 0}},     // a day beyond Sunday comes back to Sunday
        {{0, 1, 25, 10}, HOUR, true, {0, 1, 0, 10}}, // hours 24-31 normalise on the first step
        {{0, 1, 25, 10}, HOUR, false, {0, 1, 23, 10}},
        {{3, 1, 5, 62}, MINUTE, true, {3, 1, 6, 0}}, // minutes 60-63 too, carrying
        {{3, 1, 5, 62}, MINUTE, false, {3, 1, 5, 59}},
    };
    for (const auto& c : cases) {
        auto* picker = new WeekdayEventPicker(blank(), 40, 40, c.event);
        runTasks();
        step(*picker, c.column, c.up);
        EXPECT_EQ(picker->getWeekdayEvent().raw(), c.expected.raw()) << std::hex << c.event.raw();
    }
}

TEST_F(PickerTest, WeekdayColumnsFollowTheModeAndADayWithoutANameShowsDashes) {
    Form* form = blank();
    auto* weekly = new WeekdayEventPicker(form, 40, 20, WeekdayEvent(0, 7, 6, 30));
    auto* monthly = new WeekdayEventPicker(form, 40, 120, WeekdayEvent(1, 3, 6, 30));
    runTasks();
    screenshot("weekday_event_pickers");
    EXPECT_EQ(labels(*weekly), (std::vector<std::string>{"--", "06", "30"}));
    EXPECT_EQ(labels(*monthly), (std::vector<std::string>{"3", "06", "30"}));
    EXPECT_EQ(arrows(*weekly)[0]->getWidth(), 60);
    EXPECT_EQ(arrows(*weekly)[2]->getLeft(), 40 + 102);
    EXPECT_EQ(arrows(*monthly)[0]->getWidth(), 40);
    EXPECT_EQ(arrows(*monthly)[2]->getLeft(), 40 + 82);
    weekly->setWeekdayEvent(WeekdayEvent(0, 6, 23, 5));
    EXPECT_EQ(labels(*weekly)[1], "23");
    EXPECT_EQ(arrows(*weekly)[0]->getWidth(), 60);
}

} // namespace
} // namespace tdx::test
