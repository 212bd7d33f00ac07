#include "SourceApp/application/utils/Date.h"

#include "Libraries/base/timestamp.h"

#include <gtest/gtest.h>

#include <climits>
#include <ctime>

namespace tdx {
namespace {

struct Expected {
    int year;
    int month; // 0-based, as Date counts it
    int day;
    int hours;
    int minutes;
    int seconds;
};

void expectDate(const Date& date, const Expected& expected) {
    EXPECT_EQ(date.getYear(), expected.year);
    EXPECT_EQ(int{date.getMonth()}, expected.month);
    EXPECT_EQ(int{date.getDay()}, expected.day);
    EXPECT_EQ(int{date.getHours()}, expected.hours);
    EXPECT_EQ(int{date.getMinutes()}, expected.minutes);
    EXPECT_EQ(int{date.getSeconds()}, expected.seconds);
}

constexpr int CET = 3600;
constexpr int CEST = 7200;

TEST(Date, SecondsAndOffsetGiveTheLocalTimeAndKeepTheOffset) {
    // 2026-12-06 17:30:15 UTC, a Sunday.
    const time_t utc = timestamp_make_simple(2026, 12, 6, 17, 30, 15);
    const Date local(utc, CET);
    expectDate(local, {2026, 11, 6, 18, 30, 15});
    EXPECT_EQ(local.getWeekDay(), 0);
    EXPECT_EQ(local.getLocalTimeOffset(), CET);
    EXPECT_EQ(local.getTimestamp(), utc);
    EXPECT_EQ(local.getLocalTimestamp(), utc + CET);

    const Date west(utc, -5 * 3600);
    expectDate(west, {2026, 11, 6, 12, 30, 15});
    EXPECT_EQ(west.getTimestamp(), utc);
    EXPECT_EQ(west.getLocalTimestamp(), utc - 5 * 3600);

    // An offset moves the local date across midnight and the year end.
    const Date newYear(timestamp_make_simple(2025, 12, 31, 23, 30, 0), CEST);
    expectDate(newYear, {2026, 0, 1, 1, 30, 0});
    EXPECT_EQ(newYear.getWeekDay(), 4);
    EXPECT_EQ(newYear.getTimestamp(), timestamp_make_simple(2025, 12, 31, 23, 30, 0));
}

TEST(Date, SecondsOfTheDayWithoutOffsetAreThatTimeOn1January1970) {
    const Date marker(13 * 3600 + 5 * 60 + 9, 0);
    expectDate(marker, {1970, 0, 1, 13, 5, 9});
    EXPECT_EQ(marker.getWeekDay(), 4);
    expectDate(Date(0, 0), {1970, 0, 1, 0, 0, 0});
    expectDate(Date(86399, 0), {1970, 0, 1, 23, 59, 59});
}

TEST(Date, DayMonthYearIsMidnightWithoutOffset) {
    const Date leapDay(29, 1, 2000);
    expectDate(leapDay, {2000, 1, 29, 0, 0, 0});
    EXPECT_EQ(leapDay.getWeekDay(), 2);
    EXPECT_EQ(leapDay.getLocalTimeOffset(), 0);
    EXPECT_EQ(leapDay.getTimestamp(), 951782400);
    EXPECT_EQ(leapDay.getLocalTimestamp(), 951782400);

    // A day the month does not have carries into the next month.
    expectDate(Date(29, 1, 2100), {2100, 2, 1, 0, 0, 0});
    expectDate(Date(31, 3, 2026), {2026, 4, 1, 0, 0, 0});
    // Day 0 is the last day of the previous month, month 12 January of the next year.
    expectDate(Date(0, 2, 2024), {2024, 1, 29, 0, 0, 0});
    expectDate(Date(1, 12, 2026), {2027, 0, 1, 0, 0, 0});
}

TEST(Date, BrokenDownTimeWithOffsetIsReadAsLocalTime) {
    tm fields{};
    fields.tm_year = 126;
    fields.tm_mon = 2;
    fields.tm_mday = 29;
    fields.tm_hour = 3;
    fields.tm_min = 15;
    fields.tm_sec = 0;
    fields.tm_isdst = 1;
    const Date summer(&fields, CEST);
    expectDate(summer, {2026, 2, 29, 3, 15, 0});
    EXPECT_EQ(summer.getWeekDay(), 0);
    EXPECT_EQ(summer.getLocalTimeOffset(), CEST);
    EXPECT_EQ(summer.getLocalTimestamp(), timestamp_make_simple(2026, 3, 29, 3, 15, 0));
    EXPECT_EQ(summer.getTimestamp(), timestamp_make_simple(2026, 3, 29, 1, 15, 0));

    // Fields out of range carry, as a broken-down time from arithmetic may have them.
    fields.tm_hour = 24;
    fields.tm_min = -1;
    expectDate(Date(&fields, 0), {2026, 2, 29, 23, 59, 0});

    // The same moment through both constructors gives the same date.
    tm broken{};
    timestamp_broke(&broken, timestamp_make_simple(2024, 2, 29, 12, 0, 0) + CET);
    const Date viaFields(&broken, CET);
    const Date viaSeconds(timestamp_make_simple(2024, 2, 29, 12, 0, 0), CET);
    EXPECT_EQ(viaFields.getTimestamp(), viaSeconds.getTimestamp());
    EXPECT_EQ(viaFields.getLocalTimestamp(), viaSeconds.getLocalTimestamp());
}

TEST(Date, AddingCarriesThroughDaysMonthsAndYears) {
    Date date(timestamp_make_simple(2025, 12, 31, 23, 59, 59), 0);
    date.addSeconds(1);
    expectDate(date, {2026, 0, 1, 0, 0, 0});
    EXPECT_EQ(date.getWeekDay(), 4);

    date = Date(timestamp_make_simple(2024, 2, 28, 22, 59, 0), CET);
    expectDate(date, {2024, 1, 28, 23, 59, 0});
    date.addMinutes(1);
    expectDate(date, {2024, 1, 29, 0, 0, 0});
    date.addHours(23);
    expectDate(date, {2024, 1, 29, 23, 0, 0});
    date.addHours(1);
    expectDate(date, {2024, 2, 1, 0, 0, 0});
    EXPECT_EQ(date.getLocalTimeOffset(), CET);

    date = Date(31, 0, 2026);
    date.addDays(28);
    expectDate(date, {2026, 1, 28, 0, 0, 0});
    date.addDays(1);
    expectDate(date, {2026, 2, 1, 0, 0, 0});
    date.addDays(366);
    expectDate(date, {2027, 2, 2, 0, 0, 0});

    date = Date(1, 0, 2026);
    date.addSeconds(86400 * 365 + 61);
    expectDate(date, {2027, 0, 1, 0, 1, 1});
}

TEST(Date, NegativeAmountsBorrowThroughDaysMonthsAndYears) {
    Date date(1, 0, 2026);
    date.addSeconds(-1);
    expectDate(date, {2025, 11, 31, 23, 59, 59});
    date.addMinutes(-60 * 24 * 30);
    expectDate(date, {2025, 11, 1, 23, 59, 59});
    date.addDays(-1);
    expectDate(date, {2025, 10, 30, 23, 59, 59});

    date = Date(1, 2, 2024);
    date.addHours(-1);
    expectDate(date, {2024, 1, 29, 23, 0, 0});
    date = Date(1, 2, 2100);
    date.addDays(-1);
    expectDate(date, {2100, 1, 28, 0, 0, 0});

    // Before 1970 the date keeps counting back rather than wrapping.
    date = Date(0, 0);
    date.addHours(-1);
    expectDate(date, {1969, 11, 31, 23, 0, 0});
    EXPECT_EQ(date.getWeekDay(), 3);
    EXPECT_EQ(date.getTimestamp(), -3600);
    date.addHours(-24 * 365);
    expectDate(date, {1968, 11, 31, 23, 0, 0});
}

TEST(Date, TheOffsetStaysWhileTheLocalTimeMoves) {
    Date date(timestamp_make_simple(2026, 10, 25, 0, 30, 0), CEST);
    date.addHours(1);
    EXPECT_EQ(date.getLocalTimeOffset(), CEST);
    expectDate(date, {2026, 9, 25, 3, 30, 0});
    EXPECT_EQ(date.getTimestamp(), timestamp_make_simple(2026, 10, 25, 1, 30, 0));
    EXPECT_EQ(date.getLocalTimestamp() - date.getTimestamp(), CEST);
}

TEST(Date, CopiesAreIndependentValues) {
    Date original(1, 0, 2026);
    Date copy = original;
    copy.addDays(1);
    expectDate(original, {2026, 0, 1, 0, 0, 0});
    expectDate(copy, {2026, 0, 2, 0, 0, 0});
}

TEST(Date, FarPastAndFutureGiveDefinedDates) {
    const Date future(INT64_MAX, INT_MAX);
    expectDate(future, {INT_MAX, 11, 31, 23, 59, 59});
    const time_t latest = future.getLocalTimestamp();
    EXPECT_EQ(future.getTimestamp(), latest - INT_MAX);
    Date later = future;
    later.addSeconds(1);
    EXPECT_EQ(later.getLocalTimestamp(), latest);

    Date past(INT64_MIN, INT_MIN);
    EXPECT_EQ(past.getLocalTimestamp(), TIMESTAMP_MIN);
    EXPECT_EQ(past.getYear(), -2147481748);
    past.addDays(INT_MIN);
    EXPECT_EQ(past.getLocalTimestamp(), TIMESTAMP_MIN);
    EXPECT_EQ(past.getTimestamp(), TIMESTAMP_MIN - INT_MIN);

    // Far from 1970 the calendar still repeats every 400 years (146097 days).
    Date late(29, 1, 2000);
    for (int i = 0; i < 5000; ++i) {
        late.addDays(146097);
    }
    expectDate(late, {2002000, 1, 29, 0, 0, 0});
    EXPECT_EQ(late.getWeekDay(), 2);
}

} // namespace
} // namespace tdx
