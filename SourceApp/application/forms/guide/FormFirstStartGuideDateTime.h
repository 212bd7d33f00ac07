// The last page of the first-start guide: date, time and daylight saving; "Finish" ends the guide.
#pragma once

#include "SourceApp/application/forms/VexalWizardForm.h"

namespace tdx {

class FormFirstStartGuideDateTime : public VexalWizardForm {
public:
    explicit FormFirstStartGuideDateTime(const State& state);
    ~FormFirstStartGuideDateTime() override;

    void handleMessage(Message* message) override;
};

} // namespace tdx
