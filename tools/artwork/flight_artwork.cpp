// Airspeed, vertical speed, turn coordinator, altimeter, attitude and gyro
// compass. Every scale follows the needle's own calibration table, so the
// needle tip lands on the painted mark of each value.
#include <cmath>
#include <string>

#include "artwork.h"

namespace art {

namespace {

using namespace colours;

// --- Airspeed (270 face, 280 needle, 290 glass) -----------------------------

Scale airspeed_scale() {
    return Scale(150, 150,
                 {{-1, 103, 258}, {0, 103, 258}, {40, 80, 245}, {100, 86, 58}, {150, 216, 58}, {250, 218, 246},
                  {300, 132, 262}, {500, 132, 262}});
}

void airspeed_face(Canvas& c, Fonts& f) {
    round_instrument(c, 150, 150, 128, 149);
    Scale s = airspeed_scale();
    scale_band(c, s, 40, 70, 121, 126, rgb(230, 230, 226));   // flaps range
    scale_band(c, s, 70, 250, 121, 126, green);               // normal range
    scale_band(c, s, 250, 280, 121, 126, yellow);             // caution
    scale_ticks(c, s, 40, 300, 10, 106, 119, 1.6, paint);
    scale_ticks(c, s, 50, 300, 50, 100, 119, 3.2, paint);
    scale_ticks(c, s, 280, 280, 10, 100, 127, 3.5, red);      // never exceed
    for (int v : {40, 60, 80, 100, 120, 140, 160, 180, 200, 220, 250, 300})
        scale_label(c, f, s, v, std::to_string(v), 84, v >= 100 ? 16 : 17);
    draw_text(c, f, FontStyle::SansBold, "km/h", 15, 150, 196, paint);
    draw_text(c, f, FontStyle::Sans, "VITESSE", 11, 150, 112, paint_dim);
}

void airspeed_needle(Canvas& c, Fonts&) { draw_needle(c, 43, 28, 158, 6, 8, needle, NeedleShape::Counterweight); }

void airspeed_glass(Canvas& c, Fonts&) {
    glass_bezel(c, 150, 150, 128, 149);
    hub(c, 150, 150, 7);
}

// --- Vertical speed (370 face, 380 needle, 390 glass) ------------------------

double fpm(double feet_per_minute) { return feet_per_minute / 60.0 / 3.28084 * 256.0; }

Scale vertical_speed_scale() {
    return Scale(150, 150,
                 {{fpm(-3000), 266, 163}, {fpm(-2500), 263, 163}, {fpm(-1000), 163, 269}, {0, 41, 148},
                  {fpm(1000), 136, 39}, {fpm(2500), 267, 143}, {fpm(3000), 267, 143}});
}

void vertical_speed_face(Canvas& c, Fonts& f) {
    round_instrument(c, 150, 150, 128, 149);
    Scale s = vertical_speed_scale();
    for (int v = -2500; v <= 2500; v += 100) {
        bool major = v % 500 == 0;
        Path p;
        p.tick(150, 150, major ? 100 : 108, 119, s.angle(fpm(v)), major ? 3.2 : 1.6);
        c.fill(p, paint);
    }
    for (int v = -2000; v <= 2000; v += 500) {
        std::string t = std::to_string(std::abs(v) / 100);
        scale_label(c, f, s, fpm(v), t, 84, 17);
    }
    draw_text(c, f, FontStyle::SansBold, "MONTEE", 11, 168, 100, paint_dim);
    draw_text(c, f, FontStyle::SansBold, "DESCENTE", 11, 168, 200, paint_dim);
    draw_text(c, f, FontStyle::Sans, "x100 ft/min", 11, 168, 150, paint_dim, 0, Anchor::Centre);
    // Up and down arrows beside the zero.
    c.fill(Path().polygon({{76, 126}, {84, 114}, {92, 126}}), paint);
    c.fill(Path().polygon({{76, 174}, {84, 186}, {92, 174}}), paint);
}

void vertical_speed_needle(Canvas& c, Fonts&) { draw_needle(c, 65, 12, 187, 3, 7, needle, NeedleShape::Lance); }

// --- Turn coordinator (440 face, 450 needle, 460 ball, 470 flag, 480 glass,
//     490 tube glass) --------------------------------------------------------

// The inclinometer tube's centre line: the ball rides 5/16384 pixel per unit
// squared higher towards the ends, 85/128 pixel per unit sideways.
double tube_y(double x) {
    double units = (x - 150.5) / 0.6640625;
    return 184.5 - units * units * 0.00030517578125;
}

void turn_face(Canvas& c, Fonts& f) {
    round_instrument(c, 150, 150, 128, 149);
    Scale s(151, 253, {{-5, 118, 220}, {-4.5, 118, 220}, {4.5, 184, 220}, {5, 184, 220}});
    // Standard-rate marks at the needle's two stops, centre mark upright.
    for (double v : {-4.5, 4.5}) {
        Path p;
        p.tick(151, 253, 150, 182, s.angle(v), 9);
        c.fill(p, paint);
    }
    c.fill(Path().tick(151, 253, 168, 192, 0, 5), paint);
    draw_text(c, f, FontStyle::SansBold, "G", 18, 64, 112, paint);
    draw_text(c, f, FontStyle::SansBold, "D", 18, 238, 112, paint);
    draw_text(c, f, FontStyle::Sans, "2 MIN", 11, 151, 110, paint_dim);
    // The curved glass tube of the ball, drawn as a band along its centre line.
    Path tube, fill;
    const double half = 19;
    std::vector<Pt> top, bottom;
    for (int x = 58; x <= 243; x += 3) {
        top.push_back({double(x), tube_y(x) - half});
        bottom.push_back({double(x), tube_y(x) + half});
    }
    std::vector<Pt> outline(top.begin(), top.end());
    outline.insert(outline.end(), bottom.rbegin(), bottom.rend());
    std::vector<Pt> rim;
    for (Pt p : top) rim.push_back({p.x, p.y - 2});
    for (auto it = bottom.rbegin(); it != bottom.rend(); ++it) rim.push_back({it->x, it->y + 2});
    c.fill(Path().polygon(rim), metal_dark);
    c.fill(Path().polygon(outline), linear({0, 165}, rgb(210, 206, 180), {0, 204}, rgb(150, 146, 122)));
    draw_text(c, f, FontStyle::Sans, "BILLE", 9, 150, 218, paint_dim);
}

void turn_needle(Canvas& c, Fonts&) {
    // A long pointer with a small aeroplane (seen from above) at its end.
    c.fill(Path().polygon({{3, 12}, {24, 11}, {188, 12.5}, {188, 15.5}, {24, 17}, {3, 16}}), needle);
    Path plane;
    plane.polygon({{178, 12}, {212, 12.2}, {218, 13.5}, {212, 14.8}, {178, 15}});        // fuselage
    plane.polygon({{198, 13.5}, {205, 1.5}, {208, 1.5}, {206, 13.5}, {208, 25.5}, {205, 25.5}});  // wings
    plane.polygon({{179, 13.5}, {183, 7}, {185, 7}, {184, 13.5}, {185, 20}, {183, 20}});    // tailplane
    c.fill(plane, needle);
    hub(c, 24, 14, 8);
}

void turn_ball(Canvas& c, Fonts&) {
    c.fill(Path().circle(17.5, 25.5, 15.5), radial({12.5, 20}, 0, rgb(90, 90, 92), 17, rgb(8, 8, 10)));
    c.fill(Path().circle(12.5, 20.5, 3), rgb(150, 150, 150));
}

void striped_flag(Canvas& c, double x, double y, double w, double h, const char* = nullptr) {
    c.fill(Path().rect(x, y, w, h), rgb(236, 236, 230));
    Path stripes;
    for (double k = -h; k < w + h; k += 8) stripes.polygon({{x + k, y}, {x + k + 4, y}, {x + k + 4 - h, y + h}, {x + k - h, y + h}});
    Canvas tmp(c.width(), c.height());
    tmp.fill(stripes, red);
    // Keep the stripes inside the flag.
    for (int yy = static_cast<int>(y); yy < static_cast<int>(y + h) && yy < c.height(); ++yy)
        for (int xx = static_cast<int>(x); xx < static_cast<int>(x + w) && xx < c.width(); ++xx)
            if (tmp.at(xx, yy).a > 0) c.at(xx, yy) = mix(c.at(xx, yy), tmp.at(xx, yy), tmp.at(xx, yy).a);
}

void turn_flag(Canvas& c, Fonts&) { striped_flag(c, 0, 0, 25, 25); }

void turn_glass(Canvas& c, Fonts&) {
    glass_bezel(c, 150, 150, 128, 149);
    hub(c, 151, 253, 10);
}

void tube_glass(Canvas& c, Fonts&) {
    // Two reference wires a ball's width apart at the tube's centre.
    for (double x : {150.5 - 19.5 - 118, 150.5 + 19.5 - 118}) c.fill(Path().rect(x - 1, 14, 2.2, 45), paint);
}

// --- Altimeter (1000 face ... 1130 glass) -----------------------------------

void drum_window_frame(Canvas& c, double x, double y, double w, double h) {
    c.fill(Path().round_rect(x - 3, y - 3, w + 6, h + 6, 3), metal_dark);
    c.fill(Path().rect(x - 1, y - 1, w + 2, h + 2), rgb(12, 12, 12));
}

void altimeter_face(Canvas& c, Fonts& f) {
    round_instrument(c, 150, 150, 128, 149);
    Scale s(150, 150, {{0, 150, 100}, {500, 150, 200}});
    scale_ticks(c, s, 0, 980, 20, 112, 122, 1.6, paint);
    scale_ticks(c, s, 0, 900, 100, 104, 122, 3.6, paint);
    for (int d = 0; d < 10; ++d) scale_label(c, f, s, d * 100, std::to_string(d), 93, 21);
    drum_window_frame(c, 91, 121, 20, 34);
    drum_window_frame(c, 121, 121, 20, 34);
    drum_window_frame(c, 164, 121, 20, 34);
    drum_window_frame(c, 194, 113, 24, 50);
    drum_window_frame(c, 125, 212, 48, 22);
    draw_text(c, f, FontStyle::SansBold, "ALT", 12, 150, 100, paint_dim);
    draw_text(c, f, FontStyle::Sans, "PIEDS", 10, 150, 172, paint_dim);
}

void altimeter_pointer(Canvas& c, Fonts&) { draw_needle(c, 10, 10, 119, 1, 7, needle, NeedleShape::Lance); }

// A digit drum strip: cells of `step` pixels; cell k carries label(k).
template <typename Label>
void drum_strip(Canvas& c, Fonts& f, double step, double first_centre, int cells, Label label, double size,
                double squeeze = 1.0) {
    c.fill(Path().rect(0, 0, c.width(), c.height()), rgb(26, 26, 26));
    for (int k = 0; k < cells; ++k)
        draw_text(c, f, FontStyle::MonoBold, label(k), size, c.width() / 2.0, first_centre + k * step, paint, 0,
                  Anchor::Centre, squeeze);
}

void drum_window(Canvas& c, Fonts&) { c.fill(Path().rect(0, 0, c.width(), c.height()), rgb(40, 40, 40)); }

void hatched_blank(Canvas& c, Fonts&) {
    double w = c.width(), h = c.height();
    c.fill(Path().rect(0, 0, w, h), rgb(236, 236, 230));
    for (double k = -h; k < w; k += 6) {
        Path p;
        p.polygon({{k, h}, {k + 3, h}, {k + 3 + h, 0}, {k + h, 0}});
        Canvas tmp(c.width(), c.height());
        tmp.fill(p, rgb(20, 20, 20));
        c.draw(tmp, 0, 0);
    }
}

std::string digit(int k) { return std::to_string(((k % 10) + 10) % 10); }

void altimeter_knob(Canvas& c, Fonts&) { knob(c, 22, 22, 20.5); }

void altimeter_glass(Canvas& c, Fonts&) {
    glass_bezel(c, 150, 150, 128, 149);
    hub(c, 150, 150, 7);
}

// --- Attitude (300 face, 310 card, 311 card window, 320 bank pointer,
//     330 aeroplane, 340 bezel, 350 spare knob, 360 inner ring) -------------

constexpr double kAttX = 127, kAttY = 130;

void attitude_face(Canvas& c, Fonts& f) {
    panel_paint(c, 0, 0, c.width(), c.height());
    round_instrument(c, kAttX, kAttY, 100, 126);
    // Bank scale under the pointer's tip: 0 straight down, bank b at 180 + b.
    for (int b : {-90, -60, -45, -30, -20, -10, 0, 10, 20, 30, 45, 60, 90}) {
        bool major = b % 30 == 0;
        Path p;
        p.tick(kAttX, kAttY, major ? 88 : 92, 99, 180 + b, major ? 3.2 : 2);
        c.fill(p, b == 0 ? amber : paint);
    }
    // Aeroplane-symbol knob and the caging knob.
    knob(c, 132, 262, 17, metal_dark, false);
    draw_text(c, f, FontStyle::Sans, "AVION", 9, 132, 290, paint_dim);
    knob(c, 253, 263, 34, rgb(70, 70, 72), false);
    draw_text(c, f, FontStyle::SansBold, "BLOCAGE", 9, 253, 263, paint);
    screw(c, 12, 12, 5);
    screw(c, 281, 12, 5);
    screw(c, 12, 291, 5);
}

void attitude_card(Canvas& c, Fonts& f) {
    const double cx = 95, cy = 170;
    c.fill(Path().rect(0, 0, 190, cy), linear({0, 0}, rgb(40, 80, 140), {0, cy}, rgb(110, 160, 210)));
    c.fill(Path().rect(0, cy, 190, 340 - cy), linear({0, cy}, rgb(120, 84, 48), {0, 340}, rgb(60, 40, 22)));
    c.fill(Path().rect(0, cy - 1.5, 190, 3), paint);
    // Pitch lines: the card moves 1.3 pixel per degree and is drawn at 0.9
    // of its height, so a degree is 1.3 / 0.9 pixel on the bitmap.
    const double per_degree = 1.3 / 0.9;
    for (int p = -30; p <= 30; p += 5) {
        if (p == 0) continue;
        double y = cy - p * per_degree;
        double half = p % 10 == 0 ? 26 : 13;
        c.fill(Path().rect(cx - half, y - 1, 2 * half, 2), paint);
        if (p % 10 == 0) {
            std::string t = std::to_string(std::abs(p));
            draw_text(c, f, FontStyle::SansBold, t, 10, cx - half - 10, y, paint);
            draw_text(c, f, FontStyle::SansBold, t, 10, cx + half + 10, y, paint);
        }
    }
}

void attitude_card_window(Canvas& c, Fonts&) { c.fill(Path().circle(kAttX, kAttY, 88), rgb(60, 60, 60)); }

void bank_pointer(Canvas& c, Fonts&) {
    // Only the tip shows: a triangle pointing out to the bank scale.
    c.fill(Path().polygon({{70, 1}, {87.5, 5}, {70, 9}}), amber);
}

void attitude_aeroplane(Canvas& c, Fonts&) {
    const double cx = 59, y = 71;
    Path p;
    p.round_rect(4, y - 2.5, 44, 5, 2);
    p.round_rect(70, y - 2.5, 44, 5, 2);
    p.circle(cx, y, 4.5);
    p.polygon({{cx - 1.8, y - 4}, {cx - 1, y - 20}, {cx + 1, y - 20}, {cx + 1.8, y - 4}});
    c.fill(p, amber);
}

void attitude_inner_ring(Canvas& c, Fonts& f) {
    c.fill(Path().arc_band(kAttX, kAttY, 100, 118, -90, 90), rgb(56, 96, 150));
    c.fill(Path().arc_band(kAttX, kAttY, 100, 118, 90, 270), rgb(96, 68, 40));
    c.fill(Path().ring(kAttX, kAttY, 99, 101), paint_dim);
    draw_text(c, f, FontStyle::SansBold, "HORIZON", 9, kAttX, kAttY - 109, paint);
}

void attitude_bezel(Canvas& c, Fonts&) {
    glass_bezel(c, kAttX, kAttY, 116, 128);
    c.erase(Path().circle(132, 262, 21));
}

// --- Gyro compass (400 face, 410 strip, 411 window, 420 flag, 430 knob) -----

// Heading h shows at the window's centre when the strip column
// (360 - h) * 1082 / 360 + 68.5 is there (x range 360 at the left end of
// the 1082-pixel travel, 0 at the right end).
double heading_column(double h) { return (360.0 - h) * 1082.0 / 360.0 + 68.5; }

void gyro_face(Canvas& c, Fonts& f) {
    panel_paint(c, 0, 0, c.width(), c.height());
    round_instrument(c, 115.5, 115.5, 100, 114);
    drum_window_frame(c, 45, 55, 137, 51);
    // Lubber line, seen through the window's slit, and its two index marks.
    c.fill(Path().rect(113, 53, 2, 55), amber);
    c.fill(Path().polygon({{106, 44}, {122, 44}, {114, 52}}), amber);
    c.fill(Path().polygon({{106, 117}, {122, 117}, {114, 109}}), amber);
    draw_text(c, f, FontStyle::SansBold, "GYRO", 13, 115, 148, paint);
    draw_text(c, f, FontStyle::Sans, "DIRECTIONNEL", 10, 115, 166, paint_dim);
    draw_text(c, f, FontStyle::Sans, "CALAGE", 9, 117, 232, paint_dim);
    screw(c, 12, 282, 5);
    screw(c, 219, 282, 5);
}

void gyro_strip(Canvas& c, Fonts& f) {
    c.fill(Path().rect(0, 0, c.width(), c.height()), linear({0, 0}, rgb(20, 20, 20), {0, 51}, rgb(44, 44, 44)));
    for (int h = -30; h <= 390; h += 5) {
        double x = heading_column(h);
        if (x < -20 || x > c.width() + 20) continue;
        int hm = ((h % 360) + 360) % 360;
        bool ten = hm % 10 == 0, thirty = hm % 30 == 0;
        c.fill(Path().rect(x - (ten ? 1.1 : 0.7), 38 - (ten ? 8 : 4), ten ? 2.2 : 1.4, ten ? 13 : 9), paint);
        if (thirty) {
            std::string t = hm == 0 ? "N" : hm == 90 ? "E" : hm == 180 ? "S" : hm == 270 ? "W" : std::to_string(hm / 10);
            draw_text(c, f, FontStyle::SansBold, t, hm % 90 == 0 ? 20 : 16, x, 16, hm % 90 == 0 ? amber : paint);
        } else if (ten) {
            draw_text(c, f, FontStyle::Sans, std::to_string(hm / 10), 10, x, 15, paint_dim);
        }
    }
}

void gyro_window(Canvas& c, Fonts&) {
    c.fill(Path().rect(0, 0, c.width(), c.height()), rgb(40, 40, 40));
    c.erase(Path().rect(68, 0, 2, c.height()));  // the lubber line shows through
}

void gyro_flag(Canvas& c, Fonts&) { striped_flag(c, 0, 0, 17, 49); }

void gyro_knob(Canvas& c, Fonts&) { knob(c, 28, 28, 26); }

}  // namespace

void add_flight_artwork(Catalogue& k) {
    k.add(270, airspeed_face);
    k.add(280, airspeed_needle);
    k.add(290, airspeed_glass);
    k.add(370, vertical_speed_face);
    k.add(380, vertical_speed_needle);
    k.add(390, airspeed_glass);
    k.add(440, turn_face);
    k.add(450, turn_needle);
    k.add(460, turn_ball);
    k.add(470, turn_flag);
    k.add(480, turn_glass);
    k.add(490, tube_glass);

    k.add(1000, altimeter_face);
    k.add(1010, altimeter_pointer);
    // Drums (moving images with y minimum = modulus, y maximum = 0): the
    // window sees the strip's top cell at the modulus and its bottom cell at
    // 0, so from the top the cells read 0, 9, 8, ..., 1, 0.
    k.add(1020, [](Canvas& c, Fonts& f) { drum_strip(c, f, 22, 11, 11, [](int i) { return digit(10 - i); }, 15, 0.8); });
    k.add(1021, drum_window);
    k.add(1030, hatched_blank);
    k.add(1040, [](Canvas& c, Fonts& f) {
        drum_strip(c, f, 34, 25, 11, [](int i) { return digit(10 - i) + "0"; }, 14, 0.78);
    });
    k.add(1041, drum_window);
    k.add(1050, hatched_blank);
    k.add(1060, [](Canvas& c, Fonts& f) { drum_strip(c, f, 34, 17, 11, [](int i) { return digit(10 - i); }, 22, 0.8); });
    k.add(1061, drum_window);
    k.add(1120, altimeter_knob);
    k.add(1130, altimeter_glass);

    k.add(300, attitude_face);
    k.add(310, attitude_card);
    k.add(311, attitude_card_window);
    k.add(320, bank_pointer);
    k.add(330, attitude_aeroplane);
    k.add(340, attitude_bezel);
    k.add(350, [](Canvas& c, Fonts&) { knob(c, 40, 40, 38, rgb(70, 70, 72), false); });
    k.add(360, attitude_inner_ring);

    k.add(400, gyro_face);
    k.add(410, gyro_strip);
    k.add(411, gyro_window);
    k.add(420, gyro_flag);
    k.add(430, gyro_knob);
}

}  // namespace art
