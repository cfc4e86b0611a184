// A fresh test host with Morvane_Instr loaded, for tests that drive gauges.
#pragma once

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "host/sim_host.h"

class ModuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        module = host.load_module(MORVANE_MODULE_PATH, &error);
        ASSERT_NE(module, nullptr) << error;
    }
    void TearDown() override { EXPECT_TRUE(host.faults.empty()) << host.faults.front(); }

    // Places a gauge and fails the test when it is not found.
    sim::Placement& place(const std::string& name, const char* parameters = nullptr) {
        std::string error;
        sim::Placement* p = host.place(name, parameters, &error);
        EXPECT_NE(p, nullptr) << error;
        if (!p) throw std::runtime_error(error);
        return *p;
    }

    sim::SimHost host;
    sim::LoadedModule* module = nullptr;
};
