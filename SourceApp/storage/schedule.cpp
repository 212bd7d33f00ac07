#include "SourceApp/storage/schedule.h"

#include "Libraries/base/os.h"

namespace tdx {
namespace {

// Hour index of a time; negative times get a negative index so that the assertion catches them.
int hour_of(int seconds) {
    return seconds < 0 ? -1 : seconds / 3600;
}

// Bit position of the quarter hour holding seconds. Taken from the quarter (seconds / 900), never from
// seconds / 450, which for the second half of a quarter would point between two fields.
int shift_of(int seconds) {
    return 2 * ((seconds % 3600) / SCHEDULE_STEP);
}

bool inside_day(int seconds) {
    return seconds >= 0 && seconds / 3600 <= 23;
}

int find_first(const day_schedule_t* day, period_type_t type, int start, bool equal) {
    if (!inside_day(start)) {
        return -1;
    }
    for (int t = start; t < SCHEDULE_DAY; t += SCHEDULE_STEP) {
        if ((schedule_get_period_type(day, t) == type) == equal) {
            return t;
        }
    }
    return -1;
}

} // namespace

period_type_t schedule_get_period_type(const day_schedule_t* day, int seconds) {
    const int index = hour_of(seconds);
    OS_ASSERT(index >= 0 && index < 24);
    return static_cast<period_type_t>((day->hours[index] >> shift_of(seconds)) & 3);
}

int schedule_find_first_period_of(const day_schedule_t* day, period_type_t type, int start) {
    return find_first(day, type, start, true);
}

int schedule_find_first_period_not_of(const day_schedule_t* day, period_type_t type, int start) {
    return find_first(day, type, start, false);
}

int schedule_find_period_beginning(const day_schedule_t* day, int seconds) {
    if (!inside_day(seconds)) {
        return -1;
    }
    const period_type_t type = schedule_get_period_type(day, seconds);
    int t = seconds - seconds % SCHEDULE_STEP;
    while (t >= SCHEDULE_STEP && schedule_get_period_type(day, t - SCHEDULE_STEP) == type) {
        t -= SCHEDULE_STEP;
    }
    return t;
}

void schedule_set_range_type(day_schedule_t* day, int startTime, int endTime, period_type_t type) {
    OS_ASSERT(startTime < endTime);
    for (int t = startTime; t < endTime; t += SCHEDULE_STEP) {
        const int index = hour_of(t);
        OS_ASSERT(index >= 0 && index < 24);
        const int shift = shift_of(t);
        day->hours[index] = static_cast<u8>((day->hours[index] & ~(3 << shift)) | ((type & 3) << shift));
    }
}

void schedule_clone_day(week_schedule_t* week, int sourceDay, int destDay) {
    OS_ASSERT(sourceDay >= 0 && sourceDay < 7);
    OS_ASSERT(destDay >= 0 && destDay < 7);
    week->days[destDay] = week->days[sourceDay];
}

} // namespace tdx
