// morvane-trace: flies a scenario over a panel layout in the test host and
// writes what the gauges drew, cycle by cycle, with the key events, panel
// windows and sounds. Built for Linux and for Windows alike, so that the
// real .gau files under Windows (or Wine) can be compared with the Linux
// modules line by line.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "flight/flight_session.h"
#include "host/sim_host.h"
#include "flight/panel_layout.h"
#include "flight/scenario.h"
#include "tools/trace/crash_report.h"
#include "tools/trace/drawn_trace.h"
#include "tools/trace/sound_observer.h"
#include "tools/trace/writable_memory.h"

namespace {

void usage(FILE* out) {
    std::fprintf(out,
                 "usage: morvane-trace [--module FILE]... [--layout FILE] [--scenario FILE]\n"
                 "                     [--seconds S] [--output FILE] [--require-sound]\n"
                 "                     [--no-sound-device] [--decimals N] [--no-aircraft]\n"
                 "\n"
                 "Loads the modules (default: the built Morvane_Instr and Telvor_Flaps), places\n"
                 "the layout's gauges (default: the built-in panel), flies the scenario (default:\n"
                 "the built-in circuit) for its length or S seconds, and writes per cycle every\n"
                 "element whose drawn state changed, the key events, panel windows and sounds.\n"
                 "--require-sound fails unless sounds were played and the sound output confirmed\n"
                 "each one. --no-sound-device flies a machine without sound (on Windows the\n"
                 "system must lack a device) and fails unless the module was refused one.\n"
                 "--decimals prints angles and shifts to N decimals (default 4). The simulated\n"
                 "aircraft answers the variables and key events unless --no-aircraft.\n");
}

int fail(const std::string& message, int code = 1) {
    std::fprintf(stderr, "morvane-trace: %s\n", message.c_str());
    return code;
}

// Writes the whole trace or nothing: a partial file never stands under the
// output's name.
bool write_file(const std::string& path, const std::string& text, std::string* error) {
    std::string partial = path + ".partial";
    FILE* f = std::fopen(partial.c_str(), "wb");
    if (!f) {
        *error = "cannot write " + path;
        return false;
    }
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    ok = std::fclose(f) == 0 && ok;
    std::remove(path.c_str());
    if (!ok || std::rename(partial.c_str(), path.c_str()) != 0) {
        std::remove(partial.c_str());
        *error = "cannot write " + path;
        return false;
    }
    return true;
}

// Every nonlinearity table of a module's own records (not the host's
// copies): the host writes into them, so none may be read-only. One line
// per table that is, naming the gauge and the element.
void needle_tables(const ElementHeader* const* list, const std::string& gauge, int depth, size_t* index,
                   size_t* tables, std::vector<std::string>* read_only) {
    for (size_t i = 0; list && list[i] && depth < 64; ++i) {
        const ElementHeader* e = list[i];
        size_t k = (*index)++;
        if (e->kind == ELEMENT_NEEDLE) {
            auto* n = reinterpret_cast<const NeedleElement*>(e);
            if (n->table && n->table_entries) {
                ++*tables;
                if (!trace::writable_memory(n->table, n->table_entries * sizeof(NonlinearityEntry)))
                    read_only->push_back(gauge + " element " + std::to_string(k));
            }
        }
        needle_tables(e->next, gauge, depth + 1, index, tables, read_only);
    }
}

}  // namespace

