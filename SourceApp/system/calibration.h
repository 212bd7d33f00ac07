// Touch calibration: one linear function per axis maps the panel's raw position to a screen pixel,
// pixel = raw * scale + offset. The calibration screen measures two points per axis and computes the line;
// the coefficients live in the configuration record, which the main loop applies to every touch.
#pragma once

#include <cstdint>

namespace tdx {

// One axis: the two measured raw positions and the screen positions they should have.
struct calibration_input {
    int32_t m1;
    int32_t m2;
    int32_t t1;
    int32_t t2;
};

struct calibration_result {
    float scale;
    float offset;
};

// The line through (m1, t1) and (m2, t2). Two equal measured positions are rejected with a trace: false, and
// the result is left as it was (the old calibration stays).
bool calibration_calculate(const calibration_input* data, calibration_result* result);

// Maps a raw position in place with the configuration record's coefficients, rounding to the nearest pixel
// (x * scale + offset + 0.5, truncated toward zero). Results beyond the int range are clamped to it; a
// coefficient that is not a number maps to 0.
void calibration_apply(int* x, int* y);

// One axis mapped as calibration_apply maps it, with the given coefficients.
int calibration_map(int raw, float scale, float offset);

} // namespace tdx
