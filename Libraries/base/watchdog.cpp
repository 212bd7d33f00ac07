#include "Libraries/base/watchdog.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/os.h"

#include <atomic>

namespace tdx {

namespace {

// Per channel: 0 while not supervised, else os_clock() of the last feed plus one (os_clock() starts at 0).
// One word per channel, so that feeding from another thread than the checking one needs no lock.
std::atomic<uint64_t> sFedAt[WD_CFG_CHANNEL_COUNT];

} // namespace

void wd_feed(unsigned int channel) {
    OS_ASSERT_MSG(channel < WD_CFG_CHANNEL_COUNT, "watchdog channel out of range");
    sFedAt[channel].store(os_clock() + 1, std::memory_order_relaxed);
}

void wd_check() {
    const uint64_t now = os_clock();
    for (unsigned int channel = 0; channel < WD_CFG_CHANNEL_COUNT; ++channel) {
        uint64_t fedAt = sFedAt[channel].load(std::memory_order_relaxed);
        if (fedAt == 0) {
            continue;
        }
        const uint64_t lastFeed = fedAt - 1;
        if (now < lastFeed || now - lastFeed < WD_TIMEOUT_MS) {
            continue;
        }
        // A feed that lands between the load and here wins: the channel stays supervised and alive.
        if (sFedAt[channel].compare_exchange_strong(fedAt, 0, std::memory_order_relaxed)) {
            dbg_printf_h("WATCHDOG %u", channel);
            os_restart();
        }
    }
}

} // namespace tdx
