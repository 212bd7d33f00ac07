// The window's side of the selection, free of the toolkit: the copy of the selected component, the tests that
// tell a press on its body from a press on its resize corner, the moving and resizing states of the window's
// machine, and the listeners that send the window's requests to the application thread through the host.
// All of it runs on the window thread and holds copies only.
#pragma once

#include "SourceHost/host/CHost.h"
#include "SourceHost/host/StateMachine.h"
#include "SourceHost/inspector/ComponentCopy.h"

#include <memory>

namespace tdx {

class ViewSelectedComponent : public Command {
public:
    static constexpr int RESIZE_REACH = 3;

    // As a command on the bus it does nothing: the selection changes through its adapters.
    void execute(MessageArgument*) override {}
    // Kept (the one before released) for a press on the resize corner and on the body; the window's machine
    // tells those presses apart itself, so they are never run.
    void setOnResizeAreaDownCommand(std::shared_ptr<Command> command) {
        mOnResizeAreaDown = std::move(command);
    }
    void setOnAreaDownCommand(std::shared_ptr<Command> command) { mOnAreaDown = std::move(command); }
    const std::shared_ptr<Command>& getOnResizeAreaDownCommand() const { return mOnResizeAreaDown; }
    const std::shared_ptr<Command>& getOnAreaDownCommand() const { return mOnAreaDown; }

    // A copy without an id empties the selection.
    void setComponent(const ComponentCopy& component);
    void clear() { setComponent({}); }
    // A newer copy of the selected component (another component's copy is ignored).
    void update(const ComponentCopy& component);
    // 0 nothing selected, 1 a component is selected.
    int getState() const { return mComponent.id != 0 ? 1 : 0; }
    const ComponentCopy& getComponent() const { return mComponent; }
    ComponentId getId() const { return mComponent.id; }
    int getLeft() const { return mComponent.box.x1; }
    int getTop() const { return mComponent.box.y1; }
    int getRight() const { return mComponent.box.x2; }
    int getBottom() const { return mComponent.box.y2; }

    // Inside the box, edges included; false with nothing selected.
    bool intersects(int x, int y) const;
    // Within RESIZE_REACH of the bottom-right pixel on both axes; false with nothing selected.
    bool isAtResizeArea(int x, int y) const;

private:
    ComponentCopy mComponent;
    std::shared_ptr<Command> mOnResizeAreaDown;
    std::shared_ptr<Command> mOnAreaDown;
};

// "COMPONENT_SELECT" (a copy): the view takes it. "COMPONENT_DESELECT", "COMPONENT_TREE_CHANGE": emptied.
class ViewSelectAdapter : public Command {
public:
    explicit ViewSelectAdapter(ViewSelectedComponent& view)
        : mView(view) {}
    void execute(MessageArgument* argument) override;

private:
    ViewSelectedComponent& mView;
};

class ViewDeselectAdapter : public Command {
public:
    explicit ViewDeselectAdapter(ViewSelectedComponent& view)
        : mView(view) {}
    void execute(MessageArgument*) override { mView.clear(); }

private:
    ViewSelectedComponent& mView;
};

// "COMPONENT_NOTIFY_CHANGE": a newer copy of the selected component.
class ViewChangeAdapter : public Command {
public:
    explicit ViewChangeAdapter(ViewSelectedComponent& view)
        : mView(view) {}
    void execute(MessageArgument* argument) override;

private:
    ViewSelectedComponent& mView;
};

// "COMPONENT_MODIFY": the edit, aimed at the component selected now, runs on the application thread.
class ComponentModifyToHostAdapter : public Command {
public:
    ComponentModifyToHostAdapter(CHost& host, ViewSelectedComponent& view)
        : mHost(host)
        , mView(view) {}
    void execute(MessageArgument* argument) override;

private:
    CHost& mHost;
    ViewSelectedComponent& mView;
};

// "COMPONENT_DESELECT_REQUEST": the core's selection is cleared on the application thread.
class HostDeselectAdapter : public Command {
public:
    explicit HostDeselectAdapter(CHost& host)
        : mHost(host) {}
    void execute(MessageArgument*) override { mHost.DeselectComponent(); }

private:
    CHost& mHost;
};

// Neither window registers a listener that hands a picked list row to the host
// (ComponentListViewToHostAdapter: a row goes as "COMPONENT_SELECT_FROM_LIST" to the model) or a core message
// straight to the core (MessageAdapter: the wheel's message goes through the host's queue, to reach the core
// on its own thread), so neither is built.

// "GO_HOME": the core changes to the state, on the application thread.
class ChangeStateAdapter : public Command {
public:
    ChangeStateAdapter(CHost& host, unsigned stateId)
        : mHost(host)
        , mStateId(stateId) {}
    void execute(MessageArgument*) override;

private:
    CHost& mHost;
    unsigned mStateId;
};

// Guards of "TOUCH_START" while a component is selected: a press on the body (not at the corner), a press at
// the resize corner. False without a mouse payload.
class IsInAreaCond : public CommandPredicate {
public:
    explicit IsInAreaCond(const ViewSelectedComponent& view)
        : mView(view) {}
    bool operator()(MessageArgument* argument) const override;

private:
    const ViewSelectedComponent& mView;
};

class IsInResizeAreaCond : public CommandPredicate {
public:
    explicit IsInResizeAreaCond(const ViewSelectedComponent& view)
        : mView(view) {}
    bool operator()(MessageArgument* argument) const override;

private:
    const ViewSelectedComponent& mView;
};

// "Moving": the component follows the pointer, keeping the point where it was grabbed under it. Each
// pointer event raises Left, then Top on the target.
class MovingStateCommand : public StateCommand {
public:
    MovingStateCommand(std::string name, const ViewSelectedComponent& view, std::shared_ptr<Command> target)
        : StateCommand(std::move(name))
        , mView(view)
        , mTarget(std::move(target)) {}
    void onEnter(const std::string& event, MessageArgument* argument) override;
    void onEvent(const std::string& event, MessageArgument* argument) override;
    void onExit(const std::string& event, MessageArgument* argument) override;

private:
    const ViewSelectedComponent& mView;
    std::shared_ptr<Command> mTarget;
    int mGrabX = 0;
    int mGrabY = 0;
};

// "Resizing": the bottom-right corner follows the pointer, kept right of the left edge, below the top edge
// and on the display. Each pointer event raises Width, then Height on the target.
class ResizingStateCommand : public StateCommand {
public:
    ResizingStateCommand(std::string name, const ViewSelectedComponent& view, std::shared_ptr<Command> target)
        : StateCommand(std::move(name))
        , mView(view)
        , mTarget(std::move(target)) {}
    void onEnter(const std::string& event, MessageArgument* argument) override;
    void onEvent(const std::string& event, MessageArgument* argument) override;

private:
    const ViewSelectedComponent& mView;
    std::shared_ptr<Command> mTarget;
    int mOffsetX = 0;
    int mOffsetY = 0;
    int mLastX = 0;
    int mLastY = 0;
};

} // namespace tdx
