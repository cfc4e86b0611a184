// ADF bearing indicator, the two VOR course indicators, the marker lamps
// and the radio altimeter with its decision-height lamp and switch.
#include <cmath>
#include <string>

#include "artwork.h"

namespace art {

namespace {

using namespace colours;

// --- ADF bearing indicator (1140 face, 1150 knob, 1160 pointer, 1170 card,
//     1171 card window, 1180 glass) -----------------------------------------

void adf_face(Canvas& c, Fonts& f) {
    round_instrument(c, 150, 150, 128, 149);
    draw_text(c, f, FontStyle::SansBold, "ADF", 14, 150, 205, paint_dim);
}

// The card turns counter-clockwise by the card heading, so heading h is
// painted h degrees clockwise from the top and comes to the top then.
void compass_card(Canvas& c, Fonts& f, double cx, double cy, double r) {
    c.fill(Path().circle(cx, cy, r), rgb(28, 28, 30));
    for (int h = 0; h < 360; h += 5) {
        bool ten = h % 10 == 0;
        c.fill(Path().tick(cx, cy, r - (ten ? 14 : 8), r - 1, h, ten ? 2.4 : 1.4), paint);
    }
    for (int h = 0; h < 360; h += 30) {
        std::string t = h == 0 ? "N" : h == 90 ? "E" : h == 180 ? "S" : h == 270 ? "W" : std::to_string(h / 10);
        Pt p = polar(cx, cy, r - 28, h);
        draw_text(c, f, FontStyle::SansBold, t, h % 90 == 0 ? 22 : 18, p.x, p.y, h % 90 == 0 ? amber : paint, h);
    }
}

void adf_card(Canvas& c, Fonts& f) { compass_card(c, f, 135, 135, 126); }

void adf_card_window(Canvas& c, Fonts&) { c.fill(Path().circle(150, 150, 126), rgb(60, 60, 60)); }

void adf_pointer(Canvas& c, Fonts&) {
    // Head toward the station along +x, a forked tail behind the pivot.
    c.fill(Path().polygon({{123, 17}, {214, 17.5}, {214, 10}, {244, 20}, {214, 30}, {214, 22.5}, {123, 23}}), yellow);
    c.fill(Path().polygon({{123, 17.5}, {22, 18}, {8, 8}, {2, 8}, {14, 20}, {2, 32}, {8, 32}, {22, 22}, {123, 22.5}}),
           yellow);
    hub(c, 123, 20, 8);
}

void adf_glass(Canvas& c, Fonts&) {
    glass_bezel(c, 150, 150, 127, 149);
    // Fixed index marks every 45 degrees, the lubber mark at the top.
    for (int a = 0; a < 360; a += 45) {
        Pt tip = polar(150, 150, 118, a), l = polar(150, 150, 128, a - 3.5), r = polar(150, 150, 128, a + 3.5);
        c.fill(Path().polygon({tip, l, r}), a == 0 ? amber : paint);
    }
}

// --- VOR course indicators ---------------------------------------------------

constexpr double kVorX = 159, kVorY = 168;

void vor_face(Canvas& c, Fonts&, bool marker_lamp) {
    panel_paint(c, 0, 0, c.width(), c.height());
    round_instrument(c, kVorX, kVorY, 120, 140);
    // Deviation dots: localizer across, glide slope up and down.
    Scale loc(158, 93, {{127, 221, 168}, {-127, 98, 168}});
    Scale gs(77, 168, {{-119, 160, 107}, {119, 160, 230}});
    for (int k = -5; k <= 5; ++k) {
        if (k == 0) continue;
        Pt p = loc.at(k * 127.0 / 5, 75);
        c.fill(Path().circle(p.x, p.y, std::abs(k) == 5 ? 3.2 : 2.4), paint);
        Pt q = gs.at(k * 119.0 / 5, 83);
        c.fill(Path().circle(q.x, q.y, std::abs(k) == 5 ? 3.2 : 2.4), paint);
    }
    c.fill(Path().ring(kVorX, kVorY, 9, 11), paint);
    if (marker_lamp) lamp(c, 281, 46, 27, blue, false);
}

void vor_course_pointer(Canvas& c, Fonts&) {
    // An arrow from the centre: head along +x, tail feathers behind.
    c.fill(Path().polygon({{39, 10}, {92, 10}, {92, 4}, {115, 12}, {92, 20}, {92, 14}, {39, 14}}), amber);
    c.fill(Path().polygon({{39, 10.5}, {12, 10.5}, {2, 3}, {8, 12}, {2, 21}, {12, 13.5}, {39, 13.5}}), amber);
}

void vor_localizer(Canvas& c, Fonts&) { c.fill(Path().rect(0, 0.5, 150, 3), paint); }
void vor_glide_slope(Canvas& c, Fonts&) { c.fill(Path().rect(0, 0.5, 150, 3), paint); }

void vor_face_mask(Canvas& c, Fonts& f) {
    // Covers the needles' hinges: a face ring with a round window.
    c.fill(Path().ring(kVorX, kVorY, 86, 121), rgb(26, 26, 28));
    c.fill(Path().ring(kVorX, kVorY, 84, 87), metal);
    // A fixed ring of marks: the course pointer turns with heading minus course.
    for (int a = 0; a < 360; a += 10) {
        if (a >= 340 || a <= 20) continue;  // the course readout sits there
        c.fill(Path().tick(kVorX, kVorY, a % 30 ? 106 : 98, 114, a, a % 30 ? 1.4 : 2.6), a % 90 ? paint_dim : paint);
    }
    // Course readout frame (the digits are drawn by the host over it).
    c.fill(Path().round_rect(126, 39, 74, 34, 4), metal_dark);
    c.fill(Path().rect(130, 43, 66, 26), rgb(10, 10, 10));
    draw_text(c, f, FontStyle::Sans, "ROUTE", 9, kVorX, 80, paint_dim);
    draw_text(c, f, FontStyle::SansBold, "GS", 9, 85, 196, paint_dim);
}

void vor_flag(Canvas& c, Fonts& f, const char* text, bool warning) {
    double w = c.width(), h = c.height();
    c.fill(Path().rect(0, 0, w, h), warning ? red : rgb(24, 24, 24));
    if (warning) {
        for (double k = 0; k < w + h; k += 7) {
            Canvas t(c.width(), c.height());
            t.fill(Path().polygon({{k, 0}, {k + 3, 0}, {k + 3 - h, h}, {k - h, h}}), rgb(236, 236, 230));
            c.draw(t, 0, 0);
        }
    }
    bool tall = h > w;
    draw_text(c, f, FontStyle::SansBold, text, tall ? 9 : 11, w / 2, h / 2, warning ? rgb(20, 20, 20) : paint,
              tall ? -90 : 0);
}

void vor_bezel(Canvas& c, Fonts& f, const char* label) {
    glass_bezel(c, kVorX, kVorY, 120, 140);
    Pt p = polar(kVorX, kVorY, 130, 225);
    draw_text(c, f, FontStyle::SansBold, label, 10, p.x, p.y, rgb(30, 30, 30), 45);
}

// --- Marker lamps (3090 panel, 3100-3104 lamps) -----------------------------

const double kOmiLampX[3] = {24, 60, 96};
const Color kOmiColour[3] = {blue, amber, rgb(236, 236, 230)};

void omi_panel(Canvas& c, Fonts& f) {
    panel_paint(c, 0, 0, c.width(), c.height());
    const char* names[3] = {"O", "M", "I"};
    for (int i = 0; i < 3; ++i) {
        lamp(c, kOmiLampX[i], 34, 16, kOmiColour[i], false);
        draw_text(c, f, FontStyle::SansBold, names[i], 11, kOmiLampX[i], 60, paint);
    }
    c.fill(Path().circle(98.5, 76.5, 12), metal_dark);
    c.fill(Path().circle(98.5, 76.5, 9.5), radial({95, 73}, 0, rgb(120, 120, 120), 11, rgb(50, 50, 50)));
    draw_text(c, f, FontStyle::Sans, "TEST", 9, 60, 80, paint_dim);
    draw_text(c, f, FontStyle::SansBold, "MARKER", 9, 40, 94, paint_dim);
}

// Image 0 to 3 follow the marker state (none, outer, middle, inner);
// image 4 is the lamp test with all three lit.
void omi_lamps(Canvas& c, int image) {
    for (int i = 0; i < 3; ++i) lamp(c, kOmiLampX[i], 34, 16, kOmiColour[i], image == 4 || image == i + 1);
}

// --- Radio altimeter (3230 face ... 3270 glass) -----------------------------

constexpr double kFt = 1 / 3.28084;

Scale radio_altimeter_scale() {
    return Scale(152, 160,
                 {{-0.3047999902464003, 153, 283}, {0, 153, 283}, {304.79999024640034, 229, 251},
                  {761.9999756160008, 208, 260}, {30479.694224649786, 208, 260}});
}

void radio_altimeter_face(Canvas& c, Fonts& f) {
    round_instrument(c, 152, 160, 128, 150);
    Scale s = radio_altimeter_scale();
    scale_ticks(c, s, 0, 1000 * kFt, 20 * kFt, 112, 122, 1.5, paint);
    scale_ticks(c, s, 0, 1000 * kFt, 100 * kFt, 104, 122, 3.2, paint);
    for (int ft = 0; ft <= 1000; ft += 100) scale_label(c, f, s, ft * kFt, std::to_string(ft / 100), 88, 20);
    scale_ticks(c, s, 1500 * kFt, 2500 * kFt, 500 * kFt, 110, 122, 2.2, amber);
    draw_text(c, f, FontStyle::SansBold, "RADIO ALT", 12, 152, 118, paint_dim);
    draw_text(c, f, FontStyle::Sans, "x100 ft", 10, 152, 206, paint_dim);
}

void radio_altimeter_pointer(Canvas& c, Fonts&) { draw_needle(c, 14, 14, 128, 2, 8, needle, NeedleShape::Lance); }

void decision_height_marker(Canvas& c, Fonts&) {
    // A bug at the outer end of the scale; the arm itself is invisible.
    c.fill(Path().polygon({{96, 8}, {111, 1}, {111, 15}}), amber);
    c.fill(Path().rect(104, 3, 7, 10), amber);
}

void radio_altimeter_glass(Canvas& c, Fonts&) {
    glass_bezel(c, 152, 160, 128, 150);
    hub(c, 152, 160, 8);
}

void dh_lamp(Canvas& c, bool lit) { lamp(c, 19, 19, 18.5, amber, lit); }

void radio_altimeter_switch_plate(Canvas& c, Fonts& f) {
    panel_paint(c, 0, 0, c.width(), c.height());
    draw_text(c, f, FontStyle::SansBold, "RA", 10, 20, 9, paint);
    draw_text(c, f, FontStyle::Sans, "ON", 9, 20, 146, paint_dim);
    screw(c, 20, 152, 3);
}

void radio_altimeter_switch(Canvas& c, int image) {
    // Image 1: off (lever down), image 2: on (lever up); image 0 is never shown.
    if (image == 0) {
        toggle(c, 0, 20, 40, 118, true);
        return;
    }
    toggle(c, 0, 20, 40, 118, image == 2);
}

}  // namespace

void add_navigation_artwork(Catalogue& k) {
    k.add(1140, adf_face);
    k.add(1150, [](Canvas& c, Fonts&) { knob(c, 28, 28, 26); });
    k.add(1160, adf_pointer);
    k.add(1170, adf_card);
    k.add(1171, adf_card_window);
    k.add(1180, adf_glass);

    k.add(1300, [](Canvas& c, Fonts& f) { vor_face(c, f, true); });
    k.add(1310, [](Canvas& c, Fonts& f) { vor_face(c, f, false); });
    k.add(1190, [](Canvas& c, Fonts& f) { vor_bezel(c, f, "VOR 1"); });
    k.add(1200, [](Canvas& c, Fonts& f) { vor_bezel(c, f, "VOR 2"); });
    k.add(1210, [](Canvas& c, Fonts&) { knob(c, 37, 37, 35); });
    k.add(1220, [](Canvas& c, Fonts&) { lamp(c, 28, 28, 27, blue, true); });
    k.add(1230, vor_localizer);
    k.add(1250, vor_face_mask);
    k.add(1260, [](Canvas& c, Fonts& f) { vor_flag(c, f, "GS", true); });
    // The glide-slope flag retracted: only its edge shows at the side.
    k.add(1261, [](Canvas& c, Fonts&) { c.fill(Path().rect(0, 2, 3, 38), rgb(90, 24, 20)); });
    k.add(1270, [](Canvas& c, Fonts& f) { vor_flag(c, f, "OFF", true); });
    k.add(1271, [](Canvas& c, Fonts& f) { vor_flag(c, f, "NAV", false); });
    k.add(1280, vor_course_pointer);
    k.add(1290, vor_glide_slope);

    k.add(3090, omi_panel);
    for (int i = 0; i < 5; ++i) k.add(3100 + i, [i](Canvas& c, Fonts&) { omi_lamps(c, i); });

    k.add(3230, radio_altimeter_face);
    k.add(3240, radio_altimeter_pointer);
    k.add(3250, decision_height_marker);
    k.add(3260, [](Canvas& c, Fonts&) { knob(c, 33, 33, 31); });
    k.add(3270, radio_altimeter_glass);
    k.add(3210, [](Canvas& c, Fonts&) { dh_lamp(c, false); });
    k.add(3220, [](Canvas& c, Fonts&) { dh_lamp(c, true); });
    k.add(3190, radio_altimeter_switch_plate);
    for (int i = 0; i < 3; ++i) k.add(3200 + i, [i](Canvas& c, Fonts&) { radio_altimeter_switch(c, i); });
}

}  // namespace art
