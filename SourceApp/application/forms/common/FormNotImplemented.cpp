#include "SourceApp/application/forms/common/FormNotImplemented.h"

#include "SourceApp/application/controls/Label.h"
#include "SourceApp/gui/gfx/gfx.h"

namespace tdx {

FormNotImplemented::FormNotImplemented(const State& state)
    : Form(state) {
    setName("FormNotImplemented");
    // A developer's note, the same in every language.
    new Label(this, 160, 105, &bif_myriad14, "Form not implemented", HorizontalAlign::Center);
}

void FormNotImplemented::handleDraw() {
    gfx_setcolor(colour::WHITE);
    gfx_fill_rect(getBoundingBox());
    Form::handleDraw();
}

} // namespace tdx
