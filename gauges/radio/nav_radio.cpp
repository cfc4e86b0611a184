// Radio_NAV1 and Radio_NAV2: the two VHF navigation receivers, one design
// built twice. Each shows its frequency on digit drums lit while the set is
// on, tunes with a whole-MHz knob and a decimal-part knob, and has a main
// switch with a power lamp and an identification tone switch. The panels
// own the NAV main switches that the VOR course indicators read; the
// frequencies live in the simulator.
//
// Everything that differs between the two panels is the data of one
// NavRadio record; NavPanel<record> builds a panel's element records, mouse
// rectangles and callbacks from it.
#include <cmath>

#include "framework/gauge_dispatch.h"
#include "framework/gauge_list.h"
#include "framework/host_services.h"
#include "gauges/radio/radio_common.h"
#include "gauges/radio/radio_switches.h"

int32_t nav1_power_on = 0;
int32_t nav1_tone_on = 0;
int32_t nav2_power_on = 0;
int32_t nav2_tone_on = 0;

namespace {

// A receiver's module-wide state besides its switches.
struct NavReceiver {
    double mhz;         // whole MHz, as last decoded
    double hundredths;  // the two decimal digits as a number 0 to 99
    radio::PanelClick click_sound;
};

NavReceiver nav1_receiver = {};
NavReceiver nav2_receiver = {};

struct NavEvents {
    uint32_t mhz_up, mhz_down, decimal_up, decimal_down;
};

// What tells one NAV panel from the other.
struct NavRadio {
    GaugeHeader* gauge;
    int32_t* power_on;
    int32_t* tone_on;
    NavReceiver* receiver;
    uint32_t frequency_token;  // BCD, read as the low 32 bits
    int32_t background_bitmap;
    uint32_t failure_key;  // the radio's own failure
    const char* frequency_tooltip;
    NavEvents events;
    radio::ToneEvents tone;
};

constexpr NavRadio nav1_radio = {
    .gauge = &gauge_radio_nav1,
    .power_on = &nav1_power_on,
    .tone_on = &nav1_tone_on,
    .receiver = &nav1_receiver,
    .frequency_token = 24,
    .background_bitmap = 2090,
    .failure_key = 14,
    .frequency_tooltip = "Navigation Radio NAV1 - %1!07.3f! MHz",
    .events = {.mhz_up = 65641, .mhz_down = 65640, .decimal_up = 65643, .decimal_down = 65642},
    .tone = {.on = 65837, .off = 65832},
};

constexpr NavRadio nav2_radio = {
    .gauge = &gauge_radio_nav2,
    .power_on = &nav2_power_on,
    .tone_on = &nav2_tone_on,
    .receiver = &nav2_receiver,
    .frequency_token = 27,
    .background_bitmap = 2100,
    .failure_key = 15,
    .frequency_tooltip = "Navigation Radio NAV2 - %1!07.3f! MHz",
    .events = {.mhz_up = 65645, .mhz_down = 65644, .decimal_up = 65647, .decimal_down = 65646},
    .tone = {.on = 65838, .off = 65833},
};

// The whole-MHz knob's stops.
constexpr double NAV_LOWEST_MHZ = 108, NAV_HIGHEST_MHZ = 117;

// Whole MHz of a NAV frequency word, whose thousands digit is the tens of
// (MHz - 100) and whose hundreds digit is the units of the MHz.
double nav_whole_mhz(uint32_t word) { return word >= 0x1000 ? 110.0 + ((word - 0x1000) >> 8) : 100.0 + (word >> 8); }

double digit_of(double value, double place) { return std::floor(value / place) - 10 * std::floor(value / place / 10); }

// Lit while the set is on; bit 31 cleared on every call.
void light_display(ElementHeader& e, int32_t power_on) {
    if (power_on)
        e.image_flags |= IMAGE_LIT;
    else
        e.image_flags &= ~IMAGE_LIT;
    e.image_flags &= ~IMAGE_BIT31;
}

// A drum never leaves its strip, even for a garbled frequency word.
double on_strip(const MovingImageElement& e, double digit) {
    if (!(digit >= e.min_y)) return e.min_y;
    if (digit > e.max_y) return e.max_y;
    return digit;
}

template <const NavRadio& R>
struct NavPanel {
    static NavReceiver& receiver() { return *R.receiver; }
    static uint32_t frequency_word() { return host::read_var_low_word(R.frequency_token); }
    static void read_mhz() { receiver().mhz = nav_whole_mhz(frequency_word()); }
    static void read_hundredths() { receiver().hundredths = radio::bcd_byte(frequency_word()); }

