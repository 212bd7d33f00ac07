#include "SourceHost/api_lib/devices.h"

#include "Libraries/base/dbg.h"

namespace tdx {

namespace {
LcdRecord sLcd = {LcdCall::none, false, 0};
} // namespace

void buzzer_platform_init() {}
void buzzer_platform_play(uint16_t, uint8_t) {}
void buzzer_platform_stop() {}

void lcd_turn_on() {
    sLcd.last = LcdCall::turn_on;
    if (!sLcd.on) {
        dbg_printf_h("LCD on");
    }
    sLcd.on = true;
}

void lcd_turn_off() {
    sLcd.last = LcdCall::turn_off;
    if (sLcd.on) {
        dbg_printf_h("LCD off");
    }
    sLcd.on = false;
}

void lcd_set_backlight(uint8_t percent) {
    sLcd.last = LcdCall::set_backlight;
    if (percent != sLcd.backlight) {
        dbg_printf_h("LCD backlight %u%%", percent);
    }
    sLcd.backlight = percent;
}

LcdRecord lcd_platform_record() {
    return sLcd;
}

void diagnostics_platform_memory_usage(uint32_t figures[4]) {
    if (figures != nullptr) {
        for (int i = 0; i < 4; ++i) {
            figures[i] = 0;
        }
    }
}

} // namespace tdx
