// Telvor_Flaps: the flap lever scale (4096) and the knob that slides along
// it (8192). The knob is placed at (42, 52) and moves 0.0177001953125 pixels
// right per unit of flap position, so its centre runs from x 69 (flaps up,
// 0) to x 359 (full, 16382); the scale's marks stand where the knob's
// centre stops. The click areas at either end carry a chevron each.
#include "artwork.h"

namespace art {

namespace {

using namespace colours;

constexpr double kKnobX = 42, kKnobY = 52, kKnobW = 54, kKnobH = 46;
constexpr double kPixelsPerUnit = 0.0177001953125;
constexpr double kSlotY = kKnobY + kKnobH / 2;

double knob_centre_x(double flaps) { return kKnobX + kKnobW / 2 + flaps * kPixelsPerUnit; }

void chevron(Canvas& c, double x, double y, double size, bool pointing_left) {
    double d = pointing_left ? -size : size;
    c.fill(Path().polygon({{x - d / 2, y - size}, {x + d / 2, y}, {x - d / 2, y + size}, {x - d / 2 + d / 3, y}}),
           paint_dim);
}

void flaps_scale(Canvas& c, Fonts& f) {
    panel_paint(c, 0, 0, c.width(), c.height());
    c.fill(Path().round_rect(3, 3, c.width() - 6, c.height() - 6, 10), rgb(40, 44, 42));
    c.fill(Path().round_rect(6, 6, c.width() - 12, c.height() - 12, 8), panel);
    draw_text(c, f, FontStyle::SansBold, "FLAPS", 16, c.width() / 2.0, 24, paint);
    // The slot the knob rides in.
    double x0 = knob_centre_x(0), x1 = knob_centre_x(16382);
    c.fill(Path().round_rect(x0 - 8, kSlotY - 6, x1 - x0 + 16, 12, 6), rgb(8, 8, 8));
    c.fill(Path().round_rect(x0 - 6, kSlotY - 2, x1 - x0 + 12, 4, 2), rgb(26, 26, 26));
    // Marks at the four quarters and the stops, with their figures below.
    const char* labels[5] = {"UP", "1", "2", "3", "FULL"};
    for (int i = 0; i <= 4; ++i) {
        double x = knob_centre_x(16382 / 4.0 * i);
        c.fill(Path().rect(x - 1.5, kSlotY + 26, 3, i % 4 == 0 ? 18 : 12), paint);
        draw_text(c, f, FontStyle::SansBold, labels[i], 13, x, kSlotY + 60, paint);
    }
    for (int i = 0; i < 16; ++i) {
        double x = knob_centre_x(16382 / 16.0 * i);
        if (i % 4) c.fill(Path().rect(x - 0.75, kSlotY + 26, 1.5, 7), paint_dim);
    }
    // The click areas: 0..75 and 345..420.
    chevron(c, 22, 150, 9, true);
    chevron(c, 400, 150, 9, false);
    screw(c, 14, 14, 4);
    screw(c, c.width() - 14, 14, 4);
    screw(c, 14, c.height() - 14, 4);
    screw(c, c.width() - 14, c.height() - 14, 4);
}

// A black lever knob with a white index line, on a transparent ground.
void flaps_knob(Canvas& c, Fonts&) {
    double cx = kKnobW / 2, cy = kKnobH / 2;
    c.fill(Path().round_rect(2, 3, kKnobW - 4, kKnobH - 6, 9),
           linear({0, 3}, rgb(80, 80, 78), {0, kKnobH - 3}, rgb(14, 14, 14)));
    c.fill(Path().round_rect(5, 6, kKnobW - 10, kKnobH - 12, 7),
           radial({cx - 8, cy - 8}, 0, rgb(92, 92, 90), 30, rgb(22, 22, 22)));
    for (int i = -2; i <= 2; ++i)
        if (i) c.fill(Path().rect(cx + i * 7 - 1, 10, 2, kKnobH - 20), rgb(44, 44, 42));
    c.fill(Path().rect(cx - 1.5, 4, 3, kKnobH - 8), needle);
}

}  // namespace

void add_flaps_module_artwork(Catalogue& c) {
    c.add(4096, flaps_scale);
    c.add(8192, flaps_knob);
}

}  // namespace art
