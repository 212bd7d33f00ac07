// The download: its percentage, read from the process at every timer message.
#pragma once

#include "SourceApp/application/forms/update/DeviceUpgradeForm.h"

#include <cstdint>

namespace tdx {

class FormDeviceUpgradeProgress final : public DeviceUpgradeForm {
public:
    explicit FormDeviceUpgradeProgress(const State& state);
    ~FormDeviceUpgradeProgress() override;

    void handleMessage(Message* message) override;

    // The share of the download done, 0 to 100; a maximum of 0 counts as 1.
    static uint32_t percent(uint32_t progress, uint32_t max);

private:
    ContainedLabel* mPercent = nullptr;
    ProgressBar* mBar = nullptr;
};

} // namespace tdx
