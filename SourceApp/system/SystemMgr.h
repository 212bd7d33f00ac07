// How bright the display is: the backlight dims after a while without touch, goes off after a further while,
// comes back on touch, and every change of brightness fades. Also the restart behind a fade to black, and the
// installation's local time: its offsets and daylight-saving setting mirrored from the location object.
#pragma once

#include "SourceApp/application/utils/Date.h"
#include "SourceApp/storage/ProxyStructure.h"

#include <cstdint>
#include <ctime>

namespace tdx {

// The display's power state; indexes the delays and intensities of the configuration record.
enum screen_state_t : uint8_t { ssOff = 0, ssDimmed = 1, ssActive = 2 };

class SystemMgr : public ProxyValueChangeHandler {
public:
    // Location values mirrored here.
    static constexpr vid_t VID_LOCAL_TIME_OFFSET = 0x002E;
    static constexpr vid_t VID_TIMEZONE_OFFSET = 0x8074;
    static constexpr vid_t VID_DAYLIGHT_SAVING = 0x8075;
    // What pt_get_int reads for a signed value without a valid value.
    static constexpr int32_t NO_OFFSET = 0x7FFFFFFF;

    SystemMgr();
    ~SystemMgr() override = default;
    SystemMgr(const SystemMgr&) = delete;
    SystemMgr& operator=(const SystemMgr&) = delete;

    // Once per main-loop pass: picks the screen state from the idle time and steps the fade.
    void task();
    // A touch: the idle time starts again and the screen wakes. Ignored once a restart is under way.
    void reset();

    screen_state_t getScreenState() const { return mState; }
    // Ignored while a restart is under way.
    void setScreenState(screen_state_t state);
    // Intensity (percent, at most 100) of ssDimmed or ssActive; fades to it when it is the current state's.
    // The caller stores the record (config_apply).
    void setIntensity(screen_state_t state, uint8_t percent);
    // Idle seconds before ssDimmed or ssActive is left; 0 = never.
    uint32_t getDelay(screen_state_t state) const;
    // Also wakes the screen, as a touch would. Not stored here.
    void setDelay(screen_state_t state, uint32_t seconds);
    // While set the screen never dims; either way the screen wakes.
    void setAwakeOverride(bool on);

    // Fades to black, then restarts the system.
    void systemRestart();

    // Now, in the installation's local time (UTC while the location gives no offset).
    Date getLocalTime() const;
    int32_t getLocalTimeOffset() const { return mLocalTimeOffset; }
    int32_t getTimezoneOffset() const { return mTimezoneOffset; }
    bool isDaylightSavingsEnabled() const { return mDaylightSaving >= 1 && mDaylightSaving <= 254; }
    // Asks the control unit; the mirror follows when the value comes back.
    void setDaylightSavingsEnabled(bool on);

    // Summer time runs from 02:00 of the last Sunday of March to 02:00 of the last Sunday of October, on the
    // time scale of the argument.
    static bool isSummerTime(time_t t);
    // The next start (end) of summer time after the current month, from os_time().
    static time_t getSummerTimeStart();
    static time_t getSummerTimeEnd();
    // 00:00 of the Sunday on or before the date; month from 0.
    static time_t getClosestSunday(uint16_t year, uint8_t month, uint8_t day);

protected:
    void handleProxyValueChange(ProxyObject& object, const OviEx& change) override;

private:
    enum Phase : uint8_t { phStartPending = 0, phRunning = 1, phFinished = 2, phIdle = 3 };

    void changeState(screen_state_t state, uint64_t now);
    void wake(uint64_t now);
    void startTransition(uint8_t intensity, uint32_t durationMs, uint64_t now);
    void chooseState(uint64_t now);
    void stepTransition();

    uint32_t mTransitionDuration = 0;
    uint64_t mTransitionStart;
    uint8_t mIntensityFrom = 0;
    uint8_t mIntensity = 0;
    uint8_t mIntensityTo = 50;
    uint8_t mTransitionPhase = phIdle;
    screen_state_t mPrevState = ssOff;
    screen_state_t mState = ssOff;
    uint8_t mDaylightSaving = 0;
    int32_t mLocalTimeOffset = 0;
    int32_t mTimezoneOffset = 0;
    uint64_t mLastActivity = 0; // 0: the next task wakes the screen
    bool mAwakeOverride = false;
    bool mRestartPending = false;
    bool mRestartRequested = false; // os_restart() was called (it returns on the desktop)
};

} // namespace tdx
