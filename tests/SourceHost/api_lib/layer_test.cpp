#include "SourceHost/api_lib/layer.h"

#include <gtest/gtest.h>

#include <vector>

namespace tdx {
namespace {

struct Flip {
    const layer* source;
    int x, y, width, height;
};
std::vector<layer*> sAdded;
std::vector<Flip> sFlips;

void recordAdd(unsigned index, layer* source) {
    EXPECT_EQ(index, 0u);
    sAdded.push_back(source);
}
void recordRepaint(const layer* source, int x, int y, int width, int height) {
    sFlips.push_back({source, x, y, width, height});
}

class Layers : public ::testing::Test {
protected:
    void SetUp() override {
        sAdded.clear();
        sFlips.clear();
        layer_set_canvas_hooks(recordAdd, recordRepaint);
        layer_init();
        for (int i = 0; i < LAYER_COUNT; ++i) {
            layer* l = layer_get(i);
            for (int p = 0; p < l->width * l->height; ++p) {
                l->back[p] = 0x00AA0000u + static_cast<uint32_t>(p);
                l->front[p] = 0;
            }
        }
    }
    void TearDown() override { layer_set_canvas_hooks(nullptr, nullptr); }

    // Every front pixel is either copied (inside the rectangle) or untouched (outside).
    static void expectFlipped(const layer& l, int left, int top, int right, int bottom) {
        int wrong = 0;
        for (int y = 0; y < l.height; ++y) {
            for (int x = 0; x < l.width; ++x) {
                const bool inside = x >= left && x < right && y >= top && y < bottom;
                const uint32_t expected = inside ? l.back[y * l.width + x] : 0u;
                if (l.front[y * l.width + x] != expected && ++wrong <= 5) {
                    ADD_FAILURE() << "pixel " << x << "," << y << (inside ? " not copied" : " copied");
                }
            }
        }
        EXPECT_EQ(wrong, 0);
    }
};

TEST_F(Layers, FlipCopiesExactlyTheRectangleClippedToTheLayerAndRepaintsItOnceIfAny) {
    constexpr int BIG = 2147483647;
    const struct {
        int layerIndex, x, y, width, height; // the rectangle asked for
        int left, top, right, bottom;        // what is copied and repainted
    } cases[] = {
        {LAYER_MAIN, 10, 20, 30, 5, 10, 20, 40, 25},
        {LAYER_MAIN, 300, -10, 50, 30, 300, 0, 320, 20},
        {LAYER_TELEMETRY, -5, 20, 100, 100, 0, 20, 70, 24},
        {LAYER_MAIN, 0, 0, BIG, BIG, 0, 0, 320, 240},
        // Empty, outside, or ending just before the screen: nothing copied, no repaint.
        {LAYER_MAIN, -BIG, -BIG, BIG, BIG, 0, 0, 0, 0},
        {LAYER_MAIN, 10, 10, 0, 5, 0, 0, 0, 0},
        {LAYER_MAIN, 10, 10, 5, -1, 0, 0, 0, 0},
        {LAYER_MAIN, 320, 0, 10, 10, 0, 0, 0, 0},
        {LAYER_MAIN, 0, 240, 10, 10, 0, 0, 0, 0},
        {LAYER_MAIN, -10, -10, 10, 10, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " " << c.width << "x" << c.height);
        SetUp();
        layer& l = *layer_get(c.layerIndex);
        layer_flip(&l, c.x, c.y, c.width, c.height);
        expectFlipped(l, c.left, c.top, c.right, c.bottom);
        if (c.right == c.left) {
            EXPECT_TRUE(sFlips.empty());
            continue;
        }
        ASSERT_EQ(sFlips.size(), 1u);
        EXPECT_EQ(sFlips[0].source, &l);
        EXPECT_EQ(std::vector<int>({sFlips[0].x, sFlips[0].y, sFlips[0].width, sFlips[0].height}),
                  std::vector<int>({c.left, c.top, c.right - c.left, c.bottom - c.top}));
    }
    layer_flip(nullptr, 0, 0, 10, 10);
}

TEST_F(Layers, AFlipThatChangesNoPixelLeavesTheCanvasAlone) {
    layer& main = *layer_get(LAYER_MAIN);
    layer_flip(&main, 0, 0, 320, 240);
    layer_flip(&main, 0, 0, 320, 240); // drawn again, the same
    layer_flip(&main, 5, 5, 10, 10);
    main.back[239 * 320 + 319] ^= 1; // one pixel, in the last row
    layer_flip(&main, 300, 200, 20, 40);
    ASSERT_EQ(sFlips.size(), 2u);
    EXPECT_EQ(sFlips[1].x * 1000 + sFlips[1].y, 300 * 1000 + 200);
    EXPECT_EQ(main.front[239 * 320 + 319], main.back[239 * 320 + 319]);
}

TEST_F(Layers, OnlyTheMainLayerReachesTheCanvasAndWithoutHooksFlipStillUpdatesTheDisplayBuffer) {
    EXPECT_EQ(sAdded, std::vector<layer*>{layer_get(LAYER_MAIN)});
    EXPECT_EQ(layer_get(-1), nullptr);
    EXPECT_EQ(layer_get(LAYER_COUNT), nullptr);
    layer_set_canvas_hooks(nullptr, nullptr);
    layer_init();
    layer& main = *layer_get(LAYER_MAIN);
    layer_flip(&main, 0, 0, 1, 1);
    EXPECT_EQ(main.front[0], main.back[0]);
    EXPECT_EQ(main.front[1], 0u);
    EXPECT_TRUE(sFlips.empty());
    EXPECT_EQ(sAdded.size(), 1u) << "only the SetUp's layer_init reached the canvas";
}

} // namespace
} // namespace tdx