int main(int argc, char** argv) {
    trace::report_crashes();
    std::vector<std::string> modules;
    std::string layout_path, scenario_path, output;
    double seconds = -1;
    bool require_sound = false, no_sound_device = false, fly = true;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&]() -> const char* {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "morvane-trace: %s needs a value\n", arg.c_str());
                std::exit(2);
            }
            return argv[++i];
        };
        if (arg == "--module") modules.push_back(value());
        else if (arg == "--layout") layout_path = value();
        else if (arg == "--scenario") scenario_path = value();
        else if (arg == "--output") output = value();
        else if (arg == "--require-sound") require_sound = true;
        else if (arg == "--no-sound-device") no_sound_device = true;
        else if (arg == "--no-aircraft") fly = false;
        else if (arg == "--decimals") {
            const char* text = value();
            char* end = nullptr;
            long decimals = std::strtol(text, &end, 10);
            if (end == text || *end || decimals < 1 || decimals > 12)
                return fail(std::string("--decimals: not a count from 1 to 12: ") + text, 2);
            trace::set_decimals(static_cast<int>(decimals));
        }
        else if (arg == "--seconds") {
            const char* text = value();
            char* end = nullptr;
            seconds = std::strtod(text, &end);
            if (end == text || *end || !(seconds >= 0)) return fail(std::string("--seconds: not a length: ") + text, 2);
        } else if (arg == "--help" || arg == "-h") {
            usage(stdout);
            return 0;
        } else {
            usage(stderr);
            return fail("unknown argument " + arg, 2);
        }
    }
    if (modules.empty()) {
        modules.push_back(MORVANE_MODULE_PATH);
#ifdef TELVOR_MODULE_PATH
        modules.push_back(TELVOR_MODULE_PATH);
#endif
    }

    std::string error;
    sim::PanelLayout layout;
    std::string layout_name = layout_path.empty() ? "built-in panel" : layout_path;
    bool read = layout_path.empty() ? sim::parse_panel_layout(sim::kDefaultPanelLayout, layout_name, &layout, &error)
                                    : sim::load_panel_layout(layout_path, &layout, &error);
    if (!read) return fail(error);
    sim::Scenario scenario;
    std::string scenario_name = scenario_path.empty() ? "built-in circuit" : scenario_path;
    read = scenario_path.empty() ? sim::parse_scenario(sim::kDefaultScenario, scenario_name, &scenario, &error)
                                 : sim::load_scenario(scenario_path, &scenario, &error);
    if (!read) return fail(error);
    if (seconds < 0) seconds = scenario.duration;

    sim::SimHost host;
    if (no_sound_device) trace::refuse_sound_device();
    for (const std::string& path : modules) {
        sim::LoadedModule* module = host.load_module(path, &error);
        if (!module) return fail(error);
        if (!trace::watch_sounds(*module, &error)) return fail(error);
    }
    size_t tables = 0;
    std::vector<std::string> read_only;
    for (const auto& module : host.modules())
        for (GaugeHeader* g : module->gauges()) {
            if (g->version == LEGACY_GAUGE_HEADER_VERSION) continue;  // the older interface has no needles
            size_t index = 0;
            needle_tables(g->elements, g->name ? g->name : "?", 0, &index, &tables, &read_only);
        }
    for (const std::string& where : read_only)
        std::fprintf(stderr, "morvane-trace: the nonlinearity table of %s lies in read-only memory\n", where.c_str());
    if (!read_only.empty()) return fail(std::to_string(read_only.size()) + " of " + std::to_string(tables) +
                                        " nonlinearity tables are read-only: the host's angle writes would fault", 4);

    sim::FlightSession flight(host, layout, fly);
    if (!flight.place_gauges(layout_name, &error)) return fail(error);

    trace::TraceWriter writer(host, flight);
    char heading[160];
    std::snprintf(heading, sizeof heading, "# %s flown by %s, cycles of %s s", layout_name.c_str(),
                  scenario_name.c_str(), trace::fixed(host.seconds_per_cycle).c_str());
    std::string text = std::string(heading) + "\n";
    writer.note("install", trace::take_sounds(), false);
    for (long cycle = 1; host.clock() + 1e-9 < seconds; ++cycle) {
        trace::settle_sounds(host.clock());
        if (!flight.play_cycle(scenario)) return fail(flight.scenario_error());
        writer.note("cycle " + std::to_string(cycle), trace::take_sounds());
    }
    host.kill_all();
    writer.note("kill", trace::take_sounds());
    text += writer.text();

    if (output.empty()) {
        std::fwrite(text.data(), 1, text.size(), stdout);
    } else if (!write_file(output, text, &error)) {
        return fail(error);
    }
    std::fprintf(stderr, "morvane-trace: %zu nonlinearity tables, all writable; %s\n", tables,
                 trace::sound_summary().c_str());
    if (require_sound && !trace::sounds_confirmed()) return fail("the sound output did not confirm every sound", 3);
    if (no_sound_device && !trace::sound_device_refused())
        return fail("the module was not refused a sound device (is there one after all?)", 3);
    return 0;
}
