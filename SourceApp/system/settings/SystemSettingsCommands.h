// The commands behind the language, date and time rows of the settings screens and the first-start guide.
#pragma once

#include "SourceApp/application/controls/DropdownItem.h"
#include "SourceApp/gui/core/ICommand.h"

namespace tdx {

class EditableDatePickerRow;
class EditableTimePickerRow;

// The language row's item-click command: item n picks row n of I18n::LANGUAGES. Switches the texts and the
// date patterns, stores the language in the configuration record and rebuilds the screen in the new
// language (its open rows open again). Items beyond the table change nothing.
class ChangeSystemLanguageCommand : public DropdownItemClickCommand {
public:
    void execute(DropdownItem* item) override;
};

// Accept command of the date row: the picked day at the present time of day becomes the clock, and the
// control unit is sent the new time.
class ChangeSystemDateCommand : public ICommand {
public:
    explicit ChangeSystemDateCommand(EditableDatePickerRow* row)
        : mRow(row) {}
    void execute() override;

private:
    EditableDatePickerRow* mRow;
};

// Accept command of the time row: today at the picked time of day becomes the clock, and the control unit is
// sent the new time.
class ChangeSystemTimeCommand : public ICommand {
public:
    explicit ChangeSystemTimeCommand(EditableTimePickerRow* row)
        : mRow(row) {}
    void execute() override;

private:
    EditableTimePickerRow* mRow;
};

} // namespace tdx
