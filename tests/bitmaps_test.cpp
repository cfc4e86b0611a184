// The module's bitmaps as the host finds and decodes them: every element of
// every gauge finds its images with sizes that fit, placements learn their
// background size, and malformed bitmaps are refused with a clear message.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "host/bitmaps.h"
#include "host/sim_host.h"

namespace {

struct Size {
    int32_t width, height;
    int bits;
};

// The bitmap table of resources/, numbered bitmaps only.
std::map<int32_t, Size> size_table() {
    std::map<int32_t, Size> table;
    std::ifstream in(std::string(MORVANE_SOURCE_DIR) + "/resources/bitmap_sizes.txt");
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#' || !std::isdigit(static_cast<unsigned char>(line[0]))) continue;
        std::istringstream fields(line);
        int32_t id;
        Size s;
        fields >> id >> s.width >> s.height >> s.bits;
        table[id] = s;
    }
    return table;
}

class ModuleBitmaps : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        module = host.load_module(MORVANE_MODULE_PATH, &error);
        ASSERT_NE(module, nullptr) << error;
        ASSERT_TRUE(sim::bitmap_info(*module, 40, &error)) << error;
    }
    sim::SimHost host;
    sim::LoadedModule* module = nullptr;
};

}  // namespace

TEST_F(ModuleBitmaps, EveryBitmapHasTheSizeAndDepthOfTheTable) {
    auto table = size_table();
    ASSERT_EQ(table.size(), 250u);
    for (const auto& [id, size] : table) {
        std::string error;
        auto info = sim::bitmap_info(*module, id, &error);
        ASSERT_TRUE(info) << error;
        EXPECT_EQ(info->width, size.width) << id;
        EXPECT_EQ(info->height, size.height) << id;
        EXPECT_EQ(info->bits, size.bits) << id;
    }
    for (const char* name : {"BMP_BOMB_TOGGLE", "BMP_ELEC_TOGGLE", "BMP_FUEL_TOGGLE", "BMP_GEAR_TOGGLE",
                             "BMP_NAV_TOGGLE", "BMP_OVERHEAD_TOGGLE", "BMP_STARTER_TOGGLE", "BMP_YOKE_TOGGLE"}) {
        std::string error;
        auto bitmap = sim::load_named_bitmap(*module, name, &error);
        ASSERT_TRUE(bitmap) << error;
        EXPECT_EQ(bitmap->info.width, 19);
        EXPECT_EQ(bitmap->info.height, 19);
    }
}

TEST_F(ModuleBitmaps, EveryElementOfEveryGaugeFindsItsBitmapsWithSizesThatFit) {
    size_t gauges = 0;
    for (GaugeHeader* gauge : module->gauges()) {
        for (const std::string& problem : sim::element_bitmap_problems(*module, *gauge)) ADD_FAILURE() << problem;
        ++gauges;
    }
    EXPECT_EQ(gauges, 50u);
}

TEST_F(ModuleBitmaps, PlacementsLearnTheirSizeFromTheirBackground) {
    for (GaugeHeader* gauge : module->gauges()) {
        if (!gauge->elements || !gauge->elements[0]) continue;  // a gauge still without elements
        sim::Placement* p = host.place(gauge->name, nullptr);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->background_problem, "") << gauge->name;
        auto info = sim::bitmap_info(*module, p->header()->elements[0]->bitmap);
        ASSERT_TRUE(info) << gauge->name;
        EXPECT_EQ(p->width, info->width) << gauge->name;
        EXPECT_EQ(p->height, info->height) << gauge->name;
    }
}

TEST_F(ModuleBitmaps, DecodedPixelsAreTheFilesPixels) {
    // Bitmap 60 is the one 24-bit image; the file's rows run bottom-up.
    std::ifstream in(std::string(MORVANE_SOURCE_DIR) + "/resources/bitmaps/60.bmp", std::ios::binary);
    std::vector<uint8_t> file{std::istreambuf_iterator<char>(in), {}};
    ASSERT_GT(file.size(), 54u);
    auto bitmap = sim::load_bitmap(*module, 60);
    ASSERT_TRUE(bitmap);
    ASSERT_EQ(bitmap->rgba.size(), 19u * 19u * 4u);
    uint32_t offset;
    std::memcpy(&offset, &file[10], 4);
    int32_t height;
    std::memcpy(&height, &file[22], 4);
    const size_t stride = (19 * 3 + 3) / 4 * 4;
    for (int y = 0; y < 19; ++y)
        for (int x = 0; x < 19; ++x) {
            size_t row = height > 0 ? size_t(18 - y) : size_t(y);
            const uint8_t* bgr = &file[offset + row * stride + size_t(x) * 3];
            const uint8_t* rgba = &bitmap->rgba[(size_t(y) * 19 + size_t(x)) * 4];
            ASSERT_EQ(rgba[0], bgr[2]);
            ASSERT_EQ(rgba[1], bgr[1]);
            ASSERT_EQ(rgba[2], bgr[0]);
            ASSERT_EQ(rgba[3], 255);
        }
}

