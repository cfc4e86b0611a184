// One full panel cycle: every gauge of the module placed once, the update
// notice, the refresh of every source variable, every update callback and
// one tooltip per gauge, through the test host. Beside it, in the same run,
// the host's own bare walk of the same records with no module callback
// called. Reported: time per cycle of each, their ratio, and the heap
// allocations made by module code per cycle (must be 0).
//
// Instruction counts, stable on a noisy machine:
//   valgrind --tool=callgrind --toggle-collect='*PanelCycleOnce*'
//       build/release/bench/panel_cycle_bench --benchmark_filter=Callgrind
// (see the README's performance section).
#include <benchmark/benchmark.h>

#include <chrono>
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
        // A panel in flight: needles off their stops.
        host.set_var(61, 120);
        host.set_var(74, 3500);
        host.set_var(390, 2100);
        host.set_var(429, 2100);
        host.set_var(614, 200);
        host.cycle();
    }

    // The point each gauge's tooltip is asked for: its middle.
    static void tooltips(sim::SimHost& host, bool call_arguments) {
        for (auto& p : host.placements()) benchmark::DoNotOptimize(p->hit(p->width / 2, p->height / 2, call_arguments));
    }
};

Panel& panel() {
    static Panel p;
    return p;
}

__attribute__((noinline)) void PanelCycleOnce(sim::SimHost& host) {
    host.cycle();
    Panel::tooltips(host, true);
}

__attribute__((noinline)) void BareWalkOnce(sim::SimHost& host) {
    for (auto& p : host.placements()) p->bare_cycle();
    Panel::tooltips(host, false);
}

double seconds_per(void (*fn)(sim::SimHost&), sim::SimHost& host, int n) {
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < n; ++i) fn(host);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / n;
}

void BM_PanelCycle(benchmark::State& state) {
    auto& p = panel();
    uint64_t before = bench::module_allocations();
    for (auto _ : state) PanelCycleOnce(p.host);
    double allocations = double(bench::module_allocations() - before);
    state.counters["module_allocs_per_cycle"] = allocations / double(state.iterations());
    state.counters["gauges"] = double(p.host.placements().size());
}
BENCHMARK(BM_PanelCycle)->Unit(benchmark::kMicrosecond);

void BM_HostBareWalk(benchmark::State& state) {
    auto& p = panel();
    for (auto _ : state) BareWalkOnce(p.host);
}
BENCHMARK(BM_HostBareWalk)->Unit(benchmark::kMicrosecond);

// Both, interleaved in rounds so machine noise falls on both alike: the
// ratio of the module's whole cycle to the host's bare walk, and what the
// module callbacks alone add, against the bare walk (target: <= 1).
void BM_CycleAgainstBareWalk(benchmark::State& state) {
    auto& p = panel();
    double full = 0, bare = 0;
    for (auto _ : state) {
        full += seconds_per(PanelCycleOnce, p.host, 50);
        bare += seconds_per(BareWalkOnce, p.host, 50);
    }
    state.counters["full_cycle_us"] = full / double(state.iterations()) * 1e6;
    state.counters["bare_walk_us"] = bare / double(state.iterations()) * 1e6;
    state.counters["full_over_bare"] = full / bare;
    state.counters["callbacks_over_bare"] = (full - bare) / bare;
}
BENCHMARK(BM_CycleAgainstBareWalk)->Iterations(20)->Unit(benchmark::kMillisecond);

// A fixed number of each, for counting instructions under callgrind.
void BM_Callgrind(benchmark::State& state) {
    auto& p = panel();
    for (auto _ : state) {
        for (int i = 0; i < 100; ++i) PanelCycleOnce(p.host);
        for (int i = 0; i < 100; ++i) BareWalkOnce(p.host);
    }
}
BENCHMARK(BM_Callgrind)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
