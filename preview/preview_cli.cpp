// morvane-preview's command line: flies a panel in the test host and shows
// what the simulator would show: the panel at any moment of a scenario, a
// contact sheet of every gauge, a frame sequence, the sound track and a log.
// The live panel (--serve) is handed to the caller's server.
#include "preview/preview_cli.h"

#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "preview/flightgear_panel.h"
#include "preview/preview_support.h"

namespace {

void usage(FILE* out) {
    std::fprintf(out,
        "usage: morvane-preview [options]\n"
        "\n"
        "Loads the gauge modules in the test host, places the gauges of a panel layout,\n"
        "plays a flight scenario against them and writes what the simulator would show.\n"
        "With no options: the built-in panel (every gauge of both modules) and the\n"
        "built-in circuit, written to the folder 'out'.\n"
        "\n"
        "  --layout FILE     panel layout ([WindowNN] sections with size=, position=,\n"
        "                    ident=, background_color= and gaugeNN=Module!Gauge, x, y,\n"
        "                    width, height, parameters lines); default: built-in\n"
        "  --scenario FILE   flight scenario ('at TIME pilot|click|hold|drag|set|setword|\n"
        "                    ramp|failure|expression ...' and 'end TIME'); default: the\n"
        "                    built-in circuit, flown from cold and dark to parked\n"
        "  --module FILE     load this gauge module (repeatable); default: the built\n"
        "                    Morvane_Instr and Telvor_Flaps\n"
        "  --out DIR         folder for the default output names (default: out)\n"
        "  --at SECONDS      the moment of the panel picture (default: the scenario's end;\n"
        "                    for the built-in circuit 385 s, on final approach)\n"
        "  --png FILE        the panel picture (default: DIR/panel.png)\n"
        "  --sheet FILE      contact sheet of every gauge with its name\n"
        "                    (default: DIR/contact_sheet.png)\n"
        "  --frames DIR      also write the whole scenario as a PNG frame sequence\n"
        "  --fps N           frames per second of --frames (default: 2)\n"
        "  --sound FILE      the sound track of what was played, as WAV\n"
        "                    (default: DIR/soundtrack.wav)\n"
        "  --log FILE        key events and panel-window changes (default: DIR/events.log)\n"
        "  --night           panel lights on: lit instruments bright, the rest dimmed\n"
        "  --serve PORT      fly the panel live in a web browser at http://127.0.0.1:PORT/\n"
        "                    (loopback only; 0 picks a free port); stops on Ctrl-C\n"
        "  --run             with --serve: play the scenario at once (else the page's\n"
        "                    Run scenario button starts it)\n"
        "%s"
        "  --print-layout    print the built-in panel layout and stop\n"
        "  --print-scenario  print the built-in scenario and stop\n"
        "  --help            this text\n", sim::kFlightGearUsage);
}

bool make_folder(const std::string& path, std::string* error) {
    if (path.empty()) return true;
    size_t slash = 0;
    while ((slash = path.find('/', slash + 1)) != std::string::npos) mkdir(path.substr(0, slash).c_str(), 0755);
    if (mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) {
        *error = path + ": cannot create the folder: " + std::strerror(errno);
        return false;
    }
    return true;
}

bool parse_number(const std::string& text, double lo, double hi, double* out) {
    char* end = nullptr;
    double v = std::strtod(text.c_str(), &end);
    if (text.empty() || *end || !std::isfinite(v) || v < lo || v > hi) return false;
    *out = v;
    return true;
}

int fail(const std::string& message) {
    std::fprintf(stderr, "morvane-preview: %s\n", message.c_str());
    return 1;
}

}  // namespace

