// A text button: its back colour filled (the active back colour while pressed), the text centred in the face
// colour.
#pragma once

#include "SourceApp/application/controls/ControlBuilder.h"
#include "SourceApp/application/controls/FilledButton.h"

#include <string>

namespace tdx {

class Font;

class Button : public FilledButton {
public:
    class Builder : public BoundsBuilder<Builder>,
                    public ColourBuilder<Builder>,
                    public TextBuilder<Builder> {
    public:
        Button* build() const;
    };

    Button(Container* parent, int x, int y, int width, int height, std::string text);

    void setFont(Font* font);
    void setText(const std::string& text);
    const std::string& getText() const { return mText; }

    void handleDraw() override;

private:
    std::string mText;
    Font* mFont;
};

} // namespace tdx
