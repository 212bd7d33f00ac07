// Touch into controls, events into the front layer, messages through the layers, deferred deletion.
#include "core_fixture.h"

namespace tdx::test {
namespace {

class DeliveryTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        mCore.setHooks(
            {.runJobs = {}, .feedWatchdog = {}, .click = [this] { ++mClicks; }, .setAwakeOverride = {}});
        mForm = new TestForm(State(9));
        mKey = new Key(mForm, 100, 100, 40, 30);
        mListener = new Listener(mForm, "screen", mLog);
    }
    // Messages from the key, in order.
    std::vector<std::pair<unsigned, int>> fromKey() const {
        std::vector<std::pair<unsigned, int>> out;
        for (const Seen& s : mLog)
            if (s.source == mKey)
                out.emplace_back(s.id, s.p1);
        return out;
    }

    TestForm* mForm = nullptr;
    Key* mKey = nullptr;
    Listener* mListener = nullptr;
    SeenLog mLog;
    int mClicks = 0;
};

using Sent = std::vector<std::pair<unsigned, int>>;

TEST_F(DeliveryTest, PressHoldAndReleaseInsideGivePressRepeatsAndOneClick) {
    touch(EVENT_TOUCH_PRESS, 110, 110);
    pass(2);
    EXPECT_TRUE(mKey->isActive());
    EXPECT_EQ(at(120, 115), Key::ACTIVE);
    touch(EVENT_TOUCH_HOLD, 111, 110);
    touch(EVENT_TOUCH_HOLD, 111, 110);
    pass(2);
    EXPECT_EQ(fromKey(), (Sent{{MSG_PRESS, 0}, {MSG_PRESS, 1}, {MSG_PRESS, 1}}));
    EXPECT_EQ(mClicks, 3);

    touch(EVENT_TOUCH_RELEASE, 139, 129); // last pixel still inside
    pass(2);
    EXPECT_EQ(fromKey(), (Sent{{MSG_PRESS, 0}, {MSG_PRESS, 1}, {MSG_PRESS, 1}, {MSG_CLICK, 0}}));
    EXPECT_FALSE(mKey->isActive());
    EXPECT_EQ(at(120, 115), Key::IDLE);
}

TEST_F(DeliveryTest, MovingOutDeactivatesStopsRepeatsAndMovingBackReactivates) {
    touch(EVENT_TOUCH_PRESS, 110, 110);
    touch(EVENT_TOUCH_MOVE, 200, 110);
    touch(EVENT_TOUCH_HOLD, 200, 110);
    pass(2);
    EXPECT_FALSE(mKey->isActive());
    EXPECT_EQ(fromKey(), (Sent{{MSG_PRESS, 0}}));

    touch(EVENT_TOUCH_RELEASE, 200, 110);
    pass(2);
    EXPECT_EQ(fromKey(), (Sent{{MSG_PRESS, 0}})) << "released outside: no click";

    touch(EVENT_TOUCH_PRESS, 110, 110);
    touch(EVENT_TOUCH_MOVE, 10, 10);
    touch(EVENT_TOUCH_MOVE, 120, 120);
    pass(2);
    EXPECT_TRUE(mKey->isActive());
    touch(EVENT_TOUCH_RELEASE, 120, 120);
    pass(2);
    EXPECT_EQ(fromKey(), (Sent{{MSG_PRESS, 0}, {MSG_PRESS, 0}, {MSG_CLICK, 0}}));
}

// Counts what a command button would run.
class Counting : public Key {
public:
    using Key::Key;
    void handlePress(bool repeat) override { (repeat ? repeats : presses)++; }
    void handleClick() override { ++clicks; }
    int presses = 0;
    int repeats = 0;
    int clicks = 0;
};

TEST_F(DeliveryTest, ControlsRunTheirOwnPressAndClickHandlers) {
    auto* key = new Counting(mForm, 0, 0, 50, 50);
    touch(EVENT_TOUCH_PRESS, 10, 10);
    touch(EVENT_TOUCH_HOLD, 10, 10);
    touch(EVENT_TOUCH_RELEASE, 10, 10);
    touch(EVENT_TOUCH_PRESS, 10, 10);
    touch(EVENT_TOUCH_RELEASE, 60, 60);
    pass();
    EXPECT_EQ(key->presses, 2);
    EXPECT_EQ(key->repeats, 1);
    EXPECT_EQ(key->clicks, 1);
}

TEST_F(DeliveryTest, AReleaseOverAControlThatWasNotPressedIsNoClick) {
    touch(EVENT_TOUCH_PRESS, 10, 10);
    touch(EVENT_TOUCH_MOVE, 110, 110);
    touch(EVENT_TOUCH_RELEASE, 110, 110);
    pass(2);
    EXPECT_TRUE(fromKey().empty());
    EXPECT_EQ(mClicks, 0);
}

