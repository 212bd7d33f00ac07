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

TEST_F(Layers, MainAndTelemetryLayersHaveTheirGeometryAndOnlyTheMainOneReachesTheCanvas) {
    const layer* main = layer_get(LAYER_MAIN);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->width, 320);
    EXPECT_EQ(main->height, 240);
    EXPECT_EQ(main->alpha, 255);
    EXPECT_EQ(main->x, 0);
    EXPECT_EQ(main->y, 0);
    EXPECT_NE(main->back, nullptr);
    EXPECT_NE(main->front, nullptr);
    EXPECT_NE(main->back, main->front);

    const layer* telemetry = layer_get(LAYER_TELEMETRY);
    ASSERT_NE(telemetry, nullptr);
    EXPECT_EQ(telemetry->width, 70);
    EXPECT_EQ(telemetry->height, 24);
    EXPECT_EQ(telemetry->alpha, 130);
    EXPECT_EQ(telemetry->x, 250);
    EXPECT_EQ(telemetry->y, 250);
    EXPECT_NE(telemetry->back, nullptr);
    EXPECT_NE(telemetry->front, nullptr);

    EXPECT_EQ(sAdded, std::vector<layer*>{layer_get(LAYER_MAIN)});
    EXPECT_EQ(layer_get(-1), nullptr);
    EXPECT_EQ(layer_get(LAYER_COUNT), nullptr);
}

TEST_F(Layers, FlipCopiesExactlyTheRectangleAndRepaintsOnce) {
    layer& main = *layer_get(LAYER_MAIN);
    layer_flip(&main, 10, 20, 30, 5);
    expectFlipped(main, 10, 20, 40, 25);
    ASSERT_EQ(sFlips.size(), 1u);
    EXPECT_EQ(sFlips[0].source, &main);
    EXPECT_EQ(sFlips[0].x, 10);
    EXPECT_EQ(sFlips[0].y, 20);
    EXPECT_EQ(sFlips[0].width, 30);
    EXPECT_EQ(sFlips[0].height, 5);
}

TEST_F(Layers, FlipAcrossTheEdgesIsClippedToTheLayer) {
    layer& main = *layer_get(LAYER_MAIN);
    layer_flip(&main, 300, -10, 50, 30);
    expectFlipped(main, 300, 0, 320, 20);
    ASSERT_EQ(sFlips.size(), 1u);
    EXPECT_EQ(sFlips[0].x, 300);
    EXPECT_EQ(sFlips[0].y, 0);
    EXPECT_EQ(sFlips[0].width, 20);
    EXPECT_EQ(sFlips[0].height, 20);

    layer& telemetry = *layer_get(LAYER_TELEMETRY);
    layer_flip(&telemetry, -5, 20, 100, 100);
    expectFlipped(telemetry, 0, 20, 70, 24);
}

TEST_F(Layers, WholeScreenFlipCopiesEveryPixel) {
    layer& main = *layer_get(LAYER_MAIN);
    layer_flip(&main, -2147483647, -2147483647, 2147483647, 2147483647);
    layer_flip(&main, 0, 0, 2147483647, 2147483647);
    expectFlipped(main, 0, 0, 320, 240);
    EXPECT_EQ(sFlips.size(), 1u) << "the first rectangle ends just before the screen";
}

TEST_F(Layers, EmptyOrOutsideRectanglesCopyNothingAndDoNotRepaint) {
    layer& main = *layer_get(LAYER_MAIN);
    layer_flip(&main, 10, 10, 0, 5);
    layer_flip(&main, 10, 10, 5, -1);
    layer_flip(&main, 320, 0, 10, 10);
    layer_flip(&main, 0, 240, 10, 10);
    layer_flip(&main, -10, -10, 10, 10);
    layer_flip(nullptr, 0, 0, 10, 10);
    expectFlipped(main, 0, 0, 0, 0);
    EXPECT_TRUE(sFlips.empty());
}

TEST_F(Layers, WithoutHooksFlipStillUpdatesTheDisplayBuffer) {
    layer_set_canvas_hooks(nullptr, nullptr);
    layer_init();
    layer& main = *layer_get(LAYER_MAIN);
    layer_flip(&main, 0, 0, 1, 1);
    EXPECT_EQ(main.front[0], main.back[0]);
    EXPECT_EQ(main.front[1], 0u);
    EXPECT_TRUE(sFlips.empty());
    EXPECT_TRUE(sAdded.size() == 1u) << "only the SetUp's layer_init reached the canvas";
}

} // namespace
} // namespace tdx
