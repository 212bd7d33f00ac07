#include "Libraries/base/watchdog.h"

#include "Libraries/base/os.h"
#include "tests/support/trace_capture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace tdx {
namespace {

std::string watchdogLine(unsigned int channel) {
    char line[64];
    std::snprintf(line, sizeof line, "%06llu WATCHDOG %u\n", static_cast<unsigned long long>(os_clock()),
                  channel);
    return line;
}

class Watchdog : public ::testing::Test {
protected:
    void SetUp() override {
        // Let whatever another test left under supervision expire, then start from a quiet trace.
        os_clock_advance(WD_TIMEOUT_MS);
        wd_check();
        mTrace.clear();
    }
    test::TraceCapture mTrace;
};

TEST_F(Watchdog, AChannelNotFedFor10SecondsTracesAndLeavesSupervision) {
    wd_feed(0);
    os_clock_advance(WD_TIMEOUT_MS - 1);
    wd_check();
    EXPECT_EQ(mTrace.str(), "");

    os_clock_advance(1);
    const std::string expected = watchdogLine(0);
    wd_check();
    EXPECT_EQ(mTrace.str(), expected);

    // As after a real restart, the channel is quiet until its first feed.
    os_clock_advance(WD_TIMEOUT_MS);
    wd_check();
    EXPECT_EQ(mTrace.str(), expected);

    wd_feed(0);
    os_clock_advance(WD_TIMEOUT_MS);
    const std::string second = watchdogLine(0);
    wd_check();
    EXPECT_EQ(mTrace.str(), expected + second);
}

TEST_F(Watchdog, ChannelsExpireIndependently) {
    wd_feed(0);
    wd_feed(1);
    os_clock_advance(6000);
    wd_feed(0);
    os_clock_advance(4000);
    const std::string expected = watchdogLine(1);
    wd_check();
    EXPECT_EQ(mTrace.str(), expected);
    os_clock_advance(5999);
    wd_check();
    EXPECT_EQ(mTrace.str(), expected);
    os_clock_advance(1);
    wd_check();
    EXPECT_EQ(mTrace.str(), expected + watchdogLine(0));
}

TEST(WatchdogDeathTest, FeedingAChannelOutOfRangeAsserts) {
    EXPECT_DEATH(wd_feed(WD_CFG_CHANNEL_COUNT), "ASSERTION FAILED.*\n.*\n.*watchdog channel out of range");
}

} // namespace
} // namespace tdx
