// The hot water's editor (state 36, p1 the hot-water object): its name, the temperature the control unit
// wants the water at now, and the set temperature with the band that bounds it.
#pragma once

#include "SourceApp/application/forms/VexalStackedContentForm.h"

namespace tdx {

class FormDhwEdit : public VexalStackedContentForm {
public:
    explicit FormDhwEdit(const State& state);
    ~FormDhwEdit() override;
};

} // namespace tdx
