#include "SourceApp/application/forms/installer/FormDHWTankEdit.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/fmt.h"
#include "Libraries/base/i18n.h"
#include "SourceApp/application/ScheduleEditState.h"
#include "SourceApp/application/commands/ChangeStateCommand.h"
#include "SourceApp/application/commands/bindings/FormModel.h"
#include "SourceApp/application/commands/bindings/UnsignedValueToMultiIconIndexAdapter.h"
#include "SourceApp/application/commands/bindings/ValueAdapters.h"
#include "SourceApp/application/controls/EditableRow.h"
#include "SourceApp/application/controls/Icon.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/NavigationLink.h"
#include "SourceApp/application/forms/installer/ValueEditorRows.h"
#include "SourceApp/storage/ProxyObject.h"
#include "SourceApp/storage/values/Catalogue.h"

namespace tdx {

using namespace editor_rows;

namespace {

constexpr state_id_t SCHEDULE_STATE_ID = 16;
constexpr unsigned EVENT_BYTES = 2;

} // namespace

FormDHWTankEdit::ChangeWeekdayEvent::ChangeWeekdayEvent(EditableWeekdayEventPickerRow* row, unsigned oid)
    : mRow(row)
    , mOid(oid) {}

void FormDHWTankEdit::ChangeWeekdayEvent::execute() {
    ProxyObject* tank = Structure.find(mOid);
    if (tank == nullptr) {
        dbg_printf_h("tank: %06X:%02X gone, cleaning time not written", oid_address(mOid), oid_index(mOid));
        return;
    }
    u8 bytes[EVENT_BYTES];
    mRow->getWeekdayEvent().store(bytes);
    tank->setData(DataModel::Implementation::DHWTank::CleaningInterval.vid, bytes, EVENT_BYTES);
}

WeekdayEvent FormDHWTankEdit::cleaningTime(const ProxyObject& tank) {
    // Only a whole event counts: one byte would leave half of the default standing under it.
    u8 bytes[EVENT_BYTES + 1] = {};
    if (tank.getData(bytes, sizeof bytes, DataModel::Implementation::DHWTank::CleaningInterval.vid) !=
        static_cast<int>(EVENT_BYTES)) {
        return DEFAULT_CLEANING;
    }
    return WeekdayEvent::load(bytes);
}

FormDHWTankEdit::FormDHWTankEdit(const State& state)
    : VexalStackedContentForm(state) {
    setName("FormDHWTankEdit");
    setHelp(gettext("DHW Tank"));
    const ProxyObject* tank = Structure.find(state.getP1());
    if (tank == nullptr || !tank->type().is(BT_OBJ_DHW_TANK)) {
        backOrDefault();
        return;
    }
    namespace Tank = DataModel::Implementation::DHWTank;
    const oid_t oid = tank->oid();
    const std::string name = objectName(*tank);
    StackedContainer* content = getContent();
    FormModel& model = getModel();
    addHeading(content, fmt_gettext("Functions | %s", name));
    addNameRow(content, oid, name);

    auto* statusRow = new RowContainer(content, 0, 0, ROW_WIDTH, ROW_HEIGHT);
    addLabel(statusRow, LABEL_INSET, LABEL_WIDTH, gettext("Status"));
    auto* status = new MultiIcon(statusRow, 0, 0, colour::TEXT, VALUE_WIDTH, ROW_HEIGHT,
                                 HorizontalAlign::Center, VerticalAlign::Middle);
    status->addIcon(res_tick, 0, 0);
    status->addIcon(res_heating_widget, 0, 0);
    status->addIcon(res_heating_widget, 0, 0);
    const UnsignedOvi state0 = unsignedOvi(oid, Tank::TankState);
    model.bind(new UnsignedValueToMultiIconIndexAdapter(status, state0), state0);
    // The readouts' captions go through the catalogue like every text the user sees.
    for (const auto* readout : {&Tank::TankDesiredTemp, &Tank::TankTemp}) {
        const SignedOvi ovi = signedOvi(oid, *readout);
        model.bind(new NumberValueToStringComponentAdapter(addValueRow(content, gettext(readout->name)), ovi),
                   ovi);
    }

    StackedContainer* temperatures = addGroup(content, gettext("Temperature settings"));
    for (const auto* setting : {&Tank::TempSetEco, &Tank::TempSetComfort, &Tank::TempSetVacation,
                                &Tank::TempSetStandby, &Tank::TempSetCleaning}) {
        addUpDown(temperatures, GROUP_WIDTH, oid, *setting, model);
    }
    temperatures->fitToContent();

    StackedContainer* cleaning = addGroup(content, gettext("Tank cleaning settings"));
    auto* runAt = new EditableWeekdayEventPickerRow(cleaning, 0, 0, GROUP_WIDTH, gettext("Run cleaning at"),
                                                    cleaningTime(*tank));
    runAt->setOnAcceptCommand(std::make_unique<ChangeWeekdayEvent>(runAt, oid));
    addUpDown(cleaning, GROUP_WIDTH, oid, Tank::CleaningPeriod, model);
    addUpDown(cleaning, GROUP_WIDTH, oid, Tank::CleaningTimeBeforeFail, model);
    cleaning->fitToContent();

    NavigationLink* schedule = addLink(content, ROW_WIDTH, gettext("Schedule"));
    schedule->setClickCommand(std::make_unique<ChangeStateCommand>(ScheduleEditState(
        SCHEDULE_STATE_ID, Ovi(oid, Tank::Schedule.vid), fmt_gettext("Functions | %s | Schedule", name), 0)));
    content->fitToContent();
}

FormDHWTankEdit::~FormDHWTankEdit() = default;

} // namespace tdx
