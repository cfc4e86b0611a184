// Gear_Lever: the landing gear handle. Its picture follows the simulator's
// gear handle; a click anywhere on the handle makes the host send the gear
// toggle event itself, so the gauge has no callback of its own.
#include "framework/gauge_list.h"

// The handle counts as down from half of its travel.
constexpr double GEAR_HANDLE_DOWN_FROM = 8000;

static double GAUGE_CALL gear_lever_image(IconElement* icon) {
    return icon->source.value < GEAR_HANDLE_DOWN_FROM ? 0.0 : 1.0;
}

static IconElement gear_lever_handle = {
    .header = {.kind = ELEMENT_ICON, .bitmap = 3080, .x = 0, .y = 38, .gauge = &gauge_gear_lever,
               .image_flags = 0x3},
    .source = {.token = 331},
    .scale = 0.0,
    .image_count = 2,
    .callback = gear_lever_image,
};
static ElementHeader* const gear_lever_handle_list[] = {&gear_lever_handle.header, nullptr};

static StaticImageElement gear_lever_background = {
    .header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 3070, .gauge = &gauge_gear_lever,
               .next = gear_lever_handle_list, .image_flags = 0x3}};
static ElementHeader* const gear_lever_list[] = {&gear_lever_background.header, nullptr};

static MouseRect gear_lever_mouse[] = {
    {.type = MOUSE_PARENT, .cursor = CURSOR_NONE, .help_id = 0xAB30},
    {.type = MOUSE_CHILD, .x = 0, .y = 0, .width = 125, .height = 135, .cursor = CURSOR_HAND,
     .mouse_flags = MOUSE_LEFTSINGLE, .event_id = 65570},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_END},
};

GaugeHeader gauge_gear_lever = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Gear_Lever",
    .elements = gear_lever_list,
    .width_mm = 40,
    .mouse_rects = gear_lever_mouse,
};
