// Parking_Brake: the parking brake handle. The picture shows whether the
// simulator's brake is set; a click toggles it and clanks the handle.
#include "framework/gauge_dispatch.h"
#include "framework/gauge_list.h"
#include "framework/host_services.h"
#include "sound/sound.h"

constexpr double PARKING_BRAKE_SET_ABOVE = 32500;
constexpr uint32_t EVENT_PARKING_BRAKE_TOGGLE = 65752;
constexpr uint32_t PARKING_BRAKE_WAVE = 20;

// The handle's sound, shared by every placement; empty until installed.
static sound::ClickSound parking_brake_sound;

static double GAUGE_CALL parking_brake_image(IconElement* icon) {
    return icon->source.value > PARKING_BRAKE_SET_ABOVE ? 1.0 : 0.0;
}

// The toggle goes out whatever the brake's state; the picture follows when
// the simulator has moved the brake.
static int32_t GAUGE_CALL parking_brake_click(ClickRecord*, uint32_t) {
    host::trigger_key_event(EVENT_PARKING_BRAKE_TOGGLE, 0);
    sound::play_click(parking_brake_sound);
    return 0;
}

static IconElement parking_brake_handle = {
    .header = {.kind = ELEMENT_ICON, .bitmap = 3150, .gauge = &gauge_parking_brake, .image_flags = 0x3},
    .source = {.token = 323},
    .scale = 1.0,
    .image_count = 2,
    .callback = parking_brake_image,
};
static ElementHeader* const parking_brake_handle_list[] = {&parking_brake_handle.header, nullptr};

static StaticImageElement parking_brake_background = {
    .header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 3140, .gauge = &gauge_parking_brake,
               .next = parking_brake_handle_list, .image_flags = 0x3}};
static ElementHeader* const parking_brake_list[] = {&parking_brake_background.header, nullptr};

static MouseRect parking_brake_mouse[] = {
    {.type = MOUSE_PARENT, .cursor = CURSOR_NONE, .help_id = 0xAB51},
    {.type = MOUSE_CHILD, .x = 0, .y = 0, .width = 127, .height = 155, .cursor = CURSOR_HAND,
     .mouse_flags = MOUSE_LEFTSINGLE, .callback = parking_brake_click},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_END},
};

static void parking_brake_install(GaugeHeader*, HostWord module) {
    sound::install_click(parking_brake_sound, module, PARKING_BRAKE_WAVE);
}

static void parking_brake_kill(GaugeHeader*) { sound::kill_click(parking_brake_sound); }

static const GaugeServiceOps parking_brake_ops = {.install = parking_brake_install, .kill = parking_brake_kill};
GAUGE_CALLBACK(parking_brake_callback, parking_brake_ops)

GaugeHeader gauge_parking_brake = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Parking_Brake",
    .elements = parking_brake_list,
    .width_mm = 52,
    .mouse_rects = parking_brake_mouse,
    .callback = parking_brake_callback,
};
