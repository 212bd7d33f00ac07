#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/CommandButton.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/NavigationLink.h"
#include "widget_fixture.h"

namespace tdx::test {
namespace {

using ButtonTest = WidgetTest;

TEST_F(ButtonTest, PressRunsThePressCommandAndClickTheClickCommand) {
    int presses = 0, clicks = 0, buzz = 0;
    CoreHooks hooks;
    hooks.click = [&buzz] { ++buzz; };
    mCore.setHooks(hooks);
    auto* button = new CommandButton(form(), 10, 10, 100, 30);
    button->setPressCommand(std::make_unique<CountingCommand>(presses));
    button->setClickCommand(std::make_unique<CountingCommand>(clicks));

    touch(EVENT_TOUCH_PRESS, 20, 20);
    pass();
    EXPECT_EQ(presses, 1);
    EXPECT_EQ(clicks, 0) << "a press alone is no click";
    EXPECT_EQ(buzz, 1);
    EXPECT_EQ(count(MSG_PRESS, button), 1);
    touch(EVENT_TOUCH_HOLD, 20, 20);
    pass();
    EXPECT_EQ(presses, 2) << "every hold repeat presses again";
    touch(EVENT_TOUCH_RELEASE, 20, 20);
    pass();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(count(MSG_CLICK, button), 1);

    // Released outside: pressed, never clicked.
    touch(EVENT_TOUCH_PRESS, 20, 20);
    pass();
    touch(EVENT_TOUCH_MOVE, 200, 200);
    touch(EVENT_TOUCH_RELEASE, 200, 200);
    pass();
    EXPECT_EQ(presses, 3);
    EXPECT_EQ(clicks, 1);

    button->setEnabled(false);
    tap(20, 20);
    EXPECT_EQ(presses, 3) << "a disabled button runs nothing";
    EXPECT_EQ(clicks, 1);
}

TEST_F(ButtonTest, ButtonDrawsBackFaceAndActiveColours) {
    Button* button = Button::Builder{.parent = form(),
                                     .x = 20,
                                     .y = 20,
                                     .width = 120,
                                     .height = 30,
                                     .tag = 7,
                                     .backColor = 0xCCCCCC,
                                     .faceColor = 0x000000,
                                     .activeBackColor = 0x808080,
                                     .text = "Save"}
                         .build();
    EXPECT_EQ(button->tag, 7u);
    pass();
    EXPECT_EQ(at(21, 21), 0xCCCCCCu);
    EXPECT_GT(count_near(button->getBoundingBox(), 0x000000), 20) << "the text is drawn in the face colour";
    EXPECT_EQ(at(19, 19), 0xFFFFFFu) << "nothing outside the box";

    touch(EVENT_TOUCH_PRESS, 30, 30);
    pass();
    EXPECT_EQ(at(21, 21), 0x808080u) << "pressed: the active back colour";
    touch(EVENT_TOUCH_RELEASE, 30, 30);
    pass();
    EXPECT_EQ(at(21, 21), 0xCCCCCCu);

    button->setBackColor(0x312CD8);
    button->setFaceColor(0xFFFFFF);
    pass();
    EXPECT_EQ(at(21, 21), 0x312CD8u);
    EXPECT_GT(count_near(button->getBoundingBox(), 0xFFFFFF), 20);
}

TEST_F(ButtonTest, UnsetActiveColoursFallBackToBackAndFace) {
    Button* button = Button::Builder{.parent = form(),
                                     .x = 20,
                                     .y = 20,
                                     .width = 120,
                                     .height = 30,
                                     .backColor = 0x00FF00,
                                     .activeBackColor = NO_COLOUR,
                                     .text = "X"}
                         .build();
    touch(EVENT_TOUCH_PRESS, 30, 30);
    pass();
    EXPECT_TRUE(button->isActive());
    EXPECT_EQ(at(21, 21), 0x00FF00u);
}

TEST_F(ButtonTest, TextWiderThanTheButtonStaysInside) {
    Button::Builder{.parent = form(),
                    .x = 100,
                    .y = 100,
                    .width = 40,
                    .height = 26,
                    .text = "A text far wider than the button that holds it"}
        .build();
    Button::Builder{.parent = form(), .x = 100, .y = 140, .width = 40, .height = 26, .text = ""}.build();
    pass();
    const Box ink = ink_box(0xFFFFFF);
    EXPECT_EQ(ink, Box::fromCorners(100, 100, 139, 165));
    // Too wide to centre: the text's beginning shows, 4 pixels in, rather than a middle cut at both ends.
    EXPECT_EQ(count_near(Box::fromCorners(100, 100, 103, 125), 0x000000), 0);
    EXPECT_GT(count_near(Box::fromCorners(104, 100, 110, 125), 0x000000), 5) << "the \"A\"";
}

TEST_F(ButtonTest, IconButtonColoursAndIconChanges) {
    IconButton* b = IconButton::Builder{.parent = form(),
                                        .x = 10,
                                        .y = 10,
                                        .width = 40,
                                        .height = 26,
                                        .backColor = 0xCCCCCC,
                                        .faceColor = 0x000000,
                                        .activeBackColor = 0x808080,
                                        .activeFaceColor = 0xFFFFFF,
                                        .disabledFaceColor = 0xE1E1E1,
                                        .icon = res_arrow_up}
                        .build();
    pass();
    const Box box = b->getBoundingBox();
    const int black = count_near(box, 0x000000);
    const int ink = inked(box, 0xCCCCCC);
    EXPECT_GT(black, 5) << "the icon in the face colour";
    EXPECT_EQ(at(10, 10), 0xCCCCCCu);
    touch(EVENT_TOUCH_PRESS, 20, 20);
    pass();
    EXPECT_EQ(at(10, 10), 0x808080u);
    EXPECT_EQ(inked(box, 0x808080), ink) << "the same icon in the active face colour";
    EXPECT_GT(count_near(box, 0xFFFFFF), 5);
    touch(EVENT_TOUCH_RELEASE, 20, 20);
    pass();

    b->setEnabled(false);
    pass();
    EXPECT_EQ(at(10, 10), 0xCCCCCCu) << "disabled back not set: the back colour";
    EXPECT_EQ(inked(box, 0xCCCCCC), ink) << "the same icon";
    EXPECT_GT(count_colour(box, 0xE1E1E1), 5) << "in the disabled face colour";
    EXPECT_EQ(count_near(box, 0x000000), 0);

    // The same icon again changes nothing, not even the offsets.
    b->setEnabled(true);
    pass();
    sFlips.clear();
    b->setIcon(res_arrow_up, 5, 5);
    pass();
    EXPECT_TRUE(sFlips.empty());
    b->setIcon(res_arrow_down, 0, 0);
    pass();
    EXPECT_EQ(b->getIcon(), res_arrow_down);
    ASSERT_EQ(sFlips.size(), 1u);
    EXPECT_EQ(sFlips[0], box);
}

TEST_F(ButtonTest, IconOffsetsMoveTheIcon) {
    auto* a =
        IconButton::Builder{.parent = form(), .x = 10, .y = 10, .width = 40, .height = 26, .icon = res_tick}
            .build();
    auto* b = IconButton::Builder{.parent = form(),
                                  .x = 60,
                                  .y = 10,
                                  .width = 40,
                                  .height = 26,
                                  .icon = res_tick,
                                  .iconDx = 3,
                                  .iconDy = -2}
                  .build();
    pass();
    auto icon_box = [](const Box& area) {
        Box r = Box::fromCorners(1000, 1000, -1, -1);
        for (int y = area.y1; y <= area.y2; ++y)
            for (int x = area.x1; x <= area.x2; ++x)
                if (at(x, y) != 0xCCCCCC)
                    r = Box::fromCorners(std::min(r.x1, x), std::min(r.y1, y), std::max(r.x2, x),
                                         std::max(r.y2, y));
        return r;
    };
    const Box pa = icon_box(a->getBoundingBox());
    const Box pb = icon_box(b->getBoundingBox());
    EXPECT_EQ(pb.x1 - 50, pa.x1 + 3);
    EXPECT_EQ(pb.y1, pa.y1 - 2);
}

TEST_F(ButtonTest, NavigationLinkLooksLikeAMenuRow) {
    int clicks = 0;
    NavigationLink* link =
        NavigationLink::Builder{
            .parent = form(), .x = 9, .y = 40, .width = 277, .height = 26, .text = "Display"}
            .build();
    link->setClickCommand(std::make_unique<CountingCommand>(clicks));
    NavigationLink::Builder{.parent = form(),
                            .x = 9,
                            .y = 80,
                            .width = 208,
                            .height = 38,
                            .text = "Holiday",
                            .icon = {res_holiday},
                            .buttonIcon = {res_arrow_right_double},
                            .inverted = true}
        .build();
    pass();
    EXPECT_EQ(at(10, 41), 0xCCCCCCu);
    EXPECT_EQ(at(285 - 40, 50), 0xFFFFFFu) << "white separator 40 px from the right";
    EXPECT_GT(count_near(Box::fromCorners(9 + 9, 40, 100, 65), 0x000000), 10) << "text at the left";
    EXPECT_GT(count_near(Box::fromCorners(246, 40, 285, 65), 0x000000), 5) << "arrow in the last 40 px";
    // Inverted: white with a grey outline, icon then text.
    EXPECT_EQ(at(9, 80), 0xCCCCCCu);
    EXPECT_EQ(at(12, 84), 0xFFFFFFu);
    EXPECT_GT(count_near(Box::fromCorners(18, 80, 45, 117), 0x000000), 20) << "the left icon";

    touch(EVENT_TOUCH_PRESS, 100, 50);
    pass();
    EXPECT_EQ(at(10, 41), 0x808080u);
    touch(EVENT_TOUCH_RELEASE, 100, 50);
    pass();
    EXPECT_EQ(clicks, 1);
}

TEST_F(ButtonTest, NavigationLinkRefusesRowsTooSmallForItsButton) {
    auto build = [this](int w, int h) {
        return NavigationLink::Builder{.parent = form(), .x = 0, .y = 0, .width = w, .height = h, .text = "x"}
            .build();
    };
    try {
        build(50, 26);
        FAIL() << "width 50 accepted";
    } catch (const FailedAssertion& e) {
        EXPECT_STREQ(e.what(), "mWidth > 41 + 9");
    }
    try {
        build(100, 19);
        FAIL() << "height 19 accepted";
    } catch (const FailedAssertion& e) {
        EXPECT_STREQ(e.what(), "mHeight > 19");
    }
    EXPECT_NE(build(51, 20), nullptr);
}

} // namespace
} // namespace tdx::test
