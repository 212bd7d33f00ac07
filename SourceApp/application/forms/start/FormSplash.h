// The first screen of every start: the logo, one line of text and a progress bar. A finger held for 3 s at
// the start opens the touch calibration; otherwise the splash waits for the control unit, has the update
// manager look for peripherals stuck in their bootloader, waits until the mirror is synchronised (showing
// loading texts meanwhile) and goes on to the first-start guide or home. A network that is not connected
// leads to the not-enrolled screen in any phase.
#pragma once

#include "Libraries/base/Timer.h"
#include "SourceApp/gui/core/Form.h"

#include <array>
#include <cstdint>

namespace tdx {

class ContainedLabel;
class ProgressBar;

class FormSplash : public Form {
public:
    enum Phase : uint32_t {
        PHASE_START = 0,        // a touch now offers the calibration
        PHASE_FINGER_HELD = 1,  // the bar runs down while the finger stays
        PHASE_WAIT_NETWORK = 2, // until the bridge reports the connection
        PHASE_SEARCHING = 3,    // the update manager looks for devices in distress
        PHASE_SYNCHRONISING = 4,
    };
    static constexpr unsigned PHASE_TIMEOUT_MS = 3000;
    // English message ids, translated when shown.
    static const std::array<const char*, 12> sLoadingStrings;

    explicit FormSplash(const State& state);
    ~FormSplash() override;

    void handleEvent(Event* event) override;
    void handleMessage(Message* message) override;

    uint32_t getPhase() const { return mPhase; }

private:
    void step(uint32_t tick);
    void waitForNetwork();
    void startRemoteUpgrade();
    void navigateToNextState();
    // Every way out goes through here: the screen asks for one change only, however many ticks pass before
    // the core replaces it.
    void leaveTo(unsigned stateId);

    uint32_t mPhase = PHASE_START;
    Timer mTimer{PHASE_TIMEOUT_MS};
    ContainedLabel* mText = nullptr;
    ProgressBar* mProgress = nullptr;
    uint8_t mLoadingShown = 0;
    bool mLeaving = false;
};

} // namespace tdx
