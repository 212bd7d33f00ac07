#include "SourceApp/application/commands/bindings/UnsignedValueToMultiIconIndexAdapter.h"

#include "SourceApp/application/controls/Icon.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/storage/ProxyStructure.h"

namespace tdx {

UnsignedValueToMultiIconIndexAdapter::UnsignedValueToMultiIconIndexAdapter(MultiIcon* icon,
                                                                           const UnsignedOvi& ovi)
    : mIcon(icon)
    , mOvi(ovi) {}

void UnsignedValueToMultiIconIndexAdapter::execute() {
    int value = 0;
    const bool known = Structure.find(mOvi.oid) != nullptr && pt_get_int(&value, mOvi.oid, mOvi.vid) == PT_OK;
    mIcon->setIconIndex(known ? static_cast<signed char>(value & 0xFF) : -1);
}

} // namespace tdx
