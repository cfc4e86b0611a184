// The module in the test host with the simulated aircraft behind it, for
// tests of what the aircraft answers as the pilot sees it on the gauges.
#pragma once

#include <cmath>

#include "aircraft/aircraft.h"
#include "tests/host_fixture.h"

class AircraftTest : public ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        host.attach(&plane);
    }
    void TearDown() override {
        host.kill_all();
        host.attach(nullptr);
        ModuleTest::TearDown();
    }
    // Host cycles for that much simulated time.
    void fly(double seconds) { host.cycles(static_cast<int>(std::lround(seconds / host.seconds_per_cycle))); }
    aircraft::State& state() { return plane.state(); }

    // Both engines running at idle, as after a start-up.
    void engines_running() {
        for (aircraft::Engine& e : state().engine) {
            e.tank_valve_open = e.admission_open = true;
            e.magnetos = 3;
            e.mixture = 1;
            e.running = true;
            e.rpm = 600;
        }
    }
    // In the air over the aerodrome, level, at a speed (m/s) and height.
    void airborne(double height_m, double speed_ms, double heading = 270) {
        engines_running();
        state().parking_brake = false;
        state().flight.on_ground = false;
        state().flight.height_m = height_m;
        state().flight.speed_ms = speed_ms;
        state().flight.heading_deg = heading;
        state().flight.pitch_deg = state().pilot.pitch_deg = 1;
    }

    aircraft::Aircraft plane;
};
