// The commands that bind editable rows to values of the data model. Each writes only on the user's accept (or
// pick) and only a value that differs from the table's, and each keeps its row showing the value as it
// changes from the network while the row is not being edited. A handler is owned by its row and lives as
// long as it.
#pragma once

#include "SourceApp/application/controls/DropdownItem.h"
#include "SourceApp/gui/core/ICommand.h"
#include "SourceApp/storage/Ovi.h"
#include "SourceApp/storage/ProxyStructure.h"

#include <functional>

namespace tdx {

class EditableDatePickerRow;
class EditableDropdownRow;
class EditableStringRow;

// Calls its function whenever the value changes in the table, from construction to destruction.
class ValueFollower : public ProxyValueChangeHandler {
public:
    ValueFollower(const Ovi& ovi, std::function<void()> follow);
    ~ValueFollower() override;
    ValueFollower(const ValueFollower&) = delete;
    ValueFollower& operator=(const ValueFollower&) = delete;

protected:
    void handleProxyValueChange(ProxyObject& object, const OviEx& change) override;

private:
    Ovi mOvi;
    std::function<void()> mFollow;
};

// Accept command of a text row: writes the row's text into the text value.
class ProxyStringEditorHandler : public ICommand {
public:
    ProxyStringEditorHandler(EditableStringRow* row, const DataOvi& ovi);
    void execute() override;

private:
    void follow();

    EditableStringRow* mRow;
    DataOvi mOvi;
    ValueFollower mFollower;
};

// Gives a name row the accept command that writes the object's name (text value 0x8090); a row of an object
// whose template has no name is disabled, as an edit would go nowhere.
void bind_name_row(EditableStringRow* row, const ProxyObject& object);

// Item-click command of a dropdown row over an enumeration: the item's index picks the option of the value's
// descriptor, written with the handle's value type when it differs from the table (a missing value counts as
// 0xFFFFFFFF); then handleChange(item, old, new).
class ProxyDropdownEditorHandler : public DropdownItemClickCommand {
public:
    ProxyDropdownEditorHandler(EditableDropdownRow* row, const EnumOvi& ovi);
    void execute(DropdownItem* item) override;

protected:
    // After a write; nothing here.
    virtual void handleChange(DropdownItem* item, unsigned oldValue, unsigned newValue);
    // After the row followed a change made elsewhere to `value` (0xFFFFFFFF: none that the row lists);
    // nothing here.
    virtual void handleFollow(unsigned value);

    EditableDropdownRow* getRow() const { return mRow; }
    const EnumOvi& getOvi() const { return mOvi; }

private:
    void follow();

    EditableDropdownRow* mRow;
    EnumOvi mOvi;
    ValueFollower mFollower;
};

// Accept command of a date row: writes the row's moment (Unix seconds, UTC) into the value. Screens derive
// their own and override execute().
class ProxyDatePickerHandler : public ICommand {
public:
    ProxyDatePickerHandler(EditableDatePickerRow* row, const UnsignedOvi& ovi);
    void execute() override;

protected:
    EditableDatePickerRow* getRow() const { return mRow; }
    const UnsignedOvi& getOvi() const { return mOvi; }

private:
    void follow();

    EditableDatePickerRow* mRow;
    UnsignedOvi mOvi;
    ValueFollower mFollower;
};

} // namespace tdx
