// Dirud_Box: the engine starting box, one half per engine (engine 1 on the
// left). Each half has a six-position selector painted, from the bottom up,
// A, H, E, 1, 2, 1.2 (off, preparation with the H lamp, tanks fuel valve
// open, magneto one, two and both), the H lamp, two M/A toggle switches and
// the red INJECTION knob.
//
// The selector keeps its own position: it does not read the magnetos back
// but sends the events that step them as it passes each position, assuming
// the simulator's magneto switch followed the box.
#include "framework/gauge_dispatch.h"
#include "framework/gauge_list.h"
#include "framework/host_services.h"
#include "framework/value_guards.h"
#include "sound/sound.h"

namespace {

constexpr uint32_t WAVE_SWITCH_CLICK = 10;
constexpr uint32_t SELECTOR_TOP = 5;  // 1.2, both magnetos

// Selector positions.
enum : uint32_t { SELECTOR_A, SELECTOR_H, SELECTOR_E, SELECTOR_MAGNETO_1, SELECTOR_MAGNETO_2, SELECTOR_BOTH };

// Module-wide: shared by every placement, zero at load, never reset.
uint32_t engine1_selector_position = 0;
uint32_t engine2_selector_position = 0;
int32_t engine1_h_lamp = 0;
int32_t engine2_h_lamp = 0;
sound::ClickSound starting_box_click_sound;

// One half of the box: its state and the simulator's numbers for its engine.
struct StartingHalf {
    uint32_t* selector_position;
    int32_t* h_lamp;
    uint32_t tanks_valve_var;  // a double: 0.0 shut, 1.0 open
    uint32_t tanks_valve_toggle;
    uint32_t magneto_step_up;
    uint32_t magneto_step_down;
    uint32_t magnetos_off;
    uint32_t magnetos_both;
};

const StartingHalf engine1_half = {
    .selector_position = &engine1_selector_position,
    .h_lamp = &engine1_h_lamp,
    .tanks_valve_var = 895,
    .tanks_valve_toggle = 66494,
    .magneto_step_up = 66127,
    .magneto_step_down = 66126,
    .magnetos_off = 65927,
    .magnetos_both = 65930,
};
const StartingHalf engine2_half = {
    .selector_position = &engine2_selector_position,
    .h_lamp = &engine2_h_lamp,
    .tanks_valve_var = 896,
    .tanks_valve_toggle = 66495,
    .magneto_step_up = 66129,
    .magneto_step_down = 66128,
    .magnetos_off = 65933,
    .magnetos_both = 65936,
};

constexpr uint32_t EVENT_ENGINE1_LOWER_SWITCH = 66300;
constexpr uint32_t EVENT_ENGINE2_LOWER_SWITCH = 66301;
constexpr uint32_t EVENT_ENGINE1_UPPER_SWITCH = 66340;
constexpr uint32_t EVENT_ENGINE2_UPPER_SWITCH = 66341;
constexpr uint32_t VAR_ENGINE1_LOWER_SWITCH = 401;
constexpr uint32_t VAR_ENGINE2_LOWER_SWITCH = 440;
constexpr uint32_t VAR_ENGINE1_UPPER_SWITCH = 891;  // also the INJECTION knob
constexpr uint32_t VAR_ENGINE2_UPPER_SWITCH = 892;

// ------------------------------------------------------------ selector

// What entering each position from below does.
void enter_from_below(const StartingHalf& half, uint32_t position) {
    switch (position) {
    case SELECTOR_H: *half.h_lamp = 1; break;
    case SELECTOR_E:
        if (host::read_var(half.tanks_valve_var) == 0.0) host::trigger_key_event(half.tanks_valve_toggle, 0);
        break;
    case SELECTOR_MAGNETO_1:
    case SELECTOR_MAGNETO_2: host::trigger_key_event(half.magneto_step_up, 0); break;
    case SELECTOR_BOTH: host::trigger_key_event(half.magnetos_both, 0); break;
    default: break;
    }
}

// What entering each position from above does.
void enter_from_above(const StartingHalf& half, uint32_t position) {
    switch (position) {
    case SELECTOR_A: *half.h_lamp = 0; break;
    case SELECTOR_H:
        if (host::read_var(half.tanks_valve_var) == 1.0) host::trigger_key_event(half.tanks_valve_toggle, 0);
        break;
    case SELECTOR_E: host::trigger_key_event(half.magnetos_off, 0); break;
    case SELECTOR_MAGNETO_1:
    case SELECTOR_MAGNETO_2: host::trigger_key_event(half.magneto_step_down, 0); break;
    default: break;
    }
}

// The selector clicks are silent.
void selector_up(const StartingHalf& half) {
    uint32_t& position = *half.selector_position;
    if (position >= SELECTOR_TOP) return;
    enter_from_below(half, ++position);
}

void selector_down(const StartingHalf& half) {
    uint32_t& position = *half.selector_position;
    if (position == 0) return;
    enter_from_above(half, --position);
}

int32_t GAUGE_CALL engine1_selector_up(ClickRecord*, uint32_t) {
    selector_up(engine1_half);
    return 0;
}
int32_t GAUGE_CALL engine1_selector_down(ClickRecord*, uint32_t) {
    selector_down(engine1_half);
    return 0;
}
int32_t GAUGE_CALL engine2_selector_up(ClickRecord*, uint32_t) {
    selector_up(engine2_half);
    return 0;
}
int32_t GAUGE_CALL engine2_selector_down(ClickRecord*, uint32_t) {
    selector_down(engine2_half);
    return 0;
}

// ------------------------------------------------------------ switches

void toggle_switch(uint32_t event) {
    host::trigger_key_event(event, 0);
    sound::play_click(starting_box_click_sound);
}

int32_t GAUGE_CALL engine1_lower_switch_click(ClickRecord*, uint32_t) {
    toggle_switch(EVENT_ENGINE1_LOWER_SWITCH);
    return 0;
}
int32_t GAUGE_CALL engine2_lower_switch_click(ClickRecord*, uint32_t) {
    toggle_switch(EVENT_ENGINE2_LOWER_SWITCH);
    return 0;
}
int32_t GAUGE_CALL engine1_upper_switch_click(ClickRecord*, uint32_t) {
    toggle_switch(EVENT_ENGINE1_UPPER_SWITCH);
    return 0;
}
int32_t GAUGE_CALL engine2_upper_switch_click(ClickRecord*, uint32_t) {
    toggle_switch(EVENT_ENGINE2_UPPER_SWITCH);
    return 0;
}

// ------------------------------------------------------------ pictures

// A variable that names none of the pictures draws none.
double GAUGE_CALL switch_image(IconElement* icon) {
    return icon_index_or_nothing(icon->source.value, icon->image_count);
}
// The INJECTION knob's one picture shows while its switch reads 1.
double GAUGE_CALL injection_knob_image(IconElement* icon) {
    return icon_index_or_nothing(icon->source.value - 1.0, icon->image_count);
}
double GAUGE_CALL engine1_selector_image(IconElement*) { return engine1_selector_position; }
double GAUGE_CALL engine2_selector_image(IconElement*) { return engine2_selector_position; }
double GAUGE_CALL engine1_h_lamp_image(IconElement*) { return engine1_h_lamp ? 0.0 : -1.0; }
double GAUGE_CALL engine2_h_lamp_image(IconElement*) { return engine2_h_lamp ? 0.0 : -1.0; }

constexpr IconElement box_icon(int32_t bitmap, int32_t x, int32_t y, uint32_t image_flags, uint32_t images,
                               ElementHeader* const* next, IconCallback callback, uint32_t token = 0) {
    return {.header = {.kind = ELEMENT_ICON, .bitmap = bitmap, .x = x, .y = y, .gauge = &gauge_dirud_box,
                       .next = next, .image_flags = image_flags},
            .source = {.token = token},
            .scale = 1.0,
            .image_count = images,
            .callback = callback};
}

// Drawn from the background up: lamps, selectors, knobs, then switches.
IconElement engine1_lower_switch =
    box_icon(4150, 0, 197, 0x3, 2, nullptr, switch_image, VAR_ENGINE1_LOWER_SWITCH);
ElementHeader* const engine1_lower_switch_list[] = {&engine1_lower_switch.header, nullptr};
IconElement engine2_lower_switch =
    box_icon(4160, 210, 197, 0x3, 2, engine1_lower_switch_list, switch_image, VAR_ENGINE2_LOWER_SWITCH);
ElementHeader* const engine2_lower_switch_list[] = {&engine2_lower_switch.header, nullptr};
IconElement engine1_upper_switch =
    box_icon(4170, 0, 79, 0x3, 2, engine2_lower_switch_list, switch_image, VAR_ENGINE1_UPPER_SWITCH);
ElementHeader* const engine1_upper_switch_list[] = {&engine1_upper_switch.header, nullptr};
IconElement engine2_upper_switch =
    box_icon(4180, 210, 79, 0x3, 2, engine1_upper_switch_list, switch_image, VAR_ENGINE2_UPPER_SWITCH);
ElementHeader* const engine2_upper_switch_list[] = {&engine2_upper_switch.header, nullptr};
IconElement engine1_injection_knob =
    box_icon(4220, 46, 36, 0x3, 1, engine2_upper_switch_list, injection_knob_image, VAR_ENGINE1_UPPER_SWITCH);
ElementHeader* const engine1_injection_knob_list[] = {&engine1_injection_knob.header, nullptr};
IconElement engine2_injection_knob =
    box_icon(4220, 169, 38, 0x3, 1, engine1_injection_knob_list, injection_knob_image, VAR_ENGINE2_UPPER_SWITCH);
ElementHeader* const engine2_injection_knob_list[] = {&engine2_injection_knob.header, nullptr};
IconElement engine1_selector = box_icon(4190, 77, 73, 0x3, 6, engine2_injection_knob_list, engine1_selector_image);
ElementHeader* const engine1_selector_list[] = {&engine1_selector.header, nullptr};
IconElement engine2_selector = box_icon(4200, 126, 73, 0x3, 6, engine1_selector_list, engine2_selector_image);
ElementHeader* const engine2_selector_list[] = {&engine2_selector.header, nullptr};
IconElement engine1_h_lamp_icon = box_icon(4210, 52, 271, 0x7, 1, engine2_selector_list, engine1_h_lamp_image);
ElementHeader* const engine1_h_lamp_list[] = {&engine1_h_lamp_icon.header, nullptr};
IconElement engine2_h_lamp_icon = box_icon(4210, 173, 271, 0x7, 1, engine1_h_lamp_list, engine2_h_lamp_image);
ElementHeader* const engine2_h_lamp_list[] = {&engine2_h_lamp_icon.header, nullptr};

StaticImageElement starting_box_plate = {.header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 4140,
                                                    .gauge = &gauge_dirud_box, .next = engine2_h_lamp_list,
                                                    .image_flags = 0x3}};
