// The resource generator: turns resources/manifest.txt and free font sources into the resources file.
#pragma once

#include "tools/mkresources/raster.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tdx::mkres {

// One line of the manifest: "<id> <name> <kind> <arguments...>".
struct ManifestLine {
    int line = 0;
    unsigned id = 0;
    std::string name;
    std::string kind; // font, icon, drawn, translation
    std::vector<std::string> args;
};

// "U+XXXX" as a code point, and a decimal number within [lo, hi]; a fault throws std::runtime_error naming
// `where`.
uint32_t parse_code(const std::string& text, const std::string& where);
int parse_int(const std::string& text, int lo, int hi, const std::string& where);

// Parses the manifest and checks it against the compiled-in names: every id once, in order, with its name.
// Throws std::runtime_error naming the line on any fault.
std::vector<ManifestLine> read_manifest(const std::string& path);

// A font file opened with FreeType.
class Face {
public:
    explicit Face(const std::string& path);
    ~Face();
    Face(const Face&) = delete;
    Face& operator=(const Face&) = delete;

    struct Glyph {
        Mask mask;
        int left = 0;    // pixels from the pen to the mask's left edge
        int top = 0;     // pixels from the baseline up to the mask's top edge
        int advance = 0; // pen advance in whole pixels
    };
    void setPixelSize(int em);
    bool has(uint32_t code) const;
    Glyph render(uint32_t code) const;
    // Unhinted outline metrics at the current size, in pixels.
    double ascender() const;
    double descender() const; // positive below the baseline
    double xHeight() const;
    const std::string& path() const { return mPath; }

private:
    std::string mPath;
    struct Impl;
    std::unique_ptr<Impl> mImpl;
    int mEm = 0;
};

// The code points every text font carries: printable ASCII, Latin-1, Latin Extended-A and the punctuation
// and currency signs of the languages shipped.
std::vector<uint32_t> text_code_points();

// A font blob (the bif_ layout) of the face at em pixels.
std::vector<uint8_t> make_font(Face& face, int em);
// A glyph of the icon font at px pixels, cropped to its ink or kept in its whole em square.
Mask make_icon(Face& icons, uint32_t code, int px, bool square = false);
// The pictures no glyph can show.
Mask make_drawn(const std::string& what, const std::vector<std::string>& args, Face& icons,
                const std::string& fonts_dir);
// The console's fixed-cell glyphs as C++ source.
std::string make_console_font(Face& mono);

} // namespace tdx::mkres
