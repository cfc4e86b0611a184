// What a panel button's parameter string says: the panel window and help
// text named by a key's argument, the install handling (button face, help
// text, closing a panel once) and the command interpreter run on each click.
// Events leave through a sink so that the same rules serve the gauges and
// anything that wants to watch them.
#pragma once

#include <cstdint>

#include "framework/host_records.h"

// The host's key events for panel windows (value: panel identifier) and
// for the view steps of the p key (value 0).
constexpr uint32_t EVENT_PANEL_TOGGLE = 66506;
constexpr uint32_t EVENT_PANEL_OPEN = 66507;
constexpr uint32_t EVENT_PANEL_CLOSE = 66508;
constexpr uint32_t EVENT_VIEW_STEP_FORWARD = 65734;
constexpr uint32_t EVENT_VIEW_STEP_BACK = 65735;
constexpr uint32_t EVENT_VIEW_RESET = 65875;

// A p count beyond this is taken as this many steps: one click never floods
// the host with events, whatever number the configuration holds.
constexpr int32_t MAX_VIEW_STEPS = 100;

// Help ids from this one up are the host's panel help texts; a smaller
// number after h is no help text at all.
constexpr uint32_t FIRST_PANEL_HELP_ID = 40960;

// Button faces a b key may choose: multiples of 10 in this range.
constexpr int32_t FIRST_BUTTON_FACE = 100;
constexpr int32_t LAST_BUTTON_FACE = 160;

using KeyEventSink = void (*)(uint32_t event_id, uint32_t value);

// The C library's integer conversion of the text's start (leading blanks,
// an optional sign, digits; 0 when there are none), except that a number
// too big for 32 bits stays at the nearest 32-bit limit.
int32_t parameter_integer(const char* text);

// The panel identifier a key's argument names: a panel name at its very
// start, else its integer conversion; -1 for no or empty text.
int32_t panel_identifier(const char* argument);

// The help id an h argument names: a help-text name at its start, else the
// number if it is a panel help id, else 0; 0 for no or empty text.
uint32_t panel_help_id(const char* argument);

// Install handling of a programmable button's header copy: b and h on every
// install, a on the first install of the copy only (the user-data word
// remembers it).
void apply_button_install(GaugeHeader* gauge, KeyEventSink send);

// The click commands of a parameter string: every o, then every c, then
// every t, then the first p. False (and nothing sent) when the string is
// null or empty, so that the button falls back to its own action.
bool run_panel_commands(const char* parameters, KeyEventSink send);
