#include "SourceApp/gui/core/Container.h"

#include "SourceApp/gui/core/Core.h"

#include <algorithm>

namespace tdx {

Container::Container(Container* parent, int x, int y, int width, int height)
    : Component(parent, x, y, width, height)
    , mFitWidth(width == 0)
    , mFitHeight(height == 0) {
    setName("Container");
}

Container::~Container() {
    // Each child takes itself out of mChildren as it goes.
    while (!mChildren.empty()) {
        delete mChildren.back();
    }
}

void Container::repaint() {
    Component::repaint();
    for (Component* child : mChildren) {
        child->repaint();
    }
}

template <class F>
void Container::forEachChildSafely(const std::vector<Component*>& children, F&& f) {
    // Handlers may add children (editors, popups) and should only schedule deletions; a child removed all the
    // same is skipped rather than called.
    const unsigned removals = mRemovals;
    for (Component* child : children) {
        if (mRemovals != removals &&
            std::find(mChildren.begin(), mChildren.end(), child) == mChildren.end()) {
            continue;
        }
        if (!f(child)) {
            break;
        }
    }
}

void Container::handleEvent(Event* event) {
    const std::vector<Component*> children(mChildren.rbegin(), mChildren.rend());
    if (event->kind == EVENT_TOUCH_CANCEL) {
        // The end of the touch concerns every child, hidden ones too: one hidden while pressed still is.
        forEachChildSafely(children, [event](Component* child) {
            child->handleEvent(event);
            event->kind = EVENT_TOUCH_CANCEL;
            return true;
        });
        return;
    }
    forEachChildSafely(children, [event](Component* child) {
        if (child->isVisible()) {
            child->handleDebugEvent(event);
            if (event->kind != EVENT_NONE) {
                child->handleEvent(event);
            }
        }
        return event->kind != EVENT_NONE;
    });
}

void Container::handleMessage(Message* message) {
    if (message->id == MSG_NONE) {
        return;
    }
    const std::vector<Component*> children = mChildren;
    forEachChildSafely(children, [message](Component* child) {
        child->handleMessage(message);
        return message->id != MSG_NONE;
    });
}

void Container::handleDraw() {
    for (Component* child : mChildren) {
        child->draw();
    }
}

void Container::setSizing(ContainerSizing horizontal, ContainerSizing vertical) {
    mFitWidth = horizontal != SIZING_KEEP;
    mFitHeight = vertical != SIZING_KEEP;
}

void Container::fitToContent() {
    // A refit reached again through our own size change (a parent that places us) must not recurse.
    if ((!mFitWidth && !mFitHeight) || mFitting) {
        return;
    }
    int right = getInnerLeft() - 1;
    int bottom = getInnerTop() - 1;
    for (const Component* child : mChildren) {
        if (child->isVisible()) {
            right = std::max(right, child->getRight());
            bottom = std::max(bottom, child->getBottom());
        }
    }
    const int width = mFitWidth ? right + mPadding.right - getLeft() + 1 : getWidth();
    const int height = mFitHeight ? bottom + mPadding.bottom - getTop() + 1 : getHeight();
    mFitting = true;
    setDimensions(std::max(width, 0), std::max(height, 0));
    mFitting = false;
    invalidate();
}

void Container::onChildDimensionsChange(Component*) {
    moveChildrenToPlace();
    fitToContent();
}

void Container::close() {
    if (Core* core = Core::current()) {
        core->deleteLater(this);
    }
}

void Container::registerComponent(Component* child) {
    mChildren.push_back(child);
    moveChildrenToPlace();
    if (Core* core = Core::current(); core != nullptr && core->getDebugger() != nullptr) {
        core->getDebugger()->onComponentAdd(child);
    }
}

void Container::unregisterComponent(Component* child) {
    auto it = std::find(mChildren.begin(), mChildren.end(), child);
    if (it == mChildren.end()) {
        return;
    }
    mChildren.erase(it);
    ++mRemovals;
    // The others close up; while this container is being destroyed this is the plain no-op.
    moveChildrenToPlace();
    if (Core* core = Core::current(); core != nullptr && core->getDebugger() != nullptr) {
        core->getDebugger()->onComponentRemove(child);
    }
}

void Container::handlePositionChange(int oldX, int oldY) {
    const int dx = getLeft() - oldX;
    const int dy = getTop() - oldY;
    for (Component* child : mChildren) {
        child->setPosition(child->getLeft() + dx, child->getTop() + dy);
    }
}

void Container::handleDimensionsChange(int oldWidth, int oldHeight) {
    Component::handleDimensionsChange(oldWidth, oldHeight);
    moveChildrenToPlace();
    if (mOnSizeChange) {
        mOnSizeChange->execute();
    }
}

} // namespace tdx
