#include "SourceApp/application/forms/guide/FormFirstStartGuide.h"

#include "Libraries/base/i18n.h"
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/TextFrame.h"
#include "SourceApp/application/forms/guide/GuidePage.h"
#include "SourceApp/application/forms/system/SettingsLocaleContent.h"

namespace tdx {

namespace {
constexpr state_id_t LOCALE_PAGE_STATE_ID = 5;
} // namespace

FormFirstStartGuide::FormFirstStartGuide(const State& state)
    : VexalWizardForm(state, true) {
    guide::startPage(*this, "FormFirstStartGuide", N_("First Start Guide"), N_("Welcome!"));
    setNavigationEnabled(false);
    StackedContainer* content = getContent();
    const int width = content->getWidth();
    new ContainedLabel(content, 0, 0, width, 12, &bif_myriad12, gettext("Select your language"));
    SettingsLocaleContent::addLanguageRow(content);
    new TextFrame(
        content, 0, 0, width, 0, &bif_myriad12,
        gettext("This wizard will guide you through the most basic setup of your system. If you want to "
                "skip the wizard, click on the \"Skip setup\" button."));
    content->fitToContent();
}

FormFirstStartGuide::~FormFirstStartGuide() = default;

void FormFirstStartGuide::handleMessage(Message* message) {
    // The base and the children may consume the message; what it was is decided on a copy.
    const Message m = *message;
    VexalWizardForm::handleMessage(message);
    if (m.isClick(mExitButton)) {
        guide::finish();
    } else if (m.isClick(mNextButton)) {
        changeState(LOCALE_PAGE_STATE_ID, 0, 0, 0, 0);
    }
}

} // namespace tdx
