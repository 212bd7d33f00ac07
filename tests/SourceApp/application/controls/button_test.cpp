// Buttons, icon buttons and navigation links through touches and pixels: what runs on a press and a click,
// the colours of each look, and texts and icons that must stay inside.
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/CommandButton.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/NavigationLink.h"
#include "tests/support/screen_harness.h"

namespace tdx::test {
namespace {

class ButtonTest : public ScreenHarness {
protected:
    void SetUp() override {
        ScreenHarness::SetUp();
        form = blank();
    }
    Form* form = nullptr;
};

TEST_F(ButtonTest, APressRunsThePressCommandAndBuzzesAndAReleaseOnTheButtonClicks) {
    int presses = 0, clicks = 0, buzz = 0;
    const CoreHooks saved = mCore.getHooks();
    CoreHooks hooks = saved;
    hooks.click = [&buzz] { ++buzz; };
    mCore.setHooks(hooks);
    auto* button = new CommandButton(form, 10, 10, 100, 30);
    button->setPressCommand(std::make_unique<CountingCommand>(presses));
    button->setClickCommand(std::make_unique<CountingCommand>(clicks));

    press(20, 20);
    EXPECT_EQ(std::tuple(presses, clicks, buzz), std::tuple(1, 0, 1)) << "a press alone is no click";
    tick(12);
    EXPECT_EQ(presses, 2) << "a hold repeat presses again";
    release();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(messages(MSG_CLICK, button), 1);

    press(20, 20);
    move(200, 200);
    release();
    EXPECT_EQ(std::tuple(presses, clicks), std::tuple(3, 1)) << "released outside: pressed, never clicked";

    button->setEnabled(false);
    tap(20, 20);
    EXPECT_EQ(std::tuple(presses, clicks), std::tuple(3, 1)) << "a disabled button runs nothing";
    mCore.setHooks(saved);
}

TEST_F(ButtonTest, TheBackColourFollowsThePressAndUnsetActiveColoursFallBack) {
    const struct {
        int active;
        unsigned pressed;
    } cases[] = {{0x808080, 0x808080}, {NO_COLOUR, 0xCCCCCC}};
    for (const auto& c : cases) {
        Button* button = Button::Builder{.parent = form,
                                         .x = 20,
                                         .y = 20,
                                         .width = 120,
                                         .height = 30,
                                         .tag = 7,
                                         .activeBackColor = c.active,
                                         .text = "Save"}
                             .build();
        runTasks();
        EXPECT_EQ(at(21, 21), 0xCCCCCCu);
        EXPECT_GT(countNear(button->getBoundingBox(), 0x000000), 20) << "the text in the face colour";
        EXPECT_EQ(at(19, 19), 0xFFFFFFu) << "nothing outside the box";
        press(30, 30);
        EXPECT_EQ(at(21, 21), c.pressed);
        release();
        EXPECT_EQ(at(21, 21), 0xCCCCCCu);
        EXPECT_EQ(findByTag(7), button);

        button->setBackColor(0x312CD8);
        button->setFaceColor(0xFFFFFF);
        runTasks();
        EXPECT_EQ(at(21, 21), 0x312CD8u);
        EXPECT_GT(countNear(button->getBoundingBox(), 0xFFFFFF), 20);
        delete button;
    }
}

TEST_F(ButtonTest, ATextWiderThanTheButtonShowsItsBeginningInside) {
    Button::Builder{.parent = form,
                    .x = 100,
                    .y = 100,
                    .width = 40,
                    .height = 26,
                    .text = "A text far wider than the button that holds it"}
        .build();
    Button::Builder{.parent = form, .x = 100, .y = 140, .width = 40, .height = 26, .text = ""}.build();
    runTasks();
    EXPECT_EQ(ink_box(0xFFFFFF), Box::fromCorners(100, 100, 139, 165));
    EXPECT_EQ(inked(Box::fromCorners(100, 100, 103, 125), 0xCCCCCC), 0);
    EXPECT_GT(inked(Box::fromCorners(104, 100, 110, 125), 0xCCCCCC), 5) << "the \"A\", 4 pixels in";
}

TEST_F(ButtonTest, TheIconTakesTheFaceColourOfEachLookAndMovesByItsOffsets) {
    IconButton* b = IconButton::Builder{.parent = form,
                                        .x = 10,
                                        .y = 10,
                                        .width = 40,
                                        .height = 26,
                                        .activeFaceColor = 0xFFFFFF,
                                        .icon = res_arrow_up}
                        .build();
    auto* moved = IconButton::Builder{.parent = form,
                                      .x = 60,
                                      .y = 10,
                                      .width = 40,
                                      .height = 26,
                                      .icon = res_arrow_up,
                                      .iconDx = 3,
                                      .iconDy = -2}
                      .build();
    runTasks();
    const Box box = b->getBoundingBox();
    const Box icon = inkIn(box, 0xCCCCCC);
    const int ink = inked(box, 0xCCCCCC);
    EXPECT_GT(countNear(box, 0x000000), 5) << "the icon in the face colour";
    EXPECT_EQ(inkIn(moved->getBoundingBox(), 0xCCCCCC),
              Box(icon.x1 + 53, icon.y1 - 2, icon.getWidth(), icon.getHeight()));
    const struct {
        const char* look;
        unsigned back;
        unsigned face;
    } looks[] = {{"pressed", 0x808080, 0xFFFFFF}, {"disabled", 0xCCCCCC, colour::DISABLED}};
    for (const auto& l : looks) {
        if (l.back == 0x808080) {
            press(20, 20);
        } else {
            release();
            b->setEnabled(false);
            runTasks();
        }
        EXPECT_EQ(at(10, 10), l.back) << l.look;
        EXPECT_EQ(inked(box, l.back), ink) << l.look << ": the same icon";
        EXPECT_GT(countNear(box, l.face), 5) << l.look;
        EXPECT_EQ(countNear(box, 0x000000), 0) << l.look;
    }

    b->setEnabled(true);
    runTasks();
    auto look = [&box] {
        std::vector<unsigned> pixels;
        for (int y = box.y1; y <= box.y2; ++y)
            for (int x = box.x1; x <= box.x2; ++x)
                pixels.push_back(at(x, y));
        return pixels;
    };
    const std::vector<unsigned> up = look();
    EXPECT_TRUE(flipsAfter([&] { b->setIcon(res_arrow_up, 5, 5); }).empty())
        << "the same icon again repaints nothing, not even for new offsets";
    EXPECT_EQ(flipsAfter([&] { b->setIcon(res_arrow_down, 0, 0); }), std::vector<Box>{box});
    EXPECT_NE(look(), up) << "the new icon";
}

TEST_F(ButtonTest, ANavigationLinkLooksLikeAMenuRowAndClicks) {
    int clicks = 0;
    NavigationLink* link =
        NavigationLink::Builder{
            .parent = form, .x = 9, .y = 40, .width = 277, .height = 26, .text = "Display"}
            .build();
    link->setClickCommand(std::make_unique<CountingCommand>(clicks));
    NavigationLink::Builder{.parent = form,
                            .x = 9,
                            .y = 80,
                            .width = 208,
                            .height = 38,
                            .text = "Holiday",
                            .icon = {res_holiday},
                            .buttonIcon = {res_arrow_right_double},
                            .inverted = true}
        .build();
    runTasks();
    EXPECT_EQ(at(10, 41), 0xCCCCCCu);
    EXPECT_EQ(at(285 - 40, 50), 0xFFFFFFu) << "white separator 40 px from the right";
    EXPECT_GT(countNear(Box::fromCorners(18, 40, 100, 65), 0x000000), 10) << "text at the left";
    EXPECT_GT(countNear(Box::fromCorners(246, 40, 285, 65), 0x000000), 5) << "arrow in the last 40 px";
    EXPECT_EQ(at(9, 80), 0xCCCCCCu) << "inverted: a grey outline";
    EXPECT_EQ(at(12, 84), 0xFFFFFFu) << "around white";
    EXPECT_GT(countNear(Box::fromCorners(18, 80, 45, 117), 0x000000), 20) << "the left icon";

    press(100, 50);
    EXPECT_EQ(at(10, 41), 0x808080u);
    release();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(findByText("Display"), link);
}

TEST_F(ButtonTest, ANavigationLinkRefusesRowsTooSmallForItsButton) {
    const struct {
        int width;
        int height;
        const char* refusal;
    } cases[] = {{50, 26, "mWidth > 41 + 9"}, {100, 19, "mHeight > 19"}, {51, 20, nullptr}};
    for (const auto& c : cases) {
        auto build = [&] {
            NavigationLink::Builder{.parent = form, .width = c.width, .height = c.height, .text = "x"}
                .build();
        };
        if (c.refusal == nullptr) {
            EXPECT_NO_THROW(build());
            continue;
        }
        try {
            build();
            ADD_FAILURE() << c.width << " x " << c.height << " accepted";
        } catch (const FailedAssertion& e) {
            EXPECT_STREQ(e.what(), c.refusal);
        }
    }
}

} // namespace
} // namespace tdx::test