TEST_F(DeliveryTest, ADisabledAncestorBlocksPressAndClick) {
    auto* group = new Container(mForm, 0, 150, 320, 90);
    auto* inner = new Key(group, 10, 160, 50, 50);
    group->setEnabled(false);
    EXPECT_FALSE(inner->isEnabled());
    touch(EVENT_TOUCH_PRESS, 20, 170);
    touch(EVENT_TOUCH_RELEASE, 20, 170);
    pass(2);
    EXPECT_EQ(mClicks, 0);
    for (const Seen& s : mLog)
        EXPECT_NE(s.source, inner);

    group->setEnabled(true);
    touch(EVENT_TOUCH_PRESS, 20, 170);
    touch(EVENT_TOUCH_RELEASE, 20, 170);
    pass(2);
    EXPECT_EQ(mClicks, 1);
}

TEST_F(DeliveryTest, DisablingDuringThePressCancelsTheClick) {
    touch(EVENT_TOUCH_PRESS, 110, 110);
    pass();
    mKey->setEnabled(false);
    touch(EVENT_TOUCH_RELEASE, 110, 110);
    pass(2);
    EXPECT_EQ(fromKey(), (Sent{{MSG_PRESS, 0}}));
}

TEST_F(DeliveryTest, OverlappingControlsTheLastRegisteredTakesThePress) {
    auto* over = new Key(mForm, 120, 100, 40, 30);
    touch(EVENT_TOUCH_PRESS, 125, 110);
    touch(EVENT_TOUCH_RELEASE, 125, 110);
    pass(2);
    EXPECT_TRUE(fromKey().empty());
    int fromOver = 0;
    for (const Seen& s : mLog)
        fromOver += s.source == over;
    EXPECT_EQ(fromOver, 2);
}

TEST_F(DeliveryTest, EventsReachOnlyTheFrontLayer) {
    auto* popup = new Container(nullptr, 50, 50, 200, 150);
    auto* popupKey = new Key(popup, 60, 60, 20, 20);
    (void)popupKey;
    ASSERT_EQ(mCore.getModalLayers(), (std::vector<Component*>{popup, mForm}));
    touch(EVENT_TOUCH_PRESS, 110, 110); // over the screen's key, but the popup is in front
    touch(EVENT_TOUCH_RELEASE, 110, 110);
    pass(2);
    EXPECT_TRUE(fromKey().empty());
    EXPECT_EQ(mClicks, 0);
}

TEST_F(DeliveryTest, EventsOffTheScreenOrOfNoKnownKindAreRefusedWithATrace) {
    const std::vector<Event> bad = {
        {EVENT_TOUCH_PRESS, -1, 110, 0, 0},
        {EVENT_TOUCH_PRESS, 320, 110, 0, 0},
        {EVENT_TOUCH_PRESS, 110, -5, 0, 0},
        {EVENT_TOUCH_PRESS, 110, 240, 0, 0},
        {EVENT_DEBUG_SELECT, -3, -3, 0, 0},
        {EVENT_NONE, 110, 110, 0, 0},
        {static_cast<event_kind_t>(11), 110, 110, 0, 0},
        {static_cast<event_kind_t>(-2), 110, 110, 0, 0},
    };
    for (const Event& e : bad) {
        mTrace.clear();
        mCore.sendEvent(e.kind, e.x, e.y, e.a, e.b);
        EXPECT_TRUE(mTrace.contains("ignored")) << "kind " << e.kind << " at " << e.x << "," << e.y;
    }
    touch(EVENT_TOUCH_RELEASE, 110, 110);
    pass(2);
    EXPECT_TRUE(fromKey().empty());
    // The corners themselves are on the screen.
    auto* corner = new Key(mForm, 319, 239, 1, 1);
    touch(EVENT_TOUCH_PRESS, 319, 239);
    pass();
    EXPECT_TRUE(corner->isActive());
}

TEST_F(DeliveryTest, MessagesGoToTheNewestLayerFirstAndToChildrenInOrder) {
    auto* second = new Listener(mForm, "screen2", mLog);
    (void)second;
    auto* popup = new Container(nullptr, 0, 0, 100, 100);
    new Listener(popup, "popup", mLog);
    mCore.sendMessage(nullptr, MSG_USER, 7, 0, 0, 0);
    pass();
    EXPECT_EQ(mLog, (SeenLog{{"popup", MSG_USER, nullptr, 7},
                             {"screen", MSG_USER, nullptr, 7},
                             {"screen2", MSG_USER, nullptr, 7}}));
}

TEST_F(DeliveryTest, StopPropagationEndsDeliveryForThatMessageOnly) {
    auto* popup = new Container(nullptr, 0, 0, 100, 100);
    new Listener(popup, "popup", mLog, MSG_OK);
    new Listener(popup, "popup2", mLog);
    mCore.sendMessage(nullptr, MSG_OK, 1, 0, 0, 0);
    mCore.sendMessage(nullptr, MSG_CANCEL, 2, 0, 0, 0);
    pass();
    EXPECT_EQ(mLog, (SeenLog{{"popup", MSG_OK, nullptr, 1},
                             {"popup", MSG_CANCEL, nullptr, 2},
                             {"popup2", MSG_CANCEL, nullptr, 2},
                             {"screen", MSG_CANCEL, nullptr, 2}}));
}

