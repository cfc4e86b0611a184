#include "web/web_server.h"

#include <algorithm>
#include <chrono>
#include <cctype>
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

// A still picture asked for is drawn when the host's cycle leaves the time
// it took last; one that has waited this long is drawn anyway.
constexpr auto kStillPatience = std::chrono::milliseconds(500);

// Sounds a page that skipped states can still catch up on.
constexpr size_t kRecentSounds = 64;
// A host that fell this far behind its clock starts again from now
// instead of racing to catch up.
constexpr double kMaxLagSeconds = 1.0;

// A query component with everything but letters, digits and "-._~"
// escaped.
std::string query_escape(const std::string& s) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : s) {
        if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~') out += char(c);
        else out += std::string("%") + hex[c >> 4] + hex[c & 15];
    }
    return out;
}

}  // namespace

PanelWebServer::PanelWebServer(PanelSession& session, const Scenario& scenario, RenderOptions options)
    : session_(session), scenario_(scenario), options_(options), lookup_(module_bitmap_lookup()) {
    http_.set_handler([this](const HttpRequest& req, Reply reply) { handle(req, std::move(reply)); });
    HttpServer::Stream stream;
    stream.admit = [this](const HttpRequest& req) {
        std::map<std::string, std::string> params;
        std::string why;
        if (!parse_query(req.query, &params, &why)) return "400 " + why;
        return refusal(req, params, true, false);
    };
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
        for (auto& asked : still_asked_) still_waiting_.push_back(std::move(asked));
        still_asked_.clear();
    }
    for (Task& t : left) t(false);
    for (auto& [reply, since] : still_waiting_) reply.send(error_response(503, "the panel has stopped"));
}

bool PanelWebServer::start(const ServeOptions& options, std::string* error) {
    description_ = std::make_unique<PanelDescription>(session_, lookup_, options_);
    publish();  // a page has a state from its first request
    if (!http_.start(options.address, options.port, error)) return false;
    if (!access_.setup(options, http_.port(), error)) {
        http_.stop();
        return false;
    }
    return true;
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
            queue_changed_.wait_until(lock, wake, [&] { return stopping_ || !queue_.empty() || !still_asked_.empty(); });
            tasks.swap(queue_);
            // A picture asked for changes nothing: no new publication for it.
            for (auto& asked : still_asked_) still_waiting_.push_back(std::move(asked));
            still_asked_.clear();
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
        serve_waiting_stills(next_cycle);
        if (max_seconds > 0 && std::chrono::duration<double>(Clock::now() - begin).count() >= max_seconds) break;
    }
    std::deque<Task> left;
    {
        std::lock_guard<std::mutex> lock(queue_mutex_);
        left.swap(queue_);
    }
    for (Task& t : left) t(false);
    {
        std::lock_guard<std::mutex> lock(queue_mutex_);
        for (auto& asked : still_asked_) still_waiting_.push_back(std::move(asked));
        still_asked_.clear();
    }
    for (auto& [reply, since] : still_waiting_) reply.send(error_response(503, "the panel has stopped"));
    still_waiting_.clear();
}

