// A button showing one icon: the back colour filled, the icon centred (moved by its offsets) in the face
// colour; active colours while pressed, disabled colours while disabled.
#pragma once

#include "SourceApp/application/controls/FilledButton.h"

#include <cstdint>

namespace tdx {

class IconButton : public FilledButton {
public:
    // Each colour NO_COLOUR: the back, respectively face colour.
    struct Builder {
        Container* parent = nullptr;
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
        uint32_t tag = 0;
        int backColor = colour::CONTROL;
        int faceColor = colour::TEXT;
        int activeBackColor = colour::PRESSED;
        int activeFaceColor = NO_COLOUR;
        int disabledBackColor = NO_COLOUR;
        int disabledFaceColor = colour::DISABLED;
        resource_id icon = res_none;
        int8_t iconDx = 0;
        int8_t iconDy = 0;

        IconButton* build() const;
    };

    IconButton(Container* parent, int x, int y, int width, int height, resource_id icon);

    // Changes icon and offsets, only when the icon differs from the current one.
    void setIcon(resource_id icon, int dx, int dy);
    resource_id getIcon() const { return mIcon; }

    void handleDraw() override;
    void handleEnabled(bool) override { invalidate(); }

private:
    resource_id mIcon;
    int mDx = 0;
    int mDy = 0;
};

} // namespace tdx
