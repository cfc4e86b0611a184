// The live panel's routes: what each path answers, its parameters checked
// strictly on the server thread, and its work on the panel thread.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <nlohmann/json.hpp>

#include "platform/win32.h"
#include "web/help_texts.h"
#include "web/web_server.h"

namespace sim {

namespace {

// The largest panel /frame.png draws as one picture (a layout may ask for
// far larger windows; the page itself draws any size).
constexpr long kMaxStillPixels = 4096L * 4096L;

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
                  text.find_first_not_of("0123456789", text[0] == '-' ? 1 : 0) == std::string::npos && text != "-";
    long v = digits ? std::strtol(text.c_str(), nullptr, 10) : 0;
    if (!digits || v < lo || v > hi) {
        *why = std::string("'") + name + "' must be a whole number from " + std::to_string(lo) + " to " + std::to_string(hi);
        return false;
    }
    *out = v;
    return true;
}

// One of a few words (the fallback when the parameter is absent, if any).
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

// A finite number, strictly: no spaces, nothing after it.
bool finite_number(const std::map<std::string, std::string>& params, const char* name, double* out, std::string* why) {
    auto it = params.find(name);
    std::string text = it == params.end() ? std::string() : it->second;
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end || !std::isfinite(value) || std::isspace(static_cast<unsigned char>(text[0]))) {
        *why = std::string("'") + name + "' must be a finite number";
        return false;
    }
    *out = value;
    return true;
}

void bad(const Reply& reply, const std::string& why) { reply.send(error_response(400, why)); }

HttpResponse json_answer(const nlohmann::ordered_json& j) { return json_response(json_text(j)); }

}  // namespace

const std::vector<PanelWebServer::Route>& PanelWebServer::routes() {
    static const std::vector<Route> table = {
        {false, "/layout.json", false, &PanelWebServer::serve_layout},
        {false, "/bitmap/", true, &PanelWebServer::serve_bitmap},
        {false, "/state", false, &PanelWebServer::serve_state},
        {false, "/frame.png", false, &PanelWebServer::serve_still},
        {false, "/hover", false, &PanelWebServer::serve_hover},
        {false, "/wave/", true, &PanelWebServer::serve_wave},
        {true, "/mouse", false, &PanelWebServer::take_mouse},
        {true, "/var", false, &PanelWebServer::set_variable},
        {true, "/scenario", false, &PanelWebServer::run_or_stop_scenario},
        {true, "/pause", false, &PanelWebServer::pause_or_resume},
        {true, "/window", false, &PanelWebServer::show_or_hide_window},
        {false, "/checklist", false, &PanelWebServer::serve_checklist},
        {true, "/reset", false, &PanelWebServer::reset_aircraft},
    };
    return table;
}

void PanelWebServer::serve_layout(const Call& c) { c.reply.send(json_response(description_->layout_json())); }

void PanelWebServer::serve_bitmap(const Call& c) {
    const std::string* png = description_->bitmap_png(c.req.path);
    if (!png) return c.reply.send(error_response(404, "no such bitmap: " + c.req.path));
    HttpResponse r;
    r.content_type = "image/png";
    r.body = *png;
    c.reply.send(std::move(r));
}

void PanelWebServer::serve_state(const Call& c) {
    std::shared_ptr<const PanelSnapshot> s;
    {
        std::lock_guard<std::mutex> lock(state_mutex_);
        s = latest_;
    }
    c.reply.send(json_answer({{"seq", s->seq},
                              {"clock", s->clock},
                              {"sounds", s->sounds_total},
                              {"width", c.width},
                              {"height", c.height},
                              {"running", s->scenario_running},
                              {"paused", s->paused},
                              {"connections", http_.connections()},
                              {"cycles", cycles_.load()},
                              {"skipped", skipped_.load()},
                              {"streamBytes", http_.stream_bytes()},
                              {"stills", stills_drawn_.load()},
                              {"status", latin1_to_utf8(s->status)}}));
}

// The still renderer's picture of the state now: the reference the page's
// own drawing is compared with.
void PanelWebServer::serve_still(const Call& c) {
    if (c.width * c.height > kMaxStillPixels)
        return c.reply.send(error_response(413, "the panel is too large to draw as one picture (" +
                                                    std::to_string(c.width) + " x " + std::to_string(c.height) + ")"));
    // The picture of the state published last, when it is drawn already;
    // else drawn on the panel thread once for everyone who asks meanwhile
    // (see serve_waiting_stills).
    std::shared_ptr<const HttpResponse> ready;
    {
        std::lock_guard<std::mutex> lock(state_mutex_);
        if (still_ && latest_ && still_serial_ == latest_->serial) ready = still_;
    }
    if (ready) return c.reply.send(*ready);
    std::lock_guard<std::mutex> lock(queue_mutex_);
    if (stopping_) return c.reply.send(error_response(503, "the panel has stopped"));
    still_asked_.emplace_back(c.reply, std::chrono::steady_clock::now());
    queue_changed_.notify_all();
}

