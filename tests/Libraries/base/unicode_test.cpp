#include "Libraries/base/unicode.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace tdx {
namespace {

struct Decoded {
    unsigned int length;
    unsigned short code;
};

// Decodes from a heap copy of exactly the text and its terminator, so that a read past the terminator is
// caught by the address sanitizer.
Decoded decodeExact(const std::string& text) {
    auto copy = std::make_unique<char[]>(text.size() + 1);
    std::memcpy(copy.get(), text.c_str(), text.size() + 1);
    unsigned short code = 0x1234;
    const unsigned int length = Unicode::decode(copy.get(), &code);
    return {length, code};
}

unsigned int sizeExact(const std::string& text) {
    auto copy = std::make_unique<char[]>(text.size() + 1);
    std::memcpy(copy.get(), text.c_str(), text.size() + 1);
    return Unicode::size(copy.get());
}

TEST(Unicode, DecodesTheFirstCharacter) {
    struct Case {
        const char* text;
        unsigned int length;
        unsigned short code;
    };
    // A, DEL, é, ř, €, the last 16-bit code, the first two-byte code, the first three-byte code, the end.
    const Case cases[] = {
        {"A", 1, 0x41},         {"\x7F", 1, 0x7F},           {"\xC3\xA9t", 2, 0xE9},
        {"\xC5\x99", 2, 0x159}, {"\xE2\x82\xAC", 3, 0x20AC}, {"\xEF\xBF\xBF", 3, 0xFFFF},
        {"\xC2\x80", 2, 0x80},  {"\xE0\xA0\x80", 3, 0x800},  {"", 0, 0},
    };
    for (const Case& c : cases) {
        const Decoded decoded = decodeExact(c.text);
        EXPECT_EQ(decoded.length, c.length) << c.text;
        EXPECT_EQ(decoded.code, c.code) << c.text;
    }
}

TEST(Unicode, InvalidSequencesAreOneReplacementCharacter) {
    struct Case {
        const char* text;
        unsigned int length;
    };
    const Case cases[] = {
        {"\x80", 1},             // a continuation without a lead
        {"\xBF\x41", 1},         // the same before a letter, which stays a character of its own
        {"\xC0\x80", 1},         // an overlong lead, then a stray continuation
        {"\xC1\xBF", 1},         // another overlong lead
        {"\xE0\x80\x80", 3},     // an overlong three-byte form
        {"\xED\xA0\x80", 3},     // a surrogate
        {"\xF0\x9F\x98\x80", 4}, // beyond 16 bits
        {"\xF5\x80", 1},         // a lead beyond U+10FFFF
        {"\xFF", 1},             // never valid
        {"\xC3\x41", 1},         // a lead before an ordinary letter
        {"\xE2\x82\x41", 2},     // a three-byte lead broken after two bytes
    };
    for (const Case& c : cases) {
        const Decoded decoded = decodeExact(c.text);
        EXPECT_EQ(decoded.length, c.length) << testing::PrintToString(c.text);
        EXPECT_EQ(decoded.code, Unicode::REPLACEMENT) << testing::PrintToString(c.text);
    }
}

TEST(Unicode, TruncatedSequencesStopAtTheTerminator) {
    EXPECT_EQ(decodeExact("\xC3").length, 1u);
    EXPECT_EQ(decodeExact("\xE2\x82").length, 2u);
    EXPECT_EQ(decodeExact("\xF0\x9F\x98").length, 3u);
    EXPECT_EQ(decodeExact("\xE2\x82").code, Unicode::REPLACEMENT);
    EXPECT_EQ(sizeExact("ab\xE2\x82"), 3u);
    EXPECT_EQ(sizeExact("\xF0"), 1u);
}

TEST(Unicode, SizeCountsCharacters) {
    EXPECT_EQ(sizeExact(""), 0u);
    EXPECT_EQ(sizeExact("1530-"), 5u);
    EXPECT_EQ(sizeExact("P\xC5\x99\x65ji"), 5u);              // Přeji
    EXPECT_EQ(sizeExact("21.5\xC2\xB0"), 5u);                 // 21.5°
    EXPECT_EQ(sizeExact("\xE2\x82\xAC\xF0\x9F\x98\x80"), 2u); // € and an emoji
    EXPECT_EQ(sizeExact("\xC0\x80\x41"), 3u);
    EXPECT_EQ(sizeExact("\x80\x80\x80"), 3u);
}

TEST(Unicode, NullArgumentsAreEmpty) {
    unsigned short code = 7;
    EXPECT_EQ(Unicode::decode(nullptr, &code), 0u);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(Unicode::decode("A", nullptr), 1u);
    EXPECT_EQ(Unicode::size(nullptr), 0u);
}

} // namespace
} // namespace tdx
