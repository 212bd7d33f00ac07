#include "Libraries/misc/List.h"
#include "Libraries/misc/numeric.h"
#include "Libraries/misc/text.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace tdx {
namespace {

TEST(Numeric, ClampTestsTheUpperBoundFirst) {
    EXPECT_EQ(Clamp(5, 0, 10), 5);
    EXPECT_EQ(Clamp(-5, 0, 10), 0);
    EXPECT_EQ(Clamp(15, 0, 10), 10);
    EXPECT_EQ(Clamp(INT_MIN, -2000, 3500), -2000);
    EXPECT_EQ(Clamp(INT_MAX, -2000, 3500), 3500);
    // With the bounds swapped, a value above the upper bound takes it; one below both takes the lower.
    EXPECT_EQ(Clamp(5, 10, 0), 0);
    EXPECT_EQ(Clamp(-5, 10, 0), 10);
}

TEST(SerialNumber, IsPrefixDashAndTenDigitsGroupedTwoFourFour) {
    struct Case {
        unsigned short prefix;
        unsigned int serial;
        const char* text;
    };
    const Case cases[] = {
        {1530, 1234, "1530-00-0000-1234"},
        {1530, 0x0004D2, "1530-00-0000-1234"},
        {12345, 1, "2345-00-0000-0001"},
        {1530, 4294967295u, "1530-42-9496-7295"},
        {12345, 4294967295u, "2345-42-9496-7295"}, // both at their largest
        {0, 0, "0000-00-0000-0000"},
        {65535, 0xFFFFFF, "5535-00-1677-7215"},
        {10000, 1286608618u, "0000-12-8660-8618"},
    };
    for (const Case& c : cases) {
        const std::string text = format_serial_number(c.prefix, c.serial);
        EXPECT_EQ(text, c.text) << c.prefix << " " << c.serial;
        EXPECT_EQ(text.size(), 17u);
    }
}

TEST(Trim, RemovesWhiteSpaceAtBothEndsOnly) {
    EXPECT_EQ(trim("  Heating \t\r\n"), "Heating");
    EXPECT_EQ(trim("a  b"), "a  b");
    EXPECT_EQ(trim(" \v\fx\f"), "x");
    EXPECT_EQ(trim("x"), "x");
    EXPECT_EQ(trim(""), "");
    EXPECT_EQ(trim(" \t\n "), "");
    EXPECT_EQ(trim("\xC2\xB0 "), "\xC2\xB0");
}

TEST(List, AddsEachValueOnceInOrder) {
    List<unsigned int, 64u> list;
    EXPECT_TRUE(list.isEmpty());
    list.add(0x010410);
    list.add(0x020000);
    list.add(0x010410);
    EXPECT_EQ(list.size(), 2);
    EXPECT_EQ(list[0], 0x010410u);
    EXPECT_EQ(list[1], 0x020000u);
    EXPECT_TRUE(list.contains(0x020000));
    EXPECT_FALSE(list.contains(0x030000));
    EXPECT_EQ(std::vector<unsigned int>(list.begin(), list.end()),
              (std::vector<unsigned int>{0x010410, 0x020000}));
    List<unsigned int, 64u> reversed;
    reversed.add(0x020000);
    reversed.add(0x010410);
    EXPECT_NE(list, reversed); // equal only with the same values in the same order
    list.clear();
    EXPECT_EQ(list.size(), 0);
    EXPECT_FALSE(list.contains(0x010410));
    reversed.clear();
    EXPECT_EQ(list, reversed);
}

TEST(List, AFullListIgnoresMoreValues) {
    List<unsigned int, 64u> list;
    for (unsigned int id = 100; id < 200; ++id) {
        list.add(id);
    }
    EXPECT_TRUE(list.isFull());
    EXPECT_EQ(list.size(), 64);
    EXPECT_EQ(list[63], 163u);
    EXPECT_FALSE(list.contains(164));

    List<unsigned char, 255u> largest;
    for (int value = 0; value < 300; ++value) {
        largest.add(static_cast<unsigned char>(value));
    }
    EXPECT_EQ(largest.size(), 255);
}

TEST(ListDeathTest, AnIndexPastTheCountStopsTheProgram) {
    List<unsigned int, 64u> list;
    list.add(5);
    EXPECT_DEATH((void)list[1], "---- ASSERTION FAILED ----.*List index out of range");
}

} // namespace
} // namespace tdx
