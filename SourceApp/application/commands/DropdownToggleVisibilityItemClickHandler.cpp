#include "SourceApp/application/commands/DropdownToggleVisibilityItemClickHandler.h"

#include "SourceApp/gui/core/Component.h"

namespace tdx {

DropdownToggleVisibilityItemClickHandler::DropdownToggleVisibilityItemClickHandler(
    EditableDropdownRow*, std::unique_ptr<DropdownItemClickCommand> command)
    : mCommand(std::move(command)) {}

void DropdownToggleVisibilityItemClickHandler::add(Component* component, uint16_t index) {
    if (component != nullptr) {
        mComponents.emplace_back(component, index);
    }
}

void DropdownToggleVisibilityItemClickHandler::execute(DropdownItem* item) {
    if (item == nullptr) {
        return;
    }
    for (const auto& [component, index] : mComponents) {
        component->setVisible(index == item->getIndex());
    }
    if (mCommand) {
        mCommand->execute(item);
    }
}

} // namespace tdx
