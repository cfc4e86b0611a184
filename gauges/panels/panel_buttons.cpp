// The ten panel-window buttons, one row each. Kneeboard, ATC and map make
// the host send their own key event; the other seven run the shared
// programmable behaviour and differ only in face, help id and tooltip.
#include "framework/gauge_list.h"
#include "gauges/panels/panel_button.h"

// clang-format off
//                gauge                gauge name              face  help id  host event
HOST_EVENT_BUTTON(kneeboard_toggle,    "Kneeboard_Toggle",     60,   43923,   65876)
HOST_EVENT_BUTTON(atc_toggle,          "ATC_Toggle",           80,   43924,   65564)
HOST_EVENT_BUTTON(map_toggle,          "Map_Toggle",           70,   43919,   66432)

//                  gauge                gauge name              face  help id  tooltip
PROGRAMMABLE_BUTTON(invisible_toggle,    "Invisible_Toggle",     100,  0,       nullptr)
PROGRAMMABLE_BUTTON(close_subpanel,      "Close_Subpanel",       110,  0,       "Close the subpanel")
PROGRAMMABLE_BUTTON(radios_toggle,       "Radios_Toggle",        120,  43910,   nullptr)
PROGRAMMABLE_BUTTON(landing_view_toggle, "Landing_View_Toggle",  130,  0,       "Switch between Normal and Landing view")
PROGRAMMABLE_BUTTON(gps_toggle,          "GPS_Toggle",           140,  43911,   nullptr)
PROGRAMMABLE_BUTTON(throttle_toggle,     "Throttle_Toggle",      150,  43912,   nullptr)
PROGRAMMABLE_BUTTON(compass_toggle,      "Compass_Toggle",       160,  43913,   nullptr)
// clang-format on
