// The layout the editors of the heating functions share, built on the rows of all the installer's value
// editors (ValueEditorRows.h): one column of rows 277 wide and 26 high under a breadcrumb, groups folded
// behind a header button whose rows stand 10 pixels in, 267 wide and 5 apart, and rows that show only for
// one option of an enumeration (a curve type, a limiter mode) chosen in the group.
// Every row writes its own value when the installer commits it; the layout keeps no copy of any value.
#pragma once

#include "SourceApp/application/forms/installer/ValueEditorRows.h"
#include "SourceApp/storage/Ovi.h"

#include <memory>
#include <string>

namespace tdx {

class Component;
class Container;
class ContainedLabel;
class EditableDropdownRow;
class EditableStringRow;
class FormModel;
class ICommand;
class NavigationLink;
class ProxyDropdownToggleVisibilityHandler;
class ProxyObject;
class ProxyUpDownRow;
class RowContainer;
class StackedContainer;

// The typed handle of a compiled-in value of an object.
SignedOvi ovi_of(oid_t oid, const DataModel::Descriptor::VidSignedNumber& d);
UnsignedOvi ovi_of(oid_t oid, const DataModel::Descriptor::VidUnsignedNumber& d);
EnumOvi ovi_of(oid_t oid, const DataModel::Descriptor::VidEnum& d);
DataOvi ovi_of(oid_t oid, const DataModel::Descriptor::VidData& d);

// A byte setting read once, when the screen is built: its low byte, or 0xFF when it cannot be read.
unsigned read_setting_byte(oid_t oid, vid_t vid);

class FunctionEditorLayout {
public:
    static constexpr int ROW_WIDTH = editor_rows::ROW_WIDTH;
    static constexpr int ROW_HEIGHT = editor_rows::ROW_HEIGHT;
    static constexpr int GROUP_ROW_WIDTH = editor_rows::GROUP_WIDTH;
    static constexpr int CAPTION_X = 9;
    static constexpr int CAPTION_WIDTH = 176;
    static constexpr int VALUE_WIDTH = 81;
    static constexpr unsigned NOTE_COLOUR = 0x808080;

    // Rows go into `content` (the screen's column) and bind through `model`.
    FunctionEditorLayout(StackedContainer* content, FormModel& model);

    StackedContainer* getContent() const { return mContent; }

    // The breadcrumb at the top, as wide as the column.
    ContainedLabel* addTitle(const std::string& text);
    // The object's name, renamed on the installer's accept.
    EditableStringRow* addNameRow(const ProxyObject& object, const std::string& name);
    // A group header in the column and its hidden rows.
    StackedContainer* addGroup(const std::string& title);
    // A link row of the column (or of `parent`), with the double arrow, running `press`.
    NavigationLink* addLink(const std::string& text, std::unique_ptr<ICommand> press,
                            Container* parent = nullptr);
    NavigationLink* addLink(const std::string& text, unsigned state, oid_t p1);
    // A bold heading as wide as the column, or as a group's row, its text at their left edge.
    ContainedLabel* addHeading(Container* parent, const std::string& text);

    // The rows of a group, 267 x 26.
    // Caption and the value's live text ("--" while it has none); an empty caption shows the value's name.
    RowContainer* addValueRow(Container* group, const SignedOvi& ovi, const std::string& caption = {});
    // Title from the value's name; range, step and text from its descriptor.
    ProxyUpDownRow* addUpDownRow(Container* group, const SignedOvi& ovi);
    ProxyUpDownRow* addUpDownRow(Container* group, const UnsignedOvi& ovi);
    // Caption and an on/off switch on the value.
    RowContainer* addSwitchRow(Container* group, const UnsignedOvi& ovi, const std::string& caption);

    // The values of a heat curve, by kind of function.
    struct CurveValues {
        const DataModel::Descriptor::VidEnum& type;
        const DataModel::Descriptor::VidSignedNumber& curve; // the curve in use, measured
        const DataModel::Descriptor::VidSignedNumber& manual;
        const DataModel::Descriptor::VidSignedNumber& designInlet;
        const DataModel::Descriptor::VidSignedNumber& designOutdoor;
        const DataModel::Descriptor::VidSignedNumber& designRoom;
        const DataModel::Descriptor::VidSignedNumber& displacement;
        const DataModel::Descriptor::VidSignedNumber& minInlet;
        const DataModel::Descriptor::VidSignedNumber& maxInlet;
        const DataModel::Descriptor::VidSignedNumber& gain;
    };
    // The group "Heat curve settings": the curve type's dropdown, the rows of each type (shown for
    // `curveType`, the type read when the screen was built) and the rows every type has.
    StackedContainer* addCurveGroup(oid_t oid, const CurveValues& values, unsigned curveType);

    // The dropdown of an enumeration in a group and the rows that apply to one of its options each.
    class OptionRows {
    public:
        // `current` is the option read when the screen was built (0xFF or any value without an option: none
        // of the rows shows until the installer picks one).
        OptionRows(Container* group, const EnumOvi& ovi, unsigned current);

        // The row shows while the value has `option`.
        template <class Row>
        Row* add(Row* row, unsigned option) {
            registerRow(row, option);
            return row;
        }
        EditableDropdownRow* getRow() const { return mRow; }

    private:
        void registerRow(Component* row, unsigned option);

        EditableDropdownRow* mRow = nullptr;
        ProxyDropdownToggleVisibilityHandler* mHandler = nullptr; // owned by the row
        unsigned mCurrent;
    };

private:
    StackedContainer* mContent;
    FormModel& mModel;
};

} // namespace tdx
