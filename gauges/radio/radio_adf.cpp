// Radio_ADF: the radio-compass control box. The frequency shows on a scale
// disc turning behind the arc-shaped window, one graduated arc per band; a
// band selector turns the band legend drum into the same window. The pilot
// tunes with the tuning handle (left click fine, right click coarse), works
// the main and tone switches, and may click the window for a short digital
// readout. The panel owns the ADF main switch that the bearing indicator
// reads and the shut-down gauge resets; the frequency lives in the
// simulator and changes only by key events.
#include <cmath>

#include "framework/gauge_dispatch.h"
#include "framework/gauge_list.h"
#include "framework/host_services.h"
#include "gauges/radio/radio_common.h"
#include "gauges/radio/radio_switches.h"

int32_t adf_power_on = 0;
int32_t adf_tone_on = 0;

static double adf_band = 1.0;           // band selector position 1, 2 or 3
static double adf_frequency_khz = 0.0;  // decoded at install and every update
static double adf_scale_angle = 0.0;    // disc travel from the start of the band's arc
static double adf_handle_angle = 60.0;  // tuning handle position, unbounded
static int32_t adf_readout_frames = 0;  // cycles the digital readout still shows
static radio::PanelClick adf_click_sound = {};

enum AdfToken : uint32_t {
    ADF_FREQUENCY = 16,            // hundreds, tens, units in BCD
    ADF_FREQUENCY_EXTENSION = 18,  // 256 from 1000 kHz up, plus the tenths digit
    ADF_TONE_STATE = 880,
};

enum AdfEvent : uint32_t {
    ADF_UP_1_KHZ = 66542,
    ADF_DOWN_1_KHZ = 66543,
    ADF_UP_100_HZ = 66462,
    ADF_DOWN_100_HZ = 66461,
    ADF_SET_FREQUENCY = 66122,  // value: BCD of the frequency in tenths of kHz
};

static constexpr radio::ToneEvents adf_tone_events = {.on = 65841, .off = 65836};

// One step of the tuning handle: five events of the given size.
constexpr int ADF_EVENTS_PER_STEP = 5;
constexpr double ADF_FINE_STEP_KHZ = 0.5, ADF_COARSE_STEP_KHZ = 5.0;
constexpr double ADF_FINE_HANDLE_TRAVEL = 1.0, ADF_COARSE_HANDLE_TRAVEL = 5.0;
constexpr int32_t ADF_READOUT_CYCLES = 60;

// The three bands. The disc turns `tenths_of_degree_per_khz` / 10 degrees
// per kHz from the start of the band's arc.
struct AdfBand {
    double lowest_khz, highest_khz;
    double tenths_of_degree_per_khz;
    double travel_at_top;
};
static const AdfBand adf_bands[] = {
    {.lowest_khz = 200, .highest_khz = 410, .tenths_of_degree_per_khz = 5, .travel_at_top = 105},
    {.lowest_khz = 410, .highest_khz = 850, .tenths_of_degree_per_khz = 4, .travel_at_top = 176},
    {.lowest_khz = 850, .highest_khz = 1750, .tenths_of_degree_per_khz = 3, .travel_at_top = 270},
};
constexpr int ADF_BAND_COUNT = 3;

// The band the selector stands on, or null if it stands on none.
static const AdfBand* adf_selected_band() {
    for (int i = 0; i < ADF_BAND_COUNT; ++i)
        if (adf_band == i + 1) return &adf_bands[i];
    return nullptr;
}

static double adf_disc_angle(const AdfBand& band, double khz) {
    return (khz - band.lowest_khz) * band.tenths_of_degree_per_khz / 10;
}

// The set-frequency event's value for a frequency in kHz.
static uint32_t adf_set_value(double khz) { return radio::bcd_encode(static_cast<uint32_t>(std::lround(khz * 10))); }

// ------------------------------------------------------------ frequency

// The simulator's two frequency words to kHz. Any bit pattern decodes to a
// finite number; a nibble above 9 simply counts with its own value.
static double adf_decode_khz(uint32_t digits, uint32_t extension) {
    double hundreds = digits >> 8, tens = (digits >> 4) & 0xF, units = digits & 0xF;
    double thousands = 0, tenths = extension;
    if (extension >= 256) {
        thousands = 1;
        tenths = extension - 256.0;
    }
    return 1000 * thousands + 100 * hundreds + 10 * tens + units + tenths / 10;
}

