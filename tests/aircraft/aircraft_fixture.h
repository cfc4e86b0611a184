// The module in the test host with the simulated aircraft behind it, for
// tests of what the aircraft answers as the pilot sees it on the gauges.
#pragma once

#include <cmath>

#include "aircraft/aircraft.h"
#include "tests/host_fixture.h"

// The aircraft alone, without the host: for tests of its flight.
namespace aircraft_test {

inline constexpr double kStep = 1.0 / 18;  // the host's rate

// Both engines running at idle, as after a start-up.
inline void set_engines_running(aircraft::State& s) {
    for (aircraft::Engine& e : s.engine) {
        e.tank_valve_open = e.admission_open = true;
        e.magnetos = 3;
        e.mixture = 1;
        e.running = true;
        e.rpm = 600;
    }
}

// An aircraft with both engines running, lined up on runway 27, brake off.
inline aircraft::Aircraft lined_up() {
    aircraft::Aircraft a;
    aircraft::State& s = a.state();
    set_engines_running(s);
    s.parking_brake = false;
    s.flight.east_m = 100;
    s.flight.north_m = 0;
    s.flight.heading_deg = 270;
    return a;
}

// That much simulated time at the host's rate.
inline void run(aircraft::Aircraft& a, double seconds) {
    for (int i = 0; i < std::lround(seconds / kStep); ++i) a.advance(kStep);
}

}  // namespace aircraft_test

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
    void engines_running() { aircraft_test::set_engines_running(state()); }
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