ElementHeader* const starting_box_list[] = {&starting_box_plate.header, nullptr};

// ------------------------------------------------------------ mouse

constexpr uint32_t HELP_LOWER_SWITCH = 43877;
constexpr uint32_t HELP_UPPER_SWITCH = 43879;
constexpr uint32_t SWITCH_FLAGS = MOUSE_LEFTSINGLE | MOUSE_REPEAT;

#define SWITCH_TOOLTIP(bx, by, help)                                                                            \
    {.type = MOUSE_PARENT, .x = bx, .y = by, .width = 40, .height = 67, .cursor = CURSOR_NONE, .help_id = help}, \
        {.type = MOUSE_PARENT_END}
#define SWITCH_CHILD(bx, by, fn)                                                                         \
    {.type = MOUSE_CHILD, .x = bx, .y = by, .width = 40, .height = 67, .cursor = CURSOR_HAND,           \
     .mouse_flags = SWITCH_FLAGS, .callback = fn}
#define SELECTOR_CHILD(bx, by, arrow, fn)                                                         \
    {.type = MOUSE_CHILD, .x = bx, .y = by, .width = 43, .height = 43, .cursor = arrow,          \
     .mouse_flags = MOUSE_LEFTSINGLE, .callback = fn}

MouseRect starting_box_mouse[] = {
    {.type = MOUSE_PARENT, .cursor = CURSOR_NONE},
    SWITCH_TOOLTIP(0, 197, HELP_LOWER_SWITCH),
    SWITCH_TOOLTIP(210, 197, HELP_LOWER_SWITCH),
    SWITCH_CHILD(0, 197, engine1_lower_switch_click),
    SWITCH_CHILD(210, 197, engine2_lower_switch_click),
    SWITCH_TOOLTIP(0, 79, HELP_UPPER_SWITCH),
    SWITCH_TOOLTIP(210, 79, HELP_UPPER_SWITCH),
    SWITCH_CHILD(0, 79, engine1_upper_switch_click),
    SWITCH_CHILD(210, 79, engine2_upper_switch_click),
    SELECTOR_CHILD(77, 73, CURSOR_UPARROW, engine1_selector_up),
    SELECTOR_CHILD(77, 175, CURSOR_DOWNARROW, engine1_selector_down),
    SELECTOR_CHILD(126, 73, CURSOR_UPARROW, engine2_selector_up),
    SELECTOR_CHILD(126, 175, CURSOR_DOWNARROW, engine2_selector_down),
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_END},
};

#undef SWITCH_TOOLTIP
#undef SWITCH_CHILD
#undef SELECTOR_CHILD

// ------------------------------------------------------------ life cycle

void starting_box_install(GaugeHeader*, HostWord module) {
    sound::install_click(starting_box_click_sound, module, WAVE_SWITCH_CLICK);
}
void starting_box_kill(GaugeHeader*) { sound::kill_click(starting_box_click_sound); }

const GaugeServiceOps dirud_box_ops = {.install = starting_box_install, .kill = starting_box_kill};
GAUGE_CALLBACK(dirud_box_callback, dirud_box_ops)

}  // namespace

GaugeHeader gauge_dirud_box = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Dirud_Box",
    .elements = starting_box_list,
    .width_mm = 100,
    .mouse_rects = starting_box_mouse,
    .callback = dirud_box_callback,
};
