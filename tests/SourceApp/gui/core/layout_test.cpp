// Layout containers: where they put their children, what they paint, how they follow their content.
#include "core_fixture.h"

#include "SourceApp/gui/core/layout/GridContainer.h"
#include "SourceApp/gui/core/layout/StackedContainer.h"
#include "SourceApp/gui/core/layout/StyleContainer.h"
#include "SourceApp/gui/core/layout/Viewport.h"

namespace tdx::test {
namespace {

class LayoutTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        mForm = new TestForm(State(9));
    }
    TestForm* mForm = nullptr;
};

constexpr unsigned RED = 0x0000FF;
constexpr unsigned GREEN = 0x00FF00;
constexpr unsigned BLUE = 0xFF0000;
constexpr unsigned GAP = 0x777777;

TEST_F(LayoutTest, AHorizontalStackPlacesVisibleChildrenByOffsetAndSpacingAndPaintsTheGaps) {
    StackedContainer* stack =
        StackedContainer::Builder{
            .parent = mForm, .x = 10, .y = 20, .height = 30, .spacing = 3, .spacingFillColor = GAP}
            .build();
    EXPECT_EQ(stack->getName(), "StackedContainer");
    auto* a = new Patch(stack, 0, 0, 20, 30, RED);
    auto* hidden = new Patch(stack, 0, 0, 50, 30, BLUE);
    auto* c = new Patch(stack, 5, 2, 10, 10, GREEN);
    hidden->setVisible(false);
    stack->fitToContent();

    EXPECT_EQ(a->getBoundingBox(), Box(10, 20, 20, 30));
    // The hidden child takes no room: c follows a after the gap, plus its own offset.
    EXPECT_EQ(c->getBoundingBox(), Box(10 + 20 + 3 + 5, 22, 10, 10));
    EXPECT_EQ(stack->getWidth(), 38 + 10 - 10) << "fitted to the furthest visible child";
    EXPECT_EQ(stack->getHeight(), 30) << "height given: kept";

    pass();
    EXPECT_EQ(at(29, 25), RED);
    EXPECT_EQ(at(30, 25), GAP);
    EXPECT_EQ(at(32, 49), GAP);
    EXPECT_EQ(at(33, 25), 0xFFFFFFu) << "the child's own offset is not a gap";
    EXPECT_EQ(at(38, 22), GREEN);

    hidden->setVisible(true);
    pass();
    EXPECT_EQ(hidden->getLeft(), 33);
    EXPECT_EQ(c->getLeft(), 33 + 50 + 3 + 5);
    EXPECT_EQ(stack->getRight(), c->getRight());
    EXPECT_EQ(at(40, 25), BLUE);
}

TEST_F(LayoutTest, AStackClosesUpWhenAChildIsDeleted) {
    auto* stack = new StackedContainer(mForm, 0, 0, 0, 30);
    auto* a = new Container(stack, 0, 0, 40, 30);
    auto* b = new Patch(stack, 0, 0, 20, 30, RED);
    stack->fitToContent();
    a->close();
    pass();
    EXPECT_EQ(b->getLeft(), 0);
    pass(); // deleted after this pass's repaint: drawn in the next one
    EXPECT_EQ(at(5, 5), RED);
    EXPECT_EQ(at(25, 5), 0xFFFFFFu);
}

TEST_F(LayoutTest, AVerticalStackWithoutFillLeavesGapsAlone) {
    auto* stack = new StackedContainer(mForm, 0, 0, 100, 0);
    stack->setDirection(DIRECTION_VERTICAL);
    stack->setSpacing(9);
    auto* a = new Patch(stack, 0, 0, 100, 26, RED);
    auto* b = new Patch(stack, 0, 0, 100, 40, GREEN);
    EXPECT_EQ(stack->getHeight(), 0) << "adding children never resizes";
    stack->fitToContent();
    EXPECT_EQ(b->getTop(), a->getBottom() + 1 + 9);
    EXPECT_EQ(stack->getHeight(), 26 + 9 + 40);
    pass();
    EXPECT_EQ(at(50, 30), 0xFFFFFFu);
}

