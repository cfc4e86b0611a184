#include "tools/trace/drawn_trace.h"

#include <cmath>
#include <cstdio>

namespace trace {

namespace {
int g_decimals = 4;
}

void set_decimals(int decimals) { g_decimals = decimals; }

std::string fixed(double value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
    unsigned long long unit = 1;
    for (int i = 0; i < g_decimals; ++i) unit *= 10;
    double steps = std::nearbyint(value * static_cast<double>(unit));
    if (std::fabs(steps) >= 9e15) {
        char text[48];
        std::snprintf(text, sizeof text, "%.*e", g_decimals + 2, value);
        return text;
    }
    long long n = static_cast<long long>(steps);
    unsigned long long magnitude = n < 0 ? 0ULL - static_cast<unsigned long long>(n) : static_cast<unsigned long long>(n);
    char text[48];
    std::snprintf(text, sizeof text, "%s%llu.%0*llu", n < 0 ? "-" : "", magnitude / unit, g_decimals,
                  magnitude % unit);
    return text;
}

namespace {

// A string element's text with every byte outside printable ASCII escaped.
std::string quoted(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\x%02X", c);
            out += esc;
        }
    }
    return out + "\"";
}

}  // namespace

std::string element_state(const sim::DrawnElement& d) {
    std::string s;
    switch (d.kind) {
    case ELEMENT_STATIC_IMAGE: s = "image"; break;
    case ELEMENT_NEEDLE: s = "needle " + fixed(d.angle); break;
    case ELEMENT_STRING: s = "text " + quoted(d.text); break;
    case ELEMENT_SLIDER: s = "slider " + fixed(d.dx) + " " + fixed(d.dy); break;
    case ELEMENT_ICON: s = "icon " + std::to_string(d.image); break;
    case ELEMENT_MOVING_IMAGE: s = "moving " + fixed(d.dx) + " " + fixed(d.dy); break;
    case ELEMENT_SPRITE: s = "sprite " + fixed(d.dx) + " " + fixed(d.dy) + " turn " + fixed(d.rotation); break;
    default: s = "kind " + std::to_string(d.kind); break;
    }
    char flags[32];
    std::snprintf(flags, sizeof flags, " flags 0x%08X", d.image_flags);
    s += flags;
    if (d.lit) s += " lit";
    if (d.hidden) s += " hidden";
    for (uint32_t action : d.failure_actions) s += " failed " + std::to_string(action);
    return s;
}

void TraceWriter::note(const std::string& heading, const std::vector<SoundPlay>& sounds, bool drawn) {
    std::string lines;
    const auto& gauges = flight_.gauges();
    if (last_.size() != gauges.size()) last_.assign(gauges.size(), {});
    for (size_t g = 0; drawn && g < gauges.size(); ++g) {
        const sim::Placement& p = *gauges[g].placement;
        std::vector<std::string>& last = last_[g];
        if (last.size() != p.element_count()) last.assign(p.element_count(), std::string());
        for (size_t i = 0; i < p.element_count(); ++i) {
            std::string state = element_state(p.element(i));
            if (state == last[i]) continue;
            char where[64];
            std::snprintf(where, sizeof where, "  g%02zu.%zu ", g, i);
            lines += where + p.name() + " " + state + "\n";
            last[i] = std::move(state);
        }
    }
    const auto& events = host_.events();
    for (; events_seen_ < events.size(); ++events_seen_)
        lines += "  event " + std::to_string(events[events_seen_].id) + " " +
                 std::to_string(events[events_seen_].value) + "\n";
    for (auto& [id, visible] : host_.panels()) {
        auto seen = panels_.find(id);
        if (seen != panels_.end() && seen->second == visible) continue;
        lines += "  panel " + std::to_string(id) + (visible ? " shown\n" : " hidden\n");
        panels_[id] = visible;
    }
    for (const SoundPlay& s : sounds)
        lines += "  sound " + std::to_string(s.wave_id) + " volume " + std::to_string(s.volume) + "\n";
    for (; faults_seen_ < host_.faults.size(); ++faults_seen_) lines += "  fault " + host_.faults[faults_seen_] + "\n";
    if (!lines.empty()) text_ += heading + "\n" + lines;
}

}  // namespace trace
