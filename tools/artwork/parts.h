// The instrument parts the gauges are drawn from: calibrated scales that
// follow the needles' own nonlinearity tables, dial faces and bezels, glass
// covers, needles, knobs, lamps, switches, panel paint.
//
// Conventions every picture here follows (the previewer draws by them):
// - Transparent: pure black RGB(0,0,0), see image_files.h.
// - A needle bitmap is drawn pointing along +x (to the right, 3 o'clock)
//   from its pivot, the element's offset; the host turns it about that pivot
//   so that +x points toward the nonlinearity point of the value, i.e. a
//   needle at host angle a (degrees clockwise from straight up) is the bitmap
//   turned clockwise by a - 90.
// - A sprite turns about its texture centre; a positive rotation value turns
//   it counter-clockwise on the screen (the attitude card's -bank, the ADF
//   card's heading, the minute ring and the band legend drum all rely on it).
// - A moving image slides behind its window (identifier + 1), which is
//   placed at the element's position: on each axis the value v in
//   [minimum, maximum] shifts the picture so that the window shows it from
//   offset (v - minimum) / (maximum - minimum) x (picture size - window size)
//   onwards; the window's visible (non-key) pixels are where the picture
//   shows, its key pixels hide it.
// - Icons: image k of an icon on identifier n is bitmap n + k.
#pragma once

#include <string>
#include <vector>

#include "font.h"
#include "raster.h"

namespace art {

namespace colours {
constexpr Color face = rgb(22, 22, 24);
constexpr Color paint = rgb(236, 232, 218);       // dial figures, cream white
constexpr Color paint_dim = rgb(170, 168, 158);
constexpr Color red = rgb(206, 36, 28);
constexpr Color green = rgb(40, 168, 64);
constexpr Color amber = rgb(236, 160, 24);
constexpr Color yellow = rgb(240, 214, 40);
constexpr Color blue = rgb(40, 110, 210);
constexpr Color panel = rgb(50, 55, 52);
constexpr Color panel_dark = rgb(34, 38, 36);
constexpr Color metal_light = rgb(196, 196, 190);
constexpr Color metal = rgb(128, 128, 124);
constexpr Color metal_dark = rgb(62, 62, 60);
constexpr Color black_paint = rgb(12, 12, 12);
constexpr Color needle = rgb(242, 240, 230);
}  // namespace colours

// One calibration point of a needle: value -> point on the background.
struct CalPoint {
    double value;
    double x, y;
};

// A needle's scale as the host reads it: each point's angle about the pivot,
// each reached clockwise from the one before, linear in value between points
// and continued beyond the ends.
class Scale {
public:
    Scale(double px, double py, std::vector<CalPoint> points);
    double angle(double value) const;  // degrees clockwise from up
    Pt at(double value, double r) const { return polar(px_, py_, r, angle(value)); }
    // Distance from the pivot of the calibrated point, linear in value
    // between points (for scales whose points are not on one circle).
    double distance(double value) const;
    double px() const { return px_; }
    double py() const { return py_; }

private:
    double px_, py_;
    std::vector<CalPoint> pts_;
    std::vector<double> angles_;
};

// Ticks from v0 to v1 (inclusive) every step, radially from r0 to r1.
void scale_ticks(Canvas& c, const Scale& s, double v0, double v1, double step, double r0, double r1, double width,
                 Color colour);
// Ticks placed on the calibrated points themselves: from inner pixels inside
// to outer pixels outside each value's point.
void point_ticks(Canvas& c, const Scale& s, double v0, double v1, double step, double inner, double outer,
                 double width, Color colour);
// An upright label centred at radius r in the direction of the value.
void scale_label(Canvas& c, Fonts& f, const Scale& s, double value, const std::string& text, double r, double size,
                 Color colour = colours::paint, FontStyle style = FontStyle::SansBold);
// A coloured band (arc) along the scale between two values.
void scale_band(Canvas& c, const Scale& s, double v0, double v1, double r0, double r1, Color colour);

// Round instrument: transparent outside r_outer, a metal bezel ring down to
// r_face, a dark face inside.
void round_instrument(Canvas& c, double cx, double cy, double r_face, double r_outer, Color face = colours::face);
// The glass cover drawn over the needles: the bezel ring, transparent inside.
void glass_bezel(Canvas& c, double cx, double cy, double r_inner, double r_outer);
// A needle hub cap.
void hub(Canvas& c, double cx, double cy, double r, Color colour = colours::metal_dark);
void screw(Canvas& c, double x, double y, double r);

enum class NeedleShape { Lance, Bar, Arrow, Thin, Counterweight };
// A needle pointing along +x from its pivot (px, py) to the tip at
// (tip_x, py); the tail runs back to tail_x. Width is the blade width.
void draw_needle(Canvas& c, double px, double py, double tip_x, double tail_x, double width, Color colour,
                 NeedleShape shape = NeedleShape::Lance, bool hub_cap = true);

// A round knurled knob with a white index mark pointing along +x.
void knob(Canvas& c, double cx, double cy, double r, Color body = colours::metal_dark, bool index = true);
// A round lamp lens; lit ones glow.
void lamp(Canvas& c, double cx, double cy, double r, Color colour, bool lit);
// A toggle switch in its box: base plate and lever up or down.
void toggle(Canvas& c, double x, double y, double w, double h, bool up, Color plate = colours::panel_dark);
// Panel paint: a fine, deterministic crinkle texture over the rectangle.
void panel_paint(Canvas& c, double x, double y, double w, double h, Color base = colours::panel);

// A raised square button face with a glyph.
void button_face(Canvas& c, Fonts& f, const std::string& glyph, Color body);

}  // namespace art
