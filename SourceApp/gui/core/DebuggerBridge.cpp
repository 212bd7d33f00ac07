#include "SourceApp/gui/core/DebuggerBridge.h"

#include "SourceApp/gui/core/Component.h"

namespace tdx {

void DebuggerBridge::setSelectedComponent(Component* c) {
    if (Component* old = mSelected) {
        old->setDebugSelected(false);
        onComponentDeselect(old);
    }
    mSelected = c;
    if (c != nullptr) {
        c->setDebugSelected(true);
        onComponentSelect(c);
    }
}

void DebuggerBridge::forget(Component* c) {
    if (c != nullptr && c == mSelected) {
        mSelected = nullptr;
        onComponentDeselect(c);
    }
}

} // namespace tdx
