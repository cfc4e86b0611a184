// The live panel as a page sees it: the page files, the layout and bitmaps
// served once, the stream of drawn states with only what changed, clicks
// that come back as new states and sounds, tooltips in our own words, the
// panel windows shown and hidden, and the scenario run from its beginning.
#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "tests/web/live_client.h"
#include "web/help_texts.h"

namespace {

using live_test::ask;
using live_test::ServedPanel;
using live_test::StreamClient;

// The ADF radio beside its indicator at their own sizes, and the button
// that hides the main panel.
const char* const kLayout = R"([Window00]
size=700,308
gauge00=Morvane_Instr!Radio_ADF, 0, 0, 360
gauge01=Morvane_Instr!ADF_Indicator, 360, 0, 300
gauge02=Morvane_Instr!Landing_View_Toggle, 660, 0, 38
)";
constexpr const char* kMainSwitch = "x=276&y=254";  // the ADF main switch

size_t count_elements(const std::string& message) {
    size_t e = message.find("\"e\":["), end = message.find("],\"w\":");
    size_t n = 0;
    for (size_t at = e + 5; at < end; ++at)
        if (message[at] == '[' && (message[at - 1] == '[' || message[at - 1] == ',')) ++n;
    return n;
}

TEST(LivePanel, ServesThePageTheLayoutAndEveryBitmapItNames) {
    ServedPanel panel;
    ASSERT_TRUE(panel.place(kLayout)) << panel.error;
    const int port = panel.port();
    panel.with_client([&] {
        auto page = ask(port, "GET", "/");
        EXPECT_EQ(page.status, 200);
        EXPECT_NE(page.head.find("text/html"), std::string::npos);
        EXPECT_NE(page.body.find("<canvas id=\"panel\""), std::string::npos);
        auto script = ask(port, "GET", "/panel.js");
        EXPECT_EQ(script.status, 200);
        EXPECT_NE(script.body.find("openLiveStream"), std::string::npos);
        EXPECT_NE(ask(port, "GET", "/reconnect.js").body.find("new WebSocket"), std::string::npos);
        // What a home screen needs: the manifest under its own media type, the icons.
        auto manifest = ask(port, "GET", "/manifest.webmanifest");
        EXPECT_EQ(manifest.status, 200);
        EXPECT_NE(manifest.head.find("application/manifest+json"), std::string::npos);
        EXPECT_NE(manifest.body.find("\"/icon-512.png\""), std::string::npos);
        for (const char* icon : {"/icon-192.png", "/icon-512.png"}) {
            auto png = ask(port, "GET", icon);
            EXPECT_EQ(png.status, 200) << icon;
            EXPECT_NE(png.head.find("image/png"), std::string::npos) << icon;
            EXPECT_EQ(png.body.substr(1, 3), "PNG") << icon;
        }
        EXPECT_EQ(ask(port, "GET", "/panel.css").status, 200);
        EXPECT_EQ(ask(port, "GET", "/missing.js").status, 404);

        auto layout = ask(port, "GET", "/layout.json");
        ASSERT_EQ(layout.status, 200);
        for (const char* name : {"\"Radio_ADF\"", "\"ADF_Indicator\"", "\"Landing_View_Toggle\""})
            EXPECT_NE(layout.body.find(name), std::string::npos) << name;
        std::set<std::string> keys;
        std::regex key("\"([0-9]+/[0-9]+)\"");
        for (auto it = std::sregex_iterator(layout.body.begin(), layout.body.end(), key); it != std::sregex_iterator(); ++it)
            keys.insert((*it)[1]);
        EXPECT_GT(keys.size(), 10u);
        for (const std::string& k : keys) {
            auto png = ask(port, "GET", "/bitmap/" + k + ".png");
            EXPECT_EQ(png.status, 200) << k;
            EXPECT_EQ(png.body.substr(1, 3), "PNG") << k;
        }
        EXPECT_EQ(ask(port, "GET", "/bitmap/0/99999.png").status, 404);
    });
}

