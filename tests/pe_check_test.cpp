// The resource check of Windows modules, on PE images made here: a module
// whose resources agree with its tables passes, every kind of difference is
// named, and malformed images are refused with a clear reason, never a
// crash.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "tools/pe_check/pe_resources.h"

namespace {

using pe::ResourceKey;

ResourceKey id(uint32_t n) { return ResourceKey{false, n, {}}; }
ResourceKey named(const std::string& s) { return ResourceKey{true, 0, s}; }

struct Entry {
    ResourceKey type, name;
    uint32_t language;
    std::vector<uint8_t> data;
};

void put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    if (b.size() < at + 2) b.resize(at + 2);
    b[at] = uint8_t(v), b[at + 1] = uint8_t(v >> 8);
}
void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    put16(b, at, v & 0xFFFF);
    put16(b, at + 2, v >> 16);
}

constexpr uint32_t SECTION_RVA = 0x1000, SECTION_FILE = 0x200;

// The resource section: the three-level tree (type, name, language) as the
// resource compiler lays it out, with the data after each data entry.
class SectionWriter {
public:
    std::vector<uint8_t> bytes;

    void write(const std::vector<Entry>& entries) {
        std::vector<ResourceKey> types;
        for (const Entry& e : entries)
            if (std::find(types.begin(), types.end(), e.type) == types.end()) types.push_back(e.type);
        size_t root = directory(types.size());
        for (size_t t = 0; t < types.size(); ++t) {
            std::vector<ResourceKey> names;
            for (const Entry& e : entries)
                if (e.type == types[t] && std::find(names.begin(), names.end(), e.name) == names.end())
                    names.push_back(e.name);
            size_t type_dir = directory(names.size());
            link(root, t, types[t], type_dir | 0x80000000u);
            for (size_t n = 0; n < names.size(); ++n) {
                std::vector<const Entry*> languages;
                for (const Entry& e : entries)
                    if (e.type == types[t] && e.name == names[n]) languages.push_back(&e);
                size_t name_dir = directory(languages.size());
                link(type_dir, n, names[n], name_dir | 0x80000000u);
                for (size_t l = 0; l < languages.size(); ++l) {
                    size_t data_entry = align();
                    put32(bytes, data_entry, uint32_t(SECTION_RVA + data_entry + 16));
                    put32(bytes, data_entry + 4, uint32_t(languages[l]->data.size()));
                    put32(bytes, data_entry + 12, 0);
                    bytes.insert(bytes.end(), languages[l]->data.begin(), languages[l]->data.end());
                    link(name_dir, l, id(languages[l]->language), data_entry);
                }
            }
        }
    }

private:
    size_t align() {
        bytes.resize((bytes.size() + 3) & ~size_t(3));
        return bytes.size();
    }
    size_t directory(size_t count) {
        size_t at = align();
        bytes.resize(at + 16 + 8 * count);
        put16(bytes, at + 14, uint32_t(count));  // all counted as id entries; the reader adds both counts
        return at;
    }
    void link(size_t dir, size_t index, const ResourceKey& key, size_t target) {
        size_t at = dir + 16 + 8 * index;
        if (key.named) {
            size_t s = align();
            put16(bytes, s, uint32_t(key.name.size()));
            for (size_t i = 0; i < key.name.size(); ++i) put16(bytes, s + 2 + 2 * i, uint8_t(key.name[i]));
            put32(bytes, at, uint32_t(s) | 0x80000000u);
        } else {
            put32(bytes, at, key.id);
        }
        put32(bytes, at + 4, uint32_t(target));
    }
};

