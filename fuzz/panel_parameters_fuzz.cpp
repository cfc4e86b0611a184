// Arbitrary parameter strings given to the programmable panel buttons and
// to the engine gauges. Each input places one gauge through the test host,
// installs it (twice) and clicks it (twice); every key event, panel toggle,
// button face, help id and engine token must be the one an independent
// reading of the parameter rules allows. The same rules are also run
// directly on an exactly sized copy of the string, so that the sanitizers
// see any read past its end and the fuzzer sees their branches.
//
// Input: first byte chooses the gauge, the rest (to the first NUL) is the
// parameter string. The host keeps its placements until it is replaced
// every few thousand inputs, so a fuzzing run wants -detect_leaks=0:
//   panel_parameters_fuzz -runs=1000000 -max_len=256 -detect_leaks=0 CORPUS
#include <dlfcn.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "framework/engine_instancing.h"
#include "framework/panel_commands.h"
#include "host/sim_host.h"

namespace {

using sim::KeyEvent;

[[noreturn]] void fail(const char* what, const std::string& parameters) {
    std::fprintf(stderr, "panel_parameters_fuzz: %s for parameter string \"%s\"\n", what, parameters.c_str());
    std::abort();
}

// ------------------------------------------------------------ the rules, read again

size_t find_key(const std::string& s, size_t from, char key) {
    size_t at = s.find(key, from);
    if (at == std::string::npos) return at;
    size_t comment = s.find_first_of("/#'");
    return comment < at ? std::string::npos : at;
}

int64_t integer_of(const std::string& s, size_t at) {
    while (at < s.size() && std::strchr(" \t\n\v\f\r", s[at]) && s[at]) ++at;
    bool negative = at < s.size() && s[at] == '-';
    if (at < s.size() && (s[at] == '-' || s[at] == '+')) ++at;
    int64_t n = 0;
    for (; at < s.size() && s[at] >= '0' && s[at] <= '9'; ++at) n = std::min<int64_t>(n * 10 + (s[at] - '0'), 1LL << 40);
    n = negative ? -n : n;
    return std::max<int64_t>(INT32_MIN, std::min<int64_t>(INT32_MAX, n));
}

bool starts_with(const std::string& s, size_t at, const char* name) { return s.compare(at, std::strlen(name), name) == 0; }

int64_t panel_of(const std::string& s, size_t at) {
    if (at >= s.size()) return -1;
    static const std::pair<const char*, int> names[] = {
        {"MAIN_PANEL", 0},           {"RADIO_STACK_PANEL", 50}, {"COMPASS_PANEL", 75},     {"ANNUNCIATOR_PANEL", 125},
        {"ANNUNCIATOR2_PANEL", 150}, {"COLLECTIVE_PANEL", 200}, {"THROTTLE_PANEL", 10},    {"MINI_CONTROLS_PANEL", 100},
        {"IFR_MAIN_PANEL", 175},     {"GPS_PANEL", 225},        {"OVERHEAD_PANEL", 250}};
    for (const auto& [name, id] : names)
        if (starts_with(s, at, name)) return id;
    return integer_of(s, at);
}

uint32_t help_of(const std::string& s, size_t at) {
    if (at >= s.size()) return 0;
    static const char* const names[] = {"TOGGLE_RADIO_WINDOW", "TOGGLE_GPS_WINDOW", "TOGGLE_THROTTLE_WINDOW",
                                        "TOGGLE_COMPASS_WINDOW", "TOGGLE_FUEL_WINDOW", "TOGGLE_COLLECTIVE_WINDOW"};
    for (uint32_t i = 0; i < 6; ++i)
        if (starts_with(s, at, names[i])) return 43910 + i;
    int64_t n = integer_of(s, at);
    return n >= 40960 ? uint32_t(n) : 0;
}

struct Install {
    bool stopped = false;  // an unusable b: nothing else read
    int32_t face;
    uint32_t help_id;
    std::vector<KeyEvent> events;
};

Install expected_install(const std::string& s, int32_t face, uint32_t help_id) {
    Install r{false, face, help_id, {}};
    if (!s.empty()) {
        size_t b = find_key(s, 0, 'b');
        if (b != std::string::npos) {
            int64_t n = integer_of(s, b + 1);
            if (n % 10 != 0 || n < 100 || n > 160) {
                r.stopped = true;
                return r;
            }
            r.face = int32_t(n);
        }
        size_t h = find_key(s, 0, 'h');
        if (h != std::string::npos) r.help_id = help_of(s, h + 1);
        size_t a = find_key(s, 0, 'a');
        if (a != std::string::npos && panel_of(s, a + 1) >= 0) r.events.push_back({66508, uint32_t(panel_of(s, a + 1))});
    }
    return r;
}

std::vector<KeyEvent> expected_click(const std::string& s) {
    std::vector<KeyEvent> events;
    const std::pair<char, uint32_t> commands[] = {{'o', 66507}, {'c', 66508}, {'t', 66506}};
    for (const auto& [key, event_id] : commands)
        for (size_t at = find_key(s, 0, key); at != std::string::npos; at = find_key(s, at + 1, key))
            if (panel_of(s, at + 1) >= 0) events.push_back({event_id, uint32_t(panel_of(s, at + 1))});
    size_t p = find_key(s, 0, 'p');
    if (p != std::string::npos) {
        int64_t n = integer_of(s, p + 1);
        if (n == 0) events.push_back({65875, 0});
        for (int64_t i = 0; i < std::min<int64_t>(n, 100); ++i) events.push_back({65734, 0});
        for (int64_t i = 0; i < std::min<int64_t>(-n, 100); ++i) events.push_back({65735, 0});
    }
    return events;
}

int expected_engine(const std::string& s) {
    for (char digit : {'1', '2', '3', '4'})
        if (find_key(s, 0, digit) != std::string::npos) return digit - '0';
    return 1;
}

// ------------------------------------------------------------ the host

struct Button {
    const char* name;
    int32_t face;
    uint32_t help_id;
};
const Button kButtons[] = {{"Invisible_Toggle", 100, 0},   {"Close_Subpanel", 110, 0},  {"Radios_Toggle", 120, 43910},
                           {"Landing_View_Toggle", 130, 0}, {"GPS_Toggle", 140, 43911}, {"Throttle_Toggle", 150, 43912},
                           {"Compass_Toggle", 160, 43913}};

// A fresh host every so many inputs keeps the placements' memory bounded.
constexpr int kInputsPerHost = 2000;
std::unique_ptr<sim::SimHost> g_host;
sim::LoadedModule* g_module = nullptr;
int g_inputs = 0;

sim::SimHost& host() {
    // The module's coverage counters must stay mapped while the fuzzer
    // reads them, so it is never unloaded between hosts.
    static void* pinned = dlopen(MORVANE_MODULE_PATH, RTLD_NOW | RTLD_NODELETE);
    (void)pinned;
    if (!g_host || ++g_inputs >= kInputsPerHost) {
        g_host.reset();
        g_host = std::make_unique<sim::SimHost>();
        std::string error;
        g_module = g_host->load_module(MORVANE_MODULE_PATH, &error);
        if (!g_module) {
            std::fprintf(stderr, "panel_parameters_fuzz: %s\n", error.c_str());
            std::abort();
        }
        g_inputs = 0;
    }
    return *g_host;
}

std::vector<KeyEvent> g_sunk;
void sink(uint32_t id, uint32_t value) { g_sunk.push_back({id, value}); }

void check_button(const Button& button, const std::string& s) {
    sim::SimHost& h = host();
    h.clear_events();
    h.panel_toggles.clear();
    sim::Placement* p = h.place(button.name, s.c_str());
    if (!p) fail("button not found", s);
    Install want = expected_install(s, button.face, button.help_id);
    if (h.events() != want.events) fail("install events", s);
    if (p->record<StaticImageElement>(0)->header.bitmap != want.face) fail("button face", s);
    if (p->mouse_rects()[0].help_id != want.help_id) fail("help id", s);
    h.send(*p, SERVICE_INSTALL, g_module->resource_handle());
    if (h.events() != want.events) fail("second install sent events", s);

    std::vector<KeyEvent> click = expected_click(s);
    for (int i = 0; i < 2; ++i) {
        h.clear_events();
        if (!p->click(8, 8)) fail("click not taken", s);
        if (h.events() != click) fail("click events", s);
    }
    std::vector<uint32_t> toggles = s.empty() ? std::vector<uint32_t>{0, 0} : std::vector<uint32_t>{};
    if (h.panel_toggles != toggles) fail("main panel toggles", s);
    if (!h.faults.empty()) fail(h.faults.front().c_str(), s);
}

void check_engine(const char* gauge, uint32_t token, std::vector<uint32_t> help_ids, const std::string& s) {
    sim::SimHost& h = host();
    h.clear_events();
    sim::Placement* p = h.place(gauge, s.c_str());
    if (!p) fail("engine gauge not found", s);
    h.send(*p, SERVICE_INSTALL, g_module->resource_handle());
    uint32_t n = uint32_t(expected_engine(s) - 1);
    if (p->record<NeedleElement>(1)->source.token != token + 39 * n) fail("engine token", s);
    std::vector<uint32_t> ids;
    for (MouseRect* r = p->mouse_rects(); r->type != MOUSE_END; ++r)
        if (r->type == MOUSE_TOOLTIP) ids.push_back(r->help_id);
    for (uint32_t& id : help_ids) id += n;
    if (ids != help_ids) fail("engine help ids", s);
    if (!h.events().empty() || !h.faults.empty()) fail("engine gauge sent events", s);
}

// The rules called directly on an exactly sized copy of the string.
void check_direct(const std::string& s) {
    std::unique_ptr<char[]> exact(new char[s.size() + 1]);
    std::memcpy(exact.get(), s.c_str(), s.size() + 1);
    g_sunk.clear();
    bool ran = run_panel_commands(exact.get(), sink);
    if (ran != !s.empty()) fail("direct interpreter result", s);
    if (g_sunk != expected_click(s)) fail("direct click events", s);
    if (engine_index(exact.get()) != expected_engine(s)) fail("direct engine index", s);

    StaticImageElement face{};
    face.header.bitmap = 100;
    ElementHeader* const list[] = {&face.header, nullptr};
    MouseRect rects[] = {{.type = MOUSE_PARENT, .help_id = 0}, {.type = MOUSE_END}};
    GaugeHeader gauge{};
    gauge.elements = list;
    gauge.mouse_rects = rects;
    gauge.parameters = exact.get();
    g_sunk.clear();
    apply_button_install(&gauge, sink);
    Install want = expected_install(s, 100, 0);
    if (g_sunk != want.events || face.header.bitmap != want.face || rects[0].help_id != want.help_id)
        fail("direct install", s);
    if (gauge.user_data != (want.stopped ? 0u : 1u)) fail("direct applied flag", s);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const char* text = reinterpret_cast<const char*>(data + 1);
    std::string s(text, strnlen(text, size - 1));
    check_direct(s);
    unsigned choice = data[0] % 9;
    if (choice < 7)
        check_button(kButtons[choice], s);
    else if (choice == 7)
        check_engine("Tachometer", 390, {12817}, s);
    else
        check_engine("Manifold_Pressure", 391, {12449, 12457}, s);
    return 0;
}
