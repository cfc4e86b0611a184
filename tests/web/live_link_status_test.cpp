// The live page shows how the simulation behind the panel is doing: with
// the FlightGear link attached, /state carries the link's status line and
// the page loads the script that shows it.
#include <gtest/gtest.h>

#include <httplib.h>

#include <chrono>
#include <thread>

#include "flightgear/flightgear_link.h"
#include "preview/panel_session.h"
#include "preview/preview_support.h"
#include "web/web_server.h"

TEST(LiveLinkStatus, StateCarriesTheLinkStatusLine) {
    sim::SimHost host;
    std::string error;
    ASSERT_NE(host.load_module(MORVANE_MODULE_PATH, &error), nullptr) << error;
    fg::LinkOptions options;
    options.listen = {"127.0.0.1", 0};
    fg::FlightGearLink link(options);
    ASSERT_TRUE(link.open(&error)) << error;
    host.attach(&link);
    sim::PanelLayout layout;
    ASSERT_TRUE(sim::parse_panel_layout("[Window00]\nsize=200,200\ngauge00=Morvane_Instr!Airspeed, 0, 0, 200\n",
                                        "link.cfg", &layout, &error))
        << error;
    sim::Scenario scenario;
    ASSERT_TRUE(sim::parse_scenario("end 1\n", "link.txt", &scenario, &error)) << error;
    sim::PanelSession session(host, layout, sim::module_bitmap_lookup(), /*fly=*/false);  // FlightGear flies it
    ASSERT_TRUE(session.place_all("link.cfg", &error)) << error;
    sim::PanelWebServer server(session, scenario, sim::RenderOptions{});
    ASSERT_TRUE(server.start(0, &error)) << error;
    std::string state, page, script;
    std::thread talker([&] {
        httplib::Client c("127.0.0.1", server.port());
        c.set_read_timeout(10, 0);
        // The status is taken on the panel thread's cycles.
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (state.find("FlightGear link") == std::string::npos && std::chrono::steady_clock::now() < deadline)
            if (auto r = c.Get("/state")) state = r->body;
        if (auto r = c.Get("/")) page = r->body;
        if (auto r = c.Get("/link.js")) script = r->body;
        server.stop();
    });
    server.run_panel(30);
    talker.join();
    host.attach(nullptr);
    EXPECT_NE(state.find("\"status\":\"FlightGear link: no data yet on 127.0.0.1:"), std::string::npos) << state;
    EXPECT_NE(page.find("<script src=\"/link.js\">"), std::string::npos);
    EXPECT_NE(script.find("/state"), std::string::npos);
}
