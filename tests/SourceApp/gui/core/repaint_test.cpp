// What reaches the framebuffer: dirty areas, layers drawn oldest first, clipping, the inspector's highlight.
#include "core_fixture.h"

#include "SourceApp/gui/core/layout/StackedContainer.h"
#include "SourceApp/gui/core/layout/StyleContainer.h"
#include "SourceApp/gui/core/layout/Viewport.h"

#include <cstdlib>

namespace tdx::test {
namespace {

constexpr unsigned RED = 0x0000FF;
constexpr unsigned GREEN = 0x00FF00;
constexpr unsigned BLUE = 0xFF0000;
constexpr unsigned WHITE = 0xFFFFFF;

class RepaintTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        mForm = new TestForm(State(9));
        mViewport = new Viewport(mForm, 20, 40, 200, 100);
        mContent = new Container(mViewport, 0, 0, 200, 300);
        mViewport->setContent(mContent);
        mLabel = new Patch(mContent, 10, 120, 50, 40, RED); // straddles the window's bottom edge
        mOther = new Patch(mForm, 250, 10, 30, 30, GREEN);
        pass();
        sFlips.clear();
    }
    TestForm* mForm = nullptr;
    Viewport* mViewport = nullptr;
    Container* mContent = nullptr;
    Patch* mLabel = nullptr;
    Patch* mOther = nullptr;
};

TEST_F(RepaintTest, TheFirstPassDrawsTheWholeScreenOnce) {
    // A fresh core: everything is new.
    sFlips.clear();
    mBack.assign(W * H, gfx_pixel_of(BACKGROUND));
    mCore.addDirtyArea(Box(-50, -50, 1000, 1000));
    pass();
    EXPECT_EQ(sFlips, (std::vector<Box>{Box(0, 0, 320, 240)})) << "clipped to the screen";
    EXPECT_EQ(inked(Box(0, 0, 320, 240)), 320 * 240);
    EXPECT_EQ(at(12, 12), WHITE);
    EXPECT_EQ(at(260, 20), GREEN);
}

TEST_F(RepaintTest, InvalidatingOneComponentFlipsOnlyItsVisibleBox) {
    pass();
    EXPECT_TRUE(sFlips.empty()) << "nothing changed, nothing drawn";
    // Paint over the whole buffer to see exactly what the repaint touches.
    mBack.assign(W * H, gfx_pixel_of(BACKGROUND));
    mLabel->setColour(BLUE);
    pass();
    // The label (10..59 x 120..159) cut by the window (20..219 x 40..139).
    const Box visible = Box::fromCorners(20, 120, 59, 139);
    EXPECT_EQ(sFlips, (std::vector<Box>{visible}));
    EXPECT_EQ(ink_box(), visible);
    EXPECT_EQ(at(20, 139), BLUE);
}

TEST_F(RepaintTest, ManyScatteredChangesAreRedrawnTogetherAndAllShow) {
    std::vector<Patch*> dots;
    for (int i = 0; i < 40; ++i)
        dots.push_back(new Patch(mForm, 230 + (i % 8) * 10, 150 + (i / 8) * 10, 4, 4, RED));
    pass();
    sFlips.clear();
    for (Patch* dot : dots)
        dot->setColour(BLUE);
    pass();
    EXPECT_LE(sFlips.size(), Core::MAX_DIRTY_AREAS);
    for (Patch* dot : dots)
        EXPECT_EQ(at(dot->getLeft(), dot->getTop()), BLUE);
}

TEST_F(RepaintTest, AnInvisibleChangeDrawsNothing) {
    mLabel->setVisible(false);
    pass();
    sFlips.clear();
    mLabel->setColour(BLUE);
    pass();
    EXPECT_TRUE(sFlips.empty());
}

TEST_F(RepaintTest, HidingAndMovingRedrawWhatWasUnderneath) {
    mOther->setVisible(false);
    pass();
    EXPECT_EQ(at(260, 20), WHITE);
    mOther->setVisible(true);
    mOther->setPosition(200, 200);
    pass();
    EXPECT_EQ(at(260, 20), WHITE);
    EXPECT_EQ(at(210, 210), GREEN);
}

