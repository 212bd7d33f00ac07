#include "SourceApp/application/controls/SortedIconList.h"

#include "Libraries/base/os.h"
#include "SourceApp/application/controls/widgets.h"
#include "SourceApp/gui/gfx/gfx.h"

namespace tdx {

SortedIconList::SortedIconList(Container* parent, int x, int y, int width, int height)
    : Component(parent, x, y, width, height) {
    setName("SortedIconList");
}

SortedIconList::~SortedIconList() {
    while (mFirst != nullptr) {
        IconItem* next = mFirst->next;
        delete mFirst;
        mFirst = next;
    }
}

SortedIconList::IconItem* SortedIconList::find(uint32_t key) const {
    for (IconItem* item = mFirst; item != nullptr && item->key <= key; item = item->next) {
        if (item->key == key) {
            return item;
        }
    }
    return nullptr;
}

const SortedIconList::IconItem* SortedIconList::getItem(uint32_t key) const {
    return find(key);
}

void SortedIconList::add(uint32_t key, resource_id icon, short yOffset) {
    if (IconItem* item = find(key)) {
        item->icon = icon;
        item->yOffset = yOffset;
        if (item->visible) {
            invalidate();
        }
        return;
    }
    IconItem* previous = nullptr;
    IconItem* next = mFirst;
    while (next != nullptr && next->key < key) {
        previous = next;
        next = next->next;
    }
    auto* item = new IconItem(key, previous, next, icon, yOffset, false);
    (previous != nullptr ? previous->next : mFirst) = item;
    if (next != nullptr) {
        next->previous = item;
    }
}

SortedIconList::IconItem* SortedIconList::findAdded(uint32_t key, const char* function, int line) const {
    IconItem* item = find(key);
    if (item == nullptr) {
        os_assert_show("item", function, __FILE__, line);
    }
    return item;
}

void SortedIconList::remove(uint32_t key) {
    IconItem* item = findAdded(key, "void SortedIconList::remove(uint32_t)", __LINE__);
    (item->previous != nullptr ? item->previous->next : mFirst) = item->next;
    if (item->next != nullptr) {
        item->next->previous = item->previous;
    }
    delete item;
}

void SortedIconList::show(uint32_t key) {
    findAdded(key, "void SortedIconList::show(uint32_t)", __LINE__)->visible = true;
    invalidate();
}

void SortedIconList::hide(uint32_t key) {
    findAdded(key, "void SortedIconList::hide(uint32_t)", __LINE__)->visible = false;
    invalidate();
}

void SortedIconList::setIconVisible(uint32_t key, bool visible) {
    visible ? show(key) : hide(key);
}

void SortedIconList::handleDraw() {
    const Box& box = getBoundingBox();
    gfx_setcolor(colour::WHITE);
    gfx_fill_rect(box);
    gfx_setcolor(colour::TEXT);
    int x = box.x2;
    const int centre = box.y1 + box.getHeight() / 2;
    for (const IconItem* item = mFirst; item != nullptr; item = item->next) {
        if (!item->visible) {
            continue;
        }
        const unsigned char* image = widget_image(item->icon);
        if (image == nullptr) {
            continue;
        }
        x -= gfx_image_width(image);
        gfx_put_image(x, centre - gfx_image_height(image) / 2 + item->yOffset, image);
        x -= GAP;
    }
}

} // namespace tdx
