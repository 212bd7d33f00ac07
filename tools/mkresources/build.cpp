#include "Libraries/base/bytes.h"
#include "SourceApp/application/resources/resource_names.h"
#include "tools/mkresources/mkresources.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tdx::mkres {

uint32_t parse_code(const std::string& text, const std::string& where) {
    if (text.size() < 3 || text.compare(0, 2, "U+") != 0)
        throw std::runtime_error(where + ": glyph code \"" + text + "\" is not U+XXXX");
    char* end = nullptr;
    const unsigned long code = std::strtoul(text.c_str() + 2, &end, 16);
    if (*end != 0 || code > 0x10FFFF)
        throw std::runtime_error(where + ": glyph code \"" + text + "\" is not U+XXXX");
    return static_cast<uint32_t>(code);
}

int parse_int(const std::string& text, int lo, int hi, const std::string& where) {
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != 0 || v < lo || v > hi)
        throw std::runtime_error(where + ": \"" + text + "\" is not a number from " + std::to_string(lo) +
                                 " to " + std::to_string(hi));
    return static_cast<int>(v);
}

std::vector<ManifestLine> read_manifest(const std::string& path) {
    std::ifstream in(path);
    if (!in)
        throw std::runtime_error(path + ": cannot be read");
    std::vector<ManifestLine> lines;
    std::string text;
    for (int number = 1; std::getline(in, text); ++number) {
        const size_t hash = text.find('#');
        if (hash != std::string::npos)
            text.erase(hash);
        std::istringstream words(text);
        ManifestLine line;
        line.line = number;
        std::string id;
        if (!(words >> id))
            continue;
        const std::string where = path + ":" + std::to_string(number);
        line.id = static_cast<unsigned>(parse_int(id, 1, RESOURCE_COUNT, where));
        if (!(words >> line.name >> line.kind))
            throw std::runtime_error(where + ": expected \"<id> <name> <kind> <arguments>\"");
        for (std::string arg; words >> arg;)
            line.args.push_back(arg);
        if (line.id != lines.size() + 1)
            throw std::runtime_error(where + ": id " + id + " out of order, expected " +
                                     std::to_string(lines.size() + 1));
        if (line.name != resource_names[line.id - 1])
            throw std::runtime_error(where + ": resource " + id + " is \"" + resource_names[line.id - 1] +
                                     "\" in the program, not \"" + line.name + "\"");
        lines.push_back(line);
    }
    if (lines.size() != RESOURCE_COUNT)
        throw std::runtime_error(path + ": " + std::to_string(lines.size()) + " resources, the program has " +
                                 std::to_string(RESOURCE_COUNT));
    return lines;
}

std::vector<uint32_t> text_code_points() {
    std::vector<uint32_t> codes;
    for (uint32_t c = 0x20; c <= 0x7E; ++c)
        codes.push_back(c);
    for (uint32_t c = 0xA0; c <= 0x17F; ++c)
        codes.push_back(c);
    // What translators and users type beyond Latin-1: dashes, curly and low quotes, the ellipsis, the euro.
    for (uint32_t c :
         {0x2013u, 0x2014u, 0x2018u, 0x2019u, 0x201Au, 0x201Cu, 0x201Du, 0x201Eu, 0x2026u, 0x20ACu})
        codes.push_back(c);
    return codes;
}

