#include "SourceApp/application/controls/IconButton.h"

#include "SourceApp/gui/gfx/gfx.h"

namespace tdx {

IconButton* IconButton::Builder::build() const {
    auto* button = new IconButton(mParent, mX, mY, mWidth, mHeight, mIcon);
    auto either = [](int colour, int fallback) {
        return static_cast<unsigned>(colour == NO_COLOUR ? fallback : colour);
    };
    button->tag = mTag;
    button->mDx = mDx;
    button->mDy = mDy;
    button->mBack = static_cast<unsigned>(mBack);
    button->mFace = static_cast<unsigned>(mFace);
    button->mActiveBack = either(mActiveBack, mBack);
    button->mActiveFace = either(mActiveFace, mFace);
    button->mDisabledBack = either(mDisabledBack, mBack);
    button->mDisabledFace = either(mDisabledFace, mFace);
    return button;
}

IconButton::IconButton(Container* parent, int x, int y, int width, int height, resource_id icon)
    : CommandButton(parent, x, y, width, height)
    , mIcon(icon) {
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

namespace {
void change(unsigned& field, unsigned value, Component& c) {
    if (field != value) {
        field = value;
        c.invalidate();
    }
}
} // namespace

void IconButton::setFaceColor(unsigned colour) {
    change(mFace, colour, *this);
}
void IconButton::setBackColor(unsigned colour) {
    change(mBack, colour, *this);
}
void IconButton::setActiveFaceColor(unsigned colour) {
    change(mActiveFace, colour, *this);
}
void IconButton::setActiveBackColor(unsigned colour) {
    change(mActiveBack, colour, *this);
}

void IconButton::handleDraw() {
    const bool enabled = isEnabled();
    gfx_setcolor(!enabled ? mDisabledBack : (isActive() ? mActiveBack : mBack));
    gfx_fill_rect(getBoundingBox());
    gfx_setcolor(!enabled ? mDisabledFace : (isActive() ? mActiveFace : mFace));
    draw_icon_centered(mIcon, getBoundingBox(), mDx, mDy);
}

} // namespace tdx
