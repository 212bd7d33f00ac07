// Devices the desktop has not got: tone output, display power and backlight, memory figures. The calls exist
// so that the embedded code runs unchanged; they keep a record of the last call (traced: the display's power
// when it changes, the tone and memory calls each time; the backlight, set at every step of a fade, is traced
// by the fade), so that what the device would do can be followed.
// The display's light is the one device the desktop shows as well: a touch on a dark screen only wakes it,
// and a user who saw the full picture there would take that touch for a lost one. So the light the glass
// gives is kept for the window, which darkens the picture by it.
#pragma once

#include <cstdint>
#include <functional>

namespace tdx {

void buzzer_platform_init();
void buzzer_platform_play(uint16_t frequency, uint8_t volume);
void buzzer_platform_stop();

// The last tone call and how many there were.
struct buzzer_platform_call {
    enum Kind : uint8_t { None, Init, Play, Stop };
    Kind kind = None;
    uint16_t frequency = 0; // of the last play
    uint8_t volume = 0;     // of the last play
    uint32_t count = 0;
};
buzzer_platform_call buzzer_platform_last();

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

// The light of the glass: LCD_GLASS_AS_DRAWN until the application first switches the display or sets its
// backlight (the picture is shown as drawn), then the backlight's percent while the display is on and 0 while
// it is off. Any thread.
constexpr int LCD_GLASS_AS_DRAWN = -1;
int lcd_platform_glass();
// Called on the application thread whenever lcd_platform_glass() changes. Set while the application thread
// is not running.
void lcd_platform_set_glass_listener(std::function<void()> listener);

// Stack used, heap used, stack size, heap size: all 0 on the desktop.
void diagnostics_platform_memory_usage(uint32_t figures[4]);
// How often the memory figures were asked for.
uint32_t diagnostics_platform_memory_calls();

} // namespace tdx
