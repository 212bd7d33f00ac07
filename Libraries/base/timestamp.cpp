#include "Libraries/base/timestamp.h"

#include "Libraries/base/os.h"

#include <climits>

namespace tdx {

namespace {

constexpr int64_t SECONDS_PER_DAY = 86400;

constexpr int64_t floorDiv(int64_t a, int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

// Days since 1970-01-01 of a proleptic Gregorian date (month 1-12, day 1-31). Counts in 400-year eras of
// 146097 days whose years start in March, so that the leap day is the last day of its year.
constexpr int64_t daysFromCivil(int64_t year, int64_t month, int64_t day) {
    year -= month <= 2;
    const int64_t era = floorDiv(year, 400);
    const int64_t yearOfEra = year - era * 400;                                         // 0..399
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1; // 0..365
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

struct CivilDate {
    int64_t year;
    int month; // 1-12
    int day;   // 1-31
};

constexpr CivilDate civilFromDays(int64_t days) {
    days += 719468;
    const int64_t era = floorDiv(days, 146097);
    const int64_t dayOfEra = days - era * 146097; // 0..146096
    const int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;            // 0..399
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100); // 0..365
    const int64_t monthIndex = (5 * dayOfYear + 2) / 153;                                     // 0 = March
    const int day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    const int month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    return {yearOfEra + era * 400 + (month <= 2), month, day};
}

// Month and day may lie outside their ranges: months carry into years, days are simply counted on.
constexpr int64_t secondsOf(int64_t year, int64_t month, int64_t day, int64_t hour, int64_t minute,
                            int64_t second) {
    const int64_t monthIndex = month - 1;
    year += floorDiv(monthIndex, 12);
    month = monthIndex - floorDiv(monthIndex, 12) * 12 + 1;
    const int64_t days = daysFromCivil(year, month, 1) + day - 1;
    return days * SECONDS_PER_DAY + hour * 3600 + minute * 60 + second;
}

static_assert(secondsOf(1970, 1, 1, 0, 0, 0) == 0);
static_assert(secondsOf(2000, 1, 1, 0, 0, 0) == NETWORK_TIME_OFFSET);
static_assert(secondsOf(int64_t{INT_MIN} + 1900, 1, 1, 0, 0, 0) == TIMESTAMP_MIN);
static_assert(secondsOf(int64_t{INT_MAX} + 1900, 12, 31, 23, 59, 59) == TIMESTAMP_MAX);

} // namespace

void timestamp_broke(struct tm* out, time_t t) {
    OS_ASSERT(out != nullptr);
    if (t < TIMESTAMP_MIN) {
        t = TIMESTAMP_MIN;
    } else if (t > TIMESTAMP_MAX) {
        t = TIMESTAMP_MAX;
    }
    const int64_t days = floorDiv(t, SECONDS_PER_DAY);
    const int64_t secondOfDay = t - days * SECONDS_PER_DAY;
    const CivilDate date = civilFromDays(days);

    *out = tm{};
    out->tm_sec = static_cast<int>(secondOfDay % 60);
    out->tm_min = static_cast<int>(secondOfDay / 60 % 60);
    out->tm_hour = static_cast<int>(secondOfDay / 3600);
    out->tm_mday = date.day;
    out->tm_mon = date.month - 1;
    out->tm_year = static_cast<int>(date.year - 1900);
    // 1970-01-01 was a Thursday.
    out->tm_wday = static_cast<int>(days + 4 - floorDiv(days + 4, 7) * 7);
    out->tm_yday = static_cast<int>(days - daysFromCivil(date.year, 1, 1));
    out->tm_isdst = 0;
}

time_t timestamp_make(const struct tm* in) {
    OS_ASSERT(in != nullptr);
    return secondsOf(int64_t{in->tm_year} + 1900, int64_t{in->tm_mon} + 1, in->tm_mday, in->tm_hour,
                     in->tm_min, in->tm_sec);
}

int timestamp_days_in_month(int64_t year, int month) {
    OS_ASSERT(month >= 1 && month <= 12);
    const int64_t next = month == 12 ? daysFromCivil(year + 1, 1, 1) : daysFromCivil(year, month + 1, 1);
    return static_cast<int>(next - daysFromCivil(year, month, 1));
}

time_t timestamp_make_simple(int year, int month, int day, int hour, int minute, int second) {
    return secondsOf(year, month, day, hour, minute, second);
}

} // namespace tdx
