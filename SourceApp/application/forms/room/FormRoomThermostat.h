// One thermostat or external sensor (state parameter 1, the device's object id): its name, the object it
// measures for, its measurements while it is on-line, and behind a section its serial number and versions.
#pragma once

#include "SourceApp/application/forms/VexalStackedContentForm.h"

namespace tdx {

class FormRoomThermostat : public VexalStackedContentForm {
public:
    explicit FormRoomThermostat(const State& state);
    ~FormRoomThermostat() override;
};

} // namespace tdx
