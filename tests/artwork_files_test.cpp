// The committed artwork of Morvane_Instr as the host loads it: every bitmap
// of the resource list exists as an uncompressed device-independent bitmap
// of its size and depth, and the pictures show what the instruments need:
// transparent glass over the needles, needles along +x from their pivots,
// distinct images for each state of an icon, scale marks where the needles
// point for their calibration values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string source_dir() {
    const char* env = std::getenv("MORVANE_SOURCE_DIR");
    return env ? env : MORVANE_SOURCE_DIR;
}

struct ListedBitmap {
    std::string name;
    int width, height, bits;
};

std::vector<ListedBitmap> listed_bitmaps() {
    std::ifstream in(source_dir() + "/resources/bitmap_sizes.txt");
    std::vector<ListedBitmap> out;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream ls(line);
        ListedBitmap b;
        if (ls >> b.name >> b.width >> b.height >> b.bits) out.push_back(b);
    }
    return out;
}

// A decoded bitmap file: RGB per pixel, top row first; transparent where the
// pixel is the host's colour key, pure black.
struct Picture {
    bool ok = false;
    std::string problem;
    int width = 0, height = 0, bits = 0;
    uint32_t palette_size = 0;
    std::vector<uint32_t> rgb;
    uint32_t at(int x, int y) const { return rgb[static_cast<size_t>(y) * width + x]; }
    bool visible(int x, int y) const { return at(x, y) != 0; }
    int brightness(int x, int y) const {
        uint32_t c = at(x, y);
        return ((c >> 16) & 0xFF) + ((c >> 8) & 0xFF) + (c & 0xFF);
    }
};

uint32_t u32(const std::vector<uint8_t>& d, size_t o) {
    return d[o] | (d[o + 1] << 8) | (d[o + 2] << 16) | (uint32_t(d[o + 3]) << 24);
}
uint16_t u16(const std::vector<uint8_t>& d, size_t o) { return static_cast<uint16_t>(d[o] | (d[o + 1] << 8)); }

