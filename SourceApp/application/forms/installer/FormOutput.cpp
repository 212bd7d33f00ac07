#include "SourceApp/application/forms/installer/FormOutput.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/fmt.h"
#include "Libraries/base/i18n.h"
#include "SourceApp/application/commands/bindings/FormModel.h"
#include "SourceApp/application/commands/bindings/NumberToCheckboxAdapter.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/SwitchButton.h"
#include "SourceApp/application/forms/installer/ValueEditorRows.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/storage/ProxyObject.h"
#include "SourceApp/storage/values/Catalogue.h"

namespace tdx {

using namespace editor_rows;

FormOutput::FormOutput(const State& state)
    : VexalStackedContentForm(state) {
    setName("FormOutput");
    const ProxyObject* output = Structure.find(state.getP1());
    if (output == nullptr || !output->type().is(BT_OBJ_OUTPUT)) {
        backOrDefault();
        return;
    }
    const oid_t oid = output->oid();
    const std::string name = objectName(*output);
    StackedContainer* content = getContent();
    addHeading(content, fmt_gettext("Output | %s", name));
    addNameRow(content, oid, name);
    auto* row = new RowContainer(content, 0, 0, ROW_WIDTH, ROW_HEIGHT);
    row->setSpacing(0);
    addLabel(row, LABEL_INSET, LABEL_WIDTH, gettext("Output"));
    mSwitch = new SwitchButton(row, 0, 2, pgettext("switch", "On"), pgettext("switch", "Off"));
    const SignedOvi value = signedOvi(oid, DataModel::Implementation::Output::Value);
    mFollower = new NumberToCheckboxAdapter(mSwitch, value);
    getModel().bind(mFollower, value);
    content->fitToContent();
}

FormOutput::~FormOutput() = default;

void FormOutput::handleMessage(Message* message) {
    // The switch's change is announced also when it follows the control unit; the click is the user's flip,
    // and the switch has taken its new position by the time the click is handled.
    if (mSwitch != nullptr && message->isClick(mSwitch) && !request(mSwitch->getChecked())) {
        // Nothing was asked of the control unit: the switch shows again what the output holds, not a
        // position that the unit never heard of.
        mFollower->execute();
    }
    VexalStackedContentForm::handleMessage(message);
}

bool FormOutput::request(bool on) const {
    const oid_t oid = getState().getP1();
    if (Structure.find(oid) == nullptr) {
        return false;
    }
    namespace Output = DataModel::Implementation::Output;
    const vid_t source = on ? Output::SourceMaxValue.vid : Output::SourceMinValue.vid;
    int target = 0;
    if (pt_get_int(&target, oid, source) != PT_OK) {
        // Without a valid source there is nothing to ask for: the no-value marker is no set point.
        dbg_printf_h("output: %06X:%02X has no valid source value %04X, nothing written", oid_address(oid),
                     oid_index(oid), unsigned{source});
        return false;
    }
    // Only a request the unit holds can make a write needless. Without one, a target of 0 is written too:
    // taking the missing request for 0 would lose the user's "off".
    int current = 0;
    if (pt_get_int(&current, oid, VID_REQUEST) == PT_OK && current == target) {
        return true;
    }
    const int result = pt_set_int(oid, VID_REQUEST, target, BT_VTYPE_S16_X100);
    if (result != PT_OK) {
        dbg_printf_h("output: %06X:%02X request %d not written (%d)", oid_address(oid), oid_index(oid),
                     target, result);
        return false;
    }
    return true;
}

} // namespace tdx
