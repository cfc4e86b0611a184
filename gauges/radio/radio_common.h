// What the radio panels have in common besides the BCD numbers of bcd.h:
// the main and tone switches that keep the station identification tone in
// step, the "on"/"off" tooltip words, the bounded text of a display, the
// shapes of their mouse rectangles, and the panel click sound shared by
// every placement of a panel.
#pragma once

#include <cstdint>
#include <cstdio>

#include "framework/host_services.h"
#include "gauges/radio/bcd.h"
#include "sound/sound.h"

namespace radio {

// -------------------------------------------------------------- switches

// The tone events of one receiver.
struct ToneEvents {
    uint32_t on, off;
};

// The tone switch's image (0 off, 1 on). Every cycle it tells the
// simulator the tone it should play: on only while the set is on as well.
inline double tone_switch_image(int32_t tone_on, int32_t power_on, ToneEvents events) {
    if (tone_on) {
        if (power_on) host::trigger_key_event(events.on);
        return 1.0;
    }
    host::trigger_key_event(events.off);
    return 0.0;
}

// The main switch's image (0 off, 1 on), with the same duty from the main
// switch's side: a set switched off silences the tone.
inline double main_switch_image(int32_t power_on, int32_t tone_on, ToneEvents events) {
    if (!power_on) {
        host::trigger_key_event(events.off);
        return 0.0;
    }
    if (tone_on) host::trigger_key_event(events.on);
    return 1.0;
}

// A power lamp: image 0 while the set is on, nothing drawn while off.
inline double power_lamp_image(int32_t power_on) { return power_on ? 0.0 : -1.0; }

inline void toggle(int32_t& sw) { sw = sw ? 0 : 1; }

// The word a switch tooltip shows.
inline const char* on_off(int32_t sw) { return sw ? "on" : "off"; }

// ------------------------------------------------------------- displays

// Writes a display's text formatted from one number, never more than the
// element's own character count: the host's buffer holds exactly that many
// characters and the terminator, and a number decoded from a garbled
// frequency word can be far wider than its format suggests.
inline void print_text(char* text, uint32_t max_chars, const char* format, double value) {
    if (!text) return;
    std::snprintf(text, static_cast<size_t>(max_chars) + 1, format, value);
}

// ---------------------------------------------------------------- mouse

// The mouse rectangles the radio gauges use, as functions so that the
// gauges built from one design (the NAV panels, the VOR indicators) can
// make them from their data.
constexpr MouseRect mouse_region(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t help_id = 0) {
    MouseRect r{};
    r.type = MOUSE_PARENT;
    r.x = x, r.y = y, r.width = width, r.height = height;
    r.cursor = CURSOR_NONE;
    r.help_id = help_id;
    return r;
}

constexpr MouseRect mouse_tooltip(const char* text, const TooltipArg* args, uint32_t arg_count) {
    MouseRect r{};
    r.type = MOUSE_TOOLTIP;
    r.cursor = CURSOR_NONE;
    r.arg_count = arg_count;
    r.text = text;
    r.args = args;
    return r;
}

constexpr MouseRect mouse_region_end() {
    MouseRect r{};
    r.type = MOUSE_PARENT_END;
    return r;
}

constexpr MouseRect mouse_list_end() {
    MouseRect r{};
    r.type = MOUSE_END;
    return r;
}

// A click area handled by a mouse callback.
constexpr MouseRect mouse_click_area(int32_t x, int32_t y, int32_t width, int32_t height, int32_t cursor,
                                     uint32_t flags, MouseCallback action) {
    MouseRect r{};
    r.type = MOUSE_CHILD;
    r.x = x, r.y = y, r.width = width, r.height = height;
    r.cursor = cursor;
    r.mouse_flags = flags;
    r.callback = action;
    return r;
}

}  // namespace radio

// A nested region of the mouse list that holds only its tooltip record.
#define RADIO_TOOLTIP_REGION(bx, by, bw, bh, tip, tip_args, count)                                  \
    radio::mouse_region(bx, by, bw, bh), radio::mouse_tooltip(tip, tip_args, count), radio::mouse_region_end()

#define RADIO_CLICK_AREA(bx, by, bw, bh, cur, flags, action) radio::mouse_click_area(bx, by, bw, bh, cur, flags, action)

namespace radio {

// ---------------------------------------------------------------- sound

// Every radio panel clicks with wave 30.
constexpr uint32_t CLICK_WAVE = 30;

// A panel's click sound, module-wide and so shared by every placement of
// the panel: the first placement's install loads it and the last
// placement's kill releases it, so that a second placement neither leaks
// the first one's sound nor silences the other when it goes.
struct PanelClick {
    sound::ClickSound sound;
    int32_t placements;
};

inline void install_click(PanelClick& click, HostWord module, uint32_t wave = CLICK_WAVE) {
    if (click.placements++ == 0) sound::install_click(click.sound, module, wave);
}

inline void kill_click(PanelClick& click) {
    if (click.placements > 0 && --click.placements == 0) sound::kill_click(click.sound);
}

inline void play_click(PanelClick& click) { sound::play_click(click.sound); }

}  // namespace radio
