// The device restarts: a countdown of the time the process still waits for it (or, from a process that does
// not tell, of the time the restart should take), then "Device is not responding". There is nothing to
// press; the process leaves the screen with its next step.
#pragma once

#include "SourceApp/application/forms/update/DeviceUpgradeForm.h"

#include "Libraries/base/Timer.h"

namespace tdx {

class FormDeviceUpgradeWait final : public DeviceUpgradeForm {
public:
    explicit FormDeviceUpgradeWait(const State& state);
    ~FormDeviceUpgradeWait() override;

    void handleMessage(Message* message) override;

private:
    ContainedLabel* mCountdown = nullptr;
    ProgressBar* mBar = nullptr;
    Timer mTimer;
    uint32_t mPeriod = 0;
    bool mFollowsProcess = false; // the process tells how long it still waits (UpdateModel::getWaitLeft)
    uint32_t mScale = 0;          // the wait that fills the bar: the longest seen
    bool mElapsed = false;
};

} // namespace tdx
