#include "SourceApp/application/controls/TopBar.h"

#include "SourceApp/application/controls/widgets.h"
#include "SourceApp/gui/gfx/gfx.h"

namespace tdx {

namespace {
constexpr int SEPARATOR_TOP = 6;
constexpr int SEPARATOR_LENGTH = 19;
} // namespace

Spacer::Spacer(Container* parent, int x, int y, int width, int height)
    : Component(parent, x, y, width, height) {
    setName("Spacer");
}

TopBar::TopBar(Container* parent)
    : StackedContainer(parent, 0, 0, WIDTH, HEIGHT)
    , mBackColor(colour::TITLE) {
    setName("TopBar");
    setDirection(DIRECTION_HORIZONTAL);
    setSpacing(1);
    setSpacingFillColor(NO_COLOUR);
}

void TopBar::setBackColor(unsigned colour) {
    repaintIfChanged(mBackColor, colour);
}

void TopBar::handleDraw() {
    gfx_setcolor(mBackColor);
    gfx_fill_rect(getBoundingBox());
    StackedContainer::handleDraw();
    gfx_setcolor(colour::WHITE);
    bool first = true;
    for (const Component* child : getChildren()) {
        // A hidden child takes no room: a separator before it would stand alone beside its neighbour's, and
        // the first child shown draws none, whichever it is.
        if (!child->isVisible()) {
            continue;
        }
        if (!first) {
            gfx_vert_line(child->getLeft() - child->getPaddingLeft() - 1, child->getTop() + SEPARATOR_TOP,
                          SEPARATOR_LENGTH);
        }
        first = false;
    }
}

} // namespace tdx
