#include "SourceApp/application/utils/Date.h"

#include "Libraries/base/os.h"
#include "Libraries/base/timestamp.h"

#include <climits>

namespace tdx {

namespace {

// The last second whose full year still fits getYear()'s int.
time_t latestLocal() {
    static const time_t latest = timestamp_make_simple(INT_MAX, 12, 31, 23, 59, 59);
    return latest;
}

time_t clampToRange(time_t local) {
    return local < TIMESTAMP_MIN ? TIMESTAMP_MIN : (local > latestLocal() ? latestLocal() : local);
}

// seconds + offset without overflow at the ends of time_t.
constexpr time_t addSaturated(time_t seconds, int64_t amount) {
    time_t sum = 0;
    if (__builtin_add_overflow(seconds, amount, &sum)) {
        return amount < 0 ? TIMESTAMP_MIN : TIMESTAMP_MAX;
    }
    return sum;
}

} // namespace

Date::Date(time_t seconds, int offset)
    : Date(addSaturated(seconds, offset), offset, LocalSeconds{}) {}

Date::Date(unsigned char day, unsigned char month, unsigned short year)
    : Date(timestamp_make_simple(year, month + 1, day, 0, 0, 0), 0, LocalSeconds{}) {}

Date::Date(time_t local, int offset, LocalSeconds)
    : mOffset(offset) {
    setLocal(local);
}

time_t Date::fromBrokenDown(const struct tm* local) {
    OS_ASSERT(local != nullptr);
    return timestamp_make(local);
}

void Date::setLocal(time_t local) {
    mLocal = clampToRange(local);
    timestamp_broke(&mFields, mLocal);
}

void Date::addDays(int days) {
    setLocal(mLocal + int64_t{days} * 86400);
}

void Date::addHours(int hours) {
    setLocal(mLocal + int64_t{hours} * 3600);
}

void Date::addMinutes(int minutes) {
    setLocal(mLocal + int64_t{minutes} * 60);
}

void Date::addSeconds(int seconds) {
    setLocal(mLocal + seconds);
}

} // namespace tdx
