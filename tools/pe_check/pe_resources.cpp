#include "pe_resources.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace pe {

namespace {

constexpr uint32_t RT_BITMAP = 2;
constexpr uint32_t RT_VERSION = 16;
constexpr uint32_t FIXED_FILE_INFO_SIGNATURE = 0xFEEF04BD;
const char* const WAVE_TYPE = "WAVE";

// Bounds-checked little-endian reads of a byte range.
class Bytes {
public:
    explicit Bytes(const std::vector<uint8_t>& b) : b_(b) {}
    bool has(uint64_t offset, uint64_t length) const { return offset <= b_.size() && length <= b_.size() - offset; }
    uint16_t u16(uint64_t o) const { return uint16_t(b_[o] | (b_[o + 1] << 8)); }
    uint32_t u32(uint64_t o) const { return uint32_t(u16(o)) | (uint32_t(u16(o + 2)) << 16); }
    int32_t s32(uint64_t o) const { return int32_t(u32(o)); }
    bool tag(uint64_t o, const char* t) const { return has(o, 4) && std::equal(t, t + 4, b_.begin() + long(o)); }
    size_t size() const { return b_.size(); }
    const std::vector<uint8_t>& all() const { return b_; }

private:
    const std::vector<uint8_t>& b_;
};

struct Section {
    uint32_t rva, virtual_size, raw_size, raw_offset;
};

class ResourceReader {
public:
    ResourceReader(const Bytes& image, std::vector<Section> sections, uint32_t root_rva, uint32_t root_size)
        : image_(image), sections_(std::move(sections)), root_rva_(root_rva), root_size_(root_size) {}

    bool read(std::vector<Resource>& out, std::string& error) {
        // Level 1: types; level 2: names; level 3: languages, then data.
        std::vector<Entry> types;
        if (!directory(0, types, error)) return false;
        for (const Entry& type : types) {
            if (!type.subdirectory) return fail(error, "resource type " + type.key.text() + " is not a directory");
            std::vector<Entry> names;
            if (!directory(type.offset, names, error)) return false;
            for (const Entry& name : names) {
                if (!name.subdirectory)
                    return fail(error, "resource " + name.key.text() + " of type " + type.key.text() +
                                           " is not a directory");
                std::vector<Entry> languages;
                if (!directory(name.offset, languages, error)) return false;
                for (const Entry& language : languages) {
                    Resource r;
                    r.type = type.key;
                    r.name = name.key;
                    r.language = language.key.id;
                    std::string where = "resource " + name.key.text() + " of type " + type.key.text();
                    if (language.subdirectory || language.key.named)
                        return fail(error, where + ": malformed language entry");
                    if (!data_entry(language.offset, r.data, error)) return fail(error, where + ": " + error);
                    out.push_back(std::move(r));
                }
            }
        }
        return true;
    }

private:
    struct Entry {
        ResourceKey key;
        bool subdirectory;
        uint32_t offset;  // within the resource section
    };

    static bool fail(std::string& error, const std::string& message) {
        error = message;
        return false;
    }

    // File offset of a range of the resource section (offset from its root).
    bool section_offset(uint64_t offset, uint64_t length, uint64_t& file_offset) const {
        if (offset > root_size_ || length > root_size_ - offset) return false;
        return rva_offset(uint64_t(root_rva_) + offset, length, file_offset);
    }

    bool rva_offset(uint64_t rva, uint64_t length, uint64_t& file_offset) const {
        for (const Section& s : sections_) {
            if (rva < s.rva || rva - s.rva >= s.raw_size) continue;
            if (length > s.raw_size - (rva - s.rva)) return false;
            file_offset = s.raw_offset + (rva - s.rva);
            return image_.has(file_offset, length);
        }
        return false;
    }

