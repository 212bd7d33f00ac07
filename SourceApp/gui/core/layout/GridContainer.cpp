#include "SourceApp/gui/core/layout/GridContainer.h"

#include "Libraries/base/dbg.h"

namespace tdx {

GridContainer::GridContainer(Container* parent, int x, int y, int rowPitch)
    : Container(parent, x, y, 0, 0)
    , mRowPitch(rowPitch) {
    setName("GridContainer");
}

void GridContainer::addColumn(int width) {
    if (width <= 0) {
        dbg_printf_h("GUI: grid column of width %d refused", width);
        return;
    }
    mColumnWidths.push_back(width);
    moveChildrenToPlace();
}

void GridContainer::moveChildrenToPlace() {
    // Without columns every child counts as the first of a row of one.
    const std::size_t columns = mColumnWidths.empty() ? 1 : mColumnWidths.size();
    std::size_t index = 0;
    for (Component* child : getChildren()) {
        const std::size_t column = index % columns;
        int x = getInnerLeft();
        for (std::size_t c = 0; c < column; ++c) {
            x += mColumnWidths[c];
        }
        const int y = getInnerTop() + static_cast<int>(index / columns) * mRowPitch;
        child->setPosition(x + child->getOffsetX(), y + child->getOffsetY());
        ++index;
    }
}

} // namespace tdx
