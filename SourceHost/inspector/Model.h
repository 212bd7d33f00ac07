// The inspector's model on the application side. The GUI core calls its bridge on the application thread;
// the bridge raises named events on the model's bus ("STATE_CHANGE", "COMPONENT_SELECT",
// "COMPONENT_DESELECT", "COMPONENT_NOTIFY_CHANGE", "COMPONENT_TREE_CHANGE") with the live component, and the
// model's own listeners keep its record of the selection. Whatever leaves for the window is a copy (see
// InspectorLink).
#pragma once

#include "SourceApp/gui/core/Core.h"
#include "SourceHost/host/EventBus.h"
#include "SourceHost/inspector/ComponentCopy.h"
#include "SourceHost/inspector/SelectedComponent.h"

#include <map>
#include <memory>
#include <unordered_map>

namespace tdx {

class Model;

class DebuggerBridgeImpl : public DebuggerBridge {
public:
    explicit DebuggerBridgeImpl(Model& model)
        : mModel(model) {}
    void onAfterStateChange(unsigned previous, unsigned next) override;
    void onComponentSelect(Component* component) override;
    void onComponentDeselect(Component* component) override;
    void onComponentChange(Component* component) override;
    void onComponentAdd(Component* component) override;
    void onComponentRemove(Component* component) override;
    void onCoreTaskEnd() override;

    Model& model() const { return mModel; }
    // The component last announced as selected, kept through its deselection; null after a change of screen.
    // The core's own selection stays DebuggerBridge::getSelectedComponent().
    Component* getSelectedComponent() const { return mAnnounced; }

private:
    Model& mModel;
    Component* mAnnounced = nullptr;
    bool mTreeChanged = false;
};

class Model : public Application {
public:
    explicit Model(std::string name = "Model");
    // Detaches the bridge from the running core first, so that no later pass calls it.
    ~Model() override;
    void run() override {}

    // Attaches the bridge to the core (null: to none). The application thread, or before it runs; a restarted
    // application has a new core and is attached again.
    void attach(Core* core);
    DebuggerBridgeImpl& bridge() { return mBridge; }
    SelectedComponent& selected() { return *mSelected; }

    // ---- Application thread ----
    // The component's id (0 for one the model has not seen enter the tree).
    ComponentId idOf(const Component* component) const;
    // The component of that id in the current tree, or null.
    Component* find(ComponentId id) const;
    ComponentCopy copyOf(const Component* component) const;
    // Every layer, newest first, each followed by its descendants in child order.
    ComponentRows rows() const;
    // Sets the attribute of the selected component when the record holds the component of that id;
    // otherwise nothing, with a log line naming `what`.
    void setAttributeOf(ComponentId id, ComponentAttribute attribute, int value, const char* what);

private:
    friend class DebuggerBridgeImpl;
    void entered(const Component* component);
    // Ids of components that left the tree are dropped; components that entered unseen get one.
    void refreshIds();
    template <class F>
    void forEachInTree(F&& f) const;

    Core* mCore = nullptr;
    std::unique_ptr<SelectedComponent> mSelected;
    DebuggerBridgeImpl mBridge{*this};
    std::unordered_map<const Component*, ComponentId> mIds;
    ComponentId mNextId = 0;
};

// An edit of the selected component's left, top, width or height, made on the window and run on the
// application thread. It names its target: when another component (or none) is selected by the time it runs,
// it does nothing.
class ComponentSetAttributeCommand : public Command {
public:
    ComponentSetAttributeCommand(ComponentId target, ComponentAttribute attribute, int value)
        : mTarget(target)
        , mAttribute(attribute)
        , mValue(value) {}
    void execute(MessageArgument*) override;

private:
    ComponentId mTarget;
    ComponentAttribute mAttribute;
    int mValue;
};

// The bus-driven road for edits: a command per attribute, chosen by a demultiplexer from the attribute an
// edit carries. Nothing in the program registers it; edits from the window travel as
// ComponentSetAttributeCommand. Each command is made for one component, named by its id, and acts on the
// model's record only while it holds that component: one made for a component no longer selected does
// nothing. Application thread.
class ComponentAttributeModifyCommand : public Command {
public:
    ComponentAttributeModifyCommand(Model& model, ComponentId target)
        : mModel(model)
        , mTarget(target) {}
    // An integer argument becomes setAttribute(value); anything else is ignored.
    void execute(MessageArgument* argument) override;
    virtual void setAttribute(int value) = 0;
    SelectedComponent& getComponent() const { return mModel.selected(); }

protected:
    // Sets the attribute, when the record still holds the target.
    void modify(ComponentAttribute attribute, int value);

private:
    Model& mModel;
    ComponentId mTarget;
};

class ComponentLeftAttributeModifyCommand : public ComponentAttributeModifyCommand {
public:
    using ComponentAttributeModifyCommand::ComponentAttributeModifyCommand;
    void setAttribute(int value) override { modify(Left, value); }
};

class ComponentTopAttributeModifyCommand : public ComponentAttributeModifyCommand {
public:
    using ComponentAttributeModifyCommand::ComponentAttributeModifyCommand;
    void setAttribute(int value) override { modify(Top, value); }
};

class ComponentWidthAttributeModifyCommand : public ComponentAttributeModifyCommand {
public:
    using ComponentAttributeModifyCommand::ComponentAttributeModifyCommand;
    void setAttribute(int value) override { modify(Width, value); }
};

class ComponentHeightAttributeModifyCommand : public ComponentAttributeModifyCommand {
public:
    using ComponentAttributeModifyCommand::ComponentAttributeModifyCommand;
    void setAttribute(int value) override { modify(Height, value); }
};

// An edit (attribute and value) goes, as its value alone, to the command registered for its attribute.
class ComponentChangeDemux : public Command {
public:
    // Replaces the command registered for the attribute; null removes it.
    void setAttributeListener(ComponentAttribute attribute, std::shared_ptr<Command> command);
    void execute(MessageArgument* argument) override;

private:
    std::map<ComponentAttribute, std::shared_ptr<Command>> mListeners;
};

// The component picked in the window's list, on its way to the application thread, where nothing is done
// with it yet: the list's pick travels as "COMPONENT_SELECT_FROM_LIST".
class ComponentListViewToHostCommand : public Command {
public:
    explicit ComponentListViewToHostCommand(ComponentId component)
        : mComponent(component) {}
    void execute(MessageArgument*) override {}
    ComponentId getComponent() const { return mComponent; }

private:
    ComponentId mComponent;
};

// The model whose bridge the running core holds, or null.
Model* attached_model();

} // namespace tdx
