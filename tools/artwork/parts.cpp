#include "parts.h"

#include <algorithm>
#include <cmath>

namespace art {

static double raw_angle(double px, double py, double x, double y) {
    double a = std::atan2(x - px, -(y - py)) * 180.0 / kPi;
    return a < 0 ? a + 360.0 : a;
}

Scale::Scale(double px, double py, std::vector<CalPoint> points) : px_(px), py_(py), pts_(std::move(points)) {
    double prev = 0;
    for (size_t i = 0; i < pts_.size(); ++i) {
        double r = raw_angle(px_, py_, pts_[i].x, pts_[i].y);
        if (i == 0) {
            angles_.push_back(r);
        } else {
            double d = std::fmod(r - prev + 720.0, 360.0);
            angles_.push_back(angles_.back() + d);
        }
        prev = r;
    }
}

double Scale::angle(double v) const {
    size_t n = pts_.size();
    if (n == 0) return v;
    if (n == 1) return angles_[0];
    auto seg = [&](size_t i) {
        double v0 = pts_[i].value, v1 = pts_[i + 1].value;
        if (v1 == v0) return angles_[i + 1];
        return angles_[i] + (angles_[i + 1] - angles_[i]) * (v - v0) / (v1 - v0);
    };
    for (size_t i = 0; i + 1 < n; ++i) {
        double lo = std::min(pts_[i].value, pts_[i + 1].value), hi = std::max(pts_[i].value, pts_[i + 1].value);
        if (v >= lo && v <= hi && lo != hi) return seg(i);
    }
    bool rising = pts_[n - 1].value > pts_[0].value;
    bool below_first = rising ? v < pts_[0].value : v > pts_[0].value;
    if (below_first) {
        size_t i = 0;
        while (i + 2 < n && pts_[i].value == pts_[i + 1].value) ++i;
        return seg(i);
    }
    size_t i = n - 2;
    while (i > 0 && pts_[i].value == pts_[i + 1].value) --i;
    return seg(i);
}

double Scale::distance(double v) const {
    size_t n = pts_.size();
    auto d = [&](size_t i) { return std::hypot(pts_[i].x - px_, pts_[i].y - py_); };
    if (n == 1) return d(0);
    for (size_t i = 0; i + 1 < n; ++i) {
        double lo = std::min(pts_[i].value, pts_[i + 1].value), hi = std::max(pts_[i].value, pts_[i + 1].value);
        if (v >= lo && v <= hi && lo != hi)
            return d(i) + (d(i + 1) - d(i)) * (v - pts_[i].value) / (pts_[i + 1].value - pts_[i].value);
    }
    bool rising = pts_[n - 1].value > pts_[0].value;
    return (rising ? v < pts_[0].value : v > pts_[0].value) ? d(0) : d(n - 1);
}

void point_ticks(Canvas& c, const Scale& s, double v0, double v1, double step, double inner, double outer,
                 double width, Color colour) {
    Path p;
    int n = static_cast<int>(std::floor((v1 - v0) / step + 1e-9));
    for (int i = 0; i <= n; ++i) {
        double v = v0 + i * step, r = s.distance(v);
        p.tick(s.px(), s.py(), r - inner, r + outer, s.angle(v), width);
    }
    c.fill(p, colour);
}

void scale_ticks(Canvas& c, const Scale& s, double v0, double v1, double step, double r0, double r1, double width,
                 Color colour) {
    Path p;
    int n = static_cast<int>(std::floor((v1 - v0) / step + 1e-9));
    for (int i = 0; i <= n; ++i) p.tick(s.px(), s.py(), r0, r1, s.angle(v0 + i * step), width);
    c.fill(p, colour);
}

void scale_label(Canvas& c, Fonts& f, const Scale& s, double value, const std::string& text, double r, double size,
                 Color colour, FontStyle style) {
    Pt p = s.at(value, r);
    draw_text(c, f, style, text, size, p.x, p.y, colour);
}

void scale_band(Canvas& c, const Scale& s, double v0, double v1, double r0, double r1, Color colour) {
    Path p;
    p.arc_band(s.px(), s.py(), r0, r1, s.angle(v0), s.angle(v1));
    c.fill(p, colour);
}

static Paint metal_ring(double cx, double cy, double r) {
    return linear({cx - r * 0.7, cy - r * 0.7}, colours::metal_light, {cx + r * 0.7, cy + r * 0.7}, colours::metal_dark);
}

void round_instrument(Canvas& c, double cx, double cy, double r_face, double r_outer, Color face) {
    c.fill(Path().circle(cx, cy, r_outer), metal_ring(cx, cy, r_outer));
    c.fill(Path().ring(cx, cy, r_outer - 2.5, r_outer), rgb(40, 40, 40));
    c.fill(Path().ring(cx, cy, r_face, r_face + 4), linear({cx + r_face, cy + r_face}, colours::metal_light,
                                                             {cx - r_face, cy - r_face}, colours::metal_dark));
    c.fill(Path().circle(cx, cy, r_face), radial({cx, cy - r_face * 0.3}, 0, shade(face, 1.35), r_face * 1.2, face));
}

void glass_bezel(Canvas& c, double cx, double cy, double r_inner, double r_outer) {
    c.fill(Path().ring(cx, cy, r_inner, r_outer), metal_ring(cx, cy, r_outer));
    c.fill(Path().ring(cx, cy, r_outer - 2.5, r_outer), rgb(40, 40, 40));
    c.fill(Path().ring(cx, cy, r_inner, r_inner + 3),
           linear({cx + r_inner, cy + r_inner}, colours::metal_light, {cx - r_inner, cy - r_inner}, rgb(30, 30, 30)));
    // A glint on the glass edge, upper left.
    Path glint;
    glint.arc_band(cx, cy, r_inner + 3, r_inner + 6, 290, 340);
    c.fill(glint, rgb(232, 232, 226));
}

void hub(Canvas& c, double cx, double cy, double r, Color colour) {
    c.fill(Path().circle(cx, cy, r), radial({cx - r * 0.35, cy - r * 0.35}, 0, shade(colour, 2.2), r * 1.3, colour));
    c.fill(Path().ring(cx, cy, r - 0.8, r), rgb(20, 20, 20));
}

void screw(Canvas& c, double x, double y, double r) {
    c.fill(Path().circle(x, y, r), radial({x - r * 0.4, y - r * 0.4}, 0, colours::metal_light, r * 1.4, colours::metal_dark));
    c.fill(Path().line(x - r * 0.75, y + r * 0.3, x + r * 0.75, y - r * 0.3, std::max(1.0, r * 0.28)), rgb(40, 40, 40));
}

void draw_needle(Canvas& c, double px, double py, double tip_x, double tail_x, double w, Color colour,
                 NeedleShape shape, bool hub_cap) {
    Path p;
    double len = tip_x - px;
    switch (shape) {
    case NeedleShape::Lance:
        p.polygon({{tail_x, py - w * 0.45}, {px, py - w * 0.5}, {tip_x - len * 0.18, py - w * 0.3}, {tip_x, py},
                   {tip_x - len * 0.18, py + w * 0.3}, {px, py + w * 0.5}, {tail_x, py + w * 0.45}});
        break;
    case NeedleShape::Bar:
        p.polygon({{tail_x, py - w / 2}, {tip_x - w, py - w / 2}, {tip_x, py}, {tip_x - w, py + w / 2},
                   {tail_x, py + w / 2}});
        break;
    case NeedleShape::Arrow: {
        double head = std::min(len * 0.3, w * 3.2);
        p.polygon({{tail_x, py - w * 0.3}, {tip_x - head, py - w * 0.3}, {tip_x - head, py - w}, {tip_x, py},
                   {tip_x - head, py + w}, {tip_x - head, py + w * 0.3}, {tail_x, py + w * 0.3}});
        break;
    }
    case NeedleShape::Thin: p.rect(tail_x, py - w / 2, tip_x - tail_x, w); break;
    case NeedleShape::Counterweight:
        p.polygon({{px, py - w * 0.5}, {tip_x - len * 0.15, py - w * 0.28}, {tip_x, py}, {tip_x - len * 0.15, py + w * 0.28},
                   {px, py + w * 0.5}});
        p.capsule(tail_x + w * 1.2, py, px, py, w * 1.1);
        p.circle(tail_x + w * 1.2, py, w * 1.25);
        break;
    }
    // A darker edge line keeps a light needle readable on a light face.
    c.fill(p, colour);
    if (hub_cap) hub(c, px, py, std::max(3.0, w * 0.9));
}

void knob(Canvas& c, double cx, double cy, double r, Color body, bool index) {
    std::vector<Pt> teeth;
    const int n = std::max(12, static_cast<int>(r * 1.1));
    for (int i = 0; i < 2 * n; ++i) {
        double rr = (i % 2) ? r : r - std::max(1.0, r * 0.07);
        Pt q = polar(cx, cy, rr, 360.0 * i / (2 * n));
        teeth.push_back(q);
    }
    c.fill(Path().polygon(teeth), shade(body, 0.6));
    c.fill(Path().circle(cx, cy, r * 0.86), radial({cx - r * 0.3, cy - r * 0.35}, 0, shade(body, 1.9), r, body));
    c.fill(Path().circle(cx, cy, r * 0.5), radial({cx - r * 0.2, cy - r * 0.25}, 0, shade(body, 1.5), r * 0.6,
                                                  shade(body, 0.8)));
    if (index) c.fill(Path().capsule(cx + r * 0.3, cy, cx + r * 0.8, cy, std::max(1.5, r * 0.12)), colours::paint);
}

void lamp(Canvas& c, double cx, double cy, double r, Color colour, bool lit) {
    c.fill(Path().circle(cx, cy, r), linear({cx - r, cy - r}, colours::metal_light, {cx + r, cy + r}, colours::metal_dark));
    double lr = r * 0.78;
    if (lit) {
        c.fill(Path().circle(cx, cy, lr), radial({cx - lr * 0.25, cy - lr * 0.25}, 0, mix(colour, rgb(255, 255, 240), 0.75),
                                                 lr, colour));
    } else {
        c.fill(Path().circle(cx, cy, lr), radial({cx - lr * 0.3, cy - lr * 0.3}, 0, shade(colour, 0.55), lr,
                                                 shade(colour, 0.22)));
        c.fill(Path().circle(cx - lr * 0.35, cy - lr * 0.35, lr * 0.18), shade(colour, 0.8));
    }
}

void toggle(Canvas& c, double x, double y, double w, double h, bool up, Color plate) {
    double cx = x + w / 2, cy = y + h / 2;
    double r = std::min(w, h) * 0.22;
    c.fill(Path().circle(cx, cy, r * 1.5), radial({cx - r * 0.4, cy - r * 0.4}, 0, colours::metal_light, r * 1.8,
                                                  colours::metal_dark));
    c.fill(Path().circle(cx, cy, r * 1.1), shade(plate, 0.7));
    double tip = up ? y + h * 0.12 + r * 0.8 : y + h * 0.88 - r * 0.8;
    double lw = std::max(2.0, w * 0.16);
    c.fill(Path().capsule(cx, cy, cx, tip, lw), linear({cx - lw, 0}, colours::metal_light, {cx + lw, 0}, colours::metal_dark));
    c.fill(Path().circle(cx, tip, lw * 0.95), radial({cx - lw * 0.3, tip - lw * 0.3}, 0, rgb(250, 250, 250), lw * 1.1,
                                                     colours::metal));
}

static double noise(int x, int y) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFF) / 32767.5 - 1.0;
}

