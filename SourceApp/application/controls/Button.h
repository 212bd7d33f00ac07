// A text button: its back colour filled (the active back colour while pressed), the text centred in the face
// colour. A text with line breaks ("\n") shows its lines centred one below the other; a line too wide for the
// button ends with an ellipsis inside its margins.
#pragma once

#include "SourceApp/application/controls/FilledButton.h"
#include "SourceApp/gui/bif/bif.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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
        // Pixels kept free at each side of a line that does not fit.
        int textMargin = 4;

        Button* build() const;
    };

    Button(Container* parent, int x, int y, int width, int height, std::string text);

    void setFont(Font* font);
    void setText(const std::string& text);
    const std::string& getText() const { return mText; }
    // The lines as drawn, each cut with an ellipsis to fit between the margins.
    std::vector<std::string> getShownLines() const;

    void handleDraw() override;

private:
    std::string mText;
    Font* mFont;
    int mTextMargin = 4;
};

} // namespace tdx