static void adf_read_frequency() {
    adf_frequency_khz =
        adf_decode_khz(host::read_var_low_word(ADF_FREQUENCY), host::read_var_low_word(ADF_FREQUENCY_EXTENSION));
}

// The boundary frequencies belong to the lower band when the band is
// derived from the frequency.
static double adf_band_of(double khz) {
    for (int i = 0; i < ADF_BAND_COUNT - 1; ++i)
        if (khz <= adf_bands[i].highest_khz) return i + 1;
    return ADF_BAND_COUNT;
}

// ------------------------------------------------------------ life cycle

static void adf_install(GaugeHeader*, HostWord module) {
    adf_read_frequency();
    adf_band = adf_band_of(adf_frequency_khz);
    adf_scale_angle = adf_disc_angle(*adf_selected_band(), adf_frequency_khz);
    radio::install_click(adf_click_sound, module);
}

static void adf_update(GaugeHeader*) { adf_read_frequency(); }

static void adf_kill(GaugeHeader*) { radio::kill_click(adf_click_sound); }

static const GaugeServiceOps radio_adf_ops = {.install = adf_install, .update = adf_update, .kill = adf_kill};
GAUGE_CALLBACK(radio_adf_callback, radio_adf_ops)

// ------------------------------------------------------------ update callbacks

// While the set is off the disc stays where it was when it went off.
static double GAUGE_CALL adf_scale_disc(NeedleElement*) {
    const AdfBand* band = adf_selected_band();
    if (adf_power_on && band) adf_scale_angle = adf_disc_angle(*band, adf_frequency_khz);
    return adf_scale_angle;
}

// The digital readout shows for a number of cycles after a click on the
// window, counting down only while the set is on.
static double GAUGE_CALL adf_readout(StringElement* e) {
    radio::print_text(e->text, e->max_chars, "%7.2f", adf_frequency_khz);
    if (adf_power_on && adf_readout_frames > 0) {
        --adf_readout_frames;
        e->header.image_flags &= ~IMAGE_HIDDEN;
    } else {
        e->header.image_flags |= IMAGE_HIDDEN;
    }
    return 0;
}

static double GAUGE_CALL adf_handle(NeedleElement*) { return adf_handle_angle; }
static double GAUGE_CALL adf_band_knob(NeedleElement*) { return adf_band; }
// The drum carries the band legends a quarter turn apart.
static double GAUGE_CALL adf_band_drum(SpriteElement*) { return (1 - adf_band) * 90; }

static double GAUGE_CALL adf_tone_switch(IconElement*) {
    return radio::tone_switch_image(adf_tone_on, adf_power_on, adf_tone_events);
}
static double GAUGE_CALL adf_power_lamp(IconElement*) { return radio::power_lamp_image(adf_power_on); }
static double GAUGE_CALL adf_main_switch(IconElement*) {
    return radio::main_switch_image(adf_power_on, adf_tone_on, adf_tone_events);
}

// ------------------------------------------------------------ mouse callbacks

static int32_t GAUGE_CALL adf_main_switch_click(ClickRecord*, uint32_t) {
    radio::toggle(adf_power_on);
    radio::play_click(adf_click_sound);
    return 0;
}

static int32_t GAUGE_CALL adf_tone_switch_click(ClickRecord*, uint32_t) {
    radio::toggle(adf_tone_on);
    radio::play_click(adf_click_sound);
    return 0;
}

static int32_t GAUGE_CALL adf_readout_click(ClickRecord*, uint32_t) {
    if (!adf_power_on) return 0;
    adf_readout_frames = ADF_READOUT_CYCLES;
    radio::play_click(adf_click_sound);
    return 0;
}