    // ---------------------------------------------------------- life cycle

    // A panel installed again always starts with the set off.
    static void install(GaugeHeader*, HostWord module) {
        *R.power_on = 0;
        *R.tone_on = 0;
        host::trigger_key_event(R.tone.off);
        radio::install_click(receiver().click_sound, module);
    }
    static void update(GaugeHeader*) {
        uint32_t word = frequency_word();
        receiver().mhz = nav_whole_mhz(word);
        receiver().hundredths = radio::bcd_byte(word);
    }
    static void kill(GaugeHeader*) { radio::kill_click(receiver().click_sound); }

    static constexpr GaugeServiceOps ops = {.install = install, .update = update, .kill = kill};
    static void GAUGE_CALL callback(GaugeHeader* gauge, int32_t service, HostWord extra) {
        dispatch_service(ops, gauge, service, extra);
    }

    // ---------------------------------------------------------- update callbacks

    static double drum(MovingImageElement* e, double digit) {
        light_display(e->header, *R.power_on);
        return on_strip(*e, digit);
    }
    static double GAUGE_CALL second_decimal(MovingImageElement* e) { return drum(e, digit_of(receiver().hundredths, 1)); }
    static double GAUGE_CALL first_decimal(MovingImageElement* e) {
        return drum(e, std::floor(receiver().hundredths / 10));
    }
    static double GAUGE_CALL mhz_units(MovingImageElement* e) { return drum(e, digit_of(receiver().mhz, 1)); }
    static double GAUGE_CALL mhz_tens(MovingImageElement* e) { return drum(e, digit_of(receiver().mhz, 10)); }
    static double GAUGE_CALL fixed_digit(IconElement* e) {
        light_display(e->header, *R.power_on);
        return 0;
    }
    static double GAUGE_CALL decimal_knob(NeedleElement*) { return receiver().hundredths; }
    static double GAUGE_CALL mhz_knob(NeedleElement*) { return receiver().mhz; }
    static double GAUGE_CALL tone_switch(IconElement*) { return radio::tone_switch_image(*R.tone_on, *R.power_on, R.tone); }
    static double GAUGE_CALL main_switch(IconElement*) { return radio::main_switch_image(*R.power_on, *R.tone_on, R.tone); }
    static double GAUGE_CALL power_lamp(IconElement*) { return radio::power_lamp_image(*R.power_on); }

    // ---------------------------------------------------------- mouse callbacks

    // The knobs refresh the stored frequency, then step it while the set is
    // on, silently; the whole MHz stops at 108 and 117, the decimal part
    // steps and wraps as the simulator does.
    static int32_t GAUGE_CALL mhz_up_click(ClickRecord*, uint32_t) {
        read_mhz();
        if (receiver().mhz < NAV_HIGHEST_MHZ && *R.power_on) host::trigger_key_event(R.events.mhz_up);
        return 0;
    }
    static int32_t GAUGE_CALL mhz_down_click(ClickRecord*, uint32_t) {
        read_mhz();
        if (receiver().mhz > NAV_LOWEST_MHZ && *R.power_on) host::trigger_key_event(R.events.mhz_down);
        return 0;
    }
    static int32_t GAUGE_CALL decimal_up_click(ClickRecord*, uint32_t) {
        read_hundredths();
        if (*R.power_on) host::trigger_key_event(R.events.decimal_up);
        return 0;
    }
    static int32_t GAUGE_CALL decimal_down_click(ClickRecord*, uint32_t) {
        read_hundredths();
        if (*R.power_on) host::trigger_key_event(R.events.decimal_down);
        return 0;
    }
    static int32_t GAUGE_CALL main_switch_click(ClickRecord*, uint32_t) {
        radio::toggle(*R.power_on);
        radio::play_click(receiver().click_sound);
        return 0;
    }
    static int32_t GAUGE_CALL tone_switch_click(ClickRecord*, uint32_t) {
        radio::toggle(*R.tone_on);
        radio::play_click(receiver().click_sound);
        return 0;
    }

