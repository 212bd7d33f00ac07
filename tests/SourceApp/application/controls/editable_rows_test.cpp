// The editable rows by touch: each grows around a new editor and shrinks back (the list below moving with
// it), accepting hands the value to the row before its command runs, cancelling keeps it, and the dropdown's
// own rules for its button, its items and its saved open state.
#include "Libraries/base/os.h"
#include "Libraries/base/timestamp.h"
#include "SourceApp/application/controls/DatePicker.h"
#include "SourceApp/application/controls/DropdownMenu.h"
#include "SourceApp/application/controls/EditableDropdownRow.h"
#include "SourceApp/application/controls/EditableRow.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/KeyboardEditor.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/TimePicker.h"
#include "SourceApp/application/controls/WeekdayEventPicker.h"
#include "SourceApp/gui/core/layout/StackedContainer.h"
#include "tests/support/screen_harness.h"

#include <functional>
#include <string>
#include <vector>

namespace tdx::test {
namespace {

constexpr int WIDTH = 277;
const Date MARCH_4 = Date(timestamp_make_simple(2026, 3, 4, 9, 15, 0), 0);

// Appends its name to the log when run.
class Note : public ICommand {
public:
    Note(std::vector<std::string>& log, std::string text)
        : mLog(log)
        , mText(std::move(text)) {}
    void execute() override { mLog.push_back(mText); }

private:
    std::vector<std::string>& mLog;
    std::string mText;
};

class PickCount : public DropdownItemClickCommand {
public:
    explicit PickCount(std::vector<std::string>& log)
        : mLog(log) {}
    void execute(DropdownItem* item) override { mLog.push_back(item->getTitle()); }

private:
    std::vector<std::string>& mLog;
};

EditableDropdownRow* dropdown(Container* parent) {
    auto* row = new EditableDropdownRow(parent, 0, 0, WIDTH, "Colour", 100);
    row->addItem(new DropdownItemImpl("Red", 0), false);
    row->addItem(new DropdownItemImpl("Green", 1), true);
    row->addItem(new DropdownItemImpl("Blue", 2), false);
    return row;
}

class RowsTest : public ScreenHarness {
public:
    // Editors alive of a kind; the dropdown's menu counts while shown.
    template <class T>
    int count() const {
        if constexpr (std::is_same_v<T, DropdownMenu>) {
            const auto* menu = find<DropdownMenu>();
            return menu != nullptr && menu->isVisible() ? 1 : 0;
        }
        return static_cast<int>(findAll<T>().size());
    }

protected:
    // A list as the settings screens have it: rows stacked 9 pixels apart, a label below them.
    template <class Make>
    auto* list(Make make) {
        auto* stack = StackedContainer::Builder{.parent = blank(),
                                                .x = 20,
                                                .y = 10,
                                                .width = WIDTH,
                                                .height = 0,
                                                .direction = DIRECTION_VERTICAL,
                                                .spacing = 9}
                          .build();
        auto* row = make(stack);
        mBelow = new ContainedLabel(stack, 0, 0, 100, 20, &bif_myriad12, "below");
        stack->fitToContent();
        runTasks();
        return row;
    }
    // The first button in the row's tree, the head's: the head is built before any editor.
    static IconButton* headButton(const Container& row) {
        for (Component* c : row.getChildren()) {
            if (auto* b = dynamic_cast<IconButton*>(c)) {
                return b;
            }
            if (c->isContainerType()) {
                if (auto* b = headButton(*static_cast<Container*>(c))) {
                    return b;
                }
            }
        }
        return nullptr;
    }
    void pickItem(const EditableDropdownRow& row, int index) {
        const DropdownMenu* menu = row.getMenu();
        tap(menu->getLeft() + 10, menu->getTop() + index * (DropdownMenu::ITEM_HEIGHT + 1) + 13);
    }

