// Radio_Altimeter: the radio height dial with its decision-height marker and
// setting knob, and the spoken height call-outs of a descent. Each update the
// gauge filters the vertical speed and, when the height falls through one of
// eleven fixed heights or through the decision height while sinking, plays
// that height's recording once.
#include <cmath>

#include "framework/gauge_dispatch.h"
#include "framework/gauge_list.h"
#include "framework/host_services.h"
#include "framework/parameters.h"
#include "framework/value_guards.h"
#include "gauges/flight/radio_altimeter_power.h"
#include "sound/sound.h"

enum RadioAltimeterToken : uint32_t {
    RADIO_HEIGHT = 614,      // metres
    DECISION_HEIGHT = 615,   // metres
    VERTICAL_SPEED = 65,     // metres per second x 256
    CALLOUT_CONDITION = 755,  // the call-outs speak only at 20 or more
};
enum RadioAltimeterEvent : uint32_t { DH_UP = 66321, DH_DOWN = 66322 };

constexpr double METRES_PER_1000_FT = 304.79999024640034;
constexpr double METRES_PER_300_FT = 91.4399970739201;
constexpr double CALLOUT_CONDITION_MINIMUM = 20;
constexpr double VS_TO_FEET_PER_MINUTE = 3.28084 * 60 / 256;
constexpr double VS_FILTER_NEW = 1 - 0.9, VS_FILTER_KEPT = 0.9;
constexpr double KNOB_TURNS_PER_MARKER_TURN = 20;

// One call-out: the height it speaks, the sink rate (feet per minute) the
// aircraft must at least have, and its recording.
struct Callout {
    double height;
    double sink_rate;
    SoundBuffer* buffer;
    uint16_t wave;
    int32_t volume;
};

constexpr int32_t CALLOUT_VOLUME = -500;
constexpr int HEIGHT_CALLOUTS = 11;
static Callout height_callouts[HEIGHT_CALLOUTS] = {
    {304.79999024640034, 100, nullptr, 3290, CALLOUT_VOLUME}, {152.39999512320017, 50, nullptr, 3300, CALLOUT_VOLUME},
    {121.91999609856012, 50, nullptr, 3310, CALLOUT_VOLUME},  {91.4399970739201, 50, nullptr, 3320, CALLOUT_VOLUME},
    {60.95999804928006, 50, nullptr, 3330, CALLOUT_VOLUME},   {30.47999902464003, 50, nullptr, 3340, CALLOUT_VOLUME},
    {15.239999512320015, 10, nullptr, 3350, CALLOUT_VOLUME},  {12.191999609856012, 10, nullptr, 3360, CALLOUT_VOLUME},
    {9.143999707392009, 10, nullptr, 3370, CALLOUT_VOLUME},   {6.095999804928006, 10, nullptr, 3380, CALLOUT_VOLUME},
    {3.047999902464003, 10, nullptr, 3390, CALLOUT_VOLUME},
};
// Its height follows the decision height every update.
static Callout decision_height_callout = {0, 50, nullptr, 3400, CALLOUT_VOLUME};

static int callout_count = HEIGHT_CALLOUTS;
static int32_t callouts_enabled = 0;
static double previous_radio_height = 0;
static double filtered_vertical_speed = 0;  // feet per minute
static VarRecord radio_height_var = {.token = RADIO_HEIGHT};
static VarRecord decision_height_var = {.token = DECISION_HEIGHT};
static VarRecord vertical_speed_var = {.token = VERTICAL_SPEED};

static SoundDevice* callout_device = nullptr;
static WindowHandle callout_window = nullptr;
static HostWord callout_module = 0;
// Placements installed and not yet killed: the recordings are loaded once
// and released with the last placement.
static int32_t radio_altimeter_placements = 0;

// ------------------------------------------------------------ call-outs

// "s1" enables the call-outs; "s0", "s=1" or no s do not.
static int32_t callouts_requested(const char* parameters) {
    const char* key = find_parameter_key(parameters, "s");
    return key && key[1] == '1' && !(key[2] >= '0' && key[2] <= '9') ? 1 : 0;
}

// Loads the decision-height recording, then the eleven heights; the first
// failure leaves the rest without sound.
static void load_callouts() {
    callout_window = sound::find_host_main_window();
    if (!sound::create_device(callout_window, &callout_device)) return;
    auto load = [](Callout& c) {
        if (!sound::load_wave(callout_window, &callout_device, &c.buffer, c.wave, callout_module)) return false;
        sound::set_volume(&c.buffer, c.volume);
        return true;
    };
    if (!load(decision_height_callout)) return;
    for (Callout& c : height_callouts)
        if (!load(c)) return;
}

static void release_callouts() {
    for (Callout& c : height_callouts) sound::release_buffer(&c.buffer);
    sound::release_buffer(&decision_height_callout.buffer);
    sound::release_device(&callout_device);
}

