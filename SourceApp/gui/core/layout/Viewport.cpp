#include "SourceApp/gui/core/layout/Viewport.h"

#include "Libraries/base/dbg.h"

#include <algorithm>

namespace tdx {

Viewport::Viewport(Container* parent, int x, int y, int width, int height)
    : Container(parent, x, y, width, height) {
    setName("Viewport");
    setSizing(SIZING_KEEP, SIZING_KEEP);
}

void Viewport::setContent(Container* content) {
    if (content != nullptr && content->getParent() != this) {
        dbg_printf_h("GUI: viewport content must be a child of the viewport");
        return;
    }
    mContent = content;
    mPosition = 0;
    moveChildrenToPlace();
    invalidate();
}

int Viewport::getInnerHeight() const {
    return mContent != nullptr ? mContent->getHeight() : 0;
}

int Viewport::getMaxVerticalPosition() const {
    return std::max(getInnerHeight() - getHeight(), 0);
}

void Viewport::setVerticalPosition(int position) {
    position = std::clamp(position, 0, getMaxVerticalPosition());
    if (position == mPosition) {
        return;
    }
    mPosition = position;
    moveChildrenToPlace();
    invalidate();
}

void Viewport::moveChildrenToPlace() {
    // Called after a child was taken out too: a content that went must not be measured any more.
    const std::vector<Component*>& children = getChildren();
    if (mContent != nullptr && std::find(children.begin(), children.end(), mContent) == children.end()) {
        mContent = nullptr;
        mPosition = 0;
        invalidate();
    }
    for (Component* child : getChildren()) {
        const int scroll = child == mContent ? mPosition : 0;
        child->setPosition(getLeft() + child->getOffsetX(), getTop() + child->getOffsetY() - scroll);
    }
}

void Viewport::onChildDimensionsChange(Component*) {
    // The content shrank: keep the view inside it.
    const int clamped = std::clamp(mPosition, 0, getMaxVerticalPosition());
    repaintIfChanged(mPosition, clamped);
    moveChildrenToPlace();
}

void Viewport::handleEvent(Event* event) {
    // What lies outside the window is scrolled away: it takes no press. Moves and releases still pass, so a
    // control pressed inside learns that the touch left it.
    const bool starts = event->kind == EVENT_TOUCH_PRESS || event->kind == EVENT_TOUCH_HOLD ||
                        event->kind == EVENT_DEBUG_SELECT;
    if (starts && !getVisibleBox().contains(event->x, event->y)) {
        return;
    }
    Container::handleEvent(event);
}

} // namespace tdx
