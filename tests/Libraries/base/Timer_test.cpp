#include "Libraries/base/Timer.h"

#include "Libraries/base/os.h"

#include <gtest/gtest.h>

#include <climits>

namespace tdx {
namespace {

TEST(Timer, AnUnstartedTimerNeverTimesOut) {
    Timer timer(500);
    os_clock_advance(1000);
    EXPECT_FALSE(timer.isTimedOut());
    EXPECT_EQ(timer.getRemainingTime(), 500u);
}

TEST(Timer, ReportsEachExpiryExactlyOnce) {
    Timer timer(500);
    timer.start();
    EXPECT_TRUE(timer.isStarted());
    os_clock_advance(499);
    EXPECT_FALSE(timer.isTimedOut());
    EXPECT_TRUE(timer.isStarted());
    EXPECT_EQ(timer.getRemainingTime(), 1u);

    os_clock_advance(1);
    EXPECT_TRUE(timer.isTimedOut());
    EXPECT_FALSE(timer.isStarted());
    EXPECT_FALSE(timer.isTimedOut());
    os_clock_advance(5000);
    EXPECT_FALSE(timer.isTimedOut());

    // A new start reports the next expiry, also after a late poll.
    timer.start();
    os_clock_advance(1234);
    EXPECT_TRUE(timer.isTimedOut());
    EXPECT_FALSE(timer.isTimedOut());
}

TEST(Timer, TimeoutZeroFiresAtTheFirstPollAfterStart) {
    Timer timer;
    timer.start();
    EXPECT_TRUE(timer.isStarted());
    EXPECT_TRUE(timer.isTimedOut());
    EXPECT_FALSE(timer.isTimedOut());
    EXPECT_EQ(timer.getRemainingTime(), 0u);
}

TEST(Timer, CancelStopsTheTimerEvenWhenItsTimeHasPassed) {
    Timer timer(100);
    timer.start();
    os_clock_advance(150);
    timer.cancel();
    EXPECT_FALSE(timer.isStarted());
    EXPECT_FALSE(timer.isTimedOut());
    EXPECT_EQ(timer.getRemainingTime(), 0u);

    timer.start();
    EXPECT_FALSE(timer.isTimedOut());
    os_clock_advance(100);
    EXPECT_TRUE(timer.isTimedOut());
}

TEST(Timer, StartingARunningTimerRestartsItsFullTimeout) {
    Timer timer(500);
    timer.start();
    os_clock_advance(400);
    timer.start();
    EXPECT_EQ(timer.getRemainingTime(), 500u);
    os_clock_advance(499);
    EXPECT_FALSE(timer.isTimedOut());
    os_clock_advance(1);
    EXPECT_TRUE(timer.isTimedOut());
}

TEST(Timer, ANewTimeoutOfARunningTimerCountsFromItsStart) {
    Timer timer(1000);
    timer.start();
    os_clock_advance(250);
    timer.setTimeout(200);
    EXPECT_EQ(timer.getRemainingTime(), 0u);
    EXPECT_TRUE(timer.isTimedOut());
}

TEST(Timer, RemainingTimeCountsDownAndAStoppedTimerAnswersFromItsLastStart) {
    Timer timer(1000);
    timer.start();
    os_clock_advance(62);
    EXPECT_EQ(timer.getRemainingTime(), 938u);
    os_clock_advance(938);
    EXPECT_EQ(timer.getRemainingTime(), 0u);
    os_clock_advance(10000);
    EXPECT_EQ(timer.getRemainingTime(), 0u);

    // The expiry moves the start to the moment it was reported.
    EXPECT_TRUE(timer.isTimedOut());
    EXPECT_EQ(timer.getRemainingTime(), 1000u);
    os_clock_advance(300);
    EXPECT_EQ(timer.getRemainingTime(), 700u);

    timer.start();
    os_clock_advance(100);
    timer.cancel();
    os_clock_advance(100);
    EXPECT_EQ(timer.getRemainingTime(), 800u);
}

TEST(Timer, TheLongestTimeoutDoesNotOverflow) {
    Timer timer(UINT_MAX);
    timer.start();
    os_clock_advance(UINT_MAX - 1ULL);
    EXPECT_EQ(timer.getRemainingTime(), 1u);
    EXPECT_FALSE(timer.isTimedOut());
    os_clock_advance(1);
    EXPECT_TRUE(timer.isTimedOut());
}

} // namespace
} // namespace tdx
