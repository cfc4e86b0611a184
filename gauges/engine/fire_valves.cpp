// Fire_Valves: the row of eight valve handles, four for each side. From left
// to right: left engine admission, left tanks fuel, left engine oil, left
// tanks fuel dump, then right tanks fuel dump, right engine oil, right tanks
// fuel and right engine admission.
//
// Admission and tanks fuel valves act on the simulator through key events
// and show its variables. The oil and dump valves are cockpit fittings with
// no effect on the simulation: each is a flag of this gauge that a click
// toggles.
#include "framework/gauge_dispatch.h"
#include "framework/gauge_list.h"
#include "framework/host_services.h"
#include "sound/sound.h"

namespace {

constexpr uint32_t WAVE_VALVE_CLICK = 10;
constexpr int32_t HANDLE_HEIGHT = 115;

// An engine admission valve: an integer in the low word of its variable,
// 0 shut and 1 open, opened and shut by two events.
struct AdmissionValve {
    uint32_t token;
    uint32_t open_event;
    uint32_t shut_event;
};
constexpr AdmissionValve left_admission = {.token = 422, .open_event = 65956, .shut_event = 65955};
constexpr AdmissionValve right_admission = {.token = 461, .open_event = 66517, .shut_event = 66516};

// The tanks fuel valves, a double each, toggled by one event each (the same
// valves the engine starting box opens and shuts).
constexpr uint32_t VAR_LEFT_TANKS_VALVE = 895;
constexpr uint32_t VAR_RIGHT_TANKS_VALVE = 896;
constexpr uint32_t EVENT_TOGGLE_LEFT_TANKS_VALVE = 66494;
constexpr uint32_t EVENT_TOGGLE_RIGHT_TANKS_VALVE = 66495;

// Module-wide: shared by every placement, set at load, never reset.
int32_t left_oil_valve_on = 1;
int32_t right_oil_valve_on = 1;
int32_t left_dump_valve_inactive = 1;
int32_t right_dump_valve_inactive = 1;
sound::ClickSound valve_click_sound;

// ------------------------------------------------------------ clicks

void operate_admission_valve(const AdmissionValve& valve) {
    switch (host::read_var_low_word(valve.token)) {
    case 0: host::trigger_key_event(valve.open_event, 0); break;
    case 1: host::trigger_key_event(valve.shut_event, 0); break;
    default: return;  // neither shut nor open: the handle does not move
    }
    sound::play_click(valve_click_sound);
}

void operate_tanks_valve(uint32_t toggle_event) {
    host::trigger_key_event(toggle_event, 0);
    sound::play_click(valve_click_sound);
}

void operate_flag_valve(int32_t& flag) {
    flag = flag == 0 ? 1 : 0;
    sound::play_click(valve_click_sound);
}

int32_t GAUGE_CALL left_admission_click(ClickRecord*, uint32_t) {
    operate_admission_valve(left_admission);
    return 0;
}
int32_t GAUGE_CALL left_tanks_click(ClickRecord*, uint32_t) {
    operate_tanks_valve(EVENT_TOGGLE_LEFT_TANKS_VALVE);
    return 0;
}
int32_t GAUGE_CALL left_oil_click(ClickRecord*, uint32_t) {
    operate_flag_valve(left_oil_valve_on);
    return 0;
}
int32_t GAUGE_CALL left_dump_click(ClickRecord*, uint32_t) {
    operate_flag_valve(left_dump_valve_inactive);
    return 0;
}
int32_t GAUGE_CALL right_dump_click(ClickRecord*, uint32_t) {
    operate_flag_valve(right_dump_valve_inactive);
    return 0;
}
int32_t GAUGE_CALL right_oil_click(ClickRecord*, uint32_t) {
    operate_flag_valve(right_oil_valve_on);
    return 0;
}
int32_t GAUGE_CALL right_tanks_click(ClickRecord*, uint32_t) {
    operate_tanks_valve(EVENT_TOGGLE_RIGHT_TANKS_VALVE);
    return 0;
}
int32_t GAUGE_CALL right_admission_click(ClickRecord*, uint32_t) {
    operate_admission_valve(right_admission);
    return 0;
}

// ------------------------------------------------------------ handles

// Image 1 draws an admission or oil handle up (open, on); image 1 of a
// dump handle draws it down (active).
double admission_image(const AdmissionValve& valve) { return host::read_var_low_word(valve.token) != 0 ? 1.0 : 0.0; }
double GAUGE_CALL left_admission_image(IconElement*) { return admission_image(left_admission); }
double GAUGE_CALL right_admission_image(IconElement*) { return admission_image(right_admission); }
double GAUGE_CALL left_oil_image(IconElement*) { return left_oil_valve_on != 0 ? 1.0 : 0.0; }
double GAUGE_CALL right_oil_image(IconElement*) { return right_oil_valve_on != 0 ? 1.0 : 0.0; }
double GAUGE_CALL left_dump_image(IconElement*) { return left_dump_valve_inactive != 0 ? 0.0 : 1.0; }
double GAUGE_CALL right_dump_image(IconElement*) { return right_dump_valve_inactive != 0 ? 0.0 : 1.0; }

// A two-image handle at x on the background.
constexpr IconElement valve_handle(int32_t bitmap, int32_t x, ElementHeader* const* next, IconCallback callback,
                                   uint32_t token = 0) {
    return {.header = {.kind = ELEMENT_ICON, .bitmap = bitmap, .x = x, .y = 0, .gauge = &gauge_fire_valves,
                       .next = next, .image_flags = 0x3},
            .source = {.token = token},
            .scale = 1.0,
            .image_count = 2,
            .callback = callback};
}

// Drawn from the background up, right to left.
IconElement left_admission_handle = valve_handle(4240, 15, nullptr, left_admission_image);
ElementHeader* const left_admission_list[] = {&left_admission_handle.header, nullptr};
IconElement left_tanks_handle = valve_handle(4260, 32, left_admission_list, nullptr, VAR_LEFT_TANKS_VALVE);
ElementHeader* const left_tanks_list[] = {&left_tanks_handle.header, nullptr};
IconElement left_oil_handle = valve_handle(4280, 63, left_tanks_list, left_oil_image);
ElementHeader* const left_oil_list[] = {&left_oil_handle.header, nullptr};
IconElement left_dump_handle = valve_handle(4300, 87, left_oil_list, left_dump_image);
ElementHeader* const left_dump_list[] = {&left_dump_handle.header, nullptr};
IconElement right_dump_handle = valve_handle(4310, 125, left_dump_list, right_dump_image);
ElementHeader* const right_dump_list[] = {&right_dump_handle.header, nullptr};
IconElement right_oil_handle = valve_handle(4290, 147, right_dump_list, right_oil_image);
ElementHeader* const right_oil_list[] = {&right_oil_handle.header, nullptr};
IconElement right_tanks_handle = valve_handle(4270, 174, right_oil_list, nullptr, VAR_RIGHT_TANKS_VALVE);
ElementHeader* const right_tanks_list[] = {&right_tanks_handle.header, nullptr};
IconElement right_admission_handle = valve_handle(4250, 201, right_tanks_list, right_admission_image);
ElementHeader* const right_admission_list[] = {&right_admission_handle.header, nullptr};

StaticImageElement valves_plate = {.header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 4230,
                                              .gauge = &gauge_fire_valves, .next = right_admission_list,
                                              .image_flags = 0x3}};
