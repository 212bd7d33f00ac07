// Chooses the icon of a multi-icon by a number of the data model: the number's low byte is the index (taken
// as a signed byte, so 128 to 255 show none), clamped by the icon to its entries; a value that cannot be
// read shows none.
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
    Ovi mOvi;
};

} // namespace tdx
