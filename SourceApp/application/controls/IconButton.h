// A button showing one icon: the back colour filled, the icon centred (moved by its offsets) in the face
// colour; active colours while pressed, disabled colours while disabled.
#pragma once

#include "SourceApp/application/controls/ControlBuilder.h"
#include "SourceApp/application/controls/FilledButton.h"

#include <cstdint>

namespace tdx {

class IconButton : public FilledButton {
public:
    class Builder : public BoundsBuilder<Builder>, public ColourBuilder<Builder> {
    public:
        // Each of these -1: the back, respectively face colour.
        Builder& disabledBackColor(int colour) {
            mDisabledBack = colour;
            return *this;
        }
        Builder& disabledFaceColor(int colour) {
            mDisabledFace = colour;
            return *this;
        }
        Builder& icon(resource_id icon, int8_t dx = 0, int8_t dy = 0) {
            mIcon = icon;
            mDx = dx;
            mDy = dy;
            return *this;
        }
        IconButton* build() const;

    private:
        int mDisabledBack = NO_COLOUR;
        int mDisabledFace = colour::DISABLED;
        resource_id mIcon = res_none;
        int8_t mDx = 0;
        int8_t mDy = 0;
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
