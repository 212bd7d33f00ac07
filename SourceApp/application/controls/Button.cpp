#include "SourceApp/application/controls/Button.h"

#include "SourceApp/gui/bif/bif.h"
#include "SourceApp/gui/gfx/gfx.h"

namespace tdx {

Button* Button::Builder::build() const {
    auto* button = new Button(mParent, mX, mY, mWidth, mHeight, mText);
    button->tag = mTag;
    button->mBack = static_cast<unsigned>(mBack);
    button->mFace = static_cast<unsigned>(mFace);
    button->mActiveBack = static_cast<unsigned>(mActiveBack == NO_COLOUR ? mBack : mActiveBack);
    button->mActiveFace = static_cast<unsigned>(mActiveFace == NO_COLOUR ? mFace : mActiveFace);
    if (mFont != nullptr) {
        button->mFont = mFont;
    }
    return button;
}

Button::Button(Container* parent, int x, int y, int width, int height, std::string text)
    : CommandButton(parent, x, y, width, height)
    , mText(std::move(text))
    , mFont(&bif_myriad12) {
    setName("Button");
}

namespace {
void change(unsigned& field, unsigned value, Component& c) {
    if (field != value) {
        field = value;
        c.invalidate();
    }
}
} // namespace

void Button::setFaceColor(unsigned colour) {
    change(mFace, colour, *this);
}
void Button::setBackColor(unsigned colour) {
    change(mBack, colour, *this);
}
void Button::setActiveFaceColor(unsigned colour) {
    change(mActiveFace, colour, *this);
}
void Button::setActiveBackColor(unsigned colour) {
    change(mActiveBack, colour, *this);
}

void Button::setFont(Font* font) {
    if (font != nullptr && font != mFont) {
        mFont = font;
        invalidate();
    }
}

void Button::setText(const std::string& text) {
    if (text != mText) {
        mText = text;
        invalidate();
    }
}

void Button::handleDraw() {
    const Box& box = getBoundingBox();
    gfx_setcolor(isActive() ? mActiveBack : mBack);
    gfx_fill_rect(box);
    const bif_t* font = mFont->getFont();
    gfx_setcolor(!isEnabled() ? colour::DISABLED : (isActive() ? mActiveFace : mFace));
    print_text_centered_in(font, box, text_top_centered(font, box.y1, box.getHeight()), mText);
}

} // namespace tdx
