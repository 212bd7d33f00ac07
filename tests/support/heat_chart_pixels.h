// Where a 277 x 160 heat-curve chart at (9, 57), as the heat curve screen places it, draws a data point: its
// plot lies inside insets of 26 left, 6 top, 8 right and 14 bottom, outdoor 40 .. -20 degrees across and
// inlet 0 .. 80 degrees up (hundredths of a degree).
#pragma once

#include "SourceApp/gui/core/Component.h"

namespace tdx::test {

inline constexpr Box HEAT_PLOT = Box::fromCorners(9 + 26, 57 + 6, 9 + 276 - 8, 57 + 159 - 14);

inline Point heatPixel(int outdoor, int inlet) {
    const int w = HEAT_PLOT.getWidth() - 1, h = HEAT_PLOT.getHeight() - 1;
    return {HEAT_PLOT.x1 + static_cast<int>((outdoor - 4000LL) * w / -6000),
            HEAT_PLOT.y2 - static_cast<int>(inlet * 1LL * h / 8000)};
}

} // namespace tdx::test
