// Frames per second the live panel server sustains for one client that
// fetches every frame it is told of, beside the bare render-and-encode rate
// of the same panel in the same run.
#include <benchmark/benchmark.h>
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "preview/panel_session.h"
#include "bench/default_panel.h"
#include "preview/preview_support.h"
#include "web/web_server.h"

namespace {

using Panel = bench::DefaultPanel;

Panel& panel() {
    static Panel p;
    return p;
}

// What one frame costs without a server: a cycle, the render, the PNG.
void BM_BareFrame(benchmark::State& state) {
    auto& p = panel();
    std::vector<uint8_t> png;
    for (auto _ : state) {
        p.session->cycle();
        sim::encode_png(p.session->render({}), &png, 1);
    }
    state.counters["frames_per_s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_BareFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

// The server at its panel rate with one client fetching each new frame.
void BM_ServedFrames(benchmark::State& state) {
    auto& p = panel();
    for (auto _ : state) {
        sim::PanelWebServer server(*p.session, p.scenario, {});
        std::string error;
        if (!server.start(0, &error)) Panel::die(error);
        std::atomic<uint64_t> fetched{0};
        std::thread client([&] {
            httplib::Client c("127.0.0.1", server.port());
            uint64_t last = 0;
            auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
            while (std::chrono::steady_clock::now() < until) {
                if (server.frames() == last) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                    continue;
                }
                last = server.frames();
                if (auto r = c.Get("/frame.png"); r && r->status == 200) ++fetched;
            }
            server.stop();
        });
        server.run_panel(5);
        client.join();
        state.counters["frames_served_per_s"] = double(fetched) / 3.0;
        state.counters["frames_rendered"] = double(server.frames());
    }
}
BENCHMARK(BM_ServedFrames)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
