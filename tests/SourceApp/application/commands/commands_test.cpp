#include "SourceApp/application/commands/ChangeStateCommand.h"
#include "SourceApp/application/commands/ScrollBarCommands.h"
#include "SourceApp/application/controls/ScrollBar.h"
#include "SourceApp/gui/core/core_fixture.h"
#include "SourceApp/gui/core/layout/Viewport.h"

#include "Libraries/base/os.h"

#include <stdexcept>

namespace tdx::test {
namespace {

struct Thrown : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class CommandsTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        os_set_assert_handler([](const AssertionFailure& f) { throw Thrown(f.expression); });
    }
    void TearDown() override {
        os_set_assert_handler(nullptr);
        CoreTest::TearDown();
    }
};

TEST_F(CommandsTest, ChangeStateCommandOpensItsStateOnEveryRun) {
    mCore.changeState(3, 0, 0, 0, 0);
    pass();
    ChangeStateCommand command(12, 1, 2, 3, 4);
    EXPECT_EQ(shownId(), 3u) << "building the command navigates nowhere";
    command.execute();
    pass();
    ASSERT_EQ(shownId(), 12u);
    const State& shown = screen()->getState();
    EXPECT_EQ(shown.getP1(), 1u);
    EXPECT_EQ(shown.getP4(), 4u);
    mCore.prevState();
    pass();
    EXPECT_EQ(shownId(), 3u);
    command.execute();
    pass();
    EXPECT_EQ(shownId(), 12u) << "the command keeps its state for the next run";
}

TEST_F(CommandsTest, ChangeStateCommandKeepsItsOwnCopyOfATypedState) {
    std::unique_ptr<ChangeStateCommand> command;
    {
        SingleParamState<std::string> state(40, 7, 0, 0, 0, "Living room");
        command = std::make_unique<ChangeStateCommand>(state);
    }
    command->execute();
    pass();
    ASSERT_EQ(shownId(), 40u);
    const auto* typed = dynamic_cast<const SingleParamState<std::string>*>(&screen()->getState());
    ASSERT_NE(typed, nullptr) << "the typed parameter travels with the state";
    EXPECT_EQ(typed->getParam(), "Living room");
    EXPECT_EQ(typed->getP1(), 7u);
}

TEST_F(CommandsTest, RestartStateCommandRebuildsTheScreenAndKeepsHistory) {
    mCore.changeState(5, 0, 0, 0, 0);
    pass();
    mCore.changeState(6, 0, 0, 0, 0);
    pass();
    mBuilt.clear();
    RestartStateCommand().execute();
    pass();
    ASSERT_EQ(mBuilt.size(), 1u);
    EXPECT_EQ(mBuilt[0].second, 6u);
    mCore.prevState();
    pass();
    EXPECT_EQ(shownId(), 5u) << "the restart left the history as it was";
}

// The coupling through a drag is proven with the scroll bar; here, a content that grows later.
TEST_F(CommandsTest, AContentThatGrowsTellsTheScrollBarItsNewRange) {
    mScreens[2] = [](TestForm&) {};
    mCore.changeState(2, 0, 0, 0, 0);
    pass();
    auto* viewport = new Viewport(screen(), 0, 31, 295, 209);
    auto* content = new Container(viewport, 0, 0, 295, 0);
    viewport->setContent(content);
    for (int i = 0; i < 12; ++i) {
        new Patch(content, 0, 31 + i * 27, 277, 26, 0xCCCCCC);
    }
    content->fitToContent();
    auto* bar = new ScrollBar(screen(), 295, 31, 209);
    content->setOnSizeChangeCommand(std::make_unique<ViewportSizeToScrollBarCommand>(viewport, bar));
    bar->setOnScrollCommand(std::make_unique<ScrollBarPositionToViewportCommand>(viewport, bar));
    ViewportSizeToScrollBarCommand(viewport, bar).execute();
    const int before = bar->getMax();
    new Patch(content, 0, 31 + 12 * 27, 277, 26, 0xCCCCCC);
    content->fitToContent();
    EXPECT_EQ(bar->getMax(), before + 27);
    EXPECT_EQ(bar->getMax(), viewport->getMaxVerticalPosition());
    bar->setThumbPosition(100000);
    EXPECT_EQ(viewport->getVerticalPosition(), bar->getMax()) << "the viewport follows to the new end";
}

TEST_F(CommandsTest, ScrollCouplingRefusesMissingPartners) {
    mCore.changeState(2, 0, 0, 0, 0);
    pass();
    auto* bar = new ScrollBar(screen(), 295, 31, 209);
    Viewport* none = nullptr;
    EXPECT_THROW(ViewportSizeToScrollBarCommand(none, bar), Thrown);
    EXPECT_THROW(ScrollBarPositionToViewportCommand(none, bar), Thrown);
    auto* viewport = new Viewport(screen(), 0, 0, 100, 100);
    EXPECT_THROW(ViewportSizeToScrollBarCommand(viewport, nullptr), Thrown);
    EXPECT_THROW(ScrollBarPositionToViewportCommand(viewport, nullptr), Thrown);
}

} // namespace
} // namespace tdx::test
