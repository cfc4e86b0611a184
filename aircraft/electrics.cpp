// The electrical system.
//
// The panel has no battery switch: the engine starting box is the pilot's
// master. The battery relay closes as soon as either half of the box has
// its selector past H (its tanks valve open, or a magneto position), and
// opens when both halves are back at A or H with their valves shut; so a
// parked aircraft with the box at A stays cold and dark, its turn
// coordinator flagged and its radios silent, and the battery keeps its
// charge.
//
// Reads: the magnetos and tanks valves (the battery relay), each engine's
// rpm (its generator), the starters engaged and the flaps handle.
// Writes: the battery's charge and current, the generators on line, the
// bus volts, the flaps' position.
// Key events it gives meaning to: flaps down and up (65758, 65759); the
// starters' draw (66300, 66301).
// Variables it serves: the turn gyro's and the radios' supply (753, 755:
// the turn coordinator's flag, the radio stack, the radio altimeter's
// call-outs), the flaps handle and position (329, 330).
#include "aircraft/electrics.h"

#include <algorithm>

#include "aircraft/easing.h"

namespace aircraft {

namespace {

constexpr double kBatteryAmpSeconds = kBatteryAmpHours * 3600;
constexpr double kChargingAmps = 20;
constexpr double kFlapsFullVolts = 24, kFlapsStallVolts = 18;

// A lead-acid battery's resistance grows as it discharges.
double battery_resistance(double charge) { return 0.012 + 0.03 * (1 - charge); }

}  // namespace

double battery_open_volts(double charge) {
    if (charge <= 0) return 0;
    // Nearly flat it collapses: the last twentieth of its charge gives no
    // usable volts.
    return (22.8 + 2.7 * charge) * std::min(1.0, charge / 0.05);
}

void advance_electrics(State& s, double dt) {
    bool generating = false;
    for (int n = 0; n < kEngines; ++n) {
        s.generator_online[n] = s.engine[n].rpm >= kGeneratorCutInRpm;
        generating = generating || s.generator_online[n];
    }
    s.battery_connected = false;
    for (const Engine& e : s.engine) s.battery_connected = s.battery_connected || e.magnetos > 0 || e.tank_valve_open;

    double flaps_target = s.flaps_detent / double(kFlapsNotches);
    bool flaps_moving = s.flaps != flaps_target && s.bus_volts > kFlapsStallVolts;
    double load = 0;
    if (s.battery_connected || generating) {
        load = kBusLoadAmps + (flaps_moving ? kFlapsMotorAmps : 0);
        for (const Engine& e : s.engine) load += e.starter ? kStarterAmps : 0;
    }

    if (generating) {
        // The generators hold the bus and charge the battery through its
        // relay.
        s.bus_volts = kGeneratorVolts;
        s.battery_amps = s.battery_connected && s.battery_charge < 1 ? -kChargingAmps : 0;
    } else if (s.battery_connected) {
        double open = battery_open_volts(s.battery_charge);
        s.battery_amps = open > 0 ? load : 0;
        s.bus_volts = std::max(0.0, open - s.battery_amps * battery_resistance(s.battery_charge));
    } else {
        s.battery_amps = 0;
        s.bus_volts = 0;
    }
    s.battery_charge = std::clamp(s.battery_charge - s.battery_amps * dt / kBatteryAmpSeconds, 0.0, 1.0);

    // The flaps' motor runs slower as the volts sag.
    double speed = std::clamp((s.bus_volts - kFlapsStallVolts) / (kFlapsFullVolts - kFlapsStallVolts), 0.0, 1.0);
    s.flaps = slew(s.flaps, flaps_target, speed / kFlapsSeconds, dt);
}

}  // namespace aircraft
