#include "SourceHost/api_lib/devices.h"

namespace tdx {

void buzzer_platform_init() {}
void buzzer_platform_play(uint16_t, uint8_t) {}
void buzzer_platform_stop() {}

void lcd_turn_on() {}
void lcd_turn_off() {}
void lcd_set_backlight(uint8_t) {}

void diagnostics_platform_memory_usage(uint32_t figures[4]) {
    if (figures != nullptr) {
        for (int i = 0; i < 4; ++i) {
            figures[i] = 0;
        }
    }
}

} // namespace tdx
