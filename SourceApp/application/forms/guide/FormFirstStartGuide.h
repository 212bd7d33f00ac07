// The first page of the first-start guide: a welcome, the choice of language, and the way out ("Skip setup")
// for a user who wants to set everything later.
#pragma once

#include "SourceApp/application/forms/VexalWizardForm.h"

namespace tdx {

class FormFirstStartGuide : public VexalWizardForm {
public:
    explicit FormFirstStartGuide(const State& state);
    ~FormFirstStartGuide() override;

    void handleMessage(Message* message) override;
};

} // namespace tdx
