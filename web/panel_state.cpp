#include "web/panel_state.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "host/sim_host.h"
#include "preview/image.h"

namespace sim {

namespace {

// Unlit paint under the panel lights at night: the still renderer's factor.
constexpr double kNightDim = 0.28;

// States are compared and sent to the hundredth of a degree or pixel: finer
// than any drawing shows, coarse enough that noise is not news.
double hundredths(double v) { return std::isfinite(v) ? std::round(v * 100.0) / 100.0 : 0.0; }

std::string number(double v) {
    char text[40];
    if (v == std::floor(v) && std::fabs(v) < 1e15) std::snprintf(text, sizeof text, "%.0f", v);
    else std::snprintf(text, sizeof text, "%.2f", v);
    return text;
}

double travel_fraction(double value, double minimum, double maximum) {
    if (!std::isfinite(value) || minimum == maximum || !std::isfinite(minimum) || !std::isfinite(maximum)) return 0;
    return std::clamp((value - minimum) / (maximum - minimum), 0.0, 1.0);
}

std::string rgb(Rgba c) {
    return "[" + std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b) + "]";
}

}  // namespace

std::string json_string(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '<': out += "\\u003c"; break;
        default:
            if (c < 0x20 || c == 0x7F) {
                char esc[8];
                std::snprintf(esc, sizeof esc, "\\u%04x", c);
                out += esc;
            } else if (c >= 0x80) {
                // The module's texts are Latin-1: passed on as UTF-8.
                out += static_cast<char>(0xC0 | (c >> 6));
                out += static_cast<char>(0x80 | (c & 0x3F));
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

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
    auto keep = [&](const Placement& p, int32_t id) -> std::string {
        const Image* image = lookup ? lookup(p.module(), id) : nullptr;
        if (!image || image->empty()) return "null";
        std::string key = std::to_string(module_index(p.module())) + "/" + std::to_string(id);
        std::string path = "/bitmap/" + key + ".png";
        if (!bitmaps_.count(path)) {
            std::vector<uint8_t> png;
            encode_png(*image, &png, 6);
            bitmaps_[path].assign(png.begin(), png.end());
        }
        return "\"" + key + "\"";
    };
    auto size_of = [&](const Placement& p, int32_t id, int* w, int* h) {
        const Image* image = lookup ? lookup(p.module(), id) : nullptr;
        *w = image ? image->width : 0, *h = image ? image->height : 0;
    };

    const PanelLayout& layout = session.layout();
    std::string j = "{\"width\":" + std::to_string(layout.screen_width()) + ",\"height\":" +
                    std::to_string(layout.screen_height()) + ",\"night\":" + (options.night ? "true" : "false") +
                    ",\"nightDim\":" + number(kNightDim) + ",\"screen\":[12,12,14],\"windows\":[";
    for (size_t i = 0; i < layout.windows.size(); ++i) {
        const PanelWindow& w = layout.windows[i];
        Rgba bg = w.background;
        if (options.night) bg = {uint8_t(bg.r / 3), uint8_t(bg.g / 3), uint8_t(bg.b / 3), 255};
        j += std::string(i ? "," : "") + "{\"ident\":" + std::to_string(w.ident) + ",\"title\":" +
             json_string(w.title.empty() ? w.section : w.title) + ",\"x\":" + std::to_string(w.x) + ",\"y\":" +
             std::to_string(w.y) + ",\"w\":" + std::to_string(w.width) + ",\"h\":" + std::to_string(w.height) +
             ",\"bg\":" + rgb(bg) + "}";
    }
    j += "],\"gauges\":[";
    std::string elements;
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
        j += std::string(gi ? "," : "") + "{\"name\":" + json_string(p.name()) + ",\"window\":" + std::to_string(window) +
             ",\"x\":" + std::to_string(g.window->x + g.slot.x) + ",\"y\":" + std::to_string(g.window->y + g.slot.y) +
             ",\"w\":" + std::to_string(g.width) + ",\"h\":" + std::to_string(g.height) + ",\"bw\":" +
             std::to_string(bw) + ",\"bh\":" + std::to_string(bh) + ",\"first\":" + std::to_string(entries_.size()) +
             ",\"count\":" + std::to_string(p.element_count()) + "}";
        for (size_t ei = 0; ei < p.element_count(); ++ei) {
            const DrawnElement& d = p.element(ei);
            const ElementHeader& e = *d.record;
            Entry entry{&p, ei};
            std::string el = "{\"k\":" + std::to_string(d.kind) + ",\"x\":" + std::to_string(e.x) + ",\"y\":" +
                             std::to_string(e.y) + ",\"ox\":" + std::to_string(e.offset_x) + ",\"oy\":" +
                             std::to_string(e.offset_y);
            switch (d.kind) {
            case ELEMENT_STATIC_IMAGE:
            case ELEMENT_NEEDLE:
            case ELEMENT_SLIDER: el += ",\"b\":" + keep(p, d.bitmap); break;
            case ELEMENT_ICON: {
                auto* icon = reinterpret_cast<const IconElement*>(d.record);
                uint32_t n = std::min<uint32_t>(icon->image_count, 256);
                el += ",\"b\":[";
                for (uint32_t i = 0; i < std::max<uint32_t>(n, 1); ++i) el += (i ? "," : "") + keep(p, d.bitmap + int32_t(i));
                el += "]";
                break;
            }
            case ELEMENT_MOVING_IMAGE: {
                el += ",\"b\":" + keep(p, d.bitmap) + ",\"win\":" + keep(p, d.bitmap + 1);
                int pw, ph, ww, wh;
                size_of(p, d.bitmap, &pw, &ph);
                size_of(p, d.bitmap + 1, &ww, &wh);
                entry.travel_x = std::max(0, pw - ww), entry.travel_y = std::max(0, ph - wh);
                break;
            }
            case ELEMENT_SPRITE: {
                auto* s = reinterpret_cast<const SpriteElement*>(d.record);
                double sx = s->texture_scale_x > 0 ? s->texture_scale_x : 1.0;
                double sy = s->texture_scale_y > 0 ? s->texture_scale_y : 1.0;
                el += ",\"b\":" + keep(p, d.bitmap) + ",\"win\":" + keep(p, d.bitmap + 1) + ",\"tx\":" + number(sx) +
                      ",\"ty\":" + number(sy);
                break;
            }
            case ELEMENT_STRING: {
                auto* s = reinterpret_cast<const StringElement*>(d.record);
                // The still renderer's type: DejaVu Sans at 0.8 of the box.
                el += ",\"bw\":" + std::to_string(s->box_width) + ",\"bh\":" + std::to_string(s->box_height) +
                      ",\"bold\":" + (s->font_weight >= 600 ? "true" : "false") + ",\"px\":" +
                      std::to_string(int(std::lround(std::max(6.0, s->box_height * 0.8)))) + ",\"cx\":" +
                      ((s->layout_flags & 0x1) ? "true" : "false") + ",\"cy\":" +
                      ((s->layout_flags & 0x4) ? "true" : "false");
                break;
            }
            default: break;
            }
            elements += std::string(entries_.empty() ? "" : ",") + el + "}";
            entries_.push_back(entry);
        }
    }
    j += "],\"elements\":[" + elements + "]}";
    layout_json_ = std::move(j);
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
    std::string m = "{\"seq\":" + std::to_string(to.seq) + ",\"clock\":" + number(std::round(to.clock * 1000) / 1000) +
                    ",\"input\":" + std::to_string(to.input) + ",\"running\":" + (to.scenario_running ? "true" : "false") +
                    ",\"paused\":" + (to.paused ? "true" : "false") + ",\"e\":[";
    bool first = true;
    for (size_t i = 0; i < to.elements.size(); ++i) {
        const ElementState& s = to.elements[i];
        if (from && i < from->elements.size() && from->elements[i] == s) continue;
        m += std::string(first ? "" : ",") + "[" + std::to_string(i) + "," + std::to_string(s.flags) + "," + number(s.a) +
             "," + number(s.b) + "," + number(s.c);
        if (!s.text.empty() || s.text_colour || s.background_colour)
            m += "," + json_string(s.text) + "," + std::to_string(s.text_colour) + "," + std::to_string(s.background_colour);
        m += "]";
        first = false;
    }
    m += "],\"w\":[";
    first = true;
    for (size_t i = 0; i < to.windows.size(); ++i) {
        if (from && i < from->windows.size() && from->windows[i] == to.windows[i]) continue;
        m += std::string(first ? "" : ",") + "[" + std::to_string(to.windows[i].first) + "," +
             (to.windows[i].second ? "1" : "0") + "]";
        first = false;
    }
    m += "],\"s\":[";
    // A page that skipped states still hears what was played meanwhile
    // (as far as the recent list reaches); a new page hears nothing old.
    if (from) {
        uint64_t since = std::max(from->sounds_total, to.sounds_total - std::min<uint64_t>(to.sounds_total, to.recent_sounds.size()));
        for (uint64_t n = since; n < to.sounds_total; ++n) {
            size_t at = to.recent_sounds.size() - size_t(to.sounds_total - n);
            m += std::string(n == since ? "" : ",") + std::to_string(to.recent_sounds[at]);
        }
    }
    return m + "]}";
}

}  // namespace sim
