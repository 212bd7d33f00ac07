#include "SourceApp/application/controls/TextFrame.h"

#include "SourceApp/gui/bif/bif.h"
#include "SourceApp/gui/gfx/gfx.h"

#include <algorithm>

namespace tdx {

TextFrame::TextFrame(Container* parent, int x, int y, int width, int height, Font* font,
                     const std::string& text, VerticalAlign align, unsigned colour)
    : Component(parent, x, y, width, height)
    , mText(text)
    , mFont(font)
    , mColour(colour)
    , mAlign(align)
    , mFixedHeight(height != 0) {
    setName("TextFrame");
    layout();
}

void TextFrame::layout() {
    const bif_t* font = mFont != nullptr ? mFont->getFont() : nullptr;
    // The last line keeps the rows its descenders reach below the line step.
    mTextHeight = bif_lines_height(font, bif_count_lines(font, mText, getWidth()));
    if (!mFixedHeight) {
        mOffset = 0;
        setDimensions(getWidth(), mTextHeight);
        return;
    }
    switch (mAlign) {
        case VerticalAlign::Middle:
            mOffset = (getHeight() - mTextHeight) / 2;
            break;
        case VerticalAlign::Bottom:
            mOffset = getHeight() - mTextHeight;
            break;
        default:
            mOffset = 0;
            break;
    }
}

void TextFrame::handleDimensionsChange(int oldWidth, int oldHeight) {
    if (getWidth() != oldWidth) {
        layout();
    }
    Component::handleDimensionsChange(oldWidth, oldHeight);
}

void TextFrame::setText(const std::string& text) {
    if (text == mText) {
        return;
    }
    mText = text;
    layout();
    invalidate();
}

void TextFrame::setFaceColor(unsigned colour) {
    repaintIfChanged(mColour, colour);
}

void TextFrame::handleDraw() {
    if (mTextHeight == 0) {
        return;
    }
    gfx_setcolor(mColour);
    const Box& box = getBoundingBox();
    if (mTextHeight <= box.getHeight()) {
        bif_print_multiline(mFont->getFont(), Box(box.x1, box.y1 + mOffset, box.getWidth(), mTextHeight),
                            mText);
        return;
    }
    // Too much text: the lines that fit whole, from the top; no line is cut in half, descenders included.
    const bif_t* font = mFont->getFont();
    const int lines = bif_lines_fitting(font, box.getHeight());
    size_t pos = 0;
    size_t end = 0;
    for (int line = 0; line < lines && pos != std::string_view::npos; ++line) {
        pos = bif_wrap_line(font, mText, pos, box.getWidth(), &end);
    }
    const std::string_view shown = std::string_view(mText).substr(0, end);
    bif_print_multiline(font, Box(box.x1, box.y1, box.getWidth(), bif_lines_height(font, lines)), shown);
}

} // namespace tdx
