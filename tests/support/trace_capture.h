// The trace output of a test program caught in memory, so that tests can assert what was logged.
#pragma once

#include "Libraries/base/dbg.h"

#include <cstddef>
#include <string>

namespace tdx::test {

// Everything traced while a TraceCapture is alive; one buffer for the whole test program.
inline std::string& traceText() {
    static std::string captured;
    return captured;
}

// How many pieces reached the output while a TraceCapture was alive.
inline size_t& traceWrites() {
    static size_t writes = 0;
    return writes;
}

// How often `what` stands in `text`, occurrences not overlapping.
inline size_t countOf(const std::string& text, const std::string& what) {
    size_t n = 0;
    if (what.empty()) {
        return n;
    }
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) {
        ++n;
    }
    return n;
}

// Captures the trace output while alive, starting from an empty buffer.
class TraceCapture {
public:
    TraceCapture() {
        clear();
        dbg_set_output([](const char* data, size_t length) {
            traceText().append(data, length);
            ++traceWrites();
        });
    }
    ~TraceCapture() { dbg_set_output(nullptr); }
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;

    const std::string& str() const { return traceText(); }
    bool contains(const std::string& part) const { return traceText().find(part) != std::string::npos; }
    size_t count(const std::string& part) const { return countOf(traceText(), part); }
    // The pieces written: each trace call should reach the output in one.
    size_t writes() const { return traceWrites(); }
    void clear() {
        traceText().clear();
        traceWrites() = 0;
    }
};

} // namespace tdx::test