TEST(LivePanel, AClickComesBackAsNewStateASoundAndANewTooltip) {
    ServedPanel panel;
    ASSERT_TRUE(panel.place(kLayout)) << panel.error;
    const int port = panel.port();
    size_t all = 0;
    for (const sim::PlacedGauge& g : panel.session->gauges()) all += g.placement->element_count();
    panel.with_client([&] {
        StreamClient page(port);
        ASSERT_TRUE(page.open()) << page.handshake();
        std::string first = page.next();
        EXPECT_EQ(count_elements(first), all) << "a new page gets every element once";
        // Once the panel rests, a state carries only what changed.
        std::string quiet;
        ASSERT_TRUE(page.next_until([&](const std::string& m) { return count_elements(m) < all / 4; }, &quiet));

        EXPECT_NE(ask(port, "GET", std::string("/hover?") + kMainSwitch).body.find("\"Main switch (off)\""),
                  std::string::npos);
        auto down = ask(port, "POST", std::string("/mouse?kind=down&") + kMainSwitch);
        ASSERT_EQ(down.status, 200) << down.body;
        EXPECT_NE(down.body.find("\"taken\":true"), std::string::npos);
        uint64_t input = std::stoull(down.body.substr(down.body.find("\"input\":") + 8));
        EXPECT_EQ(ask(port, "POST", "/mouse?kind=up").status, 200);
        // The click sound (wave 30) and a state that has taken the click.
        std::string heard;
        EXPECT_TRUE(page.next_until([](const std::string& m) { return m.find("\"s\":[30") != std::string::npos; }, &heard));
        std::string taken;
        EXPECT_TRUE(page.next_until(
            [&](const std::string& m) { return std::stoull(m.substr(m.find("\"input\":") + 8)) >= input; }, &taken));
        EXPECT_NE(ask(port, "GET", std::string("/hover?") + kMainSwitch).body.find("\"Main switch (on)\""),
                  std::string::npos);
        auto wave = ask(port, "GET", "/wave/30.wav");
        EXPECT_EQ(wave.status, 200);
        EXPECT_EQ(wave.body.substr(0, 4), "RIFF");
    });
}

TEST(LivePanel, AHiddenMainPanelComesBackFromTheWindowList) {
    ServedPanel panel;
    ASSERT_TRUE(panel.place(kLayout)) << panel.error;
    const int port = panel.port();
    panel.with_client([&] {
        StreamClient page(port);
        ASSERT_TRUE(page.open());
        page.next();
        // The landing-view button hides the main panel (ident 0) ...
        ASSERT_EQ(ask(port, "POST", "/mouse?kind=down&x=670&y=10").status, 200);
        ask(port, "POST", "/mouse?kind=up");
        EXPECT_TRUE(page.next_until([](const std::string& m) { return m.find("\"w\":[[0,0]]") != std::string::npos; }));
        // ... and the page's window list shows it again.
        EXPECT_EQ(ask(port, "POST", "/window?ident=0&visible=1").status, 200);
        EXPECT_TRUE(page.next_until([](const std::string& m) { return m.find("\"w\":[[0,1]]") != std::string::npos; }));
        EXPECT_EQ(ask(port, "POST", "/window?ident=77&visible=1").status, 404);
        EXPECT_EQ(ask(port, "POST", "/window?ident=0&visible=maybe").status, 400);
    });
}

TEST(LivePanel, TooltipsOfHelpIdsAreOurOwnTexts) {
    // Every help id a gauge of the built-in panel shows has a text in the
    // one table, and the page gets that text, not the bare id.
    ServedPanel panel;
    ASSERT_TRUE(panel.place(sim::kDefaultPanelLayout)) << panel.error;
    std::map<uint32_t, std::string> missing;
    size_t ids = 0;
    for (const sim::PlacedGauge& g : panel.session->gauges()) {
        for (const MouseRect* r = g.placement->mouse_rects(); r && r->type != MOUSE_END; ++r) {
            if (!r->help_id || (r->type == MOUSE_TOOLTIP && r->text)) continue;
            ++ids;
            if (!sim::has_panel_help_text(r->help_id)) missing[r->help_id] = g.placement->name();
        }
    }
    EXPECT_GT(ids, 20u);
    for (auto& [id, gauge] : missing) ADD_FAILURE() << "no text for help id 0x" << std::hex << id << " of " << gauge;
    const int port = panel.port();
    panel.with_client([&] {
        auto airspeed = ask(port, "GET", "/hover?x=100&y=100");  // the airspeed dial
        EXPECT_NE(airspeed.body.find("\"tooltip\":\"Airspeed indicator\""), std::string::npos) << airspeed.body;
        auto gear = ask(port, "GET", "/hover?x=690&y=700");  // the gear lever
        EXPECT_NE(gear.body.find("\"tooltip\":\"Landing gear lever\""), std::string::npos) << gear.body;
    });
}

