// Waiting for the device to report itself; only "Cancel" leads on.
#pragma once

#include "SourceApp/application/forms/update/DeviceUpgradeForm.h"

namespace tdx {

class FormDeviceUpgradeUnidentified final : public DeviceUpgradeForm {
public:
    explicit FormDeviceUpgradeUnidentified(const State& state);
    ~FormDeviceUpgradeUnidentified() override;

    void handleMessage(Message* message) override;
};

} // namespace tdx
