// The programs: the menu, vacation (off, open-ended or until a date, with the rooms and tanks excluded),
// standby with the tank's exclusion, and winter/summer with the rows each switching mode brings. What the
// user sees of the location's values, and what reaches the control unit on the user's choice - only then.
#include "Libraries/base/timestamp.h"
#include "SourceApp/application/commands/bindings/ProxyUpDownRow.h"
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/DatePicker.h"
#include "SourceApp/application/controls/DropdownButton.h"
#include "SourceApp/application/controls/DropdownMenu.h"
#include "SourceApp/application/controls/EditableDropdownRow.h"
#include "SourceApp/application/controls/EditableRow.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/NavigationLink.h"
#include "SourceApp/application/controls/SwitchButton.h"
#include "SourceApp/application/controls/TextFrame.h"
#include "SourceApp/gui/bif/bif.h"
#include "tests/SourceApp/application/forms/forms_fixture.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace tdx::test {
namespace {

constexpr unsigned PROGRAMS = 10, LOCATION = 38, VACATION = 65, STANDBY = 66;
constexpr vid_t VID_LOCAL_OFFSET = 0x002E, VID_VACATION = 0x8085, VID_END = 0x8086, VID_STANDBY = 0x8087;
constexpr vid_t VID_ROOM_ALLOW = 0x8084, VID_TANK_STANDBY = 0x8113, VID_SWITCHING = 0x8076;
constexpr oid_t ROOM = 0x01000316, TANK = 0x0B000316;
constexpr int64_t MARCH_5 = 1772668800; // 2026-03-05 00:00 UTC, the day after the harness's clock

class ProgramsTest : public FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        location().value(VID_LOCAL_OFFSET, 3600).value(0x803D, 0);
        connect();
        runTasks();
    }
    std::string status() const { return find<TextFrame>()->getText(); }
    EditableDropdownRow* modeRow() const { return find<EditableDropdownRow>(); }
    std::string mode() const { return modeRow()->getSelectedItem()->getTitle(); }
    EditableDatePickerRow* dateRow() const { return find<EditableDatePickerRow>(); }
    // Opens the row's list and picks the item, as a finger does.
    void choose(uint16_t index) {
        EditableDropdownRow* row = modeRow();
        tap(find<IconButton>([&](const IconButton& b) { return b.isChildOf(row); }));
        const DropdownMenu* menu = row->getMenu();
        tap(menu->getLeft() + 10, menu->getTop() + index * (DropdownMenu::ITEM_HEIGHT + 1) + 13);
        runTasks(2);
    }
};

TEST_F(ProgramsTest, TheMenuLeadsToTheThreeProgramsAndMarksItsOwnTab) {
    const struct {
        const char* link;
        unsigned state;
        const char* screen;
    } links[] = {{"Winter & Summer mode", LOCATION, "FormLocation"},
                 {"Standby mode", STANDBY, "FormStandbyMode"},
                 {"Vacation mode", VACATION, "FormVacationMode"}};
    for (const auto& l : links) {
        open(PROGRAMS);
        tap(findByText(l.link));
        runTasks(2);
        EXPECT_EQ(state().getStateId(), l.state);
        EXPECT_EQ(screen()->getName(), l.screen);
    }
    open(PROGRAMS);
    const Component* tab = find<Button>([](const Button& b) { return b.getText() == "Programs"; });
    ASSERT_NE(tab, nullptr);
    EXPECT_FALSE(tab->isEnabled());
    EXPECT_TRUE(published().empty());
}