    ContainedLabel* mBelow = nullptr;
    std::vector<std::string> mLog;
};

TEST_F(RowsTest, EachRowGrowsAroundANewEditorAndShrinksBackTakingTheListAlong) {
    const struct {
        const char* name;
        std::function<EditableRow*(Container*)> make;
        std::function<int(RowsTest&)> editors; // editors alive
    } kinds[] = {
        {"date", [](Container* p) { return new EditableDatePickerRow(p, 0, 0, WIDTH, "Date", MARCH_4); },
         [](RowsTest& t) { return t.count<DatePicker>(); }},
        {"time", [](Container* p) { return new EditableTimePickerRow(p, 0, 0, WIDTH, "Time"); },
         [](RowsTest& t) { return t.count<TimePicker>(); }},
        {"weekday",
         [](Container* p) {
             return new EditableWeekdayEventPickerRow(p, 0, 0, WIDTH, "Cleaning", WeekdayEvent(0, 2, 6, 30));
         },
         [](RowsTest& t) { return t.count<WeekdayEventPicker>(); }},
        {"string", [](Container* p) { return new EditableStringRow(p, 0, 0, WIDTH, "Name", "Kitchen"); },
         [](RowsTest& t) { return t.count<KeyboardEditor>(); }},
        {"dropdown", [](Container* p) { return dropdown(p); },
         [](RowsTest& t) { return t.count<DropdownMenu>(); }},
    };
    for (const auto& kind : kinds) {
        EditableRow* row = list(kind.make);
        const std::string name = std::string("row_") + kind.name;
        screenshot(name + "_closed");
        EXPECT_EQ(row->getHeight(), 26) << name;
        for (int opening = 0; opening < 2; ++opening) {
            tap(headButton(*row));
            EXPECT_TRUE(row->isBeingEdited()) << name;
            EXPECT_EQ(kind.editors(*this), 1) << name << ": one editor, a new one at every opening";
            EXPECT_GT(row->getHeight(), 26 + 31) << name;
            EXPECT_EQ(mBelow->getTop(), row->getBottom() + 10) << name << ": the list moves down";
            if (opening == 0) {
                screenshot(name + "_open");
            }
            tap(headButton(*row));
            EXPECT_FALSE(row->isBeingEdited()) << name;
            EXPECT_EQ(kind.editors(*this), 0) << name << ": the closed editor is gone";
            EXPECT_EQ(row->getHeight(), 26) << name;
            EXPECT_EQ(mBelow->getTop(), row->getBottom() + 10) << name;
        }
    }
}

// The head's arrow keeps its grey under the finger (the dropdown's turns white as its list opens on the
// press): nowhere in its box the dark grey of a pressed button.
TEST_F(RowsTest, TheHeadArrowKeepsItsColoursWhilePressed) {
    const struct {
        const char* name;
        std::function<EditableRow*(Container*)> make;
        unsigned pressedBack;
    } kinds[] = {
        {"date", [](Container* p) { return new EditableDatePickerRow(p, 0, 0, WIDTH, "Date", MARCH_4); },
         colour::CONTROL},
        {"time", [](Container* p) { return new EditableTimePickerRow(p, 0, 0, WIDTH, "Time"); },
         colour::CONTROL},
        {"weekday",
         [](Container* p) {
             return new EditableWeekdayEventPickerRow(p, 0, 0, WIDTH, "Cleaning", WeekdayEvent(0, 2, 6, 30));
         },
         colour::CONTROL},
        {"string", [](Container* p) { return new EditableStringRow(p, 0, 0, WIDTH, "Name", "Kitchen"); },
         colour::CONTROL},
        {"dropdown", [](Container* p) { return dropdown(p); }, colour::WHITE},
    };
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.name);
        EditableRow* row = list(kind.make);
        const IconButton* arrow = headButton(*row);
        const Box box = arrow->getBoundingBox();
        press(box.x1 + 2, box.y1 + 2);
        runTasks(2);
        ASSERT_TRUE(arrow->isActive());
        EXPECT_EQ(pixel(box.x1 + 2, box.y1 + 2), kind.pressedBack);
        EXPECT_EQ(pixel(box.x2 - 2, box.y2 - 2), kind.pressedBack);
        EXPECT_EQ(countColour(box, colour::PRESSED), 0);
        release();
    }
}

