#include "SourceApp/application/forms/system/FormSystemLocale.h"

#include "Libraries/base/i18n.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/forms/system/SettingsLocaleContent.h"

namespace tdx {

FormSystemLocale::FormSystemLocale(const State& state)
    : VexalStackedContentForm(state) {
    setName("FormSystemLocale");
    setHelp(gettext("Language & Country"));
    StackedContainer* content = getContent();
    new ContainedLabel(content, 0, 0, content->getWidth(), 12, &bif_myriad12,
                       gettext("Display | Language & Country"), HorizontalAlign::Center);
    new SettingsLocaleContent(content, 0, 0);
    content->fitToContent();
}

FormSystemLocale::~FormSystemLocale() = default;

} // namespace tdx