ElementHeader* const valves_list[] = {&valves_plate.header, nullptr};

// ------------------------------------------------------------ tooltips

const char* GAUGE_CALL left_admission_state(double, uint32_t, uint32_t, uint32_t, uint32_t) {
    return host::read_var_low_word(left_admission.token) == 0 ? "shut" : "open";
}
const char* GAUGE_CALL left_tanks_state(double, uint32_t, uint32_t, uint32_t, uint32_t) {
    return host::read_var(VAR_LEFT_TANKS_VALVE) > 0 ? "open" : "shut";
}
const char* GAUGE_CALL left_oil_state(double, uint32_t, uint32_t, uint32_t, uint32_t) {
    return left_oil_valve_on != 0 ? "on" : "off";
}
const char* GAUGE_CALL left_dump_state(double, uint32_t, uint32_t, uint32_t, uint32_t) {
    return left_dump_valve_inactive != 0 ? "inactive" : "active";
}
const char* GAUGE_CALL right_dump_state(double, uint32_t, uint32_t, uint32_t, uint32_t) {
    return right_dump_valve_inactive != 0 ? "inactive" : "active";
}
const char* GAUGE_CALL right_oil_state(double, uint32_t, uint32_t, uint32_t, uint32_t) {
    return right_oil_valve_on != 0 ? "on" : "off";
}
const char* GAUGE_CALL right_tanks_state(double, uint32_t, uint32_t, uint32_t, uint32_t) {
    return host::read_var(VAR_RIGHT_TANKS_VALVE) == 1.0 ? "open" : "shut";
}
const char* GAUGE_CALL right_admission_state(double, uint32_t, uint32_t, uint32_t, uint32_t) {
    return host::read_var_low_word(right_admission.token) == 0 ? "shut" : "open";
}

