// The switch's knob and text in both states and disabled, and the top bar's separators.
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/SwitchButton.h"
#include "SourceApp/application/controls/TopBar.h"
#include "tests/support/screen_harness.h"

namespace tdx::test {
namespace {

class SwitchTest : public ScreenHarness {
protected:
    // The darkest pixel in one half of the switch (white when there is no text): the text colour.
    static unsigned textIn(const SwitchButton& s, bool leftHalf) {
        const Box& b = s.getBoundingBox();
        const int x1 = leftHalf ? b.x1 : b.x1 + 40;
        unsigned darkest = colour::WHITE;
        for (int y = b.y1 + 1; y < b.y2; ++y) {
            for (int x = x1; x < x1 + 40; ++x) {
                const unsigned p = pixel(x, y);
                darkest = std::min(darkest, p);
            }
        }
        return darkest;
    }
};

TEST_F(SwitchTest, TheKnobMovesAndTheTextOfTheStateShowsInTheOtherHalf) {
    Form* form = blank();
    auto* on = new SwitchButton(form, 20, 20, "On", "Off");
    on->setChecked(true);
    auto* off = new SwitchButton(form, 20, 60, "On", "Off");
    auto* greyOn = new SwitchButton(form, 120, 20, "On", "Off");
    greyOn->setChecked(true);
    greyOn->setEnabled(false);
    auto* greyOff = new SwitchButton(form, 120, 60, "On", "Off");
    greyOff->setEnabled(false);
    auto* wide = new SwitchButton(form, 220, 20, "A text far too wide to fit", "Off");
    wide->setChecked(true);
    runTasks();
    screenshot("switch_states");

    const struct {
        const SwitchButton* s;
        bool on;
        unsigned knob;
        unsigned text;
    } cases[] = {{on, true, colour::CONTROL, colour::TEXT},
                 {off, false, colour::CONTROL, colour::TEXT},
                 {greyOn, true, colour::LIGHT, colour::DISABLED},
                 {greyOff, false, colour::LIGHT, colour::DISABLED}};
    for (const auto& c : cases) {
        const Box& b = c.s->getBoundingBox();
        const int knobX = c.on ? b.x2 - 37 : b.x1 + 1;
        EXPECT_EQ(countColour(Box(knobX, b.y1 + 1, 37, b.getHeight() - 2), c.knob), 37 * 20)
            << c.s->getText();
        // Anti-aliased glyphs: the darkest pixel is within a few steps of the text colour (greys only).
        EXPECT_NEAR(textIn(*c.s, c.on) & 0xFF, c.text & 0xFF, 8) << "the text stands opposite the knob";
        EXPECT_EQ(countColour(Box(b.x1, b.y1, 1, b.getHeight()), colour::WHITE), b.getHeight());
    }
    EXPECT_EQ(textIn(*wide, true), colour::WHITE) << "a text wider than the switch is left out";
}

TEST_F(SwitchTest, ATapTogglesAndTellsTheScreen) {
    Form* form = blank();
    auto* s = new SwitchButton(form, 20, 20, "On", "Off");
    runTasks();
    tap(s);
    EXPECT_TRUE(s->getChecked());
    EXPECT_EQ(s->getText(), "On");
    EXPECT_EQ(findByText("On"), s);
    tap(s);
    EXPECT_FALSE(s->getChecked());
    EXPECT_EQ(messages(MSG_CHANGE, s), 2);
    s->setEnabled(false);
    tap(s);
    EXPECT_FALSE(s->getChecked()) << "a disabled switch stays as it is";
}

TEST_F(SwitchTest, TheTopBarSeparatesItsChildrenWithShortWhiteLines) {
    Form* form = blank();
    auto* bar = new TopBar(form);
    for (int i = 0; i < 4; ++i) {
        Button::Builder{.parent = bar,
                        .width = i == 3 ? 60 : 40,
                        .height = 30,
                        .backColor = colour::TITLE,
                        .faceColor = colour::WHITE,
                        .text = i == 0 ? "<" : ""}
            .build();
    }
    new Spacer(bar, 0, 0, 20, 30);
    runTasks();
    screenshot("top_bar");
    // Children at 0, 41, 82, 123 (spacer at 184): the separators stand in the gaps before all but the first.
    for (int x : {40, 81, 122, 183}) {
        EXPECT_EQ(countColour(Box(x, 0, 1, 30), colour::WHITE), 19) << "gap at " << x;
        EXPECT_EQ(pixel(x, 6), colour::WHITE);
        EXPECT_EQ(pixel(x, 5), colour::TITLE);
    }
    EXPECT_EQ(pixel(319, 29), colour::TITLE);
    bar->setBackColor(colour::ACCENT);
    runTasks();
    EXPECT_EQ(pixel(319, 29), colour::ACCENT);
}

} // namespace
} // namespace tdx::test
