#include "SourceApp/application/controls/EditableTextFrame.h"

#include "SourceApp/gui/bif/bif.h"
#include "SourceApp/gui/gfx/gfx.h"

#include <algorithm>

namespace tdx {

namespace {

constexpr int DEFAULT_LINE_STEP = 15;

bool isContinuation(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

} // namespace

EditableTextFrame::EditableTextFrame(Container* parent, int x, int y, int width, int height, Font* font,
                                     const std::string& text)
    : TextFrame(parent, x, y, width, height, font, text, VerticalAlign::Top, colour::TEXT)
    , mFont(font)
    , mCursor(static_cast<unsigned>(text.size())) {
    changed();
}

void EditableTextFrame::changed() {
    calculateCursorPosition();
    invalidate();
}

void EditableTextFrame::setText(const std::string& text) {
    TextFrame::setText(text);
    mCursor = static_cast<unsigned>(getText().size());
    changed();
}

void EditableTextFrame::append(const std::string& text) {
    std::string edited = getText();
    edited.insert(mCursor, text);
    const unsigned cursor = mCursor + static_cast<unsigned>(text.size());
    TextFrame::setText(edited);
    setCursorPosition(cursor);
}

void EditableTextFrame::deleteFromCursor(unsigned) {
    if (mCursor == 0) {
        return;
    }
    std::string edited = getText();
    unsigned start = mCursor - 1;
    while (start > 0 && isContinuation(edited[start])) {
        --start;
    }
    edited.erase(start, mCursor - start);
    TextFrame::setText(edited);
    mCursor = start;
    changed();
}

void EditableTextFrame::setCursorPosition(unsigned position) {
    const std::string& text = getText();
    unsigned cursor = std::min(position, static_cast<unsigned>(text.size()));
    while (cursor > 0 && cursor < text.size() && isContinuation(text[cursor])) {
        --cursor;
    }
    mCursor = cursor;
    changed();
}

void EditableTextFrame::calculateCursorPosition() {
    // The lines are those the frame draws (bif_wrap_line), so the caret stands where the text is, however
    // many blanks lie between words. A cursor among the blanks dropped at a break stays at that line's end.
    const bif_t* font = mFont != nullptr ? mFont->getFont() : nullptr;
    const std::string& text = getText();
    const int step = font != nullptr && font->line_step > 0 ? font->line_step : DEFAULT_LINE_STEP;
    mCaretX = getLeft();
    mCaretY = getTop();
    if (text.empty() || font == nullptr) {
        return;
    }
    size_t pos = 0;
    for (;;) {
        size_t lineEnd = 0;
        const size_t next = bif_wrap_line(font, text, pos, getWidth(), &lineEnd);
        if (next == std::string_view::npos || mCursor < next) {
            const size_t end = std::min<size_t>(mCursor, lineEnd);
            mCaretX = getLeft() + bif_text_width(font, std::string_view(text).substr(pos, end - pos));
            return;
        }
        pos = next;
        mCaretY += step;
    }
}

void EditableTextFrame::handleDraw() {
    TextFrame::handleDraw();
    gfx_setcolor(colour::TEXT);
    gfx_vert_line(mCaretX, mCaretY + 3, CARET_LENGTH);
}

} // namespace tdx
