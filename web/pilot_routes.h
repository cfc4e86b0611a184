// The pilot's controls in the live panel: GET /pilot gives the aircraft's
// pilot controls (name, label, unit, range, step, keyboard keys, value)
// and the figures it reads back, as JSON; POST /pilot?name=N&value=V sets
// one control, checked against its range and run on the panel thread like
// every request that changes the panel.
#pragma once

#include <functional>

#include "preview/panel_session.h"

namespace httplib {
class Server;
}

namespace sim {

// Runs a function on the panel thread and waits for it; false when the
// panel did not run it in time.
using OnPanel = std::function<bool(std::function<void()>)>;

void install_pilot_routes(httplib::Server& server, PanelSession& session, OnPanel on_panel);

}  // namespace sim
