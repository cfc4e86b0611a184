#include "preview/image.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace sim {

namespace {

// A pixel index from a position that may lie anywhere (or be NaN): clamped
// far outside every picture first, so the conversion is always defined.
int pixel_index(double v) {
    constexpr double kFar = 1 << 30;
    if (!(v > -kFar)) return -(1 << 30);
    if (!(v < kFar)) return 1 << 30;
    return static_cast<int>(std::floor(v));
}

int pixel_index_up(double v) {
    int i = pixel_index(v);
    return i < (1 << 30) && double(i) < v ? i + 1 : i;
}

int clamp_to_int(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, -(int64_t(1) << 30), int64_t(1) << 30)); }

}  // namespace

Rgba Image::sample(double x, double y) const {
    double fx = x - 0.5, fy = y - 0.5;
    if (!(fx > -2 && fx < width + 1 && fy > -2 && fy < height + 1)) return {};
    int x0 = static_cast<int>(std::floor(fx)), y0 = static_cast<int>(std::floor(fy));
    double tx = fx - x0, ty = fy - y0;
    if (x0 >= 0 && y0 >= 0 && x0 + 1 < width && y0 + 1 < height) {
        // Inside the picture: four opaque neighbours mix plainly (the most
        // of any bitmap), four clear ones give nothing.
        const Rgba &p00 = at(x0, y0), &p10 = at(x0 + 1, y0), &p01 = at(x0, y0 + 1), &p11 = at(x0 + 1, y0 + 1);
        if ((p00.a | p10.a | p01.a | p11.a) == 0) return {};
        if ((p00.a & p10.a & p01.a & p11.a) == 255) {
            double w00 = (1 - tx) * (1 - ty), w10 = tx * (1 - ty), w01 = (1 - tx) * ty, w11 = tx * ty;
            auto mix = [&](uint8_t a, uint8_t b, uint8_t c, uint8_t d) {
                return static_cast<uint8_t>(std::min(255.0, a * w00 + b * w10 + c * w01 + d * w11) + 0.5);
            };
            return {mix(p00.r, p10.r, p01.r, p11.r), mix(p00.g, p10.g, p01.g, p11.g), mix(p00.b, p10.b, p01.b, p11.b), 255};
        }
    }
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
    auto channel = [](double v) { return static_cast<uint8_t>(std::clamp(v, 0.0, 255.0) + 0.5); };
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
    // Every mix lies between 0 and 255: rounding is adding a half.
    auto mix = [&](uint8_t s, uint8_t d) { return static_cast<uint8_t>((s * a + d * da * (1 - a)) / out_a + 0.5); };
    dst = {mix(src.r, dst.r), mix(src.g, dst.g), mix(src.b, dst.b), static_cast<uint8_t>(out_a * 255 + 0.5)};
}

void draw_scaled(Image& dst, const Image& src, double x, double y, double sx, double sy, double opacity,
                 ClipRect clip) {
    if (src.empty() || !(sx > 0) || !(sy > 0) || !std::isfinite(x) || !std::isfinite(y)) return;
    int x0 = std::max({0, clip.x0, pixel_index(x)});
    int y0 = std::max({0, clip.y0, pixel_index(y)});
    int x1 = std::min({dst.width, clip.x1, pixel_index_up(x + src.width * sx)});
    int y1 = std::min({dst.height, clip.y1, pixel_index_up(y + src.height * sy)});
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
    int x1 = std::min(dst.width, clamp_to_int(int64_t(x) + w)), y1 = std::min(dst.height, clamp_to_int(int64_t(y) + h));
    for (int py = std::max(0, y); py < y1; ++py)
        for (int px = std::max(0, x); px < x1; ++px) blend(dst.at(px, py), colour);
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
