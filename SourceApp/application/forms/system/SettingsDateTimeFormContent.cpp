#include "SourceApp/application/forms/system/SettingsDateTimeFormContent.h"

#include "Libraries/base/fmt.h"
#include "Libraries/base/i18n.h"
#include "Libraries/base/os.h"
#include "SourceApp/application/App.h"
#include "SourceApp/application/commands/bindings/ProxySwitchButton.h"
#include "SourceApp/application/controls/EditableRow.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/TextFrame.h"
#include "SourceApp/gui/i18n/I18n.h"
#include "SourceApp/storage/net/TaviProtocol.h"
#include "SourceApp/storage/values/Catalogue.h"
#include "SourceApp/system/SystemMgr.h"
#include "SourceApp/system/settings/SystemSettingsCommands.h"

namespace tdx {

namespace {

constexpr int ROW_WIDTH = 277;
constexpr unsigned EVERY_16TH_TICK = 0x0F;

SystemMgr& systemManager() {
    return *getApplication()->getSystemManager();
}

// The moment (local time, stored with offset 0) in the current locale's long date.
std::string describe(const char* message, time_t moment) {
    const Date date(moment, 0);
    return fmt_gettext(message, i18n.format(date, DateFormatOptions::LongDate), unsigned{date.getHours()},
                       unsigned{date.getMinutes()});
}

} // namespace

SettingsDateTimeFormContent::SettingsDateTimeFormContent(Container* parent, int x, int y)
    : StackedContainer(parent, x, y, parent->getWidth(), 0) {
    setName("SettingsDateTimeFormContent");
    setDirection(DIRECTION_VERTICAL);
    setSpacing(9);
    const int width = getWidth();

    auto* date = new EditableDatePickerRow(this, 0, 0, width, gettext("Date"));
    date->setOnAcceptCommand(std::make_unique<ChangeSystemDateCommand>(date));
    auto* time = new EditableTimePickerRow(this, 0, 0, width, gettext("Time"));
    time->setOnAcceptCommand(std::make_unique<ChangeSystemTimeCommand>(time));

    auto* row = new RowContainer(this, 0, 0, ROW_WIDTH, 26);
    row->setSpacing(0);
    new ContainedLabel(row, 9, 0, 186, 26, &bif_myriad12, gettext("Adjust for daylight saving"));
    const auto& daylightSaving = DataModel::Implementation::Location::DaylightSavings;
    mDaylightSwitch = new ProxySwitchButton(
        row, 0, 2, UnsignedOvi(OID_LOCATION, daylightSaving.vid, daylightSaving.vtype, &daylightSaving),
        pgettext("switch", "On"), pgettext("switch", "Off"));
    mExplanation = new TextFrame(this, 0, 0, ROW_WIDTH, 0, &bif_myriad12, "");

    updateDaylightSaving();
}

SettingsDateTimeFormContent::~SettingsDateTimeFormContent() = default;

void SettingsDateTimeFormContent::handleMessage(Message* message) {
    // The children may consume the message; what it was is decided on a copy.
    const Message m = *message;
    StackedContainer::handleMessage(message);
    // Only the user's click is a toggle to act on: the switch also changes when it follows a change of the
    // control unit, which has moved its clock itself. The click's toggle has happened by the time its message
    // arrives, so this does not depend on when the system manager hears of the switch's write.
    if (m.isClick(mDaylightSwitch)) {
        daylightSavingSwitched(mDaylightSwitch->getChecked());
    } else if (m.id == MSG_TIMER && (m.p1 & EVERY_16TH_TICK) == 0) {
        updateDaylightSaving();
    }
}

void SettingsDateTimeFormContent::daylightSavingSwitched(bool on) {
    Date local = systemManager().getLocalTime();
    if (SystemMgr::isSummerTime(local.getLocalTimestamp())) {
        local.addHours(on ? -1 : 1);
        os_time_set(static_cast<uint32_t>(local.getTimestamp()));
        Net::Tavi.queue(std::make_unique<Net::QueuedTimeSync>());
    }
    // The switch has written the setting itself; the explanation follows once the system manager has it.
    updateDaylightSaving();
}

void SettingsDateTimeFormContent::updateDaylightSaving() {
    const SystemMgr& system = systemManager();
    std::string text;
    if (!system.isDaylightSavingsEnabled()) {
        text = gettext("Daylight Saving Time is not observed.");
    } else if (!SystemMgr::isSummerTime(system.getLocalTime().getLocalTimestamp())) {
        text = describe(
            N_("Daylight Saving Time begins on %s at %02u:%02u. The clock is set to go forward 1 hour "
               "at that time."),
            SystemMgr::getSummerTimeStart());
    } else {
        text =
            describe(N_("Daylight Saving Time ends on %s at %02u:%02u. The clock is set to go back 1 hour at "
                        "that time."),
                     SystemMgr::getSummerTimeEnd());
    }
    mExplanation->setText(text);
    fitToContent();
}

} // namespace tdx
