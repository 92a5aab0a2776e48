// Writing the measurement report of the shown 5 MP picture with 200
// measurements, against a plain JPEG save of the same picture.
#include "SaveScene.h"

#include "app/SystemSetting.h"
#include "workflow/capture/OverlaySave.h"
#include "workflow/measure/report/ReportFlow.h"

#include <benchmark/benchmark.h>

namespace {

void BM_WriteReport5MP(benchmark::State& state)
{
    SAVE_SCENE scene(200);
    SYSTEM_SETTING setting;
    SetDefaultSystemSetting(setting);
    setting.Calibration[0].bEnable = TRUE;
    std::vector<MEASURE_DATA> results;
    scene.input.Engine().CopyMeasureData(results);
    for (auto _ : state) {
        REPORT_CONTENT content = BuildReportContent(results, setting);
        content.header.cameraName = QStringLiteral("bench");
        if (!EncodeImageWithOverlay(scene.image, &scene.input.Engine(), setting.JpegQuality, content.jpeg) ||
            !WriteMeasureReport(scene.Path("report.pdf"), content)) {
            state.SkipWithError("report failed");
            break;
        }
    }
    state.counters["rows"] = double(results.size());
}
BENCHMARK(BM_WriteReport5MP)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WriteReport5MP_Baseline(benchmark::State& state)
{
    SAVE_SCENE scene(0);
    for (auto _ : state) {
        // 80: the settings' default quality, which the report uses too.
        if (SaveImageWithOverlay(scene.image, nullptr, scene.Path(), RECT{}, 80) != STILL_SAVE_RESULT::Saved) {
            state.SkipWithError("save failed");
            break;
        }
    }
}
BENCHMARK(BM_WriteReport5MP_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
