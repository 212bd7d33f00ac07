// The coupling of a screen's viewport and its scroll bar: the content's size sets the bar's range, the bar's
// position scrolls the viewport.
#pragma once

#include "SourceApp/gui/core/ICommand.h"

namespace tdx {

class ScrollBar;
class Viewport;

class ViewportSizeToScrollBarCommand : public ICommand {
public:
    ViewportSizeToScrollBarCommand(Viewport* viewport, ScrollBar* bar);
    void execute() override;

private:
    Viewport* mViewport;
    ScrollBar* mBar;
};

class ScrollBarPositionToViewportCommand : public ICommand {
public:
    ScrollBarPositionToViewportCommand(Viewport* viewport, ScrollBar* bar);
    void execute() override;

private:
    Viewport* mViewport;
    ScrollBar* mBar;
};

} // namespace tdx
