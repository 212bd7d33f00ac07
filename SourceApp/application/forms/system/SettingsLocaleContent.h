// The language and the country of the display, as one panel: the language and country screen shows it under
// its title, and the first-start guide in its second step. A language takes effect at once; the country is
// stored for the next start.
#pragma once

#include "SourceApp/application/controls/DropdownItem.h"
#include "SourceApp/gui/core/layout/StackedContainer.h"

namespace tdx {

class EditableDropdownRow;

class SettingsLocaleContent : public StackedContainer {
public:
    // Stores the picked country's code in the configuration record.
    class ChangeCountryCommand : public DropdownItemClickCommand {
    public:
        void execute(DropdownItem* item) override;
    };

    // As wide as the parent, as high as its rows.
    SettingsLocaleContent(Container* parent, int x, int y);
    ~SettingsLocaleContent() override;

    // The language row: every language by its own name, the one in use marked.
    static EditableDropdownRow* addLanguageRow(Container* parent);
};

} // namespace tdx
