// The emulator's picture path: composing a full frame after a flip, and copying it at zoom x2 for the window.
// Each figure runs beside the plain loop that does the same copies on buffers of its own, and the program
// ends with the ratio of the two, so that a figure can be judged on any machine.
#include "SourceHost/host/Canvas.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

using tdx::Canvas;

constexpr int W = 320;
constexpr int H = 240;

std::vector<uint32_t> picture(size_t count) {
    std::vector<uint32_t> pixels(count);
    for (size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFF;
    }
    return pixels;
}

struct Frame {
    Frame() { canvas.AddLayer(0, &main); }
    std::vector<uint32_t> pixels = picture(W * H);
    tdx::layer main{W, H, 255, 0, 0, nullptr, pixels.data()};
    Canvas canvas{6, 6, W, H};
};

// The plain equivalents: the same pixels through the same copies, with nothing of the canvas around them,
// into buffers aligned as the canvas' own.
struct Plain {
    std::vector<uint32_t> pixels = picture(W * H);
    std::vector<uint32_t> overlay = std::vector<uint32_t>(70 * 24, 0x00FFFFFF);
    tdx::PixelBuffer back = tdx::PixelBuffer(W * H);
    tdx::PixelBuffer front = tdx::PixelBuffer(W * H);

    void rows() {
        for (int row = 0; row < H; ++row) {
            std::memcpy(back.data() + row * W, pixels.data() + row * W, W * sizeof(uint32_t));
        }
    }
    void blend(int x, int y, int width, int height, uint32_t a) {
        for (int row = 0; row < height; ++row) {
            uint32_t* to = back.data() + (y + row) * W + x;
            const uint32_t* from = overlay.data() + row * width;
            for (int i = 0; i < width; ++i) {
                uint32_t out = 0;
                for (int shift = 0; shift < 24; shift += 8) {
                    const uint32_t s = from[i] >> shift & 0xFF;
                    const uint32_t d = to[i] >> shift & 0xFF;
                    out |= (s * a + d * (255 - a) + 127) / 255 << shift;
                }
                to[i] = out;
            }
        }
    }
    void flip() { std::memcpy(front.data(), back.data(), back.size() * sizeof(uint32_t)); }
};

void BM_ComposeFullFrame(benchmark::State& state) {
    Frame frame;
    for (auto _ : state) {
        frame.canvas.Repaint();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ComposeFullFrame);

void BM_ComposeFullFrame_Plain(benchmark::State& state) {
    Plain plain;
    for (auto _ : state) {
        plain.rows();
        plain.flip();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ComposeFullFrame_Plain);

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

void BM_ComposeWithBlendedLayer_Plain(benchmark::State& state) {
    Plain plain;
    for (auto _ : state) {
        plain.rows();
        plain.blend(250, 200, 70, 24, 130);
        plain.flip();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ComposeWithBlendedLayer_Plain);

void BM_PaintZoomedX2(benchmark::State& state) {
    Frame frame;
    frame.canvas.Repaint();
    tdx::PixelBuffer window(640 * 480);
    for (auto _ : state) {
        frame.canvas.CopyTo(window.data(), 640, 2);
        benchmark::DoNotOptimize(window.data());
    }
}
BENCHMARK(BM_PaintZoomedX2);

void BM_PaintZoomedX2_Plain(benchmark::State& state) {
    Plain plain;
    plain.rows();
    plain.flip();
    tdx::PixelBuffer window(640 * 480);
    for (auto _ : state) {
        for (int row = 0; row < H; ++row) {
            uint32_t* to = window.data() + row * 2 * 640;
            const uint32_t* from = plain.front.data() + row * W;
            for (int x = 0; x < W; ++x) {
                to[2 * x] = to[2 * x + 1] = from[x] | 0xFF000000u;
            }
            std::memcpy(to + 640, to, 640 * sizeof(uint32_t));
        }
        benchmark::DoNotOptimize(window.data());
    }
}
BENCHMARK(BM_PaintZoomedX2_Plain);

// Shows every run as the console does and keeps each one's time for the ratios at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                times[run.benchmark_name()] = run.GetAdjustedCPUTime();
            }
        }
    }
    void printRatios() const {
        std::printf("\n%-28s %12s %12s %8s\n", "figure", "canvas", "plain loop", "ratio");
        for (const auto& [name, time] : times) {
            const auto plain = times.find(name + "_Plain");
            if (plain == times.end() || plain->second <= 0) {
                continue;
            }
            std::printf("%-28s %9.1f us %9.1f us %7.2fx\n", name.c_str() + 3, time / 1000,
                        plain->second / 1000, time / plain->second);
        }
    }

private:
    std::map<std::string, double> times;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
