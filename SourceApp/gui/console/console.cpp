#include "SourceApp/gui/console/console.h"

#include "SourceApp/gui/gfx/gfx.h"

#include <algorithm>

namespace tdx {

namespace {

#include "SourceApp/gui/console/console_font.inc"

static_assert(CONSOLE_GLYPH_WIDTH == CONSOLE_CELL_WIDTH && CONSOLE_GLYPH_HEIGHT == CONSOLE_CELL_HEIGHT);

constexpr unsigned PALETTE[16] = {
    0x000000, 0x0000AA, 0x00AA00, 0x0055AA, 0xAA0000, 0xAA00AA, 0xAAAA00, 0xAAAAAA,
    0x555555, 0x5555FF, 0x55FF55, 0x55FFFF, 0xFF5555, 0xFF55FF, 0xFFFF55, 0xFFFFFF,
};

void new_line(console_t* c) {
    c->column = 0;
    if (++c->row < c->rows)
        return;
    // Scroll: every row moves up one, the last row is blanked in the current colours.
    c->row = c->rows - 1;
    std::move(c->cells.begin() + c->columns, c->cells.end(), c->cells.begin());
    std::fill(c->cells.end() - c->columns, c->cells.end(), console_cell{' ', c->text, c->back});
}

} // namespace

unsigned console_colour(unsigned index) {
    return PALETTE[index & 0x0F];
}

void console_init(console_t* console, const Box& box) {
    if (console == nullptr)
        return;
    console->box = box;
    console->columns = box.isEmpty() ? 0 : box.getWidth() / CONSOLE_CELL_WIDTH;
    console->rows = box.isEmpty() ? 0 : box.getHeight() / CONSOLE_CELL_HEIGHT;
    if (console->columns == 0 || console->rows == 0)
        console->columns = console->rows = 0;
    console_clear(console);
}

void console_clear(console_t* console) {
    if (console == nullptr)
        return;
    console->text = CONSOLE_NORMAL_TEXT;
    console->back = CONSOLE_NORMAL_BACK;
    console->pending = 0;
    console->column = console->row = 0;
    console->cells.assign(static_cast<size_t>(console->columns) * console->rows, console_cell{});
}

void console_put_char(console_t* console, char ch) {
    if (console == nullptr || console->cells.empty())
        return;
    const uint8_t b = static_cast<uint8_t>(ch);
    if (console->pending != 0) {
        (console->pending == CONSOLE_TEXT_COLOUR ? console->text : console->back) = b & 0x0F;
        console->pending = 0;
        return;
    }
    switch (b) {
        case CONSOLE_TEXT_COLOUR:
        case CONSOLE_BACK_COLOUR:
            console->pending = b;
            return;
        case '\n':
            new_line(console);
            return;
        case '\r':
            console->column = 0;
            return;
        case '\t':
            console->column = std::min(console->columns, (console->column / 8 + 1) * 8);
            return;
        case '\b':
            console->column = std::max(0, console->column - 1);
            return;
        default:
            break;
    }
    if (b < 0x20 || b == 0x7F)
        return;
    if (console->column >= console->columns)
        new_line(console);
    console->cells[static_cast<size_t>(console->row) * console->columns + console->column] =
        console_cell{b > 0x7E ? '?' : static_cast<char>(b), console->text, console->back};
    ++console->column;
}

void console_print(console_t* console, std::string_view text) {
    for (char c : text)
        console_put_char(console, c);
}

void console_draw(const console_t* console) {
    if (console == nullptr)
        return;
    const unsigned saved = gfx_getcolor();
    for (int r = 0; r < console->rows; ++r)
        for (int col = 0; col < console->columns; ++col) {
            const console_cell& cell = console->cells[static_cast<size_t>(r) * console->columns + col];
            const int x = console->box.x1 + col * CONSOLE_CELL_WIDTH,
                      y = console->box.y1 + r * CONSOLE_CELL_HEIGHT;
            gfx_setcolor(console_colour(cell.back));
            gfx_fill_rect(x, y, x + CONSOLE_CELL_WIDTH - 1, y + CONSOLE_CELL_HEIGHT - 1);
            const auto code = static_cast<unsigned char>(cell.code);
            if (code > CONSOLE_FIRST && code <= CONSOLE_LAST) {
                gfx_setcolor(console_colour(cell.text));
                gfx_blend_mask(x, y, CONSOLE_CELL_WIDTH, CONSOLE_CELL_HEIGHT,
                               CONSOLE_GLYPHS[code - CONSOLE_FIRST], CONSOLE_CELL_WIDTH);
            }
        }
    gfx_setcolor(saved);
}

} // namespace tdx
