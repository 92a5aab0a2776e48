// A UVC camera's 5 MP frame from its mapped buffer to the BGR frame the
// callback hands on: MJPEG against TurboJPEG called directly, YUYV against a
// plain copy of the raw frame.
#include "uvccam/UvcFrameConvert.h"

#include <turbojpeg.h>

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

constexpr int kW = 2592, kH = 1944;

// A camera-like JPEG: 4:2:2, a picture with edges and gradients.
const std::vector<uint8_t>& Jpeg5MP()
{
    static const std::vector<uint8_t> jpeg = [] {
        std::vector<uint8_t> bgr(size_t(kW) * kH * 3);
        for (int y = 0; y < kH; ++y) {
            for (int x = 0; x < kW; ++x) {
                uint8_t* p = &bgr[(size_t(y) * kW + x) * 3];
                p[0] = uint8_t(x / 11);
                p[1] = uint8_t(((x / 64 + y / 64) % 2) * 180 + 30);
                p[2] = uint8_t(y / 8);
            }
        }
        tjhandle h = tjInitCompress();
        unsigned char* pOut = nullptr;
        unsigned long nOut = 0;
        tjCompress2(h, bgr.data(), kW, kW * 3, kH, TJPF_BGR, &pOut, &nOut, TJSAMP_422, 85, 0);
        std::vector<uint8_t> out(pOut, pOut + nOut);
        tjFree(pOut);
        tjDestroy(h);
        return out;
    }();
    return jpeg;
}

void BM_UvcMjpegFrame5MP(benchmark::State& state)
{
    const std::vector<uint8_t>& jpeg = Jpeg5MP();
    std::vector<uint8_t> frame(size_t(kW) * kH * 3);
    uvccam::CMjpegDecoder decoder;
    for (auto _ : state) {
        if (!decoder.Decode(jpeg.data(), jpeg.size(), kW, kH, frame.data())) {
            state.SkipWithError("decode failed");
            return;
        }
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_UvcMjpegFrame5MP)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_UvcMjpegFrame5MP_Baseline(benchmark::State& state)
{
    const std::vector<uint8_t>& jpeg = Jpeg5MP();
    std::vector<uint8_t> frame(size_t(kW) * kH * 3);
    tjhandle h = tjInitDecompress();
    for (auto _ : state) {
        tjDecompress2(h, jpeg.data(), jpeg.size(), frame.data(), kW, kW * 3, kH, TJPF_BGR, 0);
        benchmark::ClobberMemory();
    }
    tjDestroy(h);
}
BENCHMARK(BM_UvcMjpegFrame5MP_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_UvcYuyvFrame5MP(benchmark::State& state)
{
    std::vector<uint8_t> yuyv(size_t(kW) * kH * 2);
    for (size_t i = 0; i < yuyv.size(); ++i) {
        yuyv[i] = uint8_t(i * 7 + i / 4096);
    }
    std::vector<uint8_t> frame(size_t(kW) * kH * 3);
    for (auto _ : state) {
        uvccam::YuyvToBgr(yuyv.data(), size_t(kW) * 2, kW, kH, frame.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_UvcYuyvFrame5MP)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_UvcYuyvFrame5MP_Baseline(benchmark::State& state)
{
    std::vector<uint8_t> yuyv(size_t(kW) * kH * 2, 0x80);
    std::vector<uint8_t> copy(yuyv.size());
    for (auto _ : state) {
        std::memcpy(copy.data(), yuyv.data(), yuyv.size());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_UvcYuyvFrame5MP_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
