// Word-wrapped text without a background. Built with height 0, the frame takes the height of its text and
// follows it whenever the text changes; otherwise the text is aligned vertically inside the fixed height.
#pragma once

#include "SourceApp/application/controls/IStringComponent.h"
#include "SourceApp/application/controls/widgets.h"
#include "SourceApp/gui/core/Component.h"

#include <string>

namespace tdx {

class Font;

class TextFrame : public Component, public IStringComponent {
public:
    TextFrame(Container* parent, int x, int y, int width, int height, Font* font, const std::string& text,
              VerticalAlign align = VerticalAlign::Top, unsigned colour = colour::TEXT);

    // An equal text changes nothing.
    void setText(const std::string& text) override;
    const std::string& getText() const { return mText; }
    void setFaceColor(unsigned colour);
    int getTextHeight() const { return mTextHeight; }
    Font* getFont() const { return mFont; }

    void handleDraw() override;

protected:
    void handleDimensionsChange(int oldWidth, int oldHeight) override;

private:
    void layout();

    std::string mText;
    Font* mFont;
    unsigned mColour;
    int mTextHeight = 0;
    int mOffset = 0; // from the frame's top to the first line
    VerticalAlign mAlign;
    bool mFixedHeight;
};

} // namespace tdx
