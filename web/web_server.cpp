#include "web/web_server.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "platform/linux/sound_inspect.h"
#include "platform/win32.h"
#include "preview/preview_support.h"
#include "web/help_texts.h"
#include "web/page_files.h"

namespace sim {

namespace {

using Clock = std::chrono::steady_clock;

// The largest panel /frame.png draws as one picture (a layout may ask for
// far larger windows; the page itself draws any size).
constexpr long kMaxStillPixels = 4096L * 4096L;
// Sounds a page that skipped states can still catch up on.
constexpr size_t kRecentSounds = 64;
// A host that fell this far behind its clock starts again from now
// instead of racing to catch up.
constexpr double kMaxLagSeconds = 1.0;

HttpResponse json(const std::string& body) {
    HttpResponse r;
    r.content_type = "application/json";
    r.body = body;
    r.headers.emplace_back("Cache-Control", "no-store");
    return r;
}

// A whole number parameter within [lo, hi], strictly: digits only.
bool whole(const std::map<std::string, std::string>& params, const char* name, long lo, long hi, long* out,
           std::string* why) {
    auto it = params.find(name);
    if (it == params.end()) {
        *why = std::string("missing parameter '") + name + "'";
        return false;
    }
    const std::string& text = it->second;
    bool digits = !text.empty() && text.size() <= 10 &&
                  text.find_first_not_of("0123456789", text[0] == '-' ? 1 : 0) == std::string::npos &&
                  text != "-";
    long v = digits ? std::strtol(text.c_str(), nullptr, 10) : 0;
    if (!digits || v < lo || v > hi) {
        *why = std::string("'") + name + "' must be a whole number from " + std::to_string(lo) + " to " + std::to_string(hi);
        return false;
    }
    *out = v;
    return true;
}

// One of a few words.
bool word(const std::map<std::string, std::string>& params, const char* name, std::initializer_list<const char*> allowed,
          std::string* out, std::string* why, const char* fallback = nullptr) {
    auto it = params.find(name);
    if (it == params.end() && fallback) {
        *out = fallback;
        return true;
    }
    if (it != params.end())
        for (const char* a : allowed)
            if (it->second == a) {
                *out = a;
                return true;
            }
    std::string list;
    for (const char* a : allowed) list += std::string(list.empty() ? "" : ", ") + a;
    *why = std::string("'") + name + "' must be one of: " + list;
    return false;
}

}  // namespace

PanelWebServer::PanelWebServer(PanelSession& session, const Scenario& scenario, RenderOptions options)
    : session_(session), scenario_(scenario), options_(options), lookup_(module_bitmap_lookup()) {
    http_.set_handler([this](const HttpRequest& req, Reply reply) { handle(req, std::move(reply)); });
    HttpServer::Stream stream;
    stream.admit = [this](const HttpRequest& req) { return refusal(req, true); };
    stream.next = [this](uint64_t client, std::string* message) { return stream_next(client, message); };
    stream.closed = [this](uint64_t client) { clients_.erase(client); };
    http_.set_stream("/live", std::move(stream));
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
        if (!run) return;
        scenario_running_ = true;
        session_.restart_scenario();
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
    if (pressed_gauge_) pressed_gauge_->placement->press_repeat();
    if (scenario_running_) session_.play_cycle(scenario_);
    else session_.cycle();
    ++cycles_;
    publish();
}

void PanelWebServer::publish() {
    auto snap = std::make_shared<PanelSnapshot>();
    description_->snapshot(snap.get());
    const auto& played = sound_inspect::played();
    for (; sounds_seen_ < played.size(); ++sounds_seen_) {
        recent_sounds_.push_back(played[sounds_seen_].wave_id);
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
    {
        std::lock_guard<std::mutex> lock(state_mutex_);
        latest_ = std::move(snap);
    }
    http_.notify_stream();
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
    const std::string& path = req.path;
    const long width = session_.layout().screen_width(), height = session_.layout().screen_height();
    auto needs = [&](bool post) {
        if (post != !get) {
            reply.send(error_response(405, path + " takes " + (post ? "POST" : "GET")));
            return false;
        }
        return true;
    };
    auto bad = [&](const std::string& what) { reply.send(error_response(400, what)); };

    if (const PageFile* file = get ? find_page_file(path) : nullptr) {
        HttpResponse r;
        r.content_type = file->media_type;
        r.body.assign(reinterpret_cast<const char*>(file->bytes), file->size);
        r.headers.emplace_back("Cache-Control", "no-cache");
        return reply.send(std::move(r));
    }
    if (path == "/layout.json") {
        if (!needs(false)) return;
        return reply.send(json(description_->layout_json()));
    }
    if (path.rfind("/bitmap/", 0) == 0) {
        if (!needs(false)) return;
        const std::string* png = description_->bitmap_png(path);
        if (!png) return reply.send(error_response(404, "no such bitmap: " + path));
        HttpResponse r;
        r.content_type = "image/png";
        r.body = *png;
        return reply.send(std::move(r));
    }
    if (path == "/state") {
        if (!needs(false)) return;
        std::shared_ptr<const PanelSnapshot> s;
        {
            std::lock_guard<std::mutex> lock(state_mutex_);
            s = latest_;
        }
        return reply.send(json("{\"seq\":" + std::to_string(s->seq) + ",\"clock\":" + std::to_string(s->clock) +
                               ",\"sounds\":" + std::to_string(s->sounds_total) + ",\"width\":" + std::to_string(width) +
                               ",\"height\":" + std::to_string(height) + ",\"running\":" +
                               (s->scenario_running ? "true" : "false") + ",\"paused\":" + (s->paused ? "true" : "false") +
                               ",\"connections\":" + std::to_string(http_.connections()) + ",\"cycles\":" +
                               std::to_string(cycles_.load()) + ",\"skipped\":" + std::to_string(skipped_.load()) +
                               ",\"streamBytes\":" + std::to_string(http_.stream_bytes()) + "}"));
    }
    if (path == "/frame.png") {
        // The still renderer's picture of the state now: the reference the
        // page's own drawing is compared with.
        if (!needs(false)) return;
        if (width * height > kMaxStillPixels)
            return reply.send(error_response(413, "the panel is too large to draw as one picture (" + std::to_string(width) +
                                                      " x " + std::to_string(height) + ")"));
        return post_task(reply, [this] {
            std::vector<uint8_t> png;
            encode_png(session_.render(options_), &png, 1);
            HttpResponse r;
            r.content_type = "image/png";
            r.body.assign(png.begin(), png.end());
            r.headers.emplace_back("Cache-Control", "no-store");
            r.headers.emplace_back("X-Seq", std::to_string(cycles_.load()));
            return r;
        });
    }
    if (path == "/mouse") {
        if (!needs(true)) return;
        std::string kind, button;
        long x = 0, y = 0;
        if (!word(params, "kind", {"down", "move", "up"}, &kind, &why)) return bad(why);
        if (kind != "up" && (!whole(params, "x", 0, width - 1, &x, &why) || !whole(params, "y", 0, height - 1, &y, &why)))
            return bad(why);
        if (!word(params, "button", {"left", "right"}, &button, &why, "left")) return bad(why);
        uint64_t input = ++inputs_;
        return post_task(reply, [this, kind, x, y, button, input] {
            bool taken = false;
            if (kind == "down") {
                pressed_gauge_ = nullptr;
                PanelHit h = session_.hit(int(x), int(y));
                uint32_t flag = button == "right" ? MOUSE_RIGHTSINGLE : MOUSE_LEFTSINGLE;
                if (h.gauge && h.gauge->placement->press(h.x, h.y, flag)) pressed_gauge_ = h.gauge, taken = true;
            } else if (kind == "move" && pressed_gauge_) {
                int gx, gy;
                session_.gauge_point(*pressed_gauge_, int(x), int(y), &gx, &gy);
                pressed_gauge_->placement->press_move(gx, gy);
                taken = true;
            } else if (kind == "up" && pressed_gauge_) {
                pressed_gauge_->placement->release();
                pressed_gauge_ = nullptr;
                taken = true;
            }
            input_taken_ = std::max(input_taken_, input);
            input_waiting_ = input_waiting_ || (taken && kind != "move");
            return json(std::string("{\"taken\":") + (taken ? "true" : "false") + ",\"input\":" + std::to_string(input) + "}");
        });
    }
    if (path == "/hover") {
        if (!needs(false)) return;
        long x, y;
        if (!whole(params, "x", 0, width - 1, &x, &why) || !whole(params, "y", 0, height - 1, &y, &why)) return bad(why);
        return post_task(reply, [this, x, y] {
            std::string tooltip;
            int cursor = CURSOR_NONE;
            PanelHit h = session_.hit(int(x), int(y));
            if (h.gauge) {
                HitResult r = h.gauge->placement->hit(h.x, h.y);
                tooltip = r.help_id ? panel_help_text(r.help_id) : r.tooltip;
                cursor = r.cursor;
            }
            return json("{\"tooltip\":" + json_string(tooltip) + ",\"cursor\":" + std::to_string(cursor) + "}");
        });
    }
    if (path == "/var") {
        if (!needs(true)) return;
        long token;
        if (!whole(params, "token", 1, 0x7FFFFFFF, &token, &why)) return bad(why);
        auto it = params.find("value");
        std::string text = it == params.end() ? std::string() : it->second;
        char* end = nullptr;
        double value = std::strtod(text.c_str(), &end);
        if (text.empty() || *end || !std::isfinite(value) || std::isspace(static_cast<unsigned char>(text[0])))
            return bad("'value' must be a finite number");
        return post_task(reply, [this, token, value] {
            session_.host().set_var(uint32_t(token), value);
            return json("{}");
        });
    }
    if (path == "/scenario") {
        if (!needs(true)) return;
        std::string run;
        if (!word(params, "run", {"1", "0"}, &run, &why)) return bad(why);
        return post_task(reply, [this, run] {
            scenario_running_ = run == "1";
            if (scenario_running_) session_.restart_scenario();  // from its beginning
            return json("{}");
        });
    }
    if (path == "/pause") {
        if (!needs(true)) return;
        std::string on;
        if (!word(params, "on", {"1", "0"}, &on, &why)) return bad(why);
        return post_task(reply, [this, on] {
            paused_ = on == "1";
            return json("{\"seq\":" + std::to_string(cycles_.load()) + "}");
        });
    }
    if (path == "/window") {
        if (!needs(true)) return;
        long ident;
        std::string visible;
        if (!whole(params, "ident", 0, 0x7FFFFFFF, &ident, &why)) return bad(why);
        if (!word(params, "visible", {"1", "0"}, &visible, &why)) return bad(why);
        bool known = false;
        for (const PanelWindow& w : session_.layout().windows) known = known || w.ident == uint32_t(ident);
        if (!known) return reply.send(error_response(404, "no panel window " + std::to_string(ident)));
        return post_task(reply, [this, ident, visible] {
            session_.host().set_panel_visible(uint32_t(ident), visible == "1");
            return json("{}");
        });
    }
    if (path.rfind("/wave/", 0) == 0) {
        if (!needs(false)) return;
        std::string name = path.substr(6);
        size_t dot = name.find(".wav");
        std::string digits = dot == std::string::npos ? std::string() : name.substr(0, dot);
        std::map<std::string, std::string> id_param{{"id", digits}};
        long id;
        if (dot == std::string::npos || dot + 4 != name.size() || !whole(id_param, "id", 1, 65535, &id, &why))
            return bad("a wave is /wave/ID.wav with ID a whole number from 1 to 65535");
        return post_task(reply, [this, id] {
            for (auto& m : session_.host().modules()) {
                auto handle = reinterpret_cast<HMODULE>(m->resource_handle());
                HRSRC r = FindResourceA(handle, MAKEINTRESOURCEA(id), "WAVE");
                if (!r) continue;
                HGLOBAL g = LoadResource(handle, r);
                auto* data = static_cast<const char*>(LockResource(g));
                HttpResponse res;
                res.content_type = "audio/wav";
                if (data) res.body.assign(data, SizeofResource(handle, r));
                FreeResource(g);
                if (data) return res;
            }
            return error_response(404, "no wave " + std::to_string(id));
        });
    }
    if (auto route = routes_.find(req.method + " " + path); route != routes_.end())
        return post_task(reply, [work = route->second, params] { return work(params); });
    reply.send(error_response(404, "no such page: " + path));
}

}  // namespace sim