// A band change retunes to the boundary the two bands share: the bottom of
// the higher band going up, the top of the lower band going down.
static int32_t GAUGE_CALL adf_band_up_click(ClickRecord*, uint32_t) {
    if (!adf_power_on || !(adf_band < ADF_BAND_COUNT)) return 0;
    adf_band += 1;
    radio::play_click(adf_click_sound);
    adf_scale_angle = 0;
    if (const AdfBand* band = adf_selected_band())
        host::trigger_key_event(ADF_SET_FREQUENCY, adf_set_value(band->lowest_khz));
    return 0;
}

static int32_t GAUGE_CALL adf_band_down_click(ClickRecord*, uint32_t) {
    if (!adf_power_on || !(adf_band > 1)) return 0;
    adf_band -= 1;
    radio::play_click(adf_click_sound);
    if (const AdfBand* band = adf_selected_band()) {
        adf_scale_angle = band->travel_at_top;
        host::trigger_key_event(ADF_SET_FREQUENCY, adf_set_value(band->highest_khz));
    }
    return 0;
}

static void adf_send(uint32_t event) {
    for (int i = 0; i < ADF_EVENTS_PER_STEP; ++i) host::trigger_key_event(event);
}

// The handle steps within the band: coarse with the right button, fine
// with the left, silently. The frequency is the one decoded at the last
// update notice.
static int32_t GAUGE_CALL adf_tune_up_click(ClickRecord*, uint32_t flags) {
    const AdfBand* band = adf_selected_band();
    if (!adf_power_on || !band) return 0;
    if (flags & MOUSE_RIGHTSINGLE) {
        if (adf_frequency_khz <= band->highest_khz - ADF_COARSE_STEP_KHZ) {
            adf_send(ADF_UP_1_KHZ);
            adf_handle_angle += ADF_COARSE_HANDLE_TRAVEL;
        }
    } else if (flags & MOUSE_LEFTSINGLE) {
        if (adf_frequency_khz <= band->highest_khz - ADF_FINE_STEP_KHZ) {
            adf_send(ADF_UP_100_HZ);
            adf_handle_angle += ADF_FINE_HANDLE_TRAVEL;
        }
    }
    return 0;
}

static int32_t GAUGE_CALL adf_tune_down_click(ClickRecord*, uint32_t flags) {
    const AdfBand* band = adf_selected_band();
    if (!adf_power_on || !band) return 0;
    if (flags & MOUSE_RIGHTSINGLE) {
        if (adf_frequency_khz >= band->lowest_khz + ADF_COARSE_STEP_KHZ) {
            adf_send(ADF_DOWN_1_KHZ);
            adf_handle_angle -= ADF_COARSE_HANDLE_TRAVEL;
        }
    } else if (flags & MOUSE_LEFTSINGLE) {
        if (adf_frequency_khz >= band->lowest_khz + ADF_FINE_STEP_KHZ) {
            adf_send(ADF_DOWN_100_HZ);
            adf_handle_angle -= ADF_FINE_HANDLE_TRAVEL;
        }
    }
    return 0;
}

// ------------------------------------------------------------ tooltips

// The frequency in kHz, which the tooltips show under the unit MHz.
static double GAUGE_CALL adf_frequency_tip(double, uint32_t, uint32_t, uint32_t, uint32_t) {
    return adf_frequency_khz;
}
static const char* GAUGE_CALL adf_tone_tip(double, uint32_t, uint32_t, uint32_t, uint32_t) {
    return host::read_var(ADF_TONE_STATE) == 1.0 ? "on" : "off";
}
static const char* GAUGE_CALL adf_power_tip(double, uint32_t, uint32_t, uint32_t, uint32_t) {
    return radio::on_off(adf_power_on);
}
static const TooltipArg adf_tooltip_args[] = {
    {.number = adf_frequency_tip},
    {.string = adf_tone_tip},
    {.string = adf_power_tip},
};
constexpr uint32_t ADF_TOOLTIP_ARGS = 3;
#define ADF_FREQUENCY_TOOLTIP "Navigation Radio ADF - %1!07.2f! MHz"

// ------------------------------------------------------------ elements

static const FailureRecord adf_readout_failures[] = {{.key = 20, .action = 3}, {.key = 21, .action = 3},
                                                     {.key = 5, .action = 0}, {}};
static const FailureRecord adf_lamp_failures[] = {{.key = 20, .action = 3}, {.key = 21, .action = 3}, {}};

