// The engines and their propellers.
//
// Reads: each engine's levers (throttle, propeller, mixture), magnetos,
// starter, boost pump, tanks and admission valves; the synchroniser; the
// bus volts (the starter's speed); airspeed and height (windmilling, the
// air the engine breathes); the fuel in each tank.
// Writes: each engine's running, rpm, manifold pressure, power, oil
// temperature and pressure; the fuel burnt from each tank; the suction of
// the engine-driven vacuum pumps.
// Key events it gives meaning to: throttle, mixture and propeller set
// (65820/65821, 65919/65920, 65923/65924), the magnetos (65927-65936,
// 66126-66129), starters (66300/66301), boost pumps (66340/66341), tanks
// and admission valves (66494/66495, 65955/65956, 66516/66517) and the
// synchroniser (66287).
// Variables it serves: engine and propeller speed (390, 429, 700, 708),
// manifold pressure (391, 430), oil temperature and pressure (416, 418,
// 455, 457), fuel (291, 297), suction (353) and through it the gyro flag
// (279).
#include "aircraft/engines.h"

#include <algorithm>
#include <cmath>

#include "aircraft/atmosphere.h"
#include "aircraft/easing.h"
#include "aircraft/radio_nav.h"

namespace aircraft {

namespace {

constexpr double kFuelKgPerJoule = 0.25 / 3.6e6;  // 0.25 kg per kWh
constexpr double kOilWarmSeconds = 90;
constexpr double kStarterFullVolts = 22, kStarterStallVolts = 14;

double mixture_factor(double mixture) {
    // Full power from three quarters rich; leaner loses power; below a
    // twentieth the engine starves (idle cut-off).
    return mixture < 0.05 ? 0 : std::min(1.0, 0.4 + 0.8 * mixture);
}

void advance_engine(State& s, int n, double dt) {
    Engine& e = s.engine[n];
    const Flight& f = s.flight;
    Air air = air_at(aerodrome().elevation_m + f.height_m);
    bool fuel = engine_has_fuel(s, n);
    bool ignition = e.magnetos > 0;
    bool feather = feathered(e);

    // Catching needs the injection's fuel pressure from the boost pump;
    // once running the engine-driven pump feeds it. Blades edge-on to the
    // airflow hold the crankshaft: a feathered engine stops, and it cannot
    // catch until the lever is out of the gate again.
    if (!e.running && !feather && ignition && fuel && e.boost_pump && e.rpm >= kCatchRpm) e.running = true;
    if (e.running && (!ignition || !fuel || feather)) e.running = false;

    double governed = kGovernedRpmLow + (kGovernedRpmHigh - kGovernedRpmLow) * e.propeller;
    if (s.prop_synch && n == 1 && s.engine[0].running) governed = std::min(governed, std::max(s.engine[0].rpm, kIdleRpm));
    double target;
    if (e.running) {
        double unloaded = e.throttle + f.speed_ms / 150;  // the airflow unloads the propeller
        target = std::min(governed, kIdleRpm + 2400 * unloaded) * (e.magnetos == 3 ? 1.0 : 0.97);
        target *= mixture_factor(e.mixture) < 1 ? 0.9 + 0.1 * mixture_factor(e.mixture) : 1.0;
        e.rpm = approach(e.rpm, target, 1.2, dt);
        e.manifold_mb = approach(e.manifold_mb, air.pressure_mb * (0.35 + 0.95 * e.throttle), 0.4, dt);
    } else {
        double cranking = e.starter && !feather ? starter_rpm(s) : 0.0;
        double windmill = feather ? 0 : std::min(f.speed_ms * kWindmillRpmPerMs, governed);
        target = std::max(cranking, windmill);
        e.rpm = approach(e.rpm, target, feather ? 1.0 : e.starter ? 0.8 : 2.5, dt);
        if (e.rpm < 1) e.rpm = target < 1 ? 0 : e.rpm;
        e.manifold_mb = approach(e.manifold_mb, air.pressure_mb * (e.rpm > 50 ? 0.9 : 1.0), 0.8, dt);
    }

    e.power = e.running ? std::clamp(e.manifold_mb / kRatedManifoldMb * e.rpm / kGovernedRpmHigh *
                                         mixture_factor(e.mixture), 0.0, 1.1)
                        : 0;
    s.fuel_kg[n] = std::max(0.0, s.fuel_kg[n] - e.power * kRatedPowerW * dt * kFuelKgPerJoule);

    double oil_target = e.running ? 45 + 40 * e.power : air.temperature_c;
    e.oil_c = approach(e.oil_c, oil_target, kOilWarmSeconds, dt);
    e.oil_bar = approach(e.oil_bar, e.rpm > 300 ? 2 + 3.5 * std::min(1.0, e.rpm / kGovernedRpmHigh) : e.rpm / 300 * 2, 1.0, dt);
}

}  // namespace

bool engine_has_fuel(const State& s, int n) {
    const Engine& e = s.engine[n];
    return e.tank_valve_open && e.admission_open && s.fuel_kg[n] > 0 && e.mixture >= 0.05;
}

bool feathered(const Engine& e) { return e.propeller < kFeatherGate; }

double starter_rpm(const State& s) {
    return kCrankRpm * std::clamp((s.bus_volts - kStarterStallVolts) / (kStarterFullVolts - kStarterStallVolts), 0.0, 1.0);
}

void advance_engines(State& s, double dt) {
    for (int n = 0; n < kEngines; ++n) advance_engine(s, n, dt);
    double fastest = std::max(s.engine[0].rpm, s.engine[1].rpm);
    s.suction = approach(s.suction, 5.0 * std::min(1.0, fastest / 800), 1.5, dt);
}

}  // namespace aircraft
