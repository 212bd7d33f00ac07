// The inspector's hook in the GUI core. The core calls it on the application thread; every call is skipped
// while no bridge is attached.
#pragma once

namespace tdx {

class Component;

class DebuggerBridge {
public:
    virtual ~DebuggerBridge() = default;
    virtual void onAfterStateChange(unsigned /*previous*/, unsigned /*next*/) {}
    virtual void onComponentSelect(Component*) {}
    virtual void onComponentDeselect(Component*) {}
    virtual void onMessagePush(Component* /*source*/, unsigned /*id*/, int, int, int, int) {}
    virtual void onComponentChange(Component*) {}
    virtual void onComponentAdd(Component*) {}
    virtual void onComponentRemove(Component*) {}
    virtual void onCoreTaskEnd() {}

    // Deselects the old selection (if any) and selects c (null: nothing).
    void setSelectedComponent(Component* c);
    Component* getSelectedComponent() const { return mSelected; }

    // The component is being destroyed: a selection of it is dropped (and reported as a deselection).
    void forget(Component* c);

private:
    Component* mSelected = nullptr;
};

} // namespace tdx
