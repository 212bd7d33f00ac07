#include "SourceApp/application/controls/FilledButton.h"

#include "SourceApp/gui/gfx/gfx.h"

namespace tdx {

FilledButton::FilledButton(Container* parent, int x, int y, int width, int height)
    : CommandButton(parent, x, y, width, height) {}

void FilledButton::setFaceColor(unsigned colour) {
    repaintIfChanged(mFace, colour);
}
void FilledButton::setBackColor(unsigned colour) {
    repaintIfChanged(mBack, colour);
}
void FilledButton::setActiveFaceColor(unsigned colour) {
    repaintIfChanged(mActiveFace, colour);
}
void FilledButton::setActiveBackColor(unsigned colour) {
    repaintIfChanged(mActiveBack, colour);
}

void FilledButton::setColours(uint32_t buttonTag, int back, int face, int activeBack, int activeFace) {
    tag = buttonTag;
    mBack = static_cast<unsigned>(back);
    mFace = static_cast<unsigned>(face);
    mActiveBack = either(activeBack, back);
    mActiveFace = either(activeFace, face);
}

unsigned FilledButton::either(int colour, int fallback) {
    return static_cast<unsigned>(colour == NO_COLOUR ? fallback : colour);
}

void FilledButton::setDisabledFaceColor(unsigned colour) {
    repaintIfChanged(mDisabledFace, colour);
}

void FilledButton::drawFilled() {
    const bool enabled = isEnabled();
    const bool active = isActive();
    gfx_setcolor(!enabled && mDisabledBack ? *mDisabledBack : (active ? mActiveBack : mBack));
    gfx_fill_rect(getBoundingBox());
    gfx_setcolor(!enabled ? mDisabledFace : (active ? mActiveFace : mFace));
}

} // namespace tdx
