// UTF-8 texts as the fonts see them: one UTF-16 code per character.
#pragma once

namespace tdx {

struct Unicode {
    // The replacement for a character that is not valid UTF-8 or lies outside the 16-bit range.
    static constexpr unsigned short REPLACEMENT = 0xFFFD;

    // Decodes the first character of text into *code (when code is not null) and returns the bytes it takes,
    // 0 at the terminator or for a null text. A sequence that is invalid, overlong, a surrogate, beyond
    // U+FFFF or cut short by the terminator is one character REPLACEMENT of the bytes up to where it broke;
    // it never reads past the terminator.
    static unsigned int decode(const char* text, unsigned short* code);
    // The number of characters of text, counted as decode counts them; 0 for a null text.
    static unsigned int size(const char* text);
};

} // namespace tdx
