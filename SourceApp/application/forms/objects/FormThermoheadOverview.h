// The thermoheads of one room (state parameter 1), as small tiles in the order of the room's list 0x808F,
// whose entries index the installation's output list. Read once, when the screen is built.
#pragma once

#include "SourceApp/application/forms/VexalStackedContentForm.h"

namespace tdx {

class ProxyObject;

class FormThermoheadOverview : public VexalStackedContentForm {
public:
    static constexpr vid_t VID_THERMOHEADS = 0x808F;

    explicit FormThermoheadOverview(const State& state);
    ~FormThermoheadOverview() override;

private:
    void updateObjects(ProxyObject& room);
};

} // namespace tdx
