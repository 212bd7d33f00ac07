// A press on a control that is hidden or destroyed before the finger comes up: the release never reaches it,
// so the core ends the press itself.
#include "core_fixture.h"

#include <utility>

namespace tdx::test {
namespace {

// Follows the touch as a dragging widget does, without telling the core that it holds it.
class Tracker : public Component {
public:
    Tracker(Container* parent, int x, int y, int w, int h)
        : Component(parent, x, y, w, h) {}
    void handleEvent(Event* event) override {
        if (event->kind == EVENT_TOUCH_PRESS && getVisibleBox().contains(event->x, event->y)) {
            held = true;
        } else if (event->kind == EVENT_TOUCH_RELEASE || event->kind == EVENT_TOUCH_CANCEL) {
            held = false;
        }
    }
    bool held = false;
};

class VanishingPressTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        mForm = new TestForm(State(9));
        mGroup = new Panel(mForm, 80, 80, 120, 80, 0x808080);
        mKey = new Key(mGroup, 100, 100, 40, 30);
        new Listener(mForm, "screen", mLog);
        pass();
    }
    int clicksOf(const Component* source) const {
        int clicks = 0;
        for (const Seen& s : mLog) {
            clicks += s.id == MSG_CLICK && s.source == source;
        }
        return clicks;
    }
    void pressKey() {
        touch(EVENT_TOUCH_PRESS, 110, 110);
        pass();
        ASSERT_TRUE(mKey->isActive());
        ASSERT_EQ(at(120, 115), Key::ACTIVE);
    }

public: // the cases' tables reach them
    TestForm* mForm = nullptr;
    Panel* mGroup = nullptr;
    Key* mKey = nullptr;
    SeenLog mLog;
};

TEST_F(VanishingPressTest, AControlHiddenWhilePressedIsReleasedUnpressedAndNeverClicks) {
    const struct {
        const char* what;
        std::function<void(VanishingPressTest&)> hide;
        std::function<void(VanishingPressTest&)> show;
    } cases[] = {
        {"the control", [](auto& t) { t.mKey->setVisible(false); },
         [](auto& t) { t.mKey->setVisible(true); }},
        {"its container", [](auto& t) { t.mGroup->setVisible(false); },
         [](auto& t) { t.mGroup->setVisible(true); }},
        {"the screen", [](auto& t) { t.mForm->setVisible(false); },
         [](auto& t) { t.mForm->setVisible(true); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        mLog.clear();
        pressKey();
        c.hide(*this);
        pass();
        EXPECT_FALSE(mKey->isActive()) << "ended before the release arrives";
        touch(EVENT_TOUCH_RELEASE, 110, 110);
        pass();
        c.show(*this);
        pass();
        EXPECT_FALSE(mKey->isActive());
        EXPECT_EQ(at(120, 115), Key::IDLE);

        // A later touch that begins beside the control and ends on it is no click.
        touch(EVENT_TOUCH_PRESS, 90, 90);
        touch(EVENT_TOUCH_MOVE, 110, 110);
        touch(EVENT_TOUCH_RELEASE, 110, 110);
        pass();
        EXPECT_FALSE(mKey->isActive());
        EXPECT_EQ(clicksOf(mKey), 0);

        // And a plain tap works again.
        touch(EVENT_TOUCH_PRESS, 110, 110);
        touch(EVENT_TOUCH_RELEASE, 110, 110);
        pass(2);
        EXPECT_EQ(clicksOf(mKey), 1);
    }
}

TEST_F(VanishingPressTest, HiddenAndShownAgainBeforeTheNextEventTheControlKeepsItsPress) {
    // A screen laying out its rows anew hides them all and shows those that stay within one handler.
    pressKey();
    mGroup->setVisible(false);
    mGroup->setVisible(true);
    touch(EVENT_TOUCH_RELEASE, 110, 110);
    pass(2);
    EXPECT_FALSE(mKey->isActive());
    EXPECT_EQ(clicksOf(mKey), 1);
}

TEST_F(VanishingPressTest, AControlDestroyedWhilePressedLeavesNoPressBehind) {
    const struct {
        const char* what;
        std::function<void(VanishingPressTest&)> destroy;
    } cases[] = {
        {"the control", [](auto& t) { delete t.mKey; }},
        {"its container", [](auto& t) { delete std::exchange(t.mGroup, nullptr); }},
        {"its container, closed", [](auto& t) { std::exchange(t.mGroup, nullptr)->close(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        delete mGroup;
        mGroup = new Panel(mForm, 80, 80, 120, 80, 0x808080);
        mKey = new Key(mGroup, 100, 100, 40, 30);
        pass();
        pressKey();
        mLog.clear();
        c.destroy(*this);
        mKey = nullptr;
        pass();
        touch(EVENT_TOUCH_HOLD, 110, 110);
        touch(EVENT_TOUCH_RELEASE, 110, 110);
        pass(2);
        EXPECT_TRUE(mLog.empty()) << "nothing from a control that is gone";

        // What comes in its place starts unpressed and takes a touch of its own.
        auto* next = new Key(mForm, 100, 100, 40, 30);
        pass();
        EXPECT_FALSE(next->isActive());
        EXPECT_EQ(at(120, 115), Key::IDLE);
        touch(EVENT_TOUCH_PRESS, 110, 110);
        touch(EVENT_TOUCH_RELEASE, 110, 110);
        pass(2);
        EXPECT_EQ(clicksOf(next), 1);
        delete next;
    }
}

TEST_F(VanishingPressTest, ALayerOpenedAboveCancelsTheTouchOfHiddenComponentsToo) {
    auto* tracker = new Tracker(mGroup, 150, 100, 40, 30);
    touch(EVENT_TOUCH_PRESS, 160, 110);
    pass();
    ASSERT_TRUE(tracker->held);
    mGroup->setVisible(false);
    new Container(nullptr, 0, 0, 50, 50); // a popup
    pass();
    EXPECT_FALSE(tracker->held);

    // A pressed control hidden in the same way, under a layer.
    mGroup->setVisible(true);
    mCore.closeLastModalLayer();
    pass();
    pressKey();
    mGroup->setVisible(false);
    new Container(nullptr, 0, 0, 50, 50);
    pass();
    mGroup->setVisible(true);
    mCore.closeLastModalLayer();
    touch(EVENT_TOUCH_RELEASE, 110, 110);
    pass(2);
    EXPECT_FALSE(mKey->isActive());
    EXPECT_EQ(at(120, 115), Key::IDLE);
    EXPECT_EQ(clicksOf(mKey), 0);
}

} // namespace
} // namespace tdx::test
