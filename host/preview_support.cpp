#include "host/preview_support.h"

#include <cstring>
#include <map>
#include <memory>
#include <utility>

#include "host/sim_host.h"
#include "platform/win32.h"

namespace sim {

std::vector<std::string> default_module_paths() {
    std::vector<std::string> paths{MORVANE_MODULE_PATH};
#ifdef TELVOR_MODULE_PATH
    paths.push_back(TELVOR_MODULE_PATH);
#endif
    return paths;
}

namespace {

uint32_t u32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }
uint16_t u16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// A device-independent bitmap as a module holds it (no file header):
// 8-bit palettized or 24-bit, uncompressed, rows bottom-up. Pure black is
// the host's transparent key colour.
bool decode_dib(const uint8_t* data, size_t size, Image* out) {
    if (size < 40 || u32(data) < 40) return false;
    uint32_t header = u32(data);
    int32_t width = static_cast<int32_t>(u32(data + 4)), height = static_cast<int32_t>(u32(data + 8));
    uint16_t bits = u16(data + 14);
    uint32_t compression = u32(data + 16), colours = u32(data + 32);
    bool top_down = height < 0;
    if (top_down) height = -height;
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384 || compression != 0) return false;
    if (bits != 8 && bits != 24) return false;
    if (bits == 8 && (colours == 0 || colours > 256)) colours = 256;
    size_t palette = bits == 8 ? size_t(colours) * 4 : 0;
    size_t stride = (size_t(width) * bits / 8 + 3) & ~size_t(3);
    if (header > size || palette > size - header || stride * height > size - header - palette) return false;
    const uint8_t* pal = data + header;
    const uint8_t* pixels = pal + palette;
    *out = Image(width, height);
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = pixels + stride * size_t(top_down ? y : height - 1 - y);
        for (int x = 0; x < width; ++x) {
            uint8_t b, g, r;
            if (bits == 8) {
                uint8_t index = row[x];
                if (index >= colours) index = 0;
                b = pal[index * 4], g = pal[index * 4 + 1], r = pal[index * 4 + 2];
            } else {
                b = row[x * 3], g = row[x * 3 + 1], r = row[x * 3 + 2];
            }
            out->at(x, y) = {r, g, b, static_cast<uint8_t>((r | g | b) ? 255 : 0)};
        }
    }
    return true;
}

}  // namespace

BitmapLookup module_bitmap_lookup() {
    auto cache = std::make_shared<std::map<std::pair<const LoadedModule*, int32_t>, std::unique_ptr<Image>>>();
    return [cache](const LoadedModule* module, int32_t id) -> const Image* {
        if (!module) return nullptr;
        auto key = std::make_pair(module, id);
        auto it = cache->find(key);
        if (it != cache->end()) return it->second.get();
        std::unique_ptr<Image> image;
        auto handle = reinterpret_cast<HMODULE>(module->resource_handle());
        if (HRSRC found = FindResourceA(handle, MAKEINTRESOURCEA(id), RT_BITMAP)) {
            HGLOBAL loaded = LoadResource(handle, found);
            auto* bytes = static_cast<const uint8_t*>(LockResource(loaded));
            Image decoded;
            if (bytes && decode_dib(bytes, SizeofResource(handle, found), &decoded))
                image = std::make_unique<Image>(std::move(decoded));
            FreeResource(loaded);
        }
        const Image* result = image.get();
        (*cache)[key] = std::move(image);
        return result;
    };
}

}  // namespace sim

#include "platform/linux/sound_inspect.h"

namespace sim {

bool PreviewSound::save(const std::string& path, std::string* note) {
    size_t played = sound_inspect::played().size();
    if (!sound_inspect::write_track_wav(path, note)) return false;
    *note = path + " (" + std::to_string(played) + " sounds played)";
    return true;
}

}  // namespace sim
