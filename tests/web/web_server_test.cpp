// The live panel server answers bad requests with a clear error and keeps
// serving the panel.
#include <gtest/gtest.h>

#include <httplib.h>

#include <atomic>
#include <thread>

#include "preview/panel_session.h"
#include "preview/preview_support.h"
#include "web/web_server.h"

namespace {

const char* const kLayout = R"([Window00]
size=400,300
gauge00=Morvane_Instr!Airspeed, 0, 0, 200
gauge01=Morvane_Instr!Radio_ADF, 200, 0, 200
)";

class WebServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_NE(host.load_module(MORVANE_MODULE_PATH, &error), nullptr) << error;
        ASSERT_TRUE(sim::parse_panel_layout(kLayout, "web.cfg", &layout, &error)) << error;
        ASSERT_TRUE(sim::parse_scenario("at 0 set 61 100\nend 5\n", "web.txt", &scenario, &error)) << error;
        session = std::make_unique<sim::PanelSession>(host, layout, sim::module_bitmap_lookup());
        ASSERT_TRUE(session->place_all("web.cfg", &error)) << error;
        server = std::make_unique<sim::PanelWebServer>(*session, scenario, sim::RenderOptions{});
        ASSERT_TRUE(server->start(0, &error)) << error;
    }

    // Runs the panel on this thread while `client` talks to the server.
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

TEST_F(WebServerTest, ServesThePageFramesAndTooltips) {
    with_client([&](httplib::Client& c) {
        auto page = c.Get("/");
        ASSERT_TRUE(page);
        EXPECT_EQ(page->status, 200);
        EXPECT_NE(page->get_header_value("Content-Type").find("text/html"), std::string::npos);
        EXPECT_NE(page->body.find("<script src=\"/panel.js\">"), std::string::npos);
        auto script = c.Get("/panel.js");
        ASSERT_TRUE(script);
        EXPECT_EQ(script->status, 200);
        EXPECT_NE(script->get_header_value("Content-Type").find("javascript"), std::string::npos);
        EXPECT_NE(script->body.find("EventSource(\"/events\")"), std::string::npos);
        auto style = c.Get("/panel.css");
        ASSERT_TRUE(style);
        EXPECT_NE(style->get_header_value("Content-Type").find("text/css"), std::string::npos);
        auto missing = c.Get("/missing.js");
        ASSERT_TRUE(missing);
        EXPECT_EQ(missing->status, 404);
        auto frame = c.Get("/frame.png");
        ASSERT_TRUE(frame);
        EXPECT_EQ(frame->status, 200);
        EXPECT_EQ(frame->body.substr(1, 3), "PNG");
        auto hover = c.Get("/hover?x=100&y=100");
        ASSERT_TRUE(hover);
        EXPECT_EQ(hover->status, 200);
        EXPECT_NE(hover->body.find("\"tooltip\":"), std::string::npos);
        auto set = c.Post("/var?token=61&value=150");
        ASSERT_TRUE(set);
        EXPECT_EQ(set->status, 200);
    });
    EXPECT_EQ(host.var(61), 150);
    EXPECT_GT(server->frames(), 1u);
}

TEST_F(WebServerTest, BadRequestsGetAnErrorAndThePanelGoesOn) {
    struct Bad {
        const char* method;
        std::string path;
        int status;
        const char* says;
    };
    const std::vector<Bad> bad = {
        {"GET", "/nothing/here", 404, "no such page: /nothing/here"},
        {"GET", "/../../etc/passwd", 404, "no such page"},
        {"POST", "/mouse?kind=explode&x=1&y=1", 400, "'kind' must be down, move or up"},
        {"POST", "/mouse?kind=down&x=-5&y=1", 400, "'x' must be a whole number from 0 to 399"},
        {"POST", "/mouse?kind=down&x=400&y=1", 400, "'x' must be a whole number from 0 to 399"},
        {"POST", "/mouse?kind=down&x=99999999999999999999&y=1", 400, "'x' must be a whole number"},
        {"POST", "/mouse?kind=down&x=1.5&y=1", 400, "'x' must be a whole number"},
        {"POST", "/mouse?kind=down&x=1", 400, "missing parameter 'y'"},
        {"POST", "/mouse?kind=down&x=1&y=1&button=middle", 400, "'button' must be left or right"},
        {"GET", "/hover?x=abc&y=1", 400, "'x' must be a whole number"},
        {"POST", "/var?token=61&value=nan", 400, "'value' must be a finite number"},
        {"POST", "/var?token=0&value=1", 400, "'token' must be a whole number from 1"},
        {"POST", "/scenario?run=maybe", 400, "'run' must be 1 or 0"},
        {"GET", "/wave/99999.wav", 404, "no wave 99999"},
    };
    with_client([&](httplib::Client& c) {
        for (const Bad& b : bad) {
            SCOPED_TRACE(b.path);
            auto res = std::string(b.method) == "GET" ? c.Get(b.path.c_str()) : c.Post(b.path.c_str());
            ASSERT_TRUE(res);
            EXPECT_EQ(res->status, b.status);
            EXPECT_NE(res->body.find(b.says), std::string::npos) << res->body;
        }
        // A body far over the limit is refused whole.
        auto huge = c.Post("/var?token=61&value=1", std::string(1 << 20, 'x'), "text/plain");
        ASSERT_TRUE(huge);
        EXPECT_EQ(huge->status, 413);
        // And the panel is still served, with new frames.
        uint64_t before = server->frames();
        for (int i = 0; i < 200 && server->frames() == before; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        auto frame = c.Get("/frame.png");
        ASSERT_TRUE(frame);
        EXPECT_EQ(frame->status, 200);
        EXPECT_GT(server->frames(), before);
    });
    EXPECT_TRUE(host.faults.empty());
}

}  // namespace
