// Screens built from states, the history, the handlers' view of it and the component states kept in it.
#include "core_fixture.h"

#include "SourceApp/libs/cast.h"

#include <string>

namespace tdx::test {
namespace {

struct Heard {
    Navigation::Enum kind;
    uint16_t from;
    uint16_t to;
    friend bool operator==(const Heard&, const Heard&) = default;
};
inline void PrintTo(const Heard& h, std::ostream* os) {
    *os << "{" << h.kind << " " << h.from << "->" << h.to << "}";
}

class Recorder : public NavigationEventHandler {
public:
    void handleNavigation(Navigation::Enum kind, uint16_t currentId, uint16_t newId) override {
        heard.push_back({kind, currentId, newId});
    }
    std::vector<Heard> heard;
};

class NavigationTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        mCore.registerEventHandler(mRecorder);
    }
    void TearDown() override {
        mCore.unregisterEventHandler(mRecorder);
        CoreTest::TearDown();
    }
    Recorder mRecorder;
};

TEST_F(NavigationTest, ForwardBackReplaceAndHomeTellTheHandlersAndBuildInTheNextPass) {
    mCore.defaultState();
    pass();
    EXPECT_EQ(shownId(), 9u);
    EXPECT_FALSE(mCore.getStateManager().isBackEnabled());

    mCore.changeState(12, 1, 2, 3, 4);
    EXPECT_EQ(shownId(), 9u) << "built in the next pass";
    pass();
    EXPECT_EQ(shownId(), 12u);
    EXPECT_EQ(screen()->getState().getP1(), 1u);
    EXPECT_EQ(screen()->getState().getP4(), 4u);
    EXPECT_TRUE(mCore.getStateManager().isBackEnabled());

    mCore.changeState(State(21));
    pass();
    mCore.replaceState(25, 0, 0, 0, 0);
    pass();
    EXPECT_EQ(shownId(), 25u);
    mCore.prevState();
    pass();
    EXPECT_EQ(shownId(), 12u) << "the replaced screen is not in the way back";
    mCore.prevState();
    pass();
    EXPECT_EQ(shownId(), 9u);
    mCore.prevState();
    pass();
    EXPECT_EQ(shownId(), 9u) << "back from the default state stays there";

    EXPECT_EQ(mRecorder.heard, (std::vector<Heard>{{Navigation::Default, 9, 9},
                                                   {Navigation::Forward, 9, 12},
                                                   {Navigation::Forward, 12, 21},
                                                   {Navigation::Replace, 21, 25},
                                                   {Navigation::Back, 25, 12},
                                                   {Navigation::Back, 12, 9},
                                                   {Navigation::Back, 9, 9}}));
    EXPECT_EQ(mBuilt, (std::vector<std::pair<unsigned, unsigned>>{
                          {0, 9}, {9, 12}, {12, 21}, {21, 25}, {25, 12}, {12, 9}, {9, 9}}));
}

TEST_F(NavigationTest, HomeClearsTheHistory) {
    mCore.changeState(12, 0, 0, 0, 0);
    mCore.changeState(13, 0, 0, 0, 0);
    pass();
    EXPECT_EQ(mBuilt.size(), 1u) << "two requests in one pass build one screen";
    mCore.defaultState();
    pass();
    EXPECT_EQ(shownId(), 9u);
    EXPECT_FALSE(mCore.getStateManager().isBackEnabled());
}

TEST_F(NavigationTest, ReplaceOnAnEmptyHistoryPushesSoBackReturnsHome) {
    mCore.replaceState(2, 0, 0, 0, 0);
    pass();
    EXPECT_EQ(shownId(), 2u);
    mCore.prevState();
    pass();
    EXPECT_EQ(shownId(), 9u);
}

TEST_F(NavigationTest, ElevenPushesKeepTheNewestTen) {
    for (unsigned id = 30; id < 41; ++id)
        mCore.changeState(id, 0, 0, 0, 0);
    pass();
    EXPECT_EQ(mCore.getStateManager().size(), StateManager::MAX_HISTORY);
    EXPECT_TRUE(mTrace.contains("dropping state 30"));
    std::vector<unsigned> back;
    for (int i = 0; i < 11; ++i) {
        mCore.prevState();
        pass();
        back.push_back(shownId());
    }
    EXPECT_EQ(back, (std::vector<unsigned>{39, 38, 37, 36, 35, 34, 33, 32, 31, 9, 9}));
}

TEST_F(NavigationTest, RestartRebuildsTheSameScreenAndKeepsTheHistory) {
    mCore.changeState(12, 5, 0, 0, 0);
    pass();
    mCore.changeState(13, 0, 0, 0, 0);
    pass();
    const int destroyed = TestForm::sDestroyed;
    mRecorder.heard.clear();
    mCore.restartState();
    pass();
    EXPECT_EQ(TestForm::sDestroyed, destroyed + 1);
    EXPECT_EQ(mCore.getModalLayers().size(), 1u);
    EXPECT_EQ(shownId(), 13u);
    EXPECT_EQ(mBuilt.back(), std::make_pair(13u, 13u));
    EXPECT_TRUE(mRecorder.heard.empty());
    mCore.prevState();
    pass();
    EXPECT_EQ(shownId(), 12u);
    EXPECT_EQ(screen()->getState().getP1(), 5u);
}

