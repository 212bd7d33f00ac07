// Copies a whole week schedule onto the same value of other objects of the source's type: a check button
// per such object, "Copy" once at least one is checked, one write per checked object.
#pragma once

#include "SourceApp/application/forms/VexalWizardForm.h"
#include "SourceApp/storage/Ovi.h"

#include <vector>

namespace tdx {

class Checkbox;

class FormScheduleCopyTo : public VexalWizardForm {
public:
    static constexpr unsigned STATE_ID = 20;

    explicit FormScheduleCopyTo(const State& state);
    ~FormScheduleCopyTo() override;

    void handleMessage(Message* message) override;

private:
    void copyAndStore();

    Ovi mOvi;
    std::vector<Checkbox*> mTargets; // tag: the object id
};

} // namespace tdx