TEST_F(ProgramsTest, VacationShowsTheLocationsValues) {
    const int64_t endLocal = MARCH_5 + 6 * 86400; // March 11, local midnight
    const struct {
        const char* what;
        std::optional<int> vacation; // none: no entry
        std::optional<int64_t> end;  // none: no valid value
        const char* status;
        const char* item;
        bool dateShown;
    } cases[] = {
        {"no entry", std::nullopt, 0, "Vacation mode is turned off.", "Off", false},
        {"open-ended", 1, 0, "Vacation mode is turned on without expiration.", "Without expiration", false},
        {"no end time", 1, std::nullopt, "Vacation mode is turned on without expiration.",
         "Without expiration", false},
        {"another value", 2, 0, "Vacation mode is turned off.", "Off", false},
        {"until a date", 1, endLocal - 3600, "Vacation mode is turned on until March 11 2026.", "Until date",
         true},
    };
    for (const auto& c : cases) {
        if (c.vacation) {
            location().value(VID_VACATION, *c.vacation);
        }
        c.end ? (void)location().value(VID_END, static_cast<int>(*c.end)) : (void)location().invalid(VID_END);
        open(VACATION);
        EXPECT_EQ(status(), c.status) << c.what;
        EXPECT_EQ(mode(), c.item) << c.what;
        EXPECT_EQ(dateRow()->isVisible(), c.dateShown) << c.what;
        if (c.dateShown) {
            EXPECT_NE(findByText("11-03-2026"), nullptr) << c.what;
        }
    }
    EXPECT_TRUE(published().empty());
}

TEST_F(ProgramsTest, VacationWritesOnlyWhatTheUsersChoiceChanges) {
    const struct {
        const char* what;
        std::optional<int> vacation;
        int end;
        uint16_t choice;
        Published sent;
    } cases[] = {
        {"off, then off", std::nullopt, 0, 0, {}},
        {"off, then open-ended",
         std::nullopt,
         0,
         1,
         {{OID_LOCATION, VID_VACATION, 1}, {OID_LOCATION, VID_END, 0}}},
        {"open-ended again", 1, 0, 1, {}},
        {"open-ended, then off", 1, 0, 0, {{OID_LOCATION, VID_VACATION, 0}, {OID_LOCATION, VID_END, 0}}},
        {"until, then open-ended",
         1,
         1773270000,
         1,
         {{OID_LOCATION, VID_VACATION, 1}, {OID_LOCATION, VID_END, 0}}},
        {"until chosen, no date accepted yet", 1, 0, 2, {}},
    };
    for (const auto& c : cases) {
        published();
        const size_t before = published().size();
        if (c.vacation) {
            location().value(VID_VACATION, *c.vacation);
        }
        location().value(VID_END, c.end);
        open(VACATION);
        choose(c.choice);
        runTasks(2);
        EXPECT_EQ(Published(published().begin() + static_cast<long>(before), published().end()), c.sent)
            << c.what;
    }
    EXPECT_NE(find<DatePicker>(), nullptr) << "until date opens the picker";
}

TEST_F(ProgramsTest, ChangesFromTheControlUnitAreShownAndNeverWrittenBack) {
    location().value(VID_VACATION, 1).value(VID_END, 0);
    open(VACATION);
    receive(OID_LOCATION, VID_VACATION, 3);
    runTasks(2);
    EXPECT_EQ(mode(), "Off");
    EXPECT_EQ(status(), "Vacation mode is turned off.");
    receive(OID_LOCATION, VID_VACATION, 1);
    receive(OID_LOCATION, VID_END, static_cast<int>(MARCH_5 + 86400 - 3600));
    runTasks(2);
    EXPECT_EQ(mode(), "Until date");
    EXPECT_EQ(status(), "Vacation mode is turned on until March 06 2026.");
    EXPECT_TRUE(dateRow()->isVisible());
    EXPECT_EQ(find<DatePicker>(), nullptr) << "no editor opens by itself";
    object(ROOM, BT_OBJ_ROOM).value(VID_VACATION, BT_VTYPE_U8, 0); // another object's value of that id
    runTasks(2);
    EXPECT_EQ(mode(), "Until date");
    EXPECT_TRUE(published().empty());
}

TEST_F(ProgramsTest, TheEndDateIsLocalMidnightAsAUtcInstantAndReadsBackAsTheSameDay) {
    const struct {
        std::optional<int> offset;
        int64_t stored;
    } cases[] = {{3600, MARCH_5 - 3600}, {-18000, MARCH_5 + 18000}, {std::nullopt, MARCH_5}};
    for (const auto& c : cases) {
        published();
        c.offset ? (void)location().value(VID_LOCAL_OFFSET, *c.offset)
                 : (void)location().invalid(VID_LOCAL_OFFSET);
        location().value(VID_VACATION, 0).value(VID_END, 0);
        runTasks(2);
        open(VACATION);
        choose(2);
        ASSERT_NE(find<DatePicker>(), nullptr);
        tap(findByText("OK")); // tomorrow, the earliest date
        runTasks(3);
        const Published& sent = published();
        ASSERT_GE(sent.size(), 2u);
        EXPECT_EQ(sent[sent.size() - 1], (PublishedValue{OID_LOCATION, VID_END, static_cast<int>(c.stored)}));
        EXPECT_EQ(status(), "Vacation mode is turned on until March 05 2026.");
        open(VACATION);
        EXPECT_EQ(status(), "Vacation mode is turned on until March 05 2026.");
        EXPECT_NE(findByText("05-03-2026"), nullptr);
    }
}

