// Touch calibration and the touch drawing test, with taps given as the panel reads them.
#include "Libraries/base/os.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/forms/start/FormTouchCalibration.h"
#include "SourceApp/system/config.h"
#include "tests/SourceApp/application/forms/forms_fixture.h"

#include <functional>

namespace tdx::test {
namespace {

constexpr unsigned SPLASH = 2;
constexpr unsigned CALIBRATION = 3;
constexpr unsigned DISPLAY = 12;
constexpr unsigned TOUCH_DRAW = 72;
const char* const TRY_AGAIN = "It seems the calibration is off, try it again.";

using Targets = decltype(FormTouchCalibration::TARGETS);
constexpr Targets TARGETS = FormTouchCalibration::TARGETS;

// A panel: the raw reading of a screen point.
struct Panel {
    std::function<int(int)> x;
    std::function<int(int)> y;
};

class CalibrationTest : public FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        openCalibration();
    }
    // Opened from the splash screen, as at a start.
    void openCalibration() {
        open(SPLASH);
        open(CALIBRATION);
    }
    // A tap the panel reads at (rawX, rawY); the calibrated position does not matter.
    void tapRaw(int rawX, int rawY) {
        mCore.sendEvent(EVENT_TOUCH_PRESS, 5, 5, rawX, rawY);
        mCore.sendEvent(EVENT_TOUCH_RELEASE, 5, 5, rawX, rawY);
        runTasks(2);
    }
    // Four taps on the targets, each moved by (dx, dy) on the screen.
    void tapTargets(const Panel& panel, int dx = 0, int dy = 0) {
        for (const auto& t : TARGETS) {
            tapRaw(panel.x(t.x + dx), panel.y(t.y + dy));
        }
    }
    std::string instruction() const {
        return find<ContainedLabel>([](const ContainedLabel& l) { return l.getTop() == 105; })->getText();
    }
};

TEST_F(CalibrationTest, PerfectAndSyntheticPanelsAreCalibratedStoredAndLeadBack) {
    const struct {
        const char* name;
        Panel panel;
        float scaleX, offsetX, scaleY, offsetY;
    } panels[] = {
        {"perfect", {[](int x) { return x; }, [](int y) { return y; }}, 1.0f, 0.0f, 1.0f, 0.0f},
        // Three raw steps a pixel across, and the y axis upside down.
        {"synthetic",
         {[](int x) { return 3 * x + 200; }, [](int y) { return 1000 - 2 * y; }},
         1.0f / 3,
         -200.0f / 3,
         -0.5f,
         500.0f},
    };
    for (const auto& p : panels) {
        openCalibration();
        const int stores = configStores();
        tapTargets(p.panel);
        EXPECT_EQ(instruction(), "Now we will check the calibration.") << p.name;
        tapTargets(p.panel);
        EXPECT_EQ(state().getStateId(), SPLASH) << p.name;
        EXPECT_EQ(configStores(), stores + 1) << p.name;
        EXPECT_NEAR(Configuration.touch_scale_x, p.scaleX, 1e-4) << p.name;
        EXPECT_NEAR(Configuration.touch_offset_x, p.offsetX, 1e-2) << p.name;
        EXPECT_NEAR(Configuration.touch_scale_y, p.scaleY, 1e-4) << p.name;
        EXPECT_NEAR(Configuration.touch_offset_y, p.offsetY, 1e-2) << p.name;
    }
}

TEST_F(CalibrationTest, CheckTapsCountOnlyInsideTheSquareAndAFailureKeepsTheOldCalibration) {
    const Panel perfect{[](int x) { return x; }, [](int y) { return y; }};
    const struct {
        int dx;
        int dy;
        bool passes;
    } taps[] = {{6, 0, true}, {7, 0, false}, {-8, 0, true}, {-9, 0, false},
                {0, 6, true}, {0, 7, false}, {0, -8, true}, {0, -9, false}};
    for (const auto& t : taps) {
        openCalibration();
        Configuration.touch_offset_x = 1.0f; // the calibration in force
        config_apply();
        const int stores = configStores();
        tapTargets(perfect);
        tapTargets(perfect, t.dx, t.dy);
        EXPECT_EQ(state().getStateId(), t.passes ? SPLASH : CALIBRATION) << t.dx << "," << t.dy;
        EXPECT_EQ(configStores(), stores + (t.passes ? 1 : 0)) << t.dx << "," << t.dy;
        if (!t.passes) {
            EXPECT_EQ(instruction(), TRY_AGAIN);
            EXPECT_EQ(Configuration.touch_offset_x, 1.0f);
        }
    }
}

TEST_F(CalibrationTest, DegenerateTapsAskAgainAndARawZeroIsAReadingLikeAnyOther) {
    const int stores = configStores();
    for (int i = 0; i < 4; ++i) {
        tapRaw(500, 500);
    }
    EXPECT_EQ(instruction(), TRY_AGAIN);
    EXPECT_TRUE(shows(Box(0, 215, 160, 25), colour::TEXT)) << "calibration again";
    // Readings from 0 up: the first target reads 0, 0.
    const Panel shifted{[](int x) { return x - 64; }, [](int y) { return y - 64; }};
    tapTargets(shifted);
    tapTargets(shifted);
    EXPECT_EQ(state().getStateId(), SPLASH);
    EXPECT_EQ(configStores(), stores + 1);
    EXPECT_NEAR(Configuration.touch_offset_x, 64.0f, 1e-3);
}

TEST_F(CalibrationTest, TheCrossMovesFromTargetToTargetWithAGreyDotWhileChecking) {
    EXPECT_EQ(pixel(63, 63), colour::TEXT);
    EXPECT_EQ(pixel(63 + 5, 63 + 5), colour::WHITE);
    tapRaw(63, 63);
    EXPECT_EQ(pixel(63, 63), colour::WHITE);
    EXPECT_EQ(pixel(255, 63), colour::TEXT);
    tapRaw(255, 63);
    tapRaw(255, 175);
    tapRaw(63, 175);
    EXPECT_EQ(pixel(63, 63), colour::TEXT);
    EXPECT_EQ(pixel(63 + 5, 63 + 5), colour::CONTROL);
    screenshot("FormTouchCalibration");
}

TEST_F(FormsTest, TouchDrawCrossFollowsTheFingerWithoutATrailAndBackReturns) {
    os_init();
    open(DISPLAY);
    open(TOUCH_DRAW);
    EXPECT_EQ(screen()->getName(), "FormTouchDraw");
    press(100, 100);
    EXPECT_EQ(pixel(100, 100), colour::TEXT);
    EXPECT_EQ(pixel(85, 100), colour::TEXT);
    EXPECT_EQ(pixel(100, 115), colour::TEXT);
    move(200, 150);
    EXPECT_EQ(pixel(100, 100), colour::WHITE) << "no trail";
    EXPECT_EQ(pixel(200, 150), colour::TEXT);
    release();
    EXPECT_EQ(pixel(200, 150), colour::WHITE);
    EXPECT_TRUE(shows(Box(0, 0, 30, 20), colour::CONTROL)) << "the back button stays";
    screenshot("FormTouchDraw");
    tap(15, 10);
    EXPECT_EQ(state().getStateId(), DISPLAY);
}

} // namespace
} // namespace tdx::test