static NonlinearityEntry adf_disc_table[] = {{.x = 168, .y = 52, .value = 0}, {.x = 168, .y = 248, .value = 180}};
static NonlinearityEntry adf_handle_table[] = {{.x = 166, .y = 222, .value = 0},
                                                     {.x = 166, .y = 282, .value = 60}};
static NonlinearityEntry adf_band_table[] = {{.x = 164, .y = 123, .value = 0}, {.x = 164, .y = 199, .value = 1}};

static IconElement adf_main_switch_icon = {
    .header = {.kind = ELEMENT_ICON, .bitmap = 1360, .x = 237, .y = 215, .gauge = &gauge_radio_adf,
               .image_flags = 0x3},
    .scale = 1.0, .image_count = 2, .callback = adf_main_switch};
static ElementHeader* const adf_main_switch_list[] = {&adf_main_switch_icon.header, nullptr};

static IconElement adf_power_lamp_icon = {
    .header = {.kind = ELEMENT_ICON, .bitmap = 1370, .x = 290, .y = 6, .gauge = &gauge_radio_adf,
               .next = adf_main_switch_list, .failures = adf_lamp_failures, .image_flags = 0x7},
    .scale = 1.0, .image_count = 1, .callback = adf_power_lamp};
static ElementHeader* const adf_power_lamp_list[] = {&adf_power_lamp_icon.header, nullptr};

static IconElement adf_tone_switch_icon = {
    .header = {.kind = ELEMENT_ICON, .bitmap = 1380, .x = 25, .y = 183, .gauge = &gauge_radio_adf,
               .next = adf_power_lamp_list, .image_flags = 0x3},
    .source = {.token = ADF_TONE_STATE}, .scale = 1.0, .image_count = 2, .callback = adf_tone_switch};
static ElementHeader* const adf_tone_switch_list[] = {&adf_tone_switch_icon.header, nullptr};

static SpriteElement adf_band_drum_sprite = {
    .header = {.kind = ELEMENT_SPRITE, .bitmap = 1400, .x = 91, .y = 54, .offset_x = 168, .offset_y = 150,
               .gauge = &gauge_radio_adf, .next = adf_tone_switch_list, .image_flags = 0x4083},
    .scale_x = 1.0, .scale_y = 1.0, .scale_rotation = 1.0, .texture_scale_x = 1.0f, .texture_scale_y = 1.0f,
    .callback_rotation = adf_band_drum};
static ElementHeader* const adf_band_drum_list[] = {&adf_band_drum_sprite.header, nullptr};

static NeedleElement adf_band_knob_needle = {
    .header = {.kind = ELEMENT_NEEDLE, .bitmap = 1340, .x = 164, .y = 161, .offset_x = 38, .offset_y = 38,
               .gauge = &gauge_radio_adf, .next = adf_band_drum_list, .image_flags = 0x83},
    .table = adf_band_table, .table_entries = 2, .callback = adf_band_knob};
static ElementHeader* const adf_band_knob_list[] = {&adf_band_knob_needle.header, nullptr};

static NeedleElement adf_handle_needle = {
    .header = {.kind = ELEMENT_NEEDLE, .bitmap = 1350, .x = 166, .y = 252, .offset_x = 24, .offset_y = 21,
               .gauge = &gauge_radio_adf, .next = adf_band_knob_list, .image_flags = 0x83},
    .table = adf_handle_table, .table_entries = 2, .callback = adf_handle};
static ElementHeader* const adf_handle_list[] = {&adf_handle_needle.header, nullptr};

static StringElement adf_readout_string = {
    .header = {.kind = ELEMENT_STRING, .bitmap = -1, .x = 177, .y = 8, .gauge = &gauge_radio_adf,
               .next = adf_handle_list, .failures = adf_readout_failures, .image_flags = 0x7},
    .source = {{.token = ADF_FREQUENCY}},
    .box_width = 84, .box_height = 30,
    .text_colour = 0x0000FAFA,  // RGB(250, 250, 0)
    .background_colour = 0x00000000,
    .highlight_colour = 0x0000FFFF,  // RGB(255, 255, 0)
    .font_name = "Arial", .font_weight = 700, .charset = 1, .layout_flags = 0x25, .max_chars = 7,
    .callback = adf_readout};