// A PE32 image with one section, .rsrc, holding the entries.
std::vector<uint8_t> pe_image(const std::vector<Entry>& entries, bool with_resources = true) {
    SectionWriter section;
    section.write(entries);
    std::vector<uint8_t> b(SECTION_FILE, 0);
    b[0] = 'M', b[1] = 'Z';
    put32(b, 0x3C, 64);
    std::memcpy(&b[64], "PE\0\0", 4);
    put16(b, 68, 0x14C);
    put16(b, 70, 1);      // sections
    put16(b, 84, 224);    // optional header size
    put16(b, 88, 0x10B);  // PE32
    put32(b, 88 + 92, 16);
    if (with_resources) {
        put32(b, 88 + 96 + 16, SECTION_RVA);
        put32(b, 88 + 96 + 20, uint32_t(section.bytes.size()));
    }
    size_t header = 88 + 224;
    std::memcpy(&b[header], ".rsrc", 5);
    put32(b, header + 8, uint32_t(section.bytes.size()));
    put32(b, header + 12, SECTION_RVA);
    put32(b, header + 16, uint32_t(section.bytes.size()));
    put32(b, header + 20, SECTION_FILE);
    b.insert(b.end(), section.bytes.begin(), section.bytes.end());
    return b;
}

std::vector<uint8_t> dib(int32_t width, int32_t height, int bits) {
    uint32_t palette = bits == 8 ? 256 : 0;
    uint32_t stride = (uint32_t(width) * bits + 31) / 32 * 4;
    std::vector<uint8_t> b(40 + palette * 4 + stride * uint32_t(height), 0);
    put32(b, 0, 40);
    put32(b, 4, uint32_t(width));
    put32(b, 8, uint32_t(height));
    put16(b, 12, 1);
    put16(b, 14, uint32_t(bits));
    return b;
}

std::vector<uint8_t> wave(uint32_t rate, uint32_t bits, uint32_t data_bytes, bool data_first = false) {
    std::vector<uint8_t> fmt(8 + 16, 0), data(8 + data_bytes + (data_bytes & 1), 0x80);
    std::memcpy(&fmt[0], "fmt ", 4);
    put32(fmt, 4, 16);
    put16(fmt, 8, 1);
    put16(fmt, 10, 1);
    put32(fmt, 12, rate);
    put32(fmt, 16, rate * (bits / 8));
    put16(fmt, 20, bits / 8);
    put16(fmt, 22, bits);
    std::memcpy(&data[0], "data", 4);
    put32(data, 4, data_bytes);
    std::vector<uint8_t> b(12, 0);
    std::memcpy(&b[0], "RIFF", 4);
    std::memcpy(&b[8], "WAVE", 4);
    const auto& first = data_first ? data : fmt;
    const auto& second = data_first ? fmt : data;
    b.insert(b.end(), first.begin(), first.end());
    b.insert(b.end(), second.begin(), second.end());
    put32(b, 4, uint32_t(b.size() - 8));
    return b;
}

const ResourceKey RT_BITMAP = id(2);
const ResourceKey WAVE = named("WAVE");

// The expectation of a small module, and resources that meet it.
pe::Expected small_table() {
    pe::Expected e;
    e.language = 1036;
    e.bitmaps = {{id(40), 5, 5, 8}, {id(60), 19, 19, 24}, {named("BMP_BOMB_TOGGLE"), 19, 19, 8}};
    e.waves = {{10, 22050, 16, 3828}, {3380, 11025, 8, 3273}};
    return e;
}
std::vector<Entry> small_module() {
    return {
        {RT_BITMAP, id(40), 1036, dib(5, 5, 8)},
        {RT_BITMAP, id(60), 1036, dib(19, 19, 24)},
        {RT_BITMAP, named("BMP_BOMB_TOGGLE"), 1036, dib(19, 19, 8)},
        {WAVE, id(10), 1036, wave(22050, 16, 3828)},
        {WAVE, id(3380), 1036, wave(11025, 8, 3273)},
    };
}

std::vector<std::string> problems_of(const std::vector<Entry>& entries, const pe::Expected& expected = small_table()) {
    std::vector<pe::Resource> resources;
    std::string error;
    EXPECT_TRUE(pe::read_resources(pe_image(entries), resources, error)) << error;
    return pe::check_resources(resources, expected);
}

