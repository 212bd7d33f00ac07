#include "SourceApp/storage/HwProfile.h"
#include "SourceApp/storage/WeekdayEvent.h"
#include "SourceApp/storage/dev_descriptor.h"
#include "SourceApp/storage/schedule.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace tdx;

namespace {

// A day from a readable picture: one character per quarter hour, '0'..'3'.
day_schedule_t day_from(const std::string& quarters) {
    day_schedule_t day{};
    for (size_t q = 0; q < quarters.size() && q < 96; ++q) {
        day.hours[q / 4] |= static_cast<u8>((quarters[q] - '0') << (2 * (q % 4)));
    }
    return day;
}

std::string picture(const day_schedule_t& day) {
    std::string out;
    for (int t = 0; t < SCHEDULE_DAY; t += SCHEDULE_STEP) {
        out += static_cast<char>('0' + schedule_get_period_type(&day, t));
    }
    return out;
}

} // namespace

TEST(Schedule, PeriodTypesAreReadPerQuarterHour) {
    // 06:00-08:00 type 2, 08:00-08:15 type 3, the last quarter of the day type 1.
    std::string quarters(96, '0');
    quarters.replace(24, 8, "22222222");
    quarters[32] = '3';
    quarters[95] = '1';
    const day_schedule_t day = day_from(quarters);
    EXPECT_EQ(0, schedule_get_period_type(&day, 0));
    EXPECT_EQ(0, schedule_get_period_type(&day, 21599));
    EXPECT_EQ(2, schedule_get_period_type(&day, 21600));
    EXPECT_EQ(2, schedule_get_period_type(&day, 28799));
    EXPECT_EQ(3, schedule_get_period_type(&day, 28800));
    EXPECT_EQ(3, schedule_get_period_type(&day, 29699));
    EXPECT_EQ(0, schedule_get_period_type(&day, 29700));
    EXPECT_EQ(1, schedule_get_period_type(&day, 86399));
    EXPECT_EQ(0x03, day.hours[8]) << "first quarter in bits 0-1";
}

TEST(Schedule, SearchesWalkInQuarterHours) {
    std::string quarters(96, '0');
    quarters.replace(24, 8, "22222222"); // 06:00-08:00
    const day_schedule_t day = day_from(quarters);
    EXPECT_EQ(21600, schedule_find_first_period_of(&day, 2, 0));
    EXPECT_EQ(25000, schedule_find_first_period_of(&day, 2, 25000)) << "start itself when it is of the type";
    EXPECT_EQ(-1, schedule_find_first_period_of(&day, 2, 28800));
    EXPECT_EQ(-1, schedule_find_first_period_of(&day, 3, 0));
    EXPECT_EQ(-1, schedule_find_first_period_of(&day, 0, 86400)) << "start outside the day";
    EXPECT_EQ(-1, schedule_find_first_period_of(&day, 0, -1));

    EXPECT_EQ(28800, schedule_find_first_period_not_of(&day, 2, 21600));
    EXPECT_EQ(0, schedule_find_first_period_not_of(&day, 2, 0));
    EXPECT_EQ(-1, schedule_find_first_period_not_of(&day, 0, 28800)) << "rest of the day all of one type";

    EXPECT_EQ(21600, schedule_find_period_beginning(&day, 28799));
    EXPECT_EQ(21600, schedule_find_period_beginning(&day, 21600));
    EXPECT_EQ(0, schedule_find_period_beginning(&day, 21599)) << "run from midnight";
    EXPECT_EQ(28800, schedule_find_period_beginning(&day, 86399));
    EXPECT_EQ(-1, schedule_find_period_beginning(&day, 86400));

    const day_schedule_t allOne = day_from(std::string(96, '1'));
    EXPECT_EQ(-1, schedule_find_first_period_not_of(&allOne, 1, 0));
    EXPECT_EQ(0, schedule_find_period_beginning(&allOne, 86399));
    EXPECT_EQ(86399, schedule_find_first_period_of(&allOne, 1, 86399));
}

TEST(Schedule, RangesAndDaysAreWritten) {
    day_schedule_t day{};
    schedule_set_range_type(&day, 21600, 28800, 2);
    schedule_set_range_type(&day, 86400 - 900, 86400, 3);
    schedule_set_range_type(&day, 27900, 28800, 1);
    std::string expected(96, '0');
    expected.replace(24, 8, "22222221");
    expected[95] = '3';
    EXPECT_EQ(expected, picture(day));

    week_schedule_t week{};
    week.days[0] = day;
    schedule_clone_day(&week, 0, 6);
    EXPECT_EQ(0, std::memcmp(&week.days[6], &day, sizeof day));
    EXPECT_EQ(expected, picture(week.days[6]));
    EXPECT_EQ(std::string(96, '0'), picture(week.days[5]));
    const u8* bytes = reinterpret_cast<const u8*>(&week);
    EXPECT_EQ(0xAA, bytes[2 + 24 * 6 + 6]) << "day 6 at byte 2 + 24 * 6";
}

