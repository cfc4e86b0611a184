// What the page needs to draw the panel itself: once, the layout and every
// bitmap the elements can show (PNG, the transparent key already cleared);
// then, each host cycle, the drawn state of the elements, and between two
// states only what changed.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "preview/panel_session.h"
#include "preview/renderer.h"

namespace sim {

// The drawn state of one element that changes from cycle to cycle.
struct ElementState {
    uint8_t flags = 0;  // kHidden, kLit
    // Per kind: needle angle; slider shift x, y; moving image shift x, y;
    // sprite shift x, y and rotation (degrees); icon image index in a.
    double a = 0, b = 0, c = 0;
    std::string text;  // string elements
    uint32_t text_colour = 0, background_colour = 0;
    bool operator==(const ElementState&) const = default;
};
constexpr uint8_t kHidden = 1, kLit = 2;

struct PanelSnapshot {
    uint64_t serial = 0;        // publications since the start (a pause publishes without a cycle)
    uint64_t seq = 0;           // host cycles since the start
    double clock = 0;           // simulated seconds
    std::vector<ElementState> elements;
    std::vector<std::pair<uint32_t, bool>> windows;  // panel ident, visible
    uint64_t sounds_total = 0;                       // sounds played since the start
    std::vector<uint32_t> recent_sounds;             // the last few, ending at sounds_total
    uint64_t input = 0;                              // the last page input the host has taken
    bool scenario_running = false;
    bool paused = false;
    std::string status;  // the attached simulation's status line (a link's health)
};

// The panel as the page draws it: one entry per element of every placed
// gauge, in drawing order.
class PanelDescription {
public:
    PanelDescription(PanelSession& session, const BitmapLookup& lookup, const RenderOptions& options);

    const std::string& layout_json() const { return layout_json_; }
    // "/bitmap/M/ID.png" → PNG bytes; null when there is no such bitmap.
    const std::string* bitmap_png(const std::string& path) const;
    size_t bitmap_count() const { return bitmaps_.size(); }

    // The state the last cycle left (call on the panel thread).
    void snapshot(PanelSnapshot* out) const;

private:
    struct Entry {
        const Placement* placement;
        size_t index;
        double travel_x = 0, travel_y = 0;  // moving images: how far the picture slides
    };
    PanelSession& session_;
    std::vector<Entry> entries_;
    std::string layout_json_;
    std::map<std::string, std::string> bitmaps_;
};

// The stream message that brings a page from `from` (null: a page that has
// nothing yet) to `to`: changed elements, window visibility, sounds played
// since, the simulated clock and the last input taken.
std::string state_message(const PanelSnapshot* from, const PanelSnapshot& to);

// The module's Latin-1 text as UTF-8 (what JSON carries).
std::string latin1_to_utf8(const std::string& latin1);

// JSON text for the page: never anything but JSON (text that is not UTF-8
// is replaced, not passed on).
std::string json_text(const nlohmann::ordered_json& j);

// The largest shift, angle or value a drawn state carries: far beyond any
// panel, and a number every JSON reader takes as it is.
constexpr double kMaxDrawnValue = 1e6;

}  // namespace sim
