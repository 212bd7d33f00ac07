#include "SourceApp/system/settings/SystemSettingsCommands.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/os.h"
#include "Libraries/base/timestamp.h"
#include "SourceApp/application/App.h"
#include "SourceApp/application/controls/EditableRow.h"
#include "SourceApp/gui/core/Core.h"
#include "SourceApp/gui/i18n/I18n.h"
#include "SourceApp/storage/net/TaviProtocol.h"
#include "SourceApp/system/SystemMgr.h"
#include "SourceApp/system/config.h"

#include <cstdint>
#include <iterator>
#include <memory>

namespace tdx {

namespace {

constexpr time_t SUMMER_HOUR_S = 3600;
// The network carries the time as unsigned seconds since 2000 and the clock as unsigned Unix seconds.
constexpr int64_t EARLIEST_CLOCK = NETWORK_TIME_OFFSET;
constexpr int64_t LATEST_CLOCK = UINT32_MAX;

// Sets the clock to a local wall-clock time and tells the control unit. The offset is that of the moment
// set: across a change of summer time it differs from today's by the summer hour.
void setLocalClock(int year, int month, int day, int hour, int minute, int second) {
    const SystemMgr& system = *getApplication()->getSystemManager();
    const Date now = system.getLocalTime();
    const time_t local = timestamp_make_simple(year, month + 1, day, hour, minute, second);
    time_t offset = now.getLocalTimeOffset();
    if (system.isDaylightSavingsEnabled()) {
        offset += SUMMER_HOUR_S * (static_cast<int>(SystemMgr::isSummerTime(local)) -
                                   static_cast<int>(SystemMgr::isSummerTime(now.getLocalTimestamp())));
    }
    const int64_t utc = static_cast<int64_t>(local) - offset;
    if (utc < EARLIEST_CLOCK || utc > LATEST_CLOCK) {
        dbg_printf_h("clock not set: %04d-%02d-%02d %02d:%02d:%02d lies beyond what the network can carry",
                     year, month + 1, day, hour, minute, second);
        return;
    }
    os_time_set(static_cast<uint32_t>(utc));
    Net::Tavi.queue(std::make_unique<Net::QueuedTimeSync>());
}

} // namespace

void ChangeSystemLanguageCommand::execute(DropdownItem* item) {
    if (item == nullptr || item->getIndex() >= std::size(I18n::LANGUAGES)) {
        return;
    }
    const I18n::Language& language = I18n::LANGUAGES[item->getIndex()];
    i18n.switchLanguage(static_cast<uint8_t>(item->getIndex()));
    i18n.setLocale(language.locale);
    Configuration.language = static_cast<uint8_t>(language.number);
    config_apply();
    getApplication()->getCore()->restartState();
}

void ChangeSystemDateCommand::execute() {
    const Date now = getApplication()->getSystemManager()->getLocalTime();
    const Date picked = mRow->getDate();
    setLocalClock(picked.getYear(), picked.getMonth(), picked.getDay(), now.getHours(), now.getMinutes(),
                  now.getSeconds());
}

void ChangeSystemTimeCommand::execute() {
    const Date now = getApplication()->getSystemManager()->getLocalTime();
    const Date picked = mRow->getDate();
    setLocalClock(now.getYear(), now.getMonth(), now.getDay(), picked.getHours(), picked.getMinutes(),
                  picked.getSeconds());
}

} // namespace tdx
