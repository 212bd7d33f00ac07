// The coupling of a screen's viewport and its scroll bar: the content's size sets the bar's range, the bar's
// position scrolls the viewport. Written over any bar with setMax(int maximum, int total) and
// getThumbPosition(), the screens' ScrollBar by default.
#pragma once

#include "Libraries/base/os.h"
#include "SourceApp/gui/core/ICommand.h"
#include "SourceApp/gui/core/layout/Viewport.h"

namespace tdx {

class ScrollBar;

template <class Bar = ScrollBar>
class ViewportSizeToScrollBarCommand : public ICommand {
public:
    ViewportSizeToScrollBarCommand(Viewport* viewport, Bar* bar)
        : mViewport(viewport)
        , mBar(bar) {
        OS_ASSERT(viewport != nullptr);
        OS_ASSERT(bar != nullptr);
    }

    void execute() override {
        mBar->setMax(mViewport->getMaxVerticalPosition(), mViewport->getInnerHeight());
    }

private:
    Viewport* mViewport;
    Bar* mBar;
};

template <class Bar = ScrollBar>
class ScrollBarPositionToViewportCommand : public ICommand {
public:
    ScrollBarPositionToViewportCommand(Viewport* viewport, Bar* bar)
        : mViewport(viewport)
        , mBar(bar) {
        OS_ASSERT(viewport != nullptr);
        OS_ASSERT(bar != nullptr);
    }

    void execute() override { mViewport->setVerticalPosition(mBar->getThumbPosition()); }

private:
    Viewport* mViewport;
    Bar* mBar;
};

} // namespace tdx
