// The surface on which the desktop window shows the display. The application thread composes the framebuffer
// layers into a back buffer after every flip and copies it to the front buffer under the canvas's lock; the
// window thread copies the front buffer, magnified by the zoom, into its own picture under the same lock, and
// so do screenshots. The canvas also maps window points to display pixels and builds the BMP image.
#pragma once

#include "SourceHost/api_lib/layer.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <vector>

namespace tdx {

// Pixel buffers on cache-line boundaries: the string copies of some processors run several times slower into
// a destination that is not, and the canvas copies whole frames.
template <class T>
struct CacheLineAllocator {
    using value_type = T;
    static constexpr std::align_val_t ALIGNMENT{64};
    CacheLineAllocator() = default;
    template <class U>
    CacheLineAllocator(const CacheLineAllocator<U>&) {}
    T* allocate(std::size_t n) { return static_cast<T*>(::operator new(n * sizeof(T), ALIGNMENT)); }
    void deallocate(T* p, std::size_t) { ::operator delete(p, ALIGNMENT); }
    template <class U>
    bool operator==(const CacheLineAllocator<U>&) const {
        return true;
    }
};
using PixelBuffer = std::vector<uint32_t, CacheLineAllocator<uint32_t>>;

class Font;

// Window or display rectangle; right and bottom are one past the last column and row.
struct CanvasRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Colour number 0x00BBGGRR (red in the low byte), as the drawing helpers take and give it.
using CanvasColour = uint32_t;
// What GetPixel gives for a point off the layer.
constexpr CanvasColour CANVAS_INVALID_COLOUR = 0xFFFFFFFFu;

class Canvas {
public:
    // Placed at (x, y) in the window, showing width x height display pixels.
    Canvas(int x, int y, int width, int height);
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // ---- Application thread ----
    // Appends the layer (the index is not used: the first added is composed first). A layer already added is
    // not added twice, as a restarted application registers its layers again.
    void AddLayer(unsigned index, const layer* source);
    // Composes every layer into the back buffer, copies it to the front buffer, then tells the window.
    void Repaint();
    // The same; the rectangle is not used, the whole picture is composed.
    void Flip(int x, int y, int w, int h);
    // Called after every repaint, on the application thread; the window posts itself an update from it. Set
    // while the application thread is not running.
    void setRepaintListener(std::function<void()> listener) { mRepaintListener = std::move(listener); }

    // ---- Window thread ----
    void SetScale(int scale);
    int GetScale() const { return mScale; }
    int GetX() const { return mX; }
    int GetY() const { return mY; }
    // The size the canvas occupies in the window (display size x scale).
    int Width() const { return mWidth * mScale; }
    int Height() const { return mHeight * mScale; }
    int DisplayWidth() const { return mWidth; }
    int DisplayHeight() const { return mHeight; }
    bool IsPointInRect(int px, int py) const;
    // Window point to display pixel (truncating toward zero).
    void MapPointToRect(int* px, int* py) const;
    // As MapPointToRect, then clamped to the display: where a captured mouse outside the canvas touches.
    void MapPointClamped(int* px, int* py) const;
    // Copies the front buffer at `scale` (nearest pixel, no smoothing) into `destination`, whose rows are
    // `stride` pixels apart and which holds Width-at-scale x Height-at-scale pixels. The fourth byte is set,
    // so the picture is opaque.
    void CopyTo(uint32_t* destination, int stride, int scale) const;
    // The canvas in the window: {x, y, x + Width(), y + Height()}.
    void GetClientRect(CanvasRect* rect) const;
    int GetOffsetX(int v) const { return v + mX; }
    int GetOffsetY(int v) const { return v + mY; }

    // ---- Drawing helpers ----
    // Each added layer has a buffer of the canvas's own, DisplayWidth() x DisplayHeight() pixels (rows top
    // first, 0x00RRGGBB), on which these draw; the layer's picture and what the window shows are not
    // touched. They belong to the thread that adds the layers. Points and rectangles off the buffer are
    // clipped; those that use the active layer throw std::out_of_range while no layer has been added.
    // Refused, with a log line and the active layer kept, for an index past the layers.
    bool SetActiveLayer(unsigned index);
    unsigned GetActiveLayer() const { return mActiveLayer; }
    PixelBuffer& getBackBuffer();
    void SetPixel(int x, int y, CanvasColour colour);
    // CANVAS_INVALID_COLOUR off the buffer.
    CanvasColour GetPixel(int x, int y) const;
    void SetFont(const Font* font) { mFont = font; }
    const Font* GetFont() const { return mFont; }
    // The colour of FillRect.
    void SetColor(CanvasColour colour) { mColor = colour; }
    CanvasColour GetColor() const { return mColor; }
    // Right and bottom excluded.
    void FillRect(int left, int top, int right, int bottom);
    // Copies |src width| x |src height| pixels from src's top-left to dst's top-left; the two may overlap.
    void CopyRect(CanvasRect dst, CanvasRect src);

    // A copy of the front buffer, taken under the lock.
    std::vector<uint32_t> Snapshot() const;
    // Writes the current picture as a BMP file through a temporary file of its own ("<path>.XXXXXX"), so that
    // a failed write leaves an existing file as it was. False with the reason in `error`.
    bool SaveToFile(const std::string& path, std::string* error) const;

private:
    const int mX;
    const int mY;
    const int mWidth;
    const int mHeight;
    int mScale = 1;

    struct canvas_layer {
        const layer* source;
        PixelBuffer buffer;
    };
    const PixelBuffer& activeBuffer() const;

    std::vector<canvas_layer> mLayers;
    PixelBuffer mBack;
    unsigned mActiveLayer = 0;
    const Font* mFont = nullptr;
    CanvasColour mColor = 0;
    std::function<void()> mRepaintListener;

    mutable std::mutex mLock; // the front buffer
    PixelBuffer mFront;
};

// 24-bit bottom-up BMP file of the pixels (rows top first, bytes blue, green, red, ignored): a 54-byte
// header, then rows of blue, green, red padded with zeros to a multiple of 4 bytes.
std::vector<uint8_t> bmp_file(const uint32_t* pixels, int width, int height);

// The process's canvas, which the platform's layer hooks reach. Installing one (or null) is done while the
// application thread is not running.
void canvas_install(std::shared_ptr<Canvas> canvas);

} // namespace tdx
