// The drawing layer: a software rasteriser over 32-bit framebuffer pixels.
//
// Colour numbers handed to the API are 0x00BBGGRR (red in the low byte). Pixels in memory are 32-bit words
// whose bytes are blue, green, red and an unused fourth byte, i.e. the word 0x00RRGGBB on this little-endian
// platform.
//
// Drawing goes into the surface's back buffer; gfx_flip copies a rectangle to the front buffer and tells the
// platform through the flip hook. Every primitive is clipped to the clip box and to the surface, so
// coordinates anywhere in the int range are safe; empty, negative or inverted sizes draw nothing.
#pragma once

#include "SourceApp/gui/geometry/box.h"
#include "SourceHost/api_lib/layer.h"

#include <cstddef>
#include <cstdint>

namespace tdx {

// Where the graphics draws: the platform's framebuffer layer hands its buffers over with gfx_set_surface.
struct gfx_surface {
    uint32_t* back = nullptr;  // draw buffer
    uint32_t* front = nullptr; // display buffer; may be null when nothing is shown
    int width = 0;
    int height = 0;
    int stride = 0; // pixels from one row to the next
};

// The platform's flip hook: the rectangle (x, y, width, height) has just been copied to the front buffer.
using gfx_flip_hook = void (*)(const gfx_surface& surface, int x, int y, int width, int height);

struct gfx_s {
    gfx_surface surface;
    layer* target = nullptr; // the framebuffer layer behind the surface, if any
    Box clip;
    uint32_t pixel = 0;  // current colour as a pixel word
    uint32_t colour = 0; // current colour as given (0x00BBGGRR)
    gfx_flip_hook flip_hook = nullptr;
};

// The one drawing context of the application thread.
extern gfx_s gfx;

enum gfx_image_type : uint8_t {
    GFX_IMAGE_ALPHA = 1,       // w*h alpha bytes, drawn in the current colour
    GFX_IMAGE_RGB565 = 2,      // w*h u16 LE RGB565 pixels, opaque
    GFX_IMAGE_RGB565_ALPHA = 3 // w*h u16 LE RGB565 pixels, then w*h alpha bytes
};
constexpr size_t GFX_IMAGE_HEADER = 3; // type, width, height

// Start-up (after layer_init): colour black, clip = whole surface; draws on layer 0 unless a surface was set.
void gfx_init();
// Draws on a framebuffer layer; gfx_flip then goes through layer_flip, which shows it on the canvas.
// An index without a layer or without buffers leaves the graphics where it was (-1).
int gfx_set_layer(int index);
// Draws on plain buffers (off-screen pictures, tests); gfx_flip copies and calls the flip hook.
void gfx_set_surface(const gfx_surface& surface);
void gfx_set_flip_hook(gfx_flip_hook hook);

void gfx_setcolor(unsigned int colour);
unsigned int gfx_getcolor();

// The clip box (absolute pixels). gfx_init and gfx_set_surface reset it to the whole surface.
void gfx_set_clip(const Box& clip);
Box gfx_get_clip();

void gfx_fill_rect(int x1, int y1, int x2, int y2);
void gfx_fill_rect(const Box& box);
void gfx_rectangle(const Box& box);
void gfx_horiz_line(int x, int y, int length);
void gfx_vert_line(int x, int y, int length);
void gfx_line(int x1, int y1, int x2, int y2);
void gfx_fill_circ(int x, int y, int radius);
void gfx_put_pixel(int x, int y);

// Mixes colour (0x00BBGGRR) into the box at alpha 0 (nothing) .. 255 (opaque).
void gfx_blend_rect(const Box& box, unsigned int colour, unsigned int alpha);

// Blends an alpha mask (rows of `width` bytes, `stride` bytes apart) in the current colour with its top-left
// corner at (x, y). The rotated form turns the mask 90 degrees counter-clockwise: mask column c, row r lands
// on (x + r, y - c), so the mask's left edge lies along the row y and reads bottom to top.
void gfx_blend_mask(int x, int y, int width, int height, const uint8_t* alpha, int stride);
void gfx_blend_mask_rotated(int x, int y, int width, int height, const uint8_t* alpha, int stride);

// Images: byte 0 type, byte 1 width, byte 2 height, then the pixels. Unknown types and null draw nothing.
void gfx_put_image(int x, int y, const unsigned char* image);
int gfx_image_width(const unsigned char* image);
int gfx_image_height(const unsigned char* image);
// Bytes an image of that header needs, 0 for an unknown type; used to check images loaded from files.
size_t gfx_image_size(const unsigned char* image);

// Copies the rectangle between the inclusive corners from the back to the front buffer and tells the display
// once with the part that lies on the surface (nothing when none does): through layer_flip for a layer, else
// through the flip hook.
void gfx_flip(int x1, int y1, int x2, int y2);

// Pixel word <-> colour number.
constexpr uint32_t gfx_pixel_of(unsigned int colour) {
    return ((colour & 0xFFu) << 16) | (colour & 0xFF00u) | ((colour >> 16) & 0xFFu);
}
constexpr unsigned int gfx_colour_of(uint32_t pixel) {
    return gfx_pixel_of(pixel);
}

} // namespace tdx
