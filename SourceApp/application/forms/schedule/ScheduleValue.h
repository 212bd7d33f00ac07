// The week-schedule value as the schedule screens read and write it: one data value of 170 bytes, always
// whole. A change is made on the value as it stands when it is stored, not on the copy a screen read when it
// opened, so that what the control unit changed meanwhile stays.
#pragma once

#include "SourceApp/storage/Ovi.h"
#include "SourceApp/storage/schedule.h"

#include <functional>
#include <optional>
#include <string>

namespace tdx {

class ScheduleValue {
public:
    // Whether the object exists and has the value, whatever the value holds.
    static bool exists(const Ovi& ovi);
    // The week, when the value exists and is exactly one week long.
    static std::optional<week_schedule_t> read(const Ovi& ovi);
    // Writes the whole week once when the object exists; false (nothing written) when it does not.
    static bool write(const Ovi& ovi, const week_schedule_t& week);
    // Reads the week afresh, applies the edit and writes the whole value once; the week as written, or none
    // (nothing written) when the object or its week is gone.
    static std::optional<week_schedule_t> update(const Ovi& ovi,
                                                 const std::function<void(week_schedule_t&)>& edit);
    // A day the week holds: 0 Monday .. 6 Sunday.
    static bool isDay(unsigned day) { return day < 7; }
    // "H:i - H:i" of an interval; the end of the day reads 00:00.
    static std::string intervalText(int start, int end);
};

} // namespace tdx
