// Engine and systems dials, the synchroscope and its switch, the fuel and
// fire valve handles and the throttle quadrant.
#include <cmath>
#include <string>

#include "artwork.h"

namespace art {

namespace {

using namespace colours;

void dial_glass(Canvas& c, double cx, double cy, double r_in, double r_out, std::vector<Pt> hubs, double hub_r = 7) {
    glass_bezel(c, cx, cy, r_in, r_out);
    for (Pt h : hubs) hub(c, h.x, h.y, hub_r);
}

// --- Tachometer (240, 250, 260) ----------------------------------------------

void tachometer_face(Canvas& c, Fonts& f) {
    round_instrument(c, 150, 150, 128, 149);
    Scale s(151, 151, {{0, 103, 260}, {400, 103, 260}, {2000, 109, 40}, {4000, 212, 253}, {4100, 212, 253}});
    scale_band(c, s, 1800, 2900, 121, 126, green);
    scale_ticks(c, s, 500, 4000, 100, 108, 119, 1.6, paint);
    scale_ticks(c, s, 500, 4000, 500, 100, 119, 3.4, paint);
    scale_ticks(c, s, 3500, 3500, 100, 100, 127, 3.5, red);
    for (int v = 500; v <= 4000; v += 500) scale_label(c, f, s, v, std::to_string(v / 100), 84, 19);
    draw_text(c, f, FontStyle::SansBold, "t/min", 13, 151, 190, paint);
    draw_text(c, f, FontStyle::Sans, "x100", 11, 151, 206, paint_dim);
}

// --- Manifold pressure (2160, 2170, 2180) ------------------------------------

void manifold_face(Canvas& c, Fonts& f) {
    round_instrument(c, 150, 150, 128, 149);
    const double b = 2087.91;
    Scale s(152, 153,
            {{-0.001 * b, 115, 263}, {0, 115, 263}, {0.5 * b, 81, 249}, {0.8 * b, 30, 158}, {1.0 * b, 54, 88},
             {1.4 * b, 194, 48}, {1.6 * b, 251, 103}, {1.8 * b, 264, 183}, {2.0 * b, 215, 254}, {2.5 * b, 215, 254}});
    auto mb = [b](double m) { return m / 1000.0 * b; };
    scale_ticks(c, s, mb(600), mb(2000), mb(20), 110, 120, 1.5, paint);
    scale_ticks(c, s, mb(600), mb(2000), mb(100), 102, 120, 3.2, paint);
    for (int m = 600; m <= 2000; m += 200) scale_label(c, f, s, mb(m), std::to_string(m / 10), 85, 17);
    draw_text(c, f, FontStyle::SansBold, "ADMISSION", 11, 152, 200, paint);
    draw_text(c, f, FontStyle::Sans, "x10 mb", 11, 152, 216, paint_dim);
}

// --- Twin dials: oil temperature, oil pressure, fuel -------------------------

constexpr double kLeftX = 66, kRightX = 241, kTwinY = 150;

struct TwinScales {
    Scale left, right;
};

TwinScales twin_scales(const double* values, int n, const int (*left_pts)[2], const int (*right_pts)[2]) {
    std::vector<CalPoint> l, r;
    for (int i = 0; i < n; ++i) r.push_back({values[i], double(right_pts[i][0]), double(right_pts[i][1])});
    for (int i = n - 1; i >= 0; --i) l.push_back({values[i], double(left_pts[i][0]), double(left_pts[i][1])});
    return {Scale(kLeftX, kTwinY, l), Scale(kRightX, kTwinY, r)};
}

// Both scales share one column of figures between them.
void twin_face(Canvas& c, Fonts& f, const TwinScales& s, double v0, double v1, double minor, double major,
               const std::vector<std::pair<double, std::string>>& labels, const char* title, const char* unit, bool engine_numbers = true) {
    round_instrument(c, 150, 150, 128, 149);
    for (const Scale* sc : {&s.left, &s.right}) {
        point_ticks(c, *sc, v0, v1, minor, 6, 2, 1.4, paint);
        point_ticks(c, *sc, v0, v1, major, 12, 2, 2.6, paint);
    }
    for (const auto& [v, t] : labels) {
        Pt a = s.left.at(v, s.left.distance(v)), b = s.right.at(v, s.right.distance(v));
        draw_text(c, f, FontStyle::SansBold, t, t.size() > 2 ? 10 : 12, 153, (a.y + b.y) / 2, paint);
    }
    draw_text(c, f, FontStyle::SansBold, title, 11, 153, 45, paint);
    draw_text(c, f, FontStyle::Sans, unit, 10, 153, 258, paint_dim);
    if (!engine_numbers) return;
    draw_text(c, f, FontStyle::SansBold, "1", 13, 36, 150, paint_dim);
    draw_text(c, f, FontStyle::SansBold, "2", 13, 271, 150, paint_dim);
}

const int kOilLeft[13][2] = {{120, 216}, {130, 203}, {133, 191}, {138, 180}, {138, 165}, {140, 150}, {138, 135},
                             {137, 121}, {133, 107}, {131, 95},  {127, 87},  {120, 82},  {120, 82}};
const int kOilRight[13][2] = {{182, 221}, {174, 205}, {173, 193}, {166, 182}, {164, 167}, {166, 150}, {164, 134},
                              {166, 119}, {172, 107}, {174, 94},  {178, 85},  {185, 80},  {185, 80}};

TwinScales oil_temperature_scales() {
    double v[13];
    const double celsius[13] = {0, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 150};
    for (int i = 0; i < 13; ++i) v[i] = 491.67 + 1.8 * celsius[i];
    return twin_scales(v, 13, kOilLeft, kOilRight);
}

void oil_temperature_face(Canvas& c, Fonts& f) {
    TwinScales s = oil_temperature_scales();
    auto t = [](double cdeg) { return 491.67 + 1.8 * cdeg; };
    std::vector<std::pair<double, std::string>> labels;
    for (int d : {0, 40, 60, 80, 120}) labels.push_back({t(d), std::to_string(d)});
    twin_face(c, f, s, t(0), t(120), 1.8 * 10, 1.8 * 20, labels, "HUILE", "TEMP \xC2\xB0""C");
}

TwinScales oil_pressure_scales() {
    double v[13];
    const double bar[13] = {0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 15};
    for (int i = 0; i < 13; ++i) v[i] = 2087.91 * bar[i];
    return twin_scales(v, 13, kOilLeft, kOilRight);
}

void oil_pressure_face(Canvas& c, Fonts& f) {
    TwinScales s = oil_pressure_scales();
    std::vector<std::pair<double, std::string>> labels;
    for (int b : {0, 4, 6, 8, 12}) labels.push_back({2087.91 * b, std::to_string(b)});
    twin_face(c, f, s, 0, 2087.91 * 12, 2087.91, 2087.91 * 2, labels, "HUILE", "PRESSION bar");
}

void fuel_face(Canvas& c, Fonts& f) {
    const double full = 8388610;
    const double v[5] = {0, full / 4, full / 2, full * 3 / 4, full};
    const int right[5][2] = {{180, 216}, {170, 186}, {166, 146}, {170, 110}, {185, 76}};
    const int left[5][2] = {{120, 216}, {133, 186}, {135, 147}, {133, 112}, {120, 78}};
    TwinScales s = twin_scales(v, 5, left, right);
    twin_face(c, f, s, 0, full, full / 8, full / 4,
              {{0, "V"}, {full / 4, "1/4"}, {full / 2, "1/2"}, {full * 3 / 4, "3/4"}, {full, "P"}}, "ESSENCE", "", false);
    draw_text(c, f, FontStyle::SansBold, "G", 16, 38, 150, paint);
    draw_text(c, f, FontStyle::SansBold, "D", 16, 268, 150, paint);
}

// --- Hydraulic pressure (2250, 2260, 2270) -----------------------------------

void hydraulic_face(Canvas& c, Fonts& f) {
    round_instrument(c, 125, 125, 106, 124);
    const double bar = 2087.91;
    Scale s(127, 190, {{-bar, 57, 102}, {0, 57, 102}, {350 * bar, 193, 93}});
    scale_ticks(c, s, 0, 350 * bar, 25 * bar, 96, 106, 1.6, paint);
    scale_ticks(c, s, 0, 300 * bar, 100 * bar, 90, 106, 3.2, paint);
    for (int h = 0; h <= 3; ++h) scale_label(c, f, s, h * 100 * bar, std::to_string(h), 76, 18);
    draw_text(c, f, FontStyle::SansBold, "HYDRAULIQUE", 11, 125, 148, paint);
    draw_text(c, f, FontStyle::Sans, "x100 bar", 10, 125, 164, paint_dim);
}

// --- Outside air temperature (2280, 2290, 2300) ------------------------------

void oat_face(Canvas& c, Fonts& f) {
    round_instrument(c, 157, 157, 136, 156);
    Scale s(154, 222,
            {{-70, 51, 122}, {-50, 74, 110}, {-40, 84, 97}, {-30, 100, 91}, {-20, 119, 84}, {-10, 142, 80}, {0, 167, 84},
             {10, 192, 85}, {20, 214, 92}, {30, 231, 103}, {40, 246, 112}, {50, 257, 123}});
    scale_band(c, s, -5, 5, 146, 152, rgb(80, 150, 230));
    point_ticks(c, s, -70, 50, 5, 6, 4, 1.5, paint);
    point_ticks(c, s, -70, 50, 10, 12, 4, 3, paint);
    for (int t = -60; t <= 40; t += 20) scale_label(c, f, s, t, std::to_string(t), s.distance(t) - 26, 15);
    draw_text(c, f, FontStyle::SansBold, "AIR EXT.", 12, 157, 190, paint);
    draw_text(c, f, FontStyle::Sans, "\xC2\xB0""C", 13, 157, 250, paint_dim);
}

// --- Suction (2310, 2320, 2330) ----------------------------------------------

void suction_face(Canvas& c, Fonts& f) {
    round_instrument(c, 150, 150, 128, 149);
    Scale s(150, 150, {{0, 92, 240}, {5, 150, 55}, {10, 206, 238}, {15, 206, 238}});
    scale_band(c, s, 3.5, 5.5, 121, 126, green);
    scale_ticks(c, s, 0, 10, 0.5, 108, 119, 1.6, paint);
    scale_ticks(c, s, 0, 10, 1, 100, 119, 3.2, paint);
    for (int v = 0; v <= 10; v += 2) scale_label(c, f, s, v, std::to_string(v), 84, 19);
    draw_text(c, f, FontStyle::SansBold, "DEPRESSION", 12, 150, 190, paint);
}

// --- Synchroscope (2470, 2480, 2490) and its switch (1480, 1490, 1491) ------

void synchroscope_face(Canvas& c, Fonts& f) {
    round_instrument(c, 100, 100, 86, 99);
    Scale s(100, 100, {{100, 100, 10}, {0, 190, 100}, {-100, 100, 190}});
    // The bar turns about its middle, so both of its ends read the scale.
    for (double off : {0.0, 180.0})
        for (int v = -100; v <= 100; v += 25) {
            Path p;
            p.tick(100, 100, v % 50 ? 72 : 64, 82, s.angle(v) + off, v == 0 ? 3.5 : 2);
            c.fill(p, v == 0 ? amber : paint);
        }
    draw_text(c, f, FontStyle::SansBold, "INCREASE", 11, 100, 44, paint);
    draw_text(c, f, FontStyle::SansBold, "DECREASE", 11, 100, 156, paint);
    draw_text(c, f, FontStyle::Sans, "SYNCHRO", 9, 100, 124, paint_dim);
}

void synchroscope_bar(Canvas& c, Fonts&) {
    c.fill(Path().polygon({{2, 8}, {14, 5}, {106, 5}, {118, 8}, {106, 11}, {14, 11}}), needle);
    hub(c, 60, 8, 6);
}

void synch_switch_plate(Canvas& c, Fonts& f) {
    panel_paint(c, 0, 0, c.width(), c.height());
    draw_text(c, f, FontStyle::SansBold, "SYNC", 8, 18, 6, paint);
}

// --- Fuel and fire valves (4230 and the handle pairs 4240-4311) --------------

// Handle centres on the background, with the handle's colour.
struct Valve {
    int id;
    double x, w;
    Color colour;
};
const Valve kValves[8] = {{4240, 15, 14, red},   {4260, 32, 23, yellow}, {4280, 63, 19, rgb(150, 96, 50)},
                          {4300, 87, 17, blue},  {4310, 125, 17, blue},  {4290, 147, 19, rgb(150, 96, 50)},
                          {4270, 174, 23, yellow}, {4250, 201, 14, red}};

void valves_panel(Canvas& c, Fonts& f) {
    panel_paint(c, 0, 0, c.width(), c.height());
    for (const Valve& v : kValves) {
        double cx = v.x + v.w / 2;
        c.fill(Path().round_rect(cx - 2.5, 10, 5, 96, 2.5), rgb(14, 14, 14));
    }
    draw_text(c, f, FontStyle::SansBold, "G", 11, 109, 40, paint);
    draw_text(c, f, FontStyle::SansBold, "D", 11, 120, 40, paint);
    draw_text(c, f, FontStyle::Sans, "FEU", 8, 114, 90, paint_dim);
    screw(c, 5, 5, 3);
    screw(c, 212, 5, 3);
    screw(c, 5, 112, 3);
    screw(c, 212, 112, 3);
}

void valve_handle(Canvas& c, Color colour, bool up) {
    double w = c.width(), cx = w / 2;
    double knob_y = up ? 18 : 97;
    c.fill(Path().capsule(cx, 58, cx, knob_y, 4), linear({cx - 2, 0}, metal_light, {cx + 2, 0}, metal_dark));
    c.fill(Path().round_rect(1, knob_y - 9, w - 2, 18, 4),
           linear({0, knob_y - 9}, shade(colour, 1.4), {0, knob_y + 9}, shade(colour, 0.6)));
    c.fill(Path().rect(3, knob_y - 1, w - 6, 2), shade(colour, 0.5));
}

// --- Throttle quadrant (4000 ... 4091) --------------------------------------

struct Lever {
    int id;
    double x, stem;  // bitmap position on the background, stem centre in the bitmap
    Color knob;
};
const Lever kLevers[6] = {{4010, 35, 16, blue}, {4020, 71, 17, blue}, {4030, 122, 16, rgb(40, 40, 40)},
                          {4040, 157, 28, rgb(40, 40, 40)}, {4050, 200, 44, red}, {4060, 221, 63, red}};

void quadrant_panel(Canvas& c, Fonts& f) {
    panel_paint(c, 0, 0, c.width(), c.height(), rgb(44, 46, 44));
    for (const Lever& l : kLevers) {
        double cx = l.x + l.stem;
        c.fill(Path().round_rect(cx - 4, 14, 8, 168, 4), rgb(12, 12, 12));
    }
    // Trim wheel slot and the marker's scale.
    c.fill(Path().round_rect(0, 33, 25, 186, 4), rgb(12, 12, 12));
    // The marker (8 x 8 at 38, 110) points left at this scale; it moves
    // 255/pi pixels per radian, so the marks stand every 4 degrees of trim.
    for (int k = -5; k <= 5; ++k) {
        double y = 114 + k * 4 * kPi / 180 * 81.16902097686663;
        c.fill(Path().rect(k == 0 ? 27 : 30, y - 0.6, k == 0 ? 9 : 6, 1.2), paint);
    }
    draw_text(c, f, FontStyle::SansBold, "NOSE", 6, 13, 16, paint);
    draw_text(c, f, FontStyle::SansBold, "DOWN", 6, 13, 25, paint);
    draw_text(c, f, FontStyle::SansBold, "NOSE UP", 6, 16, 225, paint);
    draw_text(c, f, FontStyle::SansBold, "PROP", 9, 70, 190, paint);
    draw_text(c, f, FontStyle::Sans, "FEATHER", 7, 70, 200, paint_dim);
    draw_text(c, f, FontStyle::SansBold, "THROTTLE", 9, 161, 190, paint);
    draw_text(c, f, FontStyle::Sans, "CLOSE", 7, 161, 200, paint_dim);
    draw_text(c, f, FontStyle::Sans, "OPEN", 7, 161, 6, paint_dim);
    draw_text(c, f, FontStyle::SansBold, "MIXTURE", 9, 264, 186, paint);
    draw_text(c, f, FontStyle::Sans, "IDLE CUT OFF", 7, 264, 194, paint_dim);
    draw_text(c, f, FontStyle::Sans, "RICH", 6, 264, 6, paint_dim);
    draw_text(c, f, FontStyle::SansBold, "TAILWHEEL LOCK PULL", 8, 140, 222, paint);
}

void lever(Canvas& c, double stem, Color knob_colour) {
    double h = c.height();
    c.fill(Path().rect(stem - 3, 14, 6, h - 14), linear({stem - 3, 0}, metal_light, {stem + 3, 0}, metal_dark));
    c.fill(Path().round_rect(stem - 12, 2, 24, 18, 6),
           linear({0, 2}, shade(knob_colour, 1.6), {0, 20}, shade(knob_colour, 0.6)));
}

// Four frames of the trim wheel seen edge on: its ribs advance a quarter of
// their spacing per frame.
void trim_wheel(Canvas& c, int frame) {
    double w = c.width(), h = c.height(), r = h / 2;
    c.fill(Path().rect(1, 0, w - 2, h), linear({1, 0}, rgb(30, 30, 30), {w - 1, 0}, rgb(30, 30, 30)));
    c.fill(Path().rect(3, 0, w - 6, h), linear({3, 0}, rgb(60, 60, 60), {w - 3, 0}, rgb(20, 20, 20)));
    const double step = 10.0;
    for (double a = -90 + frame * step / 4; a < 90; a += step) {
        double y = r + r * std::sin(a * kPi / 180.0);
        double t = std::cos(a * kPi / 180.0);
        c.fill(Path().rect(3, y - 0.6 - t, w - 6, 1.2 + 2 * t), mix(rgb(30, 30, 30), metal_light, t));
    }
}

}  // namespace

void add_engine_artwork(Catalogue& k) {
    k.add(240, tachometer_face);
    k.add(250, [](Canvas& c, Fonts&) { draw_needle(c, 45, 16, 158, 5, 8, needle, NeedleShape::Counterweight); });
    k.add(260, [](Canvas& c, Fonts&) { dial_glass(c, 150, 150, 128, 149, {{151, 151}}); });
    k.add(2160, manifold_face);
    k.add(2170, [](Canvas& c, Fonts&) { draw_needle(c, 42, 21, 156, 5, 8, needle, NeedleShape::Counterweight); });
    k.add(2180, [](Canvas& c, Fonts&) { dial_glass(c, 150, 150, 128, 149, {{152, 153}}); });
    k.add(2190, oil_temperature_face);
    k.add(2200, [](Canvas& c, Fonts&) { draw_needle(c, 0, 2, 79, 0, 4, needle, NeedleShape::Bar, false); });
    k.add(2210, [](Canvas& c, Fonts&) { dial_glass(c, 150, 150, 128, 149, {{kLeftX, kTwinY}, {kRightX, kTwinY}}); });
    k.add(2220, oil_pressure_face);
    k.add(2230, [](Canvas& c, Fonts&) { draw_needle(c, 0, 2, 79, 0, 4, needle, NeedleShape::Bar, false); });
    k.add(2240, [](Canvas& c, Fonts&) { dial_glass(c, 150, 150, 128, 149, {{kLeftX, kTwinY}, {kRightX, kTwinY}}); });
    k.add(3040, fuel_face);
    k.add(3050, [](Canvas& c, Fonts&) { draw_needle(c, -3, 5, 75, 0, 8, needle, NeedleShape::Lance, false); });
    k.add(3060, [](Canvas& c, Fonts&) { dial_glass(c, 150, 150, 128, 149, {{kLeftX, kTwinY}, {kRightX, kTwinY}}); });
    k.add(2250, hydraulic_face);
    k.add(2260, [](Canvas& c, Fonts&) { draw_needle(c, 0, 2, 105, 0, 4, needle, NeedleShape::Bar, false); });
    k.add(2270, [](Canvas& c, Fonts&) { dial_glass(c, 125, 125, 106, 124, {{127, 190}}); });
    k.add(2280, oat_face);
    k.add(2290, [](Canvas& c, Fonts&) { draw_needle(c, 0, 4, 157, 0, 6, needle, NeedleShape::Lance, false); });
    k.add(2300, [](Canvas& c, Fonts&) { dial_glass(c, 157, 157, 136, 156, {{154, 222}}, 9); });
    k.add(2310, suction_face);
    k.add(2320, [](Canvas& c, Fonts&) { dial_glass(c, 150, 150, 128, 149, {{150, 150}}); });
    k.add(2330, [](Canvas& c, Fonts&) { draw_needle(c, 12, 9, 119, 2, 7, needle, NeedleShape::Lance); });

    k.add(2470, synchroscope_face);
    k.add(2480, synchroscope_bar);
    k.add(2490, [](Canvas& c, Fonts&) { dial_glass(c, 100, 100, 86, 99, {}); });
    k.add(1480, synch_switch_plate);
    k.add(1490, [](Canvas& c, Fonts&) { toggle(c, 0, 8, 36, 49, false); });
    k.add(1491, [](Canvas& c, Fonts&) { toggle(c, 0, 8, 36, 49, true); });

    k.add(4230, valves_panel);
    for (const Valve& v : kValves) {
        bool dump = v.id == 4300 || v.id == 4310;
        // Image 0 is the handle down (shut, off), except for the dump
        // valves, whose image 0 is the handle up (inactive).
        k.add(v.id, [v, dump](Canvas& c, Fonts&) { valve_handle(c, v.colour, dump); });
        k.add(v.id + 1, [v, dump](Canvas& c, Fonts&) { valve_handle(c, v.colour, !dump); });
    }

    k.add(4000, quadrant_panel);
    for (const Lever& l : kLevers) k.add(l.id, [l](Canvas& c, Fonts&) { lever(c, l.stem, l.knob); });
    k.add(4070, [](Canvas& c, Fonts&) { c.fill(Path().polygon({{0.5, 4}, {7.5, 0.5}, {7.5, 7.5}}), paint); });
    for (int i = 0; i < 4; ++i) k.add(4080 + i, [i](Canvas& c, Fonts&) { trim_wheel(c, i); });
    k.add(4090, [](Canvas& c, Fonts&) {
        c.fill(Path().round_rect(13, 6, 9, 20, 2), metal_dark);
        c.fill(Path().round_rect(4, 2, 27, 9, 4), rgb(70, 70, 70));
    });
    k.add(4091, [](Canvas& c, Fonts&) {
        c.fill(Path().round_rect(13, 12, 9, 20, 2), metal);
        c.fill(Path().round_rect(2, 18, 31, 12, 5), amber);
    });
}

}  // namespace art
