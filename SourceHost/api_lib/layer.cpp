#include "SourceHost/api_lib/layer.h"

#include "Libraries/base/dbg.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace tdx {

namespace {

constexpr int TELEMETRY_WIDTH = 70;
constexpr int TELEMETRY_HEIGHT = 24;

alignas(64) uint32_t sMainBack[SCREEN_WIDTH * SCREEN_HEIGHT];
alignas(64) uint32_t sMainFront[SCREEN_WIDTH * SCREEN_HEIGHT];
alignas(64) uint32_t sTelemetryBack[TELEMETRY_WIDTH * TELEMETRY_HEIGHT];
alignas(64) uint32_t sTelemetryFront[TELEMETRY_WIDTH * TELEMETRY_HEIGHT];

layer sLayers[LAYER_COUNT] = {
    {SCREEN_WIDTH, SCREEN_HEIGHT, 255, 0, 0, nullptr, nullptr},
    {TELEMETRY_WIDTH, TELEMETRY_HEIGHT, 130, 250, 250, nullptr, nullptr},
};

std::atomic<layer_add_hook> sAddHook{nullptr};
std::atomic<layer_repaint_hook> sRepaintHook{nullptr};

} // namespace

void layer_init() {
    sLayers[LAYER_MAIN].back = sMainBack;
    sLayers[LAYER_MAIN].front = sMainFront;
    sLayers[LAYER_TELEMETRY].back = sTelemetryBack;
    sLayers[LAYER_TELEMETRY].front = sTelemetryFront;
    if (layer_add_hook add = sAddHook.load()) {
        add(LAYER_MAIN, &sLayers[LAYER_MAIN]);
    }
}

layer* layer_get(int index) {
    return index >= 0 && index < LAYER_COUNT ? &sLayers[index] : nullptr;
}

void layer_set_canvas_hooks(layer_add_hook add, layer_repaint_hook repaint) {
    sAddHook.store(add);
    sRepaintHook.store(repaint);
}

void layer_flip(layer* target, int x, int y, int width, int height) {
    if (target == nullptr || target->back == nullptr || target->front == nullptr) {
        dbg_printf_h("LAYER flip of a layer without buffers ignored");
        return;
    }
    // Clip in 64 bits: callers pass rectangles that may reach far past the screen.
    const long long left = std::max<long long>(x, 0);
    const long long top = std::max<long long>(y, 0);
    const long long right = std::min<long long>(static_cast<long long>(x) + width, target->width);
    const long long bottom = std::min<long long>(static_cast<long long>(y) + height, target->height);
    if (left >= right || top >= bottom) {
        return;
    }
    const size_t rowBytes = static_cast<size_t>(right - left) * sizeof(uint32_t);
    // A repaint that drew what was there already changes nothing on the screen: the canvas is not composed,
    // copied or painted for it.
    bool changed = false;
    for (long long row = top; row < bottom; ++row) {
        const size_t offset = static_cast<size_t>(row * target->width + left);
        if (changed || std::memcmp(target->front + offset, target->back + offset, rowBytes) != 0) {
            changed = true;
            std::memcpy(target->front + offset, target->back + offset, rowBytes);
        }
    }
    if (!changed) {
        return;
    }
    if (layer_repaint_hook repaint = sRepaintHook.load()) {
        repaint(target, static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                static_cast<int>(bottom - top));
    }
}

} // namespace tdx
