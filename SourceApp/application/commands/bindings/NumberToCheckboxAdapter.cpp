#include "SourceApp/application/commands/bindings/NumberToCheckboxAdapter.h"

#include "SourceApp/application/controls/Checkbox.h"
#include "SourceApp/big_table/proxytab.h"

namespace tdx {

NumberToCheckboxAdapter::NumberToCheckboxAdapter(Checkbox* box, const SignedOvi& ovi)
    : mBox(box)
    , mOvi(ovi) {
    OS_ASSERT(box != nullptr);
}

void NumberToCheckboxAdapter::execute() {
    int value = 0;
    mBox->setChecked(pt_get_int(&value, mOvi.oid, mOvi.vid) == PT_OK && value != 0);
}

} // namespace tdx
