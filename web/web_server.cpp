#include "web/web_server.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "platform/linux/sound_inspect.h"
#include "preview/preview_support.h"
#include "web/page_files.h"
#include "web/pilot_routes.h"

namespace sim {

namespace {

using Clock = std::chrono::steady_clock;

// Sounds a page that skipped states can still catch up on.
constexpr size_t kRecentSounds = 64;
// A host that fell this far behind its clock starts again from now
// instead of racing to catch up.
constexpr double kMaxLagSeconds = 1.0;

}  // namespace

PanelWebServer::PanelWebServer(PanelSession& session, const Scenario& scenario, RenderOptions options)
    : session_(session), scenario_(scenario), options_(options), lookup_(module_bitmap_lookup()) {
    http_.set_handler([this](const HttpRequest& req, Reply reply) { handle(req, std::move(reply)); });
    HttpServer::Stream stream;
    stream.admit = [this](const HttpRequest& req) { return refusal(req, true); };
    stream.next = [this](uint64_t client, std::string* message) { return stream_next(client, message); };
    stream.closed = [this](uint64_t client) { clients_.erase(client); };
    http_.set_stream("/live", std::move(stream));
    install_pilot_routes(*this, session_);
}

PanelWebServer::~PanelWebServer() {
    stop();
    http_.stop();
    // Tasks still queued answer that the panel has stopped; they own all
    // they refer to.
    std::deque<Task> left;
    {
        std::lock_guard<std::mutex> lock(queue_mutex_);
        left.swap(queue_);
    }
    for (Task& t : left) t(false);
}

bool PanelWebServer::start(int port, std::string* error) {
    description_ = std::make_unique<PanelDescription>(session_, lookup_, options_);
    publish();  // a page has a state from its first request
    return http_.start(port, error);
}

void PanelWebServer::stop() {
    stopping_ = true;
    queue_changed_.notify_all();
}

void PanelWebServer::run_scenario() {
    std::lock_guard<std::mutex> lock(queue_mutex_);
    queue_.push_back([this](bool run) {
        if (run) reset_and_maybe_run(true);
    });
    queue_changed_.notify_all();
}

// ------------------------------------------------------------ the panel thread

void PanelWebServer::post_task(Reply reply, std::function<HttpResponse()> work) {
    std::lock_guard<std::mutex> lock(queue_mutex_);
    if (stopping_) return reply.send(error_response(503, "the panel has stopped"));
    queue_.push_back([reply, work = std::move(work)](bool run) {
        reply.send(run ? work() : error_response(503, "the panel has stopped"));
    });
    queue_changed_.notify_all();
}

void PanelWebServer::cycle_once() {
    // A held button repeats on the host's own clock (SimHost::cycle).
    if (scenario_running_) session_.play_cycle(scenario_);
    else session_.cycle();
    ++cycles_;
    publish();
}

void PanelWebServer::publish() {
    auto snap = std::make_shared<PanelSnapshot>();
    description_->snapshot(snap.get());
    const auto& played = sound_inspect::played();
    const uint64_t first_kept = sound_inspect::played_first_kept();
    if (sound_inspect::played_total() < sounds_seen_) sounds_seen_ = 0;  // the layer was reset
    for (; sounds_seen_ < sound_inspect::played_total(); ++sounds_seen_) {
        if (sounds_seen_ >= first_kept) recent_sounds_.push_back(played[size_t(sounds_seen_ - first_kept)].wave_id);
        ++sounds_total_;
    }
    if (recent_sounds_.size() > kRecentSounds)
        recent_sounds_.erase(recent_sounds_.begin(), recent_sounds_.end() - kRecentSounds);
    snap->serial = ++published_;
    snap->seq = cycles_;
    snap->sounds_total = sounds_total_;
    snap->recent_sounds = recent_sounds_;
    snap->input = input_taken_;
    snap->scenario_running = scenario_running_;
    snap->paused = paused_;
    snap->status = simulation_status();
    {
        std::lock_guard<std::mutex> lock(state_mutex_);
        latest_ = std::move(snap);
    }
    http_.notify_stream();
}

// The simulation's status for the page, and on stdout every ten seconds
// (the live panel's log).
std::string PanelWebServer::simulation_status() {
    Simulation* simulation = session_.host().simulation();
    if (!simulation) return {};
    std::string status = simulation->status();
    double t = session_.time();
    if (!status.empty() && (status_printed_ < 0 || t - status_printed_ >= 10)) {
        std::printf("%8.2f s  %s\n", t, status.c_str());
        std::fflush(stdout);
        status_printed_ = t;
    }
    return status;
}

void PanelWebServer::run_panel(double max_seconds, const volatile std::sig_atomic_t* interrupted) {
    const auto period = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(session_.host().seconds_per_cycle));
    const auto begin = Clock::now();
    auto next_cycle = begin + period;
    while (!stopping_ && !(interrupted && *interrupted)) {
        std::deque<Task> tasks;
        {
            std::unique_lock<std::mutex> lock(queue_mutex_);
            // Wake for the next cycle, a request, or (seldom) a signal.
            auto wake = std::min(next_cycle, Clock::now() + std::chrono::milliseconds(200));
            queue_changed_.wait_until(lock, wake, [&] { return stopping_ || !queue_.empty(); });
            tasks.swap(queue_);
        }
        bool touched = !tasks.empty();
        for (Task& t : tasks) t(true);
        auto now = Clock::now();
        if (input_waiting_ && !paused_ && now < next_cycle && next_cycle - now <= period) {
            // A click is shown by the next cycle: that cycle comes now
            // instead of at its instant, and the clock stays the same.
            input_waiting_ = false;
            cycle_once();
            next_cycle += period;
        } else if (now >= next_cycle) {
            input_waiting_ = false;
            // The host's clock: cycles at fixed instants, so simulated time
            // keeps to wall time however long a cycle or a request took.
            if (!paused_) cycle_once();
            else publish();
            next_cycle += period;
            if (now - next_cycle > std::chrono::duration<double>(kMaxLagSeconds)) {
                skipped_ += uint64_t((now - next_cycle) / period);
                next_cycle = now + period;
            }
        } else if (touched) {
            publish();  // a window shown, a pause: the pages see it at once
        }
        if (max_seconds > 0 && std::chrono::duration<double>(Clock::now() - begin).count() >= max_seconds) break;
    }
    std::deque<Task> left;
    {
        std::lock_guard<std::mutex> lock(queue_mutex_);
        left.swap(queue_);
    }
    for (Task& t : left) t(false);
}