namespace {

// Test gauges whose elements ask for bitmaps that are not there or do not
// fit, to see the check name the gauge and the identifier.
StaticImageElement background = {.header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 3190}};  // 40x158
IconElement icon_past_end = {.header = {.kind = ELEMENT_ICON, .bitmap = 3200}, .image_count = 4};
StaticImageElement too_wide = {.header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 3210, .x = 10, .y = 0}};
MovingImageElement window_missing = {.header = {.kind = ELEMENT_MOVING_IMAGE, .bitmap = 1030}};
SpriteElement sprite_ok = {.header = {.kind = ELEMENT_SPRITE, .bitmap = 310}};
NeedleElement needle_missing = {.header = {.kind = ELEMENT_NEEDLE, .bitmap = 9990}};
StringElement text = {.header = {.kind = ELEMENT_STRING, .bitmap = -1}};

ElementHeader* const text_list[] = {&text.header, nullptr};
ElementHeader* const needle_list[] = {&needle_missing.header, nullptr};
ElementHeader* const sprite_list[] = {&sprite_ok.header, nullptr};
ElementHeader* const window_list[] = {&window_missing.header, nullptr};
ElementHeader* const wide_list[] = {&too_wide.header, nullptr};
ElementHeader* const icon_list[] = {&icon_past_end.header, nullptr};
ElementHeader* const background_list[] = {&background.header, nullptr};

GaugeHeader broken_gauge = {.version = GAUGE_HEADER_VERSION, .name = "Broken_Test_Gauge", .elements = background_list};
GaugeHeader missing_background = {.version = GAUGE_HEADER_VERSION, .name = "No_Background", .elements = needle_list};

}  // namespace

TEST_F(ModuleBitmaps, TheCheckNamesTheGaugeAndTheBitmapOfEachProblem) {
    background.header.next = icon_list;
    icon_past_end.header.next = wide_list;
    too_wide.header.next = window_list;
    window_missing.header.next = sprite_list;
    sprite_ok.header.next = needle_list;
    needle_missing.header.next = text_list;
    auto problems = sim::element_bitmap_problems(*module, broken_gauge);
    ASSERT_EQ(problems.size(), 4u) << ::testing::PrintToString(problems);
    EXPECT_NE(problems[0].find("Broken_Test_Gauge: icon on 3200, image 3"), std::string::npos) << problems[0];
    EXPECT_NE(problems[0].find("bitmap 3203 is missing"), std::string::npos) << problems[0];
    EXPECT_NE(problems[1].find("Broken_Test_Gauge: static image 3210 (38x38 at 10,0) runs past the background (40x158)"),
              std::string::npos)
        << problems[1];
    EXPECT_NE(problems[2].find("bitmap 1031 is missing"), std::string::npos) << problems[2];
    EXPECT_NE(problems[3].find("bitmap 9990 is missing"), std::string::npos) << problems[3];
}

TEST_F(ModuleBitmaps, APlacementWithoutItsBackgroundSaysWhich) {
    needle_missing.header.next = nullptr;
    std::string error;
    sim::Placement* p = host.place_header(module, &missing_background, nullptr, &error);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->width, 0);
    EXPECT_NE(p->background_problem.find("No_Background: background:"), std::string::npos);
    EXPECT_NE(p->background_problem.find("bitmap 9990 is missing"), std::string::npos) << p->background_problem;
    EXPECT_FALSE(sim::load_bitmap(*module, 0, &error));
    EXPECT_NE(error.find("bitmap 0 is missing"), std::string::npos);
    EXPECT_FALSE(sim::load_bitmap(*module, 70000, &error));
    EXPECT_FALSE(sim::load_named_bitmap(*module, "#40", &error));  // names only
    EXPECT_FALSE(sim::load_named_bitmap(*module, "BMP_NO_SUCH_TOGGLE", &error));
    EXPECT_NE(error.find("bitmap BMP_NO_SUCH_TOGGLE is missing"), std::string::npos);
}

