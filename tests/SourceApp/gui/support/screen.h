// Test support for anything that draws: an off-screen 320 x 240 surface, pixel reads in colour numbers, and
// 24-bit BMP pictures of it (the screenshot format) written when a test fails, so that a person can look.
#pragma once

#include "SourceApp/gui/gfx/gfx.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

namespace tdx {
// Readable boxes in failure messages.
inline void PrintTo(const Box& b, std::ostream* os) {
    *os << "(" << b.x1 << "," << b.y1 << ")..(" << b.x2 << "," << b.y2 << ")";
}
} // namespace tdx

namespace tdx::test {

// Writes width x height pixels (words 0x00RRGGBB, `stride` apart) as a bottom-up 24-bit BMP; false on
// failure.
inline bool write_bmp(const std::string& path, const uint32_t* pixels, int width, int height, int stride) {
    const int row_bytes = (width * 3 + 3) & ~3;
    const uint32_t image_size = static_cast<uint32_t>(row_bytes * height);
    std::vector<uint8_t> file(54 + image_size, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            file[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<uint32_t>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height));
    file[26] = 1;
    file[28] = 24;
    put32(34, image_size);
    for (int y = 0; y < height; ++y) {
        uint8_t* out = file.data() + 54 + static_cast<size_t>(height - 1 - y) * row_bytes;
        for (int x = 0; x < width; ++x) {
            const uint32_t p = pixels[static_cast<size_t>(y) * stride + x];
            out[3 * x] = static_cast<uint8_t>(p);
            out[3 * x + 1] = static_cast<uint8_t>(p >> 8);
            out[3 * x + 2] = static_cast<uint8_t>(p >> 16);
        }
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        return false;
    const bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
    return std::fclose(f) == 0 && ok;
}

inline bool write_bmp(const std::string& path, const gfx_surface& s) {
    return write_bmp(path, s.back, s.width, s.height, s.stride);
}

// What a framebuffer layer shows (its front buffer).
inline bool write_bmp(const std::string& path, const layer& l) {
    return l.front != nullptr && write_bmp(path, l.front, l.width, l.height, l.width);
}

// A fixture that draws into its own back and front buffers, filled with a known background, and saves the
// back buffer as "<suite>.<test>.bmp" in the working directory when the test fails.
class ScreenTest : public ::testing::Test {
protected:
    static constexpr int W = 320;
    static constexpr int H = 240;
    static constexpr unsigned BACKGROUND = 0x102030;

    void SetUp() override {
        mBack.assign(W * H, gfx_pixel_of(BACKGROUND));
        mFront.assign(W * H, 0);
        gfx_set_surface({mBack.data(), mFront.data(), W, H, W});
        gfx_set_flip_hook(nullptr);
        gfx_init();
    }

    void TearDown() override {
        if (HasFailure()) {
            const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
            const std::string path = std::string(info->test_suite_name()) + "." + info->name() + ".bmp";
            write_bmp(path, gfx.surface);
            std::printf("picture of the failed test: %s\n", path.c_str());
        }
        gfx_set_surface({});
    }

    // Colour number (0x00BBGGRR) of a pixel of the back buffer.
    static unsigned at(int x, int y) { return gfx_colour_of(gfx.surface.back[y * gfx.surface.stride + x]); }
    static unsigned front(int x, int y) {
        return gfx_colour_of(gfx.surface.front[y * gfx.surface.stride + x]);
    }

    // Pixels in the box that differ from the background.
    static int inked(const Box& box, unsigned background = BACKGROUND) {
        int n = 0;
        for (int y = box.y1; y <= box.y2; ++y)
            for (int x = box.x1; x <= box.x2; ++x)
                n += at(x, y) != background;
        return n;
    }
    // The smallest box holding every pixel that differs from the background (empty when none does).
    static Box ink_box(unsigned background = BACKGROUND) {
        Box b = Box::fromCorners(W, H, -1, -1);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                if (at(x, y) != background)
                    b = Box::fromCorners(std::min(b.x1, x), std::min(b.y1, y), std::max(b.x2, x),
                                         std::max(b.y2, y));
        return b;
    }

    std::vector<uint32_t> mBack;
    std::vector<uint32_t> mFront;
};

} // namespace tdx::test
