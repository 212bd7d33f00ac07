// Figures for the drawing layer on a 320 x 240 screen: full-screen fill, full-screen blend, a screen of text,
// images.
#include "SourceApp/application/resources/resource_mgr.h"
#include "SourceApp/gui/bif/bif.h"
#include "SourceApp/gui/gfx/gfx.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace tdx {
namespace {

constexpr int W = 320, H = 240;

struct Screen {
    std::vector<uint32_t> back = std::vector<uint32_t>(W * H, 0);
    std::vector<uint32_t> front = std::vector<uint32_t>(W * H, 0);
    Screen() {
        gfx_set_surface({back.data(), front.data(), W, H, W});
        gfx_init();
    }
};

const ResourceMgr& resources() {
    static ResourceMgr mgr;
    static const bool loaded = mgr.load(TDX_RESOURCES_FILE) == 0;
    (void)loaded;
    return mgr;
}

void BM_FillScreen(benchmark::State& state) {
    Screen screen;
    unsigned colour = 0;
    for (auto _ : state) {
        gfx_setcolor(colour++);
        gfx_fill_rect(0, 0, W - 1, H - 1);
        benchmark::DoNotOptimize(screen.back.data());
    }
    state.SetItemsProcessed(state.iterations() * W * H);
}
BENCHMARK(BM_FillScreen);

void BM_BlendScreen(benchmark::State& state) {
    Screen screen;
    for (auto _ : state) {
        gfx_blend_rect(Box(0, 0, W, H), 0xFF00FF, 63);
        benchmark::DoNotOptimize(screen.back.data());
    }
    state.SetItemsProcessed(state.iterations() * W * H);
}
BENCHMARK(BM_BlendScreen);

// Fifteen lines of 12-px text across the whole width, the densest screen there is.
void BM_TextScreen(benchmark::State& state) {
    Screen screen;
    const bif_t* font = (resources(), bif_myriad12.getFont());
    if (font == nullptr) {
        state.SkipWithError("resources file not loaded");
        return;
    }
    const std::string line = "Exclude hot water storage tank 21.5 \xC2\xB0"
                             "C \xC4\x8C"
                             "esky Dansk \xC3\xA6\xC3\xB8\xC3\xA5 0123";
    size_t characters = 0;
    for (auto _ : state) {
        gfx_setcolor(0x000000);
        for (int y = 0; y + font->line_step <= H; y += font->line_step) {
            bif_print_text(font, 0, y, line);
            characters += line.size();
        }
        benchmark::DoNotOptimize(screen.back.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(characters));
}
BENCHMARK(BM_TextScreen);

void BM_IconImage(benchmark::State& state) {
    Screen screen;
    const unsigned char* icon = resources().get(res_warning_active).getData();
    if (icon == nullptr) {
        state.SkipWithError("resources file not loaded");
        return;
    }
    for (auto _ : state) {
        gfx_setcolor(0x312CD8);
        gfx_put_image(100, 100, icon);
        benchmark::DoNotOptimize(screen.back.data());
    }
}
BENCHMARK(BM_IconImage);

// The largest image there can be, 255 x 240 RGB565 with alpha, blended.
void BM_LargeBlendedImage(benchmark::State& state) {
    Screen screen;
    std::vector<unsigned char> image{GFX_IMAGE_RGB565_ALPHA, 255, 240};
    for (int i = 0; i < 255 * 240; ++i) {
        image.push_back(static_cast<unsigned char>(i));
        image.push_back(static_cast<unsigned char>(i >> 8));
    }
    for (int i = 0; i < 255 * 240; ++i)
        image.push_back(static_cast<unsigned char>(i * 7));
    for (auto _ : state) {
        gfx_put_image(0, 0, image.data());
        benchmark::DoNotOptimize(screen.back.data());
    }
    state.SetItemsProcessed(state.iterations() * 255 * 240);
}
BENCHMARK(BM_LargeBlendedImage);

void BM_FlipScreen(benchmark::State& state) {
    Screen screen;
    for (auto _ : state) {
        gfx_flip(0, 0, W - 1, H - 1);
        benchmark::DoNotOptimize(screen.front.data());
    }
}
BENCHMARK(BM_FlipScreen);

} // namespace
} // namespace tdx
