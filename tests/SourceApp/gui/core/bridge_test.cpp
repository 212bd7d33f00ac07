// The inspector's view of the core: the bridge calls, selection at a point, and the pass's own order.
#include "core_fixture.h"

#include <algorithm>
#include <string>

namespace tdx::test {
namespace {

// Writes every bridge call as a line, with what the core shows at that moment.
class RecordingBridge : public DebuggerBridge {
public:
    explicit RecordingBridge(Core& core)
        : mCore(core) {}
    void onAfterStateChange(unsigned previous, unsigned next) override {
        log.push_back("state " + std::to_string(previous) + "->" + std::to_string(next));
    }
    void onComponentSelect(Component* c) override { log.push_back("select " + c->getName()); }
    void onComponentDeselect(Component* c) override { log.push_back("deselect " + c->getName()); }
    void onMessagePush(Component*, unsigned id, int, int, int, int) override {
        log.push_back("push " + std::to_string(id));
    }
    void onComponentChange(Component* c) override { log.push_back("change " + c->getName()); }
    void onComponentAdd(Component* c) override {
        const bool placed =
            c->getParent() != nullptr ? contains(c->getParent()->getChildren(), c) : layers().front() == c;
        log.push_back("add " + c->getName() + (placed ? "" : " (not placed)"));
    }
    void onComponentRemove(Component* c) override {
        const bool gone =
            c->getParent() != nullptr ? !contains(c->getParent()->getChildren(), c) : contains(layers(), c);
        log.push_back("remove " + c->getName() + (gone ? "" : " (wrong moment)"));
    }
    void onCoreTaskEnd() override { log.push_back("end"); }

    std::vector<std::string> log;

private:
    static bool contains(const std::vector<Component*>& v, const Component* c) {
        return std::find(v.begin(), v.end(), c) != v.end();
    }
    std::vector<Component*> layers() const { return mCore.getModalLayers(); }
    Core& mCore;
};

class BridgeTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        mCore.attachDebuggerBridge(&mBridge);
    }
    void TearDown() override {
        mCore.attachDebuggerBridge(nullptr);
        CoreTest::TearDown();
    }
    RecordingBridge mBridge{mCore};
};

using Log = std::vector<std::string>;

TEST_F(BridgeTest, TreeGeometryAndMessageCallsComeAfterTheChangeAndRemovalsOfLayersBefore) {
    auto* popup = new Container(nullptr, 0, 0, 100, 100);
    popup->setName("Popup");
    auto* patch = new Patch(popup, 5, 5, 10, 10, 0);
    patch->setPosition(5, 5);
    patch->setPosition(6, 5);
    patch->setDimensions(10, 10);
    patch->setDimensions(11, 10);
    patch->setVisible(true);
    patch->setVisible(false);
    patch->click();
    mCore.closeModalLayer(popup);
    pass();
    // Both are announced from the base constructor, before their own constructors named them.
    EXPECT_EQ(mBridge.log, (Log{"add Component", "add Component", "change Patch", "change Patch",
                                "change Patch", "push 2", "remove Popup", "remove Patch"}));
}

TEST_F(BridgeTest, AScreenChangeIsReportedAfterTheScreenWasBuiltAndThePassEndsWithTheHook) {
    mCore.changeState(12, 0, 0, 0, 0);
    mBridge.log.clear();
    pass();
    ASSERT_GE(mBridge.log.size(), 3u);
    EXPECT_EQ(mBridge.log[0], "add Component");
    EXPECT_EQ(mBridge.log[mBridge.log.size() - 2], "state 0->12");
    EXPECT_EQ(mBridge.log.back(), "end");
}

TEST_F(BridgeTest, APassWithoutLayersDoesNotCallTheEndHook) {
    pass();
    EXPECT_TRUE(mBridge.log.empty());
}

