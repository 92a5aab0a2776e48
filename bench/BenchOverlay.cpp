// Redrawing the overlay and picking a shape, against showing one frame and a
// plain pass over the shapes' points.
#include "engine/LayeredInput.h"
#include "engine/OverlayMessages.h"
#include "engine/QtTextMeasurer.h"
#include "engine/RgnDataDrawer.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

namespace {

constexpr int kW = 2592, kH = 1944;

struct MEASURED_SCENE {
    CQtTextMeasurer measurer;
    CRecordingSink sink;
    CLayeredInput input{&sink};
    explicit MEASURED_SCENE(int nMeasurements, double dRatio)
    {
        CRgnDataCtrl& eng = input.Engine();
        eng.SetDrawWindow(&measurer);
        eng.SetImageSize(kW, kH, 1.0);
        eng.SetCalibration(0.01, 2, 1, FALSE);
        input.SetInitialised(TRUE);
        std::mt19937 rng(99);
        auto rp = [&] { return POINT{20 + int(rng() % (kW - 40)), 20 + int(rng() % (kH - 40))}; };
        const int kinds[] = {MEAS_LENGTH, MEAS_CIRCLE, MEAS_ANGLE, MEAS_PARALLEL, MEAS_LENGTH};
        int made = 0;
        while (made < nMeasurements) {
            const size_t before = eng.GetMeasureArray().size();
            const int kind = kinds[made % 5];
            input.StartMakeShape(kind);
            for (int i = 0; i < 3 && input.IsMakingShape(); ++i) {
                input.OnLButtonDown(MK_LBUTTON, rp());
            }
            input.CancelInput();
            made += eng.GetMeasureArray().size() > before ? 1 : 0;
        }
        eng.SetView(dRatio, 0, 0);
    }
};

void BM_OverlayDraw5MP(benchmark::State& state)
{
    const double ratio = 1280.0 / kW; // fit
    MEASURED_SCENE scene(200, ratio);
    CRgnDataDrawer drawer;
    QImage target(1280, 960, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&target);
        drawer.Draw(scene.input.Engine(), painter, 1280, 960); // blended over the frame beneath
    }
    state.counters["full_renders"] = drawer.LayerRenderCount();
}
BENCHMARK(BM_OverlayDraw5MP)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OverlayDraw5MP_Baseline(benchmark::State& state)
{
    QImage frame(kW, kH, QImage::Format_RGB32);
    frame.fill(QColor(90, 120, 150));
    QImage target(1280, 960, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&target);
        painter.drawImage(QRectF(0, 0, 1280, 960), frame, QRectF(0, 0, kW, kH));
    }
}
BENCHMARK(BM_OverlayDraw5MP_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime();

std::vector<POINT> Probes()
{
    std::mt19937 rng(5);
    std::vector<POINT> probes(256);
    for (POINT& p : probes) {
        p = POINT{int(rng() % kW), int(rng() % kH)};
    }
    return probes;
}

void BM_HitTest(benchmark::State& state)
{
    MEASURED_SCENE scene(1000 / 3, 1.0); // about 1000 shapes with captions
    CRgnDataCtrl& eng = scene.input.Engine();
    const std::vector<POINT> probes = Probes();
    size_t i = 0;
    state.counters["shapes"] = double(eng.GetShapeList().size());
    for (auto _ : state) {
        benchmark::DoNotOptimize(eng.SelectAt(probes[i++ & 255]));
    }
}
BENCHMARK(BM_HitTest)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_HitTest_Baseline(benchmark::State& state)
{
    MEASURED_SCENE scene(1000 / 3, 1.0);
    CRgnDataCtrl& eng = scene.input.Engine();
    const std::vector<POINT> probes = Probes();
    size_t i = 0;
    for (auto _ : state) {
        // One pass computing the distance from the point to each shape's points.
        const POINT p = probes[i++ & 255];
        double best = 1e300;
        for (const CQSRgnData& s : eng.GetShapeList()) {
            const RGN_DATA& d = s.Data();
            for (int k = 0; k < d.nPointNum; ++k) {
                best = std::min(best, std::hypot(double(d.nX[k] - p.x), double(d.nY[k] - p.y)));
            }
        }
        benchmark::DoNotOptimize(best);
    }
}
BENCHMARK(BM_HitTest_Baseline)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace
