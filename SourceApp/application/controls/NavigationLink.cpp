#include "SourceApp/application/controls/NavigationLink.h"

#include "Libraries/base/os.h"
#include "SourceApp/gui/bif/bif.h"
#include "SourceApp/gui/gfx/gfx.h"

namespace tdx {

NavigationLink* NavigationLink::Builder::build() const {
    // The failures are reported in the words of the widget's fields.
    if (width <= 41 + 9) {
        os_assert_show("mWidth > 41 + 9", __func__, __FILE__, __LINE__);
    }
    if (height <= 19) {
        os_assert_show("mHeight > 19", __func__, __FILE__, __LINE__);
    }
    auto* link = new NavigationLink(parent, x, y, width, height);
    link->mText = text;
    link->mFont = font != nullptr ? font : &bif_myriad12;
    link->mIcon = icon;
    link->mButtonIcon = buttonIcon;
    link->mInverted = inverted;
    return link;
}

NavigationLink::NavigationLink(Container* parent, int x, int y, int width, int height)
    : CommandButton(parent, x, y, width, height) {
    setName("NavigationLink");
}

void NavigationLink::setText(const std::string& text) {
    repaintIfChanged(mText, text);
}

void NavigationLink::handleDraw() {
    const Box& box = getBoundingBox();
    const bool pressed = isActive();
    const unsigned line = mInverted ? colour::CONTROL : colour::WHITE;
    gfx_setcolor(pressed ? colour::PRESSED : (mInverted ? colour::WHITE : colour::CONTROL));
    gfx_fill_rect(box);
    if (mInverted && !pressed) {
        gfx_setcolor(colour::CONTROL);
        gfx_rectangle(box);
    }
    const int separator = box.x2 - BUTTON_WIDTH;
    gfx_setcolor(line);
    gfx_vert_line(separator, box.y1, box.getHeight());

    const unsigned face = !isEnabled() ? colour::DISABLED : (pressed ? colour::WHITE : colour::TEXT);
    gfx_setcolor(face);
    draw_icon_centered(mButtonIcon.id, Box::fromCorners(separator + 1, box.y1, box.x2, box.y2),
                       mButtonIcon.dx, mButtonIcon.dy);

    // Icon and text stay left of the separator.
    const Box saved = gfx_get_clip();
    gfx_set_clip(saved.intersect(Box::fromCorners(box.x1, box.y1, separator - 5, box.y2)));
    int x = box.x1 + TEXT_INSET;
    if (const unsigned char* image = widget_image(mIcon.id)) {
        const int w = gfx_image_width(image);
        gfx_put_image(x + mIcon.dx, box.y1 + (box.getHeight() - gfx_image_height(image)) / 2 + mIcon.dy,
                      image);
        x += w + TEXT_INSET;
    }
    // A text too long for one line takes two where the link is high enough for them, before any ellipsis.
    print_lines_fitted(mFont->getFont(), x, box, mText, separator - 5 - x);
    gfx_set_clip(saved);
}

} // namespace tdx
