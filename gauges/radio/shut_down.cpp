// Shut_Down: a tiny gauge with no controls. At the set-up notice, when the
// simulator asks for a cold start (variable 60 above 0), it switches the
// whole radio stack off and silences the identification tones, whether or
// not the radios' own panels are placed.
#include "framework/gauge_dispatch.h"
#include "framework/gauge_list.h"
#include "framework/host_services.h"
#include "gauges/radio/radio_switches.h"

constexpr uint32_t SHUT_DOWN_CONDITION = 60;
enum ShutDownEvent : uint32_t { ADF_TONE_OFF = 65836, NAV1_TONE_OFF = 65832, NAV2_TONE_OFF = 65833 };

static void shut_down_setup(GaugeHeader*) {
    if (!(host::read_var(SHUT_DOWN_CONDITION) > 0)) return;
    adf_power_on = adf_tone_on = 0;
    host::trigger_key_event(ADF_TONE_OFF, 0);
    com1_power_on = 0;
    nav1_power_on = nav1_tone_on = 0;
    host::trigger_key_event(NAV1_TONE_OFF, 0);
    nav2_power_on = nav2_tone_on = 0;
    host::trigger_key_event(NAV2_TONE_OFF, 0);
    xpdr_power_on = 0;
}

static const GaugeServiceOps shut_down_ops = {.setup = shut_down_setup};
GAUGE_CALLBACK(shut_down_callback, shut_down_ops)

static StaticImageElement shut_down_image = {
    .header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 40, .gauge = &gauge_shut_down, .image_flags = 0x3}};
static ElementHeader* const shut_down_elements[] = {&shut_down_image.header, nullptr};

static MouseRect shut_down_mouse[] = {
    {.type = MOUSE_PARENT, .cursor = CURSOR_NONE},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_END},
};

GaugeHeader gauge_shut_down = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Shut_Down",
    .elements = shut_down_elements,
    .width_mm = 30,
    .mouse_rects = shut_down_mouse,
    .callback = shut_down_callback,
};
