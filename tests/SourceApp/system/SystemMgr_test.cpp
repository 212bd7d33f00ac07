#include "SourceApp/system/SystemMgr.h"

#include "Libraries/base/os.h"
#include "Libraries/base/timestamp.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/system/config.h"
#include "SourceHost/api_lib/devices.h"
#include "tests/support/trace_capture.h"

#include <gtest/gtest.h>

namespace tdx {
namespace {

class ScreenTimeline : public ::testing::Test {
protected:
    void SetUp() override {
        timer_init();
        Configuration = DefaultConfiguration;
        mStart = timer();
    }

    // Runs one task per millisecond of the platform clock up to `at` ms after the start.
    void runTo(uint64_t at) {
        while (timer() - mStart < at) {
            os_clock_advance(1);
            mSystem.task();
        }
    }
    void runFor(uint64_t ms) { runTo(timer() - mStart + ms); }

    void expectScreen(screen_state_t state, int backlight, bool on) {
        const LcdRecord lcd = lcd_platform_record();
        EXPECT_EQ(mSystem.getScreenState(), state);
        EXPECT_EQ(lcd.backlight, backlight);
        EXPECT_EQ(lcd.on, on);
    }

    test::TraceCapture mTrace;
    SystemMgr mSystem;
    uint64_t mStart = 0;
};

TEST_F(ScreenTimeline, TheScreenFadesOnDimsAfterTenSecondsGoesOffTenLaterAndATouchWakesIt) {
    lcd_turn_off();
    struct Step {
        uint64_t at;
        bool touch;
        screen_state_t state;
        int backlight;
        bool on;
    } steps[] = {{0, false, ssActive, 0, true},       // the first task switches on and starts the fade
                 {200, false, ssActive, 50, true},    // 200 ms to the active intensity
                 {10000, false, ssActive, 50, true},  // 10 s of idle time is not yet more than 10 s
                 {10001, false, ssDimmed, 50, true},  //
                 {11501, false, ssDimmed, 6, true},   // 1.5 s to the dimmed intensity
                 {20001, false, ssDimmed, 6, true},   // the dimmed delay counts from the change
                 {20202, false, ssOff, 0, true},      // 200 ms to black,
                 {20203, false, ssOff, 0, false},     // then off
                 {30000, true, ssActive, 0, true},    // a touch switches on
                 {30200, false, ssActive, 50, true},  //
                 {40000, false, ssActive, 50, true},  // and the idle time counts from the touch
                 {40001, false, ssDimmed, 50, true}}; //
    mSystem.task();
    for (const Step& step : steps) {
        SCOPED_TRACE(step.at);
        runTo(step.at);
        if (step.touch) {
            mSystem.reset();
            mSystem.task();
        }
        expectScreen(step.state, step.backlight, step.on);
    }
    // Each fade is two trace lines, its start and its end, however many steps it took.
    EXPECT_EQ(mTrace.count("SYSTEM backlight"), 9u) << mTrace.str();
    EXPECT_EQ(mTrace.count("SYSTEM backlight fades from 50% to 6% in 1500 ms\n"), 2u) << mTrace.str();
    EXPECT_EQ(mTrace.count("SYSTEM backlight at 6%\n"), 1u) << mTrace.str();
}

TEST_F(ScreenTimeline, EachDelayCountsFromTheChangeIntoItsStateAndZeroMeansNever) {
    struct Case {
        uint32_t dimmedDelay, activeDelay;
        uint64_t at;
        screen_state_t state;
    } cases[] = {
        {0, 0, 600000, ssActive},       {0, 10, 600000, ssDimmed}, // never off
        {10, 0, 600000, ssActive}, // "Never" for the active screen: it neither dims nor turns off
        {5, 10, 15001, ssDimmed},       {5, 10, 15002, ssOff}, // dimmed 10 s after the touch, off 5 s later
        {0, 5000000, 800000, ssActive}, // 5e9 ms do not fit 32 bits (they would wrap to 705 s)
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dimmedDelay << "/" << c.activeDelay << " at " << c.at);
        SystemMgr system;
        Configuration.screen_delay[ssDimmed] = c.dimmedDelay;
        Configuration.screen_delay[ssActive] = c.activeDelay;
        system.task();
        for (uint64_t t = 0; t < c.at; t += 1) {
            os_clock_advance(1);
            system.task();
        }
        EXPECT_EQ(system.getScreenState(), c.state);
    }
}

TEST_F(ScreenTimeline, ATouchInThePassThatEndsTheFadeToBlackStillWakesTheScreen) {
    mSystem.task();
    runTo(20202); // the pass that ends the fade to black; the next one would close it
    expectScreen(ssOff, 0, true);
    mSystem.reset();
    runFor(300);
    expectScreen(ssActive, 50, true);
}

TEST_F(ScreenTimeline, ARestartFadesToBlackIgnoresTouchesAndThenRestartsOnce) {
    mSystem.task();
    runTo(12000);
    expectScreen(ssDimmed, 6, true);
    mSystem.systemRestart();
    runFor(250);
    mSystem.reset(); // would wake a dimmed screen
    runFor(1);
    expectScreen(ssDimmed, 2, true); // 251 ms into the 500 ms fade from 6
    runFor(249);
    EXPECT_EQ(lcd_platform_record().backlight, 0);
    EXPECT_EQ(mTrace.count("SYSTEM restarting"), 0u);
    runFor(60000); // nor does the screen go off by itself: the restart owns it
    EXPECT_EQ(mSystem.getScreenState(), ssDimmed);
    EXPECT_EQ(mTrace.count("SYSTEM restarting"), 1u);
}

TEST_F(ScreenTimeline, IntensitiesAreLimitedToAHundredAndFadeOnlyForTheCurrentState) {
    mSystem.task();
    runTo(300);
    mSystem.setIntensity(ssDimmed, 20);
    runFor(300);
    EXPECT_EQ(Configuration.screen_intensity[ssDimmed], 20);
    EXPECT_EQ(lcd_platform_record().backlight, 50);
    mSystem.setIntensity(ssActive, 150);
    runFor(100);
    mSystem.setIntensity(ssActive, 80); // while the fade to 100 runs
    runFor(200);
    EXPECT_EQ(Configuration.screen_intensity[ssActive], 80);
    EXPECT_EQ(lcd_platform_record().backlight, 80);
}

time_t utc(int year, int month, int day, int hour, int minute, int second) {
    return timestamp_make_simple(year, month, day, hour, minute, second);
}

TEST(SummerTime, RunsFromTwoOClockOfTheLastSundayOfMarchToThatOfOctober) {
    const struct {
        time_t t;
        bool summer;
    } cases[] = {
        {utc(2018, 3, 25, 1, 59, 59), false},
        {utc(2018, 3, 25, 2, 0, 0), true},
        {utc(2018, 10, 28, 1, 59, 59), true},
        {utc(2018, 10, 28, 2, 0, 0), false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SystemMgr::isSummerTime(c.t), c.summer) << c.t;
    }
    EXPECT_EQ(SystemMgr::getClosestSunday(2018, 2, 31), utc(2018, 3, 25, 0, 0, 0));

    os_time_set(static_cast<uint32_t>(utc(2018, 5, 1, 12, 0, 0)));
    EXPECT_EQ(SystemMgr::getSummerTimeStart(), utc(2019, 3, 31, 2, 0, 0));
    EXPECT_EQ(SystemMgr::getSummerTimeEnd(), utc(2018, 10, 28, 2, 0, 0));
    os_time_set(static_cast<uint32_t>(utc(2018, 11, 1, 12, 0, 0)));
    EXPECT_EQ(SystemMgr::getSummerTimeEnd(), utc(2019, 10, 27, 2, 0, 0));
}

class LocationMirror : public ::testing::Test {
protected:
    void SetUp() override {
        proxytab_init();
        Structure.clear();
        Structure.append(new ProxyObject(OID_LOCATION, ObjectInfo(bt_obj_info{1, 0, 0, 0}), nullptr));
        Structure.addValueChangeHandler(&mSystem);
    }
    void TearDown() override {
        Structure.removeValueChangeHandler(&mSystem);
        Structure.clear();
    }
    void receiveOffset(int32_t seconds, u32 length = 4) {
        pt_store(OID_LOCATION, SystemMgr::VID_LOCAL_TIME_OFFSET, BT_VTYPE_S32,
                 reinterpret_cast<const u8*>(&seconds), length, 0, PT_ORIGIN_NETWORK);
        Structure.task();
    }

    test::TraceCapture mTrace;
    SystemMgr mSystem;
};

TEST_F(LocationMirror, OffsetsAndDaylightSavingFollowTheLocationWhileTheyAreValid) {
    receiveOffset(7200);
    EXPECT_EQ(mSystem.getLocalTime().getLocalTimeOffset(), 7200);
    receiveOffset(0, PT_LENGTH_NO_VALUE);
    EXPECT_EQ(mSystem.getLocalTime().getLocalTimeOffset(), 0);
    receiveOffset(1000000); // not an offset of this planet
    EXPECT_EQ(mSystem.getLocalTime().getLocalTimeOffset(), 0);

    mSystem.setDaylightSavingsEnabled(true); // asks the control unit, and follows what comes back
    int written = 0;
    EXPECT_EQ(pt_get_int(&written, OID_LOCATION, SystemMgr::VID_DAYLIGHT_SAVING), PT_OK);
    EXPECT_EQ(written, 1);
    EXPECT_FALSE(mSystem.isDaylightSavingsEnabled());
    Structure.task();
    EXPECT_TRUE(mSystem.isDaylightSavingsEnabled());
}

} // namespace
} // namespace tdx
