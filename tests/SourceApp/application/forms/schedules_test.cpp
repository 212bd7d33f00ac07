// The week schedule, the day overview, the interval editor and the copy wizards: what a user sees of a
// crafted week, and the one whole week the control unit receives for each change, with every byte the
// change does not touch - and whatever the control unit changed meanwhile - left as it was.
#include "Libraries/base/fmt.h"
#include "SourceApp/application/ScheduleEditState.h"
#include "SourceApp/application/controls/Checkbox.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/NavigationLink.h"
#include "SourceApp/application/controls/Popup.h"
#include "SourceApp/application/controls/Timeline.h"
#include "SourceApp/application/controls/UpDown.h"
#include "SourceApp/application/forms/VexalForm.h"
#include "SourceApp/application/forms/schedule/FormScheduleDayOverview.h"
#include "tests/SourceApp/application/forms/forms_fixture.h"

#include <functional>
#include <string>
#include <vector>

namespace tdx::test {
namespace {

constexpr oid_t ROOM = 0x01000316;
constexpr oid_t OTHER_ROOM = 0x02000316;
constexpr vid_t VID_SCHEDULE = 0x8043;
constexpr unsigned WEEK = 16, EDIT = 17, DAY = 18, COPY_DAY = 19, COPY_WEEK = 20;
constexpr int HOUR = 3600;

// A week in the value's layout; days given as 96 digits, one per quarter hour, or 24, one per hour.
struct Week {
    std::vector<uint8_t> bytes = std::vector<uint8_t>(170, 0);

    Week(uint8_t lead0 = 0x5A, uint8_t lead1 = 0x31) {
        bytes[0] = lead0;
        bytes[1] = lead1;
        for (int d = 0; d < 7; ++d) {
            day(d, std::string(24, static_cast<char>('0' + (d % 3)))); // every day differs from Monday
        }
    }
    Week& day(int d, const std::string& digits) {
        const size_t per = digits.size() == 24 ? 4 : 1;
        for (size_t q = 0; q < 96; ++q) {
            set(d, static_cast<int>(q), digits.at(q / per) - '0');
        }
        return *this;
    }
    Week& range(int d, int from, int to, int type) {
        for (int q = from / 900; q < to / 900; ++q) {
            set(d, q, type);
        }
        return *this;
    }
    void set(int d, int q, int type) {
        uint8_t& b = bytes[2 + 24 * d + q / 4];
        b = static_cast<uint8_t>((b & ~(3 << (2 * (q % 4)))) | (type << (2 * (q % 4))));
    }
    std::string text() const { return std::string(bytes.begin(), bytes.end()); }
};

// 06:00-08:00 of type 1, 17:00-22:00 of type 2.
const std::string WORKDAY = "000000110000000002222200";

class ScheduleTest : public FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        location();
        give(ROOM, Week().day(0, WORKDAY));
        object(ROOM, BT_OBJ_ROOM).text(VID_NAME, "Living room");
        connect();
    }
    void give(oid_t oid, const Week& week) { object(oid, BT_OBJ_ROOM).data(VID_SCHEDULE, week.bytes); }
    void openState(const State& s) {
        mCore.changeState(s);
        runTasks(3);
    }
    void openWeek() {
        openState(ScheduleEditState(WEEK, Ovi(ROOM, VID_SCHEDULE), "Living room | Schedule", 0));
    }
    void openDay(int d) {
        openState(ScheduleEditState(DAY, Ovi(ROOM, VID_SCHEDULE), "", static_cast<uint8_t>(d)));
    }
    void openEditor(int d, int start, int end) {
        openState(SingleParamState<Ovi>(EDIT, static_cast<unsigned>(d), static_cast<unsigned>(start),
                                        static_cast<unsigned>(end), 0, Ovi(ROOM, VID_SCHEDULE)));
    }
    // The interval rows as shown, "HOUR:i - HOUR:i" each, and how many of them have buttons.
    std::vector<std::string> intervals() const {
        std::vector<std::string> rows;
        for (ContainedLabel* label : findAll<ContainedLabel>()) {
            if (label->getText().size() == 13 && label->getText()[6] == '-' && label->isGloballyVisible()) {
                rows.push_back(label->getText());
            }
        }
        return rows;
    }
    int buttons(uint32_t tag) const {
        int n = 0;
        for (IconButton* b : findAll<IconButton>()) {
            n += b->tag == tag && b->isGloballyVisible() ? 1 : 0;
        }
        return n;
    }
    const Component* rowButton(int row, uint32_t tag) const {
        std::vector<IconButton*> all;
        for (IconButton* b : findAll<IconButton>()) {
            if (b->tag == tag && b->isGloballyVisible()) {
                all.push_back(b);
            }
        }
        return all.at(static_cast<size_t>(row));
    }
    NumericUpDown<int>* picker(int index) const {
        return findAll<NumericUpDown<int>>().at(static_cast<size_t>(index));
    }
    const IconButton* arrow(int pickerIndex, resource_id icon) const {
        const NumericUpDown<int>* p = picker(pickerIndex);
        return find<IconButton>([&](const IconButton& b) { return b.isChildOf(p) && b.getIcon() == icon; });
    }
    // A tap on a picker's arrow, and the tick in which the picker sees the finger gone.
    void step(int pickerIndex, resource_id icon, int times = 1) {
        for (int i = 0; i < times; ++i) {
            tap(arrow(pickerIndex, icon));
            tick(2);
        }
    }
    std::string shown(int pickerIndex) const {
        return find<ContainedLabel>([&](const ContainedLabel& l) { return l.isChildOf(picker(pickerIndex)); })
            ->getText();
    }
    Published writes() { return published(); }
    // Scrolls the screen's content until the component shows, as a user's drag would.
    const Component* reveal(const Component* c) {
        static_cast<VexalForm*>(screen())->scrollTo(c, FOCUS_AS_NEEDED, c->getTop(), c->getBottom());
        runTasks(2);
        return c;
    }
    static PublishedValue week(oid_t oid, const Week& w) { return {oid, VID_SCHEDULE, w.text()}; }
};

