// Radio_Altimeter_DH_Light: the lamp that lights while the radio height is
// below the decision height. No gauge callback.
#include "framework/gauge_list.h"
#include "framework/host_services.h"
#include "framework/value_guards.h"
#include "gauges/flight/radio_altimeter_power.h"

constexpr uint32_t DH_ALERT = 616;        // 1 while the alert is on
constexpr uint32_t DH_LAMP_BLANKED = 60;  // exactly 1.0 keeps the lamp dark

static double GAUGE_CALL radio_altimeter_dh_lamp(IconElement* icon) {
    double blanked = host::read_var(DH_LAMP_BLANKED);
    if (!radio_altimeter_power_on || blanked == 1.0) return -1.0;
    return icon_index_or_nothing(icon->source.value - 1, icon->image_count);
}

static IconElement radio_altimeter_dh_lamp_icon = {
    .header = {.kind = ELEMENT_ICON, .bitmap = 3220, .gauge = &gauge_radio_altimeter_dh_light, .image_flags = 0x7},
    .source = {.token = DH_ALERT},
    .scale = 1.0,
    .image_count = 1,
    .callback = radio_altimeter_dh_lamp,
};
static ElementHeader* const radio_altimeter_dh_lamp_list[] = {&radio_altimeter_dh_lamp_icon.header, nullptr};

static StaticImageElement radio_altimeter_dh_background = {
    .header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 3210, .gauge = &gauge_radio_altimeter_dh_light,
               .next = radio_altimeter_dh_lamp_list, .image_flags = 0x3}};
static ElementHeader* const radio_altimeter_dh_elements[] = {&radio_altimeter_dh_background.header, nullptr};

static MouseRect radio_altimeter_dh_mouse[] = {
    {.type = MOUSE_PARENT, .cursor = CURSOR_NONE},
    {.type = MOUSE_TOOLTIP, .cursor = CURSOR_NONE, .text = "Radio-altimeter decision height light"},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_END},
};

GaugeHeader gauge_radio_altimeter_dh_light = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Radio_Altimeter_DH_Light",
    .elements = radio_altimeter_dh_elements,
    .width_mm = 30,
    .mouse_rects = radio_altimeter_dh_mouse,
};
