// morvane-host: loads gauge modules in the test host, installs gauges, runs
// update cycles and prints what each gauge draws.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/sim_host.h"

namespace {

void usage(FILE* out) {
    std::fprintf(out,
                 "usage: morvane-host [--module FILE]... [--gauge NAME[:PARAMETERS]]... [--cycles N]\n"
                 "\n"
                 "Loads each module (default: the built Morvane_Instr), places the named gauges\n"
                 "(default: every gauge of every module), sends the install and set-up notices,\n"
                 "runs N update cycles (default 3) and prints a short report per gauge.\n");
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

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> modules, gauges;
    int cycles = 3;
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
        else if (arg == "--cycles") {
            std::string n = value("--cycles");
            char* end = nullptr;
            long parsed = std::strtol(n.c_str(), &end, 10);
            if (n.empty() || *end || parsed < 0 || parsed > 1000000) {
                std::fprintf(stderr, "morvane-host: --cycles: not a cycle count: %s\n", n.c_str());
                return 2;
            }
            cycles = static_cast<int>(parsed);
        } else if (arg == "--help" || arg == "-h") {
            usage(stdout);
            return 0;
        } else {
            std::fprintf(stderr, "morvane-host: unknown option %s\n", arg.c_str());
            usage(stderr);
            return 2;
        }
    }
    if (modules.empty()) modules.push_back(MORVANE_MODULE_PATH);

    sim::SimHost host;
    for (const std::string& path : modules) {
        std::string error;
        if (!host.load_module(path, &error)) {
            std::fprintf(stderr, "morvane-host: %s\n", error.c_str());
            return 1;
        }
    }
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
