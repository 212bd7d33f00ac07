// An item-click command that shows the parts of a screen belonging to the picked item and hides the others,
// then runs the command it wraps (the one that stores the choice).
#pragma once

#include "SourceApp/application/controls/DropdownItem.h"

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace tdx {

class Component;
class EditableDropdownRow;

class DropdownToggleVisibilityItemClickHandler : public DropdownItemClickCommand {
public:
    // The wrapped command may be empty.
    DropdownToggleVisibilityItemClickHandler(EditableDropdownRow* row,
                                             std::unique_ptr<DropdownItemClickCommand> command);

    // The component shows while the item at index is the picked one.
    void add(Component* component, uint16_t index);
    void execute(DropdownItem* item) override;

private:
    std::unique_ptr<DropdownItemClickCommand> mCommand;
    std::vector<std::pair<Component*, uint16_t>> mComponents;
};

} // namespace tdx
