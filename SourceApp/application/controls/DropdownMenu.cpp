#include "SourceApp/application/controls/DropdownMenu.h"

#include "Libraries/base/dbg.h"
#include "SourceApp/application/controls/widgets.h"
#include "SourceApp/gui/bif/bif.h"
#include "SourceApp/gui/gfx/gfx.h"

#include <algorithm>

namespace tdx {

namespace {
constexpr int PITCH = DropdownMenu::ITEM_HEIGHT + 1;
} // namespace

DropdownMenu::DropdownMenu(Container* parent, int x, int y, int width)
    : Control(parent, x, y, width, 0) {
    setName("DropdownMenu");
}

void DropdownMenu::addItem(DropdownItem* item) {
    if (item == nullptr || mItems.size() >= NO_ITEM) {
        dbg_printf_h("DropdownMenu: item refused");
        return;
    }
    item->setIndex(static_cast<uint16_t>(mItems.size()));
    mItems.emplace_back(item);
    setDimensions(getWidth(), static_cast<int>(mItems.size()) * PITCH - 1);
    invalidate();
}

DropdownItem* DropdownMenu::getItem(uint16_t index) const {
    return index < mItems.size() ? mItems[index].get() : nullptr;
}

void DropdownMenu::setSelectedItem(uint16_t index) {
    if (index >= mItems.size()) {
        dbg_printf_h("DropdownMenu: selection %u of %u items ignored", static_cast<unsigned>(index),
                     static_cast<unsigned>(mItems.size()));
        index = NO_ITEM;
    }
    repaintIfChanged(mSelected, index);
}

Font* DropdownMenu::fontOf(std::string_view title) const {
    // The inset keeps the text clear of the item's edges: the two clear columns that fitting_font leaves
    // come out of it.
    return fitting_font(title, getWidth() - 2 * TEXT_INSET + 2);
}

unsigned DropdownMenu::widthToHold(const std::vector<DropdownItem*>& items, unsigned least) {
    int width = static_cast<int>(std::min(least, 0x7FFFu));
    for (const DropdownItem* item : items) {
        if (item != nullptr) {
            width =
                std::max(width, bif_text_width(bif_myriad10.getFont(), item->getTitle()) + 2 * TEXT_INSET);
        }
    }
    return static_cast<unsigned>(width);
}

uint16_t DropdownMenu::itemAt(int y) const {
    const int row = y - getTop();
    if (row < 0 || row % PITCH == ITEM_HEIGHT) {
        return NO_ITEM;
    }
    const auto index = static_cast<size_t>(row / PITCH);
    return index < mItems.size() ? static_cast<uint16_t>(index) : NO_ITEM;
}

Box DropdownMenu::itemBox(uint16_t index) const {
    return Box(getLeft(), getTop() + index * PITCH, getWidth(), ITEM_HEIGHT);
}

void DropdownMenu::handleEvent(Event* event) {
    if (event->kind == EVENT_TOUCH_PRESS && getVisibleBox().contains(event->x, event->y)) {
        mPressed = itemAt(event->y);
        invalidate();
    } else if (event->kind == EVENT_TOUCH_CANCEL ||
               (event->kind == EVENT_TOUCH_RELEASE && mPressed != NO_ITEM && itemAt(event->y) != mPressed)) {
        // Released over another item, or a layer came in front: no item was clicked.
        mPressed = NO_ITEM;
        invalidate();
    }
    Control::handleEvent(event);
}

void DropdownMenu::handleClick() {
    const uint16_t index = mPressed;
    mPressed = NO_ITEM;
    invalidate();
    if (index != NO_ITEM) {
        sendMessage(MSG_ITEM_CLICK, index);
    }
}

void DropdownMenu::handleDraw() {
    gfx_setcolor(colour::WHITE);
    gfx_fill_rect(getBoundingBox());
    for (uint16_t i = 0; i < mItems.size(); ++i) {
        const Box box = itemBox(i);
        const bool dark = i == mSelected || (isActive() && i == mPressed);
        gfx_setcolor(dark ? colour::PRESSED : colour::CONTROL);
        gfx_fill_rect(box);
        gfx_setcolor(!isEnabled() ? colour::DISABLED : (dark ? colour::WHITE : colour::TEXT));
        const Box saved = gfx_get_clip();
        gfx_set_clip(saved.intersect(box));
        const std::string& title = mItems[i]->getTitle();
        const bif_t* font = fontOf(title)->getFont();
        print_text_centered_in(font, box, text_top_centered(font, box.y1, ITEM_HEIGHT), title, TEXT_INSET);
        gfx_set_clip(saved);
    }
}

} // namespace tdx
