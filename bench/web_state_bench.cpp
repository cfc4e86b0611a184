// What the live panel's server spends per host cycle, side by side in one
// run: today's way (render the whole panel and encode it as PNG) and the
// page-drawn way (take the drawn state and build the message of what
// changed), with the bytes each puts on the wire per cycle.
#include <benchmark/benchmark.h>

#include "bench/default_panel.h"
#include "preview/image.h"
#include "web/panel_state.h"

namespace {

using Panel = bench::DefaultPanel;

Panel& panel() {
    static Panel p;
    return p;
}

void BM_RenderAndEncodePng(benchmark::State& state) {
    auto& p = panel();
    std::vector<uint8_t> png;
    size_t bytes = 0;
    for (auto _ : state) {
        p.session->play_cycle(p.scenario);
        sim::encode_png(p.session->render({}), &png, 1);
        bytes += png.size();
    }
    state.counters["bytes_per_cycle"] = double(bytes) / double(state.iterations());
}
BENCHMARK(BM_RenderAndEncodePng)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

void BM_SnapshotAndDelta(benchmark::State& state) {
    auto& p = panel();
    sim::PanelDescription description(*p.session, sim::module_bitmap_lookup(), {});
    sim::PanelSnapshot before, after;
    description.snapshot(&before);
    size_t bytes = 0;
    for (auto _ : state) {
        p.session->play_cycle(p.scenario);
        description.snapshot(&after);
        bytes += sim::state_message(&before, after).size();
        std::swap(before, after);
    }
    state.counters["bytes_per_cycle"] = double(bytes) / double(state.iterations());
}
BENCHMARK(BM_SnapshotAndDelta)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

}  // namespace

BENCHMARK_MAIN();