TEST_F(BridgeTest, SelectingAtAPointPicksTheLastRegisteredVisibleNonContainer) {
    auto* form = new TestForm(State(9));
    auto* under = new Patch(form, 0, 0, 100, 100, 0);
    under->setName("under");
    auto* group = new Container(form, 0, 0, 200, 200);
    auto* inGroup = new Patch(group, 10, 10, 50, 50, 0);
    inGroup->setName("inGroup");
    auto* hiddenOver = new Patch(form, 0, 0, 100, 100, 0);
    hiddenOver->setName("hidden");
    hiddenOver->setVisible(false);
    mBridge.log.clear();

    mCore.sendEvent(EVENT_DEBUG_SELECT, 20, 20, 0, 0);
    pass();
    EXPECT_EQ(mBridge.getSelectedComponent(), inGroup);
    EXPECT_TRUE(inGroup->isDebugSelected());

    mCore.sendEvent(EVENT_DEBUG_SELECT, 80, 80, 0, 0); // only the earlier patch there; the group is no pick
    pass();
    EXPECT_EQ(mBridge.getSelectedComponent(), under);
    EXPECT_FALSE(inGroup->isDebugSelected());

    mCore.sendEvent(EVENT_DEBUG_SELECT, 150, 150, 0, 0); // nothing selectable: selection stays
    pass();
    EXPECT_EQ(mBridge.getSelectedComponent(), under);
    EXPECT_EQ(mBridge.log, (Log{"select inGroup", "end", "deselect inGroup", "select under", "end", "end"}));
}

TEST_F(BridgeTest, DestroyingTheSelectedComponentClearsTheSelection) {
    auto* form = new TestForm(State(9));
    auto* box = new Container(form, 0, 0, 100, 100);
    auto* patch = new Patch(box, 0, 0, 10, 10, 0);
    mBridge.setSelectedComponent(patch);
    box->close();
    pass();
    EXPECT_EQ(mBridge.getSelectedComponent(), nullptr);
    EXPECT_NE(std::find(mBridge.log.begin(), mBridge.log.end(), "deselect Patch"), mBridge.log.end());
    mBridge.setSelectedComponent(nullptr); // must not touch the deleted one
    auto* other = new Patch(form, 0, 0, 10, 10, 0);
    mBridge.setSelectedComponent(other);
    EXPECT_TRUE(other->isDebugSelected());
}

TEST_F(BridgeTest, TheSelectionOfAClosedScreenIsClearedAtTheChange) {
    mCore.changeState(12, 0, 0, 0, 0);
    pass();
    auto* patch = new Patch(mCore.getScreen(), 0, 0, 10, 10, 0);
    mBridge.setSelectedComponent(patch);
    mCore.prevState();
    pass();
    EXPECT_EQ(mBridge.getSelectedComponent(), nullptr);
}

TEST_F(BridgeTest, WithoutABridgeSelectingOnlyConsumesTheEvent) {
    mCore.attachDebuggerBridge(nullptr);
    auto* form = new TestForm(State(9));
    auto* patch = new Patch(form, 0, 0, 10, 10, 0);
    mCore.sendEvent(EVENT_DEBUG_SELECT, 5, 5, 0, 0);
    pass();
    EXPECT_FALSE(patch->isDebugSelected());
    EXPECT_EQ(mCore.getDebugger(), nullptr);
}

TEST_F(BridgeTest, DetachingTheBridgeDropsItsSelectionSoNothingStaysHighlighted) {
    auto* form = new TestForm(State(9));
    auto* patch = new Patch(form, 0, 0, 10, 10, 0);
    mBridge.setSelectedComponent(patch);
    mCore.attachDebuggerBridge(nullptr);
    EXPECT_EQ(mBridge.getSelectedComponent(), nullptr);
    EXPECT_FALSE(patch->isDebugSelected());
    EXPECT_EQ(mBridge.log.back(), "deselect Patch");
}

TEST(BridgeOutlivingTheCore, KeepsNoPointerToTheComponentsTheCoreDeleted) {
    DebuggerBridge bridge;
    {
        Core core;
        core.attachDebuggerBridge(&bridge);
        auto* form = new Form(State(9));
        bridge.setSelectedComponent(new Container(form, 0, 0, 10, 10));
        bridge.setSelectedComponent(new Component(form, 0, 0, 10, 10));
    }
    EXPECT_EQ(bridge.getSelectedComponent(), nullptr);
    bridge.setSelectedComponent(nullptr); // would touch the deleted component
}

