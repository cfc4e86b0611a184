#include "framework/panel_commands.h"

#include <cstring>

#include "framework/parameters.h"

namespace {

struct NamedNumber {
    const char* name;
    uint32_t number;
};

// Panel windows by name, in the order the names are tried.
const NamedNumber kPanelNames[] = {
    {"MAIN_PANEL", 0},          {"RADIO_STACK_PANEL", 50},   {"COMPASS_PANEL", 75},
    {"ANNUNCIATOR_PANEL", 125}, {"ANNUNCIATOR2_PANEL", 150}, {"COLLECTIVE_PANEL", 200},
    {"THROTTLE_PANEL", 10},     {"MINI_CONTROLS_PANEL", 100}, {"IFR_MAIN_PANEL", 175},
    {"GPS_PANEL", 225},         {"OVERHEAD_PANEL", 250},
};

// The host's help texts for the window buttons, in the order tried.
const NamedNumber kHelpNames[] = {
    {"TOGGLE_RADIO_WINDOW", 43910},    {"TOGGLE_GPS_WINDOW", 43911},  {"TOGGLE_THROTTLE_WINDOW", 43912},
    {"TOGGLE_COMPASS_WINDOW", 43913},  {"TOGGLE_FUEL_WINDOW", 43914}, {"TOGGLE_COLLECTIVE_WINDOW", 43915},
};

// The named number whose name the text starts with, or null. strncmp stops
// at the text's terminator, so a short text is never read past.
template <size_t N>
const NamedNumber* name_at_start(const char* text, const NamedNumber (&names)[N]) {
    for (const NamedNumber& n : names)
        if (std::strncmp(text, n.name, std::strlen(n.name)) == 0) return &n;
    return nullptr;
}

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// The click commands that name a panel window, in the order they run.
struct PanelCommand {
    const char* key;
    uint32_t event_id;
};
const PanelCommand kPanelCommands[] = {
    {"o", EVENT_PANEL_OPEN},
    {"c", EVENT_PANEL_CLOSE},
    {"t", EVENT_PANEL_TOGGLE},
};

// Every occurrence of one command key, left to right: each search starts
// after the previous match, and a comment character ends them all.
void run_panel_command(const char* parameters, const PanelCommand& command, KeyEventSink send) {
    for (const char* at = find_parameter_key(parameters, command.key); at; at = find_parameter_key(at + 1, command.key)) {
        int32_t panel = panel_identifier(at + 1);
        if (panel >= 0) send(command.event_id, static_cast<uint32_t>(panel));
    }
}

// The p key: forward or back by a number of view steps, or a reset.
void run_view_steps(const char* parameters, KeyEventSink send) {
    const char* at = find_parameter_key(parameters, "p");
    if (!at) return;
    int32_t steps = parameter_integer(at + 1);
    if (steps == 0) {
        send(EVENT_VIEW_RESET, 0);
        return;
    }
    uint32_t event_id = steps > 0 ? EVENT_VIEW_STEP_FORWARD : EVENT_VIEW_STEP_BACK;
    int32_t count = steps > 0 ? steps : (steps < -MAX_VIEW_STEPS ? MAX_VIEW_STEPS : -steps);
    if (count > MAX_VIEW_STEPS) count = MAX_VIEW_STEPS;
    for (int32_t i = 0; i < count; ++i) send(event_id, 0);
}

bool has_text(const char* text) { return text && *text; }

}  // namespace

int32_t parameter_integer(const char* text) {
    if (!text) return 0;
    while (is_blank(*text)) ++text;
    bool negative = *text == '-';
    if (*text == '-' || *text == '+') ++text;
    // Accumulate toward the sign's limit so that INT32_MIN is reachable.
    const int64_t limit = negative ? -int64_t(INT32_MIN) : int64_t(INT32_MAX);
    int64_t magnitude = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        magnitude = magnitude * 10 + (*text - '0');
        if (magnitude > limit) magnitude = limit;
    }
    return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

int32_t panel_identifier(const char* argument) {
    if (!has_text(argument)) return -1;
    if (const NamedNumber* panel = name_at_start(argument, kPanelNames)) return static_cast<int32_t>(panel->number);
    return parameter_integer(argument);
}

uint32_t panel_help_id(const char* argument) {
    if (!has_text(argument)) return 0;
    if (const NamedNumber* help = name_at_start(argument, kHelpNames)) return help->number;
    int32_t number = parameter_integer(argument);
    return number >= int32_t(FIRST_PANEL_HELP_ID) ? static_cast<uint32_t>(number) : 0;
}

void apply_button_install(GaugeHeader* gauge, KeyEventSink send) {
    if (!gauge) return;
    const char* parameters = gauge->parameters;
    if (has_text(parameters)) {
        if (const char* at = find_parameter_key(parameters, "b")) {
            int32_t face = parameter_integer(at + 1);
            ElementHeader* first = gauge->elements ? gauge->elements[0] : nullptr;
            // A face outside the button set leaves the whole string unread.
            if (!first || face % 10 != 0 || face < FIRST_BUTTON_FACE || face > LAST_BUTTON_FACE) return;
            first->bitmap = face;
        }
        if (const char* at = find_parameter_key(parameters, "h")) {
            MouseRect* first = gauge->mouse_rects;
            if (first && first->type != MOUSE_END) first->help_id = panel_help_id(at + 1);
        }
    }
    if (gauge->user_data != 0) return;
    if (const char* at = find_parameter_key(parameters, "a")) {
        int32_t panel = panel_identifier(at + 1);
        if (panel >= 0) send(EVENT_PANEL_CLOSE, static_cast<uint32_t>(panel));
    }
    gauge->user_data = 1;
}

bool run_panel_commands(const char* parameters, KeyEventSink send) {
    if (!has_text(parameters)) return false;
    for (const PanelCommand& command : kPanelCommands) run_panel_command(parameters, command, send);
    run_view_steps(parameters, send);
    return true;
}
