#include "SourceApp/system/calibration.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/os.h"
#include "SourceHost/config/config_store.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace tdx {

int calibration_map(int raw, float scale, float offset) {
    const double mapped = raw * static_cast<double>(scale) + static_cast<double>(offset) + 0.5;
    if (std::isnan(mapped)) {
        return 0;
    }
    // Clamped first: converting a value outside the int range is undefined.
    return static_cast<int>(std::clamp(mapped, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
}

bool calibration_calculate(const calibration_input* data, calibration_result* result) {
    OS_ASSERT(data);
    OS_ASSERT(result);
    if (data->m1 == data->m2) {
        dbg_printf_h("CALIBRATION rejected: both points measured at %d", data->m1);
        return false;
    }
    // The slope from both points directly, so that a raw position of 0 is as good as any other. From 32-bit
    // positions that differ, both coefficients are finite and well inside the float range.
    const double scale =
        (static_cast<double>(data->t2) - data->t1) / (static_cast<double>(data->m2) - data->m1);
    const double offset = data->t1 - scale * data->m1;
    result->scale = static_cast<float>(scale);
    result->offset = static_cast<float>(offset);
    return true;
}

void calibration_apply(int* x, int* y) {
    OS_ASSERT(x);
    OS_ASSERT(y);
    *x = calibration_map(*x, Configuration.touch_scale_x, Configuration.touch_offset_x);
    *y = calibration_map(*y, Configuration.touch_scale_y, Configuration.touch_offset_y);
}

} // namespace tdx