TEST_F(ScheduleTest, TheDayOverviewListsEveryRunOfTheDayWithButtonsOnTheIntervals) {
    const struct {
        const char* what;
        std::string day;
        std::vector<std::string> rows;
        int withButtons;
    } cases[] = {
        {"free all day", std::string(24, '0'), {"00:00 - 00:00"}, 0},
        {"a workday",
         WORKDAY,
         {"00:00 - 06:00", "06:00 - 08:00", "08:00 - 17:00", "17:00 - 22:00", "22:00 - 00:00"},
         2},
        {"to midnight", std::string(20, '0') + "1111", {"00:00 - 20:00", "20:00 - 00:00"}, 1},
        {"touching runs of a type merge",
         std::string(48, '0') + "11112222" + std::string(40, '3'),
         {"00:00 - 12:00", "12:00 - 13:00", "13:00 - 14:00", "14:00 - 00:00"},
         3},
    };
    for (const auto& c : cases) {
        give(ROOM, Week().day(2, c.day));
        openDay(2);
        EXPECT_EQ(screen()->getName(), "FormScheduleDayOverview") << c.what;
        EXPECT_NE(findByText("Wednesday"), nullptr) << c.what;
        EXPECT_EQ(intervals(), c.rows) << c.what;
        EXPECT_EQ(buttons(FormScheduleDayOverview::DELETE_TAG), c.withButtons) << c.what;
        EXPECT_EQ(buttons(FormScheduleDayOverview::EDIT_TAG), c.withButtons) << c.what;
    }
    EXPECT_TRUE(writes().empty());
}

TEST_F(ScheduleTest, AScheduleThatIsNoWeekOrIsMissingSendsTheUserBack) {
    openWeek();
    ASSERT_EQ(screen()->getName(), "FormSchedule");
    object(OTHER_ROOM, BT_OBJ_ROOM).data(VID_SCHEDULE, std::vector<uint8_t>(171, 0));
    openState(ScheduleEditState(DAY, Ovi(OTHER_ROOM, VID_SCHEDULE), "", 0));
    EXPECT_EQ(screen()->getName(), "FormSchedule") << "a value one byte too long";
    openState(ScheduleEditState(WEEK, Ovi(0x05000316, VID_SCHEDULE), "", 0));
    EXPECT_EQ(screen()->getName(), "FormSchedule") << "no such object";
    openEditor(9, 0, 900);
    EXPECT_EQ(screen()->getName(), "FormSchedule") << "no such day";
}

