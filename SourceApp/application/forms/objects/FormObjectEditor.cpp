#include "SourceApp/application/forms/objects/FormObjectEditor.h"

#include "Libraries/base/dbg.h"
#include "SourceApp/application/App.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/fragments/ProxyObjectFragment.h"
#include "SourceApp/gui/core/Core.h"
#include "SourceApp/storage/ProxyObject.h"

#include <string>

namespace tdx {

void FormObjectEditor::RestartStateHandler::handleProxyValueChange(ProxyObject& object, const OviEx& change) {
    if (change.vid == mOvi.vid && object.oid() == mOvi.oid) {
        getApplication()->getCore()->restartState();
    }
}

FormObjectEditor::FormObjectEditor(const State& state)
    : VexalStackedContentForm(state)
    , mObjectId(state.getP1()) {
    setName("FormObjectEditor");
    // A state without its heading (a stray change to this id, a history entry that lost its type) is a
    // navigation to nowhere: back, rather than stopping the program.
    const auto* titled = dynamic_cast<const SingleParamState<std::string>*>(&state);
    if (titled == nullptr) {
        dbg_printf_h("FormObjectEditor: state without a heading, going back");
        backOrDefault();
        return;
    }
    ProxyObject* object = Structure.find(mObjectId);
    if (object == nullptr) {
        backOrDefault();
        return;
    }
    StackedContainer* content = getContent();
    new ContainedLabel(content, 0, 0, content->getWidth(), 12, &bif_myriad12, titled->getParam(),
                       HorizontalAlign::Center);
    ProxyObjectFragment::Builder(
        StackedContainer::Builder{
            .parent = content, .width = content->getWidth(), .direction = DIRECTION_VERTICAL, .spacing = 9})
        .build(object, getModel());
    content->fitToContent();
}

FormObjectEditor::~FormObjectEditor() = default;

} // namespace tdx
