#include "web/pilot_routes.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "aircraft/pilot_controls.h"
#include "web/panel_state.h"
#include "web/web_server.h"

namespace sim {

namespace {

std::string number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", std::isfinite(v) ? v : 0.0);
    return text;
}

// Names, labels, units and keys are the table's own plain ASCII words.
std::string quoted(const char* s) { return std::string("\"") + s + "\""; }

std::string pilot_json(const aircraft::State& state) {
    std::string out = "{\"controls\":[";
    bool first = true;
    for (const aircraft::PilotControl& c : aircraft::pilot_controls()) {
        out += std::string(first ? "" : ",") + "{\"name\":" + quoted(c.name) + ",\"label\":" + quoted(c.label) +
               ",\"unit\":" + quoted(c.unit) + ",\"min\":" + number(c.min) + ",\"max\":" + number(c.max) +
               ",\"step\":" + number(c.step) + ",\"key_up\":" + quoted(c.key_up) + ",\"key_down\":" +
               quoted(c.key_down) + ",\"value\":" + number(c.get(state)) + "}";
        first = false;
    }
    out += "],\"state\":[";
    first = true;
    for (const aircraft::PilotReadout& r : aircraft::pilot_readouts()) {
        out += std::string(first ? "" : ",") + "{\"name\":" + quoted(r.name) + ",\"label\":" + quoted(r.label) +
               ",\"unit\":" + quoted(r.unit) + ",\"value\":" + number(r.get(state)) +
               ",\"text\":" + json_string(r.text(state)) + "}";
        first = false;
    }
    return out + "]}";
}

}  // namespace

void install_pilot_routes(PanelWebServer& server, PanelSession& session) {
    using Params = std::map<std::string, std::string>;
    server.add_route("GET", "/pilot", [&session](const Params&) {
        if (aircraft::Aircraft* a = session.aircraft()) return json_response(pilot_json(a->state()));
        return error_response(404, "this panel flies no aircraft");
    });

    server.add_route("POST", "/pilot", [&session](const Params& params) {
        auto param = [&](const char* key) { return params.count(key) ? params.at(key) : std::string(); };
        std::string name = param("name");
        const aircraft::PilotControl* control = aircraft::find_pilot_control(name);
        if (!control) return error_response(400, "'name' must be a pilot control, got '" + name + "'");
        std::string text = param("value");
        char* end = nullptr;
        double value = std::strtod(text.c_str(), &end);
        if (text.empty() || *end || !(value >= control->min && value <= control->max))
            return error_response(400, "'value' of " + name + " must be a number from " + number(control->min) + " to " +
                                           number(control->max));
        aircraft::Aircraft* a = session.aircraft();
        if (!a || !a->set_pilot(name, value)) return error_response(404, "this panel flies no aircraft");
        return json_response("{}");
    });
}

}  // namespace sim
