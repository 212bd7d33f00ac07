#include "SourceApp/application/forms/VexalContentForm.h"

#include "SourceApp/gui/core/layout/Viewport.h"

namespace tdx {

VexalContentForm::VexalContentForm(const State& state)
    : VexalForm(state) {
    Viewport* viewport = createViewport(9, 39, 277, 192);
    auto* content = new Container(viewport, 0, 0, 277, 192);
    content->setSizing(SIZING_KEEP, SIZING_FIT);
    attachContent(content, 209);
}

VexalContentForm::~VexalContentForm() = default;

} // namespace tdx
