// The artwork generator's own parts. Scales must put each mark where the
// host's needle rule points the needle; the rasteriser must cover what a
// shape covers; the quantiser and the bitmap encoder must give the host the
// colours, the transparency key and the layout it reads.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <vector>

#include "font.h"
#include "host/needle_rule.h"
#include "image_files.h"
#include "parts.h"
#include "raster.h"

using namespace art;

namespace {

std::vector<NonlinearityEntry> entries(const std::vector<CalPoint>& pts) {
    std::vector<NonlinearityEntry> e;
    for (const CalPoint& p : pts) e.push_back({int32_t(p.x), int32_t(p.y), p.value, 0});
    return e;
}

void expect_same_as_host(double px, double py, const std::vector<CalPoint>& pts, const std::vector<double>& values) {
    Scale s(px, py, pts);
    std::vector<NonlinearityEntry> e = entries(pts);
    for (double v : values)
        EXPECT_NEAR(s.angle(v), sim::needle_angle(e.data(), unsigned(e.size()), px, py, v), 1e-9) << "value " << v;
}

double coverage_sum(const Canvas& c) {
    double a = 0;
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x) a += c.at(x, y).a;
    return a;
}

uint32_t u32(const std::vector<uint8_t>& d, size_t o) {
    return d[o] | (d[o + 1] << 8) | (d[o + 2] << 16) | (uint32_t(d[o + 3]) << 24);
}

}  // namespace

TEST(ArtworkScale, MarksFollowTheHostNeedleRule) {
    // Airspeed: a hard stop below zero and above 300.
    expect_same_as_host(150, 150,
                        {{-1, 103, 258}, {0, 103, 258}, {40, 80, 245}, {100, 86, 58}, {150, 216, 58}, {250, 218, 246},
                         {300, 132, 262}, {500, 132, 262}},
                        {-50, -1, 0, 20, 40, 70, 100, 125, 150, 200, 250, 280, 300, 400, 900});
    // Oil temperature's left needle, stored in decreasing value order.
    std::vector<CalPoint> left;
    const int pts[13][2] = {{120, 216}, {130, 203}, {133, 191}, {138, 180}, {138, 165}, {140, 150}, {138, 135},
                            {137, 121}, {133, 107}, {131, 95},  {127, 87},  {120, 82},  {120, 82}};
    const double celsius[13] = {0, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 150};
    for (int i = 12; i >= 0; --i) left.push_back({491.67 + 1.8 * celsius[i], double(pts[i][0]), double(pts[i][1])});
    expect_same_as_host(66, 150, left, {400, 491.67, 500, 545.67, 600, 650, 707.67, 740, 800});
    // A two-point clock hand keeps turning beyond its table.
    expect_same_as_host(138, 139, {{0, 138, 39}, {30, 138, 239}}, {-15, 0, 7.5, 30, 45, 60, 125});
    // The synchroscope's decreasing table.
    expect_same_as_host(100, 100, {{100, 100, 10}, {0, 190, 100}, {-100, 100, 190}}, {-200, -100, -50, 0, 50, 100, 200});
}

TEST(ArtworkScale, DistanceFollowsThePointsAndStopsAtTheEnds) {
    Scale s(0, 0, {{0, 10, 0}, {10, 0, 20}});
    EXPECT_DOUBLE_EQ(s.distance(0), 10);
    EXPECT_DOUBLE_EQ(s.distance(5), 15);
    EXPECT_DOUBLE_EQ(s.distance(10), 20);
    EXPECT_DOUBLE_EQ(s.distance(-5), 10);
    EXPECT_DOUBLE_EQ(s.distance(50), 20);
}

TEST(ArtworkRaster, ShapesCoverTheirArea) {
    Canvas c(40, 40);
    c.fill(Path().rect(10, 10, 20, 10), rgb(255, 0, 0));
    EXPECT_NEAR(coverage_sum(c), 200, 1e-6);
    EXPECT_DOUBLE_EQ(c.at(15, 15).a, 1.0);
    EXPECT_DOUBLE_EQ(c.at(5, 5).a, 0.0);
    // A half-pixel edge is half covered.
    Canvas h(10, 10);
    h.fill(Path().rect(2.5, 2, 5, 5), rgb(255, 255, 255));
    EXPECT_NEAR(h.at(2, 4).a, 0.5, 1e-6);
    // A circle's area, and a ring's hole.
    Canvas d(100, 100);
    d.fill(Path().circle(50, 50, 30), rgb(0, 255, 0));
    EXPECT_NEAR(coverage_sum(d), kPi * 900, 15);
    Canvas r(100, 100);
    r.fill(Path().ring(50, 50, 20, 30), rgb(0, 255, 0));
    EXPECT_NEAR(coverage_sum(r), kPi * 500, 15);
    EXPECT_DOUBLE_EQ(r.at(50, 50).a, 0.0);
    // Erasing cuts a fully transparent window.
    d.erase(Path().rect(45, 45, 10, 10));
    EXPECT_DOUBLE_EQ(d.at(50, 50).a, 0.0);
    EXPECT_DOUBLE_EQ(d.at(50, 30).a, 1.0);
}

TEST(ArtworkRaster, ShapesOutsideTheCanvasAreClipped) {
    Canvas c(10, 10);
    c.fill(Path().rect(-100, -100, 300, 300), rgb(1, 2, 3));
    EXPECT_NEAR(coverage_sum(c), 100, 1e-6);
    c.fill(Path().rect(50, 50, 10, 10), rgb(9, 9, 9));
    c.fill(Path(), rgb(9, 9, 9));  // an empty path draws nothing
    EXPECT_NEAR(c.at(5, 5).r, 1 / 255.0, 1e-9);
}

