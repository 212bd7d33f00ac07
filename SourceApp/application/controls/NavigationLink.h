// A menu row that leads somewhere: grey fill, an optional icon and the text at the left, and a button icon
// centred in the last 40 pixels behind a white separator. Inverted: white fill with a grey outline.
#pragma once

#include "SourceApp/application/controls/CommandButton.h"
#include "SourceApp/application/controls/widgets.h"
#include "SourceApp/gui/bif/bif.h"

#include <string>

namespace tdx {

class NavigationLink : public CommandButton {
public:
    struct Icon {
        resource_id id = res_none;
        int dx = 0;
        int dy = 0;
    };

    struct Builder {
        Container* parent = nullptr;
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
        Font* font = &bif_myriad12;
        std::string text{};
        Icon icon{};
        Icon buttonIcon{res_arrow_right, 0, 0};
        bool inverted = false;

        // Fatal assertion unless the row is wider than 50 and higher than 19 pixels.
        NavigationLink* build() const;
    };

    static constexpr int BUTTON_WIDTH = 40;
    static constexpr int TEXT_INSET = 9;

    void setText(const std::string& text);
    const std::string& getText() const { return mText; }

    void handleDraw() override;

private:
    NavigationLink(Container* parent, int x, int y, int width, int height);

    std::string mText;
    Font* mFont = nullptr;
    Icon mIcon;
    Icon mButtonIcon;
    bool mInverted = false;
};

} // namespace tdx
