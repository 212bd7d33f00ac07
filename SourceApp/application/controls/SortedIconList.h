// A row of status icons keyed by a number, drawn from the right edge leftwards in ascending key order with
// 5 pixels between them; hidden icons leave no gap. The tiles' controllers and adapters switch them.
#pragma once

#include "SourceApp/application/resources/resource_names.h"
#include "SourceApp/gui/core/Component.h"

#include <cstdint>

namespace tdx {

class SortedIconList : public Component {
public:
    static constexpr int GAP = 5;

    // One icon of the list, linked to its neighbours in key order.
    class IconItem {
    public:
        IconItem(uint32_t key, IconItem* previous, IconItem* next, resource_id icon, short yOffset,
                 bool visible)
            : key(key)
            , previous(previous)
            , next(next)
            , icon(icon)
            , yOffset(yOffset)
            , visible(visible) {}

        uint32_t key;
        IconItem* previous;
        IconItem* next;
        resource_id icon;
        short yOffset;
        bool visible;
    };

    SortedIconList(Container* parent, int x, int y, int width, int height);
    ~SortedIconList() override;

    // A known key takes the new icon and offset and keeps its visibility; a new key is inserted hidden.
    void add(uint32_t key, resource_id icon, short yOffset);
    // Show, hide and remove take keys the caller added: another key is a fatal assertion.
    void remove(uint32_t key);
    void show(uint32_t key);
    void hide(uint32_t key);
    void setIconVisible(uint32_t key, bool visible);
    const IconItem* getItem(uint32_t key) const;

    void handleDraw() override;

private:
    IconItem* find(uint32_t key) const;
    // The item of a key the caller added; another key stops the program, naming the operation called.
    IconItem* findAdded(uint32_t key, const char* function, int line) const;

    IconItem* mFirst = nullptr;
};

} // namespace tdx