// A schedule value of any other length than a week is there but cannot be shown: the week screen says so
// under its heading instead of leaving at once, and offers neither days nor copying.
TEST_F(ScheduleTest, AScheduleThatIsNoWeekIsSaidToBeUnreadable) {
    for (const size_t length : {0, 1, 169, 171, 240}) {
        object(OTHER_ROOM, BT_OBJ_ROOM).data(VID_SCHEDULE, std::vector<uint8_t>(length, 0x11));
        runTasks(2);
        openState(ScheduleEditState(WEEK, Ovi(OTHER_ROOM, VID_SCHEDULE), "Bedroom | Schedule", 0));
        EXPECT_EQ(state().getP1(), OTHER_ROOM) << length;
        EXPECT_NE(findByText("Bedroom | Schedule"), nullptr) << length;
        EXPECT_NE(findByText("This schedule cannot be read"), nullptr) << length;
        EXPECT_EQ(findAll<Timeline>().size(), 0u) << length;
        EXPECT_EQ(find<IconButton>([](const IconButton& b) { return b.getIcon() == res_arrow_right; }),
                  nullptr)
            << length;
        EXPECT_EQ(findByText("Copy settings to another room"), nullptr) << length;
    }
    // As the room screen opens it, with the title it passes in the language shown.
    object(OTHER_ROOM, BT_OBJ_ROOM).text(VID_NAME, "Bedroom");
    runTasks(2);
    picturesInEveryLanguage("FormScheduleUnreadable", [&] {
        open(13, OTHER_ROOM);
        tapLink(gettext("Room schedule"));
        ASSERT_EQ(screen()->getName(), "FormSchedule");
        EXPECT_NE(findByText(fmt_gettext("Rooms | %s | Schedule", "Bedroom")), nullptr);
        EXPECT_NE(findByText(gettext("This schedule cannot be read")), nullptr);
    });
    EXPECT_EQ(writes(), Published{});
}

TEST_F(ScheduleTest, AConfirmedDeleteWritesTheWeekOnceWithEverythingElseUnchanged) {
    openDay(0);
    tap(rowButton(0, FormScheduleDayOverview::DELETE_TAG)); // 06:00 - 08:00
    ASSERT_NE(find<Popup>(), nullptr);
    tap(findByText("Cancel"));
    // An OK that answers no question of this screen.
    mCore.sendMessage(nullptr, MSG_POPUP_RESULT, Popup::RESULT_OK, 0, 0, 0);
    runTasks(2);
    EXPECT_TRUE(writes().empty());

    tap(rowButton(0, FormScheduleDayOverview::DELETE_TAG));
    tap(findByText("OK"));
    runTasks(2);
    EXPECT_EQ(writes(), (Published{week(ROOM, Week().day(0, "000000000000000002222200"))}));
    EXPECT_EQ(intervals(), (std::vector<std::string>{"00:00 - 17:00", "17:00 - 22:00", "22:00 - 00:00"}));
}

// The day overview's write: the week it holds, whole and once, and nothing for an object that has gone.
TEST_F(ScheduleTest, TheDayOverviewStoresItsWeekWholeOnceAndNothingForAnObjectThatHasGone) {
    const struct {
        const char* what;
        bool gone;
        Published written;
    } cases[] = {
        {"the object is there", false, {week(ROOM, Week().day(0, WORKDAY))}},
        {"the object has gone", true, {}},
    };
    for (const auto& c : cases) {
        give(ROOM, Week().day(0, WORKDAY));
        openDay(0);
        auto* overview = dynamic_cast<FormScheduleDayOverview*>(screen());
        ASSERT_NE(overview, nullptr) << c.what;
        if (c.gone) {
            Structure.remove(ROOM);
        }
        const size_t before = writes().size();
        EXPECT_EQ(overview->store(), !c.gone) << c.what;
        runTasks(2);
        const Published all = writes();
        EXPECT_EQ(Published(all.begin() + static_cast<long>(before), all.end()), c.written) << c.what;
    }
}

