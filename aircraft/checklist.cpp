#include "aircraft/checklist.h"

namespace aircraft {

namespace {

// Boxes in the background pixels of the gauges that hold them.
constexpr const char* kBox = "Dirud_Box";          // 250 x 338
constexpr const char* kValves = "Fire_Valves";     // 217 x 117
constexpr const char* kQuadrant = "Throttle_Quadrant";  // 300 x 230; lever areas 109 high, top = full
constexpr const char* kFlaps = "telvor_flaps";     // 423 x 183
constexpr PanelControl kParkingBrake{"Parking_Brake", 0, 0, 127, 155};
constexpr PanelControl kGearLever{"Gear_Lever", 0, 0, 125, 135};
constexpr PanelControl kFlapsUp{kFlaps, 0, 0, 75, 180}, kFlapsDown{kFlaps, 345, 0, 75, 180};
// Parts of the both-levers strips between each pair: a click at the
// part's centre sets the value the line asks for (1 - y / 109).
constexpr PanelControl kMixturesRich{kQuadrant, 260, 0, 8, 10};        // about 0.95
constexpr PanelControl kMixturesCutOff{kQuadrant, 260, 105, 8, 4};     // about 0.02
constexpr PanelControl kThrottlesCracked{kQuadrant, 154, 93, 15, 10};  // about 0.10
constexpr PanelControl kThrottles40{kQuadrant, 154, 61, 15, 10};       // about 0.39
constexpr PanelControl kThrottlesFull{kQuadrant, 154, 0, 15, 8};       // about 0.96
constexpr PanelControl kPropellersFull{kQuadrant, 67, 7, 5, 8};        // about 0.96
constexpr PanelControl kNothing{};

// Per engine: the admission valve, the selector's arrows, the lower
// switch (POMPE ESS, the fuel pump) and the upper one (DEMARREUR, the
// starter).
constexpr PanelControl kAdmission[2] = {{kValves, 15, 0, 14, 115}, {kValves, 201, 0, 14, 115}};
constexpr PanelControl kSelectorUp[2] = {{kBox, 77, 73, 43, 43}, {kBox, 126, 73, 43, 43}};
constexpr PanelControl kSelectorDown[2] = {{kBox, 77, 175, 43, 43}, {kBox, 126, 175, 43, 43}};
constexpr PanelControl kPump[2] = {{kBox, 0, 197, 40, 67}, {kBox, 210, 197, 40, 67}};
constexpr PanelControl kStarter[2] = {{kBox, 0, 79, 40, 67}, {kBox, 210, 79, 40, 67}};

bool both(const State& s, bool (*each)(const Engine&)) { return each(s.engine[0]) && each(s.engine[1]); }

template <int N>
constexpr ChecklistLine kStartEngine[] = {
    {N == 0 ? "Admission valve 1: OPEN" : "Admission valve 2: OPEN", kAdmission[N],
     [](const State& s) { return s.engine[N].admission_open; }},
    {N == 0 ? "Selector 1: up to 1.2 (tanks valve open, magnetos BOTH)"
            : "Selector 2: up to 1.2 (tanks valve open, magnetos BOTH)",
     kSelectorUp[N], [](const State& s) { return s.engine[N].tank_valve_open && s.engine[N].magnetos == 3; }},
    {N == 0 ? "Fuel pump 1 (POMPE ESS): ON" : "Fuel pump 2 (POMPE ESS): ON", kPump[N],
     [](const State& s) { return s.engine[N].boost_pump || s.engine[N].running; }},
    {N == 0 ? "Starter 1 (DEMARREUR): ON until engine 1 runs" : "Starter 2 (DEMARREUR): ON until engine 2 runs",
     kStarter[N], [](const State& s) { return s.engine[N].running; }},
    {N == 0 ? "Starter 1: OFF" : "Starter 2: OFF", kStarter[N],
     [](const State& s) { return s.engine[N].running && !s.engine[N].starter; }},
    {N == 0 ? "Fuel pump 1: OFF" : "Fuel pump 2: OFF", kPump[N],
     [](const State& s) { return s.engine[N].running && !s.engine[N].boost_pump; }},
};

// Start-up: levers first, then each engine as the circuit does it.
const ChecklistLine kStartUp[] = {
    {"Parking brake: SET", kParkingBrake, [](const State& s) { return s.parking_brake; }},
    {"Mixtures: RICH", kMixturesRich,
     [](const State& s) { return both(s, [](const Engine& e) { return e.mixture >= 0.75; }); }},
    {"Throttles: CRACKED (a tenth open)", kThrottlesCracked,
     [](const State& s) { return both(s, [](const Engine& e) { return e.throttle >= 0.05 && e.throttle <= 0.3; }); }},
    kStartEngine<0>[0], kStartEngine<0>[1], kStartEngine<0>[2], kStartEngine<0>[3], kStartEngine<0>[4], kStartEngine<0>[5],
    kStartEngine<1>[0], kStartEngine<1>[1], kStartEngine<1>[2], kStartEngine<1>[3], kStartEngine<1>[4], kStartEngine<1>[5],
};

const ChecklistLine kBeforeTakeOff[] = {
    {"Engines: both running", kNothing,
     [](const State& s) { return both(s, [](const Engine& e) { return e.running; }); }},
    {"Propellers: FULL", kPropellersFull,
     [](const State& s) { return both(s, [](const Engine& e) { return e.propeller >= 0.9; }); }},
    {"Flaps: 1 for take-off", kFlapsDown, [](const State& s) { return s.flaps_detent == 1; }},
    {"Parking brake: OFF", kParkingBrake, [](const State& s) { return !s.parking_brake; }},
    {"Throttles: FULL on runway 27", kThrottlesFull,
     [](const State& s) { return both(s, [](const Engine& e) { return e.throttle >= 0.9; }); }},
};

const ChecklistLine kApproach[] = {
    {"Throttles: back to 40 %", kThrottles40, [](const State& s) {
         return !s.flight.on_ground && both(s, [](const Engine& e) { return e.throttle <= 0.45; });
     }},
    {"Flaps: 2", kFlapsDown, [](const State& s) { return s.flaps_detent >= 2; }},
    {"Gear: DOWN, three green", kGearLever,
     [](const State& s) { return s.gear_handle_down && s.gear_left >= 1 && s.gear_right >= 1; }},
    {"Flaps: 3 on final", kFlapsDown, [](const State& s) { return s.flaps_detent >= 3; }},
};

const ChecklistLine kShutDown[] = {
    {"Parking brake: SET", kParkingBrake, [](const State& s) { return s.parking_brake && s.flight.on_ground; }},
    {"Flaps: UP", kFlapsUp, [](const State& s) { return s.flaps_detent == 0; }},
    {"Mixtures: IDLE CUT-OFF", kMixturesCutOff,
     [](const State& s) { return both(s, [](const Engine& e) { return e.mixture < 0.05; }); }},
    {"Engines: stopped", kNothing, [](const State& s) { return both(s, [](const Engine& e) { return !e.running; }); }},
    {"Selector 1: down to A (magnetos off, tanks valve shut)", kSelectorDown[0],
     [](const State& s) { return s.engine[0].magnetos == 0 && !s.engine[0].tank_valve_open; }},
    {"Selector 2: down to A (magnetos off, tanks valve shut)", kSelectorDown[1],
     [](const State& s) { return s.engine[1].magnetos == 0 && !s.engine[1].tank_valve_open; }},
};

const ChecklistSection kSections[] = {
    {"Start-up", kStartUp},
    {"Before take-off", kBeforeTakeOff},
    {"Approach", kApproach},
    {"Shut-down", kShutDown},
};

// Five clicks down bring a selector from any position to A.
const ColdPanelClick kColdPanel[] = {{kSelectorDown[0], 5}, {kSelectorDown[1], 5}};

}  // namespace

std::span<const ChecklistSection> checklist() { return kSections; }

std::span<const ColdPanelClick> cold_panel_clicks() { return kColdPanel; }

}  // namespace aircraft
