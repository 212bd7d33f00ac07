// The canvas: window-to-display mapping, composition, the zoomed copy, the BMP layout and a
// screenshot taken while the application thread repaints.
#include "SourceHost/host/Canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace tdx {
namespace {

uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

TEST(Canvas, MapsWindowPointsToDisplayPixelsAtEveryScale) {
    Canvas canvas(6, 6, 320, 240);
    struct Row {
        int scale, wx, wy;
        bool inside;
        int x, y;
    };
    const Row rows[] = {
        {1, 6, 6, true, 0, 0},
        {1, 325, 245, true, 319, 239},
        {1, 326, 100, false, 319, 94},
        {2, 6 + 3, 6 + 5, true, 1, 2},
        {2, 6 + 2 * 100, 6 + 2 * 50, true, 100, 50},
        {2, 645, 485, true, 319, 239},
        {2, 646, 100, false, 319, 47},
        {3, 6 + 3 * 319 + 2, 6, true, 319, 0},
        {3, 0, 0, false, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.scale << " " << row.wx << "," << row.wy);
        canvas.SetScale(row.scale);
        EXPECT_EQ(canvas.Width(), 320 * row.scale);
        EXPECT_EQ(canvas.IsPointInRect(row.wx, row.wy), row.inside);
        int x = row.wx, y = row.wy;
        canvas.MapPointClamped(&x, &y);
        EXPECT_EQ(x, row.x);
        EXPECT_EQ(y, row.y);
    }
}

TEST(Canvas, ComposesLayersWithTheirConstantAlpha) {
    Canvas canvas(0, 0, 4, 2);
    std::vector<uint32_t> red(8, 0x00FF0000), blue(1, 0x000000FF);
    layer base{4, 2, 255, 0, 0, nullptr, red.data()};
    layer overlay{1, 1, 128, 2, 1, nullptr, blue.data()};
    canvas.AddLayer(0, &base);
    canvas.AddLayer(1, &overlay);
    canvas.AddLayer(0, &base); // a restarted application adds its layer again
    canvas.Repaint();
    const std::vector<uint32_t> picture = canvas.Snapshot();
    EXPECT_EQ(picture[0], 0x00FF0000u);
    EXPECT_EQ(picture[6], 0x007F0080u); // half red, half blue
    std::vector<uint32_t> zoomed(8 * 4);
    canvas.CopyTo(zoomed.data(), 8, 2);
    EXPECT_EQ(zoomed[3 * 8 + 4], 0xFF7F0080u); // (2, 1) at x2: the block from (4, 2), opaque
    EXPECT_EQ(zoomed[2 * 8 + 5], 0xFF7F0080u);
    EXPECT_EQ(zoomed[1 * 8 + 5], 0xFFFF0000u);
}

TEST(Canvas, ScreenshotsAreBottomUpBgrBitmaps) {
    std::vector<uint32_t> pixels(320 * 240, 0);
    pixels[0] = 0x00112233;               // top-left
    pixels[239 * 320 + 319] = 0x00445566; // bottom-right
    const std::vector<uint8_t> file = bmp_file(pixels.data(), 320, 240);
    ASSERT_EQ(file.size(), 230454u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    const uint32_t header[][2] = {{2, 230454}, {10, 54}, {14, 40}, {18, 320}, {22, 240}, {30, 0}, {34, 0}};
    for (const auto& [at, value] : header) {
        EXPECT_EQ(le32(file, at), value) << at;
    }
    EXPECT_EQ(file[26] | file[27] << 8, 1);
    EXPECT_EQ(file[28] | file[29] << 8, 24);
    const size_t bottomRight = 54 + 319 * 3; // the first stored row is the bottom one
    const size_t topLeft = 54 + 239 * 960;
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + bottomRight, file.begin() + bottomRight + 3),
              (std::vector<uint8_t>{0x66, 0x55, 0x44}));
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + topLeft, file.begin() + topLeft + 3),
              (std::vector<uint8_t>{0x33, 0x22, 0x11}));

    // An odd width: each row of 3 pixels (9 bytes) is padded with zeros to 12.
    std::vector<uint32_t> odd(3 * 2, 0x00FFFFFF);
    const std::vector<uint8_t> small = bmp_file(odd.data(), 3, 2);
    ASSERT_EQ(small.size(), 54u + 2 * 12);
    for (size_t row = 0; row < 2; ++row) {
        const size_t at = 54 + row * 12;
        EXPECT_EQ(std::count(small.begin() + at, small.begin() + at + 9, 0xFF), 9);
        EXPECT_EQ(std::count(small.begin() + at + 9, small.begin() + at + 12, 0), 3);
    }
}

