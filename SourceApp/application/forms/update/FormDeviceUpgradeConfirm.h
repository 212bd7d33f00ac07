// The chosen package (p1 its index in the process's list) with warnings for an older or pre-release version;
// "Update" hands the choice to the process and locks the screen until the process moves on.
#pragma once

#include "SourceApp/application/forms/update/DeviceUpgradeForm.h"

#include <cstdint>
#include <string>

namespace tdx {

class FormDeviceUpgradeConfirm final : public DeviceUpgradeForm {
public:
    explicit FormDeviceUpgradeConfirm(const State& state);
    ~FormDeviceUpgradeConfirm() override;

    void handleMessage(Message* message) override;

private:
    void addWarning(const std::string& text);

    uint32_t mIndex;
};

} // namespace tdx
