#include "programs/flightgear_panel.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "preview/image.h"

namespace sim {

namespace {

const char* const kFlightGearUsage =
    "  --flightgear      fly the panel from FlightGear: listen for the lines of its\n"
    "                    generic protocol (flightgear/protocol/morvane.xml) and send\n"
    "                    the panel's switches and levers back; with --serve, live in\n"
    "                    the browser, else the picture (--png) once a second\n"
    "  --fg-listen [ADDR:]PORT  where FlightGear's output arrives (default\n"
    "                    127.0.0.1:5500)\n"
    "  --fg-send [ADDR:]PORT    where FlightGear reads the panel's input lines\n"
    "                    (default 127.0.0.1:5501)\n"
    "  --fg-single-engine  a one-engine aircraft (the c172p): engine 2's gauges and\n"
    "                    levers show and move engine 1\n"
    "  --fg-flap-notches N  the aircraft's flap notches below up, 1 to 10 (default\n"
    "                    4, the panel's twin; the c172p has 3)\n"
    "  --fg-seconds N    without --serve: fly N seconds (default: until Ctrl-C)\n";

volatile std::sig_atomic_t g_stop = 0;

std::string time_stamp(double t) {
    char text[32];
    std::snprintf(text, sizeof text, "%8.2f s", t);
    return text;
}

}  // namespace

const char* FlightGearPanel::usage() const { return kFlightGearUsage; }

bool FlightGearPanel::take_option(int argc, char** argv, int* i, std::string* error) {
    std::string arg = argv[*i];
    auto value = [&](std::string* out) {
        if (*i + 1 >= argc) {
            *error = arg + " needs a value";
            return false;
        }
        *out = argv[++*i];
        return true;
    };
    std::string v;
    if (arg == "--flightgear") {
        enabled_ = true;
    } else if (arg == "--fg-single-engine") {
        link_options_.single_engine = true;
    } else if (arg == "--fg-flap-notches") {
        if (!value(&v)) return true;
        char* end = nullptr;
        long n = std::strtol(v.c_str(), &end, 10);
        if (v.empty() || *end || n < 1 || n > 10) *error = "--fg-flap-notches: not a number of notches from 1 to 10: " + v;
        else link_options_.flap_notches = static_cast<int>(n);
    } else if (arg == "--fg-listen" || arg == "--fg-send") {
        if (!value(&v)) return true;
        fg::Endpoint* e = arg == "--fg-listen" ? &link_options_.listen : &link_options_.send;
        std::string why;
        if (!fg::parse_endpoint(v, e, &why)) *error = arg + ": " + why;
    } else if (arg == "--fg-seconds") {
        if (!value(&v)) return true;
        char* end = nullptr;
        double s = std::strtod(v.c_str(), &end);
        if (v.empty() || *end || !(s > 0) || s > 1e6) *error = "--fg-seconds: not a number of seconds: " + v;
        else seconds_ = s;
    } else {
        return false;
    }
    return true;
}

Simulation* FlightGearPanel::open(std::string* error) {
    link_ = std::make_unique<fg::FlightGearLink>(link_options_);
    if (!link_->open(error)) {
        link_.reset();
        return nullptr;
    }
    return link_.get();
}

int FlightGearPanel::fly(PanelSession& session, const RenderOptions& options, const std::string& png,
                         const std::string& log_file, std::string* error) {
    if (!link_) {
        *error = "--flightgear: the link is not open";
        return 1;
    }
    const fg::FlightGearLink& link = *link_;
    const double seconds = seconds_;
    using clock = std::chrono::steady_clock;
    std::signal(SIGINT, [](int) { g_stop = 1; });
    std::signal(SIGTERM, [](int) { g_stop = 1; });
    std::vector<std::string> status_lines;
    auto period = std::chrono::duration<double>(session.host().seconds_per_cycle);
    auto begin = clock::now();
    double next_picture = 0, next_status = 0;
    std::printf("flying the panel from FlightGear: %s (Ctrl-C stops)\n", link.status().c_str());
    std::fflush(stdout);
    while (!g_stop) {
        auto start = clock::now();
        double elapsed = std::chrono::duration<double>(start - begin).count();
        if (seconds > 0 && elapsed >= seconds) break;
        session.cycle();
        if (elapsed >= next_picture) {
            // A whole picture or none: viewers never see half a file.
            if (!write_png(session.render(options), png + ".part", error)) return 1;
            if (std::rename((png + ".part").c_str(), png.c_str()) != 0) {
                *error = png + ": cannot write the panel picture";
                return 1;
            }
            // A second after this picture is written, however long it took:
            // the host cycles keep their pace in between.
            next_picture = std::chrono::duration<double>(clock::now() - begin).count() + 1;
        }
        if (elapsed >= next_status) {
            std::string line = link.status();
            std::printf("%s  %s\n", time_stamp(session.time()).c_str(), line.c_str());
            std::fflush(stdout);
            status_lines.push_back(time_stamp(session.time()) + "  " + line);
            next_status += 5;
        }
        std::this_thread::sleep_until(start + std::chrono::duration_cast<clock::duration>(period));
    }
    std::string last = link.status();
    status_lines.push_back(time_stamp(session.time()) + "  " + last);
    std::ofstream log(log_file);
    if (!log) {
        *error = log_file + ": cannot open for writing";
        return 1;
    }
    for (const std::string& l : session.log()) log << l << "\n";
    for (const std::string& l : status_lines) log << l << "\n";
    std::printf("%s\npanel: %s\nlog of key events and link status: %s\n", last.c_str(), png.c_str(),
                log_file.c_str());
    return 0;
}

}  // namespace sim
