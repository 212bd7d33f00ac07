// Diagnostics for development and service: a 4096-byte buffer of diagnostic characters, optionally echoed on
// the diagnostics console; named timing and value statistics; and a memory and statistics page drawn on that
// console. Everything but diagnostics_putchar runs on the application thread.
#pragma once

#include "SourceApp/gui/console/console.h"

#include <cstdint>

namespace tdx {

inline constexpr uint32_t DIAGNOSTICS_BUFFER_SIZE = 4096;

// What the diagnostics console shows.
enum diagnostics_state : uint32_t {
    DIAGNOSTICS_PAGE = 0, // the memory and statistics page
    DIAGNOSTICS_ECHO = 1, // every diagnostic character as it is put
    // other values: neither
};

struct diagnostics_t {
    uint32_t state;
    uint32_t stack_used;
    uint32_t heap_used;
    uint32_t stack_size;
    uint32_t heap_size;
};

extern diagnostics_t Diagnostics;

// The full-screen text console the diagnostics write on; whoever shows it draws it (console_draw).
console_t& diagnostics_console();

// Empties the character buffer and sets the console to the whole screen.
void diagnostics_init();
// Appends a character (dropped when the buffer is full); safe from any thread.
void diagnostics_putchar(char c);
// Takes the oldest character: 0, or -1 when the buffer is empty.
int diagnostics_getchar(char* c);

// Asks the platform for the four memory figures.
void diagnostics_memory_usage();

uint32_t diagnostics_get_state();
// A new state clears the console; the page state draws the page.
void diagnostics_set_state(uint32_t state);

// Statistics are told apart by the address of their name, not by its text: name each with one constant.
// A timing statistic keeps the last ten measured times in microseconds and the largest.
void diagnostics_begin_measure(const char* name);
// The measure must have begun (fatal assertion otherwise).
void diagnostics_end_measure(const char* name);
// A value statistic keeps the current value and the largest.
void diagnostics_store_stat(const char* name, uint32_t value);

// Measures the time from its construction to its destruction.
class PerformanceTimer {
public:
    explicit PerformanceTimer(const char* name)
        : mName(name) {
        diagnostics_begin_measure(name);
    }
    ~PerformanceTimer() { diagnostics_end_measure(mName); }
    PerformanceTimer(const PerformanceTimer&) = delete;
    PerformanceTimer& operator=(const PerformanceTimer&) = delete;

private:
    const char* mName;
};

// In the page state: clears the console and writes the memory figures and one line per statistic.
void diagnostics_draw();

} // namespace tdx
