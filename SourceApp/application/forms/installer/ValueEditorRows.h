// The rows the installer's value editors share: the heading, the name row, a read-only value row, up-down
// rows on values of the catalogue, a bold section heading and a collapsible group.
#pragma once

#include "SourceApp/storage/DataModel.h"
#include "SourceApp/storage/Ovi.h"

#include <string>

namespace tdx {

class Container;
class Component;
class ContainedLabel;
class EditableStringRow;
class NavigationLink;
class StyleContainer;
class SwitchButton;
class FormModel;
class ProxyObject;
class ProxyUpDownRow;
class StackedContainer;

namespace editor_rows {

inline constexpr int ROW_WIDTH = 277;
inline constexpr int ROW_HEIGHT = 26;
inline constexpr int GROUP_INDENT = 10;
inline constexpr int GROUP_WIDTH = ROW_WIDTH - GROUP_INDENT;
inline constexpr int LABEL_INSET = 9;
inline constexpr int LABEL_WIDTH = 186;
inline constexpr int VALUE_WIDTH = 81;

// A one-line label, left-aligned and vertically centred, in the font that fits its text.
ContainedLabel* addLabel(Container* parent, int x, int width, const std::string& text);

// The object's name, empty when it cannot be read.
std::string objectName(const ProxyObject& object);

// The centred heading as wide as the content, 12 high, in the smaller font when a long breadcrumb needs it.
ContainedLabel* addHeading(StackedContainer* content, const std::string& text);
// The name row: the accepted text is written into the object's name.
EditableStringRow* addNameRow(StackedContainer* content, oid_t oid, const std::string& name);
// A grey row with a label (LABEL_WIDTH, LABEL_INSET in) and a value label that starts as "--"; returns the
// value label.
ContainedLabel* addValueRow(Container* parent, const std::string& label);
// A bold heading between groups of rows.
ContainedLabel* addSectionHeading(Container* parent, const std::string& text);
// Rows that edit one value of the object; an empty label shows the value's translated name.
ProxyUpDownRow* addUpDown(Container* parent, int width, oid_t oid,
                          const DataModel::Descriptor::VidSignedNumber& value, FormModel& model,
                          const std::string& label = {});
ProxyUpDownRow* addUpDown(Container* parent, int width, oid_t oid,
                          const DataModel::Descriptor::VidUnsignedNumber& value, FormModel& model,
                          const std::string& label = {});
// Disables a row's control and greys its caption with it.
void disableRow(ContainedLabel* caption, Component* control);
// A grey row holding a label and a switch that the user cannot flip: the district-heating unit's settings
// and manual operation, which no value carries.
StyleContainer* addGreyRow(Container* parent);
SwitchButton* addFixedSwitchRow(Container* parent, const std::string& label, const std::string& onText,
                                const std::string& offText, bool on);
// A link row with the double arrow of the editors' deeper pages.
NavigationLink* addLink(Container* parent, int width, const std::string& text);
// A title button and the hidden column it opens, 10 pixels in; fit the column once it is filled.
StackedContainer* addGroup(StackedContainer* content, const std::string& title);

template <class D>
SignedOvi signedOvi(oid_t oid, const D& value) {
    return SignedOvi(oid, value.vid, value.vtype, &value);
}
template <class D>
UnsignedOvi unsignedOvi(oid_t oid, const D& value) {
    return UnsignedOvi(oid, value.vid, value.vtype, &value);
}

} // namespace editor_rows
} // namespace tdx
