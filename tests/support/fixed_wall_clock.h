// The display's wall clock held at one moment while an object of this class lives, the clock as it was given
// back afterwards. The display stamps its values with the wall clock and the stamps travel in its frames: the
// bytes of a frame, and so its length on a paced line and what seeded noise makes of it, follow the clock. A
// test that times frames to the millisecond, or plays seeded noise, walks the same road on every run only on
// a clock of its own, whatever the host's clock says and whatever clock an earlier test set.
#pragma once

#include "Libraries/base/os.h"

#include <cstdint>

namespace tdx::test {

class FixedWallClock {
public:
    static constexpr int64_t MOMENT = 1796000000; // 2026-11-29

    FixedWallClock()
        : mBefore(os_time()) {
        os_set_wall_clock([] { return MOMENT; });
        os_time_set(static_cast<uint32_t>(MOMENT));
    }
    ~FixedWallClock() {
        os_set_wall_clock(nullptr);
        os_time_set(static_cast<uint32_t>(mBefore));
    }
    FixedWallClock(const FixedWallClock&) = delete;
    FixedWallClock& operator=(const FixedWallClock&) = delete;

private:
    int64_t mBefore;
};

} // namespace tdx::test
