// The frame path's first steps: the simulated camera producing a 5 MP frame
// and the controller's callback copying it into the ring.
#include "camera/CameraCtrl.h"
#include "simcam/TestPattern.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

// Mode 8, the simulated colour camera's 5 MP mode.
constexpr int kW = kCameraModeSizes[8].nWidth, kH = kCameraModeSizes[8].nHeight;
constexpr size_t kFrameBytes = size_t(kW) * kH * 3;

void BM_FrameCallback5MP(benchmark::State& state)
{
    CCameraCtrl ctrl;
    if (!ctrl.OpenCamera(0)) { // the simulated colour camera opens at 2592 x 1944
        state.SkipWithError("no simulated camera");
        return;
    }
    std::vector<uint8_t> frame(kFrameBytes, 0x5a);
    // Streaming goes round the ring: measure with every slot's pages resident.
    for (int i = 0; i < FRAME_RING_NUM; ++i) {
        ctrl.CopyFrameToRing(frame.data(), int(frame.size()));
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(ctrl.CopyFrameToRing(frame.data(), int(frame.size())));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kFrameBytes));
}
BENCHMARK(BM_FrameCallback5MP)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FrameCallback5MP_Baseline(benchmark::State& state)
{
    std::vector<uint8_t> frame(kFrameBytes, 0x5a);
    std::vector<uint8_t> dst(kFrameBytes);
    for (auto _ : state) {
        std::memcpy(dst.data(), frame.data(), kFrameBytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kFrameBytes));
}
BENCHMARK(BM_FrameCallback5MP_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SimcamFrame5MP(benchmark::State& state)
{
    simcam::CTestPattern pattern;
    pattern.Render(kW, kH, simcam::PATTERN_LOOK{}); // once, as the simulator does
    std::vector<uint8_t> frame(kFrameBytes);
    int ox = 0, oy = 0;
    simcam::CTestPattern::StillOffset(ox, oy);
    uint32_t n = 0;
    for (auto _ : state) {
        pattern.CutFrame(frame.data(), ox, oy, false, n);
        simcam::CTestPattern::DrawNumber(frame.data(), kW, kH, kW - 160, 12, ++n, 3);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kFrameBytes));
}
BENCHMARK(BM_SimcamFrame5MP)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SimcamFrame5MP_Baseline(benchmark::State& state)
{
    BM_FrameCallback5MP_Baseline(state);
}
BENCHMARK(BM_SimcamFrame5MP_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
