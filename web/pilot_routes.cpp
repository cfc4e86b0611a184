#include "web/pilot_routes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <nlohmann/json.hpp>

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

// A figure for the page: finite whatever the aircraft's model says, to six
// significant digits, whole numbers without a decimal point.
nlohmann::ordered_json finite(double v) {
    double r = std::strtod(number(std::isfinite(v) ? std::clamp(v, -1e12, 1e12) : 0.0).c_str(), nullptr);
    if (r == std::floor(r)) return int64_t(r);
    return r;
}

std::string pilot_json(const aircraft::State& state) {
    nlohmann::ordered_json controls = nlohmann::ordered_json::array(), readouts = nlohmann::ordered_json::array();
    for (const aircraft::PilotControl& c : aircraft::pilot_controls())
        controls.push_back({{"name", c.name},
                            {"label", c.label},
                            {"unit", c.unit},
                            {"min", finite(c.min)},
                            {"max", finite(c.max)},
                            {"step", finite(c.step)},
                            {"key_up", c.key_up},
                            {"key_down", c.key_down},
                            {"value", finite(c.get(state))}});
    for (const aircraft::PilotReadout& r : aircraft::pilot_readouts())
        readouts.push_back({{"name", r.name},
                            {"label", r.label},
                            {"unit", r.unit},
                            {"value", finite(r.get(state))},
                            {"text", latin1_to_utf8(r.text(state))}});  // the aircraft writes its degree signs in Latin-1
    return json_text({{"controls", std::move(controls)}, {"state", std::move(readouts)}});
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
        return json_response(json_text(nlohmann::ordered_json::object()));
    });
}

}  // namespace sim
