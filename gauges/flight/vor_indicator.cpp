// VOR1_Indicator and VOR2_Indicator: the course indicators of the two NAV
// receivers, one design built twice. Each shows a hinged localizer needle,
// a hinged glide-slope needle, a course pointer turning with heading minus
// selected course, the glide-slope and TO/FROM flags and the selected course
// in three digits, set with a course knob. Needles and flags rest while
// their NAV radio is switched off. VOR1 also carries a marker lamp.
//
// Everything that differs between the two indicators is the data of one
// VorIndicator record; VorGauge<record> builds an indicator from it.
#include <array>
#include <cmath>

#include "framework/gauge_list.h"
#include "framework/host_services.h"
#include "framework/value_guards.h"
#include "gauges/radio/radio_common.h"
#include "gauges/radio/radio_switches.h"

namespace {

// The course each indicator last showed in its digits, for its tooltip.
double vor1_course = 0.0;
double vor2_course = 0.0;

struct VorIndicator {
    GaugeHeader* gauge;
    const int32_t* power_on;  // the NAV radio's main switch
    double* course_shown;
    uint32_t localizer_token, glide_slope_token;
    uint32_t to_from_token;  // an integer in the low 32 bits; 0 means no indication
    uint32_t glide_slope_flag_token, course_token;
    int32_t background_bitmap, bezel_bitmap;
    uint32_t failure_key;  // the receiver's own failure
    uint32_t course_event;  // sets the course, in whole degrees, from its value
    uint32_t deviation_help_id;
    const char* course_tooltip;
    bool glide_slope_drawn_first;
    bool marker_lamp;
};

constexpr VorIndicator vor1_data = {
    .gauge = &gauge_vor1_indicator,
    .power_on = &nav1_power_on,
    .course_shown = &vor1_course,
    .localizer_token = 40,
    .glide_slope_token = 41,
    .to_from_token = 43,
    .glide_slope_flag_token = 44,
    .course_token = 45,
    .background_bitmap = 1300,
    .bezel_bitmap = 1190,
    .failure_key = 14,
    .course_event = 65716,
    .deviation_help_id = 0xAB72,
    .course_tooltip = "Selected VOR1 course (%1!d!\xB0)",
    .glide_slope_drawn_first = false,
    .marker_lamp = true,
};

constexpr VorIndicator vor2_data = {
    .gauge = &gauge_vor2_indicator,
    .power_on = &nav2_power_on,
    .course_shown = &vor2_course,
    .localizer_token = 50,
    .glide_slope_token = 882,
    .to_from_token = 52,
    .glide_slope_flag_token = 53,
    .course_token = 54,
    .background_bitmap = 1310,
    .bezel_bitmap = 1200,
    .failure_key = 15,
    .course_event = 65717,
    .deviation_help_id = 0xAB74,
    .course_tooltip = "Selected VOR2 course (%1!d!\xB0)",
    .glide_slope_drawn_first = true,
    .marker_lamp = false,
};

enum VorToken : uint32_t { VOR_HEADING = 84, VOR_MARKER_STATE = 354 };
constexpr double VOR_MARKER_OVERHEAD = 2;  // the middle marker lights the lamp
constexpr double VOR_POINTER_LEVEL = 90;   // the course pointer lying horizontal

// The course pointer lies level without a receiver, without a TO/FROM
// indication, or with the selected course roughly abeam; otherwise it turns
// by heading minus course from straight up.
double course_pointer_angle(double heading, double course, uint32_t to_from) {
    if (to_from == 0) return VOR_POINTER_LEVEL;
    double d = heading - course;
    if ((d > -135 && d < -45) || (d > 45 && d < 135)) return VOR_POINTER_LEVEL;
    return std::isfinite(d) ? d : VOR_POINTER_LEVEL;
}

// The course in whole degrees for the knob: truncated toward zero. A value
// outside 0 to 360, which no simulator course takes, is brought round the
// circle first so that the knob never sends a course outside 0 to 359.
int32_t knob_course(double course) {
    if (!std::isfinite(course)) return 0;
    if (course < 0 || course >= 360) {
        course = std::fmod(course, 360);  // exact, within (-360, 360)
        if (course < 0) course += 360;
    }
    int32_t c = static_cast<int32_t>(course);
    return c < 360 ? c : 0;
}

// Left click one degree, right click ten, round the circle.
int32_t course_down(int32_t c, uint32_t flags) {
    if (flags & MOUSE_LEFTSINGLE) return c > 0 ? c - 1 : 359;
    return c >= 10 ? c - 10 : c + 350;
}
int32_t course_up(int32_t c, uint32_t flags) {
    if (flags & MOUSE_LEFTSINGLE) return c < 359 ? c + 1 : 0;
    return c <= 349 ? c + 10 : c - 350;
}

template <const VorIndicator& R>
struct VorGauge {
    static bool powered() { return *R.power_on != 0; }

