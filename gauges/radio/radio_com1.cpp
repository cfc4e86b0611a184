// Radio_COM1: the VHF communication radio, tuned with four thumbwheels
// (tens and units of the MHz, the first decimal digit, and the 25 kHz
// channel wheel showing the two last digits). The hundreds digit, always 1,
// has no wheel. The main switch is a cockpit fitting only: it moves its own
// image and the lamp, while the wheels tune the simulator's COM1 frequency
// whether the set is on or off.
#include <cmath>

#include "framework/gauge_dispatch.h"
#include "framework/gauge_list.h"
#include "framework/host_services.h"
#include "gauges/radio/radio_common.h"
#include "gauges/radio/radio_switches.h"

int32_t com1_power_on = 0;

static double com1_mhz = 0.0;          // whole MHz, as last decoded
static double com1_hundredths = 0.0;   // the two decimal digits, 0 to 99
static double com1_units_digit = 0.0;  // as last drawn by the units wheel
static double com1_tooltip_mhz = 0.0;
static radio::PanelClick com1_click_sound = {};

constexpr uint32_t COM1_FREQUENCY = 23;  // BCD, read as the low 32 bits

enum Com1Event : uint32_t {
    COM1_MHZ_UP = 65637,
    COM1_MHZ_DOWN = 65636,
    COM1_STEP_UP = 65639,    // one 25 kHz step of the decimal part
    COM1_STEP_DOWN = 65638,
    NAV1_TONE_OFF = 65832,   // sent at install, as the NAV1 panel does
};

constexpr double COM1_LOWEST_MHZ = 118, COM1_HIGHEST_MHZ = 135;
constexpr int COM1_STEPS_PER_TENTH = 4;

// ------------------------------------------------------------ frequency

// Whole MHz of the frequency word: its thousands digit gives the tens
// above 110 and its hundreds digit the units. A word below 0x1000, which
// the simulator never sends, reads below 110 rather than wrapping round.
static double com1_whole_mhz(uint32_t word) {
    if (word >= 0x3000) return 130.0 + ((word - 0x3000) >> 8);
    if (word >= 0x2000) return 120.0 + ((word - 0x2000) >> 8);
    return 110.0 + (static_cast<double>(word >> 8) - 0x10);
}

static uint32_t com1_word() { return host::read_var_low_word(COM1_FREQUENCY); }
static void com1_read_mhz() { com1_mhz = com1_whole_mhz(com1_word()); }
static void com1_read_hundredths() { com1_hundredths = radio::bcd_byte(com1_word()); }

static double com1_digit(double value, double place) {
    double n = std::floor(value / place);
    return n - 10 * std::floor(n / 10);
}

// ------------------------------------------------------------ life cycle

static void com1_install(GaugeHeader*, HostWord module) {
    host::trigger_key_event(NAV1_TONE_OFF);
    radio::install_click(com1_click_sound, module);
}

static void com1_update(GaugeHeader*) {
    uint32_t word = com1_word();
    com1_mhz = com1_whole_mhz(word);
    com1_hundredths = radio::bcd_byte(word);
    com1_tooltip_mhz = com1_mhz + com1_hundredths / 100;
}

static void com1_kill(GaugeHeader*) { radio::kill_click(com1_click_sound); }

static const GaugeServiceOps radio_com1_ops = {.install = com1_install, .update = com1_update, .kill = com1_kill};
GAUGE_CALLBACK(radio_com1_callback, radio_com1_ops)

// ------------------------------------------------------------ update callbacks

// Each wheel shows one digit image 0 to 9; a decimal nibble above 9 from a
// garbled word shows its units rather than an image the wheel lacks.
static double GAUGE_CALL com1_first_decimal(IconElement*) { return com1_digit(com1_hundredths, 10); }
static double GAUGE_CALL com1_units(IconElement*) {
    com1_units_digit = com1_digit(com1_mhz, 1);
    return com1_units_digit;
}
static double GAUGE_CALL com1_tens(IconElement*) { return com1_digit(com1_mhz, 10); }

// The channel wheel's images show .x00, .x25, .x50 and .x75.
static double GAUGE_CALL com1_channel(IconElement*) {
    switch (static_cast<int>(com1_digit(com1_hundredths, 1))) {
    case 2: return 1;
    case 5: return 2;
    case 7: return 3;
    default: return 0;
    }
}

static double GAUGE_CALL com1_main_switch(IconElement*) { return com1_power_on ? 1 : 0; }
static double GAUGE_CALL com1_power_lamp(IconElement*) { return radio::power_lamp_image(com1_power_on); }

