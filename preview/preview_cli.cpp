// morvane-preview's command line: flies a panel in the test host and shows
// what the simulator would show: the panel at any moment of a scenario, a
// contact sheet of every gauge, a frame sequence or a video, the sound
// track and a log. Every output is staged and moved into place only when
// the whole run has succeeded.
// The live panel (--serve) is handed to the caller's server.
#include "preview/preview_cli.h"

#include <arpa/inet.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "platform/linux/sound_inspect.h"
#include "flight/input_text.h"
#include "preview/preview_support.h"
#include "preview/staged_outputs.h"
#include "preview/video_export.h"

namespace {

void usage(FILE* out, const sim::OutsideSimulation* outside) {
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
        "  --video FILE      also write the whole scenario as a video with its sound\n"
        "                    (.mp4 or .mkv; H.264 and AAC)\n"
        "  --fps N           frames per second of --frames and --video (default: 2,\n"
        "                    with --video 30)\n"
        "  --sound FILE      the sound track of what was played, as WAV\n"
        "                    (default: DIR/soundtrack.wav)\n"
        "  --log FILE        key events and panel-window changes (default: DIR/events.log)\n"
        "  --night           panel lights on: lit instruments bright, the rest dimmed\n"
        "  --serve PORT      fly the panel live in a web browser at http://127.0.0.1:PORT/\n"
        "                    (loopback only; 0 picks a free port); stops on Ctrl-C\n"
        "  --serve ADDR:PORT the same on another address of this machine (0.0.0.0: all),\n"
        "                    for other screens on the network: only with the access key\n"
        "                    printed at start, as a URL and a QR code\n"
        "  --key-file FILE   keep the access keys in FILE (made when missing) instead of\n"
        "                    new ones at each start\n"
        "  --view-only       the network may watch the panel, never click it\n"
        "  --run             with --serve: play the scenario at once (else the page's\n"
        "                    Run scenario button starts it)\n"
        "%s"
        "  --print-layout    print the built-in panel layout and stop\n"
        "  --print-scenario  print the built-in scenario and stop\n"
        "  --help            this text\n", outside ? outside->usage() : "");
}

// Everything the command line asks for.
struct Options {
    std::string layout_file, scenario_file, out_dir = "out", png, sheet, frames_dir, sound, log_file, video;
    std::vector<std::string> modules;
    double at = -1, fps = -1;
    sim::ServeOptions serve;
    bool night = false, run_at_once = false;
};

constexpr double kDefaultFrameRate = 2, kDefaultVideoRate = 30;

bool make_folder(const std::string& path, std::string* error) {
    if (path.empty()) {
        *error = "an output folder name is empty";
        return false;
    }
    size_t slash = 0;
    while ((slash = path.find('/', slash + 1)) != std::string::npos) mkdir(path.substr(0, slash).c_str(), 0755);
    if (mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) {
        *error = path + ": cannot create the folder: " + std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        *error = path + ": is not a folder";
        return false;
    }
    if (access(path.c_str(), W_OK) != 0) {
        *error = path + ": cannot write in the folder: " + std::strerror(errno);
        return false;
    }
    return true;
}

bool parse_number(const std::string& text, double lo, double hi, double* out) {
    double v;
    if (!sim::plain_decimal(text, &v) || v < lo || v > hi) return false;
    *out = v;
    return true;
}

int fail(const std::string& message) {
    std::fprintf(stderr, "morvane-preview: %s\n", message.c_str());
    return 1;
}

