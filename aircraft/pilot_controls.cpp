#include "aircraft/pilot_controls.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "aircraft/flight_model.h"
#include "aircraft/radio_nav.h"
#include "aircraft/systems.h"
#include "aircraft/variables.h"

namespace aircraft {

namespace {

constexpr double kPi = 3.141592653589793;

std::string format(const char* pattern, double value) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, std::isfinite(value) ? value : 0.0);
    return text;
}

// Whole units, with no "-0".
std::string whole(double value, const char* unit) {
    double v = std::round(std::isfinite(value) ? value : 0.0);
    return format("%.0f", v == 0 ? 0.0 : v) + " " + unit;
}

std::string degrees(double value) {
    double d = std::fmod(std::round(std::isfinite(value) ? value : 0.0), 360.0);
    if (d <= 0) d += 360;  // headings run 001 to 360
    return format("%03.0f", d) + "\xB0";
}

std::string distance(double metres) {
    if (metres < 995) return whole(std::round(metres / 10) * 10, "m");
    return format("%.1f km", metres / 1000);
}

std::string gear_text(const State& s) {
    double down = std::min(s.gear_left, s.gear_right), up = std::max(s.gear_left, s.gear_right);
    if (down >= 1) return "gear down and locked";
    if (up <= 0) return "gear up";
    return "gear in transit";
}

std::string flaps_text(const State& s) {
    double deg = s.flaps * kFlapsFullDegrees;
    if (deg < 0.5) return "flaps up";
    return format("flaps %.0f", std::round(deg)) + "\xB0";
}

std::string engine_text(const State& s, int n) {
    const Engine& e = s.engine[n];
    if (e.running) return whole(e.rpm, "rpm");
    if (e.rpm >= 1) return whole(e.rpm, "rpm") + (e.starter ? ", cranking" : ", stopped");
    return "stopped";
}

// Runway 27 as seen from the aircraft on the ground: the runway's heading,
// how far its threshold is and which way.
std::string runway_text(const State& s) {
    if (!s.flight.on_ground) return {};
    double east = -s.flight.east_m, north = -s.flight.north_m;
    double bearing = std::atan2(east, north) * 180 / kPi;
    std::string text = "runway 27: " + degrees(aerodrome().runway_heading_deg) + ", threshold " +
                       distance(std::hypot(east, north));
    if (std::hypot(east, north) >= 5) text += " at " + degrees(bearing);
    return text;
}

const PilotControl kControls[] = {
    {"throttle", "Throttle", "", 0, 1, 0.05, "q", "a", [](const State& s) { return s.engine[0].throttle; },
     [](State& s, double v) { s.engine[0].throttle = s.engine[1].throttle = v; }},
    {"throttle1", "Throttle 1", "", 0, 1, 0.05, "", "", [](const State& s) { return s.engine[0].throttle; },
     [](State& s, double v) { s.engine[0].throttle = v; }},
    {"throttle2", "Throttle 2", "", 0, 1, 0.05, "", "", [](const State& s) { return s.engine[1].throttle; },
     [](State& s, double v) { s.engine[1].throttle = v; }},
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
    {"airspeed", "Airspeed", "km/h", [](const State& s) { return indicated_kmh(s); },
     [](const State& s) { return whole(indicated_kmh(s), "km/h"); }},
    {"altitude", "Height", "ft", [](const State& s) { return s.flight.height_m * kFeetPerMetre; },
     [](const State& s) { return whole(s.flight.height_m * kFeetPerMetre, "ft"); }},
    {"vertical_speed", "Climb", "ft/min", [](const State& s) { return s.flight.vertical_ms * kFeetPerMetre * 60; },
     [](const State& s) {
         double fpm = std::round(s.flight.vertical_ms * kFeetPerMetre * 60 / 10) * 10;
         return (fpm > 0 ? "+" : "") + whole(fpm, "ft/min");
     }},
    {"heading", "Heading", "deg", [](const State& s) { return s.flight.heading_deg; },
     [](const State& s) { return degrees(s.flight.heading_deg); }},
    {"rpm1", "RPM 1", "rpm", [](const State& s) { return s.engine[0].rpm; }, [](const State& s) { return engine_text(s, 0); }},
    {"rpm2", "RPM 2", "rpm", [](const State& s) { return s.engine[1].rpm; }, [](const State& s) { return engine_text(s, 1); }},
    {"manifold1", "MP 1", "mb", [](const State& s) { return s.engine[0].manifold_mb; },
     [](const State& s) { return whole(s.engine[0].manifold_mb, "mb"); }},
    {"manifold2", "MP 2", "mb", [](const State& s) { return s.engine[1].manifold_mb; },
     [](const State& s) { return whole(s.engine[1].manifold_mb, "mb"); }},
    {"gear", "Gear", "down", [](const State& s) { return std::min(s.gear_left, s.gear_right); }, gear_text},
    {"flaps", "Flaps", "deg", [](const State& s) { return s.flaps * kFlapsFullDegrees; }, flaps_text},
    {"on_ground", "On ground", "", [](const State& s) { return s.flight.on_ground ? 1.0 : 0.0; },
     [](const State& s) { return std::string(s.flight.on_ground ? "on the ground" : "airborne"); }},
    {"stall", "Stall", "", [](const State& s) { return s.flight.stalled ? 1.0 : 0.0; },
     [](const State& s) { return std::string(s.flight.stalled ? "stall warning" : "no stall warning"); }},
    // The distance from the aircraft to runway 27's threshold, and in words
    // the runway's heading and where its threshold lies, while on the
    // ground.
    {"runway", "Runway 27", "m", [](const State& s) { return std::hypot(s.flight.east_m, s.flight.north_m); },
     runway_text},
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
