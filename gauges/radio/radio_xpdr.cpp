// Radio_XPDR: the transponder control box. Four digit drums show the code
// read from the simulator, lit while the set is on; the click areas above
// and below each drum step its digit through key events, only while the set
// is on; the main switch toggles the set and clicks.
#include <cmath>

#include "framework/gauge_dispatch.h"
#include "framework/gauge_list.h"
#include "framework/host_services.h"
#include "gauges/radio/radio_common.h"
#include "gauges/radio/radio_switches.h"

int32_t xpdr_power_on = 0;

namespace {

constexpr uint32_t VAR_XPDR_CODE = 38;

double xpdr_code = 0.0;
radio::PanelClick xpdr_click_sound{};

// The code as a four-digit decimal number from one digit per 4-bit group
// (thousands highest). A malformed word decodes to what it says; the drums
// keep what they show on their strips.
double decode_code(uint32_t word) {
    double n = word;
    double d1 = std::floor(n / 4096), r = n - 4096 * d1;
    double d2 = std::floor(r / 256);
    r -= 256 * d2;
    double d3 = std::floor(r / 16), d4 = r - 16 * d3;
    return 1000 * d1 + 100 * d2 + 10 * d3 + d4;
}

void read_code() { xpdr_code = decode_code(host::read_var_low_word(VAR_XPDR_CODE)); }

// ------------------------------------------------------------ drums

// Each drum reads the code afresh, so the four always agree in a cycle.
void prepare_drum(MovingImageElement* drum) {
    read_code();
    if (xpdr_power_on) drum->header.image_flags |= IMAGE_LIT;
    else drum->header.image_flags &= ~IMAGE_LIT;
    drum->header.image_flags &= ~IMAGE_BIT31;
}

// A digit drum shows 0 to 9; the thousands of a malformed word can be far
// larger and are held on 9 so the drum stays on its strip.
double on_strip(double digit) { return digit > 9 ? 9.0 : digit; }

double GAUGE_CALL thousands_drum(MovingImageElement* drum) {
    prepare_drum(drum);
    return on_strip(std::floor(xpdr_code / 1000));
}
double GAUGE_CALL hundreds_drum(MovingImageElement* drum) {
    prepare_drum(drum);
    return on_strip(std::floor((xpdr_code - 1000 * std::floor(xpdr_code / 1000)) / 100));
}
double GAUGE_CALL tens_drum(MovingImageElement* drum) {
    prepare_drum(drum);
    return on_strip(std::floor((xpdr_code - 100 * std::floor(xpdr_code / 100)) / 10));
}
double GAUGE_CALL units_drum(MovingImageElement* drum) {
    prepare_drum(drum);
    return on_strip(xpdr_code - 10 * std::floor(xpdr_code / 10));
}

double GAUGE_CALL power_lamp(IconElement*) { return radio::power_lamp_image(xpdr_power_on); }
double GAUGE_CALL main_switch_image(IconElement*) { return xpdr_power_on ? 1.0 : 0.0; }

// ------------------------------------------------------------ records

const FailureRecord xpdr_failures[] = {{.key = 20, .action = 3}, {.key = 21, .action = 3}, {.key = 17, .action = 0}, {}};

IconElement main_switch = {
    .header = {.kind = ELEMENT_ICON, .bitmap = 2120, .x = 27, .y = 8, .gauge = &gauge_radio_xpdr, .image_flags = 0x3},
    .scale = 1.0, .image_count = 2, .callback = main_switch_image};
ElementHeader* const main_switch_list[] = {&main_switch.header, nullptr};
IconElement lamp = {.header = {.kind = ELEMENT_ICON, .bitmap = 2130, .x = 53, .y = 79, .gauge = &gauge_radio_xpdr,
                               .next = main_switch_list, .failures = xpdr_failures, .image_flags = 0x7},
                    .scale = 1.0, .image_count = 1, .callback = power_lamp};
ElementHeader* const lamp_list[] = {&lamp.header, nullptr};
IconElement ident_switch = {.header = {.kind = ELEMENT_ICON, .bitmap = 2140, .x = 208, .y = 31,
                                       .gauge = &gauge_radio_xpdr, .next = lamp_list, .failures = xpdr_failures,
                                       .image_flags = 0x3},
                            .scale = 1.0, .image_count = 2};
ElementHeader* const ident_switch_list[] = {&ident_switch.header, nullptr};

constexpr MovingImageElement drum(int32_t x, ElementHeader* const* next, uint32_t token, MovingImageCallback callback) {
    MovingImageElement e{};
    e.header.kind = ELEMENT_MOVING_IMAGE;
    e.header.bitmap = 2110;
    e.header.x = x;
    e.header.y = 57;
    e.header.gauge = &gauge_radio_xpdr;
    e.header.next = next;
    e.header.failures = xpdr_failures;
    e.header.image_flags = 0x83;
    e.source_y.token = token;
    e.min_y = 0;
    e.max_y = 10;
    e.callback_y = callback;
    return e;
}

MovingImageElement thousands = drum(115, ident_switch_list, VAR_XPDR_CODE, thousands_drum);
ElementHeader* const thousands_list[] = {&thousands.header, nullptr};
MovingImageElement hundreds = drum(138, thousands_list, VAR_XPDR_CODE, hundreds_drum);
ElementHeader* const hundreds_list[] = {&hundreds.header, nullptr};
MovingImageElement tens = drum(161, hundreds_list, 0, tens_drum);
ElementHeader* const tens_list[] = {&tens.header, nullptr};
MovingImageElement units = drum(184, tens_list, VAR_XPDR_CODE, units_drum);
ElementHeader* const units_list[] = {&units.header, nullptr};
StaticImageElement background = {.header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 2150, .gauge = &gauge_radio_xpdr,
                                            .next = units_list, .image_flags = 0x3}};
