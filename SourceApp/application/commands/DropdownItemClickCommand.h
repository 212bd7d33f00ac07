// What a dropdown row does with the item the user picked; owned by the row that runs it.
#pragma once

namespace tdx {

class DropdownItem;

class DropdownItemClickCommand {
public:
    virtual ~DropdownItemClickCommand() = default;
    virtual void execute(DropdownItem* item) = 0;
};

} // namespace tdx