// The drawing helpers on the canvas's own layer buffers: what they draw is read back pixel by pixel, with
// everything that reaches past an edge cut there; the composed picture stays the layers' own.
TEST(Canvas, DrawingHelpersDrawOnTheActiveLayerAndClipAtItsEdges) {
    Canvas canvas(6, 6, 8, 4);
    EXPECT_THROW(canvas.getBackBuffer(), std::out_of_range); // no layer yet
    EXPECT_THROW(canvas.GetPixel(0, 0), std::out_of_range);
    EXPECT_FALSE(canvas.SetActiveLayer(0));
    std::vector<uint32_t> picture(8 * 4, 0x00123456);
    std::vector<uint32_t> overlay(8 * 4, 0x00123456);
    layer base{8, 4, 255, 0, 0, nullptr, picture.data()};
    layer second{8, 4, 255, 0, 0, nullptr, overlay.data()};
    canvas.AddLayer(0, &base);
    canvas.AddLayer(1, &second);
    EXPECT_TRUE(canvas.SetActiveLayer(1));
    EXPECT_FALSE(canvas.SetActiveLayer(2)); // past the layers: refused, the active one kept
    EXPECT_EQ(canvas.GetActiveLayer(), 1u);

    canvas.SetColor(0x000000FF); // red, as 0x00BBGGRR
    EXPECT_EQ(canvas.GetColor(), 0x000000FFu);
    canvas.FillRect(-3, -2, 3, 2);  // reaches past the top-left corner
    canvas.SetColor(0x00FF0000);    // blue
    canvas.FillRect(6, 2, 100, 50); // past the bottom-right corner
    canvas.SetPixel(4, 1, 0x0000FF00);
    canvas.SetPixel(8, 0, 0x0000FF00);  // off the right edge
    canvas.SetPixel(-1, 3, 0x0000FF00); // off the left edge
    const char* expected[] = {"RRR.....", "RRR.G...", "......BB", "......BB"};
    auto at = [&](int x, int y) {
        switch (canvas.GetPixel(x, y)) {
            case 0x000000FF:
                return 'R';
            case 0x00FF0000:
                return 'B';
            case 0x0000FF00:
                return 'G';
            case 0:
                return '.';
            default:
                return '?';
        }
    };
    auto drawn = [&] {
        std::vector<std::string> rows;
        for (int y = 0; y < 4; ++y) {
            std::string row;
            for (int x = 0; x < 8; ++x) {
                row += at(x, y);
            }
            rows.push_back(row);
        }
        return rows;
    };
    EXPECT_EQ(drawn(), std::vector<std::string>(std::begin(expected), std::end(expected)));
    EXPECT_EQ(canvas.getBackBuffer()[1 * 8 + 4], 0x0000FF00u);
    EXPECT_EQ(canvas.getBackBuffer()[0], 0x00FF0000u); // the buffer holds 0x00RRGGBB
    EXPECT_EQ(canvas.GetPixel(8, 0), CANVAS_INVALID_COLOUR);
    EXPECT_EQ(canvas.GetPixel(0, -1), CANVAS_INVALID_COLOUR);

    // Overlapping copies read every source pixel before it is overwritten; a copy reaching past an edge
    // copies the part that lies on the layer at both places. The source rectangle may be given backwards.
    canvas.CopyRect({1, 1, 0, 0}, {0, 0, 3, 2});  // "RRR" rows one down and one right
    canvas.CopyRect({6, -1, 0, 0}, {0, 0, 4, 2}); // only columns 0..1 of row 1 land, at (6..7, 0)
    canvas.CopyRect({0, 3, 0, 0}, {6, 3, 4, 2});  // width |4 - 6| = 2, height 1: "BB" to (0, 3)
    canvas.CopyRect({INT_MIN, 0, 0, 0}, {INT_MAX, INT_MIN, INT_MIN, INT_MAX}); // nowhere on the layer
    const char* copied[] = {"RRR...RR", "RRRRG...", ".RRR..BB", "BB....BB"};
    EXPECT_EQ(drawn(), std::vector<std::string>(std::begin(copied), std::end(copied)));

    // The other layer's buffer is untouched, and the composed picture is the layers' own.
    ASSERT_TRUE(canvas.SetActiveLayer(0));
    EXPECT_EQ(canvas.GetPixel(0, 0), 0u);
    canvas.Flip(0, 0, 1, 1);
    EXPECT_EQ(canvas.Snapshot()[0], 0x00123456u);

    CanvasRect client;
    canvas.GetClientRect(&client);
    EXPECT_EQ((std::vector<int>{client.left, client.top, client.right, client.bottom}),
              (std::vector<int>{6, 6, 14, 10}));
    canvas.SetScale(2);
    canvas.GetClientRect(&client);
    EXPECT_EQ(client.right, 6 + 16);
    EXPECT_EQ(client.bottom, 6 + 8);
    EXPECT_EQ(canvas.GetOffsetX(3), 9);
    EXPECT_EQ(canvas.GetOffsetY(-6), 0);
    EXPECT_EQ(canvas.GetFont(), nullptr);
}

