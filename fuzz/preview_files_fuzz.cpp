// The previewer's readers of panel layouts and flight scenarios, fed
// arbitrary bytes: either a clean read or an error that names the file and
// the line, never a crash or an out-of-bounds read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "preview/panel_layout.h"
#include "preview/scenario.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    std::string error;
    sim::PanelLayout layout;
    if (!sim::parse_panel_layout(text, "fuzz.cfg", &layout, &error) && error.rfind("fuzz.cfg", 0) != 0) std::abort();
    if (sim::parse_panel_layout(text, "fuzz.cfg", &layout, &error))
        for (auto& w : layout.windows)
            if (w.width <= 0 || w.height <= 0) std::abort();
    sim::Scenario scenario;
    error.clear();
    if (!sim::parse_scenario(text, "fuzz.txt", &scenario, &error) && error.rfind("fuzz.txt", 0) != 0) std::abort();
    return 0;
}
