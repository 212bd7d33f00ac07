#include "tools/mkresources/raster.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace tdx::mkres {

void Mask::stamp(const Mask& other, int x, int y) {
    for (int row = 0; row < other.height; ++row)
        for (int col = 0; col < other.width; ++col) {
            const int tx = x + col, ty = y + row;
            if (tx >= 0 && ty >= 0 && tx < width && ty < height)
                at(tx, ty) = std::max(at(tx, ty), other.at(col, row));
        }
}

Mask Mask::cropped() const {
    int x1 = width, y1 = height, x2 = -1, y2 = -1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (at(x, y) != 0) {
                x1 = std::min(x1, x), x2 = std::max(x2, x);
                y1 = std::min(y1, y), y2 = std::max(y2, y);
            }
    if (x2 < 0)
        return Mask();
    Mask out(x2 - x1 + 1, y2 - y1 + 1);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x)
            out.at(x, y) = at(x1 + x, y1 + y);
    return out;
}

Canvas::Canvas(int width, int height)
    : mWidth(width)
    , mHeight(height)
    , mSamples(static_cast<size_t>(width) * S * height * S, 0) {}

template <typename Inside>
void Canvas::paint(double x1, double y1, double x2, double y2, bool on, Inside inside) {
    const int sx1 = std::max(0, static_cast<int>(std::floor(x1 * S)));
    const int sy1 = std::max(0, static_cast<int>(std::floor(y1 * S)));
    const int sx2 = std::min(mWidth * S, static_cast<int>(std::ceil(x2 * S)));
    const int sy2 = std::min(mHeight * S, static_cast<int>(std::ceil(y2 * S)));
    for (int sy = sy1; sy < sy2; ++sy)
        for (int sx = sx1; sx < sx2; ++sx) {
            const double px = (sx + 0.5) / S, py = (sy + 0.5) / S;
            if (inside(px, py))
                mSamples[static_cast<size_t>(sy) * mWidth * S + sx] = on;
        }
}

void Canvas::fillRect(double x1, double y1, double x2, double y2) {
    paint(x1, y1, x2, y2, true, [](double, double) { return true; });
}

void Canvas::fillRoundRect(double x1, double y1, double x2, double y2, double r) {
    paint(x1, y1, x2, y2, true, [=](double x, double y) {
        const double cx = std::clamp(x, x1 + r, x2 - r), cy = std::clamp(y, y1 + r, y2 - r);
        return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
    });
}

void Canvas::strokeRoundRect(double x1, double y1, double x2, double y2, double r, double stroke) {
    const double ir = std::max(0.0, r - stroke);
    paint(x1, y1, x2, y2, true, [=](double x, double y) {
        const double cx = std::clamp(x, x1 + r, x2 - r), cy = std::clamp(y, y1 + r, y2 - r);
        const bool outer = (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
        const double ix1 = x1 + stroke, iy1 = y1 + stroke, ix2 = x2 - stroke, iy2 = y2 - stroke;
        const double icx = std::clamp(x, ix1 + ir, ix2 - ir), icy = std::clamp(y, iy1 + ir, iy2 - ir);
        const bool inner = x > ix1 && x < ix2 && y > iy1 && y < iy2 &&
                           (x - icx) * (x - icx) + (y - icy) * (y - icy) <= ir * ir;
        return outer && !inner;
    });
}

void Canvas::fillCircle(double cx, double cy, double r) {
    paint(cx - r, cy - r, cx + r, cy + r, true,
          [=](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; });
}

void Canvas::clearCircle(double cx, double cy, double r) {
    paint(cx - r, cy - r, cx + r, cy + r, false,
          [=](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; });
}

Mask Canvas::mask() const {
    Mask out(mWidth, mHeight);
    for (int y = 0; y < mHeight; ++y)
        for (int x = 0; x < mWidth; ++x) {
            int sum = 0;
            for (int sy = 0; sy < S; ++sy)
                for (int sx = 0; sx < S; ++sx)
                    sum += mSamples[static_cast<size_t>(y * S + sy) * mWidth * S + x * S + sx];
            out.at(x, y) = static_cast<uint8_t>((sum * 255 + S * S / 2) / (S * S));
        }
    return out;
}

std::vector<uint8_t> image_of(const Mask& mask) {
    if (mask.width < 1 || mask.height < 1 || mask.width > 255 || mask.height > 255)
        throw std::runtime_error("image of " + std::to_string(mask.width) + " x " +
                                 std::to_string(mask.height) + " pixels cannot be stored");
    std::vector<uint8_t> out(3 + mask.alpha.size());
    out[0] = 1;
    out[1] = static_cast<uint8_t>(mask.width);
    out[2] = static_cast<uint8_t>(mask.height);
    std::copy(mask.alpha.begin(), mask.alpha.end(), out.begin() + 3);
    return out;
}

} // namespace tdx::mkres