bool contains(const std::vector<std::string>& lines, const std::string& text) {
    for (const std::string& l : lines)
        if (l.find(text) != std::string::npos) return true;
    return false;
}

}  // namespace

TEST(PeCheck, AModuleThatMeetsItsTablesPasses) {
    std::vector<pe::Resource> resources;
    std::string error;
    ASSERT_TRUE(pe::read_resources(pe_image(small_module()), resources, error)) << error;
    ASSERT_EQ(resources.size(), 5u);
    EXPECT_EQ(resources[2].name, named("BMP_BOMB_TOGGLE"));
    EXPECT_EQ(resources[3].type, WAVE);
    EXPECT_EQ(resources[3].language, 1036u);
    EXPECT_EQ(resources[4].data, wave(11025, 8, 3273));
    EXPECT_EQ(pe::check_resources(resources, small_table()), std::vector<std::string>{});
}

TEST(PeCheck, EveryDifferenceIsNamed) {
    auto entries = small_module();
    entries[0].data = dib(6, 5, 8);                    // bitmap 40 too wide
    entries[1].data = dib(19, 19, 8);                  // bitmap 60 at the wrong depth
    entries[2].name = id(70);                          // the named face stored by number
    entries[3].language = 1033;                        // wave 10 in English
    entries[4].data = wave(11025, 8, 3272);            // one byte short
    entries.push_back({id(3), id(1), 1036, {1, 2}});   // an icon nobody asked for
    entries.push_back({WAVE, id(20), 1036, wave(22050, 8, 10)});
    auto problems = problems_of(entries);
    EXPECT_TRUE(contains(problems, "bitmap 40: 5x5 8-bit expected, 6x5 8-bit found"));
    EXPECT_TRUE(contains(problems, "bitmap 60: 19x19 24-bit expected, 19x19 8-bit found"));
    EXPECT_TRUE(contains(problems, "bitmap 70: not in the bitmap table"));
    EXPECT_TRUE(contains(problems, "bitmap BMP_BOMB_TOGGLE: missing"));
    EXPECT_TRUE(contains(problems, "wave 10: language 1033, expected 1036"));
    EXPECT_TRUE(contains(problems, "wave 3380: PCM mono 11025 Hz 8-bit 3273 bytes expected"));
    EXPECT_TRUE(contains(problems, "resource 1: unexpected resource type 3"));
    EXPECT_TRUE(contains(problems, "wave 20: not in the wave table"));
    EXPECT_EQ(problems.size(), 8u) << ::testing::PrintToString(problems);
}

TEST(PeCheck, TheTypesMustBeBitmapAndTheNamedWave) {
    auto entries = small_module();
    entries[0].type = WAVE;               // a bitmap stored as a wave
    entries[3].type = named("WAVEFILE");  // a wave under another type name
    auto problems = problems_of(entries);
    EXPECT_TRUE(contains(problems, "wave 40: not in the wave table"));
    EXPECT_TRUE(contains(problems, "bitmap 40: missing"));
    EXPECT_TRUE(contains(problems, "resource 10: unexpected resource type WAVEFILE"));
    EXPECT_TRUE(contains(problems, "wave 10: missing"));
}

TEST(PeCheck, BrokenWaveAndBitmapBytesAreNamed) {
    auto entries = small_module();
    entries[3].data = wave(22050, 16, 3828, true);
    entries[4].data.resize(40);
    entries[0].data[16] = 1;  // run-length compressed
    entries[1].data.resize(100);
    entries.push_back({RT_BITMAP, id(40), 1033, dib(5, 5, 8)});
    auto problems = problems_of(entries);
    EXPECT_TRUE(contains(problems, "wave 10: data chunk before the format chunk"));
    EXPECT_TRUE(contains(problems, "wave 3380: RIFF size runs past the resource"));
    EXPECT_TRUE(contains(problems, "bitmap 40: compressed bitmap"));
    EXPECT_TRUE(contains(problems, "bitmap 60: pixels run past the resource"));
    EXPECT_TRUE(contains(problems, "bitmap 40: present in more than one language"));
}

