#include "SourceApp/application/controls/CommandButton.h"

namespace tdx {

CommandButton::CommandButton(Container* parent, int x, int y, int width, int height)
    : Control(parent, x, y, width, height) {
    setName("CommandButton");
}

void CommandButton::handlePress(bool) {
    if (mPressCommand) {
        mPressCommand->execute();
    }
}

void CommandButton::handleClick() {
    if (mClickCommand) {
        mClickCommand->execute();
    }
}

} // namespace tdx
