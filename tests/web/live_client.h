// A bare loopback client for the live panel's tests: requests written byte
// for byte (so that a test can send what no well-behaved client sends),
// WebSocket pages that read the stream, and a panel served on a thread
// until a condition holds. Every read has a deadline.
#pragma once

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "preview/panel_session.h"
#include "preview/preview_support.h"
#include "web/web_server.h"

namespace live_test {

constexpr int kReadSeconds = 20;  // generous: the machine may be loaded

// A small panel for the server's tests: the ADF radio beside the airspeed
// indicator.
inline const char* const kRadioAndAirspeed = R"([Window00]
size=660,308
gauge00=Morvane_Instr!Radio_ADF, 0, 0, 360
gauge01=Morvane_Instr!Airspeed, 360, 0, 300
)";

struct RawResponse {
    int status = 0;
    std::string head, body;
};

class Socket {
public:
    explicit Socket(int port) {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        timeval tv{kReadSeconds, 0};
        setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
        setsockopt(fd_, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(uint16_t(port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    }
    ~Socket() { close(); }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    bool connected() const { return connected_; }
    void close() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }
    bool send_all(const std::string& bytes) {
        size_t sent = 0;
        while (sent < bytes.size()) {
            ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) return false;
            sent += size_t(n);
        }
        return true;
    }
    // Reads until `done(buffer)` or the peer closes or the deadline passes.
    bool read_until(const std::function<bool(const std::string&)>& done) {
        char chunk[65536];
        while (!done(buffer_)) {
            ssize_t n = recv(fd_, chunk, sizeof chunk, 0);
            if (n <= 0) return done(buffer_);
            buffer_.append(chunk, size_t(n));
        }
        return true;
    }
    // One HTTP response (with a Content-Length, as the server sends; the
    // answer to a HEAD request has none of the body it announces).
    RawResponse response(bool head_only = false) {
        RawResponse r;
        size_t need = std::string::npos;
        read_until([&](const std::string& b) {
            size_t end = b.find("\r\n\r\n");
            if (end == std::string::npos) return false;
            size_t cl = b.find("Content-Length: ");
            size_t length = cl != std::string::npos && cl < end && !head_only ? std::stoul(b.substr(cl + 16)) : 0;
            need = end + 4 + length;
            return b.size() >= need;
        });
        if (need == std::string::npos || buffer_.size() < need) return r;
        size_t end = buffer_.find("\r\n\r\n");
        r.head = buffer_.substr(0, end);
        r.body = buffer_.substr(end + 4, need - end - 4);
        r.status = std::atoi(r.head.c_str() + 9);
        buffer_.erase(0, need);
        return r;
    }
    // True when the server closed the connection (before the deadline).
    bool closed_by_server() {
        char c;
        ssize_t n = recv(fd_, &c, 1, 0);
        return n == 0 || (n < 0 && errno == ECONNRESET);
    }
    std::string& buffer() { return buffer_; }
    int fd() const { return fd_; }

private:
    int fd_ = -1;
    bool connected_ = false;
    std::string buffer_;
};

inline std::string request(const std::string& method, const std::string& target, int port,
                           const std::string& extra_headers = "", const std::string& body = "") {
    std::string r = method + " " + target + " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) + "\r\n" + extra_headers;
    if (!body.empty()) r += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    return r + "\r\n" + body;
}

// One request on a connection of its own.
inline RawResponse ask(int port, const std::string& method, const std::string& target,
                       const std::string& extra_headers = "", const std::string& body = "") {
    Socket s(port);
    if (!s.connected() || !s.send_all(request(method, target, port, extra_headers, body))) return {};
    return s.response(method == "HEAD");
}

// A page's stream: the WebSocket handshake, then the server's messages.
class StreamClient {
public:
    // `more` is sent in the same write as the request (headers to add go
    // in `headers`).
    explicit StreamClient(int port, const std::string& origin = "", const std::string& headers = "",
                          const std::string& more = "")
        : socket_(port) {
        std::string extra = "Upgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Version: 13\r\n"
                            "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n" + headers;
        if (!origin.empty()) extra += "Origin: " + origin + "\r\n";
        if (!socket_.send_all(request("GET", "/live", port, extra) + more)) return;
        socket_.read_until([](const std::string& b) { return b.find("\r\n\r\n") != std::string::npos; });
        size_t end = socket_.buffer().find("\r\n\r\n");
        if (end == std::string::npos) return;
        handshake_ = socket_.buffer().substr(0, end);
        socket_.buffer().erase(0, end + 4);
    }
    const std::string& handshake() const { return handshake_; }
    bool open() const { return handshake_.rfind("HTTP/1.1 101", 0) == 0; }
    // The next text message; empty at the deadline or when closed.
    std::string next() {
        std::string message;
        socket_.read_until([&](const std::string& b) {
            if (b.size() < 2) return false;
            size_t n = uint8_t(b[1]) & 0x7F, at = 2;
            if (n == 126) {
                if (b.size() < 4) return false;
                n = size_t(uint8_t(b[2])) << 8 | uint8_t(b[3]), at = 4;
            } else if (n == 127) {
                if (b.size() < 10) return false;
                n = 0;
                for (int i = 0; i < 8; ++i) n = n << 8 | uint8_t(b[2 + i]);
                at = 10;
            }
            if (b.size() < at + n) return false;
            message = b.substr(at, n);
            return true;
        });
        if (message.empty()) return message;
        size_t n = uint8_t(socket_.buffer()[1]) & 0x7F;
        size_t header = n == 126 ? 4 : n == 127 ? 10 : 2;
        socket_.buffer().erase(0, header + message.size());
        return message;
    }
    // Reads messages until one satisfies `wanted`; false at the deadline.
    bool next_until(const std::function<bool(const std::string&)>& wanted, std::string* found = nullptr) {
        for (;;) {
            std::string m = next();
            if (m.empty()) return false;
            if (wanted(m)) {
                if (found) *found = m;
                return true;
            }
        }
    }
    Socket& socket() { return socket_; }

private:
    Socket socket_;
    std::string handshake_;
};

// One frame from a client (masked, as clients must), with the first byte
// given whole (FIN, reserved bits, opcode).
inline std::string client_frame(uint8_t first, const std::string& payload) {
    std::string f(1, char(first));
    const uint8_t mask[4] = {0x37, 0xfa, 0x21, 0x3d};
    if (payload.size() < 126) {
        f += char(0x80 | payload.size());
    } else if (payload.size() < 65536) {
        f += char(0x80 | 126);
        f += char(payload.size() >> 8), f += char(payload.size() & 0xFF);
    } else {
        f += char(0x80 | 127);
        for (int i = 7; i >= 0; --i) f += char((uint64_t(payload.size()) >> (8 * i)) & 0xFF);
    }
    f.append(reinterpret_cast<const char*>(mask), 4);
    for (size_t i = 0; i < payload.size(); ++i) f += char(payload[i] ^ mask[i % 4]);
    return f;
}

// This process's resident memory, in bytes.
inline size_t resident_bytes() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return size_t(resident) * size_t(sysconf(_SC_PAGESIZE));
}

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MORVANE_LIVE_ADDRESS_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define MORVANE_LIVE_ADDRESS_SANITIZER 1
#endif
#ifdef MORVANE_LIVE_ADDRESS_SANITIZER
#include <sanitizer/allocator_interface.h>
#endif

