// The item-click command of a dropdown row whose choice decides which rows of a screen apply: each row is
// registered under one option value and shows exactly while the value has that option, whether the user
// picked it here or it changed elsewhere.
#pragma once

#include "SourceApp/application/commands/bindings/ProxyEditorHandlers.h"

#include <utility>
#include <vector>

namespace tdx {

class Component;

class ProxyDropdownToggleVisibilityHandler : public ProxyDropdownEditorHandler {
public:
    ProxyDropdownToggleVisibilityHandler(EditableDropdownRow* row, const EnumOvi& ovi);

    // The component shows while the value is `value`; registering changes no visibility.
    void add(Component* component, unsigned value);

protected:
    void handleChange(DropdownItem* item, unsigned oldValue, unsigned newValue) override;
    void handleFollow(unsigned value) override;

private:
    void show(unsigned value) const;

    std::vector<std::pair<Component*, unsigned>> mComponents;
};

} // namespace tdx
