// One-line texts without a background. A Label is 20 pixels high and as wide as its text, anchored at x by
// its alignment; a ContainedLabel aligns its text inside a fixed box and cuts it there with an ellipsis.
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
    void setFaceColor(unsigned colour);

    void handleDraw() override;

private:
    int textWidth() const;
    void fit();

    Font* mFont;
    std::string mText;
    HorizontalAlign mAlign;
    TextOrientation mOrientation;
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
