#include "SourceApp/application/forms/objects/FormObjectOverview.h"

#include "Libraries/base/i18n.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/Widget.h"
#include "SourceApp/application/controls/factories/ProxyWidgetFactory.h"
#include "SourceApp/gui/core/layout/Viewport.h"
#include "SourceApp/storage/ProxyObject.h"
#include "SourceApp/storage/ProxyStructure.h"

namespace tdx {

FormObjectOverview::FormObjectOverview(const State& state)
    : VexalStackedContentForm(state) {
    setName("FormObjectOverview");
    const auto type = static_cast<uint8_t>(state.getP1() & 0xFF);
    StackedContainer* content = getContent();
    const WidgetSmall::Builder builder{.mParent = content};
    bool any = false;
    for (ProxyObject* object : Structure) {
        if (!object->type().is(type)) {
            continue;
        }
        if (Widget* tile = ProxyWidgetFactory::create(builder, *object, getModel())) {
            tile->tag = object->oid();
            any = true;
        }
    }
    if (!any) {
        new ContainedLabel(content, 0, 0, content->getWidth(), mViewport->getHeight(), &bif_myriad12,
                           gettext("There are no items to be shown"), HorizontalAlign::Center);
    }
    content->fitToContent();
}

FormObjectOverview::~FormObjectOverview() = default;

} // namespace tdx
