// The previewer's built-in panel and circuit, loaded once for a benchmark.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "preview/panel_session.h"
#include "preview/preview_support.h"

namespace bench {

struct DefaultPanel {
    sim::SimHost host;
    sim::PanelLayout layout;
    sim::Scenario scenario;
    std::unique_ptr<sim::PanelSession> session;

    DefaultPanel() {
        std::string error;
        for (const std::string& path : sim::default_module_paths())
            if (!host.load_module(path, &error)) die(error);
        if (!sim::parse_panel_layout(sim::kDefaultPanelLayout, "built-in panel", &layout, &error)) die(error);
        if (!sim::parse_scenario(sim::kDefaultScenario, "built-in scenario", &scenario, &error)) die(error);
        session = std::make_unique<sim::PanelSession>(host, layout, sim::module_bitmap_lookup());
        if (!session->place_all("built-in panel", &error)) die(error);
    }
    static void die(const std::string& e) {
        std::fprintf(stderr, "%s\n", e.c_str());
        std::exit(1);
    }
};

}  // namespace bench
