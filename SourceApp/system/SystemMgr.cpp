#include "SourceApp/system/SystemMgr.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/os.h"
#include "Libraries/base/timestamp.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/system/config.h"
#include "SourceHost/api_lib/devices.h"

#include <algorithm>

namespace tdx {

namespace {

// Fade length by target state: off, dimmed, active.
constexpr uint32_t TRANSITION_MS[3] = {200, 1500, 200};
constexpr uint32_t RESTART_FADE_MS = 500;
constexpr uint32_t INTENSITY_FADE_MS = 200;
constexpr uint8_t MAX_INTENSITY = 100;
// An offset beyond a day is no offset of this planet.
constexpr int32_t MAX_OFFSET_S = 86400;
constexpr time_t DAY_S = 86400;

// Clock comparisons as signed differences, so that they hold across a wrap of the count.
int64_t since(uint64_t now, uint64_t then) {
    return static_cast<int64_t>(now - then);
}

uint8_t intensityOf(screen_state_t state) {
    return std::min(Configuration.screen_intensity[state], MAX_INTENSITY);
}

int weekdayOf(time_t t) {
    struct tm fields {};
    timestamp_broke(&fields, t);
    return fields.tm_wday;
}

// 00:00 of the last Sunday of the month (1-12) that has 31 days.
time_t lastSundayOf(int year, int month) {
    const time_t last = timestamp_make_simple(year, month, 31, 0, 0, 0);
    return last - weekdayOf(last) * DAY_S;
}

// 02:00 of the last Sunday of the month (March or October) of this year, or of the next once that month is
// over.
time_t nextSwitch(int month) {
    struct tm now {};
    timestamp_broke(&now, static_cast<time_t>(os_time()));
    const int year = now.tm_year + 1900 + (now.tm_mon + 1 > month ? 1 : 0);
    return lastSundayOf(year, month) + 2 * 3600;
}

} // namespace

SystemMgr::SystemMgr()
    : mTransitionStart(timer()) {}

void SystemMgr::task() {
    const uint64_t now = timer();
    // The restart's fade to black owns the backlight until the restart.
    if (!mRestartPending) {
        chooseState(now);
    }
    stepTransition();
}

void SystemMgr::reset() {
    if (mRestartPending) {
        return;
    }
    const uint64_t now = timer();
    mLastActivity = now;
    if (mState != ssActive) {
        wake(now);
    }
}

void SystemMgr::setScreenState(screen_state_t state) {
    if (state > ssActive) {
        dbg_printf_h("SYSTEM screen state %u unknown: ignored", static_cast<unsigned>(state));
        return;
    }
    if (state != mState && !mRestartPending) {
        changeState(state, timer());
    }
}

void SystemMgr::setIntensity(screen_state_t state, uint8_t percent) {
    OS_ASSERT(state == ssDimmed || state == ssActive);
    const uint8_t value = std::min(percent, MAX_INTENSITY);
    const uint8_t old = Configuration.screen_intensity[state];
    Configuration.screen_intensity[state] = value;
    // Also while a fade runs: it turns toward the new value instead of ending at the old one.
    if (state == mState && value != old && !mRestartPending) {
        startTransition(value, INTENSITY_FADE_MS, timer());
    }
}

uint32_t SystemMgr::getDelay(screen_state_t state) const {
    OS_ASSERT_MSG(state == ssDimmed || state == ssActive, "Invalid screen state for getDelay() call");
    return Configuration.screen_delay[state];
}

void SystemMgr::setDelay(screen_state_t state, uint32_t seconds) {
    if (state != ssDimmed && state != ssActive) {
        return;
    }
    Configuration.screen_delay[state] = seconds;
    reset();
}

void SystemMgr::setAwakeOverride(bool on) {
    mAwakeOverride = on;
    reset();
}

void SystemMgr::systemRestart() {
    dbg_printf_h("SYSTEM restart after the fade");
    mRestartPending = true;
    startTransition(0, RESTART_FADE_MS, timer());
}

Date SystemMgr::getLocalTime() const {
    const int offset = mLocalTimeOffset == NO_OFFSET ? 0 : mLocalTimeOffset;
    return Date(static_cast<time_t>(os_time()), offset);
}

void SystemMgr::setDaylightSavingsEnabled(bool on) {
    const uint8_t value = on ? 1 : 0;
    if (value != mDaylightSaving && Structure.find(OID_LOCATION) != nullptr) {
        pt_set_int(OID_LOCATION, VID_DAYLIGHT_SAVING, value, BT_VTYPE_U8);
    }
}

bool SystemMgr::isSummerTime(time_t t) {
    struct tm fields {};
    timestamp_broke(&fields, t);
    const int year = fields.tm_year + 1900;
    const time_t start = lastSundayOf(year, 3) + 2 * 3600;
    const time_t end = lastSundayOf(year, 10) + 2 * 3600;
    return start <= t && t < end;
}

time_t SystemMgr::getSummerTimeStart() {
    return nextSwitch(3);
}

time_t SystemMgr::getSummerTimeEnd() {
    return nextSwitch(10);
}

time_t SystemMgr::getClosestSunday(uint16_t year, uint8_t month, uint8_t day) {
    const time_t date = timestamp_make_simple(year, month + 1, day, 0, 0, 0);
    return date - weekdayOf(date) * DAY_S;
}

void SystemMgr::handleProxyValueChange(ProxyObject& object, const OviEx& change) {
    if (object.oid() != OID_LOCATION) {
        return;
    }
    if (change.vid != VID_LOCAL_TIME_OFFSET && change.vid != VID_TIMEZONE_OFFSET &&
        change.vid != VID_DAYLIGHT_SAVING) {
        return;
    }
    int value = 0;
    const int result = pt_get_int(&value, OID_LOCATION, change.vid);
    if (result != PT_OK && result != PT_ERR_NO_VALUE) {
        return;
    }
    if (change.vid == VID_DAYLIGHT_SAVING) {
        mDaylightSaving = static_cast<uint8_t>(value);
        return;
    }
    if (value != NO_OFFSET && (value > MAX_OFFSET_S || value < -MAX_OFFSET_S)) {
        dbg_printf_h("SYSTEM location offset %04x of %d s rejected: read as none", change.vid, value);
        value = NO_OFFSET;
    }
    (change.vid == VID_LOCAL_TIME_OFFSET ? mLocalTimeOffset : mTimezoneOffset) = value;
}

void SystemMgr::changeState(screen_state_t state, uint64_t now) {
    mPrevState = mState;
    mState = state;
    startTransition(intensityOf(state), TRANSITION_MS[state], now);
    mLastActivity = now;
}

void SystemMgr::wake(uint64_t now) {
    changeState(ssActive, now);
}

void SystemMgr::startTransition(uint8_t intensity, uint32_t durationMs, uint64_t now) {
    // A fade that has just finished has not been closed yet; a new one must still start, or a touch in that
    // one pass would leave the screen dark.
    if (mTransitionPhase == phIdle || mTransitionPhase == phFinished) {
        mTransitionPhase = phStartPending;
    }
    mTransitionDuration = durationMs;
    mTransitionStart = now;
    mIntensityFrom = mIntensity;
    mIntensityTo = intensity;
}

void SystemMgr::chooseState(uint64_t now) {
    if (mLastActivity == 0) {
        if (mState != ssActive) {
            wake(now);
        } else {
            mLastActivity = now;
        }
        return;
    }
    if (mAwakeOverride) {
        return;
    }
    // Each delay counts from the change into its state, so one pass leaves at most one state. A delay of 0 is
    // the user's "Never": the state it belongs to holds for ever (an active screen never dims nor turns off).
    // Walking every state's delay from the last touch instead would let a short dimmed delay switch an active
    // screen off whose own delay is 0, which is the opposite of the "Never" the user chose; and a dimmed
    // screen would get less than its delay whenever it dimmed late.
    screen_state_t candidate = mState;
    const int64_t idle = since(now, mLastActivity);
    const uint32_t delay = mState >= ssDimmed ? Configuration.screen_delay[mState] : 0;
    if (delay != 0 && idle > static_cast<int64_t>(delay) * 1000) {
        candidate = static_cast<screen_state_t>(mState - 1);
    }
    if (candidate != mState) {
        changeState(candidate, now);
    }
}

void SystemMgr::stepTransition() {
    switch (mTransitionPhase) {
        case phStartPending:
            mTransitionPhase = phRunning;
            if (mPrevState == ssOff) {
                lcd_turn_on();
            }
            // A fade is traced where it starts and where it ends, not at each of its steps.
            if (mIntensityTo != mIntensityFrom) {
                dbg_printf_h("SYSTEM backlight fades from %u%% to %u%% in %u ms", mIntensityFrom,
                             mIntensityTo, mTransitionDuration);
            }
            [[fallthrough]];
        case phRunning: {
            const int64_t elapsed = std::max<int64_t>(since(timer(), mTransitionStart), 0);
            if (elapsed >= static_cast<int64_t>(mTransitionDuration)) {
                if (mIntensityFrom != mIntensityTo) {
                    dbg_printf_h("SYSTEM backlight at %u%%", mIntensityTo);
                }
                mIntensity = mIntensityTo;
                mTransitionPhase = phFinished;
            } else {
                const double step = static_cast<double>(elapsed) * (mIntensityTo - mIntensityFrom) /
                                    static_cast<double>(mTransitionDuration);
                mIntensity = static_cast<uint8_t>(static_cast<int>(mIntensityFrom + step));
            }
            lcd_set_backlight(mIntensity);
            return;
        }
        case phFinished:
            mTransitionPhase = phIdle;
            if (mState == ssOff) {
                lcd_turn_off();
            }
            [[fallthrough]];
        default:
            // os_restart() does not return on the device; on the desktop it returns, and is not asked again.
            if (mRestartPending && !mRestartRequested) {
                mRestartRequested = true;
                dbg_printf_h("SYSTEM restarting");
                os_restart();
            }
            return;
    }
}

} // namespace tdx
