#include "SourceApp/application/forms/system/FormSystemDateTime.h"

#include "Libraries/base/i18n.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/forms/system/SettingsDateTimeFormContent.h"

namespace tdx {

FormSystemDateTime::FormSystemDateTime(const State& state)
    : VexalStackedContentForm(state) {
    setName("FormSystemDateTime");
    setHelp(gettext("Date & Time"));
    StackedContainer* content = getContent();
    new ContainedLabel(content, 0, 0, content->getWidth(), 12, &bif_myriad12,
                       gettext("Display | Date & Time"), HorizontalAlign::Center);
    new SettingsDateTimeFormContent(content, 0, 0);
    content->fitToContent();
}

FormSystemDateTime::~FormSystemDateTime() = default;

} // namespace tdx
