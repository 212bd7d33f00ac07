// The second page of the first-start guide: language and country.
#pragma once

#include "SourceApp/application/forms/VexalWizardForm.h"

namespace tdx {

class FormFirstStartGuideLocale : public VexalWizardForm {
public:
    explicit FormFirstStartGuideLocale(const State& state);
    ~FormFirstStartGuideLocale() override;

    void handleMessage(Message* message) override;
};

} // namespace tdx
