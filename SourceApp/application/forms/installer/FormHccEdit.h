// The installer's editor of one heating/cooling circuit (state parameter 1): its name and status, live
// temperatures, heat curve settings while the circuit follows a curve, cut-off temperatures, and links to
// its heat curve, its rooms and the analog output that follows it.
#pragma once

#include "SourceApp/application/forms/VexalStackedContentForm.h"
#include "SourceApp/application/forms/installer/ProxyDropdownToggleDropdownButtonVisibility.h"

namespace tdx {

class FormHccEdit : public VexalStackedContentForm {
public:
    using ProxyDropdownToggleDropdownButtonVisibility = tdx::ProxyDropdownToggleDropdownButtonVisibility;

    static constexpr state_id_t STATE_ID = 61;

    // Any object but a heating/cooling circuit goes back.
    explicit FormHccEdit(const State& state);
    ~FormHccEdit() override;

    // The first analog output, in the tree's order, whose value source names the circuit; 0 when none does.
    static oid_t findAnalogOutput(oid_t circuit);
};

} // namespace tdx
