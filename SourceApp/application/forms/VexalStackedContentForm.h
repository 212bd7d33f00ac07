// The usual screen: rows stacked top to bottom, 9 pixels apart, in the scrolled content under the top bar.
#pragma once

#include "SourceApp/application/forms/VexalForm.h"
#include "SourceApp/gui/core/layout/StackedContainer.h"

namespace tdx {

class VexalStackedContentForm : public VexalForm {
public:
    explicit VexalStackedContentForm(const State& state);
    ~VexalStackedContentForm() override;

    StackedContainer* getContent() const { return static_cast<StackedContainer*>(mContent); }
};

} // namespace tdx
