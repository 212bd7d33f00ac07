// The base of every widget and screen: a box in absolute screen pixels inside a parent container. A component
// without a parent is a modal layer of the core.
#pragma once

#include "SourceApp/gui/core/state/SerializedState.h"
#include "SourceApp/gui/core/types.h"
#include "SourceApp/gui/geometry/box.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

namespace tdx {

class Container;

class Component {
public:
    // x and y are absolute for a parent that places nothing (a plain Container), offsets for a layout
    // container.
    Component(Container* parent, int x, int y, int width, int height);
    virtual ~Component();
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    // Queues the box, clipped by every ancestor, for the next repaint when the component was invalidated.
    virtual void repaint();

    virtual bool isContainerType() const { return false; }
    virtual bool isSerializable() const { return false; }
    virtual bool isOwnSerializedState(const SerializedState*) const { return false; }
    virtual std::unique_ptr<SerializedState> handleSerialize() { return nullptr; }
    virtual void handleDeserialize(const SerializedState*) {}

    virtual void handleEvent(Event*) {}
    virtual void handleMessage(Message*) {}
    // Selects the component for the inspector on EVENT_DEBUG_SELECT inside its box.
    virtual void handleDebugEvent(Event* event);
    // Draws the component; the clip is already set to its visible part.
    virtual void handleDraw() {}
    virtual void handleEnabled(bool) {}
    virtual int getPaddingLeft() const { return 0; }

    // Draws the component if visible, clipped to its box and the clip in force.
    void draw();

    // Geometry: absolute pixels, right and bottom inclusive.
    int getLeft() const { return mBox.x1; }
    int getTop() const { return mBox.y1; }
    int getRight() const { return mBox.x2; }
    int getBottom() const { return mBox.y2; }
    int getWidth() const { return mBox.getWidth(); }
    int getHeight() const { return mBox.getHeight(); }
    const Box& getBoundingBox() const { return mBox; }
    // The box clipped by every ancestor's box: the part that can show and take touch.
    Box getVisibleBox() const;
    // The pixels the component paints: its box, or more where a text line is taller than the box (the
    // descenders below a short title). Touch and layout still go by the box alone.
    virtual Box getPaintBox() const { return mBox; }
    // The offset given at construction; layout containers place the component by it.
    int getOffsetX() const { return mOffsetX; }
    int getOffsetY() const { return mOffsetY; }

    void setPosition(int x, int y);
    void setDimensions(int width, int height);

    Container* getParent() const { return mParent; }
    // True when parent is this component's parent or a further ancestor.
    bool isChildOf(const Component* ancestor) const;

    void invalidate() { mNeedsRepaint = true; }
    bool needsRepaint() const { return mNeedsRepaint; }

    void setVisible(bool visible);
    bool isVisible() const { return mVisible; }
    bool isGloballyVisible() const;

    void setEnabled(bool enabled);
    // False when the component or one of its ancestors is disabled.
    bool isEnabled() const;

    void setDebugSelected(bool selected);
    bool isDebugSelected() const { return mDebugSelected; }

    const std::string& getName() const { return mName; }
    void setName(std::string name) { mName = std::move(name); }

    // Queue a message with this component as the source.
    void click();
    void requestFocus(FocusPosition position, int top, int bottom);
    void requestScrollLock();
    void requestScrollUnlock();

    // Free for the owner's use; 0 after construction.
    uint32_t tag = 0;

protected:
    // The box moved from (oldX, oldY); containers move their children along.
    virtual void handlePositionChange(int oldX, int oldY);
    // The size changed (or the component was shown or hidden); tells the parent so that it refits.
    virtual void handleDimensionsChange(int oldWidth, int oldHeight);

    void sendMessage(unsigned id, int p1 = 0, int p2 = 0, int p3 = 0, int p4 = 0);

    // What a setter does with a field it draws: store the value and repaint, only when it differs. True when
    // it changed, for setters with more to do.
    template <class T, class U>
    bool repaintIfChanged(T& field, U&& value) {
        if (field == value) {
            return false;
        }
        field = std::forward<U>(value);
        invalidate();
        return true;
    }

private:
    friend class Container;

    Box clippedByAncestors(Box box) const;

    Container* mParent;
    Box mBox;
    int mOffsetX;
    int mOffsetY;
    bool mVisible = true;
    bool mEnabled = true;
    bool mNeedsRepaint = true;
    bool mDebugSelected = false;
    bool mConstructing = false;
    std::string mName = "Component";
};

} // namespace tdx
