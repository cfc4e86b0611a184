// Attacks on the live panel's server from the loopback address, each of
// which took today's server down or let another site drive the panel; after
// each the panel must keep serving.
#include <gtest/gtest.h>

#include <vector>

#include "tests/web/live_client.h"

namespace {

using live_test::ask;
using live_test::eventually;
using live_test::expect_still_serving;
using live_test::message_seq;
using live_test::ServedPanel;
using live_test::Socket;
using live_test::StreamClient;

const char* const kLayout = live_test::kRadioAndAirspeed;

TEST(LivePanelAttacks, ARequestThatGaveUpLeavesNoTaskOnADeadFrame) {
    // A valid layout with a large window, and three tooltip requests whose
    // clients give up before the panel thread comes to them. (The layout
    // reader bounds the screen, so no layout makes a still too large to
    // draw any more.)
    ServedPanel panel;
    ASSERT_TRUE(panel.place("[Window00]\nsize=4096,4096\ngauge00=Morvane_Instr!Airspeed, 0, 0, 300\n")) << panel.error;
    const int port = panel.port();
    {
        std::vector<std::unique_ptr<Socket>> quitters;
        for (int i = 0; i < 3; ++i) {
            quitters.push_back(std::make_unique<Socket>(port));
            ASSERT_TRUE(quitters.back()->send_all(live_test::request("GET", "/hover?x=150&y=150", port)));
        }
        ASSERT_TRUE(eventually([&] { return panel.server->tasks_waiting() == 3; }));
    }  // the three clients leave (a half-closed client would still be answered)
    panel.with_client([&] {
        // The panel thread has run the three tasks by the time it cycles;
        // their answers go nowhere and their connections close.
        ASSERT_TRUE(eventually([&] { return panel.server->cycles() >= 3; }));
        ASSERT_TRUE(eventually([&] { return panel.server->connections() == 0; }));
        expect_still_serving(port);
    });
}

TEST(LivePanelAttacks, TasksQueuedWhenTheServerStopsAnswerOrAreDropped) {
    auto panel = std::make_unique<ServedPanel>();
    ASSERT_TRUE(panel->place(kLayout)) << panel->error;
    const int port = panel->port();
    Socket waiting(port);
    ASSERT_TRUE(waiting.send_all(live_test::request("GET", "/hover?x=10&y=10", port)));
    ASSERT_TRUE(eventually([&] { return panel->server->tasks_waiting() == 1; }));
    panel.reset();  // the panel and its server go away with the task queued
    auto r = waiting.response();
    EXPECT_TRUE(r.status == 503 || r.status == 0) << r.status;
}

TEST(LivePanelAttacks, FiftyPagesAreServedAtOnce) {
    ServedPanel panel;
    ASSERT_TRUE(panel.place(kLayout)) << panel.error;
    const int port = panel.port();
    panel.with_client([&] {
        std::vector<std::unique_ptr<StreamClient>> pages;
        for (int i = 0; i < 50; ++i) {
            pages.push_back(std::make_unique<StreamClient>(port));
            ASSERT_TRUE(pages.back()->open()) << "page " << i << ": " << pages.back()->handshake();
        }
        // With fifty streams open, requests are still answered ...
        EXPECT_EQ(ask(port, "GET", "/state").status, 200);
        EXPECT_EQ(ask(port, "POST", "/var?token=61&value=120").status, 200);
        EXPECT_EQ(ask(port, "GET", "/hover?x=10&y=10").status, 200);
        // ... and every page receives the states that follow.
        uint64_t now = panel.server->cycles();
        for (size_t i = 0; i < pages.size(); ++i)
            EXPECT_TRUE(pages[i]->next_until([&](const std::string& m) { return message_seq(m) > now; })) << "page " << i;
        pages.clear();
        expect_still_serving(port);
    });
}

TEST(LivePanelAttacks, IdleAndSlowClientsStarveNobody) {
    ServedPanel panel;
    ASSERT_TRUE(panel.place(kLayout)) << panel.error;
    panel.server->limits().request_time = std::chrono::seconds(2);
    panel.server->limits().idle_time = std::chrono::seconds(3);
    const int port = panel.port();
    panel.with_client([&] {
        std::vector<std::unique_ptr<Socket>> idle, slow;
        for (int i = 0; i < 20; ++i) {
            idle.push_back(std::make_unique<Socket>(port));  // connects and says nothing
            slow.push_back(std::make_unique<Socket>(port));  // starts a request and never ends it
            ASSERT_TRUE(slow.back()->send_all("GET /state HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) + "\r\nX-Slow: "));
        }
        ASSERT_TRUE(eventually([&] { return panel.server->connections() >= 40; }));
        // Everyone else is served meanwhile.
        expect_still_serving(port);
        EXPECT_EQ(ask(port, "GET", "/state").status, 200);
        // The slow ones are told their time is up, the idle ones let go.
        for (auto& s : slow) {
            auto r = s->response();
            EXPECT_EQ(r.status, 408);
        }
        for (auto& s : idle) EXPECT_TRUE(s->closed_by_server());
        expect_still_serving(port);
    });
}

TEST(LivePanelAttacks, AFullServerMakesRoomByLettingTheLongestIdleGo) {
    ServedPanel panel;
    ASSERT_TRUE(panel.place(kLayout)) << panel.error;
    panel.server->limits().max_connections = 12;
    const int port = panel.port();
    panel.with_client([&] {
        std::vector<std::unique_ptr<Socket>> idle;
        for (int i = 0; i < 12; ++i) idle.push_back(std::make_unique<Socket>(port));
        ASSERT_TRUE(eventually([&] { return panel.server->connections() == 12; }));
        // A page still gets its answers; the first idle connection made room.
        EXPECT_EQ(ask(port, "GET", "/state").status, 200);
        EXPECT_TRUE(idle.front()->closed_by_server());
        expect_still_serving(port);
    });
}

TEST(LivePanelAttacks, ForeignHostsAndOriginsAreRefused) {
    ServedPanel panel;
    ASSERT_TRUE(panel.place(kLayout)) << panel.error;
    const int port = panel.port();
    const std::string p = std::to_string(port);
    panel.with_client([&] {
        auto raw = [&](const std::string& text) {
            Socket s(port);
            s.send_all(text);
            return s.response();
        };
        // A name of another site pointed at 127.0.0.1 (DNS rebinding).
        auto rebound = raw("GET /state HTTP/1.1\r\nHost: evil.example:" + p + "\r\n\r\n");
        EXPECT_EQ(rebound.status, 421);
        EXPECT_NE(rebound.body.find("evil.example"), std::string::npos);
        EXPECT_EQ(raw("GET /layout.json HTTP/1.1\r\nHost: 127.0.0.1:1\r\n\r\n").status, 421);
        EXPECT_EQ(raw("GET /state HTTP/1.1\r\n\r\n").status, 400);
        EXPECT_EQ(raw("GET /state HTTP/1.1\r\nHost: localhost:" + p + "\r\n\r\n").status, 200);
        // Changes from another site's page: a fetch, a plain form post, and
        // a stream opened from there.
        EXPECT_EQ(ask(port, "POST", "/var?token=61&value=5", "Origin: http://evil.example\r\n").status, 403);
        EXPECT_EQ(ask(port, "POST", "/mouse?kind=down&x=276&y=254", "Origin: null\r\n").status, 403);
        EXPECT_EQ(ask(port, "POST", "/var", "Content-Type: application/x-www-form-urlencoded\r\n", "token=61&value=5").status, 415);
        EXPECT_EQ(ask(port, "POST", "/scenario?run=1", "Sec-Fetch-Site: cross-site\r\n").status, 403);
        EXPECT_EQ(ask(port, "GET", "/var?token=61&value=5").status, 405);
        StreamClient foreign(port, "http://evil.example");
        EXPECT_FALSE(foreign.open());
        EXPECT_NE(foreign.handshake().find(" 403 "), std::string::npos) << foreign.handshake();
        // The panel's own page may.
        EXPECT_EQ(ask(port, "POST", "/var?token=61&value=7", "Origin: http://127.0.0.1:" + p + "\r\n").status, 200);
        StreamClient own(port, "http://127.0.0.1:" + p);
        EXPECT_TRUE(own.open());
        expect_still_serving(port);
    });
    EXPECT_EQ(panel.host.var(61), 7);
}

TEST(LivePanelAttacks, ASecondServerOnThePortIsAClearError) {
    ServedPanel first;
    ASSERT_TRUE(first.place(kLayout)) << first.error;
    const int port = first.port();
    sim::PanelWebServer again(*first.session, first.scenario, {});
    std::string error;
    EXPECT_FALSE(again.start(port, &error));
    EXPECT_EQ(error, "127.0.0.1:" + std::to_string(port) + " is already in use (is another live panel or program listening there?)");
    first.with_client([&] { expect_still_serving(port); });
}

TEST(LivePanelAttacks, MalformedValuesAreErrorsNotNumbers) {
    ServedPanel panel;
    ASSERT_TRUE(panel.place(kLayout)) << panel.error;
    const int port = panel.port();
    struct Bad {
        const char* method;
        const char* target;
        int status;
        const char* says;
    };
    const std::vector<Bad> bad = {
        {"POST", "/var?token=61&value=%00", 400, "'value' is malformed"},
        {"POST", "/var?token=61&value=1%00", 400, "'value' is malformed"},
        {"POST", "/var?token=6%001&value=1", 400, "'token' is malformed"},
        {"POST", "/var?token=61&value=%zz", 400, "'value' is malformed"},
        {"POST", "/var?token=61&value=%4", 400, "'value' is malformed"},
        {"POST", "/var?token=61&value=+5", 400, "'value' must be a finite number"},
        {"POST", "/var?token=61&value=nan", 400, "'value' must be a finite number"},
        {"POST", "/var?token=61&value=1e999", 400, "'value' must be a finite number"},
        {"POST", "/var?token=61&token=62&value=1", 400, "'token' given twice"},
        {"POST", "/var?token=0&value=1", 400, "'token' must be a whole number from 1"},
        {"POST", "/mouse?kind=down&x=1.5&y=1", 400, "'x' must be a whole number"},
        {"POST", "/mouse?kind=down&x=99999999999999999999&y=1", 400, "'x' must be a whole number"},
        {"POST", "/mouse?kind=down&x=660&y=1", 400, "'x' must be a whole number from 0 to 659"},
        {"POST", "/mouse?kind=down&x=1", 400, "missing parameter 'y'"},
        {"POST", "/mouse?kind=explode", 400, "'kind' must be one of: down, move, up"},
        {"POST", "/mouse?kind=down&x=1&y=1&button=middle", 400, "'button' must be one of: left, right"},
        {"GET", "/hover?x=%0a&y=1", 400, "'x' is malformed"},
        {"GET", "/wave/65566.wav", 400, "ID a whole number from 1 to 65535"},
        {"GET", "/wave/0.wav", 400, "ID a whole number from 1 to 65535"},
        {"GET", "/wave/30.wav.wav", 400, "ID a whole number"},
        {"GET", "/wave/9999.wav", 404, "no wave 9999"},
        {"GET", "/nothing/here", 404, "no such page: /nothing/here"},
        {"DELETE", "/state", 405, "method DELETE is not served"},
    };
    panel.with_client([&] {
        for (const Bad& b : bad) {
            SCOPED_TRACE(b.target);
            auto r = ask(port, b.method, b.target);
            EXPECT_EQ(r.status, b.status) << r.body;
            EXPECT_NE(r.body.find(b.says), std::string::npos) << r.body;
        }
        auto huge = ask(port, "POST", "/var?token=61&value=1", "Content-Length: 1048576\r\n");
        EXPECT_EQ(huge.status, 413);
        auto wave = ask(port, "GET", "/wave/30.wav");
        EXPECT_EQ(wave.status, 200);
        expect_still_serving(port);
    });
    EXPECT_EQ(panel.host.var(61), 0) << "no malformed value reached the simulator";
    EXPECT_TRUE(panel.host.faults.empty());
}

}  // namespace
