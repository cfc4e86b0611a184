// The live panel in a web browser. The host runs on its own real-time
// clock, 18 cycles a second whatever the pages do; after each cycle the
// drawn state of every element is published, and each page receives over a
// WebSocket only what changed since the state it last received (a page that
// reads slowly skips states, and never slows the host). The page draws the
// panel itself from the bitmaps and layout it fetched once, forwards the
// mouse, asks for tooltips, plays the modules' sounds and sets simulator
// variables from a control strip.
//
// The gauge modules may only be called from one thread, the panel thread,
// so every request that touches the panel becomes a task for it. A task
// owns copies of what it needs and answers through its Reply: an answer
// that comes after its client left is dropped, and a task never refers to a
// request handler's stack.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "preview/panel_session.h"
#include "web/access.h"
#include "web/http_server.h"
#include "web/panel_state.h"

namespace sim {

class PanelWebServer {
public:
    PanelWebServer(PanelSession& session, const Scenario& scenario, RenderOptions options);
    ~PanelWebServer();

    // Binds to 127.0.0.1 and the port (0: any free port), describes the
    // panel for the page and starts answering requests on a thread of its
    // own. Call it from the panel thread. False with a clear reason when the
    // port is in use.
    bool start(int port, std::string* error) {
        ServeOptions o;
        o.port = port;
        return start(o, error);
    }
    // The same on another address; off the loopback address only with the
    // access keys (see access.h).
    bool start(const ServeOptions& options, std::string* error);
    int port() const { return http_.port(); }
    const PanelAccess& access() const { return access_; }

    // A route of another part of the program (an aircraft's pilot controls,
    // say): its work runs on the panel thread with the request's strictly
    // decoded query parameters, and its answer goes back to the page. Add
    // routes before start().
    using PanelRoute = std::function<HttpResponse(const std::map<std::string, std::string>& params)>;
    void add_route(const std::string& method, const std::string& path, PanelRoute route) {
        routes_[method + " " + path] = std::move(route);
    }

    // Plays the scenario from its beginning (at once, or with the next
    // cycle when the panel runs).
    void run_scenario();

    // The panel thread: cycles the panel on the host's real-time clock and
    // runs the pages' requests as they come, until stop(), `max_seconds` of
    // running (0: no limit) or *interrupted.
    void run_panel(double max_seconds = 0, const volatile std::sig_atomic_t* interrupted = nullptr);
    void stop();

    // Host cycles run so far, and cycles skipped because the machine could
    // not keep up (for the benchmark and the tests).
    uint64_t cycles() const { return cycles_.load(); }
    uint64_t cycles_skipped() const { return skipped_.load(); }
    // Bytes sent to stream clients so far.
    uint64_t stream_bytes() const { return http_.stream_bytes(); }
    size_t connections() const { return http_.connections(); }
    // Still pictures drawn so far (one serves every request of its cycle).
    uint64_t stills_drawn() const { return stills_drawn_.load(); }
    // Requests waiting for the panel thread.
    size_t tasks_waiting() const {
        std::lock_guard<std::mutex> lock(queue_mutex_);
        return queue_.size();
    }
    HttpServer::Limits& limits() { return http_.limits(); }

private:
    using Task = std::function<void(bool run)>;  // run false: the panel stopped first
    // One request, its parameters decoded, and the screen's size.
    struct Call {
        const HttpRequest& req;
        const std::map<std::string, std::string>& params;
        const Reply& reply;
        long width, height;
    };
    struct Route {
        bool post;         // POST, else GET (and HEAD)
        const char* path;  // the whole path, or its start when prefix
        bool prefix;
        void (PanelWebServer::*serve)(const Call&);
    };
    static const std::vector<Route>& routes();
    void serve_layout(const Call& c);
    void serve_bitmap(const Call& c);
    void serve_state(const Call& c);
    void serve_still(const Call& c);
    void serve_hover(const Call& c);
    void serve_wave(const Call& c);
    void take_mouse(const Call& c);
    void set_variable(const Call& c);
    void run_or_stop_scenario(const Call& c);
    void pause_or_resume(const Call& c);
    void show_or_hide_window(const Call& c);
    void serve_checklist(const Call& c);
    void reset_aircraft(const Call& c);
    // The aircraft reset cold and dark (a held press let go), and the
    // scenario stopped unless `then_run`, which plays it from its
    // beginning on the fresh aircraft.
    void reset_and_maybe_run(bool then_run);

    void handle(const HttpRequest& req, Reply reply);
    // Refuses requests for other names, without the key, and, when they
    // change the panel or make the panel thread work, from other sites
    // (empty: allowed).
    std::string refusal(const HttpRequest& req, const std::map<std::string, std::string>& params, bool costly,
                        bool changes_state) const;
    // The still pictures asked for: drawn once for all who wait, when the
    // host's cycle leaves the time (panel thread).
    void serve_waiting_stills(std::chrono::steady_clock::time_point next_cycle);
    void post_task(Reply reply, std::function<HttpResponse()> work);
    void cycle_once();
    void publish();
    std::string simulation_status();
    bool stream_next(uint64_t client, std::string* message);

    PanelSession& session_;
    const Scenario& scenario_;
    RenderOptions options_;
    BitmapLookup lookup_;
    std::unique_ptr<PanelDescription> description_;
    std::map<std::string, PanelRoute> routes_;
    PanelAccess access_;
    HttpServer http_;
    std::atomic<bool> stopping_{false};

    mutable std::mutex queue_mutex_;
    std::condition_variable queue_changed_;
    std::deque<Task> queue_;
    // Still pictures asked for since the panel thread last looked.
    std::vector<std::pair<Reply, std::chrono::steady_clock::time_point>> still_asked_;

    // The last published state (shared with the server thread).
    mutable std::mutex state_mutex_;
    std::shared_ptr<const PanelSnapshot> latest_;
    // Server thread only: what each stream client last received, and the
    // message last built (most clients need the same one).
    std::map<uint64_t, std::shared_ptr<const PanelSnapshot>> clients_;
    uint64_t cached_from_ = ~0ull, cached_to_ = ~0ull;
    std::string cached_message_;

    std::atomic<uint64_t> cycles_{0}, skipped_{0}, stills_drawn_{0};
    std::atomic<uint64_t> inputs_{0};  // page inputs numbered as they come

    // Panel-thread state.
    PlacedGauge* pressed_gauge_ = nullptr;
    bool scenario_running_ = false;
    bool paused_ = false;
    uint64_t input_taken_ = 0;
    bool input_waiting_ = false;  // a press or release the next cycle should show
    uint64_t sounds_total_ = 0;
    uint64_t published_ = 0;
    uint64_t sounds_seen_ = 0;  // in the sound layer's count since reset
    std::vector<uint32_t> recent_sounds_;
    double status_printed_ = -1;  // host clock of the last status line on stdout
    // The last still picture and the publication it shows (under
    // state_mutex_); what drawing it cost, and who waits for the next one.
    std::shared_ptr<const HttpResponse> still_;
    uint64_t still_serial_ = 0;
    std::chrono::steady_clock::duration still_cost_{};
    std::vector<std::pair<Reply, std::chrono::steady_clock::time_point>> still_waiting_;
};

}  // namespace sim
