#include "aircraft/pilot_controls.h"

#include <algorithm>
#include <cmath>

#include "aircraft/flight_model.h"
#include "aircraft/radio_nav.h"
#include "aircraft/systems.h"
#include "aircraft/variables.h"

namespace aircraft {

namespace {

const PilotControl kControls[] = {
    {"throttle", "Throttle", "", 0, 1, 0.05, "q", "a", [](const State& s) { return s.engine[0].throttle; },
     [](State& s, double v) { s.engine[0].throttle = s.engine[1].throttle = v; }},
    {"propeller", "Propeller", "", 0, 1, 0.05, "w", "s", [](const State& s) { return s.engine[0].propeller; },
     [](State& s, double v) { s.engine[0].propeller = s.engine[1].propeller = v; }},
    {"mixture", "Mixture", "", 0, 1, 0.05, "e", "d", [](const State& s) { return s.engine[0].mixture; },
     [](State& s, double v) { s.engine[0].mixture = s.engine[1].mixture = v; }},
    {"pitch", "Pitch", "deg", -15, 20, 1, "ArrowDown", "ArrowUp", [](const State& s) { return s.pilot.pitch_deg; },
     [](State& s, double v) { s.pilot.pitch_deg = v; }},
    {"bank", "Bank", "deg", -45, 45, 5, "ArrowRight", "ArrowLeft", [](const State& s) { return s.pilot.bank_deg; },
     [](State& s, double v) { s.pilot.bank_deg = v; }},
    {"brakes", "Brakes", "", 0, 1, 0.25, "b", "v", [](const State& s) { return s.pilot.brakes; },
     [](State& s, double v) { s.pilot.brakes = v; }},
    {"steer", "Steer", "deg/s", -20, 20, 5, "x", "z", [](const State& s) { return s.pilot.steer_dps; },
     [](State& s, double v) { s.pilot.steer_dps = v; }},
};

const PilotReadout kReadouts[] = {
    {"airspeed", "Airspeed", "km/h", [](const State& s) { return indicated_kmh(s); }},
    {"altitude", "Height", "ft", [](const State& s) { return s.flight.height_m * kFeetPerMetre; }},
    {"vertical_speed", "Climb", "ft/min", [](const State& s) { return s.flight.vertical_ms * kFeetPerMetre * 60; }},
    {"heading", "Heading", "deg", [](const State& s) { return s.flight.heading_deg; }},
    {"rpm1", "RPM 1", "rpm", [](const State& s) { return s.engine[0].rpm; }},
    {"rpm2", "RPM 2", "rpm", [](const State& s) { return s.engine[1].rpm; }},
    {"manifold1", "MP 1", "mb", [](const State& s) { return s.engine[0].manifold_mb; }},
    {"manifold2", "MP 2", "mb", [](const State& s) { return s.engine[1].manifold_mb; }},
    {"gear", "Gear", "down", [](const State& s) { return std::min(s.gear_left, s.gear_right); }},
    {"flaps", "Flaps", "deg", [](const State& s) { return s.flaps * kFlapsFullDegrees; }},
    {"on_ground", "On ground", "", [](const State& s) { return s.flight.on_ground ? 1.0 : 0.0; }},
    {"stall", "Stall", "", [](const State& s) { return s.flight.stalled ? 1.0 : 0.0; }},
};

}  // namespace

std::span<const PilotControl> pilot_controls() { return kControls; }

const PilotControl* find_pilot_control(std::string_view name) {
    for (const PilotControl& c : kControls)
        if (name == c.name) return &c;
    return nullptr;
}

std::span<const PilotReadout> pilot_readouts() { return kReadouts; }

}  // namespace aircraft
