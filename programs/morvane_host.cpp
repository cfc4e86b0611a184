// morvane-host: loads gauge modules in the test host, installs gauges, runs
// update cycles and prints what each gauge draws; with --fly, the built-in
// panel flown through the built-in circuit by the simulated aircraft, and
// what the aircraft and the panel did.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "aircraft/pilot_controls.h"
#include "flight/flight_session.h"
#include "host/sim_host.h"

namespace {

void usage(FILE* out) {
    std::fprintf(out,
                 "usage: morvane-host [--module FILE]... [--gauge NAME[:PARAMETERS]]... [--cycles N]\n"
                 "       morvane-host --fly [--module FILE]... [--cycles N]\n"
                 "\n"
                 "Loads each module (default: the built Morvane_Instr), places the named gauges\n"
                 "(default: every gauge of every module), sends the install and set-up notices,\n"
                 "runs N update cycles (default 3) and prints a short report per gauge.\n"
                 "\n"
                 "--fly places the built-in panel (default modules: Morvane_Instr and\n"
                 "Telvor_Flaps) with the simulated aircraft behind the host, flies N cycles of\n"
                 "the built-in circuit (default: all of it) and prints the aircraft's figures,\n"
                 "the key events and panel windows of the flight, and any host fault.\n");
}

const char* kind_name(uint32_t kind) {
    static const char* names[] = {"image", "needle", "string", "slider", "icon", "moving", "sprite"};
    return kind < 7 ? names[kind] : "unknown";
}

void report(const sim::Placement& p) {
    std::printf("%-26s %2zu elements", p.name().c_str(), p.element_count());
    size_t children = p.children().size();
    std::printf(", %zu click areas\n", children);
    for (const sim::DrawnElement& d : p.drawn()) {
        std::printf("    %-6s %5d", kind_name(d.kind), d.bitmap);
        switch (d.kind) {
        case ELEMENT_NEEDLE: std::printf("  value %g  angle %.1f", d.value, d.angle); break;
        case ELEMENT_ICON: std::printf("  image %d", d.image); break;
        case ELEMENT_STRING: std::printf("  text \"%s\"", d.text.c_str()); break;
        case ELEMENT_SLIDER:
        case ELEMENT_SPRITE: std::printf("  shift (%.1f, %.1f) rotation %.1f", d.dx, d.dy, d.rotation); break;
        case ELEMENT_MOVING_IMAGE: std::printf("  values (%g, %g)", d.value, d.value_y); break;
        default: break;
        }
        if (d.hidden) std::printf("  hidden");
        if (d.lit) std::printf("  lit");
        std::printf("\n");
    }
}

// The built-in panel flown through the built-in circuit for `cycles` host
// cycles (-1: the whole circuit) by the simulated aircraft.
int fly(sim::SimHost& host, long cycles) {
    std::string error;
    sim::PanelLayout layout;
    sim::Scenario scenario;
    if (!sim::parse_panel_layout(sim::kDefaultPanelLayout, "built-in panel", &layout, &error) ||
        !sim::parse_scenario(sim::kDefaultScenario, "built-in circuit", &scenario, &error)) {
        std::fprintf(stderr, "morvane-host: %s\n", error.c_str());
        return 1;
    }
    sim::FlightSession session(host, layout, /*fly=*/true);
    if (!session.place_gauges("built-in panel", &error)) {
        std::fprintf(stderr, "morvane-host: %s\n", error.c_str());
        return 1;
    }
    long flown = 0;
    for (; cycles < 0 ? session.time() + 1e-9 < scenario.duration : flown < cycles; ++flown) {
        if (!session.play_cycle(scenario)) {
            std::fprintf(stderr, "morvane-host: %s\n", session.scenario_error().c_str());
            return 1;
        }
    }
    session.finish_log();
    std::printf("flew the built-in circuit over the built-in panel: %zu gauges, %ld update cycles, %.2f s\n",
                session.gauges().size(), flown, session.time());
    const aircraft::State& state = session.aircraft()->state();
    for (const aircraft::PilotReadout& r : aircraft::pilot_readouts())
        std::printf("  %-18s %10.2f %s\n", r.label, r.get(state), r.unit);
    for (const aircraft::PilotControl& c : aircraft::pilot_controls())
        std::printf("  %-18s %10.2f %s (control)\n", c.label, c.get(state), c.unit);
    std::vector<std::string> log = session.log();
    std::printf("%llu key events; %zu log lines:\n", static_cast<unsigned long long>(host.event_log().total()),
                log.size());
    for (const std::string& line : log) std::printf("%s\n", line.c_str());
    for (const std::string& fault : host.faults) std::printf("host fault: %s\n", fault.c_str());
    host.kill_all();
    return host.faults.empty() ? 0 : 3;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> modules, gauges;
    int cycles = 3;
    bool fly_panel = false, cycles_given = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&](const char* option) -> std::string {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "morvane-host: %s needs a value\n", option);
                std::exit(2);
            }
            return argv[++i];
        };
        if (arg == "--module") modules.push_back(value("--module"));
        else if (arg == "--gauge") gauges.push_back(value("--gauge"));
        else if (arg == "--fly") fly_panel = true;
        else if (arg == "--cycles") {
            std::string n = value("--cycles");
            char* end = nullptr;
            long parsed = std::strtol(n.c_str(), &end, 10);
            if (n.empty() || *end || parsed < 0 || parsed > 1000000) {
                std::fprintf(stderr, "morvane-host: --cycles: not a cycle count: %s\n", n.c_str());
                return 2;
            }
            cycles = static_cast<int>(parsed);
            cycles_given = true;
        } else if (arg == "--help" || arg == "-h") {
            usage(stdout);
            return 0;
        } else {
            std::fprintf(stderr, "morvane-host: unknown option %s\n", arg.c_str());
            usage(stderr);
            return 2;
        }
    }
    if (fly_panel && !gauges.empty()) {
        std::fprintf(stderr, "morvane-host: --fly flies the built-in panel: no --gauge with it\n");
        return 2;
    }
    if (modules.empty()) {
        modules.push_back(MORVANE_MODULE_PATH);
#ifdef TELVOR_MODULE_PATH
        if (fly_panel) modules.push_back(TELVOR_MODULE_PATH);
#endif
    }

    sim::SimHost host;
    for (const std::string& path : modules) {
        std::string error;
        if (!host.load_module(path, &error)) {
            std::fprintf(stderr, "morvane-host: %s\n", error.c_str());
            return 1;
        }
    }
    if (fly_panel) return fly(host, cycles_given ? cycles : -1);
    std::vector<sim::Placement*> placed;
    if (gauges.empty()) {
        for (auto& m : host.modules())
            for (GaugeHeader* g : m->gauges()) placed.push_back(host.place_header(m.get(), g, nullptr, nullptr));
    } else {
        for (const std::string& placement : gauges) {
            size_t colon = placement.find(':');
            std::string name = placement.substr(0, colon);
            std::string params = colon == std::string::npos ? "" : placement.substr(colon + 1);
            std::string error;
            sim::Placement* p = host.place(name, colon == std::string::npos ? nullptr : params.c_str(), &error);
            if (!p) {
                std::fprintf(stderr, "morvane-host: %s\n", error.c_str());
                return 1;
            }
            placed.push_back(p);
        }
    }
    for (sim::Placement* p : placed) host.setup(*p);
    host.cycles(cycles);
    std::printf("%zu gauges installed, %d update cycles, %zu key events\n", placed.size(), cycles,
                host.events().size());
    for (sim::Placement* p : placed) report(*p);
    for (const std::string& fault : host.faults) std::printf("host fault: %s\n", fault.c_str());
    host.kill_all();
    return host.faults.empty() ? 0 : 3;
}
