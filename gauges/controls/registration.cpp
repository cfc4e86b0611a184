// Registration: the aircraft's registration plate. By default it prints the
// ATC identifier the simulator gives on every update; the placement's
// parameter string can give a fixed text ("t"), the text colour ("r", "g",
// "b") and the font ("f", the rest of the string).
#include <cstdlib>
#include <cstring>

#include "framework/gauge_dispatch.h"
#include "framework/gauge_list.h"
#include "framework/host_services.h"
#include "framework/parameters.h"

constexpr uint32_t REGISTRATION_MAX_CHARS = 7;
constexpr size_t REGISTRATION_FONT_CAPACITY = sizeof(StringElement::font_name);  // 31 and the terminator
constexpr uint32_t REGISTRATION_CHANNEL_MAX = 255;

// The last ATC identifier the simulator gave, as much of it as the plate
// can show. The host's string lives only through one update cycle, so the
// plate keeps its own copy: an evaluation that yields no string leaves the
// last identifier in place, and before the first one the plate is empty.
static char registration_text_source[REGISTRATION_MAX_CHARS + 1] = "";

// A colour channel from the digits after its key: the standard decimal
// conversion, with anything above 255 and any negative number taken as 255.
static uint32_t registration_channel(const char* digits) {
    long value = std::strtol(digits, nullptr, 10);
    if (value < 0 || value > static_cast<long>(REGISTRATION_CHANNEL_MAX)) return REGISTRATION_CHANNEL_MAX;
    return static_cast<uint32_t>(value);
}

// The font name is the rest of the string after "f", cut to the field's
// capacity; the parameter string itself ends at the "f" from now on, so the
// other keys and the plate's text are only looked for before it. Only this
// placement's own copy of the string is cut.
static void registration_apply_font(GaugeHeader* gauge, StringElement* plate) {
    const char* key = find_parameter_key(gauge->parameters, "f");
    if (!key) return;
    size_t length = strnlen(key + 1, REGISTRATION_FONT_CAPACITY - 1);
    std::memset(plate->font_name, 0, sizeof plate->font_name);
    std::memcpy(plate->font_name, key + 1, length);
    const_cast<char*>(key)[0] = '\0';
}

static void registration_apply_colour(GaugeHeader* gauge, StringElement* plate) {
    uint32_t channel[3] = {plate->text_colour & 0xFF, (plate->text_colour >> 8) & 0xFF,
                           (plate->text_colour >> 16) & 0xFF};
    static const char* const keys[3] = {"r", "g", "b"};
    for (int i = 0; i < 3; ++i)
        if (const char* key = find_parameter_key(gauge->parameters, keys[i])) channel[i] = registration_channel(key + 1);
    plate->text_colour = channel[0] + 256 * channel[1] + 65536 * channel[2];
}

// The plate's string element: the first member of the background's next list.
static StringElement* registration_plate(GaugeHeader* gauge) {
    ElementHeader* const* top = gauge->elements;
    if (!top || !top[0] || !top[0]->next || !top[0]->next[0]) return nullptr;
    return reinterpret_cast<StringElement*>(top[0]->next[0]);
}

static void registration_install(GaugeHeader* gauge, HostWord) {
    const char* parameters = gauge_parameters(gauge);
    if (!parameters || !*parameters) return;
    StringElement* plate = registration_plate(gauge);
    if (!plate) return;
    registration_apply_font(gauge, plate);
    registration_apply_colour(gauge, plate);
}

static void registration_update(GaugeHeader*) {
    const char* identifier = nullptr;
    host::execute_calculator_code("(A:ATC ID,string)", nullptr, nullptr, &identifier);
    if (!identifier) return;
    size_t length = strnlen(identifier, REGISTRATION_MAX_CHARS);
    std::memcpy(registration_text_source, identifier, length);
    registration_text_source[length] = '\0';
}

// Prints the "t" text or the ATC identifier, up to its first space, with
// underscores shown as spaces. The key finder decides what counts, so a
// space or underscore after a comment character stays as it is.
static double GAUGE_CALL registration_text(StringElement* plate) {
    const char* parameters = gauge_parameters(plate->header.gauge);
    const char* source = parameters && parameters[0] == 't' ? parameters + 1 : registration_text_source;
    char* text = plate->text;
    if (text) {
        uint32_t capacity = plate->max_chars < REGISTRATION_MAX_CHARS ? plate->max_chars : REGISTRATION_MAX_CHARS;
        size_t length = strnlen(source, capacity);
        std::memcpy(text, source, length);
        text[length] = '\0';
        if (const char* space = find_parameter_key(text, " ")) text[space - text] = '\0';
        while (const char* underscore = find_parameter_key(text, "_")) text[underscore - text] = ' ';
    }
    return plate->source[0].value;
}

static StringElement registration_plate_text = {
    .header = {.kind = ELEMENT_STRING, .bitmap = -1, .x = 0, .y = 0, .gauge = &gauge_registration,
               .image_flags = 0x3},
    .box_width = 150,
    .box_height = 25,
    .text_colour = 0x00FFFFFF,
    .background_colour = 0x00000000,
    .highlight_colour = 0x005C5C5C,
    .font_name = "Arial",
    .font_weight = 400,
    .charset = 1,
    .layout_flags = 0x25,  // centred both ways, single line
    .max_chars = REGISTRATION_MAX_CHARS,
    .callback = registration_text,
};
static ElementHeader* const registration_plate_list[] = {&registration_plate_text.header, nullptr};

static StaticImageElement registration_background = {
    .header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 50, .gauge = &gauge_registration,
               .next = registration_plate_list, .image_flags = 0x3}};
static ElementHeader* const registration_list[] = {&registration_background.header, nullptr};

static MouseRect registration_mouse[] = {
    {.type = MOUSE_PARENT, .cursor = CURSOR_NONE},
    {.type = MOUSE_TOOLTIP, .text = "Registration number"},
    {.type = MOUSE_PARENT_END},
    {.type = MOUSE_END},
};

static const GaugeServiceOps registration_ops = {.install = registration_install, .update = registration_update};
GAUGE_CALLBACK(registration_callback, registration_ops)

GaugeHeader gauge_registration = {
    .version = GAUGE_HEADER_VERSION,
    .name = "Registration",
    .elements = registration_list,
    .width_mm = 150,
    .mouse_rects = registration_mouse,
    .callback = registration_callback,
};