// Answers every MSG_USER with a MSG_USER + 1.
class Echo : public Component {
public:
    Echo(Container* parent, int& answered)
        : Component(parent, 0, 0, 1, 1)
        , mAnswered(answered) {}
    void handleMessage(Message* m) override {
        if (m->id == MSG_USER) {
            ++mAnswered;
            sendMessage(MSG_USER + 1);
        }
    }
    int& mAnswered;
};

TEST_F(DeliveryTest, MessagesQueuedDuringDeliveryWaitForTheNextPass) {
    int answered = 0;
    new Echo(mForm, answered);
    mCore.sendMessage(nullptr, MSG_USER, 0, 0, 0, 0);
    pass();
    EXPECT_EQ(answered, 1);
    ASSERT_EQ(mLog.size(), 1u);
    EXPECT_EQ(mLog[0].id, MSG_USER);
    pass();
    ASSERT_EQ(mLog.size(), 2u);
    EXPECT_EQ(mLog[1].id, MSG_USER + 1u);
}

TEST_F(DeliveryTest, MessageIdsOutsideSixteenBitsOrZeroAreRefused) {
    mCore.sendMessage(nullptr, 0x10002, 0, 0, 0, 0);
    mCore.sendMessage(nullptr, MSG_NONE, 0, 0, 0, 0);
    pass();
    EXPECT_TRUE(mLog.empty());
    EXPECT_TRUE(mTrace.contains("rejected"));
}

TEST_F(DeliveryTest, AFullQueueDropsWithATraceInsteadOfGrowing) {
    for (std::size_t i = 0; i < Core::MAX_QUEUED + 5; ++i)
        mCore.sendMessage(nullptr, MSG_USER, static_cast<int>(i), 0, 0, 0);
    EXPECT_TRUE(mTrace.contains("message queue full"));
    pass();
    EXPECT_EQ(mLog.size(), Core::MAX_QUEUED);
    EXPECT_EQ(mLog.back().p1, static_cast<int>(Core::MAX_QUEUED - 1));
}

// Closes its own container when it hears MSG_CLOSE, and counts what it hears.
class Closer : public Container {
public:
    Closer(Container* parent, int& heard, bool& deleted)
        : Container(parent, 0, 0, 10, 10)
        , mHeard(heard)
        , mDeleted(deleted) {}
    ~Closer() override { mDeleted = true; }
    void handleMessage(Message* m) override {
        ++mHeard;
        if (m->id == MSG_USER) {
            close();
            close();
        }
        Container::handleMessage(m);
    }
    int& mHeard;
    bool& mDeleted;
};

TEST_F(DeliveryTest, DeleteLaterWaitsForTheEndOfTheMessagePhaseAndHappensOnce) {
    int heard = 0;
    bool deleted = false;
    auto* closer = new Closer(mForm, heard, deleted);
    mCore.sendMessage(nullptr, MSG_USER, 0, 0, 0, 0);
    mCore.sendMessage(nullptr, MSG_OK, 0, 0, 0, 0);
    mCore.deleteLater(closer);
    pass();
    EXPECT_EQ(heard, 2) << "still there for the rest of the phase";
    EXPECT_TRUE(deleted);
    EXPECT_EQ(mForm->getChildren().size(), 2u);
    pass(); // nothing left to delete twice (the sanitizer build would catch it)
}

TEST_F(DeliveryTest, AContainerAndItsChildBothScheduledAreDeletedOnceAfterTheirMessages) {
    auto* box = new Container(mForm, 0, 0, 50, 50);
    auto* leaf = new Key(box, 0, 0, 10, 10);
    leaf->click();
    box->click();
    mCore.deleteLater(box);
    mCore.deleteLater(leaf);
    pass();
    ASSERT_EQ(mLog.size(), 2u) << "queued before the phase: still delivered";
    EXPECT_EQ(mLog[0].source, leaf);
    EXPECT_EQ(mLog[1].source, box);
    EXPECT_EQ(mForm->getChildren().size(), 2u);
    pass();
}

TEST_F(DeliveryTest, MessagesOfADeletedSourceQueuedForTheNextPassAreDropped) {
    auto* box = new Container(mForm, 0, 0, 50, 50);
    auto* leaf = new Key(box, 0, 0, 10, 10);
    mCore.deleteLater(box);
    // This one runs in the message phase of the same pass and queues messages for the next one.
    class Late : public Component {
    public:
        Late(Container* p, Component* a, Component* b)
            : Component(p, 0, 0, 1, 1)
            , mA(a)
            , mB(b) {}
        void handleMessage(Message* m) override {
            if (m->id == MSG_USER) {
                mA->click();
                mB->click();
            }
        }
        Component* mA;
        Component* mB;
    };
    new Late(mForm, box, leaf);
    mCore.sendMessage(nullptr, MSG_USER, 0, 0, 0, 0);
    pass();
    mLog.clear();
    pass();
    EXPECT_TRUE(mLog.empty()) << "no message may carry a deleted source";
}

} // namespace
} // namespace tdx::test
