#include "SourceApp/gui/gfx/gfx.h"

#include "Libraries/base/bytes.h"
#include "Libraries/base/dbg.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tdx {

gfx_s gfx;

namespace {

constexpr int64_t clamp64(int64_t v, int64_t lo, int64_t hi) {
    return v < lo ? lo : (v > hi ? hi : v);
}

// The part of the surface that drawing may touch now.
Box drawable() {
    const gfx_surface& s = gfx.surface;
    if (s.back == nullptr || s.width <= 0 || s.height <= 0)
        return Box();
    return gfx.clip.intersect(Box(0, 0, s.width, s.height));
}

// Corners given in 64 bits (lines far off screen must not overflow) clipped to what may be drawn.
Box clipped(int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
    if (x2 < x1 || y2 < y1)
        return Box();
    const Box area = drawable();
    if (area.isEmpty())
        return area;
    return Box::fromCorners(static_cast<int>(clamp64(x1, area.x1, area.x2 + 1)),
                            static_cast<int>(clamp64(y1, area.y1, area.y2 + 1)),
                            static_cast<int>(clamp64(x2, area.x1 - 1, area.x2)),
                            static_cast<int>(clamp64(y2, area.y1 - 1, area.y2)));
}

inline uint32_t* row(int y) {
    return gfx.surface.back + static_cast<ptrdiff_t>(y) * gfx.surface.stride;
}

// c = (s*a + d*(255-a) + 127) / 255 per channel, exactly. Red and blue are mixed together in two 16-bit lanes
// of one word; x / 255 rounded as above is (x + 127 + ((x + 127) >> 8) + 1) >> 8 for every x a channel can
// reach.
inline uint32_t blend(uint32_t src, uint32_t dst, unsigned alpha) {
    const uint32_t inv = 255 - alpha;
    uint32_t rb = (src & 0xFF00FFu) * alpha + (dst & 0xFF00FFu) * inv + 0x7F007Fu;
    rb = ((rb + ((rb >> 8) & 0xFF00FFu) + 0x10001u) >> 8) & 0xFF00FFu;
    uint32_t g = ((src >> 8) & 0xFFu) * alpha + ((dst >> 8) & 0xFFu) * inv + 0x7Fu;
    g = (g + (g >> 8) + 1) >> 8;
    return rb | (g << 8);
}

inline void blend_into(uint32_t& dst, uint32_t src, unsigned alpha) {
    if (alpha == 255)
        dst = src;
    else if (alpha != 0)
        dst = blend(src, dst, alpha);
}

inline uint32_t pixel_of_rgb565(unsigned v) {
    const unsigned r5 = (v >> 11) & 0x1F, g6 = (v >> 5) & 0x3F, b5 = v & 0x1F;
    const unsigned r = (r5 << 3) | (r5 >> 2), g = (g6 << 2) | (g6 >> 4), b = (b5 << 3) | (b5 >> 2);
    return (r << 16) | (g << 8) | b;
}

void fill_clipped(const Box& b) {
    if (b.isEmpty())
        return;
    const size_t n = static_cast<size_t>(b.getWidth());
    for (int y = b.y1; y <= b.y2; ++y)
        std::fill_n(row(y) + b.x1, n, gfx.pixel);
}

// Rounds a * c / b to the nearest integer, halves upwards; b > 0. Products of far-off coordinates need 128
// bits.
inline int64_t mul_div_round(int64_t a, int64_t c, int64_t b) {
    const __int128 n = static_cast<__int128>(a) * c * 2 + b, d = static_cast<__int128>(b) * 2;
    return static_cast<int64_t>(n >= 0 ? n / d : -((-n + d - 1) / d));
}

} // namespace

void gfx_init() {
    if (gfx.surface.back == nullptr)
        gfx_set_layer(LAYER_MAIN);
    gfx.pixel = 0;
    gfx.colour = 0;
    gfx.clip = Box(0, 0, gfx.surface.width, gfx.surface.height);
}

int gfx_set_layer(int index) {
    layer* l = layer_get(index);
    if (l == nullptr || l->back == nullptr || l->width <= 0 || l->height <= 0) {
        dbg_printf_h("gfx: layer %d has no buffers", index);
        return -1;
    }
    gfx_set_surface({l->back, l->front, l->width, l->height, l->width});
    gfx.target = l;
    return 0;
}

void gfx_set_surface(const gfx_surface& surface) {
    gfx.target = nullptr;
    gfx.surface = surface;
    if (gfx.surface.stride < gfx.surface.width)
        gfx.surface.stride = gfx.surface.width;
    gfx.clip = Box(0, 0, gfx.surface.width, gfx.surface.height);
}

