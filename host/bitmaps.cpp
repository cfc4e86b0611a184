#include "host/bitmaps.h"

#include <climits>
#include <cstring>

#include "framework/host_records.h"
#include "host/sim_host.h"
#include "platform/win32.h"

namespace sim {

namespace {

uint16_t u16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t u32(const uint8_t* p) { return uint32_t(u16(p)) | (uint32_t(u16(p + 2)) << 16); }

bool set_error(std::string* error, const std::string& message) {
    if (error) *error = message;
    return false;
}

// The layout of a DIB: what the pixels are and where they lie.
struct DibLayout {
    BitmapInfo info;
    bool top_down = false;
    uint32_t header = 0, palette_entries = 0;
    uint64_t stride = 0;
};

bool read_layout(const uint8_t* data, size_t size, DibLayout& dib, std::string* error) {
    if (!data || size < 40) return set_error(error, "shorter than a bitmap header");
    dib.header = u32(data);
    if (dib.header != 40 && dib.header != 108 && dib.header != 124)
        return set_error(error, "unknown bitmap header size " + std::to_string(dib.header));
    int32_t width = int32_t(u32(data + 4)), height = int32_t(u32(data + 8));
    uint16_t planes = u16(data + 12), bits = u16(data + 14);
    uint32_t compression = u32(data + 16), colours = u32(data + 32);
    if (planes != 1) return set_error(error, "more than one plane");
    if (compression != 0) return set_error(error, "compressed bitmap (compression " + std::to_string(compression) + ")");
    if (bits != 8 && bits != 24) return set_error(error, std::to_string(bits) + "-bit pixels (8 or 24 expected)");
    if (width <= 0 || height == 0 || height == INT32_MIN) return set_error(error, "no pixels");
    dib.top_down = height < 0;
    dib.info = {width, dib.top_down ? -height : height, bits};
    if (bits == 8) {
        if (colours > 256) return set_error(error, "palette of " + std::to_string(colours) + " colours");
        dib.palette_entries = colours ? colours : 256;
    }
    dib.stride = (uint64_t(width) * bits + 31) / 32 * 4;
    uint64_t needed = dib.header + uint64_t(dib.palette_entries) * 4 + dib.stride * uint64_t(dib.info.height);
    if (needed > size)
        return set_error(error, "pixels run past the resource (" + std::to_string(needed) + " bytes needed, " +
                                    std::to_string(size) + " present)");
    return true;
}

// The bytes of a bitmap resource of the module.
bool find_bitmap(const LoadedModule& module, LPCSTR name, const std::string& label, const uint8_t*& data,
                 size_t& size, std::string* error) {
    auto* handle = reinterpret_cast<HMODULE>(module.resource_handle());
    std::string where = module.path() + ": bitmap " + label;
    HRSRC found = FindResourceA(handle, name, RT_BITMAP);
    if (!found) return set_error(error, where + " is missing");
    data = static_cast<const uint8_t*>(LockResource(LoadResource(handle, found)));
    size = SizeofResource(handle, found);
    if (!data) return set_error(error, where + " cannot be loaded");
    return true;
}

std::optional<Bitmap> load(const LoadedModule& module, LPCSTR name, const std::string& label, std::string* error) {
    const uint8_t* data;
    size_t size;
    if (!find_bitmap(module, name, label, data, size, error)) return std::nullopt;
    std::string why;
    std::optional<Bitmap> bitmap = decode_dib(data, size, &why);
    if (!bitmap) set_error(error, module.path() + ": bitmap " + label + ": " + why);
    return bitmap;
}

}  // namespace

std::optional<Bitmap> decode_dib(const uint8_t* data, size_t size, std::string* error) {
    DibLayout dib;
    if (!read_layout(data, size, dib, error)) return std::nullopt;
    Bitmap bitmap;
    bitmap.info = dib.info;
    const int32_t w = dib.info.width, h = dib.info.height;
    bitmap.rgba.resize(size_t(w) * size_t(h) * 4);
    const uint8_t* palette = data + dib.header;
    const uint8_t* pixels = palette + dib.palette_entries * 4;
    for (int32_t row = 0; row < h; ++row) {
        // Bottom-up unless the height was negative.
        const uint8_t* src = pixels + dib.stride * uint64_t(dib.top_down ? row : h - 1 - row);
        uint8_t* out = &bitmap.rgba[size_t(row) * size_t(w) * 4];
        for (int32_t x = 0; x < w; ++x, out += 4) {
            const uint8_t* bgr;
            if (dib.info.bits == 8) {
                uint8_t index = src[x];
                // An index past a short palette draws black.
                static const uint8_t black[3] = {0, 0, 0};
                bgr = index < dib.palette_entries ? palette + index * 4 : black;
            } else {
                bgr = src + x * 3;
            }
            out[0] = bgr[2];
            out[1] = bgr[1];
            out[2] = bgr[0];
            out[3] = 255;
        }
    }
    return bitmap;
}

std::optional<BitmapInfo> bitmap_info(const LoadedModule& module, int32_t id, std::string* error) {
    std::string label = std::to_string(id);
    if (id <= 0 || id > 0xFFFF) {
        set_error(error, module.path() + ": bitmap " + label + " is missing (not a resource identifier)");
        return std::nullopt;
    }
    const uint8_t* data;
    size_t size;
    if (!find_bitmap(module, MAKEINTRESOURCEA(id), label, data, size, error)) return std::nullopt;
    DibLayout dib;
    std::string why;
    if (!read_layout(data, size, dib, &why)) {
        set_error(error, module.path() + ": bitmap " + label + ": " + why);
        return std::nullopt;
    }
    return dib.info;
}

std::optional<Bitmap> load_bitmap(const LoadedModule& module, int32_t id, std::string* error) {
    if (id <= 0 || id > 0xFFFF) {
        set_error(error, module.path() + ": bitmap " + std::to_string(id) + " is missing (not a resource identifier)");
        return std::nullopt;
    }
    return load(module, MAKEINTRESOURCEA(id), std::to_string(id), error);
}

std::optional<Bitmap> load_named_bitmap(const LoadedModule& module, const std::string& name, std::string* error) {
    // A name of digits or "#n" would ask for a numbered bitmap.
    if (name.empty() || name[0] == '#' || name.find_first_not_of("0123456789") == std::string::npos) {
        set_error(error, module.path() + ": bitmap " + name + " is missing (not a resource name)");
        return std::nullopt;
    }
    return load(module, name.c_str(), name, error);
}

}  // namespace sim

