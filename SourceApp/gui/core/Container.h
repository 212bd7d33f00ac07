// A component that holds children. A plain Container places nothing: its children keep the absolute positions
// they were given. Layout containers override moveChildrenToPlace().
#pragma once

#include "SourceApp/gui/core/Component.h"
#include "SourceApp/gui/core/ICommand.h"

#include <memory>
#include <vector>

namespace tdx {

class Container : public Component {
public:
    // A width or height of 0 makes that axis follow the content (fitToContent).
    Container(Container* parent, int x, int y, int width, int height);
    ~Container() override;

    void repaint() override;
    bool isContainerType() const override { return true; }
    // Offers the event to the visible children from the last registered to the first, until one consumes
    // it; a touch cancel goes to every child, hidden ones included.
    void handleEvent(Event* event) override;
    // Passes the message to the children in order while its id is not 0.
    void handleMessage(Message* message) override;
    void handleDraw() override;
    // Containers are never selected at a point; their children are.
    void handleDebugEvent(Event*) override {}
    int getPaddingLeft() const override { return mPadding.left; }

    void setSizing(ContainerSizing horizontal, ContainerSizing vertical);
    // Resizes the fitted axes to the furthest visible child and requests a repaint.
    virtual void fitToContent();
    // Layout containers place their visible children again; a plain Container does nothing.
    virtual void moveChildrenToPlace() {}
    virtual void onChildDimensionsChange(Component* child);

    // Deletes the container after the core's message phase.
    void close();

    // Runs whenever the container's size changes.
    void setOnSizeChangeCommand(std::unique_ptr<ICommand> command) { mOnSizeChange = std::move(command); }

    const std::vector<Component*>& getChildren() const { return mChildren; }
    void registerComponent(Component* child);
    void unregisterComponent(Component* child);

protected:
    void handlePositionChange(int oldX, int oldY) override;
    void handleDimensionsChange(int oldWidth, int oldHeight) override;

    // Room kept free inside each edge (a border): children are placed and fitted inside it.
    struct Insets {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
    };
    void setPadding(const Insets& padding) { mPadding = padding; }
    const Insets& getPadding() const { return mPadding; }
    // Where a layout container's children start: the top-left corner inside the padding.
    int getInnerLeft() const { return getLeft() + mPadding.left; }
    int getInnerTop() const { return getTop() + mPadding.top; }

private:
    // Iterates over a copy of the children, skipping any that left the container meanwhile.
    template <class F>
    void forEachChildSafely(const std::vector<Component*>& children, F&& f);

    std::vector<Component*> mChildren;
    unsigned mRemovals = 0; // counts unregistrations, so that delivery notices a child that went away
    std::unique_ptr<ICommand> mOnSizeChange;
    Insets mPadding;
    bool mFitWidth;
    bool mFitHeight;
    bool mFitting = false;
};

} // namespace tdx
