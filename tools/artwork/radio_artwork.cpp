// The radio stack: ADF control box with its turning scale disc, COM with
// thumbwheels, the two NAV receivers and the transponder with digit drums,
// and the shut-down gauge's speck.
#include <cmath>
#include <string>

#include "artwork.h"

namespace art {

namespace {

using namespace colours;

std::string digit(int k) { return std::to_string(((k % 10) + 10) % 10); }

// --- ADF radio panel (1320 front, 1330 background, 1340 band knob,
//     1350 tuning handle, 1360/1361 main switch, 1370 lamp, 1380/1381 tone
//     switch, 1400 band legend drum, 1401 its window, 1410 scale disc) ------

constexpr double kDiscX = 168, kDiscY = 150;
// The arc window in the front panel through which the disc shows.
constexpr double kWinR0 = 30, kWinR1 = 97, kWinA = 38;

struct Band {
    double low, high, degrees_per_khz, label_step, tick_step, radius;
};
const Band kBands[3] = {{200, 410, 0.5, 50, 10, 90}, {410, 850, 0.4, 100, 10, 70}, {850, 1750, 0.3, 200, 50, 50}};

void adf_panel(Canvas& c, Fonts& f, bool window) {
    panel_paint(c, 0, 0, c.width(), c.height());
    // Digital readout recess (the host writes the frequency over it).
    c.fill(Path().round_rect(173, 4, 92, 38, 4), metal_dark);
    c.fill(Path().rect(177, 8, 84, 30), rgb(8, 8, 8));
    // The arc window, framed, with its fixed red index at the top.
    Path frame;
    frame.arc_band(kDiscX, kDiscY, kWinR0 - 4, kWinR1 + 4, -kWinA - 3, kWinA + 3);
    c.fill(frame, metal_dark);
    Path hole;
    hole.arc_band(kDiscX, kDiscY, kWinR0, kWinR1, -kWinA, kWinA);
    if (window)
        c.erase(hole);
    else
        c.fill(hole, rgb(20, 20, 20));
    c.fill(Path().rect(kDiscX - 1, kDiscY - kWinR1 - 2, 2, kWinR1 - kWinR0 + 4), red);
    draw_text(c, f, FontStyle::SansBold, "RADIO COMPAS", 14, 80, 22, paint);
    draw_text(c, f, FontStyle::Sans, "kc/s", 10, 236, 100, paint_dim);
    draw_text(c, f, FontStyle::SansBold, "GAMME", 9, 226, 165, paint_dim);
    draw_text(c, f, FontStyle::SansBold, "SON", 10, 62, 270, paint);
    draw_text(c, f, FontStyle::SansBold, "ARRET   MARCHE", 9, 276, 300, paint);
    draw_text(c, f, FontStyle::SansBold, "ACCORD", 9, 166, 300, paint);
    lamp(c, 301.5, 17.5, 11.5, green, false);
    for (auto [x, y] : {std::pair{10.0, 10.0}, {350.0, 10.0}, {10.0, 298.0}, {350.0, 298.0}}) screw(c, x, y, 5);
}

// The disc is drawn pointing +x at angle 0 and the host turns it clockwise
// by the disc angle d; frequency f of a band sits d(f) counter-clockwise of
// +x, so it reaches the top index when the disc has turned by d(f).
void adf_scale_disc(Canvas& c, Fonts& f) {
    const double cx = 98, cy = 98;
    c.fill(Path().circle(cx, cy, 97), radial({cx, cy}, 0, rgb(36, 36, 34), 97, rgb(20, 20, 20)));
    for (const Band& b : kBands) {
        auto at = [&](double khz) { return 90.0 - (khz - b.low) * b.degrees_per_khz; };
        Path ticks, arc;
        for (double k = b.low; k <= b.high + 1e-9; k += b.tick_step) {
            bool major = std::fmod(k, b.label_step) < 1e-9 || std::fabs(k - b.high) < 1e-9 || k == b.low;
            ticks.tick(cx, cy, b.radius - (major ? 7 : 4), b.radius + 1, at(k), major ? 1.8 : 1.1);
        }
        arc.arc_band(cx, cy, b.radius + 1, b.radius + 2.2, at(b.high), at(b.low));
        c.fill(ticks, paint);
        c.fill(arc, paint_dim);
        // Labels on round figures of the band (first at a multiple of the step).
        double first = std::ceil(b.low / b.label_step) * b.label_step;
        if (first - b.low < b.label_step / 2) first += b.label_step;
        for (double k = first; k <= b.high + 1e-9; k += b.label_step) {
            Pt p = polar(cx, cy, b.radius - 13, at(k));
            draw_text(c, f, FontStyle::SansBold, std::to_string(static_cast<int>(k)), 9, p.x, p.y, paint, at(k));
        }
    }
}

// The legend drum: band 1 at the top, band 2 a quarter turn counter-
// clockwise, band 3 opposite; it shows through a slot below the arcs.
void adf_band_drum(Canvas& c, Fonts& f) {
    const double cx = 97.5, cy = 97.5;
    c.fill(Path().circle(cx, cy, 96), rgb(30, 30, 30));
    const char* legends[3] = {"200-410", "410-850", "850-1750"};
    const double at[3] = {0, -90, -180};
    for (int i = 0; i < 3; ++i) {
        Pt p = polar(cx, cy, 29, at[i]);
        draw_text(c, f, FontStyle::SansBold, legends[i], 9, p.x, p.y, yellow, at[i]);
    }
}

// A slot 60 x 14 just inside the arcs (window placed at 91, 54).
void adf_band_window(Canvas& c, Fonts&) { c.fill(Path().round_rect(47, 60, 60, 14, 3), rgb(60, 60, 60)); }

void adf_tuning_handle(Canvas& c, Fonts&) {
    c.fill(Path().circle(24, 21, 20), radial({18, 15}, 0, rgb(120, 120, 118), 22, rgb(40, 40, 40)));
    c.fill(Path().capsule(24, 21, 64, 21, 10), linear({0, 14}, metal_light, {0, 28}, metal_dark));
    c.fill(Path().circle(66, 21, 10), radial({62, 17}, 0, rgb(110, 60, 40), 12, rgb(50, 24, 14)));
    hub(c, 24, 21, 6);
}

void adf_band_knob(Canvas& c, Fonts&) {
    knob(c, 38, 38, 36, rgb(60, 60, 62), false);
    c.fill(Path().polygon({{38, 31}, {72, 38}, {38, 45}}), paint);
}

void big_rotary_switch(Canvas& c, bool on) {
    double s = c.width() / 2.0;
    c.fill(Path().circle(s, s, s - 1), linear({0, 0}, metal_light, {c.width() * 1.0, c.height() * 1.0}, metal_dark));
    c.fill(Path().circle(s, s, s * 0.8), rgb(36, 36, 36));
    // A bar knob: horizontal when off, vertical when on.
    Affine m = Affine::rotate(on ? 90 : 0).then(Affine::translate(s, s));
    Path bar;
    bar.round_rect(-s * 0.72, -s * 0.2, s * 1.44, s * 0.4, s * 0.15);
    c.fill(bar.transformed(m), rgb(70, 70, 72));
    Path mark;
    mark.rect(s * 0.35, -s * 0.06, s * 0.32, s * 0.12);
    c.fill(mark.transformed(m), paint);
}

// --- COM radio (1420 panel, 1430/1431 switch, 1440-1449 digit wheels,
//     1450-1453 channel wheel, 1460 lamp, 1470 spare) -----------------------

void thumbwheel(Canvas& c, Fonts& f, const std::string& text, double band_w) {
    double w = c.width(), h = c.height(), x0 = (w - band_w) / 2;
    // The wheel's ribbed rim peeks out at both sides of the digit band.
    for (double y = 2; y < h - 2; y += 4) {
        c.fill(Path().rect(x0 - 5, y, 5, 2.5), metal);
        c.fill(Path().rect(x0 + band_w, y, 5, 2.5), metal);
    }
    c.fill(Path().rect(x0, 0, band_w, h), linear({0, 0}, rgb(20, 20, 20), {0, h / 2}, rgb(58, 58, 58)));
    c.fill(Path().rect(x0, h / 2, band_w, h / 2), linear({0, h / 2}, rgb(58, 58, 58), {0, h}, rgb(20, 20, 20)));
    draw_text(c, f, FontStyle::SansBold, text, text.size() > 1 ? 22 : 30, w / 2, h / 2, paint, 0, Anchor::Centre,
              text.size() > 1 ? 0.8 : 1.0);
}

void com_panel(Canvas& c, Fonts& f) {
    panel_paint(c, 0, 0, c.width(), c.height());
    c.fill(Path().round_rect(16, 3, 222, 62, 5), metal_dark);
    c.fill(Path().rect(20, 7, 214, 54), rgb(14, 14, 14));
    draw_text(c, f, FontStyle::SansBold, "1", 30, 30, 34, paint);
    c.fill(Path().circle(146.5, 52, 2.5), paint);
    draw_text(c, f, FontStyle::SansBold, "VHF COM 1", 14, 150, 90, paint);
    draw_text(c, f, FontStyle::Sans, "MHz", 10, 150, 110, paint_dim);
    draw_text(c, f, FontStyle::SansBold, "MARCHE", 9, 100, 168, paint_dim);
    lamp(c, 32.5, 123.5, 7, green, false);
    for (auto [x, y] : {std::pair{8.0, 8.0}, {232.0, 192.0}, {232.0, 8.0}, {8.0, 192.0}}) screw(c, x, y, 4);
}

void com_switch(Canvas& c, bool on) {
    c.fill(Path().round_rect(1, 1, 48, 50, 6), rgb(36, 38, 36));
    toggle(c, 5, 2, 40, 48, on);
}

// --- NAV radios (2000 knob, 2010/2011, 2020/2021 drums, 2030 leading 1,
//     2040/2041 main switch, 2050/2051 tone switch, 2060 lamp, 2070 point,
//     2080 spare window, 2090/2100 panels) -----------------------------------

// NAV drums: y range 0 to 10 (0 to 1 for the tens), so the window sees the
// top cell at 0 and the strip reads 0, 1, ..., 9, 0 from the top.
void nav_panel(Canvas& c, Fonts& f, const char* name) {
    panel_paint(c, 0, 0, c.width(), c.height());
    c.fill(Path().round_rect(84, 28, 70, 26, 3), metal_dark);
    c.fill(Path().rect(88, 32, 62, 18), rgb(10, 10, 10));
    draw_text(c, f, FontStyle::SansBold, name, 11, 120, 14, paint);
    draw_text(c, f, FontStyle::Sans, "MHz", 8, 169, 41, paint_dim);
    draw_text(c, f, FontStyle::Sans, "SON", 8, 146, 75, paint_dim);
    draw_text(c, f, FontStyle::Sans, "MARCHE", 8, 40, 76, paint_dim);
    c.fill(Path().circle(32, 27, 19), rgb(30, 30, 30));
    c.fill(Path().circle(208, 26, 19), rgb(30, 30, 30));
    lamp(c, 100.5, 84.5, 4.5, green, false);
    for (auto [x, y] : {std::pair{6.0, 6.0}, {234.0, 6.0}, {6.0, 86.0}, {234.0, 86.0}}) screw(c, x, y, 3.5);
}

void small_digit_cell(Canvas& c, Fonts& f, const std::string& t, double cy, double size) {
    draw_text(c, f, FontStyle::MonoBold, t, size, c.width() / 2.0, cy, paint, 0, Anchor::Centre, 0.85);
}

// --- Transponder (2110/2111 drums, 2120/2121 main switch, 2130 lamp,
//     2140/2141 identification switch, 2150 panel) ---------------------------

void xpdr_panel(Canvas& c, Fonts& f) {
    panel_paint(c, 0, 0, c.width(), c.height(), rgb(58, 62, 50));
    draw_text(c, f, FontStyle::SansBold, "IFF", 14, 90, 14, paint);
    draw_text(c, f, FontStyle::Sans, "MODE 3/A", 9, 157, 14, paint_dim);
    // The Mode 1 wheels, painted only.
    for (int i = 0; i < 2; ++i) {
        c.fill(Path().round_rect(80 + i * 16, 24, 13, 18, 2), rgb(30, 30, 30));
        draw_text(c, f, FontStyle::MonoBold, i ? "4" : "2", 11, 86.5 + i * 16, 33, paint_dim);
    }
    draw_text(c, f, FontStyle::Sans, "MODE 1", 8, 96, 48, paint_dim);
    c.fill(Path().round_rect(111, 54, 92, 27, 3), metal_dark);
    c.fill(Path().rect(114, 57, 86, 21), rgb(10, 10, 10));
    for (int i = 0; i < 4; ++i) {
        double cx = 122.5 + 23 * i;
        c.fill(Path().polygon({{cx - 5, 56}, {cx + 5, 56}, {cx, 49}}), paint);
        c.fill(Path().polygon({{cx - 5, 79}, {cx + 5, 79}, {cx, 86}}), paint);
    }
    draw_text(c, f, FontStyle::Sans, "IDENT", 8, 221, 70, paint_dim);
    draw_text(c, f, FontStyle::Sans, "MARCHE", 8, 41, 92, paint_dim);
    for (auto [x, y] : {std::pair{6.0, 6.0}, {255.0, 6.0}, {6.0, 93.0}, {255.0, 93.0}}) screw(c, x, y, 3.5);
}

}  // namespace

void add_radio_artwork(Catalogue& k) {
    k.add(40, [](Canvas& c, Fonts&) { c.fill(Path().rect(0, 0, 5, 5), panel); });

    k.add(1320, [](Canvas& c, Fonts& f) { adf_panel(c, f, true); });
    k.add(1330, [](Canvas& c, Fonts& f) { adf_panel(c, f, false); });
    k.add(1340, adf_band_knob);
    k.add(1350, adf_tuning_handle);
    k.add(1360, [](Canvas& c, Fonts&) { big_rotary_switch(c, false); });
    k.add(1361, [](Canvas& c, Fonts&) { big_rotary_switch(c, true); });
    k.add(1370, [](Canvas& c, Fonts&) { lamp(c, 11.5, 11.5, 11.5, green, true); });
    k.add(1380, [](Canvas& c, Fonts&) { big_rotary_switch(c, false); });
    k.add(1381, [](Canvas& c, Fonts&) { big_rotary_switch(c, true); });
    k.add(1400, adf_band_drum);
    k.add(1401, adf_band_window);
    k.add(1410, adf_scale_disc);

    k.add(1420, com_panel);
    k.add(1430, [](Canvas& c, Fonts&) { com_switch(c, false); });
    k.add(1431, [](Canvas& c, Fonts&) { com_switch(c, true); });
    for (int d = 0; d < 10; ++d) k.add(1440 + d, [d](Canvas& c, Fonts& f) { thumbwheel(c, f, digit(d), 30); });
    const char* channels[4] = {"00", "25", "50", "75"};
    for (int i = 0; i < 4; ++i)
        k.add(1450 + i, [t = std::string(channels[i])](Canvas& c, Fonts& f) { thumbwheel(c, f, t, 34); });
    k.add(1460, [](Canvas& c, Fonts&) { lamp(c, 5.5, 5.5, 5.5, green, true); });
    k.add(1470, [](Canvas& c, Fonts&) { knob(c, 21, 21, 20); });

    k.add(2000, [](Canvas& c, Fonts&) { knob(c, 18, 18, 17); });
    k.add(2010, [](Canvas& c, Fonts& f) {
        c.fill(Path().rect(0, 0, c.width(), c.height()), rgb(26, 26, 26));
        for (int i = 0; i < 11; ++i) small_digit_cell(c, f, digit(i), 8 + 16 * i, 13);
    });
    k.add(2011, [](Canvas& c, Fonts&) { c.fill(Path().rect(0, 0, c.width(), c.height()), rgb(40, 40, 40)); });
    k.add(2020, [](Canvas& c, Fonts& f) {
        c.fill(Path().rect(0, 0, c.width(), c.height()), rgb(26, 26, 26));
        for (int i = 0; i < 2; ++i) small_digit_cell(c, f, digit(i), 8 + 16 * i, 13);
    });
    k.add(2021, [](Canvas& c, Fonts&) { c.fill(Path().rect(0, 0, c.width(), c.height()), rgb(40, 40, 40)); });
    k.add(2030, [](Canvas& c, Fonts& f) {
        c.fill(Path().rect(0, 0, c.width(), c.height()), rgb(26, 26, 26));
        small_digit_cell(c, f, "1", 8, 13);
    });
    k.add(2040, [](Canvas& c, Fonts&) { toggle(c, 0, 0, 26, 31, false); });
    k.add(2041, [](Canvas& c, Fonts&) { toggle(c, 0, 0, 26, 31, true); });
    k.add(2050, [](Canvas& c, Fonts&) { big_rotary_switch(c, false); });
    k.add(2051, [](Canvas& c, Fonts&) { big_rotary_switch(c, true); });
    k.add(2060, [](Canvas& c, Fonts&) { lamp(c, 3.5, 3.5, 3.5, green, true); });
    k.add(2070, [](Canvas& c, Fonts&) {
        c.fill(Path().rect(0, 0, 5, 16), rgb(26, 26, 26));
        c.fill(Path().circle(2.5, 13, 1.6), paint);
    });
    k.add(2080, [](Canvas& c, Fonts& f) {
        c.fill(Path().rect(0, 0, 66, 16), rgb(10, 10, 10));
        draw_text(c, f, FontStyle::MonoBold, "108.00", 13, 33, 8, paint, 0, Anchor::Centre, 0.85);
    });
    k.add(2090, [](Canvas& c, Fonts& f) { nav_panel(c, f, "NAV 1"); });
    k.add(2100, [](Canvas& c, Fonts& f) { nav_panel(c, f, "NAV 2"); });

    k.add(2110, [](Canvas& c, Fonts& f) {
        c.fill(Path().rect(0, 0, c.width(), c.height()), rgb(26, 26, 26));
        for (int i = 0; i < 11; ++i) small_digit_cell(c, f, digit(i), 10.5 + 21 * i, 16);
    });
    k.add(2111, [](Canvas& c, Fonts&) { c.fill(Path().rect(0, 0, c.width(), c.height()), rgb(40, 40, 40)); });
    k.add(2120, [](Canvas& c, Fonts&) { toggle(c, 0, 0, 28, 68, false); });
    k.add(2121, [](Canvas& c, Fonts&) { toggle(c, 0, 0, 28, 68, true); });
    k.add(2130, [](Canvas& c, Fonts&) { lamp(c, 6, 6, 6, green, true); });
    k.add(2140, [](Canvas& c, Fonts&) { toggle(c, 0, 0, 26, 32, false); });
    k.add(2141, [](Canvas& c, Fonts&) { toggle(c, 0, 0, 26, 32, true); });
    k.add(2150, xpdr_panel);
}

}  // namespace art
