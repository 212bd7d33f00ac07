#include "SourceHost/host/Canvas.h"

#include "Libraries/base/dbg.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tdx {

Canvas::Canvas(int x, int y, int width, int height)
    : mX(x)
    , mY(y)
    , mWidth(std::max(width, 1))
    , mHeight(std::max(height, 1))
    , mBack(static_cast<size_t>(mWidth) * mHeight, 0)
    , mFront(mBack.size(), 0) {}

void Canvas::AddLayer(unsigned /*index*/, const layer* source) {
    if (source == nullptr || std::any_of(mLayers.begin(), mLayers.end(),
                                         [source](const canvas_layer& l) { return l.source == source; })) {
        return;
    }
    mLayers.push_back({source, PixelBuffer(static_cast<size_t>(mWidth) * mHeight, 0)});
}

namespace {

// Constant-alpha blend of one channel, rounded: src * a + dst * (255 - a), over 255.
inline uint32_t blendChannel(uint32_t src, uint32_t dst, uint32_t a) {
    return (src * a + dst * (255 - a) + 127) / 255;
}

void compose(PixelBuffer& target, int width, int height, const layer& source) {
    if (source.front == nullptr || source.width <= 0 || source.height <= 0) {
        return;
    }
    const int left = std::max(source.x, 0);
    const int top = std::max(source.y, 0);
    const int right = std::min(source.x + source.width, width);
    const int bottom = std::min(source.y + source.height, height);
    if (left >= right || top >= bottom) {
        return;
    }
    const uint32_t alpha = source.alpha;
    for (int row = top; row < bottom; ++row) {
        const uint32_t* from =
            source.front + static_cast<size_t>(row - source.y) * source.width + (left - source.x);
        uint32_t* to = target.data() + static_cast<size_t>(row) * width + left;
        const int count = right - left;
        if (alpha == 255) {
            std::memcpy(to, from, static_cast<size_t>(count) * sizeof(uint32_t));
            continue;
        }
        for (int i = 0; i < count; ++i) {
            const uint32_t s = from[i];
            const uint32_t d = to[i];
            to[i] = blendChannel(s & 0xFF, d & 0xFF, alpha) |
                    blendChannel((s >> 8) & 0xFF, (d >> 8) & 0xFF, alpha) << 8 |
                    blendChannel((s >> 16) & 0xFF, (d >> 16) & 0xFF, alpha) << 16;
        }
    }
}

} // namespace

void Canvas::Repaint() {
    for (const canvas_layer& entry : mLayers) {
        compose(mBack, mWidth, mHeight, *entry.source);
    }
    {
        std::lock_guard<std::mutex> lock(mLock);
        std::memcpy(mFront.data(), mBack.data(), mBack.size() * sizeof(uint32_t));
    }
    if (mRepaintListener) {
        mRepaintListener();
    }
}

void Canvas::Flip(int, int, int, int) {
    Repaint();
}

void Canvas::GetClientRect(CanvasRect* rect) const {
    *rect = {mX, mY, mX + Width(), mY + Height()};
}

bool Canvas::SetActiveLayer(unsigned index) {
    if (index >= mLayers.size()) {
        dbg_printf_h("HOST canvas layer %u refused: %u layers", index, static_cast<unsigned>(mLayers.size()));
        return false;
    }
    mActiveLayer = index;
    return true;
}

const PixelBuffer& Canvas::activeBuffer() const {
    return mLayers.at(mActiveLayer).buffer;
}

PixelBuffer& Canvas::getBackBuffer() {
    return mLayers.at(mActiveLayer).buffer;
}

namespace {
// 0x00BBGGRR <-> the buffer's 0x00RRGGBB: red and blue change places.
uint32_t swapRedBlue(uint32_t c) {
    return (c & 0x0000FF00u) | (c & 0xFFu) << 16 | (c >> 16 & 0xFFu);
}
} // namespace

void Canvas::SetPixel(int x, int y, CanvasColour colour) {
    PixelBuffer& buffer = getBackBuffer();
    if (x >= 0 && x < mWidth && y >= 0 && y < mHeight) {
        buffer[static_cast<size_t>(y) * mWidth + x] = swapRedBlue(colour & 0x00FFFFFFu);
    }
}

