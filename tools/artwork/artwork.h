// The artwork generator's catalogue: one painter per bitmap, found by the
// bitmap's name (its identifier in decimal, or the name of a spare button
// face). Each gauge family registers its painters in its own file.
#pragma once

#include <functional>
#include <map>
#include <string>

#include "font.h"
#include "parts.h"
#include "raster.h"

namespace art {

// Draws one bitmap on a transparent canvas of the bitmap's size.
using Painter = std::function<void(Canvas&, Fonts&)>;

class Catalogue {
public:
    void add(int id, Painter p) { add(std::to_string(id), std::move(p)); }
    void add(const std::string& name, Painter p) { painters_[name] = std::move(p); }
    const Painter* find(const std::string& name) const {
        auto it = painters_.find(name);
        return it == painters_.end() ? nullptr : &it->second;
    }

private:
    std::map<std::string, Painter> painters_;
};

void add_flight_artwork(Catalogue& c);
void add_navigation_artwork(Catalogue& c);
void add_radio_artwork(Catalogue& c);
void add_engine_artwork(Catalogue& c);
void add_controls_artwork(Catalogue& c);
void add_panel_button_artwork(Catalogue& c);
// Telvor_Flaps' own two bitmaps (drawn with --sizes flaps_module/bitmap_sizes.txt).
void add_flaps_module_artwork(Catalogue& c);

inline void add_all_artwork(Catalogue& c) {
    add_flight_artwork(c);
    add_navigation_artwork(c);
    add_radio_artwork(c);
    add_engine_artwork(c);
    add_controls_artwork(c);
    add_panel_button_artwork(c);
    add_flaps_module_artwork(c);
}

}  // namespace art
