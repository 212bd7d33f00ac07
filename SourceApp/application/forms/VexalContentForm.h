// A screen whose content places its children itself: a plain container scrolled in the viewport.
#pragma once

#include "SourceApp/application/forms/VexalForm.h"

namespace tdx {

class VexalContentForm : public VexalForm {
public:
    explicit VexalContentForm(const State& state);
    ~VexalContentForm() override;

    Container* getContent() const { return mContent; }
};

} // namespace tdx
