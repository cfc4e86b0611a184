// A small anti-aliased raster library for the artwork generator: paths of
// straight segments (curves are flattened when added), filled with exact
// horizontal coverage on sixteen sub-scanlines, painted with a solid colour or
// a gradient. Everything is plain double arithmetic in a fixed order, so the
// same program draws the same pixels every run.
#pragma once

#include <cmath>
#include <functional>
#include <vector>

namespace art {

constexpr double kPi = 3.141592653589793;

// Straight (not premultiplied) colour, channels 0..1.
struct Color {
    double r = 0, g = 0, b = 0, a = 0;
};

constexpr Color rgb(int r, int g, int b, double a = 1.0) { return {r / 255.0, g / 255.0, b / 255.0, a}; }
Color mix(Color a, Color b, double t);
Color shade(Color c, double factor);  // factor > 1 lightens, < 1 darkens

struct Pt {
    double x = 0, y = 0;
};

// An affine map: x' = a x + c y + e, y' = b x + d y + f.
struct Affine {
    double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
    Pt apply(Pt p) const { return {a * p.x + c * p.y + e, b * p.x + d * p.y + f}; }
    static Affine translate(double x, double y) { return {1, 0, 0, 1, x, y}; }
    static Affine scale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
    // Clockwise on the bitmap (y grows downward) by deg degrees.
    static Affine rotate(double deg);
    Affine then(const Affine& next) const;  // first this, then next
};

// Angles in the dial code are the needles' own: degrees clockwise from
// straight up, seen on the bitmap. polar() gives the point at such an angle.
Pt polar(double cx, double cy, double r, double deg);

class Path {
public:
    Path& move_to(double x, double y);
    Path& line_to(double x, double y);
    Path& quad_to(double cx, double cy, double x, double y);
    Path& cubic_to(double c1x, double c1y, double c2x, double c2y, double x, double y);
    Path& close();

    // Closed shapes; each adds one or two contours.
    Path& rect(double x, double y, double w, double h);
    Path& round_rect(double x, double y, double w, double h, double r);
    Path& circle(double cx, double cy, double r);
    Path& ellipse(double cx, double cy, double rx, double ry);
    Path& polygon(const std::vector<Pt>& pts);
    // Annulus (outer contour one way, inner the other way).
    Path& ring(double cx, double cy, double r_inner, double r_outer);
    // Band between radii r0 < r1 from angle a0 to a1 (clockwise, degrees).
    Path& arc_band(double cx, double cy, double r0, double r1, double a0, double a1);
    // A straight stroke of the given width with square ends.
    Path& line(double x0, double y0, double x1, double y1, double width);
    // A stroke with round ends.
    Path& capsule(double x0, double y0, double x1, double y1, double width);
    // A radial tick on a dial: from radius r0 to r1 at angle deg.
    Path& tick(double cx, double cy, double r0, double r1, double deg, double width);

    Path& append(const Path& other, const Affine& m = Affine());
    Path transformed(const Affine& m) const;
    bool empty() const { return contours_.empty(); }
    void bounds(double& x0, double& y0, double& x1, double& y1) const;
    const std::vector<std::vector<Pt>>& contours() const { return contours_; }

private:
    std::vector<std::vector<Pt>> contours_;
    bool open_ = false;
};

using Paint = std::function<Color(double x, double y)>;
Paint solid(Color c);
Paint linear(Pt p0, Color c0, Pt p1, Color c1);
Paint radial(Pt centre, double r0, Color c0, double r1, Color c1);

class Canvas {
public:
    Canvas(int w, int h);
    int width() const { return w_; }
    int height() const { return h_; }
    Color& at(int x, int y) { return px_[static_cast<size_t>(y) * w_ + x]; }
    const Color& at(int x, int y) const { return px_[static_cast<size_t>(y) * w_ + x]; }

    void clear(Color c);
    // Paints over what is there ("over" compositing) with the path's
    // coverage; the non-zero winding rule decides what is inside.
    void fill(const Path& p, Color c);
    void fill(const Path& p, const Paint& paint);
    // Replaces what is there by full transparency where the path covers
    // more than half a pixel: cuts windows and holes.
    void erase(const Path& p);
    // Draws another canvas over this one at (x, y).
    void draw(const Canvas& src, int x, int y);
    // Draws another canvas rotated clockwise by deg about its point (sx, sy),
    // that point landing on (dx, dy); bilinear sampling. For previews only.
    void draw_rotated(const Canvas& src, double sx, double sy, double dx, double dy, double deg);

private:
    void coverage(const Path& p, int& bx0, int& by0, int& bx1, int& by1, std::vector<float>& cov) const;
    int w_, h_;
    std::vector<Color> px_;
};

}  // namespace art
