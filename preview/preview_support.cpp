#include "preview/preview_support.h"

#include <cstring>
#include <map>
#include <memory>
#include <utility>

#include "host/sim_host.h"
#include "host/bitmaps.h"

namespace sim {

std::vector<std::string> default_module_paths() {
    std::vector<std::string> paths{MORVANE_MODULE_PATH};
#ifdef TELVOR_MODULE_PATH
    paths.push_back(TELVOR_MODULE_PATH);
#endif
    return paths;
}

BitmapLookup module_bitmap_lookup() {
    auto cache = std::make_shared<std::map<std::pair<const LoadedModule*, int32_t>, std::unique_ptr<Image>>>();
    return [cache](const LoadedModule* module, int32_t id) -> const Image* {
        if (!module) return nullptr;
        auto key = std::make_pair(module, id);
        auto it = cache->find(key);
        if (it != cache->end()) return it->second.get();
        std::unique_ptr<Image> image;
        if (std::optional<Bitmap> bitmap = load_bitmap(*module, id)) {
            image = std::make_unique<Image>(bitmap->info.width, bitmap->info.height);
            const uint8_t* p = bitmap->rgba.data();
            for (Rgba& pixel : image->pixels) {
                // Pure black is the host's transparent key colour.
                pixel = {p[0], p[1], p[2], static_cast<uint8_t>((p[0] | p[1] | p[2]) ? 255 : 0)};
                p += 4;
            }
        }
        const Image* result = image.get();
        (*cache)[key] = std::move(image);
        return result;
    };
}

}  // namespace sim

