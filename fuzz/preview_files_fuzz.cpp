// The readers of panel layouts and flight scenarios, fed
// arbitrary bytes: either a clean read or an error that names the file and
// the line, never a crash or an out-of-bounds read. What reads cleanly is
// then flown and drawn, within the readers' bounds: the gauges placed, a
// few seconds of the scenario played, the screen and the contact sheet
// drawn.
//
// An input is a layout, optionally followed by a line "%%" and a scenario;
// without that line both readers read the whole input.
#include <dlfcn.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "flight/panel_layout.h"
#include "preview/panel_session.h"
#include "preview/preview_support.h"
#include "flight/scenario.h"

namespace {

// Seconds of scenario flown for one input, and the most gauges drawn on a
// contact sheet: enough to reach every drawing rule, little enough to keep
// thousands of inputs a second.
constexpr double kFlownSeconds = 2.0;
constexpr size_t kSheetGauges = 16;

// The modules stay mapped for the whole run (each input's host loads and
// unloads them): the fuzzer reads the coverage counters inside them after
// every input.
void keep_modules_mapped() {
    static const bool kept = [] {
        for (const std::string& path : sim::default_module_paths())
            if (!dlopen(path.c_str(), RTLD_NOW)) std::abort();
        return true;
    }();
    (void)kept;
}

const sim::BitmapLookup& bitmaps() {
    static const sim::BitmapLookup lookup = sim::module_bitmap_lookup();
    return lookup;
}

void fly_and_draw(const sim::PanelLayout& layout, const sim::Scenario* scenario) {
    keep_modules_mapped();
    sim::SimHost host;
    std::string error;
    for (const std::string& path : sim::default_module_paths())
        if (!host.load_module(path, &error)) std::abort();
    sim::PanelSession session(host, layout, bitmaps());
    if (!session.place_all("fuzz.cfg", &error)) {
        if (error.rfind("fuzz.cfg:", 0) != 0) std::abort();
        return;
    }
    if (scenario) {
        if (!session.run_to(*scenario, std::min(scenario->duration, kFlownSeconds)) &&
            session.scenario_error().rfind("fuzz.txt:", 0) != 0)
            std::abort();
    } else {
        session.cycle();
    }
    const sim::Image& screen = session.screen({});
    if (screen.width != std::max(1, layout.screen_width()) || screen.height != std::max(1, layout.screen_height()))
        std::abort();
    session.screen({.night = true});
    if (session.gauges().size() <= kSheetGauges) session.contact_sheet({});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    std::string layout_text = text, scenario_text = text;
    size_t split = text.find("\n%%\n");
    if (split != std::string::npos) {
        layout_text = text.substr(0, split + 1);
        scenario_text = text.substr(split + 4);
    }
    std::string error;
    sim::PanelLayout layout;
    bool layout_ok = sim::parse_panel_layout(layout_text, "fuzz.cfg", &layout, &error);
    if (!layout_ok && error.rfind("fuzz.cfg", 0) != 0) std::abort();
    if (layout_ok)
        for (auto& w : layout.windows)
            if (w.width <= 0 || w.height <= 0) std::abort();
    sim::Scenario scenario;
    error.clear();
    bool scenario_ok = sim::parse_scenario(scenario_text, "fuzz.txt", &scenario, &error);
    if (!scenario_ok && error.rfind("fuzz.txt", 0) != 0) std::abort();
    if (layout_ok) fly_and_draw(layout, scenario_ok ? &scenario : nullptr);
    return 0;
}
