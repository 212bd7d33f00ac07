#include "SourceApp/system/calibration.h"

#include "SourceHost/config/config_store.h"
#include "support/trace_capture.h"

#include <gtest/gtest.h>

#include <climits>
#include <limits>

namespace tdx {
namespace {

TEST(Calibration, TheLineRunsThroughBothMeasuredPoints) {
    struct Case {
        calibration_input input;
        float scale;
        float offset;
    };
    const Case cases[] = {
        {{100, 900, 64, 256}, 0.24f, 40.0f},
        {{900, 100, 256, 64}, 0.24f, 40.0f},           // the points in the other order
        {{0, 1000, 10, 310}, 0.3f, 10.0f},             // a raw 0 is a real position
        {{3800, 200, 20, 220}, -0.0555556f, 231.111f}, // a panel wired the other way round
    };
    for (const Case& c : cases) {
        calibration_result result{};
        EXPECT_TRUE(calibration_calculate(&c.input, &result));
        EXPECT_NEAR(result.scale, c.scale, 1e-6) << c.input.m1 << ", " << c.input.m2;
        EXPECT_NEAR(result.offset, c.offset, 1e-3) << c.input.m1 << ", " << c.input.m2;
    }
}

TEST(Calibration, TwoPointsMeasuredAtOnePositionAreRejectedAndTheOldResultStays) {
    test::TraceCapture trace;
    for (const calibration_input input :
         {calibration_input{500, 500, 20, 300}, calibration_input{0, 0, 20, 300}}) {
        calibration_result result{1.5f, -2.0f};
        EXPECT_FALSE(calibration_calculate(&input, &result));
        EXPECT_EQ(result.scale, 1.5f);
        EXPECT_EQ(result.offset, -2.0f);
    }
    EXPECT_EQ(trace.count("CALIBRATION rejected"), 2u);
}

TEST(Calibration, ATouchIsRoundedToTheNearestPixelTruncatingTowardZeroAndClamped) {
    const configuration_t saved = Configuration;
    constexpr float NaN = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        float scale, offset;
        int raw, pixel;
    };
    const Case cases[] = {
        {1.0f, 1.0f, 10, 11},                            // the default record shifts by a pixel
        {0.24f, 40.0f, 900, 256}, {1.0f, -10.7f, 10, 0}, // -0.7 + 0.5 truncates to 0
        {1.0f, -11.7f, 10, -1},   {1e30f, 0.0f, 5, INT_MAX}, {1e30f, 0.0f, -5, INT_MIN}, {NaN, 0.0f, 5, 0},
    };
    for (const Case& c : cases) {
        // The y axis has its own coefficients: here the identity.
        Configuration.touch_scale_x = c.scale;
        Configuration.touch_offset_x = c.offset;
        Configuration.touch_scale_y = 1.0f;
        Configuration.touch_offset_y = 0.0f;
        int x = c.raw;
        int y = 77;
        calibration_apply(&x, &y);
        EXPECT_EQ(x, c.pixel) << c.scale << " * " << c.raw << " + " << c.offset;
        EXPECT_EQ(y, 77);
    }
    Configuration.touch_scale_y = 2.0f;
    int x = 3, y = 100;
    calibration_apply(&x, &y);
    EXPECT_EQ(y, 200);
    Configuration = saved;
}

} // namespace
} // namespace tdx