    bool directory(uint32_t offset, std::vector<Entry>& entries, std::string& error) {
        // A directory visited twice is a loop in the tree.
        if (!visited_.insert({offset, true}).second)
            return fail(error, "resource directory at offset " + std::to_string(offset) + " is reached twice");
        uint64_t at;
        if (!section_offset(offset, 16, at))
            return fail(error, "resource directory at offset " + std::to_string(offset) + " lies outside the resource section or the file");
        uint32_t count = uint32_t(image_.u16(at + 12)) + image_.u16(at + 14);
        uint64_t list;
        if (!section_offset(uint64_t(offset) + 16, uint64_t(count) * 8, list))
            return fail(error, "resource directory at offset " + std::to_string(offset) + " has entries past the end of the section or the file");
        for (uint32_t i = 0; i < count; ++i) {
            uint32_t name = image_.u32(list + 8 * i), target = image_.u32(list + 8 * i + 4);
            Entry e;
            e.subdirectory = target & 0x80000000u;
            e.offset = target & 0x7FFFFFFFu;
            if (name & 0x80000000u) {
                if (!string_at(name & 0x7FFFFFFFu, e.key.name))
                    return fail(error, "resource name at offset " + std::to_string(name & 0x7FFFFFFFu) + " is malformed");
                e.key.named = true;
            } else {
                e.key.id = name;
            }
            entries.push_back(std::move(e));
        }
        return true;
    }

    // A length-prefixed UTF-16 name; names outside Latin-1 are kept as '?'.
    bool string_at(uint32_t offset, std::string& out) const {
        uint64_t at;
        if (!section_offset(offset, 2, at)) return false;
        uint16_t length = image_.u16(at);
        if (!section_offset(uint64_t(offset) + 2, uint64_t(length) * 2, at)) return false;
        out.clear();
        for (uint16_t i = 0; i < length; ++i) {
            uint16_t c = image_.u16(at + 2 * i);
            out += c < 256 ? char(c) : '?';
        }
        return true;
    }

    bool data_entry(uint32_t offset, std::vector<uint8_t>& data, std::string& error) const {
        uint64_t at;
        if (!section_offset(offset, 16, at)) return fail(error, "data entry outside the section");
        uint32_t rva = image_.u32(at), size = image_.u32(at + 4);
        uint64_t file;
        if (!rva_offset(rva, size, file)) return fail(error, "data (" + std::to_string(size) + " bytes) outside the image");
        data.assign(image_.all().begin() + long(file), image_.all().begin() + long(file + size));
        return true;
    }

    const Bytes& image_;
    std::vector<Section> sections_;
    uint32_t root_rva_, root_size_;
    std::map<uint32_t, bool> visited_;
};

bool open_table(const std::string& path, std::ifstream& in, std::string& error) {
    in.open(path);
    if (!in) error = path + ": cannot open";
    return bool(in);
}

}  // namespace

bool read_resources(const std::vector<uint8_t>& file, std::vector<Resource>& resources, std::string& error) {
    Bytes image(file);
    resources.clear();
    if (!image.has(0, 64) || image.u16(0) != 0x5A4D) return error = "not a PE image (no MZ header)", false;
    uint32_t pe = image.u32(0x3C);
    if (!image.has(pe, 24) || !image.tag(pe, "PE\0\0")) return error = "not a PE image (no PE signature)", false;
    uint32_t sections = image.u16(pe + 6), optional_size = image.u16(pe + 20);
    uint64_t optional = uint64_t(pe) + 24;
    if (!image.has(optional, optional_size) || optional_size < 2) return error = "truncated optional header", false;
    uint16_t magic = image.u16(optional);
    uint64_t directories;
    if (magic == 0x10B) directories = 96;       // PE32
    else if (magic == 0x20B) directories = 112;  // PE32+
    else return error = "unknown optional header magic", false;
    if (optional_size < directories) return error = "truncated optional header", false;
    uint32_t directory_count = image.u32(optional + directories - 4);
    uint32_t resource_rva = 0, resource_size = 0;
    if (directory_count > 2 && optional_size >= directories + 3 * 8) {
        resource_rva = image.u32(optional + directories + 16);
        resource_size = image.u32(optional + directories + 20);
    }
    std::vector<Section> table;
    uint64_t section = optional + optional_size;
    if (!image.has(section, uint64_t(sections) * 40)) return error = "truncated section table", false;
    for (uint32_t i = 0; i < sections; ++i, section += 40)
        table.push_back({image.u32(section + 12), image.u32(section + 8), image.u32(section + 16),
                         image.u32(section + 20)});
    if (resource_rva == 0 && resource_size == 0) return true;
    ResourceReader reader(image, std::move(table), resource_rva, resource_size);
    return reader.read(resources, error);
}

