// The dashboard tiles by pixels and touch: geometry with and without the checkbox, value texts that grow
// leftwards from a fixed right edge, row texts whole above the lines below them, grey texts while disabled,
// and a frame the children never paint over.
#include "Libraries/base/os.h"
#include "SourceApp/application/controls/Checkbox.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/Widget.h"
#include "SourceApp/application/controls/widgets.h"
#include "tests/support/screen_harness.h"

namespace tdx::test {
namespace {

constexpr int L = 10;
constexpr int T = 20;

class TileTest : public ScreenHarness {
protected:
    void SetUp() override {
        ScreenHarness::SetUp();
        mPage = blank();
    }
    WidgetLarge* large(bool checkbox) {
        return WidgetLarge::Builder{.mParent = mPage,
                                    .mX = L,
                                    .mY = T,
                                    .mHasCheckbox = checkbox,
                                    .mTag = 0x01000316,
                                    .mFirstLabelText = "Room temp.",
                                    .mFirstValueText = "21.5\u00B0",
                                    .mSecondLabelText = "Set temp.",
                                    .mSecondValueText = "22.0\u00B0"}
            .build();
    }
    WidgetSmall* small() {
        return WidgetSmall::Builder{.mParent = mPage,
                                    .mX = L,
                                    .mY = T,
                                    .mFirstLabelText = "Air temp.",
                                    .mFirstValueText = "21.5\u00B0",
                                    .mSecondLabelText = "Humidity",
                                    .mSecondValueText = "40 %"}
            .build();
    }
    Form* mPage = nullptr;
};

TEST_F(TileTest, ChildrenSitWhereTheTileSaysWithAndWithoutCheckbox) {
    struct Expect {
        Box heading, button;
        int firstValueRight, secondValueRight;
        bool checkbox;
    };
    auto check = [](Widget* tile, const Expect& e) {
        EXPECT_EQ(tile->getHeadingLabel()->getBoundingBox(), e.heading);
        EXPECT_EQ(tile->getButton()->getBoundingBox(), e.button);
        EXPECT_EQ(tile->getFirstValueLabel()->getRight(), e.firstValueRight);
        EXPECT_EQ(tile->getSecondValueLabel()->getRight(), e.secondValueRight);
        EXPECT_EQ(tile->getCheckbox() != nullptr, e.checkbox);
        if (e.checkbox) {
            EXPECT_EQ(tile->getCheckbox()->getBoundingBox(), Box(L + 1, T + 1, 19, 18));
        }
    };
    check(large(false), {Box(L + 5, T, 163, 20), Box(L + 169, T, 40, 20), L + 94, L + 94, false});
    check(large(true), {Box(L + 24, T, 144, 20), Box(L + 169, T, 40, 20), L + 94, L + 94, true});
    check(small(), {Box(L + 24, T, 212, 20), Box(L + 237, T, 40, 20), L + 130, L + 267, true});
    EXPECT_EQ(large(true)->tag, 0x01000316u) << "the home screen finds its object by the tile's tag";
}

TEST_F(TileTest, GrowingValueTextsKeepTheirRightEdge) {
    WidgetLarge* tile = large(false);
    WidgetSmall* other = small();
    const int before = tile->getFirstValueLabel()->getLeft();
    for (const char* text : {"-", "21.5\u00B0", "Off-line", "a long text grows left"}) {
        tile->setFirstValue(text);
        tile->setSecondValue(text);
        other->setFirstValue(text);
        other->setSecondValue(text);
        EXPECT_EQ(tile->getFirstValueLabel()->getRight(), L + 94) << text;
        EXPECT_EQ(tile->getSecondValueLabel()->getRight(), L + 94) << text;
        EXPECT_EQ(other->getFirstValueLabel()->getRight(), L + 130) << text;
        EXPECT_EQ(other->getSecondValueLabel()->getRight(), L + 267) << text;
    }
    EXPECT_LT(tile->getFirstValueLabel()->getLeft(), before);
}

// Side by side on the small tile, a caption too long for its column takes room the other column can spare:
// both captions read whole where the two fit together, and only where they do not is one cut. A value that
// grows later lays the row out again, also on a tile already on the screen. The separator stands in the
// split, clear of both columns' texts, and nowhere else.
TEST_F(TileTest, ACaptionTooLongForItsColumnTakesTheRoomTheOtherSpares) {
    const struct {
        const char *first, *second;
        const char *laterFirstValue, *laterSecondValue; // none: the values stay
        bool firstWhole, secondWhole;
        bool shownBefore; // the tile drawn on the screen before the later values come
    } rows[] = {
        {"Air temp.", "Humidity", nullptr, nullptr, true, true, false},
        {"Desired temperature", "Set temperature", nullptr, nullptr, true, true, false},
        {"Air temp.", "A second caption far too long for either column", nullptr, nullptr, true, false,
         false},
        {"A first caption far too long for either column", "Set temperature", nullptr, nullptr, false, true,
         false},
        {"A first caption far too long for either column", "A second caption far too long for either column",
         nullptr, nullptr, false, false, false},
        {"Air temp.", "Set temperature", nullptr, "-50.0 %", true, true, false},
        {"Air temp.", "Set temperature", nullptr, "Sensor fault", true, true, false},
        {"Desired temperature", "Humidity", "-50.0\u00B0", nullptr, true, true, false},
        {"Desired temperature", "Set temperature", nullptr, "Off-line", false, true, false},
        {"Air temp.", "Set temperature", nullptr, "Sensor fault", true, true, true},
        {"Desired temperature", "Humidity", "-50.0\u00B0", nullptr, true, true, true},
    };
    // The separator: the one column of the row's height in the frame's colour inside the tile.
    const auto separators = [] {
        std::vector<int> found;
        for (int x = L + 1; x < L + WidgetSmall::WIDTH - 1; ++x) {
            if (countColour(Box(x, T + 23, 1, 14), colour::CONTROL) == 14) {
                found.push_back(x);
            }
        }
        return found;
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.first << " | " << row.second << " | "
                                          << (row.laterFirstValue ? row.laterFirstValue : "") << " | "
                                          << (row.laterSecondValue ? row.laterSecondValue : "")
                                          << (row.shownBefore ? " | shown before" : ""));
        mPage = blank();
        WidgetSmall* tile = small();
        tile->setFirstValue("50.0\u00B0");
        tile->setSecondValue("50\u00B0");
        tile->setFirstLabel(row.first);
        tile->setSecondLabel(row.second);
        std::vector<int> before;
        if (row.shownBefore) {
            runTasks();
            before = separators();
        }
        if (row.laterFirstValue != nullptr) {
            tile->setFirstValue(row.laterFirstValue);
        }
        if (row.laterSecondValue != nullptr) {
            tile->setSecondValue(row.laterSecondValue);
        }
        runTasks();
        const auto caption = [&](const char* text) {
            return find<Label>([&](const Label& l) { return l.isChildOf(tile) && l.getText() == text; });
        };
        const Label* first = caption(row.first);
        const Label* second = caption(row.second);
        ASSERT_TRUE(first != nullptr && second != nullptr);
        const Label* firstValue = tile->getFirstValueLabel();
        const Label* secondValue = tile->getSecondValueLabel();
        EXPECT_EQ(first->getShownText() == row.first, row.firstWhole);
        EXPECT_EQ(second->getShownText() == row.second, row.secondWhole);
        // At least three blank columns between a caption and its value: the two do not read as one.
        EXPECT_GT(firstValue->getLeft() - first->getRight(), 3);
        EXPECT_LT(firstValue->getRight(), second->getLeft());
        EXPECT_GT(secondValue->getLeft() - second->getRight(), 3);
        EXPECT_EQ(secondValue->getRight(), L + 267);
        const std::vector<int> split = separators();
        ASSERT_EQ(split.size(), 1u);
        EXPECT_LT(firstValue->getRight(), split[0]);
        EXPECT_LT(split[0], second->getLeft());
        if (row.shownBefore) {
            // Drawn again where it moved to, and gone from where it stood.
            ASSERT_EQ(before.size(), 1u);
            EXPECT_NE(before[0], split[0]) << "the split moved";
            EXPECT_EQ(countColour(Box(before[0], T + 23, 1, 14), colour::CONTROL), 0);
        }
    }
}

TEST_F(TileTest, TheFrameStaysWholeUnderTheChildren) {
    large(false)->setHeadingLabel("Living room");
    runTasks();
    // Frame points that lie under or beside the labels.
    const struct {
        int x, y;
        unsigned colour;
    } points[] = {
        {L, T + 30, colour::CONTROL},       {L + 208, T + 30, colour::CONTROL},
        {L + 100, T + 47, colour::CONTROL}, {L + 96, T + 33, colour::CONTROL},
        {L + 167, T + 19, colour::CONTROL}, {L + 3, T + 2, colour::CONTROL},
        {L + 100, T + 40, colour::WHITE},   {L + 1, T + 33, colour::CONTROL},
        {L + 168, T + 30, colour::WHITE},
    };
    for (const auto& p : points) {
        EXPECT_EQ(pixel(p.x, p.y), p.colour) << p.x - L << "," << p.y - T;
    }
    EXPECT_GT(countColour(Box(L + 5, T, 163, 20), colour::TEXT), 0) << "the heading is drawn on the band";
    EXPECT_GE(countColour(Box(L + 1, T + 33, 96, 1), colour::CONTROL), 80)
        << "the labels paint no background";
    screenshot("tile_frame");
}

TEST_F(TileTest, RowTextsShowTheirDescendersClearOfTheLinesBelow) {
    // The same text on the open page shows how tall it is whole.
    const int whole = inkOf(*new Label(mPage, L, 200, &bif_myriad10, "Set temp.")).getHeight();
    const struct {
        bool isLarge;
        int firstLimit, secondLimit; // the rows each row's text must stay above: separator or frame
    } cases[] = {{true, T + 33, T + 47}, {false, T + 39, T + 39}};
    for (const auto& c : cases) {
        Widget* tile = c.isLarge ? static_cast<Widget*>(large(false)) : static_cast<Widget*>(small());
        tile->setFirstLabel("Set temp.");
        tile->setSecondLabel("Set temp.");
        std::vector<Label*> labels;
        for (Component* child : tile->getChildren()) {
            if (auto* label = dynamic_cast<Label*>(child)) {
                labels.push_back(label);
            }
        }
        ASSERT_EQ(labels.size(), 4u);
        for (size_t i : {0u, 2u}) {
            const Box ink = inkOf(*labels[i]);
            EXPECT_LT(ink.y2, i == 0 ? c.firstLimit : c.secondLimit) << c.isLarge << " row " << i / 2;
            EXPECT_EQ(ink.getHeight(), whole) << c.isLarge << " row " << i / 2;
        }
        mPage = blank();
    }
}

TEST_F(TileTest, DisablingGreysEveryTextAndEnablingBlackensThem) {
    for (bool isLarge : {true, false}) {
        mPage = blank();
        Widget* tile = isLarge ? static_cast<Widget*>(large(true)) : static_cast<Widget*>(small());
        tile->setHeadingLabel("Hall");
        runTasks();
        const Box texts(L + 1, T, tile->getWidth() - 42, tile->getHeight() - 1);
        for (bool enabled : {false, true, false}) {
            tile->setEnabled(enabled);
            runTasks();
            EXPECT_EQ(tile->getHeadingLabel()->getFaceColor(), enabled ? colour::TEXT : colour::DISABLED);
            // Glyphs are smoothed: their cores show the text colour itself.
            EXPECT_EQ(countColour(texts, colour::TEXT) > 0, enabled) << isLarge;
        }
    }
}

TEST_F(TileTest, OnlyTheArrowAndTheCheckboxTakeTouch) {
    WidgetLarge* tile = large(true);
    runTasks();
    clearMessages();
    for (auto [x, y] : {std::pair{L + 60, T + 10}, {L + 50, T + 40}, {L + 150, T + 40}}) {
        tap(x, y);
    }
    EXPECT_EQ(messages(MSG_CLICK), 0);
    EXPECT_FALSE(tile->getChecked());
    tap(tile->getButton());
    tap(L + 10, T + 10);
    EXPECT_EQ(messages(MSG_CLICK, tile->getButton()), 1);
    EXPECT_TRUE(tile->getChecked());
}

TEST_F(TileTest, CheckingATileWithoutCheckboxIsTheCallersFault) {
    WidgetLarge* tile = large(false);
    try {
        tile->setChecked(true);
        FAIL() << "no checkbox, yet checked";
    } catch (const FailedAssertion& e) {
        EXPECT_STREQ(e.what(), "mCheckbox");
    }
}

// A tile built without any of the parts the setters write.
struct BareTile final : Widget {
    explicit BareTile(Container* parent)
        : Widget(parent, L, T, 209, 48) {}
    ~BareTile() override = default;
};

using TileDeathTest = TileTest;

// A part the tile lacks stops the program, naming the part and the whole signature of the operation called.
TEST_F(TileDeathTest, AnOperationOnAPartTheTileLacksStopsTheProgramNamingBoth) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const struct {
        void (*call)(Widget&);
        bool bare; // else a large tile built without checkbox
        const char* expression;
        const char* function;
    } rows[] = {
        {[](Widget& t) { t.setHeadingLabel("Hall"); }, true, "mHeadingLabel",
         "void Widget::setHeadingLabel(const string&)"},
        {[](Widget& t) { t.setFirstLabel("Room temp."); }, true, "mFirstLabel",
         "void Widget::setFirstLabel(const string&)"},
        {[](Widget& t) { t.setFirstValue("21.5"); }, true, "mFirstValueLabel",
         "void Widget::setFirstValue(const string&)"},
        {[](Widget& t) { t.setSecondLabel("Set temp."); }, true, "mSecondLabel",
         "void Widget::setSecondLabel(const string&)"},
        {[](Widget& t) { t.setSecondValue("22.0"); }, true, "mSecondValueLabel",
         "void Widget::setSecondValue(const string&)"},
        {[](Widget& t) { t.setClickCommand(nullptr); }, true, "mButton",
         "void Widget::setClickCommand(unique_ptr<ICommand>)"},
        {[](Widget& t) { t.setChecked(true); }, false, "mCheckbox", "void Widget::setChecked(bool)"},
        {[](Widget& t) { (void)t.getChecked(); }, false, "mCheckbox", "bool Widget::getChecked() const"},
        {[](Widget& t) { t.setCheckedCommand(nullptr); }, false, "mCheckbox",
         "void Widget::setCheckedCommand(unique_ptr<ICommand>)"},
    };
    for (const auto& row : rows) {
        Widget* tile = row.bare ? static_cast<Widget*>(new BareTile(mPage)) : large(false);
        EXPECT_DEATH(
            {
                os_set_assert_handler(nullptr); // the harness's handler would only throw
                row.call(*tile);
            },
            assertionReport(row.expression, row.function, "SourceApp/application/controls/Widget.cpp"))
            << row.function;
    }
}

} // namespace
} // namespace tdx::test
