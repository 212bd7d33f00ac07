// Copies one day of a week schedule onto other days of the same schedule: a check button per day (the
// source day disabled) and one write of the whole week.
#pragma once

#include "SourceApp/application/forms/schedule/ScheduleCopyForm.h"
#include "SourceApp/storage/Ovi.h"

namespace tdx {

class FormScheduleCopyOrigin : public ScheduleCopyForm {
public:
    static constexpr state_id_t STATE_ID = 19;

    explicit FormScheduleCopyOrigin(const State& state);
    ~FormScheduleCopyOrigin() override;

protected:
    void copyAndStore() override;

private:
    Ovi mOvi;
    unsigned mDay = 0;
};

} // namespace tdx
