#include "web/help_texts.h"

#include <cstdio>

namespace sim {

namespace {

struct HelpText {
    uint32_t id;
    const char* text;
};

// One line per help id that a gauge of the modules shows.
constexpr HelpText kHelpTexts[] = {
    {0x3002, "Airspeed indicator"},
    {0x3009, "Radio altimeter"},
    {0x3051, "Altimeter"},
    {0x3054, "Altimeter pressure setting knob"},
    {0x3090, "Turn coordinator"},
    {0x3092, "Attitude indicator"},
    {0x3099, "Vertical speed indicator"},
    // Manifold pressure, as built and rebound to engines 2 to 4.
    {0x30A1, "Manifold pressure"},
    {0x30A2, "Manifold pressure"},
    {0x30A3, "Manifold pressure"},
    {0x30A4, "Manifold pressure"},
    {0x30A9, "Manifold pressure"},
    {0x30AA, "Manifold pressure"},
    {0x30AB, "Manifold pressure"},
    {0x30AC, "Manifold pressure"},
    {0x30F1, "Oil temperature, engine 1"},
    {0x30F2, "Oil temperature, engine 2"},
    {0x3109, "Oil pressure"},
    {0x3118, "Fuel quantity, left tank"},
    {0x3119, "Fuel quantity, right tank"},
    {0x3128, "Elevator trim wheel"},
    {0x3180, "Transponder code"},
    {0x3191, "Mixture, engine 1"},
    {0x3192, "Mixture, engine 2"},
    {0x3199, "Propeller, engine 1"},
    {0x319A, "Propeller, engine 2"},
    {0x31A1, "Throttle, engine 1"},
    {0x31A2, "Throttle, engine 2"},
    {0x3208, "Gyro compass"},
    {0x3211, "Engine RPM, engine 1"},
    {0x3212, "Engine RPM, engine 2"},
    {0x3213, "Engine RPM, engine 3"},
    {0x3214, "Engine RPM, engine 4"},
    {0xAB01, "ADF card knob"},
    {0xAB02, "Airspeed indicator"},
    {0xAB24, "Flaps position"},
    {0xAB30, "Landing gear lever"},
    {0xAB31, "Landing gear lamps"},
    {0xAB35, "Heading bug knob"},
    {0xAB39, "Outside air temperature"},
    {0xAB48, "Marker lamp"},
    {0xAB50, "Marker lights (click to test)"},
    {0xAB51, "Parking brake"},
    {0xAB65, "Fuel pump switches (POMPE ESS)"},
    {0xAB66, "Suction"},
    {0xAB67, "Starter switches (DEMARREUR)"},
    {0xAB72, "Course deviation"},
    {0xAB74, "Course deviation"},
    {0xAB79, "Rudder trim"},
    {0xAB86, "Radio stack window"},
    {0xAB87, "GPS window"},
    {0xAB88, "Throttle quadrant window"},
    {0xAB89, "Compass window"},
    {0xAB8A, "Fuel window"},
    {0xAB8B, "Collective window"},
    {0xAB8F, "Map"},
    {0xAB93, "Kneeboard"},
    {0xAB94, "Air traffic control window"},
    {0xAD03, "Synchroscope"},
};

struct AreaText {
    const char* gauge;
    int x, y, w, h;  // background pixels
    const char* text;
};

// Places that carry no tooltip of the module's, the first that holds the
// point speaking for it.
constexpr AreaText kAreaTexts[] = {
    {"Dirud_Box", 77, 73, 43, 43, "Engine 1 selector up: A, H, E (tanks valve), 1, 2, 1.2 (both magnetos)"},
    {"Dirud_Box", 77, 175, 43, 43, "Engine 1 selector down: magnetos off, tanks valve shut, back to A"},
    {"Dirud_Box", 126, 73, 43, 43, "Engine 2 selector up: A, H, E (tanks valve), 1, 2, 1.2 (both magnetos)"},
    {"Dirud_Box", 126, 175, 43, 43, "Engine 2 selector down: magnetos off, tanks valve shut, back to A"},
    {"Dirud_Box", 77, 116, 43, 59, "Engine 1 selector (MAGNETOS): click its arrows"},
    {"Dirud_Box", 126, 116, 43, 59, "Engine 2 selector (MAGNETOS): click its arrows"},
    {"Dirud_Box", 46, 36, 36, 36, "Injection, engine 1: lit while its starter cranks"},
    {"Dirud_Box", 169, 38, 36, 36, "Injection, engine 2: lit while its starter cranks"},
    {"Dirud_Box", 52, 271, 29, 29, "H lamp, engine 1: lit while its selector is above A"},
    {"Dirud_Box", 173, 271, 29, 29, "H lamp, engine 2: lit while its selector is above A"},
    {"Gyro_Compass", 89, 234, 28, 56, "Gyro compass setting: heading back a degree"},
    {"Gyro_Compass", 117, 234, 28, 56, "Gyro compass setting: heading on a degree"},
    // The strips between each pair of levers take both engines' levers.
    {"Throttle_Quadrant", 154, 0, 15, 109, "Both throttles"},
    {"Throttle_Quadrant", 260, 0, 8, 109, "Both mixtures"},
    {"Throttle_Quadrant", 67, 7, 5, 109, "Both propellers"},
    {"Invisible_Toggle", 0, 0, 19, 19, "Unmarked panel window button"},
    {"telvor_flaps", 0, 0, 75, 180, "Flaps up one notch"},
    {"telvor_flaps", 345, 0, 75, 180, "Flaps down one notch"},
    {"telvor_flaps", 0, 0, 423, 183, "Flaps lever: up and down a notch at the arrows at either end"},
};

const HelpText* find(uint32_t id) {
    for (const HelpText& h : kHelpTexts)
        if (h.id == id) return &h;
    return nullptr;
}

}  // namespace

bool has_panel_help_text(uint32_t help_id) { return find(help_id) != nullptr; }

std::string panel_area_text(const std::string& gauge, int x, int y) {
    for (const AreaText& a : kAreaTexts)
        if (gauge == a.gauge && x >= a.x && x < a.x + a.w && y >= a.y && y < a.y + a.h) return a.text;
    return {};
}

std::string panel_help_text(uint32_t help_id) {
    if (const HelpText* h = find(help_id)) return h->text;
    char text[24];
    std::snprintf(text, sizeof text, "help 0x%04X", help_id);
    return text;
}

}  // namespace sim