bool read_bitmap_table(const std::string& path, std::vector<ExpectedBitmap>& table, std::string& error) {
    std::ifstream in;
    if (!open_table(path, in, error)) return false;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string name;
        ExpectedBitmap b;
        if (!(fields >> name >> b.width >> b.height >> b.bits) || b.width <= 0 || b.height <= 0 ||
            (b.bits != 8 && b.bits != 24)) {
            error = path + ":" + std::to_string(number) + ": expected '<id or NAME> <width> <height> <8 or 24>'";
            return false;
        }
        if (name.find_first_not_of("0123456789") == std::string::npos && name.size() <= 5) {
            b.name.id = uint32_t(std::stoul(name));
        } else {
            b.name.named = true;
            for (char& c : name) c = char(std::toupper(static_cast<unsigned char>(c)));
            b.name.name = name;
        }
        table.push_back(b);
    }
    return true;
}

bool read_wave_table(const std::string& path, std::vector<ExpectedWave>& table, std::string& error) {
    std::ifstream in;
    if (!open_table(path, in, error)) return false;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        ExpectedWave w;
        if (!(fields >> w.id >> w.rate >> w.bits >> w.data_bytes) || w.id == 0 || w.id > 0xFFFF ||
            (w.bits != 8 && w.bits != 16)) {
            error = path + ":" + std::to_string(number) + ": expected '<id> <rate> <8 or 16> <data bytes>'";
            return false;
        }
        table.push_back(w);
    }
    return true;
}

bool read_dib(const std::vector<uint8_t>& data, DibInfo& info, std::string& error) {
    Bytes b(data);
    if (!b.has(0, 40)) return error = "shorter than a bitmap header", false;
    uint32_t header = b.u32(0);
    if (header != 40 && header != 108 && header != 124)
        return error = "unknown bitmap header size " + std::to_string(header), false;
    info.width = b.s32(4);
    int32_t height = b.s32(8);
    info.bits = b.u16(14);
    uint32_t compression = b.u32(16), colours = b.u32(32);
    if (b.u16(12) != 1) return error = "bitmap with more than one plane", false;
    if (compression != 0) return error = "compressed bitmap (compression " + std::to_string(compression) + ")", false;
    if (info.width <= 0 || height == 0 || height == INT32_MIN) return error = "bitmap with no pixels", false;
    info.height = height < 0 ? -height : height;
    uint64_t palette = 0;
    if (info.bits <= 8) {
        if (colours > (1u << info.bits)) return error = "palette larger than the bit depth allows", false;
        palette = colours ? colours : (1u << info.bits);
    }
    uint64_t stride = (uint64_t(info.width) * info.bits + 31) / 32 * 4;
    uint64_t needed = header + palette * 4 + stride * uint64_t(info.height);
    if (needed > data.size())
        return error = "pixels run past the resource (" + std::to_string(needed) + " bytes needed, " +
                       std::to_string(data.size()) + " present)",
               false;
    return true;
}

bool read_wave(const std::vector<uint8_t>& data, WaveInfo& info, std::string& error) {
    Bytes b(data);
    if (!b.tag(0, "RIFF") || !b.tag(8, "WAVE")) return error = "not a RIFF/WAVE image", false;
    uint64_t end = uint64_t(b.u32(4)) + 8;
    if (end > data.size()) return error = "RIFF size runs past the resource", false;
    bool have_format = false;
    for (uint64_t at = 12; at + 8 <= end;) {
        uint64_t size = b.u32(at + 4);
        if (size > end - at - 8) return error = "chunk runs past the RIFF image", false;
        if (b.tag(at, "fmt ")) {
            if (size < 16) return error = "format chunk shorter than 16 bytes", false;
            info.format_tag = b.u16(at + 8);
            info.channels = b.u16(at + 10);
            info.rate = b.u32(at + 12);
            uint32_t average = b.u32(at + 16), block = b.u16(at + 20);
            info.bits = b.u16(at + 22);
            if (block != info.channels * (info.bits / 8) || average != info.rate * block)
                return error = "inconsistent block size or byte rate", false;
            have_format = true;
        } else if (b.tag(at, "data")) {
            // The loader finds the data after the format, as it descends.
            if (!have_format) return error = "data chunk before the format chunk", false;
            info.data_bytes = uint32_t(size);
            return true;
        }
        at += 8 + size + (size & 1);
    }
    return error = have_format ? "no data chunk" : "no format chunk", false;
}