TEST_F(ScheduleTest, AnIntervalThatRunsToMidnightIsDeletedAndEditedWhole) {
    const std::string evening = std::string(20, '0') + "1111"; // 20:00 - 24:00
    give(ROOM, Week().day(2, evening));
    openDay(2);
    tap(rowButton(0, FormScheduleDayOverview::EDIT_TAG));
    runTasks(2);
    ASSERT_EQ(screen()->getName(), "FormScheduleDayEdit");
    EXPECT_EQ(shown(0), "20:00");
    EXPECT_EQ(shown(1), "24:00");
    EXPECT_EQ(state().getP3(), 86400u);

    openDay(2);
    tap(rowButton(0, FormScheduleDayOverview::DELETE_TAG));
    tap(findByText("OK"));
    runTasks(2);
    EXPECT_EQ(writes(), (Published{week(ROOM, Week().day(2, std::string(24, '0')))}))
        << "the whole day is free";
    EXPECT_EQ(intervals(), (std::vector<std::string>{"00:00 - 00:00"}));
    EXPECT_EQ(buttons(FormScheduleDayOverview::DELETE_TAG), 0);
}

TEST_F(ScheduleTest, AddNewIntervalProposesTheFirstFreeQuarterHour) {
    const struct {
        std::string day;
        bool opens;
        unsigned start, end;
    } cases[] = {
        {WORKDAY, true, 0, 900},
        {std::string(95, '1') + "0", true, 85500, 86400},
        {std::string(96, '2'), false, 0, 0},
    };
    for (const auto& c : cases) {
        give(ROOM, Week().day(0, c.day));
        openDay(0);
        tap(reveal(findByText("Add new interval")));
        runTasks(2);
        EXPECT_EQ(state().getStateId(), c.opens ? EDIT : DAY) << c.day;
        if (c.opens) {
            EXPECT_EQ(state().getP2(), c.start);
            EXPECT_EQ(state().getP3(), c.end);
            EXPECT_EQ(shown(0), c.start == 0 ? "00:00" : "23:45");
            EXPECT_EQ(shown(1), c.start == 0 ? "00:15" : "24:00");
        }
    }
}

TEST_F(ScheduleTest, FromPushesToAlongAndSaveWritesTheShownIntervalBackToTheDay) {
    openWeek();
    EXPECT_NE(findByText("Living room | Schedule"), nullptr);
    tap(find<IconButton>(
        [](const IconButton& b) { return b.getIcon() == res_arrow_right && b.getHeight() == 40; }));
    runTasks(2);
    ASSERT_EQ(screen()->getName(), "FormScheduleDayOverview");
    EXPECT_NE(findByText("Monday"), nullptr);
    tap(rowButton(0, FormScheduleDayOverview::EDIT_TAG)); // 06:00 - 08:00
    runTasks(2);
    ASSERT_EQ(screen()->getName(), "FormScheduleDayEdit");
    EXPECT_EQ(shown(0), "06:00");
    EXPECT_EQ(shown(1), "08:00");
    step(0, res_arrow_up, 9); // From to 08:15, To pushed one quarter hour past it
    EXPECT_EQ(shown(0), "08:15");
    EXPECT_EQ(shown(1), "08:30");
    EXPECT_FALSE(arrow(1, res_arrow_down)->isEnabled()) << "To stays a quarter hour after From";
    step(1, res_arrow_up);
    tap(findByText("Save interval"));
    runTasks(3);
    EXPECT_EQ(writes(), (Published{week(ROOM, Week()
                                                  .day(0, WORKDAY)
                                                  .range(0, 6 * HOUR, 8 * HOUR, 0)
                                                  .range(0, 8 * HOUR + 900, 8 * HOUR + 2700, 1))}));
    EXPECT_EQ(screen()->getName(), "FormScheduleDayOverview");
    EXPECT_EQ(intervals().at(1), "08:15 - 08:45");
}