TEST_F(ProgramsTest, UntilDateOffersTomorrowAndACancelledPickerWritesNothing) {
    location().value(VID_VACATION, 1).value(VID_END, 0);
    open(VACATION);
    receive(OID_LOCATION, VID_END, 0); // the date row follows "no end" to 1970
    runTasks(2);
    choose(2);
    tap(findByText("Cancel"));
    runTasks(2);
    EXPECT_EQ(mode(), "Until date");
    EXPECT_NE(findByText("05-03-2026"), nullptr);
    EXPECT_TRUE(published().empty());
}

TEST_F(ProgramsTest, ExclusionsWriteTheFlagOfTheToggledRoomOrTank) {
    object(ROOM, BT_OBJ_ROOM).text(VID_NAME, "Living room").value(VID_ROOM_ALLOW, 1);
    object(0x02000316, BT_OBJ_ROOM).value(VID_ROOM_ALLOW, 0);
    object(TANK, BT_OBJ_DHW_TANK).value(0x808D, 1);
    open(VACATION);
    tap(find<DropdownButton>()); // "Exclusions"
    auto boxes = findAll<CheckButton>();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0]->getText(), "Living room");
    EXPECT_EQ(boxes[1]->getText(), "Room 2");
    EXPECT_EQ(boxes[2]->getText(), "DHW 11");
    EXPECT_EQ((std::vector<bool>{boxes[0]->getChecked(), boxes[1]->getChecked(), boxes[2]->getChecked()}),
              (std::vector<bool>{false, true, false}));
    EXPECT_TRUE(published().empty());
    tap(boxes[0]);
    tap(boxes[1]);
    tap(boxes[2]);
    runTasks(2);
    EXPECT_EQ(published(),
              (Published{{ROOM, VID_ROOM_ALLOW, 0}, {0x02000316, VID_ROOM_ALLOW, 1}, {TANK, 0x808D, 0}}));
}

// The exclusions stand in two columns; a name too long for its button takes two lines of the smaller font,
// and one too long for those ends in an ellipsis.
TEST_F(ProgramsTest, ExclusionsStandInTwoColumnsAndALongNameTakesTwoLinesBeforeAnEllipsis) {
    object(ROOM, BT_OBJ_ROOM).text(VID_NAME, "Kitchen");
    object(0x02000316, BT_OBJ_ROOM).text(VID_NAME, "Children's bedroom");
    object(0x03000316, BT_OBJ_ROOM).text(VID_NAME, "Guest bathroom next to the stairs in the attic");
    object(TANK, BT_OBJ_DHW_TANK);
    open(VACATION);
    tap(find<DropdownButton>()); // "Exclusions"
    const auto boxes = findAll<CheckButton>();
    ASSERT_EQ(boxes.size(), 4u);
    const int left = boxes[0]->getLeft();
    const int top = boxes[0]->getTop();
    const bif_t* small = bif_myriad10.getFont();
    const struct {
        int column, row;
        int lines; // of text shown
        bool cut;  // ends in an ellipsis
    } expected[] = {{0, 0, 1, false}, {1, 0, 2, false}, {0, 1, 2, true}, {1, 1, 1, false}};
    for (size_t i = 0; i < boxes.size(); ++i) {
        const CheckButton& box = *boxes[i];
        SCOPED_TRACE(box.getText());
        EXPECT_EQ(box.getLeft(), left + expected[i].column * 150);
        EXPECT_EQ(box.getTop(), top + expected[i].row * 35);
        EXPECT_EQ(box.getWidth(), 127);
        EXPECT_EQ(box.getHeight(), 26);
        // The name's ink, left of the tick's 40 columns.
        const Box area = Box::fromCorners(box.getLeft(), box.getTop(), box.getRight() - 40, box.getBottom());
        const Box ink = inkIn(area, colour::CONTROL);
        ASSERT_FALSE(ink.isEmpty());
        EXPECT_EQ(ink.getHeight() > small->line_step + 2, expected[i].lines == 2) << ink.getHeight();
        EXPECT_EQ(ink.x2 >= area.x2 - 6, expected[i].cut) << ink.x2 << " of " << area.x2;
    }
    screenshot("FormVacationMode_long_names");
}

