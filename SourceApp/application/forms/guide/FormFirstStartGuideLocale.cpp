#include "SourceApp/application/forms/guide/FormFirstStartGuideLocale.h"

#include "Libraries/base/i18n.h"
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/forms/guide/GuidePage.h"
#include "SourceApp/application/forms/system/SettingsLocaleContent.h"

namespace tdx {

namespace {
constexpr state_id_t DATE_TIME_PAGE_STATE_ID = 6;
} // namespace

FormFirstStartGuideLocale::FormFirstStartGuideLocale(const State& state)
    : VexalWizardForm(state, false) {
    guide::startPage(*this, "FormFirstStartGuideLocale", N_("Language & Country"),
                     N_("Select language & country"));
    // Back to the previous page stays; home would leave the guide half done.
    mHomeButton->setEnabled(false);
    mHomeButton->setFaceColor(colour::CONTROL);
    new SettingsLocaleContent(getContent(), 0, 0);
    getContent()->fitToContent();
}

FormFirstStartGuideLocale::~FormFirstStartGuideLocale() = default;

void FormFirstStartGuideLocale::handleMessage(Message* message) {
    // The base and the children may consume the message; what it was is decided on a copy.
    const Message m = *message;
    VexalWizardForm::handleMessage(message);
    if (m.isClick(mNextButton)) {
        changeState(DATE_TIME_PAGE_STATE_ID, 0, 0, 0, 0);
    }
}

} // namespace tdx
