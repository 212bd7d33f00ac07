#include "SourceApp/gui/core/Component.h"

#include "Libraries/base/dbg.h"
#include "SourceApp/gui/core/Container.h"
#include "SourceApp/gui/core/Core.h"
#include "SourceApp/gui/gfx/gfx.h"

#include <algorithm>

namespace tdx {

namespace {

constexpr unsigned DEBUG_SELECTION_COLOUR = 0xFF00FF;
constexpr unsigned DEBUG_SELECTION_ALPHA = 63;

DebuggerBridge* bridge() {
    Core* core = Core::current();
    return core != nullptr ? core->getDebugger() : nullptr;
}

// Geometry arrives from screens and from the inspector; keeping it within 16 bits keeps every edge
// computation (x + width - 1, offsets, scrolling) far from int overflow.
constexpr int COORD_MIN = -0x8000;
constexpr int COORD_MAX = 0x7FFF;

int saneCoordinate(int value) {
    if (value < COORD_MIN || value > COORD_MAX) {
        dbg_printf_h("GUI: coordinate %d out of range, clamped", value);
        return std::clamp(value, COORD_MIN, COORD_MAX);
    }
    return value;
}

int saneSize(int value) {
    if (value < 0 || value > COORD_MAX) {
        dbg_printf_h("GUI: size %d out of range, clamped", value);
        return std::clamp(value, 0, COORD_MAX);
    }
    return value;
}

} // namespace

Component::Component(Container* parent, int x, int y, int width, int height)
    : mParent(parent)
    , mBox(saneCoordinate(x), saneCoordinate(y), saneSize(width), saneSize(height))
    , mOffsetX(mBox.x1)
    , mOffsetY(mBox.y1) {
    if (parent != nullptr) {
        // The parent may place us right away: that placement is part of the construction, not a move.
        mConstructing = true;
        parent->registerComponent(this);
        mConstructing = false;
    } else if (Core* core = Core::current()) {
        core->newModalLayer(this);
    } else {
        dbg_printf_h("GUI: a root component without a core is not shown");
    }
}

Component::~Component() {
    if (isGloballyVisible()) {
        invalidate();
        repaint();
    }
    if (Core* core = Core::current()) {
        core->forget(this);
    }
    if (mParent != nullptr) {
        mParent->unregisterComponent(this);
    }
}

Box Component::getVisibleBox() const {
    return clippedByAncestors(mBox);
}

Box Component::clippedByAncestors(Box box) const {
    for (const Container* p = mParent; p != nullptr && !box.isEmpty(); p = p->getParent()) {
        box = box.intersect(p->getBoundingBox());
    }
    return box;
}

void Component::repaint() {
    if (!mNeedsRepaint) {
        return;
    }
    mNeedsRepaint = false;
    Core* core = Core::current();
    if (core == nullptr || !isGloballyVisible()) {
        return;
    }
    const Box area = clippedByAncestors(getPaintBox());
    if (!area.isEmpty()) {
        core->addDirtyArea(area);
    }
}

void Component::handleDebugEvent(Event* event) {
    if (event->kind != EVENT_DEBUG_SELECT || !getVisibleBox().contains(event->x, event->y) ||
        !isGloballyVisible()) {
        return;
    }
    if (DebuggerBridge* b = bridge()) {
        b->setSelectedComponent(this);
    }
    event->kind = EVENT_NONE;
}

void Component::draw() {
    if (!mVisible) {
        return;
    }
    const Box saved = gfx_get_clip();
    const Box clip = saved.intersect(getPaintBox());
    if (clip.isEmpty()) {
        return;
    }
    gfx_set_clip(clip);
    handleDraw();
    if (mDebugSelected && (mParent == nullptr || !mParent->isDebugSelected())) {
        gfx_set_clip(clip);
        gfx_blend_rect(mBox, DEBUG_SELECTION_COLOUR, DEBUG_SELECTION_ALPHA);
    }
    gfx_set_clip(saved);
}

void Component::setPosition(int x, int y) {
    x = saneCoordinate(x);
    y = saneCoordinate(y);
    if (x == mBox.x1 && y == mBox.y1) {
        return;
    }
    const int oldX = mBox.x1;
    const int oldY = mBox.y1;
    if (mConstructing) {
        mBox = Box(x, y, mBox.getWidth(), mBox.getHeight());
        return;
    }
    invalidate();
    repaint();
    mBox = Box(x, y, mBox.getWidth(), mBox.getHeight());
    invalidate();
    handlePositionChange(oldX, oldY);
    if (DebuggerBridge* b = bridge()) {
        b->onComponentChange(this);
    }
}

void Component::setDimensions(int width, int height) {
    width = saneSize(width);
    height = saneSize(height);
    const int oldWidth = mBox.getWidth();
    const int oldHeight = mBox.getHeight();
    if (width == oldWidth && height == oldHeight) {
        return;
    }
    invalidate();
    repaint();
    mBox = Box(mBox.x1, mBox.y1, width, height);
    invalidate();
    handleDimensionsChange(oldWidth, oldHeight);
    if (DebuggerBridge* b = bridge()) {
        b->onComponentChange(this);
    }
}

void Component::handlePositionChange(int, int) {}

void Component::handleDimensionsChange(int, int) {
    if (mParent != nullptr) {
        mParent->onChildDimensionsChange(this);
    }
}

bool Component::isChildOf(const Component* ancestor) const {
    for (const Container* p = mParent; p != nullptr; p = p->getParent()) {
        if (p == ancestor) {
            return true;
        }
    }
    return false;
}

void Component::setVisible(bool visible) {
    if (visible == mVisible) {
        return;
    }
    if (!visible) {
        // Queue the area while it still counts as shown, so that what lies under it is drawn again.
        invalidate();
        repaint();
    }
    mVisible = visible;
    invalidate();
    handleDimensionsChange(mBox.getWidth(), mBox.getHeight());
    if (DebuggerBridge* b = bridge()) {
        b->onComponentChange(this);
    }
}

bool Component::isGloballyVisible() const {
    if (!mVisible) {
        return false;
    }
    for (const Container* p = mParent; p != nullptr; p = p->getParent()) {
        if (!p->isVisible()) {
            return false;
        }
    }
    return true;
}

void Component::setEnabled(bool enabled) {
    if (enabled == mEnabled) {
        return;
    }
    mEnabled = enabled;
    invalidate();
    handleEnabled(enabled);
}

bool Component::isEnabled() const {
    if (!mEnabled) {
        return false;
    }
    for (const Component* p = mParent; p != nullptr; p = p->mParent) {
        if (!p->mEnabled) {
            return false;
        }
    }
    return true;
}

void Component::setDebugSelected(bool selected) {
    mDebugSelected = selected;
    invalidate();
}

void Component::sendMessage(unsigned id, int p1, int p2, int p3, int p4) {
    if (Core* core = Core::current()) {
        core->sendMessage(this, id, p1, p2, p3, p4);
    }
}

void Component::click() {
    sendMessage(MSG_CLICK);
}

void Component::requestFocus(FocusPosition position, int top, int bottom) {
    // The request is served later, when an earlier one may already have moved the content: the source's top
    // of this moment tells the receiver how far the range has travelled since.
    sendMessage(MSG_FOCUS_REQUEST, position, top, bottom, getTop());
}

void Component::requestScrollLock() {
    sendMessage(MSG_SCROLL_LOCK_REQUEST);
}

void Component::requestScrollUnlock() {
    sendMessage(MSG_SCROLL_UNLOCK_REQUEST);
}

} // namespace tdx
