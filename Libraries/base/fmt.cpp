// The printf engine behind fmt, fmt_to and the trace.
#include "Libraries/base/fmt.h"

#include "Libraries/base/dbg.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace tdx {

namespace {

// Widths and precisions beyond any buffer saturate here instead of overflowing.
constexpr size_t MAX_FIELD = 100000;

class Writer {
public:
    Writer(char* out, size_t size)
        : mOut(out)
        , mCapacity(size)
        , mLimit(out != nullptr && size > 0 ? size - 1 : 0) {}

    void put(char c) {
        if (mLength < mLimit) {
            mOut[mLength++] = c;
        }
    }

    void put(const char* text, size_t length) {
        const size_t n = length < mLimit - mLength ? length : mLimit - mLength;
        if (n > 0) {
            std::memcpy(mOut + mLength, text, n);
            mLength += n;
        }
    }

    void fill(char c, size_t count) {
        const size_t n = count < mLimit - mLength ? count : mLimit - mLength;
        if (n > 0) {
            std::memset(mOut + mLength, c, n);
            mLength += n;
        }
    }

    bool full() const { return mLength == mLimit; }

    size_t finish() {
        if (mOut != nullptr && mCapacity > 0) {
            mOut[mLength] = '\0';
        }
        return mLength;
    }

private:
    char* mOut;
    size_t mCapacity;
    size_t mLimit;
    size_t mLength = 0;
};

struct Spec {
    bool left = false;
    bool zero = false;
    bool plus = false;
    bool space = false;
    bool alternate = false;
    size_t width = 0;
    bool hasPrecision = false;
    size_t precision = 0;
    // 0: the argument's own width; 16 or 8 (h, hh): the value is cut to that many bits first, as printf does.
    unsigned bits = 0;
    // 1-based argument number of "%n$", 0 for the next argument in turn.
    size_t position = 0;
    char conversion = 0;
};

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

size_t parseNumber(const char*& p) {
    size_t value = 0;
    while (isDigit(*p)) {
        value = value * 10 + static_cast<size_t>(*p - '0');
        if (value > MAX_FIELD) {
            value = MAX_FIELD;
        }
        ++p;
    }
    return value;
}

// Parses the conversion after a '%'; p ends after the conversion character (or at the terminator).
Spec parseSpec(const char*& p) {
    Spec spec;
    if (isDigit(*p) && *p != '0') {
        const char* digits = p;
        const size_t number = parseNumber(p);
        if (*p == '$') {
            spec.position = number;
            ++p;
        } else {
            p = digits; // a width
        }
    }
    for (;; ++p) {
        if (*p == '-') {
            spec.left = true;
        } else if (*p == '0') {
            spec.zero = true;
        } else if (*p == '+') {
            spec.plus = true;
        } else if (*p == ' ') {
            spec.space = true;
        } else if (*p == '#') {
            spec.alternate = true;
        } else {
            break;
        }
    }
    spec.width = parseNumber(p);
    if (*p == '.') {
        ++p;
        spec.hasPrecision = true;
        spec.precision = parseNumber(p);
    }
    if (*p == 'h') {
        ++p;
        spec.bits = 16;
        if (*p == 'h') {
            ++p;
            spec.bits = 8;
        }
    }
    while (*p == 'l' || *p == 'z' || *p == 'j' || *p == 't') {
        ++p;
    }
    if (*p != '\0') {
        spec.conversion = *p++;
    }
    return spec;
}

void pad(Writer& out, size_t length, size_t width) {
    if (width > length) {
        out.fill(' ', width - length);
    }
}

void renderText(Writer& out, const Spec& spec, const char* data, size_t size) {
    if (data == nullptr) {
        data = "(null)";
        size = 6;
    }
    size_t bound = size;
    if (spec.hasPrecision && spec.precision < bound) {
        bound = spec.precision;
    }
    // An unbounded text is NUL-terminated; a bounded one may not be, so read at most `bound` bytes.
    const size_t length = bound == SIZE_MAX ? std::strlen(data) : strnlen(data, bound);
    if (!spec.left) {
        pad(out, length, spec.width);
    }
    out.put(data, length);
    if (spec.left) {
        pad(out, length, spec.width);
    }
}

void renderCharacter(Writer& out, const Spec& spec, uint64_t value) {
    const char c = static_cast<char>(static_cast<unsigned char>(value));
    const size_t length = c == '\0' ? 0 : 1;
    if (!spec.left) {
        pad(out, length, spec.width);
    }
    if (length > 0) {
        out.put(c);
    }
    if (spec.left) {
        pad(out, length, spec.width);
    }
}

// conversion is 'd', 'u', 'x' or 'X'; magnitude and negative give the value.
void renderInteger(Writer& out, const Spec& spec, uint64_t magnitude, bool negative) {
    char digits[24];
    size_t count = 0;
    const bool hex = spec.conversion == 'x' || spec.conversion == 'X';
    const char* symbols = spec.conversion == 'X' ? "0123456789ABCDEF" : "0123456789abcdef";
    const unsigned base = hex ? 16 : 10;
    for (uint64_t v = magnitude; v != 0; v /= base) {
        digits[count++] = symbols[v % base];
    }
    // Without a precision a zero still shows one digit; with precision 0 it shows none, as printf does.
    const size_t minimumDigits = spec.hasPrecision ? spec.precision : 1;
    const size_t zeros = minimumDigits > count ? minimumDigits - count : 0;

    char prefix[2];
    size_t prefixLength = 0;
    if (spec.conversion == 'd') {
        if (negative) {
            prefix[prefixLength++] = '-';
        } else if (spec.plus) {
            prefix[prefixLength++] = '+';
        } else if (spec.space) {
            prefix[prefixLength++] = ' ';
        }
    } else if (hex && spec.alternate && magnitude != 0) {
        prefix[prefixLength++] = '0';
        prefix[prefixLength++] = spec.conversion;
    }

    const size_t length = prefixLength + zeros + count;
    const size_t padding = spec.width > length ? spec.width - length : 0;
    const bool zeroPadding = spec.zero && !spec.left && !spec.hasPrecision;
    if (!spec.left && !zeroPadding) {
        out.fill(' ', padding);
    }
    out.put(prefix, prefixLength);
    if (zeroPadding) {
        out.fill('0', padding);
    }
    out.fill('0', zeros);
    while (count > 0) {
        out.put(digits[--count]);
    }
    if (spec.left) {
        out.fill(' ', padding);
    }
}

uint64_t magnitudeOf(int64_t value) {
    return value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
}

// A number for a number conversion, with printf's reading of the value at its own width.
void renderNumber(Writer& out, const Spec& spec, const FmtArg& arg) {
    const bool wide = arg.kind == FmtArg::Kind::Int64 || arg.kind == FmtArg::Kind::UInt64;
    const bool isSigned = arg.kind == FmtArg::Kind::Int32 || arg.kind == FmtArg::Kind::Int64;
    const uint64_t bits = isSigned ? static_cast<uint64_t>(arg.i) : arg.u;
    if (spec.conversion == 'c') {
        renderCharacter(out, spec, bits);
    } else if (spec.conversion == 'd') {
        int64_t value = wide ? static_cast<int64_t>(bits) : static_cast<int32_t>(static_cast<uint32_t>(bits));
        if (spec.bits == 16) {
            value = static_cast<int16_t>(static_cast<uint16_t>(bits));
        } else if (spec.bits == 8) {
            value = static_cast<int8_t>(static_cast<uint8_t>(bits));
        }
        renderInteger(out, spec, magnitudeOf(value), value < 0);
    } else {
        uint64_t value = wide ? bits : static_cast<uint32_t>(bits);
        if (spec.bits != 0) {
            value &= (uint64_t{1} << spec.bits) - 1;
        }
        renderInteger(out, spec, value, false);
    }
}

// What a format asks of its arguments: the argument numbers it takes, each with the kind of its conversions.
std::vector<std::pair<size_t, char>> signatureOf(const char* format) {
    std::vector<std::pair<size_t, char>> signature;
    size_t next = 0;
    for (const char* p = format; p != nullptr && (p = std::strchr(p, '%')) != nullptr;) {
        ++p;
        if (*p == '%') {
            ++p;
            continue;
        }
        const Spec spec = parseSpec(p);
        const size_t index = spec.position != 0 ? spec.position - 1 : next++;
        switch (spec.conversion) {
            case 's':
            case 'c':
                signature.emplace_back(index, spec.conversion);
                break;
            case 'd':
            case 'i':
            case 'u':
            case 'x':
            case 'X':
                signature.emplace_back(index, 'd');
                break;
            default:
                // Unknown to the engine but not to a translator's printf: it must stand where the English has
                // it.
                signature.emplace_back(index, spec.conversion == '\0' ? '%' : spec.conversion);
                break;
        }
    }
    std::sort(signature.begin(), signature.end());
    signature.erase(std::unique(signature.begin(), signature.end()), signature.end());
    return signature;
}

} // namespace

