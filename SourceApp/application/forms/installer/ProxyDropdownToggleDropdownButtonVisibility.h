// The item-click command of a dropdown row that decides whether a whole group of an editor applies: the
// group's header shows, folded shut, while the chosen option is one of a set, and goes, with its rows,
// otherwise. Nothing changes until the installer picks an item; the owner sets the first visibility.
#pragma once

#include "SourceApp/application/commands/bindings/ProxyEditorHandlers.h"

#include <vector>

namespace tdx {

class DropdownButton;

class ProxyDropdownToggleDropdownButtonVisibility : public ProxyDropdownEditorHandler {
public:
    ProxyDropdownToggleDropdownButtonVisibility(EditableDropdownRow* row, DropdownButton* button,
                                                const EnumOvi& ovi);

    // One more option under which the group applies; adding one twice is harmless.
    void add(unsigned value);

protected:
    void handleChange(DropdownItem* item, unsigned oldValue, unsigned newValue) override;

private:
    DropdownButton* mButton;
    std::vector<unsigned> mValues;
};

} // namespace tdx
