#include "SourceApp/application/controls/Checkbox.h"

#include "SourceApp/application/controls/RadioGroup.h"
#include "SourceApp/gui/bif/bif.h"
#include "SourceApp/gui/gfx/gfx.h"

namespace tdx {

namespace {
constexpr int BOX_WIDTH = 19;
constexpr int BOX_HEIGHT = 18;
constexpr int TICK_AREA = 40; // a row's tick sits centred in its last 40 pixels
} // namespace

Checkbox::Checkbox(Container* parent, int x, int y, int width, int height)
    : Control(parent, x, y, width, height) {
    setName("Checkbox");
}

Checkbox::~Checkbox() {
    if (mGroup != nullptr) {
        mGroup->forget(this);
    }
}

void Checkbox::setChecked(bool checked) {
    if (checked == mChecked) {
        return;
    }
    mChecked = checked;
    handleChecked();
}

void Checkbox::handleChecked() {
    invalidate();
    sendMessage(MSG_CHANGE);
    if (mOnChecked) {
        mOnChecked->execute();
    }
    if (mGroup != nullptr) {
        mGroup->memberChanged(this);
    }
}

void Checkbox::handleClick() {
    setChecked(!mChecked);
}

void Checkbox::handleDraw() {
    // The 19 x 18 box centred in the control.
    const Box& area = getBoundingBox();
    const Box box(area.x1 + (area.getWidth() - BOX_WIDTH) / 2, area.y1 + (area.getHeight() - BOX_HEIGHT) / 2,
                  BOX_WIDTH, BOX_HEIGHT);
    gfx_setcolor(isActive() ? colour::LIGHT : colour::WHITE);
    gfx_fill_rect(box);
    gfx_setcolor(colour::PRESSED);
    gfx_rectangle(box);
    if (mChecked) {
        gfx_setcolor(isEnabled() ? colour::TEXT : colour::DISABLED);
        draw_icon_centered(res_tick, box);
    }
}

CheckButton::CheckButton(Container* parent, int x, int y, int width, int height, std::string text)
    : Checkbox(parent, x, y, width, height)
    , mText(std::move(text)) {
    setName("CheckButton");
}

bool CheckButton::needsSmallerFont() const {
    return bif_text_width(bif_myriad12.getFont(), mText) > getWidth() - TICK_AREA - 9;
}

void CheckButton::useSmallerFont() {
    repaintIfChanged(mSmaller, true);
}

void CheckButton::handleDraw() {
    const Box& box = getBoundingBox();
    gfx_setcolor(isActive() ? colour::PRESSED : colour::CONTROL);
    gfx_fill_rect(box);
    const unsigned face = isEnabled() ? colour::TEXT : colour::DISABLED;
    gfx_setcolor(face);
    if (getChecked()) {
        draw_icon_centered(res_tick, Box::fromCorners(box.x2 - TICK_AREA + 1, box.y1, box.x2, box.y2));
    }
    // A long text, such as a component's name with its serial number, a profile's or a room's name, is shown
    // as far as it can be: in the smaller font, on two lines of it when one is not enough, and only then cut
    // with an ellipsis, as the links show theirs.
    const int room = box.getWidth() - TICK_AREA - 9;
    const bif_t* font = mSmaller || needsSmallerFont() ? bif_myriad10.getFont() : bif_myriad12.getFont();
    const Box saved = gfx_get_clip();
    gfx_set_clip(saved.intersect(Box::fromCorners(box.x1, box.y1, box.x2 - TICK_AREA, box.y2)));
    print_lines_fitted(font, box.x1 + 9, box, mText, room);
    gfx_set_clip(saved);
}

CheckIconButton::CheckIconButton(Container* parent, int x, int y, int width, int height, resource_id icon,
                                 unsigned colour, int dx, int dy)
    : Checkbox(parent, x, y, width, height)
    , mIcon(icon)
    , mColour(colour)
    , mDx(dx)
    , mDy(dy) {
    setName("CheckIconButton");
}

void CheckIconButton::handleDraw() {
    const bool dark = getChecked() || isActive();
    gfx_setcolor(dark ? colour::PRESSED : colour::CONTROL);
    gfx_fill_rect(getBoundingBox());
    gfx_setcolor(!isEnabled() ? colour::DISABLED : (dark ? colour::WHITE : mColour));
    draw_icon_centered(mIcon, getBoundingBox(), mDx, mDy);
}

} // namespace tdx
