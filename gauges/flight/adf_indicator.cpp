// ADF_Indicator: the radio-compass indicator, a compass card turned by its
// knob and a bearing pointer to the station. The pointer parks at 90
// degrees while the ADF radio panel is switched off; the tooltip gives the
// bearing in whole degrees or says why there is none.
#include <cmath>
#include <cstring>

#include "framework/gauge_list.h"
#include "framework/host_services.h"
#include "gauges/radio/radio_switches.h"

enum AdfIndicatorToken : uint32_t {
    ADF_CARD_HEADING = 22,
    ADF_SIGNAL_STRENGTH = 20,
    ADF_RELATIVE_BEARING = 39,
};

constexpr double ADF_PARKED_BEARING = 90;
constexpr double ADF_USABLE_SIGNAL = 255;

// The bearing the pointer was last handed, whatever the power state.
static double adf_bearing = 0.0;
// Long enough for the longest tooltip, "ADF position (None : ADF radio off)".
static char adf_tooltip_text[36];

// ------------------------------------------------------------ update callbacks

static double GAUGE_CALL adf_bearing_pointer(NeedleElement* e) {
    adf_bearing = e->source.value;
    return adf_power_on ? adf_bearing : ADF_PARKED_BEARING;
}

// ------------------------------------------------------------ tooltip

// The whole degrees shown for a stored bearing: truncated toward zero, and
// a negative bearing taken once or twice round the circle (keeping its
// fraction, so -0.5 shows 359). Negative or not a number: no digits; from
// 1000 up, which no bearing reaches, no digits either, as the indicator
// shows at most three.
static bool adf_bearing_digits(double b, unsigned& degrees) {
    double p;
    if (b < -360)
        p = b + 720;
    else if (b < 0)
        p = b + 360;
    else
        p = std::trunc(b);
    if (!(p >= 0 && p < 1000)) return false;
    degrees = static_cast<unsigned>(p);
    return true;
}

static void adf_word_tooltip() {
    static const char prefix[] = "ADF position (";
    if (!adf_power_on) {
        std::strcpy(adf_tooltip_text, "ADF position (None : ADF radio off)");
        return;
    }
    if (!(host::read_var(ADF_SIGNAL_STRENGTH) >= ADF_USABLE_SIGNAL)) {
        std::strcpy(adf_tooltip_text, "ADF position (None : No ADF signal)");
        return;
    }
    char* out = adf_tooltip_text;
    std::memcpy(out, prefix, sizeof prefix - 1);
    out += sizeof prefix - 1;
    unsigned degrees;
    if (adf_bearing_digits(adf_bearing, degrees)) {
        if (degrees >= 100) *out++ = static_cast<char>('0' + degrees / 100);
        if (degrees >= 10) *out++ = static_cast<char>('0' + degrees / 10 % 10);
        *out++ = static_cast<char>('0' + degrees % 10);
    }
    *out++ = '\xB0';  // the degree sign of the Western code page
    *out++ = ')';
    *out = '\0';
}

static const char* GAUGE_CALL adf_position_tip(double, uint32_t, uint32_t, uint32_t, uint32_t) {
    adf_word_tooltip();
    return adf_tooltip_text;
}
static const TooltipArg adf_indicator_tooltip_args[] = {{.string = adf_position_tip}};

// ------------------------------------------------------------ elements

static const FailureRecord adf_face_failures[] = {{.key = 5, .action = 0}, {}};
static const FailureRecord adf_pointer_failures[] = {{.key = 21, .action = 2}, {.key = 20, .action = 1}, {}};

// 1 degree of pointer per degree of bearing, round the whole circle.
static NonlinearityEntry adf_bearing_table[] = {{.x = 150, .y = 100, .value = 0},
                                                      {.x = 150, .y = 200, .value = 180}};
// 9 degrees of knob per degree of card heading.
static NonlinearityEntry adf_card_knob_table[] = {{.x = 39, .y = 241, .value = 0},
                                                        {.x = 39, .y = 297, .value = 20}};

