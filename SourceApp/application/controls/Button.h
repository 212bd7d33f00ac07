// A text button: its back colour filled (the active back colour while pressed), the text centred in the face
// colour.
#pragma once

#include "SourceApp/application/controls/FilledButton.h"
#include "SourceApp/gui/bif/bif.h"

#include <cstdint>
#include <string>

namespace tdx {

class Button : public FilledButton {
public:
    struct Builder {
        Container* parent = nullptr;
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
        uint32_t tag = 0;
        int backColor = colour::CONTROL;
        int faceColor = colour::TEXT;
        int activeBackColor = colour::PRESSED; // NO_COLOUR: the back colour
        int activeFaceColor = NO_COLOUR;       // the face colour
        Font* font = &bif_myriad12;
        std::string text{};

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