// Reads the options; -1 to go on, else the exit status.
int parse_options(int argc, char** argv, Options* o, sim::OutsideSimulation* outside) {
    for (int i = 1; i < argc; ++i) {
        std::string outside_error;
        if (outside && outside->take_option(argc, argv, &i, &outside_error)) {
            if (!outside_error.empty()) return fail(outside_error);
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
        static const std::pair<const char*, std::string Options::*> kFiles[] = {
            {"--layout", &Options::layout_file}, {"--scenario", &Options::scenario_file}, {"--out", &Options::out_dir},
            {"--png", &Options::png},           {"--sheet", &Options::sheet},            {"--frames", &Options::frames_dir},
            {"--sound", &Options::sound},       {"--log", &Options::log_file},           {"--video", &Options::video}};
        bool taken = false;
        for (auto& [name, field] : kFiles) {
            if (arg != name) continue;
            o->*field = value();
            if ((o->*field).empty()) return fail(arg + ": an empty name");
            taken = true;
        }
        if (taken) continue;
        if (arg == "--module") o->modules.push_back(value());
        else if (arg == "--night") o->night = true;
        else if (arg == "--run") o->run_at_once = true;
        else if (arg == "--at") {
            std::string v = value();
            if (!parse_number(v, 0, sim::kScenarioLimits.seconds, &o->at)) return fail("--at: not a time in seconds from 0 to 86400: " + v);
        } else if (arg == "--serve") {
            std::string v = value(), port = v;
            size_t colon = v.rfind(':');
            if (colon != std::string::npos) {
                std::string address = v.substr(0, colon);
                port = v.substr(colon + 1);
                if (address.size() > 2 && address.front() == '[' && address.back() == ']')
                    address = address.substr(1, address.size() - 2);
                unsigned char ip[16];
                bool v6 = address.find(':') != std::string::npos;
                if ((v6 && v.front() != '[') || inet_pton(v6 ? AF_INET6 : AF_INET, address.c_str(), ip) != 1)
                    return fail("--serve: not an IP address of this machine: '" + address + "' (in " + v + ")");
                o->serve.address = address;
            }
            double n = -1;
            if (!parse_number(port, 0, 65535, &n) || n != std::floor(n))
                return fail("--serve: not a port number from 0 to 65535: " + v);
            o->serve.port = int(n);
        } else if (arg == "--key-file") {
            o->serve.key_file = value();
            if (o->serve.key_file.empty()) return fail("--key-file: a file name is needed");
        } else if (arg == "--view-only") {
            o->serve.view_only = true;
        } else if (arg == "--fps") {
            std::string v = value();
            if (!parse_number(v, 0.01, 60, &o->fps)) return fail("--fps: not a frame rate from 0.01 to 60: " + v);
        } else if (arg == "--print-layout") {
            std::fputs(sim::kDefaultPanelLayout, stdout);
            return 0;
        } else if (arg == "--print-scenario") {
            std::fputs(sim::kDefaultScenario, stdout);
            return 0;
        } else if (arg == "--help" || arg == "-h") {
            usage(stdout, outside);
            return 0;
        } else {
            usage(stderr, outside);
            return fail("unknown option " + arg);
        }
    }
    if ((!o->serve.key_file.empty() || o->serve.view_only) && o->serve.port < 0)
        return fail(std::string(o->serve.view_only ? "--view-only" : "--key-file") +
                    " sets the live panel's access keys: give --serve [ADDR:]PORT too");
    if (o->run_at_once && o->serve.port < 0)
        return fail("--run plays the scenario in the live panel: give --serve PORT too");
    if (o->png.empty()) o->png = o->out_dir + "/panel.png";
    if (o->sheet.empty()) o->sheet = o->out_dir + "/contact_sheet.png";
    if (o->sound.empty()) o->sound = o->out_dir + "/soundtrack.wav";
    if (o->log_file.empty()) o->log_file = o->out_dir + "/events.log";
    if (o->fps < 0) o->fps = o->video.empty() ? kDefaultFrameRate : kDefaultVideoRate;
    return -1;
}

// A line on the terminal that says how far a long run has come; nothing
// when standard error is not a terminal (a log or a pipe).
class Progress {
public:
    Progress() : on_(isatty(STDERR_FILENO) == 1) {}
    void show(double done, double whole, int frames) {
        if (!on_ || !(whole > 0)) return;
        auto now = std::chrono::steady_clock::now();
        if (shown_ && now - last_ < std::chrono::milliseconds(250)) return;
        last_ = now;
        shown_ = true;
        if (frames >= 0)
            std::fprintf(stderr, "\r%3.0f%%  %.0f of %.0f s, %d frames ", 100 * done / whole, done, whole, frames);
        else
            std::fprintf(stderr, "\r%3.0f%%  %.0f of %.0f s ", 100 * done / whole, done, whole);
        std::fflush(stderr);
    }
    void done() {
        if (on_ && shown_) std::fprintf(stderr, "\r%60s\r", "");
    }

private:
    bool on_;
    bool shown_ = false;
    std::chrono::steady_clock::time_point last_;
};

// One previewer run: the outputs it stages, the panel flown, and the
// pictures, frames, video, sound and log it writes on the way.
class PreviewRun {
public:
    PreviewRun(const Options& o, sim::PanelSession& session, const sim::Scenario& scenario)
        : o_(o), session_(session), scenario_(scenario), options_{.night = o.night} {}

    // Stages every output and opens the streams; false with the error.
    bool start(std::string* error);
    // Flies to the end, writing as it goes.
    bool fly(double end, std::string* error);
    // Writes what is left, then moves every output into place.
    bool complete(std::string* error);
    void report(const sim::SimHost& host) const;

private:
    bool stage_picture(const std::string& path, const sim::Image& image, std::string* error);
    bool write_frame(std::string* error);
    bool take_sound(std::string* error);

    const Options& o_;
    sim::PanelSession& session_;
    const sim::Scenario& scenario_;
    sim::RenderOptions options_;
    sim::StagedOutputs outputs_;
    sim::SoundTrackStream sound_;
    sim::CheckedFile log_;
    sim::VideoExport video_;
    bool picture_written_ = false;
    int frame_ = 0;
    double next_frame_ = 0;
    double at_ = 0;
    uint64_t last_screen_ = 0;
    double started_ = 0;
};

bool PreviewRun::stage_picture(const std::string& path, const sim::Image& image, std::string* error) {
    std::string temp;
    std::vector<uint8_t> bytes;
    if (!outputs_.stage(path, &temp, error)) return false;
    if (!sim::encode_png(image, &bytes, 3)) {
        *error = path + ": cannot encode the picture";
        return false;
    }
    return outputs_.write(temp, bytes, error);
}

bool PreviewRun::start(std::string* error) {
    at_ = o_.at;
    std::string temp;
    if (!outputs_.stage(o_.log_file, &temp, error) || !log_.open(temp, o_.log_file, error)) return false;
    session_.set_log_sink([this](const std::string& line) {
        log_.write(line.data(), line.size());
        log_.write("\n", 1);
    });
    if (!outputs_.stage(o_.sound, &temp, error) || !sound_.open(temp, o_.sound, error)) return false;
    if (!o_.video.empty()) {
        const sim::Image& screen = session_.screen(options_);
        if (!outputs_.stage(o_.video, &temp, error) ||
            !video_.open(temp, o_.video, screen.width, screen.height, o_.fps, true, sound_inspect::TRACK_RATE, error))
            return false;
    }
    started_ = session_.time();
    return true;
}

bool PreviewRun::take_sound(std::string* error) {
    const std::vector<int16_t>& samples = sound_.take();
    return o_.video.empty() || video_.add_sound(samples.data(), samples.size(), error);
}

bool PreviewRun::write_frame(std::string* error) {
    const sim::Image& screen = session_.screen(options_);
    if (!o_.frames_dir.empty()) {
        char name[64];
        std::snprintf(name, sizeof name, "/frame_%05d.png", frame_);
        if (!stage_picture(o_.frames_dir + name, screen, error)) return false;
    }
    if (!o_.video.empty()) {
        bool same = frame_ > 0 && session_.screen_changes() == last_screen_;
        if (!video_.add_frame(screen, same, error)) return false;
        last_screen_ = session_.screen_changes();
    }
    ++frame_;
    next_frame_ = started_ + frame_ / o_.fps;
    return true;
}

bool PreviewRun::fly(double end, std::string* error) {
    bool frames = !o_.frames_dir.empty() || !o_.video.empty();
    Progress progress;
    while (true) {
        // Frames due by now show the panel as this cycle left it (frames
        // may come faster than the host's cycles).
        while (frames && session_.time() + 1e-9 >= next_frame_ && next_frame_ <= end + 1e-9)
            if (!write_frame(error)) return false;
        if (!picture_written_ && session_.time() + 1e-9 >= at_) {
            if (!stage_picture(o_.png, session_.screen(options_), error)) return false;
            picture_written_ = true;
        }
        if (session_.time() + 1e-9 >= end) break;
        if (!session_.run_to(scenario_, std::min(end, session_.time() + session_.host().seconds_per_cycle))) {
            *error = session_.scenario_error();
            return false;
        }
        if (!take_sound(error)) return false;
        progress.show(session_.time(), end, frames ? frame_ : -1);
    }
    progress.done();
    if (!picture_written_) {
        if (!stage_picture(o_.png, session_.screen(options_), error)) return false;
        picture_written_ = true;
    }
    return true;
}

bool PreviewRun::complete(std::string* error) {
    if (!stage_picture(o_.sheet, session_.contact_sheet(options_), error)) return false;
    session_.finish_log();
    if (!log_.close(error)) return false;
    if (!take_sound(error) || !sound_.finish(error)) return false;
    if (!o_.video.empty() && !video_.finish(error)) return false;
    return outputs_.commit(error);
}

void PreviewRun::report(const sim::SimHost& host) const {
    std::printf("panel at %.1f s: %s\n", std::min(at_, session_.time()), o_.png.c_str());
    std::printf("contact sheet of %zu gauges: %s\n", session_.gauges().size(), o_.sheet.c_str());
    if (!o_.frames_dir.empty()) std::printf("%d frames: %s\n", frame_, o_.frames_dir.c_str());
    if (!o_.video.empty())
        std::printf("video of %.1f s (%d frames at %g a second, %s): %s\n", session_.time(), frame_, o_.fps,
                    video_.video_codec().c_str(), o_.video.c_str());
    std::printf("log of key events and panel changes: %s\n", o_.log_file.c_str());
    std::printf("sound track of %.1f s%s: %s\n", sound_.seconds(), sound_.anything_played() ? "" : " (silent)",
                o_.sound.c_str());
    for (const sim::RenderProblem& p : session_.problems()) std::printf("warning: %s\n", p.text().c_str());
    for (const std::string& f : host.faults) std::printf("host fault: %s\n", f.c_str());
}

// How long the run goes: the whole scenario (its sound track, log and
// frames are whole), and on to the picture's moment if that comes later;
// never past an 'end' the scenario gives.
bool run_end(const Options& o, const sim::Scenario& scenario, double* end, std::string* error) {
    double at = o.at < 0 ? scenario.duration : o.at;
    if (scenario.has_end && at > scenario.duration + 1e-9) {
        char text[128];
        std::snprintf(text, sizeof text, "--at %g: after the scenario's end (%g s)", o.at, scenario.duration);
        *error = text;
        return false;
    }
    *end = std::max(at, scenario.duration);
    return true;
}

}  // namespace

