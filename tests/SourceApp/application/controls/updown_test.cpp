// The up-down control by touch and clock: one write per burst of taps, the hold's repeat timing, the limits,
// numbers that overflow 32 bits or are missing, a change behind the control, and a screen that closes while a
// write waits.
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/UpDown.h"
#include "tests/support/screen_harness.h"

#include <climits>
#include <utility>
#include <vector>

namespace tdx::test {
namespace {

constexpr oid_t ROOM = 0x01000316;
constexpr vid_t VALUE = 0x8F01;

// The messages the up-down sends, with their first parameter.
class Probe : public Container {
public:
    explicit Probe(Container* parent)
        : Container(parent, 0, 0, 320, 240) {}
    void handleMessage(Message* m) override {
        if (m->source != nullptr && m->source->getParent() == this && m->id != MSG_PRESS &&
            m->id != MSG_CLICK) {
            sent.emplace_back(m->id, m->p1);
        }
        Container::handleMessage(m);
    }
    int count(unsigned id) const {
        int n = 0;
        for (const auto& s : sent) {
            n += s.first == id;
        }
        return n;
    }
    std::vector<std::pair<unsigned, int>> sent;
};

// Counts the runs of a control's on-change command.
struct Count : ICommand {
    explicit Count(int& n)
        : runs(n) {}
    void execute() override { ++runs; }
    int& runs;
};

class UpDownTest : public ScreenHarness {
protected:
    template <class T>
    NumericUpDown<T>* build(bt_vtype vtype, T minimum, T maximum, T step, vid_t vid = VALUE) {
        mProbe = new Probe(blank());
        auto* upDown = new NumericUpDown<T>(
            mProbe, 20, 20, 122, 26, &bif_myriad12, std::make_unique<StaticNumber<T>>(minimum),
            std::make_unique<StaticNumber<T>>(maximum), std::make_unique<ProxyNumber<T>>(vid, ROOM, vtype));
        upDown->setStep(step);
        upDown->setDelayBeforeCommit(1000);
        runTasks();
        return upDown;
    }
    NumericUpDown<int>* buildAt(int value, int maximum = 10) {
        room(ROOM).value(VALUE, BT_VTYPE_S32, value);
        return build<int>(BT_VTYPE_S32, 0, maximum, 1);
    }
    static std::string shown(const UpDownBase& u) { return label(u)->getText(); }
    static ContainedLabel* label(const UpDownBase& u) {
        for (Component* c : u.getChildren()) {
            if (auto* l = dynamic_cast<ContainedLabel*>(c)) {
                return l;
            }
        }
        return nullptr;
    }
    static IconButton* button(const UpDownBase& u, bool up) {
        IconButton* found = nullptr;
        for (Component* c : u.getChildren()) {
            if (auto* b = dynamic_cast<IconButton*>(c);
                b != nullptr && (b->getIcon() == res_arrow_up) == up) {
                found = b;
            }
        }
        return found;
    }
    // Taps one arrow n times, a timer tick after each, as a finger does.
    void taps(const UpDownBase& u, bool up, int n) {
        for (int i = 0; i < n; ++i) {
            tap(button(u, up));
            tick();
        }
    }

