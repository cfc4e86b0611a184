// telvor_flaps: a flap lever scale on which a knob slides with the flap
// position, with a click area at either end that moves the flaps. Built on
// the host's older gauge interface: the header carries seven routines, and
// each hands the element tree (or the mouse rectangles) to the matching
// host service itself.
#include <cstring>

#include "flaps_module/host_calls.h"

extern GaugeHeader gauge_telvor_flaps;

constexpr uint32_t FLAPS_POSITION_TOKEN = 329;
// Pixels per unit of flap position: about 290 pixels over 0 to 16382.
constexpr double FLAPS_KNOB_PIXELS_PER_UNIT = 0.0177001953125;
constexpr uint32_t EVENT_FLAPS_LEFT_AREA = 65759;
constexpr uint32_t EVENT_FLAPS_RIGHT_AREA = 65758;

static double GAUGE_CALL flaps_pass_through(VarRecord* var) { return var ? var->value : 0.0; }

static LegacySliderElement flaps_knob = {
    .header = {.kind = ELEMENT_SLIDER, .bitmap = 8192, .x = 42, .y = 52, .gauge = &gauge_telvor_flaps,
               .image_flags = 0x3},
    .x = {.source = {.token = FLAPS_POSITION_TOKEN}, .callback = flaps_pass_through,
          .scale = FLAPS_KNOB_PIXELS_PER_UNIT},
    .y = {.source = {.token = 0}, .callback = nullptr, .scale = 0.0},
};
static ElementHeader* const flaps_knob_list[] = {&flaps_knob.header, nullptr};

static StaticImageElement flaps_scale = {
    .header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 4096, .x = 0, .y = 0, .gauge = &gauge_telvor_flaps,
               .next = flaps_knob_list, .image_flags = 0x1}};
static ElementHeader* const flaps_list[] = {&flaps_scale.header, nullptr};

static ElementHeader* flaps_root() { return &flaps_scale.header; }

static MouseRect flaps_mouse[] = {
    {.type = MOUSE_PARENT, .cursor = CURSOR_NONE},
    {.type = MOUSE_CHILD, .x = 0, .y = 0, .width = 75, .height = 180, .cursor = CURSOR_HAND,
     .mouse_flags = MOUSE_LEFTSINGLE, .event_id = EVENT_FLAPS_LEFT_AREA},
    {.type = MOUSE_CHILD, .x = 345, .y = 0, .width = 75, .height = 180, .cursor = CURSOR_HAND,
     .mouse_flags = MOUSE_LEFTSINGLE, .event_id = EVENT_FLAPS_RIGHT_AREA},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_END},
};

// The host's install service leaves, in the root element's first field
// after the header, a pointer to its image record of the background; the
// background's size stands four bytes into that record.
static void* flaps_background_size() {
    auto* root = reinterpret_cast<unsigned char*>(&flaps_scale);
    unsigned char* image = nullptr;
    std::memcpy(&image, root + sizeof(ElementHeader), sizeof image);
    return image ? image + 4 : nullptr;
}

static void GAUGE_CALL flaps_query() { telvor::call<telvor::ElementService>(telvor::QUERY_ELEMENTS, flaps_root()); }

static void GAUGE_CALL flaps_install(HostWord resource_handle) {
    telvor::call<telvor::InstallElementsService>(telvor::INSTALL_ELEMENTS, flaps_root(), resource_handle);
    telvor::call<telvor::MouseSetUpService>(telvor::SET_UP_MOUSE_RECTS, flaps_mouse, &gauge_telvor_flaps,
                                            flaps_background_size());
    telvor::call<telvor::MouseListService>(telvor::REGISTER_MOUSE_RECTS, flaps_mouse, &gauge_telvor_flaps);
}

static void GAUGE_CALL flaps_initialize() {
    telvor::call<telvor::ElementService>(telvor::INITIALIZE_ELEMENTS, flaps_root());
}

static void GAUGE_CALL flaps_update() { telvor::call<telvor::ElementService>(telvor::UPDATE_ELEMENTS, flaps_root()); }

static void GAUGE_CALL flaps_generate(uint32_t phase) {
    telvor::call<telvor::GenerateElementsService>(telvor::GENERATE_ELEMENTS, flaps_root(), phase);
}

static void GAUGE_CALL flaps_draw() { telvor::call<telvor::ElementService>(telvor::DRAW_ELEMENTS, flaps_root()); }

// The mouse rectangles go before the elements they lie over.
static void GAUGE_CALL flaps_kill() {
    telvor::call<telvor::MouseListService>(telvor::UNREGISTER_MOUSE_RECTS, flaps_mouse, &gauge_telvor_flaps);
    telvor::call<telvor::ElementService>(telvor::DESTROY_ELEMENTS, flaps_root());
}

// The header does not point to the mouse rectangles: the install routine
// registers them.
GaugeHeader gauge_telvor_flaps = {
    .version = LEGACY_GAUGE_HEADER_VERSION,
    .name = "telvor_flaps",
    .elements = flaps_list,
    .query = flaps_query,
    .install = flaps_install,
    .initialize = flaps_initialize,
    .update = flaps_update,
    .generate = flaps_generate,
    .draw = flaps_draw,
    .kill = flaps_kill,
    .width_mm = 101,
};