void gfx_set_flip_hook(gfx_flip_hook hook) {
    gfx.flip_hook = hook;
}

void gfx_setcolor(unsigned int colour) {
    gfx.colour = colour & 0xFFFFFFu;
    gfx.pixel = gfx_pixel_of(gfx.colour);
}

unsigned int gfx_getcolor() {
    return gfx.colour;
}

void gfx_set_clip(const Box& clip) {
    gfx.clip = clip;
}
Box gfx_get_clip() {
    return gfx.clip;
}

void gfx_fill_rect(int x1, int y1, int x2, int y2) {
    fill_clipped(clipped(x1, y1, x2, y2));
}
void gfx_fill_rect(const Box& box) {
    fill_clipped(clipped(box.x1, box.y1, box.x2, box.y2));
}

void gfx_rectangle(const Box& box) {
    if (box.isEmpty())
        return;
    const int64_t x1 = box.x1, y1 = box.y1, x2 = box.x2, y2 = box.y2;
    fill_clipped(clipped(x1, y1, x2, y1));
    if (y2 > y1)
        fill_clipped(clipped(x1, y2, x2, y2));
    if (y2 - y1 >= 2) {
        fill_clipped(clipped(x1, y1 + 1, x1, y2 - 1));
        if (x2 > x1)
            fill_clipped(clipped(x2, y1 + 1, x2, y2 - 1));
    }
}

void gfx_horiz_line(int x, int y, int length) {
    if (length > 0)
        fill_clipped(clipped(x, y, int64_t{x} + length - 1, y));
}

void gfx_vert_line(int x, int y, int length) {
    if (length > 0)
        fill_clipped(clipped(x, y, x, int64_t{y} + length - 1));
}

void gfx_put_pixel(int x, int y) {
    if (drawable().contains(x, y))
        row(y)[x] = gfx.pixel;
}

// The pixels of the ideal line nearest to it along the major axis, computed per step from the end points, so
// that only the part inside the clip box is walked however far away the end points are.
void gfx_line(int x1, int y1, int x2, int y2) {
    const Box area = drawable();
    if (area.isEmpty())
        return;
    const int64_t dx = int64_t{x2} - x1, dy = int64_t{y2} - y1;
    if (dx == 0 && dy == 0) {
        gfx_put_pixel(x1, y1);
        return;
    }
    const bool steep = (dy < 0 ? -dy : dy) > (dx < 0 ? -dx : dx);
    // Walk the major axis from its lower end.
    int64_t a1 = steep ? y1 : x1, b1 = steep ? x1 : y1, a2 = steep ? y2 : x2, b2 = steep ? x2 : y2;
    if (a1 > a2) {
        std::swap(a1, a2);
        std::swap(b1, b2);
    }
    const int64_t da = a2 - a1, db = b2 - b1;
    const int64_t lo = steep ? area.y1 : area.x1, hi = steep ? area.y2 : area.x2;
    const int64_t start = std::max(a1, lo), end = std::min(a2, hi);
    for (int64_t a = start; a <= end; ++a) {
        const int64_t b = b1 + mul_div_round(a - a1, db, da);
        const int64_t x = steep ? b : a, y = steep ? a : b;
        if (x >= area.x1 && x <= area.x2 && y >= area.y1 && y <= area.y2)
            row(static_cast<int>(y))[x] = gfx.pixel;
    }
}

void gfx_fill_circ(int x, int y, int radius) {
    if (radius < 0)
        return;
    const Box area = drawable();
    const int64_t r = radius;
    const int64_t top = std::max<int64_t>(int64_t{y} - r, area.y1);
    const int64_t bottom = std::min<int64_t>(int64_t{y} + r, area.y2);
    // A row dy from the centre spans the dx with dx*dx + dy*dy <= r*r + r: round ends, symmetric on both
    // axes.
    const int64_t limit = r * r + r;
    for (int64_t py = top; py <= bottom; ++py) {
        const int64_t d = py - y, rest = limit - d * d;
        int64_t half = static_cast<int64_t>(std::sqrt(static_cast<double>(rest)));
        while (half * half > rest)
            --half;
        while ((half + 1) * (half + 1) <= rest)
            ++half;
        fill_clipped(clipped(x - half, py, x + half, py));
    }
}

void gfx_blend_rect(const Box& box, unsigned int colour, unsigned int alpha) {
    const Box b = clipped(box.x1, box.y1, box.x2, box.y2);
    if (b.isEmpty() || alpha == 0)
        return;
    const uint32_t src = gfx_pixel_of(colour & 0xFFFFFFu);
    const unsigned a = std::min(alpha, 255u);
    for (int y = b.y1; y <= b.y2; ++y) {
        uint32_t* p = row(y);
        for (int x = b.x1; x <= b.x2; ++x)
            blend_into(p[x], src, a);
    }
}

