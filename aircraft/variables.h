// Every variable the module reads, as the aircraft supplies it: one row a
// token, with its unit as the module reads it (pounds per square foot,
// Rankine, radians, metres per second × 256, BCD words and integers in the
// low 32 bits) and, where the variable is a setting, how a value written
// from outside is taken into the aircraft.
#pragma once

#include <cstdint>
#include <span>

#include "aircraft/aircraft_state.h"
#include "aircraft/radio_nav.h"

namespace aircraft {

struct VariableRow {
    uint32_t token;
    const char* name;
    const char* unit;
    double (*read)(const State& state, const NavReading& nav);
    // Null: a written value is held as given until the aircraft moves it.
    void (*write)(State& state, double value);
};

std::span<const VariableRow> variable_rows();
const VariableRow* find_variable(uint32_t token);

// A 32-bit integer in the low half of the value field, as the host
// delivers integer-typed variables.
double low_word_value(uint32_t word);
uint32_t low_word_of(double value);

constexpr double kPsfPerBar = 2087.91;   // and per 1000 mb
constexpr double kFeetPerMetre = 3.28084;

}  // namespace aircraft
