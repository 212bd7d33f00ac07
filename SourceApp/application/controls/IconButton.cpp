#include "SourceApp/application/controls/IconButton.h"

namespace tdx {

IconButton* IconButton::Builder::build() const {
    auto* button = new IconButton(mParent, mX, mY, mWidth, mHeight, mIcon);
    applyTo(*button);
    button->mDx = mDx;
    button->mDy = mDy;
    button->mDisabledBack = either(mDisabledBack, mBack);
    button->mDisabledFace = either(mDisabledFace, mFace);
    return button;
}

IconButton::IconButton(Container* parent, int x, int y, int width, int height, resource_id icon)
    : FilledButton(parent, x, y, width, height)
    , mIcon(icon) {
    mDisabledBack = colour::CONTROL;
    setName("IconButton");
}

void IconButton::setIcon(resource_id icon, int dx, int dy) {
    if (icon == mIcon) {
        return;
    }
    mIcon = icon;
    mDx = dx;
    mDy = dy;
    invalidate();
}

void IconButton::handleDraw() {
    drawFilled();
    draw_icon_centered(mIcon, getBoundingBox(), mDx, mDy);
}

} // namespace tdx
