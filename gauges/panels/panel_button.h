// The behaviour the seven programmable panel-window buttons share, and the
// records every one of the ten buttons is built from: a 19 mm gauge with one
// face bitmap and one 13 x 13 click area in a whole-gauge region.
#pragma once

#include "framework/host_records.h"

// Install notice: button face (b) and help text (h) each time, closing a
// panel once per placement (a).
void GAUGE_CALL panel_button_gauge_callback(GaugeHeader* gauge, int32_t service, HostWord extra);

// A click: the parameter string's o, c, t and p commands, or without
// parameters a toggle of the main panel window.
int32_t GAUGE_CALL panel_button_click(ClickRecord* click, uint32_t mouse_flags);

// The mouse rectangles of a button: the whole-gauge parent with its help
// id, an optional tooltip record, the click area, end of parent and end of
// list. Without a tooltip the spare last record is a second end record.
struct PanelButtonMouse {
    MouseRect rect[6];
};

constexpr PanelButtonMouse panel_button_mouse(uint32_t help_id, const char* tooltip, uint32_t event_id,
                                              MouseCallback callback) {
    PanelButtonMouse mouse{};
    int i = 0;
    mouse.rect[i++] = MouseRect{.type = MOUSE_PARENT, .cursor = CURSOR_NONE, .help_id = help_id};
    if (tooltip) mouse.rect[i++] = MouseRect{.type = MOUSE_TOOLTIP, .cursor = CURSOR_NONE, .text = tooltip};
    mouse.rect[i++] = MouseRect{.type = MOUSE_CHILD, .x = 3, .y = 3, .width = 13, .height = 13,
                                .cursor = CURSOR_HAND, .mouse_flags = MOUSE_LEFTSINGLE,
                                .event_id = event_id, .callback = callback};
    mouse.rect[i++] = MouseRect{.type = MOUSE_PARENT_END};
    mouse.rect[i++] = MouseRect{.type = MOUSE_END};
    return mouse;
}

// One button: its face element, element list, mouse rectangles and header.
#define PANEL_BUTTON(id, gauge_name, face, help_id, tooltip, event_id, click, gauge_callback)                    \
    static StaticImageElement id##_face = {                                                                    \
        .header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = face, .gauge = &gauge_##id, .image_flags = 0x3}}; \
    static ElementHeader* const id##_elements[] = {&id##_face.header, nullptr};                               \
    static PanelButtonMouse id##_mouse = panel_button_mouse(help_id, tooltip, event_id, click);               \
    GaugeHeader gauge_##id = {.version = GAUGE_HEADER_VERSION,                                                \
                              .name = gauge_name,                                                             \
                              .elements = id##_elements,                                                      \
                              .width_mm = 19,                                                                 \
                              .mouse_rects = id##_mouse.rect,                                                 \
                              .callback = gauge_callback};

// A button whose click makes the host send one fixed key event itself.
#define HOST_EVENT_BUTTON(id, gauge_name, face, help_id, event_id) \
    PANEL_BUTTON(id, gauge_name, face, help_id, nullptr, event_id, nullptr, nullptr)

// A button programmed by its parameter string.
#define PROGRAMMABLE_BUTTON(id, gauge_name, face, help_id, tooltip) \
    PANEL_BUTTON(id, gauge_name, face, help_id, tooltip, 0, panel_button_click, panel_button_gauge_callback)
