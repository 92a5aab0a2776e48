// The snap target for one pointer position on a 5 MP picture at the fit
// ratio, against reading the same square of pixels.
#include "image/EdgeSnap.h"
#include "simcam/TestPattern.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr int kW = 2592, kH = 1944;
constexpr int kScreenRadius = 6;
constexpr double kFitRatio = 0.39;

const std::vector<uint8_t>& Scene()
{
    static const std::vector<uint8_t> frame = simcam::CTestPattern::StillFrame(kW, kH);
    return frame;
}

// Pointer positions across the picture: on rings, grid lines and plain ground.
POINT PointerAt(int64_t i)
{
    return POINT{int32_t(100 + (i * 7919) % (kW - 200)), int32_t(100 + (i * 4001) % (kH - 200))};
}

void BM_EdgeSnap5MP(benchmark::State& state)
{
    const std::vector<uint8_t>& px = Scene();
    const image::PIXEL_VIEW view{px.data(), IMAGE_INFO{24, kW, kH}, kW * 3};
    const int32_t r = image::SnapRadius(kFitRatio, kScreenRadius);
    image::CEdgeSnap snap;
    int64_t i = 0;
    for (auto _ : state) {
        POINT t{};
        benchmark::DoNotOptimize(snap.FindTarget(view, PointerAt(i++), r, t));
        benchmark::DoNotOptimize(t);
    }
}
BENCHMARK(BM_EdgeSnap5MP)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_EdgeSnap5MP_Baseline(benchmark::State& state)
{
    const std::vector<uint8_t>& px = Scene();
    const int32_t half = image::CEdgeSnap::ReadHalfSide(image::SnapRadius(kFitRatio, kScreenRadius));
    int64_t i = 0;
    for (auto _ : state) {
        const POINT p = PointerAt(i++);
        uint32_t sum = 0;
        for (int32_t y = p.y - half; y <= p.y + half; ++y) {
            const uint8_t* row = px.data() + (size_t(y) * kW + size_t(p.x - half)) * 3;
            for (int32_t x = 0; x < (2 * half + 1) * 3; ++x) {
                sum += row[x];
            }
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_EdgeSnap5MP_Baseline)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace
