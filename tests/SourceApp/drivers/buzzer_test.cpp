#include "SourceApp/drivers/buzzer.h"

#include "Libraries/base/os.h"
#include "SourceApp/gui/core/core_fixture.h"
#include "SourceHost/api_lib/devices.h"
#include "tests/support/trace_capture.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace tdx {
namespace {

using Call = buzzer_platform_call;

class BuzzerTest : public ::testing::Test {
protected:
    void SetUp() override { buzzer.stop(); }
    void TearDown() override { buzzer.stop(); }

    // Ticks until the tone is switched off; the number of ticks it sounded.
    static int ticksSounding() {
        int n = 0;
        for (buzzer_tick(); buzzer_platform_last().kind == Call::Play && n < 10000; buzzer_tick()) {
            ++n;
        }
        return n;
    }
};

TEST_F(BuzzerTest, ANoteSoundsItsStartingTickAnd1300OverItsDivisorMore) {
    struct Case {
        uint32_t divisor;
        int ticks;
    };
    for (const Case& c : {Case{35, 38}, Case{300, 5}, Case{250, 6}, Case{1300, 2}, Case{2000, 1}}) {
        const buzzer_note_t note[] = {{c.divisor, 440, 80}};
        buzzer.play(note, 1, false);
        EXPECT_EQ(ticksSounding(), c.ticks) << "divisor " << c.divisor;
        EXPECT_EQ(buzzer.status(), 0);
    }
}

TEST_F(BuzzerTest, AMelodyPlaysItsNotesInOrderAndALoopStartsAgainAtTheFirst) {
    const buzzer_note_t notes[] = {{1300, 500, 10}, {1300, 0, 0}, {1300, 700, 30}};
    for (bool loop : {false, true}) {
        buzzer.play(notes, 3, loop);
        std::vector<int> heard; // frequency per tick, -1 while off
        for (int i = 0; i < 8; ++i) {
            buzzer_tick();
            const Call call = buzzer_platform_last();
            heard.push_back(call.kind == Call::Play ? call.frequency : -1);
        }
        const std::vector<int> end = loop ? std::vector<int>{500, 500} : std::vector<int>{-1, -1};
        EXPECT_EQ(heard, (std::vector<int>{500, 500, -1, -1, 700, 700, end[0], end[1]})) << "loop " << loop;
        EXPECT_EQ(buzzer.status(), loop ? 1 : 0);
        buzzer.stop();
    }
}

TEST_F(BuzzerTest, StopBeforeTheFirstTickCancelsTheMelody) {
    const buzzer_note_t alarm[] = {{35, 2000, 100}, {35, 0, 0}};
    buzzer.play(alarm, 2, true);
    EXPECT_EQ(buzzer.status(), 1);
    buzzer.stop();
    EXPECT_EQ(buzzer.status(), 0);
    const uint32_t calls = buzzer_platform_last().count;
    for (int i = 0; i < 100; ++i) {
        buzzer_tick();
    }
    EXPECT_EQ(buzzer_platform_last().count, calls) << "the looped melody must not start";
}

TEST_F(BuzzerTest, AClickWhileAMelodySoundsIsIgnored) {
    const buzzer_note_t long_note[] = {{10, 880, 50}};
    buzzer.play(long_note, 1, false);
    buzzer_tick();
    buzzer.click();
    EXPECT_EQ(ticksSounding(), 130);
    EXPECT_EQ(buzzer_platform_last().frequency, 880) << "the click's notes never sounded";
}

// A buzzer sets up the tone output as it is made and silences it as it goes, also in the middle of a melody.
TEST_F(BuzzerTest, ABuzzerSetsUpTheToneOutputWhenMadeAndSilencesItWhenGone) {
    const buzzer_note_t long_note[] = {{10, 880, 50}};
    for (const bool sounding : {false, true}) {
        const uint32_t before = buzzer_platform_last().count;
        {
            Buzzer own;
            EXPECT_EQ(buzzer_platform_last().kind, Call::Init);
            EXPECT_EQ(buzzer_platform_last().count, before + 1);
            if (sounding) {
                own.play(long_note, 1, false);
                own.tick();
                ASSERT_EQ(buzzer_platform_last().kind, Call::Play);
            }
        }
        EXPECT_EQ(buzzer_platform_last().kind, Call::Stop) << "sounding " << sounding;
        EXPECT_EQ(buzzer_platform_last().count, before + (sounding ? 3 : 2)) << "sounding " << sounding;
    }
}

// The desktop's trace tells of the tones a user would hear: each that starts, and one stop after it ends,
// however often the output is silenced; a stop that silenced nothing, and setting the output up, say nothing.
TEST_F(BuzzerTest, TheTraceTellsEachToneAndOneStopAfterEachThatSounded) {
    using Lines = std::vector<std::string>;
    const buzzer_note_t melody[] = {{1300, 500, 10}, {1300, 0, 0}, {1300, 700, 30}};
    const struct {
        const char* step;
        std::function<void()> act;
        Lines traced;
    } steps[] = {
        {"a stop with nothing sounding", [] { buzzer_platform_stop(); }, {}},
        {"setting the output up", [] { buzzer_platform_init(); }, {}},
        {"a tone", [] { buzzer_platform_play(440, 80); }, {"BUZZER play 440 Hz, 80 %"}},
        {"its stop", [] { buzzer_platform_stop(); }, {"BUZZER stop"}},
        {"a stop again", [] { buzzer_platform_stop(); }, {}},
        {"two tones in a row",
         [] {
             buzzer_platform_play(440, 80);
             buzzer_platform_play(880, 50);
         },
         {"BUZZER play 440 Hz, 80 %", "BUZZER play 880 Hz, 50 %"}},
        {"the stop after both, then another",
         [] {
             buzzer_platform_stop();
             buzzer_platform_stop();
         },
         {"BUZZER stop"}},
        {"a melody with a pause, to its end and stopped again",
         [&melody] {
             buzzer.play(melody, 3, false);
             for (int i = 0; i < 8; ++i) {
                 buzzer_tick();
             }
             buzzer.stop();
         },
         {"BUZZER play 500 Hz, 10 %", "BUZZER stop", "BUZZER play 700 Hz, 30 %", "BUZZER stop"}},
        {"a buzzer made and gone while silent", [] { Buzzer own; }, {}},
    };
    for (const auto& step : steps) {
        const test::TraceCapture trace;
        step.act();
        Lines traced;
        std::istringstream lines(trace.str());
        for (std::string line; std::getline(lines, line);) {
            // Each line after its stamp of milliseconds.
            traced.push_back(line.substr(line.find(' ') + 1));
        }
        EXPECT_EQ(traced, step.traced) << step.step;
    }
}

// A press on a control clicks through the GUI core's hook, and the main loop's step on the platform clock
// plays the click to its end, so that the next press clicks again.
class BuzzerClick : public test::CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        buzzer.stop();
        buzzer_attach_click(mCore);
        mScreens[12] = [](test::TestForm& form) { new test::Key(&form, 0, 0, 50, 50); };
        mCore.changeState(12, 0, 0, 0, 0);
        pass();
        buzzer_task(); // the step counts from here
    }
    void TearDown() override {
        buzzer.stop();
        CoreTest::TearDown();
    }
    void press() {
        touch(EVENT_TOUCH_PRESS, 10, 10);
        touch(EVENT_TOUCH_RELEASE, 10, 10);
        pass();
    }
    static void run(uint64_t ms) {
        os_clock_advance(ms);
        buzzer_task();
    }
};

TEST_F(BuzzerClick, APressSoundsBothNotesOfTheClickInAbout140Ms) {
    for (int round = 0; round < 2; ++round) {
        press();
        EXPECT_EQ(buzzer.status(), 1) << "round " << round;
        run(2 * OS_TICK_MS); // 12 steps: the second note sounds from the 7th to the 13th
        EXPECT_EQ(buzzer_platform_last().kind, Call::Play);
        EXPECT_EQ(buzzer_platform_last().frequency, 3951);
        run(OS_TICK_MS);
        EXPECT_EQ(buzzer_platform_last().kind, Call::Stop);
        EXPECT_EQ(buzzer.status(), 0);
    }
}

} // namespace
} // namespace tdx
