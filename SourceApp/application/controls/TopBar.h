// The title bar of every screen, 320 x 30 at the top: a horizontal stack of the screen's buttons and clock on
// the title colour, with a short white separator in the one-pixel gap before every child but the first.
// Spacer is the empty component that takes room in such a stack.
#pragma once

#include "SourceApp/gui/core/layout/StackedContainer.h"

namespace tdx {

class Spacer : public Component {
public:
    Spacer(Container* parent, int x, int y, int width, int height);
};

class TopBar : public StackedContainer {
public:
    static constexpr int WIDTH = 320;
    static constexpr int HEIGHT = 30;

    explicit TopBar(Container* parent);

    void setBackColor(unsigned colour);

    void handleDraw() override;

private:
    unsigned mBackColor;
};

} // namespace tdx
