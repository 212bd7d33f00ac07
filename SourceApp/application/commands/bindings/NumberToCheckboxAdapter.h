// Ticks a check box (a switch, for one) while a number of the data model is valid and not 0, and clears it
// otherwise. The box announces the change as a user's tick would, so a screen that writes on its switch
// takes the user's click, not the box's change, as the sign to write.
#pragma once

#include "SourceApp/gui/core/ICommand.h"
#include "SourceApp/storage/Ovi.h"

namespace tdx {

class Checkbox;

class NumberToCheckboxAdapter : public ICommand {
public:
    NumberToCheckboxAdapter(Checkbox* box, const SignedOvi& ovi);
    void execute() override;

private:
    Checkbox* mBox;
    Ovi mOvi;
};

} // namespace tdx
