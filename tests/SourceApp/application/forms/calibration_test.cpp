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
const char* const TRY_AGAIN = "It seems the calibration is off, try it again.";

// The raw reading of a screen position on one axis.
using Axis = std::function<int(int)>;
const Axis PERFECT = [](int v) { return v; };

class CalibrationTest : public FormsTest {
protected:
    // From the splash screen, as at a start; then four taps on the targets and four to check, these moved by
    // (dx, dy) on the screen.
    void calibrate(const Axis& x, const Axis& y, int dx = 0, int dy = 0) {
        open(SPLASH);
        open(CALIBRATION);
        for (const int moved : {0, 1}) {
            for (const auto& t : FormTouchCalibration::TARGETS) {
                tapRaw(x(t.x + moved * dx), y(t.y + moved * dy));
            }
        }
    }
    void tapRaw(int rawX, int rawY) {
        mCore.sendEvent(EVENT_TOUCH_PRESS, 5, 5, rawX, rawY);
        mCore.sendEvent(EVENT_TOUCH_RELEASE, 5, 5, rawX, rawY);
        runTasks(2);
    }
    std::string instruction() const {
        return find<ContainedLabel>([](const ContainedLabel& l) { return l.getTop() == 105; })->getText();
    }
};

TEST_F(CalibrationTest, PerfectSyntheticAndZeroBasedPanelsAreCalibratedStoredAndLeadBack) {
    const struct {
        Axis x, y;
        float scaleX, offsetX, scaleY, offsetY;
    } panels[] = {
        {PERFECT, PERFECT, 1.0f, 0.0f, 1.0f, 0.0f},
        // Three raw steps a pixel across, and the y axis upside down.
        {[](int x) { return 3 * x + 200; }, [](int y) { return 1000 - 2 * y; }, 1.0f / 3, -200.0f / 3, -0.5f,
         500.0f},
        // The first target reads 0, as good a reading as any.
        {[](int x) { return x - 64; }, [](int y) { return y - 64; }, 1.0f, 64.0f, 1.0f, 64.0f},
    };
    for (const auto& p : panels) {
        const int stores = configStores();
        calibrate(p.x, p.y);
        EXPECT_EQ(state().getStateId(), SPLASH);
        EXPECT_EQ(configStores(), stores + 1);
        EXPECT_NEAR(Configuration.touch_scale_x, p.scaleX, 1e-4);
        EXPECT_NEAR(Configuration.touch_offset_x, p.offsetX, 1e-2);
        EXPECT_NEAR(Configuration.touch_scale_y, p.scaleY, 1e-4);
        EXPECT_NEAR(Configuration.touch_offset_y, p.offsetY, 1e-2);
    }
}

TEST_F(CalibrationTest, CheckTapsCountOnlyInsideTheSquareAndAFailureKeepsTheOldCalibration) {
    const struct {
        int dx;
        int dy;
        bool passes;
    } taps[] = {{6, 0, true}, {7, 0, false}, {-8, 0, true}, {-9, 0, false},
                {0, 6, true}, {0, 7, false}, {0, -8, true}, {0, -9, false}};
    for (const auto& t : taps) {
        Configuration.touch_offset_x = 1.0f; // the calibration in force
        config_apply();
        const int stores = configStores();
        calibrate(PERFECT, PERFECT, t.dx, t.dy);
        EXPECT_EQ(state().getStateId(), t.passes ? SPLASH : CALIBRATION) << t.dx << "," << t.dy;
        EXPECT_EQ(configStores(), stores + (t.passes ? 1 : 0)) << t.dx << "," << t.dy;
        EXPECT_EQ(Configuration.touch_offset_x, t.passes ? 0.0f : 1.0f);
        if (!t.passes) {
            EXPECT_EQ(instruction(), TRY_AGAIN);
        }
    }
}

TEST_F(CalibrationTest, TheCrossMovesOnWithAGreyDotWhileCheckingAndDegenerateTapsAskAgain) {
    open(CALIBRATION);
    EXPECT_EQ(pixel(63, 63), colour::TEXT);
    EXPECT_EQ(pixel(68, 68), colour::WHITE);
    tapRaw(63, 63);
    EXPECT_EQ(pixel(63, 63), colour::WHITE);
    EXPECT_EQ(pixel(255, 63), colour::TEXT);
    for (const auto& t : {FormTouchCalibration::TARGETS[1], FormTouchCalibration::TARGETS[2],
                          FormTouchCalibration::TARGETS[3]}) {
        tapRaw(t.x, t.y);
    }
    EXPECT_EQ(instruction(), "Now we will check the calibration.");
    EXPECT_EQ(pixel(68, 68), colour::CONTROL) << "the grey dot under the cross";
    screenshot("FormTouchCalibration");

    // Four taps on one point make no calibration: asked again, not checked.
    open(CALIBRATION);
    for (int i = 0; i < 4; ++i) {
        tapRaw(500, 500);
    }
    EXPECT_EQ(instruction(), TRY_AGAIN);
    EXPECT_EQ(pixel(68, 68), colour::WHITE);
}

TEST_F(FormsTest, TouchDrawCrossFollowsTheFingerWithoutATrailAndBackReturns) {
    os_init();
    open(12);
    open(72);
    press(100, 100);
    EXPECT_EQ(pixel(85, 100), colour::TEXT);
    EXPECT_EQ(pixel(100, 115), colour::TEXT);
    move(200, 150);
    EXPECT_EQ(pixel(85, 100), colour::WHITE) << "no trail";
    EXPECT_EQ(pixel(200, 150), colour::TEXT);
    release();
    EXPECT_EQ(pixel(200, 150), colour::WHITE);
    EXPECT_TRUE(shows(Box(0, 0, 30, 20), colour::CONTROL)) << "the back button stays";
    screenshot("FormTouchDraw");
    tap(15, 10);
    EXPECT_EQ(state().getStateId(), 12u);
}

TEST_F(FormsTest, TouchDrawBackButtonIsBlackWithAGreyArrowThatDarkensWhilePressed) {
    os_init();
    open(12);
    open(72);
    const Box button(0, 0, 30, 20);
    const struct {
        bool pressed;
        unsigned arrow;
        unsigned other;
    } looks[] = {{false, colour::CONTROL, colour::PRESSED}, {true, colour::PRESSED, colour::CONTROL}};
    for (const auto& l : looks) {
        if (l.pressed) {
            press(15, 10);
            runTasks();
            screenshot("FormTouchDraw_pressed");
        }
        for (const auto& [x, y] : {std::pair{0, 0}, {29, 0}, {0, 19}, {29, 19}}) {
            EXPECT_EQ(pixel(x, y), colour::TEXT) << l.pressed << " corner " << x << "," << y;
        }
        // The arrow's core shows the face colour itself, within the button and clear of its edges.
        const Box arrow = inkIn(button, colour::TEXT);
        EXPECT_GT(countColour(button, l.arrow), 0) << l.pressed;
        EXPECT_EQ(countColour(button, l.other), 0) << l.pressed;
        EXPECT_EQ(countColour(button, colour::WHITE), 0) << l.pressed;
        EXPECT_GT(arrow.x1, button.x1) << l.pressed;
        EXPECT_LT(arrow.x2, button.x2) << l.pressed;
        EXPECT_GT(arrow.y1, button.y1) << l.pressed;
        EXPECT_LT(arrow.y2, button.y2) << l.pressed;
    }
    release();
    EXPECT_EQ(state().getStateId(), 12u) << "the back button still leads back";
}

} // namespace
} // namespace tdx::test