    // ---------------------------------------------------------- tooltips

    static double GAUGE_CALL frequency_tip(double, uint32_t, uint32_t, uint32_t, uint32_t) {
        return receiver().mhz + receiver().hundredths / 100;
    }
    static const char* GAUGE_CALL tone_tip(double, uint32_t, uint32_t, uint32_t, uint32_t) {
        return radio::on_off(*R.tone_on);
    }
    static const char* GAUGE_CALL power_tip(double, uint32_t, uint32_t, uint32_t, uint32_t) {
        return radio::on_off(*R.power_on);
    }
    static constexpr TooltipArg tooltip_args[] = {{.number = frequency_tip}, {.string = tone_tip}, {.string = power_tip}};
    static constexpr uint32_t TOOLTIP_ARGS = 3;

    // ---------------------------------------------------------- elements

    static constexpr FailureRecord failures[] = {{.key = 21, .action = 3}, {.key = R.failure_key, .action = 0}, {}};
    static inline constinit NonlinearityEntry decimal_knob_table[] = {{.x = 208, .y = -9, .value = 0},
                                                               {.x = 208, .y = 63, .value = 50}};
    static inline constinit NonlinearityEntry mhz_knob_table[] = {{.x = 32, .y = -9, .value = 108},
                                                           {.x = 32, .y = 63, .value = 112}};

    static constexpr MovingImageElement digit_drum(int32_t bitmap, int32_t x, double top, ElementHeader* const* next,
                                                   MovingImageCallback value) {
        return {.header = {.kind = ELEMENT_MOVING_IMAGE, .bitmap = bitmap, .x = x, .y = 33, .gauge = R.gauge,
                           .next = next, .failures = failures, .image_flags = 0x83},
                .min_x = 0, .max_x = 0, .min_y = 0, .max_y = top, .callback_y = value};
    }
    static constexpr IconElement icon(int32_t bitmap, int32_t x, int32_t y, uint32_t flags, uint32_t images,
                                      const FailureRecord* fail, ElementHeader* const* next, IconCallback value) {
        return {.header = {.kind = ELEMENT_ICON, .bitmap = bitmap, .x = x, .y = y, .gauge = R.gauge, .next = next,
                           .failures = fail, .image_flags = flags},
                .scale = 1.0, .image_count = images, .callback = value};
    }
    static constexpr NeedleElement knob(int32_t x, int32_t y, NonlinearityEntry* table,
                                        ElementHeader* const* next, NeedleCallback value) {
        return {.header = {.kind = ELEMENT_NEEDLE, .bitmap = 2000, .x = x, .y = y, .offset_x = 18, .offset_y = 18,
                           .gauge = R.gauge, .next = next, .image_flags = 0x83},
                .table = table, .table_entries = 2, .callback = value};
    }

