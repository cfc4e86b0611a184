// Every key event the module sends, answered: gear, flaps and trims, the
// engine levers with their 0..16384 values, magnetos, starters, pumps,
// valves, brakes, the instrument knobs, the radios' frequency, code and
// tone events, the decision height, and the simulator windows and views.
#include "aircraft/key_events.h"

#include <algorithm>
#include <cmath>

#include "aircraft/easing.h"
#include "aircraft/radio_tuning.h"
#include "aircraft/systems.h"

namespace aircraft {

namespace {

constexpr double kLeverFull = 16384.0;
constexpr double kTrimStepRad = 0.25 * 3.141592653589793 / 180;  // a quarter degree
constexpr double kTrimLimitRad = 20 * 3.141592653589793 / 180;
constexpr double kGyroKnobPerDegree = 65536.0 / 360.0;
constexpr double kAttitudeBarStep = 4, kAttitudeBarLimit = 100;
constexpr double kFeet = 0.3048;
constexpr double kDecisionHeightTop = 1000 * kFeet;

double lever(uint32_t value) { return std::clamp(value / kLeverFull, 0.0, 1.0); }

void trim(double& rad, double step) { rad = std::clamp(rad + step, -kTrimLimitRad, kTrimLimitRad); }
void gyro(State& s, double degrees) {
    s.gyro_error_deg = wrap360(s.gyro_error_deg + degrees);
    s.gyro_knob += degrees * kGyroKnobPerDegree;
}
// The decision height steps by 10 ft low down (the knob's value 1) and by
// 50 ft above 300 ft (value 0).
void decision_height(State& s, uint32_t fine, double sign) {
    double step = (fine ? 10 : 50) * kFeet;
    s.decision_height_m = std::clamp(s.decision_height_m + sign * step, 0.0, kDecisionHeightTop);
}
void magneto_step(Engine& e, int step) { e.magnetos = std::clamp(e.magnetos + step, 0, 3); }

const KeyEventRow kRows[] = {
    // Gear, flaps, brakes, trims.
    {65570, "gear toggle", "gear handle up or down; the wheels follow at their own rates",
     [](State& s, uint32_t) { s.gear_handle_down = !s.gear_handle_down; }},
    {65758, "flaps down a notch", "flaps handle one notch further down (up, 1, 2, 3, full: quarters of the travel)",
     [](State& s, uint32_t) { s.flaps_detent = std::min(s.flaps_detent + 1, kFlapsNotches); }},
    {65759, "flaps up a notch", "flaps handle one notch up",
     [](State& s, uint32_t) { s.flaps_detent = std::max(s.flaps_detent - 1, 0); }},
    {65752, "parking brake toggle", "parking brake set or released",
     [](State& s, uint32_t) { s.parking_brake = !s.parking_brake; }},
    {66541, "tail wheel lock toggle", "tail wheel locked straight (no steering) or free",
     [](State& s, uint32_t) { s.tailwheel_locked = !s.tailwheel_locked; }},
    {65607, "elevator trim nose down", "elevator trim a quarter degree nose down",
     [](State& s, uint32_t) { trim(s.elevator_trim_rad, -kTrimStepRad); }},
    {65615, "elevator trim nose up", "elevator trim a quarter degree nose up",
     [](State& s, uint32_t) { trim(s.elevator_trim_rad, kTrimStepRad); }},

    // Engine levers: 0 at the bottom of the quadrant, 16384 at the top.
    {65820, "throttle 1 set", "engine 1 throttle to value / 16384",
     [](State& s, uint32_t v) { s.engine[0].throttle = lever(v); }},
    {65821, "throttle 2 set", "engine 2 throttle to value / 16384",
     [](State& s, uint32_t v) { s.engine[1].throttle = lever(v); }},
    {65919, "mixture 1 set", "engine 1 mixture to value / 16384 (0: idle cut-off)",
     [](State& s, uint32_t v) { s.engine[0].mixture = lever(v); }},
    {65920, "mixture 2 set", "engine 2 mixture to value / 16384",
     [](State& s, uint32_t v) { s.engine[1].mixture = lever(v); }},
    {65923, "propeller 1 set", "engine 1 propeller lever to value / 16384 (0: feathered)",
     [](State& s, uint32_t v) { s.engine[0].propeller = lever(v); }},
    {65924, "propeller 2 set", "engine 2 propeller lever to value / 16384",
     [](State& s, uint32_t v) { s.engine[1].propeller = lever(v); }},
    {66287, "propeller synchroniser toggle", "synchroniser on or off: engine 2 follows engine 1's speed",
     [](State& s, uint32_t) { s.prop_synch = !s.prop_synch; }},

    // Starting box and valves.
    {65927, "magnetos 1 off", "engine 1 magnetos off", [](State& s, uint32_t) { s.engine[0].magnetos = 0; }},
    {65930, "magnetos 1 both", "engine 1 both magnetos", [](State& s, uint32_t) { s.engine[0].magnetos = 3; }},
    {65933, "magnetos 2 off", "engine 2 magnetos off", [](State& s, uint32_t) { s.engine[1].magnetos = 0; }},
    {65936, "magnetos 2 both", "engine 2 both magnetos", [](State& s, uint32_t) { s.engine[1].magnetos = 3; }},
    {66127, "magnetos 1 step up", "engine 1 magnetos off, right, left, both",
     [](State& s, uint32_t) { magneto_step(s.engine[0], 1); }},
    {66126, "magnetos 1 step down", "engine 1 magnetos one position back",
     [](State& s, uint32_t) { magneto_step(s.engine[0], -1); }},
    {66129, "magnetos 2 step up", "engine 2 magnetos one position on",
     [](State& s, uint32_t) { magneto_step(s.engine[1], 1); }},
    {66128, "magnetos 2 step down", "engine 2 magnetos one position back",
     [](State& s, uint32_t) { magneto_step(s.engine[1], -1); }},
    // The starting box's switches take the roles painted above them: the
    // lower row stands under POMPE ESS, the upper row under DEMARREUR.
    {66300, "fuel pump 1 toggle", "starting box, engine 1 lower switch (POMPE ESS): boost pump on or off, the fuel pressure a start needs",
     [](State& s, uint32_t) { s.engine[0].boost_pump = !s.engine[0].boost_pump; }},
    {66301, "fuel pump 2 toggle", "starting box, engine 2 lower switch (POMPE ESS): boost pump on or off",
     [](State& s, uint32_t) { s.engine[1].boost_pump = !s.engine[1].boost_pump; }},
    {66340, "starter 1 toggle", "starting box, engine 1 upper switch (DEMARREUR): starter and its injection engaged or off; it cranks the engine",
     [](State& s, uint32_t) { s.engine[0].starter = !s.engine[0].starter; }},
    {66341, "starter 2 toggle", "starting box, engine 2 upper switch (DEMARREUR): starter and injection engaged or off",
     [](State& s, uint32_t) { s.engine[1].starter = !s.engine[1].starter; }},
    {66494, "left tanks valve toggle", "left tanks fuel valve open or shut (feeds engine 1)",
     [](State& s, uint32_t) { s.engine[0].tank_valve_open = !s.engine[0].tank_valve_open; }},
    {66495, "right tanks valve toggle", "right tanks fuel valve open or shut (feeds engine 2)",
     [](State& s, uint32_t) { s.engine[1].tank_valve_open = !s.engine[1].tank_valve_open; }},
    {65956, "left admission open", "engine 1 fire-wall admission valve open",
     [](State& s, uint32_t) { s.engine[0].admission_open = true; }},
    {65955, "left admission shut", "engine 1 admission valve shut: the engine starves",
     [](State& s, uint32_t) { s.engine[0].admission_open = false; }},
    {66517, "right admission open", "engine 2 admission valve open",
     [](State& s, uint32_t) { s.engine[1].admission_open = true; }},
    {66516, "right admission shut", "engine 2 admission valve shut",
     [](State& s, uint32_t) { s.engine[1].admission_open = false; }},

    // Instruments.
    {65883, "altimeter setting up", "altimeter pressure setting up 1 mb",
     [](State& s, uint32_t) { s.altimeter_mb = std::min(s.altimeter_mb + 1, 1100.0); }},
    {65884, "altimeter setting down", "altimeter pressure setting down 1 mb",
     [](State& s, uint32_t) { s.altimeter_mb = std::max(s.altimeter_mb - 1, 900.0); }},
    {65877, "gyro compass up", "gyro compass heading one degree on, knob with it",
     [](State& s, uint32_t) { gyro(s, 1); }},
    {65878, "gyro compass down", "gyro compass heading one degree back", [](State& s, uint32_t) { gyro(s, -1); }},
    {66318, "attitude bar up", "miniature aeroplane raised",
     [](State& s, uint32_t) { s.attitude_bar = std::min(s.attitude_bar + kAttitudeBarStep, kAttitudeBarLimit); }},
    {66319, "attitude bar down", "miniature aeroplane lowered",
     [](State& s, uint32_t) { s.attitude_bar = std::max(s.attitude_bar - kAttitudeBarStep, -kAttitudeBarLimit); }},
    {66373, "attitude cage", "attitude gyro caged (card level) or uncaged",
     [](State& s, uint32_t) { s.attitude_caged = !s.attitude_caged; }},
    {65881, "ADF card up", "ADF compass card one degree on",
     [](State& s, uint32_t) { s.radios.adf_card_deg = wrap360(s.radios.adf_card_deg + 1); }},
    {65882, "ADF card down", "ADF compass card one degree back",
     [](State& s, uint32_t) { s.radios.adf_card_deg = wrap360(s.radios.adf_card_deg - 1); }},
    {65716, "VOR1 course set", "NAV1 selected course to the value in degrees",
     [](State& s, uint32_t v) { s.radios.obs_deg[0] = wrap360(v); }},
    {65717, "VOR2 course set", "NAV2 selected course to the value in degrees",
     [](State& s, uint32_t v) { s.radios.obs_deg[1] = wrap360(v); }},
    {66321, "decision height up", "decision height up 10 ft (value 1) or 50 ft (value 0), to 1000 ft",
     [](State& s, uint32_t v) { decision_height(s, v, 1); }},
    {66322, "decision height down", "decision height down 10 ft (value 1) or 50 ft (value 0), to 0",
     [](State& s, uint32_t v) { decision_height(s, v, -1); }},

    // Radios.
    {66542, "ADF up 1 kHz", "ADF frequency up 1 kHz", [](State& s, uint32_t) { adf_step(s.radios, 10); }},
    {66543, "ADF down 1 kHz", "ADF frequency down 1 kHz", [](State& s, uint32_t) { adf_step(s.radios, -10); }},
    {66462, "ADF up 0.1 kHz", "ADF frequency up 0.1 kHz", [](State& s, uint32_t) { adf_step(s.radios, 1); }},
    {66461, "ADF down 0.1 kHz", "ADF frequency down 0.1 kHz", [](State& s, uint32_t) { adf_step(s.radios, -1); }},
    {66122, "ADF set", "ADF frequency set from the BCD of its tenths of kHz",
     [](State& s, uint32_t v) { adf_set_bcd(s.radios, v); }},
    {65841, "ADF tone on", "ADF identification tone on", [](State& s, uint32_t) { s.radios.adf_tone = true; }},
    {65836, "ADF tone off", "ADF identification tone off", [](State& s, uint32_t) { s.radios.adf_tone = false; }},
    {65637, "COM1 MHz up", "COM1 whole MHz up, 136 wraps to 118", [](State& s, uint32_t) { com_mhz(s.radios, 1); }},
    {65636, "COM1 MHz down", "COM1 whole MHz down, 118 wraps to 136", [](State& s, uint32_t) { com_mhz(s.radios, -1); }},
    {65639, "COM1 25 kHz up", "COM1 decimal part up one 25 kHz channel, wrapping in the MHz",
     [](State& s, uint32_t) { com_channel(s.radios, 1); }},
    {65638, "COM1 25 kHz down", "COM1 decimal part down one channel", [](State& s, uint32_t) { com_channel(s.radios, -1); }},
    {65641, "NAV1 MHz up", "NAV1 whole MHz up, 117 wraps to 108", [](State& s, uint32_t) { nav_mhz(s.radios, 0, 1); }},
    {65640, "NAV1 MHz down", "NAV1 whole MHz down", [](State& s, uint32_t) { nav_mhz(s.radios, 0, -1); }},
    {65643, "NAV1 50 kHz up", "NAV1 decimal part up 0.05 MHz, wrapping in the MHz",
     [](State& s, uint32_t) { nav_fraction(s.radios, 0, 1); }},
    {65642, "NAV1 50 kHz down", "NAV1 decimal part down 0.05 MHz", [](State& s, uint32_t) { nav_fraction(s.radios, 0, -1); }},
    {65645, "NAV2 MHz up", "NAV2 whole MHz up", [](State& s, uint32_t) { nav_mhz(s.radios, 1, 1); }},
    {65644, "NAV2 MHz down", "NAV2 whole MHz down", [](State& s, uint32_t) { nav_mhz(s.radios, 1, -1); }},
    {65647, "NAV2 50 kHz up", "NAV2 decimal part up 0.05 MHz", [](State& s, uint32_t) { nav_fraction(s.radios, 1, 1); }},
    {65646, "NAV2 50 kHz down", "NAV2 decimal part down 0.05 MHz", [](State& s, uint32_t) { nav_fraction(s.radios, 1, -1); }},
    {65837, "NAV1 tone on", "NAV1 identification tone on", [](State& s, uint32_t) { s.radios.nav_tone[0] = true; }},
    {65832, "NAV1 tone off", "NAV1 identification tone off", [](State& s, uint32_t) { s.radios.nav_tone[0] = false; }},
    {65838, "NAV2 tone on", "NAV2 identification tone on", [](State& s, uint32_t) { s.radios.nav_tone[1] = true; }},
    {65833, "NAV2 tone off", "NAV2 identification tone off", [](State& s, uint32_t) { s.radios.nav_tone[1] = false; }},
    {65651, "transponder thousands up", "code thousands digit up, 7 wraps to 0", [](State& s, uint32_t) { xpdr_digit(s.radios, 0, 1); }},
    {65652, "transponder hundreds up", "code hundreds digit up", [](State& s, uint32_t) { xpdr_digit(s.radios, 1, 1); }},
    {65653, "transponder tens up", "code tens digit up", [](State& s, uint32_t) { xpdr_digit(s.radios, 2, 1); }},
    {65654, "transponder units up", "code units digit up", [](State& s, uint32_t) { xpdr_digit(s.radios, 3, 1); }},
    {66455, "transponder thousands down", "code thousands digit down, 0 wraps to 7", [](State& s, uint32_t) { xpdr_digit(s.radios, 0, -1); }},
    {66456, "transponder hundreds down", "code hundreds digit down", [](State& s, uint32_t) { xpdr_digit(s.radios, 1, -1); }},
    {66457, "transponder tens down", "code tens digit down", [](State& s, uint32_t) { xpdr_digit(s.radios, 2, -1); }},
    {66458, "transponder units down", "code units digit down", [](State& s, uint32_t) { xpdr_digit(s.radios, 3, -1); }},

    // Simulator windows and views.
    {65876, "kneeboard window", "kneeboard shown or hidden", [](State& s, uint32_t) { s.kneeboard_shown = !s.kneeboard_shown; }},
    {65564, "ATC window", "ATC window shown or hidden", [](State& s, uint32_t) { s.atc_shown = !s.atc_shown; }},
    {66432, "map window", "map shown or hidden", [](State& s, uint32_t) { s.map_shown = !s.map_shown; }},
    {65734, "next view", "the next cockpit view", [](State& s, uint32_t) { ++s.view; }},
    {65735, "previous view", "the previous cockpit view", [](State& s, uint32_t) { --s.view; }},
    {65875, "view reset", "back to the forward view", [](State& s, uint32_t) { s.view = 0; }},
    {66506, "panel window toggle", "the host shows or hides the panel window", nullptr},
    {66507, "panel window open", "the host shows the panel window", nullptr},
    {66508, "panel window close", "the host hides the panel window", nullptr},
};

}  // namespace

std::span<const KeyEventRow> key_event_rows() { return kRows; }

const KeyEventRow* find_key_event(uint32_t id) {
    for (const KeyEventRow& row : kRows)
        if (row.id == id) return &row;
    return nullptr;
}

}  // namespace aircraft
