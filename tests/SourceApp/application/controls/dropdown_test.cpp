// Dropdown menus and dropdown buttons through touches and pixels: which item a tap picks, how the selected
// and pressed items look, and a collapsible section that opens, closes and is remembered.
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/DropdownButton.h"
#include "SourceApp/application/controls/DropdownMenu.h"
#include "SourceApp/gui/core/layout/StackedContainer.h"
#include "tests/support/screen_harness.h"

namespace tdx::test {
namespace {

// Writes down the index of every item picked.
class Picks : public Component {
public:
    Picks(Container* parent, std::vector<int>& picks)
        : Component(parent, 0, 0, 1, 1)
        , mPicks(picks) {}
    void handleMessage(Message* m) override {
        if (m->id == MSG_ITEM_CLICK) {
            mPicks.push_back(m->p1);
        }
    }

private:
    std::vector<int>& mPicks;
};

class DropdownTest : public ScreenHarness {
protected:
    void SetUp() override {
        ScreenHarness::SetUp();
        form = blank();
        new Picks(form, picks);
    }
    static DropdownMenu* languages(Container* parent, int x, int y) {
        auto* menu = new DropdownMenu(parent, x, y, 200);
        DropdownItem* items[] = {new DropdownItemImpl("English", 0), new DropdownItemImpl("Dansk", 1),
                                 new DropdownItemImpl("Česky", 2), new DropdownItemImpl("Dutch", 3)};
        menu->addItems(std::begin(items), std::end(items));
        return menu;
    }
    Form* form = nullptr;
    std::vector<int> picks;
};

TEST_F(DropdownTest, ATapPicksTheItemUnderTheFingerAndNothingElse) {
    DropdownMenu* menu = languages(form, 60, 20);
    menu->addItem(nullptr);
    runTasks();
    EXPECT_EQ(menu->getHeight(), 4 * 26 + 3) << "items 26 high with 1-px separators";
    EXPECT_EQ(menu->getItem(2)->getTitle(), "Česky");
    EXPECT_EQ(menu->getItem(4), nullptr);
    EXPECT_EQ(menu->getItem(0xFFFF), nullptr);

    tap(100, 20 + 2 * 27 + 10);
    EXPECT_EQ(picks, std::vector<int>{2});
    EXPECT_EQ(messages(MSG_ITEM_CLICK, menu), 1);
    tap(100, 20 + 26); // the separator under item 0
    press(100, 25);    // pressed on one item, released on another
    move(100, 60);
    release();
    EXPECT_EQ(picks, std::vector<int>{2});
}

TEST_F(DropdownTest, TheSelectedAndThePressedItemAreDarkAndLongTitlesStayInside) {
    DropdownMenu* menu = languages(form, 60, 20);
    menu->setSelectedItem(1);
    runTasks();
    EXPECT_EQ(at(61, 21), 0xCCCCCCu);
    EXPECT_EQ(at(61, 20 + 27 + 1), 0x808080u);
    EXPECT_EQ(at(61, 20 + 26), 0xFFFFFFu) << "white separator";
    EXPECT_GT(countNear(Box(60, 47, 200, 26), 0xFFFFFF), 20) << "white text on the selected item";
    press(100, 20 + 3 * 27 + 5);
    EXPECT_EQ(at(61, 20 + 3 * 27 + 1), 0x808080u) << "the pressed item";
    release();
    EXPECT_EQ(at(61, 20 + 3 * 27 + 1), 0xCCCCCCu);
    menu->setSelectedItem(9);
    EXPECT_EQ(menu->getSelectedItem(), DropdownMenu::NO_ITEM) << "out of range selects nothing";

    menu->addItem(new DropdownItemImpl("Warm water circulation pump of the second floor", 4));
    runTasks();
    const Box item(60, 20 + 4 * 27, 200, 26);
    EXPECT_EQ(inked(Box::fromCorners(60, item.y1, 63, item.y2), 0xCCCCCC), 0);
    EXPECT_GT(inked(Box::fromCorners(64, item.y1, 72, item.y2), 0xCCCCCC), 5) << "the \"W\" 4 pixels in";
    EXPECT_EQ(inked(Box::fromCorners(260, 0, 319, 239), 0xFFFFFF), 0) << "nothing beyond the menu";
}

TEST_F(DropdownTest, AMenuOnItsOwnLayerIsDrawnOverTheScreenAndTakesTheTouch) {
    Button* cover = Button::Builder{.parent = form, .width = 320, .height = 240}.build();
    DropdownMenu* menu = languages(nullptr, 60, 200); // reaches below the screen's edge
    runTasks();
    ASSERT_EQ(mCore.getModalLayers().front(), menu);
    EXPECT_EQ(at(61, 201), 0xCCCCCCu);
    tap(100, 230);
    EXPECT_EQ(picks, std::vector<int>{1});
    EXPECT_EQ(messages(MSG_PRESS, cover), 0) << "the screen below is not touched";
}

TEST_F(DropdownTest, ADropdownButtonShowsAndHidesItsSectionAndBringsItIntoView) {
    StackedContainer* stack = StackedContainer::Builder{.parent = form,
                                                        .x = 9,
                                                        .y = 31,
                                                        .width = 277,
                                                        .fitHeight = true,
                                                        .direction = DIRECTION_VERTICAL,
                                                        .spacing = 1}
                                  .build();
    auto* header = new DropdownButton(stack, 0, 0, 277, 26, "Advanced");
    auto* section = new Container(stack, 0, 0, 277, 40);
    auto* below = new Container(stack, 0, 0, 277, 26);
    header->setCollapsibleContent(section);
    runTasks();
    // The arrow in the last 40 pixels, in rows free of the open outline, points down when closed: its top
    // row is its widest.
    auto pointsDown = [] {
        std::vector<int> widths;
        for (int y = 32; y <= 55; ++y) {
            int x1 = 285, x2 = 245;
            for (int x = 246; x <= 284; ++x)
                if (countNear(Box(x, y, 1, 1), 0x000000) > 0)
                    x1 = std::min(x1, x), x2 = std::max(x2, x);
            if (x2 >= x1)
                widths.push_back(x2 - x1);
        }
        return !widths.empty() && widths.front() > widths.back();
    };
    EXPECT_TRUE(pointsDown());
    EXPECT_FALSE(section->isVisible());
    EXPECT_EQ(below->getTop(), 31 + 27) << "a closed section takes no room";
    EXPECT_EQ(at(10, 32), 0xCCCCCCu);

    tap(100, 40);
    EXPECT_TRUE(header->isOpen());
    EXPECT_TRUE(section->isVisible());
    EXPECT_EQ(below->getTop(), section->getBottom() + 2);
    EXPECT_EQ(at(12, 34), 0xFFFFFFu) << "open: inverted";
    EXPECT_FALSE(pointsDown());
    EXPECT_EQ(at(9, 31), 0xCCCCCCu);
    EXPECT_EQ(messages(MSG_FOCUS_REQUEST, section), 1) << "opened by the user, the section comes into view";

    tap(100, 40);
    EXPECT_FALSE(section->isVisible());
    EXPECT_EQ(below->getTop(), 31 + 27);
    EXPECT_TRUE(pointsDown());

    clearMessages();
    header->setCollapsed(true, false);
    runTasks();
    EXPECT_FALSE(pointsDown());
    header->setCollapsed(true, true);
    runTasks();
    EXPECT_EQ(messages(MSG_FOCUS_REQUEST), 0) << "opened by the program, or unchanged: no focus asked";
}

Form* screenWithSection(unsigned, unsigned, const State& state) {
    auto* form = new BlankForm(state);
    auto* header = new DropdownButton(form, 9, 31, 277, 26, "Section");
    header->setCollapsibleContent(new Container(form, 9, 58, 277, 40));
    return form;
}

TEST_F(DropdownTest, AnOpenSectionStaysOpenBackAndAfterARestart) {
    setRegistry(&screenWithSection);
    open(20);
    tap(100, 40);
    EXPECT_TRUE(find<DropdownButton>()->isOpen());
    open(21);
    mCore.prevState();
    runTasks(2);
    ASSERT_EQ(state().getStateId(), 20u);
    EXPECT_TRUE(find<DropdownButton>()->isOpen()) << "restored after back";
    mCore.restartState();
    runTasks(2);
    EXPECT_TRUE(find<DropdownButton>()->isOpen()) << "and after a restart";
}

} // namespace
} // namespace tdx::test
