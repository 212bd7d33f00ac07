// Alpha-mask pictures for the generator: glyphs from FreeType and a few shapes drawn at 4x4 supersampling.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tdx::mkres {

struct Mask {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> alpha; // width * height, rows top first

    Mask() = default;
    Mask(int w, int h)
        : width(w)
        , height(h)
        , alpha(static_cast<size_t>(w) * h, 0) {}
    uint8_t& at(int x, int y) { return alpha[static_cast<size_t>(y) * width + x]; }
    uint8_t at(int x, int y) const { return alpha[static_cast<size_t>(y) * width + x]; }

    // Lays `other` over this mask at (x, y), keeping the stronger coverage; parts outside are dropped.
    void stamp(const Mask& other, int x, int y);
    // The part holding every non-zero pixel (an empty mask stays empty).
    Mask cropped() const;
};

// A supersampled canvas: shapes are drawn in output pixels (fractions allowed) and averaged down.
class Canvas {
public:
    Canvas(int width, int height);
    void fillRect(double x1, double y1, double x2, double y2);
    // Rounded rectangle outline of the given stroke width; the outline lies inside the box.
    void strokeRoundRect(double x1, double y1, double x2, double y2, double radius, double stroke);
    void fillRoundRect(double x1, double y1, double x2, double y2, double radius);
    void fillCircle(double cx, double cy, double r);
    void clearCircle(double cx, double cy, double r);
    Mask mask() const;

private:
    template <typename Inside>
    void paint(double x1, double y1, double x2, double y2, bool on, Inside inside);

    static constexpr int S = 4;
    int mWidth;
    int mHeight;
    std::vector<uint8_t> mSamples;
};

// Encodes a mask as an image resource of type 1; the mask must fit in 255 x 255.
std::vector<uint8_t> image_of(const Mask& mask);

} // namespace tdx::mkres