    Probe* mProbe = nullptr;
};

TEST_F(UpDownTest, TapsWithinTheDelayShowAtOnceAndWriteTheirSumOnce) {
    for (int n : {1, 3}) {
        auto* u = buildAt(5);
        connect();
        const size_t before = published().size();
        taps(*u, true, n);
        EXPECT_EQ(shown(*u), std::to_string(5 + n));
        EXPECT_EQ(mProbe->count(MSG_CHANGE), 1 + n) << "the first at construction, then one per tap";
        EXPECT_EQ(published().size(), before) << "nothing is written within the delay";
        wait(1000);
        EXPECT_EQ(Published(published().begin() + static_cast<long>(before), published().end()),
                  (Published{{ROOM, VALUE, 5 + n}}));
        EXPECT_EQ(mProbe->sent.back(), std::make_pair(unsigned{MSG_COMMIT}, 1));
        EXPECT_EQ(mProbe->count(MSG_COMMIT), 1);
        EXPECT_EQ(mProbe->count(MSG_COMMIT_PENDING), n);
    }
}

TEST_F(UpDownTest, HoldingRepeatsAfter500_333_222_148ThenEvery100MsOnTheTicks) {
    auto* u = buildAt(0, 100);
    const uint64_t start = os_clock();
    std::vector<int> steps; // ms after the press at which a new value showed
    press(button(*u, true)->getBoundingBox().x1 + 5, 30);
    steps.push_back(0);
    for (int i = 0; i < 33; ++i) { // about 2 s
        const std::string before = shown(*u);
        tick();
        if (shown(*u) != before) {
            steps.push_back(static_cast<int>(os_clock() - start));
        }
    }
    release();
    tick(); // the hold's end starts the delay
    // Each interval runs from the tick that ended the last one, rounded up to the next 62 ms tick.
    EXPECT_EQ(steps, (std::vector<int>{0, 558, 930, 1178, 1364, 1488, 1612, 1736, 1860, 1984}));
    wait(1000);
    EXPECT_EQ(value(ROOM, VALUE), static_cast<int>(steps.size()));
}

TEST_F(UpDownTest, AButtonAtItsLimitIsDisabledAndDisablingGreysTheControl) {
    auto* u = buildAt(10);
    EXPECT_FALSE(button(*u, true)->isEnabled());
    EXPECT_TRUE(button(*u, false)->isEnabled());
    taps(*u, true, 1);
    EXPECT_EQ(mProbe->count(MSG_CHANGE), 1) << "only the construction's";
    u->setEnabled(false);
    u->update(); // a value arriving meanwhile
    EXPECT_FALSE(button(*u, false)->isEnabled());
    EXPECT_EQ(label(*u)->getFaceColor(), 0x646464u);
    u->setEnabled(true);
    EXPECT_FALSE(button(*u, true)->isEnabled()) << "enabling applies the limits again";
    EXPECT_TRUE(button(*u, false)->isEnabled());
    EXPECT_EQ(label(*u)->getFaceColor(), 0u);
}

TEST_F(UpDownTest, AHoldIntoALimitStopsAnnouncingAndTheCommitWritesTheLimit) {
    auto* u = buildAt(5);
    press(button(*u, true)->getBoundingBox().x1 + 5, 30);
    tick(33); // ten steps
    release();
    tick();
    EXPECT_EQ(shown(*u), "10");
    EXPECT_EQ(mProbe->count(MSG_CHANGE), 1 + 5) << "no announcement once 10 shows";
    taps(*u, false, 1);
    EXPECT_EQ(shown(*u), "10") << "the pending count stays above the limit";
    wait(1000);
    EXPECT_EQ(value(ROOM, VALUE), 10);
}

// The sum is counted in 64 bits; an unsigned value without a valid number is unknown, not the minimum; with
// a maximum below the minimum a value above the maximum shows the maximum, any other the minimum.
TEST_F(UpDownTest, NumbersBeyond32BitsAndMissingValuesClampToTheirLimits) {
    constexpr vid_t SIGNED = VALUE + 1;
    constexpr vid_t UNSIGNED = VALUE + 2;
    {
        room(ROOM).value(SIGNED, BT_VTYPE_S32, 2147483600);
        auto* u = build<int>(BT_VTYPE_S32, -1000, INT_MAX, 100, SIGNED);
        taps(*u, true, 1);
        EXPECT_EQ(shown(*u), "2147483647");
    }
    {
        room(ROOM).value(UNSIGNED, BT_VTYPE_U32, 0).invalid(UNSIGNED); // reads 0xFFFFFFFF
        auto* u = build<unsigned>(BT_VTYPE_U32, 3, 100, 1, UNSIGNED);
        EXPECT_EQ(shown(*u), "--");
        EXPECT_FALSE(button(*u, false)->isEnabled());
        EXPECT_FALSE(button(*u, true)->isEnabled());
    }
    {
        room(ROOM).value(VALUE, BT_VTYPE_U32, static_cast<int>(4000000000u));
        auto* u = build<unsigned>(BT_VTYPE_U32, 0, 4200000000u, 100000000u);
        taps(*u, true, 3);
        EXPECT_EQ(shown(*u), "4200000000");
        wait(1000);
        EXPECT_EQ(value(ROOM, VALUE), static_cast<int>(4200000000u));
    }
    // Limits that cross (minimum 20, maximum 10): the upper one is tested first.
    const struct {
        int value;
        const char* shows;
    } crossed[] = {{15, "10"}, {25, "10"}, {10, "20"}, {5, "20"}};
    for (const auto& c : crossed) {
        room(ROOM).value(SIGNED, BT_VTYPE_S32, c.value);
        auto* u = build<int>(BT_VTYPE_S32, 20, 10, 1, SIGNED);
        EXPECT_EQ(shown(*u), c.shows) << c.value;
        EXPECT_FALSE(button(*u, true)->isEnabled()) << c.value;
        EXPECT_FALSE(button(*u, false)->isEnabled()) << c.value;
    }
}

TEST_F(UpDownTest, AChangeBehindTheControlShowsAndTheCommitThenWritesNothing) {
    auto* u = buildAt(5);
    int runs = 0;
    u->setOnChangeCommand(std::make_unique<Count>(runs));
    connect();
    taps(*u, true, 1);
    receive(ROOM, VALUE, 10);
    u->update();
    runTasks();
    EXPECT_EQ(shown(*u), "10");
    EXPECT_EQ(mProbe->sent.back(), std::make_pair(unsigned{MSG_CHANGE}, 10));
    wait(1000);
    EXPECT_TRUE(published().empty());
    EXPECT_EQ(mProbe->sent.back(), std::make_pair(unsigned{MSG_COMMIT}, 0));
    EXPECT_EQ(runs, 1) << "steps were pending, so the command runs";
}

TEST_F(UpDownTest, AValueOfAnObjectThatIsGoneIsNotReportedWritten) {
    mProbe = new Probe(blank());
    auto* u =
        new NumericUpDown<int>(mProbe, 20, 20, 122, 26, &bif_myriad12, std::make_unique<StaticNumber<int>>(0),
                               std::make_unique<StaticNumber<int>>(10),
                               std::make_unique<ProxyNumber<int>>(VALUE, 0x01000999, BT_VTYPE_S32));
    u->setDelayBeforeCommit(1000);
    runTasks();
    EXPECT_EQ(shown(*u), "--") << "nothing to read";
    taps(*u, false, 1);
    wait(1000);
    EXPECT_EQ(mProbe->count(MSG_COMMIT), 0) << "unknown: the arrows step nothing";

    // An object that goes while a step waits: the commit writes nothing and says so.
    auto* v = buildAt(5);
    taps(*v, true, 1);
    Structure.remove(ROOM);
    wait(1000);
    ASSERT_GT(mProbe->count(MSG_COMMIT), 0);
    EXPECT_EQ(mProbe->sent.back(), std::make_pair(unsigned{MSG_COMMIT}, 0));
}

// A value that cannot be read, or one the owner could not read, shows "--" with both arrows disabled; a
// step pending when it became unknown is dropped; the next value read shows and steps again.
TEST_F(UpDownTest, AnUnknownValueShowsDashesAndStepsNothingUntilItIsKnown) {
    const struct {
        const char* what;
        bool bound; // a value of the table that goes invalid, or a number whose owner calls setUnknown
    } cases[] = {{"bound", true}, {"owned", false}};
    for (const auto& c : cases) {
        NumericUpDown<int>* u = nullptr;
        if (c.bound) {
            u = buildAt(5);
        } else {
            mProbe = new Probe(blank());
            u = new NumericUpDown<int>(mProbe, 20, 20, 122, 26, &bif_myriad12, 0, 10, 5);
            u->setDelayBeforeCommit(1000);
            runTasks();
        }
        int runs = 0;
        u->setOnChangeCommand(std::make_unique<Count>(runs));
        connect();
        taps(*u, true, 1);
        EXPECT_EQ(shown(*u), "6") << c.what;
        if (c.bound) {
            room(ROOM).invalid(VALUE);
            u->update();
        } else {
            u->setUnknown();
        }
        EXPECT_EQ(shown(*u), "--") << c.what;
        EXPECT_FALSE(button(*u, true)->isEnabled());
        EXPECT_FALSE(button(*u, false)->isEnabled());
        u->setEnabled(false);
        u->setEnabled(true);
        EXPECT_FALSE(button(*u, true)->isEnabled()) << "enabling again keeps an unknown value's arrows off";
        wait(1000);
        EXPECT_TRUE(published().empty()) << c.what;
        EXPECT_EQ(runs, 0) << c.what;
        EXPECT_FALSE(u->hasChangesToCommit());

        if (c.bound) {
            room(ROOM).value(VALUE, BT_VTYPE_S32, 7);
            u->update();
        } else {
            u->setValue(7);
        }
        EXPECT_EQ(shown(*u), "7") << c.what;
        EXPECT_TRUE(button(*u, true)->isEnabled());
        EXPECT_TRUE(u->isKnown());
    }
}

TEST_F(UpDownTest, ClosingTheScreenWithinTheDelayWritesThePendingValue) {
    auto* u = buildAt(5);
    connect();
    taps(*u, true, 2);
    blank(); // the screen and the control go
    EXPECT_EQ(published(), (Published{{ROOM, VALUE, 7}}));
}

} // namespace
} // namespace tdx::test
