#include "Libraries/base/fmt.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace tdx {
namespace {

// Single conversions are compared with the C library below; these are whole patterns of the trace and
// screens.
TEST(Fmt, RendersPatternsOfSeveralArgumentsAmongLiteralText) {
    EXPECT_EQ(fmt("%06X:%02X", 0x010410u, 0xFEu), "010410:FE");
    EXPECT_EQ(fmt("ENTER STATE     : %s\n", "IDLE"), "ENTER STATE     : IDLE\n");
    EXPECT_EQ(fmt("%u;%s %02d:%02d:%02d", 1u, "2026-03-05", 14, 7, 9), "1;2026-03-05 14:07:09");
    EXPECT_EQ(fmt("Stack %u/%u, %u%%, Heap %u/%u, %u%%", 2048u, 8192u, 25u, 100u, 400u, 25u),
              "Stack 2048/8192, 25%, Heap 100/400, 25%");
    EXPECT_EQ(fmt("%c%c", 'O', 'K'), "OK");
    EXPECT_EQ(fmt("no conversion"), "no conversion");
}

TEST(Fmt, PrecisionReadsAtMostThatManyBytesOfAnUnterminatedBuffer) {
    struct {
        char code[5];
        char next[4];
    } record{{'T', 'D', '4', '1', '0'}, {'X', 'Y', 'Z', '\0'}};
    EXPECT_EQ(fmt("%.5s", record.code), "TD410");
    EXPECT_EQ(fmt("%.5s%02u", record.code, 3u), "TD41003");

    // Exactly five bytes on the heap: a read of a sixth one is caught by the address sanitizer.
    auto heap = std::make_unique<char[]>(5);
    std::memcpy(heap.get(), "HM316", 5);
    const char* pointer = heap.get();
    EXPECT_EQ(fmt("%.5s", pointer), "HM316");
    EXPECT_EQ(fmt("%.3s", pointer), "HM3");
    EXPECT_EQ(fmt("%.0s|", pointer), "|");
    // A char array is never read beyond its size, even without a precision.
    EXPECT_EQ(fmt("%s", record.code), "TD410");
    // A terminator inside the precision ends the text.
    EXPECT_EQ(fmt("%.5s", "ab"), "ab");
}

TEST(Fmt, NegativeNumbersAndSignedWidths) {
    EXPECT_EQ(fmt("%d", -5), "-5");
    EXPECT_EQ(fmt("%02d", -5), "-5");
    EXPECT_EQ(fmt("%04d", -5), "-005");
    EXPECT_EQ(fmt("%5d|%-5d|", -42, -42), "  -42|-42  |");
    EXPECT_EQ(fmt("%d", INT_MIN), "-2147483648");
    EXPECT_EQ(fmt("%d", INT_MAX), "2147483647");
    EXPECT_EQ(fmt("%d", INT64_MIN), "-9223372036854775808");
    EXPECT_EQ(fmt("%d", static_cast<int8_t>(-128)), "-128");
    EXPECT_EQ(fmt("%d", static_cast<short>(-300)), "-300");
    EXPECT_EQ(fmt("%+d % d", 7, 7), "+7  7");
}

TEST(Fmt, ArgumentsAreReadAtTheirOwnWidthWithPrintfPromotions) {
    EXPECT_EQ(fmt("%u", static_cast<uint8_t>(200)), "200");
    EXPECT_EQ(fmt("%d", static_cast<uint16_t>(65535)), "65535");
    EXPECT_EQ(fmt("%u", -1), "4294967295");
    EXPECT_EQ(fmt("%u", static_cast<int8_t>(-1)), "4294967295");
    EXPECT_EQ(fmt("%x", -1), "ffffffff");
    EXPECT_EQ(fmt("%d", 0xFFFFFFFFu), "-1");
    EXPECT_EQ(fmt("%u", UINT64_MAX), "18446744073709551615");
    EXPECT_EQ(fmt("%x", static_cast<int64_t>(-1)), "ffffffffffffffff");
    EXPECT_EQ(fmt("%lu %lld %hhu %zu", 5ul, -3ll, 300, size_t{9}), "5 -3 44 9");
    EXPECT_EQ(fmt("%d %u", true, false), "1 0");
    enum class Kind : uint8_t { Relay = 7 };
    EXPECT_EQ(fmt("%u", Kind::Relay), "7");
    EXPECT_EQ(fmt("%d %c", 'A', 'A'), "65 A");
}

TEST(Fmt, TextsFromEveryKindOfSource) {
    const std::string text = "string";
    const std::string_view view = std::string_view("viewed text").substr(0, 6);
    char mutableText[] = "mutable";
    const unsigned char bytes[3] = {'a', 'b', 'c'};
    EXPECT_EQ(fmt("%s %s %s %s", text, view, mutableText, bytes), "string viewed mutable abc");
    EXPECT_EQ(fmt("%s", static_cast<const char*>(nullptr)), "(null)");
    EXPECT_EQ(fmt("%s", nullptr), "(null)");
    EXPECT_EQ(fmt("[%8s][%-8s]", "ab", "ab"), "[      ab][ab      ]");
    EXPECT_EQ(fmt("%ls", "wide on Windows only"), "wide on Windows only");
}

TEST(Fmt, OutputIsCutAt511Characters) {
    const std::string longText(600, 'a');
    EXPECT_EQ(fmt("%s", longText), std::string(511, 'a'));
    EXPECT_EQ(fmt("%s", std::string(511, 'b')), std::string(511, 'b'));
    EXPECT_EQ(fmt("x%s", std::string(510, 'b')), "x" + std::string(510, 'b'));
    EXPECT_EQ(fmt(longText.c_str()), std::string(511, 'a'));
    EXPECT_EQ(fmt("%600u", 1u), std::string(511, ' '));
    EXPECT_EQ(fmt("%0600u", 1u), std::string(511, '0'));
    EXPECT_EQ(fmt("%99999999999999999999999u", 1u).size(), 511u);
}

TEST(Fmt, MissingArgumentsRenderNothing) {
    EXPECT_EQ(fmt("%s and %s", "one"), "one and ");
    EXPECT_EQ(fmt("%u:%02u:%02u", 5u), "5::");
    EXPECT_EQ(fmt("%d%%"), "%");
    EXPECT_EQ(fmt("Room %s is %u degrees"), "Room  is  degrees");
    EXPECT_EQ(fmt("%u", 1u, 2u, "extra"), "1");
}

TEST(Fmt, MismatchedArgumentsRenderByTheirOwnType) {
    EXPECT_EQ(fmt("%s", 42), "42");
    EXPECT_EQ(fmt("%s", -42), "-42");
    EXPECT_EQ(fmt("%s", 4294967295u), "4294967295");
    EXPECT_EQ(fmt("[%5s]", 7u), "[    7]");
    EXPECT_EQ(fmt("%d", "text"), "text");
    EXPECT_EQ(fmt("%04X|", "ab"), "  ab|");
    EXPECT_EQ(fmt("%c", "xyz"), "xyz");
    EXPECT_EQ(fmt("%u", static_cast<const char*>(nullptr)), "(null)");
    EXPECT_EQ(fmt("%c|", 0), "|");
}

TEST(Fmt, UnknownConversionsAreShownAndUseNoArgument) {
    EXPECT_EQ(fmt("%f|%u", 3u), "%f|3");
    EXPECT_EQ(fmt("%n%u", 5u), "%n5");
    EXPECT_EQ(fmt("%p", 5u), "%p");
    EXPECT_EQ(fmt("100%"), "100%");
    EXPECT_EQ(fmt("%05"), "%05");
    EXPECT_EQ(fmt("%*d", 5, 6), "%*d");
    EXPECT_EQ(fmt(nullptr), "");
    EXPECT_EQ(fmt(nullptr, 1, "x"), "");
}

TEST(FmtTo, WritesIntoTheCallerBufferAndStopsAtItsEnd) {
    char buffer[10];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(fmt_to(buffer, 8, "%s", "abcdefghijk"), 7u);
    EXPECT_STREQ(buffer, "abcdefg");
    EXPECT_EQ(buffer[8], '#');

    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(fmt_to(buffer, 1, "%u", 123u), 0u);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(buffer[1], '#');

    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(fmt_to(buffer, 0, "%u", 123u), 0u);
    EXPECT_EQ(buffer[0], '#');
    EXPECT_EQ(fmt_to(nullptr, 100, "%u", 123u), 0u);

    EXPECT_EQ(fmt_to(buffer, sizeof buffer, "%04X", 0x1Fu), 4u);
    EXPECT_STREQ(buffer, "001F");
}

// The integer and text conversions that printf defines must come out as the C library prints them.
TEST(Fmt, AgreesWithTheCLibraryOnEveryDefinedConversion) {
    const char* intSpecs[] = {"%d", "%i", "%5d", "%-5d|", "%05d", "%+d", "% d", "%.3d", "%8.3d", "%.0d", "%x",
                              "%X", "%#x", "%#X", "%08X", "%-8x|", "%u", "%010u", "%02u", "%c", "%3c|",
                              "%-3c|", "%+05d", "%.0u", "%#.0x", "%04x", "%6.4u",
                              // The zero flag gives way to a precision; h and hh cut the value first.
                              "%08.3d", "%-08.3d|", "%08.3x", "%08.0d", "%hd", "%hhd", "%hu", "%hhu", "%hx",
                              "%#hhX", "%06.2hd"};
    const int intValues[] = {0, 1, -1, 7, 42, -42, 255, 65, 1000000, INT_MIN, INT_MAX};
    for (const char* spec : intSpecs) {
        for (int value : intValues) {
            const bool isCharacter = std::strchr(spec, 'c') != nullptr;
            if (isCharacter && (value <= 0 || value > 127)) {
                continue;
            }
            char expected[64];
            std::snprintf(expected, sizeof expected, spec, value);
            EXPECT_EQ(fmt(spec, value), expected) << spec << " of " << value;
        }
    }
    const char* wideSpecs[] = {"%lld", "%20lld", "%-20lld|", "%020lld", "%llx", "%llX", "%llu"};
    const long long wideValues[] = {0, -1, LLONG_MIN, LLONG_MAX, 1234567890123LL};
    for (const char* spec : wideSpecs) {
        for (long long value : wideValues) {
            char expected[64];
            std::snprintf(expected, sizeof expected, spec, value);
            EXPECT_EQ(fmt(spec, value), expected) << spec << " of " << value;
        }
    }
    const char* textSpecs[] = {"%s", "%10s", "%-10s|", "%.2s", "%5.1s", "%-6.3s|", "%.0s|"};
    const char* texts[] = {"", "a", "hello world", "Pokoj 1"};
    for (const char* spec : textSpecs) {
        for (const char* text : texts) {
            char expected[64];
            std::snprintf(expected, sizeof expected, spec, text);
            EXPECT_EQ(fmt(spec, text), expected) << spec << " of '" << text << "'";
        }
    }
}

TEST(Fmt, NumberedConversionsLetATranslationReorderItsArguments) {
    const struct {
        const char* format;
        const char* expected;
    } cases[] = {
        {"%3$u %2$02u %1$s", "5 07 ab"},
        {"%1$s%1$s", "abab"},
        {"%1$-5s|%2$5u", "ab   |    7"},
        {"%4$u|%2$u", "|7"}, // past the last argument: nothing
        {"%2$u %u", "7 ab"}, // unnumbered ones take their turn from the first
        {"%0$u", "%0$u"},    // there is no argument 0
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fmt(c.format, "ab", 7u, 5u), c.expected) << c.format;
    }
    char expected[64];
    std::snprintf(expected, sizeof expected, "%2$s, %1$02u:%3$02u", 7u, "Monday", 5u);
    EXPECT_EQ(fmt("%2$s, %1$02u:%3$02u", 7u, "Monday", 5u), expected);
}

} // namespace
} // namespace tdx
