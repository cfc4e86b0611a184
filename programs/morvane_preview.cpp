// morvane-preview: the previewer's command line with the live panel behind
// --serve.
#include <csignal>
#include <cstdio>

#include "preview/preview_cli.h"
#include "web/web_server.h"

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

// The live panel until Ctrl-C (or SIGTERM).
int serve(sim::PanelSession& session, const sim::Scenario& scenario, sim::RenderOptions options, int port,
          bool run_scenario, std::string* error) {
    sim::PanelWebServer server(session, scenario, options);
    if (!server.start(port, error)) return 1;
    if (run_scenario) server.run_scenario();
    std::signal(SIGINT, [](int) { g_interrupted = 1; });
    std::signal(SIGTERM, [](int) { g_interrupted = 1; });
    std::printf("live panel: http://127.0.0.1:%d/\n", server.port());
    std::fflush(stdout);
    server.run_panel(0, &g_interrupted);
    server.stop();
    return 0;
}

}  // namespace

int main(int argc, char** argv) { return sim::run_preview_command(argc, argv, serve); }
