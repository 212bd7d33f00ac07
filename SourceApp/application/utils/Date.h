// Broken-down local time with its UTC offset, and calendar arithmetic on it. Copies by value.
#pragma once

#include <concepts>
#include <ctime>

namespace tdx {

class Date {
public:
    // The local time of seconds + offset (Unix seconds, offset in seconds east of UTC); keeps the offset.
    // Date(t, 0) with t in seconds of the day is that time of day on 1970-01-01.
    Date(time_t seconds, int offset);
    // 00:00:00 of the day, month counted from 0 (January = 0), UTC offset 0. An impossible day carries
    // into the next month (31 February is 3 March, or 2 March in a leap year).
    Date(unsigned char day, unsigned char month, unsigned short year);
    // From broken-down local time (fields carried as timestamp_make does) and its offset. A template only so
    // that Date(0, 0) means the epoch rather than a null pointer.
    template <std::same_as<struct tm> Tm>
    Date(const Tm* local, int offset)
        : Date(fromBrokenDown(local), offset, LocalSeconds{}) {}

    unsigned char getDay() const { return static_cast<unsigned char>(mFields.tm_mday); }
    // 0 = January.
    unsigned char getMonth() const { return static_cast<unsigned char>(mFields.tm_mon); }
    // The full year, e.g. 2026.
    int getYear() const { return mFields.tm_year + 1900; }
    unsigned char getHours() const { return static_cast<unsigned char>(mFields.tm_hour); }
    unsigned char getMinutes() const { return static_cast<unsigned char>(mFields.tm_min); }
    unsigned char getSeconds() const { return static_cast<unsigned char>(mFields.tm_sec); }
    // 0 = Sunday .. 6 = Saturday.
    unsigned char getWeekDay() const { return static_cast<unsigned char>(mFields.tm_wday); }

    // The moment in UTC: the fields read as UTC, minus the offset.
    time_t getTimestamp() const { return mLocal - mOffset; }
    // The fields read as seconds since 1970-01-01, the offset not subtracted.
    time_t getLocalTimestamp() const { return mLocal; }
    int getLocalTimeOffset() const { return mOffset; }

    // Move the local time, carrying and borrowing through days, months and years; the offset stays.
    // Dates saturate at the first second of year -2147481748 and the last of year 2147483647.
    void addDays(int days);
    void addHours(int hours);
    void addMinutes(int minutes);
    void addSeconds(int seconds);

private:
    struct LocalSeconds {};
    Date(time_t local, int offset, LocalSeconds);
    static time_t fromBrokenDown(const struct tm* local);
    void setLocal(time_t local);

    time_t mLocal = 0; // local time as seconds, from TIMESTAMP_MIN to the end of year INT_MAX
    int mOffset = 0;
    struct tm mFields {};
};

} // namespace tdx
