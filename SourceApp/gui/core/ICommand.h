// An action that a widget runs, owned by the widget.
#pragma once

namespace tdx {

class ICommand {
public:
    virtual ~ICommand() = default;
    virtual void execute() = 0;
};

} // namespace tdx
