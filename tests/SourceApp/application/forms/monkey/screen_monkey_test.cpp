// The screen monkey in the ordinary run: ten thousand random steps on every state id of the registry, and the
// seed corpus of its fuzz target.
#include "tests/SourceApp/application/forms/monkey/screen_monkey.h"

#include "Libraries/base/os.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/TopBar.h"
#include "SourceApp/application/startup/StateRegistry.h"
#include "SourceApp/gui/core/Control.h"
#include "SourceApp/gui/core/Form.h"
#include "tests/support/corpus_replay.h"

#include <gtest/gtest.h>

namespace tdx::test {
namespace {

// 10,000 steps an id in the ordinary build. The sanitizer build, ten times slower, walks the first 1,000 of each
// scene: it looks for memory faults, which the fuzz target also hunts, and keeps the test command within its time.
#if defined(__SANITIZE_ADDRESS__)
constexpr unsigned STEPS_PER_SCENE = 1000;
#else
constexpr unsigned STEPS_PER_SCENE = 2500;
#endif

// The header bytes of each scene, the steps coming from the generator (see screen_monkey.h).
struct Scene {
    uint8_t state;
    uint8_t scene;
};
constexpr Scene SCENES[] = {
    {0x00, 0x00}, // a plain state on an object; the default installation synchronised, in English
    {0x01, 0x25}, // a text parameter; the two roots only, subscribing, in Czech
    {0x0A,
     0x1A}, // a schedule state on any object id; crafted objects without values, not connected, in Danish
    {0x14, 0x33}, // an id list and raw parameters; crafted objects at their no-value markers, synchronised,
                  // in Dutch
};

class ScreenMonkey : public testing::TestWithParam<unsigned> {};

TEST_P(ScreenMonkey, TenThousandRandomStepsLeaveTheScreensSound) {
    const unsigned id = GetParam();
    for (size_t i = 0; i < std::size(SCENES); ++i) {
        const uint8_t header[] = {static_cast<uint8_t>(id), SCENES[i].state, SCENES[i].scene};
        MonkeyBytes bytes(header, sizeof header, 410u + 4u * id + static_cast<uint32_t>(i));
        const MonkeyVerdict verdict = runScreenMonkey(bytes, STEPS_PER_SCENE);
        EXPECT_TRUE(verdict.sound) << verdict.report;
        if (verdict.sound) {
            EXPECT_EQ(verdict.steps, STEPS_PER_SCENE);
        }
    }
}

// Every id of the registry and the first one beyond it.
INSTANTIATE_TEST_SUITE_P(EveryStateId, ScreenMonkey, testing::Range(0u, STATE_COUNT + 1),
                         [](const testing::TestParamInfo<unsigned>& info) {
                             return "State" + std::to_string(info.param);
                         });

TEST(ScreenMonkeyCorpus, EverySeedAndItsMutationsLeaveTheScreensSound) {
    const size_t seeds = replayCorpus(
        "tests/SourceApp/application/forms/monkey/corpus",
        [](const uint8_t* data, size_t size) {
            const MonkeyVerdict verdict = runScreenMonkey(data, size);
            EXPECT_TRUE(verdict.sound) << verdict.report;
            return verdict.sound;
        },
        2);
    EXPECT_GE(seeds, 24u);
}

// Screens with one fault each of the kinds the monkey looks for.

// A screen with one child in the given box.
template <class Child, int X, int Y, int WIDTH, int HEIGHT>
struct ScreenWith : Form {
    explicit ScreenWith(const State& state)
        : Form(state) {
        new Child(this, X, Y, WIDTH, HEIGHT);
    }
};

// Misses the release of its touch.
struct StickyControl : Control {
    using Control::Control;
    void handleEvent(Event* event) override {
        if (event->kind != EVENT_TOUCH_RELEASE) {
            Control::handleEvent(event);
        }
    }
};

// A top bar of five buttons whose last one is a column wider than the others.
struct WideLastTopBarButton : Form {
    explicit WideLastTopBarButton(const State& state)
        : Form(state) {
        auto* bar = new TopBar(this);
        for (int width : {51, 51, 113, 51, 52}) {
            new IconButton(bar, 0, 0, width, TopBar::HEIGHT, res_question);
        }
    }
};

struct AssertingScreen : Form {
    using Form::Form;
    void handleEvent(Event* event) override {
        OS_ASSERT_MSG(event->kind != EVENT_NETWORK_NOT_CONNECTED, "the network is always there");
        Form::handleEvent(event);
    }
};

TEST(ScreenMonkeySelfTest, EachKindOfFaultIsFoundAndNamed) {
    const struct {
        Core::ChangeStateCallback registry;
        const char* named;
    } cases[] = {
        {[](unsigned, unsigned, const State& s) -> Form* {
             return new ScreenWith<Spacer, 300, 100, 40, 20>(s);
         },
         "outside the screen: Spacer (300,100)-(339,119)"},
        // The box of the top bar's last button, which alone may end off the screen, and only at its width.
        {[](unsigned, unsigned, const State& s) -> Form* {
             return new ScreenWith<Spacer, 270, 0, 51, 30>(s);
         },
         "outside the screen: Spacer (270,0)-(320,29)"},
        {[](unsigned, unsigned, const State& s) -> Form* { return new WideLastTopBarButton(s); },
         "outside the screen: IconButton (270,0)-(321,29)"},
        {[](unsigned, unsigned, const State& s) -> Form* {
             return new ScreenWith<StickyControl, 100, 100, 60, 40>(s);
         },
         "pressed with the finger up: Control"},
        {[](unsigned, unsigned, const State& s) -> Form* { return new AssertingScreen(s); },
         "assertion: the network is always there"},
        {[](unsigned, unsigned, const State& s) -> Form* {
             new Form(s); // opens itself as a layer beside the screen
             return new Form(s);
         },
         "2 screens among 2 layers"},
    };
    for (const auto& c : cases) {
        // State 1 on the two roots, not connected, then random steps.
        const uint8_t header[] = {1, 0x00, 0x09};
        MonkeyBytes bytes(header, sizeof header, 410);
        const MonkeyVerdict verdict = runScreenMonkey(bytes, 2000, c.registry);
        EXPECT_FALSE(verdict.sound) << c.named;
        EXPECT_NE(verdict.report.find(c.named), std::string::npos) << verdict.report;
    }
}

} // namespace
} // namespace tdx::test