// One array for all eight texts; each text picks its own placeholder.
const TooltipArg valve_tooltip_args[] = {
    {.string = left_admission_state}, {.string = left_tanks_state},  {.string = left_oil_state},
    {.string = left_dump_state},      {.string = right_dump_state},  {.string = right_oil_state},
    {.string = right_tanks_state},    {.string = right_admission_state},
};
constexpr uint32_t VALVE_TOOLTIP_ARGS = 8;

// ------------------------------------------------------------ mouse

#define VALVE_TOOLTIP(bx, bw, tip)                                                                        \
    {.type = MOUSE_PARENT, .x = bx, .y = 0, .width = bw, .height = HANDLE_HEIGHT, .cursor = CURSOR_NONE}, \
        {.type = MOUSE_TOOLTIP, .cursor = CURSOR_NONE, .arg_count = VALVE_TOOLTIP_ARGS, .text = tip,      \
         .args = valve_tooltip_args},                                                                     \
        {.type = MOUSE_PARENT_END}
#define VALVE_CHILD(bx, bw, fn)                                                                        \
    {.type = MOUSE_CHILD, .x = bx, .y = 0, .width = bw, .height = HANDLE_HEIGHT, .cursor = CURSOR_HAND, \
     .mouse_flags = MOUSE_LEFTSINGLE, .callback = fn}

MouseRect valves_mouse[] = {
    {.type = MOUSE_PARENT, .cursor = CURSOR_NONE},
    VALVE_TOOLTIP(15, 14, "Left engine admission valve (%1!s!)"),
    VALVE_TOOLTIP(32, 23, "Left tanks fuel valve (%2!s!)"),
    VALVE_TOOLTIP(63, 19, "Left engine oil valve (%3!s!)"),
    VALVE_TOOLTIP(87, 17, "Left tanks fuel dump valve (%4!s!)"),
    VALVE_TOOLTIP(125, 17, "Right tanks fuel dump valve (%5!s!)"),
    VALVE_TOOLTIP(147, 19, "Right engine oil valve (%6!s!)"),
    VALVE_TOOLTIP(174, 23, "Right tanks fuel valve (%7!s!)"),
    VALVE_TOOLTIP(201, 14, "Right engine admission valve (%8!s!)"),
    VALVE_CHILD(15, 14, left_admission_click),
    VALVE_CHILD(32, 23, left_tanks_click),
    VALVE_CHILD(63, 19, left_oil_click),
    VALVE_CHILD(87, 17, left_dump_click),
    VALVE_CHILD(125, 17, right_dump_click),
    VALVE_CHILD(147, 19, right_oil_click),
    VALVE_CHILD(174, 23, right_tanks_click),
    VALVE_CHILD(201, 14, right_admission_click),
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_END},
};

#undef VALVE_TOOLTIP
#undef VALVE_CHILD

// ------------------------------------------------------------ life cycle

void fire_valves_install(GaugeHeader*, HostWord module) {
    sound::install_click(valve_click_sound, module, WAVE_VALVE_CLICK);
}
void fire_valves_kill(GaugeHeader*) { sound::kill_click(valve_click_sound); }

const GaugeServiceOps fire_valves_ops = {.install = fire_valves_install, .kill = fire_valves_kill};
GAUGE_CALLBACK(fire_valves_callback, fire_valves_ops)

}  // namespace

GaugeHeader gauge_fire_valves = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Fire_Valves",
    .elements = valves_list,
    .width_mm = 30,
    .mouse_rects = valves_mouse,
    .callback = fire_valves_callback,
};