// The inspector shows the head's containers: the date, time and weekday rows hold a grey style container with
// a stack of title, value and arrow; the string row one row container. Both paint the grey ground and the
// white gaps between the parts.
TEST_F(RowsTest, TheHeadsContainersAreTheInspectorsTreeAndPaintTheSameGround) {
    const struct {
        const char* name;
        std::function<EditableRow*(Container*)> make;
        std::vector<std::string> head; // names from the row down to the container of the parts
    } kinds[] = {
        {"date",
         [](Container* p) { return new EditableDatePickerRow(p, 0, 0, WIDTH, "Date", MARCH_4); },
         {"StyleContainer", "StackedContainer"}},
        {"time",
         [](Container* p) { return new EditableTimePickerRow(p, 0, 0, WIDTH, "Time", MARCH_4); },
         {"StyleContainer", "StackedContainer"}},
        {"weekday",
         [](Container* p) {
             return new EditableWeekdayEventPickerRow(p, 0, 0, WIDTH, "Cleaning", WeekdayEvent(0, 2, 6, 30));
         },
         {"StyleContainer", "StackedContainer"}},
        {"string",
         [](Container* p) { return new EditableStringRow(p, 0, 0, WIDTH, "Name", "Kitchen"); },
         {"RowContainer"}},
    };
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.name);
        EditableRow* row = list(kind.make);
        const Container* c = row;
        for (const std::string& name : kind.head) {
            ASSERT_EQ(c->getChildren().size(), 1u);
            const Component* child = c->getChildren().front();
            EXPECT_EQ(child->getName(), name);
            EXPECT_EQ(child->getBoundingBox(), Box(row->getLeft(), row->getTop(), WIDTH, 26));
            ASSERT_TRUE(child->isContainerType());
            c = static_cast<const Container*>(child);
        }
        const auto& parts = c->getChildren();
        ASSERT_EQ(parts.size(), 3u);
        EXPECT_EQ(parts[0]->getName(), "ContainedLabel");
        EXPECT_EQ(parts[1]->getName(), "ContainedLabel");
        EXPECT_EQ(parts[2], headButton(*row));
        const int y = row->getTop() + 13;
        EXPECT_EQ(pixel(row->getLeft() + 2, y), colour::CONTROL) << "the title's indent shows the ground";
        EXPECT_EQ(pixel(parts[0]->getRight() + 1, y), colour::WHITE);
        EXPECT_EQ(pixel(parts[1]->getLeft() - 1, y), colour::CONTROL);
        EXPECT_EQ(pixel(parts[1]->getRight() + 1, y), colour::WHITE);
        EXPECT_EQ(parts[2]->getRight(), row->getRight());
    }
}

// The date and time rows' title is as wide in a wider row; the others' titles take what is left.
TEST_F(RowsTest, TheDateAndTimeTitlesAre145WideInAnyRow) {
    constexpr int WIDE = 300;
    const struct {
        const char* title;
        std::function<EditableRow*(Container*)> make;
        int width;
    } kinds[] = {
        {"Date", [](Container* p) { return new EditableDatePickerRow(p, 0, 0, WIDE, "Date", MARCH_4); }, 145},
        {"Time", [](Container* p) { return new EditableTimePickerRow(p, 0, 0, WIDE, "Time", MARCH_4); }, 145},
        {"Cleaning",
         [](Container* p) {
             return new EditableWeekdayEventPickerRow(p, 0, 0, WIDE, "Cleaning", WeekdayEvent(0, 2, 6, 30));
         },
         WIDE - 173},
        {"Name", [](Container* p) { return new EditableStringRow(p, 0, 0, WIDE, "Name", "Kitchen"); },
         WIDE - 132},
    };
    for (const auto& kind : kinds) {
        EditableRow* row = kind.make(blank());
        const auto* title = find<ContainedLabel>(
            [&](const ContainedLabel& l) { return l.isChildOf(row) && l.getText() == kind.title; });
        ASSERT_NE(title, nullptr) << kind.title;
        EXPECT_EQ(title->getWidth(), kind.width) << kind.title;
        EXPECT_EQ(title->getLeft(), row->getLeft() + 9) << kind.title;
    }
}

