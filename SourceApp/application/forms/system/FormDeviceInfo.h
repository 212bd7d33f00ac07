// The identity of one device of the installation (state parameter 1: its object id): its name, which the
// user may edit, its software and hardware with their versions, and its serial number. Read once, when the
// screen is built.
#pragma once

#include "SourceApp/application/forms/VexalStackedContentForm.h"

namespace tdx {

class FormDeviceInfo : public VexalStackedContentForm {
public:
    explicit FormDeviceInfo(const State& state);
    ~FormDeviceInfo() override;
};

} // namespace tdx
