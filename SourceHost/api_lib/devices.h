// Devices the desktop has not got: tone output, display power and backlight, memory figures. The calls exist
// so that the embedded code runs unchanged; the display's calls are only recorded (and traced when they
// change something), so that what the screen would show can be followed.
#pragma once

#include <cstdint>

namespace tdx {

void buzzer_platform_init();
void buzzer_platform_play(uint16_t frequency, uint8_t volume);
void buzzer_platform_stop();

void lcd_turn_on();
void lcd_turn_off();
void lcd_set_backlight(uint8_t percent);

enum class LcdCall : uint8_t { none, turn_on, turn_off, set_backlight };
struct LcdRecord {
    LcdCall last;      // the latest call
    bool on;           // switched on and not off since
    uint8_t backlight; // the latest intensity, percent
};
LcdRecord lcd_platform_record();

// Stack used, heap used, stack size, heap size: all 0 on the desktop.
void diagnostics_platform_memory_usage(uint32_t figures[4]);

} // namespace tdx
