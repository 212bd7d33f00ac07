// Calendar arithmetic on Unix seconds in UTC. Pure arithmetic on the proleptic Gregorian calendar: no time
// zone, no TZ variable, no 2038 limit.
#pragma once

#include <cstdint>
#include <ctime>

namespace tdx {

// The range of seconds whose broken-down year still fits tm_year (years -2147481748 .. 2147485547).
// timestamp_broke saturates outside it, so any time_t has a defined broken-down form.
inline constexpr time_t TIMESTAMP_MIN = -67768040609740800; // -2147481748-01-01 00:00:00
inline constexpr time_t TIMESTAMP_MAX = 67768036191676799;  // 2147485547-12-31 23:59:59

// Unix seconds -> broken-down UTC time: tm_year since 1900, tm_mon 0-11, tm_mday 1-31, tm_wday 0 = Sunday,
// tm_yday 0-365, tm_isdst 0. Values outside [TIMESTAMP_MIN, TIMESTAMP_MAX] are clamped to it.
void timestamp_broke(struct tm* out, time_t t);

// Broken-down UTC time -> Unix seconds. Fields out of their usual range are carried (tm_mon 12 is January of
// the next year, tm_mday 0 the last day of the previous month, tm_sec -1 the second before); tm_wday, tm_yday
// and tm_isdst are ignored.
time_t timestamp_make(const struct tm* in);

// Unix seconds of a UTC date with month 1-12; out-of-range fields carry as in timestamp_make.
time_t timestamp_make_simple(int year, int month, int day, int hour, int minute, int second);

// Days of a month (1-12) of a year of the proleptic Gregorian calendar: 28 to 31.
int timestamp_days_in_month(int64_t year, int month);

// The device network counts seconds since 2000-01-01 00:00 UTC in 32 bits (good until 2136); the value
// table keeps Unix seconds.
inline constexpr time_t NETWORK_TIME_OFFSET = 946684800;

constexpr time_t timestamp_from_network(uint32_t networkSeconds) {
    return static_cast<time_t>(networkSeconds) + NETWORK_TIME_OFFSET;
}

// Moments before 2000 become 0, moments after 2136-02-07 06:28:15 become 0xFFFFFFFF.
constexpr uint32_t timestamp_to_network(time_t unixSeconds) {
    if (unixSeconds <= NETWORK_TIME_OFFSET) {
        return 0;
    }
    if (unixSeconds - NETWORK_TIME_OFFSET >= static_cast<time_t>(UINT32_MAX)) {
        return UINT32_MAX;
    }
    return static_cast<uint32_t>(unixSeconds - NETWORK_TIME_OFFSET);
}

} // namespace tdx
