// The mapping between FlightGear's properties and the module's variable
// tokens and key events. The output fields are listed in the order of the
// output block of flightgear/protocol/morvane.xml and the input fields in
// the order of its input block (a test holds the file to these tables).
//
// Engine 2 is FlightGear's engine[1]. An aircraft with one engine (the
// c172p of Debian's base data) has no engine[1]: FlightGear sends its
// properties as 0, and the link's single-engine option reads engine[0]
// for both and sends engine 2's levers to engine[0] (flightgear_link.h).
#include "flightgear/flightgear_mapping.h"

#include <iterator>

namespace fg {

namespace {

constexpr double kFeetPerMetre = 3.28084;
constexpr double kKilometresPerNauticalMile = 1.852;
// The vertical-speed token is metres per second × 256.
constexpr double kVerticalSpeedPerFpm = 256.0 / 60.0 / kFeetPerMetre;
constexpr double kPsfPerInHg = 70.72619;
constexpr double kPsfPerPsi = 144.0;
constexpr double kRankineOffset = 459.67;
// The turn coordinator's 2-minute marks stand where the needle reaches
// ±4.5 × 256 units; FlightGear gives the turn rate in standard-rate turns.
constexpr double kTurnRatePerStandardTurn = 4.5 * 256;
// The inclinometer ball reaches the tube's ends near ±127 units;
// FlightGear's slip-skid value reaches the ends of its own tube at ±1.62,
// positive with the ball to the left.
constexpr double kBallPerSlipSkid = -127.0 / 1.62;
// The localizer needle spans ±127 units for FlightGear's ±10 dots, the
// glide-slope needle ±119 for its normalised ±1 (positive: needle up,
// which the module draws for negative values).
constexpr double kLocalizerPerDot = 12.7;
constexpr double kGlideSlopePerNorm = -119.0;
// The gyro-setting knob turns three times per 65536 units: one turn per
// 120 degrees of FlightGear's heading-indicator offset.
constexpr double kGyroSettingPerDegree = 65536.0 / 360.0;
// FlightGear's trims are normalised ±1; the module's trim dials read
// radians and stop at ±12°. Positive elevator trim is nose down in
// FlightGear and nose up on the panel.
constexpr double kTrimRadians = 0.20943951023931953;
constexpr double kFuelFull = 8388610.0;
constexpr double kLeverFull = 16383.0;  // handle, wheels, flaps: above 16300 is down and locked
constexpr double kBrakeSet = 32767.0;

// Output fields, in the protocol file's order.
constexpr OutputField kOutputs[] = {
    {"/instrumentation/airspeed-indicator/indicated-speed-kt", FieldType::Float, "%.2f", -50, 1000},
    {"/instrumentation/vertical-speed-indicator/indicated-speed-fpm", FieldType::Float, "%.1f", -40000, 40000},
    {"/instrumentation/slip-skid-ball/indicated-slip-skid", FieldType::Float, "%.4f", -100, 100},
    {"/instrumentation/turn-indicator/indicated-turn-rate", FieldType::Float, "%.4f", -20, 20},
    {"/instrumentation/altimeter/indicated-altitude-ft", FieldType::Float, "%.2f", -3000, 100000},
    {"/instrumentation/altimeter/setting-hpa", FieldType::Float, "%.2f", 800, 1200},
    {"/instrumentation/attitude-indicator/indicated-pitch-deg", FieldType::Float, "%.3f", -180, 180},
    {"/instrumentation/attitude-indicator/indicated-roll-deg", FieldType::Float, "%.3f", -180, 180},
    {"/instrumentation/attitude-indicator/caged-flag", FieldType::Bool, "%d", 0, 1},
    {"/instrumentation/heading-indicator/indicated-heading-deg", FieldType::Float, "%.3f", -720, 720},
    {"/instrumentation/heading-indicator/offset-deg", FieldType::Float, "%.3f", -720, 720},
    {"/instrumentation/heading-indicator/spin", FieldType::Float, "%.4f", -1, 2},
    {"/systems/electrical/volts", FieldType::Float, "%.2f", -1, 100},
    {"/gear/gear[0]/wow", FieldType::Bool, "%d", 0, 1},
    {"/gear/gear[1]/wow", FieldType::Bool, "%d", 0, 1},
    {"/gear/gear[2]/wow", FieldType::Bool, "%d", 0, 1},
    {"/instrumentation/adf/frequencies/selected-khz", FieldType::Float, "%.1f", 0, 2000},
    {"/instrumentation/adf/rotation-deg", FieldType::Float, "%.2f", -720, 720},
    {"/instrumentation/adf/indicated-bearing-deg", FieldType::Float, "%.2f", -720, 720},
    {"/instrumentation/adf/in-range", FieldType::Bool, "%d", 0, 1},
    {"/instrumentation/adf/ident-audible", FieldType::Bool, "%d", 0, 1},
    {"/instrumentation/comm/frequencies/selected-mhz", FieldType::Float, "%.3f", 0, 200},
    {"/instrumentation/nav[0]/frequencies/selected-mhz", FieldType::Float, "%.3f", 0, 200},
    {"/instrumentation/nav[0]/heading-needle-deflection", FieldType::Float, "%.3f", -20, 20},
    {"/instrumentation/nav[0]/gs-needle-deflection-norm", FieldType::Float, "%.4f", -2, 2},
    {"/instrumentation/nav[0]/to-flag", FieldType::Bool, "%d", 0, 1},
    {"/instrumentation/nav[0]/from-flag", FieldType::Bool, "%d", 0, 1},
    {"/instrumentation/nav[0]/gs-in-range", FieldType::Bool, "%d", 0, 1},
    {"/instrumentation/nav[0]/radials/selected-deg", FieldType::Float, "%.2f", -720, 720},
    {"/instrumentation/nav[0]/ident-audible", FieldType::Bool, "%d", 0, 1},
    {"/instrumentation/nav[1]/frequencies/selected-mhz", FieldType::Float, "%.3f", 0, 200},
    {"/instrumentation/nav[1]/heading-needle-deflection", FieldType::Float, "%.3f", -20, 20},
    {"/instrumentation/nav[1]/gs-needle-deflection-norm", FieldType::Float, "%.4f", -2, 2},
    {"/instrumentation/nav[1]/to-flag", FieldType::Bool, "%d", 0, 1},
    {"/instrumentation/nav[1]/from-flag", FieldType::Bool, "%d", 0, 1},
    {"/instrumentation/nav[1]/gs-in-range", FieldType::Bool, "%d", 0, 1},
    {"/instrumentation/nav[1]/radials/selected-deg", FieldType::Float, "%.2f", -720, 720},
    {"/instrumentation/nav[1]/ident-audible", FieldType::Bool, "%d", 0, 1},
    {"/instrumentation/marker-beacon/outer", FieldType::Bool, "%d", 0, 1},
    {"/instrumentation/marker-beacon/middle", FieldType::Bool, "%d", 0, 1},
    {"/instrumentation/marker-beacon/inner", FieldType::Bool, "%d", 0, 1},
    {"/instrumentation/transponder/id-code", FieldType::Int, "%d", 0, 7777},
    {"/position/altitude-agl-ft", FieldType::Float, "%.2f", -3000, 100000},
    {"/engines/engine[0]/rpm", FieldType::Float, "%.1f", -100, 20000},
    {"/engines/engine[0]/mp-inhg", FieldType::Float, "%.3f", -1, 100},
    {"/engines/engine[0]/oil-temperature-degf", FieldType::Float, "%.2f", -200, 1000},
    {"/engines/engine[0]/oil-pressure-psi", FieldType::Float, "%.2f", -50, 1000},
    {"/engines/engine[0]/thruster/rpm", FieldType::Float, "%.1f", -100, 20000},
    {"/controls/engines/engine[0]/throttle", FieldType::Float, "%.5f", -0.01, 1.01},
    {"/controls/engines/engine[0]/mixture", FieldType::Float, "%.5f", -0.01, 1.01},
    {"/controls/engines/engine[0]/propeller-pitch", FieldType::Float, "%.5f", -0.01, 1.01},
    {"/controls/engines/engine[0]/magnetos", FieldType::Int, "%d", 0, 3},
    {"/controls/engines/engine[0]/starter", FieldType::Bool, "%d", 0, 1},
    {"/controls/engines/engine[0]/fuel-pump", FieldType::Bool, "%d", 0, 1},
    {"/controls/engines/engine[0]/cutoff", FieldType::Bool, "%d", 0, 1},
    {"/engines/engine[1]/rpm", FieldType::Float, "%.1f", -100, 20000},
    {"/engines/engine[1]/mp-inhg", FieldType::Float, "%.3f", -1, 100},
    {"/engines/engine[1]/oil-temperature-degf", FieldType::Float, "%.2f", -200, 1000},
    {"/engines/engine[1]/oil-pressure-psi", FieldType::Float, "%.2f", -50, 1000},
    {"/engines/engine[1]/thruster/rpm", FieldType::Float, "%.1f", -100, 20000},
    {"/controls/engines/engine[1]/throttle", FieldType::Float, "%.5f", -0.01, 1.01},
    {"/controls/engines/engine[1]/mixture", FieldType::Float, "%.5f", -0.01, 1.01},
    {"/controls/engines/engine[1]/propeller-pitch", FieldType::Float, "%.5f", -0.01, 1.01},
    {"/controls/engines/engine[1]/magnetos", FieldType::Int, "%d", 0, 3},
    {"/controls/engines/engine[1]/starter", FieldType::Bool, "%d", 0, 1},
    {"/controls/engines/engine[1]/fuel-pump", FieldType::Bool, "%d", 0, 1},
    {"/controls/engines/engine[1]/cutoff", FieldType::Bool, "%d", 0, 1},
    {"/consumables/fuel/tank[0]/level-gal_us", FieldType::Float, "%.3f", -1, 100000},
    {"/consumables/fuel/tank[0]/capacity-gal_us", FieldType::Float, "%.3f", 0, 100000},
    {"/consumables/fuel/tank[0]/selected", FieldType::Bool, "%d", 0, 1},
    {"/consumables/fuel/tank[1]/level-gal_us", FieldType::Float, "%.3f", -1, 100000},
    {"/consumables/fuel/tank[1]/capacity-gal_us", FieldType::Float, "%.3f", 0, 100000},
    {"/consumables/fuel/tank[1]/selected", FieldType::Bool, "%d", 0, 1},
    {"/systems/hydraulic/pressure-psi", FieldType::Float, "%.1f", -100, 10000},
    {"/systems/vacuum/suction-inhg", FieldType::Float, "%.3f", -10, 50},
    {"/environment/temperature-degc", FieldType::Float, "%.2f", -100, 100},
    {"/controls/gear/gear-down", FieldType::Bool, "%d", 0, 1},
    {"/gear/gear[0]/position-norm", FieldType::Float, "%.4f", -0.01, 1.01},
    {"/gear/gear[1]/position-norm", FieldType::Float, "%.4f", -0.01, 1.01},
    {"/gear/gear[2]/position-norm", FieldType::Float, "%.4f", -0.01, 1.01},
    {"/controls/gear/brake-parking", FieldType::Float, "%.3f", -0.01, 1.01},
    {"/controls/gear/tailwheel-lock", FieldType::Bool, "%d", 0, 1},
    {"/surface-positions/flap-pos-norm", FieldType::Float, "%.4f", -0.01, 1.01},
    {"/controls/flight/flaps", FieldType::Float, "%.4f", -0.01, 1.01},
    {"/controls/flight/elevator-trim", FieldType::Float, "%.4f", -1.01, 1.01},
    {"/controls/flight/rudder-trim", FieldType::Float, "%.4f", -1.01, 1.01},
    {"/sim/time/local-day-seconds", FieldType::Float, "%.1f", 0, 86401},
    {"/sim/time/elapsed-sec", FieldType::Float, "%.3f", 0, 1e8},
};

#define E0 "/engines/engine[0]/"
#define E1 "/engines/engine[1]/"
#define C0 "/controls/engines/engine[0]/"
#define C1 "/controls/engines/engine[1]/"
#define NAV0 "/instrumentation/nav[0]/"
#define NAV1 "/instrumentation/nav[1]/"

// Every variable token the module reads.
constexpr TokenSource kTokens[] = {
    // Flight instruments.
    {61, Make::Scaled, "/instrumentation/airspeed-indicator/indicated-speed-kt", nullptr, nullptr,
     kKilometresPerNauticalMile, 0, "airspeed: the dial is painted in km/h"},
    {65, Make::Scaled, "/instrumentation/vertical-speed-indicator/indicated-speed-fpm", nullptr, nullptr,
     kVerticalSpeedPerFpm, 0, "vertical speed, metres per second x 256"},
    {69, Make::Scaled, "/instrumentation/slip-skid-ball/indicated-slip-skid", nullptr, nullptr, kBallPerSlipSkid, 0,
     "inclinometer ball, +-127 at the tube's ends"},
    {70, Make::Scaled, "/instrumentation/turn-indicator/indicated-turn-rate", nullptr, nullptr,
     kTurnRatePerStandardTurn, 0, "turn rate: a standard-rate turn on the 2-minute mark"},
    {753, Make::Scaled, "/systems/electrical/volts", nullptr, nullptr, 1, 0,
     "bus volts: the turn coordinator's flag shows at 20 V and below"},
    {74, Make::Scaled, "/instrumentation/altimeter/indicated-altitude-ft", nullptr, nullptr, 1, 0, "altitude, feet"},
    {75, Make::Scaled, "/instrumentation/altimeter/setting-hpa", nullptr, nullptr, 1, 0, "pressure setting, hPa"},
    {78, Make::Scaled, "/instrumentation/attitude-indicator/indicated-pitch-deg", nullptr, nullptr, 1, 0,
     "pitch, degrees, nose up positive"},
    {80, Make::Scaled, "/instrumentation/attitude-indicator/indicated-roll-deg", nullptr, nullptr, -1, 0,
     "bank, degrees: the horizon card turns the other way from FlightGear's roll"},
    {612, Make::Local, nullptr, nullptr, nullptr, 0, 0,
     "miniature aeroplane height: FlightGear's attitude indicator has no such knob; the link keeps it"},
    {84, Make::Scaled, "/instrumentation/heading-indicator/indicated-heading-deg", nullptr, nullptr, 1, 0,
     "heading of the directional gyro, degrees"},
    {85, Make::Scaled, "/instrumentation/heading-indicator/offset-deg", nullptr, nullptr, kGyroSettingPerDegree, 0,
     "gyro setting knob: turns with the gyro's offset"},
    {279, Make::BelowFlag, "/instrumentation/heading-indicator/spin", nullptr, nullptr, 0.9, 0,
     "gyro flag: shows while the gyro spins below 90 %"},
    {288, Make::Local, nullptr, nullptr, nullptr, 0, 0,
     "second gyro flag source: FlightGear has one gyro warning, given by token 279; this one stays 0"},
    // ADF.
    {22, Make::Scaled, "/instrumentation/adf/rotation-deg", nullptr, nullptr, 1, 0, "ADF card heading, degrees"},
    {39, Make::Scaled, "/instrumentation/adf/indicated-bearing-deg", nullptr, nullptr, 1, 0,
     "relative bearing of the station, degrees"},
    {20, Make::BoolScaled, "/instrumentation/adf/in-range", nullptr, nullptr, 255, 0,
     "ADF signal: 255 (usable) while a station is in range"},
    {16, Make::AdfBcd, "/instrumentation/adf/frequencies/selected-khz", nullptr, nullptr, 0, 0,
     "ADF frequency, BCD hundreds-tens-units"},
    {18, Make::AdfExtension, "/instrumentation/adf/frequencies/selected-khz", nullptr, nullptr, 0, 0,
     "ADF frequency: 256 for the thousands, plus the tenths"},
    {880, Make::BoolScaled, "/instrumentation/adf/ident-audible", nullptr, nullptr, 1, 0, "ADF identification tone"},
    // COM, NAV and transponder.
    {23, Make::ComBcd, "/instrumentation/comm/frequencies/selected-mhz", nullptr, nullptr, 0, 0, "COM1, BCD"},
    {24, Make::NavBcd, NAV0 "frequencies/selected-mhz", nullptr, nullptr, 0, 0, "NAV1, BCD"},
    {27, Make::NavBcd, NAV1 "frequencies/selected-mhz", nullptr, nullptr, 0, 0, "NAV2, BCD"},
    {40, Make::Scaled, NAV0 "heading-needle-deflection", nullptr, nullptr, kLocalizerPerDot, 0,
     "NAV1 localizer, +-127"},
    {41, Make::Scaled, NAV0 "gs-needle-deflection-norm", nullptr, nullptr, kGlideSlopePerNorm, 0,
     "NAV1 glide slope, +-119"},
    {43, Make::ToFrom, NAV0 "to-flag", NAV0 "from-flag", nullptr, 0, 0, "NAV1 TO/FROM: 1 to, 2 from, 0 none"},
    {44, Make::BoolScaled, NAV0 "gs-in-range", nullptr, nullptr, 1, 0, "NAV1 glide-slope flag"},
    {45, Make::Scaled, NAV0 "radials/selected-deg", nullptr, nullptr, 1, 0, "NAV1 selected course"},
    {50, Make::Scaled, NAV1 "heading-needle-deflection", nullptr, nullptr, kLocalizerPerDot, 0,
     "NAV2 localizer, +-127"},
    {882, Make::Scaled, NAV1 "gs-needle-deflection-norm", nullptr, nullptr, kGlideSlopePerNorm, 0,
     "NAV2 glide slope, +-119"},
    {52, Make::ToFrom, NAV1 "to-flag", NAV1 "from-flag", nullptr, 0, 0, "NAV2 TO/FROM"},
    {53, Make::BoolScaled, NAV1 "gs-in-range", nullptr, nullptr, 1, 0, "NAV2 glide-slope flag"},
    {54, Make::Scaled, NAV1 "radials/selected-deg", nullptr, nullptr, 1, 0, "NAV2 selected course"},
    {354, Make::Marker, "/instrumentation/marker-beacon/outer", "/instrumentation/marker-beacon/middle",
     "/instrumentation/marker-beacon/inner", 0, 0, "marker lamp: 1 outer, 2 middle, 3 inner"},
    {38, Make::CodeBcd, "/instrumentation/transponder/id-code", nullptr, nullptr, 0, 0,
     "transponder code, a digit per nibble"},
    // Radio altimeter.
    {614, Make::WheelHeight, "/position/altitude-agl-ft", nullptr, nullptr, 1 / kFeetPerMetre, 0,
     "radio height, metres: the wheels' height above ground, 0 on the runway (the reference point's "
     "height less what it was when the weight was last on the wheels)"},
    {615, Make::Local, nullptr, nullptr, nullptr, 200 / kFeetPerMetre, 0,
     "decision height, metres: FlightGear's aircraft have no radio-altimeter bug; the link keeps it (200 ft at start)"},
    {616, Make::DecisionAlert, nullptr, nullptr, nullptr, 0, 0,
     "decision-height alert: the link compares the radio height with its decision height"},
    {755, Make::Scaled, "/systems/electrical/volts", nullptr, nullptr, 1, 0,
     "bus volts: call-outs need 20 V or more"},
    {60, Make::AnyOf, "/gear/gear[0]/wow", "/gear/gear[1]/wow", "/gear/gear[2]/wow", 1, 0,
     "on the ground (weight on any wheel, however the aircraft numbers them): the radios start cold, the "
     "decision-height lamp stays dark"},
    // Engines.
    {390, Make::Scaled, E0 "rpm", nullptr, nullptr, 1, 0, "engine 1 rpm"},
    {429, Make::Scaled, E1 "rpm", nullptr, nullptr, 1, 0, "engine 2 rpm"},
    {391, Make::Scaled, E0 "mp-inhg", nullptr, nullptr, kPsfPerInHg, 0, "engine 1 manifold pressure, psf"},
    {430, Make::Scaled, E1 "mp-inhg", nullptr, nullptr, kPsfPerInHg, 0, "engine 2 manifold pressure, psf"},
    {416, Make::Scaled, E0 "oil-temperature-degf", nullptr, nullptr, 1, kRankineOffset,
     "engine 1 oil temperature, Rankine"},
    {455, Make::Scaled, E1 "oil-temperature-degf", nullptr, nullptr, 1, kRankineOffset,
     "engine 2 oil temperature, Rankine"},
    {418, Make::Scaled, E0 "oil-pressure-psi", nullptr, nullptr, kPsfPerPsi, 0, "engine 1 oil pressure, psf"},
    {457, Make::Scaled, E1 "oil-pressure-psi", nullptr, nullptr, kPsfPerPsi, 0, "engine 2 oil pressure, psf"},
    {700, Make::Scaled, E0 "thruster/rpm", nullptr, nullptr, 1, 0, "propeller 1 rpm"},
    {708, Make::Scaled, E1 "thruster/rpm", nullptr, nullptr, 1, 0, "propeller 2 rpm"},
    {788, Make::Local, nullptr, nullptr, nullptr, 0, 0,
     "propeller synchroniser: FlightGear has no generic one; the link keeps the switch"},
    {392, Make::Scaled, C0 "throttle", nullptr, nullptr, 1, 0, "throttle 1, 0..1"},
    {431, Make::Scaled, C1 "throttle", nullptr, nullptr, 1, 0, "throttle 2, 0..1"},
    {393, Make::Scaled, C0 "mixture", nullptr, nullptr, 1, 0, "mixture 1, 0..1"},
    {432, Make::Scaled, C1 "mixture", nullptr, nullptr, 1, 0, "mixture 2, 0..1"},
    {394, Make::Scaled, C0 "propeller-pitch", nullptr, nullptr, 1, 0, "propeller lever 1, 0..1"},
    {433, Make::Scaled, C1 "propeller-pitch", nullptr, nullptr, 1, 0, "propeller lever 2, 0..1"},
    {401, Make::BoolScaled, C0 "fuel-pump", nullptr, nullptr, 1, 0, "engine 1 lower switch (POMPE ESS): the fuel pump"},
    {440, Make::BoolScaled, C1 "fuel-pump", nullptr, nullptr, 1, 0, "engine 2 lower switch (POMPE ESS): the fuel pump"},
    {891, Make::BoolScaled, C0 "starter", nullptr, nullptr, 1, 0, "engine 1 upper switch (DEMARREUR): the starter"},
    {892, Make::BoolScaled, C1 "starter", nullptr, nullptr, 1, 0, "engine 2 upper switch (DEMARREUR): the starter"},
    {422, Make::OpenUnlessSet, C0 "cutoff", nullptr, nullptr, 1, 0, "engine 1 admission valve: open unless cut off"},
    {461, Make::OpenUnlessSet, C1 "cutoff", nullptr, nullptr, 1, 0, "engine 2 admission valve: open unless cut off"},
    // Fuel and systems.
    {291, Make::Ratio, "/consumables/fuel/tank[0]/level-gal_us", "/consumables/fuel/tank[0]/capacity-gal_us", nullptr,
     kFuelFull, 0, "left tanks, fraction of 8388610"},
    {297, Make::Ratio, "/consumables/fuel/tank[1]/level-gal_us", "/consumables/fuel/tank[1]/capacity-gal_us", nullptr,
     kFuelFull, 0, "right tanks, fraction of 8388610"},
    {895, Make::BoolScaled, "/consumables/fuel/tank[0]/selected", nullptr, nullptr, 1, 0, "left tanks fuel valve"},
    {896, Make::BoolScaled, "/consumables/fuel/tank[1]/selected", nullptr, nullptr, 1, 0, "right tanks fuel valve"},
    {732, Make::Scaled, "/systems/hydraulic/pressure-psi", nullptr, nullptr, kPsfPerPsi, 0,
     "hydraulic pressure, psf: FlightGear has no generic hydraulics; an aircraft that models them can publish "
     "this property (the c172p does not: it reads 0)"},
    {353, Make::Scaled, "/systems/vacuum/suction-inhg", nullptr, nullptr, 1, 0, "suction, inHg"},
    {341, Make::Scaled, "/environment/temperature-degc", nullptr, nullptr, 1, 0, "outside air, degrees C"},
    // Gear, brake, flaps, trims.
    {331, Make::BoolScaled, "/controls/gear/gear-down", nullptr, nullptr, kLeverFull, 0, "gear handle"},
    {332, Make::Scaled, "/gear/gear[0]/position-norm", nullptr, nullptr, kLeverFull, 0, "tail (first) wheel"},
    {333, Make::Scaled, "/gear/gear[1]/position-norm", nullptr, nullptr, kLeverFull, 0, "left wheel"},
    {334, Make::Scaled, "/gear/gear[2]/position-norm", nullptr, nullptr, kLeverFull, 0, "right wheel"},
    {323, Make::Scaled, "/controls/gear/brake-parking", nullptr, nullptr, kBrakeSet, 0, "parking brake"},
    {330, Make::Scaled, "/surface-positions/flap-pos-norm", nullptr, nullptr, kLeverFull, 0, "flap position"},
    {329, Make::Scaled, "/controls/flight/flaps", nullptr, nullptr, kLeverFull, 0, "flap lever"},
    {783, Make::Scaled, "/controls/flight/elevator-trim", nullptr, nullptr, -kTrimRadians, 0,
     "elevator trim, radians, nose up positive"},
    {787, Make::Scaled, "/controls/flight/rudder-trim", nullptr, nullptr, kTrimRadians, 0, "rudder trim, radians"},
    // Time.
    {557, Make::Scaled, "/sim/time/local-day-seconds", nullptr, nullptr, 1, 0,
     "time of day, seconds: the local time at the aircraft, as the cockpit clock shows it"},
    {604, Make::Scaled, "/sim/time/elapsed-sec", nullptr, nullptr, 1, 0, "simulated time, seconds"},
};

// Input fields, in the protocol file's order.
constexpr InputField kInputs[] = {
    {"/instrumentation/altimeter/setting-hpa", FieldType::Float, 900, 1100, false},
    {"/instrumentation/attitude-indicator/caged-flag", FieldType::Bool, 0, 0, false},
    {"/instrumentation/heading-indicator/offset-deg", FieldType::Float, -180, 180, true},
    {"/instrumentation/adf/frequencies/selected-khz", FieldType::Float, 100, 1799.9, false},
    {"/instrumentation/adf/rotation-deg", FieldType::Float, 0, 360, true},
    {"/instrumentation/adf/ident-audible", FieldType::Bool, 0, 0, false},
    {"/instrumentation/comm/frequencies/selected-mhz", FieldType::Float, 118, 136.975, false},
    {NAV0 "frequencies/selected-mhz", FieldType::Float, 108, 117.95, false},
    {NAV0 "radials/selected-deg", FieldType::Float, 0, 360, true},
    {NAV0 "ident-audible", FieldType::Bool, 0, 0, false},
    {NAV1 "frequencies/selected-mhz", FieldType::Float, 108, 117.95, false},
    {NAV1 "radials/selected-deg", FieldType::Float, 0, 360, true},
    {NAV1 "ident-audible", FieldType::Bool, 0, 0, false},
    {"/instrumentation/transponder/id-code", FieldType::Int, 0, 7777, false},
    {C0 "throttle", FieldType::Float, 0, 1, false},
    {C0 "mixture", FieldType::Float, 0, 1, false},
    {C0 "propeller-pitch", FieldType::Float, 0, 1, false},
    {C0 "magnetos", FieldType::Int, 0, 3, false},
    {C0 "starter", FieldType::Bool, 0, 0, false},
    {C0 "fuel-pump", FieldType::Bool, 0, 0, false},
    {C0 "cutoff", FieldType::Bool, 0, 0, false},
    {C1 "throttle", FieldType::Float, 0, 1, false},
    {C1 "mixture", FieldType::Float, 0, 1, false},
    {C1 "propeller-pitch", FieldType::Float, 0, 1, false},
    {C1 "magnetos", FieldType::Int, 0, 3, false},
    {C1 "starter", FieldType::Bool, 0, 0, false},
    {C1 "fuel-pump", FieldType::Bool, 0, 0, false},
    {C1 "cutoff", FieldType::Bool, 0, 0, false},
    {"/consumables/fuel/tank[0]/selected", FieldType::Bool, 0, 0, false},
    {"/consumables/fuel/tank[1]/selected", FieldType::Bool, 0, 0, false},
    {"/controls/gear/gear-down", FieldType::Bool, 0, 0, false},
    {"/controls/gear/brake-parking", FieldType::Bool, 0, 0, false},
    {"/controls/gear/tailwheel-lock", FieldType::Bool, 0, 0, false},
    {"/controls/flight/flaps", FieldType::Float, 0, 1, false},
    {"/controls/flight/elevator-trim", FieldType::Float, -1, 1, false},
};

constexpr double kLever = 1.0 / 16384;  // the setting events' 0..16384 scale
constexpr double kTrimStep = 0.005;

// Every key event the module sends.
constexpr EventAction kEvents[] = {
    // Altimeter, attitude, gyro.
    {65883, Act::Add, "/instrumentation/altimeter/setting-hpa", 0, 1, 900, 1100, "pressure setting up 1 hPa"},
    {65884, Act::Add, "/instrumentation/altimeter/setting-hpa", 0, -1, 900, 1100, "pressure setting down 1 hPa"},
    {66318, Act::LocalAdd, nullptr, 612, 10, -150, 150, "miniature aeroplane up"},
    {66319, Act::LocalAdd, nullptr, 612, -10, -150, 150, "miniature aeroplane down"},
    {66373, Act::Toggle, "/instrumentation/attitude-indicator/caged-flag", 0, 0, 0, 0, "cage the gyro"},
    {65877, Act::AddWrapped, "/instrumentation/heading-indicator/offset-deg", 0, 1, -180, 180, "gyro setting up 1 deg"},
    {65878, Act::AddWrapped, "/instrumentation/heading-indicator/offset-deg", 0, -1, -180, 180,
     "gyro setting down 1 deg"},
    // ADF.
    {65881, Act::AddWrapped, "/instrumentation/adf/rotation-deg", 0, 1, 0, 360, "ADF card up 1 deg"},
    {65882, Act::AddWrapped, "/instrumentation/adf/rotation-deg", 0, -1, 0, 360, "ADF card down 1 deg"},
    {66542, Act::Add, "/instrumentation/adf/frequencies/selected-khz", 0, 1, 100, 1799.9, "ADF up 1 kHz"},
    {66543, Act::Add, "/instrumentation/adf/frequencies/selected-khz", 0, -1, 100, 1799.9, "ADF down 1 kHz"},
    {66462, Act::Add, "/instrumentation/adf/frequencies/selected-khz", 0, 0.1, 100, 1799.9, "ADF up 0.1 kHz"},
    {66461, Act::Add, "/instrumentation/adf/frequencies/selected-khz", 0, -0.1, 100, 1799.9, "ADF down 0.1 kHz"},
    {66122, Act::SetAdfBcd, "/instrumentation/adf/frequencies/selected-khz", 0, 0, 100, 1799.9,
     "ADF set: BCD tenths of a kHz"},
    {65841, Act::Set, "/instrumentation/adf/ident-audible", 0, 1, 0, 0, "ADF identification tone on"},
    {65836, Act::Set, "/instrumentation/adf/ident-audible", 0, 0, 0, 0, "ADF identification tone off"},
    // COM1.
    {65637, Act::WholeStep, "/instrumentation/comm/frequencies/selected-mhz", 0, 1, 118, 136, "COM1 MHz up"},
    {65636, Act::WholeStep, "/instrumentation/comm/frequencies/selected-mhz", 0, -1, 118, 136, "COM1 MHz down"},
    {65639, Act::FractionStep, "/instrumentation/comm/frequencies/selected-mhz", 0, 0.025, 0, 0, "COM1 up 25 kHz"},
    {65638, Act::FractionStep, "/instrumentation/comm/frequencies/selected-mhz", 0, -0.025, 0, 0,
     "COM1 down 25 kHz"},
    // NAV1 and NAV2.
    {65641, Act::WholeStep, NAV0 "frequencies/selected-mhz", 0, 1, 108, 117, "NAV1 MHz up"},
    {65640, Act::WholeStep, NAV0 "frequencies/selected-mhz", 0, -1, 108, 117, "NAV1 MHz down"},
    {65643, Act::FractionStep, NAV0 "frequencies/selected-mhz", 0, 0.05, 0, 0, "NAV1 up 50 kHz"},
    {65642, Act::FractionStep, NAV0 "frequencies/selected-mhz", 0, -0.05, 0, 0, "NAV1 down 50 kHz"},
    {65837, Act::Set, NAV0 "ident-audible", 0, 1, 0, 0, "NAV1 identification tone on"},
    {65832, Act::Set, NAV0 "ident-audible", 0, 0, 0, 0, "NAV1 identification tone off"},
    {65645, Act::WholeStep, NAV1 "frequencies/selected-mhz", 0, 1, 108, 117, "NAV2 MHz up"},
    {65644, Act::WholeStep, NAV1 "frequencies/selected-mhz", 0, -1, 108, 117, "NAV2 MHz down"},
    {65647, Act::FractionStep, NAV1 "frequencies/selected-mhz", 0, 0.05, 0, 0, "NAV2 up 50 kHz"},
    {65646, Act::FractionStep, NAV1 "frequencies/selected-mhz", 0, -0.05, 0, 0, "NAV2 down 50 kHz"},
    {65838, Act::Set, NAV1 "ident-audible", 0, 1, 0, 0, "NAV2 identification tone on"},
    {65833, Act::Set, NAV1 "ident-audible", 0, 0, 0, 0, "NAV2 identification tone off"},
    {65716, Act::SetScaled, NAV0 "radials/selected-deg", 0, 1, 0, 360, "VOR1 course set, degrees"},
    {65717, Act::SetScaled, NAV1 "radials/selected-deg", 0, 1, 0, 360, "VOR2 course set, degrees"},
    // Transponder: a digit steps 0..7 and wraps without carrying.
    {65651, Act::DigitStep, "/instrumentation/transponder/id-code", 0, 1000, 1, 0, "code thousands up"},
    {66455, Act::DigitStep, "/instrumentation/transponder/id-code", 0, 1000, -1, 0, "code thousands down"},
    {65652, Act::DigitStep, "/instrumentation/transponder/id-code", 0, 100, 1, 0, "code hundreds up"},
    {66456, Act::DigitStep, "/instrumentation/transponder/id-code", 0, 100, -1, 0, "code hundreds down"},
    {65653, Act::DigitStep, "/instrumentation/transponder/id-code", 0, 10, 1, 0, "code tens up"},
    {66457, Act::DigitStep, "/instrumentation/transponder/id-code", 0, 10, -1, 0, "code tens down"},
    {65654, Act::DigitStep, "/instrumentation/transponder/id-code", 0, 1, 1, 0, "code units up"},
    {66458, Act::DigitStep, "/instrumentation/transponder/id-code", 0, 1, -1, 0, "code units down"},
    // Radio altimeter and synchroniser: the link's own values.
    {66321, Act::DecisionStep, nullptr, 615, 1, 0, 1000 / kFeetPerMetre, "decision height up"},
    {66322, Act::DecisionStep, nullptr, 615, -1, 0, 1000 / kFeetPerMetre, "decision height down"},
    {66287, Act::LocalToggle, nullptr, 788, 0, 0, 0, "propeller synchroniser"},
    // Engines.
    {65820, Act::SetScaled, C0 "throttle", 0, kLever, 0, 1, "throttle 1"},
    {65821, Act::SetScaled, C1 "throttle", 0, kLever, 0, 1, "throttle 2"},
    {65919, Act::SetScaled, C0 "mixture", 0, kLever, 0, 1, "mixture 1"},
    {65920, Act::SetScaled, C1 "mixture", 0, kLever, 0, 1, "mixture 2"},
    {65923, Act::SetScaled, C0 "propeller-pitch", 0, kLever, 0, 1, "propeller lever 1"},
    {65924, Act::SetScaled, C1 "propeller-pitch", 0, kLever, 0, 1, "propeller lever 2"},
    {66127, Act::Add, C0 "magnetos", 0, 1, 0, 3, "engine 1 magneto up"},
    {66126, Act::Add, C0 "magnetos", 0, -1, 0, 3, "engine 1 magneto down"},
    {65927, Act::Set, C0 "magnetos", 0, 0, 0, 3, "engine 1 magnetos off"},
    {65930, Act::Set, C0 "magnetos", 0, 3, 0, 3, "engine 1 both magnetos"},
    {66129, Act::Add, C1 "magnetos", 0, 1, 0, 3, "engine 2 magneto up"},
    {66128, Act::Add, C1 "magnetos", 0, -1, 0, 3, "engine 2 magneto down"},
    {65933, Act::Set, C1 "magnetos", 0, 0, 0, 3, "engine 2 magnetos off"},
    {65936, Act::Set, C1 "magnetos", 0, 3, 0, 3, "engine 2 both magnetos"},
    {66300, Act::Toggle, C0 "fuel-pump", 0, 0, 0, 0, "engine 1 lower switch (POMPE ESS): fuel pump"},
    {66301, Act::Toggle, C1 "fuel-pump", 0, 0, 0, 0, "engine 2 lower switch (POMPE ESS): fuel pump"},
    {66340, Act::Toggle, C0 "starter", 0, 0, 0, 0, "engine 1 upper switch (DEMARREUR): starter"},
    {66341, Act::Toggle, C1 "starter", 0, 0, 0, 0, "engine 2 upper switch (DEMARREUR): starter"},
    {65956, Act::Set, C0 "cutoff", 0, 0, 0, 0, "engine 1 admission valve open"},
    {65955, Act::Set, C0 "cutoff", 0, 1, 0, 0, "engine 1 admission valve shut"},
    {66517, Act::Set, C1 "cutoff", 0, 0, 0, 0, "engine 2 admission valve open"},
    {66516, Act::Set, C1 "cutoff", 0, 1, 0, 0, "engine 2 admission valve shut"},
    {66494, Act::Toggle, "/consumables/fuel/tank[0]/selected", 0, 0, 0, 0, "left tanks fuel valve"},
    {66495, Act::Toggle, "/consumables/fuel/tank[1]/selected", 0, 0, 0, 0, "right tanks fuel valve"},
    // Gear, brake, flaps, trim, tail wheel.
    {65570, Act::Toggle, "/controls/gear/gear-down", 0, 0, 0, 0, "gear handle"},
    {65752, Act::Toggle, "/controls/gear/brake-parking", 0, 0, 0, 0, "parking brake"},
    {66541, Act::Toggle, "/controls/gear/tailwheel-lock", 0, 0, 0, 0, "tail-wheel lock"},
    {65758, Act::NotchStep, "/controls/flight/flaps", 0, 1, 0, 1, "flaps down one notch (the aircraft's notches)"},
    {65759, Act::NotchStep, "/controls/flight/flaps", 0, -1, 0, 1, "flaps up one notch (the aircraft's notches)"},
    {65607, Act::Add, "/controls/flight/elevator-trim", 0, kTrimStep, -1, 1, "elevator trim nose down"},
    {65615, Act::Add, "/controls/flight/elevator-trim", 0, -kTrimStep, -1, 1, "elevator trim nose up"},
    // The panel's own windows and the simulator's screens.
    {66506, Act::None, nullptr, 0, 0, 0, 0, "panel window toggle: the panel's own windows, shown by our host"},
    {66507, Act::None, nullptr, 0, 0, 0, 0, "panel window open: the panel's own windows, shown by our host"},
    {66508, Act::None, nullptr, 0, 0, 0, 0, "panel window close: the panel's own windows, shown by our host"},
    {65734, Act::None, nullptr, 0, 0, 0, 0, "panel-button view step: a view of the host, none in FlightGear's property tree"},
    {65735, Act::None, nullptr, 0, 0, 0, 0, "panel-button view step: a view of the host, none in FlightGear's property tree"},
    {65875, Act::None, nullptr, 0, 0, 0, 0, "panel-button view reset: a view of the host, none in FlightGear's property tree"},
    {65876, Act::None, nullptr, 0, 0, 0, 0, "kneeboard window: a screen of the host; FlightGear's dialogs are its own"},
    {65564, Act::None, nullptr, 0, 0, 0, 0, "ATC window: a screen of the host; FlightGear's dialogs are its own"},
    {66432, Act::None, nullptr, 0, 0, 0, 0, "map window: a screen of the host; FlightGear's dialogs are its own"},
};

// The c172p (Debian's one piston aircraft) reads its throttle, mixture and
// starter from current-engine, its magnetos from the key switch and its
// parking brake from its own handle: written to the generic properties they
// would be overwritten at once.
constexpr NodeRename kC172pRenames[] = {
    {C0 "throttle", "/controls/engines/current-engine/throttle"},
    {C0 "mixture", "/controls/engines/current-engine/mixture"},
    {C0 "starter", "/controls/engines/current-engine/starter"},
    {C0 "magnetos", "/controls/switches/magnetos"},
    {"/controls/gear/brake-parking", "/sim/model/c172p/brake-parking"},
};

constexpr AircraftProtocol kAircraftProtocols[] = {
    {"c172p", "morvane-c172p", kC172pRenames, std::size(kC172pRenames)},
};

constexpr Mapping kMapping = {
    kOutputs, std::size(kOutputs), kTokens, std::size(kTokens), kInputs, std::size(kInputs),
    kEvents,  std::size(kEvents),  "(A:TAILWHEEL LOCK ON,number)", "/controls/gear/tailwheel-lock",
};

}  // namespace

const Mapping& mapping() { return kMapping; }
const AircraftProtocol* aircraft_protocols() { return kAircraftProtocols; }
size_t aircraft_protocol_count() { return std::size(kAircraftProtocols); }

}  // namespace fg
