#include "SourceApp/application/forms/schedule/ScheduleValue.h"

#include "Libraries/base/dbg.h"
#include "SourceApp/application/utils/Date.h"
#include "SourceApp/gui/i18n/I18n.h"
#include "SourceApp/storage/ProxyObject.h"
#include "SourceApp/storage/ProxyStructure.h"

#include <cstring>

namespace tdx {

bool ScheduleValue::exists(const Ovi& ovi) {
    const ProxyObject* object = Structure.find(ovi.oid);
    return object != nullptr && object->hasValue(ovi.vid);
}

std::optional<week_schedule_t> ScheduleValue::read(const Ovi& ovi) {
    const ProxyObject* object = Structure.find(ovi.oid);
    if (object == nullptr || !object->hasValue(ovi.vid)) {
        return std::nullopt;
    }
    // One byte more than a week: a longer value is not a week either.
    uint8_t bytes[sizeof(week_schedule_t) + 1];
    const int length = object->getData(bytes, sizeof bytes, ovi.vid);
    if (length != static_cast<int>(sizeof(week_schedule_t))) {
        dbg_printf_h("schedule %08X:%04X: %d bytes, not a week", ovi.oid, unsigned{ovi.vid}, length);
        return std::nullopt;
    }
    week_schedule_t week{};
    std::memcpy(&week, bytes, sizeof week);
    return week;
}

bool ScheduleValue::write(const Ovi& ovi, const week_schedule_t& week) {
    ProxyObject* object = Structure.find(ovi.oid);
    if (object == nullptr) {
        return false;
    }
    if (const int result = object->setData(ovi, &week, sizeof week); result != 0) {
        dbg_printf_h("schedule %08X:%04X: not written (%d)", ovi.oid, unsigned{ovi.vid}, result);
        return false;
    }
    return true;
}

std::optional<week_schedule_t> ScheduleValue::update(const Ovi& ovi,
                                                     const std::function<void(week_schedule_t&)>& edit) {
    std::optional<week_schedule_t> week = read(ovi);
    if (!week) {
        return std::nullopt;
    }
    edit(*week);
    if (!write(ovi, *week)) {
        return std::nullopt;
    }
    return week;
}

std::string ScheduleValue::intervalText(int start, int end) {
    return i18n.format(Date(start, 0), "H:i") + " - " + i18n.format(Date(end, 0), "H:i");
}

} // namespace tdx
