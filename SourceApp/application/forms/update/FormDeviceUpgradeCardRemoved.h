// The card was taken out: waiting for one, with "Cancel" as the only way on.
#pragma once

#include "SourceApp/application/forms/update/DeviceUpgradeForm.h"

namespace tdx {

class FormDeviceUpgradeCardRemoved final : public DeviceUpgradeForm {
public:
    explicit FormDeviceUpgradeCardRemoved(const State& state);
    ~FormDeviceUpgradeCardRemoved() override;

    void handleMessage(Message* message) override;
};

} // namespace tdx