TEST(LivePanel, AnotherPartsRouteRunsOnThePanelThread) {
    ServedPanel panel;
    ASSERT_TRUE(panel.place(kLayout)) << panel.error;
    // A route of another room, as an aircraft's controls would add: it
    // sets a variable on the panel thread and answers with what it did.
    panel.server->add_route("POST", "/trim", [&](const std::map<std::string, std::string>& params) {
        double value = std::atof(params.count("value") ? params.at("value").c_str() : "0");
        panel.host.set_var(9999, value);  // a variable no aircraft keeps
        sim::HttpResponse r;
        r.body = "trim " + std::to_string(int(value));
        return r;
    });
    const int port = panel.port();
    panel.with_client([&] {
        auto set = ask(port, "POST", "/trim?value=3");
        EXPECT_EQ(set.status, 200);
        EXPECT_EQ(set.body, "trim 3");
        EXPECT_EQ(ask(port, "GET", "/trim?value=3").status, 404) << "the route takes POST only";
        EXPECT_EQ(ask(port, "POST", "/trim?value=%00").status, 400) << "its parameters are decoded strictly";
        EXPECT_EQ(ask(port, "POST", "/trim?value=4", "Origin: http://evil.example\r\n").status, 403);
        auto head = ask(port, "HEAD", "/layout.json");
        EXPECT_EQ(head.status, 200);
        EXPECT_TRUE(head.body.empty()) << "a HEAD request gets the head alone";
    });
    EXPECT_EQ(panel.host.var(9999), 3);
}

TEST(LivePanel, RunScenarioStartsAtItsBeginning) {
    ServedPanel panel;
    ASSERT_TRUE(panel.place(kLayout, "at 0 set 61 100\nat 3 set 61 20\nend 5\n")) << panel.error;
    // The panel has flown 4 s without the scenario ...
    for (int i = 0; i < 72; ++i) panel.session->cycle();
    EXPECT_EQ(panel.host.var(61), 0);
    // ... and the scenario starts at its own time 0, not at the host's 4 s.
    panel.session->restart_scenario();
    panel.session->play_cycle(panel.scenario);
    EXPECT_EQ(panel.host.var(61), 100);
    for (int i = 0; i < 50; ++i) panel.session->play_cycle(panel.scenario);
    EXPECT_EQ(panel.host.var(61), 100);  // 2.8 s into the scenario
    for (int i = 0; i < 5; ++i) panel.session->play_cycle(panel.scenario);
    EXPECT_EQ(panel.host.var(61), 20);
}

TEST(LivePanel, RunScenarioFromThePageRunsIt) {
    ServedPanel panel;
    ASSERT_TRUE(panel.place(kLayout, "at 0 set 61 100\nend 5\n")) << panel.error;
    const int port = panel.port();
    panel.with_client([&] {
        StreamClient page(port);
        ASSERT_TRUE(page.open());
        EXPECT_TRUE(page.next_until([](const std::string& m) { return m.find("\"running\":false") != std::string::npos; }));
        EXPECT_EQ(ask(port, "POST", "/scenario?run=1").status, 200);
        std::string started;
        EXPECT_TRUE(page.next_until([](const std::string& m) { return m.find("\"running\":true") != std::string::npos; }, &started));
        // A cycle of the scenario after it started.
        EXPECT_TRUE(page.next_until([&](const std::string& m) { return live_test::message_seq(m) > live_test::message_seq(started); }));
        EXPECT_EQ(ask(port, "POST", "/scenario?run=0").status, 200);
        EXPECT_TRUE(page.next_until([](const std::string& m) { return m.find("\"running\":false") != std::string::npos; }));
    });
    EXPECT_EQ(panel.host.var(61), 100);
}

}  // namespace
