#include "SourceApp/application/forms/installer/FormDhwEdit.h"

#include "Libraries/base/fmt.h"
#include "Libraries/base/i18n.h"
#include "SourceApp/application/commands/bindings/FormModel.h"
#include "SourceApp/application/commands/bindings/ValueAdapters.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/forms/installer/ValueEditorRows.h"
#include "SourceApp/storage/ProxyObject.h"
#include "SourceApp/storage/values/Catalogue.h"

namespace tdx {

using namespace editor_rows;

FormDhwEdit::FormDhwEdit(const State& state)
    : VexalStackedContentForm(state) {
    setName("FormDhwEdit");
    const ProxyObject* object = Structure.find(state.getP1());
    if (object == nullptr || !object->type().is(BT_OBJ_DHW)) {
        backOrDefault();
        return;
    }
    namespace DHW = DataModel::Implementation::DHW;
    const oid_t oid = object->oid();
    const std::string name = objectName(*object);
    StackedContainer* content = getContent();
    // The title and the readout's caption go through the catalogue like every text the user sees. The readout
    // and the up-down below are both "Set temperature": the one the unit works to now, and the one the user
    // sets.
    addHeading(content, fmt_gettext("DHW | %s", name));
    addNameRow(content, oid, name);
    const SignedOvi desired = signedOvi(oid, DHW::TempDesired);
    getModel().bind(new NumberValueToStringComponentAdapter(
                        addValueRow(content, gettext("Set temperature")), desired,
                        std::unique_ptr<DataModel::Formatter>(
                            DataModel::Factories::Formatters::TemperatureNoDecimal.create())),
                    desired);
    addUpDown(content, ROW_WIDTH, oid, DHW::TempSet, getModel());
    addUpDown(content, ROW_WIDTH, oid, DHW::TempSpanMin, getModel());
    addUpDown(content, ROW_WIDTH, oid, DHW::TempSpanMax, getModel());
    content->fitToContent();
}

FormDhwEdit::~FormDhwEdit() = default;

} // namespace tdx
