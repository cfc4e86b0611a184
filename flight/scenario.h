// A flight scenario: a timeline of simulator variable values by token, ramps
// between them, simulated failures, host expression answers and scripted
// mouse actions at panel coordinates. One step a line:
//
//   at 0     set 61 0                   variable 61 = 0
//   at 0     setword 16 0x0345          integer in the low 32 bits (BCD radios)
//   at 5     ramp 61 0 120 20           61 from 0 to 120 over 20 s
//   at 30    click 812 420 [left|right] a click on the panel
//   at 31    hold 812 420 left 2.5      a held button for 2.5 s
//   at 40    drag 300 500 300 420 1.0   a left-button drag over 1 s
//   at 50    failure 3 on|off
//   at 55    expression "(A:ATC ID,string)" string F-BAVG
//   at 55    expression "(A:TAILWHEEL LOCK ON,number)" number 1
//   at 60    pilot throttle 0.8         a pilot control of the aircraft
//   at 60    pilot pitch 8 3            moved to 8 over 3 s
//   end 120                             the scenario's length: the run ends there
//
// '#' starts a comment. Numbers are plain decimal (a set or expression
// value may also be nan, inf or -inf; a setword word may be 0x and up to
// eight hexadecimal digits). Limits: see kScenarioLimits.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

struct ScenarioStep {
    enum Kind { SET, SET_WORD, RAMP, CLICK, HOLD, DRAG, FAILURE, EXPRESSION_NUMBER, EXPRESSION_STRING, PILOT };
    Kind kind = SET;
    double time = 0;
    uint32_t token = 0;
    double from = 0, to = 0, duration = 0;  // SET: to; RAMP: from, to, duration; HOLD/DRAG: duration
    uint32_t word = 0;                      // SET_WORD; FAILURE key
    bool on = false;                        // FAILURE
    bool right_button = false;
    int x = 0, y = 0, x1 = 0, y1 = 0;
    std::string expression, text;  // PILOT: text is the control's name
    int line = 0;
};

struct Scenario {
    std::vector<ScenarioStep> steps;  // in time order (stable for equal times)
    double duration = 0;              // the run ends here ('end', else the last step's end)
    bool has_end = false;             // an 'end' line set the duration
    std::string file;                 // the name errors give
};

// What a scenario file may hold.
struct ScenarioLimits {
    size_t file_bytes = 4 * 1024 * 1024;
    size_t steps = 100000;
    double seconds = 24 * 3600.0;  // times, durations and the end
    size_t text_bytes = 256;       // an expression or its string answer
    int coordinate = 16384;        // panel coordinates, 0 to this
};
inline constexpr ScenarioLimits kScenarioLimits{};

// Reads a scenario; false with `error` as "file:line: what is wrong".
bool parse_scenario(const std::string& text, const std::string& file_name, Scenario* scenario, std::string* error);
bool load_scenario(const std::string& path, Scenario* scenario, std::string* error);

// The built-in circuit, flown through the aircraft: start-up from cold and
// dark, taxi, take-off, a circuit, an approach over the markers with
// radio-altimeter call-outs, landing, parked.
extern const char* const kDefaultScenario;
// Its moment for the panel picture: on final approach, gear down and flaps
// out, over the outer marker.
extern const double kDefaultScenarioPictureTime;

}  // namespace sim