CanvasColour Canvas::GetPixel(int x, int y) const {
    const PixelBuffer& buffer = activeBuffer();
    if (x < 0 || x >= mWidth || y < 0 || y >= mHeight) {
        return CANVAS_INVALID_COLOUR;
    }
    return swapRedBlue(buffer[static_cast<size_t>(y) * mWidth + x] & 0x00FFFFFFu);
}

void Canvas::FillRect(int left, int top, int right, int bottom) {
    PixelBuffer& buffer = getBackBuffer();
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, mWidth);
    bottom = std::min(bottom, mHeight);
    const uint32_t pixel = swapRedBlue(mColor & 0x00FFFFFFu);
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            buffer[static_cast<size_t>(y) * mWidth + x] = pixel;
        }
    }
}

void Canvas::CopyRect(CanvasRect dst, CanvasRect src) {
    PixelBuffer& buffer = getBackBuffer();
    // In 64 bits: no rectangle, however far off, overflows on the way.
    using Wide = int64_t;
    Wide width = std::abs(Wide{src.right} - src.left);
    Wide height = std::abs(Wide{src.bottom} - src.top);
    Wide sx = src.left;
    Wide sy = src.top;
    Wide dx = dst.left;
    Wide dy = dst.top;
    // Clip both ends against the buffer: a column or row is copied only when it lies on it at both places.
    const Wide skipX = std::max({Wide{0}, -sx, -dx});
    const Wide skipY = std::max({Wide{0}, -sy, -dy});
    sx += skipX;
    dx += skipX;
    sy += skipY;
    dy += skipY;
    width = std::min({width - skipX, mWidth - sx, mWidth - dx});
    height = std::min({height - skipY, mHeight - sy, mHeight - dy});
    if (width <= 0 || height <= 0) {
        return;
    }
    // Rows in the order that reads each source row before it is overwritten.
    const bool upward = dy > sy;
    for (Wide i = 0; i < height; ++i) {
        const Wide row = upward ? height - 1 - i : i;
        std::memmove(buffer.data() + static_cast<size_t>((dy + row) * mWidth + dx),
                     buffer.data() + static_cast<size_t>((sy + row) * mWidth + sx),
                     static_cast<size_t>(width) * sizeof(uint32_t));
    }
}

void Canvas::SetScale(int scale) {
    mScale = std::clamp(scale, 1, 8);
}

bool Canvas::IsPointInRect(int px, int py) const {
    return px - mX >= 0 && px - mX < Width() && py - mY >= 0 && py - mY < Height();
}

void Canvas::MapPointToRect(int* px, int* py) const {
    *px = (*px - mX) / mScale;
    *py = (*py - mY) / mScale;
}

void Canvas::MapPointClamped(int* px, int* py) const {
    MapPointToRect(px, py);
    *px = std::clamp(*px, 0, mWidth - 1);
    *py = std::clamp(*py, 0, mHeight - 1);
}

namespace {

// One display row into one window row, each pixel `scale` times, made opaque. Every window row is written
// from the display row rather than copied from the one above: a block copy into a window row that is not on
// a cache line runs several times slower on some processors, and the window's picture is not ours to align.
// Blocks of a fixed count of pixels let the compiler use vector instructions at any width.
void widenRow(const uint32_t* __restrict from, uint32_t* __restrict to, int width, int scale) {
    constexpr uint32_t OPAQUE = 0xFF000000u;
    constexpr int BLOCK = 16;
    int x = 0;
    switch (scale) {
        case 1:
            for (; x + BLOCK <= width; x += BLOCK) {
                for (int i = 0; i < BLOCK; ++i) {
                    to[x + i] = from[x + i] | OPAQUE;
                }
            }
            for (; x < width; ++x) {
                to[x] = from[x] | OPAQUE;
            }
            return;
        case 2:
            for (; x + BLOCK <= width; x += BLOCK) {
                for (int i = 0; i < BLOCK; ++i) {
                    to[2 * (x + i)] = to[2 * (x + i) + 1] = from[x + i] | OPAQUE;
                }
            }
            for (; x < width; ++x) {
                to[2 * x] = to[2 * x + 1] = from[x] | OPAQUE;
            }
            return;
        default:
            for (; x < width; ++x) {
                const uint32_t pixel = from[x] | OPAQUE;
                for (int i = 0; i < scale; ++i) {
                    *to++ = pixel;
                }
            }
            return;
    }
}

} // namespace