TEST_F(RepaintTest, APopupLayerIsDrawnOverTheScreenAndClosingItUncoversTheScreen) {
    StyleContainer* popup = StyleContainer::Builder{.x = 40,
                                                    .y = 60,
                                                    .width = 240,
                                                    .height = 120,
                                                    .backColor = BLUE,
                                                    .borderColor = 0,
                                                    .borderWidth = 1}
                                .build();
    ASSERT_EQ(popup->getParent(), nullptr);
    pass();
    EXPECT_EQ(sFlips, (std::vector<Box>{popup->getBoundingBox()}));
    EXPECT_EQ(at(50, 130), BLUE) << "over the red label";
    EXPECT_EQ(at(40, 60), 0u);

    // The label under the popup changes: its area is redrawn, the popup stays on top.
    mLabel->setColour(GREEN);
    pass();
    EXPECT_EQ(at(50, 130), BLUE);

    mCore.closeLastModalLayer();
    pass();
    EXPECT_EQ(mCore.getModalLayers(), (std::vector<Component*>{mForm}));
    EXPECT_EQ(at(50, 130), GREEN);
    EXPECT_EQ(at(40, 60), WHITE);
}

TEST_F(RepaintTest, ClosingWithoutALayerOrALayerThatIsNoneDoesNothing) {
    mCore.closeModalLayer(mLabel);
    EXPECT_TRUE(mTrace.contains("no layer"));
    mCore.closeLastModalLayer();
    mCore.closeLastModalLayer();
    pass();
    EXPECT_TRUE(mCore.getModalLayers().empty());
    mCore.closeLastModalLayer();
    pass();
}

TEST_F(RepaintTest, ADebugSelectedComponentIsHighlightedButNotItsSelectedChildrenTwice) {
    DebuggerBridge bridge;
    mCore.attachDebuggerBridge(&bridge);
    bridge.setSelectedComponent(mOther);
    pass();
    const unsigned blended = at(260, 20);
    // 0xFF00FF at 63/255 over green.
    EXPECT_NEAR(static_cast<int>(blended & 0xFF), 63, 2);
    EXPECT_NEAR(static_cast<int>((blended >> 8) & 0xFF), 192, 2);
    EXPECT_NEAR(static_cast<int>(blended >> 16), 63, 2);
    bridge.setSelectedComponent(nullptr);
    pass();
    EXPECT_EQ(at(260, 20), GREEN);
    mCore.attachDebuggerBridge(nullptr);
}

TEST_F(RepaintTest, ATestScreenOfLayoutContainersRendersAsBuilt) {
    // The content layout of a list screen: a stacked column of rows in a window, beside a side bar.
    auto* form = new TestForm(State(10));
    StackedContainer* bar = StackedContainer::Builder{.parent = form,
                                                      .x = 0,
                                                      .y = 31,
                                                      .width = 68,
                                                      .height = 209,
                                                      .direction = DIRECTION_VERTICAL,
                                                      .spacing = 1,
                                                      .spacingFillColor = WHITE}
                                .build();
    new Patch(bar, 0, 0, 68, 66, 0x3A7B9B);
    new Patch(bar, 0, 0, 68, 66, 0x3A7B9B);
    auto* viewport = new Viewport(form, 77, 39, 209, 192);
    StackedContainer* content =
        StackedContainer::Builder{
            .parent = viewport, .width = 209, .direction = DIRECTION_VERTICAL, .spacing = 9}
            .build();
    viewport->setContent(content);
    for (int i = 0; i < 9; ++i) {
        auto* row = new RowContainer(content, 0, 0, 209, 26);
        new Patch(row, 9, 0, 120, 26, 0x202020);
        new Patch(row, 0, 0, 79, 26, i % 2 ? RED : GREEN);
    }
    content->fitToContent();
    viewport->setVerticalPosition(20);
    pass();

    if (const char* dir = std::getenv("TDX_PICTURES")) // for a person who wants to look at it
        write_bmp(std::string(dir) + "/test-screen.bmp", gfx.surface);

    EXPECT_EQ(at(5, 35), 0x3A7B9Bu);
    EXPECT_EQ(at(5, 97), WHITE) << "side bar gap";
    EXPECT_EQ(at(5, 98), 0x3A7B9Bu);
    EXPECT_EQ(at(5, 200), WHITE) << "the form shows below the side bar's buttons";
    // First row scrolled up by 20: its last 6 lines show at the window's top.
    EXPECT_EQ(at(80, 39), RowContainer::BACK_COLOR);
    EXPECT_EQ(at(90, 39), 0x202020u);
    EXPECT_EQ(at(77 + 129, 39), RowContainer::GAP_COLOR);
    EXPECT_EQ(at(77 + 130, 39), GREEN);
    EXPECT_EQ(at(90, 45), WHITE) << "stack gap, no fill";
    EXPECT_EQ(at(77 + 130, 39 + 6 + 9), RED) << "second row";
    EXPECT_EQ(at(77 + 130, 230), GREEN) << "the seventh row, cut by the window's last line";
    EXPECT_EQ(at(77 + 130, 231), WHITE);
}

} // namespace
} // namespace tdx::test
