#include "Libraries/base/ctimer.h"

#include "Libraries/base/os.h"

namespace tdx {

void ct_timeout_set(ctimer_t* timer, unsigned int ms, unsigned int /*flags*/) {
    OS_ASSERT(timer != nullptr);
    timer->start = tdx::timer();
    timer->timeout = (ms > 0 && ms < CT_MIN_TIMEOUT_MS) ? CT_MIN_TIMEOUT_MS : ms;
}

int ct_timed_out(ctimer_t* timer) {
    OS_ASSERT(timer != nullptr);
    const uint64_t now = tdx::timer();
    if (now - timer->start < timer->timeout) {
        return 0;
    }
    timer->start = now;
    return 1;
}

} // namespace tdx