    // Drawn from the background up; each element is the next list of the one below.
    static inline constinit IconElement power_lamp_icon = icon(2060, 97, 81, 0x7, 1, failures, nullptr, power_lamp);
    static inline constinit ElementHeader* const power_lamp_list[] = {&power_lamp_icon.header, nullptr};
    static inline constinit IconElement main_switch_icon = icon(2040, 59, 61, 0x3, 2, nullptr, power_lamp_list, main_switch);
    static inline constinit ElementHeader* const main_switch_list[] = {&main_switch_icon.header, nullptr};
    static inline constinit IconElement tone_switch_icon = icon(2050, 113, 64, 0x3, 2, failures, main_switch_list, tone_switch);
    static inline constinit ElementHeader* const tone_switch_list[] = {&tone_switch_icon.header, nullptr};
    static inline constinit NeedleElement mhz_knob_needle = knob(32, 27, mhz_knob_table, tone_switch_list, mhz_knob);
    static inline constinit ElementHeader* const mhz_knob_list[] = {&mhz_knob_needle.header, nullptr};
    static inline constinit NeedleElement decimal_knob_needle = knob(208, 26, decimal_knob_table, mhz_knob_list, decimal_knob);
    static inline constinit ElementHeader* const decimal_knob_list[] = {&decimal_knob_needle.header, nullptr};
    static inline constinit IconElement leading_one_icon = icon(2030, 89, 33, 0x83, 1, failures, decimal_knob_list, fixed_digit);
    static inline constinit ElementHeader* const leading_one_list[] = {&leading_one_icon.header, nullptr};
    static inline constinit MovingImageElement mhz_tens_drum = digit_drum(2020, 100, 1, leading_one_list, mhz_tens);
    static inline constinit ElementHeader* const mhz_tens_list[] = {&mhz_tens_drum.header, nullptr};
    static inline constinit MovingImageElement mhz_units_drum = digit_drum(2010, 111, 10, mhz_tens_list, mhz_units);
    static inline constinit ElementHeader* const mhz_units_list[] = {&mhz_units_drum.header, nullptr};
    static inline constinit IconElement decimal_point_icon = icon(2070, 122, 33, 0x83, 1, failures, mhz_units_list, fixed_digit);
    static inline constinit ElementHeader* const decimal_point_list[] = {&decimal_point_icon.header, nullptr};
    static inline constinit MovingImageElement first_decimal_drum = digit_drum(2010, 127, 10, decimal_point_list, first_decimal);
    static inline constinit ElementHeader* const first_decimal_list[] = {&first_decimal_drum.header, nullptr};
    static inline constinit MovingImageElement second_decimal_drum =
        digit_drum(2010, 138, 10, first_decimal_list, second_decimal);
    static inline constinit ElementHeader* const second_decimal_list[] = {&second_decimal_drum.header, nullptr};
    static inline constinit StaticImageElement background = {
        .header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = R.background_bitmap, .gauge = R.gauge,
                   .next = second_decimal_list, .image_flags = 0x3}};
    static inline constinit ElementHeader* const elements[] = {&background.header, nullptr};

    // ---------------------------------------------------------- mouse

    static inline constinit MouseRect mouse[] = {
        radio::mouse_region(0, 0, 0, 0),
        RADIO_TOOLTIP_REGION(0, 0, 240, 61, R.frequency_tooltip, tooltip_args, TOOLTIP_ARGS),
        RADIO_TOOLTIP_REGION(113, 64, 22, 22, "Tone switch (%2!s!)", tooltip_args, TOOLTIP_ARGS),
        RADIO_TOOLTIP_REGION(59, 61, 26, 31, "Main switch (%3!s!)", tooltip_args, TOOLTIP_ARGS),
        RADIO_CLICK_AREA(14, 9, 18, 36, CURSOR_DOWNARROW, MOUSE_LEFTSINGLE | MOUSE_REPEAT, mhz_down_click),
        RADIO_CLICK_AREA(32, 9, 18, 36, CURSOR_UPARROW, MOUSE_LEFTSINGLE | MOUSE_REPEAT, mhz_up_click),
        RADIO_CLICK_AREA(190, 8, 18, 36, CURSOR_DOWNARROW, MOUSE_LEFTSINGLE | MOUSE_REPEAT, decimal_down_click),
        RADIO_CLICK_AREA(208, 8, 18, 36, CURSOR_UPARROW, MOUSE_LEFTSINGLE | MOUSE_REPEAT, decimal_up_click),
        RADIO_CLICK_AREA(59, 61, 26, 31, CURSOR_HAND, MOUSE_LEFTSINGLE, main_switch_click),
        RADIO_CLICK_AREA(113, 64, 22, 22, CURSOR_HAND, MOUSE_LEFTSINGLE, tone_switch_click),
        radio::mouse_region_end(),
        radio::mouse_list_end(),
    };
};

using Nav1Panel = NavPanel<nav1_radio>;
using Nav2Panel = NavPanel<nav2_radio>;

}  // namespace

GaugeHeader gauge_radio_nav1 = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Radio_NAV1",
    .elements = Nav1Panel::elements,
    .width_mm = 100,
    .mouse_rects = Nav1Panel::mouse,
    .callback = Nav1Panel::callback,
};

GaugeHeader gauge_radio_nav2 = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Radio_NAV2",
    .elements = Nav2Panel::elements,
    .width_mm = 100,
    .mouse_rects = Nav2Panel::mouse,
    .callback = Nav2Panel::callback,
};
