// Geometry, visibility and the guards against geometry or deletions that a caller got wrong.
#include "core_fixture.h"

#include <climits>

namespace tdx::test {
namespace {

class ComponentTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        mForm = new TestForm(State(9));
    }
    TestForm* mForm = nullptr;
};

TEST_F(ComponentTest, GeometryIsAbsoluteWithInclusiveEdgesAndMovesCarryTheChildren) {
    auto* group = new Container(mForm, 10, 20, 100, 50);
    auto* patch = new Patch(group, 15, 25, 30, 10, 0);
    EXPECT_EQ(patch->getRight(), 44);
    EXPECT_EQ(patch->getBottom(), 34);
    EXPECT_TRUE(patch->isChildOf(group));
    EXPECT_TRUE(patch->isChildOf(mForm));
    EXPECT_FALSE(group->isChildOf(patch));
    group->setPosition(110, 120);
    EXPECT_EQ(patch->getBoundingBox(), Box(115, 125, 30, 10));
    group->setDimensions(20, 10);
    EXPECT_EQ(patch->getVisibleBox(), Box(115, 125, 15, 5)) << "cut by the parent";
    EXPECT_EQ(group->getName(), "Container");
}

TEST_F(ComponentTest, VisibilityAndEnablingFollowTheAncestors) {
    auto* group = new Container(mForm, 0, 0, 100, 100);
    auto* patch = new Patch(group, 0, 0, 10, 10, 0);
    group->setVisible(false);
    EXPECT_TRUE(patch->isVisible());
    EXPECT_FALSE(patch->isGloballyVisible());
    group->setVisible(true);
    EXPECT_TRUE(patch->isGloballyVisible());
    mForm->setEnabled(false);
    EXPECT_FALSE(patch->isEnabled());
}

TEST_F(ComponentTest, FittingFollowsTheFurthestVisibleChildOnTheFittedAxesOnly) {
    auto* box = new Container(mForm, 10, 10, 0, 40);
    new Patch(box, 10, 10, 30, 20, 0);
    auto* far = new Patch(box, 100, 10, 30, 80, 0);
    EXPECT_EQ(box->getWidth(), 0) << "adding never resizes";
    box->fitToContent();
    EXPECT_EQ(box->getRight(), 129);
    EXPECT_EQ(box->getHeight(), 40);
    far->setVisible(false);
    EXPECT_EQ(box->getRight(), 39) << "a hidden child's report refits the parent";
    box->setSizing(SIZING_FIT, SIZING_FIT);
    far->setVisible(true);
    EXPECT_EQ(box->getBottom(), 89);
}

TEST_F(ComponentTest, WildGeometryIsClampedWithATraceInsteadOfOverflowing) {
    auto* patch = new Patch(mForm, INT_MAX, INT_MIN, -5, INT_MAX, 0);
    EXPECT_TRUE(mTrace.contains("out of range"));
    EXPECT_EQ(patch->getLeft(), 0x7FFF);
    EXPECT_EQ(patch->getTop(), -0x8000);
    EXPECT_EQ(patch->getWidth(), 0);
    patch->setPosition(INT_MIN, INT_MAX);
    patch->setDimensions(INT_MAX, -1);
    EXPECT_EQ(patch->getLeft(), -0x8000);
    EXPECT_EQ(patch->getWidth(), 0x7FFF);
    EXPECT_EQ(patch->getHeight(), 0);
    pass(); // drawing it is safe
}

// Deletes its sibling outright when it hears MSG_USER (a component that forgot about deleteLater).
class Rude : public Component {
public:
    Rude(Container* parent, Component*& victim)
        : Component(parent, 0, 0, 1, 1)
        , mVictim(victim) {}
    void handleMessage(Message* m) override {
        if (m->id == MSG_USER) {
            deleteVictim();
        }
    }
    void handleEvent(Event*) override { deleteVictim(); }
    void deleteVictim() {
        delete mVictim;
        mVictim = nullptr;
    }
    Component*& mVictim;
};

TEST_F(ComponentTest, AChildDeletedOutrightDuringDeliveryIsSkippedNotCalled) {
    SeenLog log;
    Component* victim = nullptr;
    new Rude(mForm, victim);
    victim = new Listener(mForm, "victim", log);
    new Listener(mForm, "after", log);
    mCore.sendMessage(nullptr, MSG_USER, 0, 0, 0, 0);
    pass();
    EXPECT_EQ(log, (SeenLog{{"after", MSG_USER, nullptr, 0}}));
}

TEST_F(ComponentTest, AChildDeletedOutrightDuringEventDeliveryIsSkippedNotCalled) {
    Component* victim = new Key(mForm, 0, 0, 50, 50);
    new Rude(mForm, victim); // registered last: sees the press first
    touch(EVENT_TOUCH_PRESS, 10, 10);
    pass();
    EXPECT_EQ(victim, nullptr);
}

} // namespace
} // namespace tdx::test
