// The service screen of the district-heating unit: its sensor readings and its manual operation. The unit
// reports none of its readings over the network and takes no manual command from the display, so the
// readings show "--" and the manual operation is shown disabled.
#pragma once

#include "SourceApp/application/forms/VexalStackedContentForm.h"

namespace tdx {

class FormMireloService : public VexalStackedContentForm {
public:
    explicit FormMireloService(const State& state);
    ~FormMireloService() override;
};

} // namespace tdx