bool fmt_conversions_match(const char* english, const char* translation) {
    return signatureOf(english) == signatureOf(translation);
}

const char* fmt_checked(const char* english, const char* translation) {
    if (translation == nullptr || translation == english) {
        return english;
    }
    if (!fmt_conversions_match(english, translation)) {
        dbg_printf_h("translation of \"%s\" takes other arguments: the English text is used",
                     english != nullptr ? english : "");
        return english;
    }
    return translation;
}

size_t fmt_format(char* out, size_t size, const char* format, const FmtArg* args, size_t count) {
    Writer writer(out, size);
    if (format == nullptr) {
        return writer.finish();
    }
    if (args == nullptr) {
        count = 0;
    }
    size_t next = 0;
    const char* p = format;
    while (*p != '\0' && !writer.full()) {
        const char* percent = std::strchr(p, '%');
        if (percent == nullptr) {
            writer.put(p, std::strlen(p));
            break;
        }
        writer.put(p, static_cast<size_t>(percent - p));
        const char* start = percent;
        p = percent + 1;
        if (*p == '%') {
            writer.put('%');
            ++p;
            continue;
        }
        Spec spec = parseSpec(p);
        switch (spec.conversion) {
            case 'i':
                spec.conversion = 'd';
                [[fallthrough]];
            case 'd':
            case 'u':
            case 'x':
            case 'X':
            case 'c':
            case 's': {
                const size_t index = spec.position != 0 ? spec.position - 1 : next++;
                if (index >= count) {
                    break; // nothing to render: the caller passed fewer arguments
                }
                const FmtArg& arg = args[index];
                if (arg.kind == FmtArg::Kind::Text) {
                    renderText(writer, spec, arg.text.data, arg.text.size);
                } else if (spec.conversion == 's') {
                    const bool isSigned = arg.kind == FmtArg::Kind::Int32 || arg.kind == FmtArg::Kind::Int64;
                    spec.conversion = isSigned ? 'd' : 'u';
                    renderNumber(writer, spec, arg);
                } else {
                    renderNumber(writer, spec, arg);
                }
                break;
            }
            default:
                // Unknown, unfinished or dangerous (%n) conversions are shown as written and use no argument.
                writer.put(start, static_cast<size_t>(p - start));
                break;
        }
    }
    return writer.finish();
}

} // namespace tdx
