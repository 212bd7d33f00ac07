#include "SourceApp/application/controls/SwitchButton.h"

#include "SourceApp/gui/gfx/gfx.h"

namespace tdx {

namespace {
constexpr int KNOB_WIDTH = 37;
constexpr int TEXT_CENTRE = 20; // from the edge of the half the text stands in
constexpr int MIN_TEXT_HEIGHT = 15;
} // namespace

SwitchButton::SwitchButton(Container* parent, int x, int y, const std::string& onText,
                           const std::string& offText)
    : Checkbox(parent, x, y, WIDTH, HEIGHT)
    , mOnText(onText)
    , mOffText(offText) {
    setName("SwitchButton");
}

void SwitchButton::handleDraw() {
    const Box& box = getBoundingBox();
    const bool enabled = isEnabled();
    gfx_setcolor(colour::WHITE);
    gfx_fill_rect(box);

    const bool on = getChecked();
    const std::string& text = on ? mOnText : mOffText;
    const int textCentre = on ? box.x1 + TEXT_CENTRE : box.x1 + WIDTH - TEXT_CENTRE;
    const int knobX = on ? box.x2 - KNOB_WIDTH : box.x1 + 1;

    // A text that does not fit is left out rather than cut.
    const bif_t* font = bif_myriad12.getFont();
    const int width = bif_text_width(font, text);
    if (width <= box.getWidth() && box.getHeight() >= MIN_TEXT_HEIGHT) {
        gfx_setcolor(enabled ? colour::TEXT : colour::DISABLED);
        bif_print_text(font, textCentre - width / 2, text_top_centered(font, box.y1, box.getHeight()), text);
    }
    gfx_setcolor(enabled ? colour::CONTROL : colour::LIGHT);
    gfx_fill_rect(knobX, box.y1 + 1, knobX + KNOB_WIDTH - 1, box.y2 - 1);
}

} // namespace tdx