ElementHeader* const xpdr_elements[] = {&background.header, nullptr};

// ------------------------------------------------------------ mouse

// Digit clicks send their event only while the set is on; the simulator
// steps and wraps the digit.
struct DigitEvents {
    uint32_t up, down;
};
constexpr DigitEvents kThousands{65651, 66455}, kHundreds{65652, 66456}, kTens{65653, 66457}, kUnits{65654, 66458};

void step_digit(uint32_t event) {
    if (xpdr_power_on == 1) host::trigger_key_event(event, 0);
}

int32_t GAUGE_CALL thousands_up(ClickRecord*, uint32_t) { return step_digit(kThousands.up), 0; }
int32_t GAUGE_CALL thousands_down(ClickRecord*, uint32_t) { return step_digit(kThousands.down), 0; }
int32_t GAUGE_CALL hundreds_up(ClickRecord*, uint32_t) { return step_digit(kHundreds.up), 0; }
int32_t GAUGE_CALL hundreds_down(ClickRecord*, uint32_t) { return step_digit(kHundreds.down), 0; }
int32_t GAUGE_CALL tens_up(ClickRecord*, uint32_t) { return step_digit(kTens.up), 0; }
int32_t GAUGE_CALL tens_down(ClickRecord*, uint32_t) { return step_digit(kTens.down), 0; }
int32_t GAUGE_CALL units_up(ClickRecord*, uint32_t) { return step_digit(kUnits.up), 0; }
int32_t GAUGE_CALL units_down(ClickRecord*, uint32_t) { return step_digit(kUnits.down), 0; }

int32_t GAUGE_CALL main_switch_click(ClickRecord*, uint32_t) {
    radio::toggle(xpdr_power_on);
    radio::play_click(xpdr_click_sound);
    return 0;
}

const char* GAUGE_CALL main_switch_tip(double, uint32_t, uint32_t, uint32_t, uint32_t) {
    return radio::on_off(xpdr_power_on == 1);
}
const TooltipArg xpdr_tooltip_args[] = {{.string = main_switch_tip}};

constexpr uint32_t STEP_FLAGS = MOUSE_LEFTSINGLE | MOUSE_REPEAT;

MouseRect xpdr_mouse[] = {
    radio::mouse_region(0, 0, 0, 0),
    radio::mouse_region(60, 0, 201, 99),
    {.type = MOUSE_TOOLTIP, .cursor = CURSOR_NONE, .help_id = 0x3180},
    radio::mouse_region_end(),
    RADIO_TOOLTIP_REGION(29, 12, 24, 60, "Main switch (%1!s!)", xpdr_tooltip_args, 1),
    RADIO_CLICK_AREA(29, 12, 24, 60, CURSOR_HAND, MOUSE_LEFTSINGLE, main_switch_click),
    RADIO_CLICK_AREA(111, 76, 23, 15, CURSOR_DOWNARROW, STEP_FLAGS, thousands_down),
    RADIO_CLICK_AREA(111, 44, 23, 15, CURSOR_UPARROW, STEP_FLAGS, thousands_up),
    RADIO_CLICK_AREA(134, 76, 23, 15, CURSOR_DOWNARROW, STEP_FLAGS, hundreds_down),
    RADIO_CLICK_AREA(134, 44, 23, 15, CURSOR_UPARROW, STEP_FLAGS, hundreds_up),
    RADIO_CLICK_AREA(157, 76, 23, 15, CURSOR_DOWNARROW, STEP_FLAGS, tens_down),
    RADIO_CLICK_AREA(157, 44, 23, 15, CURSOR_UPARROW, STEP_FLAGS, tens_up),
    RADIO_CLICK_AREA(180, 76, 23, 15, CURSOR_DOWNARROW, STEP_FLAGS, units_down),
    RADIO_CLICK_AREA(180, 44, 23, 15, CURSOR_UPARROW, STEP_FLAGS, units_up),
    radio::mouse_region_end(),
    radio::mouse_list_end(),
};

// ------------------------------------------------------------ life cycle

void xpdr_install(GaugeHeader*, HostWord module) { radio::install_click(xpdr_click_sound, module); }
void xpdr_update(GaugeHeader*) { read_code(); }
void xpdr_kill(GaugeHeader*) { radio::kill_click(xpdr_click_sound); }

const GaugeServiceOps radio_xpdr_ops = {.install = xpdr_install, .update = xpdr_update, .kill = xpdr_kill};
GAUGE_CALLBACK(radio_xpdr_callback, radio_xpdr_ops)

}  // namespace

GaugeHeader gauge_radio_xpdr = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Radio_XPDR",
    .elements = xpdr_elements,
    .width_mm = 100,
    .mouse_rects = xpdr_mouse,
    .callback = radio_xpdr_callback,
};
