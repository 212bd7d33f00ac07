#include "SourceApp/gui/core/layout/StackedContainer.h"

#include "SourceApp/gui/gfx/gfx.h"

namespace tdx {

StackedContainer* StackedContainer::Builder::build() const {
    auto* stack = new StackedContainer(parent, x, y, width, height);
    stack->setSizing(fitWidth || width == 0 ? SIZING_FIT : SIZING_KEEP,
                     fitHeight || height == 0 ? SIZING_FIT : SIZING_KEEP);
    stack->setDirection(direction);
    stack->setSpacing(spacing);
    stack->setSpacingFillColor(spacingFillColor);
    return stack;
}

StackedContainer::StackedContainer(Container* parent, int x, int y, int width, int height)
    : Container(parent, x, y, width, height) {
    setName("StackedContainer");
}

void StackedContainer::setSpacing(unsigned pixels) {
    if (repaintIfChanged(mSpacing, pixels)) {
        moveChildrenToPlace();
    }
}

void StackedContainer::setSpacingFillColor(unsigned colour) {
    repaintIfChanged(mFillColor, colour);
}

void StackedContainer::setDirection(direction_t direction) {
    if (repaintIfChanged(mDirection, direction)) {
        moveChildrenToPlace();
    }
}

void StackedContainer::moveChildrenToPlace() {
    const bool horizontal = mDirection == DIRECTION_HORIZONTAL;
    int next = horizontal ? getInnerLeft() : getInnerTop();
    for (Component* child : getChildren()) {
        if (!child->isVisible()) {
            continue;
        }
        if (horizontal) {
            child->setPosition(next + child->getOffsetX(), getInnerTop() + child->getOffsetY());
            next = child->getRight() + 1 + static_cast<int>(mSpacing);
        } else {
            child->setPosition(getInnerLeft() + child->getOffsetX(), next + child->getOffsetY());
            next = child->getBottom() + 1 + static_cast<int>(mSpacing);
        }
    }
}

void StackedContainer::drawSpacing() const {
    if (!colour_is_set(mFillColor) || mSpacing == 0) {
        return;
    }
    gfx_setcolor(mFillColor);
    const Component* previous = nullptr;
    for (const Component* child : getChildren()) {
        if (!child->isVisible()) {
            continue;
        }
        if (previous != nullptr) {
            if (mDirection == DIRECTION_HORIZONTAL) {
                gfx_fill_rect(previous->getRight() + 1, getTop(),
                              previous->getRight() + static_cast<int>(mSpacing), getBottom());
            } else {
                gfx_fill_rect(getLeft(), previous->getBottom() + 1, getRight(),
                              previous->getBottom() + static_cast<int>(mSpacing));
            }
        }
        previous = child;
    }
}

void StackedContainer::handleDraw() {
    drawSpacing();
    Container::handleDraw();
}

RowContainer::RowContainer(Container* parent, int x, int y, int width, int height)
    : StackedContainer(parent, x, y, width, height) {
    setName("RowContainer");
    setSizing(SIZING_KEEP, SIZING_KEEP);
    setSpacing(1);
    setSpacingFillColor(GAP_COLOR);
}

void RowContainer::handleDraw() {
    gfx_setcolor(BACK_COLOR);
    gfx_fill_rect(getBoundingBox());
    StackedContainer::handleDraw();
}

} // namespace tdx
