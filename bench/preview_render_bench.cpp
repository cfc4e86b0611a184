// One full render of the default panel beside one update cycle of the same
// panel, in the same run: the render should sit well inside a 60 Hz frame
// (16.7 ms) on one core.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "host/panel_session.h"
#include "host/preview_support.h"

namespace {

struct DefaultPanel {
    sim::SimHost host;
    sim::PanelLayout layout;
    sim::Scenario scenario;
    std::unique_ptr<sim::PanelSession> session;
    DefaultPanel() {
        std::string error;
        for (const std::string& path : sim::default_module_paths())
            if (!host.load_module(path, &error)) die(error);
        if (!sim::parse_panel_layout(sim::kDefaultPanelLayout, "built-in panel", &layout, &error)) die(error);
        if (!sim::parse_scenario(sim::kDefaultScenario, "built-in scenario", &scenario, &error)) die(error);
        session = std::make_unique<sim::PanelSession>(host, layout, sim::module_bitmap_lookup());
        if (!session->place_all("built-in panel", &error)) die(error);
        session->run_to(scenario, 60);  // in the climb: every needle off its stop
    }
    static void die(const std::string& e) {
        std::fprintf(stderr, "%s\n", e.c_str());
        std::exit(1);
    }
};

DefaultPanel& panel() {
    static DefaultPanel p;
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
