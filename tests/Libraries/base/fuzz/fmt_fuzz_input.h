// One run of the printf engine on bytes chosen by a fuzzer: the leading bytes describe the arguments, the
// rest is the format. Shared by the fuzz target and by the test that replays its corpus.
#pragma once

#include "Libraries/base/fmt.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace tdx::fuzz {

// Returns false when the engine broke one of its promises; memory errors are left to the sanitizers, which
// see every text argument in a heap block of exactly its own size.
inline bool formatOnce(const uint8_t* data, size_t size) {
    size_t at = 0;
    auto take = [&]() -> uint8_t { return at < size ? data[at++] : 0; };

    std::vector<FmtArg> args;
    std::vector<std::unique_ptr<char[]>> texts;
    const unsigned count = take() % 9;
    for (unsigned i = 0; i < count; ++i) {
        const uint8_t kind = take() % 7;
        if (kind < 4) {
            uint64_t bits = 0;
            for (int b = 0; b < 8; ++b) {
                bits = bits << 8 | take();
            }
            FmtArg arg{static_cast<FmtArg::Kind>(kind), {}};
            arg.u = bits;
            args.push_back(arg);
        } else if (kind == 6) {
            args.push_back(fmt_detail::text(nullptr, 0));
        } else {
            // kind 4: a bounded text that need not be terminated; kind 5: a terminated one.
            const size_t length = take() % 40;
            const bool terminated = kind == 5;
            auto text = std::make_unique<char[]>(length + (terminated ? 1 : 0));
            for (size_t c = 0; c < length; ++c) {
                text[c] = static_cast<char>(take());
            }
            if (terminated) {
                text[length] = '\0';
            }
            args.push_back(fmt_detail::text(text.get(), terminated ? SIZE_MAX : length));
            texts.push_back(std::move(text));
        }
    }
    const size_t formatLength = at < size ? size - at : 0;
    auto format = std::make_unique<char[]>(formatLength + 1);
    if (formatLength > 0) {
        std::memcpy(format.get(), data + at, formatLength);
    }
    format[formatLength] = '\0';

    char full[FMT_MAX_LENGTH + 1];
    const size_t length = fmt_format(full, sizeof full, format.get(), args.data(), args.size());
    if (length > FMT_MAX_LENGTH || full[length] != '\0' || std::strlen(full) != length) {
        return false;
    }
    // A smaller buffer gets the same text, cut at its end.
    char small[17];
    const size_t cut = fmt_format(small, sizeof small, format.get(), args.data(), args.size());
    const size_t expected = length < sizeof small - 1 ? length : sizeof small - 1;
    return cut == expected && std::memcmp(small, full, cut) == 0 && small[cut] == '\0';
}

} // namespace tdx::fuzz
