#include "aircraft/aircraft.h"

#include <cmath>
#include <cstring>

#include "aircraft/atmosphere.h"
#include "aircraft/flight_model.h"
#include "aircraft/key_events.h"
#include "aircraft/pilot_controls.h"
#include "aircraft/systems.h"
#include "aircraft/variables.h"

namespace aircraft {

namespace {

bool same(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

}  // namespace

Aircraft::Aircraft() { reset(); }

void Aircraft::reset() {
    // Parked on the apron south-east of the threshold, nose north, tanks
    // three quarters full, everything off.
    state_ = State{};
    held_.clear();
    nav_stale_ = true;
    state_.flight.east_m = 150;
    state_.flight.north_m = -90;
    state_.flight.heading_deg = 0;
    state_.flight.pitch_deg = airframe().three_point_pitch_deg;
    Air air = air_at(aerodrome().elevation_m);
    for (Engine& e : state_.engine) {
        e.manifold_mb = air.pressure_mb;
        e.oil_c = air.temperature_c;
    }
}

const NavReading& Aircraft::navigation() {
    if (nav_stale_) {
        nav_ = read_navigation(state_);
        nav_stale_ = false;
    }
    return nav_;
}

bool Aircraft::read(uint32_t token, double* value) {
    const VariableRow* row = find_variable(token);
    if (!row) return false;
    double computed = row->read(state_, navigation());
    auto held = held_.find(token);
    if (held != held_.end()) {
        if (same(held->second.computed, computed)) {
            *value = held->second.value;
            return true;
        }
        held_.erase(held);  // the aircraft has moved it since
    }
    *value = computed;
    return true;
}

bool Aircraft::write(uint32_t token, double value) {
    const VariableRow* row = find_variable(token);
    if (!row) return false;
    if (row->write) {
        row->write(state_, value);
        held_.erase(token);
    } else {
        held_[token] = {value, row->read(state_, navigation())};
    }
    nav_stale_ = true;
    return true;
}

void Aircraft::key_event(uint32_t id, uint32_t value) {
    const KeyEventRow* row = find_key_event(id);
    if (!row) {
        unanswered_.insert(id);
        return;
    }
    if (row->apply) row->apply(state_, value);
    nav_stale_ = true;
}

void Aircraft::advance(double seconds) {
    advance_systems(state_, seconds);
    advance_flight(state_, seconds);
    nav_stale_ = true;
}

bool Aircraft::evaluate(const char* expression, double* number, const char** string) {
    if (std::strcmp(expression, "(A:TAILWHEEL LOCK ON,number)") == 0) {
        if (number) *number = state_.tailwheel_locked ? 1 : 0;
        return true;
    }
    if (std::strcmp(expression, "(A:ATC ID,string)") == 0) {
        if (string) *string = registration.c_str();
        return true;
    }
    return false;
}

bool Aircraft::set_pilot(const std::string& name, double value) {
    const PilotControl* c = find_pilot_control(name);
    if (!c || !(value >= c->min && value <= c->max)) return false;
    c->set(state_, value);
    return true;
}

}  // namespace aircraft