// ------------------------------------------------------------ mouse callbacks

static void com1_send(uint32_t event, int times) {
    for (int i = 0; i < times; ++i) host::trigger_key_event(event);
}

// The tens and units wheels keep the whole MHz within 118 to 135; the units
// wheel stops at 0 and 8 and never carries into the tens. The decimal and
// channel wheels guard only the whole MHz as last stored and leave the
// stepping and wrapping of the decimal part to the simulator. No wheel
// clicks.
static int32_t GAUGE_CALL com1_tens_down_click(ClickRecord*, uint32_t) {
    com1_read_mhz();
    if (com1_mhz >= COM1_LOWEST_MHZ + 10) com1_send(COM1_MHZ_DOWN, 10);
    return 0;
}
static int32_t GAUGE_CALL com1_tens_up_click(ClickRecord*, uint32_t) {
    com1_read_mhz();
    if (com1_mhz <= COM1_HIGHEST_MHZ - 10) com1_send(COM1_MHZ_UP, 10);
    return 0;
}
static int32_t GAUGE_CALL com1_units_down_click(ClickRecord*, uint32_t) {
    com1_read_mhz();
    if (com1_mhz > COM1_LOWEST_MHZ && com1_units_digit > 0) com1_send(COM1_MHZ_DOWN, 1);
    return 0;
}
static int32_t GAUGE_CALL com1_units_up_click(ClickRecord*, uint32_t) {
    com1_read_mhz();
    if (com1_mhz < COM1_HIGHEST_MHZ && com1_units_digit < 8) com1_send(COM1_MHZ_UP, 1);
    return 0;
}
static int32_t GAUGE_CALL com1_decimal_down_click(ClickRecord*, uint32_t) {
    com1_read_hundredths();
    if (com1_mhz >= COM1_LOWEST_MHZ) com1_send(COM1_STEP_DOWN, COM1_STEPS_PER_TENTH);
    return 0;
}
static int32_t GAUGE_CALL com1_decimal_up_click(ClickRecord*, uint32_t) {
    com1_read_hundredths();
    if (com1_mhz <= COM1_HIGHEST_MHZ) com1_send(COM1_STEP_UP, COM1_STEPS_PER_TENTH);
    return 0;
}
static int32_t GAUGE_CALL com1_channel_down_click(ClickRecord*, uint32_t) {
    com1_read_hundredths();
    if (com1_mhz >= COM1_LOWEST_MHZ) com1_send(COM1_STEP_DOWN, 1);
    return 0;
}
static int32_t GAUGE_CALL com1_channel_up_click(ClickRecord*, uint32_t) {
    com1_read_hundredths();
    if (com1_mhz <= COM1_HIGHEST_MHZ) com1_send(COM1_STEP_UP, 1);
    return 0;
}
static int32_t GAUGE_CALL com1_main_switch_click(ClickRecord*, uint32_t) {
    radio::toggle(com1_power_on);
    radio::play_click(com1_click_sound);
    return 0;
}

// ------------------------------------------------------------ tooltips

// Two decimals of the frequency: the channel 118.025 MHz reads 118.020.
static double GAUGE_CALL com1_frequency_tip(double, uint32_t, uint32_t, uint32_t, uint32_t) {
    return com1_tooltip_mhz;
}
static const char* GAUGE_CALL com1_power_tip(double, uint32_t, uint32_t, uint32_t, uint32_t) {
    return radio::on_off(com1_power_on);
}
static const TooltipArg com1_tooltip_args[] = {{.number = com1_frequency_tip}, {.string = com1_power_tip}};
constexpr uint32_t COM1_TOOLTIP_ARGS = 2;
#define COM1_FREQUENCY_TOOLTIP "Communications Radio COM1 - %1!07.3f! MHz"

// ------------------------------------------------------------ elements

static const FailureRecord com1_failures[] = {{.key = 21, .action = 3}, {.key = 9, .action = 0}, {}};

static constexpr IconElement com1_icon(int32_t bitmap, int32_t x, int32_t y, uint32_t flags, uint32_t images,
                                       const FailureRecord* failures, ElementHeader* const* next,
                                       IconCallback value) {
    return {.header = {.kind = ELEMENT_ICON, .bitmap = bitmap, .x = x, .y = y, .gauge = &gauge_radio_com1,
                       .next = next, .failures = failures, .image_flags = flags},
            .scale = 1.0, .image_count = images, .callback = value};
}

