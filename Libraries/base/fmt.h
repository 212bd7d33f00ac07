// printf-style formatting over our own engine, type-safe: the kind of every argument comes from its C++ type,
// never from the format text. Translated texts are used as formats, so a format may ask for more or other
// arguments than the caller passed; that renders safely and never reads memory that was not passed.
//
// Conversions: %s %d %i %u %x %X %c %%, flags '-' '0' '+' ' ' '#', a decimal width and a precision.
// The argument's own type decides its size, with printf's promotions (types narrower than int are int; 32-bit
// values render as 32-bit, 64-bit as 64-bit); l ll z j t are accepted for it. h and hh cut the number to 16
// and 8 bits as printf does ("%hhu" of 300 is "44").
// "%n$" takes argument n (from 1), so that a translation may reorder the arguments; a conversion without it
// takes the argument after the last one taken without it.
// Precision on %s reads at most that many bytes, so "%.5s" of an unterminated 5-byte buffer is safe.
//
// Defined results where printf has none:
// - a conversion without an argument left, or "%n$" past the last argument, renders nothing (extra arguments
//   are ignored);
// - a text passed to a number conversion (%d %u %x %X %c) renders the text, with width and precision;
// - a number passed to %s renders in decimal, with width;
// - a null text renders "(null)"; %c of 0 renders nothing (no NUL inside a string);
// - an unknown conversion (%f, %n, %p, ...) is copied verbatim and uses no argument; a lone '%' at the end
//   renders '%';
// - a null format renders an empty text.
// Text arguments: const char* (NUL-terminated), char arrays (read at most their size), std::string,
// std::string_view; plain and unsigned char pointers alike. Other types do not compile.
#pragma once

#include "Libraries/base/i18n.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

namespace tdx {

// Longest text that fmt() returns.
inline constexpr size_t FMT_MAX_LENGTH = 511;

// A text argument: it ends after size bytes or at its first NUL, whichever comes first; null data renders
// "(null)".
struct FmtText {
    const char* data;
    size_t size;
};

// One argument as the engine sees it.
struct FmtArg {
    enum class Kind : uint8_t { Int32, UInt32, Int64, UInt64, Text };
    Kind kind;
    union {
        int64_t i;
        uint64_t u;
        FmtText text;
    };
};

// The engine: writes at most size - 1 characters and a terminating NUL into out (nothing when size is 0) and
// returns the number of characters written, NUL not counted. Output beyond the buffer is cut off.
size_t fmt_format(char* out, size_t size, const char* format, const FmtArg* args, size_t count);

namespace fmt_detail {

template <class T>
inline constexpr bool isCharType = std::is_same_v<T, char> || std::is_same_v<T, signed char> ||
                                   std::is_same_v<T, unsigned char> || std::is_same_v<T, char8_t>;

template <class T>
inline constexpr bool unsupported = false;

inline FmtArg text(const void* data, size_t size) {
    FmtArg arg{FmtArg::Kind::Text, {}};
    arg.text.data = static_cast<const char*>(data);
    arg.text.size = size;
    return arg;
}

template <class T>
FmtArg toArg(const T& value) {
    using V = std::remove_cv_t<T>;
    if constexpr (std::is_enum_v<V>) {
        return toArg(static_cast<std::underlying_type_t<V>>(value));
    } else if constexpr (std::is_integral_v<V>) {
        static_assert(sizeof(V) <= sizeof(uint64_t), "fmt: integer wider than 64 bits");
        FmtArg arg{};
        if constexpr (sizeof(V) < sizeof(int32_t) || std::is_same_v<V, bool>) {
            arg.kind = FmtArg::Kind::Int32;
            arg.i = static_cast<int32_t>(value);
        } else if constexpr (sizeof(V) == sizeof(int32_t)) {
            arg.kind = std::is_signed_v<V> ? FmtArg::Kind::Int32 : FmtArg::Kind::UInt32;
            if constexpr (std::is_signed_v<V>) {
                arg.i = static_cast<int64_t>(value);
            } else {
                arg.u = static_cast<uint64_t>(value);
            }
        } else {
            arg.kind = std::is_signed_v<V> ? FmtArg::Kind::Int64 : FmtArg::Kind::UInt64;
            if constexpr (std::is_signed_v<V>) {
                arg.i = static_cast<int64_t>(value);
            } else {
                arg.u = static_cast<uint64_t>(value);
            }
        }
        return arg;
    } else if constexpr (std::is_array_v<V> && std::rank_v<V> == 1 &&
                         isCharType<std::remove_cv_t<std::remove_extent_t<V>>>) {
        return text(value, std::extent_v<V>);
    } else if constexpr (std::is_pointer_v<V> && isCharType<std::remove_cv_t<std::remove_pointer_t<V>>>) {
        return text(value, SIZE_MAX);
    } else if constexpr (std::is_same_v<V, std::nullptr_t>) {
        return text(nullptr, 0);
    } else if constexpr (std::is_same_v<V, std::string> || std::is_same_v<V, std::string_view>) {
        return text(value.data(), value.size());
    } else {
        static_assert(unsupported<V>, "fmt: argument type has no printf conversion");
        return {};
    }
}

} // namespace fmt_detail

// Formats into a caller buffer without allocating; same result as fmt_format.
template <class... A>
size_t fmt_to(char* out, size_t size, const char* format, const A&... args) {
    if constexpr (sizeof...(A) == 0) {
        return fmt_format(out, size, format, nullptr, 0);
    } else {
        const FmtArg list[] = {fmt_detail::toArg(args)...};
        return fmt_format(out, size, format, list, sizeof...(A));
    }
}

// Formats into a new string of at most FMT_MAX_LENGTH characters.
template <class... A>
std::string fmt(const char* format, const A&... args) {
    char buffer[FMT_MAX_LENGTH + 1];
    const size_t length = fmt_to(buffer, sizeof buffer, format, args...);
    return std::string(buffer, length);
}

// Whether a translation asks for the arguments that its English text asks for: every argument number taken by
// a conversion of the same kind (text %s, number %d %i %u %x %X, character %c), in whatever order "%n$"
// puts them. Flags, widths and precisions may differ; a conversion the engine does not know (%n, %p, %f, ...)
// matches only the same one in the same place.
bool fmt_conversions_match(const char* english, const char* translation);

// The translation when its conversions match those of the English text, else the English text (with a trace
// line naming it): a catalogue cannot make a format that takes other arguments than the caller passes.
const char* fmt_checked(const char* english, const char* translation);

// fmt(gettext(msgid), args...) with the translation checked: the one way to format a translated text.
template <class... A>
std::string fmt_gettext(const char* msgid, const A&... args) {
    return fmt(fmt_checked(msgid, gettext(msgid)), args...);
}

// As fmt_gettext, for a text translated in a context.
template <class... A>
std::string fmt_pgettext(const char* context, const char* msgid, const A&... args) {
    return fmt(fmt_checked(msgid, pgettext(context, msgid)), args...);
}

} // namespace tdx