TEST_F(RowsTest, AcceptingHandsTheValueToTheRowBeforeItsCommandAndCancellingKeepsIt) {
    EditableDatePickerRow* row = nullptr;
    row = list([&](Container* p) { return new EditableDatePickerRow(p, 0, 0, WIDTH, "Date", MARCH_4); });
    struct Seen : ICommand {
        Seen(EditableDatePickerRow*& r, std::vector<std::string>& l)
            : row(r)
            , log(l) {}
        void execute() override { log.push_back("accepted " + std::to_string(row->getDate().getDay())); }
        EditableDatePickerRow*& row;
        std::vector<std::string>& log;
    };
    row->setOnAcceptCommand(std::make_unique<Seen>(row, mLog));
    row->setOnCancelCommand(std::make_unique<Note>(mLog, "cancelled"));
    auto dayUp = [&] { tap(findAll<IconButton>().at(1)); }; // the head's button, then the day's up arrow

    tap(headButton(*row));
    dayUp();
    tap(findByText("OK"));
    EXPECT_EQ(mLog, (std::vector<std::string>{"accepted 5"}));
    EXPECT_EQ(findByText("05-03-2026"), findAll<ContainedLabel>().at(1));
    EXPECT_EQ(row->getDate().getHours(), 9) << "the time of day stays";

    tap(headButton(*row));
    dayUp();
    tap(findByText("Cancel"));
    EXPECT_EQ(mLog, (std::vector<std::string>{"accepted 5", "cancelled"}));
    EXPECT_EQ(row->getDate().getDay(), 5);
    EXPECT_NE(findByText("05-03-2026"), nullptr);
    EXPECT_FALSE(row->isBeingEdited());
}

TEST_F(RowsTest, ATimeRowWithoutADateFollowsTheClockEvenAfterAnAccept) {
    auto* row = list([](Container* p) { return new EditableTimePickerRow(p, 0, 0, WIDTH, "Time"); });
    EXPECT_NE(findByText("12:00:00"), nullptr);
    tap(headButton(*row));
    tap(findAll<IconButton>().at(1)); // hours up
    tap(findByText("OK"));
    EXPECT_EQ(row->getDate().getHours(), 13);
    wait(3200); // the last even tick at 3.1 s at the latest
    EXPECT_NE(findByText("12:00:03"), nullptr) << "the label shows the clock, not the stored time";
}

TEST_F(RowsTest, TheDropdownOpensOnTheFirstPressOnlyWhileEnabledAndPicksOnce) {
    auto* row = list(dropdown);
    row->setOnItemClickCommand(std::make_unique<PickCount>(mLog));
    EXPECT_EQ(row->getSelectedItem()->getTitle(), "Green");

    press(headButton(*row)->getLeft() + 5, headButton(*row)->getTop() + 5);
    tick(30); // hold repeats
    release();
    EXPECT_TRUE(row->isBeingEdited()) << "hold repeats do not toggle";
    pickItem(*row, 1);
    EXPECT_TRUE(mLog.empty()) << "the item shown at the start is the chosen one";
    EXPECT_FALSE(row->isBeingEdited());

    tap(headButton(*row));
    pickItem(*row, 2);
    EXPECT_EQ(mLog, (std::vector<std::string>{"Blue"}));
    EXPECT_NE(findByText("Blue"), nullptr);

    row->setEnabled(false);
    tap(headButton(*row));
    EXPECT_FALSE(row->isBeingEdited()) << "a disabled row ignores presses";
    row->setSelectedItem(9);
    EXPECT_EQ(row->getSelectedItem(), nullptr);
    EXPECT_NE(findByText("--"), nullptr);
    EXPECT_EQ(mLog.size(), 1u);
}