TEST(PeCheck, TheFlapsModulesTableIsAParameter) {
    pe::Expected flaps;
    flaps.language = 1033;
    flaps.bitmaps = {{id(4096), 423, 183, 8}, {id(8192), 54, 46, 8}};
    std::vector<Entry> entries = {{RT_BITMAP, id(4096), 1033, dib(423, 183, 8)},
                                  {RT_BITMAP, id(8192), 1033, dib(54, 46, 8)}};
    EXPECT_EQ(problems_of(entries, flaps), std::vector<std::string>{});
    EXPECT_TRUE(contains(problems_of(small_module(), flaps), "bitmap 4096: missing"));
}

TEST(PeCheck, AnImageWithoutResourcesMissesEverything) {
    std::vector<pe::Resource> resources;
    std::string error;
    ASSERT_TRUE(pe::read_resources(pe_image({}, false), resources, error)) << error;
    EXPECT_TRUE(resources.empty());
    EXPECT_EQ(pe::check_resources(resources, small_table()).size(), 5u);
}

TEST(PeCheck, MalformedImagesAreRefusedWithTheReason) {
    auto good = pe_image(small_module());
    struct Case {
        std::vector<uint8_t> image;
        const char* reason;
    };
    std::vector<Case> cases;
    cases.push_back({{}, "no MZ header"});
    cases.push_back({std::vector<uint8_t>(good.begin(), good.begin() + 70), "no PE signature"});
    auto far = good;
    put32(far, 0x3C, 0xFFFFFFF0u);
    cases.push_back({far, "no PE signature"});
    auto magic = good;
    put16(magic, 88, 0x999);
    cases.push_back({magic, "unknown optional header magic"});
    auto sections = good;
    put16(sections, 70, 60000);
    cases.push_back({sections, "truncated section table"});
    auto outside = good;
    put32(outside, 88 + 96 + 16, 0x9000);
    cases.push_back({outside, "lies outside the resource section or the file"});
    auto cut = good;
    cut.resize(SECTION_FILE + 20);
    cases.push_back({cut, "has entries past the end of the section or the file"});
    auto stub = good;
    stub.resize(SECTION_FILE + 8);
    cases.push_back({stub, "resource directory at offset 0 lies outside the resource section or the file"});
    auto many = good;
    put16(many, SECTION_FILE + 14, 0xFFFF);
    cases.push_back({many, "has entries past the end"});
    auto loop = good;
    put32(loop, SECTION_FILE + 16 + 4, 0x80000000u);  // the first type points back at the root
    cases.push_back({loop, "is reached twice"});
    auto flat = good;
    put32(flat, SECTION_FILE + 16 + 4, 0x40);  // a type that is data, not a directory
    cases.push_back({flat, "is not a directory"});
    for (const Case& c : cases) {
        std::vector<pe::Resource> resources;
        std::string error;
        EXPECT_FALSE(pe::read_resources(c.image, resources, error)) << c.reason;
        EXPECT_NE(error.find(c.reason), std::string::npos) << "wanted '" << c.reason << "', got '" << error << "'";
    }
}

TEST(PeCheck, DataEntriesPointingPastTheImageAreRefused) {
    // Walk to the first data entry through the tree and give it a huge size.
    auto image = pe_image({{RT_BITMAP, id(40), 1036, dib(5, 5, 8)}});
    uint32_t type_dir, name_dir, data_entry;
    std::memcpy(&type_dir, &image[SECTION_FILE + 20], 4);
    std::memcpy(&name_dir, &image[SECTION_FILE + (type_dir & 0x7FFFFFFF) + 20], 4);
    std::memcpy(&data_entry, &image[SECTION_FILE + (name_dir & 0x7FFFFFFF) + 20], 4);
    put32(image, SECTION_FILE + data_entry + 4, 0xFFFFFF00u);
    std::vector<pe::Resource> resources;
    std::string error;
    EXPECT_FALSE(pe::read_resources(image, resources, error));
    EXPECT_NE(error.find("resource 40 of type 2: data (4294967040 bytes) outside the image"), std::string::npos)
        << error;
}

