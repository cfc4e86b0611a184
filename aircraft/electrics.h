// The electrical system: the battery, a generator on each engine, the bus
// between them, and the flaps' electric motor that runs from it.
#pragma once

#include "aircraft/aircraft_state.h"

namespace aircraft {

constexpr double kGeneratorCutInRpm = 450;   // on line below idle, off when the engine runs down
constexpr double kGeneratorVolts = 28.5;
constexpr double kBatteryAmpHours = 40;
constexpr double kStarterAmps = 200, kBusLoadAmps = 12, kFlapsMotorAmps = 25;

// The flaps: four notches, 12 s full travel on a healthy bus, slower as
// the volts sag, stopped below 18 V.
constexpr double kFlapsSeconds = 12.0;
constexpr int kFlapsNotches = 4;  // up, 1, 2, 3, full
constexpr double kFlapsFullDegrees = 40;

// The battery's volts with no load, from its charge.
double battery_open_volts(double charge);

void advance_electrics(State& s, double seconds);

}  // namespace aircraft
