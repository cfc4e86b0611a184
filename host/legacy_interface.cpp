// The host's side of the older gauge interface (header version 610). Such a
// gauge has no gauge callback: the host calls the seven routines of its
// header, and each routine hands the gauge's own element tree or mouse
// rectangles to one of the services below. The host records every call with
// its arguments (SimHost::service_calls) and does what a test and the
// previewer need: install loads the bitmaps and leaves the background's
// image record in the root element, update refreshes the variables and runs
// the callbacks, the mouse services set up, register and unregister the
// rectangles for hit-testing.
#include <cstring>
#include <string>

#include "host/bitmaps.h"
#include "host/module_entry.h"
#include "host/placement.h"
#include "host/sim_host.h"

namespace sim {

namespace {

// Byte offsets of the services in the host's 32-bit table.
enum : unsigned {
    QUERY_ELEMENTS = 0x60,
    INSTALL_ELEMENTS = 0x64,
    INITIALIZE_ELEMENTS = 0x68,
    UPDATE_ELEMENTS = 0x6C,
    GENERATE_ELEMENTS = 0x70,
    DRAW_ELEMENTS = 0x74,
    DESTROY_ELEMENTS = 0x7C,
    SET_UP_MOUSE_RECTS = 0x80,
    REGISTER_MOUSE_RECTS = 0x84,
    UNREGISTER_MOUSE_RECTS = 0x88,
};

std::string hex(unsigned offset) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%02X", offset);
    return text;
}

uintptr_t word(const void* p) { return reinterpret_cast<uintptr_t>(p); }

// Where the install service leaves the background's image record.
unsigned char* image_slot(ElementHeader* root) { return reinterpret_cast<unsigned char*>(root) + sizeof(ElementHeader); }

}  // namespace

struct LegacyServices {
    // Records the call; the placement whose routine made it, or null (and a
    // fault) when the call came from nowhere the host expects.
    static Placement* serving(unsigned offset, std::vector<uintptr_t> args) {
        SimHost* host = SimHost::current();
        if (!host) return nullptr;
        host->service_calls.push_back({offset, std::move(args)});
        Placement* p = host->legacy_serving_;
        if (!p) host->faults.push_back("service " + hex(offset) + " called outside a gauge routine");
        return p;
    }

    static bool is_root(Placement& p, unsigned offset, ElementHeader* root) {
        const GaugeHeader* h = p.original();
        if (root && h->elements && h->elements[0] == root) return true;
        p.host_.faults.push_back(p.name() + ": service " + hex(offset) + " given an element that is not the gauge's root");
        return false;
    }

    static bool is_gauge(Placement& p, unsigned offset, GaugeHeader* gauge) {
        if (gauge == p.original() || gauge == p.header()) return true;
        p.host_.faults.push_back(p.name() + ": service " + hex(offset) + " given another gauge's header");
        return false;
    }

    static void GAUGE_CALL query(ElementHeader* root) {
        if (Placement* p = serving(QUERY_ELEMENTS, {word(root)})) is_root(*p, QUERY_ELEMENTS, root);
    }

    // Takes up the tree, loads every element's bitmap, and leaves the
    // background's image record in the root.
    static void GAUGE_CALL install(ElementHeader* root, HostWord resource_handle) {
        Placement* p = serving(INSTALL_ELEMENTS, {word(root), resource_handle});
        if (!p || !is_root(*p, INSTALL_ELEMENTS, root)) return;
        if (!p->module() || resource_handle != p->module()->resource_handle())
            p->host_.faults.push_back(p->name() + ": install service given another module's resource handle");
        ElementHeader* const top[] = {root, nullptr};
        p->order_.clear();
        p->legacy_images_.clear();
        p->collect_order(top);
        p->drawn_.assign(p->order_.size(), DrawnElement{});
        for (size_t i = 0; i < p->order_.size(); ++i) {
            ElementHeader* e = p->order_[i];
            p->drawn_[i].record = e;
            auto image = std::make_unique<LegacyImage>();
            image->bitmap = e->bitmap;
            std::string error;
            if (!p->module()) {
                p->host_.faults.push_back(p->name() + ": no module to load bitmaps from");
            } else if (auto info = bitmap_info(*p->module(), e->bitmap, &error)) {
                image->width = info->width;
                image->height = info->height;
                image->bits = info->bits;
            } else {
                p->host_.faults.push_back(p->name() + ": " + error);
            }
            p->legacy_images_.push_back(std::move(image));
        }
        LegacyImage* background = p->legacy_images_.front().get();
        std::memcpy(image_slot(root), &background, sizeof background);
        p->legacy_destroyed_ = false;
    }

    static void GAUGE_CALL initialize(ElementHeader* root) {
        if (Placement* p = serving(INITIALIZE_ELEMENTS, {word(root)})) is_root(*p, INITIALIZE_ELEMENTS, root);
    }

