// The scrolled window of a screen: shows part of its content container, clipped to its own box, and scrolls
// it vertically. Touch outside the box does not reach the content.
#pragma once

#include "SourceApp/gui/core/Container.h"

namespace tdx {

class Viewport : public Container {
public:
    Viewport(Container* parent, int x, int y, int width, int height);

    // The scrolled content; it must be a child of the viewport.
    void setContent(Container* content);
    Container* getContent() const { return mContent; }

    int getVerticalPosition() const { return mPosition; }
    // Scrolls so that content row `position` shows at the top (clamped to 0 .. getMaxVerticalPosition()).
    void setVerticalPosition(int position);
    int getInnerHeight() const;
    int getMaxVerticalPosition() const;

    void handleEvent(Event* event) override;
    void moveChildrenToPlace() override;
    void onChildDimensionsChange(Component* child) override;

private:
    Container* mContent = nullptr;
    int mPosition = 0;
};

} // namespace tdx
