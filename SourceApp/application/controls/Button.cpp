#include "SourceApp/application/controls/Button.h"

#include "SourceApp/gui/bif/bif.h"
#include "SourceApp/gui/gfx/gfx.h"

namespace tdx {

Button* Button::Builder::build() const {
    auto* button = new Button(parent, x, y, width, height, text);
    button->setColours(tag, backColor, faceColor, activeBackColor, activeFaceColor);
    if (font != nullptr) {
        button->mFont = font;
    }
    return button;
}

Button::Button(Container* parent, int x, int y, int width, int height, std::string text)
    : FilledButton(parent, x, y, width, height)
    , mText(std::move(text))
    , mFont(&bif_myriad12) {
    setName("Button");
}

void Button::setFont(Font* font) {
    if (font != nullptr) {
        repaintIfChanged(mFont, font);
    }
}

void Button::setText(const std::string& text) {
    repaintIfChanged(mText, text);
}

void Button::handleDraw() {
    drawFilled();
    const Box& box = getBoundingBox();
    const bif_t* font = mFont->getFont();
    print_text_centered_in(font, box, text_top_centered(font, box.y1, box.getHeight()), mText);
}

} // namespace tdx
