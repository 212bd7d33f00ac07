#include "SourceApp/application/forms/start/FormTouchCalibration.h"

#include "Libraries/base/i18n.h"
#include "SourceApp/application/App.h"
#include "SourceApp/application/controls/Icon.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/drivers/buzzer.h"
#include "SourceApp/gui/core/Core.h"
#include "SourceApp/gui/gfx/gfx.h"
#include "SourceApp/system/calibration.h"
#include "SourceApp/system/config.h"

namespace tdx {

namespace {

constexpr uint8_t PHASE_CALIBRATION = 0;
constexpr uint8_t PHASE_CHECK = 1;
constexpr int CROSS_ARM = 10; // pixels on each side of the centre
constexpr int DOT_RADIUS = 8;

// The line through both taps of one axis; false when they cannot make one.
bool axis(int measured1, int measured2, int reference1, int reference2, calibration_result& result) {
    const calibration_input input{measured1, measured2, reference1, reference2};
    return calibration_calculate(&input, &result);
}

} // namespace

FormTouchCalibration::FormTouchCalibration(const State& state)
    : Form(state) {
    setName("FormTouchCalibration");
    mInstruction =
        new ContainedLabel(this, 0, 105, 320, 30, &bif_myriad12, gettext("Tap at center of the cross"),
                           HorizontalAlign::Center, VerticalAlign::Middle);
    mPhaseLabels[PHASE_CALIBRATION] = new ContainedLabel(this, 0, 215, 160, 25, &bif_myriad12,
                                                         gettext("1   Calibration"), HorizontalAlign::Center);
    mPhaseLabels[PHASE_CHECK] = new ContainedLabel(
        this, 160, 215, 160, 25, &bif_myriad12, gettext("2   Verification"), HorizontalAlign::Center,
        VerticalAlign::Middle, TextOrientation::Horizontal, colour::DISABLED);
    new VLine(this, 160, 217, 21, colour::PRESSED);
    setAwakeOverride(true);
}

void FormTouchCalibration::handleDraw() {
    gfx_setcolor(colour::WHITE);
    gfx_fill_rect(getBoundingBox());
    const Target& target = TARGETS[static_cast<size_t>(mTapIndex)];
    const int cx = target.x - 1;
    const int cy = target.y - 1;
    if (mPhase == PHASE_CHECK) {
        gfx_setcolor(colour::CONTROL);
        gfx_fill_circ(cx, cy, DOT_RADIUS);
    }
    gfx_setcolor(colour::TEXT);
    gfx_horiz_line(cx - CROSS_ARM, cy, 2 * CROSS_ARM + 1);
    gfx_vert_line(cx, cy - CROSS_ARM, 2 * CROSS_ARM + 1);
    Form::handleDraw();
}

void FormTouchCalibration::handleEvent(Event* event) {
    if (event->kind != EVENT_TOUCH_PRESS) {
        Form::handleEvent(event);
        return;
    }
    // The raw panel position: the calibrated one is what is being replaced.
    int x = event->a;
    int y = event->b;
    if (mPhase == PHASE_CHECK) {
        x = calibration_map(x, mScaleX, mOffsetX);
        y = calibration_map(y, mScaleY, mOffsetY);
    }
    mTapX[static_cast<size_t>(mTapIndex)] = x;
    mTapY[static_cast<size_t>(mTapIndex)] = y;
    if (++mTapIndex == static_cast<int>(TARGETS.size())) {
        mPhaseLabels[mPhase]->setFaceColor(colour::DISABLED);
        if (mPhase == PHASE_CALIBRATION) {
            if (processPoints()) {
                mInstruction->setText(gettext("Now we will check the calibration."));
                mTapIndex = 0;
                showPhase(PHASE_CHECK);
            } else {
                startOver(gettext("It seems the calibration is off, try it again."));
            }
        } else if (shouldRecalibrate()) {
            startOver(gettext("It seems the calibration is off, try it again."));
        } else {
            Configuration.touch_scale_x = mScaleX;
            Configuration.touch_offset_x = mOffsetX;
            Configuration.touch_scale_y = mScaleY;
            Configuration.touch_offset_y = mOffsetY;
            config_apply();
            getApplication()->getCore()->prevState();
            mTapIndex = 0;
            showPhase(PHASE_CALIBRATION);
        }
    }
    buzzer.click();
    invalidate();
    Form::handleEvent(event);
}

bool FormTouchCalibration::processPoints() {
    // Both diagonals, averaged.
    calibration_result x02{};
    calibration_result y02{};
    calibration_result x13{};
    calibration_result y13{};
    const bool made = axis(mTapX[0], mTapX[2], TARGETS[0].x, TARGETS[2].x, x02) &&
                      axis(mTapY[0], mTapY[2], TARGETS[0].y, TARGETS[2].y, y02) &&
                      axis(mTapX[1], mTapX[3], TARGETS[1].x, TARGETS[3].x, x13) &&
                      axis(mTapY[1], mTapY[3], TARGETS[1].y, TARGETS[3].y, y13);
    if (!made) {
        return false;
    }
    mScaleX = (x02.scale + x13.scale) * 0.5f;
    mOffsetX = (x02.offset + x13.offset) * 0.5f;
    mScaleY = (y02.scale + y13.scale) * 0.5f;
    mOffsetY = (y02.offset + y13.offset) * 0.5f;
    return true;
}

bool FormTouchCalibration::shouldRecalibrate() const {
    for (size_t i = 0; i < TARGETS.size(); ++i) {
        const Box square(TARGETS[i].x - 8, TARGETS[i].y - 8, 2 * CHECK_REACH + 1, 2 * CHECK_REACH + 1);
        if (!square.contains(mTapX[i], mTapY[i])) {
            return true;
        }
    }
    return false;
}

void FormTouchCalibration::startOver(const char* instruction) {
    mInstruction->setText(instruction);
    mTapIndex = 0;
    showPhase(PHASE_CALIBRATION);
}

void FormTouchCalibration::showPhase(uint8_t phase) {
    mPhase = phase;
    mPhaseLabels[phase]->setFaceColor(colour::TEXT);
}

} // namespace tdx
