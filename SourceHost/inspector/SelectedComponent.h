// The model's record of the selected component and the listeners that keep it. Everything here touches live
// components and so runs on the application thread, where the GUI core runs.
#pragma once

#include "SourceApp/gui/core/Component.h"
#include "SourceApp/gui/core/DebuggerBridge.h"
#include "SourceHost/host/Command.h"

namespace tdx {

// The selected component and its geometry at the moment of selection, so that a reset can restore it. The
// setters move and resize with the old and the new area redrawn.
class AbstractSelectedComponent {
public:
    virtual ~AbstractSelectedComponent() = default;
    // Null empties the record and keeps the saved geometry, idle until the next selection.
    virtual void setComponent(Component* component);
    Component* getComponent() const { return mComponent; }

    // The current geometry; 0 without a component.
    int getLeft() const;
    int getTop() const;
    int getWidth() const;
    int getHeight() const;
    int getSavedLeft() const { return mSavedLeft; }
    int getSavedTop() const { return mSavedTop; }
    int getSavedWidth() const { return mSavedWidth; }
    int getSavedHeight() const { return mSavedHeight; }

    // Nothing without a component or when the value is the current one.
    void setLeft(int value);
    void setTop(int value);
    void setWidth(int value);
    void setHeight(int value);
    // Back to the geometry saved at the selection.
    void reset();

private:
    void change(void (*apply)(Component&, int), int value);

    Component* mComponent = nullptr;
    // As wide as the components' own geometry: a narrower copy would put a component placed beyond its range
    // (the content of a long scrolled list, one the inspector's fields moved far) back somewhere else.
    int mSavedLeft = 0;
    int mSavedTop = 0;
    int mSavedWidth = 0;
    int mSavedHeight = 0;
};

class SelectedComponent : public AbstractSelectedComponent {};

// "COMPONENT_SELECT": the record takes the carried component.
class SelectComponentAdapter : public Command {
public:
    explicit SelectComponentAdapter(AbstractSelectedComponent& record)
        : mRecord(record) {}
    void execute(MessageArgument* argument) override;

private:
    AbstractSelectedComponent& mRecord;
};

// "COMPONENT_DESELECT", "STATE_CHANGE", "COMPONENT_TREE_CHANGE": the record forgets its component.
class DeselectComponentAdapter : public Command {
public:
    explicit DeselectComponentAdapter(AbstractSelectedComponent& record)
        : mRecord(record) {}
    void execute(MessageArgument*) override { mRecord.setComponent(nullptr); }

private:
    AbstractSelectedComponent& mRecord;
};

// "COMPONENT_RESET": restores the saved geometry. A carried component is the one the user meant: when it is
// no longer the selected one, nothing happens.
class ResetComponentAdapter : public Command {
public:
    explicit ResetComponentAdapter(SelectedComponent& record)
        : mRecord(record) {}
    void execute(MessageArgument* argument) override;

private:
    SelectedComponent& mRecord;
};

// "COMPONENT_SELECT_FROM_LIST": the carried component becomes the core's selection (null deselects).
class SelectComponentFromListAdapter : public Command {
public:
    explicit SelectComponentFromListAdapter(DebuggerBridge& bridge)
        : mBridge(bridge) {}
    void execute(MessageArgument* argument) override;

private:
    DebuggerBridge& mBridge;
};

} // namespace tdx
