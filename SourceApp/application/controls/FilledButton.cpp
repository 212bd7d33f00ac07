#include "SourceApp/application/controls/FilledButton.h"

#include "SourceApp/gui/gfx/gfx.h"

namespace tdx {

FilledButton::FilledButton(Container* parent, int x, int y, int width, int height)
    : CommandButton(parent, x, y, width, height) {}

namespace {
void change(unsigned& field, unsigned value, Component& c) {
    if (field != value) {
        field = value;
        c.invalidate();
    }
}
} // namespace

void FilledButton::setFaceColor(unsigned colour) {
    change(mFace, colour, *this);
}
void FilledButton::setBackColor(unsigned colour) {
    change(mBack, colour, *this);
}
void FilledButton::setActiveFaceColor(unsigned colour) {
    change(mActiveFace, colour, *this);
}
void FilledButton::setActiveBackColor(unsigned colour) {
    change(mActiveBack, colour, *this);
}

void FilledButton::drawFilled() {
    const bool enabled = isEnabled();
    const bool active = isActive();
    gfx_setcolor(!enabled && mDisabledBack ? *mDisabledBack : (active ? mActiveBack : mBack));
    gfx_fill_rect(getBoundingBox());
    gfx_setcolor(!enabled ? mDisabledFace : (active ? mActiveFace : mFace));
}

} // namespace tdx
