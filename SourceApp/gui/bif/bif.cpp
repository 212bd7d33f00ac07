#include "SourceApp/gui/bif/bif.h"
#include "Libraries/base/bytes.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/unicode.h"
#include "SourceApp/gui/gfx/gfx.h"

#include <algorithm>

namespace tdx {

Font bif_myriad10("myriad10");
Font bif_myriad10_bold("myriad10_bold");
Font bif_myriad12("myriad12");
Font bif_myriad12_bold("myriad12_bold");
Font bif_myriad14("myriad14");
Font bif_myriad14_bold("myriad14_bold");

namespace {

int reject(const char* what, const char* reason) {
    dbg_printf_h("bif: %s rejected: %s", what, reason);
    return -1;
}

inline const uint8_t* ranges(const bif_t* f) {
    return f->data + BIF_HEADER;
}
inline const uint8_t* offsets(const bif_t* f) {
    return f->data + BIF_HEADER + f->range_count * BIF_RANGE;
}
inline const uint8_t* glyph(const bif_t* f, unsigned index) {
    return f->data + get_le32(offsets(f) + 4 * index);
}

// The glyph a character draws with: a carriage return none (texts from other systems end their lines with
// CR LF), a tab that of a blank, a character the font lacks the replacement glyph.
const uint8_t* glyph_of(const bif_t* f, uint32_t code) {
    if (code == '\r')
        return nullptr;
    const uint8_t* g = bif_get_glyph_ptr(f, code == '\t' ? ' ' : code);
    return g ? g : glyph(f, f->replacement);
}

// Calls draw(glyph, pen) for every character; returns the pen advance.
template <typename Draw>
int walk(const bif_t* f, std::string_view text, Draw&& draw) {
    int pen = 0;
    for (size_t pos = 0; pos < text.size();) {
        const uint8_t* g = glyph_of(f, Unicode::next(text, pos));
        if (g != nullptr) {
            draw(g, pen);
            pen += g[0];
        }
    }
    return pen;
}

void draw_glyph(const uint8_t* g, int x, int y) {
    gfx_blend_mask(x + static_cast<int8_t>(g[3]), y + static_cast<int8_t>(g[4]), g[1], g[2],
                   g + BIF_GLYPH_HEADER, g[1]);
}

} // namespace

int bif_parse(const uint8_t* data, size_t size, bif_t* font, const char* what) {
    if (font == nullptr)
        return -1;
    *font = bif_t{};
    if (data == nullptr || size < BIF_HEADER)
        return reject(what, "shorter than its header");
    bif_t f;
    f.data = data;
    f.size = size;
    f.ascent = data[0];
    f.x_height = data[1];
    f.descent = data[2];
    f.line_step = data[3];
    f.range_count = get_le16(data + 4);
    f.glyph_count = get_le16(data + 6);
    f.replacement = get_le16(data + 8);
    if (f.glyph_count == 0 || f.replacement >= f.glyph_count)
        return reject(what, "no replacement glyph");
    const size_t tables = BIF_HEADER + size_t{f.range_count} * BIF_RANGE + size_t{f.glyph_count} * 4;
    if (tables > size)
        return reject(what, "tables out of bounds");
    uint32_t next_code = 0;
    for (unsigned i = 0; i < f.range_count; ++i) {
        const uint8_t* r = ranges(&f) + i * BIF_RANGE;
        const uint32_t first = get_le16(r), count = get_le16(r + 2), first_glyph = get_le16(r + 4);
        if (count == 0 || first < next_code || first + count > 0x10000)
            return reject(what, "ranges not sorted");
        if (first_glyph + count > f.glyph_count)
            return reject(what, "range points past the glyphs");
        next_code = first + count;
    }
    for (unsigned i = 0; i < f.glyph_count; ++i) {
        const uint32_t offset = get_le32(offsets(&f) + 4 * i);
        if (offset < tables || offset > size || size - offset < BIF_GLYPH_HEADER)
            return reject(what, "glyph out of bounds");
        const uint8_t* g = data + offset;
        if (size - offset - BIF_GLYPH_HEADER < size_t{g[1]} * g[2])
            return reject(what, "glyph pixels out of bounds");
    }
    *font = f;
    return 0;
}

int Font::bind(const uint8_t* data, size_t size) {
    return bif_parse(data, size, &mFont, mName);
}

const uint8_t* bif_get_glyph_ptr(const bif_t* font, uint32_t code) {
    if (font == nullptr || font->data == nullptr || code > 0xFFFF)
        return nullptr;
    unsigned lo = 0, hi = font->range_count;
    while (lo < hi) {
        const unsigned mid = (lo + hi) / 2;
        const uint8_t* r = ranges(font) + mid * BIF_RANGE;
        const uint32_t first = get_le16(r), count = get_le16(r + 2);
        if (code < first)
            hi = mid;
        else if (code >= first + count)
            lo = mid + 1;
        else
            return glyph(font, get_le16(r + 4) + (code - first));
    }
    return nullptr;
}

int bif_text_width(const bif_t* font, std::string_view text) {
    if (font == nullptr || font->data == nullptr)
        return 0;
    return walk(font, text, [](const uint8_t*, int) {});
}

namespace {

// A glyph reaches at most 255 + 128 pixels from its pen position: glyphs further from the clip box are
// skipped, which also keeps the arithmetic of far-off positions inside int.
constexpr int64_t GLYPH_REACH = 400;

bool near(int64_t v, int lo, int hi) {
    return v >= lo - GLYPH_REACH && v <= hi + GLYPH_REACH;
}

} // namespace

void bif_print_text(const bif_t* font, int x, int y, std::string_view text) {
    const Box clip = gfx_get_clip();
    if (font == nullptr || font->data == nullptr || !near(y, clip.y1, clip.y2))
        return;
    walk(font, text, [&](const uint8_t* g, int pen) {
        const int64_t gx = int64_t{x} + pen;
        if (near(gx, clip.x1, clip.x2))
            draw_glyph(g, static_cast<int>(gx), y);
    });
}

std::string bif_fit_text(const bif_t* font, std::string_view text, int width) {
    if (font == nullptr || font->data == nullptr || bif_text_width(font, text) <= width)
        return std::string(text);
    const std::string_view ellipsis = bif_get_glyph_ptr(font, 0x2026) ? "\xE2\x80\xA6" : "...";
    const int64_t room = int64_t{width} - bif_text_width(font, ellipsis);
    size_t end = 0;
    int64_t used = 0;
    for (size_t pos = 0; pos < text.size(); end = pos) {
        const uint8_t* g = glyph_of(font, Unicode::next(text, pos));
        used += g ? g[0] : 0;
        if (used > room)
            break;
    }
    // "Living room" cut after the blank reads "Living…", not "Living …".
    while (end > 0 && text[end - 1] == ' ')
        --end;
    return std::string(text.substr(0, end)) + std::string(ellipsis);
}

void bif_print_text_fitted(const bif_t* font, int x, int y, std::string_view text, int width) {
    bif_print_text(font, x, y, bif_fit_text(font, text, width));
}

void bif_print_text_centered(const bif_t* font, int x, int y, std::string_view text) {
    const int64_t left = int64_t{x} - bif_text_width(font, text) / 2;
    if (left >= INT32_MIN)
        bif_print_text(font, static_cast<int>(left), y, text);
}

void bif_print_text_rotated(const bif_t* font, int x, int y, std::string_view text) {
    const Box clip = gfx_get_clip();
    if (font == nullptr || font->data == nullptr || !near(x, clip.x1, clip.x2))
        return;
    walk(font, text, [&](const uint8_t* g, int pen) {
        const int64_t gy = int64_t{y} - pen;
        if (near(gy, clip.y1, clip.y2))
            gfx_blend_mask_rotated(x + static_cast<int8_t>(g[4]),
                                   static_cast<int>(gy) - static_cast<int8_t>(g[3]), g[1], g[2],
                                   g + BIF_GLYPH_HEADER, g[1]);
    });
}

size_t bif_wrap_line(const bif_t* font, std::string_view text, size_t pos, int width, size_t* lineEnd) {
    const size_t n = text.size();
    const bool sized = font != nullptr && font->data != nullptr;
    size_t end = n, next_line = std::string_view::npos, blank = std::string_view::npos;
    // Wider than int: a line as wide as the widest box must not overflow on its way there.
    int64_t line_width = 0;
    for (size_t i = pos; i < n;) {
        if (text[i] == '\n') {
            end = i;
            next_line = i + 1;
            break;
        }
        size_t next = i;
        const char32_t code = Unicode::next(text, next);
        const uint8_t* g = sized ? glyph_of(font, code) : nullptr;
        const int advance = g ? g[0] : 0;
        if (line_width + advance > width && i > pos) {
            end = next_line = text[i] == ' ' || blank == std::string_view::npos ? i : blank;
            while (next_line < n && text[next_line] == ' ')
                ++next_line;
            break;
        }
        if (text[i] == ' ')
            blank = i;
        line_width += advance;
        i = next;
    }
    if (lineEnd != nullptr)
        *lineEnd = std::max(pos, end);
    return next_line;
}

int bif_count_lines(const bif_t* font, std::string_view text, int width) {
    if (font == nullptr || text.empty())
        return 0;
    int lines = 0;
    for (size_t pos = 0; pos != std::string_view::npos; pos = bif_wrap_line(font, text, pos, width, nullptr))
        ++lines;
    return lines;
}

int bif_lines_height(const bif_t* font, int lines) {
    if (font == nullptr || lines <= 0)
        return 0;
    const int step = font->line_step;
    return (lines - 1) * step + std::max(step, font->ascent + font->descent);
}

int bif_lines_fitting(const bif_t* font, int height) {
    const int last = bif_lines_height(font, 1);
    if (last == 0 || height < last)
        return 0;
    return (height - last) / std::max<int>(font->line_step, 1) + 1;
}

void bif_print_multiline(const bif_t* font, const Box& box, std::string_view text) {
    if (font == nullptr || font->data == nullptr || box.isEmpty())
        return;
    const Box saved = gfx_get_clip();
    const Box clip = saved.intersect(box);
    if (clip.isEmpty())
        return;
    gfx_set_clip(clip);
    const int width = box.getWidth();
    const int step = std::max<int>(font->line_step, 1);
    // Every line but the last takes at least one byte, so the loop ends with the text; lines below the clip
    // are not laid out.
    size_t pos = 0;
    for (int64_t y = box.y1; y <= clip.y2 && pos != std::string_view::npos; y += step) {
        size_t line_end;
        const size_t next_line = bif_wrap_line(font, text, pos, width, &line_end);
        bif_print_text(font, box.x1, static_cast<int>(y), text.substr(pos, line_end - pos));
        pos = next_line;
    }
    gfx_set_clip(saved);
}

} // namespace tdx
