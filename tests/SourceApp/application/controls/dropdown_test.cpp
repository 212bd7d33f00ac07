#include "SourceApp/application/controls/DropdownButton.h"
#include "SourceApp/application/controls/DropdownMenu.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/gui/core/layout/StackedContainer.h"
#include "widget_fixture.h"

namespace tdx::test {
namespace {

using DropdownTest = WidgetTest;

DropdownMenu* language_menu(Container* parent, int x, int y) {
    auto* menu = new DropdownMenu(parent, x, y, 200);
    DropdownItem* items[] = {new DropdownItemImpl("English", 0), new DropdownItemImpl("Dansk", 1),
                             new DropdownItemImpl("Česky", 2), new DropdownItemImpl("Dutch", 3)};
    menu->addItems(std::begin(items), std::end(items));
    return menu;
}

TEST_F(DropdownTest, MenuItemsAreIndexedAndAClickReportsTheIndex) {
    DropdownMenu* menu = language_menu(form(), 60, 20);
    ASSERT_EQ(menu->getItemCount(), 4);
    EXPECT_EQ(menu->getHeight(), 4 * 26 + 3) << "items 26 high with 1-px separators";
    for (uint16_t i = 0; i < 4; ++i) {
        ASSERT_NE(menu->getItem(i), nullptr);
        EXPECT_EQ(menu->getItem(i)->getIndex(), i);
    }
    EXPECT_EQ(menu->getItem(2)->getTitle(), "Česky");
    EXPECT_EQ(menu->getItem(4), nullptr);
    EXPECT_EQ(menu->getItem(0xFFFF), nullptr);

    tap(100, 20 + 2 * 27 + 10);
    const Seen* click = last(MSG_ITEM_CLICK);
    ASSERT_NE(click, nullptr);
    EXPECT_EQ(click->source, menu);
    EXPECT_EQ(click->p1, 2);

    tap(100, 20 + 26); // the separator under item 0
    EXPECT_EQ(count(MSG_ITEM_CLICK), 1) << "a separator is no item";

    // Pressed on one item, released on another: nothing picked.
    touch(EVENT_TOUCH_PRESS, 100, 25);
    pass();
    touch(EVENT_TOUCH_MOVE, 100, 60);
    touch(EVENT_TOUCH_RELEASE, 100, 60);
    pass();
    EXPECT_EQ(count(MSG_ITEM_CLICK), 1);

    menu->addItem(nullptr);
    EXPECT_EQ(menu->getItemCount(), 4);
}

TEST_F(DropdownTest, SelectedAndPressedItemsAreDark) {
    DropdownMenu* menu = language_menu(form(), 60, 20);
    menu->setSelectedItem(1);
    pass();
    EXPECT_EQ(at(61, 21), 0xCCCCCCu);
    EXPECT_EQ(at(61, 20 + 27 + 1), 0x808080u);
    EXPECT_EQ(at(61, 20 + 26), 0xFFFFFFu) << "white separator";
    EXPECT_GT(count_near(Box(60, 47, 200, 26), 0xFFFFFF), 20) << "white text on the selected item";
    touch(EVENT_TOUCH_PRESS, 100, 20 + 3 * 27 + 5);
    pass();
    EXPECT_EQ(at(61, 20 + 3 * 27 + 1), 0x808080u) << "the pressed item";
    touch(EVENT_TOUCH_RELEASE, 100, 20 + 3 * 27 + 5);
    pass();
    EXPECT_EQ(at(61, 20 + 3 * 27 + 1), 0xCCCCCCu);

    menu->setSelectedItem(9);
    EXPECT_EQ(menu->getSelectedItem(), DropdownMenu::NO_ITEM) << "out of range selects nothing";

    // A title wider than the menu shows its beginning, inside the item.
    menu->addItem(new DropdownItemImpl("Warm water circulation pump of the second floor", 4));
    pass();
    const Box item(60, 20 + 4 * 27, 200, 26);
    EXPECT_EQ(count_near(Box::fromCorners(60, item.y1, 63, item.y2), 0x000000), 0);
    EXPECT_GT(count_near(Box::fromCorners(64, item.y1, 72, item.y2), 0x000000), 5) << "the \"W\"";
    EXPECT_EQ(inked(Box::fromCorners(260, 20, 319, 239), 0xFFFFFF), 0) << "nothing beyond the menu";
}

TEST_F(DropdownTest, MenuAsItsOwnLayerCoversTheScreen) {
    auto* cover = new Patch(form(), 0, 0, 320, 240, 0x00AA00);
    (void)cover;
    DropdownMenu* menu = language_menu(nullptr, 60, 200); // reaches below the screen's edge
    ASSERT_EQ(mCore.getModalLayers().front(), menu);
    pass();
    EXPECT_EQ(at(61, 201), 0xCCCCCCu) << "drawn over the screen";
    EXPECT_EQ(at(10, 10), 0x00AA00u);
    tap(100, 230);
    const Seen* click = last(MSG_ITEM_CLICK);
    ASSERT_NE(click, nullptr);
    EXPECT_EQ(click->p1, 1);
}

class Section : public Container {
public:
    Section(Container* parent)
        : Container(parent, 0, 0, 277, 0) {}
    void handleDraw() override {
        gfx_setcolor(0xE1E1E1);
        gfx_fill_rect(getBoundingBox());
        Container::handleDraw();
    }
};

TEST_F(DropdownTest, DropdownButtonShowsAndHidesItsContent) {
    StackedContainer* stack = StackedContainer::Builder{.parent = form(),
                                                        .x = 9,
                                                        .y = 31,
                                                        .width = 277,
                                                        .fitHeight = true,
                                                        .direction = DIRECTION_VERTICAL,
                                                        .spacing = 1}
                                  .build();
    auto* header = new DropdownButton(stack, 0, 0, 277, 26, "Advanced");
    auto* content = new Section(stack);
    new Patch(content, 0, 0, 277, 40, 0xE1E1E1);
    auto* below = new Patch(stack, 0, 0, 277, 26, 0x00AA00);
    header->setCollapsibleContent(content);
    pass();
    EXPECT_FALSE(header->isOpen());
    EXPECT_FALSE(content->isVisible());
    EXPECT_EQ(below->getTop(), 31 + 27) << "closed content takes no room";
    EXPECT_EQ(at(10, 32), 0xCCCCCCu);

    tap(100, 40);
    EXPECT_TRUE(header->isOpen());
    EXPECT_TRUE(content->isVisible());
    EXPECT_EQ(below->getTop(), content->getBottom() + 2);
    EXPECT_EQ(at(12, 34), 0xFFFFFFu) << "open: inverted";
    EXPECT_EQ(at(9, 31), 0xCCCCCCu);
    const Seen* focus = last(MSG_FOCUS_REQUEST);
    ASSERT_NE(focus, nullptr) << "an opening by the user brings the content into view";
    EXPECT_EQ(focus->source, content);

    tap(100, 40);
    EXPECT_FALSE(header->isOpen());
    EXPECT_FALSE(content->isVisible());
    EXPECT_EQ(below->getTop(), 31 + 27);

    mLog.clear();
    header->setCollapsed(true, false);
    pass();
    EXPECT_EQ(count(MSG_FOCUS_REQUEST), 0) << "no focus asked";
    header->setCollapsed(true, true);
    pass();
    EXPECT_EQ(count(MSG_FOCUS_REQUEST), 0) << "no change, nothing happens";
}

class Reference : public Component {
public:
    Reference(Container* parent, int x, int y, resource_id icon, unsigned back)
        : Component(parent, x, y, 40, 26)
        , mIcon(icon)
        , mBack(back) {}
    void handleDraw() override {
        gfx_setcolor(mBack);
        gfx_fill_rect(getBoundingBox());
        gfx_setcolor(0x000000);
        draw_icon_centered(mIcon, getBoundingBox());
    }

private:
    resource_id mIcon;
    unsigned mBack;
};

TEST_F(DropdownTest, DropdownButtonIconsTellOpenFromClosed) {
    auto* header = new DropdownButton(form(), 9, 31, 277, 26, "Section");
    new Reference(form(), 9, 100, res_arrow_down, 0xCCCCCC);
    new Reference(form(), 9, 140, res_arrow_up, 0xFFFFFF);
    pass();
    // The icon area is the last 40 pixels; its inner rows are free of the open outline.
    const Box icon = Box::fromCorners(246, 32, 284, 55);
    EXPECT_TRUE(same_pixels(icon, Box::fromCorners(9, 101, 47, 124))) << "closed: arrow down";
    header->setCollapsed(true, false);
    pass();
    EXPECT_TRUE(same_pixels(icon, Box::fromCorners(9, 141, 47, 164))) << "open: arrow up";
}

TEST_F(DropdownTest, OpenFlagSurvivesNavigationBack) {
    mScreens[20] = [](TestForm& f) {
        auto* header = new DropdownButton(&f, 9, 31, 277, 26, "Section");
        auto* content = new Container(&f, 9, 58, 277, 40);
        header->setCollapsibleContent(content);
    };
    auto header_of = [this] {
        for (Component* c : screen()->getChildren())
            if (auto* d = dynamic_cast<DropdownButton*>(c))
                return d;
        return static_cast<DropdownButton*>(nullptr);
    };
    mCore.changeState(20, 0, 0, 0, 0);
    pass();
    ASSERT_NE(header_of(), nullptr);
    EXPECT_FALSE(header_of()->isOpen());
    tap(100, 40);
    EXPECT_TRUE(header_of()->isOpen());
    mCore.changeState(21, 0, 0, 0, 0);
    pass();
    mCore.prevState();
    pass();
    ASSERT_EQ(shownId(), 20u);
    EXPECT_TRUE(header_of()->isOpen()) << "restored after back";
    mCore.restartState();
    pass();
    EXPECT_TRUE(header_of()->isOpen()) << "and after a restart";
}

} // namespace
} // namespace tdx::test
