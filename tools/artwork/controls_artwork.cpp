// Cockpit controls and fittings: gear lever and lamps, parking brake, flaps
// and trim indicators, the engine starting box, the timer and the
// registration plate.
#include <cmath>
#include <string>

#include "artwork.h"

namespace art {

namespace {

using namespace colours;

// --- Gear lever (3070 plate, 3080 handle up, 3081 handle down) ---------------

void gear_plate(Canvas& c, Fonts& f) {
    panel_paint(c, 0, 0, c.width(), c.height());
    c.fill(Path().round_rect(55, 44, 14, 124, 7), rgb(12, 12, 12));
    draw_text(c, f, FontStyle::SansBold, "TRAIN", 12, 75, 12, paint);
    draw_text(c, f, FontStyle::Sans, "RENTRE", 9, 112, 60, paint_dim);
    draw_text(c, f, FontStyle::Sans, "SORTI", 9, 112, 150, paint_dim);
    screw(c, 8, 8, 4);
    screw(c, 142, 8, 4);
    screw(c, 8, 165, 4);
    screw(c, 142, 165, 4);
}

void gear_handle(Canvas& c, bool down) {
    // The lever pivots low in the slot; its wheel-shaped knob is up or down.
    double cx = 62, pivot = 68, knob_y = down ? 112 : 20;
    c.fill(Path().capsule(cx, pivot, cx, knob_y, 7), linear({cx - 4, 0}, metal_light, {cx + 4, 0}, metal_dark));
    c.fill(Path().circle(cx, knob_y, 17), radial({cx - 5, knob_y - 5}, 0, rgb(250, 250, 246), 19, rgb(150, 150, 146)));
    c.fill(Path().ring(cx, knob_y, 9, 11), rgb(90, 90, 90));
    c.fill(Path().circle(cx, pivot, 7), metal_dark);
}

// --- Gear lamps (3110 bank, 3120 green lit, 3130 red lit) --------------------

const double kRed[3][2] = {{15, 8}, {39, 0}, {63, 7}};
const double kGreen[3][2] = {{13, 61}, {37, 69}, {61, 61}};

void gear_lamp_bank(Canvas& c, Fonts& f) {
    c.fill(Path().circle(50.5, 48.5, 48), linear({0, 0}, metal_light, {101, 97}, metal_dark));
    c.fill(Path().circle(50.5, 48.5, 44), rgb(30, 32, 30));
    for (auto& p : kRed) lamp(c, p[0] + 12, p[1] + 12.5, 11.5, red, false);
    for (auto& p : kGreen) lamp(c, p[0] + 12, p[1] + 12.5, 11.5, green, false);
    draw_text(c, f, FontStyle::SansBold, "G", 8, 26, 47, paint_dim);
    draw_text(c, f, FontStyle::SansBold, "D", 8, 75, 47, paint_dim);
}

// --- Parking brake (3140 plate, 3150 released, 3151 set) ---------------------

void brake_plate(Canvas& c, Fonts& f) {
    panel_paint(c, 0, 0, c.width(), c.height());
    c.fill(Path().round_rect(50, 40, 27, 100, 6), rgb(14, 14, 14));
    draw_text(c, f, FontStyle::SansBold, "FREIN", 11, 63, 12, paint);
    draw_text(c, f, FontStyle::SansBold, "DE PARC", 11, 63, 26, paint);
    draw_text(c, f, FontStyle::Sans, "TIRER", 9, 63, 148, paint_dim);
}

void brake_handle(Canvas& c, bool set) {
    double y = set ? 108 : 60;  // pulled out, the T-handle stands lower
    c.fill(Path().rect(59, 44, 9, y - 44), linear({59, 0}, metal_light, {68, 0}, metal_dark));
    c.fill(Path().round_rect(28, y - 10, 71, 22, 10), linear({0, y - 10}, rgb(220, 60, 40), {0, y + 12}, rgb(110, 20, 14)));
    c.fill(Path().rect(34, y - 1, 59, 2), rgb(90, 14, 10));
}

// --- Flaps indicator (3160, 3170, 3180) --------------------------------------

void flaps_face(Canvas& c, Fonts& f) {
    panel_paint(c, 0, 0, c.width(), c.height());
    c.fill(Path().round_rect(6, 6, 188, 188, 14), linear({0, 0}, metal_light, {200, 200}, metal_dark));
    c.fill(Path().round_rect(12, 12, 176, 176, 10), face);
    Scale s(75, 65, {{0, 166, 65}, {8191, 152, 109}, {16382, 119, 143}});
    scale_ticks(c, s, 0, 16382, 16382 / 8.0, 80, 92, 1.8, paint);
    scale_ticks(c, s, 0, 16382, 16382 / 4.0, 74, 94, 3.2, paint);
    const char* labels[5] = {"0", "1/4", "1/2", "3/4", "1"};
    for (int i = 0; i < 5; ++i) scale_label(c, f, s, 16382 / 4.0 * i, labels[i], 104, 12);
    draw_text(c, f, FontStyle::SansBold, "VOLETS", 14, 66, 150, paint);
}

void flaps_glass(Canvas& c, Fonts&) {
    Path frame;
    frame.round_rect(6, 6, 188, 188, 14);
    c.fill(frame, linear({0, 0}, metal_light, {200, 200}, metal_dark));
    c.erase(Path().round_rect(12, 12, 176, 176, 10));
    hub(c, 75, 65, 9);
}

// --- Trim indicators (2410-2430 pitch, 2440-2460 rudder) ---------------------

struct TrimLabels {
    const char* title;
    double title_x, title_y;
    const char* low;
    double low_x, low_y;
    const char* high;
    double high_x, high_y;
};

void trim_face(Canvas& c, Fonts& f, const Scale& s, const TrimLabels& t) {
    round_instrument(c, 100, 100, 86, 99);
    const double deg = kPi / 180.0;
    scale_ticks(c, s, -12 * deg, 12 * deg, 2 * deg, 62, 72, 1.6, paint);
    scale_ticks(c, s, -12 * deg, 12 * deg, 4 * deg, 56, 72, 3, paint);
    for (int d = -12; d <= 12; d += 4) scale_label(c, f, s, d * deg, std::to_string(std::abs(d)), 44, 11);
    draw_text(c, f, FontStyle::SansBold, t.title, 8, t.title_x, t.title_y, paint);
    draw_text(c, f, FontStyle::SansBold, t.low, 9, t.low_x, t.low_y, paint_dim);
    draw_text(c, f, FontStyle::SansBold, t.high, 9, t.high_x, t.high_y, paint_dim);
}

Scale pitch_trim_scale() {
    return Scale(100, 100,
                 {{-0.3490658503988659, 87, 176}, {-0.20943951023931953, 87, 176}, {0, 26, 99},
                  {0.20943951023931953, 87, 25}, {0.3490658503988659, 87, 25}});
}
Scale rudder_trim_scale() {
    return Scale(101, 100,
                 {{-0.3490658503988659, 25, 87}, {-0.20943951023931953, 25, 87}, {0, 101, 27},
                  {0.20943951023931953, 176, 87}, {0.3490658503988659, 176, 87}});
}

// --- Engine starting box (4140 ... 4220) -------------------------------------

// Selector images 0..5 put the knob at six heights, bottom (A) to top (1.2).
double selector_knob_y(int position) { return 204 - 22 - position * 32.0; }

void starting_box(Canvas& c, Fonts& f) {
    panel_paint(c, 0, 0, c.width(), c.height(), rgb(58, 52, 44));
    const char* labels[6] = {"A", "H", "E", "1", "2", "1.2"};
    for (double sx : {77.0, 126.0}) {
        c.fill(Path().round_rect(sx + 17, 73 + 12, 10, 180, 5), rgb(16, 14, 12));
        for (int p = 0; p < 6; ++p) {
            double y = 73 + selector_knob_y(p);
            double lx = sx < 100 ? sx - 8 : sx + 52;
            draw_text(c, f, FontStyle::SansBold, labels[p], 10, lx, y, paint);
        }
    }
    draw_text(c, f, FontStyle::SansBold, "MAGNETOS", 9, 124, 64, paint);
    draw_text(c, f, FontStyle::SansBold, "DEMARREUR", 6, 21, 72, paint);
    draw_text(c, f, FontStyle::SansBold, "DEMARREUR", 6, 229, 72, paint);
    draw_text(c, f, FontStyle::SansBold, "POMPE ESS", 6, 21, 190, paint);
    draw_text(c, f, FontStyle::SansBold, "POMPE ESS", 6, 229, 190, paint);
    draw_text(c, f, FontStyle::SansBold, "ROBINETS", 8, 124, 318, paint);
    draw_text(c, f, FontStyle::SansBold, "1", 16, 62, 18, paint_dim);
    draw_text(c, f, FontStyle::SansBold, "2", 16, 186, 18, paint_dim);
    draw_text(c, f, FontStyle::SansBold, "INJECTION", 7, 124, 38, paint);
    for (double y : {84.0, 202.0}) {
        draw_text(c, f, FontStyle::SansBold, "M", 8, 20, y, paint);
        draw_text(c, f, FontStyle::SansBold, "M", 8, 230, y, paint);
        draw_text(c, f, FontStyle::SansBold, "A", 8, 20, y + 57, paint);
        draw_text(c, f, FontStyle::SansBold, "A", 8, 230, y + 57, paint);
    }
    // The INJECTION knobs at rest and the H lamps unlit.
    for (auto [x, y] : {std::pair{46.0, 36.0}, {169.0, 38.0}})
        c.fill(Path().circle(x + 18, y + 18, 15), radial({x + 14, y + 14}, 0, rgb(120, 40, 34), 17, rgb(60, 16, 12)));
    for (double x : {52.0, 173.0}) lamp(c, x + 14.5, 271 + 14.5, 14, amber, false);
    for (auto [x, y] : {std::pair{8.0, 8.0}, {242.0, 8.0}, {8.0, 330.0}, {242.0, 330.0}}) screw(c, x, y, 4.5);
}

void selector(Canvas& c, int position) {
    double y = selector_knob_y(position);
    c.fill(Path().round_rect(4, y - 13, 36, 26, 6), linear({0, y - 13}, rgb(210, 204, 190), {0, y + 13}, rgb(110, 104, 92)));
    c.fill(Path().rect(8, y - 1.2, 28, 2.4), rgb(40, 30, 20));
}

// --- Timer (2340 case, 2350-2380 hands, 2390 glass, 2400 minute ring,
//     2401 its window) --------------------------------------------------------

constexpr double kClockX = 138, kClockY = 139;

void timer_case(Canvas& c, Fonts& f) {
    c.fill(Path().round_rect(14, 10, 252, 350, 30), linear({0, 0}, rgb(90, 90, 88), {280, 364}, rgb(30, 30, 30)));
    // Side knobs that turn the minute ring, the start/stop and reset buttons.
    // The ring knobs stand out at both sides of the case.
    for (double x : {2.0, 262.0}) {
        c.fill(Path().round_rect(x, 104, 16, 70, 4), rgb(60, 60, 60));
        for (double y = 108; y < 170; y += 5) c.fill(Path().rect(x + 2, y, 12, 2), rgb(120, 120, 118));
    }
    knob(c, 132.5, 284.5, 20, rgb(70, 70, 72), false);
    draw_text(c, f, FontStyle::SansBold, "MARCHE", 7, 132, 316, paint);
    c.fill(Path().round_rect(199, 276, 26, 34, 5), rgb(70, 70, 72));
    draw_text(c, f, FontStyle::SansBold, "RAZ", 7, 212, 320, paint);
    // Dial: hours, minute and second marks, the 15-minute counter.
    c.fill(Path().circle(kClockX, kClockY, 118), metal_dark);
    c.fill(Path().circle(kClockX, kClockY, 96), face);
    for (int m = 0; m < 60; ++m)
        c.fill(Path().tick(kClockX, kClockY, m % 5 ? 88 : 80, 95, m * 6, m % 5 ? 1.3 : 3), paint);
    for (int h = 1; h <= 12; ++h) {
        if (h == 6) continue;  // the 15-minute counter stands there
        Pt p = polar(kClockX, kClockY, 66, h * 30);
        draw_text(c, f, FontStyle::SansBold, std::to_string(h), 17, p.x, p.y, paint);
    }
    Scale counter(138, 183, {{0, 138, 153}, {450, 138, 213}});
    c.fill(Path().ring(138, 183, 24, 25.5), paint_dim);
    scale_ticks(c, counter, 0, 840, 60, 19, 24, 1.2, paint);
    for (int m : {0, 5, 10}) scale_label(c, f, counter, m * 60, std::to_string(m == 0 ? 15 : m), 13, 7);
    draw_text(c, f, FontStyle::SansBold, "QUORVET", 10, kClockX, 104, paint_dim);
}

void clock_hand(Canvas& c, double px, double py, double len, double w, Color colour) {
    double tip = px + len;
    c.fill(Path().polygon({{1.0, py - w * 0.3}, {px, py - w / 2}, {tip - w, py - w * 0.35}, {tip, py},
                           {tip - w, py + w * 0.35}, {px, py + w / 2}, {1.0, py + w * 0.3}}),
           colour);
    hub(c, px, py, std::max(3.0, w * 0.5));
}

void timer_ring(Canvas& c, Fonts& f) {
    const double cx = 117, cy = 117;
    c.fill(Path().ring(cx, cy, 98, 116), linear({0, 0}, rgb(70, 70, 70), {234, 234}, rgb(40, 40, 40)));
    for (int m = 0; m < 60; ++m)
        c.fill(Path().tick(cx, cy, 109, 115, m * 6, m % 5 ? 1 : 2), paint);
    for (int m = 5; m <= 60; m += 5) {
        Pt p = polar(cx, cy, 103, m * 6);
        draw_text(c, f, FontStyle::SansBold, std::to_string(m), 8, p.x, p.y, m == 60 ? amber : paint, m * 6);
    }
}

// The ring sprite turns about the dial centre; the window is placed at
// (21, 24), so the centre is (117, 115) in it.
void timer_ring_window(Canvas& c, Fonts&) { c.fill(Path().ring(117, 115, 98, 116.5), rgb(60, 60, 60)); }

void timer_glass(Canvas& c, Fonts&) {
    c.fill(Path().ring(kClockX, kClockY, 116, 120), rgb(30, 30, 30));
    hub(c, kClockX, kClockY, 5, rgb(150, 30, 24));
    hub(c, 138, 183, 3);
}

// --- Registration plate (50) -------------------------------------------------

void registration_plate(Canvas& c, Fonts&) {
    c.fill(Path().round_rect(0, 0, 150, 25, 4), linear({0, 0}, metal_light, {0, 25}, metal_dark));
    c.fill(Path().round_rect(2, 2, 146, 21, 3), rgb(28, 32, 44));
    screw(c, 7, 12.5, 3);
    screw(c, 143, 12.5, 3);
}

}  // namespace

void add_controls_artwork(Catalogue& k) {
    k.add(3070, gear_plate);
    k.add(3080, [](Canvas& c, Fonts&) { gear_handle(c, false); });
    k.add(3081, [](Canvas& c, Fonts&) { gear_handle(c, true); });
    k.add(3110, gear_lamp_bank);
    k.add(3120, [](Canvas& c, Fonts&) { lamp(c, 12, 12.5, 11.5, green, true); });
    k.add(3130, [](Canvas& c, Fonts&) { lamp(c, 12, 12.5, 11.5, red, true); });

    k.add(3140, brake_plate);
    k.add(3150, [](Canvas& c, Fonts&) { brake_handle(c, false); });
    k.add(3151, [](Canvas& c, Fonts&) { brake_handle(c, true); });

    k.add(3160, flaps_face);
    k.add(3170, [](Canvas& c, Fonts&) { draw_needle(c, 0, 6, 86, 0, 7, needle, NeedleShape::Lance, false); });
    k.add(3180, flaps_glass);

    k.add(2410, [](Canvas& c, Fonts& f) { trim_face(c, f, pitch_trim_scale(), {"PROFONDEUR", 145, 124, "NOSE DN", 140, 150, "NOSE UP", 140, 52}); });
    k.add(2420, [](Canvas& c, Fonts&) { draw_needle(c, 30, 7, 105, 2, 6, needle, NeedleShape::Counterweight); });
    k.add(2430, [](Canvas& c, Fonts&) {
        glass_bezel(c, 100, 100, 86, 99);
        hub(c, 100, 100, 7);
    });
    k.add(2440, [](Canvas& c, Fonts& f) { trim_face(c, f, rudder_trim_scale(), {"DIRECTION", 101, 140, "G", 42, 118, "D", 160, 118}); });
    k.add(2450, [](Canvas& c, Fonts&) { draw_needle(c, 30, 7, 105, 2, 6, needle, NeedleShape::Counterweight); });
    k.add(2460, [](Canvas& c, Fonts&) {
        glass_bezel(c, 100, 100, 86, 99);
        hub(c, 101, 100, 7);
    });

    k.add(4140, starting_box);
    for (int side = 0; side < 4; ++side) {
        k.add(4150 + side * 10, [](Canvas& c, Fonts&) { toggle(c, 0, 0, 40, 67, false); });
        k.add(4151 + side * 10, [](Canvas& c, Fonts&) { toggle(c, 0, 0, 40, 67, true); });
    }
    for (int p = 0; p < 6; ++p) {
        k.add(4190 + p, [p](Canvas& c, Fonts&) { selector(c, p); });
        k.add(4200 + p, [p](Canvas& c, Fonts&) { selector(c, p); });
    }
    k.add(4210, [](Canvas& c, Fonts&) { lamp(c, 14.5, 14.5, 14, amber, true); });
    k.add(4220, [](Canvas& c, Fonts&) {
        c.fill(Path().circle(18, 18, 17), radial({13, 13}, 0, rgb(255, 120, 100), 19, rgb(180, 20, 14)));
        c.fill(Path().ring(18, 18, 9, 10.5), rgb(120, 14, 10));
    });

    k.add(2340, timer_case);
    k.add(2350, [](Canvas& c, Fonts&) { clock_hand(c, 8, 8, 90, 4, red); });
    k.add(2360, [](Canvas& c, Fonts&) { clock_hand(c, 6, 6, 22, 4, paint); });
    k.add(2370, [](Canvas& c, Fonts&) { clock_hand(c, 7, 7, 92, 8, paint); });
    k.add(2380, [](Canvas& c, Fonts&) { clock_hand(c, 6, 6, 70, 10, paint); });
    k.add(2390, timer_glass);
    k.add(2400, timer_ring);
    k.add(2401, timer_ring_window);

    k.add(50, registration_plate);
}

}  // namespace art
