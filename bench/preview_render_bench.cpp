// One full render of the default panel beside one update cycle of the same
// panel, in the same run: the render should sit well inside a 60 Hz frame
// (16.7 ms) on one core.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "preview/panel_session.h"
#include "bench/default_panel.h"
#include "preview/preview_support.h"

namespace {

using DefaultPanel = bench::DefaultPanel;

// In the climb: every needle off its stop.
DefaultPanel& panel() {
    static DefaultPanel p;
    static bool flown = (p.session->run_to(p.scenario, 60), true);
    (void)flown;
    return p;
}

void BM_UpdateCycle(benchmark::State& state) {
    auto& p = panel();
    for (auto _ : state) p.session->cycle();
}
BENCHMARK(BM_UpdateCycle)->Unit(benchmark::kMicrosecond);

void BM_RenderPanel(benchmark::State& state) {
    auto& p = panel();
    for (auto _ : state) benchmark::DoNotOptimize(p.session->render({}));
    state.counters["pixels"] = double(p.layout.screen_width()) * p.layout.screen_height();
}
BENCHMARK(BM_RenderPanel)->Unit(benchmark::kMillisecond);

void BM_RenderPanelAtNight(benchmark::State& state) {
    auto& p = panel();
    for (auto _ : state) benchmark::DoNotOptimize(p.session->render({.night = true}));
}
BENCHMARK(BM_RenderPanelAtNight)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
