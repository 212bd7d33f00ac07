// A screen with a column of tabs at the left edge and its rows stacked in the narrower content beside it.
#pragma once

#include "SourceApp/application/forms/VexalForm.h"
#include "SourceApp/gui/core/layout/StackedContainer.h"

namespace tdx {

class VexalSidebarForm : public VexalForm {
public:
    explicit VexalSidebarForm(const State& state);
    ~VexalSidebarForm() override;

    StackedContainer* getContent() const { return static_cast<StackedContainer*>(mContent); }

protected:
    StackedContainer* mSidebar;
};

} // namespace tdx
