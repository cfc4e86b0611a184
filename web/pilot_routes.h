// The pilot's controls in the live panel: GET /pilot gives the aircraft's
// pilot controls (name, label, unit, range, step, keyboard keys, value)
// and the figures it reads back, as JSON; POST /pilot?name=N&value=V sets
// one control, checked against its range and run on the panel thread like
// every request that changes the panel.
#pragma once

namespace sim {

class PanelSession;
class PanelWebServer;

void install_pilot_routes(PanelWebServer& server, PanelSession& session);

}  // namespace sim