// Translations longer than the regular font holds in the title or the value column are shown whole in the
// smaller font; short texts keep the regular one, also after a pick changes the value's length. A choice too
// long for the value's column even in the smaller font widens it into the title's, whose text then takes the
// smaller font where it must; the value's column keeps its right edge beside the arrow.
TEST_F(RowsTest, TheDropdownShowsLongTitlesAndValuesWholeInTheSmallerFont) {
    const struct {
        const char* title;
        const char* shown;
        const char* picked;
    } cases[] = {
        {"Colour", "Green", "Vloerverwarming"},
        {"Return temperature limiter", "Vloerverwarming", "Red"},
        {"Vacation mode", "Off", "Without expiration"},
        {"Tilsidesættelse af tilstand", "Ingen", "Program tilsidesat"},
    };
    for (const auto& c : cases) {
        auto* row = new EditableDropdownRow(blank(), 0, 40, WIDTH, c.title, 100);
        const int valueRight = row->getRight() - 41; // where the 81-wide value column ends
        row->addItem(new DropdownItemImpl(c.shown, 0), true);
        row->addItem(new DropdownItemImpl(c.picked, 1), false);
        runTasks();
        for (const char* text : {c.shown, c.picked}) {
            if (text == c.picked) {
                row->setSelectedItem(1);
                runTasks();
            }
            for (const char* whole : {c.title, text}) {
                const auto* label =
                    find<ContainedLabel>([whole](const ContainedLabel& l) { return l.getText() == whole; });
                ASSERT_NE(label, nullptr) << whole;
                const int width = bif_text_width(label->getFont()->getFont(), whole);
                EXPECT_LE(width, label->getWidth()) << whole << " is shown whole";
                const bool regularFits =
                    bif_text_width(bif_myriad12.getFont(), whole) <= label->getWidth() - 2;
                EXPECT_EQ(label->getFont(), regularFits ? &bif_myriad12 : &bif_myriad10) << whole;
                EXPECT_LE(label->getRight(), valueRight) << whole;
            }
        }
    }
}

Form* dropdownScreen(unsigned, unsigned next, const State& state) {
    auto* form = new BlankForm(state);
    if (next == 30) {
        dropdown(form);
    }
    return form;
}

TEST_F(RowsTest, AnOpenDropdownOpensAgainWhenTheUserComesBack) {
    setRegistry(&dropdownScreen);
    open(30);
    tap(headButton(*find<EditableDropdownRow>()));
    open(31);
    mCore.prevState();
    runTasks(2);
    ASSERT_NE(find<EditableDropdownRow>(), nullptr);
    EXPECT_TRUE(find<EditableDropdownRow>()->isBeingEdited());
}

using RowsDeathTest = RowsTest;

// A dropdown row too narrow for its title, or told to restore no state, stops the program, naming the broken
// condition and the whole signature of the operation.
TEST_F(RowsDeathTest, ADropdownRowTooNarrowOrRestoredFromNothingStopsTheProgramNamingBoth) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const struct {
        void (*call)(Container*);
        const char* expression;
        const char* function;
    } rows[] = {
        {[](Container* parent) { new EditableDropdownRow(parent, 0, 0, 134, "Colour", 100); },
         "labelWidth > 11",
         "EditableDropdownRow::EditableDropdownRow(Container*, int32_t, int32_t, int32_t, const string&, "
         "uint32_t)"},
        {[](Container* parent) { dropdown(parent)->handleDeserialize(nullptr); }, "state",
         "virtual void EditableDropdownRow::handleDeserialize(const SerializedState*)"},
    };
    for (const auto& row : rows) {
        Container* parent = blank();
        EXPECT_DEATH(
            {
                os_set_assert_handler(nullptr); // the harness's handler would only throw
                row.call(parent);
            },
            assertionReport(row.expression, row.function,
                            "SourceApp/application/controls/EditableDropdownRow.cpp"))
            << row.function;
    }
    EXPECT_NE(new EditableDropdownRow(blank(), 0, 0, 135, "Colour", 100), nullptr) << "135 is wide enough";
}

} // namespace
} // namespace tdx::test
