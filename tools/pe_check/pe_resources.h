// Reading and checking the resource section of a built Windows gauge module
// (a PE image): every bitmap and wave resource with its identifier, type,
// language, and the format its bytes declare, against the module's tables.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pe {

// A resource type or name: an integer, or a string (upper case in a module
// built from a resource script).
struct ResourceKey {
    bool named = false;
    uint32_t id = 0;
    std::string name;
    std::string text() const { return named ? name : std::to_string(id); }
    bool operator==(const ResourceKey& o) const { return named == o.named && (named ? name == o.name : id == o.id); }
};

struct Resource {
    ResourceKey type;
    ResourceKey name;
    uint32_t language = 0;
    std::vector<uint8_t> data;
};

// Reads every resource of a PE image. False, with one line naming what is
// wrong, when the image or its resource section is malformed; an image
// without a resource section reads as no resources.
bool read_resources(const std::vector<uint8_t>& image, std::vector<Resource>& resources, std::string& error);

struct ExpectedBitmap {
    ResourceKey name;
    int32_t width = 0, height = 0;
    int bits = 0;
};

struct ExpectedWave {
    uint32_t id = 0;
    uint32_t rate = 0, bits = 0, data_bytes = 0;
};

// The version block a module carries (Telvor_Flaps does; Morvane_Instr
// has none): file and product version as "a.b.c.d", the product name.
struct ExpectedVersion {
    std::string file_version, product_version, product_name;
};

struct Expected {
    uint32_t language = 0;
    std::vector<ExpectedBitmap> bitmaps;
    std::vector<ExpectedWave> waves;
    bool has_version = false;  // without it a version resource is unexpected
    ExpectedVersion version;
};

// The tables as the resources/ text files hold them: one resource a line,
// '#' starts a comment line. False with the file and line named on error.
bool read_bitmap_table(const std::string& path, std::vector<ExpectedBitmap>& table, std::string& error);
bool read_wave_table(const std::string& path, std::vector<ExpectedWave>& table, std::string& error);

// What a bitmap resource (a DIB without file header) declares.
struct DibInfo {
    int32_t width = 0, height = 0;
    int bits = 0;
};
bool read_dib(const std::vector<uint8_t>& data, DibInfo& info, std::string& error);

// What a wave resource (a RIFF/WAVE image) declares.
struct WaveInfo {
    uint32_t format_tag = 0, channels = 0, rate = 0, bits = 0, data_bytes = 0;
};
bool read_wave(const std::vector<uint8_t>& data, WaveInfo& info, std::string& error);

// What a version resource declares: the fixed versions as "a.b.c.d" and
// the strings of its string tables by key.
struct VersionInfo {
    std::string file_version, product_version;
    std::vector<std::pair<std::string, std::string>> strings;
    std::string string(const std::string& key) const;
};
bool read_version(const std::vector<uint8_t>& data, VersionInfo& info, std::string& error);

// Every difference between the resources and the expectation, one line each
// ("bitmap 280: 160x56 expected, 150x56 found"); empty when they agree.
std::vector<std::string> check_resources(const std::vector<Resource>& resources, const Expected& expected);

}  // namespace pe