// Identifiers outside 1..65535 are no resource identifiers (above, the
// number would be read as the address of a name), and names of digits or
// "#n" would ask for a numbered bitmap: each is refused before any search,
// and says so.
TEST_F(ModuleBitmaps, WhatIsNoIdentifierOrNoNameIsRefusedAsSuch) {
    const std::string path = module->path();
    for (int32_t id : {0, -1, -40, 65536, 0x7FFFFFFF}) {
        std::string error, loading;
        EXPECT_FALSE(sim::bitmap_info(*module, id, &error)) << id;
        EXPECT_EQ(error, path + ": bitmap " + std::to_string(id) + " is missing (not a resource identifier)");
        EXPECT_FALSE(sim::load_bitmap(*module, id, &loading)) << id;
        EXPECT_EQ(loading, error);
    }
    // The ends of the range are identifiers, looked for (the module has
    // neither).
    for (int32_t id : {1, 65535}) {
        std::string error;
        EXPECT_FALSE(sim::bitmap_info(*module, id, &error));
        EXPECT_EQ(error, path + ": bitmap " + std::to_string(id) + " is missing");
    }
    for (const char* name : {"", "#40", "40", "0065535"}) {
        std::string why;
        EXPECT_FALSE(sim::load_named_bitmap(*module, name, &why)) << name;
        EXPECT_EQ(why, path + ": bitmap " + name + " is missing (not a resource name)");
    }
}

// The first element of the chain is the background, whatever its size: an
// image larger than it is named against it, and a background that is
// missing is named as the background.
TEST_F(ModuleBitmaps, TheFirstElementIsTheBackgroundTheOthersAreCheckedAgainst) {
    StaticImageElement small_background{.header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 40}};  // 5x5
    StaticImageElement larger{.header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 70}};  // 12x12, at 0,0
    ElementHeader* const larger_list[] = {&larger.header, nullptr};
    small_background.header.next = larger_list;
    ElementHeader* const chain[] = {&small_background.header, nullptr};
    GaugeHeader gauge = {.version = GAUGE_HEADER_VERSION, .name = "Small_Face", .elements = chain};
    EXPECT_EQ(sim::element_bitmap_problems(*module, gauge),
              (std::vector<std::string>{"Small_Face: static image 70 (12x12 at 0,0) runs past the background (5x5)"}));

    StaticImageElement missing{.header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 9990}};
    ElementHeader* const missing_chain[] = {&missing.header, nullptr};
    GaugeHeader no_face = {.version = GAUGE_HEADER_VERSION, .name = "No_Face", .elements = missing_chain};
    EXPECT_EQ(sim::element_bitmap_problems(*module, no_face),
              (std::vector<std::string>{"No_Face: background: " + module->path() + ": bitmap 9990 is missing"}));
}

// ------------------------------------------------------------ decoding

namespace {

std::vector<uint8_t> dib(int32_t width, int32_t height, int bits, uint32_t colours = 0) {
    uint32_t palette = bits == 8 ? (colours ? colours : 256) : 0;
    uint32_t stride = (uint32_t(width) * bits + 31) / 32 * 4;
    uint32_t rows = uint32_t(height < 0 ? -height : height);
    std::vector<uint8_t> b(40 + palette * 4 + stride * rows, 0);
    auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&b[at], &v, 4); };
    put32(0, 40);
    put32(4, uint32_t(width));
    put32(8, uint32_t(height));
    b[12] = 1;
    b[14] = uint8_t(bits);
    put32(32, colours);
    for (uint32_t i = 0; i < palette; ++i) {
        b[40 + i * 4] = uint8_t(i);            // blue
        b[40 + i * 4 + 1] = uint8_t(255 - i);  // green
        b[40 + i * 4 + 2] = uint8_t(i / 2);    // red
    }
    return b;
}

}  // namespace

