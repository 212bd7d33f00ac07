#include "Libraries/base/unicode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tdx {
namespace {

// Every character of a text as (code, bytes), decoded from a copy of exactly its bytes so that the address
// sanitizer sees any read past the end.
std::vector<std::pair<char32_t, size_t>> decode_all(const std::string& bytes) {
    const std::vector<char> exact(bytes.begin(), bytes.end());
    const std::string_view text(exact.data(), exact.size());
    std::vector<std::pair<char32_t, size_t>> out;
    for (size_t pos = 0; pos < text.size();) {
        const size_t start = pos;
        const char32_t code = Unicode::next(text, pos);
        out.emplace_back(code, pos - start);
    }
    return out;
}

constexpr char32_t R = Unicode::REPLACEMENT;

TEST(Unicode, DecodesWellFormedAndReplacesEachBrokenStartOnce) {
    struct Case {
        const char* what;
        std::string bytes;
        std::vector<std::pair<char32_t, size_t>> chars;
    };
    const Case cases[] = {
        {"ASCII and DEL", "A\x7F", {{'A', 1}, {0x7F, 1}}},
        {"two bytes", "\xC3\xA9\xC5\x99", {{0xE9, 2}, {0x159, 2}}},
        {"three bytes", "\xE2\x82\xAC\xEF\xBF\xBF", {{0x20AC, 3}, {0xFFFF, 3}}},
        {"four bytes", "\xF0\x9F\x98\x80", {{0x1F600, 4}}},
        {"the first code of each length",
         "\xC2\x80\xE0\xA0\x80\xF0\x90\x80\x80",
         {{0x80, 2}, {0x800, 3}, {0x10000, 4}}},
        {"the last code", "\xF4\x8F\xBF\xBF", {{0x10FFFF, 4}}},
        {"stray continuations",
         "\x80\xBF"
         "A",
         {{R, 1}, {R, 1}, {'A', 1}}},
        {"overlong two-byte NUL", "\xC0\x80", {{R, 1}, {R, 1}}},
        {"overlong two-byte lead", "\xC1\xBF", {{R, 1}, {R, 1}}},
        {"overlong three bytes", "\xE0\x80\x80", {{R, 1}, {R, 1}, {R, 1}}},
        {"overlong four bytes", "\xF0\x8F\xBF\xBF", {{R, 1}, {R, 1}, {R, 1}, {R, 1}}},
        {"a surrogate", "\xED\xA0\x80", {{R, 1}, {R, 1}, {R, 1}}},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", {{R, 1}, {R, 1}, {R, 1}, {R, 1}}},
        {"leads that never start a character", "\xF5\xFF", {{R, 1}, {R, 1}}},
        {"a lead before a letter",
         "\xC3"
         "A",
         {{R, 1}, {'A', 1}}},
        {"three bytes broken after two",
         "\xE2\x82"
         "A",
         {{R, 2}, {'A', 1}}},
        {"cut short by the end", "ab\xF0\x9F\x98", {{'a', 1}, {'b', 1}, {R, 3}}},
        {"a lone lead at the end", "\xE2", {{R, 1}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(decode_all(c.bytes), c.chars) << c.what;
        EXPECT_EQ(Unicode::length(c.bytes), c.chars.size()) << c.what;
    }
}

TEST(Unicode, OffsetsCountCharactersAndStopAtTheEnd) {
    const std::string text = "K\xC3\xB8kken\xE2\x82"; // Køkken and a broken euro sign
    const size_t expected[] = {0, 1, 3, 4, 5, 6, 7, 9, 9};
    for (size_t n = 0; n < std::size(expected); ++n) {
        EXPECT_EQ(Unicode::offset(text, n), expected[n]) << n;
    }
    size_t pos = text.size() + 3;
    EXPECT_EQ(Unicode::next(text, pos), R);
    EXPECT_EQ(pos, text.size());
}

TEST(Unicode, EncodesWhatItDecodes) {
    for (const char32_t code : {char32_t{'a'}, char32_t{0xE6}, char32_t{0x11B}, char32_t{0x20AC},
                                char32_t{0xFFFD}, char32_t{0x1F600}}) {
        const std::string bytes = Unicode::encode(code);
        size_t pos = 0;
        EXPECT_EQ(Unicode::next(bytes, pos), code);
        EXPECT_EQ(pos, bytes.size());
    }
    EXPECT_EQ(Unicode::encode(0xD800), "");
    EXPECT_EQ(Unicode::encode(0x110000), "");
}

} // namespace
} // namespace tdx
