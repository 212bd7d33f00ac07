// The display's date, time and daylight saving under the display menu's title.
#pragma once

#include "SourceApp/application/forms/VexalStackedContentForm.h"

namespace tdx {

class FormSystemDateTime : public VexalStackedContentForm {
public:
    explicit FormSystemDateTime(const State& state);
    ~FormSystemDateTime() override;
};

} // namespace tdx
