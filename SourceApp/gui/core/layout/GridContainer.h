// Children fill the columns left to right, then the next row; each column starts right after the previous
// one's last pixel, each row rowPitch pixels below the previous one.
#pragma once

#include "SourceApp/gui/core/Container.h"

#include <vector>

namespace tdx {

class GridContainer : public Container {
public:
    GridContainer(Container* parent, int x, int y, int rowPitch);

    void addColumn(int width);
    void moveChildrenToPlace() override;

private:
    int mRowPitch;
    std::vector<int> mColumnWidths;
};

} // namespace tdx
