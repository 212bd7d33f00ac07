#include "Libraries/base/unicode.h"

#include <cstdint>

namespace tdx {

unsigned int Unicode::decode(const char* text, unsigned short* code) {
    unsigned short result = 0;
    unsigned int length = 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    if (bytes != nullptr && bytes[0] != 0) {
        const unsigned char lead = bytes[0];
        unsigned int continuation = 0;
        uint32_t value = 0;
        uint32_t minimum = 0;
        if (lead < 0x80) {
            value = lead;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            continuation = 1;
            value = lead & 0x1Fu;
            minimum = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            continuation = 2;
            value = lead & 0x0Fu;
            minimum = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            continuation = 3;
            value = lead & 0x07u;
            minimum = 0x10000;
        } else {
            // A stray continuation byte, an overlong two-byte lead or a lead beyond U+10FFFF.
            value = REPLACEMENT;
        }
        length = 1;
        // Stops at the first byte that does not continue the sequence, the terminator included, so the
        // terminator is never passed.
        for (; length <= continuation; ++length) {
            const unsigned char next = bytes[length];
            if ((next & 0xC0u) != 0x80u) {
                value = REPLACEMENT;
                continuation = 0;
                break;
            }
            value = (value << 6) | (next & 0x3Fu);
        }
        const bool surrogate = value >= 0xD800 && value <= 0xDFFF;
        if (continuation > 0 && (value < minimum || surrogate || value > 0xFFFF)) {
            value = REPLACEMENT;
        }
        result = static_cast<unsigned short>(value);
    }
    if (code != nullptr) {
        *code = result;
    }
    return length;
}

unsigned int Unicode::size(const char* text) {
    unsigned int count = 0;
    if (text == nullptr) {
        return 0;
    }
    while (const unsigned int length = decode(text, nullptr)) {
        text += length;
        ++count;
    }
    return count;
}

} // namespace tdx
