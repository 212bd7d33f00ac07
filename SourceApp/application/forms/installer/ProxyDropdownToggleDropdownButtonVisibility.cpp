#include "SourceApp/application/forms/installer/ProxyDropdownToggleDropdownButtonVisibility.h"

#include "SourceApp/application/controls/DropdownButton.h"

#include <algorithm>

namespace tdx {

ProxyDropdownToggleDropdownButtonVisibility::ProxyDropdownToggleDropdownButtonVisibility(
    EditableDropdownRow* row, DropdownButton* button, const EnumOvi& ovi)
    : ProxyDropdownEditorHandler(row, ovi)
    , mButton(button) {}

void ProxyDropdownToggleDropdownButtonVisibility::add(unsigned value) {
    mValues.push_back(value);
}

void ProxyDropdownToggleDropdownButtonVisibility::handleChange(DropdownItem*, unsigned, unsigned newValue) {
    // Folded shut either way: a header that goes must not leave its rows behind without it, and one that
    // comes shows closed.
    mButton->setCollapsed(false, false);
    mButton->setVisible(std::find(mValues.begin(), mValues.end(), newValue) != mValues.end());
}

} // namespace tdx
