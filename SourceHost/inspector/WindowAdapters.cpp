#include "SourceHost/inspector/WindowAdapters.h"

#include <algorithm>

namespace tdx {

namespace {
int attributeOf(const ComponentCopy& copy, ComponentAttribute attribute) {
    switch (attribute) {
        case Left:
            return copy.box.getLeft();
        case Top:
            return copy.box.getTop();
        case Width:
            return copy.box.getWidth();
        case Height:
            return copy.box.getHeight();
    }
    return 0;
}
} // namespace

void ComponentChangeAdapter::execute(MessageArgument* argument) {
    MessageReaderComponentAttribute edit;
    if (edit.tryRead(argument) && edit.getComponentAttribute() == mAttribute) {
        mField.Value(edit.getIntegerValue());
    }
}

void IntegerToComponentAttributeAdapter::execute(MessageArgument* argument) {
    MessageReaderInteger value;
    if (value.tryRead(argument)) {
        MessageArgumentComponentAttribute edit(mAttribute, value.getIntegerValue());
        mTarget->execute(&edit);
    }
}

void ComponentToUpDownAdapter::execute(MessageArgument* argument) {
    const ComponentCopy* copy = read_component_copy(argument);
    if (copy == nullptr || (mOnlySelected != nullptr && copy->id != mOnlySelected->getId())) {
        return;
    }
    mField.Value(attributeOf(*copy, mAttribute));
}

void HostModalToListViewAdapter::execute(MessageArgument* argument) {
    const auto* rows = payload_as<MessageArgumentComponentRows>(argument);
    mList.BeginUpdate();
    mList.Clear();
    if (rows != nullptr) {
        for (const ComponentRow& row : rows->getRows()) {
            mList.AddComponent(row.component, row.depth);
        }
    }
    mList.EndUpdate();
}

void HostModalAppendToListViewAdapter::execute(MessageArgument* argument) {
    const auto* rows = payload_as<MessageArgumentComponentRows>(argument);
    if (rows == nullptr || rows->getRows().empty()) {
        return;
    }
    const int base = rows->getRows().front().depth;
    for (const ComponentRow& row : rows->getRows()) {
        mList.AddComponent(row.component, std::max(row.depth - base, 0));
    }
}

void ListViewComponentSelectAdapter::execute(MessageArgument* argument) {
    if (const ComponentCopy* copy = read_component_copy(argument)) {
        mList.ComponentSelect(copy->id);
    }
}

void ListViewComponentNotifyChangeAdapter::execute(MessageArgument* argument) {
    if (const ComponentCopy* copy = read_component_copy(argument)) {
        mList.onComponentChange(*copy);
    }
}

} // namespace tdx
