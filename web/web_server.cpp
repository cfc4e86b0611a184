#include "web/web_server.h"
#include "web/page_files.h"
#include "web/pilot_routes.h"

#include <httplib.h>

#include <chrono>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/linux/sound_inspect.h"
#include "platform/win32.h"

namespace sim {

namespace {

constexpr size_t kMaxBody = 4096;
constexpr auto kPanelWait = std::chrono::seconds(10);  // a slow (instrumented) build still answers

std::string json_string(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        default:
            if (c < 0x20) {
                char esc[8];
                std::snprintf(esc, sizeof esc, "\\u%04x", c);
                out += esc;
            } else if (c >= 0x80) {
                // Tooltips are Latin-1: pass them on as UTF-8.
                out += static_cast<char>(0xC0 | (c >> 6));
                out += static_cast<char>(0x80 | (c & 0x3F));
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

void bad_request(httplib::Response& res, const std::string& why, int status = 400) {
    res.status = status;
    res.set_content("bad request: " + why + "\n", "text/plain");
}

// A whole-number query parameter within [lo, hi].
bool int_param(const httplib::Request& req, httplib::Response& res, const char* name, long lo, long hi, long* out) {
    if (!req.has_param(name)) {
        bad_request(res, std::string("missing parameter '") + name + "'");
        return false;
    }
    std::string text = req.get_param_value(name);
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end || errno || v < lo || v > hi) {
        bad_request(res, std::string("'") + name + "' must be a whole number from " + std::to_string(lo) + " to " +
                             std::to_string(hi));
        return false;
    }
    *out = v;
    return true;
}

}  // namespace

PanelWebServer::PanelWebServer(PanelSession& session, const Scenario& scenario, RenderOptions options)
    : session_(session), scenario_(scenario), options_(options), server_(std::make_unique<httplib::Server>()) {
    install_routes();
}

PanelWebServer::~PanelWebServer() {
    stop();
    if (http_thread_.joinable()) http_thread_.join();
}

bool PanelWebServer::start(int port, std::string* error) {
    const char* address = "127.0.0.1";  // never reachable from another machine
    if (port == 0) {
        port_ = server_->bind_to_any_port(address);
    } else {
        port_ = server_->bind_to_port(address, port) ? port : -1;
    }
    if (port_ <= 0) {
        if (error) *error = "cannot listen on " + std::string(address) + ":" + std::to_string(port);
        return false;
    }
    render_frame();  // the page has a picture from its first request
    http_thread_ = std::thread([this] { server_->listen_after_bind(); });
    return true;
}

void PanelWebServer::stop() {
    if (stopping_.exchange(true)) return;
    server_->stop();
    changed_.notify_all();
}

bool PanelWebServer::on_panel(std::function<void()> fn) {
    std::packaged_task<void()> task(std::move(fn));
    std::future<void> done = task.get_future();
    {
        std::lock_guard<std::mutex> lock(queue_mutex_);
        if (stopping_) return false;
        queue_.push_back(std::move(task));
    }
    return done.wait_for(kPanelWait) == std::future_status::ready;
}

void PanelWebServer::render_frame() {
    std::vector<uint8_t> png;
    encode_png(session_.render(options_), &png, 1);
    {
        std::lock_guard<std::mutex> lock(state_mutex_);
        frame_png_.swap(png);
        ++frame_seq_;
    }
    changed_.notify_all();
}

void PanelWebServer::note_sounds() {
    const auto& played = sound_inspect::played();
    std::lock_guard<std::mutex> lock(state_mutex_);
    for (; sounds_seen_ < played.size(); ++sounds_seen_) sounds_.push_back(played[sounds_seen_].wave_id);
}

void PanelWebServer::run_panel(double max_seconds, const volatile std::sig_atomic_t* interrupted) {
    using clock = std::chrono::steady_clock;
    auto period = std::chrono::duration<double>(session_.host().seconds_per_cycle);
    auto begin = clock::now();
    while (!stopping_ && !(interrupted && *interrupted)) {
        auto start = clock::now();
        std::deque<std::packaged_task<void()>> tasks;
        {
            std::lock_guard<std::mutex> lock(queue_mutex_);
            tasks.swap(queue_);
        }
        for (auto& task : tasks) task();
        if (pressed_gauge_) pressed_gauge_->placement->press_repeat();
        if (scenario_running_) session_.play_cycle(scenario_);
        else session_.cycle();
        note_sounds();
        render_frame();
        if (max_seconds > 0 && std::chrono::duration<double>(clock::now() - begin).count() >= max_seconds) break;
        std::this_thread::sleep_until(start + std::chrono::duration_cast<clock::duration>(period));
    }
    std::lock_guard<std::mutex> lock(queue_mutex_);
    queue_.clear();  // waiting requests time out with "panel busy"
}

void PanelWebServer::install_routes() {
    httplib::Server& s = *server_;
    s.set_payload_max_length(kMaxBody);
    s.set_read_timeout(5, 0);

    // The page's own files, embedded at build time.
    s.Get(R"(/|/[a-z_]+\.(html|css|js))", [](const httplib::Request& req, httplib::Response& res) {
        const PageFile* file = find_page_file(req.path);
        if (!file) return bad_request(res, "no such page file", 404);
        res.set_content(reinterpret_cast<const char*>(file->bytes), file->size, file->media_type);
    });

    s.Get("/frame.png", [this](const httplib::Request&, httplib::Response& res) {
        std::lock_guard<std::mutex> lock(state_mutex_);
        if (frame_png_.empty()) return bad_request(res, "no frame yet", 503);
        res.set_header("Cache-Control", "no-store");
        res.set_header("X-Frame", std::to_string(frame_seq_.load()));
        res.set_content(std::string(frame_png_.begin(), frame_png_.end()), "image/png");
    });

    s.Get("/state", [this](const httplib::Request&, httplib::Response& res) {
        std::lock_guard<std::mutex> lock(state_mutex_);
        res.set_content("{\"frame\":" + std::to_string(frame_seq_.load()) + ",\"sounds\":" +
                            std::to_string(sounds_.size()) + ",\"width\":" +
                            std::to_string(session_.layout().screen_width()) + ",\"height\":" +
                            std::to_string(session_.layout().screen_height()) + "}",
                        "application/json");
    });

    // Pushed notices: a frame is ready, a sound was played.
    s.Get("/events", [this](const httplib::Request&, httplib::Response& res) {
        res.set_header("Cache-Control", "no-store");
        auto frame_seen = std::make_shared<uint64_t>(0);
        auto sounds_sent = std::make_shared<size_t>(0);
        {
            std::lock_guard<std::mutex> lock(state_mutex_);
            *sounds_sent = sounds_.size();
        }
        res.set_chunked_content_provider("text/event-stream", [this, frame_seen, sounds_sent](size_t, httplib::DataSink& sink) {
            std::unique_lock<std::mutex> lock(state_mutex_);
            changed_.wait_for(lock, std::chrono::seconds(1),
                              [&] { return stopping_ || frame_seq_ != *frame_seen || sounds_.size() != *sounds_sent; });
            if (stopping_) return false;
            std::string out;
            for (; *sounds_sent < sounds_.size(); ++*sounds_sent)
                out += "event: sound\ndata: " + std::to_string(sounds_[*sounds_sent]) + "\n\n";
            if (frame_seq_ != *frame_seen) {
                *frame_seen = frame_seq_;
                out += "event: frame\ndata: " + std::to_string(*frame_seen) + "\n\n";
            }
            if (out.empty()) out = ": still here\n\n";
            lock.unlock();
            return sink.write(out.data(), out.size());
        });
    });

    s.Post("/mouse", [this](const httplib::Request& req, httplib::Response& res) {
        std::string kind = req.get_param_value("kind");
        if (kind != "down" && kind != "move" && kind != "up") return bad_request(res, "'kind' must be down, move or up");
        long x = 0, y = 0;
        if (kind != "up") {
            if (!int_param(req, res, "x", 0, session_.layout().screen_width() - 1, &x)) return;
            if (!int_param(req, res, "y", 0, session_.layout().screen_height() - 1, &y)) return;
        }
        std::string button = req.has_param("button") ? req.get_param_value("button") : "left";
        if (button != "left" && button != "right") return bad_request(res, "'button' must be left or right");
        bool taken = false;
        bool ran = on_panel([&, kind, x, y, button] {
            if (kind == "down") {
                pressed_gauge_ = nullptr;
                PanelHit h = session_.hit(int(x), int(y));
                uint32_t flag = button == "right" ? MOUSE_RIGHTSINGLE : MOUSE_LEFTSINGLE;
                if (h.gauge && h.gauge->placement->press(h.x, h.y, flag)) {
                    pressed_gauge_ = h.gauge;
                    taken = true;
                }
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
        });
        if (!ran) return bad_request(res, "panel busy", 503);
        res.set_content(std::string("{\"taken\":") + (taken ? "true" : "false") + "}", "application/json");
    });

    s.Get("/hover", [this](const httplib::Request& req, httplib::Response& res) {
        long x, y;
        if (!int_param(req, res, "x", 0, session_.layout().screen_width() - 1, &x)) return;
        if (!int_param(req, res, "y", 0, session_.layout().screen_height() - 1, &y)) return;
        std::string tooltip;
        int cursor = CURSOR_NONE;
        bool ran = on_panel([&] {
            PanelHit h = session_.hit(int(x), int(y));
            if (!h.gauge) return;
            HitResult r = h.gauge->placement->hit(h.x, h.y);
            tooltip = r.tooltip;
            cursor = r.cursor;
        });
        if (!ran) return bad_request(res, "panel busy", 503);
        res.set_content("{\"tooltip\":" + json_string(tooltip) + ",\"cursor\":" + std::to_string(cursor) + "}",
                        "application/json");
    });

    s.Post("/var", [this](const httplib::Request& req, httplib::Response& res) {
        long token;
        if (!int_param(req, res, "token", 1, INT_MAX, &token)) return;
        std::string text = req.get_param_value("value");
        char* end = nullptr;
        double value = std::strtod(text.c_str(), &end);
        if (text.empty() || *end || !std::isfinite(value)) return bad_request(res, "'value' must be a finite number");
        if (!on_panel([&] { session_.host().set_var(uint32_t(token), value); })) return bad_request(res, "panel busy", 503);
        res.set_content("{}", "application/json");
    });

    s.Post("/scenario", [this](const httplib::Request& req, httplib::Response& res) {
        std::string run = req.get_param_value("run");
        if (run != "1" && run != "0") return bad_request(res, "'run' must be 1 or 0");
        bool ran = on_panel([&] {
            scenario_running_ = run == "1";
            if (scenario_running_) session_.restart_scenario();
        });
        if (!ran) return bad_request(res, "panel busy", 503);
        res.set_content("{}", "application/json");
    });

    install_pilot_routes(s, session_, [this](std::function<void()> fn) { return on_panel(std::move(fn)); });

    // The modules' own recordings, for the page to play.
    s.Get(R"(/wave/(\d{1,5})\.wav)", [this](const httplib::Request& req, httplib::Response& res) {
        long id = std::strtol(req.matches[1].str().c_str(), nullptr, 10);
        std::string bytes;
        bool found = false;
        bool ran = on_panel([&] {
            for (auto& m : session_.host().modules()) {
                auto handle = reinterpret_cast<HMODULE>(m->resource_handle());
                HRSRC r = FindResourceA(handle, MAKEINTRESOURCEA(id), "WAVE");
                if (!r) continue;
                HGLOBAL g = LoadResource(handle, r);
                auto* data = static_cast<const char*>(LockResource(g));
                if (data) bytes.assign(data, SizeofResource(handle, r)), found = true;
                FreeResource(g);
                break;
            }
        });
        if (!ran) return bad_request(res, "panel busy", 503);
        if (!found) return bad_request(res, "no wave " + std::to_string(id), 404);
        res.set_content(bytes, "audio/wav");
    });

    s.set_error_handler([](const httplib::Request& req, httplib::Response& res) {
        if (!res.body.empty()) return;
        std::string why = res.status == 404 ? "no such page: " + req.path
                          : res.status == 413 ? "request too large"
                                              : "request refused (" + std::to_string(res.status) + ")";
        res.set_content(why + "\n", "text/plain");
    });
}

}  // namespace sim
