// Trace output to a replaceable sink.
#include "Libraries/base/dbg.h"

#include "Libraries/base/os.h"

#include <atomic>
#include <cstdio>
#include <cstring>

namespace tdx {

namespace {

constinit std::atomic<dbg_output_fn> sOutput{nullptr};
constinit std::atomic<bool> sEnabled{true};

void writeStderr(const char* text, size_t length) {
    std::fwrite(text, 1, length, stderr);
}

} // namespace

void dbg_set_output(dbg_output_fn output) {
    sOutput.store(output, std::memory_order_release);
}

void dbg_set_enabled(bool enabled) {
    sEnabled.store(enabled, std::memory_order_relaxed);
}

bool dbg_is_enabled() {
    return sEnabled.load(std::memory_order_relaxed);
}

void dbg_write(const char* text, size_t length) {
    if (text == nullptr || length == 0 || !dbg_is_enabled()) {
        return;
    }
    const dbg_output_fn output = sOutput.load(std::memory_order_acquire);
    (output != nullptr ? output : writeStderr)(text, length);
}

void dbg_write_line(const char* text, size_t length) {
    // Room for the 64-bit clock in up to 20 digits, the blank, the longest formatted text and the newline.
    char line[32 + FMT_MAX_LENGTH];
    const size_t header = fmt_to(line, sizeof line, "%06u ", os_clock());
    const size_t room = sizeof line - header - 1;
    size_t n = text == nullptr ? 0 : (length < room ? length : room);
    if (n > 0) {
        std::memcpy(line + header, text, n);
    }
    // One line each, also where the text brought its own line end.
    while (n > 0 && (line[header + n - 1] == '\n' || line[header + n - 1] == '\r')) {
        --n;
    }
    line[header + n] = '\n';
    dbg_write(line, header + n + 1);
}

} // namespace tdx
