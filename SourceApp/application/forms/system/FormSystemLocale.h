// The display's language and country under the display menu's title.
#pragma once

#include "SourceApp/application/forms/VexalStackedContentForm.h"

namespace tdx {

class FormSystemLocale : public VexalStackedContentForm {
public:
    explicit FormSystemLocale(const State& state);
    ~FormSystemLocale() override;
};

} // namespace tdx
