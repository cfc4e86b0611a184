// The live panel's server against clients that never read, pages of other
// sites, hostile values and requests no well-kept parser lets pass, all
// from the loopback address, each bounded in time: after each the panel
// keeps serving everyone else.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <vector>

#include "tests/web/live_client.h"
#include "web/access.h"

namespace {

using live_test::ask;
using live_test::eventually;
using live_test::expect_still_serving;
using live_test::client_frame;
using live_test::message_seq;
using live_test::held_bytes;
using live_test::ServedPanel;
using live_test::Socket;
using live_test::StreamClient;

const char* const kLayout = live_test::kRadioAndAirspeed;

constexpr size_t kMiB = 1 << 20;

// Sends `unit` again and again without reading, until the server stops
// taking bytes (its buffers and ours are full) or `most` bytes went out.
size_t flood(Socket& s, const std::string& unit, size_t most) {
    size_t sent = 0;
    auto quiet_since = std::chrono::steady_clock::now();
    while (sent < most) {
        ssize_t n = ::send(s.fd(), unit.data(), unit.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            sent += size_t(n);
            quiet_since = std::chrono::steady_clock::now();
            if (size_t(n) < unit.size() && !s.send_all(unit.substr(size_t(n)))) break;
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) break;  // dropped by the server
        // The server has not read for a second: it reads no more.
        if (std::chrono::steady_clock::now() - quiet_since > std::chrono::seconds(1)) break;
        std::this_thread::yield();
    }
    return sent;
}

TEST(LivePanelLimits, AClientThatPipelinesAndNeverReadsHoldsOnlyItsOwnAnswer) {
    ServedPanel panel;
    ASSERT_TRUE(panel.place(kLayout)) << panel.error;
    panel.server->limits().write_time = std::chrono::seconds(2);
    const int port = panel.port();
    panel.with_client([&] {
        ASSERT_EQ(ask(port, "GET", "/layout.json").status, 200);  // the first answer's memory is there
        const size_t before = held_bytes();
        Socket greedy(port);
        std::string unit;
        for (int i = 0; i < 64; ++i) unit += live_test::request("GET", "/layout.json", port);
        size_t sent = flood(greedy, unit, 64 * kMiB);
        EXPECT_GT(sent, 0u);
        // Others are answered meanwhile, and the server holds no pile of
        // answers for the greedy client.
        EXPECT_EQ(ask(port, "GET", "/state").status, 200);
        expect_still_serving(port);
        const size_t after = held_bytes();
        EXPECT_LT(after, before + 8 * kMiB) << "grew by " << (after - before) / kMiB << " MiB for " << sent << " bytes of requests";
        // It is let go once an answer has waited on it past the write time.
        ASSERT_TRUE(eventually([&] { return panel.server->connections() == 0; }));
    });
}

TEST(LivePanelLimits, PingsWhosePongsAreNeverReadAreNotAnsweredWithoutEnd) {
    ServedPanel panel;
    ASSERT_TRUE(panel.place(kLayout)) << panel.error;
    panel.server->limits().write_time = std::chrono::seconds(2);
    const int port = panel.port();
    panel.with_client([&] {
        StreamClient warm(port);
        ASSERT_TRUE(warm.open());
        ASSERT_FALSE(warm.next().empty());
        const size_t before = held_bytes();
        StreamClient pinger(port);
        ASSERT_TRUE(pinger.open()) << pinger.handshake();
        std::string pings;
        for (int i = 0; i < 256; ++i) pings += client_frame(0x89, std::string(125, 'p'));
        size_t sent = flood(pinger.socket(), pings, 200 * kMiB);
        EXPECT_GT(sent, 0u);
        EXPECT_LT(sent, 64 * kMiB) << "the server went on reading pings it could not answer";
        expect_still_serving(port);
        const size_t after = held_bytes();
        EXPECT_LT(after, before + 8 * kMiB) << "grew by " << (after - before) / kMiB << " MiB";
        ASSERT_TRUE(eventually([&] { return panel.server->connections() <= 1; }));
    });
}

TEST(LivePanelLimits, FiveHundredStreamsThatNeverReadLockNobodyOut) {
    rlimit files{};
    getrlimit(RLIMIT_NOFILE, &files);
    if (files.rlim_cur < 1200 && files.rlim_max >= 1200) {
        files.rlim_cur = std::min<rlim_t>(files.rlim_max, 4096);
        setrlimit(RLIMIT_NOFILE, &files);
    }
    getrlimit(RLIMIT_NOFILE, &files);
    if (files.rlim_cur < 1200) GTEST_SKIP() << "needs 1200 open files (both ends of 500 streams); the limit is " << files.rlim_cur;
    ServedPanel panel;
    ASSERT_TRUE(panel.place(kLayout)) << panel.error;
    const int port = panel.port();
    panel.with_client([&] {
        std::vector<std::unique_ptr<StreamClient>> streams;
        for (int i = 0; i < 500; ++i) {
            streams.push_back(std::make_unique<StreamClient>(port));
            ASSERT_TRUE(streams.back()->open()) << "stream " << i << ": " << streams.back()->handshake();
        }
        ASSERT_TRUE(eventually([&] { return panel.server->connections() >= 500; }));
        // A new page: its file, its layout and its own stream.
        auto begin = std::chrono::steady_clock::now();
        auto index = ask(port, "GET", "/");
        EXPECT_EQ(index.status, 200);
        EXPECT_EQ(ask(port, "GET", "/layout.json").status, 200);
        StreamClient page(port);
        ASSERT_TRUE(page.open()) << page.handshake();
        EXPECT_FALSE(page.next().empty());
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
        std::printf("a new page loaded beside 500 non-reading streams in %.3f s\n", seconds);
        ::testing::Test::RecordProperty("new_page_seconds", std::to_string(seconds));
        EXPECT_LE(panel.server->connections(), panel.server->limits().max_connections);
    });
}

TEST(LivePanelLimits, CostlyAnswersAreRefusedToOtherSites) {
    ServedPanel panel;
    ASSERT_TRUE(panel.place(kLayout)) << panel.error;
    const int port = panel.port();
    panel.with_client([&] {
        // What an <img> or a fetch of another site's page carries.
        for (const char* headers : {"Sec-Fetch-Site: cross-site\r\nSec-Fetch-Dest: image\r\n",
                                    "Sec-Fetch-Site: same-site\r\n", "Origin: http://evil.example\r\n", "Origin: null\r\n"}) {
            SCOPED_TRACE(headers);
            auto still = ask(port, "GET", "/frame.png", headers);
            EXPECT_EQ(still.status, 403) << still.body;
            EXPECT_EQ(ask(port, "GET", "/hover?x=10&y=10", headers).status, 403);
            EXPECT_EQ(ask(port, "GET", "/wave/30.wav", headers).status, 403);
            EXPECT_EQ(ask(port, "GET", "/pilot", headers).status, 403);
        }
        EXPECT_EQ(panel.server->stills_drawn(), 0u) << "a refused request made the panel thread draw";
        // The panel's own page, and a navigation from elsewhere to the page.
        EXPECT_EQ(ask(port, "GET", "/frame.png", "Sec-Fetch-Site: same-origin\r\n").status, 200);
        EXPECT_EQ(ask(port, "GET", "/", "Sec-Fetch-Site: cross-site\r\n").status, 200);
        EXPECT_EQ(panel.server->stills_drawn(), 1u);
    });
}

TEST(LivePanelLimits, FiftyPagesAskingForStillsShareThemAndTheHostKeepsItsClock) {
    ServedPanel panel;
    ASSERT_TRUE(panel.place(kLayout)) << panel.error;
    const int port = panel.port();
    panel.with_client([&] {
        ASSERT_TRUE(eventually([&] { return panel.server->cycles() >= 18; }));
        std::atomic<bool> done{false};
        std::atomic<int> answered{0}, failed{0};
        const uint64_t cycles_before = panel.server->cycles();
        auto begin = std::chrono::steady_clock::now();
        std::vector<std::thread> askers;
        for (int i = 0; i < 50; ++i) {
            askers.emplace_back([&] {
                Socket s(port);
                while (!done) {
                    if (!s.send_all(live_test::request("GET", "/frame.png", port))) return void(++failed);
                    auto r = s.response();
                    if (r.status != 200 || r.body.compare(1, 3, "PNG") != 0) return void(++failed);
                    ++answered;
                }
            });
        }
        // Three seconds of the host's own clock under the load.
        ASSERT_TRUE(eventually([&] { return panel.server->cycles() >= cycles_before + 54; }));
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
        uint64_t cycles = panel.server->cycles() - cycles_before;
        done = true;
        for (auto& t : askers) t.join();
        EXPECT_EQ(failed.load(), 0);
        EXPECT_GT(answered.load(), 50);
        std::printf("%d stills answered, %llu drawn, %.1f host cycles a second\n", answered.load(),
                    (unsigned long long)panel.server->stills_drawn(), cycles / seconds);
        EXPECT_GE(cycles / seconds, 17.0);
        EXPECT_EQ(panel.server->cycles_skipped(), 0u);
        // One picture serves everyone who asked during its cycle.
        EXPECT_LE(panel.server->stills_drawn(), panel.server->cycles() + 1);
        EXPECT_LT(panel.server->stills_drawn(), uint64_t(answered.load()));
    });
}

TEST(LivePanelLimits, HeadersTheLibraryWouldBendAreRefused) {
    ServedPanel panel;
    ASSERT_TRUE(panel.place(kLayout)) << panel.error;
    const int port = panel.port();
    const std::string host = "Host: 127.0.0.1:" + std::to_string(port) + "\r\n";
    panel.with_client([&] {
        auto raw = [&](const std::string& text) {
            Socket s(port);
            s.send_all(text);
            return s.response();
        };
        // A second Host, or a length, hidden behind a space before the colon.
        EXPECT_EQ(raw("GET /state HTTP/1.1\r\n" + host + "Host : evil.example\r\n\r\n").status, 400);
        EXPECT_EQ(raw("POST /var?token=61&value=3 HTTP/1.1\r\n" + host + "Content-Length : 5\r\n\r\nhello").status, 400);
        // A folded header line, a bare line feed, two lengths, a chunked body.
        EXPECT_EQ(raw("GET /state HTTP/1.1\r\n" + host + "X-A: 1\r\n  folded\r\n\r\n").status, 400);
        EXPECT_EQ(raw("GET /state HTTP/1.1\n" + host + "\r\n").status, 400);
        EXPECT_EQ(raw("POST /pause?on=0 HTTP/1.1\r\n" + host + "Content-Length: 0\r\nContent-Length: 0\r\n\r\n").status, 400);
        EXPECT_EQ(raw("POST /pause?on=0 HTTP/1.1\r\n" + host + "Transfer-Encoding: chunked\r\n\r\n0\r\n\r\n").status, 501);
        EXPECT_EQ(raw("GET http://evil.example/state HTTP/1.1\r\n" + host + "\r\n").status, 400);
        // A request followed by a half-close is answered.
        {
            Socket s(port);
            ASSERT_TRUE(s.send_all("GET /state HTTP/1.1\r\n" + host + "\r\n"));
            shutdown(s.fd(), SHUT_WR);
            auto r = s.response();
            EXPECT_EQ(r.status, 200) << r.head;
        }
        expect_still_serving(port);
    });
    EXPECT_EQ(panel.host.var(61), 0);
}

// The close code of the close frame at the start of `b` (0: none yet).
int close_code(const std::string& b) {
    for (size_t at = 0; at + 2 <= b.size();) {
        size_t n = uint8_t(b[at + 1]) & 0x7F, head = 2;
        if (n == 126) n = size_t(uint8_t(b[at + 2])) << 8 | uint8_t(b[at + 3]), head = 4;
        else if (n == 127) return 0;  // the panel's messages are smaller
        if (at + head + n > b.size()) return 0;
        if ((uint8_t(b[at]) & 0x0F) == 0x8) return n >= 2 ? uint8_t(b[at + head]) << 8 | uint8_t(b[at + head + 1]) : 1005;
        at += head + n;
    }
    return 0;
}

TEST(LivePanelLimits, FramesAreParsedStrictly) {
    ServedPanel panel;
    ASSERT_TRUE(panel.place(kLayout)) << panel.error;
    const int port = panel.port();
    panel.with_client([&] {
        struct Bad {
            const char* what;
            std::string frame;
            int code;
        };
        const std::vector<Bad> bad = {
            {"a reserved bit", client_frame(0x81 | 0x40, "hi"), 1002},
            {"a reserved opcode", client_frame(0x83, "hi"), 1002},
            {"text that is not UTF-8", client_frame(0x81, "\xC3\x28"), 1007},
            {"a ping over 125 bytes", client_frame(0x89, std::string(4096, 'p')), 1002},
            {"an unmasked frame", std::string("\x81\x02hi", 4), 1002},
            {"a message over the limit", client_frame(0x82, std::string(8192, 'x')), 1009},
        };
        for (const Bad& b : bad) {
            SCOPED_TRACE(b.what);
            StreamClient page(port);
            ASSERT_TRUE(page.open());
            ASSERT_TRUE(page.socket().send_all(b.frame));
            ASSERT_TRUE(page.socket().read_until([&](const std::string& buf) { return close_code(buf) != 0; }));
            EXPECT_EQ(close_code(page.socket().buffer()), b.code);
        }
        // A close frame sent in the same write as the handshake is answered
        // at once.
        StreamClient hasty(port, "", "", client_frame(0x88, std::string("\x03\xE8", 2)));
        ASSERT_TRUE(hasty.open()) << hasty.handshake();
        ASSERT_TRUE(hasty.socket().read_until([&](const std::string& buf) { return close_code(buf) != 0; }));
        EXPECT_EQ(close_code(hasty.socket().buffer()), 1000);
        expect_still_serving(port);
    });
}

// Every number in a JSON value.
void numbers(const nlohmann::json& j, std::vector<double>* out) {
    if (j.is_number()) out->push_back(j.get<double>());
    else if (j.is_structured())
        for (const auto& v : j) numbers(v, out);
}

TEST(LivePanelLimits, TheStreamStaysJsonWhateverTheModulesAreGiven) {
    ServedPanel panel;
    ASSERT_TRUE(panel.place(kLayout)) << panel.error;
    const int port = panel.port();
    panel.with_client([&] {
        StreamClient page(port);
        ASSERT_TRUE(page.open());
        ASSERT_FALSE(page.next().empty());
        // Huge values on every variable the two gauges may read.
        for (int token = 1; token <= 128; ++token) {
            auto r = ask(port, "POST", "/var?token=" + std::to_string(token) + "&value=" + (token % 2 ? "1e307" : "-1e307"));
            ASSERT_EQ(r.status, 200) << token << ": " << r.body;
        }
        uint64_t after = panel.server->cycles() + 2;
        int checked = 0;
        ASSERT_TRUE(page.next_until([&](const std::string& m) {
            nlohmann::json j = nlohmann::json::parse(m, nullptr, false);
            EXPECT_FALSE(j.is_discarded()) << m.substr(0, 400);
            if (j.is_discarded()) return true;
            std::vector<double> all;
            numbers(j["e"], &all);
            for (double v : all) EXPECT_TRUE(std::isfinite(v) && std::fabs(v) <= 1e10) << v;
            ++checked;
            return message_seq(m) > after && checked >= 5;
        }));
        auto state = nlohmann::json::parse(ask(port, "GET", "/state").body, nullptr, false);
        EXPECT_FALSE(state.is_discarded());
        auto hover = nlohmann::json::parse(ask(port, "GET", "/hover?x=10&y=10").body, nullptr, false);
        EXPECT_FALSE(hover.is_discarded());
    });
}

// ------------------------------------------------------------ keys

struct KeyedPanel : ServedPanel {
    std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                ("morvane-keys-" + std::to_string(::getpid()) + "-" + std::to_string(rand()));
    std::string key, view_key;
    bool start(bool view_only = false) {
        std::filesystem::create_directories(dir);
        where.key_file = (dir / "keys").string();
        where.view_only = view_only;
        if (!place(kLayout)) return false;
        key = server->access().control_key(), view_key = server->access().view_key();
        return true;
    }
    ~KeyedPanel() { std::filesystem::remove_all(dir); }
};

std::string header_value(const std::string& head, const std::string& name) {
    size_t at = head.find("\r\n" + name + ": ");
    if (at == std::string::npos) return {};
    at += name.size() + 4;
    return head.substr(at, head.find("\r\n", at) - at);
}

TEST(LivePanelKeys, WithoutTheKeyNothingButA401) {
    KeyedPanel panel;
    ASSERT_TRUE(panel.start()) << panel.error;
    const int port = panel.port();
    ASSERT_EQ(panel.key.size(), 22u);
    panel.with_client([&] {
        for (const char* path : {"/", "/panel.js", "/layout.json", "/state", "/frame.png", "/bitmap/0/1.png"}) {
            auto r = ask(port, "GET", path);
            EXPECT_EQ(r.status, 401) << path;
            EXPECT_EQ(r.body, "this panel needs its access key\n") << path;
        }
        EXPECT_EQ(ask(port, "GET", "/?key=wrongwrongwrongwrongwr").status, 401);
        EXPECT_EQ(ask(port, "POST", "/var?token=61&value=4").status, 401);
        EXPECT_EQ(ask(port, "GET", "/state", "Cookie: " + panel.server->access().cookie_name() + "=" + panel.view_key + "x\r\n").status, 401);
        StreamClient stream(port);
        EXPECT_FALSE(stream.open());
        EXPECT_NE(stream.handshake().find(" 401 "), std::string::npos) << stream.handshake();
        EXPECT_EQ(panel.server->stills_drawn(), 0u);
    });
    EXPECT_EQ(panel.host.var(61), 0);
}

TEST(LivePanelKeys, TheKeyBecomesACookieAndLeavesTheAddress) {
    KeyedPanel panel;
    ASSERT_TRUE(panel.start()) << panel.error;
    const int port = panel.port();
    const std::string p = std::to_string(port);
    panel.with_client([&] {
        auto first = ask(port, "GET", "/?kiosk=1&key=" + panel.key);
        EXPECT_EQ(first.status, 303);
        EXPECT_EQ(header_value(first.head, "Location"), "/?kiosk=1");
        std::string cookie = header_value(first.head, "Set-Cookie");
        EXPECT_EQ(cookie.rfind(panel.server->access().cookie_name() + "=" + panel.key + ";", 0), 0u) << cookie;
        EXPECT_NE(cookie.find("HttpOnly"), std::string::npos);
        EXPECT_NE(cookie.find("SameSite=Strict"), std::string::npos);
        const std::string jar = "Cookie: other=1; " + cookie.substr(0, cookie.find(';')) + "\r\n";
        EXPECT_EQ(ask(port, "GET", "/?kiosk=1", jar).status, 200);
        EXPECT_EQ(ask(port, "GET", "/frame.png", jar).status, 200);
        EXPECT_EQ(ask(port, "POST", "/var?token=61&value=9", jar + "Origin: http://127.0.0.1:" + p + "\r\n").status, 200);
        // Its own page only, even with the key.
        EXPECT_EQ(ask(port, "POST", "/var?token=61&value=5", jar + "Origin: http://evil.example\r\n").status, 403);
        StreamClient stream(port, "http://localhost:" + p, jar);
        EXPECT_TRUE(stream.open()) << stream.handshake();
        // The keys are kept for the next start.
        std::ifstream kept(panel.where.key_file);
        std::string a, b;
        kept >> a >> b;
        EXPECT_EQ(a, panel.key);
        EXPECT_EQ(b, panel.view_key);
    });
    EXPECT_EQ(panel.host.var(61), 9);
}

TEST(LivePanelKeys, TheViewKeyWatchesAndNeverClicks) {
    KeyedPanel panel;
    ASSERT_TRUE(panel.start()) << panel.error;
    const int port = panel.port();
    panel.with_client([&] {
        const std::string jar = "Cookie: " + panel.server->access().cookie_name() + "=" + panel.view_key + "\r\n";
        EXPECT_EQ(ask(port, "GET", "/layout.json", jar).status, 200);
        StreamClient stream(port, "", jar);
        ASSERT_TRUE(stream.open()) << stream.handshake();
        EXPECT_FALSE(stream.next().empty());
        auto r = ask(port, "POST", "/mouse?kind=down&x=10&y=10", jar);
        EXPECT_EQ(r.status, 403);
        EXPECT_NE(r.body.find("may watch the panel, not change it"), std::string::npos) << r.body;
        EXPECT_EQ(ask(port, "POST", "/var?token=61&value=4&key=" + panel.view_key).status, 403);
    });
    EXPECT_EQ(panel.host.var(61), 0);
}

TEST(LivePanelKeys, AViewOnlyPanelHasNoControlKey) {
    KeyedPanel panel;
    ASSERT_TRUE(panel.start(true)) << panel.error;
    EXPECT_TRUE(panel.key.empty());
    ASSERT_FALSE(panel.view_key.empty());
    auto urls = panel.server->access().urls();
    ASSERT_EQ(urls.size(), 1u);
    EXPECT_EQ(urls[0], "http://127.0.0.1:" + std::to_string(panel.port()) + "/?key=" + panel.view_key);
    panel.with_client([&] { EXPECT_EQ(ask(panel.port(), "POST", "/pause?on=1&key=" + panel.view_key).status, 403); });
}

TEST(LivePanelKeys, ABadKeyFileIsAClearError) {
    auto dir = std::filesystem::temp_directory_path() / ("morvane-badkeys-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string file = (dir / "keys").string();
    std::ofstream(file) << "short\n";
    std::string control, view, error;
    EXPECT_FALSE(sim::load_or_make_keys(file, &control, &view, &error));
    EXPECT_NE(error.find(file), std::string::npos) << error;
    EXPECT_NE(error.find("two different keys"), std::string::npos) << error;
    std::filesystem::remove_all(dir);
}

TEST(LivePanelKeys, TheQrCodeDrawsTheAddress) {
    const std::string qr = sim::terminal_qr("http://192.168.1.20:8080/?key=AAAAAAAAAAAAAAAAAAAAAA");
    // Square: as many lines as half its width in modules, every line alike
    // in width, dark modules among light ones.
    std::vector<std::string> lines;
    for (size_t at = 0, end; (end = qr.find('\n', at)) != std::string::npos; at = end + 1) lines.push_back(qr.substr(at, end - at));
    ASSERT_GT(lines.size(), 10u);
    EXPECT_NE(qr.find(' '), std::string::npos);
    EXPECT_NE(qr.find("\u2588"), std::string::npos);
    // The width in modules (every glyph is one module wide).
    auto modules = [](const std::string& l) {
        size_t n = 0;
        for (unsigned char c : l) n += (c & 0xC0) != 0x80;
        return n;
    };
    for (const auto& l : lines) EXPECT_EQ(modules(l), modules(lines[0]));
    EXPECT_EQ((modules(lines[0]) + 1) / 2, lines.size());
}

}  // namespace
