#include "SourceApp/application/controls/EditBox.h"

#include "Libraries/base/unicode.h"
#include "SourceApp/application/controls/widgets.h"
#include "SourceApp/gui/bif/bif.h"
#include "SourceApp/gui/gfx/gfx.h"

#include <algorithm>

namespace tdx {

namespace {
constexpr int INSET = 4;
} // namespace

EditBox::EditBox(Container* parent, int x, int y, int width, int height, Font* font, const std::string& text)
    : Component(parent, x, y, width, height)
    , mText(text)
    , mFont(font)
    , mCaret(static_cast<unsigned>(Unicode::length(text)))
    , mLength(mCaret) {
    setName("EditBox");
}

void EditBox::setCaretPosition(unsigned position) {
    position = std::min(position, mLength);
    repaintIfChanged(mCaret, position);
}

void EditBox::appendTextToCaret(const std::string& text) {
    if (text.empty()) {
        return;
    }
    mText.insert(Unicode::offset(mText, mCaret), text);
    const unsigned added = static_cast<unsigned>(Unicode::length(text));
    // The length is counted again: an insertion can join a broken sequence of the old text.
    mLength = static_cast<unsigned>(Unicode::length(mText));
    mCaret = std::min(mCaret + added, mLength);
    invalidate();
}

void EditBox::deleteFromCaret(unsigned count, int direction) {
    unsigned from = mCaret;
    unsigned to = mCaret;
    if (direction < 0) {
        from = mCaret - std::min(count, mCaret);
    } else {
        to = mCaret + std::min(count, mLength - mCaret);
    }
    if (from == to) {
        return;
    }
    const size_t begin = Unicode::offset(mText, from);
    mText.erase(begin, Unicode::offset(mText, to) - begin);
    mLength -= to - from;
    mCaret = from;
    invalidate();
}

void EditBox::handleDraw() {
    const Box& box = getBoundingBox();
    gfx_setcolor(colour::WHITE);
    gfx_fill_rect(box);
    gfx_setcolor(colour::PRESSED);
    gfx_rectangle(box);
    const bif_t* font = mFont != nullptr ? mFont->getFont() : nullptr;
    const Box inner = Box::fromCorners(box.x1 + INSET, box.y1 + 1, box.x2 - INSET, box.y2 - 1);
    const int caretX =
        bif_text_width(font, std::string_view(mText).substr(0, Unicode::offset(mText, mCaret)));
    // Scrolled so that the caret shows at the right end when the text before it is too wide.
    const int shift = std::max(0, caretX - (inner.getWidth() - 1));
    const Box saved = gfx_get_clip();
    gfx_set_clip(saved.intersect(inner));
    const int top = text_top_centered(font, box.y1, box.getHeight());
    gfx_setcolor(colour::TEXT);
    bif_print_text(font, inner.x1 - shift, top, mText);
    if (font != nullptr) {
        gfx_vert_line(inner.x1 + caretX - shift, top + 1, font->ascent + font->descent - 1);
    }
    gfx_set_clip(saved);
}

} // namespace tdx
