// OMI: the marker-beacon lamps (outer, middle, inner). One icon shows the
// picture of the lamp the simulator's marker state lights; the test button
// lights every lamp for a moment and clicks.
#include "framework/gauge_dispatch.h"
#include "framework/gauge_list.h"
#include "framework/host_services.h"
#include "framework/value_guards.h"
#include "gauges/radio/radio_common.h"

constexpr uint32_t OMI_MARKER_STATE = 354;  // the lamp picture to show, 0 to 3
constexpr uint32_t OMI_CLICK_WAVE = 10;
constexpr uint32_t OMI_LAMP_IMAGES = 5;      // four marker pictures and the test picture
constexpr int32_t OMI_TEST_CYCLES = 18;      // the test picture shows for one cycle less

// Update cycles of lamp test left, plus one: the counter rests at 1.
static int32_t marker_test_count = 0;
// The test button's click, shared by every placement.
static radio::PanelClick marker_click_sound = {};

// The last picture of the icon is the lamp test.
static double GAUGE_CALL omi_lamps(IconElement* icon) {
    if (marker_test_count > 1) {
        --marker_test_count;
        return icon->image_count - 1.0;
    }
    return icon_index_or_nothing(icon->source.value, icon->image_count);
}

// Holding the button restarts the test on every repeat.
static int32_t GAUGE_CALL omi_test_click(ClickRecord*, uint32_t) {
    marker_test_count = OMI_TEST_CYCLES;
    radio::play_click(marker_click_sound);
    return 0;
}

static const FailureRecord omi_lamp_failures[] = {{.key = 21, .action = 3}, {}};

static IconElement omi_lamp_icon = {
    .header = {.kind = ELEMENT_ICON, .bitmap = 3100, .gauge = &gauge_omi, .failures = omi_lamp_failures,
               .image_flags = 0x7},
    .source = {.token = OMI_MARKER_STATE},
    .scale = 1.0,
    .image_count = OMI_LAMP_IMAGES,
    .callback = omi_lamps,
};
static ElementHeader* const omi_lamp_list[] = {&omi_lamp_icon.header, nullptr};

static StaticImageElement omi_background = {
    .header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 3090, .gauge = &gauge_omi, .next = omi_lamp_list,
               .image_flags = 0x3}};
static ElementHeader* const omi_elements[] = {&omi_background.header, nullptr};

static MouseRect omi_mouse[] = {
    {.type = MOUSE_PARENT, .cursor = CURSOR_NONE, .help_id = 0xAB50},
    {.type = MOUSE_CHILD, .x = 86, .y = 64, .width = 25, .height = 25, .cursor = CURSOR_HAND,
     .mouse_flags = MOUSE_LEFTSINGLE | MOUSE_REPEAT, .callback = omi_test_click},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_END},
};

static void omi_install(GaugeHeader*, HostWord module) {
    radio::install_click(marker_click_sound, module, OMI_CLICK_WAVE);
}

static void omi_kill(GaugeHeader*) { radio::kill_click(marker_click_sound); }

static const GaugeServiceOps omi_ops = {.install = omi_install, .kill = omi_kill};
GAUGE_CALLBACK(omi_callback, omi_ops)

GaugeHeader gauge_omi = {
    .version = GAUGE_HEADER_VERSION,
    .name = "OMI",
    .elements = omi_elements,
    .width_mm = 100,
    .mouse_rects = omi_mouse,
    .callback = omi_callback,
};