void Canvas::CopyTo(uint32_t* destination, int stride, int scale) const {
    scale = std::max(scale, 1);
    std::lock_guard<std::mutex> lock(mLock);
    for (int row = 0; row < mHeight; ++row) {
        const uint32_t* from = mFront.data() + static_cast<size_t>(row) * mWidth;
        for (int i = 0; i < scale; ++i) {
            widenRow(from, destination + (static_cast<size_t>(row) * scale + i) * stride, mWidth, scale);
        }
    }
}

std::vector<uint32_t> Canvas::Snapshot() const {
    std::lock_guard<std::mutex> lock(mLock);
    return {mFront.begin(), mFront.end()};
}

bool Canvas::SaveToFile(const std::string& path, std::string* error) const {
    const std::vector<uint32_t> pixels = Snapshot();
    const std::vector<uint8_t> image = bmp_file(pixels.data(), mWidth, mHeight);
    // A temporary file of its own beside the target, so that the rename is one step and no file of the
    // user's, whatever its name, is overwritten or removed on the way.
    std::string temporary = path + ".XXXXXX";
    auto fail = [&](int code, bool created) {
        if (error != nullptr) {
            *error = std::strerror(code);
        }
        dbg_printf_h("HOST screenshot %s not saved: %s", path.c_str(), std::strerror(code));
        if (created) {
            ::unlink(temporary.c_str());
        }
        return false;
    };
    const int descriptor = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (descriptor < 0) {
        return fail(errno, false);
    }
    // Readable by all, as a picture saved by any other program; a unique temporary file starts owner-only.
    bool written = ::fchmod(descriptor, 0644) == 0;
    for (size_t done = 0; written && done < image.size();) {
        const ssize_t n = ::write(descriptor, image.data() + done, image.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        written = n > 0;
        done += written ? static_cast<size_t>(n) : 0;
    }
    const int writeError = errno;
    if (::close(descriptor) != 0 || !written) {
        return fail(written ? errno : writeError, true);
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        return fail(errno, true);
    }
    return true;
}

namespace {

void put16(uint8_t* at, uint32_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

void put32(uint8_t* at, uint32_t value) {
    put16(at, value & 0xFFFF);
    put16(at + 2, value >> 16);
}

constexpr size_t FILE_HEADER = 14;
constexpr size_t INFO_HEADER = 40;

} // namespace

std::vector<uint8_t> bmp_file(const uint32_t* pixels, int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    const size_t row = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
    const size_t total = FILE_HEADER + INFO_HEADER + row * height;
    std::vector<uint8_t> image(total, 0);
    uint8_t* p = image.data();
    p[0] = 'B';
    p[1] = 'M';
    put32(p + 2, static_cast<uint32_t>(total));
    put32(p + 10, FILE_HEADER + INFO_HEADER);
    put32(p + 14, INFO_HEADER);
    put32(p + 18, static_cast<uint32_t>(width));
    put32(p + 22, static_cast<uint32_t>(height));
    put16(p + 26, 1);
    put16(p + 28, 24);
    uint8_t* rows = p + FILE_HEADER + INFO_HEADER;
    for (int y = 0; y < height; ++y) {
        // Bottom row first.
        const uint32_t* from = pixels + static_cast<size_t>(height - 1 - y) * width;
        uint8_t* to = rows + row * y;
        for (int x = 0; x < width; ++x) {
            to[3 * x] = static_cast<uint8_t>(from[x]);
            to[3 * x + 1] = static_cast<uint8_t>(from[x] >> 8);
            to[3 * x + 2] = static_cast<uint8_t>(from[x] >> 16);
        }
    }
    return image;
}

namespace {

std::shared_ptr<Canvas> sCanvas;
std::atomic<Canvas*> sCanvasRaw{nullptr};

void addHook(unsigned index, layer* source) {
    if (Canvas* canvas = sCanvasRaw.load()) {
        canvas->AddLayer(index, source);
    }
}

void repaintHook(const layer*, int, int, int, int) {
    if (Canvas* canvas = sCanvasRaw.load()) {
        canvas->Repaint();
    }
}

} // namespace

void canvas_install(std::shared_ptr<Canvas> canvas) {
    sCanvasRaw.store(canvas.get());
    sCanvas = std::move(canvas);
    if (sCanvas) {
        layer_set_canvas_hooks(addHook, repaintHook);
    } else {
        layer_set_canvas_hooks(nullptr, nullptr);
    }
}

} // namespace tdx
