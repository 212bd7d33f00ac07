#include "SourceApp/application/forms/common/FormNotImplemented.h"

#include "SourceApp/application/controls/Label.h"

namespace tdx {

FormNotImplemented::FormNotImplemented(const State& state)
    : VexalForm(state) {
    setName("FormNotImplemented");
    // A developer's note, the same in every language.
    new Label(this, 160, 105, &bif_myriad14, "Form not implemented", HorizontalAlign::Center);
}

} // namespace tdx
