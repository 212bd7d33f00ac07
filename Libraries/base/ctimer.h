// Plain millisecond timeouts for the C-style modules: set once, then polled; each expiry restarts the period.
#pragma once

#include <cstdint>

namespace tdx {

struct ctimer_t {
    uint64_t start;   // platform clock (timer()) at the start of the period
    uint32_t timeout; // milliseconds
};

// Shorter timeouts than one host tick cannot be told apart from 0 on the 62 ms clock.
inline constexpr uint32_t CT_MIN_TIMEOUT_MS = 62;

// Starts a timeout of `ms` from now; 1..61 ms are raised to 62 ms, 0 stays 0 (elapsed at once). `flags` is
// reserved: pass 0.
void ct_timeout_set(ctimer_t* timer, unsigned int ms, unsigned int flags);

// Non-zero when the timeout has elapsed; the period then restarts from now. 0 otherwise.
int ct_timed_out(ctimer_t* timer);

} // namespace tdx
