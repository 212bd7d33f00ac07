// Copies a whole week schedule onto the same value of other objects of the source's type: a check button
// per such object and one write per checked object.
#pragma once

#include "SourceApp/application/forms/schedule/ScheduleCopyForm.h"
#include "SourceApp/storage/Ovi.h"

namespace tdx {

class FormScheduleCopyTo : public ScheduleCopyForm {
public:
    static constexpr state_id_t STATE_ID = 20;

    explicit FormScheduleCopyTo(const State& state);
    ~FormScheduleCopyTo() override;

protected:
    void copyAndStore() override;

private:
    Ovi mOvi;
};

} // namespace tdx
