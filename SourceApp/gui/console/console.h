// The text console: a grid of character cells drawn with fixed 5 x 10 glyphs, used for diagnostics pages.
//
// Control bytes: 0x10 followed by an index selects the text colour, 0x11 followed by an index the background
// colour. The index is the low four bits of the byte after it, so both 7 and '7' select colour 7. Colours:
// 0 black, 1 red, 2 green, 3 brown, 4 blue, 5 magenta, 6 cyan, 7 light grey, 8..15 their bright forms.
// "\n" starts a new line, "\r" returns to the line's start, "\t" moves to the next multiple of 8 columns,
// "\b" moves one column back; other control bytes are ignored and bytes above 0x7E show as '?'. Text that
// runs past the last column continues on the next line; a new line below the last scrolls the console up.
#pragma once

#include "SourceApp/gui/geometry/box.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace tdx {

inline constexpr int CONSOLE_CELL_WIDTH = 5;
inline constexpr int CONSOLE_CELL_HEIGHT = 10;
inline constexpr uint8_t CONSOLE_TEXT_COLOUR = 0x10;
inline constexpr uint8_t CONSOLE_BACK_COLOUR = 0x11;
inline constexpr uint8_t CONSOLE_NORMAL_TEXT = 7;
inline constexpr uint8_t CONSOLE_NORMAL_BACK = 0;

struct console_cell {
    char code = ' ';
    uint8_t text = CONSOLE_NORMAL_TEXT;
    uint8_t back = CONSOLE_NORMAL_BACK;
};

struct console_t {
    Box box; // where the console draws; the grid is as many whole cells as fit
    int columns = 0;
    int rows = 0;
    std::vector<console_cell> cells;
    int column = 0;
    int row = 0;
    uint8_t text = CONSOLE_NORMAL_TEXT;
    uint8_t back = CONSOLE_NORMAL_BACK;
    uint8_t pending = 0; // a colour control byte waiting for its index
};

// The colour number (0x00BBGGRR) of a console colour index 0..15.
unsigned console_colour(unsigned index);

// Sets the console up for a box of the screen and clears it.
void console_init(console_t* console, const Box& box);
// Blank cells in the normal colours, cursor at the top left.
void console_clear(console_t* console);
void console_put_char(console_t* console, char c);
void console_print(console_t* console, std::string_view text);
// A null text prints nothing.
inline void console_print(console_t* console, const char* text) {
    console_print(console, text ? std::string_view(text) : std::string_view());
}
// Draws every cell into the box (the caller flips).
void console_draw(const console_t* console);

} // namespace tdx