namespace sim {

int run_preview_command(int argc, char** argv, LiveServe serve) {
    std::string layout_file, scenario_file, out_dir = "out", png, sheet, frames_dir, sound, log_file;
    std::vector<std::string> modules;
    double at = -1, fps = 2, serve_port = -1;
    bool night = false, run_at_once = false;
    sim::FlightGearPanelOptions flightgear;
    for (int i = 1; i < argc; ++i) {
        std::string fg_error;
        if (sim::take_flightgear_option(argc, argv, &i, &flightgear, &fg_error)) {
            if (!fg_error.empty()) return fail(fg_error);
            continue;
        }
        std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "morvane-preview: %s needs a value\n", arg.c_str());
                std::exit(2);
            }
            return argv[++i];
        };
        if (arg == "--layout") layout_file = value();
        else if (arg == "--scenario") scenario_file = value();
        else if (arg == "--module") modules.push_back(value());
        else if (arg == "--out") out_dir = value();
        else if (arg == "--png") png = value();
        else if (arg == "--sheet") sheet = value();
        else if (arg == "--frames") frames_dir = value();
        else if (arg == "--sound") sound = value();
        else if (arg == "--log") log_file = value();
        else if (arg == "--night") night = true;
        else if (arg == "--run") run_at_once = true;
        else if (arg == "--at") {
            std::string v = value();
            if (!parse_number(v, 0, 86400, &at)) return fail("--at: not a time in seconds: " + v);
        } else if (arg == "--serve") {
            std::string v = value();
            if (!parse_number(v, 0, 65535, &serve_port) || serve_port != std::floor(serve_port))
                return fail("--serve: not a port number from 0 to 65535: " + v);
        } else if (arg == "--fps") {
            std::string v = value();
            if (!parse_number(v, 0.01, 60, &fps)) return fail("--fps: not a frame rate from 0.01 to 60: " + v);
        } else if (arg == "--print-layout") {
            std::fputs(sim::kDefaultPanelLayout, stdout);
            return 0;
        } else if (arg == "--print-scenario") {
            std::fputs(sim::kDefaultScenario, stdout);
            return 0;
        } else if (arg == "--help" || arg == "-h") {
            usage(stdout);
            return 0;
        } else {
            usage(stderr);
            return fail("unknown option " + arg);
        }
    }
    if (run_at_once && serve_port < 0) return fail("--run plays the scenario in the live panel: give --serve PORT too");
    if (png.empty()) png = out_dir + "/panel.png";
    if (sheet.empty()) sheet = out_dir + "/contact_sheet.png";
    if (sound.empty()) sound = out_dir + "/soundtrack.wav";
    if (log_file.empty()) log_file = out_dir + "/events.log";

    std::string error;
    sim::PanelLayout layout;
    bool ok = layout_file.empty() ? sim::parse_panel_layout(sim::kDefaultPanelLayout, "built-in panel", &layout, &error)
                                  : sim::load_panel_layout(layout_file, &layout, &error);
    if (!ok) return fail(error);
    sim::Scenario scenario;
    ok = scenario_file.empty() ? sim::parse_scenario(sim::kDefaultScenario, "built-in scenario", &scenario, &error)
                               : sim::load_scenario(scenario_file, &scenario, &error);
    if (!ok) return fail(error);
    if (at < 0) at = scenario_file.empty() ? sim::kDefaultScenarioPictureTime : scenario.duration;

    sim::SimHost host;
    if (modules.empty()) modules = sim::default_module_paths();
    for (const std::string& path : modules)
        if (!host.load_module(path, &error)) return fail(error);
    if (!make_folder(out_dir, &error)) return fail(error);
    if (!frames_dir.empty() && !make_folder(frames_dir, &error)) return fail(error);

    // FlightGear stands behind the variables and key events from the first
    // placement on.
    std::unique_ptr<fg::FlightGearLink> link;
    if (flightgear.enabled) {
        link = std::make_unique<fg::FlightGearLink>(flightgear.link);
        if (!link->open(&error)) return fail(error);
        host.attach(link.get());
    }
    struct Detach {
        sim::SimHost& host;
        ~Detach() { host.attach(nullptr); }
    } detach{host};

    sim::PreviewSound sound_track;
    sim::PanelSession session(host, layout, sim::module_bitmap_lookup(), /*fly=*/!link);
    if (!session.place_all(layout_file.empty() ? "built-in panel" : layout_file, &error)) return fail(error);
    sim::RenderOptions options{.night = night};
    if (serve_port >= 0) {
        if (!serve) return fail("--serve: this build has no live panel");
        std::string serve_error;
        int rc = serve(session, scenario, options, static_cast<int>(serve_port), run_at_once, &serve_error);
        return rc == 0 ? 0 : fail(serve_error);
    }
    if (link) {
        std::string fly_error;
        int rc = sim::fly_with_flightgear(session, *link, options, png, log_file, flightgear.seconds, &fly_error);
        return rc == 0 ? 0 : fail(fly_error);
    }

    // The whole scenario is played (its sound track and log are whole);
    // the picture is taken on the way.
    double end = std::max(at, scenario.duration);
    int frame = 0;
    double next_frame = 0;
    bool picture_written = false;
    auto write_panel = [&]() {
        if (!sim::write_png(session.render(options), png, &error)) std::exit(fail(error));
        picture_written = true;
    };
    while (true) {
        if (!frames_dir.empty() && session.time() + 1e-9 >= next_frame) {
            char name[64];
            std::snprintf(name, sizeof name, "/frame_%05d.png", frame++);
            if (!sim::write_png(session.render(options), frames_dir + name, &error)) return fail(error);
            next_frame += 1.0 / fps;
            std::fprintf(stderr, "\rframes: %d (%.0f of %.0f s)", frame, session.time(), end);
        }
        if (!picture_written && session.time() + 1e-9 >= at) write_panel();
        if (session.time() + 1e-9 >= end) break;
        session.run_to(scenario, std::min(end, session.time() + host.seconds_per_cycle));
    }
    if (!frames_dir.empty()) std::fprintf(stderr, "\n");
    if (!picture_written) write_panel();
    if (!sim::write_png(session.contact_sheet(options), sheet, &error)) return fail(error);

    std::ofstream log(log_file);
    if (!log) return fail(log_file + ": cannot open for writing");
    for (const std::string& line : session.log()) log << line << "\n";
    std::string sound_note;
    if (!sound_track.save(sound, &sound_note)) std::fprintf(stderr, "morvane-preview: %s\n", sound_note.c_str());

    std::printf("panel at %.1f s: %s\n", std::min(at, session.time()), png.c_str());
    std::printf("contact sheet of %zu gauges: %s\n", session.gauges().size(), sheet.c_str());
    if (!frames_dir.empty()) std::printf("%d frames: %s\n", frame, frames_dir.c_str());
    std::printf("log of key events and panel changes (%zu lines): %s\n", session.log().size(), log_file.c_str());
    if (!sound_note.empty()) std::printf("sound track: %s\n", sound_note.c_str());
    for (const sim::RenderProblem& p : session.problems()) std::printf("warning: %s\n", p.text().c_str());
    for (const std::string& f : host.faults) std::printf("host fault: %s\n", f.c_str());
    return 0;
}

}  // namespace sim
