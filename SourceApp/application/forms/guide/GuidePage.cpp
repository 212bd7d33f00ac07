#include "SourceApp/application/forms/guide/GuidePage.h"

#include "Libraries/base/i18n.h"
#include "SourceApp/application/App.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/forms/VexalWizardForm.h"
#include "SourceApp/gui/core/Core.h"
#include "SourceApp/system/config.h"

namespace tdx::guide {

void startPage(VexalWizardForm& page, const char* name, const char* helpTopic, const char* heading) {
    page.setName(name);
    page.setHelp(gettext(helpTopic));
    StackedContainer* content = page.getContent();
    content->setSpacing(9);
    page.setAwakeOverride(true);
    new ContainedLabel(content, 0, 0, content->getWidth(), 15, &bif_myriad14, gettext(heading),
                       HorizontalAlign::Center);
}

void finish() {
    Configuration.first_start = 0;
    config_apply();
    getApplication()->getCore()->defaultState();
}

} // namespace tdx::guide
