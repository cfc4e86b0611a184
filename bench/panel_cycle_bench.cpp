// One full update cycle of every gauge of the module, placed once, through
// the test host: time per cycle and heap allocations made by module code.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

#include "bench/module_allocations.h"
#include "host/sim_host.h"

namespace {

struct Panel {
    sim::SimHost host;
    Panel() {
        std::string error;
        sim::LoadedModule* m = host.load_module(MORVANE_MODULE_PATH, &error);
        if (!m) {
            std::fprintf(stderr, "%s\n", error.c_str());
            std::exit(1);
        }
        bench::watch_module(m->linkage());
        for (GaugeHeader* g : m->gauges()) host.place_header(m, g, nullptr, nullptr);
        for (auto& p : host.placements()) host.setup(*p);
        host.set_var(61, 120);
        host.cycle();
    }
};

void BM_PanelCycle(benchmark::State& state) {
    Panel panel;
    uint64_t before = bench::module_allocations();
    for (auto _ : state) panel.host.cycle();
    double allocations = double(bench::module_allocations() - before);
    state.counters["module_allocs_per_cycle"] = benchmark::Counter(allocations / double(state.iterations()));
    state.counters["gauges"] = double(panel.host.placements().size());
}
BENCHMARK(BM_PanelCycle);

}  // namespace

BENCHMARK_MAIN();