    static void GAUGE_CALL update(ElementHeader* root) {
        Placement* p = serving(UPDATE_ELEMENTS, {word(root)});
        if (!p || !is_root(*p, UPDATE_ELEMENTS, root)) return;
        if (p->order_.empty()) {
            p->host_.faults.push_back(p->name() + ": elements updated before they were installed");
            return;
        }
        for (ElementHeader* e : p->order_) p->refresh_sources(e);
        p->compute_drawn();
    }

    static void GAUGE_CALL generate(ElementHeader* root, uint32_t phase) {
        if (Placement* p = serving(GENERATE_ELEMENTS, {word(root), phase})) is_root(*p, GENERATE_ELEMENTS, root);
    }

    static void GAUGE_CALL draw(ElementHeader* root) {
        if (Placement* p = serving(DRAW_ELEMENTS, {word(root)})) is_root(*p, DRAW_ELEMENTS, root);
    }

    // The rectangles lie over the elements: they must be gone first.
    static void GAUGE_CALL destroy(ElementHeader* root) {
        Placement* p = serving(DESTROY_ELEMENTS, {word(root)});
        if (!p || !is_root(*p, DESTROY_ELEMENTS, root)) return;
        if (p->legacy_registered_rects)
            p->host_.faults.push_back(p->name() + ": elements destroyed while their mouse rectangles are registered");
        std::memset(image_slot(root), 0, sizeof(LegacyImage*));
        p->legacy_images_.clear();
        p->legacy_destroyed_ = true;
    }

    // The size is the background's, read through the address the gauge
    // passes: four bytes into the image record the install service left.
    static void GAUGE_CALL set_up_mouse(MouseRect* rects, GaugeHeader* gauge, void* size) {
        Placement* p = serving(SET_UP_MOUSE_RECTS, {word(rects), word(gauge), word(size)});
        if (!p || !is_gauge(*p, SET_UP_MOUSE_RECTS, gauge)) return;
        for (const auto& image : p->legacy_images_) {
            if (size == &image->width) {
                p->width = image->width;
                p->height = image->height;
                return;
            }
        }
        p->host_.faults.push_back(p->name() + ": mouse set-up without the background's image size");
    }

    static void GAUGE_CALL register_mouse(MouseRect* rects, GaugeHeader* gauge) {
        Placement* p = serving(REGISTER_MOUSE_RECTS, {word(rects), word(gauge)});
        if (!p || !is_gauge(*p, REGISTER_MOUSE_RECTS, gauge)) return;
        p->legacy_registered_rects = rects;
    }

    static void GAUGE_CALL unregister_mouse(MouseRect* rects, GaugeHeader* gauge) {
        Placement* p = serving(UNREGISTER_MOUSE_RECTS, {word(rects), word(gauge)});
        if (!p || !is_gauge(*p, UNREGISTER_MOUSE_RECTS, gauge)) return;
        if (rects != p->legacy_registered_rects)
            p->host_.faults.push_back(p->name() + ": unregistering mouse rectangles that are not registered");
        p->legacy_registered_rects = nullptr;
    }
};

void install_legacy_services(HostServices& table) {
    auto set = [&](unsigned offset, auto fn) { table.slot[host_slot(offset)] = reinterpret_cast<void*>(fn); };
    set(QUERY_ELEMENTS, &LegacyServices::query);
    set(INSTALL_ELEMENTS, &LegacyServices::install);
    set(INITIALIZE_ELEMENTS, &LegacyServices::initialize);
    set(UPDATE_ELEMENTS, &LegacyServices::update);
    set(GENERATE_ELEMENTS, &LegacyServices::generate);
    set(DRAW_ELEMENTS, &LegacyServices::draw);
    set(DESTROY_ELEMENTS, &LegacyServices::destroy);
    set(SET_UP_MOUSE_RECTS, &LegacyServices::set_up_mouse);
    set(REGISTER_MOUSE_RECTS, &LegacyServices::register_mouse);
    set(UNREGISTER_MOUSE_RECTS, &LegacyServices::unregister_mouse);
}

// ------------------------------------------------------------ routines

template <typename Routine>
void SimHost::legacy_run(Placement& p, Routine routine) {
    Placement* outer = legacy_serving_;
    legacy_serving_ = &p;
    routine(*p.header());
    legacy_serving_ = outer;
}

// Query, install with the module resource handle, initialise.
void SimHost::legacy_start(Placement& p, HostWord resource_handle) {
    legacy_run(p, [&](GaugeHeader& h) {
        if (h.query) enter_module(h.query);
        if (h.install) enter_module(h.install, resource_handle);
        if (h.initialize) enter_module(h.initialize);
    });
}

// One cycle: update (variables and callbacks), then generate and draw.
void SimHost::legacy_cycle(Placement& p) {
    if (p.legacy_destroyed()) return;
    legacy_run(p, [&](GaugeHeader& h) {
        if (h.update) enter_module(h.update);
        if (h.generate) enter_module(h.generate, uint32_t{0});
        if (h.draw) enter_module(h.draw);
    });
}

void SimHost::legacy_kill(Placement& p) {
    legacy_run(p, [&](GaugeHeader& h) {
        if (h.kill) enter_module(h.kill);
    });
}

}  // namespace sim