TEST(ScheduleDeathTest, TimesOutsideTheDayStopTheProgram) {
    const day_schedule_t day{};
    day_schedule_t writable{};
    week_schedule_t week{};
    EXPECT_DEATH(schedule_get_period_type(&day, 86400), "index >= 0 && index < 24");
    EXPECT_DEATH(schedule_get_period_type(&day, -1), "index >= 0 && index < 24");
    EXPECT_DEATH(schedule_set_range_type(&writable, 900, 900, 1), "startTime < endTime");
    EXPECT_DEATH(schedule_set_range_type(&writable, 85500, 87300, 1), "index >= 0 && index < 24");
    EXPECT_DEATH(schedule_clone_day(&week, 7, 0), "sourceDay >= 0 && sourceDay < 7");
    EXPECT_DEATH(schedule_clone_day(&week, 0, -1), "destDay >= 0 && destDay < 7");
}

TEST(WeekdayEvents, FieldsArePackedIntoSixteenBitsLowByteFirst) {
    const WeekdayEvent e(WeekdayEvent::MODE_WEEKLY, 6, 23, 45);
    EXPECT_EQ((6u << 13) | (23u << 6) | 45u, e.raw());
    EXPECT_EQ(6, e.day());
    EXPECT_EQ(23, e.hour());
    EXPECT_EQ(45, e.minute());
    EXPECT_TRUE(e.isWeekly());
    u8 bytes[2];
    e.store(bytes);
    EXPECT_EQ(static_cast<u8>(e.raw() & 0xFF), bytes[0]);
    EXPECT_EQ(static_cast<u8>(e.raw() >> 8), bytes[1]);
    EXPECT_EQ(e, WeekdayEvent::load(bytes));

    const WeekdayEvent monthly(1, 7, 0, 0);
    EXPECT_FALSE(monthly.isWeekly());
    EXPECT_EQ(7, monthly.day());
    // Fields wider than their bits never spill into their neighbours.
    const WeekdayEvent wide(0, 0, 0xFF, 0xFF);
    EXPECT_EQ(0, wide.day());
    EXPECT_EQ(0, wide.mode());
    EXPECT_EQ(31, wide.hour());
    EXPECT_EQ(63, wide.minute());
}

TEST(HardwareProfiles, TheInstallerIsOfferedThirteenInTheirOrder) {
    const HMU316::Device device;
    std::vector<u32> ids;
    for (const HwProfile::IProfile* p : device) {
        ids.push_back(p->getId());
    }
    EXPECT_EQ((std::vector<u32>{0, 12, 1, 13, 2, 3, 4, 6, 11, 7, 8, 9, 10}), ids);
    EXPECT_EQ(2, HMU316::findProfile(5)->getItcCount());
    EXPECT_EQ(1, HMU316::findProfile(13)->getHotWater());
    EXPECT_EQ(nullptr, HMU316::findProfile(14));
    for (u32 id = 0; id < HMU316::PROFILE_COUNT; ++id) {
        EXPECT_EQ(id, HMU316::findProfile(id)->getId());
    }
}

TEST(DeviceDescriptors, TheFirstMatchOfNamesAndVersionRangesIsReturned) {
    const dev_descriptor* d = nullptr;
    ASSERT_EQ(0, dev_get_descriptor(&d, "HM316", 5, "HM316", 5, 0, 255));
    EXPECT_STREQ("HMU-316", d->product);
    ASSERT_EQ(0, dev_get_descriptor(&d, "TD410xx", 5, "TD410", 5, 255, 0))
        << "compares over the given length";
    EXPECT_STREQ("TDX-410", d->product);
    EXPECT_EQ(0, dev_get_descriptor(&d, "HM316", 6, "HM316", 6, 1, 1)) << "terminator compared too";
    // Names compare as strncmp does: a length past the terminator reads nothing beyond the stored name.
    EXPECT_EQ(0, dev_get_descriptor(&d, "HM316\0zzzzzzzzzz", 16, "HM316", 5, 1, 1));
    EXPECT_EQ(-1, dev_get_descriptor(&d, "HM31", 5, "HM316", 5, 1, 1)) << "a shorter name differs at its end";

    const dev_descriptor* untouched = reinterpret_cast<const dev_descriptor*>(&d);
    const dev_descriptor* keep = untouched;
    EXPECT_EQ(-1, dev_get_descriptor(&keep, "HM317", 5, "HM316", 5, 1, 1));
    EXPECT_EQ(-1, dev_get_descriptor(&keep, "HM316", 5, "TD410", 5, 1, 1))
        << "hardware and software must agree";
    EXPECT_EQ(-1, dev_get_descriptor(&keep, "HM316x", 6, "HM316", 5, 1, 1));
    EXPECT_EQ(-1, dev_get_descriptor(&keep, nullptr, 5, "HM316", 5, 1, 1));
    EXPECT_EQ(-1, dev_get_descriptor(nullptr, "HM316", 5, "HM316", 5, 1, 1));
    EXPECT_EQ(untouched, keep) << "nothing stored without a match";
}
