// One-line texts without a background. A Label is 20 pixels high and as wide as its text (up to its maximum
// width, beyond which the text ends with an ellipsis), anchored at x by its alignment; a ContainedLabel
// aligns its text inside a fixed box and cuts it there with an ellipsis.
#pragma once

#include "SourceApp/application/controls/IStringComponent.h"
#include "SourceApp/application/controls/widgets.h"
#include "SourceApp/gui/core/Component.h"

#include <string>

namespace tdx {

class Font;

class Label : public Component, public IStringComponent {
public:
    static constexpr int HEIGHT = 20;

    // Alignment Left: x is the left edge; Center: the label is centred on x; Right: x is the right edge and
    // the label grows to the left. A rotated label reads bottom to top and keeps its bottom edge.
    Label(Container* parent, int x, int y, Font* font, const std::string& text,
          HorizontalAlign align = HorizontalAlign::Left,
          TextOrientation orientation = TextOrientation::Horizontal);

    void setText(const std::string& text) override;
    const std::string& getText() const { return mText; }
    Font* getFont() const { return mFont; }
    // What the label draws: its text, cut with an ellipsis when wider than the maximum width.
    std::string getShownText() const;
    void setFaceColor(unsigned colour);
    // A horizontal label no wider than this keeps its anchor and cuts its text; NO_LIMIT lifts the limit.
    static constexpr int NO_LIMIT = -1;
    void setMaxWidth(int width);
    // Where the text line stands inside the 20 rows; middle by default.
    void setVerticalAlign(VerticalAlign align);

    void handleDraw() override;

private:
    int textWidth() const;
    void fit();

    Font* mFont;
    std::string mText;
    HorizontalAlign mAlign;
    TextOrientation mOrientation;
    VerticalAlign mVAlign = VerticalAlign::Middle;
    int mMaxWidth = NO_LIMIT;
    unsigned mColour = colour::TEXT;
};

class ContainedLabel : public Component, public IStringComponent {
public:
    ContainedLabel(Container* parent, int x, int y, int width, int height, Font* font,
                   const std::string& text, HorizontalAlign halign = HorizontalAlign::Left,
                   VerticalAlign valign = VerticalAlign::Middle,
                   TextOrientation orientation = TextOrientation::Horizontal, unsigned colour = colour::TEXT);

    // Nothing happens for the text shown already.
    void setText(const std::string& text) override;
    const std::string& getText() const { return mText; }
    void setFaceColor(unsigned colour);
    unsigned getFaceColor() const { return mColour; }
    Font* getFont() const { return mFont; }
    void setFont(Font* font);

    // A box lower than the font's line (the 12-pixel titles) lets the line's cell reach past it, so that
    // descenders are drawn whole.
    Box getPaintBox() const override;
    void handleDraw() override;

private:
    Font* mFont;
    std::string mText;
    HorizontalAlign mHAlign;
    VerticalAlign mVAlign;
    TextOrientation mOrientation;
    unsigned mColour;
};

} // namespace tdx
