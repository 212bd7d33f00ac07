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
    button->mTextMargin = textMargin;
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

std::vector<std::string> Button::getShownLines() const {
    const bif_t* font = mFont->getFont();
    std::vector<std::string> shown;
    for (std::string_view line : lines_of(mText)) {
        shown.push_back(bif_fit_text(font, line, getWidth() - 2 * mTextMargin));
    }
    return shown;
}

void Button::handleDraw() {
    drawFilled();
    const Box& box = getBoundingBox();
    const bif_t* font = mFont->getFont();
    const std::vector<std::string_view> lines = lines_of(mText);
    const int step = font != nullptr ? font->line_step : 0;
    int top = lines_top_centered(font, box.y1, box.getHeight(), lines.size());
    for (std::string_view line : lines) {
        print_text_centered_in(font, box, top, line, mTextMargin);
        top += step;
    }
}

} // namespace tdx
