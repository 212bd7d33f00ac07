// What every widget of this folder shares: the palette, text placement and the icons of the resources file.
#pragma once

#include "SourceApp/application/resources/resource_names.h"
#include "SourceApp/gui/bif/bif.h"
#include "SourceApp/gui/geometry/box.h"

#include <string_view>
#include <vector>

namespace tdx {

class Date;
class ResourceMgr;

// The palette (colour numbers 0x00BBGGRR).
namespace colour {
inline constexpr unsigned WHITE = 0xFFFFFF;
inline constexpr unsigned CONTROL = 0xCCCCCC; // button fill, borders
inline constexpr unsigned PRESSED = 0x808080; // pressed fill, inactive chart curves
inline constexpr unsigned TEXT = 0x000000;
inline constexpr unsigned DISABLED = 0x646464; // disabled text and icons
inline constexpr unsigned LIGHT = 0xE1E1E1;    // tracks, grids
inline constexpr unsigned TITLE = 0xCBA14F;    // title bars, progress
inline constexpr unsigned ACCENT = 0x312CD8;   // alarm red, failure
} // namespace colour

// The resources the widgets draw their icons from; start-up installs the application's manager.
void widgets_set_resources(const ResourceMgr* resources);
// The image of an icon resource, null (with a trace line) when there is none.
const unsigned char* widget_image(resource_id id);

// Where widgets read the local date and time (time zone and summer time applied); start-up installs the
// system's clock. Without one, or after nullptr, the wall clock in UTC.
using LocalTimeSource = Date (*)();
void widgets_set_local_time(LocalTimeSource source);
Date widget_local_time();

// The top of a text line centred in a box of height h starting at top: the x-height's middle on the box's
// middle.
int text_top_centered(const bif_t* font, int top, int height);

// The usual font (the regular 12-pixel one) when the text fits the width with two columns clear (a text whose
// last letters touch the box's edge reads as cut), else the smaller one (the 10-pixel one): long translations
// are shown whole rather than cut.
Font* fitting_font(std::string_view text, int width, Font& usual = bif_myriad12,
                   Font& smaller = bif_myriad10);

// Draws one line with its cell top at `top`, centred in the box; a text too wide for the box starts `inset`
// pixels inside its left edge instead and ends in an ellipsis `inset` pixels inside its right edge.
void print_text_centered_in(const bif_t* font, const Box& box, int top, std::string_view text, int inset = 4);

// The lines of a text broken at '\n' (one line for a text without it).
std::vector<std::string_view> lines_of(std::string_view text);
// The cell top of the first of a block of lines centred in a box as one line would be.
int lines_top_centered(const bif_t* font, int top, int height, size_t lines);

// Draws a text from x in a box's height, as links and check rows show their names: on one line when it fits
// `width`, else on two where the box is high enough for them, broken at a space; a line still too long ends
// in an ellipsis. A text with '\n' keeps its own lines.
void print_lines_fitted(const bif_t* font, int x, const Box& box, std::string_view text, int width);

// Draws an icon centred in the box, moved by (dx, dy), in the current colour.
void draw_icon_centered(resource_id id, const Box& box, int dx = 0, int dy = 0);

} // namespace tdx
