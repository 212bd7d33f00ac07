// Copies one day of a week schedule onto other days of the same schedule: a check button per day (the
// source day disabled), "Copy" once at least one is checked, one write of the whole week.
#pragma once

#include "SourceApp/application/forms/VexalWizardForm.h"
#include "SourceApp/storage/Ovi.h"

#include <vector>

namespace tdx {

class Checkbox;

class FormScheduleCopyOrigin : public VexalWizardForm {
public:
    static constexpr unsigned STATE_ID = 19;

    explicit FormScheduleCopyOrigin(const State& state);
    ~FormScheduleCopyOrigin() override;

    void handleMessage(Message* message) override;

private:
    void copyAndStore();

    Ovi mOvi;
    unsigned mDay = 0;
    std::vector<Checkbox*> mDays;
};

// The wizard footer of both copy screens: "Copy" (disabled until something is checked) and "Cancel".
void schedule_copy_footer(VexalWizardForm& form, Button* next, Button* exit);
// "Copy" follows the check buttons: enabled while at least one is checked.
bool schedule_any_checked(const std::vector<Checkbox*>& boxes);

} // namespace tdx
