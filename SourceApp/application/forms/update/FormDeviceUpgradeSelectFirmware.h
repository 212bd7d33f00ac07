// The packages the search found on the card, one check button each; "Next" confirms the checked one.
#pragma once

#include "SourceApp/application/forms/update/DeviceUpgradeForm.h"

#include "SourceApp/application/controls/RadioGroup.h"

namespace tdx {

class FormDeviceUpgradeSelectFirmware final : public DeviceUpgradeForm {
public:
    explicit FormDeviceUpgradeSelectFirmware(const State& state);
    ~FormDeviceUpgradeSelectFirmware() override;

    void handleMessage(Message* message) override;

private:
    RadioGroup mGroup;
};

} // namespace tdx
