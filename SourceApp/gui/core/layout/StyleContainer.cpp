#include "SourceApp/gui/core/layout/StyleContainer.h"

#include "Libraries/base/dbg.h"
#include "SourceApp/gui/gfx/gfx.h"

#include <algorithm>

namespace tdx {

StyleContainer* StyleContainer::Builder::build() const {
    return new StyleContainer(parent, x, y, width, height, backColor, borderColor, borderWidth);
}

StyleContainer::StyleContainer(Container* parent, int x, int y, int width, int height, unsigned backColor,
                               unsigned borderColor, int borderWidth)
    : Container(parent, x, y, width, height)
    , mBackColor(backColor)
    , mBorderColor(borderColor)
    , mBorderWidth(std::max(borderWidth, 0)) {
    if (borderWidth < 0) {
        dbg_printf_h("GUI: border width %d taken as 0", borderWidth);
    }
    setName("StyleContainer");
    setPadding({mBorderWidth, mBorderWidth, mBorderWidth, mBorderWidth});
}

void StyleContainer::setBackColor(unsigned colour) {
    repaintIfChanged(mBackColor, colour);
}

void StyleContainer::setBorderColor(unsigned colour) {
    repaintIfChanged(mBorderColor, colour);
}

void StyleContainer::moveChildrenToPlace() {
    for (Component* child : getChildren()) {
        child->setPosition(getInnerLeft() + child->getOffsetX(), getInnerTop() + child->getOffsetY());
    }
}

void StyleContainer::handleDraw() {
    const Box& box = getBoundingBox();
    if (colour_is_set(mBackColor)) {
        gfx_setcolor(mBackColor);
        gfx_fill_rect(box);
    }
    if (colour_is_set(mBorderColor) && mBorderWidth > 0) {
        gfx_setcolor(mBorderColor);
        const int w = mBorderWidth;
        gfx_fill_rect(box.x1, box.y1, box.x2, box.y1 + w - 1);
        gfx_fill_rect(box.x1, box.y2 - w + 1, box.x2, box.y2);
        gfx_fill_rect(box.x1, box.y1, box.x1 + w - 1, box.y2);
        gfx_fill_rect(box.x2 - w + 1, box.y1, box.x2, box.y2);
    }
    Container::handleDraw();
}

} // namespace tdx
