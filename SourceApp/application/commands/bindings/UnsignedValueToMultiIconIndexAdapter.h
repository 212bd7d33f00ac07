// Shows, of a multi-icon's images, the one whose index is the value: the value's low byte taken as a signed
// 8-bit index (the icon clamps it), none while the object or a valid value is missing.
#pragma once

#include "SourceApp/gui/core/ICommand.h"
#include "SourceApp/storage/Ovi.h"

namespace tdx {

class MultiIcon;

class UnsignedValueToMultiIconIndexAdapter : public ICommand {
public:
    UnsignedValueToMultiIconIndexAdapter(MultiIcon* icon, const UnsignedOvi& ovi);
    void execute() override;

private:
    MultiIcon* mIcon;
    UnsignedOvi mOvi;
};

} // namespace tdx
