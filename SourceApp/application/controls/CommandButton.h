// A control that runs one command when pressed (and on every hold repeat) and another when clicked.
#pragma once

#include "SourceApp/gui/core/Control.h"
#include "SourceApp/gui/core/ICommand.h"

#include <memory>

namespace tdx {

class CommandButton : public Control {
public:
    CommandButton(Container* parent, int x, int y, int width, int height);

    void setClickCommand(std::unique_ptr<ICommand> command) { mClickCommand = std::move(command); }
    void setPressCommand(std::unique_ptr<ICommand> command) { mPressCommand = std::move(command); }

protected:
    void handlePress(bool repeat) override;
    void handleClick() override;

private:
    std::unique_ptr<ICommand> mClickCommand;
    std::unique_ptr<ICommand> mPressCommand;
};

} // namespace tdx
