// The scroll bar through touches: thumb lengths, arrows and their hold repeat, the relative drag, the saved
// position, the lock, and the ranges that leave nothing to scroll.
#include "SourceApp/application/commands/ScrollBarCommands.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/Popup.h"
#include "SourceApp/application/controls/ScrollBar.h"
#include "SourceApp/gui/core/layout/StackedContainer.h"
#include "SourceApp/gui/core/layout/Viewport.h"
#include "tests/support/screen_harness.h"

#include <functional>
#include <string>

namespace tdx::test {
namespace {

constexpr int BAR_X = 295;
constexpr int BAR_Y = 31;
constexpr int TRACK_TOP = BAR_Y + 24;
constexpr int TRACK = 161;

// Counts the on-scroll command's runs.
class Counting : public ICommand {
public:
    explicit Counting(int& runs)
        : mRuns(runs) {}
    void execute() override { ++mRuns; }

private:
    int& mRuns;
};

class ScrollBarTest : public ScreenHarness {
protected:
    ScrollBar* barOn(Form* form) {
        auto* bar = new ScrollBar(form, BAR_X, BAR_Y, 209);
        bar->setOnScrollCommand(std::make_unique<Counting>(mRuns));
        return bar;
    }
    // Thumb rows painted in the track (the thumb's top and bottom row stay white).
    static int thumbRows() { return countColour(Box(BAR_X + 5, TRACK_TOP, 1, TRACK), colour::CONTROL); }
    void drag(int fromY, int toY) {
        press(BAR_X + 12, fromY);
        move(BAR_X + 12, toY);
        release();
    }

    // The finger down in the track and the thumb dragged 10 pixels down.
    void beginDrag(ScrollBar* bar) {
        bar->setMax(500, 1000);
        runTasks();
        press(BAR_X + 12, TRACK_TOP + 5);
        move(BAR_X + 12, TRACK_TOP + 15);
        ASSERT_EQ(bar->getThumb()->getThumbPosition(), 10);
    }
    // After the drag was ended for the bar, a touch beside it moves nothing.
    void expectNoDragBeside(ScrollBar* bar) {
        mRuns = 0;
        press(100, 100);
        move(100, 160);
        release();
        EXPECT_EQ(bar->getThumb()->getThumbPosition(), 10) << "a touch beside the bar does not drag on";
        EXPECT_EQ(mRuns, 0);
    }

