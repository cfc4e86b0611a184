// The built-in panel placed in the test host, with the built-in circuit
// ready to fly on it: for tests that follow the circuit's flight.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "preview/panel_session.h"
#include "preview/preview_support.h"

struct BuiltInCircuit {
    sim::SimHost host;
    sim::PanelLayout layout;
    sim::Scenario scenario;
    std::unique_ptr<sim::PanelSession> session;

    BuiltInCircuit() {
        std::string error;
        for (const std::string& path : sim::default_module_paths())
            EXPECT_NE(host.load_module(path, &error), nullptr) << error;
        EXPECT_TRUE(sim::parse_panel_layout(sim::kDefaultPanelLayout, "built-in panel", &layout, &error)) << error;
        EXPECT_TRUE(sim::parse_scenario(sim::kDefaultScenario, "built-in scenario", &scenario, &error)) << error;
        session = std::make_unique<sim::PanelSession>(host, layout, sim::module_bitmap_lookup());
        EXPECT_TRUE(session->place_all("built-in panel", &error)) << error;
    }
    // The circuit flown up to `t` seconds of its scenario.
    void fly_to(double t) { ASSERT_TRUE(session->run_to(scenario, t)) << session->scenario_error(); }
};
