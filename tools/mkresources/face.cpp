#include "tools/mkresources/mkresources.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include FT_OUTLINE_H

#include <cmath>
#include <cstdlib>
#include <stdexcept>

namespace tdx::mkres {

namespace {

FT_Library library() {
    static FT_Library lib = [] {
        FT_Library l = nullptr;
        if (FT_Init_FreeType(&l) != 0)
            throw std::runtime_error("FreeType cannot start");
        return l;
    }();
    return lib;
}

} // namespace

struct Face::Impl {
    FT_Face face = nullptr;
};

Face::Face(const std::string& path)
    : mPath(path)
    , mImpl(std::make_unique<Impl>()) {
    if (FT_New_Face(library(), path.c_str(), 0, &mImpl->face) != 0)
        throw std::runtime_error(path + ": not a font FreeType can read");
}

Face::~Face() {
    FT_Done_Face(mImpl->face);
}

void Face::setPixelSize(int em) {
    if (FT_Set_Pixel_Sizes(mImpl->face, 0, static_cast<FT_UInt>(em)) != 0)
        throw std::runtime_error(mPath + ": cannot be scaled to " + std::to_string(em) + " px");
    mEm = em;
}

bool Face::has(uint32_t code) const {
    return FT_Get_Char_Index(mImpl->face, code) != 0;
}

Face::Glyph Face::render(uint32_t code) const {
    FT_Face f = mImpl->face;
    const FT_UInt index = FT_Get_Char_Index(f, code);
    if (index == 0)
        throw std::runtime_error(mPath + ": no glyph for U+" + std::to_string(code));
    // Light hinting keeps the outline's widths and snaps only vertically: crisp baselines and x-heights.
    if (FT_Load_Glyph(f, index, FT_LOAD_TARGET_LIGHT) != 0 ||
        FT_Render_Glyph(f->glyph, FT_RENDER_MODE_LIGHT) != 0)
        throw std::runtime_error(mPath + ": glyph U+" + std::to_string(code) + " cannot be rendered");
    const FT_Bitmap& bm = f->glyph->bitmap;
    if (bm.pixel_mode != FT_PIXEL_MODE_GRAY && bm.rows != 0)
        throw std::runtime_error(mPath + ": unexpected pixel mode");
    Glyph g;
    g.mask = Mask(static_cast<int>(bm.width), static_cast<int>(bm.rows));
    for (int y = 0; y < g.mask.height; ++y)
        for (int x = 0; x < g.mask.width; ++x)
            g.mask.at(x, y) = bm.buffer[y * bm.pitch + x];
    g.left = f->glyph->bitmap_left;
    g.top = f->glyph->bitmap_top;
    g.advance = static_cast<int>((f->glyph->advance.x + 32) >> 6);
    return g;
}

double Face::ascender() const {
    return mImpl->face->ascender * double(mEm) / mImpl->face->units_per_EM;
}
double Face::descender() const {
    return -mImpl->face->descender * double(mEm) / mImpl->face->units_per_EM;
}

double Face::xHeight() const {
    FT_Face f = mImpl->face;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
    if (os2 != nullptr && os2->version >= 2 && os2->sxHeight > 0)
        return os2->sxHeight * double(mEm) / f->units_per_EM;
    // Older tables carry no x-height: take the top of the outline of "x".
    const FT_UInt x = FT_Get_Char_Index(f, 'x');
    if (x == 0 || FT_Load_Glyph(f, x, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING) != 0)
        throw std::runtime_error(mPath + ": no x-height in the font");
    FT_BBox box;
    FT_Outline_Get_CBox(&f->glyph->outline, &box);
    return box.yMax * double(mEm) / f->units_per_EM;
}

} // namespace tdx::mkres
