// The services the embedded code expects of its platform. Declared here, at the bottom of the tree, so that
// every layer can call them; the platform port (SourceHost/api_lib) defines them.
#pragma once

#include <cstdint>
#include <ctime>

namespace tdx {

// Start-up and system.
void os_init();
// Restarts the application (from os_init and its start-up) through the hook the host installs; without a
// host nothing happens.
void os_restart();
using os_restart_hook = void (*)();
void os_set_restart_hook(os_restart_hook hook);
void os_enter_critical();
void os_exit_critical();

[[noreturn]] void os_assert_show(const char* expression, const char* function, const char* path, int line);
[[noreturn]] void os_assert_show_msg(const char* expression, const char* message, const char* function,
                                     const char* path, int line);

// Clocks. os_clock() and timer() advance only through timer0_isr() (+62 ms per host tick).
uint64_t os_clock();
uint64_t timer();
uint32_t timer_us();
void timer_init();
// The host's 62 ms tick: advances both clocks and calls the tick hook (the GUI core's tick count and flag).
// Takes no lock: it runs on the host's timer thread.
void timer0_isr();
using os_tick_hook = void (*)();
void os_set_tick_hook(os_tick_hook hook);
inline constexpr uint64_t OS_TICK_MS = 62;

// The main loop's rest while it has nothing to do. os_wake() (any thread: the tick, the host's input) ends
// the current or the next os_idle_wait() at once. os_idle_wait() sleeps until a wake, until one of the
// `count` descriptors in `fds` has bytes to read (the serial ports), or until `max_ms` have passed.
void os_wake();
void os_idle_wait(uint32_t max_ms, const int* fds, int count);

// Wall clock in whole Unix seconds; kept 64-bit so that it does not end in 2038.
int64_t os_time();
void os_time_set(uint32_t utc);
void os_time_tm(struct tm* out);

// Event bits, guarded by the critical section.
void os_event_set(uint32_t mask);
void os_event_clear(uint32_t mask);
uint32_t os_event_get();
uint32_t os_event_take(uint32_t mask);

// Test hooks: advance the millisecond clocks without sleeping; make assertions throw instead of aborting.
void os_clock_advance(uint64_t ms);
struct AssertionFailure {
    const char* expression;
    const char* message;
    const char* function;
    const char* path;
    int line;
};
using os_assert_handler = void (*)(const AssertionFailure&);
// Called before the program ends; a handler that throws keeps the program alive (tests only).
void os_set_assert_handler(os_assert_handler handler);
// Replaces the host's wall clock under os_time() (null: the host's again); os_time_set() moves it as usual.
using os_wall_clock = int64_t (*)();
void os_set_wall_clock(os_wall_clock clock);

} // namespace tdx

#define OS_ASSERT(expression)                                                                                \
    ((expression) ? static_cast<void>(0) : ::tdx::os_assert_show(#expression, __func__, __FILE__, __LINE__))
#define OS_ASSERT_MSG(expression, message)                                                                   \
    ((expression) ? static_cast<void>(0)                                                                     \
                  : ::tdx::os_assert_show_msg(#expression, message, __func__, __FILE__, __LINE__))