TEST_F(LayoutTest, ARowFillsExactlyItsWidthOnGreyWithWhiteGaps) {
    auto* row = new RowContainer(mForm, 9, 39, 277, 26);
    EXPECT_EQ(row->getName(), "RowContainer");
    auto* caption = new Patch(row, 9, 0, 186, 26, RED);
    auto* value = new Patch(row, 0, 0, 81, 26, GREEN);
    EXPECT_EQ(caption->getLeft(), 9 + 9);
    EXPECT_EQ(value->getLeft(), caption->getRight() + 2);
    EXPECT_EQ(value->getRight(), row->getRight()) << "9 + 186 + 1 + 81 = 277";
    pass();
    EXPECT_EQ(at(9, 50), RowContainer::BACK_COLOR) << "the indent shows the row's ground";
    EXPECT_EQ(at(caption->getRight() + 1, 50), RowContainer::GAP_COLOR);
    EXPECT_EQ(at(value->getLeft(), 50), GREEN);

    row->setSpacing(0);
    EXPECT_EQ(value->getLeft(), caption->getRight() + 1);
}

TEST_F(LayoutTest, AGridFillsARowOfColumnsThenTheNext) {
    auto* grid = new GridContainer(mForm, 9, 40, 35);
    grid->addColumn(150);
    grid->addColumn(127);
    std::vector<Patch*> cells;
    for (int i = 0; i < 5; ++i)
        cells.push_back(new Patch(grid, 0, 0, 127, 26, RED));
    grid->fitToContent();
    for (int i = 0; i < 5; ++i) // rows 35 apart, columns 150 apart
        EXPECT_EQ(cells[i]->getBoundingBox(), Box(9 + 150 * (i % 2), 40 + 35 * (i / 2), 127, 26)) << i;
    EXPECT_EQ(grid->getRight(), 9 + 150 + 127 - 1) << "two columns fill 277 pixels";
    EXPECT_EQ(grid->getBottom(), 110 + 26 - 1);
}

TEST_F(LayoutTest, AGridRefusesAColumnOfNoWidth) {
    auto* grid = new GridContainer(mForm, 0, 0, 35);
    grid->addColumn(0);
    grid->addColumn(-4);
    EXPECT_TRUE(mTrace.contains("grid column"));
    auto* a = new Patch(grid, 0, 0, 10, 10, RED);
    auto* b = new Patch(grid, 0, 0, 10, 10, RED);
    EXPECT_EQ(a->getTop(), 0);
    EXPECT_EQ(b->getTop(), 35) << "without columns each child is a row";
}

TEST_F(LayoutTest, AStyleContainerPaintsGroundAndBorderAndPlacesChildrenInsideTheBorder) {
    StyleContainer* style = StyleContainer::Builder{.parent = mForm,
                                                    .x = 20,
                                                    .y = 30,
                                                    .width = 100,
                                                    .height = 40,
                                                    .backColor = GREEN,
                                                    .borderColor = BLUE,
                                                    .borderWidth = 2}
                                .build();
    auto* child = new Patch(style, 4, 1, 10, 10, RED);
    EXPECT_EQ(child->getLeft(), 20 + 2 + 4);
    EXPECT_EQ(child->getTop(), 30 + 2 + 1);
    pass();
    EXPECT_EQ(at(20, 30), BLUE);
    EXPECT_EQ(at(21, 50), BLUE);
    EXPECT_EQ(at(22, 50), GREEN);
    EXPECT_EQ(at(119, 69), BLUE);
    EXPECT_EQ(at(118, 68), BLUE);
    EXPECT_EQ(at(117, 67), GREEN);
    EXPECT_EQ(at(26, 33), RED);
}

TEST_F(LayoutTest, AStyleContainerWithoutColoursPaintsNothingAndFitsAroundItsBorder) {
    StyleContainer* style =
        StyleContainer::Builder{.parent = mForm, .x = 10, .y = 10, .borderWidth = 1}.build();
    new Patch(style, 0, 0, 30, 20, RED);
    style->fitToContent();
    EXPECT_EQ(style->getBoundingBox(), Box(10, 10, 32, 22));
    pass();
    EXPECT_EQ(at(10, 10), 0xFFFFFFu);
    EXPECT_EQ(at(11, 11), RED);
}

// Counts its runs and reads the viewport as a scroll bar would.
class RangeProbe : public ICommand {
public:
    RangeProbe(Viewport*& viewport, std::vector<std::pair<int, int>>& seen)
        : mViewport(viewport)
        , mSeen(seen) {}
    void execute() override {
        mSeen.emplace_back(mViewport->getInnerHeight(), mViewport->getMaxVerticalPosition());
    }
    Viewport*& mViewport;
    std::vector<std::pair<int, int>>& mSeen;
};

