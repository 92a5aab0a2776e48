// Saving the shown 5 MP picture as JPEG with 200 measurements burned in,
// against the same save without them.
#include "SaveScene.h"

#include "workflow/capture/OverlaySave.h"

#include <benchmark/benchmark.h>

namespace {

void BM_SaveWithOverlay5MP(benchmark::State& state)
{
    SAVE_SCENE scene(200);
    for (auto _ : state) {
        if (SaveImageWithOverlay(scene.image, &scene.input.Engine(), scene.Path(), RECT{}, 80) !=
            STILL_SAVE_RESULT::Saved) {
            state.SkipWithError("save failed");
            break;
        }
    }
}
BENCHMARK(BM_SaveWithOverlay5MP)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SaveWithOverlay5MP_Baseline(benchmark::State& state)
{
    SAVE_SCENE scene(0);
    for (auto _ : state) {
        if (SaveImageWithOverlay(scene.image, nullptr, scene.Path(), RECT{}, 80) != STILL_SAVE_RESULT::Saved) {
            state.SkipWithError("save failed");
            break;
        }
    }
}
BENCHMARK(BM_SaveWithOverlay5MP_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
