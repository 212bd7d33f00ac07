// Popups and progress bars through touches and pixels: which button decides what, what a press outside or a
// change of screen does, the popup's look and growth with its text, and the bar's share and slide.
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/Popup.h"
#include "SourceApp/application/controls/ProgressBar.h"
#include "SourceApp/gui/bif/bif.h"
#include "tests/support/screen_harness.h"

#include <algorithm>

namespace tdx::test {
namespace {

constexpr Box OK_BUTTON(211, 162, 80, 30);
constexpr Box CANCEL_BUTTON(29, 162, 80, 30);
constexpr Box CLOSE_BUTTON(120, 162, 80, 30);

// Counts the runs of the accept and cancel commands and writes down the results the screen heard.
class Decisions : public Component {
public:
    explicit Decisions(Container* parent)
        : Component(parent, 0, 0, 1, 1) {}
    void handleMessage(Message* m) override {
        if (m->id == MSG_POPUP_RESULT) {
            results.push_back(m->source == nullptr ? m->p1 : -1);
        }
    }
    Popup* open(PopupButtons buttons) {
        Popup* p =
            Popup::create("Warning", "Restore configuration", "All settings will be replaced.", buttons);
        p->setAcceptCommand(std::make_unique<CountingCommand>(accepted));
        p->setCancelCommand(std::make_unique<CountingCommand>(cancelled));
        return p;
    }
    std::vector<int> results; // 0 accepted, 1 cancelled, -1 from a component
    int accepted = 0;
    int cancelled = 0;
};

class PopupTest : public ScreenHarness {
protected:
    void SetUp() override {
        ScreenHarness::SetUp();
        form = blank();
        seen = new Decisions(form);
    }
    void tapCentre(const Box& b) { tap(b.x1 + b.getWidth() / 2, b.y1 + b.getHeight() / 2); }
    std::size_t layers() const { return mCore.getModalLayers().size(); }
    Form* form = nullptr;
    Decisions* seen = nullptr;
};

TEST_F(PopupTest, EachWayOutRunsItsCommandReportsOnceAndCloses) {
    const struct {
        PopupButtons buttons;
        Point touch;
        int result;
    } cases[] = {
        {PopupButtons::OkCancel, {251, 177}, 0},
        {PopupButtons::OkCancel, {69, 177}, 1},
        {PopupButtons::Close, {160, 177}, 1},
        {PopupButtons::OkCancel, {5, 5}, 1}, // outside the frame
    };
    auto* behind = Button::Builder{.parent = form, .width = 20, .height = 20}.build();
    for (const auto& c : cases) {
        seen->results.clear();
        seen->accepted = seen->cancelled = 0;
        Popup* popup = seen->open(c.buttons);
        runTasks();
        ASSERT_EQ(mCore.getModalLayers().front(), popup);
        clearMessages();
        tap(c.touch.x, c.touch.y);
        EXPECT_EQ(seen->results, std::vector<int>{c.result}) << c.touch.x;
        EXPECT_EQ(std::tuple(seen->accepted, seen->cancelled), std::tuple(1 - c.result, c.result))
            << c.touch.x;
        EXPECT_EQ(layers(), 1u) << "the popup closed";
        EXPECT_EQ(messages(MSG_PRESS, behind), 0) << "the screen below is not pressed";
    }
}

TEST_F(PopupTest, APressOnNoButtonDoesNothingAndTheNewestPopupDecidesFirst) {
    Popup* first = seen->open(PopupButtons::OkCancel);
    runTasks();
    tap(160, 120);
    EXPECT_EQ(layers(), 2u);
    auto* other = new Decisions(form);
    Popup* second = other->open(PopupButtons::Close);
    runTasks();
    EXPECT_EQ(mCore.getModalLayers().front(), second);
    tapCentre(CLOSE_BUTTON);
    EXPECT_EQ(other->cancelled, 1);
    EXPECT_EQ(seen->accepted + seen->cancelled, 0) << "only the newest popup takes the touch";
    ASSERT_EQ(mCore.getModalLayers().front(), first);
    tapCentre(OK_BUTTON);
    EXPECT_EQ(seen->accepted, 1);
    EXPECT_EQ(layers(), 1u);

    Popup* twice = seen->open(PopupButtons::OkCancel);
    twice->finish(0);
    twice->finish(1);
    runTasks();
    EXPECT_EQ(std::tuple(seen->accepted, seen->cancelled), std::tuple(2, 0))
        << "finishing twice decides once";
}

// Opens a popup on the first press of a button, as a row opens its editor.
class Opener : public Component {
public:
    Opener(Container* parent, const Component* key)
        : Component(parent, 0, 0, 1, 1)
        , mKey(key) {}
    void handleMessage(Message* m) override {
        if (m->isPress(mKey) && m->p1 == 0) {
            Popup::create("Title", "Heading", "Text", PopupButtons::Close);
        }
    }

private:
    const Component* mKey;
};

TEST_F(PopupTest, APressThatOpensAPopupEndsWithoutAClick) {
    auto* key =
        Button::Builder{.parent = form, .width = 60, .height = 30, .activeBackColor = 0x808080}.build();
    new Opener(form, key);
    runTasks();
    press(10, 10);
    ASSERT_EQ(layers(), 2u);
    EXPECT_EQ(at(1, 1), 0x7F7F7Fu) << "drawn in its normal grey under the popup's veil";
    release();
    tapCentre(CLOSE_BUTTON);
    ASSERT_EQ(layers(), 1u);
    press(200, 200); // a drag that begins beside the button and ends on it
    move(10, 10);
    release();
    EXPECT_EQ(messages(MSG_CLICK, key), 0);
    EXPECT_EQ(at(1, 1), 0xCCCCCCu);
}

TEST_F(PopupTest, AChangeOfScreenClosesThePopup) {
    seen->open(PopupButtons::OkCancel);
    open(4);
    EXPECT_EQ(layers(), 1u);
    EXPECT_EQ(state().getStateId(), 4u);
}

TEST_F(PopupTest, TheVeilFrameTitleAndButtonsAndAFrameThatGrowsWithItsText) {
    seen->open(PopupButtons::OkCancel);
    runTasks();
    EXPECT_EQ(at(5, 5), 0x9F9F9Fu) << "white veiled with black at 96";
    EXPECT_EQ(at(20, 40), 0x808080u) << "frame border";
    EXPECT_EQ(at(22, 42), 0xCBA14Fu) << "title bar";
    EXPECT_GT(countNear(Box(22, 42, 276, 24), 0xFFFFFF), 20) << "white title";
    EXPECT_EQ(at(CANCEL_BUTTON.x1 + 1, CANCEL_BUTTON.y1 + 1), 0xCCCCCCu);
    EXPECT_EQ(at(OK_BUTTON.x1 + 1, OK_BUTTON.y1 + 1), 0xCCCCCCu);
    EXPECT_GT(countNear(Box(29, 70, 262, 20), 0x000000), 20) << "heading";
    EXPECT_GT(countNear(Box(29, 92, 262, 40), 0x000000), 20) << "text";
    tapCentre(OK_BUTTON);

    for (int sentences : {2, 9, 40}) {
        std::string text;
        for (int i = 0; i < sentences; ++i)
            text += "Lines and lines of text. ";
        const int lines = bif_count_lines(bif_myriad12.getFont(), text, 280 - 18 - 5);
        const int height = std::clamp(94 + 15 * lines, 160, 240);
        Popup* popup = Popup::create("Title", "Heading", text, PopupButtons::Close);
        runTasks();
        const Box frame = popup->getFrame();
        EXPECT_EQ(frame, Box(20, (240 - height) / 2, 280, height)) << sentences;
        EXPECT_EQ(at(20, frame.y1), 0x808080u);
        EXPECT_EQ(at(20, frame.y2), 0x808080u);
        const int buttonTop = frame.y2 + 1 - 38;
        EXPECT_EQ(inked(Box::fromCorners(22, buttonTop - 3, 297, buttonTop - 1), 0xFFFFFF), 0)
            << "no text runs into the buttons";
        if (height == 240) {
            press(150, 190); // dragged up, the text follows the finger, no further than its ends
            move(150, 150);
            EXPECT_EQ(popup->getScroll(), 40);
            move(150, 239);
            EXPECT_EQ(popup->getScroll(), 0);
            move(150, 0);
            release();
            EXPECT_EQ(popup->getScroll(), 15 * lines - (240 - 94));
        }
        tap(160, buttonTop + 15);
        EXPECT_EQ(layers(), 1u) << "Close at the frame's bottom closes";
    }
}

class ProgressBarTest : public PopupTest {};

TEST_F(ProgressBarTest, TheBarShowsTheShareAndClampsBadValues) {
    auto* bar = new ProgressBar(form, 20, 100, 280, 8);
    const struct {
        int set;
        int progress;
        int filled;
    } cases[] = {{0, 0, 0}, {25, 25, 70}, {1000, 100, 280}, {-50, ProgressBar::INDETERMINATE, 70}};
    for (const auto& c : cases) {
        bar->setProgress(c.set);
        runTasks();
        EXPECT_EQ(bar->getProgress(), c.progress);
        EXPECT_EQ(countColour(bar->getBoundingBox(), 0xCBA14F), c.filled * 8) << c.set;
        EXPECT_EQ(countColour(bar->getBoundingBox(), 0xE1E1E1), (280 - c.filled) * 8) << c.set;
    }
    EXPECT_EQ(at(20, 100), 0xCBA14Fu) << "an unknown share: a quarter-wide block";
    bar->setProgressColor(0x312CD8);
    runTasks();
    EXPECT_EQ(countColour(bar->getBoundingBox(), 0x312CD8), 70 * 8);
}

TEST_F(ProgressBarTest, AnUnknownShareSlidesAndWraps) {
    auto* bar = new ProgressBar(form, 0, 100, 320, 8);
    bar->setProgress(-1);
    const struct {
        int ticks;
        int from; // the block's first pixel, 4 px per timer message, wrapping at the right
    } steps[] = {{0, 0}, {10, 40}, {60, 280}};
    for (const auto& s : steps) {
        tick(s.ticks);
        for (int x = 0; x < 320; x += 13) {
            const bool inBlock = (x - s.from + 320) % 320 < 80;
            EXPECT_EQ(at(x, 100), inBlock ? 0xCBA14Fu : 0xE1E1E1u) << "x " << x << " from " << s.from;
        }
    }
    bar->setProgress(50);
    tick(1);
    EXPECT_EQ(at(0, 100), 0xCBA14Fu) << "a known share stops the animation";
    EXPECT_EQ(at(160, 100), 0xE1E1E1u);
    (new ProgressBar(form, 0, 0, 0, 0))->setProgress(-1);
    tick(1); // a zero-size bar has nowhere to slide
}

} // namespace
} // namespace tdx::test
