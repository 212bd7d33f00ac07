#include "SourceApp/application/controls/Label.h"

#include "SourceApp/gui/bif/bif.h"
#include "SourceApp/gui/gfx/gfx.h"

#include <algorithm>

namespace tdx {

namespace {

const bif_t* font_of(const Font* font) {
    return font != nullptr ? font->getFont() : nullptr;
}

int anchored_left(int x, int width, HorizontalAlign align) {
    switch (align) {
        case HorizontalAlign::Center:
            return x - width / 2;
        case HorizontalAlign::Right:
            return x - width + 1;
        default:
            return x;
    }
}

int cell_height(const bif_t* font) {
    return font != nullptr ? font->ascent + font->descent : 0;
}

// Where a line cell of `cell` rows starts across a box edge of `size` pixels from `start`.
int cross_start(const bif_t* font, int start, int size, VerticalAlign align) {
    switch (align) {
        case VerticalAlign::Top:
            return start;
        case VerticalAlign::Bottom:
            return start + size - cell_height(font);
        default:
            return text_top_centered(font, start, size);
    }
}

} // namespace

Label::Label(Container* parent, int x, int y, Font* font, const std::string& text, HorizontalAlign align,
             TextOrientation orientation)
    : Component(parent, x, y, 0, 0)
    , mFont(font)
    , mText(text)
    , mAlign(align)
    , mOrientation(orientation) {
    setName("Label");
    const int w = textWidth();
    if (mOrientation == TextOrientation::Rotated) {
        setDimensions(HEIGHT, w);
    } else {
        setPosition(anchored_left(getLeft(), w, mAlign), getTop());
        setDimensions(w, HEIGHT);
    }
}

int Label::textWidth() const {
    const int w = bif_text_width(font_of(mFont), mText);
    if (mOrientation == TextOrientation::Horizontal && mMaxWidth != NO_LIMIT && w > mMaxWidth) {
        return std::max(mMaxWidth, 0);
    }
    return w;
}

std::string Label::getShownText() const {
    if (mOrientation == TextOrientation::Rotated) {
        return mText;
    }
    return bif_fit_text(font_of(mFont), mText, getWidth());
}

void Label::fit() {
    // The place first, then the size: the parent hears of the new size and may move the label, and a place
    // set after that would undo its move.
    const int w = textWidth();
    if (mOrientation == TextOrientation::Rotated) {
        setPosition(getLeft(), getBottom() - w + 1);
        setDimensions(HEIGHT, w);
        return;
    }
    int anchor = getLeft();
    if (mAlign == HorizontalAlign::Right) {
        anchor = getRight();
    } else if (mAlign == HorizontalAlign::Center) {
        anchor = getLeft() + getWidth() / 2;
    }
    setPosition(anchored_left(anchor, w, mAlign), getTop());
    setDimensions(w, HEIGHT);
}

void Label::setText(const std::string& text) {
    if (text == mText) {
        return;
    }
    mText = text;
    fit();
    invalidate();
}

void Label::setFaceColor(unsigned colour) {
    repaintIfChanged(mColour, colour);
}

void Label::setMaxWidth(int width) {
    if (width == mMaxWidth) {
        return;
    }
    mMaxWidth = width;
    fit();
    invalidate();
}

void Label::setVerticalAlign(VerticalAlign align) {
    repaintIfChanged(mVAlign, align);
}

void Label::handleDraw() {
    const bif_t* font = font_of(mFont);
    gfx_setcolor(mColour);
    const Box& box = getBoundingBox();
    if (mOrientation == TextOrientation::Rotated) {
        bif_print_text_rotated(font, cross_start(font, box.x1, box.getWidth(), mVAlign), box.y2, mText);
    } else {
        bif_print_text(font, box.x1, cross_start(font, box.y1, box.getHeight(), mVAlign), getShownText());
    }
}

ContainedLabel::ContainedLabel(Container* parent, int x, int y, int width, int height, Font* font,
                               const std::string& text, HorizontalAlign halign, VerticalAlign valign,
                               TextOrientation orientation, unsigned colour)
    : Component(parent, x, y, width, height)
    , mFont(font)
    , mText(text)
    , mHAlign(halign)
    , mVAlign(valign)
    , mOrientation(orientation)
    , mColour(colour) {
    setName("ContainedLabel");
}

void ContainedLabel::setText(const std::string& text) {
    repaintIfChanged(mText, text);
}

void ContainedLabel::setFont(Font* font) {
    repaintIfChanged(mFont, font);
}

void ContainedLabel::setFaceColor(unsigned colour) {
    repaintIfChanged(mColour, colour);
}

Box ContainedLabel::getPaintBox() const {
    const bif_t* font = font_of(mFont);
    const Box& box = getBoundingBox();
    if (mOrientation != TextOrientation::Horizontal || font == nullptr || box.isEmpty() ||
        cell_height(font) <= box.getHeight()) {
        return box;
    }
    const int top = cross_start(font, box.y1, box.getHeight(), mVAlign);
    return Box::fromCorners(box.x1, std::min(box.y1, top), box.x2,
                            std::max(box.y2, top + cell_height(font) - 1));
}

void ContainedLabel::handleDraw() {
    const bif_t* font = font_of(mFont);
    const Box& box = getBoundingBox();
    const int w = bif_text_width(font, mText);
    gfx_setcolor(mColour);
    if (mOrientation == TextOrientation::Rotated) {
        // Along the height from the bottom; across the width like the vertical alignment.
        int start = box.y2;
        if (mHAlign == HorizontalAlign::Center) {
            start = box.y2 - (box.getHeight() - w) / 2;
        } else if (mHAlign == HorizontalAlign::Right) {
            start = box.y1 + w - 1;
        }
        bif_print_text_rotated(font, cross_start(font, box.x1, box.getWidth(), mVAlign), start, mText);
        return;
    }
    int x = box.x1;
    if (w > box.getWidth()) {
        bif_print_text_fitted(font, x, cross_start(font, box.y1, box.getHeight(), mVAlign), mText,
                              box.getWidth());
        return;
    }
    if (mHAlign == HorizontalAlign::Center) {
        x = box.x1 + (box.getWidth() - w) / 2;
    } else if (mHAlign == HorizontalAlign::Right) {
        x = box.x2 - w + 1;
    }
    bif_print_text(font, x, cross_start(font, box.y1, box.getHeight(), mVAlign), mText);
}

} // namespace tdx
