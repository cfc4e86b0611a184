// Radio_Altimeter_Switch: the toggle that powers the radio altimeter. It owns
// the power state that the dial and the decision-height lamp read.
#include "framework/gauge_dispatch.h"
#include "framework/gauge_list.h"
#include "gauges/flight/radio_altimeter_power.h"
#include "gauges/radio/radio_common.h"

int32_t radio_altimeter_power_on = 0;

constexpr uint32_t RADIO_ALTIMETER_SWITCH_WAVE = 10;
static radio::PanelClick radio_altimeter_switch_sound = {};

// Image 1 is the lever down (off), image 2 up (on); image 0 is never shown.
static double GAUGE_CALL radio_altimeter_switch_image(IconElement*) { return radio_altimeter_power_on ? 2.0 : 1.0; }

static int32_t GAUGE_CALL radio_altimeter_switch_click(ClickRecord*, uint32_t) {
    radio::play_click(radio_altimeter_switch_sound);
    radio::toggle(radio_altimeter_power_on);
    return 0;
}

static IconElement radio_altimeter_switch_icon = {
    .header = {.kind = ELEMENT_ICON, .bitmap = 3200, .gauge = &gauge_radio_altimeter_switch, .image_flags = 0x3},
    .scale = 1.0,
    .image_count = 3,
    .callback = radio_altimeter_switch_image,
};
static ElementHeader* const radio_altimeter_switch_icon_list[] = {&radio_altimeter_switch_icon.header, nullptr};

static StaticImageElement radio_altimeter_switch_background = {
    .header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 3190, .gauge = &gauge_radio_altimeter_switch,
               .next = radio_altimeter_switch_icon_list, .image_flags = 0x3}};
static ElementHeader* const radio_altimeter_switch_elements[] = {&radio_altimeter_switch_background.header, nullptr};

static MouseRect radio_altimeter_switch_mouse[] = {
    {.type = MOUSE_PARENT, .cursor = CURSOR_NONE},
    {.type = MOUSE_TOOLTIP, .cursor = CURSOR_NONE, .text = "Radio-altimeter switch"},
    {.type = MOUSE_CHILD, .x = 0, .y = 20, .width = 40, .height = 118, .cursor = CURSOR_HAND,
     .mouse_flags = MOUSE_LEFTSINGLE, .callback = radio_altimeter_switch_click},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_END},
};

static void radio_altimeter_switch_install(GaugeHeader*, HostWord module) {
    radio::install_click(radio_altimeter_switch_sound, module, RADIO_ALTIMETER_SWITCH_WAVE);
}
static void radio_altimeter_switch_kill(GaugeHeader*) { radio::kill_click(radio_altimeter_switch_sound); }

static const GaugeServiceOps radio_altimeter_switch_ops = {.install = radio_altimeter_switch_install,
                                                           .kill = radio_altimeter_switch_kill};
GAUGE_CALLBACK(radio_altimeter_switch_callback, radio_altimeter_switch_ops)

GaugeHeader gauge_radio_altimeter_switch = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Radio_Altimeter_Switch",
    .elements = radio_altimeter_switch_elements,
    .width_mm = 30,
    .mouse_rects = radio_altimeter_switch_mouse,
    .callback = radio_altimeter_switch_callback,
};