namespace {

// Capitals whose mark sits above the letter, with the letter and the mark as drawn at small sizes, where
// the outline's own mark blurs into one grey row: rows top first, 'X' inked.
struct MarkedCapital {
    uint32_t code, letter;
    const char* mark;
};
constexpr const char* ACUTE = ".X/X.";
constexpr const char* CARON = "X.X/.X.";
constexpr const char* RING = ".X./X.X/.X.";
constexpr MarkedCapital MARKED_CAPITALS[] = {
    {0xC1, 'A', ACUTE},  {0xC5, 'A', RING},   {0xC9, 'E', ACUTE},  {0xCD, 'I', ACUTE},
    {0xD3, 'O', ACUTE},  {0xDA, 'U', ACUTE},  {0xDD, 'Y', ACUTE},  {0x10C, 'C', CARON},
    {0x10E, 'D', CARON}, {0x11A, 'E', CARON}, {0x147, 'N', CARON}, {0x158, 'R', CARON},
    {0x160, 'S', CARON}, {0x164, 'T', CARON}, {0x16E, 'U', RING},  {0x17D, 'Z', CARON},
};

Mask mark_mask(const char* rows) {
    const std::string text(rows);
    const int width = static_cast<int>(text.find('/'));
    const int height = static_cast<int>((text.size() + 1) / (width + 1));
    Mask m(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            m.at(x, y) = text[static_cast<size_t>(y * (width + 1) + x)] == 'X' ? 255 : 0;
    return m;
}

// Rows of a glyph's mask counted upwards from the baseline: row r of the mask lies at height top - r.
int max_alpha_at_height(const Face::Glyph& g, int height) {
    const int row = g.top - height;
    int most = 0;
    if (row >= 0 && row < g.mask.height)
        for (int x = 0; x < g.mask.width; ++x)
            most = std::max(most, int{g.mask.at(x, row)});
    return most;
}

constexpr int BLANK = 48;    // a row this faint reads as empty
constexpr int VISIBLE = 200; // a mark needs at least one pixel this strong

// Small sizes snap a capital's mark onto the letter as one faint row, so that Ě reads as E: such a glyph is
// set again from the letter and a mark drawn in whole pixels, one blank row above the letter.
Face::Glyph separate_mark(const Face& face, const MarkedCapital& m, Face::Glyph composed) {
    const Face::Glyph letter = face.render(m.letter);
    int mark_peak = 0;
    for (int h = letter.top + 2; h <= composed.top; ++h)
        mark_peak = std::max(mark_peak, max_alpha_at_height(composed, h));
    if (max_alpha_at_height(composed, letter.top + 1) < BLANK && mark_peak >= VISIBLE)
        return composed;
    const Mask mark = mark_mask(m.mark);
    const Mask ink = letter.mask.cropped();
    // Ink left edge of the letter, relative to the pen: its mask's left plus its blank columns.
    int ink_left = letter.mask.width;
    for (int y = 0; y < letter.mask.height; ++y)
        for (int x = 0; x < letter.mask.width; ++x)
            if (letter.mask.at(x, y) != 0)
                ink_left = std::min(ink_left, x);
    const int mark_left = letter.left + ink_left + (ink.width - mark.width + 1) / 2;
    const int left = std::min(letter.left, mark_left);
    const int right = std::max(letter.left + letter.mask.width, mark_left + mark.width);
    Face::Glyph out;
    out.top = letter.top + 1 + mark.height;
    out.left = left;
    out.advance = composed.advance;
    out.mask = Mask(right - left, 1 + mark.height + letter.mask.height);
    out.mask.stamp(mark, mark_left - left, 0);
    out.mask.stamp(letter.mask, letter.left - left, out.top - letter.top);
    return out;
}

} // namespace

std::vector<uint8_t> make_font(Face& face, int em) {
    face.setPixelSize(em);
    // One spare row above the tallest accent; x-height rounded down; line step 1.2 em.
    const int ascent = static_cast<int>(std::ceil(face.ascender())) + 1;
    const int x_height = static_cast<int>(std::floor(face.xHeight()));
    const int descent = static_cast<int>(std::ceil(face.descender()));
    const int line_step = static_cast<int>(std::ceil(1.2 * em - 1e-9));

    std::vector<uint32_t> codes;
    for (uint32_t c : text_code_points())
        if (face.has(c) || c == 0xA0 || c == 0xAD)
            codes.push_back(c);
    struct Range {
        uint32_t first, count, first_glyph;
    };
    std::vector<Range> ranges;
    for (size_t i = 0; i < codes.size(); ++i) {
        if (!ranges.empty() && ranges.back().first + ranges.back().count == codes[i])
            ++ranges.back().count;
        else
            ranges.push_back({codes[i], 1, static_cast<uint32_t>(i)});
    }
    const size_t tables = 12 + ranges.size() * 6 + codes.size() * 4;
    std::vector<uint8_t> out(tables, 0);
    out[0] = static_cast<uint8_t>(ascent);
    out[1] = static_cast<uint8_t>(x_height);
    out[2] = static_cast<uint8_t>(descent);
    out[3] = static_cast<uint8_t>(line_step);
    put_le16(&out[4], static_cast<unsigned>(ranges.size()));
    put_le16(&out[6], static_cast<unsigned>(codes.size()));
    unsigned replacement = 0;
    for (size_t i = 0; i < codes.size(); ++i)
        if (codes[i] == '?')
            replacement = static_cast<unsigned>(i);
    put_le16(&out[8], replacement);
    for (size_t i = 0; i < ranges.size(); ++i) {
        put_le16(&out[12 + 6 * i], ranges[i].first);
        put_le16(&out[14 + 6 * i], ranges[i].count);
        put_le16(&out[16 + 6 * i], ranges[i].first_glyph);
    }
    const size_t offsets = 12 + ranges.size() * 6;
    for (size_t i = 0; i < codes.size(); ++i) {
        // The no-break space and the soft hyphen draw as a blank and nothing, whatever the face says.
        Face::Glyph g = face.render(codes[i] == 0xA0 ? ' ' : codes[i]);
        if (codes[i] == 0xAD)
            g = Face::Glyph{};
        for (const MarkedCapital& m : MARKED_CAPITALS)
            if (m.code == codes[i] && face.has(m.letter))
                g = separate_mark(face, m, g);
        const int y_top = ascent - g.top;
        if (g.advance < 0 || g.advance > 255 || g.mask.width > 255 || g.mask.height > 255 || g.left < -128 ||
            g.left > 127 || y_top < -128 || y_top > 127)
            throw std::runtime_error(face.path() + ": glyph U+" + std::to_string(codes[i]) + " too large");
        put_le32(&out[offsets + 4 * i], static_cast<uint32_t>(out.size()));
        out.push_back(static_cast<uint8_t>(g.advance));
        out.push_back(static_cast<uint8_t>(g.mask.width));
        out.push_back(static_cast<uint8_t>(g.mask.height));
        out.push_back(static_cast<uint8_t>(static_cast<int8_t>(g.left)));
        out.push_back(static_cast<uint8_t>(static_cast<int8_t>(y_top)));
        out.insert(out.end(), g.mask.alpha.begin(), g.mask.alpha.end());
    }
    return out;
}

Mask make_icon(Face& icons, uint32_t code, int px, bool square) {
    icons.setPixelSize(px);
    const Face::Glyph g = icons.render(code);
    Mask m = g.mask.cropped();
    if (square && m.width != 0) {
        // The icon font's em square: baseline at the bottom, pen at the left.
        Mask full(px, px);
        full.stamp(g.mask, g.left, px - g.top);
        m = full;
    }
    if (m.width == 0)
        throw std::runtime_error(icons.path() + ": glyph U+" + std::to_string(code) + " is blank");
    return m;
}

namespace {

// Text set in one line, cropped to its ink.
Mask set_text(Face& face, int em, const std::string& text) {
    face.setPixelSize(em);
    const int ascent = static_cast<int>(std::ceil(face.ascender()));
    std::vector<Face::Glyph> glyphs;
    int width = 0;
    for (char c : text) {
        glyphs.push_back(face.render(static_cast<unsigned char>(c)));
        width += glyphs.back().advance;
    }
    Mask line(width + 2 * em, ascent + static_cast<int>(std::ceil(face.descender())) + 2);
    int pen = em;
    for (const Face::Glyph& g : glyphs) {
        line.stamp(g.mask, pen + g.left, ascent - g.top);
        pen += g.advance;
    }
    return line.cropped();
}

// The glyph with `cut` cleared from it and `bar` laid over it (masks of one size).
Mask struck(const Mask& glyph, const Mask& cut, const Mask& bar) {
    Mask out = glyph;
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            const int kept = out.at(x, y) * (255 - cut.at(x, y)) / 255;
            out.at(x, y) = static_cast<uint8_t>(std::max(kept, int{bar.at(x, y)}));
        }
    return out;
}

} // namespace