// The exclusions read in one font: a name that needs the smaller one gives it to every name of the grid.
TEST_F(ProgramsTest, ExclusionsShowEveryNameInOneFont) {
    const struct {
        std::vector<const char*> rooms; // the tank comes last, named "Hot-water tank" or not at all
        bool tank;
        bool smaller;
    } cases[] = {
        {{"Living room", "Bedroom"}, true, true},
        {{"Living room", "Bedroom"}, false, false},
        {{"Kitchen", "Guest bathroom on the stairs"}, false, true},
    };
    for (const auto& c : cases) {
        open(PROGRAMS);
        for (const oid_t gone : {0x01000316u, 0x02000316u, TANK}) {
            Structure.remove(gone);
        }
        oid_t room = 0x00000316;
        for (const char* name : c.rooms) {
            room += 0x01000000;
            object(room, BT_OBJ_ROOM).text(VID_NAME, name);
        }
        if (c.tank) {
            object(TANK, BT_OBJ_DHW_TANK).text(VID_NAME, "Hot-water tank");
        }
        runTasks();
        open(VACATION);
        tap(find<DropdownButton>()); // "Exclusions"
        for (const CheckButton* box : findAll<CheckButton>()) {
            SCOPED_TRACE(box->getText());
            const Box area =
                Box::fromCorners(box->getLeft(), box->getTop(), box->getRight() - 40, box->getBottom());
            const Box ink = inkIn(area, colour::CONTROL);
            ASSERT_FALSE(ink.isEmpty());
            if (ink.getHeight() > bif_myriad10.getFont()->line_step + 2) {
                EXPECT_TRUE(c.smaller) << "two lines come only in the smaller font";
                continue;
            }
            const int usual = bif_text_width(bif_myriad12.getFont(), box->getText());
            const int smaller = bif_text_width(bif_myriad10.getFont(), box->getText());
            const bool drawnSmaller = std::abs(ink.getWidth() - smaller) < std::abs(ink.getWidth() - usual);
            EXPECT_EQ(drawnSmaller, c.smaller) << ink.getWidth() << " for " << smaller << " or " << usual;
        }
    }
}

TEST_F(ProgramsTest, WithoutRoomsOrTanksVacationExcludesNoneAndStandbyHasOnlyItsSwitch) {
    open(VACATION);
    tap(find<DropdownButton>()); // "Exclusions"
    EXPECT_NE(findByText("There are no items at this moment"), nullptr);
    open(STANDBY);
    EXPECT_EQ(findAll<SwitchButton>().size(), 1u);
    EXPECT_NE(findByText("Programs | Standby mode"), nullptr);
}

TEST_F(ProgramsTest, StandbysTankRowExcludesTheFirstTank) {
    const struct {
        const char* what;
        std::optional<int> allow;
        bool shownExcluded;
        Published onToggle;
    } cases[] = {
        {"no value yet", std::nullopt, true, {{TANK, VID_TANK_STANDBY, 1}}},
        {"follows standby", 1, false, {{TANK, VID_TANK_STANDBY, 0}}},
        {"excluded", 0, true, {{TANK, VID_TANK_STANDBY, 1}}},
    };
    object(0x0C000316, BT_OBJ_DHW_TANK).value(VID_TANK_STANDBY, 1); // a second tank: no row
    for (const auto& c : cases) {
        published();
        const size_t before = published().size();
        c.allow ? (void)object(TANK, BT_OBJ_DHW_TANK).value(VID_TANK_STANDBY, *c.allow)
                : (void)object(TANK, BT_OBJ_DHW_TANK).invalid(VID_TANK_STANDBY);
        open(STANDBY);
        runTasks(2);
        const std::vector<SwitchButton*> switches = findAll<SwitchButton>();
        ASSERT_EQ(switches.size(), 2u) << c.what;
        EXPECT_EQ(switches[1]->getChecked(), c.shownExcluded) << c.what;
        EXPECT_EQ(published().size(), before) << c.what << ": opening writes nothing";
        tap(switches[1]);
        runTasks(2);
        EXPECT_EQ(Published(published().begin() + static_cast<long>(before), published().end()), c.onToggle)
            << c.what;
    }
    tap(findAll<SwitchButton>()[0]);
    runTasks(2);
    EXPECT_EQ(published().back(), (PublishedValue{OID_LOCATION, VID_STANDBY, 1}));
}

