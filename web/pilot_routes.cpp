#include "web/pilot_routes.h"

#include <httplib.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "aircraft/pilot_controls.h"

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
               ",\"unit\":" + quoted(r.unit) + ",\"value\":" + number(r.get(state)) + "}";
        first = false;
    }
    return out + "]}";
}

void refuse(httplib::Response& res, int status, const std::string& why) {
    res.status = status;
    res.set_content("bad request: " + why + "\n", "text/plain");
}

}  // namespace

void install_pilot_routes(httplib::Server& server, PanelSession& session, OnPanel on_panel) {
    server.Get("/pilot", [&session, on_panel](const httplib::Request&, httplib::Response& res) {
        std::string json;
        bool flying = false;
        if (!on_panel([&] {
                if (aircraft::Aircraft* a = session.aircraft()) json = pilot_json(a->state()), flying = true;
            }))
            return refuse(res, 503, "panel busy");
        if (!flying) return refuse(res, 404, "this panel flies no aircraft");
        res.set_header("Cache-Control", "no-store");
        res.set_content(json, "application/json");
    });

    server.Post("/pilot", [&session, on_panel](const httplib::Request& req, httplib::Response& res) {
        std::string name = req.get_param_value("name");
        const aircraft::PilotControl* control = aircraft::find_pilot_control(name);
        if (!control) return refuse(res, 400, "'name' must be a pilot control, got '" + name + "'");
        std::string text = req.get_param_value("value");
        char* end = nullptr;
        double value = std::strtod(text.c_str(), &end);
        if (text.empty() || *end || !(value >= control->min && value <= control->max))
            return refuse(res, 400, "'value' of " + name + " must be a number from " + number(control->min) + " to " +
                                        number(control->max));
        bool flying = false;
        if (!on_panel([&] {
                if (aircraft::Aircraft* a = session.aircraft()) flying = a->set_pilot(name, value);
            }))
            return refuse(res, 503, "panel busy");
        if (!flying) return refuse(res, 404, "this panel flies no aircraft");
        res.set_content("{}", "application/json");
    });
}

}  // namespace sim
