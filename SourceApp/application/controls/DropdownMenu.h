// The list a dropdown opens: items 26 pixels high with white separators, the selected one dark, each title
// centred in the usual font, or in the smaller one where the usual would not fit. Owns its items. A click on
// an item sends MSG_ITEM_CLICK with the menu as source and the item's index as p1. Opened with a null parent
// it is a layer of its own, drawn over the screen.
#pragma once

#include "SourceApp/application/controls/DropdownItem.h"
#include "SourceApp/gui/bif/bif.h"
#include "SourceApp/gui/core/Control.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace tdx {

class DropdownMenu : public Control {
public:
    static constexpr int ITEM_HEIGHT = 26;
    static constexpr uint16_t NO_ITEM = 0xFFFF;
    // Columns an item keeps clear at each side of its title.
    static constexpr int TEXT_INSET = 4;

    DropdownMenu(Container* parent, int x, int y, int width);

    // Takes the item; its index is its position. A null item is refused.
    void addItem(DropdownItem* item);
    template <class It>
    void addItems(It begin, It end) {
        for (; begin != end; ++begin) {
            addItem(*begin);
        }
    }
    // Null when the index is out of range.
    DropdownItem* getItem(uint16_t index) const;
    uint16_t getItemCount() const { return static_cast<uint16_t>(mItems.size()); }
    // An index out of range selects nothing.
    void setSelectedItem(uint16_t index);
    uint16_t getSelectedItem() const { return mSelected; }
    // The font a title is drawn in: a title too wide for the usual font takes the smaller one, as the
    // dropdown row's value does, so that a long name reads whole instead of ending in an ellipsis.
    Font* fontOf(std::string_view title) const;
    // The width of a list that shows each item's title whole, at least `least`: a title too wide for the
    // usual font there takes the smaller one, as fontOf gives it.
    static unsigned widthToHold(const std::vector<DropdownItem*>& items, unsigned least);

    void handleEvent(Event* event) override;
    void handleDraw() override;

protected:
    void handleClick() override;

private:
    // The item under a screen row, NO_ITEM on a separator or outside.
    uint16_t itemAt(int y) const;
    Box itemBox(uint16_t index) const;

    std::vector<std::unique_ptr<DropdownItem>> mItems;
    uint16_t mSelected = NO_ITEM;
    uint16_t mPressed = NO_ITEM;
};

} // namespace tdx