TEST_F(CoreTest, APassRunsJobsFirstAndFeedsTheWatchdogLast) {
    std::vector<std::string> order;
    mCore.setHooks({.runJobs = [&] { order.push_back("jobs"); },
                    .feedWatchdog = [&] { order.push_back("watchdog"); },
                    .click = {},
                    .setAwakeOverride = {}});
    struct EndBridge : DebuggerBridge {
        std::vector<std::string>* order;
        void onCoreTaskEnd() override { order->push_back("end"); }
        void onAfterStateChange(unsigned, unsigned) override { order->push_back("screen"); }
    } bridge;
    bridge.order = &order;
    mCore.attachDebuggerBridge(&bridge);
    mScreens[12] = [&](TestForm&) { order.push_back("build"); };
    mCore.changeState(12, 0, 0, 0, 0);
    pass();
    EXPECT_EQ(order, (std::vector<std::string>{"jobs", "build", "screen", "end", "watchdog"}));
    mCore.attachDebuggerBridge(nullptr);
}

TEST_F(CoreTest, TheTickCountsAndItsFlagIsTakenOnce) {
    const uint32_t start = mCore.getTickCount();
    EXPECT_FALSE(mCore.takeTimerFlag());
    mCore.tick();
    mCore.tick();
    EXPECT_EQ(mCore.getTickCount(), start + 2);
    EXPECT_TRUE(mCore.takeTimerFlag());
    EXPECT_FALSE(mCore.takeTimerFlag());
}

TEST_F(CoreTest, AFormPassesItsAwakeOverrideUpAndDropsItWhenDestroyed) {
    std::vector<int> calls;
    mCore.setHooks({.runJobs = {}, .feedWatchdog = {}, .click = {}, .setAwakeOverride = [&](bool on) {
                        calls.push_back(on ? 1 : 0);
                    }});
    mScreens[12] = [](TestForm& form) { form.setAwakeOverride(true); };
    mCore.changeState(12, 0, 0, 0, 0);
    pass();
    EXPECT_EQ(calls, (std::vector<int>{1}));
    mCore.changeState(13, 0, 0, 0, 0);
    pass();
    EXPECT_EQ(calls, (std::vector<int>{1, 0}));
    mCore.prevState();
    pass();
    EXPECT_EQ(calls, (std::vector<int>{1, 0, 1})) << "the new screen's own call comes last";
    EXPECT_EQ(mCore.getScreen()->getName(), "TestForm");
    mCore.closeLastModalLayer();
    pass();
    EXPECT_EQ(calls, (std::vector<int>{1, 0, 1, 0}));
    mCore.setHooks({});
}

TEST(FormAlone, IsAFullScreenRootNamedForm) {
    Core core;
    Form form(State(3, 1, 2, 3, 4));
    EXPECT_EQ(form.getName(), "Form");
    EXPECT_EQ(form.getBoundingBox(), Box(0, 0, 320, 240));
    EXPECT_EQ(form.getParent(), nullptr);
    EXPECT_EQ(form.getState().getStateId(), 3u);
    EXPECT_EQ(form.getState().getP3(), 3u);
    EXPECT_EQ(core.getModalLayers(), (std::vector<Component*>{&form}));
    EXPECT_FALSE(form.getAwakeOverride());
    EXPECT_EQ(form.tag, 0u);
}

TEST(ComponentWithoutCore, ARootIsDrawableButNoLayer) {
    TraceCapture trace;
    {
        Container root(nullptr, 0, 0, 10, 10);
        Patch patch(&root, 0, 0, 5, 5, 0);
        patch.click();
        EXPECT_EQ(root.getChildren().size(), 1u);
    }
    EXPECT_TRUE(trace.contains("without a core"));
}

} // namespace
} // namespace tdx::test
