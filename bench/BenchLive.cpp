// One live frame from the ring to the screen at 2592 x 1944: the copy into the
// picture buffer, the area-averaged reduction and the drawing into a
// 1280 x 960 picture box at the fit ratio.
#include "image/AccImage.h"
#include "workflow/live/DisplayGeometry.h"
#include "workflow/live/PictureRenderer.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

constexpr int kW = 2592, kH = 1944;

// A camera-like frame: smooth shading with a one-pixel grid.
std::vector<uint8_t> LiveFrame()
{
    std::vector<uint8_t> v(size_t(kW) * kH * 3);
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            uint8_t* p = v.data() + (size_t(y) * kW + x) * 3;
            const bool line = x % 50 == 0 || y % 50 == 0;
            p[0] = line ? 0 : uint8_t(x / 11 + y / 7);
            p[1] = line ? 0 : uint8_t((x + y) >> 4);
            p[2] = line ? 0 : uint8_t(200 - y / 10);
        }
    }
    return v;
}

void BM_LiveFrame5MP(benchmark::State& state)
{
    const std::vector<uint8_t> frame = LiveFrame();
    const IMAGE_INFO info{24, kW, kH};
    CDisplayGeometry geometry;
    geometry.SetFrameRect(RECT{0, 0, 1280, 960});
    geometry.ResetView(info);
    const double ratio = geometry.CurrentView().CurDrawRatio;
    const POINT origin = geometry.GetScrollPos();
    const int32_t boxW = geometry.GetPictureBoxWidth(), boxH = geometry.GetPictureBoxHeight();
    CAccImage image;
    CPictureRenderer renderer;
    QImage box(boxW, boxH, QImage::Format_RGB32);
    for (auto _ : state) {
        if (!image.SetImage(frame.data(), info, kW * 3)) {
            state.SkipWithError("SetImage failed");
            break;
        }
        QPainter painter(&box);
        benchmark::DoNotOptimize(renderer.Draw(painter, image, boxW, boxH, ratio, origin.x, origin.y));
        painter.end();
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(frame.size()));
}
BENCHMARK(BM_LiveFrame5MP)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LiveFrame5MP_Baseline(benchmark::State& state)
{
    const std::vector<uint8_t> frame = LiveFrame();
    std::vector<uint8_t> dst(frame.size());
    for (auto _ : state) {
        std::memcpy(dst.data(), frame.data(), frame.size());
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(frame.size()));
}
BENCHMARK(BM_LiveFrame5MP_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
