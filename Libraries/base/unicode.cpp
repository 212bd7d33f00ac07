#include "Libraries/base/unicode.h"

namespace tdx {

char32_t Unicode::next(std::string_view text, size_t& pos) {
    if (pos >= text.size()) {
        pos = text.size();
        return REPLACEMENT;
    }
    const auto byte = [&](size_t at) { return static_cast<unsigned char>(text[at]); };
    const unsigned char lead = byte(pos++);
    if (lead < 0x80) {
        return lead;
    }
    // The continuations a lead takes, and the range of the first one: the narrow ranges exclude overlong
    // forms, surrogates and values beyond U+10FFFF.
    int more = 0;
    unsigned char lo = 0x80, hi = 0xBF;
    char32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        more = 1, code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        more = 2, code = lead & 0x0Fu;
        lo = lead == 0xE0 ? 0xA0 : 0x80;
        hi = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        more = 3, code = lead & 0x07u;
        lo = lead == 0xF0 ? 0x90 : 0x80;
        hi = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return REPLACEMENT;
    }
    for (; more > 0; --more, lo = 0x80, hi = 0xBF) {
        if (pos >= text.size() || byte(pos) < lo || byte(pos) > hi) {
            return REPLACEMENT;
        }
        code = (code << 6) | (byte(pos++) & 0x3Fu);
    }
    return code;
}

size_t Unicode::length(std::string_view text) {
    size_t count = 0;
    for (size_t pos = 0; pos < text.size(); ++count) {
        next(text, pos);
    }
    return count;
}

size_t Unicode::offset(std::string_view text, size_t n) {
    size_t pos = 0;
    for (size_t i = 0; i < n && pos < text.size(); ++i) {
        next(text, pos);
    }
    return pos;
}

std::string Unicode::encode(char32_t code) {
    std::string out;
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        if (code >= 0xD800 && code <= 0xDFFF) {
            return out;
        }
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code <= 0x10FFFF) {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
    return out;
}

} // namespace tdx