Mask make_drawn(const std::string& what, const std::vector<std::string>& args, Face& icons,
                const std::string& fonts_dir) {
    if (what == "wordmark") {
        // wordmark <font> <em> <text>
        if (args.size() != 3)
            throw std::runtime_error("wordmark needs a font, a size and a text");
        Face face(fonts_dir + "/" + args[0]);
        return set_text(face, parse_int(args[1], 6, 120, "wordmark"), args[2]);
    }
    if (what == "led") {
        // led <diameter>
        const int d = parse_int(args.empty() ? "" : args[0], 2, 64, "led");
        Canvas c(d, d);
        c.fillCircle(d / 2.0, d / 2.0, d / 2.0);
        return c.mask();
    }
    if (what == "unit_symbols") {
        // unit_symbols <px> <glyph codes...>: the mode symbols printed on the unit's front, side by side.
        if (args.size() < 2)
            throw std::runtime_error("unit_symbols needs a size and glyphs");
        const int px = parse_int(args[0], 6, 64, "unit_symbols");
        Mask row(static_cast<int>(args.size() - 1) * (px + 4), px);
        int x = 0;
        for (size_t i = 1; i < args.size(); ++i) {
            const Mask m = make_icon(icons, parse_code(args[i], "unit_symbols"), px);
            row.stamp(m, x + (px - m.width) / 2, (px - m.height) / 2);
            x += px + 4;
        }
        return row.cropped();
    }
    if (what == "crossed") {
        // crossed U+XXXX <px>: the glyph struck through at 45 degrees across its middle, cleared only on the
        // stroke's upper side: a cut each side, or a wide one, leaves a narrow glyph (a flame) in strips
        // that no longer read as what they were.
        if (args.size() != 2)
            throw std::runtime_error("crossed needs a glyph and a size");
        const int px = parse_int(args[1], 6, 128, "crossed");
        const Mask glyph = make_icon(icons, parse_code(args[0], "crossed"), px);
        const int w = glyph.width, h = glyph.height;
        const double stroke = std::max(1.5, px / 12.0), gap = std::max(1.0, px / 20.0);
        Canvas cut(w, h), bar(w, h);
        const double side = std::max(w, h), cx = w / 2.0, cy = h / 2.0;
        // The cut's centre line lies half a gap above and right of the stroke's.
        const double shift = gap / 2 / std::sqrt(2.0);
        for (double t = -side; t <= side; t += 0.25) {
            cut.fillCircle(cx + t + shift, cy + t - shift, stroke / 2 + gap / 2);
            bar.fillCircle(cx + t, cy + t, stroke / 2);
        }
        return struck(glyph, cut.mask(), bar.mask());
    }
    if (what == "tank") {
        // tank <px> [heated]: an upright water tank with round ends, filled below its middle; heated, heat
        // rises above the water.
        if (args.empty() || args.size() > 2 || (args.size() == 2 && args[1] != "heated"))
            throw std::runtime_error("tank needs a size and optionally \"heated\"");
        const int px = parse_int(args[0], 8, 128, "tank");
        const int w = std::max(6, px * 7 / 10), h = px;
        const double stroke = std::max(1.5, px / 12.0), r = w / 2.0 - 0.5;
        Canvas shell(w, h), body(w, h);
        shell.strokeRoundRect(0.5, 0.5, w - 0.5, h - 0.5, r, stroke);
        body.fillRoundRect(0.5, 0.5, w - 0.5, h - 0.5, r);
        const int level = h * 11 / 20;
        Canvas heat(w, h);
        if (args.size() == 2) {
            // Three wavy lines of rising heat above the water.
            for (int line = 0; line < 3; ++line) {
                const double x = w / 2.0 + (line - 1) * (w - 2 * stroke) / 3.6;
                for (double y = stroke + 1.5; y <= level - 2; y += 0.1)
                    heat.fillCircle(x + std::sin((y - stroke) * 1.1), y, 0.6);
            }
        }
        Mask water = body.mask();
        for (int y = 0; y < level; ++y)
            for (int x = 0; x < w; ++x)
                water.at(x, y) = 0;
        water.stamp(shell.mask(), 0, 0);
        water.stamp(heat.mask(), 0, 0);
        return water;
    }
    if (what == "unit") {
        // The control unit seen from the front: housing, symbol panel at (10, 15), the LED's bezel around
        // (110, 31) .. (115, 36), the terminal strip along the bottom.
        Canvas c(150, 90);
        c.strokeRoundRect(0, 0, 150, 90, 8, 2);
        c.strokeRoundRect(6, 9, 80, 41, 3, 1); // symbol panel
        c.fillCircle(113, 34, 6);              // LED bezel ...
        c.clearCircle(113, 34, 4.5);           // ... with the LED's window
        c.fillRect(92, 14, 136, 16);           // name plate line
        c.fillRect(92, 19, 128, 20);
        c.fillRect(6, 56, 144, 58); // terminal strip
        for (int i = 0; i < 14; ++i) {
            const double x = 9 + i * 9.6;
            c.strokeRoundRect(x, 62, x + 7, 80, 1.5, 1.2);
            c.fillCircle(x + 3.5, 67, 1.6); // screw
        }
        return c.mask();
    }
    throw std::runtime_error("unknown drawing \"" + what + "\"");
}