TEST_F(ScheduleTest, TheEditorsEdgesWriteSoundIntervals) {
    const struct {
        const char* what;
        Week week;
        int start, end;
        std::vector<std::pair<int, resource_id>> taps; // picker, arrow
        Week written;
    } cases[] = {
        {"From stops at the last quarter hour", Week().day(0, WORKDAY), 21 * HOUR, 22 * HOUR,
         std::vector<std::pair<int, resource_id>>(12, {0, res_arrow_up}),
         Week()
             .day(0, WORKDAY)
             .range(0, 21 * HOUR, 22 * HOUR, 0)
             .range(0, 17 * HOUR, 21 * HOUR, 2)
             .range(0, 85500, 86400, 2)},
        {"a start of 24:00 from a state",
         Week().day(0, WORKDAY),
         86400,
         86400,
         {},
         Week().day(0, WORKDAY).range(0, 85500, 86400, 1)},
        {"no type row: the start's type",
         Week(0, 0).day(0, WORKDAY),
         17 * HOUR,
         22 * HOUR,
         {{0, res_arrow_down}},
         Week(0, 0).day(0, WORKDAY).range(0, 17 * HOUR - 900, 22 * HOUR, 2)},
        {"no type row, a new interval: type 1",
         Week(0, 0).day(0, WORKDAY),
         0,
         900,
         {},
         Week(0, 0).day(0, WORKDAY).range(0, 0, 900, 1)},
        {"type 3, no button checked: type 3",
         Week().day(0, std::string(12, '0') + "333" + std::string(9, '0')),
         12 * HOUR,
         15 * HOUR,
         {{1, res_arrow_up}},
         Week()
             .day(0, std::string(12, '0') + "333" + std::string(9, '0'))
             .range(0, 15 * HOUR, 15 * HOUR + 900, 3)},
        {"an interval ending at 00:15 is saved as shown",
         Week().day(0, "1" + std::string(95, '0')),
         0,
         900,
         {},
         Week().day(0, "1" + std::string(95, '0'))},
    };
    for (const auto& c : cases) {
        give(ROOM, c.week);
        writes();
        const size_t before = writes().size();
        openEditor(0, c.start, c.end);
        ASSERT_EQ(screen()->getName(), "FormScheduleDayEdit") << c.what;
        for (const auto& [p, icon] : c.taps) {
            if (arrow(p, icon)->isEnabled()) {
                step(p, icon);
            }
        }
        runTasks(2);
        tap(findByText("Save interval"));
        runTasks(2);
        ASSERT_EQ(writes().size(), before + 1) << c.what;
        EXPECT_EQ(writes().back(), week(ROOM, c.written)) << c.what;
    }
}

TEST_F(ScheduleTest, TheTypeButtonsRecolourThePreviewAndChooseTheSavedType) {
    openEditor(0, 17 * HOUR, 22 * HOUR);
    const std::vector<CheckIconButton*> types = findAll<CheckIconButton>();
    ASSERT_EQ(types.size(), 2u);
    EXPECT_FALSE(types[0]->getChecked());
    EXPECT_TRUE(types[1]->getChecked());
    const Timeline* bar = find<Timeline>();
    const int x = bar->xOf(19 * HOUR);
    EXPECT_EQ(pixel(x, bar->getTop() + 3), 0x6D2AE5u);
    tap(types[0]);
    runTasks(2);
    EXPECT_EQ(pixel(x, bar->getTop() + 3), 0x52A6ECu);
    tap(findByText("Save interval"));
    runTasks(2);
    EXPECT_EQ(writes(), (Published{week(ROOM, Week().day(0, WORKDAY).range(0, 17 * HOUR, 22 * HOUR, 1))}));
}

TEST_F(ScheduleTest, CancelAndATapOnTheEditorsBarWriteNothing) {
    openDay(0);
    tap(find<Timeline>()->xOf(7 * HOUR), find<Timeline>()->getTop() + 3);
    runTasks(2);
    ASSERT_EQ(state().getStateId(), EDIT);
    EXPECT_EQ(state().getP2(), unsigned{6 * HOUR});
    EXPECT_EQ(state().getP3(), unsigned{8 * HOUR});
    tap(find<Timeline>()->xOf(19 * HOUR), find<Timeline>()->getTop() + 3);
    runTasks(2);
    EXPECT_EQ(state().getStateId(), EDIT);
    tap(findByText("Cancel"));
    runTasks(2);
    EXPECT_EQ(state().getStateId(), DAY);
    EXPECT_TRUE(writes().empty());
}

TEST_F(ScheduleTest, EditsMadeOnTheControlUnitWhileEditingAreKept) {
    Week meanwhile = Week().day(0, WORKDAY).range(3, 0, 4 * HOUR, 2);
    openEditor(0, 6 * HOUR, 8 * HOUR);
    give(ROOM, meanwhile);
    runTasks(2);
    step(1, res_arrow_up);
    tap(findByText("Save interval"));
    runTasks(2);
    EXPECT_EQ(writes(), (Published{week(ROOM, Week(meanwhile).range(0, 6 * HOUR, 8 * HOUR + 900, 1))}));

    openDay(0);
    give(ROOM, Week(meanwhile).range(5, 0, HOUR, 1));
    tap(rowButton(0, FormScheduleDayOverview::DELETE_TAG));
    tap(findByText("OK"));
    runTasks(2);
    EXPECT_EQ(writes().back(),
              week(ROOM, Week(meanwhile).range(5, 0, HOUR, 1).range(0, 6 * HOUR, 8 * HOUR, 0)));
}

