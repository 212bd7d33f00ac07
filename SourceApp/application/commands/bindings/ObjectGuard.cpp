#include "SourceApp/application/commands/bindings/ObjectGuard.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/i18n.h"
#include "SourceApp/application/controls/Popup.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/gui/core/Core.h"
#include "SourceApp/storage/ProxyObject.h"

#include <algorithm>
#include <memory>

namespace tdx {

namespace {

constexpr unsigned MAX_OBJECTS = 256;

class GoHomeCommand : public ICommand {
public:
    void execute() override {
        if (Core* core = Core::current()) {
            core->defaultState();
        }
    }
};

oid_t deviceOf(oid_t oid) {
    return oid & 0x00FFFFFFu;
}

} // namespace

ObjectGuard::ObjectGuard(oid_t oid)
    : mOid(oid) {
    check();
    Structure.addValueChangeHandler(this);
}

ObjectGuard::~ObjectGuard() {
    Structure.removeValueChangeHandler(this);
}

void ObjectGuard::handleProxyValueChange(ProxyObject& object, const OviEx& change) {
    if (change.vid == VID_OBJECT_INDICES && object.oid() == deviceOf(mOid)) {
        check();
    }
}

void ObjectGuard::check() {
    if (mRemoved) {
        return;
    }
    uint8_t indices[MAX_OBJECTS];
    const int length = pt_get_data(indices, sizeof indices, deviceOf(mOid), VID_OBJECT_INDICES);
    if (length < 0) {
        return;
    }
    const auto index = static_cast<uint8_t>(mOid >> 24);
    if (std::find(indices, indices + length, index) != indices + length) {
        return;
    }
    mRemoved = true;
    dbg_printf_h("ObjectGuard: object %08X is no longer listed by its device", static_cast<unsigned>(mOid));
    if (Popup* popup =
            Popup::create(gettext("Notice"), gettext("Object removed"),
                          gettext("Object you are editing is no longer valid. You will be navigated "
                                  "back to Home screen."),
                          PopupButtons::Close)) {
        popup->setCancelCommand(std::make_unique<GoHomeCommand>());
    }
}

} // namespace tdx
