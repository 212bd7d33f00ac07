// The listeners that join the inspector window's bus to its controls. Each reads one kind of payload (a
// copy, never a live component) and acts on one control on the window thread; payloads of another kind, or
// none, change nothing unless said otherwise.
#pragma once

#include "SourceHost/inspector/ListView.h"
#include "SourceHost/inspector/UpDown.h"
#include "SourceHost/inspector/ViewSelectedComponent.h"

namespace tdx {

// "COMPONENT_MODIFY": an edit of the field's attribute shows its value in the field (silently).
class ComponentChangeAdapter : public Command {
public:
    ComponentChangeAdapter(CUpDown& field, ComponentAttribute attribute)
        : mField(field)
        , mAttribute(attribute) {}
    void execute(MessageArgument* argument) override;

private:
    CUpDown& mField;
    ComponentAttribute mAttribute;
};

// A field's change command: the new value becomes an edit of the attribute raised on the target.
class IntegerToComponentAttributeAdapter : public Command {
public:
    IntegerToComponentAttributeAdapter(std::shared_ptr<Command> target, ComponentAttribute attribute)
        : mTarget(std::move(target))
        , mAttribute(attribute) {}
    void execute(MessageArgument* argument) override;

private:
    std::shared_ptr<Command> mTarget;
    ComponentAttribute mAttribute;
};

// "COMPONENT_SELECT" (and, for the selected component only, "COMPONENT_NOTIFY_CHANGE"): the field shows the
// copy's left, top, width or height.
class ComponentToUpDownAdapter : public Command {
public:
    ComponentToUpDownAdapter(CUpDown& field, ComponentAttribute attribute,
                             const ViewSelectedComponent* onlySelected = nullptr)
        : mField(field)
        , mAttribute(attribute)
        , mOnlySelected(onlySelected) {}
    void execute(MessageArgument* argument) override;

private:
    CUpDown& mField;
    ComponentAttribute mAttribute;
    const ViewSelectedComponent* mOnlySelected;
};

// A field is itself the command that an integer payload sets (CUpDown::execute), and no window registers an
// IntegerToUpDownAdapter for it: none is built.

// Enables or disables the field, whatever the payload.
class UpDownSetEnableAdapter : public Command {
public:
    UpDownSetEnableAdapter(CUpDown& field, bool enable)
        : mField(field)
        , mEnable(enable) {}
    void execute(MessageArgument*) override { mField.Enabled(mEnable ? 1 : 0); }

private:
    CUpDown& mField;
    bool mEnable;
};

// "COMPONENT_TREE_CHANGE": the list is built anew from the rows carried.
class HostModalToListViewAdapter : public Command {
public:
    explicit HostModalToListViewAdapter(CComponentListView& list)
        : mList(list) {}
    void execute(MessageArgument* argument) override;

private:
    CComponentListView& mList;
};

// "COMPONENT_APPEND": the rows carried (a component, then its descendants) are added after those listed, the
// first at depth 0 and the others as deep below it as they are in the tree. The list is neither cleared nor
// updated: the rows show with the list's next update.
class HostModalAppendToListViewAdapter : public Command {
public:
    explicit HostModalAppendToListViewAdapter(CComponentListView& list)
        : mList(list) {}
    void execute(MessageArgument* argument) override;

private:
    CComponentListView& mList;
};

class ListViewComponentSelectAdapter : public Command {
public:
    explicit ListViewComponentSelectAdapter(CComponentListView& list)
        : mList(list) {}
    void execute(MessageArgument* argument) override;

private:
    CComponentListView& mList;
};

class ListViewComponentDeselectAdapter : public Command {
public:
    explicit ListViewComponentDeselectAdapter(CComponentListView& list)
        : mList(list) {}
    void execute(MessageArgument*) override { mList.ComponentDeselect(); }

private:
    CComponentListView& mList;
};

class ListViewComponentNotifyChangeAdapter : public Command {
public:
    explicit ListViewComponentNotifyChangeAdapter(CComponentListView& list)
        : mList(list) {}
    void execute(MessageArgument* argument) override;

private:
    CComponentListView& mList;
};

} // namespace tdx
