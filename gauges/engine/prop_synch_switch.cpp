// Prop_Synch_Switch: the two-position switch of the propeller synchroniser.
// Its picture follows the simulator's synchroniser; a click toggles it and
// clicks audibly.
#include "framework/gauge_dispatch.h"
#include "framework/gauge_list.h"
#include "framework/host_services.h"
#include "sound/sound.h"

namespace {

constexpr uint32_t VAR_PROP_SYNCH = 788;  // greater than 0 while on
constexpr uint32_t EVENT_TOGGLE_PROP_SYNCH = 66287;
constexpr uint32_t WAVE_SWITCH_CLICK = 10;

sound::ClickSound synch_switch_click_sound;

// Image 0 (bitmap 1490) off, image 1 (1491) on, straight from variable 788.
IconElement synch_switch_icon = {
    .header = {.kind = ELEMENT_ICON, .bitmap = 1490, .gauge = &gauge_prop_synch_switch, .image_flags = 0x3},
    .source = {.token = VAR_PROP_SYNCH},
    .scale = 1.0,
    .image_count = 2,
};
ElementHeader* const synch_switch_icon_list[] = {&synch_switch_icon.header, nullptr};

StaticImageElement synch_switch_plate = {.header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 1480,
                                                    .gauge = &gauge_prop_synch_switch,
                                                    .next = synch_switch_icon_list, .image_flags = 0x3}};
ElementHeader* const synch_switch_list[] = {&synch_switch_plate.header, nullptr};

int32_t GAUGE_CALL synch_switch_click(ClickRecord*, uint32_t) {
    host::trigger_key_event(EVENT_TOGGLE_PROP_SYNCH, 0);
    sound::play_click(synch_switch_click_sound);
    return 0;
}

const char* GAUGE_CALL synch_switch_state(double, uint32_t, uint32_t, uint32_t, uint32_t) {
    return host::read_var(VAR_PROP_SYNCH) > 0 ? "on" : "off";
}

const TooltipArg synch_switch_tooltip_args[] = {{.string = synch_switch_state}};

MouseRect synch_switch_mouse[] = {
    {.type = MOUSE_PARENT, .cursor = CURSOR_NONE},
    {.type = MOUSE_TOOLTIP, .cursor = CURSOR_NONE, .arg_count = 1,
     .text = "Propeller synchroscope switch (%1!s!)", .args = synch_switch_tooltip_args},
    {.type = MOUSE_CHILD, .x = 0, .y = 0, .width = 36, .height = 57, .cursor = CURSOR_HAND,
     .mouse_flags = MOUSE_LEFTSINGLE, .callback = synch_switch_click},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_END},
};

void synch_switch_install(GaugeHeader*, HostWord module) {
    sound::install_click(synch_switch_click_sound, module, WAVE_SWITCH_CLICK);
}
void synch_switch_kill(GaugeHeader*) { sound::kill_click(synch_switch_click_sound); }

const GaugeServiceOps synch_switch_ops = {.install = synch_switch_install, .kill = synch_switch_kill};
GAUGE_CALLBACK(prop_synch_switch_callback, synch_switch_ops)

}  // namespace

GaugeHeader gauge_prop_synch_switch = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Prop_Synch_Switch",
    .elements = synch_switch_list,
    .width_mm = 30,
    .mouse_rects = synch_switch_mouse,
    .callback = prop_synch_switch_callback,
};