class ViewportTest : public LayoutTest {
protected:
    void SetUp() override {
        LayoutTest::SetUp();
        mViewport = new Viewport(mForm, 9, 39, 277, 100);
        mContent =
            StackedContainer::Builder{
                .parent = mViewport, .width = 277, .direction = DIRECTION_VERTICAL, .spacing = 10}
                .build();
        mViewport->setContent(mContent);
        mContent->setOnSizeChangeCommand(std::make_unique<RangeProbe>(mViewport, mRanges));
        for (int i = 0; i < 6; ++i)
            mKeys.push_back(new Key(mContent, 0, 0, 277, 30));
        mContent->fitToContent();
    }
    Viewport* mViewport = nullptr;
    StackedContainer* mContent = nullptr;
    std::vector<Key*> mKeys;
    std::vector<std::pair<int, int>> mRanges;
};

TEST_F(ViewportTest, FittingTheContentRunsItsSizeChangeCommandWithTheNewRange) {
    const int inner = 6 * 30 + 5 * 10;
    ASSERT_FALSE(mRanges.empty());
    EXPECT_EQ(mRanges.back(), std::make_pair(inner, inner - 100));
    mKeys[5]->setVisible(false);
    EXPECT_EQ(mRanges.back(), std::make_pair(inner - 40, inner - 140))
        << "hiding a row refits through the stack";
}

TEST_F(ViewportTest, ScrollingMovesEveryDescendantAndClampsToTheRange) {
    EXPECT_EQ(mKeys[0]->getTop(), 39);
    mViewport->setVerticalPosition(50);
    EXPECT_EQ(mViewport->getVerticalPosition(), 50);
    EXPECT_EQ(mContent->getTop(), 39 - 50);
    EXPECT_EQ(mKeys[0]->getTop(), 39 - 50);
    EXPECT_EQ(mKeys[2]->getTop(), 39 - 50 + 80);
    mViewport->setVerticalPosition(100000);
    EXPECT_EQ(mViewport->getVerticalPosition(), mViewport->getMaxVerticalPosition());
    mViewport->setVerticalPosition(-7);
    EXPECT_EQ(mViewport->getVerticalPosition(), 0);
}

TEST_F(ViewportTest, ShrinkingContentPullsThePositionBackIntoRange) {
    mViewport->setVerticalPosition(130);
    for (int i = 2; i < 6; ++i)
        mKeys[i]->setVisible(false);
    EXPECT_EQ(mViewport->getMaxVerticalPosition(), 0);
    EXPECT_EQ(mViewport->getVerticalPosition(), 0);
    EXPECT_EQ(mKeys[0]->getTop(), 39);
}

TEST_F(ViewportTest, ContentThatIsClosedLeavesAnEmptyViewportThatCanTakeNewContent) {
    mViewport->setVerticalPosition(50);
    mContent->close();
    pass();
    EXPECT_EQ(mViewport->getContent(), nullptr);
    EXPECT_EQ(mViewport->getInnerHeight(), 0);
    EXPECT_EQ(mViewport->getMaxVerticalPosition(), 0);
    EXPECT_EQ(mViewport->getVerticalPosition(), 0);
    EXPECT_EQ(at(20, 60), 0xFFFFFFu) << "the rows are gone from the screen";

    auto* next = new Container(mViewport, 0, 0, 277, 300);
    auto* key = new Key(next, 9, 39 + 250, 277, 30);
    mViewport->setContent(next);
    mViewport->setVerticalPosition(1000);
    EXPECT_EQ(mViewport->getVerticalPosition(), 200);
    EXPECT_EQ(key->getTop(), 39 + 250 - 200);
}

TEST_F(ViewportTest, ContentScrolledOutOfTheWindowIsNeitherDrawnNorTouchable) {
    mViewport->setVerticalPosition(50);
    pass();
    // Key 0 spans rows -11..18 now: above the window, the screen's white shows.
    EXPECT_EQ(at(20, 10), 0xFFFFFFu);
    EXPECT_EQ(at(20, 39), Key::IDLE) << "key 1 partly in the window";
    EXPECT_EQ(at(20, 39 + 100), 0xFFFFFFu) << "below the window";

    touch(EVENT_TOUCH_PRESS, 20, 10); // over key 0's box, but outside the window
    pass();
    EXPECT_FALSE(mKeys[0]->isActive());
    touch(EVENT_TOUCH_RELEASE, 20, 10);
    touch(EVENT_TOUCH_PRESS, 20, 45);
    pass();
    EXPECT_TRUE(mKeys[2]->isActive() || mKeys[1]->isActive());
    touch(EVENT_TOUCH_MOVE, 20, 10); // leaves the window: the key lets go
    pass();
    EXPECT_FALSE(mKeys[1]->isActive());
    EXPECT_FALSE(mKeys[2]->isActive());
}

} // namespace
} // namespace tdx::test
