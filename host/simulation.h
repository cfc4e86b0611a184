// What stands behind the host's variables and key events: a simulated
// aircraft, or a link to another simulator. The host asks it for each
// variable by token and hands it each key event the module sends; the
// module never knows it exists. With none attached the host answers from
// its own table of variables (what tests set), as before.
#pragma once

#include <cstdint>
#include <string>

namespace sim {

class Simulation {
public:
    virtual ~Simulation() = default;

    // The value of a variable as the module reads it (units and encodings
    // as the simulator delivers them: BCD words, integers in the low 32
    // bits, pounds per square foot, Rankine, radians). False when this
    // simulation has no such variable: the host then answers from its own
    // table.
    virtual bool read(uint32_t token, double* value) = 0;

    // A raw value set from outside (a test or a scenario's `set` step).
    // True when the simulation takes it (it then reads back as given until
    // the simulation's own state moves it); false leaves it to the host's
    // own table.
    virtual bool write(uint32_t token, double value) = 0;

    // A key event the module sent, after the host has logged it.
    virtual void key_event(uint32_t id, uint32_t value) = 0;

    // Time goes on by `seconds` (one host cycle), after the gauges' update.
    virtual void advance(double seconds) = 0;

    // A host expression the simulation answers: writes the results asked
    // for (a null pointer is not asked) and returns true; false leaves the
    // expression to the host's own answers. A string stays valid until the
    // next call.
    virtual bool evaluate(const char* expression, double* number, const char** string) {
        (void)expression, (void)number, (void)string;
        return false;
    }

    // One line on how the simulation is doing (a link's health), for the
    // log and the live page; empty when there is nothing to say.
    virtual std::string status() const { return {}; }
};

}  // namespace sim
