// The process searches the card; the screen offers no way out until the process moves on.
#pragma once

#include "SourceApp/application/forms/update/DeviceUpgradeForm.h"

namespace tdx {

class FormDeviceUpgradeFirmwareSearch final : public DeviceUpgradeForm {
public:
    explicit FormDeviceUpgradeFirmwareSearch(const State& state);
    ~FormDeviceUpgradeFirmwareSearch() override;
};

} // namespace tdx