TEST(PeCheck, TablesWithBadLinesNameTheFileAndLine) {
    std::string path = ::testing::TempDir() + "bad_bitmap_table.txt";
    std::ofstream(path) << "# comment\n40 5 5 8\n50 150 x 8\n";
    std::vector<pe::ExpectedBitmap> bitmaps;
    std::string error;
    EXPECT_FALSE(pe::read_bitmap_table(path, bitmaps, error));
    EXPECT_EQ(error, path + ":3: expected '<id or NAME> <width> <height> <8 or 24>'");
    std::ofstream(path) << "10 22050 12 3828\n";
    std::vector<pe::ExpectedWave> waves;
    EXPECT_FALSE(pe::read_wave_table(path, waves, error));
    EXPECT_EQ(error, path + ":1: expected '<id> <rate> <8 or 16> <data bytes>'");
    EXPECT_FALSE(pe::read_wave_table(path + ".none", waves, error));
    EXPECT_EQ(error, path + ".none: cannot open");
}

TEST(PeCheck, TheShippedTablesRead) {
    std::vector<pe::ExpectedBitmap> bitmaps;
    std::vector<pe::ExpectedWave> waves;
    std::string error;
    ASSERT_TRUE(pe::read_bitmap_table(std::string(MORVANE_SOURCE_DIR) + "/resources/bitmap_sizes.txt", bitmaps, error))
        << error;
    ASSERT_TRUE(pe::read_wave_table(std::string(MORVANE_SOURCE_DIR) + "/resources/wave_formats.txt", waves, error))
        << error;
    EXPECT_EQ(bitmaps.size(), 258u);
    EXPECT_EQ(waves.size(), 16u);
    int true_colour = 0;
    for (const auto& b : bitmaps) true_colour += b.bits == 24;
    EXPECT_EQ(true_colour, 1);
}

// ------------------------------------------------------------ version block

namespace {

// One block of a version resource, laid out as the resource compiler does.
std::vector<uint8_t> version_block(const std::string& key, const std::vector<uint8_t>& value, uint16_t value_length,
                                   uint16_t type, const std::vector<std::vector<uint8_t>>& children) {
    std::vector<uint8_t> b(6);
    for (char c : key) b.push_back(uint8_t(c)), b.push_back(0);
    b.push_back(0), b.push_back(0);
    while (b.size() % 4) b.push_back(0);
    b.insert(b.end(), value.begin(), value.end());
    for (const auto& child : children) {
        while (b.size() % 4) b.push_back(0);
        b.insert(b.end(), child.begin(), child.end());
    }
    put16(b, 0, uint32_t(b.size()));
    put16(b, 2, value_length);
    put16(b, 4, type);
    return b;
}

std::vector<uint8_t> text(const std::string& s) {
    std::vector<uint8_t> v;
    for (char c : s) v.push_back(uint8_t(c)), v.push_back(0);
    v.push_back(0), v.push_back(0);
    return v;
}

std::vector<uint8_t> string_entry(const std::string& key, const std::string& value) {
    return version_block(key, text(value), uint16_t(value.size() + 1), 1, {});
}

std::vector<uint8_t> version_resource(uint32_t file_ms, uint32_t file_ls, const std::string& product) {
    std::vector<uint8_t> fixed(52);
    put32(fixed, 0, 0xFEEF04BD);
    put32(fixed, 4, 0x10000);
    put32(fixed, 8, file_ms), put32(fixed, 12, file_ls);
    put32(fixed, 16, file_ms), put32(fixed, 20, file_ls);
    std::string dotted = std::to_string(file_ms >> 16) + "." + std::to_string(file_ms & 0xFFFF) + "." +
                         std::to_string(file_ls >> 16) + "." + std::to_string(file_ls & 0xFFFF);
    auto table = version_block("040904B0", {}, 0, 1,
                               {string_entry("FileVersion", dotted), string_entry("ProductVersion", dotted),
                                string_entry("ProductName", product)});
    std::vector<uint8_t> translation(4);
    put16(translation, 0, 0x409), put16(translation, 2, 1200);
    return version_block("VS_VERSION_INFO", fixed, 52, 0,
                         {version_block("StringFileInfo", {}, 0, 1, {table}),
                          version_block("VarFileInfo", {}, 0, 1, {version_block("Translation", translation, 4, 0, {})})});
}

pe::Expected flaps_with_version() {
    pe::Expected flaps;
    flaps.language = 1033;
    flaps.bitmaps = {{id(4096), 423, 183, 8}};
    flaps.has_version = true;
    flaps.version = {"1.1.0.0", "1.1.0.0", "telvor_flaps"};
    return flaps;
}

}  // namespace

