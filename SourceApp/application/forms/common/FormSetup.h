// A setup menu of three links that lead nowhere yet. No state opens it.
#pragma once

#include "SourceApp/application/forms/VexalStackedContentForm.h"

namespace tdx {

class FormSetup : public VexalStackedContentForm {
public:
    explicit FormSetup(const State& state);
};

} // namespace tdx