void PanelWebServer::serve_hover(const Call& c) {
    long x, y;
    std::string why;
    if (!whole(c.params, "x", 0, c.width - 1, &x, &why) || !whole(c.params, "y", 0, c.height - 1, &y, &why))
        return bad(c.reply, why);
    post_task(c.reply, [this, x, y] {
        std::string tooltip;
        int cursor = CURSOR_NONE;
        PanelHit h = session_.hit(int(x), int(y));
        if (h.gauge) {
            HitResult r = h.gauge->placement->hit(h.x, h.y);
            tooltip = r.help_id ? panel_help_text(r.help_id) : r.tooltip;
            if (tooltip.empty()) tooltip = panel_area_text(h.gauge->slot.gauge, h.x, h.y);
            cursor = r.cursor;
        }
        return json_answer({{"tooltip", latin1_to_utf8(tooltip)}, {"cursor", cursor}});
    });
}

// The modules' own recordings, for the page to play.
void PanelWebServer::serve_wave(const Call& c) {
    std::string name = c.req.path.substr(6);
    size_t dot = name.find(".wav");
    std::map<std::string, std::string> id_param{{"id", dot == std::string::npos ? std::string() : name.substr(0, dot)}};
    long id;
    std::string why;
    if (dot == std::string::npos || dot + 4 != name.size() || !whole(id_param, "id", 1, 65535, &id, &why))
        return bad(c.reply, "a wave is /wave/ID.wav with ID a whole number from 1 to 65535");
    post_task(c.reply, [this, id] {
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

void PanelWebServer::take_mouse(const Call& c) {
    std::string kind, button, why;
    long x = 0, y = 0;
    if (!word(c.params, "kind", {"down", "move", "up"}, &kind, &why)) return bad(c.reply, why);
    if (kind != "up" && (!whole(c.params, "x", 0, c.width - 1, &x, &why) || !whole(c.params, "y", 0, c.height - 1, &y, &why)))
        return bad(c.reply, why);
    if (!word(c.params, "button", {"left", "right"}, &button, &why, "left")) return bad(c.reply, why);
    uint64_t input = ++inputs_;
    post_task(c.reply, [this, kind, x, y, button, input] {
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
        return json_answer({{"taken", taken}, {"input", input}});
    });
}

void PanelWebServer::set_variable(const Call& c) {
    long token;
    double value;
    std::string why;
    if (!whole(c.params, "token", 1, 0x7FFFFFFF, &token, &why) || !finite_number(c.params, "value", &value, &why))
        return bad(c.reply, why);
    post_task(c.reply, [this, token, value] {
        session_.host().set_var(uint32_t(token), value);
        return json_answer(nlohmann::ordered_json::object());
    });
}

void PanelWebServer::run_or_stop_scenario(const Call& c) {
    std::string run, why;
    if (!word(c.params, "run", {"1", "0"}, &run, &why)) return bad(c.reply, why);
    post_task(c.reply, [this, run] {
        if (run == "1") reset_and_maybe_run(true);  // from its beginning, on a fresh aircraft
        else scenario_running_ = false;
        return json_answer(nlohmann::ordered_json::object());
    });
}

void PanelWebServer::pause_or_resume(const Call& c) {
    std::string on, why;
    if (!word(c.params, "on", {"1", "0"}, &on, &why)) return bad(c.reply, why);
    post_task(c.reply, [this, on] {
        paused_ = on == "1";
        return json_answer({{"seq", cycles_.load()}});
    });
}

void PanelWebServer::show_or_hide_window(const Call& c) {
    long ident;
    std::string visible, why;
    if (!whole(c.params, "ident", 0, 0x7FFFFFFF, &ident, &why)) return bad(c.reply, why);
    if (!word(c.params, "visible", {"1", "0"}, &visible, &why)) return bad(c.reply, why);
    const auto& windows = session_.layout().windows;
    if (std::none_of(windows.begin(), windows.end(), [&](const PanelWindow& w) { return w.ident == uint32_t(ident); }))
        return c.reply.send(error_response(404, "no panel window " + std::to_string(ident)));
    post_task(c.reply, [this, ident, visible] {
        session_.host().set_panel_visible(uint32_t(ident), visible == "1");
        return json_answer(nlohmann::ordered_json::object());
    });
}

}  // namespace sim
