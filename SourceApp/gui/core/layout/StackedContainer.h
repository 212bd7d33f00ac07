// Places its visible children one after the other, left to right or top to bottom, with a gap that may be
// painted. A child's own x and y are extra offsets.
#pragma once

#include "SourceApp/gui/core/Container.h"

namespace tdx {

class StackedContainer : public Container {
public:
    struct Builder {
        Container* parent = nullptr;
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
        bool fitWidth = false; // also when width is 0
        bool fitHeight = false;
        direction_t direction = DIRECTION_HORIZONTAL;
        unsigned spacing = 0;
        int spacingFillColor = NO_COLOUR;

        StackedContainer* build() const;
    };

    StackedContainer(Container* parent, int x, int y, int width, int height);

    void handleDraw() override;
    void moveChildrenToPlace() override;

    void setSpacing(unsigned pixels);
    unsigned getSpacing() const { return mSpacing; }
    void setSpacingFillColor(unsigned colour);
    void setDirection(direction_t direction);
    direction_t getDirection() const { return mDirection; }

protected:
    // Paints the gaps between visible children in the fill colour.
    void drawSpacing() const;

private:
    direction_t mDirection = DIRECTION_HORIZONTAL;
    unsigned mSpacing = 0;
    unsigned mFillColor = NO_COLOUR;
};

// One row of a list: a fixed-size horizontal stack on a 0xCCCCCC ground with 1-pixel white gaps.
class RowContainer : public StackedContainer {
public:
    static constexpr unsigned BACK_COLOR = 0xCCCCCC;
    static constexpr unsigned GAP_COLOR = 0xFFFFFF;

    RowContainer(Container* parent, int x, int y, int width, int height);

    void handleDraw() override;
};

} // namespace tdx
