#include "SourceApp/application/forms/VexalSidebarForm.h"

#include "SourceApp/application/controls/widgets.h"
#include "SourceApp/gui/core/layout/Viewport.h"

namespace tdx {

VexalSidebarForm::VexalSidebarForm(const State& state)
    : VexalForm(state)
    , mSidebar(StackedContainer::Builder{.parent = this,
                                         .x = 0,
                                         .y = 31,
                                         .width = 68,
                                         .height = 209,
                                         .direction = DIRECTION_VERTICAL,
                                         .spacing = 1,
                                         .spacingFillColor = static_cast<int>(colour::WHITE)}
                   .build()) {
    Viewport* viewport = createViewport(77, 39, 209, 192);
    attachContent(StackedContainer::Builder{.parent = viewport,
                                            .width = 209,
                                            .height = 209,
                                            .fitHeight = true,
                                            .direction = DIRECTION_VERTICAL,
                                            .spacing = 9}
                      .build(),
                  209);
}

VexalSidebarForm::~VexalSidebarForm() = default;

} // namespace tdx
