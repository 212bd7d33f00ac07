#include "Libraries/base/ctimer.h"

#include "Libraries/base/os.h"

#include <gtest/gtest.h>

namespace tdx {
namespace {

TEST(CTimer, TimeoutsShorterThanOneTickAreRaisedTo62Ms) {
    for (unsigned int ms = 1; ms <= 61; ++ms) {
        SCOPED_TRACE(ms);
        ctimer_t timer;
        ct_timeout_set(&timer, ms, 0);
        EXPECT_EQ(timer.timeout, 62u);
        os_clock_advance(61);
        EXPECT_EQ(ct_timed_out(&timer), 0);
        os_clock_advance(1);
        EXPECT_NE(ct_timed_out(&timer), 0);
    }
    ctimer_t timer;
    ct_timeout_set(&timer, 62, 0);
    EXPECT_EQ(timer.timeout, 62u);
    ct_timeout_set(&timer, 63, 0);
    EXPECT_EQ(timer.timeout, 63u);
}

TEST(CTimer, ZeroHasElapsedAtEveryPoll) {
    ctimer_t timer;
    ct_timeout_set(&timer, 0, 0);
    EXPECT_EQ(timer.timeout, 0u);
    EXPECT_NE(ct_timed_out(&timer), 0);
    EXPECT_NE(ct_timed_out(&timer), 0);
}

TEST(CTimer, EachExpiryRestartsThePeriodFromThePoll) {
    ctimer_t flush;
    ct_timeout_set(&flush, 5000, 0);
    os_clock_advance(4999);
    EXPECT_EQ(ct_timed_out(&flush), 0);
    os_clock_advance(1);
    EXPECT_NE(ct_timed_out(&flush), 0);
    EXPECT_EQ(ct_timed_out(&flush), 0);

    // A late poll restarts from the poll: no burst of missed periods.
    os_clock_advance(12000);
    EXPECT_NE(ct_timed_out(&flush), 0);
    EXPECT_EQ(ct_timed_out(&flush), 0);
    os_clock_advance(4999);
    EXPECT_EQ(ct_timed_out(&flush), 0);
    os_clock_advance(1);
    EXPECT_NE(ct_timed_out(&flush), 0);
}

TEST(CTimer, OnTheHostTickAPeriodEndsAtTheFirstTickPastIt) {
    ctimer_t flush;
    ct_timeout_set(&flush, 5000, 0);
    int ticks = 0;
    int expiries = 0;
    while (ticks < 3 * 81) {
        timer0_isr();
        ++ticks;
        if (ct_timed_out(&flush)) {
            ++expiries;
            EXPECT_EQ(ticks % 81, 0) << "5000 ms take 81 ticks of 62 ms";
        }
    }
    EXPECT_EQ(expiries, 3);
}

} // namespace
} // namespace tdx
