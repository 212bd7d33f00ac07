#include "SourceApp/application/forms/VexalStackedContentForm.h"

#include "SourceApp/gui/core/layout/Viewport.h"

namespace tdx {

VexalStackedContentForm::VexalStackedContentForm(const State& state)
    : VexalForm(state) {
    Viewport* viewport = createViewport(9, 39, 277, 192);
    attachContent(StackedContainer::Builder{.parent = viewport,
                                            .width = 277,
                                            .fitHeight = true,
                                            .direction = DIRECTION_VERTICAL,
                                            .spacing = 9}
                      .build(),
                  209);
}

VexalStackedContentForm::~VexalStackedContentForm() = default;

} // namespace tdx
