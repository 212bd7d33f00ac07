#include "SourceApp/application/utils/Date.h"

#include "Libraries/base/timestamp.h"

#include <gtest/gtest.h>

#include <climits>
#include <ctime>
#include <functional>

namespace tdx {
namespace {

struct Expected {
    int year;
    int month; // 0-based, as Date counts it
    int day;
    int hours;
    int minutes;
    int seconds;
    int weekDay = -1; // -1: not checked
};

void expectDate(const Date& date, const Expected& e, const std::string& what) {
    EXPECT_EQ(date.getYear(), e.year) << what;
    EXPECT_EQ((std::tuple<int, int, int, int, int>(date.getMonth(), date.getDay(), date.getHours(),
                                                   date.getMinutes(), date.getSeconds())),
              (std::tuple(e.month, e.day, e.hours, e.minutes, e.seconds)))
        << what;
    if (e.weekDay >= 0) {
        EXPECT_EQ(date.getWeekDay(), e.weekDay) << what;
    }
}

constexpr int CET = 3600;
constexpr int CEST = 7200;

time_t utc(int year, int month, int day, int hours, int minutes, int seconds) {
    return timestamp_make_simple(year, month, day, hours, minutes, seconds);
}

tm fields(int year, int month0, int day, int hours, int minutes) {
    tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month0;
    t.tm_mday = day;
    t.tm_hour = hours;
    t.tm_min = minutes;
    t.tm_isdst = 1;
    return t;
}

TEST(Date, EachConstructorGivesTheLocalDateAndKeepsTheMoment) {
    tm summer = fields(2026, 2, 29, 3, 15);
    tm carried = fields(2026, 2, 29, 24, -1); // out of range, as arithmetic may leave them
    const struct {
        const char* what;
        Date date;
        Expected local;
        time_t moment;
    } cases[] = {
        {"UTC+1",
         Date(utc(2026, 12, 6, 17, 30, 15), CET),
         {2026, 11, 6, 18, 30, 15, 0},
         utc(2026, 12, 6, 17, 30, 15)},
        {"UTC-5",
         Date(utc(2026, 12, 6, 17, 30, 15), -5 * 3600),
         {2026, 11, 6, 12, 30, 15},
         utc(2026, 12, 6, 17, 30, 15)},
        {"across the year end",
         Date(utc(2025, 12, 31, 23, 30, 0), CEST),
         {2026, 0, 1, 1, 30, 0, 4},
         utc(2025, 12, 31, 23, 30, 0)},
        {"seconds of a day", Date(13 * 3600 + 5 * 60 + 9, 0), {1970, 0, 1, 13, 5, 9, 4}, 47109},
        {"last second of day 0", Date(86399, 0), {1970, 0, 1, 23, 59, 59}, 86399},
        {"leap day", Date(29, 1, 2000), {2000, 1, 29, 0, 0, 0, 2}, 951782400},
        {"no leap day in 2100", Date(29, 1, 2100), {2100, 2, 1, 0, 0, 0}, utc(2100, 3, 1, 0, 0, 0)},
        {"31 April", Date(31, 3, 2026), {2026, 4, 1, 0, 0, 0}, utc(2026, 5, 1, 0, 0, 0)},
        {"day 0", Date(0, 2, 2024), {2024, 1, 29, 0, 0, 0}, utc(2024, 2, 29, 0, 0, 0)},
        {"month 12", Date(1, 12, 2026), {2027, 0, 1, 0, 0, 0}, utc(2027, 1, 1, 0, 0, 0)},
        {"fields as local time", Date(&summer, CEST), {2026, 2, 29, 3, 15, 0, 0}, utc(2026, 3, 29, 1, 15, 0)},
        {"fields that carry", Date(&carried, 0), {2026, 2, 29, 23, 59, 0}, utc(2026, 3, 29, 23, 59, 0)},
    };
    for (const auto& c : cases) {
        expectDate(c.date, c.local, c.what);
        EXPECT_EQ(c.date.getTimestamp(), c.moment) << c.what;
        EXPECT_EQ(c.date.getLocalTimestamp() - c.date.getTimestamp(), c.date.getLocalTimeOffset()) << c.what;
    }
}

TEST(Date, AddingCarriesAndBorrowsThroughDaysMonthsAndYearsAndKeepsTheOffset) {
    using Step = std::function<void(Date&)>;
    const struct {
        const char* what;
        Date start;
        Step step;
        Expected local;
    } cases[] = {
        {"a second into the new year",
         Date(utc(2025, 12, 31, 23, 59, 59), 0),
         [](Date& d) { d.addSeconds(1); },
         {2026, 0, 1, 0, 0, 0, 4}},
        {"a minute into a leap day",
         Date(utc(2024, 2, 28, 22, 59, 0), CET),
         [](Date& d) { d.addMinutes(1); },
         {2024, 1, 29, 0, 0, 0}},
        {"hours out of a leap day",
         Date(utc(2024, 2, 29, 0, 0, 0), CET),
         [](Date& d) { d.addHours(24); },
         {2024, 2, 1, 1, 0, 0}},
        {"days across February", Date(31, 0, 2026), [](Date& d) { d.addDays(29); }, {2026, 2, 1, 0, 0, 0}},
        {"a year of days", Date(1, 2, 2026), [](Date& d) { d.addDays(366); }, {2027, 2, 2, 0, 0, 0}},
        {"a year of seconds",
         Date(1, 0, 2026),
         [](Date& d) { d.addSeconds(86400 * 365 + 61); },
         {2027, 0, 1, 0, 1, 1}},
        {"a second back", Date(1, 0, 2026), [](Date& d) { d.addSeconds(-1); }, {2025, 11, 31, 23, 59, 59}},
        {"30 days back in minutes",
         Date(31, 11, 2025),
         [](Date& d) { d.addMinutes(-60 * 24 * 30); },
         {2025, 11, 1, 0, 0, 0}},
        {"a day back into November",
         Date(1, 11, 2025),
         [](Date& d) { d.addDays(-1); },
         {2025, 10, 30, 0, 0, 0}},
        {"an hour back into a leap day",
         Date(1, 2, 2024),
         [](Date& d) { d.addHours(-1); },
         {2024, 1, 29, 23, 0, 0}},
        {"a day back, 2100", Date(1, 2, 2100), [](Date& d) { d.addDays(-1); }, {2100, 1, 28, 0, 0, 0}},
        {"before 1970", Date(0, 0), [](Date& d) { d.addHours(-1 - 24 * 365); }, {1968, 11, 31, 23, 0, 0, 2}},
        {"summer time ending",
         Date(utc(2026, 10, 25, 0, 30, 0), CEST),
         [](Date& d) { d.addHours(1); },
         {2026, 9, 25, 3, 30, 0}},
    };
    for (const auto& c : cases) {
        Date date = c.start;
        c.step(date);
        expectDate(date, c.local, c.what);
        EXPECT_EQ(date.getLocalTimeOffset(), c.start.getLocalTimeOffset()) << c.what;
        EXPECT_EQ(date.getLocalTimestamp() - date.getTimestamp(), c.start.getLocalTimeOffset()) << c.what;
    }
    Date back(0, 0);
    back.addHours(-1);
    EXPECT_EQ(back.getTimestamp(), -3600) << "counts back rather than wrapping";
}

TEST(Date, FarPastAndFutureGiveDefinedDates) {
    const Date future(INT64_MAX, INT_MAX);
    expectDate(future, {INT_MAX, 11, 31, 23, 59, 59}, "the latest");
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
    expectDate(late, {2002000, 1, 29, 0, 0, 0, 2}, "2 million years on");
}

} // namespace
} // namespace tdx
