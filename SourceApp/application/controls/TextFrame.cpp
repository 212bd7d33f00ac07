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

int TextFrame::countLines(const bif_t* font, int width, std::string_view text) {
    if (font == nullptr || text.empty()) {
        return 0;
    }
    // The same breaks as bif_print_multiline: at the last blank that fits, inside a word no line can hold,
    // and at every line feed; blanks at a wrap are dropped.
    const size_t n = text.size();
    size_t pos = 0;
    int lines = 0;
    for (;;) {
        ++lines;
        size_t i = pos, next_line = n, blank = std::string_view::npos;
        bool wrapped = false, last = false;
        int line_width = 0;
        for (;;) {
            if (i == n) {
                last = true;
                break;
            }
            if (text[i] == '\n') {
                next_line = i + 1;
                break;
            }
            size_t next = i;
            bif_next_code(text, next);
            const int advance = bif_text_width(font, text.substr(i, next - i));
            if (line_width + advance > width && i > pos) {
                next_line = text[i] == ' ' || blank == std::string_view::npos ? i : blank;
                wrapped = true;
                break;
            }
            if (text[i] == ' ') {
                blank = i;
            }
            line_width += advance;
            i = next;
        }
        if (last) {
            return lines;
        }
        pos = next_line;
        while (wrapped && pos < n && text[pos] == ' ') {
            ++pos;
        }
    }
}

void TextFrame::layout() {
    const bif_t* font = mFont != nullptr ? mFont->getFont() : nullptr;
    const int step = font != nullptr ? font->line_step : 0;
    mTextHeight = countLines(font, getWidth(), mText) * step;
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
    if (colour != mColour) {
        mColour = colour;
        invalidate();
    }
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
    // Too much text: the lines that fit whole, from the top; no line is cut in half.
    const int step = std::max<int>(mFont->getFont()->line_step, 1);
    bif_print_multiline(mFont->getFont(), Box(box.x1, box.y1, box.getWidth(), box.getHeight() / step * step),
                        mText);
}

} // namespace tdx
