// A picture of many colours for the host windows' canvas, each pixel another colour of the whole range, and
// how a window shows it.
#pragma once

#include "SourceHost/api_lib/layer.h"

#include <QImage>
#include <QWidget>

#include <cstdint>
#include <vector>

namespace tdx::test {

// The display's main layer showing the picture. It outlives the case: the process's canvas keeps the layer
// until the next window installs a canvas of its own.
inline layer& manyColours() {
    static std::vector<uint32_t> pixels = [] {
        std::vector<uint32_t> p(static_cast<size_t>(SCREEN_WIDTH) * SCREEN_HEIGHT);
        for (size_t i = 0; i < p.size(); ++i) {
            p[i] = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFFu;
        }
        return p;
    }();
    static layer screen{SCREEN_WIDTH, SCREEN_HEIGHT, 255, 0, 0, nullptr, pixels.data()};
    return screen;
}

// How many pixels of the canvas (at 6, 6, zoom 1) the window shows otherwise than the picture at `light`
// fiftieths of its light: each colour channel times light / 50, truncated.
inline int pixelsOffLight(QWidget& window, int light) {
    const QImage shown = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    int off = 0;
    for (int y = 0; y < SCREEN_HEIGHT; ++y) {
        for (int x = 0; x < SCREEN_WIDTH; ++x) {
            const uint32_t drawn = manyColours().front[static_cast<size_t>(y) * SCREEN_WIDTH + x];
            auto channel = [&](int shift) { return static_cast<int>((drawn >> shift) & 0xFFu) * light / 50; };
            const QRgb s = shown.pixel(6 + x, 6 + y);
            off += qRed(s) != channel(16) || qGreen(s) != channel(8) || qBlue(s) != channel(0);
        }
    }
    return off;
}

} // namespace tdx::test
