// The live panel's stream under a page that stops reading: the others go
// on receiving every state, and the stuck page, when it reads again, is
// brought to the newest state at once instead of through every state it
// missed.
#include <gtest/gtest.h>

#include <atomic>
#include <map>

#include "tests/web/live_client.h"
#include "web/http_server.h"

namespace {

// A state message large enough that a few fill the sockets' buffers.
constexpr size_t kMessageBytes = 1 << 20;

int state_number(const std::string& m) { return std::atoi(m.c_str() + 2); }

TEST(LivePanelStream, ASlowPageSkipsStatesAndStallsNoOne) {
    sim::HttpServer server;
    std::atomic<int> latest{0};
    std::map<uint64_t, int> sent;  // server thread only
    sim::HttpServer::Stream stream;
    stream.next = [&](uint64_t client, std::string* message) {
        int n = latest.load();
        if (sent.count(client) && sent[client] == n) return false;
        sent[client] = n;
        *message = "n=" + std::to_string(n) + ";" + std::string(kMessageBytes, '.');
        return true;
    };
    server.set_stream("/live", stream);
    server.set_handler([](const sim::HttpRequest&, sim::Reply reply) { reply.send(sim::error_response(404, "none")); });
    std::string error;
    ASSERT_TRUE(server.start(0, &error)) << error;

    live_test::StreamClient stuck(server.port()), page(server.port());
    ASSERT_TRUE(stuck.open());
    ASSERT_TRUE(page.open());
    // The handshake's accept key for the well-known sample key.
    EXPECT_NE(page.handshake().find("Sec-WebSocket-Accept: s3pPLMBiTxaQ9kYGzzhZRbK+xOo="), std::string::npos);
    const int states = 60;
    for (int i = 1; i <= states; ++i) {
        latest = i;
        server.notify_stream();
        ASSERT_TRUE(page.next_until([&](const std::string& m) { return state_number(m) == i; })) << "state " << i;
    }
    // The stuck page reads again: it reaches the last state having skipped
    // most of those it missed.
    int read = 0;
    ASSERT_TRUE(stuck.next_until([&](const std::string& m) {
        ++read;
        return state_number(m) == states;
    }));
    EXPECT_LT(read, states / 2) << "the stuck page was sent every state it missed";
    server.stop();
}

}  // namespace