// Plays the call-out when the height came down onto or through it since the
// last update while sinking at least at its rate, unless it is still
// speaking.
static bool try_callout(Callout& c, double previous, double current) {
    if (!(current <= c.height && c.height <= previous)) return false;
    if (!(filtered_vertical_speed <= -c.sink_rate)) return false;
    if (!c.buffer || sound::is_playing(&c.buffer)) return false;
    return sound::play(&c.buffer, 0) != 0;
}

static void speak_callouts() {
    double previous = previous_radio_height, current = radio_height_var.value;
    // A height that is no number or endless crosses nothing.
    if (!std::isfinite(previous) || !std::isfinite(current)) return;
    if (try_callout(decision_height_callout, previous, current)) return;
    for (int i = 0; i < callout_count && i < HEIGHT_CALLOUTS; ++i)
        if (try_callout(height_callouts[i], previous, current)) return;
}

// A sample that is no number or endless would spoil the filter for good; it
// is left out.
static void filter_vertical_speed(double v) {
    double fpm = v * VS_TO_FEET_PER_MINUTE;
    if (!std::isfinite(fpm)) return;
    filtered_vertical_speed = fpm * VS_FILTER_NEW + VS_FILTER_KEPT * filtered_vertical_speed;
}

// ------------------------------------------------------------ life cycle

static void radio_altimeter_install(GaugeHeader* gauge, HostWord module) {
    ++radio_altimeter_placements;
    callouts_enabled = callouts_requested(gauge_parameters(gauge));
    if (!callouts_enabled || callout_device) return;
    callout_module = module;
    load_callouts();
}

static void radio_altimeter_setup(GaugeHeader*) {
    callout_count = HEIGHT_CALLOUTS;
    host::lookup_var(&radio_height_var);
    previous_radio_height = radio_height_var.value;
}

static void radio_altimeter_update(GaugeHeader*) {
    previous_radio_height = radio_height_var.value;
    host::lookup_var(&radio_height_var);
    host::lookup_var(&decision_height_var);
    decision_height_callout.height = decision_height_var.value;
    host::lookup_var(&vertical_speed_var);
    filter_vertical_speed(vertical_speed_var.value);
    if (!radio_altimeter_power_on || !callouts_enabled) return;
    if (!(host::read_var(CALLOUT_CONDITION) >= CALLOUT_CONDITION_MINIMUM)) return;
    speak_callouts();
}

static void radio_altimeter_kill(GaugeHeader*) {
    if (radio_altimeter_placements > 0 && --radio_altimeter_placements > 0) return;
    release_callouts();
}

static const GaugeServiceOps radio_altimeter_ops = {.install = radio_altimeter_install,
                                                    .update = radio_altimeter_update,
                                                    .kill = radio_altimeter_kill,
                                                    .setup = radio_altimeter_setup};
GAUGE_CALLBACK(radio_altimeter_callback, radio_altimeter_ops)

// ------------------------------------------------------------ dial

static double GAUGE_CALL radio_altimeter_pointer(NeedleElement* e) {
    return radio_altimeter_power_on ? finite_or(e->source.value, 0) : 0;
}

// The marker's angle for a value, on the angles the host stored in the
// marker's table: inside the table on the segment holding the value, beyond
// it on the nearer end segment, continued linearly.
static double marker_angle(const NonlinearityEntry* t, uint32_t n, double x) {
    double first = t[0].value, last = t[n - 1].value;
    uint32_t i = 0;
    if ((x > first && x < last) || (x < first && x > last)) {
        for (uint32_t k = 1; k + 1 < n; ++k)
            if (x == t[k].value) return t[k].host_angle;
        while (i + 2 < n && !((x - t[i].value) * (x - t[i + 1].value) < 0)) ++i;
    } else if (!(std::fabs(x - last) > std::fabs(x - first))) {
        i = n - 2;
    }
    double v0 = t[i].value, v1 = t[i + 1].value;
    if (v0 == v1) return t[i].host_angle;
    return ((x - v1) * t[i].host_angle + (v0 - x) * t[i + 1].host_angle) / (v0 - v1);
}

// The knob turns with the decision-height marker, twenty times as fast. The
// marker is the third element of the chain: root, pointer, marker.
static double GAUGE_CALL radio_altimeter_knob(NeedleElement* e) {
    const GaugeHeader* gauge = e->header.gauge;
    const ElementHeader* el = gauge && gauge->elements ? gauge->elements[0] : nullptr;
    for (int step = 0; step < 2 && el; ++step) el = el->next ? el->next[0] : nullptr;
    if (!el || el->kind != ELEMENT_NEEDLE) return 0;
    auto* marker = reinterpret_cast<const NeedleElement*>(el);
    if (!marker->table || marker->table_entries < 2) return 0;
    return finite_or(KNOB_TURNS_PER_MARKER_TURN * marker_angle(marker->table, marker->table_entries,
                                                               e->source.value), 0);
}

// ------------------------------------------------------------ knob clicks

