// Four-point calibration of the touch panel, then a four-point check with the new coefficients. Only a check
// that passes stores the coefficients and goes back (to the splash screen); any other outcome starts over,
// so the panel keeps its old calibration until a good one is made. There is no other way out.
#pragma once

#include "SourceApp/gui/core/Form.h"

#include <array>
#include <cstdint>

namespace tdx {

class ContainedLabel;

class FormTouchCalibration : public Form {
public:
    struct Target {
        int x;
        int y;
    };
    static constexpr std::array<Target, 4> TARGETS = {{{64, 64}, {256, 64}, {256, 176}, {64, 176}}};
    // A check tap counts within this many pixels of the cross centre (tx - 1, ty - 1), either way.
    static constexpr int CHECK_REACH = 7;

    explicit FormTouchCalibration(const State& state);

    void handleEvent(Event* event) override;
    void handleDraw() override;

private:
    // The coefficients from the four taps of a calibration attempt; false when the taps cannot make a
    // calibration (two equal readings on an axis).
    bool processPoints();
    bool shouldRecalibrate() const;
    void startOver(const char* instruction);
    void showPhase(uint8_t phase);

    std::array<int, 4> mTapX{};
    std::array<int, 4> mTapY{};
    int mTapIndex = 0;
    ContainedLabel* mInstruction = nullptr;
    std::array<ContainedLabel*, 2> mPhaseLabels{};
    float mScaleX = 1.0f;
    float mOffsetX = 0.0f;
    float mScaleY = 1.0f;
    float mOffsetY = 0.0f;
    uint8_t mPhase = 0; // 0 calibration, 1 check
};

} // namespace tdx