    int mRuns = 0;
};

TEST_F(ScrollBarTest, TheThumbIsAsLongAsTheShareOfTheContentShown) {
    ScrollBar* bar = barOn(blank());
    const struct {
        int total;
        int thumb;
    } cases[] = {{322, 80}, {10000, 14}, {100, TRACK}, {161, TRACK}};
    for (const auto& c : cases) {
        bar->setMax(50, c.total);
        runTasks();
        EXPECT_EQ(bar->getThumb()->getThumbHeight(), c.thumb) << "total " << c.total;
        EXPECT_EQ(thumbRows(), c.thumb - 2) << "total " << c.total;
    }
}

TEST_F(ScrollBarTest, ArrowsStepByFiftyAndRepeatWhileHeld) {
    ScrollBar* bar = barOn(blank());
    bar->setMax(500, 1000);
    bar->setThumbPosition(30);
    mRuns = 0;
    tap(bar->getUpButton());
    EXPECT_EQ(bar->getThumbPosition(), 0);
    EXPECT_EQ(mRuns, 1) << "a step that only reaches the start still runs the command";
    tap(bar->getUpButton());
    EXPECT_EQ(mRuns, 2) << "even at the start";

    press(BAR_X + 12, 230);
    EXPECT_EQ(bar->getThumbPosition(), 50);
    tick(11);
    EXPECT_EQ(bar->getThumbPosition(), 50) << "no repeat before 12 ticks";
    tick(1);
    EXPECT_EQ(bar->getThumbPosition(), 100);
    tick(4);
    EXPECT_EQ(bar->getThumbPosition(), 200) << "then one every 2 ticks";
    release();

    Message by{nullptr, -20, 0, 0, 0, MSG_SCROLL_BY};
    bar->setThumbPosition(10);
    bar->handleMessage(&by);
    EXPECT_EQ(bar->getThumbPosition(), 0);
    EXPECT_EQ(by.id, MSG_NONE) << "the bar keeps the scroll request to itself";
}

// The bar's own handlers of an arrow press and a thumb move land where the touches on the screen land.
TEST_F(ScrollBarTest, TheArrowAndThumbHandlersDoWhatTheTouchesDo) {
    const struct {
        const char* what;
        std::function<void(ScrollBar&)> touch;
        std::function<void(ScrollBar&)> call;
    } rows[] = {
        {"up", [this](ScrollBar& b) { tap(b.getUpButton()); },
         [](ScrollBar& b) { b.onUpPress(b.getUpButton(), false); }},
        {"up, a hold repeat", [this](ScrollBar& b) { tap(b.getUpButton()); },
         [](ScrollBar& b) { b.onUpPress(b.getUpButton(), true); }},
        {"down", [this](ScrollBar& b) { tap(b.getDownButton()); },
         [](ScrollBar& b) { b.onDownPress(b.getDownButton(), false); }},
        {"thumb", [this](ScrollBar&) { drag(TRACK_TOP + 40, TRACK_TOP + 57); },
         [](ScrollBar& b) {
             b.getThumb()->setThumbPosition(b.getThumb()->getThumbPosition() + 17);
             b.onThumbMove(b.getThumb());
         }},
    };
    for (const auto& row : rows) {
        int positions[2] = {};
        int runs[2] = {};
        for (int way = 0; way < 2; ++way) {
            ScrollBar* bar = barOn(blank());
            bar->setMax(500, 1000);
            bar->setThumbPosition(130);
            runTasks();
            mRuns = 0;
            (way == 0 ? row.touch : row.call)(*bar);
            runTasks();
            positions[way] = bar->getThumbPosition();
            runs[way] = mRuns;
        }
        EXPECT_NE(positions[0], 130) << row.what << ": the touch moved the bar";
        EXPECT_EQ(positions[1], positions[0]) << row.what;
        EXPECT_EQ(runs[1], runs[0]) << row.what;
    }
}

TEST_F(ScrollBarTest, AThumbMoveFromAnythingButTheBarsOwnThumbIsRefused) {
    Form* form = blank();
    ScrollBar* bar = barOn(form);
    auto* other = new ScrollBar(form, 10, BAR_Y, 209);
    auto* shortBar = new ScrollBar(form, 50, BAR_Y, 60);
    bar->setMax(500, 1000);
    bar->setThumbPosition(100);
    other->setMax(500, 1000);
    other->getThumb()->setThumbPosition(80);
    bar->getThumb()->setThumbPosition(70);
    runTasks();
    mRuns = 0;
    Component* strangers[] = {nullptr, other->getThumb(), bar->getUpButton(), bar};
    for (Component* stranger : strangers) {
        bar->onThumbMove(stranger);
        EXPECT_EQ(bar->getThumbPosition(), 100);
    }
    EXPECT_EQ(mRuns, 0);
    ASSERT_EQ(shortBar->getThumb(), nullptr);
    shortBar->onThumbMove(shortBar->getUpButton());
    EXPECT_EQ(shortBar->getThumbPosition(), 0) << "a bar without a thumb has nothing to follow";
    shortBar->onDownPress(shortBar->getDownButton(), false);
    EXPECT_EQ(shortBar->getThumbPosition(), 50);
    EXPECT_TRUE(shortBar->getUpButton()->isEnabled()) << "the arrows of a bar without a thumb follow it";
}

TEST_F(ScrollBarTest, TheDragIsRelativeAndStopsAtTheEnd) {
    Form* form = blank();
    auto* viewport = new Viewport(form, 0, BAR_Y, BAR_X, 209);
    auto* content = new StackedContainer(viewport, 0, 0, BAR_X, 0);
    content->setDirection(DIRECTION_VERTICAL);
    content->setSpacing(1);
    content->setSpacingFillColor(colour::WHITE);
    viewport->setContent(content);
    for (int i = 0; i < 30; ++i) {
        new ContainedLabel(content, 0, 0, 277, 26, &bif_myriad12, "Row " + std::to_string(i + 1));
    }
    content->fitToContent();
    ScrollBar* bar = barOn(form);
    content->setOnSizeChangeCommand(std::make_unique<ViewportSizeToScrollBarCommand>(viewport, bar));
    bar->setOnScrollCommand(std::make_unique<ScrollBarPositionToViewportCommand>(viewport, bar));
    ViewportSizeToScrollBarCommand(viewport, bar).execute();
    runTasks();
    const int max = viewport->getMaxVerticalPosition();
    ASSERT_EQ(bar->getMax(), max);

    press(BAR_X + 12, 100); // below the thumb: it does not jump
    EXPECT_EQ(bar->getThumb()->getThumbPosition(), 0);
    move(BAR_X + 12, 110);
    EXPECT_EQ(bar->getThumb()->getThumbPosition(), 10) << "it follows the finger from where it was";
    EXPECT_EQ(viewport->getVerticalPosition(), bar->getThumbPosition());
    move(BAR_X + 12, 100 + bar->getThumb()->getMaxThumbPosition() + 1);
    release();
    EXPECT_EQ(bar->getThumb()->getThumbPosition(), bar->getThumb()->getMaxThumbPosition());
    EXPECT_EQ(bar->getThumbPosition(), max) << "one pixel past the end is the end";
    EXPECT_EQ(viewport->getVerticalPosition(), max);
    screenshot("scroll_bar_beside_viewport");
}

int gSavedMax = 500;
Form* screenWithBar(unsigned, unsigned, const State& state) {
    auto* form = new BlankForm(state);
    auto* bar = new ScrollBar(form, BAR_X, BAR_Y, 209);
    bar->setMax(gSavedMax, 1000);
    return form;
}

TEST_F(ScrollBarTest, ComingBackRestoresThePositionWithinTheRangeThenInForce) {
    setRegistry(&screenWithBar);
    const struct {
        int maxOnReturn;
        int restored;
    } cases[] = {{500, 120}, {100, 100}};
    for (const auto& c : cases) {
        gSavedMax = 500;
        open(5);
        find<ScrollBar>()->setThumbPosition(120);
        open(6);
        gSavedMax = c.maxOnReturn;
        mCore.prevState();
        runTasks(2);
        ASSERT_EQ(state().getStateId(), 5u);
        EXPECT_EQ(find<ScrollBar>()->getThumbPosition(), c.restored);
    }
}

TEST_F(ScrollBarTest, TheBarIsEnabledExactlyWhileItHasARangeAndIsNotLocked) {
    ScrollBar* bar = barOn(blank());
    bar->setMax(500, 1000);
    bar->setLocked(true);
    EXPECT_FALSE(bar->isEnabled());
    bar->setMax(400, 1000);
    EXPECT_FALSE(bar->isEnabled()) << "a new range does not unlock the bar";
    bar->setLocked(false);
    EXPECT_TRUE(bar->isEnabled());

    const struct {
        int maximum;
        int total;
    } empty[] = {{0, 100}, {-5, 100}, {100, 0}, {100, -5}};
    for (const auto& e : empty) {
        bar->setMax(400, 1000);
        bar->setThumbPosition(200);
        bar->setMax(e.maximum, e.total);
        bar->setLocked(false);
        runTasks();
        EXPECT_FALSE(bar->isEnabled()) << e.maximum << "/" << e.total << ": unlocking gives no range";
        EXPECT_EQ(bar->getThumbPosition(), 0);
        EXPECT_EQ(bar->getThumb()->getThumbHeight(), 0);
        drag(TRACK_TOP + 5, TRACK_TOP + 100);
        Message by{nullptr, 50, 0, 0, 0, MSG_SCROLL_BY};
        bar->handleMessage(&by);
        EXPECT_EQ(bar->getThumbPosition(), 0) << "nothing scrolls past the end of an empty range";
    }
}

TEST_F(ScrollBarTest, APopupOverADragEndsIt) {
    ScrollBar* bar = barOn(blank());
    ASSERT_NO_FATAL_FAILURE(beginDrag(bar));
    Popup* popup = Popup::create("Title", "Heading", "Text", PopupButtons::Close);
    runTasks();
    release();
    popup->finish(Popup::RESULT_CANCEL);
    runTasks();
    expectNoDragBeside(bar);
}

TEST_F(ScrollBarTest, ABarHiddenDuringADragEndsIt) {
    ScrollBar* bar = barOn(blank());
    ASSERT_NO_FATAL_FAILURE(beginDrag(bar));
    bar->setVisible(false);
    runTasks();
    release();
    bar->setVisible(true);
    runTasks();
    expectNoDragBeside(bar);
}

TEST_F(ScrollBarTest, AThumbFillingTheTrackHasNothingToDrag) {
    ScrollBar* bar = barOn(blank());
    bar->setMax(40, 100);
    bar->setThumbPosition(40);
    runTasks();
    ASSERT_EQ(bar->getThumb()->getMaxThumbPosition(), 0);
    mRuns = 0;
    drag(TRACK_TOP + 5, TRACK_TOP + 60);
    EXPECT_EQ(bar->getThumbPosition(), 40);
    EXPECT_EQ(mRuns, 0);
}

} // namespace
} // namespace tdx::test
