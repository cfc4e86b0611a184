// Everything the simulated aircraft holds: the pilot's controls, the
// cockpit switches the key events move, the systems that follow them in
// time, and where the aircraft is and how it flies. Units are the
// aircraft's own (metres, seconds, degrees, fractions); the variable table
// converts them to what the module reads.
#pragma once

#include <cstdint>

namespace aircraft {

constexpr int kEngines = 2;

struct Engine {
    // Levers, as fractions 0 (closed, idle cut-off, feather) to 1.
    double throttle = 0, propeller = 1, mixture = 0;
    int magnetos = 0;          // 0 off, 1 right, 2 left, 3 both
    bool starter = false;      // starting-box upper switch (DEMARREUR): starter and injection
    bool boost_pump = false;   // starting-box lower switch (POMPE ESS): the fuel pump
    bool tank_valve_open = false;
    bool admission_open = false;
    bool running = false;
    double rpm = 0;
    double manifold_mb = 1013.25;
    double oil_c = 15, oil_bar = 0;
    double power = 0;          // fraction of rated power
    double thrust_n = 0;
};

struct Radios {
    int adf_tenths_khz = 3500;     // 350.0 kHz
    bool adf_tone = false;
    int com1_khz = 118000;         // 25 kHz channels, 118.000 to 136.975
    int nav_hundredths[2] = {11270, 11630};  // 112.70, 116.30 MHz
    bool nav_tone[2] = {false, false};
    int xpdr_digits[4] = {1, 2, 0, 0};
    double obs_deg[2] = {270, 40};
    double adf_card_deg = 0;
};

struct Flight {
    // Position: metres east and north of the runway threshold, height above
    // the field.
    double east_m = 0, north_m = 0, height_m = 0;
    double speed_ms = 0;        // true airspeed along the path
    double path_deg = 0;        // climb angle of the path
    double heading_deg = 0;     // magnetic, 0 to 360
    double pitch_deg = 0, bank_deg = 0;
    double turn_rate_dps = 0;
    double vertical_ms = 0;
    double slip = 0;            // ball position, -127 to 127
    double alpha_deg = 0;
    bool on_ground = true;
    bool stalled = false;
};

// What the pilot holds: the attitude wanted, brakes and steering on the
// ground. The engine levers are in Engine.
struct Pilot {
    double pitch_deg = 0, bank_deg = 0;
    double brakes = 0;          // 0..1
    double steer_dps = 0;       // tail-wheel steering, degrees per second
};

struct State {
    Engine engine[kEngines];
    Radios radios;
    Flight flight;
    Pilot pilot;

    double fuel_kg[kEngines] = {340, 340};  // left and right tanks
    // Gear: the handle and each wheel's extension, 0 up to 1 down and
    // locked (left, right; the tail wheel is fixed).
    bool gear_handle_down = true;
    double gear_left = 1, gear_right = 1;
    int flaps_detent = 0;       // 0 (up) to 4 (full), a quarter of the travel each
    double flaps = 0;           // 0 up to 1 fully down
    bool parking_brake = true;
    bool tailwheel_locked = false;
    bool prop_synch = false;
    double elevator_trim_rad = 0, rudder_trim_rad = 0;

    double altimeter_mb = 1013.25;   // the altimeter's pressure setting
    double gyro_error_deg = 0;       // gyro compass heading minus magnetic
    double gyro_knob = 0;            // the gyro setting knob, host units
    double attitude_bar = 0;         // miniature aeroplane position
    bool attitude_caged = false;
    double decision_height_m = 60.96;  // 200 ft

    double hydraulic_bar = 0;
    double suction = 0;

    // The electrical system: the battery's charge (1 full, 0 flat), whether
    // the starting box has connected it, each engine's generator on line,
    // the current the battery gives (negative: it is being charged) and
    // what the bus reads.
    double battery_charge = 1;
    bool battery_connected = false;
    bool generator_online[kEngines] = {false, false};
    double battery_amps = 0;
    double bus_volts = 0;

    double clock_s = 0;              // seconds since the aircraft was set up
    double time_of_day_s = 14 * 3600.0;

    // Simulator windows the panel buttons open and the view they step.
    bool kneeboard_shown = false, atc_shown = false, map_shown = false;
    int view = 0;
};

}  // namespace aircraft
