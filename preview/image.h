// An RGBA picture for the previewer, with the few operations the drawing
// rules need: alpha blending, transformed sampling and PNG output.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "flight/rgba.h"

namespace sim {

struct Image {
    int width = 0, height = 0;
    std::vector<Rgba> pixels;  // row-major, top row first

    Image() = default;
    Image(int w, int h, Rgba fill = {}) : width(w), height(h), pixels(size_t(w) * size_t(h), fill) {}
    bool empty() const { return width <= 0 || height <= 0; }
    Rgba& at(int x, int y) { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    const Rgba& at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    // Bilinear sample at a continuous position (pixel centres at +0.5);
    // outside the picture is transparent.
    Rgba sample(double x, double y) const;
};

// Source-over blending of one pixel.
void blend(Rgba& dst, Rgba src, double opacity = 1.0);

struct ClipRect {
    int x0 = 0, y0 = 0, x1 = 1 << 30, y1 = 1 << 30;
};

// Draws `src` into `dst` with its top-left corner at (x, y), scaled by
// (sx, sy), only inside the clip rectangle.
void draw_scaled(Image& dst, const Image& src, double x, double y, double sx, double sy, double opacity = 1.0,
                 ClipRect clip = {});

// Fills a rectangle.
void fill_rect(Image& dst, int x, int y, int w, int h, Rgba colour);

// The picture as PNG bytes.
bool encode_png(const Image& image, std::vector<uint8_t>* out, int compression = 1);
// Writes a PNG; false with `error` set on failure.
bool write_png(const Image& image, const std::string& path, std::string* error);

}  // namespace sim
