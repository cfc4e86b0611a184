#include "web/panel_state.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <nlohmann/json.hpp>

#include "host/sim_host.h"
#include "preview/image.h"

namespace sim {

namespace {

// Unlit paint under the panel lights at night: the still renderer's factor.
constexpr double kNightDim = 0.28;

using json = nlohmann::ordered_json;

// States are compared and sent to the hundredth of a degree or pixel: finer
// than any drawing shows, coarse enough that noise is not news. Whatever a
// module draws, the state holds a finite number within kMaxDrawnValue.
double hundredths(double v) {
    if (!std::isfinite(v)) return 0.0;
    return std::round(std::clamp(v, -kMaxDrawnValue, kMaxDrawnValue) * 100.0) / 100.0;
}

// Whole numbers as integers (shorter on the wire), others as they are.
json number(double v) {
    if (v == std::floor(v) && std::fabs(v) < 1e15) return json(int64_t(v));
    return json(v);
}

double travel_fraction(double value, double minimum, double maximum) {
    if (!std::isfinite(value) || minimum == maximum || !std::isfinite(minimum) || !std::isfinite(maximum)) return 0;
    return std::clamp((value - minimum) / (maximum - minimum), 0.0, 1.0);
}

json rgb(Rgba c) { return json::array({c.r, c.g, c.b}); }

}  // namespace

std::string latin1_to_utf8(const std::string& s) {
    std::string out;
    for (unsigned char c : s) {
        if (c >= 0x80) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string json_text(const json& j) { return j.dump(-1, ' ', false, json::error_handler_t::replace); }

PanelDescription::PanelDescription(PanelSession& session, const BitmapLookup& lookup, const RenderOptions& options)
    : session_(session) {
    const auto& modules = session.host().modules();
    auto module_index = [&](const LoadedModule* m) {
        for (size_t i = 0; i < modules.size(); ++i)
            if (modules[i].get() == m) return int(i);
        return -1;
    };
    // A bitmap the page may need, by its key; null (and no key) when the
    // module has none.
    auto keep = [&](const Placement& p, int32_t id) -> json {
        const Image* image = lookup ? lookup(p.module(), id) : nullptr;
        if (!image || image->empty()) return nullptr;
        std::string key = std::to_string(module_index(p.module())) + "/" + std::to_string(id);
        std::string path = "/bitmap/" + key + ".png";
        if (!bitmaps_.count(path)) {
            std::vector<uint8_t> png;
            encode_png(*image, &png, 6);
            bitmaps_[path].assign(png.begin(), png.end());
        }
        return key;
    };
    auto size_of = [&](const Placement& p, int32_t id, int* w, int* h) {
        const Image* image = lookup ? lookup(p.module(), id) : nullptr;
        *w = image ? image->width : 0, *h = image ? image->height : 0;
    };

    const PanelLayout& layout = session.layout();
    json j = {{"width", layout.screen_width()},
              {"height", layout.screen_height()},
              {"night", options.night},
              {"nightDim", kNightDim},
              {"screen", {12, 12, 14}}};
    json windows = json::array();
    for (const PanelWindow& w : layout.windows) {
        Rgba bg = w.background;
        if (options.night) bg = {uint8_t(bg.r / 3), uint8_t(bg.g / 3), uint8_t(bg.b / 3), 255};
        windows.push_back({{"ident", w.ident},
                           {"title", latin1_to_utf8(w.title.empty() ? w.section : w.title)},
                           {"x", w.x},
                           {"y", w.y},
                           {"w", w.width},
                           {"h", w.height},
                           {"bg", rgb(bg)}});
    }
    json gauge_list = json::array(), elements = json::array();
    const auto& gauges = session.gauges();
    for (size_t gi = 0; gi < gauges.size(); ++gi) {
        const PlacedGauge& g = gauges[gi];
        const Placement& p = *g.placement;
        int bw = p.width, bh = p.height;
        if ((bw <= 0 || bh <= 0) && p.element_count() > 0) size_of(p, p.element(0).bitmap, &bw, &bh);
        bw = std::max(bw, 1), bh = std::max(bh, 1);
        size_t window = 0;
        for (size_t wi = 0; wi < layout.windows.size(); ++wi)
            if (&layout.windows[wi] == g.window) window = wi;
        gauge_list.push_back({{"name", latin1_to_utf8(p.name())},
                              {"window", window},
                              {"x", g.window->x + g.slot.x},
                              {"y", g.window->y + g.slot.y},
                              {"w", g.width},
                              {"h", g.height},
                              {"bw", bw},
                              {"bh", bh},
                              {"first", entries_.size()},
                              {"count", p.element_count()}});
        for (size_t ei = 0; ei < p.element_count(); ++ei) {
            const DrawnElement& d = p.element(ei);
            const ElementHeader& e = *d.record;
            Entry entry{&p, ei};
            json el = {{"k", d.kind}, {"x", e.x}, {"y", e.y}, {"ox", e.offset_x}, {"oy", e.offset_y}};
            switch (d.kind) {
            case ELEMENT_STATIC_IMAGE:
            case ELEMENT_NEEDLE:
            case ELEMENT_SLIDER: el["b"] = keep(p, d.bitmap); break;
            case ELEMENT_ICON: {
                auto* icon = reinterpret_cast<const IconElement*>(d.record);
                uint32_t n = std::min<uint32_t>(icon->image_count, 256);
                json images = json::array();
                for (uint32_t i = 0; i < std::max<uint32_t>(n, 1); ++i) images.push_back(keep(p, d.bitmap + int32_t(i)));
                el["b"] = std::move(images);
                break;
            }
            case ELEMENT_MOVING_IMAGE: {
                el["b"] = keep(p, d.bitmap);
                el["win"] = keep(p, d.bitmap + 1);
                int pw, ph, ww, wh;
                size_of(p, d.bitmap, &pw, &ph);
                size_of(p, d.bitmap + 1, &ww, &wh);
                entry.travel_x = std::max(0, pw - ww), entry.travel_y = std::max(0, ph - wh);
                break;
            }
            case ELEMENT_SPRITE: {
                auto* s = reinterpret_cast<const SpriteElement*>(d.record);
                double sx = s->texture_scale_x > 0 && std::isfinite(s->texture_scale_x) ? s->texture_scale_x : 1.0;
                double sy = s->texture_scale_y > 0 && std::isfinite(s->texture_scale_y) ? s->texture_scale_y : 1.0;
                el["b"] = keep(p, d.bitmap);
                el["win"] = keep(p, d.bitmap + 1);
                el["tx"] = number(std::min(sx, kMaxDrawnValue));
                el["ty"] = number(std::min(sy, kMaxDrawnValue));
                break;
            }
            case ELEMENT_STRING: {
                auto* s = reinterpret_cast<const StringElement*>(d.record);
                // The still renderer's type: DejaVu Sans at 0.8 of the box.
                el["bw"] = s->box_width;
                el["bh"] = s->box_height;
                el["bold"] = s->font_weight >= 600;
                el["px"] = int(std::lround(std::max(6.0, s->box_height * 0.8)));
                el["cx"] = (s->layout_flags & 0x1) != 0;
                el["cy"] = (s->layout_flags & 0x4) != 0;
                break;
            }
            default: break;
            }
            elements.push_back(std::move(el));
            entries_.push_back(entry);
        }
    }
    j["windows"] = std::move(windows);
    j["gauges"] = std::move(gauge_list);
    j["elements"] = std::move(elements);
    layout_json_ = json_text(j);
}

const std::string* PanelDescription::bitmap_png(const std::string& path) const {
    auto it = bitmaps_.find(path);
    return it == bitmaps_.end() ? nullptr : &it->second;
}

void PanelDescription::snapshot(PanelSnapshot* out) const {
    out->elements.resize(entries_.size());
    for (size_t i = 0; i < entries_.size(); ++i) {
        const Entry& entry = entries_[i];
        const DrawnElement& d = entry.placement->element(entry.index);
        ElementState& s = out->elements[i];
        s = {};
        s.flags = uint8_t((d.hidden ? kHidden : 0) | (d.lit ? kLit : 0));
        switch (d.kind) {
        case ELEMENT_NEEDLE: s.a = hundredths(d.angle); break;
        case ELEMENT_SLIDER: s.a = hundredths(d.dx), s.b = hundredths(d.dy); break;
        case ELEMENT_ICON: s.a = d.image; break;
        case ELEMENT_MOVING_IMAGE: {
            auto* m = reinterpret_cast<const MovingImageElement*>(d.record);
            s.a = hundredths(travel_fraction(d.value, m->min_x, m->max_x) * entry.travel_x);
            s.b = hundredths(travel_fraction(d.value_y, m->min_y, m->max_y) * entry.travel_y);
            break;
        }
        case ELEMENT_SPRITE: s.a = hundredths(d.dx), s.b = hundredths(d.dy), s.c = hundredths(d.rotation); break;
        case ELEMENT_STRING: {
            auto* r = reinterpret_cast<const StringElement*>(d.record);
            s.text = d.text;
            s.text_colour = r->text_colour, s.background_colour = r->background_colour;
            break;
        }
        default: break;
        }
    }
    out->windows.clear();
    for (const PanelWindow& w : session_.layout().windows) out->windows.emplace_back(w.ident, session_.window_visible(w));
    out->clock = session_.time();
}

std::string state_message(const PanelSnapshot* from, const PanelSnapshot& to) {
    json changed = json::array();
    for (size_t i = 0; i < to.elements.size(); ++i) {
        const ElementState& s = to.elements[i];
        if (from && i < from->elements.size() && from->elements[i] == s) continue;
        json e = {i, s.flags, number(hundredths(s.a)), number(hundredths(s.b)), number(hundredths(s.c))};
        if (!s.text.empty() || s.text_colour || s.background_colour) {
            e.push_back(latin1_to_utf8(s.text));
            e.push_back(s.text_colour);
            e.push_back(s.background_colour);
        }
        changed.push_back(std::move(e));
    }
    json windows = json::array();
    for (size_t i = 0; i < to.windows.size(); ++i) {
        if (from && i < from->windows.size() && from->windows[i] == to.windows[i]) continue;
        windows.push_back({to.windows[i].first, to.windows[i].second ? 1 : 0});
    }
    json sounds = json::array();
    // A page that skipped states still hears what was played meanwhile
    // (as far as the recent list reaches); a new page hears nothing old.
    if (from) {
        uint64_t since = std::max(from->sounds_total, to.sounds_total - std::min<uint64_t>(to.sounds_total, to.recent_sounds.size()));
        for (uint64_t n = since; n < to.sounds_total; ++n) sounds.push_back(to.recent_sounds[to.recent_sounds.size() - size_t(to.sounds_total - n)]);
    }
    double clock = std::isfinite(to.clock) ? std::round(std::clamp(to.clock, 0.0, 1e12) * 1000) / 1000 : 0.0;
    json m = {{"seq", to.seq},
              {"clock", number(clock)},
              {"input", to.input},
              {"running", to.scenario_running},
              {"paused", to.paused},
              {"e", std::move(changed)},
              {"w", std::move(windows)},
              {"s", std::move(sounds)}};
    return json_text(m);
}

}  // namespace sim
