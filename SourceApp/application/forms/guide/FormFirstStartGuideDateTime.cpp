#include "SourceApp/application/forms/guide/FormFirstStartGuideDateTime.h"

#include "Libraries/base/i18n.h"
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/forms/guide/GuidePage.h"
#include "SourceApp/application/forms/system/SettingsDateTimeFormContent.h"

namespace tdx {

FormFirstStartGuideDateTime::FormFirstStartGuideDateTime(const State& state)
    : VexalWizardForm(state, false) {
    guide::startPage(*this, "FormFirstStartGuideDateTime", N_("Date & Time"), N_("Date & Time"));
    // Back to the previous page stays; home would leave the guide half done.
    mHomeButton->setEnabled(false);
    mHomeButton->setFaceColor(colour::CONTROL);
    mNextButton->setText(gettext("Finish"));
    new SettingsDateTimeFormContent(getContent(), 0, 0);
    getContent()->fitToContent();
}

FormFirstStartGuideDateTime::~FormFirstStartGuideDateTime() = default;

void FormFirstStartGuideDateTime::handleMessage(Message* message) {
    // The base and the children may consume the message; what it was is decided on a copy.
    const Message m = *message;
    VexalWizardForm::handleMessage(message);
    if (m.isClick(mNextButton)) {
        guide::finish();
    }
}

} // namespace tdx
