// The one UTF-8 decoder: fonts, text fields and editors count and draw characters exactly alike. It gives
// whole code points (next in place of a decode to one UTF-16 unit, length for the character count): a
// 16-bit unit would cut a character beyond the first plane in two halves that are no character at all.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tdx {

struct Unicode {
    // What a byte sequence that is no character decodes to.
    static constexpr char32_t REPLACEMENT = 0xFFFD;

    // Decodes the character at text[pos] and moves pos past it: at least one byte, never past the end.
    // Bytes that do not form a character (a stray continuation, an overlong form, a surrogate, a value
    // beyond U+10FFFF, a sequence cut short) give one REPLACEMENT for the longest start of a well-formed
    // sequence, at least one byte, so the next character is never swallowed. At or past the end: the end,
    // and REPLACEMENT.
    static char32_t next(std::string_view text, size_t& pos);
    // The number of characters of text, as next counts them.
    static size_t length(std::string_view text);
    // The byte offset of character n, the text's size when it has no more than n characters.
    static size_t offset(std::string_view text, size_t n);
    // The UTF-8 bytes of a code point; empty for a surrogate or a value beyond U+10FFFF.
    static std::string encode(char32_t code);
};

} // namespace tdx
