// The one behaviour of the seven programmable panel-window buttons.
#include "gauges/panels/panel_button.h"

#include "framework/gauge_dispatch.h"
#include "framework/host_services.h"
#include "framework/panel_commands.h"

namespace {

// The main panel window, toggled by a button that has no commands.
constexpr uint32_t MAIN_PANEL = 0;

void send_key_event(uint32_t event_id, uint32_t value) { host::trigger_key_event(event_id, value); }

void install_button(GaugeHeader* gauge, HostWord) { apply_button_install(gauge, send_key_event); }

const GaugeServiceOps panel_button_ops = {.install = install_button};

}  // namespace

void GAUGE_CALL panel_button_gauge_callback(GaugeHeader* gauge, int32_t service, HostWord extra) {
    dispatch_service(panel_button_ops, gauge, service, extra);
}

// The mouse flags are not looked at: the click area takes left clicks only.
int32_t GAUGE_CALL panel_button_click(ClickRecord* click, uint32_t) {
    const char* parameters = click && click->gauge ? click->gauge->parameters : nullptr;
    if (!run_panel_commands(parameters, send_key_event)) host::panel_window_toggle(MAIN_PANEL);
    return 0;
}