    // ---------------------------------------------------------- update callbacks

    static double GAUGE_CALL needle_gate(NeedleElement* e) { return powered() ? e->source.value : 0; }
    static double GAUGE_CALL flag_gate(IconElement* e) { return powered() ? e->source.value : 0; }
    static double GAUGE_CALL to_from_flag(IconElement* e) { return powered() && host::low_word(e->source) ? 1 : 0; }
    static double GAUGE_CALL marker_lamp(IconElement* e) {
        return powered() && e->source.value == VOR_MARKER_OVERHEAD ? 0 : -1;
    }
    static double GAUGE_CALL course_digits(StringElement* e) {
        double course = e->source[0].value;
        *R.course_shown = course;
        radio::print_text(e->text, e->max_chars, "%03.0f", course);
        return course;
    }
    static double GAUGE_CALL course_pointer(NeedleElement*) {
        double heading = host::read_var(VOR_HEADING);
        if (!powered()) return VOR_POINTER_LEVEL;
        uint32_t to_from = host::read_var_low_word(R.to_from_token);
        return course_pointer_angle(heading, host::read_var(R.course_token), to_from);
    }

    // ---------------------------------------------------------- knob and tooltip

    static int32_t set_course(uint32_t flags, int32_t (*step)(int32_t, uint32_t)) {
        if (!(flags & (MOUSE_LEFTSINGLE | MOUSE_RIGHTSINGLE))) return 0;
        int32_t c = knob_course(host::read_var(R.course_token));
        host::trigger_key_event(R.course_event, static_cast<uint32_t>(step(c, flags)));
        return 0;
    }
    static int32_t GAUGE_CALL course_down_click(ClickRecord*, uint32_t flags) { return set_course(flags, course_down); }
    static int32_t GAUGE_CALL course_up_click(ClickRecord*, uint32_t flags) { return set_course(flags, course_up); }

    static double GAUGE_CALL course_tip(double, uint32_t, uint32_t, uint32_t, uint32_t) {
        return tooltip_integer(*R.course_shown);
    }
    static constexpr TooltipArg tooltip_args[] = {{.number = course_tip}};

    // ---------------------------------------------------------- elements

    static constexpr FailureRecord face_failures[] = {{.key = R.failure_key, .action = 0}, {}};
    static constexpr FailureRecord moving_failures[] = {
        {.key = R.failure_key, .action = 2}, {.key = 21, .action = 2}, {.key = 20, .action = 1}, {}};
    static constexpr FailureRecord avionics_failures[] = {{.key = 21, .action = 3}, {}};

    static inline constinit NonlinearityEntry course_pointer_table[] = {{.x = 159, .y = 88, .value = 0},
                                                                 {.x = 159, .y = 248, .value = 180}};
    // Drawn with the needle hanging from its top pivot: 127 is to the right.
    static inline constinit NonlinearityEntry localizer_table[] = {{.x = 221, .y = 168, .value = 127},
                                                            {.x = 98, .y = 168, .value = -127}};
    static inline constinit NonlinearityEntry glide_slope_table[] = {{.x = 160, .y = 107, .value = -119},
                                                              {.x = 160, .y = 230, .value = 119}};
    static inline constinit NonlinearityEntry knob_table[] = {{.x = 40, .y = 261, .value = 0}, {.x = 40, .y = 301, .value = 30}};

