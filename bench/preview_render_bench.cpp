// The default panel's screen, side by side in one run: drawn from nothing
// as the previewer used to draw every frame; drawn from the gauges' kept
// layers when every gauge changed; and in a typical cycle of the climb,
// where few gauges move. Beside them one update cycle, and the video export
// of the whole built-in circuit at 30 frames a second, whose
// flight_seconds_per_second must stay above 1 (faster than the flight).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "bench/default_panel.h"
#include "preview/panel_session.h"
#include "preview/preview_cli.h"
#include "preview/preview_support.h"

namespace {

using DefaultPanel = bench::DefaultPanel;

// In the climb: every needle off its stop.
DefaultPanel& panel() {
    static DefaultPanel p;
    static bool flown = (p.session->run_to(p.scenario, 60), p.session->screen({}), p.session->cycle(),
                         p.session->screen({}), true);
    (void)flown;
    return p;
}

// One cycle of the climb, then the screen: only the gauges that moved.
// Measured first, from 60 s into the climb, one cycle an iteration (the
// climb lasts to 114 s; one host serves every benchmark).
void BM_RenderTypicalCycle(benchmark::State& state) {
    auto& p = panel();
    uint64_t changes = p.session->screen_changes();
    for (auto _ : state) {
        state.PauseTiming();
        p.session->run_to(p.scenario, p.session->time() + p.host.seconds_per_cycle);
        state.ResumeTiming();
        benchmark::DoNotOptimize(p.session->screen({}).pixels.data());
    }
    state.counters["changed_screens"] = double(p.session->screen_changes() - changes) / double(state.iterations());
}
BENCHMARK(BM_RenderTypicalCycle)->Unit(benchmark::kMillisecond)->Iterations(400);

void BM_UpdateCycle(benchmark::State& state) {
    auto& p = panel();
    for (auto _ : state) p.session->cycle();
}
BENCHMARK(BM_UpdateCycle)->Unit(benchmark::kMicrosecond);

// Every gauge from its background up, the whole screen composed.
void BM_RenderFromNothing(benchmark::State& state) {
    auto& p = panel();
    for (auto _ : state) benchmark::DoNotOptimize(p.session->render_full({}));
    state.counters["pixels"] = double(p.layout.screen_width()) * p.layout.screen_height();
}
BENCHMARK(BM_RenderFromNothing)->Unit(benchmark::kMillisecond);

// Every gauge's moving layers drawn again over its kept background.
void BM_RenderAllGaugesChanged(benchmark::State& state) {
    auto& p = panel();
    for (auto _ : state) {
        p.session->redraw_all_gauges();
        benchmark::DoNotOptimize(p.session->screen({}).pixels.data());
    }
}
BENCHMARK(BM_RenderAllGaugesChanged)->Unit(benchmark::kMillisecond);

void BM_RenderAtNightFromNothing(benchmark::State& state) {
    auto& p = panel();
    for (auto _ : state) benchmark::DoNotOptimize(p.session->render_full({.night = true}));
}
BENCHMARK(BM_RenderAtNightFromNothing)->Unit(benchmark::kMillisecond);

// The whole built-in circuit as a 30 frames a second video with its sound,
// through the command line as a user runs it, with a host of its own: run
// it alone (--benchmark_filter=Video), as one host at a time owns the sound
// layer.
void BM_VideoExportOfTheCircuit(benchmark::State& state) {
    if (sim::SimHost::current()) {
        state.SkipWithError("another host owns the sound layer: run with --benchmark_filter=Video");
        return;
    }
    std::string folder = "/tmp/morvane_video_bench_" + std::to_string(::getpid());
    sim::Scenario circuit;
    std::string error;
    if (!sim::parse_scenario(sim::kDefaultScenario, "built-in", &circuit, &error)) state.SkipWithError(error.c_str());
    double flight = 0, wall = 0, cpu = 0;
    for (auto _ : state) {
        std::vector<std::string> words{"morvane-preview", "--out", folder, "--video", folder + "/circuit.mp4", "--fps", "30"};
        std::vector<char*> argv;
        for (std::string& w : words) argv.push_back(w.data());
        argv.push_back(nullptr);
        auto start = std::chrono::steady_clock::now();
        std::clock_t cpu_start = std::clock();
        if (sim::run_preview_command(int(words.size()), argv.data(), nullptr) != 0) state.SkipWithError("export failed");
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        cpu += double(std::clock() - cpu_start) / CLOCKS_PER_SEC;
        flight += circuit.duration;
    }
    // Flight seconds encoded per second: of the clock on the wall, and of
    // the processor's time (the machine may be busy with other work).
    state.counters["flight_seconds_per_second"] = flight / wall;
    state.counters["flight_seconds_per_cpu_second"] = flight / cpu;
    std::system(("rm -rf '" + folder + "'").c_str());
}
BENCHMARK(BM_VideoExportOfTheCircuit)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