void panel_paint(Canvas& c, double x, double y, double w, double h, Color base) {
    int x0 = std::max(0, static_cast<int>(x)), y0 = std::max(0, static_cast<int>(y));
    int x1 = std::min(c.width(), static_cast<int>(x + w)), y1 = std::min(c.height(), static_cast<int>(y + h));
    for (int yy = y0; yy < y1; ++yy)
        for (int xx = x0; xx < x1; ++xx) {
            double n = 0.6 * noise(xx, yy) + 0.4 * noise(xx / 2, yy / 2 + 977);
            c.at(xx, yy) = shade(base, 1.0 + 0.06 * n);
        }
}

void button_face(Canvas& c, Fonts& f, const std::string& glyph, Color body) {
    double w = c.width(), h = c.height();
    c.fill(Path().rect(0, 0, w, h), rgb(24, 24, 24));
    c.fill(Path().polygon({{1, 1}, {w - 1, 1}, {w - 3, 3}, {3, 3}, {3, h - 3}, {1, h - 1}}), shade(body, 1.8));
    c.fill(Path().polygon({{w - 1, 1}, {w - 1, h - 1}, {1, h - 1}, {3, h - 3}, {w - 3, h - 3}, {w - 3, 3}}),
           shade(body, 0.5));
    c.fill(Path().rect(3, 3, w - 6, h - 6), linear({0, 3}, shade(body, 1.25), {0, h - 3}, shade(body, 0.85)));
    double size = glyph.size() > 1 ? h * 0.42 : h * 0.62;
    draw_text(c, f, FontStyle::SansBold, glyph, size, w / 2, h / 2, colours::paint);
}

}  // namespace art