void gfx_blend_mask(int x, int y, int width, int height, const uint8_t* alpha, int stride) {
    if (alpha == nullptr || width <= 0 || height <= 0)
        return;
    const Box b = clipped(x, y, int64_t{x} + width - 1, int64_t{y} + height - 1);
    for (int py = b.y1; py <= b.y2; ++py) {
        const uint8_t* m = alpha + static_cast<ptrdiff_t>(py - y) * stride + (b.x1 - x);
        uint32_t* p = row(py);
        for (int px = b.x1; px <= b.x2; ++px)
            blend_into(p[px], gfx.pixel, *m++);
    }
}

void gfx_blend_mask_rotated(int x, int y, int width, int height, const uint8_t* alpha, int stride) {
    if (alpha == nullptr || width <= 0 || height <= 0)
        return;
    // Screen box: columns x .. x+height-1 (mask rows), rows y-width+1 .. y (mask columns, reversed).
    const Box b = clipped(x, int64_t{y} - width + 1, int64_t{x} + height - 1, y);
    for (int py = b.y1; py <= b.y2; ++py) {
        const int c = y - py;
        uint32_t* p = row(py);
        for (int px = b.x1; px <= b.x2; ++px)
            blend_into(p[px], gfx.pixel, alpha[static_cast<ptrdiff_t>(px - x) * stride + c]);
    }
}

int gfx_image_width(const unsigned char* image) {
    return image ? image[1] : 0;
}
int gfx_image_height(const unsigned char* image) {
    return image ? image[2] : 0;
}

size_t gfx_image_size(const unsigned char* image) {
    if (image == nullptr)
        return 0;
    const size_t n = size_t{image[1]} * image[2];
    switch (image[0]) {
        case GFX_IMAGE_ALPHA:
            return GFX_IMAGE_HEADER + n;
        case GFX_IMAGE_RGB565:
            return GFX_IMAGE_HEADER + 2 * n;
        case GFX_IMAGE_RGB565_ALPHA:
            return GFX_IMAGE_HEADER + 3 * n;
        default:
            return 0;
    }
}

void gfx_put_image(int x, int y, const unsigned char* image) {
    if (image == nullptr)
        return;
    const int w = image[1], h = image[2];
    const unsigned char* pixels = image + GFX_IMAGE_HEADER;
    switch (image[0]) {
        case GFX_IMAGE_ALPHA:
            gfx_blend_mask(x, y, w, h, pixels, w);
            return;
        case GFX_IMAGE_RGB565:
        case GFX_IMAGE_RGB565_ALPHA: {
            const bool masked = image[0] == GFX_IMAGE_RGB565_ALPHA;
            const unsigned char* alpha = pixels + 2 * static_cast<size_t>(w) * h;
            const Box b = clipped(x, y, int64_t{x} + w - 1, int64_t{y} + h - 1);
            for (int py = b.y1; py <= b.y2; ++py) {
                uint32_t* p = row(py);
                for (int px = b.x1; px <= b.x2; ++px) {
                    const size_t i = static_cast<size_t>(py - y) * w + (px - x);
                    const uint32_t src = pixel_of_rgb565(get_le16(pixels + 2 * i));
                    if (masked)
                        blend_into(p[px], src, alpha[i]);
                    else
                        p[px] = src;
                }
            }
            return;
        }
        default:
            return;
    }
}

void gfx_flip(int x1, int y1, int x2, int y2) {
    const gfx_surface& s = gfx.surface;
    if (s.back == nullptr || x2 < x1 || y2 < y1)
        return;
    const Box b = Box(0, 0, s.width, s.height).intersect(Box::fromCorners(x1, y1, x2, y2));
    if (b.isEmpty())
        return;
    if (gfx.target != nullptr) {
        layer_flip(gfx.target, b.x1, b.y1, b.getWidth(), b.getHeight());
        return;
    }
    if (s.front != nullptr) {
        const size_t bytes = static_cast<size_t>(b.getWidth()) * sizeof(uint32_t);
        for (int y = b.y1; y <= b.y2; ++y) {
            const ptrdiff_t offset = static_cast<ptrdiff_t>(y) * s.stride + b.x1;
            std::memcpy(s.front + offset, s.back + offset, bytes);
        }
    }
    if (gfx.flip_hook != nullptr)
        gfx.flip_hook(s, b.x1, b.y1, b.getWidth(), b.getHeight());
}

} // namespace tdx