namespace sim {

namespace {

int run_preview(int argc, char** argv, LiveServe serve, OutsideSimulation* outside);

}  // namespace

int run_preview_command(int argc, char** argv, LiveServe serve, OutsideSimulation* outside) {
    // The readers' bounds keep every run within memory; should the machine
    // have less than that, the run still ends with a message and no output.
    try {
        return run_preview(argc, argv, serve, outside);
    } catch (const std::bad_alloc&) {
        return fail("out of memory (no output was written)");
    }
}

namespace {

int run_preview(int argc, char** argv, LiveServe serve, OutsideSimulation* outside) {
    Options o;
    if (int rc = parse_options(argc, argv, &o, outside); rc >= 0) return rc;

    std::string error;
    sim::PanelLayout layout;
    bool ok = o.layout_file.empty() ? sim::parse_panel_layout(sim::kDefaultPanelLayout, "built-in panel", &layout, &error)
                                    : sim::load_panel_layout(o.layout_file, &layout, &error);
    if (!ok) return fail(error);
    sim::Scenario scenario;
    ok = o.scenario_file.empty() ? sim::parse_scenario(sim::kDefaultScenario, "built-in scenario", &scenario, &error)
                                 : sim::load_scenario(o.scenario_file, &scenario, &error);
    if (!ok) return fail(error);
    if (o.at < 0) o.at = o.scenario_file.empty() ? sim::kDefaultScenarioPictureTime : scenario.duration;
    double end;
    if (!run_end(o, scenario, &end, &error)) return fail(error);

    sim::SimHost host;
    std::vector<std::string> modules = o.modules.empty() ? sim::default_module_paths() : o.modules;
    for (const std::string& path : modules)
        if (!host.load_module(path, &error)) return fail(error);

    // An outside simulation stands behind the variables and key events
    // from the first placement on.
    sim::Simulation* outside_simulation = nullptr;
    if (outside && outside->chosen()) {
        outside_simulation = outside->open(&error);
        if (!outside_simulation) return fail(error);
        host.attach(outside_simulation);
    }
    struct Detach {
        sim::SimHost& host;
        ~Detach() { host.attach(nullptr); }
    } detach{host};

    sim::PanelSession session(host, layout, sim::module_bitmap_lookup(), /*fly=*/!outside_simulation);
    if (!session.place_all(o.layout_file.empty() ? "built-in panel" : o.layout_file, &error)) return fail(error);
    sim::RenderOptions options{.night = o.night};
    if (o.serve.port >= 0) {
        if (!serve) return fail("--serve: this build has no live panel");
        std::string serve_error;
        int rc = serve(session, scenario, options, o.serve, o.run_at_once, &serve_error);
        return rc == 0 ? 0 : fail(serve_error);
    }
    if (outside_simulation) {
        if (!make_folder(o.out_dir, &error)) return fail(error);
        std::string fly_error;
        int rc = outside->fly(session, options, o.png, o.log_file, &fly_error);
        return rc == 0 ? 0 : fail(fly_error);
    }

    if (!make_folder(o.out_dir, &error)) return fail(error);
    if (!o.frames_dir.empty() && !make_folder(o.frames_dir, &error)) return fail(error);
    PreviewRun run(o, session, scenario);
    if (!run.start(&error) || !run.fly(end, &error) || !run.complete(&error)) return fail(error);
    run.report(host);
    return 0;
}

}  // namespace

}  // namespace sim
