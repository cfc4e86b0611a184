// morvane-app-icon: draws the live panel's home-screen icon (an artificial
// horizon on the panel's dark face) as a PNG of the given size. The icons
// the page serves (web/page/icon-192.png, icon-512.png) are committed; run
// it again after changing the drawing:
//
//   morvane-app-icon web/page/icon-192.png 192
//   morvane-app-icon web/page/icon-512.png 512
//
// The picture is opaque to its edges with everything that matters inside
// the middle 80 %, so that a home screen may cut it to a circle or a
// rounded square. The same size always gives the same bytes.
#include <png.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "raster.h"

namespace {

constexpr int kMinSize = 16, kMaxSize = 1024;

// Drawn on a 512-unit square, scaled to the canvas.
void draw_icon(art::Canvas& c) {
    const double k = c.width() / 512.0;
    const art::Affine to_canvas = art::Affine::scale(k, k);
    auto fill = [&](const art::Path& p, art::Color colour) { c.fill(p.transformed(to_canvas), colour); };
    auto fill_paint = [&](const art::Path& p, const art::Paint& paint) { c.fill(p.transformed(to_canvas), paint); };
    const double cx = 256, cy = 256, face = 176;

    fill(art::Path().rect(0, 0, 512, 512), art::rgb(26, 26, 28));
    // The bezel, lit from above.
    fill_paint(art::Path().ring(cx, cy, face, 198),
               art::linear({0, 58 * k}, art::rgb(150, 152, 158), {0, 454 * k}, art::rgb(52, 54, 58)));
    // Sky, then the ground over the lower half of the face.
    fill_paint(art::Path().circle(cx, cy, face),
               art::linear({0, 80 * k}, art::rgb(24, 84, 170), {0, 256 * k}, art::rgb(70, 140, 220)));
    std::vector<art::Pt> ground;
    for (int deg = 90; deg <= 270; deg += 3) ground.push_back(art::polar(cx, cy, face, deg));
    fill_paint(art::Path().polygon(ground),
               art::linear({0, 256 * k}, art::rgb(150, 98, 48), {0, 432 * k}, art::rgb(92, 58, 26)));
    const art::Color white = art::rgb(240, 240, 236);
    fill(art::Path().rect(cx - face, cy - 3, 2 * face, 6), white);
    // The pitch ladder and the bank scale.
    for (int step : {-2, -1, 1, 2}) {
        double half = step % 2 ? 30 : 48;
        fill(art::Path().rect(cx - half, cy + step * 38 - 2.5, 2 * half, 5), white);
    }
    for (int deg : {-60, -30, -20, -10, 10, 20, 30, 60})
        fill(art::Path().tick(cx, cy, face - 26, face - 4, deg, deg % 30 ? 5 : 8), white);
    fill(art::Path().polygon({{cx, cy - face + 30}, {cx - 13, cy - face + 6}, {cx + 13, cy - face + 6}}), white);
    // The miniature aeroplane.
    const art::Color orange = art::rgb(245, 160, 32);
    fill(art::Path().capsule(cx - 118, cy + 10, cx - 40, cy + 10, 12), orange);
    fill(art::Path().capsule(cx + 40, cy + 10, cx + 118, cy + 10, 12), orange);
    fill(art::Path().polygon({{cx - 40, cy + 4}, {cx, cy + 30}, {cx + 40, cy + 4}, {cx + 40, cy + 16}, {cx, cy + 42},
                              {cx - 40, cy + 16}}),
         orange);
    fill(art::Path().circle(cx, cy + 10, 7), orange);
}

bool write_png(const art::Canvas& c, const std::string& path, std::string& error) {
    std::string temp = path + ".tmp";
    FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    std::vector<png_byte> rows(static_cast<size_t>(c.width()) * c.height() * 3);
    volatile bool ok = png && info;  // kept across a longjmp from libpng
    if (ok && setjmp(png_jmpbuf(png))) ok = false;
    if (ok) {
        for (int y = 0; y < c.height(); ++y)
            for (int x = 0; x < c.width(); ++x) {
                const art::Color& p = c.at(x, y);
                png_byte* out = &rows[(static_cast<size_t>(y) * c.width() + x) * 3];
                for (double v : {p.r, p.g, p.b}) *out++ = png_byte(std::lround(std::min(1.0, std::max(0.0, v)) * 255));
            }
        png_init_io(png, f);
        png_set_IHDR(png, info, c.width(), c.height(), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_set_compression_level(png, 9);
        png_write_info(png, info);
        for (int y = 0; y < c.height(); ++y) png_write_row(png, &rows[static_cast<size_t>(y) * c.width() * 3]);
        png_write_end(png, nullptr);
    }
    png_destroy_write_struct(&png, &info);
    if (std::fclose(f) != 0) ok = false;
    if (!ok || std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        error = "cannot write " + path;
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: morvane-app-icon OUT.png SIZE\n");
        return 2;
    }
    char* end = nullptr;
    errno = 0;
    long size = std::strtol(argv[2], &end, 10);
    if (errno || end == argv[2] || *end || size < kMinSize || size > kMaxSize) {
        std::fprintf(stderr, "morvane-app-icon: size '%.20s' is not a whole number from %d to %d\n", argv[2], kMinSize,
                     kMaxSize);
        return 2;
    }
    art::Canvas canvas(static_cast<int>(size), static_cast<int>(size));
    draw_icon(canvas);
    std::string error;
    if (!write_png(canvas, argv[1], error)) {
        std::fprintf(stderr, "morvane-app-icon: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