TEST_F(ScheduleTest, CopyADayOntoOthersWritesTheWeekOnce) {
    openState(SingleParamState<Ovi>(COPY_DAY, 0, 0, 0, 0, Ovi(ROOM, VID_SCHEDULE)));
    EXPECT_NE(findByText("Copy schedule from Monday"), nullptr);
    auto days = findAll<CheckButton>();
    ASSERT_EQ(days.size(), 7u);
    EXPECT_FALSE(days[0]->isEnabled());
    const Component* copy = findByText("Copy");
    EXPECT_FALSE(copy->isEnabled());
    tap(days[1]);
    runTasks(2);
    EXPECT_TRUE(copy->isEnabled());
    tap(days[1]);
    runTasks(2);
    EXPECT_FALSE(copy->isEnabled()) << "unchecked again";
    tap(days[1]);
    tap(days[2]);
    runTasks(2);
    tap(copy);
    runTasks(2);
    EXPECT_EQ(writes(), (Published{week(ROOM, Week().day(0, WORKDAY).day(1, WORKDAY).day(2, WORKDAY))}));
}

TEST_F(ScheduleTest, CopyTheWeekToOtherObjectsOfItsTypeThatHaveASchedule) {
    give(OTHER_ROOM, Week(0, 0));
    object(OTHER_ROOM, BT_OBJ_ROOM).text(VID_NAME, "Bedroom");
    object(0x03000316, BT_OBJ_ROOM); // no schedule
    object(0x0B000316, BT_OBJ_DHW_TANK).data(0x8043, Week().bytes);
    object(0x04000316, BT_OBJ_ROOM).data(VID_SCHEDULE, Week().bytes); // no name
    openState(SingleParamState<Ovi>(COPY_WEEK, 0, 0, 0, 0, Ovi(ROOM, VID_SCHEDULE)));
    EXPECT_NE(findByText("Copy schedule from Living room"), nullptr);
    std::vector<std::string> names;
    for (CheckButton* b : findAll<CheckButton>()) {
        names.push_back(b->getText());
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Bedroom", "04000316"}));
    tap(findByText("Bedroom"));
    runTasks(2);
    tap(findByText("Copy"));
    runTasks(2);
    EXPECT_EQ(writes(), (Published{week(OTHER_ROOM, Week().day(0, WORKDAY))}));
    EXPECT_NE(screen()->getName(), "FormScheduleCopyTo") << "gone back";
}

TEST_F(DefaultInstallationTest, ScheduleScreens) {
    loadDefaultInstallation();
    runTasks();
    const Ovi schedule(0x01000316, 0x8043);
    // The week and its day as the room screen opens them, with the title it passes in the language shown.
    const auto fromRoomScreen = [this](bool day) {
        open(13, 0x01000316);
        tapLink(gettext("Room schedule"));
        if (day) {
            tap(find<IconButton>([](const IconButton& b) { return b.getIcon() == res_arrow_right; }));
            runTasks(3);
        }
    };
    const struct {
        std::function<void()> show;
        const char* name;
    } screens[] = {
        {[&] { fromRoomScreen(false); }, "FormSchedule"},
        {[&] { fromRoomScreen(true); }, "FormScheduleDayOverview"},
        {[&] { mCore.changeState(SingleParamState<Ovi>(17, 0, 17 * 3600, 22 * 3600, 0, schedule)); },
         "FormScheduleDayEdit"},
        {[&] { mCore.changeState(SingleParamState<Ovi>(19, 0, 0, 0, 0, schedule)); },
         "FormScheduleCopyOrigin"},
        {[&] { mCore.changeState(SingleParamState<Ovi>(20, 0, 0, 0, 0, schedule)); }, "FormScheduleCopyTo"},
    };
    for (const auto& s : screens) {
        picturesInEveryLanguage(s.name, [&] {
            s.show();
            runTasks(3);
            ASSERT_EQ(screen()->getName(), s.name);
            if (std::string(s.name) == "FormSchedule") {
                EXPECT_NE(findByText(fmt_gettext("Rooms | %s | Schedule", "Living room")), nullptr)
                    << "the room screen's title in the language shown";
            }
        });
    }
}

} // namespace
} // namespace tdx::test