void PanelWebServer::serve_waiting_stills(Clock::time_point next_cycle) {
    if (still_waiting_.empty()) return;
    std::shared_ptr<const HttpResponse> still;
    {
        std::lock_guard<std::mutex> lock(state_mutex_);
        if (still_serial_ == published_) still = still_;
    }
    if (!still) {
        auto now = Clock::now();
        // Drawing waits for a cycle with the time to spare, so that the host
        // keeps its clock however many pictures are asked for; one picture
        // serves everyone who asked since the last.
        // A picture that costs more than a cycle is still drawn for those
        // who waited, but takes no more than a tenth of the panel thread.
        bool waited = now - still_waiting_.front().second >= std::max<Clock::duration>(kStillPatience, 10 * still_cost_);
        if (!waited && next_cycle - now < still_cost_) return;
        std::vector<uint8_t> png;
        encode_png(session_.render(options_), &png, 1);
        auto r = std::make_shared<HttpResponse>();
        r->content_type = "image/png";
        r->body.assign(png.begin(), png.end());
        r->headers.emplace_back("Cache-Control", "no-store");
        r->headers.emplace_back("X-Seq", std::to_string(cycles_.load()));
        still_cost_ = Clock::now() - now;
        ++stills_drawn_;
        still = r;
        std::lock_guard<std::mutex> lock(state_mutex_);
        still_ = std::move(r);
        still_serial_ = published_;
    }
    for (auto& [reply, since] : still_waiting_) reply.send(*still);
    still_waiting_.clear();
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

std::string PanelWebServer::refusal(const HttpRequest& req, const std::map<std::string, std::string>& params,
                                    bool costly, bool changes_state) const {
    // Only this machine's names: a page of another site whose name was
    // pointed at this address still sends its own name.
    if (std::string why = access_.host_refusal(req); !why.empty()) return why;
    PanelAccess::Level level = access_.level(req, params);
    if (level == PanelAccess::kNone) return "401 this panel needs its access key";
    if (!costly && !changes_state) return {};
    // Changes, and work for the panel thread, only from the panel's own
    // page: another site's page (or image) may not drive it or slow it.
    std::string origin = req.header("origin");
    if (!access_.own_origin(origin)) return "403 requests from another site ('" + origin + "') are refused";
    std::string site = req.header("sec-fetch-site");
    if (site == "cross-site" || site == "same-site") return "403 requests from another site are refused";
    if (changes_state && level != PanelAccess::kControl) return "403 this key may watch the panel, not change it";
    return {};
}

void PanelWebServer::handle(const HttpRequest& req, Reply reply) {
    const bool get = req.method == "GET" || req.method == "HEAD";
    auto refuse = [&](const std::string& why) {
        HttpResponse r = error_response(std::atoi(why.c_str()), why.substr(4));
        if (r.status == 401) r.body = "this panel needs its access key\n";  // and nothing else
        reply.send(std::move(r));
    };
    if (!get && req.method != "POST") return reply.send(error_response(405, "method " + req.method + " is not served"));
    std::map<std::string, std::string> params;
    std::string why;
    if (!parse_query(req.query, &params, &why)) {
        if (std::string host = access_.host_refusal(req); !host.empty()) return refuse(host);
        return reply.send(error_response(400, why));
    }
    const PageFile* file = get ? find_page_file(req.path) : nullptr;
    const Route* route = nullptr;
    for (const Route& r : routes())
        if (!route && (r.prefix ? req.path.rfind(r.path, 0) == 0 : req.path == r.path)) route = &r;
    auto extra = routes_.find(req.method + " " + req.path);
    // Page files are free; every other answer either changes the panel or
    // asks the panel thread for work, but for the layout, its bitmaps and
    // the last published state, which are ready-made.
    const bool ready_made = file || (route && (route->serve == &PanelWebServer::serve_layout ||
                                               route->serve == &PanelWebServer::serve_bitmap ||
                                               route->serve == &PanelWebServer::serve_state));
    if (std::string no = refusal(req, params, !ready_made, !get); !no.empty()) return refuse(no);
    if (access_.keyed() && get && params.count("key") && access_.key_level(params.at("key")) != PanelAccess::kNone) {
        // The first visit with the key: the browser keeps it as a cookie,
        // and the key leaves the address bar (and the history).
        HttpResponse r = error_response(303, "see " + req.path);
        std::string rest;
        for (auto& [name, value] : params)
            if (name != "key") rest += (rest.empty() ? "?" : "&") + query_escape(name) + "=" + query_escape(value);
        r.headers.emplace_back("Location", req.path + rest);
        r.headers.emplace_back("Set-Cookie", access_.cookie_for(params.at("key")));
        r.headers.emplace_back("Cache-Control", "no-store");
        r.headers.emplace_back("Referrer-Policy", "no-referrer");
        return reply.send(std::move(r));
    }
    params.erase("key");
    if (!get && (!req.body.empty() || !req.header("content-type").empty()))
        return reply.send(error_response(415, "parameters go in the query: request bodies are refused"));
    if (file) {
        HttpResponse r;
        r.content_type = file->media_type;
        r.body.assign(reinterpret_cast<const char*>(file->bytes), file->size);
        r.headers.emplace_back("Cache-Control", "no-cache");
        r.headers.emplace_back("Referrer-Policy", "no-referrer");
        return reply.send(std::move(r));
    }
    const Call call{req, params, reply, session_.layout().screen_width(), session_.layout().screen_height()};
    if (route) {
        if (route->post == get) return reply.send(error_response(405, req.path + " takes " + (route->post ? "POST" : "GET")));
        return (this->*route->serve)(call);
    }
    if (extra != routes_.end()) return post_task(reply, [work = extra->second, params] { return work(params); });
    reply.send(error_response(404, "no such page: " + req.path));
}

}  // namespace sim
