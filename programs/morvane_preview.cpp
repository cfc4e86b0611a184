// morvane-preview: the previewer's command line with the live panel behind
// --serve and FlightGear behind --flightgear.
#include <sys/resource.h>

#include <csignal>
#include <cstdio>

#include "preview/preview_cli.h"
#include "programs/flightgear_panel.h"
#include "web/web_server.h"

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

// The live panel until Ctrl-C (or SIGTERM).
int serve(sim::PanelSession& session, const sim::Scenario& scenario, sim::RenderOptions options,
          const sim::ServeOptions& where, bool run_scenario, std::string* error) {
    // Every connection is a file: as many as the system lets this program
    // have (the server also copes when they run out).
    rlimit files{};
    if (getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
        files.rlim_cur = files.rlim_max;
        setrlimit(RLIMIT_NOFILE, &files);
    }
    sim::PanelWebServer server(session, scenario, options);
    if (!server.start(where, error)) return 1;
    if (run_scenario) server.run_scenario();
    std::signal(SIGINT, [](int) { g_interrupted = 1; });
    std::signal(SIGTERM, [](int) { g_interrupted = 1; });
    const sim::PanelAccess& access = server.access();
    if (!access.keyed()) {
        std::printf("live panel: http://%s:%d/\n", where.address.find(':') != std::string::npos
                                                        ? ("[" + where.address + "]").c_str()
                                                        : where.address.c_str(),
                    server.port());
    } else {
        std::printf("live panel, open to the network %s: only with its key\n",
                    access.control_key().empty() ? "to watch (view only)" : "");
        auto urls = access.urls();
        for (const std::string& url : urls) std::printf("  %s\n", url.c_str());
        if (!access.control_key().empty())
            std::printf("view-only key (watch, no clicks): ?key=%s\n", access.view_key().c_str());
        // The first address off this machine, for a tablet's camera.
        for (const std::string& url : urls)
            if (url.find("//127.") == std::string::npos && url.find("//[::1]") == std::string::npos) {
                std::printf("%s", sim::terminal_qr(url).c_str());
                break;
            }
    }
    std::fflush(stdout);
    server.run_panel(0, &g_interrupted);
    server.stop();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    sim::FlightGearPanel flightgear;
    return sim::run_preview_command(argc, argv, serve, &flightgear);
}
