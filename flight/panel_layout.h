// A panel layout in the host's panel-configuration style: windows with a size,
// a position and a background colour, each placing gauges by
//   gaugeNN=Module!Gauge, x, y, width, height, parameters
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "flight/rgba.h"

namespace sim {

// What a layout may ask for, so that no file can make the previewer draw
// more than it can hold.
struct LayoutLimits {
    size_t file_bytes = 1024 * 1024;
    int window_pixels = 8192;                    // a window's width or height, and its position
    long long screen_pixels = 4096LL * 4096;     // the screen all windows stand on (width x height)
    int gauges = 256;                            // gauges in a layout (the contact sheet's cells)
    int gauge_pixels = 2048;                     // a gauge's width or height on the panel
    long long gauge_area = 32LL * 1024 * 1024;   // all gauges' panel areas together
    size_t parameters_bytes = 1024;              // a gauge's parameter string
};
inline constexpr LayoutLimits kLayoutLimits{};

struct GaugeSlot {
    std::string module;  // empty: any loaded module
    std::string gauge;
    int x = 0, y = 0;
    int width = 0, height = 0;  // 0: from the gauge's own bitmap (height keeps the aspect)
    std::string parameters;
    bool has_parameters = false;
    int line = 0;
};

struct PanelWindow {
    std::string section;  // "Window00"
    int line = 0;         // of its section header
    std::string title;
    int x = 0, y = 0;
    int width = 0, height = 0;
    Rgba background{40, 42, 46, 255};
    uint32_t ident = 0;   // panel identifier the host toggles it by
    bool visible = true;  // at the start
    std::vector<GaugeSlot> gauges;
};

struct PanelLayout {
    std::vector<PanelWindow> windows;
    // The screen the windows stand on: big enough for all of them.
    int screen_width() const;
    int screen_height() const;
};

// Reads a layout; false with `error` as "file:line: what is wrong".
bool parse_panel_layout(const std::string& text, const std::string& file_name, PanelLayout* layout, std::string* error);
bool load_panel_layout(const std::string& path, PanelLayout* layout, std::string* error);

// The built-in default panel: every gauge of both modules.
extern const char* const kDefaultPanelLayout;

}  // namespace sim