Picture load(const std::string& name) {
    Picture p;
    std::ifstream in(source_dir() + "/resources/bitmaps/" + name + ".bmp", std::ios::binary);
    if (!in) {
        p.problem = "missing";
        return p;
    }
    std::vector<uint8_t> d((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (d.size() < 54 || d[0] != 'B' || d[1] != 'M') {
        p.problem = "not a bitmap file";
        return p;
    }
    if (u32(d, 2) != d.size()) p.problem = "file size field wrong";
    uint32_t offset = u32(d, 10);
    if (u32(d, 14) != 40) p.problem = "not a BITMAPINFOHEADER";
    p.width = static_cast<int32_t>(u32(d, 18));
    int32_t h = static_cast<int32_t>(u32(d, 22));
    p.height = h < 0 ? -h : h;
    p.bits = u16(d, 28);
    if (u16(d, 26) != 1) p.problem = "planes not 1";
    if (u32(d, 30) != 0) p.problem = "compressed";
    p.palette_size = u32(d, 46);
    if (p.bits == 8 && p.palette_size == 0) p.palette_size = 256;
    if (p.bits == 8 && p.palette_size > 256) p.problem = "palette over 256 entries";
    if (offset != 54 + (p.bits == 8 ? 4 * p.palette_size : 0)) p.problem = "pixel offset wrong";
    size_t stride = ((static_cast<size_t>(p.width) * p.bits / 8) + 3) & ~size_t(3);
    if (d.size() < offset + stride * p.height) {
        p.problem = "pixel data short";
        return p;
    }
    if (!p.problem.empty()) return p;
    p.rgb.resize(static_cast<size_t>(p.width) * p.height);
    for (int y = 0; y < p.height; ++y) {
        int row = h > 0 ? p.height - 1 - y : y;
        const uint8_t* r = &d[offset + stride * row];
        for (int x = 0; x < p.width; ++x) {
            uint32_t c;
            if (p.bits == 8) {
                if (r[x] >= p.palette_size) {
                    p.problem = "pixel index beyond the palette";
                    return p;
                }
                size_t e = 54 + 4 * r[x];
                c = (uint32_t(d[e + 2]) << 16) | (d[e + 1] << 8) | d[e];
            } else {
                c = (uint32_t(r[3 * x + 2]) << 16) | (r[3 * x + 1] << 8) | r[3 * x];
            }
            p.rgb[static_cast<size_t>(y) * p.width + x] = c;
        }
    }
    p.ok = true;
    return p;
}

const Picture& picture(const std::string& name) {
    static std::map<std::string, Picture> cache;
    auto it = cache.find(name);
    if (it == cache.end()) it = cache.emplace(name, load(name)).first;
    return it->second;
}
const Picture& picture(int id) { return picture(std::to_string(id)); }

int visible_count(const Picture& p) {
    int n = 0;
    for (uint32_t c : p.rgb) n += c != 0;
    return n;
}

// The point at a needle angle (degrees clockwise from up) and radius.
void polar(double cx, double cy, double r, double deg, int& x, int& y) {
    double t = deg * 3.141592653589793 / 180.0;
    x = static_cast<int>(std::lround(cx + r * std::sin(t)));
    y = static_cast<int>(std::lround(cy - r * std::cos(t)));
}

double point_angle(double px, double py, double x, double y) {
    double a = std::atan2(x - px, -(y - py)) * 180.0 / 3.141592653589793;
    return a < 0 ? a + 360 : a;
}

// Whether a light mark stands within a degree of the direction of (x, y)
// seen from the pivot, somewhere between radii r0 and r1.
bool mark_towards(const Picture& p, double px, double py, double x, double y, double r0, double r1) {
    double a = point_angle(px, py, x, y);
    for (double da = -1.0; da <= 1.0; da += 0.25)
        for (double r = r0; r <= r1; r += 1) {
            int qx, qy;
            polar(px, py, r, a + da, qx, qy);
            if (qx >= 0 && qy >= 0 && qx < p.width && qy < p.height && p.brightness(qx, qy) > 600) return true;
        }
    return false;
}

}  // namespace

TEST(ArtworkFiles, EveryListedBitmapExistsWithItsSizeAndDepth) {
    std::vector<ListedBitmap> list = listed_bitmaps();
    ASSERT_EQ(list.size(), 258u);
    int true_colour = 0;
    for (const ListedBitmap& b : list) {
        const Picture& p = picture(b.name);
        ASSERT_TRUE(p.ok) << b.name << ".bmp: " << p.problem;
        EXPECT_EQ(p.width, b.width) << b.name;
        EXPECT_EQ(p.height, b.height) << b.name;
        EXPECT_EQ(p.bits, b.bits) << b.name;
        true_colour += p.bits == 24;
        EXPECT_GT(visible_count(p), 0) << b.name << " shows nothing";
    }
    EXPECT_EQ(true_colour, 1);
    EXPECT_EQ(picture(60).bits, 24);
}

TEST(ArtworkFiles, GlassCoversAreTransparentOverTheNeedles) {
    // Glass and bezel overlays: see-through across the dial, opaque at the rim.
    struct Glass {
        int id;
        int clear_x, clear_y, rim_x, rim_y;
    };
    for (Glass g : {Glass{290, 150, 60, 150, 297}, Glass{390, 60, 150, 2, 150}, Glass{260, 200, 100, 150, 297},
                    Glass{1130, 150, 60, 150, 297}, Glass{1180, 150, 60, 150, 297}, Glass{2210, 150, 100, 150, 297},
                    Glass{3270, 152, 60, 152, 307}, Glass{2490, 100, 40, 100, 197}}) {
        const Picture& p = picture(g.id);
        ASSERT_TRUE(p.ok) << g.id;
        EXPECT_FALSE(p.visible(g.clear_x, g.clear_y)) << g.id << " hides the dial";
        EXPECT_TRUE(p.visible(g.rim_x, g.rim_y)) << g.id << " has no bezel";
    }
    // The airspeed glass hides almost nothing inside its rim.
    const Picture& asi = picture(290);
    int hidden = 0;
    for (int y = 40; y < 260; ++y)
        for (int x = 40; x < 260; ++x) hidden += asi.visible(x, y) && std::hypot(x - 150, y - 150) < 110;
    EXPECT_LT(hidden, 250);
}

TEST(ArtworkFiles, NeedlesPointAlongPlusXFromTheirPivots) {
    struct Needle {
        int id;
        int pivot_x, pivot_y;
    };
    for (Needle n : {Needle{280, 43, 28}, Needle{380, 65, 12}, Needle{1010, 10, 10}, Needle{250, 45, 16},
                     Needle{2170, 42, 21}, Needle{2330, 12, 9}, Needle{3240, 14, 14}, Needle{2370, 7, 7},
                     Needle{2420, 30, 7}, Needle{1160, 123, 20}, Needle{2200, 0, 2}}) {
        const Picture& p = picture(n.id);
        ASSERT_TRUE(p.ok) << n.id;
        // Along the pivot's row, nearly out to the right edge.
        int reach = n.pivot_x;
        for (int x = n.pivot_x; x < p.width; ++x)
            if (p.visible(x, n.pivot_y)) reach = x;
        EXPECT_GE(reach, p.width - 9) << n.id << " stops short of its tip";
        // Above and below the blade, far from the pivot, nothing (a needle
        // only a blade's width tall is all blade).
        if (p.height < 10) continue;
        int far_x = n.pivot_x + (p.width - n.pivot_x) * 3 / 4;
        EXPECT_FALSE(p.visible(far_x, 0)) << n.id;
        EXPECT_FALSE(p.visible(far_x, p.height - 1)) << n.id;
    }
}

TEST(ArtworkFiles, ScaleMarksStandWhereTheNeedlesPointForTheirCalibrationValues) {
    // Airspeed 40, 100, 150, 250, 300.
    const Picture& asi = picture(270);
    for (auto [x, y] : {std::pair{80, 245}, {86, 58}, {216, 58}, {218, 246}, {132, 262}})
        EXPECT_TRUE(mark_towards(asi, 150, 150, x, y, 100, 119)) << "airspeed mark toward " << x << "," << y;
    // Tachometer 2000 and 4000 rpm.
    const Picture& tach = picture(240);
    EXPECT_TRUE(mark_towards(tach, 151, 151, 109, 40, 100, 119));
    EXPECT_TRUE(mark_towards(tach, 151, 151, 212, 253, 100, 119));
    // Manifold pressure 800, 1000, 1400, 1800 mbar.
    const Picture& map = picture(2160);
    for (auto [x, y] : {std::pair{30, 158}, {54, 88}, {194, 48}, {264, 183}})
        EXPECT_TRUE(mark_towards(map, 152, 153, x, y, 102, 120)) << "manifold mark toward " << x << "," << y;
    // Oil temperature, both needles, 60 degrees.
    const Picture& oil = picture(2190);
    EXPECT_TRUE(mark_towards(oil, 241, 150, 166, 150, 60, 76));
    EXPECT_TRUE(mark_towards(oil, 66, 150, 140, 150, 60, 76));
    // Suction 0, 5 and 10.
    const Picture& suction = picture(2310);
    for (auto [x, y] : {std::pair{92, 240}, {150, 55}, {206, 238}})
        EXPECT_TRUE(mark_towards(suction, 150, 150, x, y, 100, 119));
    // Outside air temperature -70 and 50.
    const Picture& oat = picture(2280);
    EXPECT_TRUE(mark_towards(oat, 154, 222, 51, 122, 126, 145));
    EXPECT_TRUE(mark_towards(oat, 154, 222, 257, 123, 126, 145));
}

TEST(ArtworkFiles, EachStateOfAnIconLooksDifferent) {
    auto differ = [](int a, int b) {
        const Picture& p = picture(a);
        const Picture& q = picture(b);
        return p.ok && q.ok && p.rgb != q.rgb;
    };
    // Switches and handles: off and on.
    for (int id : {1360, 1380, 1430, 1490, 2040, 2050, 2120, 3080, 3150, 4090, 4150, 4170, 4240, 4250, 4260, 4270,
                   4280, 4290, 4300, 4310})
        EXPECT_TRUE(differ(id, id + 1)) << id;
    // COM digit wheels 0..9 and channel wheel: every image its own.
    for (int a = 1440; a <= 1449; ++a)
        for (int b = a + 1; b <= 1449; ++b) EXPECT_TRUE(differ(a, b)) << a << " " << b;
    for (int a = 1450; a <= 1453; ++a)
        for (int b = a + 1; b <= 1453; ++b) EXPECT_TRUE(differ(a, b)) << a << " " << b;
    // Starting-box selector heights, trim wheel frames, marker lamps.
    for (int a = 4190; a < 4195; ++a) EXPECT_TRUE(differ(a, a + 1)) << a;
    for (int a = 4080; a < 4083; ++a) EXPECT_TRUE(differ(a, a + 1)) << a;
    for (int a = 3100; a < 3104; ++a) EXPECT_TRUE(differ(a, a + 1)) << a;
    EXPECT_TRUE(differ(3201, 3202));
    // A lamp shown lit is brighter than its unlit place on the background.
    const Picture& lit = picture(3220);
    const Picture& dark = picture(3210);
    EXPECT_GT(lit.brightness(19, 19), dark.brightness(19, 19) + 150);
}

TEST(ArtworkFiles, DrumStripsHaveOneCellPerDigitStep) {
    // Strip height = window height + travel; travel / steps = cell height.
    struct Drum {
        int id, steps;
    };
    for (Drum d : {Drum{1020, 10}, Drum{1040, 10}, Drum{1060, 10}, Drum{2010, 10}, Drum{2020, 1}, Drum{2110, 10}}) {
        const Picture& strip = picture(d.id);
        const Picture& window = picture(d.id + 1);
        ASSERT_TRUE(strip.ok && window.ok) << d.id;
        EXPECT_EQ(strip.width, window.width) << d.id;
        EXPECT_EQ((strip.height - window.height) % d.steps, 0) << d.id;
        // The window lets the whole cell through.
        EXPECT_EQ(visible_count(window), window.width * window.height) << d.id;
        // Each cell carries a light figure at its centre row band.
        int cell = (strip.height - window.height) / d.steps;
        for (int k = 0; k <= d.steps; ++k) {
            int centre = window.height / 2 + k * cell, light = 0;
            for (int y = centre - 3; y <= centre + 3; ++y)
                for (int x = 0; x < strip.width; ++x) light += strip.brightness(x, y) > 500;
            EXPECT_GT(light, 2) << d.id << " cell " << k;
        }
    }
}

TEST(ArtworkFiles, ButtonFacesCarryAReadableGlyph) {
    std::vector<std::string> faces = {"70", "80", "110", "120", "130", "140", "150", "160", "BMP_BOMB_TOGGLE",
                                      "BMP_ELEC_TOGGLE", "BMP_FUEL_TOGGLE", "BMP_GEAR_TOGGLE", "BMP_NAV_TOGGLE",
                                      "BMP_OVERHEAD_TOGGLE", "BMP_STARTER_TOGGLE", "BMP_YOKE_TOGGLE"};
    for (const std::string& f : faces) {
        const Picture& p = picture(f);
        ASSERT_TRUE(p.ok) << f;
        int light = 0;
        for (int y = 3; y < p.height - 3; ++y)
            for (int x = 3; x < p.width - 3; ++x) light += p.brightness(x, y) > 560;
        EXPECT_GT(light, 4) << f << " has no glyph";
        EXPECT_TRUE(p.visible(0, 0) && p.visible(p.width - 1, p.height - 1)) << f << " is not a full face";
    }
}
