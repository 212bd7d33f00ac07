// The generic editor of one mirrored object: a vertical list with a row for every user-editable value of its
// template, in template order, the kind of row chosen by the value's description alone: a switch, an up-down
// stepper, a dropdown, a text row or a read-only status line. Each row keeps itself current.
//
//   ProxyObjectFragment::Builder({.parent = content, .width = 277, .direction = DIRECTION_VERTICAL})
//       .build(&object, model);
#pragma once

#include "SourceApp/gui/core/layout/StackedContainer.h"
#include "SourceApp/storage/Descriptor.h"

namespace tdx {

class ContainedLabel;
class FormModel;
class ProxyObject;

class ProxyObjectFragment : public StackedContainer {
public:
    static constexpr int ROW_HEIGHT = 26;
    static constexpr int TITLE_X = 9;
    static constexpr int VALUE_WIDTH = 81;

    struct Builder : StackedContainer::Builder {
        Builder() = default;
        explicit Builder(const StackedContainer::Builder& stack)
            : StackedContainer::Builder(stack) {}
        ProxyObjectFragment* build(ProxyObject* object, FormModel& model) const;
    };

    ProxyObjectFragment(const Builder& builder, ProxyObject& object, FormModel& model);

    void addToggle(const DataModel::Descriptor::VidUnsignedNumber* d);
    void addUpDown(const DataModel::Descriptor::VidSignedNumber* d);
    void addUpDown(const DataModel::Descriptor::VidUnsignedNumber* d);
    // A text row for a string; nothing for lists and schedules.
    void addData(const DataModel::Descriptor::VidData* d);
    void addStatusNumber(const DataModel::Descriptor::VidSignedNumber* d);
    void addStatusNumber(const DataModel::Descriptor::VidUnsignedNumber* d);
    void addStatusEnum(const DataModel::Descriptor::VidEnum* d);
    void addEnum(const DataModel::Descriptor::VidEnum* d);
    void addNumber(const DataModel::Descriptor::VidSignedNumber* d);
    void addNumber(const DataModel::Descriptor::VidUnsignedNumber* d);
    void addNumber(const DataModel::Descriptor::VidNumber* d);

private:
    // A row of the title and, returned, the place for its value.
    Container* addTitledRow(const DataModel::Descriptor::VidBase& d, ContainedLabel** title = nullptr);
    ContainedLabel* addValueLabel(Container* row);

    FormModel& mModel;
    ProxyObject& mObject;
};

} // namespace tdx
