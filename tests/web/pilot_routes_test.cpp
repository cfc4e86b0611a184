// The pilot's controls in the live panel: the aircraft's table of controls
// and its figures as JSON, a control set through the panel thread, and
// clear errors for anything out of the table or its range.
#include <gtest/gtest.h>

#include <httplib.h>

#include <thread>

#include "aircraft/pilot_controls.h"
#include "preview/panel_session.h"
#include "preview/preview_support.h"
#include "web/web_server.h"

namespace {

class PilotRoutesTest : public ::testing::Test {
protected:
    void start(bool fly) {
        std::string error;
        ASSERT_NE(host.load_module(MORVANE_MODULE_PATH, &error), nullptr) << error;
        ASSERT_TRUE(sim::parse_panel_layout("[Window00]\nsize=200,200\ngauge00=Morvane_Instr!Tachometer, 0, 0, 200\n",
                                            "pilot.cfg", &layout, &error))
            << error;
        ASSERT_TRUE(sim::parse_scenario("end 5\n", "pilot.txt", &scenario, &error)) << error;
        session = std::make_unique<sim::PanelSession>(host, layout, sim::module_bitmap_lookup(), fly);
        ASSERT_TRUE(session->place_all("pilot.cfg", &error)) << error;
        server = std::make_unique<sim::PanelWebServer>(*session, scenario, sim::RenderOptions{});
        ASSERT_TRUE(server->start(0, &error)) << error;
    }

    void with_client(std::function<void(httplib::Client&)> client) {
        std::thread talker([&] {
            httplib::Client c("127.0.0.1", server->port());
            c.set_read_timeout(10, 0);
            client(c);
            server->stop();
        });
        server->run_panel(30);
        talker.join();
    }