TEST_F(NavigationTest, AConstructorThatNavigatesIsShownOnceAndItsRequestBuildsOnceInTheNextPass) {
    mScreens[40] = [this](TestForm&) { mCore.prevState(); };
    mCore.changeState(12, 0, 0, 0, 0);
    pass();
    mCore.changeState(40, 0, 0, 0, 0);
    pass();
    EXPECT_EQ(shownId(), 40u) << "the constructor completes and its screen shows until the next pass";
    pass();
    EXPECT_EQ(shownId(), 12u);
    pass(3);
    EXPECT_EQ(mBuilt, (std::vector<std::pair<unsigned, unsigned>>{{0, 12}, {12, 40}, {40, 12}}));
}

TEST_F(NavigationTest, AChangeOfScreenClosesEveryLayerPopupsIncluded) {
    mCore.changeState(12, 0, 0, 0, 0);
    pass();
    const int destroyed = TestForm::sDestroyed;
    auto* popup = new Container(nullptr, 20, 20, 100, 100);
    SeenLog log;
    new Listener(popup, "popup", log);
    ASSERT_EQ(mCore.getModalLayers().size(), 2u);
    mCore.prevState();
    pass();
    const auto layers = mCore.getModalLayers();
    ASSERT_EQ(layers.size(), 1u);
    EXPECT_EQ(TestForm::sDestroyed, destroyed + 1) << "the old screen went at once";
    EXPECT_EQ(layers[0], mCore.getScreen());
    mCore.sendMessage(nullptr, MSG_USER, 0, 0, 0, 0);
    pass();
    EXPECT_TRUE(log.empty()) << "the popup is gone";
}

TEST_F(NavigationTest, APopupOpenedByTheNewScreensConstructorStays) {
    mScreens[12] = [](TestForm&) { new Container(nullptr, 20, 20, 100, 100); };
    mCore.changeState(12, 0, 0, 0, 0);
    pass();
    EXPECT_EQ(mCore.getModalLayers().size(), 2u);
}

TEST_F(NavigationTest, AScreenThatOpensAPopupAndGoesBackInItsConstructorLeavesNoLayerBehind) {
    mScreens[40] = [this](TestForm&) {
        new Container(nullptr, 20, 20, 100, 100); // the "object is gone" notice
        mCore.prevState();
    };
    mCore.changeState(12, 0, 0, 0, 0);
    pass();
    mCore.changeState(40, 0, 0, 0, 0);
    pass();
    EXPECT_EQ(mCore.getModalLayers().size(), 2u);
    pass();
    EXPECT_EQ(shownId(), 12u);
    EXPECT_EQ(mCore.getModalLayers(), (std::vector<Component*>{mCore.getScreen()}));
}

TEST_F(NavigationTest, ARegistryThatBuildsNothingLeavesATraceAndTheNextChangeWorks) {
    mCore.setChangeStateCallback([](unsigned, unsigned, const State&) -> Form* { return nullptr; });
    DebuggerBridge quiet;
    mCore.attachDebuggerBridge(&quiet);
    mCore.changeState(12, 0, 0, 0, 0);
    pass();
    EXPECT_EQ(mCore.getScreen(), nullptr);
    EXPECT_TRUE(mTrace.contains("no screen built for state 12"));
    mCore.setChangeStateCallback(&CoreTest::buildScreen);
    mCore.changeState(13, 0, 0, 0, 0);
    pass();
    EXPECT_EQ(shownId(), 13u);
    mCore.attachDebuggerBridge(nullptr);
}

TEST_F(NavigationTest, AHandlerMayUnregisterAnotherWhileBeingCalled) {
    Recorder second;
    struct Remover : NavigationEventHandler {
        Core* core;
        Recorder* victim;
        void handleNavigation(Navigation::Enum, uint16_t, uint16_t) override {
            core->unregisterEventHandler(*victim);
        }
    } remover;
    remover.core = &mCore;
    remover.victim = &second;
    mCore.registerEventHandler(remover);
    mCore.registerEventHandler(second);
    mCore.changeState(12, 0, 0, 0, 0);
    EXPECT_TRUE(second.heard.empty());
    mCore.unregisterEventHandler(remover);
}

