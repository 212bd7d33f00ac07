// Software watchdog: each channel, once fed for the first time, must be fed again within WD_TIMEOUT_MS.
// Channel 0 is the GUI core's main loop.
#pragma once

#include <cstdint>

#include "Libraries/base/limits.h"

namespace tdx {

inline constexpr uint64_t WD_TIMEOUT_MS = 10000;

// Marks the channel alive at the present os_clock(); the first feed puts the channel under supervision.
// Asserts channel < WD_CFG_CHANNEL_COUNT.
void wd_feed(unsigned int channel);

// For every supervised channel not fed for WD_TIMEOUT_MS: traces "WATCHDOG <channel>" and calls
// os_restart(). The channel then leaves supervision until it is fed again, as after a real restart (the
// desktop's os_restart() returns).
void wd_check();

} // namespace tdx