namespace sim {

namespace {

class ChainCheck {
public:
    ChainCheck(const LoadedModule& module, const GaugeHeader& gauge)
        : module_(module), gauge_(gauge.name ? gauge.name : "(unnamed gauge)") {}

    void walk(const GaugeHeader& gauge) {
        ElementHeader* const* list = gauge.elements;
        // The chain: the background, then at most one element over each.
        for (int depth = 0; list && list[0] && depth < 1000; ++depth) {
            const ElementHeader& e = *list[0];
            if (depth == 0) background_ = bitmap_info(module_, e.bitmap);
            check(e, depth == 0);
            list = e.next;
        }
    }

    std::vector<std::string> problems;

private:
    std::optional<BitmapInfo> need(int32_t id, const std::string& what) {
        std::string error;
        std::optional<BitmapInfo> info = bitmap_info(module_, id, &error);
        if (!info) problems.push_back(gauge_ + ": " + what + ": " + error);
        return info;
    }

    // Where an element of the kinds placed by their corner sits.
    void inside_background(const ElementHeader& e, const BitmapInfo& info, const std::string& what) {
        if (!background_) return;
        if (e.x < 0 || e.y < 0 || int64_t(e.x) + info.width > background_->width ||
            int64_t(e.y) + info.height > background_->height)
            problems.push_back(gauge_ + ": " + what + " " + std::to_string(e.bitmap) + " (" +
                               std::to_string(info.width) + "x" + std::to_string(info.height) + " at " +
                               std::to_string(e.x) + "," + std::to_string(e.y) + ") runs past the background (" +
                               std::to_string(background_->width) + "x" + std::to_string(background_->height) + ")");
    }

    void check(const ElementHeader& e, bool background) {
        switch (e.kind) {
        case ELEMENT_STRING:
            if (e.bitmap != -1) need(e.bitmap, "string element");
            break;
        case ELEMENT_STATIC_IMAGE:
            if (auto info = need(e.bitmap, background ? "background" : "static image"))
                if (!background) inside_background(e, *info, "static image");
            break;
        case ELEMENT_ICON: {
            auto& icon = reinterpret_cast<const IconElement&>(e);
            uint32_t images = icon.image_count ? icon.image_count : 1;
            for (uint32_t k = 0; k < images && k < 256; ++k)
                if (auto info = need(e.bitmap + int32_t(k), "icon on " + std::to_string(e.bitmap) + ", image " +
                                                                std::to_string(k)))
                    if (!background) inside_background(e, *info, "icon image");
            break;
        }
        case ELEMENT_MOVING_IMAGE: {
            auto picture = need(e.bitmap, "moving image picture");
            auto window = need(e.bitmap + 1, "moving image window");
            if (window) inside_background(e, *window, "moving image window");
            if (picture && window && (picture->width < window->width || picture->height < window->height))
                problems.push_back(gauge_ + ": moving image " + std::to_string(e.bitmap) +
                                   ": the picture does not cover its window " + std::to_string(e.bitmap + 1));
            break;
        }
        case ELEMENT_SPRITE:
            need(e.bitmap, "sprite picture");
            need(e.bitmap + 1, "sprite window");
            break;
        default:  // needles and sliders: the bitmap that turns or slides
            need(e.bitmap, e.kind == ELEMENT_NEEDLE ? "needle" : "slider");
            break;
        }
    }

    const LoadedModule& module_;
    std::string gauge_;
    std::optional<BitmapInfo> background_;
};

}  // namespace

std::vector<std::string> element_bitmap_problems(const LoadedModule& module, const GaugeHeader& gauge) {
    ChainCheck check(module, gauge);
    check.walk(gauge);
    return check.problems;
}

}  // namespace sim

namespace sim {

void learn_background_size(Placement& p) {
    p.background_problem.clear();
    const GaugeHeader* h = p.header();
    if (!p.module() || !h->elements || !h->elements[0]) return;
    std::string error;
    if (std::optional<BitmapInfo> info = bitmap_info(*p.module(), h->elements[0]->bitmap, &error)) {
        p.width = info->width;
        p.height = info->height;
    } else {
        p.background_problem = p.name() + ": background: " + error;
    }
}

}  // namespace sim
