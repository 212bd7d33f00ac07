// Standby of the whole installation: a switch bound to the location's standby value and, when there is a
// hot-water tank, a switch that excludes the first tank from it.
#pragma once

#include "SourceApp/application/forms/VexalStackedContentForm.h"

namespace tdx {

class SwitchButton;

class FormStandbyMode : public VexalStackedContentForm {
public:
    static constexpr state_id_t STATE_ID = 66;
    static constexpr vid_t VID_ALLOW_STANDBY = 0x8113;

    explicit FormStandbyMode(const State& state);
    ~FormStandbyMode() override;

    void handleMessage(Message* message) override;

private:
    SwitchButton* mTankSwitch = nullptr; // tag: the tank's object id
};

} // namespace tdx
