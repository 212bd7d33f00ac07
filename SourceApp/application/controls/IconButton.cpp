#include "SourceApp/application/controls/IconButton.h"

namespace tdx {

IconButton* IconButton::Builder::build() const {
    auto* button = new IconButton(parent, x, y, width, height, icon);
    button->setColours(tag, backColor, faceColor, activeBackColor, activeFaceColor);
    button->mDx = iconDx;
    button->mDy = iconDy;
    button->mDisabledBack = either(disabledBackColor, backColor);
    button->mDisabledFace = either(disabledFaceColor, faceColor);
    return button;
}

IconButton::IconButton(Container* parent, int x, int y, int width, int height, resource_id icon)
    : FilledButton(parent, x, y, width, height)
    , mIcon(icon) {
    mDisabledBack = colour::CONTROL;
    setName("IconButton");
}

void IconButton::setIcon(resource_id icon, int dx, int dy) {
    if (repaintIfChanged(mIcon, icon)) {
        mDx = dx;
        mDy = dy;
    }
}

void IconButton::handleDraw() {
    drawFilled();
    draw_icon_centered(mIcon, getBoundingBox(), mDx, mDy);
}

} // namespace tdx
