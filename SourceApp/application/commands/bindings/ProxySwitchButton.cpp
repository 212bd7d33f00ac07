#include "SourceApp/application/commands/bindings/ProxySwitchButton.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/i18n.h"
#include "SourceApp/big_table/proxytab.h"

namespace tdx {

void ProxySwitchButton::ValueChangeHandler::handleProxyValueChange(ProxyObject&, const OviEx& change) {
    if (change == mButton.mOvi) {
        mButton.follow();
    }
}

ProxySwitchButton::ProxySwitchButton(Container* parent, int x, int y, const UnsignedOvi& ovi)
    : ProxySwitchButton(parent, x, y, ovi, pgettext("switch", "On"), pgettext("switch", "Off")) {}

ProxySwitchButton::ProxySwitchButton(Container* parent, int x, int y, const UnsignedOvi& ovi,
                                     const std::string& onText, const std::string& offText)
    : SwitchButton(parent, x, y, onText, offText)
    , mOvi(ovi) {
    setName("ProxySwitchButton");
    follow();
    Structure.addValueChangeHandler(&mHandler);
}

ProxySwitchButton::~ProxySwitchButton() {
    Structure.removeValueChangeHandler(&mHandler);
}

void ProxySwitchButton::follow() {
    int value = 0;
    const bool on = pt_get_int(&value, mOvi.oid, mOvi.vid) == PT_OK && (value & 0xFF) != 0;
    mFollowing = true;
    setChecked(on);
    mFollowing = false;
}

void ProxySwitchButton::handleChecked() {
    SwitchButton::handleChecked();
    if (mFollowing) {
        return;
    }
    const int wanted = getChecked() ? 1 : 0;
    int stored = 0;
    if (pt_get_int(&stored, mOvi.oid, mOvi.vid) == PT_OK && stored == wanted) {
        return;
    }
    // The table's type where it knows the value: the control unit expects the value back as it sent it.
    bt_vtype vtype = mOvi.vtype;
    pt_get_vtype(&vtype, mOvi.oid, mOvi.vid);
    if (pt_set_int(mOvi.oid, mOvi.vid, wanted, vtype) != PT_OK) {
        dbg_printf_h("switch: %06X:%02X vid %04X not written", oid_address(mOvi.oid), oid_index(mOvi.oid),
                     unsigned{mOvi.vid});
    }
}

} // namespace tdx
