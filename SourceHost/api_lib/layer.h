// Framebuffer layers. The embedded graphics draws into a layer's `back` buffer; a flip copies a rectangle of
// it to `front`, which the host's canvas composes into the window. Headless (no canvas hooks) nothing is
// shown.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tdx {

// Pixels are 32-bit words with the bytes blue, green, red and an ignored fourth byte, rows top first.
struct layer {
    int width;
    int height;
    uint8_t alpha; // constant opacity, 255 = opaque; alone in its 32-bit slot
    int x;
    int y;
    uint32_t* back;
    uint32_t* front;
};
static_assert(offsetof(layer, alpha) == 8 && offsetof(layer, x) == 12 && offsetof(layer, y) == 16);

enum : int {
    LAYER_MAIN = 0,      // 320 x 240, opaque, at 0, 0: the screen
    LAYER_TELEMETRY = 1, // 70 x 24, alpha 130, at 250, 250: never given to the canvas
    LAYER_COUNT = 2,
};
inline constexpr int SCREEN_WIDTH = 320;
inline constexpr int SCREEN_HEIGHT = 240;

// Points the layers at their buffers and hands the main layer to the canvas (index 0).
void layer_init();
// The layer with the given index, nullptr outside 0 .. LAYER_COUNT - 1.
layer* layer_get(int index);

// Installed by the host before the application thread starts: `add` registers a layer with the canvas,
// `repaint` composes the canvas after a flip and is told the rectangle that changed. Null hooks: headless.
using layer_add_hook = void (*)(unsigned index, layer* source);
using layer_repaint_hook = void (*)(const layer* source, int x, int y, int width, int height);
void layer_set_canvas_hooks(layer_add_hook add, layer_repaint_hook repaint);

// Copies the rectangle (clipped to the layer) from back to front, then calls the repaint hook once with the
// clipped rectangle. Nothing happens for an empty rectangle, a layer without buffers, or a rectangle whose
// pixels are already in front.
void layer_flip(layer* target, int x, int y, int width, int height);

} // namespace tdx