std::string make_console_font(Face& mono) {
    constexpr int W = 5, H = 10, EM = 8;
    mono.setPixelSize(EM);
    const int baseline = static_cast<int>(std::ceil(mono.ascender()));
    std::string out =
        "// Console glyphs, generated by tools/mkresources from DejaVu Sans Mono at 8 px: printable ASCII,\n"
        "// one 5 x 10 cell of alpha bytes each, rows top first.\n"
        "constexpr int CONSOLE_GLYPH_WIDTH = 5;\nconstexpr int CONSOLE_GLYPH_HEIGHT = 10;\n"
        "constexpr unsigned char CONSOLE_FIRST = 0x20;\nconstexpr unsigned char CONSOLE_LAST = 0x7E;\n"
        "constexpr unsigned char CONSOLE_GLYPHS[CONSOLE_LAST - CONSOLE_FIRST + 1][CONSOLE_GLYPH_WIDTH * "
        "CONSOLE_GLYPH_HEIGHT] = {\n";
    for (uint32_t c = 0x20; c <= 0x7E; ++c) {
        const Face::Glyph g = mono.render(c);
        Mask cell(W, H);
        cell.stamp(g.mask, g.left, baseline - g.top);
        out += "    {";
        for (size_t i = 0; i < cell.alpha.size(); ++i)
            out += std::to_string(cell.alpha[i]) + (i + 1 < cell.alpha.size() ? "," : "");
        out += "},\n";
    }
    out += "};\n";
    return out;
}

} // namespace tdx::mkres
