#include "Libraries/base/dbg.h"
#include "Libraries/base/os.h"
#include "tests/support/trace_capture.h"

#include <gtest/gtest.h>

#include <string>

namespace tdx {
namespace {

// The line start as a reader of the trace expects it: at least six digits of milliseconds.
std::string stamp(uint64_t ms) {
    std::string digits = std::to_string(ms);
    if (digits.size() < 6) {
        digits.insert(0, 6 - digits.size(), '0');
    }
    return digits + " ";
}

class Trace : public ::testing::Test {
protected:
    void SetUp() override { dbg_set_enabled(true); }
    void TearDown() override { dbg_set_enabled(true); }
    test::TraceCapture mTrace;
};

TEST_F(Trace, EachLineStartsWithTheMillisecondClockAndEndsWithOneNewline) {
    os_clock_advance(1234);
    const uint64_t now = os_clock();
    dbg_printf_h("%06X:%02X", 0x010410u, 3u);
    dbg_printf_h("%u bytes", 5u);
    os_clock_advance(62);
    dbg_printf_h("ENTER STATE     : %s\n", "CONNECTED"); // its own line end is not doubled
    dbg_printf_h("");
    EXPECT_EQ(mTrace.str(), stamp(now) + "010410:03\n" + stamp(now) + "5 bytes\n" + stamp(now + 62) +
                                "ENTER STATE     : CONNECTED\n" + stamp(now + 62) + "\n");
}

TEST_F(Trace, ShowsEveryDigitOfALongUptime) {
    os_clock_advance(10'000'000);
    const uint64_t now = os_clock();
    dbg_printf_h("late");
    EXPECT_EQ(mTrace.str(), stamp(now) + "late\n");
    EXPECT_GE(std::to_string(now).size(), 8u);
}

TEST_F(Trace, EachCallReachesTheOutputInOnePiece) {
    dbg_printf_h("%s %u", "one", 1u);
    dbg_printf("%s", "two");
    EXPECT_EQ(mTrace.writes(), 2u);
}

TEST_F(Trace, LongTextIsCutLikeFmt) {
    const uint64_t now = os_clock();
    dbg_printf_h("%s", std::string(700, 'x'));
    EXPECT_EQ(mTrace.str(), stamp(now) + std::string(FMT_MAX_LENGTH, 'x') + "\n");
}

TEST_F(Trace, SilencedTraceWritesNothing) {
    dbg_set_enabled(false);
    EXPECT_FALSE(dbg_is_enabled());
    dbg_printf_h("hidden %u", 1u);
    dbg_printf("hidden");
    dbg_write("hidden", 6);
    EXPECT_EQ(mTrace.str(), "");
    EXPECT_EQ(mTrace.writes(), 0u);

    dbg_set_enabled(true);
    dbg_printf("shown");
    EXPECT_EQ(mTrace.str(), "shown");
}

TEST_F(Trace, StrayConversionsInATraceAreHarmless) {
    dbg_printf("%s %s %u", "only one");
    dbg_printf(nullptr);
    dbg_write(nullptr, 5);
    EXPECT_EQ(mTrace.str(), "only one  ");
}

TEST_F(Trace, GoesToStandardErrorWithoutASink) {
    dbg_set_output(nullptr);
    ::testing::internal::CaptureStderr();
    const uint64_t now = os_clock();
    dbg_printf_h("to stderr %u", 5u);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), stamp(now) + "to stderr 5\n");
}

} // namespace
} // namespace tdx
