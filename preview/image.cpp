#include "preview/image.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace sim {

Rgba Image::sample(double x, double y) const {
    double fx = x - 0.5, fy = y - 0.5;
    int x0 = static_cast<int>(std::floor(fx)), y0 = static_cast<int>(std::floor(fy));
    double tx = fx - x0, ty = fy - y0;
    double acc[4] = {0, 0, 0, 0};
    for (int j = 0; j < 2; ++j) {
        for (int i = 0; i < 2; ++i) {
            int px = x0 + i, py = y0 + j;
            if (!inside(px, py)) continue;
            double w = (i ? tx : 1 - tx) * (j ? ty : 1 - ty);
            const Rgba& p = at(px, py);
            double a = p.a / 255.0 * w;
            // Premultiplied, so transparent neighbours do not bleed colour.
            acc[0] += p.r * a;
            acc[1] += p.g * a;
            acc[2] += p.b * a;
            acc[3] += a;
        }
    }
    if (acc[3] <= 1e-9) return {};
    auto channel = [](double v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 255.0))); };
    return {channel(acc[0] / acc[3]), channel(acc[1] / acc[3]), channel(acc[2] / acc[3]), channel(acc[3] * 255.0)};
}

void blend(Rgba& dst, Rgba src, double opacity) {
    if (src.a == 255 && opacity >= 1.0) {
        dst = src;
        return;
    }
    double a = src.a / 255.0 * opacity;
    if (a <= 0) return;
    double da = dst.a / 255.0;
    double out_a = a + da * (1 - a);
    auto mix = [&](uint8_t s, uint8_t d) {
        return static_cast<uint8_t>(std::lround((s * a + d * da * (1 - a)) / out_a));
    };
    dst = {mix(src.r, dst.r), mix(src.g, dst.g), mix(src.b, dst.b), static_cast<uint8_t>(std::lround(out_a * 255))};
}

void draw_scaled(Image& dst, const Image& src, double x, double y, double sx, double sy, double opacity,
                 ClipRect clip) {
    if (src.empty() || !(sx > 0) || !(sy > 0)) return;
    int x0 = std::max({0, clip.x0, static_cast<int>(std::floor(x))});
    int y0 = std::max({0, clip.y0, static_cast<int>(std::floor(y))});
    int x1 = std::min({dst.width, clip.x1, static_cast<int>(std::ceil(x + src.width * sx))});
    int y1 = std::min({dst.height, clip.y1, static_cast<int>(std::ceil(y + src.height * sy))});
    bool exact = sx == 1.0 && sy == 1.0 && x == std::floor(x) && y == std::floor(y);
    for (int py = y0; py < y1; ++py) {
        for (int px = x0; px < x1; ++px) {
            Rgba s;
            if (exact) {
                int ix = px - static_cast<int>(x), iy = py - static_cast<int>(y);
                if (!src.inside(ix, iy)) continue;
                s = src.at(ix, iy);
            } else {
                s = src.sample((px + 0.5 - x) / sx, (py + 0.5 - y) / sy);
            }
            blend(dst.at(px, py), s, opacity);
        }
    }
}

void fill_rect(Image& dst, int x, int y, int w, int h, Rgba colour) {
    for (int py = std::max(0, y); py < std::min(dst.height, y + h); ++py)
        for (int px = std::max(0, x); px < std::min(dst.width, x + w); ++px) blend(dst.at(px, py), colour);
}

bool encode_png(const Image& image, std::vector<uint8_t>* out, int compression) {
    out->clear();
    if (image.empty()) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(
        png, out,
        [](png_structp p, png_bytep data, png_size_t n) {
            auto* v = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(p));
            v->insert(v->end(), data, data + n);
        },
        nullptr);
    png_set_IHDR(png, info, image.width, image.height, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, compression);
    png_write_info(png, info);
    for (int y = 0; y < image.height; ++y)
        png_write_row(png, reinterpret_cast<png_const_bytep>(&image.pixels[size_t(y) * image.width]));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool write_png(const Image& image, const std::string& path, std::string* error) {
    auto fail = [&](const std::string& why) {
        if (error) *error = path + ": " + why;
        return false;
    };
    std::vector<uint8_t> bytes;
    if (!encode_png(image, &bytes, 3)) return fail("cannot encode PNG (empty image?)");
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return fail("cannot open for writing");
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = std::fclose(file) == 0 && ok;
    return ok ? true : fail("write failed");
}

}  // namespace sim
