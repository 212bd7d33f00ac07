#include "SourceApp/system/diagnostics.h"

#include "Libraries/base/os.h"
#include "SourceHost/api_lib/devices.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace tdx {
namespace {

// Statistics are keyed by the address of their name: members of one record keep these in a known order.
const struct {
    char dropped[16] = "Dropped frames";
    char queue[16] = "Queue depth";
    char longName[48] = "A name longer than thirty-one characters";
    char frame[8] = "Frame";
} NAMES;
const char* const DROPPED = NAMES.dropped;
const char* const QUEUE = NAMES.queue;
const char* const LONG_NAME = NAMES.longName;
const char* const FRAME = NAMES.frame;

// The text of one console row, trailing blanks removed.
std::string row(int r) {
    const console_t& c = diagnostics_console();
    std::string text;
    for (int col = 0; col < c.columns; ++col) {
        text += c.cells[static_cast<size_t>(r * c.columns + col)].code;
    }
    return text.substr(0, text.find_last_not_of(' ') + 1);
}

// The first row that begins with the text; -1 when none does.
int rowStarting(const std::string& text) {
    for (int r = 0; r < diagnostics_console().rows; ++r) {
        if (row(r).rfind(text, 0) == 0) {
            return r;
        }
    }
    return -1;
}

class DiagnosticsTest : public ::testing::Test {
protected:
    void SetUp() override {
        diagnostics_init();
        diagnostics_set_state(2);
    }
    void TearDown() override { diagnostics_set_state(2); }
};

TEST_F(DiagnosticsTest, ThePageShowsMemoryAHeaderAndOneLinePerStatistic) {
    const uint32_t asked = diagnostics_platform_memory_calls();
    diagnostics_memory_usage();
    EXPECT_EQ(diagnostics_platform_memory_calls(), asked + 1);
    diagnostics_store_stat(DROPPED, 12345);
    diagnostics_store_stat(DROPPED, 7);
    diagnostics_store_stat(QUEUE, 3);
    diagnostics_store_stat(QUEUE, 40);
    diagnostics_store_stat(LONG_NAME, 1);

    diagnostics_set_state(0);
    EXPECT_EQ(row(0), "Stack 0/0, 0%, Heap 0/0, 0%");
    EXPECT_EQ(row(1), "Name                              Current   Maximum");
    EXPECT_EQ(diagnostics_console().cells[static_cast<size_t>(diagnostics_console().columns)].back, 4)
        << "the header stands on blue";
    const int first = rowStarting("Dropped frames");
    ASSERT_GE(first, 2);
    EXPECT_EQ(row(first), "Dropped frames                          7     12345");
    EXPECT_EQ(row(first + 1), "Queue depth                            40        40");
    EXPECT_EQ(row(first + 2), "A name longer than thirty-one c         1         1");
    EXPECT_EQ(diagnostics_console().cells[static_cast<size_t>(first * diagnostics_console().columns)].back,
              0);

    diagnostics_set_state(1);
    EXPECT_EQ(row(0), "") << "leaving the page clears the console";
}

TEST_F(DiagnosticsTest, AMeasureTakesTheTimeOfThePlatformClockAndTheAverageOfTenSamples) {
    // Statistics live as long as the program: nine empty measures push out what an earlier run left.
    for (int i = 0; i < 9; ++i) {
        PerformanceTimer empty(FRAME);
    }
    {
        PerformanceTimer measure(FRAME);
        os_clock_advance(2 * OS_TICK_MS);
    }
    diagnostics_set_state(0);
    const int r = rowStarting("Frame");
    ASSERT_GE(r, 0);
    // The name is cut to 15 characters; the sub-millisecond part comes from the real microsecond clock.
    unsigned current = 0, maximum = 0;
    ASSERT_EQ(std::sscanf(row(r).c_str() + 32, "%u %u", &current, &maximum), 2) << row(r);
    EXPECT_GE(maximum, 124000u);
    EXPECT_LT(maximum, 125000u);
    EXPECT_NEAR(current, maximum / 10, 100) << "one sample of ten"; // within the real clock's jitter
}

TEST_F(DiagnosticsTest, CharactersComeOutInOrderTheOneBeyond4096IsDroppedAndTheEchoShowsThem) {
    for (int i = 0; i <= 4096; ++i) {
        diagnostics_putchar(static_cast<char>('a' + i % 26));
    }
    char c = 0;
    int taken = 0;
    bool inOrder = true;
    while (diagnostics_getchar(&c) == 0) {
        inOrder = inOrder && c == 'a' + taken % 26;
        ++taken;
    }
    EXPECT_EQ(taken, 4096);
    EXPECT_TRUE(inOrder);
    EXPECT_EQ(diagnostics_getchar(&c), -1);

    diagnostics_set_state(1);
    for (char ch : std::string("echo\nok")) {
        diagnostics_putchar(ch);
    }
    EXPECT_EQ(row(0), "echo");
    EXPECT_EQ(row(1), "ok");
}

} // namespace
} // namespace tdx