TEST(PeCheck, VersionBlockIsReadAndChecked) {
    auto block = version_resource(0x00010001, 0, "telvor_flaps");
    pe::VersionInfo info;
    std::string error;
    ASSERT_TRUE(pe::read_version(block, info, error)) << error;
    EXPECT_EQ(info.file_version, "1.1.0.0");
    EXPECT_EQ(info.product_version, "1.1.0.0");
    EXPECT_EQ(info.string("ProductName"), "telvor_flaps");
    EXPECT_EQ(info.string("FileVersion"), "1.1.0.0");

    std::vector<Entry> entries = {{RT_BITMAP, id(4096), 1033, dib(423, 183, 8)}, {id(16), id(1), 1033, block}};
    EXPECT_EQ(problems_of(entries, flaps_with_version()), std::vector<std::string>{});
    // Without a version expected, the block is an unexpected resource.
    pe::Expected plain = flaps_with_version();
    plain.has_version = false;
    EXPECT_TRUE(contains(problems_of(entries, plain), "resource 1: unexpected resource type 16"));
}

TEST(PeCheck, VersionDifferencesAndDamageAreNamed) {
    std::vector<Entry> entries = {{RT_BITMAP, id(4096), 1033, dib(423, 183, 8)},
                                  {id(16), id(1), 1036, version_resource(0x00010002, 0, "other")}};
    auto problems = problems_of(entries, flaps_with_version());
    EXPECT_TRUE(contains(problems, "version block: language 1036, expected 1033"));
    EXPECT_TRUE(contains(problems, "version block: file version \"1.2.0.0\", expected \"1.1.0.0\""));
    EXPECT_TRUE(contains(problems, "version block: ProductName \"other\", expected \"telvor_flaps\""));
    entries.pop_back();
    EXPECT_TRUE(contains(problems_of(entries, flaps_with_version()), "version block: missing"));

    pe::VersionInfo info;
    std::string error;
    auto block = version_resource(0x00010001, 0, "telvor_flaps");
    for (size_t cut : {size_t(0), size_t(5), size_t(20), size_t(60), block.size() - 1}) {
        auto damaged = block;
        damaged.resize(cut);
        EXPECT_FALSE(pe::read_version(damaged, info, error)) << cut;
        EXPECT_FALSE(error.empty());
    }
    auto unsigned_block = block;
    unsigned_block[40] ^= 0xFF;  // inside the fixed information's signature
    EXPECT_FALSE(pe::read_version(unsigned_block, info, error));
    EXPECT_EQ(error, "version resource without its fixed file information");
    auto endless = block;
    put16(endless, 0, 0xFFFF);  // longer than the resource
    EXPECT_FALSE(pe::read_version(endless, info, error));
}
