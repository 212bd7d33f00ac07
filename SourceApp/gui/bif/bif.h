// Bitmap fonts: anti-aliased glyphs stored as alpha masks, drawn in the current colour.
//
// Font blob (little-endian):
//   0 u8 ascent (rows from the top of the line cell to the baseline)   1 u8 x-height   2 u8 descent
//   3 u8 line step   4 u16 range count R   6 u16 glyph count G   8 u16 replacement glyph   10 u16 0
//   12 R x {u16 first code, u16 count, u16 first glyph}, sorted by code, not overlapping
//   .. G x u32 offset of the glyph record from the blob's start
// Glyph record: u8 advance ("width"), u8 w, u8 h, s8 x bearing, s8 y top (rows below the cell top), w*h
// alpha.
#pragma once

#include "SourceApp/gui/geometry/box.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tdx {

// A checked view of a font blob; only bif_parse makes one, so every table it points into is in bounds.
struct bif_t {
    const uint8_t* data = nullptr;
    size_t size = 0;
    // The size values: ascent and x-height come first (callers centre text with them), then descent and step.
    uint8_t ascent = 0;
    uint8_t x_height = 0;
    uint8_t descent = 0;
    uint8_t line_step = 0;
    uint16_t range_count = 0;
    uint16_t glyph_count = 0;
    uint16_t replacement = 0;
};

constexpr size_t BIF_HEADER = 12;
constexpr size_t BIF_RANGE = 6;
constexpr size_t BIF_GLYPH_HEADER = 5;

// Checks a blob and fills `font`; 0 on success, -1 (with a trace line naming `what`) when the blob is
// malformed.
int bif_parse(const uint8_t* data, size_t size, bif_t* font, const char* what = "font");

// The glyph record of a character, null when the font lacks it.
const uint8_t* bif_get_glyph_ptr(const bif_t* font, uint32_t code);

// Pixel width of a UTF-8 text: the sum of the advances. Characters the font lacks and malformed bytes count
// as the replacement glyph, exactly as they are drawn; a carriage return takes no room and a tab that of a
// blank.
int bif_text_width(const bif_t* font, std::string_view text);

// Draws one line with the top of its cell at y (baseline at y + ascent), starting at x. Null font: nothing.
void bif_print_text(const bif_t* font, int x, int y, std::string_view text);
// The text cut to `width` pixels: the whole characters that fit beside an ellipsis, then the ellipsis (the
// font's U+2026, "..." in a font without it); the text itself when it fits.
std::string bif_fit_text(const bif_t* font, std::string_view text, int width);
// Draws one line from x, cut to `width` pixels with an ellipsis where it does not fit.
void bif_print_text_fitted(const bif_t* font, int x, int y, std::string_view text, int width);
// The same, centred on x.
void bif_print_text_centered(const bif_t* font, int x, int y, std::string_view text);
// Turned 90 degrees counter-clockwise (read bottom to top): the text starts at row y and runs upwards; the
// cell's top lies along column x.
void bif_print_text_rotated(const bif_t* font, int x, int y, std::string_view text);
// Word-wrapped into the box: words break at blanks, "\n" starts a new line, a word wider than the box is
// broken between characters; lines are line-step apart and end at the box's bottom; drawing is clipped to the
// box.
void bif_print_multiline(const bif_t* font, const Box& box, std::string_view text);

// The one place that breaks lines, so that what is measured is what is drawn: lays out the line that starts
// at text[pos] in `width` pixels and returns where the next line starts, std::string_view::npos when this was
// the last one. The line is text[pos, *lineEnd) (lineEnd may be null). It takes characters while they fit,
// and always its first one, and ends at a line feed (which belongs to no line), at the end of the text, or
// where a character does not fit: at that character when it is a blank, else at the last blank before it,
// else inside the word no line can hold. The blanks at such a break start no line: they are dropped. Widths
// are those bif_text_width measures; a font without a blob gives every character no width.
size_t bif_wrap_line(const bif_t* font, std::string_view text, size_t pos, int width, size_t* lineEnd);
// The lines bif_print_multiline lays out for a text `width` pixels wide; 0 for an empty text or a null font.
int bif_count_lines(const bif_t* font, std::string_view text, int width);
// The rows `lines` lines take whole: line steps down to the last line, which needs its descent below the
// baseline (more than a line step in the fonts with tall accents). 0 for no lines or a null font.
int bif_lines_height(const bif_t* font, int lines);
// How many lines of a text hold whole in `height` rows (bif_lines_height), counted from the first.
int bif_lines_fitting(const bif_t* font, int height);

// C strings from catalogues and tables; a null text is an empty one.
inline std::string_view bif_view(const char* text) {
    return text ? std::string_view(text) : std::string_view();
}
inline int bif_text_width(const bif_t* font, const char* text) {
    return bif_text_width(font, bif_view(text));
}
inline void bif_print_text(const bif_t* font, int x, int y, const char* text) {
    bif_print_text(font, x, y, bif_view(text));
}
inline void bif_print_text_centered(const bif_t* font, int x, int y, const char* text) {
    bif_print_text_centered(font, x, y, bif_view(text));
}
inline void bif_print_text_rotated(const bif_t* font, int x, int y, const char* text) {
    bif_print_text_rotated(font, x, y, bif_view(text));
}
inline void bif_print_multiline(const bif_t* font, const Box& box, const char* text) {
    bif_print_multiline(font, box, bif_view(text));
}

// A global font: bound to its resource once the resources are loaded.
class Font {
public:
    explicit Font(const char* name)
        : mName(name) {}
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    // Null until a font blob was bound.
    const bif_t* getFont() const { return mFont.data ? &mFont : nullptr; }
    const char* getName() const { return mName; }
    // Binds a blob (checked); -1 leaves the font unbound.
    int bind(const uint8_t* data, size_t size);
    void unbind() { mFont = bif_t{}; }

private:
    const char* mName;
    bif_t mFont;
};

extern Font bif_myriad10;
extern Font bif_myriad10_bold;
extern Font bif_myriad12;
extern Font bif_myriad12_bold;
extern Font bif_myriad14;
extern Font bif_myriad14_bold;

} // namespace tdx