static constinit IconElement com1_lamp_icon = com1_icon(1460, 27, 118, 0x7, 1, com1_failures, nullptr, com1_power_lamp);
static ElementHeader* const com1_lamp_list[] = {&com1_lamp_icon.header, nullptr};
static constinit IconElement com1_switch_icon =
    com1_icon(1430, 23, 143, 0x3, 2, nullptr, com1_lamp_list, com1_main_switch);
static ElementHeader* const com1_switch_list[] = {&com1_switch_icon.header, nullptr};
static constinit IconElement com1_channel_wheel =
    com1_icon(1450, 194, 8, 0x83, 4, nullptr, com1_switch_list, com1_channel);
static ElementHeader* const com1_channel_list[] = {&com1_channel_wheel.header, nullptr};
static constinit IconElement com1_tens_wheel = com1_icon(1440, 41, 8, 0x83, 10, nullptr, com1_channel_list, com1_tens);
static ElementHeader* const com1_tens_list[] = {&com1_tens_wheel.header, nullptr};
static constinit IconElement com1_units_wheel =
    com1_icon(1440, 94, 8, 0x83, 10, com1_failures, com1_tens_list, com1_units);
static ElementHeader* const com1_units_list[] = {&com1_units_wheel.header, nullptr};
static constinit IconElement com1_decimal_wheel =
    com1_icon(1440, 147, 8, 0x83, 10, nullptr, com1_units_list, com1_first_decimal);
static ElementHeader* const com1_decimal_list[] = {&com1_decimal_wheel.header, nullptr};
static StaticImageElement com1_background = {
    .header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 1420, .gauge = &gauge_radio_com1, .next = com1_decimal_list,
               .image_flags = 0x3}};
static ElementHeader* const com1_elements[] = {&com1_background.header, nullptr};

// ------------------------------------------------------------ mouse

static MouseRect com1_mouse[] = {
    radio::mouse_region(0, 0, 0, 0),
    RADIO_TOOLTIP_REGION(0, 0, 240, 143, COM1_FREQUENCY_TOOLTIP, com1_tooltip_args, COM1_TOOLTIP_ARGS),
    RADIO_TOOLTIP_REGION(74, 143, 166, 57, COM1_FREQUENCY_TOOLTIP, com1_tooltip_args, COM1_TOOLTIP_ARGS),
    RADIO_TOOLTIP_REGION(23, 143, 50, 50, "COM1 main switch (%2!s!)", com1_tooltip_args, COM1_TOOLTIP_ARGS),
    RADIO_CLICK_AREA(41, 8, 26, 52, CURSOR_DOWNARROW, MOUSE_LEFTSINGLE | MOUSE_REPEAT, com1_tens_down_click),
    RADIO_CLICK_AREA(67, 8, 26, 52, CURSOR_UPARROW, MOUSE_LEFTSINGLE | MOUSE_REPEAT, com1_tens_up_click),
    RADIO_CLICK_AREA(94, 8, 26, 52, CURSOR_DOWNARROW, MOUSE_LEFTSINGLE | MOUSE_REPEAT, com1_units_down_click),
    RADIO_CLICK_AREA(120, 8, 26, 52, CURSOR_UPARROW, MOUSE_LEFTSINGLE | MOUSE_REPEAT, com1_units_up_click),
    RADIO_CLICK_AREA(147, 8, 26, 52, CURSOR_DOWNARROW, MOUSE_LEFTSINGLE | MOUSE_REPEAT, com1_decimal_down_click),
    RADIO_CLICK_AREA(173, 8, 26, 52, CURSOR_UPARROW, MOUSE_LEFTSINGLE | MOUSE_REPEAT, com1_decimal_up_click),
    RADIO_CLICK_AREA(200, 8, 20, 52, CURSOR_DOWNARROW, MOUSE_LEFTSINGLE | MOUSE_REPEAT, com1_channel_down_click),
    RADIO_CLICK_AREA(214, 8, 20, 52, CURSOR_UPARROW, MOUSE_LEFTSINGLE | MOUSE_REPEAT, com1_channel_up_click),
    RADIO_CLICK_AREA(23, 143, 50, 50, CURSOR_HAND, MOUSE_LEFTSINGLE, com1_main_switch_click),
    radio::mouse_region_end(),
    radio::mouse_list_end(),
};

GaugeHeader gauge_radio_com1 = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Radio_COM1",
    .elements = com1_elements,
    .width_mm = 100,
    .mouse_rects = com1_mouse,
    .callback = radio_com1_callback,
};
