// Clocks, the process-wide critical section, event bits, fatal assertions and restart of the desktop port:
// the services base calls, on the standard library alone.
#include "Libraries/base/os.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <thread>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace tdx {

namespace {

constexpr uint64_t TIMER_START = 0x8000000000000000ULL;

std::atomic<uint64_t> sClockMs{0};
std::atomic<uint64_t> sTimerMs{TIMER_START};
std::atomic<os_tick_hook> sTickHook{nullptr};
std::atomic<int64_t> sTimeDifference{0};
std::atomic<os_wall_clock> sWallClock{nullptr};

std::recursive_mutex& criticalSection() {
    static std::recursive_mutex mutex;
    return mutex;
}
// The calling thread's depth in the critical section: an exit without a matching enter would unlock a mutex
// the thread does not hold, which is undefined; it is caught here instead.
thread_local int tCriticalNesting = 0;
uint32_t sEventBits = 0;

std::atomic<os_assert_handler> sAssertHandler{nullptr};

[[noreturn]] void assertionFailed(const AssertionFailure& failure) {
    if (os_assert_handler handler = sAssertHandler.load()) {
        handler(failure);
    }
    std::fprintf(stderr, "---- ASSERTION FAILED ----\n");
    std::fprintf(stderr, "Expression: %s\n", failure.expression ? failure.expression : "");
    if (failure.message) {
        std::fprintf(stderr, "Message: %s\n", failure.message);
    }
    std::fprintf(stderr, "Function: %s\n", failure.function ? failure.function : "");
    std::fprintf(stderr, "File: %s\n", failure.path ? failure.path : "");
    std::fprintf(stderr, "Line: %d\n", failure.line);
    std::fflush(stderr);
    std::abort();
}

// The wake-up of os_idle_wait: an event counter that poll() watches with the ports.
int wakeDescriptor() {
    static const int descriptor = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    return descriptor;
}

int64_t hostTime() {
    if (os_wall_clock clock = sWallClock.load(std::memory_order_acquire)) {
        return clock();
    }
    return static_cast<int64_t>(std::time(nullptr));
}

} // namespace

void os_enter_critical() {
    criticalSection().lock();
    ++tCriticalNesting;
}

void os_exit_critical() {
    OS_ASSERT_MSG(tCriticalNesting > 0, "os_exit_critical without os_enter_critical");
    --tCriticalNesting;
    criticalSection().unlock();
}

void os_assert_show(const char* expression, const char* function, const char* path, int line) {
    assertionFailed({expression, nullptr, function, path, line});
}

void os_assert_show_msg(const char* expression, const char* message, const char* function, const char* path,
                        int line) {
    assertionFailed({expression, message, function, path, line});
}

void os_set_assert_handler(os_assert_handler handler) {
    sAssertHandler.store(handler);
}

uint64_t os_clock() {
    return sClockMs.load(std::memory_order_relaxed);
}

uint64_t timer() {
    return sTimerMs.load(std::memory_order_relaxed);
}

void timer_init() {
    sTimerMs.store(TIMER_START);
}

uint32_t timer_us() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000000u +
                                 static_cast<uint64_t>(now.tv_nsec) / 1000u);
}

void os_clock_advance(uint64_t ms) {
    sClockMs.fetch_add(ms, std::memory_order_relaxed);
    sTimerMs.fetch_add(ms, std::memory_order_relaxed);
}

void timer0_isr() {
    os_clock_advance(OS_TICK_MS);
    if (os_tick_hook hook = sTickHook.load(std::memory_order_acquire)) {
        hook();
    }
    // The loop resting in os_idle_wait has a timer message to send.
    os_wake();
}

void os_set_tick_hook(os_tick_hook hook) {
    sTickHook.store(hook, std::memory_order_release);
}

void os_wake() {
    const int descriptor = wakeDescriptor();
    if (descriptor >= 0) {
        const uint64_t one = 1;
        // A full counter (never in practice) still wakes: nothing is lost by a failed write.
        [[maybe_unused]] const ssize_t written = ::write(descriptor, &one, sizeof one);
    }
}

void os_idle_wait(uint32_t max_ms, const int* fds, int count) {
    constexpr int MAX_WATCHED = 8;
    const int descriptor = wakeDescriptor();
    if (descriptor < 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return;
    }
    pollfd watched[1 + MAX_WATCHED];
    int n = 0;
    watched[n++] = {descriptor, POLLIN, 0};
    for (int i = 0; fds != nullptr && i < count && n < 1 + MAX_WATCHED; ++i) {
        if (fds[i] >= 0) {
            watched[n++] = {fds[i], POLLIN, 0};
        }
    }
    if (::poll(watched, static_cast<nfds_t>(n), static_cast<int>(max_ms)) <= 0) {
        return;
    }
    if (watched[0].revents & POLLIN) {
        uint64_t wakes = 0;
        [[maybe_unused]] const ssize_t read = ::read(descriptor, &wakes, sizeof wakes);
    }
}

int64_t os_time() {
    return hostTime() + sTimeDifference.load(std::memory_order_relaxed);
}

void os_set_wall_clock(os_wall_clock clock) {
    sWallClock.store(clock, std::memory_order_release);
}

void os_time_set(uint32_t utc) {
    sTimeDifference.store(static_cast<int64_t>(utc) - hostTime(), std::memory_order_relaxed);
}

void os_event_set(uint32_t mask) {
    os_enter_critical();
    sEventBits |= mask;
    os_exit_critical();
}

void os_event_clear(uint32_t mask) {
    os_enter_critical();
    sEventBits &= ~mask;
    os_exit_critical();
}

uint32_t os_event_get() {
    os_enter_critical();
    uint32_t bits = sEventBits;
    os_exit_critical();
    return bits;
}

namespace {
std::atomic<os_restart_hook> sRestartHook{nullptr};
} // namespace

void os_restart() {
    if (os_restart_hook hook = sRestartHook.load()) {
        hook();
    }
}

void os_set_restart_hook(os_restart_hook hook) {
    sRestartHook.store(hook);
}

uint32_t os_event_take(uint32_t mask) {
    os_enter_critical();
    uint32_t taken = sEventBits & mask;
    sEventBits &= ~mask;
    os_exit_critical();
    return taken;
}

} // namespace tdx