// ------------------------------------------------------------ the stream

bool PanelWebServer::stream_next(uint64_t client, std::string* message) {
    std::shared_ptr<const PanelSnapshot> latest;
    {
        std::lock_guard<std::mutex> lock(state_mutex_);
        latest = latest_;
    }
    if (!latest) return false;
    auto& last = clients_[client];
    if (last && last->serial == latest->serial) return false;
    uint64_t from = last ? last->serial : 0, to = latest->serial;
    if (from != cached_from_ || to != cached_to_) {
        cached_message_ = state_message(last.get(), *latest);
        cached_from_ = from, cached_to_ = to;
    }
    *message = cached_message_;
    last = latest;
    return true;
}

// ------------------------------------------------------------ requests

std::string PanelWebServer::refusal(const HttpRequest& req, bool changes_state) const {
    // Only the names of this machine's loopback address: a page of another
    // site whose name was pointed at 127.0.0.1 still sends its own name.
    const std::string port = std::to_string(http_.port());
    auto ours = [&](const std::string& host) { return host == "127.0.0.1:" + port || host == "localhost:" + port; };
    std::string host = req.header("host");
    if (host.empty()) return "400 a Host header is required";
    if (!ours(host)) return "421 requests for host '" + host + "' are refused: this panel answers 127.0.0.1:" + port;
    if (!changes_state) return {};
    std::string origin = req.header("origin");
    if (!origin.empty() && !ours(origin.rfind("http://", 0) == 0 ? origin.substr(7) : std::string("-")))
        return "403 changes from another site ('" + origin + "') are refused";
    if (req.header("sec-fetch-site") == "cross-site") return "403 changes from another site are refused";
    return {};
}

void PanelWebServer::handle(const HttpRequest& req, Reply reply) {
    const bool get = req.method == "GET" || req.method == "HEAD";
    if (!get && req.method != "POST") return reply.send(error_response(405, "method " + req.method + " is not served"));
    if (std::string why = refusal(req, !get); !why.empty())
        return reply.send(error_response(std::atoi(why.c_str()), why.substr(4)));
    if (!get && (!req.body.empty() || !req.header("content-type").empty()))
        return reply.send(error_response(415, "parameters go in the query: request bodies are refused"));
    std::map<std::string, std::string> params;
    std::string why;
    if (!parse_query(req.query, &params, &why)) return reply.send(error_response(400, why));
    if (const PageFile* file = get ? find_page_file(req.path) : nullptr) {
        HttpResponse r;
        r.content_type = file->media_type;
        r.body.assign(reinterpret_cast<const char*>(file->bytes), file->size);
        r.headers.emplace_back("Cache-Control", "no-cache");
        return reply.send(std::move(r));
    }
    const Call call{req, params, reply, session_.layout().screen_width(), session_.layout().screen_height()};
    for (const Route& route : routes()) {
        bool matches = route.prefix ? req.path.rfind(route.path, 0) == 0 : req.path == route.path;
        if (!matches) continue;
        if (route.post == get) return reply.send(error_response(405, req.path + " takes " + (route.post ? "POST" : "GET")));
        return (this->*route.serve)(call);
    }
    if (auto route = routes_.find(req.method + " " + req.path); route != routes_.end())
        return post_task(reply, [work = route->second, params] { return work(params); });
    reply.send(error_response(404, "no such page: " + req.path));
}

}  // namespace sim
