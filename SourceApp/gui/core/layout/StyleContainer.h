// A container painted with a background and a border; its children are placed inside the border.
#pragma once

#include "SourceApp/gui/core/Container.h"

namespace tdx {

class StyleContainer : public Container {
public:
    struct Builder {
        Container* parent = nullptr;
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
        int backColor = NO_COLOUR;
        int borderColor = NO_COLOUR;
        int borderWidth = 0;

        StyleContainer* build() const;
    };

    StyleContainer(Container* parent, int x, int y, int width, int height, unsigned backColor,
                   unsigned borderColor, int borderWidth);

    void handleDraw() override;
    void moveChildrenToPlace() override;

    void setBackColor(unsigned colour);
    void setBorderColor(unsigned colour);

private:
    unsigned mBackColor;
    unsigned mBorderColor;
    int mBorderWidth;
};

} // namespace tdx
