#include "SourceApp/application/commands/ScrollBarCommands.h"

#include "Libraries/base/os.h"
#include "SourceApp/application/controls/ScrollBar.h"
#include "SourceApp/gui/core/layout/Viewport.h"

namespace tdx {

ViewportSizeToScrollBarCommand::ViewportSizeToScrollBarCommand(Viewport* viewport, ScrollBar* bar)
    : mViewport(viewport)
    , mBar(bar) {
    OS_ASSERT(viewport != nullptr);
    OS_ASSERT(bar != nullptr);
}

void ViewportSizeToScrollBarCommand::execute() {
    mBar->setMax(mViewport->getMaxVerticalPosition(), mViewport->getInnerHeight());
}

ScrollBarPositionToViewportCommand::ScrollBarPositionToViewportCommand(Viewport* viewport, ScrollBar* bar)
    : mViewport(viewport)
    , mBar(bar) {
    OS_ASSERT(viewport != nullptr);
    OS_ASSERT(bar != nullptr);
}

void ScrollBarPositionToViewportCommand::execute() {
    mViewport->setVerticalPosition(mBar->getThumbPosition());
}

} // namespace tdx
