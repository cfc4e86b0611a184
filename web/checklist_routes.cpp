// The aircraft's checklist and its reset in the live panel: GET /checklist
// answers every line with whether the aircraft's state says it is done now
// and where on the panel its control is; POST /reset puts the aircraft
// back cold and dark at its parking place and stops the scenario.
#include <nlohmann/json.hpp>

#include "aircraft/checklist.h"
#include "web/panel_state.h"
#include "web/web_server.h"

namespace sim {

namespace {

// The page reads these answers as JSON, their errors too.
HttpResponse no_aircraft() {
    HttpResponse r = json_response(json_text({{"error", "this panel flies no aircraft"}}));
    r.status = 404;
    return r;
}

}  // namespace

void PanelWebServer::reset_and_maybe_run(bool then_run) {
    if (pressed_gauge_) pressed_gauge_->placement->release();
    pressed_gauge_ = nullptr;
    session_.reset_aircraft();
    scenario_running_ = then_run;
    if (then_run) session_.restart_scenario();
    input_waiting_ = true;  // the pages see the cold panel with the next cycle
}

void PanelWebServer::reset_aircraft(const Call& c) {
    post_task(c.reply, [this] {
        if (!session_.aircraft()) return no_aircraft();
        reset_and_maybe_run(false);
        return json_response(json_text(nlohmann::ordered_json::object()));
    });
}

void PanelWebServer::serve_checklist(const Call& c) {
    post_task(c.reply, [this] {
        aircraft::Aircraft* plane = session_.aircraft();
        if (!plane) return no_aircraft();
        nlohmann::ordered_json sections = nlohmann::ordered_json::array();
        for (const aircraft::ChecklistSection& section : aircraft::checklist()) {
            nlohmann::ordered_json lines = nlohmann::ordered_json::array();
            for (const aircraft::ChecklistLine& line : section.lines) {
                PanelSession::Rect r;
                nlohmann::ordered_json target = nullptr;
                if (session_.control_rect(line.control, &r)) target = {{"x", r.x}, {"y", r.y}, {"w", r.w}, {"h", r.h}};
                lines.push_back({{"text", line.text}, {"done", line.done(plane->state())}, {"target", std::move(target)}});
            }
            sections.push_back({{"title", section.title}, {"lines", std::move(lines)}});
        }
        return json_response(json_text({{"sections", std::move(sections)}}));
    });
}

}  // namespace sim