// Below 300 ft the decision height steps finely (value 1), above coarsely.
static int32_t GAUGE_CALL radio_altimeter_dh_up(ClickRecord*, uint32_t) {
    double dh = host::read_var(DECISION_HEIGHT);
    if (!(dh < METRES_PER_1000_FT)) return 0;
    host::trigger_key_event(DH_UP, dh < METRES_PER_300_FT ? 1 : 0);
    return 0;
}

static int32_t GAUGE_CALL radio_altimeter_dh_down(ClickRecord*, uint32_t) {
    double dh = host::read_var(DECISION_HEIGHT);
    if (!(dh > 0)) return 0;
    host::trigger_key_event(DH_DOWN, dh < METRES_PER_300_FT ? 1 : 0);
    return 0;
}

// ------------------------------------------------------------ elements

// The marker's knob reads back the angles the host wrote into these
// entries. In feet: -1, 0, 1000, 2500, 99999.
static NonlinearityEntry radio_altimeter_table[] = {
    {.x = 153, .y = 283, .value = -0.3047999902464003}, {.x = 153, .y = 283, .value = 0},
    {.x = 229, .y = 251, .value = 304.79999024640034},  {.x = 208, .y = 260, .value = 761.9999756160008},
    {.x = 208, .y = 260, .value = 30479.694224649786},
};
constexpr uint32_t RADIO_ALTIMETER_TABLE_ENTRIES = 5;

static const FailureRecord radio_altimeter_pointer_failures[] = {{.key = 20, .action = 2}, {}};

static NeedleElement radio_altimeter_knob_needle = {
    .header = {.kind = ELEMENT_NEEDLE, .bitmap = 3260, .x = 277, .y = 287, .offset_x = 33, .offset_y = 33,
               .gauge = &gauge_radio_altimeter, .image_flags = 0x83},
    .source = {.token = DECISION_HEIGHT},
    .callback = radio_altimeter_knob};
static ElementHeader* const radio_altimeter_knob_list[] = {&radio_altimeter_knob_needle.header, nullptr};

static StaticImageElement radio_altimeter_glass = {
    .header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 3270, .gauge = &gauge_radio_altimeter,
               .next = radio_altimeter_knob_list, .image_flags = 0x3}};
static ElementHeader* const radio_altimeter_glass_list[] = {&radio_altimeter_glass.header, nullptr};

static NeedleElement radio_altimeter_marker = {
    .header = {.kind = ELEMENT_NEEDLE, .bitmap = 3250, .x = 152, .y = 160, .offset_x = 0, .offset_y = 8,
               .gauge = &gauge_radio_altimeter, .next = radio_altimeter_glass_list, .image_flags = 0x4083},
    .source = {.token = DECISION_HEIGHT},
    .table = radio_altimeter_table, .table_entries = RADIO_ALTIMETER_TABLE_ENTRIES};
static ElementHeader* const radio_altimeter_marker_list[] = {&radio_altimeter_marker.header, nullptr};

static NeedleElement radio_altimeter_pointer_needle = {
    .header = {.kind = ELEMENT_NEEDLE, .bitmap = 3240, .x = 152, .y = 160, .offset_x = 14, .offset_y = 14,
               .gauge = &gauge_radio_altimeter, .next = radio_altimeter_marker_list,
               .failures = radio_altimeter_pointer_failures, .image_flags = 0x4083},
    .source = {.token = RADIO_HEIGHT},
    .table = radio_altimeter_table, .table_entries = RADIO_ALTIMETER_TABLE_ENTRIES,
    .callback = radio_altimeter_pointer};
static ElementHeader* const radio_altimeter_pointer_list[] = {&radio_altimeter_pointer_needle.header, nullptr};

static StaticImageElement radio_altimeter_background = {
    .header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 3230, .gauge = &gauge_radio_altimeter,
               .next = radio_altimeter_pointer_list, .image_flags = 0x4003}};
static ElementHeader* const radio_altimeter_elements[] = {&radio_altimeter_background.header, nullptr};

static MouseRect radio_altimeter_mouse[] = {
    {.type = MOUSE_PARENT, .cursor = CURSOR_NONE},
    {.type = MOUSE_TOOLTIP, .cursor = CURSOR_NONE, .help_id = 0x3009},
    {.type = MOUSE_CHILD, .x = 244, .y = 254, .width = 33, .height = 66, .cursor = CURSOR_DOWNARROW,
     .mouse_flags = MOUSE_LEFTSINGLE | MOUSE_REPEAT, .callback = radio_altimeter_dh_down},
    {.type = MOUSE_CHILD, .x = 277, .y = 254, .width = 33, .height = 66, .cursor = CURSOR_UPARROW,
     .mouse_flags = MOUSE_LEFTSINGLE | MOUSE_REPEAT, .callback = radio_altimeter_dh_up},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_END},
};

GaugeHeader gauge_radio_altimeter = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Radio_Altimeter",
    .elements = radio_altimeter_elements,
    .width_mm = 100,
    .mouse_rects = radio_altimeter_mouse,
    .callback = radio_altimeter_callback,
};
