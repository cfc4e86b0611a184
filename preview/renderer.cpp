#include "preview/renderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "host/sim_host.h"
#include "preview/text_render.h"

namespace sim {

namespace {

constexpr double kPi = 3.141592653589793;

// Needle bitmaps are drawn pointing to the right (+x) from their pivot, so
// the host turns them by the needle angle (clockwise from straight up) less
// a quarter turn.
constexpr double kNeedleArtAngle = 90.0;

// Unlit paint under the panel lights at night.
constexpr double kNightDim = 0.28;

Rgba lit(Rgba c, double light) {
    if (light >= 1.0) return c;
    auto f = [&](uint8_t v) { return static_cast<uint8_t>(std::lround(v * light)); };
    return {f(c.r), f(c.g), f(c.b), c.a};
}

// A canvas coordinate from a position that may be anything a hostile value
// makes of it (NaN, infinite, far off the canvas): clamped well outside any
// canvas first, so the conversion to int is always defined.
int pixel_floor(double v) {
    constexpr double kFar = 1 << 30;
    if (!(v > -kFar)) return -(1 << 30);
    if (!(v < kFar)) return 1 << 30;
    return static_cast<int>(std::floor(v));
}
int pixel_ceil(double v) { return v == std::floor(v) ? pixel_floor(v) : pixel_floor(v) + 1; }

// A window that clips what is drawn: only where the mask is opaque.
struct Mask {
    const Image* image = nullptr;
    double x = 0, y = 0;
    bool allows(int px, int py) const {
        if (!image) return true;
        int mx = pixel_floor(px - x), my = pixel_floor(py - y);
        return image->inside(mx, my) && image->at(mx, my).a > 0;
    }
};

// Draws src turned clockwise by `degrees` and scaled about its point
// (ax, ay), which lands on (dx, dy) of the canvas.
void draw_transformed(Image& canvas, const Image& src, double ax, double ay, double dx, double dy, double degrees,
                      double sx, double sy, double light, const Mask& mask = {}) {
    if (src.empty() || !std::isfinite(degrees) || !std::isfinite(dx) || !std::isfinite(dy)) return;
    if (!(sx > 0) || !(sy > 0) || !std::isfinite(sx) || !std::isfinite(sy)) return;
    // A turn of any size is a turn within one revolution (a needle may be
    // fed a value millions of turns round).
    degrees = std::fmod(degrees, 360.0);
    // Most of a panel is bitmaps drawn unturned at whole pixels: copied
    // pixel for pixel, without sampling.
    double ox = dx - ax * sx, oy = dy - ay * sy;
    if (degrees == 0 && sx == 1 && sy == 1 && ox == std::floor(ox) && oy == std::floor(oy) &&
        std::fabs(ox) < 1e6 && std::fabs(oy) < 1e6) {
        int ix = static_cast<int>(ox), iy = static_cast<int>(oy);
        int y0 = std::max(0, iy), y1 = std::min(canvas.height, iy + src.height);
        int x0 = std::max(0, ix), x1 = std::min(canvas.width, ix + src.width);
        for (int py = y0; py < y1; ++py) {
            const Rgba* row = &src.at(0, py - iy);
            for (int px = x0; px < x1; ++px) {
                Rgba colour = row[px - ix];
                if (colour.a && mask.allows(px, py)) blend(canvas.at(px, py), lit(colour, light));
            }
        }
        return;
    }
    double phi = degrees * kPi / 180.0, c = std::cos(phi), s = std::sin(phi);
    // Bounding box of the four corners on the canvas.
    double min_x = 1e18, min_y = 1e18, max_x = -1e18, max_y = -1e18;
    for (double cx : {0.0, double(src.width)}) {
        for (double cy : {0.0, double(src.height)}) {
            double lx = (cx - ax) * sx, ly = (cy - ay) * sy;
            double px = dx + lx * c - ly * s, py = dy + lx * s + ly * c;
            min_x = std::min(min_x, px), max_x = std::max(max_x, px);
            min_y = std::min(min_y, py), max_y = std::max(max_y, py);
        }
    }
    int x0 = std::max(0, pixel_floor(min_x)), x1 = std::min(canvas.width, pixel_ceil(max_x));
    int y0 = std::max(0, pixel_floor(min_y)), y1 = std::min(canvas.height, pixel_ceil(max_y));
    for (int py = y0; py < y1; ++py) {
        for (int px = x0; px < x1; ++px) {
            if (!mask.allows(px, py)) continue;
            double qx = px + 0.5 - dx, qy = py + 0.5 - dy;
            // Inverse turn, then inverse scale.
            double lx = qx * c + qy * s, ly = -qx * s + qy * c;
            Rgba colour = src.sample(lx / sx + ax, ly / sy + ay);
            if (colour.a) blend(canvas.at(px, py), lit(colour, light));
        }
    }
}

Rgba colour_of(uint32_t bgr) {
    return {static_cast<uint8_t>(bgr & 0xFF), static_cast<uint8_t>((bgr >> 8) & 0xFF),
            static_cast<uint8_t>((bgr >> 16) & 0xFF), 255};
}

// Where a value lies between minimum and maximum, as a fraction 0..1.
double travel_fraction(double value, double minimum, double maximum) {
    if (!std::isfinite(value) || minimum == maximum || !std::isfinite(minimum) || !std::isfinite(maximum)) return 0;
    return std::clamp((value - minimum) / (maximum - minimum), 0.0, 1.0);
}

}  // namespace

std::string RenderProblem::text() const { return gauge + ": " + what + " " + std::to_string(bitmap); }

const Image* GaugeRenderer::bitmap(const Placement& p, int32_t id) {
    const Image* image = lookup_ ? lookup_(p.module(), id) : nullptr;
    if (!image) {
        auto same = [&](const RenderProblem& r) { return r.gauge == p.name() && r.bitmap == id; };
        if (std::none_of(problems_.begin(), problems_.end(), same))
            problems_.push_back({p.name(), id, "missing bitmap"});
    }
    return image;
}

bool ElementLook::operator==(const ElementLook& o) const {
    return numbers.size() == o.numbers.size() && text == o.text &&
           std::memcmp(numbers.data(), o.numbers.data(), numbers.size() * sizeof(double)) == 0;
}

void GaugeRenderer::canvas_size(const Placement& p, int* w, int* h) {
    *w = p.width, *h = p.height;
    if ((*w <= 0 || *h <= 0) && p.element_count() > 0) {
        if (const Image* background = bitmap(p, p.element(0).bitmap)) *w = background->width, *h = background->height;
    }
    *w = std::max(*w, 1), *h = std::max(*h, 1);
}

void GaugeRenderer::draw_range(Image& canvas, const Placement& p, size_t from, size_t to, const RenderOptions& options) {
    const std::vector<DrawnElement>& drawn = p.drawn();
    for (size_t i = from; i < to && i < drawn.size(); ++i) {
        const DrawnElement& d = drawn[i];
        if (d.hidden) continue;
        double light = options.night && !d.lit ? kNightDim : 1.0;
        draw_element(canvas, p, d, light);
    }
}

Image GaugeRenderer::render(const Placement& p, const RenderOptions& options) {
    int w, h;
    canvas_size(p, &w, &h);
    Image canvas(w, h);
    draw_range(canvas, p, 0, p.drawn().size(), options);
    return canvas;
}

ElementLook GaugeRenderer::look_of(const DrawnElement& d, const RenderOptions& options) {
    ElementLook look;
    const ElementHeader& e = *d.record;
    bool dimmed = options.night && !d.lit;
    if (d.hidden) {
        look.numbers = {-1.0};
        return look;
    }
    look.numbers = {double(d.kind), double(d.bitmap), double(e.x), double(e.y), double(dimmed)};
    auto add = [&](std::initializer_list<double> values) { look.numbers.insert(look.numbers.end(), values); };
    switch (d.kind) {
    case ELEMENT_NEEDLE: add({double(e.offset_x), double(e.offset_y), d.angle}); break;
    case ELEMENT_SLIDER: add({d.dx, d.dy}); break;
    case ELEMENT_ICON: add({double(d.image)}); break;
    case ELEMENT_MOVING_IMAGE: {
        auto* m = reinterpret_cast<const MovingImageElement*>(d.record);
        add({d.value, d.value_y, m->min_x, m->max_x, m->min_y, m->max_y});
        break;
    }
    case ELEMENT_SPRITE: {
        auto* s = reinterpret_cast<const SpriteElement*>(d.record);
        add({double(e.offset_x), double(e.offset_y), d.dx, d.dy, d.rotation, double(s->texture_scale_x),
             double(s->texture_scale_y)});
        break;
    }
    case ELEMENT_STRING: {
        auto* s = reinterpret_cast<const StringElement*>(d.record);
        add({double(s->box_width), double(s->box_height), double(s->text_colour), double(s->background_colour),
             double(s->font_weight), double(s->layout_flags)});
        look.text = d.text;
        break;
    }
    default: break;
    }
    return look;
}

bool GaugeRenderer::render_layers(const Placement& p, const RenderOptions& options, GaugeLayers* layers) {
    int w, h;
    canvas_size(p, &w, &h);
    std::vector<ElementLook> looks;
    looks.reserve(p.drawn().size());
    for (const DrawnElement& d : p.drawn()) looks.push_back(look_of(d, options));
    GaugeLayers& c = *layers;
    if (c.valid && (c.picture.width != w || c.picture.height != h)) c.valid = false;
    if (c.valid && looks == c.looks) return false;
    size_t unchanged = 0;
    if (c.valid)
        while (unchanged < looks.size() && unchanged < c.looks.size() && looks[unchanged] == c.looks[unchanged]) ++unchanged;
    // The base holds the lower layers that have not changed: it is drawn
    // afresh only when a layer inside it changed, and grows when the first
    // change lies higher up the chain than before.
    if (!c.valid || unchanged < c.base_count) {
        c.base = Image(w, h);
        c.base_count = 0;
    }
    draw_range(c.base, p, c.base_count, unchanged, options);
    c.base_count = unchanged;
    c.picture = c.base;
    draw_range(c.picture, p, unchanged, looks.size(), options);
    c.looks = std::move(looks);
    c.valid = true;
    return true;
}

void GaugeRenderer::draw_element(Image& canvas, const Placement& p, const DrawnElement& d, double light) {
    const ElementHeader& e = *d.record;
    switch (d.kind) {
    case ELEMENT_STATIC_IMAGE:
        if (const Image* b = bitmap(p, d.bitmap)) draw_transformed(canvas, *b, 0, 0, e.x, e.y, 0, 1, 1, light);
        break;
    case ELEMENT_NEEDLE:
        if (const Image* b = bitmap(p, d.bitmap)) draw_needle(canvas, *b, e, d.angle, light);
        break;
    case ELEMENT_SLIDER:
        if (const Image* b = bitmap(p, d.bitmap)) draw_transformed(canvas, *b, 0, 0, e.x + d.dx, e.y + d.dy, 0, 1, 1, light);
        break;
    case ELEMENT_ICON:
        if (d.image >= 0) {
            if (const Image* b = bitmap(p, d.bitmap + d.image)) draw_transformed(canvas, *b, 0, 0, e.x, e.y, 0, 1, 1, light);
        }
        break;
    case ELEMENT_MOVING_IMAGE: draw_moving_image(canvas, p, d, light); break;
    case ELEMENT_SPRITE: draw_sprite(canvas, p, d, light); break;
    case ELEMENT_STRING: draw_string(canvas, d, light); break;
    default: break;
    }
}

void GaugeRenderer::draw_needle(Image& canvas, const Image& needle, const ElementHeader& e, double angle, double light) {
    draw_transformed(canvas, needle, e.offset_x + 0.5, e.offset_y + 0.5, e.x, e.y, angle - kNeedleArtAngle, 1, 1,
                     light);
}

// The picture n slides behind its window n + 1, which stands at the
// element's position: the value's place between minimum and maximum is the
// picture's place along its travel (minimum: its top or left edge in the
// window).
void GaugeRenderer::draw_moving_image(Image& canvas, const Placement& p, const DrawnElement& d, double light) {
    const Image* picture = bitmap(p, d.bitmap);
    const Image* window = bitmap(p, d.bitmap + 1);
    if (!picture || !window) return;
    auto* m = reinterpret_cast<const MovingImageElement*>(d.record);
    double travel_x = std::max(0, picture->width - window->width);
    double travel_y = std::max(0, picture->height - window->height);
    double shift_x = travel_fraction(d.value, m->min_x, m->max_x) * travel_x;
    double shift_y = travel_fraction(d.value_y, m->min_y, m->max_y) * travel_y;
    Mask mask{window, double(m->header.x), double(m->header.y)};
    draw_transformed(canvas, *picture, 0, 0, m->header.x - shift_x, m->header.y - shift_y, 0, 1, 1, light, mask);
}

// A sprite is seen through its window n + 1, whose top-left corner stands
// at the element's position. The texture centre is a point of the gauge's
// background: the middle of the sprite's bitmap stands there, moved by the
// shift and turned (counter-clockwise on screen for positive degrees, as a
// compass card turned to its heading) and scaled about it.
void GaugeRenderer::draw_sprite(Image& canvas, const Placement& p, const DrawnElement& d, double light) {
    const Image* picture = bitmap(p, d.bitmap);
    const Image* window = bitmap(p, d.bitmap + 1);
    if (!picture || !window) return;
    auto* s = reinterpret_cast<const SpriteElement*>(d.record);
    double sx = s->texture_scale_x > 0 ? s->texture_scale_x : 1.0;
    double sy = s->texture_scale_y > 0 ? s->texture_scale_y : 1.0;
    Mask mask{window, double(s->header.x), double(s->header.y)};
    draw_transformed(canvas, *picture, picture->width / 2.0, picture->height / 2.0, s->header.offset_x + d.dx,
                     s->header.offset_y + d.dy, -d.rotation, sx, sy, light, mask);
}

void GaugeRenderer::draw_string(Image& canvas, const DrawnElement& d, double light) {
    auto* s = reinterpret_cast<const StringElement*>(d.record);
    // Black is the host's transparent colour: a black background is not
    // painted.
    if (s->background_colour != 0)
        fill_rect(canvas, s->header.x, s->header.y, s->box_width, s->box_height, lit(colour_of(s->background_colour), light));
    TextStyle style;
    style.colour = lit(colour_of(s->text_colour), light);
    style.bold = s->font_weight >= 600;
    // A text box of any height gets letters no taller than a panel can
    // show.
    style.pixel_height = std::clamp(s->box_height * 0.8, 6.0, 512.0);
    style.centre_x = (s->layout_flags & 0x1) != 0;
    style.centre_y = (s->layout_flags & 0x4) != 0;
    draw_text(canvas, d.text, s->header.x, s->header.y, s->box_width, s->box_height, style);
}

}  // namespace sim
