// The installer's editor of one inlet temperature controller (state parameter 1): its name, live
// temperatures, heat curve, return temperature limiter, optimisation, safety and regulator settings, each
// group folded behind its header; links to the heat curve and to the rooms of its loop.
#pragma once

#include "SourceApp/application/forms/VexalStackedContentForm.h"
#include "SourceApp/application/forms/installer/ProxyDropdownToggleDropdownButtonVisibility.h"

namespace tdx {

class NavigationLink;

class FormItcEdit : public VexalStackedContentForm {
public:
    using ProxyDropdownToggleDropdownButtonVisibility = tdx::ProxyDropdownToggleDropdownButtonVisibility;

    static constexpr state_id_t STATE_ID = 62;

    // Any object but an inlet temperature controller goes back.
    explicit FormItcEdit(const State& state);
    ~FormItcEdit() override;

    void handleMessage(Message* message) override;

private:
    // Shown disabled: what a reset would set is not defined.
    NavigationLink* mResetLink = nullptr;
};

} // namespace tdx