TEST(DibDecoding, PalettizedRowsRunBottomUpUnlessTheHeightIsNegative) {
    for (int32_t height : {2, -2}) {
        std::vector<uint8_t> b = dib(3, height, 8);
        size_t pixels = 40 + 256 * 4;
        b[pixels] = 10;  // first stored row, first pixel
        b[pixels + 4 + 2] = 200;  // second stored row, third pixel
        std::string error;
        auto bitmap = sim::decode_dib(b.data(), b.size(), &error);
        ASSERT_TRUE(bitmap) << error;
        EXPECT_EQ(bitmap->info.width, 3);
        EXPECT_EQ(bitmap->info.height, 2);
        EXPECT_EQ(bitmap->info.bits, 8);
        size_t first = height > 0 ? 3 : 0, second = height > 0 ? 0 : 3;  // pixel index of those stored pixels
        EXPECT_EQ(std::vector<uint8_t>(&bitmap->rgba[first * 4], &bitmap->rgba[first * 4 + 4]),
                  (std::vector<uint8_t>{5, 245, 10, 255}));
        EXPECT_EQ(std::vector<uint8_t>(&bitmap->rgba[(second + 2) * 4], &bitmap->rgba[(second + 2) * 4 + 4]),
                  (std::vector<uint8_t>{100, 55, 200, 255}));
    }
}

TEST(DibDecoding, ATopDownBitmapOfOneRowIsAPicture) {
    std::vector<uint8_t> b = dib(2, -1, 24);
    b[40] = 1, b[41] = 2, b[42] = 3;
    std::string error;
    auto bitmap = sim::decode_dib(b.data(), b.size(), &error);
    ASSERT_TRUE(bitmap) << error;
    EXPECT_EQ(bitmap->info.height, 1);
    EXPECT_EQ(bitmap->rgba, (std::vector<uint8_t>{3, 2, 1, 255, 0, 0, 0, 255}));
}

TEST(DibDecoding, TrueColourPixelsAreBlueGreenRed) {
    std::vector<uint8_t> b = dib(2, 1, 24);
    b[40] = 1, b[41] = 2, b[42] = 3, b[43] = 4, b[44] = 5, b[45] = 6;
    auto bitmap = sim::decode_dib(b.data(), b.size());
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->rgba, (std::vector<uint8_t>{3, 2, 1, 255, 6, 5, 4, 255}));
}

TEST(DibDecoding, AnIndexPastAShortPaletteDrawsBlack) {
    std::vector<uint8_t> b = dib(1, 1, 8, 2);
    b[40 + 8] = 7;
    auto bitmap = sim::decode_dib(b.data(), b.size());
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->rgba, (std::vector<uint8_t>{0, 0, 0, 255}));
}

TEST(DibDecoding, MalformedBitmapsAreRefusedWithTheReason) {
    struct Case {
        std::vector<uint8_t> bytes;
        const char* reason;
    };
    std::vector<Case> cases;
    cases.push_back({std::vector<uint8_t>(39, 0), "shorter than a bitmap header"});
    auto truncated = dib(300, 300, 8);
    truncated.resize(truncated.size() - 1);
    cases.push_back({truncated, "pixels run past the resource"});
    auto compressed = dib(4, 4, 8);
    compressed[16] = 1;
    cases.push_back({compressed, "compressed bitmap"});
    auto header = dib(4, 4, 8);
    header[0] = 12;
    cases.push_back({header, "unknown bitmap header size 12"});
    auto bits = dib(4, 4, 8);
    bits[14] = 4;
    cases.push_back({bits, "4-bit pixels"});
    cases.push_back({dib(0, 4, 24), "no pixels"});
    cases.push_back({dib(4, 0, 24), "no pixels"});
    auto huge = dib(1, 1, 24);
    uint32_t big = 0x7FFFFFFF;
    std::memcpy(&huge[4], &big, 4);
    std::memcpy(&huge[8], &big, 4);
    cases.push_back({huge, "pixels run past the resource"});
    auto colours = dib(1, 1, 8);
    uint32_t many = 257;
    std::memcpy(&colours[32], &many, 4);
    cases.push_back({colours, "palette of 257 colours"});
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(sim::decode_dib(c.bytes.data(), c.bytes.size(), &error)) << c.reason;
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    }
    std::string error;
    EXPECT_FALSE(sim::decode_dib(nullptr, 100, &error));
    // A whole header and nothing after it: the pixels are what is missing.
    std::vector<uint8_t> header_only = dib(1, 1, 24);
    header_only.resize(40);
    EXPECT_FALSE(sim::decode_dib(header_only.data(), header_only.size(), &error));
    EXPECT_EQ(error, "pixels run past the resource (44 bytes needed, 40 present)");
}
