// Every object of one type (state parameter 1, low byte) as a small tile, in ascending object id: the lists
// of the system menu's heating functions. Built once; the tiles keep their values current.
#pragma once

#include "SourceApp/application/forms/VexalStackedContentForm.h"

namespace tdx {

class FormObjectOverview : public VexalStackedContentForm {
public:
    explicit FormObjectOverview(const State& state);
    ~FormObjectOverview() override;
};

} // namespace tdx
