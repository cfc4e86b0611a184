// The module's bitmaps as the host draws them: looked up by resource
// identifier (or by name for the spare button faces) in a loaded module,
// through the platform's resource functions, and decoded from the
// uncompressed DIB the module holds into RGBA pixels.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sim {

class LoadedModule;

struct BitmapInfo {
    int32_t width = 0, height = 0;
    int bits = 0;  // bits per pixel as stored: 8 (palettized) or 24
};

struct Bitmap {
    BitmapInfo info;
    // width × height pixels, top row first, 4 bytes each: red, green, blue,
    // alpha (always 255; the host's own transparency rule is the drawer's).
    std::vector<uint8_t> rgba;
};

// Size and depth of bitmap `id` of the module, without decoding its pixels.
// Nullopt, with `error` set to a line naming the module and the identifier,
// when the bitmap is missing or malformed.
std::optional<BitmapInfo> bitmap_info(const LoadedModule& module, int32_t id, std::string* error = nullptr);
// The whole bitmap, decoded.
std::optional<Bitmap> load_bitmap(const LoadedModule& module, int32_t id, std::string* error = nullptr);
// A bitmap stored under a name (BMP_BOMB_TOGGLE and the other spare faces).
std::optional<Bitmap> load_named_bitmap(const LoadedModule& module, const std::string& name,
                                        std::string* error = nullptr);

// Decodes a DIB (bitmap info header, palette, pixels) as a module holds it;
// nullopt with `error` saying what is wrong when it is malformed.
std::optional<Bitmap> decode_dib(const uint8_t* data, size_t size, std::string* error = nullptr);

}  // namespace sim

struct GaugeHeader;

namespace sim {

// Every bitmap the gauge's element chain draws, checked against the
// module's resources: each bitmap exists; an icon finds all of its images
// (its identifier and the following ones); a moving image or a sprite finds
// its picture n and its window n + 1; static images and icons lie within
// the background, and a moving image's picture covers its window. One line
// per problem, naming the gauge and the identifier; empty when all is well.
std::vector<std::string> element_bitmap_problems(const LoadedModule& module, const GaugeHeader& gauge);

class Placement;
// Sets the placement's width and height from its background (the first
// element's bitmap), or says in its background_problem why it cannot.
void learn_background_size(Placement& p);

}  // namespace sim
