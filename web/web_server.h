// The live panel in a web browser: a small HTTP server on the loopback
// address serves one page that shows the panel, pushes a frame notice every
// host cycle, forwards clicks, held buttons and drags to the host's
// hit-testing, answers tooltips and cursors, plays the modules' sounds and
// sets simulator variables from a control strip.
//
// The gauge modules may only be called from one thread, the panel thread,
// so every request that touches the panel is queued for it; the HTTP
// threads only read the last frame and the event counters.
#pragma once

#include <atomic>
#include <condition_variable>
#include <csignal>
#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "preview/panel_session.h"

namespace httplib {
class Server;
}

namespace sim {

class PanelWebServer {
public:
    PanelWebServer(PanelSession& session, const Scenario& scenario, RenderOptions options);
    ~PanelWebServer();

    // Binds to the address (loopback only) and port (0: any free port),
    // renders the first frame and starts answering requests on a thread of
    // its own. Call it from the panel thread.
    bool start(int port, std::string* error);
    int port() const { return port_; }

    // The panel thread: cycles the panel at the host's rate, runs queued
    // requests between cycles and renders a frame after each, until stop(),
    // `max_seconds` of running (0: no limit) or *interrupted.
    void run_panel(double max_seconds = 0, const volatile std::sig_atomic_t* interrupted = nullptr);
    void stop();

    // Frames rendered so far (for the benchmark and the tests).
    uint64_t frames() const { return frame_seq_.load(); }

private:
    void install_routes();
    // Runs fn on the panel thread and waits for it (false on timeout or stop).
    bool on_panel(std::function<void()> fn);
    void render_frame();
    void note_sounds();

    PanelSession& session_;
    const Scenario& scenario_;
    RenderOptions options_;
    std::unique_ptr<httplib::Server> server_;
    std::thread http_thread_;
    int port_ = 0;
    std::atomic<bool> stopping_{false};

    std::mutex queue_mutex_;
    std::deque<std::packaged_task<void()>> queue_;

    // What the HTTP threads read, guarded by state_mutex_.
    mutable std::mutex state_mutex_;
    std::condition_variable changed_;
    std::vector<uint8_t> frame_png_;
    std::atomic<uint64_t> frame_seq_{0};
    std::vector<uint32_t> sounds_;  // wave ids in the order played
    size_t sounds_seen_ = 0;

    // Panel-thread state.
    PlacedGauge* pressed_gauge_ = nullptr;
    bool scenario_running_ = false;
};

}  // namespace sim
