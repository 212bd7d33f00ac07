// Week schedules: per day 24 bytes, one per hour, four 2-bit period types per hour (first quarter in bits
// 0-1). Times are seconds of the day; quarter hours start at multiples of 900.
#pragma once

#include "SourceApp/big_table/bt_types.h"

namespace tdx {

using period_type_t = u8; // 0..3

struct day_schedule_t {
    u8 hours[24];
};

struct week_schedule_t {
    u8 lead[2];             // the interval editor tests the low four bits of lead[1]
    day_schedule_t days[7]; // 0 Monday .. 6 Sunday
};

static_assert(sizeof(day_schedule_t) == 24);
static_assert(sizeof(week_schedule_t) == 170);

constexpr int SCHEDULE_STEP = 900;
constexpr int SCHEDULE_DAY = 86400;

// The type of the quarter hour containing seconds (0..86399; anything else is a fatal assertion).
period_type_t schedule_get_period_type(const day_schedule_t* day, int seconds);
// From start, in 900 s steps, the first time of that type (start itself when it is); -1 when none is left
// before midnight or start lies outside the day.
int schedule_find_first_period_of(const day_schedule_t* day, period_type_t type, int start);
// As above for the first time of another type.
int schedule_find_first_period_not_of(const day_schedule_t* day, period_type_t type, int start);
// Start of the run of equal type containing seconds (0 when it begins at midnight); -1 outside the day.
int schedule_find_period_beginning(const day_schedule_t* day, int seconds);
// Sets every quarter hour of [startTime, endTime) to type; 0 <= startTime < endTime <= 86400.
void schedule_set_range_type(day_schedule_t* day, int startTime, int endTime, period_type_t type);
// Copies day sourceDay onto day destDay (0..6 each).
void schedule_clone_day(week_schedule_t* week, int sourceDay, int destDay);

} // namespace tdx
