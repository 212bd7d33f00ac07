// Every value of one object (state parameter 1) as rows generated from the object's template, under the
// heading that the opener gives in the state's text (a thermohead's name, for one).
#pragma once

#include "SourceApp/application/forms/VexalStackedContentForm.h"
#include "SourceApp/storage/Ovi.h"
#include "SourceApp/storage/ProxyStructure.h"

namespace tdx {

class FormObjectEditor : public VexalStackedContentForm {
public:
    // Rebuilds the screen shown when one value of one object changes.
    class RestartStateHandler : public ProxyValueChangeHandler {
    public:
        explicit RestartStateHandler(const Ovi& ovi)
            : mOvi(ovi) {}

    protected:
        void handleProxyValueChange(ProxyObject& object, const OviEx& change) override;

    private:
        Ovi mOvi;
    };

    // Expects a state that carries the heading; any other goes back.
    explicit FormObjectEditor(const State& state);
    ~FormObjectEditor() override;

private:
    oid_t mObjectId;
};

} // namespace tdx