static NeedleElement adf_card_knob = {
    .header = {.kind = ELEMENT_NEEDLE, .bitmap = 1150, .x = 39, .y = 269, .offset_x = 28, .offset_y = 28,
               .gauge = &gauge_adf_indicator, .image_flags = 0x83},
    .source = {.token = ADF_CARD_HEADING},
    .table = adf_card_knob_table, .table_entries = 2};
static ElementHeader* const adf_card_knob_list[] = {&adf_card_knob.header, nullptr};

static StaticImageElement adf_glass = {
    .header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 1180, .gauge = &gauge_adf_indicator,
               .next = adf_card_knob_list, .image_flags = 0x3}};
static ElementHeader* const adf_glass_list[] = {&adf_glass.header, nullptr};

static NeedleElement adf_pointer = {
    .header = {.kind = ELEMENT_NEEDLE, .bitmap = 1160, .x = 150, .y = 150, .offset_x = 123, .offset_y = 20,
               .gauge = &gauge_adf_indicator, .next = adf_glass_list, .failures = adf_pointer_failures,
               .image_flags = 0x4083},
    .source = {.token = ADF_RELATIVE_BEARING},
    .table = adf_bearing_table, .table_entries = 2, .callback = adf_bearing_pointer};
static ElementHeader* const adf_pointer_list[] = {&adf_pointer.header, nullptr};

static SpriteElement adf_compass_card = {
    .header = {.kind = ELEMENT_SPRITE, .bitmap = 1170, .offset_x = 150, .offset_y = 150,
               .gauge = &gauge_adf_indicator, .next = adf_pointer_list, .image_flags = 0x4083},
    .source_rotation = {.token = ADF_CARD_HEADING}, .scale_rotation = 1.0,
    .texture_scale_x = 1.0f, .texture_scale_y = 1.0f};
static ElementHeader* const adf_compass_card_list[] = {&adf_compass_card.header, nullptr};

static StaticImageElement adf_face = {
    .header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 1140, .gauge = &gauge_adf_indicator,
               .next = adf_compass_card_list, .failures = adf_face_failures, .image_flags = 0x4003}};
static ElementHeader* const adf_indicator_elements[] = {&adf_face.header, nullptr};

// ------------------------------------------------------------ mouse

enum AdfCardEvent : uint32_t { ADF_CARD_DOWN = 65882, ADF_CARD_UP = 65881 };

static MouseRect adf_indicator_mouse[] = {
    {.type = MOUSE_PARENT, .cursor = CURSOR_NONE},
    {.type = MOUSE_PARENT, .x = 0, .y = 0, .width = 300, .height = 241, .cursor = CURSOR_NONE},
    {.type = MOUSE_TOOLTIP, .cursor = CURSOR_NONE, .arg_count = 1, .text = "%1!s!",
     .args = adf_indicator_tooltip_args},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_PARENT, .x = 11, .y = 241, .width = 56, .height = 56, .cursor = CURSOR_NONE, .help_id = 0xAB01},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_CHILD, .x = 11, .y = 241, .width = 28, .height = 56, .cursor = CURSOR_DOWNARROW,
     .mouse_flags = MOUSE_LEFTSINGLE | MOUSE_REPEAT, .event_id = ADF_CARD_DOWN},
    {.type = MOUSE_CHILD, .x = 39, .y = 241, .width = 28, .height = 56, .cursor = CURSOR_UPARROW,
     .mouse_flags = MOUSE_LEFTSINGLE | MOUSE_REPEAT, .event_id = ADF_CARD_UP},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_END},
};

GaugeHeader gauge_adf_indicator = {
    .version = GAUGE_HEADER_VERSION,
    .name = "ADF_Indicator",
    .elements = adf_indicator_elements,
    .width_mm = 100,
    .mouse_rects = adf_indicator_mouse,
};
