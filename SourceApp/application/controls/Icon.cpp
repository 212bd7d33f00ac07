#include "SourceApp/application/controls/Icon.h"

#include "SourceApp/gui/gfx/gfx.h"

#include <algorithm>

namespace tdx {

namespace {
int widthOf(const unsigned char* image) {
    return image != nullptr ? gfx_image_width(image) : 0;
}
int heightOf(const unsigned char* image) {
    return image != nullptr ? gfx_image_height(image) : 0;
}
} // namespace

Icon::Icon(Container* parent, int x, int y, const unsigned char* image, unsigned colour)
    : Component(parent, x, y, widthOf(image), heightOf(image))
    , mImage(image)
    , mColour(colour) {
    setName("Icon");
}

Icon* Icon::create(Container* parent, int x, int y, resource_id id, unsigned colour) {
    return new Icon(parent, x, y, widget_image(id), colour);
}

void Icon::handleDraw() {
    if (mImage == nullptr) {
        return;
    }
    gfx_setcolor(mColour);
    gfx_put_image(getLeft(), getTop(), mImage);
}

ContainedIcon::ContainedIcon(Container* parent, int x, int y, int width, int height,
                             const unsigned char* image, unsigned colour)
    : Component(parent, x, y, width, height)
    , mImage(image)
    , mColour(colour) {
    setName("ContainedIcon");
}

ContainedIcon* ContainedIcon::create(Container* parent, int x, int y, int width, int height, resource_id id,
                                     unsigned colour) {
    return new ContainedIcon(parent, x, y, width, height, widget_image(id), colour);
}

void ContainedIcon::handleDraw() {
    if (mImage == nullptr) {
        return;
    }
    gfx_setcolor(mColour);
    gfx_put_image(getLeft() + (getWidth() - widthOf(mImage)) / 2,
                  getTop() + (getHeight() - heightOf(mImage)) / 2, mImage);
}

MultiIcon::MultiIcon(Container* parent, int x, int y, unsigned colour, int width, int height,
                     HorizontalAlign halign, VerticalAlign valign)
    : Component(parent, x, y, width, height)
    , mHAlign(halign)
    , mVAlign(valign)
    , mColour(colour) {
    setName("MultiIcon");
}

void MultiIcon::addIcon(resource_id id, short dx, short dy) {
    mIcons.push_back({id, dx, dy});
}

void MultiIcon::setIconIndex(signed char index) {
    const int last = static_cast<int>(mIcons.size()) - 1;
    repaintIfChanged(mIndex, static_cast<signed char>(std::clamp<int>(index, -1, std::min(last, 127))));
}

void MultiIcon::clear() {
    mIcons.clear();
    mIndex = -1;
    invalidate();
}

void MultiIcon::handleDraw() {
    if (mIndex < 0 || static_cast<size_t>(mIndex) >= mIcons.size()) {
        return;
    }
    const icon_entry_t& entry = mIcons[static_cast<size_t>(mIndex)];
    const unsigned char* image = widget_image(entry.resource);
    if (image == nullptr) {
        return;
    }
    int x = getLeft() + entry.dx;
    int y = getTop() + entry.dy;
    if (mHAlign == HorizontalAlign::Center) {
        x += getWidth() / 2 - widthOf(image) / 2;
    } else if (mHAlign == HorizontalAlign::Right) {
        x += getWidth() - widthOf(image);
    }
    if (mVAlign == VerticalAlign::Middle) {
        y += getHeight() / 2 - heightOf(image) / 2;
    } else if (mVAlign == VerticalAlign::Bottom) {
        y += getHeight() - heightOf(image);
    }
    gfx_setcolor(mColour);
    gfx_put_image(x, y, image);
}

Oblong::Oblong(Container* parent, int x, int y, int width, int height, unsigned colour)
    : Component(parent, x, y, width, height)
    , mColour(colour) {
    setName("Oblong");
}

void Oblong::handleDraw() {
    if (getWidth() <= 0 || getHeight() <= 0) {
        return;
    }
    gfx_setcolor(mColour);
    gfx_fill_rect(getBoundingBox());
}

HLine::HLine(Container* parent, int x, int y, int length, unsigned colour)
    : Oblong(parent, x, y, length, 1, colour) {
    setName("HLine");
}

VLine::VLine(Container* parent, int x, int y, int length, unsigned colour)
    : Oblong(parent, x, y, 1, length, colour) {
    setName("VLine");
}

} // namespace tdx
