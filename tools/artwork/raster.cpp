#include "raster.h"

#include <algorithm>

namespace art {

Color mix(Color a, Color b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

Color shade(Color c, double f) {
    auto ch = [f](double v) {
        double r = f >= 1 ? v + (1 - v) * (f - 1) : v * f;
        return std::clamp(r, 0.0, 1.0);
    };
    return {ch(c.r), ch(c.g), ch(c.b), c.a};
}

Affine Affine::rotate(double deg) {
    double t = deg * kPi / 180.0, c = std::cos(t), s = std::sin(t);
    // y grows downward, so this turns clockwise on the bitmap.
    return {c, s, -s, c, 0, 0};
}

Affine Affine::then(const Affine& n) const {
    return {n.a * a + n.c * b, n.b * a + n.d * b, n.a * c + n.c * d, n.b * c + n.d * d, n.a * e + n.c * f + n.e,
            n.b * e + n.d * f + n.f};
}

Pt polar(double cx, double cy, double r, double deg) {
    double t = deg * kPi / 180.0;
    return {cx + r * std::sin(t), cy - r * std::cos(t)};
}

Path& Path::move_to(double x, double y) {
    contours_.push_back({{x, y}});
    open_ = true;
    return *this;
}

Path& Path::line_to(double x, double y) {
    if (!open_) return move_to(x, y);
    contours_.back().push_back({x, y});
    return *this;
}

Path& Path::quad_to(double cx, double cy, double x, double y) {
    Pt p0 = contours_.back().back();
    double len = std::hypot(cx - p0.x, cy - p0.y) + std::hypot(x - cx, y - cy);
    int n = std::clamp(static_cast<int>(len / 0.6), 2, 64);
    for (int i = 1; i <= n; ++i) {
        double t = static_cast<double>(i) / n, u = 1 - t;
        line_to(u * u * p0.x + 2 * u * t * cx + t * t * x, u * u * p0.y + 2 * u * t * cy + t * t * y);
    }
    return *this;
}

Path& Path::cubic_to(double c1x, double c1y, double c2x, double c2y, double x, double y) {
    Pt p0 = contours_.back().back();
    double len = std::hypot(c1x - p0.x, c1y - p0.y) + std::hypot(c2x - c1x, c2y - c1y) + std::hypot(x - c2x, y - c2y);
    int n = std::clamp(static_cast<int>(len / 0.6), 2, 96);
    for (int i = 1; i <= n; ++i) {
        double t = static_cast<double>(i) / n, u = 1 - t;
        line_to(u * u * u * p0.x + 3 * u * u * t * c1x + 3 * u * t * t * c2x + t * t * t * x,
                u * u * u * p0.y + 3 * u * u * t * c1y + 3 * u * t * t * c2y + t * t * t * y);
    }
    return *this;
}

Path& Path::close() {
    open_ = false;
    return *this;
}

Path& Path::rect(double x, double y, double w, double h) {
    return move_to(x, y).line_to(x + w, y).line_to(x + w, y + h).line_to(x, y + h).close();
}

Path& Path::round_rect(double x, double y, double w, double h, double r) {
    r = std::min({r, w / 2, h / 2});
    if (r <= 0) return rect(x, y, w, h);
    const double k = 0.5522847498 * r;
    move_to(x + r, y);
    line_to(x + w - r, y);
    cubic_to(x + w - r + k, y, x + w, y + r - k, x + w, y + r);
    line_to(x + w, y + h - r);
    cubic_to(x + w, y + h - r + k, x + w - r + k, y + h, x + w - r, y + h);
    line_to(x + r, y + h);
    cubic_to(x + r - k, y + h, x, y + h - r + k, x, y + h - r);
    line_to(x, y + r);
    cubic_to(x, y + r - k, x + r - k, y, x + r, y);
    return close();
}

static int segments_for(double r) { return std::clamp(static_cast<int>(std::ceil(2 * kPi * r / 1.2)), 12, 720); }

Path& Path::ellipse(double cx, double cy, double rx, double ry) {
    int n = segments_for(std::max(rx, ry));
    for (int i = 0; i < n; ++i) {
        double t = 2 * kPi * i / n;
        if (i == 0)
            move_to(cx + rx * std::cos(t), cy + ry * std::sin(t));
        else
            line_to(cx + rx * std::cos(t), cy + ry * std::sin(t));
    }
    return close();
}

Path& Path::circle(double cx, double cy, double r) { return ellipse(cx, cy, r, r); }

Path& Path::polygon(const std::vector<Pt>& pts) {
    for (size_t i = 0; i < pts.size(); ++i) {
        if (i == 0)
            move_to(pts[i].x, pts[i].y);
        else
            line_to(pts[i].x, pts[i].y);
    }
    return close();
}

Path& Path::ring(double cx, double cy, double r0, double r1) {
    circle(cx, cy, r1);
    int n = segments_for(r0);
    for (int i = 0; i < n; ++i) {
        double t = -2 * kPi * i / n;
        if (i == 0)
            move_to(cx + r0 * std::cos(t), cy + r0 * std::sin(t));
        else
            line_to(cx + r0 * std::cos(t), cy + r0 * std::sin(t));
    }
    return close();
}

Path& Path::arc_band(double cx, double cy, double r0, double r1, double a0, double a1) {
    if (a1 < a0) std::swap(a0, a1);
    int n = std::max(2, static_cast<int>(segments_for(r1) * (a1 - a0) / 360.0) + 1);
    for (int i = 0; i <= n; ++i) {
        Pt p = polar(cx, cy, r1, a0 + (a1 - a0) * i / n);
        if (i == 0)
            move_to(p.x, p.y);
        else
            line_to(p.x, p.y);
    }
    for (int i = n; i >= 0; --i) {
        Pt p = polar(cx, cy, r0, a0 + (a1 - a0) * i / n);
        line_to(p.x, p.y);
    }
    return close();
}

Path& Path::line(double x0, double y0, double x1, double y1, double w) {
    double dx = x1 - x0, dy = y1 - y0, len = std::hypot(dx, dy);
    if (len <= 0) return *this;
    double nx = -dy / len * w / 2, ny = dx / len * w / 2;
    return polygon({{x0 + nx, y0 + ny}, {x1 + nx, y1 + ny}, {x1 - nx, y1 - ny}, {x0 - nx, y0 - ny}});
}

Path& Path::capsule(double x0, double y0, double x1, double y1, double w) {
    double dx = x1 - x0, dy = y1 - y0, len = std::hypot(dx, dy);
    double r = w / 2;
    if (len <= 0) return circle(x0, y0, r);
    double base = std::atan2(dy, dx);
    std::vector<Pt> pts;
    const int n = std::max(6, segments_for(r) / 2);
    for (int i = 0; i <= n; ++i) {
        double t = base - kPi / 2 + kPi * i / n;
        pts.push_back({x1 + r * std::cos(t), y1 + r * std::sin(t)});
    }
    for (int i = 0; i <= n; ++i) {
        double t = base + kPi / 2 + kPi * i / n;
        pts.push_back({x0 + r * std::cos(t), y0 + r * std::sin(t)});
    }
    return polygon(pts);
}

Path& Path::tick(double cx, double cy, double r0, double r1, double deg, double w) {
    Pt a = polar(cx, cy, r0, deg), b = polar(cx, cy, r1, deg);
    return line(a.x, a.y, b.x, b.y, w);
}

Path& Path::append(const Path& other, const Affine& m) {
    for (const auto& c : other.contours_) {
        std::vector<Pt> t;
        t.reserve(c.size());
        for (Pt p : c) t.push_back(m.apply(p));
        contours_.push_back(std::move(t));
    }
    open_ = false;
    return *this;
}

Path Path::transformed(const Affine& m) const {
    Path p;
    p.append(*this, m);
    return p;
}

void Path::bounds(double& x0, double& y0, double& x1, double& y1) const {
    x0 = y0 = 1e300;
    x1 = y1 = -1e300;
    for (const auto& c : contours_)
        for (Pt p : c) {
            x0 = std::min(x0, p.x);
            y0 = std::min(y0, p.y);
            x1 = std::max(x1, p.x);
            y1 = std::max(y1, p.y);
        }
}

Paint solid(Color c) {
    return [c](double, double) { return c; };
}

Paint linear(Pt p0, Color c0, Pt p1, Color c1) {
    double dx = p1.x - p0.x, dy = p1.y - p0.y, l2 = dx * dx + dy * dy;
    return [=](double x, double y) {
        double t = l2 > 0 ? ((x - p0.x) * dx + (y - p0.y) * dy) / l2 : 0;
        return mix(c0, c1, std::clamp(t, 0.0, 1.0));
    };
}

Paint radial(Pt centre, double r0, Color c0, double r1, Color c1) {
    return [=](double x, double y) {
        double r = std::hypot(x - centre.x, y - centre.y);
        double t = r1 > r0 ? (r - r0) / (r1 - r0) : 0;
        return mix(c0, c1, std::clamp(t, 0.0, 1.0));
    };
}

Canvas::Canvas(int w, int h) : w_(w), h_(h), px_(static_cast<size_t>(w) * h) {}

void Canvas::clear(Color c) { std::fill(px_.begin(), px_.end(), c); }

namespace {
struct Edge {
    double x0, y0, x1, y1;
    int dir;
};
constexpr int kSub = 16;
}  // namespace

void Canvas::coverage(const Path& p, int& bx0, int& by0, int& bx1, int& by1, std::vector<float>& cov) const {
    double fx0, fy0, fx1, fy1;
    p.bounds(fx0, fy0, fx1, fy1);
    // Bounds are clamped to the canvas before they become integers, so a
    // shape far outside (or an empty path's infinite bounds) converts safely.
    auto clamp_to = [](double v, int hi) { return static_cast<int>(std::clamp(std::floor(v), -1.0, double(hi))); };
    bx0 = std::max(0, clamp_to(fx0, w_));
    by0 = std::max(0, clamp_to(fy0, h_));
    bx1 = std::min(w_, clamp_to(fx1, w_) + 1);
    by1 = std::min(h_, clamp_to(fy1, h_) + 1);
    if (bx0 >= bx1 || by0 >= by1) {
        bx1 = bx0;
        by1 = by0;
        return;
    }
    int bw = bx1 - bx0;
    cov.assign(static_cast<size_t>(bw) * (by1 - by0), 0.0f);

    std::vector<Edge> edges;
    for (const auto& c : p.contours()) {
        for (size_t i = 0; i < c.size(); ++i) {
            Pt a = c[i], b = c[(i + 1) % c.size()];
            if (a.y == b.y) continue;
            if (a.y < b.y)
                edges.push_back({a.x, a.y, b.x, b.y, 1});
            else
                edges.push_back({b.x, b.y, a.x, a.y, -1});
        }
    }
    std::sort(edges.begin(), edges.end(), [](const Edge& l, const Edge& r) {
        if (l.y0 != r.y0) return l.y0 < r.y0;
        if (l.x0 != r.x0) return l.x0 < r.x0;
        if (l.y1 != r.y1) return l.y1 < r.y1;
        return l.x1 < r.x1;
    });

    std::vector<const Edge*> active;
    std::vector<std::pair<double, int>> xs;
    size_t next = 0;
    std::vector<double> row(static_cast<size_t>(bw) + 1);
    const double wgt = 1.0 / kSub;
    for (int y = by0; y < by1; ++y) {
        std::fill(row.begin(), row.end(), 0.0);
        for (int s = 0; s < kSub; ++s) {
            double ys = y + (s + 0.5) / kSub;
            while (next < edges.size() && edges[next].y0 <= ys) active.push_back(&edges[next++]);
            xs.clear();
            size_t keep = 0;
            for (size_t i = 0; i < active.size(); ++i) {
                const Edge* e = active[i];
                if (e->y1 <= ys) continue;
                active[keep++] = e;
                if (e->y0 > ys) continue;
                double t = (ys - e->y0) / (e->y1 - e->y0);
                xs.push_back({e->x0 + (e->x1 - e->x0) * t, e->dir});
            }
            active.resize(keep);
            std::sort(xs.begin(), xs.end());
            int wind = 0;
            double start = 0;
            for (const auto& [x, dir] : xs) {
                int before = wind;
                wind += dir;
                if (before == 0 && wind != 0) {
                    start = x;
                } else if (before != 0 && wind == 0) {
                    double xa = std::clamp(start - bx0, 0.0, static_cast<double>(bw));
                    double xb = std::clamp(x - bx0, 0.0, static_cast<double>(bw));
                    if (xb > xa) {
                        int ia = static_cast<int>(xa), ib = static_cast<int>(xb);
                        if (ia == ib) {
                            row[ia] += (xb - xa) * wgt;
                        } else {
                            row[ia] += (ia + 1 - xa) * wgt;
                            for (int k = ia + 1; k < ib; ++k) row[k] += wgt;
                            row[ib] += (xb - ib) * wgt;
                        }
                    }
                }
            }
        }
        float* out = &cov[static_cast<size_t>(y - by0) * bw];
        for (int x = 0; x < bw; ++x) out[x] = static_cast<float>(std::min(1.0, row[x]));
    }
}

static Color over(Color dst, Color src, double cov) {
    double a = src.a * cov;
    if (a <= 0) return dst;
    double oa = a + dst.a * (1 - a);
    if (oa <= 0) return {0, 0, 0, 0};
    double k = dst.a * (1 - a);
    return {(src.r * a + dst.r * k) / oa, (src.g * a + dst.g * k) / oa, (src.b * a + dst.b * k) / oa, oa};
}

void Canvas::fill(const Path& p, Color c) { fill(p, solid(c)); }

void Canvas::fill(const Path& p, const Paint& paint) {
    int bx0, by0, bx1, by1;
    std::vector<float> cov;
    coverage(p, bx0, by0, bx1, by1, cov);
    int bw = bx1 - bx0;
    for (int y = by0; y < by1; ++y)
        for (int x = bx0; x < bx1; ++x) {
            float c = cov[static_cast<size_t>(y - by0) * bw + (x - bx0)];
            if (c <= 0) continue;
            at(x, y) = over(at(x, y), paint(x + 0.5, y + 0.5), c);
        }
}

void Canvas::erase(const Path& p) {
    int bx0, by0, bx1, by1;
    std::vector<float> cov;
    coverage(p, bx0, by0, bx1, by1, cov);
    int bw = bx1 - bx0;
    for (int y = by0; y < by1; ++y)
        for (int x = bx0; x < bx1; ++x)
            if (cov[static_cast<size_t>(y - by0) * bw + (x - bx0)] > 0.5f) at(x, y) = {0, 0, 0, 0};
}

void Canvas::draw(const Canvas& src, int ox, int oy) {
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x) {
            int dx = ox + x, dy = oy + y;
            if (dx < 0 || dy < 0 || dx >= w_ || dy >= h_) continue;
            at(dx, dy) = over(at(dx, dy), src.at(x, y), 1.0);
        }
}

void Canvas::draw_rotated(const Canvas& src, double sx, double sy, double dx, double dy, double deg) {
    double t = -deg * kPi / 180.0, c = std::cos(t), s = std::sin(t);
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x) {
            double rx = x + 0.5 - dx, ry = y + 0.5 - dy;
            double u = c * rx - s * ry + sx - 0.5, v = s * rx + c * ry + sy - 0.5;
            int iu = static_cast<int>(std::floor(u)), iv = static_cast<int>(std::floor(v));
            double fu = u - iu, fv = v - iv;
            double acc[4] = {0, 0, 0, 0};
            for (int k = 0; k < 4; ++k) {
                int px = iu + (k & 1), py = iv + (k >> 1);
                double wk = ((k & 1) ? fu : 1 - fu) * ((k >> 1) ? fv : 1 - fv);
                if (px < 0 || py < 0 || px >= src.width() || py >= src.height()) continue;
                const Color& sc = src.at(px, py);
                acc[0] += sc.r * sc.a * wk;
                acc[1] += sc.g * sc.a * wk;
                acc[2] += sc.b * sc.a * wk;
                acc[3] += sc.a * wk;
            }
            if (acc[3] <= 0) continue;
            at(x, y) = over(at(x, y), {acc[0] / acc[3], acc[1] / acc[3], acc[2] / acc[3], acc[3]}, 1.0);
        }
}

}  // namespace art