    static constexpr IconElement icon(int32_t bitmap, int32_t x, int32_t y, uint32_t flags, uint32_t images,
                                      uint32_t token, const FailureRecord* failures, ElementHeader* const* next,
                                      IconCallback value) {
        return {.header = {.kind = ELEMENT_ICON, .bitmap = bitmap, .x = x, .y = y, .gauge = R.gauge, .next = next,
                           .failures = failures, .image_flags = flags},
                .source = {.token = token}, .scale = 1.0, .image_count = images, .callback = value};
    }
    static constexpr StaticImageElement picture(int32_t bitmap, uint32_t flags, const FailureRecord* failures,
                                                ElementHeader* const* next) {
        return {.header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = bitmap, .gauge = R.gauge, .next = next,
                           .failures = failures, .image_flags = flags}};
    }

    static inline constinit NeedleElement knob = {
        .header = {.kind = ELEMENT_NEEDLE, .bitmap = 1210, .x = 40, .y = 281, .offset_x = 37, .offset_y = 37,
                   .gauge = R.gauge, .image_flags = 0x83},
        .source = {.token = R.course_token}, .table = knob_table, .table_entries = 2};
    static inline constinit ElementHeader* const knob_list[] = {&knob.header, nullptr};

    static inline constinit IconElement marker = icon(1220, 253, 18, 0x7, 1, VOR_MARKER_STATE, avionics_failures,
                                                      knob_list, marker_lamp);
    static inline constinit ElementHeader* const marker_list[] = {&marker.header, nullptr};

    static constexpr ElementHeader* const* after_bezel() {
        if constexpr (R.marker_lamp)
            return marker_list;
        else
            return knob_list;
    }
    static inline constinit StaticImageElement bezel = picture(R.bezel_bitmap, 0x3, nullptr, after_bezel());
    static inline constinit ElementHeader* const bezel_list[] = {&bezel.header, nullptr};

    static inline constinit StringElement digits = {
        .header = {.kind = ELEMENT_STRING, .bitmap = -1, .x = 130, .y = 43, .gauge = R.gauge, .next = bezel_list,
                   .failures = avionics_failures, .image_flags = 0x4003},
        .source = {{.token = R.course_token}, {.token = R.course_token}, {}},
        .box_width = 66, .box_height = 26,
        .text_colour = 0x00FFFFFF, .background_colour = 0x00000000, .highlight_colour = 0x00FFFFFF,
        .font_name = "Arial", .font_weight = 700, .charset = 1, .layout_flags = 0x25, .max_chars = 3,
        .callback = course_digits};
    static inline constinit ElementHeader* const digits_list[] = {&digits.header, nullptr};

    static inline constinit IconElement to_from = icon(1270, 134, 232, 0x4083, 2, R.to_from_token, moving_failures,
                                                       digits_list, to_from_flag);
    static inline constinit ElementHeader* const to_from_list[] = {&to_from.header, nullptr};
    static inline constinit IconElement glide_slope_flag =
        icon(1260, 75, 148, 0x4083, 2, R.glide_slope_flag_token, moving_failures, to_from_list, flag_gate);
    static inline constinit ElementHeader* const glide_slope_flag_list[] = {&glide_slope_flag.header, nullptr};
    static inline constinit StaticImageElement face_mask = picture(1250, 0x4083, nullptr, glide_slope_flag_list);
    static inline constinit ElementHeader* const face_mask_list[] = {&face_mask.header, nullptr};

