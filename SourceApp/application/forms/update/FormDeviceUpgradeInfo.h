// The device about to be updated: its product, software and hardware, read once from the process.
#pragma once

#include "SourceApp/application/forms/update/DeviceUpgradeForm.h"

namespace tdx {

class FormDeviceUpgradeInfo final : public DeviceUpgradeForm {
public:
    explicit FormDeviceUpgradeInfo(const State& state);
    ~FormDeviceUpgradeInfo() override;

    void handleMessage(Message* message) override;
};

} // namespace tdx
