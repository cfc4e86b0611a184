// The flight model.
//
// Reads: each engine's power, propeller lever and rpm (thrust, a
// windmilling propeller's drag), the gear and flaps' extension (drag,
// lift), the elevator trim and the pilot's pitch, bank, brakes and
// steering, the parking brake and the tail-wheel lock.
// Writes: each engine's thrust; where the aircraft is, its speed, path,
// heading, attitude, turn rate, slip, angle of attack, stall and whether
// its weight is on its wheels.
// Key events it gives meaning to: elevator trim (65607, 65615), parking
// brake (65752), tail-wheel lock (66541).
// Variables it serves: airspeed (61), vertical speed (65), slip ball
// and turn rate (69, 70), altitude (74), pitch and bank (78, 80), heading
// (84), on the ground (60), and the radio navigation's position.
#include "aircraft/flight_model.h"

#include <algorithm>
#include <cmath>

#include "aircraft/atmosphere.h"
#include "aircraft/easing.h"
#include "aircraft/radio_nav.h"
#include "aircraft/systems.h"

namespace aircraft {

namespace {

constexpr double kPi = 3.141592653589793, kRad = kPi / 180, kG = 9.80665;
constexpr double kPitchRate = 4, kBankRate = 10;  // degrees per second the attitude follows the pilot
constexpr double kBallPerNewton = 0.02;
// Hands-off pitch per radian of elevator trim: the trim's ±20° hold the
// nose from 10° down to 10° up.
constexpr double kTrimmedPitchPerRad = 0.5;
// A windmilling propeller's drag as a flat plate, m².
constexpr double kWindmillDragArea = 0.4;
const Airframe kAirframe;


double density(const State& s) { return air_at(aerodrome().elevation_m + s.flight.height_m).density; }

double max_lift(const State& s) { return kAirframe.max_lift_clean + kAirframe.flaps_max_lift * s.flaps; }

// Lift coefficient at an angle of attack; past the stall it falls away.
double lift_coefficient(const State& s, double alpha_rad, bool* stalled) {
    const Airframe& a = kAirframe;
    double cl0 = a.lift_at_zero + a.flaps_lift * s.flaps;
    double cl = cl0 + a.lift_slope * alpha_rad;
    double top = max_lift(s);
    *stalled = cl > top;
    if (*stalled) cl = std::max(0.0, top - 2.0 * (cl - top));
    return cl;
}

double drag_coefficient(const State& s, double cl) {
    const Airframe& a = kAirframe;
    double gear = (s.gear_left + s.gear_right) / 2;
    return a.drag_clean + a.drag_gear * gear + a.drag_flaps * s.flaps + a.induced * cl * cl;
}

double engine_thrust(const State& s, const Engine& e) {
    if (feathered(e)) return 0;  // blades edge-on: neither pull nor drag
    double v = s.flight.speed_ms;
    if (!e.running) return -0.5 * density(s) * v * v * kWindmillDragArea;  // windmilling
    double shaft = e.power * kRatedPowerW;
    v = std::max(v, 1.0);
    return std::min(kAirframe.propeller_efficiency * shaft / v, kAirframe.static_thrust_n * e.power);
}

}  // namespace

const Airframe& airframe() { return kAirframe; }

double trimmed_pitch_deg(const State& s) { return s.elevator_trim_rad * kTrimmedPitchPerRad / kRad; }

double held_pitch_deg(const State& s) { return trimmed_pitch_deg(s) + s.pilot.pitch_deg; }

double indicated_kmh(const State& s) {
    return s.flight.speed_ms * std::sqrt(density(s) / kSeaLevelDensity) * 3.6;
}

double stall_kmh(const State& s) {
    double weight = kAirframe.mass_kg * kG;
    return std::sqrt(2 * weight / (kSeaLevelDensity * kAirframe.wing_area_m2 * max_lift(s))) * 3.6;
}

void advance_flight(State& s, double dt) {
    Flight& f = s.flight;
    const Airframe& a = kAirframe;
    double weight = a.mass_kg * kG;
    for (Engine& e : s.engine) e.thrust_n = engine_thrust(s, e);
    double thrust = s.engine[0].thrust_n + s.engine[1].thrust_n;
    double rho = density(s);
    double v = f.speed_ms;
    double q = 0.5 * rho * v * v;

    if (f.on_ground) {
        bool tail_up = indicated_kmh(s) >= a.tail_lift_kmh;
        double wanted = tail_up ? std::clamp(held_pitch_deg(s), 0.0, a.three_point_pitch_deg) : a.three_point_pitch_deg;
        f.pitch_deg = slew(f.pitch_deg, wanted, kPitchRate, dt);
        f.bank_deg = 0;
        f.path_deg = 0;
        f.alpha_deg = f.pitch_deg;
        double cl = lift_coefficient(s, f.alpha_deg * kRad, &f.stalled);
        double lift = q * a.wing_area_m2 * cl;
        double drag = q * a.wing_area_m2 * drag_coefficient(s, cl);
        double normal = std::max(0.0, weight - lift);
        double mu = a.rolling_friction + a.braking_friction * s.pilot.brakes + (s.parking_brake ? a.parking_friction : 0);
        double push = thrust - drag;
        double friction = mu * normal;
        if (v <= 0 && push <= friction) {
            f.speed_ms = 0;  // held by the brakes or the tyres
        } else {
            f.speed_ms = std::max(0.0, v + (push - friction) / a.mass_kg * dt);
        }
        double steer = s.tailwheel_locked ? 0 : s.pilot.steer_dps;
        f.turn_rate_dps = steer * std::min(1.0, f.speed_ms / 3);
        f.heading_deg = wrap360(f.heading_deg + f.turn_rate_dps * dt);
        f.vertical_ms = 0;
        f.slip = 0;
        if (lift > weight && f.speed_ms > 0) f.on_ground = false;  // lift-off
    } else {
        f.pitch_deg = slew(f.pitch_deg, held_pitch_deg(s), kPitchRate, dt);
        f.bank_deg = slew(f.bank_deg, s.pilot.bank_deg, kBankRate, dt);
        double alpha = (f.pitch_deg - f.path_deg) * kRad;
        f.alpha_deg = alpha / kRad;
        double cl = lift_coefficient(s, alpha, &f.stalled);
        double lift = q * a.wing_area_m2 * cl;
        double drag = q * a.wing_area_m2 * drag_coefficient(s, cl);
        double gamma = f.path_deg * kRad, phi = f.bank_deg * kRad;
        double vs = std::max(v, 5.0);
        double dv = (thrust * std::cos(alpha) - drag - weight * std::sin(gamma)) / a.mass_kg;
        double dgamma = (lift * std::cos(phi) + thrust * std::sin(alpha) - weight * std::cos(gamma)) / (a.mass_kg * vs);
        double dpsi = lift * std::sin(phi) / (a.mass_kg * vs * std::cos(gamma));
        f.speed_ms = std::max(0.0, v + dv * dt);
        f.path_deg = std::clamp(f.path_deg + dgamma * dt / kRad, -60.0, 60.0);
        f.turn_rate_dps = dpsi / kRad;
        f.heading_deg = wrap360(f.heading_deg + f.turn_rate_dps * dt);
        f.slip = std::clamp((s.engine[1].thrust_n - s.engine[0].thrust_n) * kBallPerNewton, -127.0, 127.0);
    }

    double along = f.speed_ms * std::cos(f.path_deg * kRad);
    f.east_m += along * std::sin(f.heading_deg * kRad) * dt;
    f.north_m += along * std::cos(f.heading_deg * kRad) * dt;
    f.vertical_ms = f.on_ground ? 0 : f.speed_ms * std::sin(f.path_deg * kRad);
    f.height_m += f.vertical_ms * dt;
    if (!f.on_ground && f.height_m <= 0 && f.path_deg < 0) {  // touch-down
        f.height_m = 0;
        f.on_ground = true;
        f.path_deg = 0;
        f.vertical_ms = 0;
        f.bank_deg = 0;
    }
}

}  // namespace aircraft