static ElementHeader* const adf_readout_list[] = {&adf_readout_string.header, nullptr};

static StaticImageElement adf_front_panel = {
    .header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 1320, .gauge = &gauge_radio_adf, .next = adf_readout_list,
               .image_flags = 0x3}};
static ElementHeader* const adf_front_panel_list[] = {&adf_front_panel.header, nullptr};

static NeedleElement adf_scale_disc_needle = {
    .header = {.kind = ELEMENT_NEEDLE, .bitmap = 1410, .x = 168, .y = 150, .offset_x = 98, .offset_y = 98,
               .gauge = &gauge_radio_adf, .next = adf_front_panel_list, .image_flags = 0x4083},
    .table = adf_disc_table, .table_entries = 2, .callback = adf_scale_disc};
static ElementHeader* const adf_scale_disc_list[] = {&adf_scale_disc_needle.header, nullptr};

static StaticImageElement adf_background = {
    .header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 1330, .gauge = &gauge_radio_adf, .next = adf_scale_disc_list,
               .image_flags = 0x3}};
static ElementHeader* const adf_elements[] = {&adf_background.header, nullptr};

// ------------------------------------------------------------ mouse

static MouseRect adf_mouse[] = {
    radio::mouse_region(0, 0, 0, 0),
    RADIO_TOOLTIP_REGION(0, 0, 360, 123, ADF_FREQUENCY_TOOLTIP, adf_tooltip_args, ADF_TOOLTIP_ARGS),
    RADIO_TOOLTIP_REGION(202, 123, 158, 76, ADF_FREQUENCY_TOOLTIP, adf_tooltip_args, ADF_TOOLTIP_ARGS),
    RADIO_TOOLTIP_REGION(25, 183, 74, 74, "ADF tone switch (%2!s!)", adf_tooltip_args, ADF_TOOLTIP_ARGS),
    RADIO_TOOLTIP_REGION(237, 215, 78, 78, "Main switch (%3!s!)", adf_tooltip_args, ADF_TOOLTIP_ARGS),
    RADIO_TOOLTIP_REGION(122, 209, 90, 90, "Tuning handle (%1!07.2f! MHz)", adf_tooltip_args, ADF_TOOLTIP_ARGS),
    RADIO_TOOLTIP_REGION(126, 123, 90, 90, "Frequency band selector", nullptr, 0),
    RADIO_CLICK_AREA(237, 215, 78, 78, CURSOR_HAND, MOUSE_LEFTSINGLE, adf_main_switch_click),
    RADIO_CLICK_AREA(25, 183, 74, 74, CURSOR_HAND, MOUSE_LEFTSINGLE, adf_tone_switch_click),
    RADIO_CLICK_AREA(126, 123, 45, 90, CURSOR_DOWNARROW, MOUSE_LEFTSINGLE | MOUSE_REPEAT, adf_band_down_click),
    RADIO_CLICK_AREA(164, 123, 45, 90, CURSOR_UPARROW, MOUSE_LEFTSINGLE | MOUSE_REPEAT, adf_band_up_click),
    RADIO_CLICK_AREA(122, 209, 45, 90, CURSOR_DOWNARROW, MOUSE_LEFTSINGLE | MOUSE_RIGHTSINGLE | MOUSE_REPEAT,
                   adf_tune_down_click),
    RADIO_CLICK_AREA(167, 209, 45, 90, CURSOR_UPARROW, MOUSE_LEFTSINGLE | MOUSE_RIGHTSINGLE | MOUSE_REPEAT,
                   adf_tune_up_click),
    RADIO_CLICK_AREA(116, 55, 102, 67, CURSOR_HAND, MOUSE_LEFTSINGLE | MOUSE_REPEAT, adf_readout_click),
    radio::mouse_region_end(),
    radio::mouse_list_end(),
};

GaugeHeader gauge_radio_adf = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Radio_ADF",
    .elements = adf_elements,
    .width_mm = 100,
    .mouse_rects = adf_mouse,
    .callback = radio_adf_callback,
};
