#include "SourceApp/application/controls/DropdownButton.h"

#include "SourceApp/application/controls/widgets.h"
#include "SourceApp/gui/bif/bif.h"
#include "SourceApp/gui/core/Container.h"
#include "SourceApp/gui/gfx/gfx.h"

namespace tdx {

namespace {

constexpr int ICON_AREA = 40;

class OpenState : public SerializedState {
public:
    explicit OpenState(bool open)
        : SerializedState(unique_id<DropdownButton>())
        , mOpen(open) {}
    bool mOpen;
};

} // namespace

DropdownButton::DropdownButton(Container* parent, int x, int y, int width, int height, std::string title)
    : Control(parent, x, y, width, height)
    , mTitle(std::move(title)) {
    setName("DropdownButton");
}

void DropdownButton::setCollapsibleContent(Container* content) {
    mContent = content;
    if (mContent != nullptr) {
        mContent->setVisible(mOpen);
    }
}

void DropdownButton::setCollapsed(bool open, bool focus) {
    if (open == mOpen) {
        return;
    }
    mOpen = open;
    invalidate();
    if (mContent == nullptr) {
        return;
    }
    mContent->setVisible(open);
    if (open) {
        mContent->fitToContent();
        if (focus) {
            mContent->requestFocus(FOCUS_AS_NEEDED, mContent->getTop(), mContent->getBottom());
        }
    }
}

void DropdownButton::handleClick() {
    setCollapsed(!mOpen, true);
}

bool DropdownButton::isOwnSerializedState(const SerializedState* state) const {
    return state != nullptr && state->getId() == unique_id<DropdownButton>();
}

std::unique_ptr<SerializedState> DropdownButton::handleSerialize() {
    return std::make_unique<OpenState>(mOpen);
}

void DropdownButton::handleDeserialize(const SerializedState* state) {
    if (isOwnSerializedState(state)) {
        setCollapsed(static_cast<const OpenState*>(state)->mOpen, false);
    }
}

void DropdownButton::handleDraw() {
    const Box& box = getBoundingBox();
    const bool pressed = isActive();
    gfx_setcolor(pressed ? colour::PRESSED : (mOpen ? colour::WHITE : colour::CONTROL));
    gfx_fill_rect(box);
    if (mOpen && !pressed) {
        gfx_setcolor(colour::CONTROL);
        gfx_rectangle(box);
    }
    const int separator = box.x2 - ICON_AREA;
    gfx_setcolor(mOpen ? colour::CONTROL : colour::WHITE);
    gfx_vert_line(separator, box.y1, box.getHeight());
    gfx_setcolor(!isEnabled() ? colour::DISABLED : (pressed ? colour::WHITE : colour::TEXT));
    draw_icon_centered(mOpen ? res_arrow_up : res_arrow_down,
                       Box::fromCorners(separator + 1, box.y1, box.x2, box.y2));
    const bif_t* font = bif_myriad12.getFont();
    const Box saved = gfx_get_clip();
    gfx_set_clip(saved.intersect(Box::fromCorners(box.x1, box.y1, separator - 5, box.y2)));
    bif_print_text_fitted(font, box.x1 + 9, text_top_centered(font, box.y1, box.getHeight()), mTitle,
                          separator - 5 - (box.x1 + 9));
    gfx_set_clip(saved);
}

} // namespace tdx
