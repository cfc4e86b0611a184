#include "aircraft/systems.h"

#include <algorithm>
#include <cmath>

#include "aircraft/atmosphere.h"
#include "aircraft/easing.h"
#include "aircraft/radio_nav.h"

namespace aircraft {

namespace {

constexpr double kFuelKgPerJoule = 0.25 / 3.6e6;  // 0.25 kg per kWh
constexpr double kOilWarmSeconds = 90;

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

    // Catching needs the injection's fuel pressure from the boost pump;
    // once running the engine-driven pump feeds it.
    if (!e.running && ignition && fuel && e.boost_pump && e.rpm >= kCatchRpm) e.running = true;
    if (e.running && (!ignition || !fuel)) e.running = false;

    double governed = kGovernedRpmLow + (kGovernedRpmHigh - kGovernedRpmLow) * e.propeller;
    if (s.prop_synch && n == 1 && s.engine[0].running) governed = std::min(governed, std::max(s.engine[0].rpm, kIdleRpm));
    double windmill = e.propeller < 0.05 ? 0 : f.speed_ms * 12;  // an unfeathered propeller in the airflow
    double target;
    if (e.running) {
        double unloaded = e.throttle + f.speed_ms / 150;  // the airflow unloads the propeller
        target = std::min(governed, kIdleRpm + 2400 * unloaded) * (e.magnetos == 3 ? 1.0 : 0.97);
        target *= mixture_factor(e.mixture) < 1 ? 0.9 + 0.1 * mixture_factor(e.mixture) : 1.0;
        e.rpm = approach(e.rpm, target, 1.2, dt);
        e.manifold_mb = approach(e.manifold_mb, air.pressure_mb * (0.35 + 0.95 * e.throttle), 0.4, dt);
    } else {
        target = std::max(e.starter ? kCrankRpm : 0.0, std::min(windmill, governed));
        e.rpm = approach(e.rpm, target, e.starter ? 0.8 : 2.5, dt);
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

void advance_systems(State& s, double dt) {
    s.clock_s += dt;
    s.time_of_day_s = std::fmod(s.time_of_day_s + dt, 86400.0);

    double gear_target = s.gear_handle_down ? 1 : 0;
    s.gear_left = slew(s.gear_left, gear_target, 1 / kGearLeftSeconds, dt);
    s.gear_right = slew(s.gear_right, gear_target, 1 / kGearRightSeconds, dt);
    s.flaps = slew(s.flaps, s.flaps_detent / double(kFlapsNotches), 1 / kFlapsSeconds, dt);

    for (int n = 0; n < kEngines; ++n) advance_engine(s, n, dt);

    double fastest = std::max(s.engine[0].rpm, s.engine[1].rpm);
    bool pumping = s.engine[0].running || s.engine[1].running;
    // The engine-driven pump builds pressure up to its regulator; without
    // it the system bleeds down slowly.
    s.hydraulic_bar = slew(s.hydraulic_bar, pumping ? 150 : 0, pumping ? 50 : 5, dt);
    s.suction = approach(s.suction, 5.0 * std::min(1.0, fastest / 800), 1.5, dt);
    // The generators come on line above 700 rpm; no battery is modelled,
    // so a cold aircraft has a dead bus.
    s.bus_volts = fastest > 700 ? 28.0 : 0.0;
}

}  // namespace aircraft
