// The emulator's picture path: composing a full frame after a flip, and copying it at zoom x2 for the window.
#include "SourceHost/host/Canvas.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

using tdx::Canvas;

struct Frame {
    Frame() {
        for (size_t i = 0; i < pixels.size(); ++i) {
            pixels[i] = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFF;
        }
        canvas.AddLayer(0, &main);
    }
    std::vector<uint32_t> pixels = std::vector<uint32_t>(320 * 240);
    tdx::layer main{320, 240, 255, 0, 0, nullptr, pixels.data()};
    Canvas canvas{6, 6, 320, 240};
};

void BM_ComposeFullFrame(benchmark::State& state) {
    Frame frame;
    for (auto _ : state) {
        frame.canvas.Repaint();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ComposeFullFrame);

void BM_ComposeWithBlendedLayer(benchmark::State& state) {
    Frame frame;
    std::vector<uint32_t> overlay(70 * 24, 0x00FFFFFF);
    tdx::layer telemetry{70, 24, 130, 250, 200, nullptr, overlay.data()};
    frame.canvas.AddLayer(1, &telemetry);
    for (auto _ : state) {
        frame.canvas.Repaint();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ComposeWithBlendedLayer);

void BM_PaintZoomedX2(benchmark::State& state) {
    Frame frame;
    frame.canvas.Repaint();
    std::vector<uint32_t> window(640 * 480);
    for (auto _ : state) {
        frame.canvas.CopyTo(window.data(), 640, 2);
        benchmark::DoNotOptimize(window.data());
    }
}
BENCHMARK(BM_PaintZoomedX2);

} // namespace