TEST_F(ProgramsTest, WinterAndSummerShowTheRowsOfTheSwitchingMode) {
    const struct {
        std::optional<int> switching;
        const char* text;
        bool modeEnabled;
        std::vector<std::string> settings;
    } cases[] = {
        {std::nullopt, "Switching between Winter and Summer mode is not available.", false, {}},
        {1, "User manually switches between Winter and Summer mode.", true, {"Room dew point band"}},
        {2,
         "Switch between Winter and Summer mode is done automatically according to calendar.",
         false,
         {"Room dew point band"}},
        {3,
         "Switch between Winter and Summer mode is done automatically according to set temperature and "
         "outdoor "
         "temperature.",
         false,
         {"Room dew point band", "Minimum outside temperature", "Switching cooldown",
          "Deadband temperature"}},
        {4,
         "User manually switches between Winter and Summer mode by using external switch.",
         false,
         {"Room dew point band"}},
        {7,
         "Information about switching between Winter and Summer mode is not available.",
         false,
         {"Room dew point band"}},
    };
    for (const auto& c : cases) {
        c.switching ? (void)location().value(VID_SWITCHING, *c.switching)
                    : (void)location().invalid(VID_SWITCHING);
        open(LOCATION);
        EXPECT_EQ(find<TextFrame>()->getText(), c.text);
        EXPECT_EQ(modeRow()->isEnabled(), c.modeEnabled) << c.text;
        EXPECT_EQ(find<DropdownButton>() != nullptr, !c.settings.empty()) << c.text;
        if (DropdownButton* section = find<DropdownButton>()) {
            tap(section);
        }
        std::vector<std::string> rows;
        for (ProxyUpDownRow* row : findAll<ProxyUpDownRow>()) {
            rows.push_back(row->getTitle());
        }
        EXPECT_EQ(rows, c.settings) << c.text;
        EXPECT_EQ(findByText("H/C change-over") != nullptr, c.settings.size() == 4) << c.text;
    }
    EXPECT_TRUE(published().empty());
}

TEST_F(DefaultInstallationTest, ProgramScreens) {
    loadDefaultInstallation();
    ObjectBuilder(OID_LOCATION).value(VID_SWITCHING, 3);
    runTasks();
    for (const auto& [id, name] :
         {std::pair{PROGRAMS, "FormPrograms"}, std::pair{VACATION, "FormVacationMode"},
          std::pair{STANDBY, "FormStandbyMode"}, std::pair{LOCATION, "FormLocation"}}) {
        picturesInEveryLanguage(name, [&] {
            open(id);
            ASSERT_EQ(screen()->getName(), name);
        });
    }
    picturesInEveryLanguage("FormVacationMode_exclusions", [&] {
        open(VACATION);
        tap(find<DropdownButton>()); // "Exclusions"
    });
    // The vacation mode's menu open, its choices whole.
    picturesInEveryLanguage("FormVacationMode_menu", [&] {
        open(VACATION);
        const EditableDropdownRow* row = find<EditableDropdownRow>();
        tap(find<IconButton>([&](const IconButton& b) { return b.isChildOf(row); }));
        runTasks(2);
        ASSERT_TRUE(row->getMenu()->isGloballyVisible());
    });
    picturesInEveryLanguage("FormLocation_cooling", [&] {
        open(LOCATION);
        tap(find<DropdownButton>());
    });
}

} // namespace
} // namespace tdx::test
