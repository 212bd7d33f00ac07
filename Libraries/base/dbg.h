// Trace output. dbg_printf_h writes one whole line, "%06u " stamped with os_clock() milliseconds and ended by
// a newline; dbg_printf writes its text as it is. Both format through fmt_to (see fmt.h). Each call reaches
// the output in one piece.
// The output is stderr until dbg_set_output installs another sink (diagnostics, tests).
#pragma once

#include "Libraries/base/fmt.h"

#include <cstddef>

namespace tdx {

using dbg_output_fn = void (*)(const char* text, size_t length);

// Installs the sink that receives every trace text; nullptr restores stderr.
void dbg_set_output(dbg_output_fn output);
// Silences (false) or resumes (true, the default) all trace output.
void dbg_set_enabled(bool enabled);
bool dbg_is_enabled();

// Hands length bytes of text to the sink, when enabled.
void dbg_write(const char* text, size_t length);
// Writes the stamp "%06u ", the text and one newline in one piece (a line end of the text's own is dropped).
void dbg_write_line(const char* text, size_t length);

template <class... A>
void dbg_printf(const char* format, const A&... args) {
    if (!dbg_is_enabled()) {
        return;
    }
    char buffer[FMT_MAX_LENGTH + 1];
    dbg_write(buffer, fmt_to(buffer, sizeof buffer, format, args...));
}

template <class... A>
void dbg_printf_h(const char* format, const A&... args) {
    if (!dbg_is_enabled()) {
        return;
    }
    char buffer[FMT_MAX_LENGTH + 1];
    dbg_write_line(buffer, fmt_to(buffer, sizeof buffer, format, args...));
}

} // namespace tdx
