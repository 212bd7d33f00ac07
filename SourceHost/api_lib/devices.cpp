#include "SourceHost/api_lib/devices.h"

#include "Libraries/base/dbg.h"

#include <atomic>
#include <utility>

namespace tdx {

namespace {

// Application thread only, like the tone output of the device.
constinit buzzer_platform_call sBuzzer;
// The global buzzer sets up and silences its output at static initialisation and at exit, before and after
// the trace is routed where the user asked: the trace tells only of tones that start and end.
constinit bool sSounding = false;
constinit uint32_t sMemoryCalls = 0;
LcdRecord sLcd = {LcdCall::none, false, 0};
// Written on the application thread, read by the window's.
std::atomic<int> sGlass{LCD_GLASS_AS_DRAWN};
std::function<void()> sGlassListener;

void showGlass() {
    const int glass = sLcd.on ? sLcd.backlight : 0;
    if (sGlass.exchange(glass) != glass && sGlassListener) {
        sGlassListener();
    }
}

void recordBuzzer(buzzer_platform_call::Kind kind) {
    sBuzzer.kind = kind;
    ++sBuzzer.count;
}

} // namespace

void buzzer_platform_init() {
    recordBuzzer(buzzer_platform_call::Init);
}

void buzzer_platform_play(uint16_t frequency, uint8_t volume) {
    recordBuzzer(buzzer_platform_call::Play);
    sBuzzer.frequency = frequency;
    sBuzzer.volume = volume;
    sSounding = true;
    dbg_printf_h("BUZZER play %u Hz, %u %%", frequency, volume);
}

void buzzer_platform_stop() {
    recordBuzzer(buzzer_platform_call::Stop);
    if (std::exchange(sSounding, false)) {
        dbg_printf_h("BUZZER stop");
    }
}

buzzer_platform_call buzzer_platform_last() {
    return sBuzzer;
}

void lcd_turn_on() {
    sLcd.last = LcdCall::turn_on;
    if (!sLcd.on) {
        dbg_printf_h("LCD on");
    }
    sLcd.on = true;
    showGlass();
}

void lcd_turn_off() {
    sLcd.last = LcdCall::turn_off;
    if (sLcd.on) {
        dbg_printf_h("LCD off");
    }
    sLcd.on = false;
    showGlass();
}

void lcd_set_backlight(uint8_t percent) {
    // Not traced: a fade sets it at every step, and its user traces the fade instead.
    sLcd.last = LcdCall::set_backlight;
    sLcd.backlight = percent;
    showGlass();
}

LcdRecord lcd_platform_record() {
    return sLcd;
}

int lcd_platform_glass() {
    return sGlass.load();
}

void lcd_platform_set_glass_listener(std::function<void()> listener) {
    sGlassListener = std::move(listener);
}

void diagnostics_platform_memory_usage(uint32_t figures[4]) {
    ++sMemoryCalls;
    dbg_printf_h("DIAG memory usage: no figures on the desktop");
    if (figures != nullptr) {
        for (int i = 0; i < 4; ++i) {
            figures[i] = 0;
        }
    }
}

uint32_t diagnostics_platform_memory_calls() {
    return sMemoryCalls;
}

} // namespace tdx
