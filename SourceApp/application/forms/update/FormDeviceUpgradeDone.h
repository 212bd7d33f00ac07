// The result of the update; "Finish" ends the process, which takes the user back where the update began.
#pragma once

#include "SourceApp/application/forms/update/DeviceUpgradeForm.h"

namespace tdx {

class FormDeviceUpgradeDone final : public DeviceUpgradeForm {
public:
    explicit FormDeviceUpgradeDone(const State& state);
    ~FormDeviceUpgradeDone() override;

    void handleMessage(Message* message) override;
};

} // namespace tdx