    sim::SimHost host;
    sim::PanelLayout layout;
    sim::Scenario scenario;
    std::unique_ptr<sim::PanelSession> session;
    std::unique_ptr<sim::PanelWebServer> server;
};

TEST_F(PilotRoutesTest, ControlsAndFiguresAsJsonAndAControlSetOnThePanel) {
    start(true);
    with_client([&](httplib::Client& c) {
        auto page = c.Get("/");
        ASSERT_TRUE(page);
        EXPECT_NE(page->body.find("<script src=\"/pilot.js\">"), std::string::npos);
        auto script = c.Get("/pilot.js");
        ASSERT_TRUE(script);
        EXPECT_EQ(script->status, 200);
        auto pilot = c.Get("/pilot");
        ASSERT_TRUE(pilot);
        EXPECT_EQ(pilot->status, 200);
        EXPECT_NE(pilot->body.find("{\"name\":\"throttle\",\"label\":\"Throttle\",\"unit\":\"\",\"min\":0,\"max\":1,"
                                   "\"step\":0.05,\"key_up\":\"q\",\"key_down\":\"a\",\"value\":0}"),
                  std::string::npos)
            << pilot->body;
        EXPECT_NE(pilot->body.find("{\"name\":\"airspeed\",\"label\":\"Airspeed\",\"unit\":\"km/h\",\"value\":0,"
                                   "\"text\":\"0 km/h\"}"),
                  std::string::npos)
            << pilot->body;
        auto set = c.Post("/pilot?name=throttle&value=0.75");
        ASSERT_TRUE(set);
        EXPECT_EQ(set->status, 200);
        auto again = c.Get("/pilot");
        ASSERT_TRUE(again);
        EXPECT_NE(again->body.find("\"key_down\":\"a\",\"value\":0.75}"), std::string::npos) << again->body;
    });
    EXPECT_EQ(session->aircraft()->state().engine[1].throttle, 0.75);
}

TEST_F(PilotRoutesTest, BadControlsAndValuesAreRefused) {
    start(true);
    struct Bad {
        std::string path;
        const char* says;
    };
    const std::vector<Bad> bad = {
        {"/pilot?name=rudder&value=1", "'name' must be a pilot control, got 'rudder'"},
        {"/pilot?value=1", "'name' must be a pilot control, got ''"},
        {"/pilot?name=throttle&value=1.5", "'value' of throttle must be a number from 0 to 1"},
        {"/pilot?name=bank&value=-46", "'value' of bank must be a number from -45 to 45"},
        {"/pilot?name=pitch&value=nan", "'value' of pitch must be a number from -15 to 20"},
        {"/pilot?name=pitch&value=", "'value' of pitch must be a number"},
        {"/pilot?name=pitch&value=3x", "'value' of pitch must be a number"},
    };
    with_client([&](httplib::Client& c) {
        for (const Bad& b : bad) {
            SCOPED_TRACE(b.path);
            auto res = c.Post(b.path.c_str());
            ASSERT_TRUE(res);
            EXPECT_EQ(res->status, 400);
            EXPECT_NE(res->body.find(b.says), std::string::npos) << res->body;
        }
    });
    EXPECT_EQ(session->aircraft()->state().engine[0].throttle, 0);
}

TEST_F(PilotRoutesTest, APanelWithoutAnAircraftSaysSo) {
    start(false);
    with_client([&](httplib::Client& c) {
        auto get = c.Get("/pilot");
        ASSERT_TRUE(get);
        EXPECT_EQ(get->status, 404);
        EXPECT_NE(get->body.find("this panel flies no aircraft"), std::string::npos);
        auto post = c.Post("/pilot?name=throttle&value=1");
        ASSERT_TRUE(post);
        EXPECT_EQ(post->status, 404);
        // The checklist and the reset too, in JSON as the page reads them.
        auto list = c.Get("/checklist");
        ASSERT_TRUE(list);
        EXPECT_EQ(list->status, 404);
        EXPECT_EQ(list->body, "{\"error\":\"this panel flies no aircraft\"}");
        auto reset = c.Post("/reset");
        ASSERT_TRUE(reset);
        EXPECT_EQ(reset->status, 404);
        EXPECT_EQ(reset->body, "{\"error\":\"this panel flies no aircraft\"}");
    });
}

// The text of a read-back, from the /pilot answer.
std::string readback(const std::string& body, const std::string& name) {
    size_t at = body.find("{\"name\":\"" + name + "\"");
    if (at == std::string::npos) return "(no " + name + ")";
    size_t text = body.find("\"text\":\"", at) + 8, end = body.find('"', text);
    return body.substr(text, end - text);
}

TEST_F(PilotRoutesTest, ReadBacksInWordsAndUnitsAndAThrottlePerEngine) {
    start(true);
    std::string cold;
    with_client([&](httplib::Client& c) {
        cold = c.Get("/pilot")->body;
        // Engine 1's throttle alone, then both.
        EXPECT_EQ(c.Post("/pilot?name=throttle1&value=0.6")->status, 200);
        EXPECT_EQ(c.Post("/pilot?name=throttle2&value=0.2")->status, 200);
        auto after = c.Get("/pilot")->body;
        EXPECT_NE(after.find("\"name\":\"throttle1\",\"label\":\"Throttle 1\""), std::string::npos) << after;
        EXPECT_NE(after.find("\"key_down\":\"\",\"value\":0.6}"), std::string::npos) << after;
        EXPECT_NE(after.find("\"key_down\":\"\",\"value\":0.2}"), std::string::npos) << after;
        EXPECT_EQ(c.Post("/pilot?name=throttle2&value=1.5")->status, 400);
    });
    EXPECT_EQ(session->aircraft()->state().engine[0].throttle, 0.6);
    EXPECT_EQ(session->aircraft()->state().engine[1].throttle, 0.2);
    EXPECT_EQ(readback(cold, "gear"), "gear down and locked");
    EXPECT_EQ(readback(cold, "on_ground"), "on the ground");
    EXPECT_EQ(readback(cold, "stall"), "no stall warning");
    EXPECT_EQ(readback(cold, "flaps"), "flaps up");
    EXPECT_EQ(readback(cold, "rpm1"), "stopped");
    EXPECT_EQ(readback(cold, "heading"), "360\u00B0") << "parked nose north";
    // Parked 150 m east and 90 m south of runway 27's threshold: 175 m
    // away, north-west of the aircraft.
    EXPECT_EQ(readback(cold, "runway"), "runway 27: 270\u00B0, threshold 170 m at 301\u00B0");

    // In the air, with the gear on its way up and a stall coming (the
    // same table the route answers from).
    aircraft::State s = session->aircraft()->state();
    s.flight.on_ground = false;
    s.flight.stalled = true;
    s.gear_handle_down = false;
    s.gear_left = 0.5;
    s.flaps = 0.25;
    s.flight.height_m = 304.8;
    s.flight.vertical_ms = -2.54;
    s.flight.east_m = 3000;
    s.flight.north_m = 0;
    auto text = [&](const char* name) {
        for (const aircraft::PilotReadout& r : aircraft::pilot_readouts())
            if (std::string(r.name) == name) return r.text(s);
        return std::string("(no ") + name + ")";
    };
    EXPECT_EQ(text("gear"), "gear in transit");
    EXPECT_EQ(text("on_ground"), "airborne");
    EXPECT_EQ(text("stall"), "stall warning");
    EXPECT_EQ(text("flaps"), "flaps 10\xB0");
    EXPECT_EQ(text("altitude"), "1000 ft");
    EXPECT_EQ(text("vertical_speed"), "-500 ft/min");
    EXPECT_EQ(text("runway"), "") << "said only on the ground";
    // Back on the ground 3 km out on the centre line: kilometres.
    s.flight.on_ground = true;
    EXPECT_EQ(text("runway"), "runway 27: 270\xB0, threshold 3.0 km at 270\xB0");
}

}  // namespace