TEST(ArtworkRaster, PolarAnglesAreClockwiseFromUp) {
    Pt up = polar(0, 0, 10, 0), right = polar(0, 0, 10, 90), down = polar(0, 0, 10, 180);
    EXPECT_NEAR(up.y, -10, 1e-9);
    EXPECT_NEAR(right.x, 10, 1e-9);
    EXPECT_NEAR(down.y, 10, 1e-9);
}

TEST(ArtworkImage, TransparencyIsTheBlackKeyAndBlackPaintStaysVisible) {
    Canvas c(4, 1);
    c.at(0, 0) = {0, 0, 0, 0};         // transparent
    c.at(1, 0) = {0, 0, 0, 1};         // black paint
    c.at(2, 0) = {1, 1, 1, 0.4};       // less than half covered: transparent
    c.at(3, 0) = {0.5, 0.25, 1, 0.6};  // more than half: its colour
    IndexedImage img = quantise(c);
    ASSERT_FALSE(img.palette.empty());
    EXPECT_EQ(img.palette[0], kTransparentKey);
    EXPECT_EQ(img.pixels[0], 0);
    EXPECT_EQ(img.pixels[2], 0);
    auto black = img.palette[img.pixels[1]];
    EXPECT_EQ(black, (std::array<uint8_t, 3>{1, 1, 1}));
    auto colour = img.palette[img.pixels[3]];
    EXPECT_EQ(colour, (std::array<uint8_t, 3>{128, 64, 255}));
}

TEST(ArtworkImage, ManyColoursAreReducedToAPaletteOf256WithSmallError) {
    Canvas c(256, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 256; ++x) c.at(x, y) = {x / 255.0, y / 63.0, (x ^ y) / 255.0, 1};
    IndexedImage img = quantise(c);
    EXPECT_LE(img.palette.size(), 256u);
    EXPECT_GT(img.palette.size(), 200u);
    double err = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 256; ++x) {
            auto p = img.palette[img.pixels[size_t(y) * 256 + x]];
            auto want = keyed_rgb(c.at(x, y));
            for (int k = 0; k < 3; ++k) err += std::abs(int(p[k]) - int(want[k]));
        }
    EXPECT_LT(err / (256 * 64 * 3), 8.0);
    // No visible pixel lands on the transparent key.
    for (auto p : img.palette) EXPECT_NE(p, kTransparentKey);
    // The same picture gives the same palette.
    EXPECT_EQ(quantise(c).palette, img.palette);
}

TEST(ArtworkImage, BitmapFilesHaveTheLayoutTheHostReads) {
    Canvas c(5, 3);
    c.fill(Path().rect(0, 0, 5, 1), rgb(255, 0, 0));  // top row red
    c.fill(Path().rect(0, 2, 5, 1), rgb(0, 0, 255));  // bottom row blue
    IndexedImage img = quantise(c);
    std::vector<uint8_t> b = encode_bmp8(img);
    ASSERT_GE(b.size(), 54u);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(u32(b, 2), b.size());
    EXPECT_EQ(u32(b, 14), 40u);  // BITMAPINFOHEADER
    EXPECT_EQ(u32(b, 18), 5u);
    EXPECT_EQ(u32(b, 22), 3u);
    EXPECT_EQ(b[28], 8);
    EXPECT_EQ(u32(b, 30), 0u);  // uncompressed
    uint32_t colours = u32(b, 46);
    EXPECT_EQ(colours, img.palette.size());
    uint32_t offset = u32(b, 10);
    EXPECT_EQ(offset, 54 + 4 * colours);
    EXPECT_EQ(b.size(), offset + 8 * 3);  // rows padded to 8 bytes
    // Rows bottom-up: the first stored row is the blue one.
    uint8_t first = b[offset];
    EXPECT_EQ(b[54 + 4 * first + 0], 255);  // blue channel of that entry
    EXPECT_EQ(b[54 + 4 * first + 2], 0);

    std::vector<uint8_t> t = encode_bmp24(c);
    EXPECT_EQ(t[28], 24);
    EXPECT_EQ(u32(t, 10), 54u);
    EXPECT_EQ(t.size(), 54u + 16 * 3);  // 15 bytes a row padded to 16
    EXPECT_EQ(t[54 + 0], 255);          // bottom row first, blue
    EXPECT_EQ(t[54 + 32 + 2], 255);     // top row last, red
}

TEST(ArtworkFonts, TextIsOutlinedAndAMissingFontIsNamed) {
    Fonts f;
    std::string error;
    ASSERT_TRUE(f.open(MORVANE_FONT_DIR, error)) << error;
    double one = 0, three = 0;
    Path p = f.text(FontStyle::SansBold, "8", 20, &one);
    f.text(FontStyle::SansBold, "888", 20, &three);
    EXPECT_FALSE(p.empty());
    EXPECT_NEAR(three, 3 * one, 1e-9);
    double x0, y0, x1, y1;
    p.bounds(x0, y0, x1, y1);
    EXPECT_NEAR(y1 - y0, 0.729 * 20, 1.0);  // digit height
    Canvas c(40, 30);
    draw_text(c, f, FontStyle::SansBold, "8", 20, 20, 15, colours::paint);
    EXPECT_GT(coverage_sum(c), 40);
    EXPECT_LT(c.at(0, 0).a, 0.01);

    Fonts none;
    EXPECT_FALSE(none.open("/nonexistent/fonts", error));
    EXPECT_NE(error.find("/nonexistent/fonts/DejaVuSans.ttf"), std::string::npos) << error;
}
