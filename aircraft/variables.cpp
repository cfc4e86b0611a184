#include "aircraft/variables.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "aircraft/atmosphere.h"
#include "aircraft/easing.h"
#include "aircraft/flight_model.h"
#include "aircraft/host_numbers.h"
#include "aircraft/radio_tuning.h"
#include "aircraft/systems.h"

namespace aircraft {

double low_word_value(uint32_t word) {
    uint64_t bits = word;
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

uint32_t low_word_of(double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return uint32_t(bits);
}

namespace {

using Nav = NavReading;
constexpr double kPi = 3.141592653589793;
constexpr double kFullTank = 8388610;
constexpr double kLeverTop = 16383;
constexpr double kTankCapacityKg = 450;

double rankine(double celsius) { return 491.67 + 1.8 * celsius; }
double flag(bool b) { return b ? 1.0 : 0.0; }

double altitude_ft(const State& s) {
    double true_ft = (aerodrome().elevation_m + s.flight.height_m) * kFeetPerMetre;
    return true_ft + (s.altimeter_mb - 1013.25) * 27.3;  // about 27 ft per millibar near the ground
}
double outside_air_c(const State& s) { return air_at(aerodrome().elevation_m + s.flight.height_m).temperature_c; }

// The radio altimeter reads nothing above 2500 ft.
double radio_height_m(const State& s) { return std::clamp(s.flight.height_m, 0.0, 2500 / kFeetPerMetre); }

template <int N> double rpm(const State& s, const Nav&) { return s.engine[N].rpm; }
template <int N> double manifold(const State& s, const Nav&) { return s.engine[N].manifold_mb / 1000 * kPsfPerBar; }
template <int N> double throttle(const State& s, const Nav&) { return s.engine[N].throttle; }
template <int N> double mixture(const State& s, const Nav&) { return s.engine[N].mixture; }
template <int N> double propeller(const State& s, const Nav&) { return s.engine[N].propeller; }
template <int N> double starter(const State& s, const Nav&) { return flag(s.engine[N].starter); }
template <int N> double oil_temperature(const State& s, const Nav&) { return rankine(s.engine[N].oil_c); }
template <int N> double oil_pressure(const State& s, const Nav&) { return s.engine[N].oil_bar * kPsfPerBar; }
template <int N> double admission(const State& s, const Nav&) { return low_word_value(s.engine[N].admission_open ? 1 : 0); }
template <int N> double pump(const State& s, const Nav&) { return flag(s.engine[N].boost_pump); }
template <int N> double tank_valve(const State& s, const Nav&) { return flag(s.engine[N].tank_valve_open); }
template <int N> double fuel(const State& s, const Nav&) { return s.fuel_kg[N] / kTankCapacityKg * kFullTank; }

template <int N> double localizer(const State&, const Nav& n) { return n.course_deviation[N]; }
template <int N> double to_from(const State&, const Nav& n) { return low_word_value(uint32_t(n.to_from[N])); }
template <int N> double obs(const State& s, const Nav&) { return s.radios.obs_deg[N]; }
template <int N> void set_obs(State& s, double v) { s.radios.obs_deg[N] = wrap360(v); }
template <int N> double nav_frequency(const State& s, const Nav&) { return low_word_value(nav_word(s.radios, N)); }
template <int N> void set_nav_frequency(State& s, double v) { set_nav_word(s.radios, N, low_word_of(v)); }
double zero(const State&, const Nav&) { return 0; }

double gear_units(double extension) { return extension * kLeverTop; }

// Gauge tokens of engine 2 lie 39 after engine 1's.
constexpr uint32_t E2 = kEngineTokenStride;

const VariableRow kRows[] = {
    // Flight instruments.
    {AIRSPEED, "indicated airspeed", "km/h", [](const State& s, const Nav&) { return indicated_kmh(s); }, nullptr},
    {VERTICAL_SPEED, "vertical speed", "m/s x 256", [](const State& s, const Nav&) { return s.flight.vertical_ms * 256; }, nullptr},
    {ALTITUDE, "indicated altitude", "ft", [](const State& s, const Nav&) { return altitude_ft(s); }, nullptr},
    {ALTIMETER_SETTING, "altimeter setting", "mb", [](const State& s, const Nav&) { return s.altimeter_mb; },
     [](State& s, double v) { s.altimeter_mb = std::clamp(v, 900.0, 1100.0); }},
    {PITCH, "pitch", "deg, nose up", [](const State& s, const Nav&) { return s.attitude_caged ? 0 : s.flight.pitch_deg; }, nullptr},
    // The attitude card turns the way the host counts bank: left wing down
    // positive.
    {BANK, "bank", "deg, left wing down", [](const State& s, const Nav&) { return s.attitude_caged ? 0 : -s.flight.bank_deg; }, nullptr},
    {ATTITUDE_BAR, "miniature aeroplane", "units", [](const State& s, const Nav&) { return s.attitude_bar; }, nullptr},
    {HEADING, "gyro compass heading", "deg", [](const State& s, const Nav&) { return wrap360(s.flight.heading_deg + s.gyro_error_deg); }, nullptr},
    {GYRO_SETTING, "gyro setting knob", "1/65536 of three turns", [](const State& s, const Nav&) { return s.gyro_knob; }, nullptr},
    {GYRO_FLAG, "gyro off flag (low suction)", "0/1", [](const State& s, const Nav&) { return flag(s.suction < 3.5); }, nullptr},
    {GYRO_FLAG_2, "gyro caged flag", "0/1", [](const State&, const Nav&) { return 0.0; }, nullptr},
    {TURN_BALL, "slip ball", "-127..127", [](const State& s, const Nav&) { return s.flight.slip; }, nullptr},
    {TURN_RATE, "turn rate", "deg/s x 384 (a two-minute turn on the mark)", [](const State& s, const Nav&) { return s.flight.turn_rate_dps * 384; }, nullptr},
    {TURN_POWER, "turn gyro supply", "V", [](const State& s, const Nav&) { return s.bus_volts; }, nullptr},
    {OUTSIDE_AIR, "outside air", "deg C", [](const State& s, const Nav&) { return outside_air_c(s); }, nullptr},
    {SUCTION, "suction", "inHg", [](const State& s, const Nav&) { return s.suction; }, nullptr},
    {ON_GROUND, "on the ground", "0/1", [](const State& s, const Nav&) { return flag(s.flight.on_ground); }, nullptr},

    // Radio navigation.
    {ADF_FREQUENCY, "ADF frequency", "BCD word, low 32 bits", [](const State& s, const Nav&) { return low_word_value(adf_frequency_word(s.radios)); },
     [](State& s, double v) { set_adf_words(s.radios, low_word_of(v), adf_extension_word(s.radios)); }},
    {ADF_EXTENSION, "ADF frequency extension", "word, low 32 bits", [](const State& s, const Nav&) { return low_word_value(adf_extension_word(s.radios)); },
     [](State& s, double v) { set_adf_words(s.radios, adf_frequency_word(s.radios), low_word_of(v)); }},
    {ADF_SIGNAL, "ADF signal", "255 and above usable", [](const State&, const Nav& n) { return n.adf_signal; }, nullptr},
    {ADF_CARD, "ADF card", "deg", [](const State& s, const Nav&) { return s.radios.adf_card_deg; },
     [](State& s, double v) { s.radios.adf_card_deg = wrap360(v); }},
    {ADF_BEARING, "ADF relative bearing", "deg", [](const State&, const Nav& n) { return n.adf_bearing_deg; }, nullptr},
    {ADF_TONE, "ADF identification tone", "0/1", [](const State& s, const Nav&) { return flag(s.radios.adf_tone); }, nullptr},
    {COM1_FREQUENCY, "COM1 frequency", "BCD word, low 32 bits", [](const State& s, const Nav&) { return low_word_value(com_word(s.radios)); },
     [](State& s, double v) { set_com_word(s.radios, low_word_of(v)); }},
    {NAV1_FREQUENCY, "NAV1 frequency", "BCD word, low 32 bits", nav_frequency<0>, set_nav_frequency<0>},
    {NAV2_FREQUENCY, "NAV2 frequency", "BCD word, low 32 bits", nav_frequency<1>, set_nav_frequency<1>},
    {XPDR_CODE, "transponder code", "BCD word, low 32 bits", [](const State& s, const Nav&) { return low_word_value(xpdr_word(s.radios)); },
     [](State& s, double v) { set_xpdr_word(s.radios, low_word_of(v)); }},
    {NAV1_LOCALIZER, "VOR1 course deviation", "-127..127", localizer<0>, nullptr},
    {NAV2_LOCALIZER, "VOR2 course deviation", "-127..127", localizer<1>, nullptr},
    {NAV1_GLIDE_SLOPE, "VOR1 glide slope", "-119..119", zero, nullptr},
    {NAV2_GLIDE_SLOPE, "VOR2 glide slope", "-119..119", zero, nullptr},
    {NAV1_TO_FROM, "VOR1 TO/FROM", "0 none, 1 TO, 2 FROM, low 32 bits", to_from<0>, nullptr},
    {NAV2_TO_FROM, "VOR2 TO/FROM", "0 none, 1 TO, 2 FROM, low 32 bits", to_from<1>, nullptr},
    {NAV1_GS_FLAG, "VOR1 glide slope received", "0/1", zero, nullptr},
    {NAV2_GS_FLAG, "VOR2 glide slope received", "0/1", zero, nullptr},
    {NAV1_OBS, "VOR1 course", "deg", obs<0>, set_obs<0>},
    {NAV2_OBS, "VOR2 course", "deg", obs<1>, set_obs<1>},
    {MARKER, "marker", "0 none, 1 outer, 2 middle, 3 inner", [](const State&, const Nav& n) { return double(n.marker); }, nullptr},
    {RADIO_HEIGHT, "radio height", "m", [](const State& s, const Nav&) { return radio_height_m(s); }, nullptr},
    {DECISION_HEIGHT, "decision height", "m", [](const State& s, const Nav&) { return s.decision_height_m; },
     [](State& s, double v) { s.decision_height_m = std::clamp(v, 0.0, 1000 / kFeetPerMetre); }},
    {DECISION_ALERT, "below decision height", "0/1",
     [](const State& s, const Nav&) { return flag(!s.flight.on_ground && radio_height_m(s) < s.decision_height_m); }, nullptr},
    {RADIO_POWER, "radio bus", "V", [](const State& s, const Nav&) { return s.bus_volts; }, nullptr},

    // Engines.
    {ENGINE_RPM, "engine 1 speed", "rpm", rpm<0>, nullptr},
    {ENGINE_RPM + E2, "engine 2 speed", "rpm", rpm<1>, nullptr},
    {PROP_RPM_1, "propeller 1 speed", "rpm", rpm<0>, nullptr},
    {PROP_RPM_2, "propeller 2 speed", "rpm", rpm<1>, nullptr},
    {MANIFOLD, "engine 1 manifold pressure", "psf", manifold<0>, nullptr},
    {MANIFOLD + E2, "engine 2 manifold pressure", "psf", manifold<1>, nullptr},
    {THROTTLE, "throttle 1", "0..1", throttle<0>, nullptr},
    {THROTTLE + E2, "throttle 2", "0..1", throttle<1>, nullptr},
    {MIXTURE, "mixture 1", "0..1", mixture<0>, nullptr},
    {MIXTURE + E2, "mixture 2", "0..1", mixture<1>, nullptr},
    {PROPELLER, "propeller lever 1", "0..1", propeller<0>, nullptr},
    {PROPELLER + E2, "propeller lever 2", "0..1", propeller<1>, nullptr},
    // The starting box's lower switches (POMPE ESS).
    {FUEL_PUMP, "fuel pump 1", "0/1", pump<0>, nullptr},
    {FUEL_PUMP + E2, "fuel pump 2", "0/1", pump<1>, nullptr},
    {OIL_TEMPERATURE, "oil temperature 1", "Rankine", oil_temperature<0>, nullptr},
    {OIL_TEMPERATURE + E2, "oil temperature 2", "Rankine", oil_temperature<1>, nullptr},
    {OIL_PRESSURE, "oil pressure 1", "psf", oil_pressure<0>, nullptr},
    {OIL_PRESSURE + E2, "oil pressure 2", "psf", oil_pressure<1>, nullptr},
    {ADMISSION, "admission valve 1", "0/1, low 32 bits", admission<0>, nullptr},
    {ADMISSION + E2, "admission valve 2", "0/1, low 32 bits", admission<1>, nullptr},
    // Its upper switches (DEMARREUR), which light the INJECTION knobs.
    {STARTER_1, "starter 1", "0/1", starter<0>, nullptr},
    {STARTER_2, "starter 2", "0/1", starter<1>, nullptr},
    {TANK_VALVE_LEFT, "left tanks valve", "0/1", tank_valve<0>, nullptr},
    {TANK_VALVE_RIGHT, "right tanks valve", "0/1", tank_valve<1>, nullptr},
    {FUEL_LEFT, "left tanks", "8388610 full", fuel<0>, nullptr},
    {FUEL_RIGHT, "right tanks", "8388610 full", fuel<1>, nullptr},
    {PROP_SYNCH, "propeller synchroniser", "0/1", [](const State& s, const Nav&) { return flag(s.prop_synch); }, nullptr},
    {HYDRAULIC, "hydraulic pressure", "psf", [](const State& s, const Nav&) { return s.hydraulic_bar * kPsfPerBar; }, nullptr},

    // Controls and fittings.
    {GEAR_HANDLE, "gear handle", "0 up, 16383 down", [](const State& s, const Nav&) { return s.gear_handle_down ? kLeverTop : 0; }, nullptr},
    {GEAR_TAIL, "tail wheel", "16383 down (fixed)", [](const State&, const Nav&) { return kLeverTop; }, nullptr},
    {GEAR_LEFT, "left wheel", "0 up .. 16383 down", [](const State& s, const Nav&) { return gear_units(s.gear_left); }, nullptr},
    {GEAR_RIGHT, "right wheel", "0 up .. 16383 down", [](const State& s, const Nav&) { return gear_units(s.gear_right); }, nullptr},
    {FLAPS_HANDLE, "flaps handle", "0..16382", [](const State& s, const Nav&) { return s.flaps_detent / double(kFlapsNotches) * 16382; }, nullptr},
    {FLAPS_POSITION, "flaps", "0..16382", [](const State& s, const Nav&) { return s.flaps * 16382; }, nullptr},
    {PARKING_BRAKE, "parking brake", "0 off, 32767 set", [](const State& s, const Nav&) { return s.parking_brake ? 32767.0 : 0.0; }, nullptr},
    {ELEVATOR_TRIM, "elevator trim", "rad, nose up", [](const State& s, const Nav&) { return s.elevator_trim_rad; },
     [](State& s, double v) { s.elevator_trim_rad = std::clamp(v, -kPi / 9, kPi / 9); }},
    {RUDDER_TRIM, "rudder trim", "rad", [](const State& s, const Nav&) { return s.rudder_trim_rad; },
     [](State& s, double v) { s.rudder_trim_rad = std::clamp(v, -kPi / 9, kPi / 9); }},
    {TIME_OF_DAY, "time of day", "s", [](const State& s, const Nav&) { return s.time_of_day_s; }, nullptr},
    {CLOCK, "clock", "s", [](const State& s, const Nav&) { return s.clock_s; }, nullptr},
};

}  // namespace

std::span<const VariableRow> variable_rows() { return kRows; }

const VariableRow* find_variable(uint32_t token) {
    for (const VariableRow& row : kRows)
        if (row.token == token) return &row;
    return nullptr;
}

}  // namespace aircraft