    // The two deviation needles, in the indicator's own drawing order.
    static constexpr NeedleElement deviation_needle(bool localizer, ElementHeader* const* next) {
        if (localizer)
            return {.header = {.kind = ELEMENT_NEEDLE, .bitmap = 1230, .x = 158, .y = 93, .offset_x = -7, .offset_y = 2,
                               .gauge = R.gauge, .next = next, .failures = moving_failures, .image_flags = 0x4083},
                    .source = {.token = R.localizer_token}, .table = localizer_table, .table_entries = 2,
                    .callback = needle_gate};
        return {.header = {.kind = ELEMENT_NEEDLE, .bitmap = 1290, .x = 77, .y = 168, .offset_x = 0, .offset_y = 2,
                           .gauge = R.gauge, .next = next, .failures = moving_failures, .image_flags = 0x4083},
                .source = {.token = R.glide_slope_token}, .table = glide_slope_table, .table_entries = 2,
                .callback = needle_gate};
    }
    static inline constinit NeedleElement upper_deviation =
        deviation_needle(R.glide_slope_drawn_first, face_mask_list);
    static inline constinit ElementHeader* const upper_deviation_list[] = {&upper_deviation.header, nullptr};
    static inline constinit NeedleElement lower_deviation =
        deviation_needle(!R.glide_slope_drawn_first, upper_deviation_list);
    static inline constinit ElementHeader* const lower_deviation_list[] = {&lower_deviation.header, nullptr};

    static inline constinit NeedleElement pointer = {
        .header = {.kind = ELEMENT_NEEDLE, .bitmap = 1280, .x = 159, .y = 168, .offset_x = 39, .offset_y = 12,
                   .gauge = R.gauge, .next = lower_deviation_list, .failures = moving_failures,
                   .image_flags = 0x4083},
        .table = course_pointer_table, .table_entries = 2, .callback = course_pointer};
    static inline constinit ElementHeader* const pointer_list[] = {&pointer.header, nullptr};

    static inline constinit StaticImageElement background =
        picture(R.background_bitmap, 0x4003, face_failures, pointer_list);
    static inline constinit ElementHeader* const elements[] = {&background.header, nullptr};

    // ---------------------------------------------------------- mouse

    static constexpr size_t MOUSE_RECTS = R.marker_lamp ? 12 : 10;
    static constexpr std::array<MouseRect, MOUSE_RECTS> mouse_list() {
        std::array<MouseRect, MOUSE_RECTS> m{};
        size_t i = 0;
        m[i++] = radio::mouse_region(0, 0, 0, 0);
        m[i++] = radio::mouse_region(70, 70, 170, 170, R.deviation_help_id);
        m[i++] = radio::mouse_region_end();
        if (R.marker_lamp) {
            m[i++] = radio::mouse_region(253, 18, 56, 56, 0xAB48);
            m[i++] = radio::mouse_region_end();
        }
        m[i++] = radio::mouse_region(3, 244, 74, 74);
        m[i++] = radio::mouse_tooltip(R.course_tooltip, tooltip_args, 1);
        m[i++] = radio::mouse_region_end();
        m[i++] = radio::mouse_click_area(3, 244, 37, 74, CURSOR_DOWNARROW,
                                         MOUSE_LEFTSINGLE | MOUSE_RIGHTSINGLE | MOUSE_REPEAT, course_down_click);
        m[i++] = radio::mouse_click_area(40, 244, 37, 74, CURSOR_UPARROW,
                                         MOUSE_LEFTSINGLE | MOUSE_RIGHTSINGLE | MOUSE_REPEAT, course_up_click);
        m[i++] = radio::mouse_region_end();
        m[i++] = radio::mouse_list_end();
        return m;
    }
    static inline constinit std::array<MouseRect, MOUSE_RECTS> mouse = mouse_list();
};

using Vor1 = VorGauge<vor1_data>;
using Vor2 = VorGauge<vor2_data>;

}  // namespace

GaugeHeader gauge_vor1_indicator = {
    .version = GAUGE_HEADER_VERSION,
    .name = "VOR1_Indicator",
    .elements = Vor1::elements,
    .width_mm = 100,
    .mouse_rects = Vor1::mouse.data(),
};

GaugeHeader gauge_vor2_indicator = {
    .version = GAUGE_HEADER_VERSION,
    .name = "VOR2_Indicator",
    .elements = Vor2::elements,
    .width_mm = 100,
    .mouse_rects = Vor2::mouse.data(),
};