// The memory this process holds for what it keeps: its resident memory,
// or under the address sanitizer (which keeps freed blocks aside for a
// while, so resident memory grows with every answer written) the heap
// bytes in use.
inline size_t held_bytes() {
#ifdef MORVANE_LIVE_ADDRESS_SANITIZER
    return __sanitizer_get_current_allocated_bytes();
#else
    return resident_bytes();
#endif
}

// The sequence number of a stream message.
inline uint64_t message_seq(const std::string& m) {
    size_t at = m.find("\"seq\":");
    return at == std::string::npos ? 0 : std::stoull(m.substr(at + 6));
}

// The modules, a layout and a scenario placed in the test host, with the
// live panel serving them.
struct ServedPanel {
    sim::SimHost host;
    sim::PanelLayout layout;
    sim::Scenario scenario;
    std::unique_ptr<sim::PanelSession> session;
    std::unique_ptr<sim::PanelWebServer> server;
    std::string error;
    sim::ServeOptions where{"127.0.0.1", 0};  // any free loopback port, no key

    bool place(const std::string& layout_text, const std::string& scenario_text = "end 5\n") {
        for (const std::string& path : sim::default_module_paths())
            if (!host.load_module(path, &error)) return false;
        if (!sim::parse_panel_layout(layout_text, "web.cfg", &layout, &error)) return false;
        if (!sim::parse_scenario(scenario_text, "web.txt", &scenario, &error)) return false;
        session = std::make_unique<sim::PanelSession>(host, layout, sim::module_bitmap_lookup());
        if (!session->place_all("web.cfg", &error)) return false;
        server = std::make_unique<sim::PanelWebServer>(*session, scenario, sim::RenderOptions{});
        return server->start(where, &error);
    }
    int port() const { return server->port(); }

    // Runs the panel on this thread while `client` works on another; the
    // panel stops when the client is done (or after a minute at most).
    void with_client(const std::function<void()>& client) {
        std::thread talker([&] {
            client();
            server->stop();
        });
        server->run_panel(120);
        talker.join();
    }
};

// Waits (yielding) until cond holds; false after a generous deadline.
inline bool eventually(const std::function<bool()>& cond, int seconds = 30) {
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!cond()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::yield();
    }
    return true;
}

// The panel still answers a page: a tooltip from the panel thread and a
// fresh state on a new stream.
inline void expect_still_serving(int port) {
    auto hover = ask(port, "GET", "/hover?x=10&y=10");
    EXPECT_EQ(hover.status, 200) << hover.body;
    StreamClient page(port);
    ASSERT_TRUE(page.open()) << page.handshake();
    uint64_t first = message_seq(page.next());
    EXPECT_TRUE(page.next_until([&](const std::string& m) { return message_seq(m) > first; }));
}

}  // namespace live_test
