#include "SourceApp/gui/gfx/gfx.h"
#include "SourceApp/gui/support/screen.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <vector>

namespace tdx {
namespace {

using GfxTest = test::ScreenTest;

constexpr unsigned INK = 0x312CD8; // alarm red

unsigned mix(unsigned src, unsigned dst, unsigned alpha) {
    unsigned out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const unsigned s = (src >> shift) & 0xFF, d = (dst >> shift) & 0xFF;
        out |= ((s * alpha + d * (255 - alpha) + 127) / 255) << shift;
    }
    return out;
}

TEST_F(GfxTest, ColourNumbersLandInMemoryAsBlueGreenRed) {
    gfx_setcolor(0x312CD8);
    gfx_put_pixel(0, 0);
    uint8_t bytes[3];
    std::memcpy(bytes, gfx.surface.back, 3);
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 3), (std::vector<uint8_t>{0x31, 0x2C, 0xD8}));
    EXPECT_EQ(gfx_getcolor(), 0x312CD8u);
}

TEST_F(GfxTest, FillRectCoversBothCornersInclusively) {
    gfx_setcolor(INK);
    gfx_fill_rect(10, 20, 12, 21);
    EXPECT_EQ(inked(Box(0, 0, W, H)), 6);
    EXPECT_EQ(at(10, 20), INK);
    EXPECT_EQ(at(12, 21), INK);
    EXPECT_EQ(at(13, 21), BACKGROUND);
    EXPECT_EQ(at(12, 22), BACKGROUND);

    SetUp();
    gfx_setcolor(INK);
    gfx_fill_rect(Box(100, 100, 3, 4));
    EXPECT_EQ(ink_box(), Box(100, 100, 3, 4));
}

TEST_F(GfxTest, EveryPrimitiveClipsAtAllFourScreenEdges) {
    gfx_setcolor(INK);
    gfx_fill_rect(-5, -5, 2, 2);
    gfx_fill_rect(317, 237, 1000, 1000);
    gfx_fill_rect(-100, 120, 0, 120);
    gfx_fill_rect(319, 60, 5000, 60);
    EXPECT_EQ(inked(Box(0, 0, W, H)), 9 + 9 + 1 + 1);
    EXPECT_EQ(at(0, 0), INK);
    EXPECT_EQ(at(319, 239), INK);

    SetUp();
    gfx_setcolor(INK);
    gfx_horiz_line(-10, 5, 15);
    EXPECT_EQ(ink_box(), Box::fromCorners(0, 5, 4, 5));
    SetUp();
    gfx_setcolor(INK);
    gfx_vert_line(300, 230, 100);
    EXPECT_EQ(ink_box(), Box::fromCorners(300, 230, 300, 239));
    SetUp();
    gfx_setcolor(INK);
    gfx_fill_circ(0, 0, 3);
    EXPECT_EQ(ink_box(), Box::fromCorners(0, 0, 3, 3));
}