namespace {

std::string dotted(uint32_t ms, uint32_t ls) {
    return std::to_string(ms >> 16) + "." + std::to_string(ms & 0xFFFF) + "." + std::to_string(ls >> 16) + "." +
           std::to_string(ls & 0xFFFF);
}

uint64_t align4(uint64_t at) { return (at + 3) & ~uint64_t(3); }

// One block of a version resource: length, value length, type, a UTF-16
// key, the value and the child blocks, each part on a 32-bit boundary.
struct VersionBlock {
    uint64_t at, end;       // the block's bytes
    std::string key;        // ASCII of the key ('?' outside it)
    uint64_t value_at;      // the value's first byte
    uint64_t value_length;  // in bytes (text values count characters)
    uint16_t type;          // 1 text, 0 binary
    uint64_t children_at;
};

bool read_block(const Bytes& b, uint64_t at, uint64_t limit, VersionBlock& block, std::string& error) {
    if (!b.has(at, 6) || at + 6 > limit) return error = "version block header runs past the resource", false;
    uint16_t length = b.u16(at), value_length = b.u16(at + 2);
    block.type = b.u16(at + 4);
    if (length < 6 || at + length > limit) return error = "version block length runs past its parent", false;
    block.at = at;
    block.end = at + length;
    block.key.clear();
    uint64_t p = at + 6;
    for (;; p += 2) {
        if (p + 2 > block.end) return error = "version block key is not terminated", false;
        uint16_t c = b.u16(p);
        if (c == 0) break;
        block.key += c < 0x80 ? char(c) : '?';
    }
    block.value_at = align4(p + 2);
    block.value_length = block.type == 1 ? uint64_t(value_length) * 2 : value_length;
    if (block.value_at + block.value_length > block.end) {
        if (block.value_length) return error = "version value runs past its block", false;
        block.value_at = block.end;
    }
    block.children_at = align4(block.value_at + block.value_length);
    return true;
}

std::string text_value(const Bytes& b, const VersionBlock& block) {
    std::string s;
    for (uint64_t p = block.value_at; p + 2 <= block.value_at + block.value_length; p += 2) {
        uint16_t c = b.u16(p);
        if (c == 0) break;
        s += c < 0x80 ? char(c) : '?';
    }
    return s;
}

// Calls visit on each child of a block; false on a malformed child.
template <typename Visit>
bool each_child(const Bytes& b, const VersionBlock& parent, std::string& error, Visit visit) {
    for (uint64_t at = parent.children_at; at + 6 <= parent.end;) {
        VersionBlock child;
        if (!read_block(b, at, parent.end, child, error) || !visit(child)) return false;
        at = align4(child.end);
    }
    return true;
}

}  // namespace

std::string VersionInfo::string(const std::string& key) const {
    for (const auto& [k, v] : strings)
        if (k == key) return v;
    return {};
}

bool read_version(const std::vector<uint8_t>& data, VersionInfo& info, std::string& error) {
    Bytes b(data);
    VersionBlock root;
    if (!read_block(b, 0, data.size(), root, error)) return false;
    if (root.key != "VS_VERSION_INFO") return error = "version resource without VS_VERSION_INFO", false;
    if (root.value_length < 52 || b.u32(root.value_at) != FIXED_FILE_INFO_SIGNATURE)
        return error = "version resource without its fixed file information", false;
    info.file_version = dotted(b.u32(root.value_at + 8), b.u32(root.value_at + 12));
    info.product_version = dotted(b.u32(root.value_at + 16), b.u32(root.value_at + 20));
    info.strings.clear();
    return each_child(b, root, error, [&](const VersionBlock& file_info) {
        if (file_info.key != "StringFileInfo") return true;
        return each_child(b, file_info, error, [&](const VersionBlock& table) {
            return each_child(b, table, error, [&](const VersionBlock& entry) {
                info.strings.emplace_back(entry.key, text_value(b, entry));
                return true;
            });
        });
    });
}

