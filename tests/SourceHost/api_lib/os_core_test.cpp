#include "Libraries/base/os.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace tdx {
namespace {

std::atomic<int> sTicks{0};
void countTick() {
    ++sTicks;
}

TEST(OsClock, StartsAtTheTopBitAndAdvancesOnlyByTicksAndTheTestHookWhichRunsOncePerTick) {
    timer_init();
    EXPECT_EQ(timer(), 0x8000000000000000ULL);
    const uint64_t clockBefore = os_clock();
    sTicks = 0;
    os_set_tick_hook(countTick);
    timer0_isr();
    timer0_isr();
    os_set_tick_hook(nullptr);
    timer0_isr();
    EXPECT_EQ(sTicks.load(), 2);
    EXPECT_EQ(os_clock() - clockBefore, 186u);
    EXPECT_EQ(timer(), 0x8000000000000000ULL + 186);
    os_clock_advance(1000);
    EXPECT_EQ(os_clock() - clockBefore, 1186u);
    EXPECT_EQ(timer(), 0x8000000000000000ULL + 1186);
}

TEST(OsClock, MicrosecondClockMovesForward) {
    uint32_t first = timer_us();
    volatile unsigned spin = 0;
    for (int i = 0; i < 100000; ++i) {
        spin = spin + 1;
    }
    uint32_t second = timer_us();
    EXPECT_NE(first, second);
}

TEST(OsCritical, NestsOnOneThreadAndExcludesOthers) {
    int counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&counter] {
            for (int i = 0; i < 10000; ++i) {
                os_enter_critical();
                os_enter_critical(); // nesting on the same thread must not deadlock
                ++counter;
                os_exit_critical();
                os_exit_critical();
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(counter, 40000);
}

TEST(OsCriticalDeathTest, LeavingWithoutEnteringStopsTheProgram) {
    EXPECT_DEATH(os_exit_critical(),
                 "---- ASSERTION FAILED ----(.|\n)*os_exit_critical without os_enter_critical");
    // A thread that holds the section cannot be let out twice, nor can another thread let it out.
    os_enter_critical();
    EXPECT_DEATH(
        {
            std::thread other([] { os_exit_critical(); });
            other.join();
        },
        "os_exit_critical without os_enter_critical");
    os_exit_critical();
    EXPECT_DEATH(os_exit_critical(), "os_exit_critical without os_enter_critical");
}

TEST(OsEvents, SetClearGetAndTake) {
    os_event_clear(0xFFFFFFFFu);
    os_event_set(0x5);
    os_event_set(0x10);
    EXPECT_EQ(os_event_get(), 0x15u);
    EXPECT_EQ(os_event_take(0x11), 0x11u);
    EXPECT_EQ(os_event_get(), 0x4u);
    EXPECT_EQ(os_event_take(0x1), 0u);
    os_event_clear(0x4);
    EXPECT_EQ(os_event_get(), 0u);
}

TEST(OsAssertDeathTest, PrintsTheFailureAndEndsTheProgram) {
    EXPECT_DEATH(OS_ASSERT(1 + 1 == 3), "---- ASSERTION FAILED ----(.|\n)*1 \\+ 1 == 3(.|\n)*TestBody(.|\n)*"
                                        "tests/SourceHost/api_lib/os_core_test.cpp(.|\n)*Line: [0-9]+");
    EXPECT_DEATH(OS_ASSERT_MSG(false, "Queue overflow"), "---- ASSERTION FAILED ----(.|\n)*Queue overflow");
}

struct ThrownAssertion : std::runtime_error {
    using std::runtime_error::runtime_error;
};

TEST(OsAssert, AHandlerThatThrowsKeepsTheProgramAlive) {
    os_set_assert_handler([](const AssertionFailure& failure) { throw ThrownAssertion(failure.expression); });
    try {
        OS_ASSERT(2 < 1);
        ADD_FAILURE() << "the assertion returned";
    } catch (const ThrownAssertion& thrown) {
        EXPECT_STREQ(thrown.what(), "2 < 1");
    }
    os_set_assert_handler(nullptr);
}

} // namespace
} // namespace tdx
