#include "SourceApp/application/commands/bindings/ProxyDropdownToggleVisibilityHandler.h"

#include "SourceApp/gui/core/Component.h"

namespace tdx {

ProxyDropdownToggleVisibilityHandler::ProxyDropdownToggleVisibilityHandler(EditableDropdownRow* row,
                                                                           const EnumOvi& ovi)
    : ProxyDropdownEditorHandler(row, ovi) {}

void ProxyDropdownToggleVisibilityHandler::add(Component* component, unsigned value) {
    if (component != nullptr) {
        mComponents.emplace_back(component, value);
    }
}

void ProxyDropdownToggleVisibilityHandler::handleChange(DropdownItem*, unsigned, unsigned newValue) {
    show(newValue);
}

void ProxyDropdownToggleVisibilityHandler::handleFollow(unsigned value) {
    show(value);
}

void ProxyDropdownToggleVisibilityHandler::show(unsigned value) const {
    for (const auto& [component, shownFor] : mComponents) {
        component->setVisible(shownFor == value);
    }
}

} // namespace tdx
