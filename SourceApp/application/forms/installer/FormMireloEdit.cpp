#include "SourceApp/application/forms/installer/FormMireloEdit.h"

#include "Libraries/base/fmt.h"
#include "Libraries/base/i18n.h"
#include "SourceApp/application/controls/DropdownButton.h"
#include "SourceApp/application/controls/EditableDropdownRow.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/NavigationLink.h"
#include "SourceApp/application/controls/UpDown.h"
#include "SourceApp/application/forms/installer/ValueEditorRows.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/storage/ProxyObject.h"

#include <vector>

namespace tdx {

using namespace editor_rows;

namespace {

constexpr unsigned MENU_WIDTH = 81;
constexpr int TEMPERATURE_MINIMUM = 100;
constexpr int TEMPERATURE_MAXIMUM = 600;
constexpr int TEMPERATURE_STEP = 5;
constexpr int LABEL_WIDTH_UP_DOWN = 135;
constexpr int UP_DOWN_WIDTH = 122;

// The unit's schedule mode, by the low byte of its value; 0 ("Manual") without a valid one.
unsigned scheduleIndex(oid_t oid) {
    int value = 0;
    return pt_get_int(&value, oid, FormMireloEdit::VID_SCHEDULE) == PT_OK
               ? static_cast<unsigned>(value) & 0xFF
               : 0;
}

void addTemperatureRow(Container* parent, const char* label) {
    auto* row = new RowContainer(parent, 0, 0, GROUP_WIDTH, ROW_HEIGHT);
    ContainedLabel* caption = addLabel(row, LABEL_INSET, LABEL_WIDTH_UP_DOWN, gettext(label));
    auto* upDown = new NumericUpDown<int>(row, 0, 0, UP_DOWN_WIDTH, ROW_HEIGHT, &bif_myriad12, 0, 0, 0);
    upDown->setMaximum(TEMPERATURE_MAXIMUM);
    upDown->setMinimum(TEMPERATURE_MINIMUM);
    upDown->setStep(TEMPERATURE_STEP);
    disableRow(caption, upDown);
}

} // namespace

FormMireloEdit::FormMireloEdit(const State& state)
    : VexalStackedContentForm(state) {
    setName("FormMireloEdit");
    setHelp(gettext("Mirelo"));
    const ProxyObject* unit = Structure.find(state.getP1());
    if (unit == nullptr || !unit->type().is(BT_OBJ_DHW)) {
        backOrDefault();
        return;
    }
    const oid_t oid = unit->oid();
    const std::string name = objectName(*unit);
    StackedContainer* content = getContent();
    addHeading(content, fmt_gettext("Functions | %s", name));
    addNameRow(content, oid, name);

    auto* schedule = new EditableDropdownRow(content, 0, 0, ROW_WIDTH, gettext("Schedule"), MENU_WIDTH);
    const std::vector<DropdownItem*> modes = {
        new DropdownItemImpl(gettext("Manual"), 0), new DropdownItemImpl(gettext("Eco"), 0),
        new DropdownItemImpl(gettext("Comfort"), 0), new DropdownItemImpl(gettext("User"), 0)};
    schedule->addItems(modes.begin(), modes.end());
    schedule->showItem(static_cast<uint16_t>(scheduleIndex(oid)));
    schedule->setEnabled(false);

    mServiceLink = addLink(content, ROW_WIDTH, gettext("Service"));
    buildAdvanced(content);
    content->fitToContent();
}

FormMireloEdit::~FormMireloEdit() = default;

void FormMireloEdit::buildAdvanced(StackedContainer* content) {
    // The advanced rows' captions go through the catalogue like every text the user sees: an installer who
    // reads the rest of the screen in their language reads these in it too.
    StackedContainer* advanced = addGroup(content, gettext("Advanced settings"));
    auto* bypass = new EditableDropdownRow(advanced, 0, 0, GROUP_WIDTH, gettext("Bypass type"), MENU_WIDTH);
    bypass->addItem(new DropdownItemImpl(gettext("Circulation"), 0), true);
    bypass->setEnabled(false);
    addTemperatureRow(advanced, N_("Min. DHW set temperature"));
    addTemperatureRow(advanced, N_("Max. DHW set temperature"));
    addTemperatureRow(advanced, N_("Min. bypass temperature"));
    addTemperatureRow(advanced, N_("Max. Bypass temperature"));
    addFixedSwitchRow(advanced, gettext("Enable DHW booster"), pgettext("switch", "On"),
                      pgettext("switch", "Off"), false);
    addFixedSwitchRow(advanced, gettext("Enable DHW priority"), pgettext("switch", "On"),
                      pgettext("switch", "Off"), true);
    addFixedSwitchRow(advanced, gettext("Lock Mirelo display"), pgettext("switch", "On"),
                      pgettext("switch", "Off"), false);
    mResetLink = addLink(advanced, GROUP_WIDTH, gettext("Reset to factory default"));
    mResetLink->setEnabled(false);
    advanced->fitToContent();
}

void FormMireloEdit::handleMessage(Message* message) {
    const Message m = *message;
    VexalStackedContentForm::handleMessage(message);
    if (mServiceLink != nullptr && m.isClick(mServiceLink)) {
        changeState(SERVICE_STATE_ID, 0, 0, 0, 0);
    }
}

} // namespace tdx
