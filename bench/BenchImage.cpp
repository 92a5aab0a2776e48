// The image buffer on the frame path: grey conversion, JPEG save, drawing.
#include "image/AccImage.h"

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <turbojpeg.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int kW = 2592, kH = 1944;

std::vector<uint8_t> Frame()
{
    std::vector<uint8_t> v(size_t(kW) * kH * 3);
    for (size_t i = 0; i < v.size(); ++i) {
        v[i] = uint8_t((i * 2654435761u) >> 24);
    }
    return v;
}

// A smooth picture, like a camera's, so JPEG work is realistic.
std::vector<uint8_t> SmoothFrame()
{
    std::vector<uint8_t> v(size_t(kW) * kH * 3);
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            uint8_t* p = v.data() + (size_t(y) * kW + x) * 3;
            p[0] = uint8_t(x / 11 + y / 7);
            p[1] = uint8_t((x ^ y) >> 3);
            p[2] = uint8_t(((x / 64 + y / 64) & 1) ? 200 : 40);
        }
    }
    return v;
}

// The smooth frame in a picture buffer, copied in as the live view does.
void SetSmoothFrame(CAccImage& img)
{
    const std::vector<uint8_t> px = SmoothFrame();
    img.SetImage(px.data(), IMAGE_INFO{24, kW, kH}, kW * 3);
}

void BM_GrayConvert5MP(benchmark::State& state)
{
    std::vector<uint8_t> buf = Frame();
    for (auto _ : state) {
        CAccImage::ConvColorToGrayscale24Image(buf.data(), buf.size());
        benchmark::DoNotOptimize(buf.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(buf.size()));
}
BENCHMARK(BM_GrayConvert5MP)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_GrayConvert5MP_Baseline(benchmark::State& state)
{
    std::vector<uint8_t> src = Frame();
    std::vector<uint8_t> dst(src.size());
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), src.size());
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(src.size()));
}
BENCHMARK(BM_GrayConvert5MP_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SaveJpeg5MP(benchmark::State& state)
{
    CAccImage img;
    SetSmoothFrame(img);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.jpg"));
    for (auto _ : state) {
        if (!img.SaveImageFile(path, 80)) {
            state.SkipWithError("save failed");
            break;
        }
    }
}
BENCHMARK(BM_SaveJpeg5MP)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SaveJpeg5MP_Baseline(benchmark::State& state)
{
    CAccImage img;
    SetSmoothFrame(img);
    QTemporaryDir dir;
    const QByteArray path = dir.filePath(QStringLiteral("base.jpg")).toLocal8Bit();
    tjhandle h = tjInitCompress();
    for (auto _ : state) {
        unsigned char* out = nullptr;
        unsigned long size = 0;
        tjCompress2(h, img.LockPixels().Pixels(), kW, img.GetStride(), kH, TJPF_BGR, &out, &size, TJSAMP_420, 80, 0);
        FILE* fp = std::fopen(path.constData(), "wb");
        std::fwrite(out, 1, size, fp);
        std::fclose(fp);
        tjFree(out);
    }
    tjDestroy(h);
}
BENCHMARK(BM_SaveJpeg5MP_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DrawImage5MP(benchmark::State& state)
{
    CAccImage img;
    SetSmoothFrame(img);
    QImage target(1280, 960, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&target);
        benchmark::DoNotOptimize(img.DrawImage(painter, 1280, 960, nullptr, 0.0, 0, 0));
    }
}
BENCHMARK(BM_DrawImage5MP)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DrawImage5MP_Baseline(benchmark::State& state)
{
    const std::vector<uint8_t> px = SmoothFrame();
    const QImage prepared = QImage(px.data(), kW, kH, kW * 3, QImage::Format_BGR888).copy();
    QImage target(1280, 960, QImage::Format_RGB32);
    const QRectF dst(0, 0, 1280, 960);
    for (auto _ : state) {
        QPainter painter(&target);
        painter.drawImage(dst, prepared, QRectF(0, 0, kW, kH));
    }
}
BENCHMARK(BM_DrawImage5MP_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
