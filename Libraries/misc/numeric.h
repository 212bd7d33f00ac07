// Small integer helpers used everywhere.
#pragma once

namespace tdx {

// The smaller of a and b; a when they are equal.
constexpr int Min(int a, int b) {
    return b < a ? b : a;
}

// The larger of a and b; a when they are equal.
constexpr int Max(int a, int b) {
    return b > a ? b : a;
}

// value limited to [low, high]; the upper bound is tested first, so with low > high a value above high gives
// high and any other low.
constexpr int Clamp(int value, int low, int high) {
    if (value > high) {
        return high;
    }
    if (value < low) {
        return low;
    }
    return value;
}

} // namespace tdx
