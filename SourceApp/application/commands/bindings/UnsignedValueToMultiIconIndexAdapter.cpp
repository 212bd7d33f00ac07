#include "SourceApp/application/commands/bindings/UnsignedValueToMultiIconIndexAdapter.h"

#include "SourceApp/application/controls/Icon.h"
#include "SourceApp/big_table/proxytab.h"

namespace tdx {

UnsignedValueToMultiIconIndexAdapter::UnsignedValueToMultiIconIndexAdapter(MultiIcon* icon,
                                                                           const UnsignedOvi& ovi)
    : mIcon(icon)
    , mOvi(ovi) {
    OS_ASSERT(icon != nullptr);
}

void UnsignedValueToMultiIconIndexAdapter::execute() {
    int value = 0;
    const bool readable = pt_get_int(&value, mOvi.oid, mOvi.vid) == PT_OK;
    mIcon->setIconIndex(readable ? static_cast<signed char>(value & 0xFF) : static_cast<signed char>(-1));
}

} // namespace tdx