TEST_F(NavigationTest, TypedStatesReachTheScreenWithTheirParameter) {
    std::string seen;
    mScreens[8] = [&seen](TestForm& form) {
        seen = polymorphic_downcast<const SingleParamState<std::string>&>(form.getState()).getParam();
    };
    {
        SingleParamState<std::string> help(8, 0, 0, 0, 0, "rooms");
        mCore.changeState(help);
    }
    pass();
    EXPECT_EQ(seen, "rooms");
    SingleParamState<std::vector<unsigned>> ids(43, 1, 0, 0, 0, {7u, 8u});
    auto copy = ids.clone();
    auto& typed = polymorphic_downcast<SingleParamState<std::vector<unsigned>>&>(*copy);
    EXPECT_EQ(typed.getParam(), (std::vector<unsigned>{7u, 8u}));
    EXPECT_EQ(typed.getStateId(), 43u);
    EXPECT_EQ(typed.getP1(), 1u);
}

// A serialisable component whose value survives its screen; each value type is its own kind of record.
template <typename T>
class Kept : public Component {
public:
    struct Saved : SerializedState {
        explicit Saved(T value)
            : SerializedState(unique_id<Kept>())
            , value(value) {}
        T value;
    };
    explicit Kept(Container* parent)
        : Component(parent, 0, 0, 10, 10) {}
    bool isSerializable() const override { return true; }
    bool isOwnSerializedState(const SerializedState* s) const override {
        return s->getId() == unique_id<Kept>();
    }
    std::unique_ptr<SerializedState> handleSerialize() override { return std::make_unique<Saved>(value); }
    void handleDeserialize(const SerializedState* s) override { value = static_cast<const Saved*>(s)->value; }
    T value{};
};
using Toggle = Kept<bool>;
using Counter = Kept<int>;

class SavedStateTest : public NavigationTest {
protected:
    void SetUp() override {
        NavigationTest::SetUp();
        mScreens[12] = [this](TestForm& form) {
            auto* inner = new Container(&form, 0, 0, 100, 100);
            mFirst = new Toggle(inner);
            mSecond = new Toggle(&form);
        };
        mCore.changeState(12, 0, 0, 0, 0);
        pass();
    }
    Toggle* mFirst = nullptr;
    Toggle* mSecond = nullptr;
};

TEST_F(SavedStateTest, ComponentStatesSurviveForwardAndBack) {
    mSecond->value = true;
    mCore.changeState(13, 0, 0, 0, 0);
    pass();
    mCore.prevState();
    pass();
    EXPECT_FALSE(mFirst->value);
    EXPECT_TRUE(mSecond->value);
}

TEST_F(SavedStateTest, ComponentStatesSurviveARestart) {
    mFirst->value = true;
    mCore.restartState();
    pass();
    EXPECT_TRUE(mFirst->value);
    EXPECT_FALSE(mSecond->value);
}

TEST_F(SavedStateTest, ReplaceAndHomeDoNotBringOldStatesBack) {
    mFirst->value = true;
    mCore.replaceState(12, 0, 0, 0, 0);
    pass();
    EXPECT_FALSE(mFirst->value);
    mFirst->value = true;
    mCore.defaultState();
    pass();
    mCore.changeState(12, 0, 0, 0, 0);
    pass();
    EXPECT_FALSE(mFirst->value) << "a new visit starts fresh";
}

TEST_F(SavedStateTest, TheHomeScreenKeepsItsStatesForTheWayBack) {
    mScreens[9] = mScreens[12];
    mCore.defaultState();
    pass();
    mSecond->value = true;
    mCore.changeState(14, 0, 0, 0, 0);
    pass();
    mCore.prevState();
    pass();
    EXPECT_EQ(shownId(), 9u);
    EXPECT_TRUE(mSecond->value);
}

TEST_F(SavedStateTest, AScreenThatGoesBackInItsConstructorGetsNoneOfThePreviousScreensStates) {
    mFirst->value = true;
    Toggle* passing = nullptr;
    mScreens[40] = [&](TestForm& form) {
        passing = new Toggle(&form);
        mCore.prevState();
    };
    mCore.changeState(40, 0, 0, 0, 0);
    pass();
    ASSERT_EQ(shownId(), 40u);
    ASSERT_NE(passing, nullptr);
    EXPECT_FALSE(passing->value) << "the record saved for screen 12 is not this screen's";
    pass();
    EXPECT_EQ(shownId(), 12u);
    EXPECT_TRUE(mFirst->value);
}

TEST_F(SavedStateTest, ALayoutThatChangedMeanwhileRestoresOnlyWhatMatches) {
    mFirst->value = true;
    mSecond->value = true;
    Counter* counter = nullptr;
    // Same state, other screen now: a counter first, then one toggle.
    mCore.changeState(13, 0, 0, 0, 0);
    pass();
    mScreens[12] = [&](TestForm& form) {
        counter = new Counter(&form);
        mFirst = new Toggle(&form);
        mSecond = nullptr;
    };
    mCore.prevState();
    pass();
    ASSERT_NE(counter, nullptr);
    EXPECT_EQ(counter->value, 0) << "the first record is a toggle's";
    EXPECT_TRUE(mFirst->value)
        << "the second record is a toggle's and it is the second serialisable component";
}

} // namespace
} // namespace tdx::test