// Every pixel distinct, so that a copy that wraps into the next row, reaches past an edge or reads a row
// that it has already overwritten shows where it went wrong. Each copy is compared with the copy made through
// a second picture: every pixel that lies on the layer at both places lands, nothing else changes.
TEST(Canvas, CopyRectMovesEachPixelOnceAndCutsAtTheEdges) {
    constexpr int W = 8;
    constexpr int H = 5;
    const struct {
        const char* name;
        CanvasRect dst;
        CanvasRect src;
    } cases[] = {
        {"past the right edge", {6, 1, 0, 0}, {0, 0, 4, 2}},
        {"past the bottom edge", {1, 3, 0, 0}, {0, 0, 3, 4}},
        {"past the bottom-right corner", {5, 3, 0, 0}, {0, 0, 8, 5}},
        {"from past the right edge", {0, 0, 0, 0}, {6, 1, 10, 3}},
        {"from past the bottom edge", {2, 0, 0, 0}, {0, 3, 3, 8}},
        {"before the top-left corner", {-2, -1, 0, 0}, {1, 1, 6, 4}},
        {"overlapping rows one down", {0, 1, 0, 0}, {0, 0, 8, 4}},
        {"overlapping rows two down, shifted right", {1, 2, 0, 0}, {0, 0, 7, 3}},
        {"overlapping rows one up", {0, 0, 0, 0}, {0, 1, 8, 5}},
        {"overlapping within rows, right", {1, 0, 0, 0}, {0, 0, 7, 5}},
        {"overlapping within rows, left", {0, 0, 0, 0}, {1, 0, 8, 5}},
        {"a source given backwards", {0, 3, 0, 0}, {5, 2, 2, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas canvas(0, 0, W, H);
        std::vector<uint32_t> frame(W * H, 0);
        layer main{W, H, 255, 0, 0, nullptr, frame.data()};
        canvas.AddLayer(0, &main);
        std::vector<CanvasColour> before(W * H);
        for (int y = 0; y < H; ++y) {
            for (int x = 0; x < W; ++x) {
                before[y * W + x] = static_cast<CanvasColour>((y + 1) << 8 | (x + 1));
                canvas.SetPixel(x, y, before[y * W + x]);
            }
        }
        std::vector<CanvasColour> expected = before;
        const int width = std::abs(c.src.right - c.src.left);
        const int height = std::abs(c.src.bottom - c.src.top);
        auto onLayer = [](int x, int y) { return x >= 0 && x < W && y >= 0 && y < H; };
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const int sx = c.src.left + x, sy = c.src.top + y, dx = c.dst.left + x, dy = c.dst.top + y;
                if (onLayer(sx, sy) && onLayer(dx, dy)) {
                    expected[dy * W + dx] = before[sy * W + sx];
                }
            }
        }
        canvas.CopyRect(c.dst, c.src);
        ASSERT_EQ(canvas.getBackBuffer().size(), static_cast<size_t>(W * H));
        for (int y = 0; y < H; ++y) {
            for (int x = 0; x < W; ++x) {
                EXPECT_EQ(canvas.GetPixel(x, y), expected[y * W + x]) << "at " << x << "," << y;
            }
        }
    }
}

// A writer thread paints whole frames of one colour; every screenshot shows one colour only.
TEST(Canvas, ScreenshotsNeverShowHalfAFrame) {
    Canvas canvas(0, 0, 320, 240);
    std::vector<uint32_t> frame(320 * 240, 0);
    layer main{320, 240, 255, 0, 0, nullptr, frame.data()};
    canvas.AddLayer(0, &main);
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (uint32_t colour = 1; !done.load(); ++colour) {
            std::fill(frame.begin(), frame.end(), colour & 0xFFFFFF);
            canvas.Repaint();
        }
    });
    for (int i = 0; i < 200; ++i) {
        const std::vector<uint32_t> shot = canvas.Snapshot();
        ASSERT_EQ(std::count(shot.begin(), shot.end(), shot[0]), static_cast<long>(shot.size()));
    }
    done = true;
    writer.join();
}

} // namespace
} // namespace tdx
