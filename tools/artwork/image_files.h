// Turning a drawn canvas into the module's bitmap files.
//
// Transparency: the host draws every element with one colour key, pure black
// RGB(0,0,0). A pixel whose coverage is below one half becomes that key;
// every visible pixel that would come out pure black is written as
// RGB(1,1,1), so black paint stays visible. The key, when an image has
// transparent pixels, is palette index 0.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "raster.h"

namespace art {

constexpr std::array<uint8_t, 3> kTransparentKey = {0, 0, 0};

struct IndexedImage {
    int width = 0, height = 0;
    std::vector<std::array<uint8_t, 3>> palette;  // at most 256 entries, RGB
    std::vector<uint8_t> pixels;                  // row-major, top row first
};

// The visible colour of a pixel after the key rule above (key when hidden).
std::array<uint8_t, 3> keyed_rgb(const Color& c);

// Deterministic median-cut quantisation to at most 256 colours.
IndexedImage quantise(const Canvas& c);

std::vector<uint8_t> encode_bmp8(const IndexedImage& img);
std::vector<uint8_t> encode_bmp24(const Canvas& c);
// A preview: transparent pixels as a grey checkerboard.
std::vector<uint8_t> encode_png_preview(const Canvas& c, int scale = 1);

bool write_file(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);

}  // namespace art
