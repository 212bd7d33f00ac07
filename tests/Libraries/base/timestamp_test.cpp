#include "Libraries/base/timestamp.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace tdx {
namespace {

// Year, month (1-12), day, hour, minute, second, weekday: compared whole, printed whole on a mismatch.
using Fields = std::array<int, 7>;

Fields broke(time_t t) {
    tm out{};
    timestamp_broke(&out, t);
    return {out.tm_year + 1900, out.tm_mon + 1, out.tm_mday, out.tm_hour,
            out.tm_min,         out.tm_sec,     out.tm_wday};
}

TEST(Timestamp, KnownMomentsHaveTheirCalendarFieldsAndWeekdays) {
    struct Known {
        time_t seconds;
        Fields fields;
    };
    const Known known[] = {
        {-2208988800, {1900, 1, 1, 0, 0, 0, 1}},    // Monday
        {-86400, {1969, 12, 31, 0, 0, 0, 3}},       // Wednesday
        {0, {1970, 1, 1, 0, 0, 0, 4}},              // Thursday
        {946684800, {2000, 1, 1, 0, 0, 0, 6}},      // Saturday
        {951782400, {2000, 2, 29, 0, 0, 0, 2}},     // Tuesday, leap day of a century divisible by 400
        {2147483647, {2038, 1, 19, 3, 14, 7, 2}},   // the last second of signed 32-bit time
        {2147483648, {2038, 1, 19, 3, 14, 8, 2}},   // and the one after it
        {4107542400, {2100, 3, 1, 0, 0, 0, 1}},     // Monday, 2100 is no leap year
        {4107542399, {2100, 2, 28, 23, 59, 59, 0}}, // Sunday
    };
    for (const Known& k : known) {
        SCOPED_TRACE(k.seconds);
        EXPECT_EQ(broke(k.seconds), k.fields);
        const auto [year, month, day, hour, minute, second, weekDay] = k.fields;
        EXPECT_EQ(timestamp_make_simple(year, month, day, hour, minute, second), k.seconds);
    }
}

// Every day from 1900 to 2100, then random moments in that range: the fields are the C library's and the
// moment made back from them is the one broken down.
TEST(Timestamp, AgreesWithTheCLibraryAndRoundTripsFrom1900To2100) {
    const time_t first = timestamp_make_simple(1900, 1, 1, 0, 0, 0);
    const time_t end = timestamp_make_simple(2101, 1, 1, 0, 0, 0);
    std::vector<time_t> moments;
    for (time_t day = first; day < end; day += 86400) {
        moments.push_back(day + 3723);
    }
    std::mt19937_64 random(20261206);
    std::uniform_int_distribution<time_t> anyMoment(first, end - 1);
    for (int i = 0; i < 20000; ++i) {
        moments.push_back(anyMoment(random));
    }
    for (const time_t t : moments) {
        tm expected{};
        ASSERT_NE(gmtime_r(&t, &expected), nullptr);
        tm actual{};
        timestamp_broke(&actual, t);
        ASSERT_EQ(std::tie(actual.tm_year, actual.tm_mon, actual.tm_mday, actual.tm_hour, actual.tm_min,
                           actual.tm_sec, actual.tm_wday, actual.tm_yday, actual.tm_isdst),
                  std::tie(expected.tm_year, expected.tm_mon, expected.tm_mday, expected.tm_hour,
                           expected.tm_min, expected.tm_sec, expected.tm_wday, expected.tm_yday,
                           expected.tm_isdst))
            << t;
        ASSERT_EQ(timestamp_make(&actual), t);
    }
}

TEST(Timestamp, FieldsOutOfRangeCarryIntoTheNeighbouringUnits) {
    const time_t newYear2025 = timestamp_make_simple(2025, 1, 1, 0, 0, 0);
    EXPECT_EQ(timestamp_make_simple(2024, 13, 1, 0, 0, 0), newYear2025);
    EXPECT_EQ(timestamp_make_simple(2024, 12, 31, 23, 59, 60), newYear2025);
    EXPECT_EQ(timestamp_make_simple(2024, 12, 31, 24, 0, 0), newYear2025);
    EXPECT_EQ(timestamp_make_simple(2025, 1, 1, 0, 0, -1), newYear2025 - 1);
    EXPECT_EQ(timestamp_make_simple(2024, 3, 0, 0, 0, 0), timestamp_make_simple(2024, 2, 29, 0, 0, 0));
    EXPECT_EQ(timestamp_make_simple(2023, 2, 29, 0, 0, 0), timestamp_make_simple(2023, 3, 1, 0, 0, 0));
    EXPECT_EQ(timestamp_make_simple(2025, 0, 1, 0, 0, 0), timestamp_make_simple(2024, 12, 1, 0, 0, 0));
    EXPECT_EQ(timestamp_make_simple(2025, -11, 1, 0, 0, 0), timestamp_make_simple(2024, 1, 1, 0, 0, 0));

    tm fields{};
    fields.tm_year = 124;
    fields.tm_mon = 14; // March of the next year
    fields.tm_mday = 1;
    fields.tm_wday = 5; // ignored
    fields.tm_yday = 300;
    fields.tm_isdst = 1;
    EXPECT_EQ(timestamp_make(&fields), timestamp_make_simple(2025, 3, 1, 0, 0, 0));
}

TEST(Timestamp, MonthsHaveTheirLengthsAndFebruaryFollowsTheLeapYearRule) {
    const struct {
        int64_t year;
        int month;
        int days;
    } months[] = {{2025, 1, 31}, {2025, 4, 30}, {2025, 12, 31}, {2023, 2, 28}, {2024, 2, 29},
                  {1900, 2, 28}, {2000, 2, 29}, {-4, 2, 29},    {-1, 2, 28}};
    for (const auto& m : months) {
        EXPECT_EQ(timestamp_days_in_month(m.year, m.month), m.days) << m.year << "-" << m.month;
    }
}

TEST(Timestamp, DoesNotDependOnTheTimeZoneOfTheEnvironment) {
    const char* saved = std::getenv("TZ");
    const std::string savedZone = saved ? saved : "";
    setenv("TZ", "<+14>-14", 1); // UTC+14 in POSIX form, independent of the zone database
    tzset();

    EXPECT_EQ(broke(951782400 + 23 * 3600), (Fields{2000, 2, 29, 23, 0, 0, 2}));
    EXPECT_EQ(timestamp_make_simple(2000, 2, 29, 23, 0, 0), 951782400 + 23 * 3600);
    tm fields{};
    timestamp_broke(&fields, 4107542400);
    EXPECT_EQ(timestamp_make(&fields), 4107542400);

    setenv("TZ", "<-12>12", 1); // UTC-12
    tzset();
    EXPECT_EQ(broke(0), (Fields{1970, 1, 1, 0, 0, 0, 4}));
    EXPECT_EQ(timestamp_make_simple(1970, 1, 1, 0, 0, 0), 0);

    if (saved) {
        setenv("TZ", savedZone.c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    tzset();
}

TEST(Timestamp, FarPastAndFutureSaturateAtTheLimitsOfTheBrokenDownYear) {
    tm fields{};
    timestamp_broke(&fields, INT64_MAX);
    EXPECT_EQ(
        std::tie(fields.tm_year, fields.tm_mon, fields.tm_mday, fields.tm_hour, fields.tm_min, fields.tm_sec),
        std::tuple(INT_MAX, 11, 31, 23, 59, 59));
    EXPECT_EQ(timestamp_make(&fields), TIMESTAMP_MAX);

    timestamp_broke(&fields, INT64_MIN);
    EXPECT_EQ(std::tie(fields.tm_year, fields.tm_mon, fields.tm_mday, fields.tm_hour),
              std::tuple(INT_MIN, 0, 1, 0));
    EXPECT_EQ(timestamp_make(&fields), TIMESTAMP_MIN);

    // The proleptic calendar before the Common Era: 0001-01-01 is a Monday, year 0 (1 BC) a leap year.
    EXPECT_EQ(broke(timestamp_make_simple(1, 1, 1, 0, 0, 0)), (Fields{1, 1, 1, 0, 0, 0, 1}));
    EXPECT_EQ(broke(timestamp_make_simple(0, 2, 29, 0, 0, 0)), (Fields{0, 2, 29, 0, 0, 0, 2}));
    EXPECT_EQ(broke(timestamp_make_simple(0, 1, 1, 0, 0, 0) - 1), (Fields{-1, 12, 31, 23, 59, 59, 5}));

    // Extreme fields do not overflow: every field is carried in 64 bits.
    fields = tm{};
    fields.tm_year = INT_MAX;
    fields.tm_mon = INT_MAX;
    fields.tm_mday = INT_MAX;
    fields.tm_hour = INT_MAX;
    fields.tm_min = INT_MAX;
    fields.tm_sec = INT_MAX;
    const time_t huge = timestamp_make(&fields);
    EXPECT_GT(huge, TIMESTAMP_MAX);
    timestamp_broke(&fields, huge);
    EXPECT_EQ(fields.tm_year, INT_MAX);
}

TEST(Timestamp, NetworkTimeCountsFrom2000AndSaturatesOutsideItsRange) {
    EXPECT_EQ(NETWORK_TIME_OFFSET, timestamp_make_simple(2000, 1, 1, 0, 0, 0));
    EXPECT_EQ(timestamp_from_network(0), 946684800);
    EXPECT_EQ(timestamp_from_network(UINT32_MAX), 946684800LL + 4294967295LL);
    EXPECT_EQ(broke(timestamp_from_network(UINT32_MAX)), (Fields{2136, 2, 7, 6, 28, 15, 2}));
    EXPECT_EQ(timestamp_to_network(timestamp_make_simple(2026, 12, 6, 17, 30, 0)),
              static_cast<uint32_t>(timestamp_make_simple(2026, 12, 6, 17, 30, 0) - 946684800));
    EXPECT_EQ(timestamp_to_network(946684801), 1u);
    EXPECT_EQ(timestamp_to_network(946684800), 0u);
    EXPECT_EQ(timestamp_to_network(0), 0u);
    EXPECT_EQ(timestamp_to_network(INT64_MIN), 0u);
    EXPECT_EQ(timestamp_to_network(timestamp_from_network(UINT32_MAX)), UINT32_MAX);
    EXPECT_EQ(timestamp_to_network(timestamp_from_network(UINT32_MAX) + 1), UINT32_MAX);
    EXPECT_EQ(timestamp_to_network(INT64_MAX), UINT32_MAX);
}

} // namespace
} // namespace tdx