TEST_F(GfxTest, CoordinatesFarOutsideTheScreenAreSafe) {
    gfx_setcolor(INK);
    gfx_fill_rect(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    EXPECT_EQ(inked(Box(0, 0, W, H)), W * H);

    SetUp();
    gfx_setcolor(INK);
    gfx_horiz_line(INT_MAX, 10, INT_MAX);
    gfx_vert_line(10, INT_MAX - 1, 100);
    gfx_fill_rect(INT_MAX - 1, 0, INT_MAX, 10);
    gfx_fill_circ(INT_MAX, INT_MAX, INT_MAX);
    gfx_put_pixel(-1, 0);
    gfx_put_pixel(W, 0);
    gfx_fill_rect(Box(INT_MAX - 5, INT_MAX - 5, INT_MAX, INT_MAX));
    gfx_rectangle(Box(INT_MAX, 0, 100, 100));
    gfx_blend_rect(Box(0, INT_MAX, 100, INT_MAX), 0xFFFFFF, 128);
    EXPECT_EQ(inked(Box(0, 0, W, H)), 0);
    // A box whose far edge lies beyond the int range ends at its last pixel; what is on screen still shows.
    EXPECT_EQ(Box(INT_MAX - 5, 0, 100, 1).getRight(), INT_MAX);
    EXPECT_EQ(Box(-10, INT_MIN + 2, 20, -10).getBottom(), INT_MIN);
    gfx_fill_rect(Box(W - 2, H - 2, INT_MAX, INT_MAX));
    EXPECT_EQ(ink_box(), Box::fromCorners(W - 2, H - 2, W - 1, H - 1));
    SetUp();
    gfx_setcolor(INK);

    gfx_line(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    EXPECT_EQ(at(0, 0), INK);
    EXPECT_EQ(at(239, 239), INK);
    EXPECT_EQ(inked(Box(0, 0, W, H)), 240);
}

TEST_F(GfxTest, EmptyNegativeAndInvertedSizesDrawNothing) {
    gfx_setcolor(INK);
    gfx_fill_rect(20, 20, 19, 30);
    gfx_fill_rect(20, 20, 30, 19);
    gfx_fill_rect(Box(5, 5, 0, 10));
    gfx_fill_rect(Box(5, 5, -3, 10));
    gfx_rectangle(Box(5, 5, 0, 0));
    gfx_horiz_line(10, 10, 0);
    gfx_horiz_line(10, 10, -5);
    gfx_vert_line(10, 10, 0);
    gfx_vert_line(10, 10, -1);
    gfx_fill_circ(50, 50, -1);
    gfx_blend_rect(Box(0, 0, -1, 5), INK, 255);
    EXPECT_EQ(inked(Box(0, 0, W, H)), 0);
}

TEST_F(GfxTest, LinesFromAStartPointHaveExactlyTheirLength) {
    gfx_setcolor(INK);
    gfx_horiz_line(10, 10, 1);
    EXPECT_EQ(inked(Box(0, 0, W, H)), 1);
    gfx_horiz_line(10, 20, 40);
    EXPECT_EQ(inked(Box(0, 20, W, 1)), 40);
    EXPECT_EQ(at(49, 20), INK);
    EXPECT_EQ(at(50, 20), BACKGROUND);
    gfx_vert_line(200, 30, 25);
    EXPECT_EQ(inked(Box(200, 0, 1, H)), 25);
    EXPECT_EQ(at(200, 54), INK);
    EXPECT_EQ(at(200, 55), BACKGROUND);
}

TEST_F(GfxTest, RectangleDrawsOnlyTheOutline) {
    gfx_setcolor(INK);
    gfx_rectangle(Box(10, 10, 5, 4));
    EXPECT_EQ(inked(Box(0, 0, W, H)), 2 * 5 + 2 * 2);
    EXPECT_EQ(at(12, 11), BACKGROUND);
    EXPECT_EQ(at(14, 13), INK);

    SetUp();
    gfx_setcolor(INK);
    gfx_rectangle(Box(30, 30, 1, 1));
    gfx_rectangle(Box(40, 40, 3, 1));
    gfx_rectangle(Box(50, 50, 1, 3));
    EXPECT_EQ(inked(Box(0, 0, W, H)), 1 + 3 + 3);
}

TEST_F(GfxTest, ClipBoxLimitsEveryPrimitive) {
    gfx_set_clip(Box(10, 10, 5, 5));
    EXPECT_EQ(gfx_get_clip(), Box(10, 10, 5, 5));
    gfx_setcolor(INK);
    gfx_fill_rect(0, 0, 319, 239);
    EXPECT_EQ(inked(Box(0, 0, W, H)), 25);
    gfx_setcolor(0xFFFFFF);
    gfx_line(0, 0, 319, 239);
    gfx_fill_circ(12, 12, 50);
    gfx_blend_rect(Box(0, 0, W, H), 0, 255);
    EXPECT_EQ(ink_box(), Box(10, 10, 5, 5));

    gfx_init();
    EXPECT_EQ(gfx_get_clip(), Box(0, 0, W, H));
}

TEST_F(GfxTest, LinesOfAnySlopeJoinTheirEndPoints) {
    gfx_setcolor(INK);
    gfx_line(10, 10, 20, 15);
    EXPECT_EQ(at(10, 10), INK);
    EXPECT_EQ(at(20, 15), INK);
    EXPECT_EQ(inked(Box(0, 0, W, H)), 11); // one pixel per column of the longer axis

    SetUp();
    gfx_setcolor(INK);
    gfx_line(50, 80, 47, 60); // steep, drawn upwards
    EXPECT_EQ(inked(Box(0, 0, W, H)), 21);
    EXPECT_EQ(ink_box(), Box::fromCorners(47, 60, 50, 80));

    // The same segment drawn in both directions covers the same pixels.
    SetUp();
    gfx_setcolor(INK);
    gfx_line(3, 7, 90, 40);
    std::vector<uint32_t> forward = mBack;
    SetUp();
    gfx_setcolor(INK);
    gfx_line(90, 40, 3, 7);
    EXPECT_EQ(forward, mBack);
}

TEST_F(GfxTest, FilledCircleIsSymmetricOnBothAxesAndDiagonals) {
    gfx_setcolor(INK);
    const int cx = 100, cy = 100, r = 9;
    gfx_fill_circ(cx, cy, r);
    EXPECT_EQ(ink_box(), Box(cx - r, cy - r, 2 * r + 1, 2 * r + 1));
    for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx) {
            const unsigned p = at(cx + dx, cy + dy);
            ASSERT_EQ(p, at(cx - dx, cy + dy)) << dx << "," << dy;
            ASSERT_EQ(p, at(cx + dx, cy - dy)) << dx << "," << dy;
            ASSERT_EQ(p, at(cx + dy, cy + dx)) << dx << "," << dy;
        }
    EXPECT_EQ(at(cx + r, cy + r), BACKGROUND);

    SetUp();
    gfx_setcolor(INK);
    gfx_fill_circ(10, 10, 0);
    EXPECT_EQ(inked(Box(0, 0, W, H)), 1);
}

TEST_F(GfxTest, AlphaMaskImageBlendsInTheCurrentColour) {
    const unsigned char mask[] = {GFX_IMAGE_ALPHA, 3, 2, 0, 128, 255, 255, 128, 0};
    gfx_setcolor(INK);
    gfx_put_image(50, 60, mask);
    EXPECT_EQ(at(50, 60), BACKGROUND);
    EXPECT_EQ(at(51, 60), mix(INK, BACKGROUND, 128));
    EXPECT_EQ(at(52, 60), INK);
    EXPECT_EQ(at(50, 61), INK);
    EXPECT_EQ(at(52, 61), BACKGROUND);
    EXPECT_EQ(inked(Box(0, 0, W, H)), 4);
    EXPECT_EQ(gfx_image_width(mask), 3);
    EXPECT_EQ(gfx_image_height(mask), 2);
    EXPECT_EQ(gfx_image_size(mask), sizeof mask);

    // Partly off-screen: only the visible part, from the right place of the mask.
    SetUp();
    gfx_setcolor(INK);
    gfx_put_image(-2, -1, mask);
    EXPECT_EQ(at(0, 0), mix(INK, BACKGROUND, 0));
    EXPECT_EQ(inked(Box(0, 0, W, H)), 0);
    gfx_put_image(318, 239, mask);
    EXPECT_EQ(at(319, 239), mix(INK, BACKGROUND, 128));
}

TEST_F(GfxTest, Rgb565ImagesExpandToFullEightBitChannels) {
    // Pure red, pure green, pure blue, mid grey; little-endian words.
    const unsigned char opaque[] = {GFX_IMAGE_RGB565, 4, 1, 0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0x10, 0x84};
    gfx_put_image(0, 0, opaque);
    EXPECT_EQ(at(0, 0), 0x0000FFu);
    EXPECT_EQ(at(1, 0), 0x00FF00u);
    EXPECT_EQ(at(2, 0), 0xFF0000u);
    EXPECT_EQ(at(3, 0), 0x848284u); // 5 bits 16 -> 132, 6 bits 32 -> 130
    EXPECT_EQ(gfx_image_size(opaque), sizeof opaque);

    const unsigned char blended[] = {GFX_IMAGE_RGB565_ALPHA, 2, 1, 0xFF, 0xFF, 0xFF, 0xFF, 255, 100};
    gfx_put_image(10, 0, blended);
    EXPECT_EQ(at(10, 0), 0xFFFFFFu);
    EXPECT_EQ(at(11, 0), mix(0xFFFFFF, BACKGROUND, 100));
    EXPECT_EQ(gfx_image_size(blended), sizeof blended);
}

TEST_F(GfxTest, NullOrUnknownImagesDrawNothing) {
    const unsigned char unknown[] = {7, 2, 2, 255, 255, 255, 255};
    gfx_setcolor(INK);
    gfx_put_image(0, 0, nullptr);
    gfx_put_image(0, 0, unknown);
    EXPECT_EQ(inked(Box(0, 0, W, H)), 0);
    EXPECT_EQ(gfx_image_size(unknown), 0u);
    EXPECT_EQ(gfx_image_width(nullptr), 0);
    EXPECT_EQ(gfx_image_height(nullptr), 0);
}

TEST_F(GfxTest, BlendingIsExactForEveryLevelAndChannelValue) {
    // Every alpha against a spread of source and destination values on all three channels.
    for (unsigned alpha = 0; alpha <= 255; ++alpha)
        for (unsigned v = 0; v <= 255; v += 5) {
            const unsigned src = v | ((255 - v) << 8) | (((v * 7) & 0xFF) << 16);
            const unsigned dst = ((v * 3) & 0xFF) | (v << 8) | ((255 - v) << 16);
            gfx_setcolor(dst);
            gfx_put_pixel(0, 0);
            gfx_blend_rect(Box(0, 0, 1, 1), src, alpha);
            ASSERT_EQ(at(0, 0), mix(src, dst, alpha)) << alpha << " " << v;
        }
    gfx_blend_rect(Box(5, 5, 2, 1), 0xABCDEF, 1000); // levels above 255 are opaque
    EXPECT_EQ(at(6, 5), 0xABCDEFu);
    EXPECT_EQ(inked(Box(4, 4, 4, 3)), 2) << "exactly the box";
}

struct FlipRecord {
    int calls = 0;
    Box box;
};
FlipRecord flips;
void record_flip(const gfx_surface&, int x, int y, int w, int h) {
    ++flips.calls;
    flips.box = Box(x, y, w, h);
}

TEST_F(GfxTest, FlipCopiesOnlyTheClippedRectangleAndTellsTheHookOnce) {
    flips = {};
    gfx_set_flip_hook(record_flip);
    gfx_setcolor(INK);
    gfx_fill_rect(0, 0, 319, 239);

    gfx_flip(-10, -20, 5, 6);
    EXPECT_EQ(flips.calls, 1);
    EXPECT_EQ(flips.box, Box(0, 0, 6, 7));
    EXPECT_EQ(front(5, 6), INK);
    EXPECT_EQ(front(6, 6), 0u);
    EXPECT_EQ(front(5, 7), 0u);

    gfx_flip(310, 230, 400, 300);
    EXPECT_EQ(flips.calls, 2);
    EXPECT_EQ(flips.box, Box(310, 230, 10, 10));
    EXPECT_EQ(front(319, 239), INK);

    // Nothing on screen, inverted corners: no copy, no call.
    gfx_flip(320, 0, 400, 10);
    gfx_flip(50, 50, 40, 60);
    gfx_flip(INT_MIN, INT_MIN, -1, -1);
    EXPECT_EQ(flips.calls, 2);
    EXPECT_EQ(front(45, 55), 0u);
    gfx_set_flip_hook(nullptr);
}

int layer_repaints = 0;
void count_repaint(const layer*, int, int, int, int) {
    ++layer_repaints;
}

TEST(GfxLayerTest, DrawsOnTheMainLayerAndShowsItThroughTheLayerFlip) {
    layer_init();
    layer_set_canvas_hooks(nullptr, count_repaint);
    gfx_set_surface({});
    gfx_init(); // picks the main layer
    layer* main = layer_get(LAYER_MAIN);
    ASSERT_EQ(gfx.surface.back, main->back);
    gfx_setcolor(0x41DEFF);
    gfx_fill_rect(0, 0, 319, 239);
    main->front[0] = 0;
    layer_repaints = 0;
    gfx_flip(0, 0, 0, 0);
    EXPECT_EQ(layer_repaints, 1);
    EXPECT_EQ(gfx_colour_of(main->front[0]), 0x41DEFFu);
    EXPECT_EQ(gfx_colour_of(main->front[1]), 0u);
    // A layer's picture is a 24-bit bottom-up BMP of 230454 bytes, pixels blue, green, red.
    ASSERT_TRUE(test::write_bmp("main-layer.bmp", *main));
    std::FILE* f = std::fopen("main-layer.bmp", "rb");
    ASSERT_NE(f, nullptr);
    std::vector<uint8_t> bmp(300000);
    bmp.resize(std::fread(bmp.data(), 1, bmp.size(), f));
    std::fclose(f);
    std::remove("main-layer.bmp");
    ASSERT_EQ(bmp.size(), 230454u);
    const size_t top_left = 54 + 239 * 320 * 3;
    EXPECT_EQ(bmp[top_left], 0x41);
    EXPECT_EQ(bmp[top_left + 1], 0xDE);
    EXPECT_EQ(bmp[top_left + 2], 0xFF);
    layer_set_canvas_hooks(nullptr, nullptr);
    EXPECT_EQ(gfx_set_layer(LAYER_COUNT), -1);
    EXPECT_EQ(gfx.target, main);
    gfx_set_surface({});
}

} // namespace
} // namespace tdx
