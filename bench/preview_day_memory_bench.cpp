// The default panel flown for a whole simulated day at the host's own 18
// cycles a second, without drawing: the process's peak resident memory
// after the first hour and after the day, side by side. They should match.
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

#include "bench/default_panel.h"

namespace {

// Peak resident memory so far, in megabytes.
double peak_resident_mb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    return -1;
}

void BM_DefaultPanelForADay(benchmark::State& state) {
    for (auto _ : state) {
        bench::DefaultPanel p;
        p.session->run_to(p.scenario, 3600);
        state.counters["peak_rss_mb_1h"] = peak_resident_mb();
        p.session->run_to(p.scenario, 24 * 3600);
        state.counters["peak_rss_mb_24h"] = peak_resident_mb();
        state.counters["cycles"] = p.session->time() / p.host.seconds_per_cycle;
    }
}
BENCHMARK(BM_DefaultPanelForADay)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
