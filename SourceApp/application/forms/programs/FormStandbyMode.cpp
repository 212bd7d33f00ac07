#include "SourceApp/application/forms/programs/FormStandbyMode.h"

#include "Libraries/base/i18n.h"
#include "SourceApp/application/commands/bindings/ProxySwitchButton.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/storage/ProxyObject.h"
#include "SourceApp/storage/values/Catalogue.h"

namespace tdx {

namespace {

constexpr int ROW_WIDTH = 277;

// The row of a program switch: the label, then the switch.
RowContainer* switchRow(Container* content, const char* label) {
    auto* row = new RowContainer(content, 0, 0, ROW_WIDTH, 26);
    row->setSpacing(0);
    new ContainedLabel(row, 9, 0, 186, 26, &bif_myriad12, gettext(label));
    return row;
}

// Excluded unless the tank's flag reads validly as other than 0.
bool isExcluded(oid_t tank) {
    const std::optional<int> allow = pt_read_int(tank, FormStandbyMode::VID_ALLOW_STANDBY);
    return !allow || *allow == 0;
}

} // namespace

FormStandbyMode::FormStandbyMode(const State& state)
    : VexalStackedContentForm(state) {
    setName("FormStandbyMode");
    StackedContainer* content = getContent();
    new ContainedLabel(content, 0, 0, content->getWidth(), 12, &bif_myriad12,
                       gettext("Programs | Standby mode"), HorizontalAlign::Center);
    const auto& standby = DataModel::Implementation::Location::Standby;
    new ProxySwitchButton(switchRow(content, N_("Standby mode")), 0, 2,
                          UnsignedOvi(OID_LOCATION, standby.vid, standby.vtype, &standby),
                          pgettext("switch", "On"), pgettext("switch", "Off"));
    for (const ProxyObject* object : Structure) {
        if (object->type().is(BT_OBJ_DHW_TANK)) {
            mTankSwitch = new SwitchButton(switchRow(content, N_("Exclude hot water storage tank")), 0, 2,
                                           pgettext("switch", "On"), pgettext("switch", "Off"));
            mTankSwitch->tag = object->oid();
            mTankSwitch->setChecked(isExcluded(object->oid()));
            break;
        }
    }
    content->fitToContent();
}

FormStandbyMode::~FormStandbyMode() = default;

void FormStandbyMode::handleMessage(Message* message) {
    // The base and the children may consume the message; what it was is decided on a copy.
    const Message m = *message;
    VexalStackedContentForm::handleMessage(message);
    if (mTankSwitch == nullptr || !m.is(MSG_CHANGE, mTankSwitch)) {
        return;
    }
    const oid_t tank = mTankSwitch->tag;
    if (Structure.find(tank) == nullptr) {
        return;
    }
    const bool excluded = mTankSwitch->getChecked();
    if (excluded != isExcluded(tank)) {
        pt_set_int(tank, VID_ALLOW_STANDBY, excluded ? 0 : 1, BT_VTYPE_U8);
    }
}

} // namespace tdx