namespace {

void check_version(const Resource& r, const ExpectedVersion& e, std::vector<std::string>& problems) {
    VersionInfo info;
    std::string error;
    if (!read_version(r.data, info, error)) {
        problems.push_back("version block: " + error);
        return;
    }
    auto compare = [&](const std::string& what, const std::string& found, const std::string& expected) {
        if (found != expected)
            problems.push_back("version block: " + what + " \"" + found + "\", expected \"" + expected + "\"");
    };
    compare("file version", info.file_version, e.file_version);
    compare("product version", info.product_version, e.product_version);
    compare("FileVersion", info.string("FileVersion"), e.file_version);
    compare("ProductVersion", info.string("ProductVersion"), e.product_version);
    compare("ProductName", info.string("ProductName"), e.product_name);
}

}  // namespace

std::vector<std::string> check_resources(const std::vector<Resource>& resources, const Expected& expected) {
    std::vector<std::string> problems;
    auto is_bitmap = [](const Resource& r) { return !r.type.named && r.type.id == RT_BITMAP; };
    auto is_wave = [](const Resource& r) { return r.type.named && r.type.name == WAVE_TYPE; };
    std::map<std::string, int> seen;
    for (const Resource& r : resources) {
        std::string what = (is_bitmap(r) ? "bitmap " : is_wave(r) ? "wave " : "resource ") + r.name.text();
        if (expected.has_version && !r.type.named && r.type.id == RT_VERSION) {
            if (r.language != expected.language)
                problems.push_back("version block: language " + std::to_string(r.language) + ", expected " +
                                   std::to_string(expected.language));
            if (++seen["version"] == 2) problems.push_back("version block: present more than once");
            check_version(r, expected.version, problems);
            continue;
        }
        if (!is_bitmap(r) && !is_wave(r)) {
            problems.push_back(what + ": unexpected resource type " + r.type.text());
            continue;
        }
        if (r.language != expected.language)
            problems.push_back(what + ": language " + std::to_string(r.language) + ", expected " +
                               std::to_string(expected.language));
        if (++seen[what] == 2) problems.push_back(what + ": present in more than one language");
        if (is_bitmap(r)) {
            const ExpectedBitmap* e = nullptr;
            for (const ExpectedBitmap& b : expected.bitmaps)
                if (b.name == r.name) e = &b;
            if (!e) {
                problems.push_back(what + ": not in the bitmap table");
                continue;
            }
            DibInfo info;
            std::string error;
            if (!read_dib(r.data, info, error)) {
                problems.push_back(what + ": " + error);
                continue;
            }
            if (info.width != e->width || info.height != e->height || info.bits != e->bits)
                problems.push_back(what + ": " + std::to_string(e->width) + "x" + std::to_string(e->height) + " " +
                                   std::to_string(e->bits) + "-bit expected, " + std::to_string(info.width) + "x" +
                                   std::to_string(info.height) + " " + std::to_string(info.bits) + "-bit found");
        } else {
            const ExpectedWave* e = nullptr;
            for (const ExpectedWave& w : expected.waves)
                if (!r.name.named && w.id == r.name.id) e = &w;
            if (!e) {
                problems.push_back(what + ": not in the wave table");
                continue;
            }
            WaveInfo info;
            std::string error;
            if (!read_wave(r.data, info, error)) {
                problems.push_back(what + ": " + error);
                continue;
            }
            if (info.format_tag != 1 || info.channels != 1 || info.rate != e->rate || info.bits != e->bits ||
                info.data_bytes != e->data_bytes)
                problems.push_back(what + ": PCM mono " + std::to_string(e->rate) + " Hz " + std::to_string(e->bits) +
                                   "-bit " + std::to_string(e->data_bytes) + " bytes expected, format " +
                                   std::to_string(info.format_tag) + " " + std::to_string(info.channels) +
                                   " channel(s) " + std::to_string(info.rate) + " Hz " + std::to_string(info.bits) +
                                   "-bit " + std::to_string(info.data_bytes) + " bytes found");
        }
    }
    for (const ExpectedBitmap& b : expected.bitmaps)
        if (!seen.count("bitmap " + b.name.text())) problems.push_back("bitmap " + b.name.text() + ": missing");
    for (const ExpectedWave& w : expected.waves)
        if (!seen.count("wave " + std::to_string(w.id))) problems.push_back("wave " + std::to_string(w.id) + ": missing");
    if (expected.has_version && !seen.count("version")) problems.push_back("version block: missing");
    return problems;
}

}  // namespace pe
