#include "SourceApp/application/controls/Popup.h"
#include "SourceApp/application/controls/ProgressBar.h"
#include "SourceApp/gui/bif/bif.h"
#include "widget_fixture.h"

#include <algorithm>

namespace tdx::test {
namespace {

using PopupTest = WidgetTest;

constexpr Box OK_BUTTON(211, 162, 80, 30);
constexpr Box CANCEL_BUTTON(29, 162, 80, 30);
constexpr Box CLOSE_BUTTON(120, 162, 80, 30);

int centre_x(const Box& b) {
    return b.x1 + b.getWidth() / 2;
}
int centre_y(const Box& b) {
    return b.y1 + b.getHeight() / 2;
}

struct Results {
    int accepted = 0;
    int cancelled = 0;
};

Popup* open(PopupButtons buttons, Results& r) {
    Popup* p = Popup::create("Warning", "Restore configuration", "All settings will be replaced.", buttons);
    p->setAcceptCommand(std::make_unique<CountingCommand>(r.accepted));
    p->setCancelCommand(std::make_unique<CountingCommand>(r.cancelled));
    return p;
}

TEST_F(PopupTest, OkAndCancelReportTheirTagRunTheirCommandAndClose) {
    struct Case {
        Box button;
        int result;
    } cases[] = {{OK_BUTTON, 0}, {CANCEL_BUTTON, 1}};
    for (const Case& c : cases) {
        Results r;
        mLog.clear();
        Popup* popup = open(PopupButtons::OkCancel, r);
        pass();
        ASSERT_EQ(mCore.getModalLayers().front(), popup);
        tap(centre_x(c.button), centre_y(c.button));
        const Seen* result = last(MSG_POPUP_RESULT);
        ASSERT_NE(result, nullptr);
        EXPECT_EQ(result->source, nullptr) << "a result comes from no component";
        EXPECT_EQ(result->p1, c.result);
        EXPECT_EQ(r.accepted, c.result == 0 ? 1 : 0);
        EXPECT_EQ(r.cancelled, c.result == 1 ? 1 : 0);
        EXPECT_EQ(mCore.getModalLayers().size(), 1u) << "the popup closed";
        EXPECT_EQ(count(MSG_POPUP_RESULT), 1);
    }
}

TEST_F(PopupTest, CloseAndAPressOutsideAreACancel) {
    Results r;
    open(PopupButtons::Close, r);
    pass();
    tap(centre_x(CLOSE_BUTTON), centre_y(CLOSE_BUTTON));
    ASSERT_NE(last(MSG_POPUP_RESULT), nullptr);
    EXPECT_EQ(last(MSG_POPUP_RESULT)->p1, 1);
    EXPECT_EQ(r.cancelled, 1);
    EXPECT_EQ(mCore.getModalLayers().size(), 1u);

    // Outside the frame: the full cancel, the screen below gets no touch.
    int screenClicks = 0;
    auto* behind = new Key(form(), 0, 0, 20, 20);
    (void)behind;
    Results r2;
    open(PopupButtons::OkCancel, r2);
    pass();
    mLog.clear();
    tap(5, 5);
    EXPECT_EQ(count(MSG_PRESS), 0) << "the screen below is not pressed";
    EXPECT_EQ(screenClicks, 0);
    ASSERT_NE(last(MSG_POPUP_RESULT), nullptr);
    EXPECT_EQ(last(MSG_POPUP_RESULT)->p1, 1);
    EXPECT_EQ(r2.cancelled, 1) << "the cancel command runs on an outside press too";
    EXPECT_EQ(r2.accepted, 0);
    EXPECT_EQ(mCore.getModalLayers().size(), 1u);

    // A press inside the frame but on no button does nothing.
    Results r3;
    open(PopupButtons::OkCancel, r3);
    pass();
    tap(160, 120);
    EXPECT_EQ(r3.cancelled + r3.accepted, 0);
    EXPECT_EQ(mCore.getModalLayers().size(), 2u);
}

TEST_F(PopupTest, TwoPopupsCloseOneAfterTheOther) {
    Results first, second;
    Popup* a = open(PopupButtons::OkCancel, first);
    Popup* b = open(PopupButtons::Close, second);
    pass();
    ASSERT_EQ(mCore.getModalLayers().size(), 3u);
    EXPECT_EQ(mCore.getModalLayers().front(), b);
    tap(centre_x(CLOSE_BUTTON), centre_y(CLOSE_BUTTON));
    EXPECT_EQ(second.cancelled, 1);
    EXPECT_EQ(first.cancelled + first.accepted, 0) << "only the newest popup takes the touch";
    ASSERT_EQ(mCore.getModalLayers().front(), a);
    tap(centre_x(OK_BUTTON), centre_y(OK_BUTTON));
    EXPECT_EQ(first.accepted, 1);
    EXPECT_EQ(mCore.getModalLayers().size(), 1u);

    // Finishing twice reports once.
    Results r;
    Popup* c = open(PopupButtons::OkCancel, r);
    c->finish(0);
    c->finish(1);
    pass();
    EXPECT_EQ(r.accepted, 1);
    EXPECT_EQ(r.cancelled, 0);
}

// Opens a popup on the first press of a key, as a row opens its editor.
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
    auto* key = new Key(form(), 0, 0, 60, 30);
    new Opener(form(), key);
    pass();
    touch(EVENT_TOUCH_PRESS, 10, 10);
    pass(2);
    ASSERT_EQ(mCore.getModalLayers().size(), 2u);
    EXPECT_FALSE(key->isActive()) << "drawn in its normal look under the popup";
    touch(EVENT_TOUCH_RELEASE, 10, 10);
    pass();
    tap(centre_x(CLOSE_BUTTON), centre_y(CLOSE_BUTTON));
    ASSERT_EQ(mCore.getModalLayers().size(), 1u);
    // A drag that begins beside the key and ends on it is no click of the key.
    touch(EVENT_TOUCH_PRESS, 200, 200);
    touch(EVENT_TOUCH_MOVE, 10, 10);
    touch(EVENT_TOUCH_RELEASE, 10, 10);
    pass(2);
    EXPECT_EQ(count(MSG_CLICK, key), 0);
    EXPECT_EQ(at(10, 10), Key::IDLE);
}

TEST_F(PopupTest, AChangeOfScreenClosesThePopup) {
    Results r;
    open(PopupButtons::OkCancel, r);
    pass();
    mCore.changeState(4, 0, 0, 0, 0);
    pass();
    EXPECT_EQ(mCore.getModalLayers().size(), 1u);
    EXPECT_EQ(shownId(), 4u);
}

TEST_F(PopupTest, LookVeilFrameTitleAndButtons) {
    new Patch(form(), 0, 0, 320, 240, 0xFFFFFF);
    Results r;
    open(PopupButtons::OkCancel, r);
    pass();
    EXPECT_EQ(at(5, 5), 0x9F9F9Fu) << "white veiled with black at 96";
    EXPECT_EQ(at(20, 40), 0x808080u) << "frame border";
    EXPECT_EQ(at(21, 41), 0x808080u);
    EXPECT_EQ(at(22, 42), 0xCBA14Fu) << "title bar";
    EXPECT_EQ(at(30, 80 + 40), 0xFFFFFFu);
    EXPECT_GT(count_near(Box(22, 42, 276, 24), 0xFFFFFF), 20) << "white title";
    EXPECT_EQ(at(CANCEL_BUTTON.x1 + 1, CANCEL_BUTTON.y1 + 1), 0xCCCCCCu);
    EXPECT_EQ(at(OK_BUTTON.x1 + 1, OK_BUTTON.y1 + 1), 0xCCCCCCu);
    EXPECT_GT(count_near(Box(29, 70, 262, 20), 0x000000), 20) << "heading";
    EXPECT_GT(count_near(Box(29, 92, 262, 40), 0x000000), 20) << "text";
}

TEST_F(PopupTest, TheFrameGrowsWithItsTextAndALongerTextScrolls) {
    new Patch(form(), 0, 0, 320, 240, 0xFFFFFF);
    std::string text;
    for (int sentences : {2, 9, 40}) {
        text.clear();
        for (int i = 0; i < sentences; ++i)
            text += "Lines and lines of text. ";
        const int lines = bif_count_lines(bif_myriad12.getFont(), text, 280 - 18 - 5);
        const int height = std::clamp(94 + 15 * lines, 160, 240);
        Popup* popup = Popup::create("Title", "Heading", text, PopupButtons::Close);
        pass();
        const Box frame = popup->getFrame();
        EXPECT_EQ(frame, Box(20, (240 - height) / 2, 280, height)) << sentences;
        EXPECT_EQ(at(20, frame.y1), 0x808080u);
        EXPECT_EQ(at(20, frame.y2), 0x808080u);
        const int buttonTop = frame.y2 + 1 - 38;
        EXPECT_EQ(inked(Box::fromCorners(22, buttonTop - 3, 297, buttonTop - 1), 0xFFFFFF), 0)
            << "no text runs into the buttons";
        if (height == 240) {
            // Dragged up, the text follows the finger, no further than its end.
            touch(EVENT_TOUCH_PRESS, 150, 190);
            touch(EVENT_TOUCH_MOVE, 150, 150);
            pass();
            EXPECT_EQ(popup->getScroll(), 40);
            touch(EVENT_TOUCH_MOVE, 150, 239); // back down past the start
            pass();
            EXPECT_EQ(popup->getScroll(), 0);
            touch(EVENT_TOUCH_MOVE, 150, 0);
            touch(EVENT_TOUCH_RELEASE, 150, 0);
            pass();
            EXPECT_EQ(popup->getScroll(), 15 * lines - (240 - 94));
        }
        tap(160, buttonTop + 15);
        EXPECT_EQ(mCore.getModalLayers().size(), 1u) << "Close at the frame's bottom closes";
    }
}

using ProgressBarTest = WidgetTest;

TEST_F(ProgressBarTest, ShowsTheShareAndClampsBadValues) {
    auto* bar = new ProgressBar(form(), 20, 100, 280, 8);
    pass();
    EXPECT_EQ(bar->getProgress(), 0);
    EXPECT_EQ(count_colour(bar->getBoundingBox(), 0xE1E1E1), 280 * 8) << "a new bar shows 0";
    bar->setProgress(25);
    pass();
    EXPECT_EQ(count_colour(bar->getBoundingBox(), 0xCBA14F), 70 * 8);
    EXPECT_EQ(at(20 + 69, 100), 0xCBA14Fu);
    EXPECT_EQ(at(20 + 70, 100), 0xE1E1E1u);
    bar->setProgress(1000);
    EXPECT_EQ(bar->getProgress(), 100);
    pass();
    EXPECT_EQ(count_colour(bar->getBoundingBox(), 0xCBA14F), 280 * 8);
    bar->setProgress(-50);
    EXPECT_EQ(bar->getProgress(), ProgressBar::INDETERMINATE);
    bar->setProgressColor(0x312CD8);
    pass();
    EXPECT_EQ(count_colour(bar->getBoundingBox(), 0x312CD8), 70 * 8) << "a quarter-wide block";
}

TEST_F(ProgressBarTest, UnknownProgressSlidesAndWraps) {
    auto* bar = new ProgressBar(form(), 0, 100, 320, 8);
    bar->setProgress(-1);
    pass();
    EXPECT_EQ(at(0, 100), 0xCBA14Fu);
    EXPECT_EQ(at(80, 100), 0xE1E1E1u);
    timer(10);
    EXPECT_EQ(at(39, 100), 0xE1E1E1u) << "moved 4 px per timer message";
    EXPECT_EQ(at(40, 100), 0xCBA14Fu);
    EXPECT_EQ(at(119, 100), 0xCBA14Fu);
    EXPECT_EQ(at(120, 100), 0xE1E1E1u);
    timer(60);
    // 70 steps: starts at 280, runs out at the right and continues at the left.
    EXPECT_EQ(at(280, 100), 0xCBA14Fu);
    EXPECT_EQ(at(319, 100), 0xCBA14Fu);
    EXPECT_EQ(at(39, 100), 0xCBA14Fu);
    EXPECT_EQ(at(40, 100), 0xE1E1E1u);
    EXPECT_EQ(count_colour(bar->getBoundingBox(), 0xCBA14F), 80 * 8);

    bar->setProgress(50);
    timer();
    EXPECT_EQ(at(0, 100), 0xCBA14Fu) << "a known share stops the animation";
    EXPECT_EQ(at(160, 100), 0xE1E1E1u);

    auto* empty = new ProgressBar(form(), 0, 0, 0, 0);
    empty->setProgress(-1);
    timer(); // a zero-size bar has nowhere to slide
}

} // namespace
} // namespace tdx::test
