// The simulated aircraft the host asks for variables and hands key events:
// a piston twin standing cold and dark at its parking place. Attach it to
// a SimHost; the module never knows it is there.
//
// The starting box's two switches per engine do what is painted above
// them, since that painting is ours: the upper switch, under DEMARREUR, is
// the starter with its injection (key events 66340/66341, variables
// 891/892, which also light the red INJECTION knob while it cranks); the
// lower switch, under POMPE ESS, is the fuel (boost) pump (66300/66301,
// variables 401/440). Our tooltips for the two rows say the same
// ("Starter switches", "Fuel pump switches"). A start: admission valve
// open, selector up to 1.2, fuel pump on, starter on until the engine
// runs, then both off.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "aircraft/aircraft_state.h"
#include "aircraft/radio_nav.h"
#include "host/simulation.h"

namespace aircraft {

class Aircraft : public sim::Simulation {
public:
    Aircraft();
    // Back to cold and dark at the parking place, as when it was made:
    // every value set on a variable is forgotten too.
    void reset();

    bool read(uint32_t token, double* value) override;
    bool write(uint32_t token, double value) override;
    void key_event(uint32_t id, uint32_t value) override;
    void advance(double seconds) override;
    bool evaluate(const char* expression, double* number, const char** string) override;

    const State& state() const { return state_; }
    // For the pilot's controls and for tests that put the aircraft
    // somewhere: changes go straight into the state.
    State& state() { return state_; }
    // Sets a pilot control by name within its range; false for an unknown
    // name or a value outside [min, max].
    bool set_pilot(const std::string& name, double value);

    // Key events that reached the aircraft with no row in its table.
    const std::set<uint32_t>& unanswered_events() const { return unanswered_; }

    std::string registration = "F-BMVN";

private:
    const NavReading& navigation();

    struct Held {
        double value;     // as written
        double computed;  // what the aircraft gave when it was written
    };

    State state_;
    NavReading nav_;
    bool nav_stale_ = true;
    std::map<uint32_t, Held> held_;
    std::set<uint32_t> unanswered_;
};

}  // namespace aircraft
