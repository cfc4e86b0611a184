#include "web/http_server.h"

#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace sim {

namespace net = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
namespace websocket = beast::websocket;
using tcp = net::ip::tcp;

namespace {

using Clock = std::chrono::steady_clock;

// How often the I/O thread looks for connections past their time limits.
constexpr auto kSweepEvery = std::chrono::milliseconds(100);
// What the WebSocket stream's own read buffer takes of the bytes that came
// with the handshake (the library's fixed size).
constexpr size_t kStreamReadBuffer = 1536;
// Out of file descriptors: how long before accepting again.
constexpr auto kAcceptPause = std::chrono::milliseconds(50);

std::string lower(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// One query component, strictly: "%" needs two hex digits, control
// characters (NUL above all) are refused.
bool decode_component(const std::string& in, std::string* out) {
    out->clear();
    for (size_t i = 0; i < in.size(); ++i) {
        char c = in[i];
        if (c == '+') {
            c = ' ';
        } else if (c == '%') {
            if (i + 2 >= in.size()) return false;
            int hi = hex_digit(in[i + 1]), lo = hex_digit(in[i + 2]);
            if (hi < 0 || lo < 0) return false;
            c = char(hi * 16 + lo);
            i += 2;
        }
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
        *out += c;
    }
    return true;
}

std::string serialize(const HttpResponse& r, bool head_only, bool close_after) {
    std::string reason(http::obsolete_reason(http::int_to_status(unsigned(r.status))));
    if (reason == "<unknown-status>") reason = "Error";
    std::string out = "HTTP/1.1 " + std::to_string(r.status) + " " + reason + "\r\n";
    out += "Content-Type: " + r.content_type + "\r\n";
    out += "Content-Length: " + std::to_string(r.body.size()) + "\r\n";
    out += "X-Content-Type-Options: nosniff\r\n";
    for (auto& [name, value] : r.headers) out += name + ": " + value + "\r\n";
    out += close_after ? "Connection: close\r\n\r\n" : "Connection: keep-alive\r\n\r\n";
    if (!head_only) out += r.body;
    return out;
}

}  // namespace

HttpResponse error_response(int status, const std::string& why) {
    HttpResponse r;
    r.status = status;
    r.body = why + "\n";
    return r;
}

HttpResponse json_response(const std::string& body) {
    HttpResponse r;
    r.content_type = "application/json";
    r.body = body;
    r.headers.emplace_back("Cache-Control", "no-store");
    return r;
}

bool parse_query(const std::string& query, std::map<std::string, std::string>* params, std::string* error) {
    params->clear();
    size_t from = 0;
    while (from <= query.size() && !query.empty()) {
        size_t end = query.find('&', from);
        if (end == std::string::npos) end = query.size();
        std::string part = query.substr(from, end - from);
        if (!part.empty()) {
            size_t eq = part.find('=');
            std::string name, value;
            if (!decode_component(part.substr(0, eq), &name)) {
                *error = "malformed parameter name in the query";
                return false;
            }
            if (eq != std::string::npos && !decode_component(part.substr(eq + 1), &value)) {
                *error = "parameter '" + name + "' is malformed (bad escape or control character)";
                return false;
            }
            if (params->count(name)) {
                *error = "parameter '" + name + "' given twice";
                return false;
            }
            (*params)[name] = value;
        }
        from = end + 1;
    }
    return true;
}

ParsedRequest parse_request(const std::string& bytes, size_t max_header, size_t max_body) {
    ParsedRequest r;
    auto fail = [&](int status, std::string why) {
        r.status = status;
        r.why = std::move(why);
        return r;
    };
    size_t head_end = bytes.find("\r\n\r\n");
    const size_t seen = head_end == std::string::npos ? bytes.size() : head_end + 2;
    // What the library would let pass and HTTP no longer allows: control
    // characters, bare line feeds, and folded (continued) header lines.
    for (size_t i = 0; i < seen; ++i) {
        unsigned char ch = static_cast<unsigned char>(bytes[i]);
        if ((ch < 0x20 && ch != '\r' && ch != '\n' && ch != '\t') || ch == 0x7F)
            return fail(400, "control character in the request head");
        if (ch == '\n' && (i == 0 || bytes[i - 1] != '\r')) return fail(400, "bare line feed in the request head");
        if (ch == '\n' && i + 1 < seen && (bytes[i + 1] == ' ' || bytes[i + 1] == '\t'))
            return fail(400, "folded header lines are refused");
    }
    if (head_end == std::string::npos) {
        if (bytes.size() > max_header) return fail(431, "request header too large");
        return r;  // more to come
    }
    if (head_end + 4 > max_header) return fail(431, "request header too large");

    http::request_parser<http::string_body> parser;
    parser.header_limit(std::uint32_t(max_header));
    parser.body_limit(max_body);
    parser.eager(false);
    beast::error_code ec;
    auto status_of = [](const beast::error_code& e) {
        if (e == http::error::header_limit) return 431;
        if (e == http::error::body_limit) return 413;
        return 400;
    };
    size_t used = parser.put(net::buffer(bytes.data(), bytes.size()), ec);
    if (ec == http::error::body_limit) return fail(413, "request too large");
    if (ec) return fail(status_of(ec), "malformed request: " + ec.message());
    if (!parser.is_header_done()) return fail(400, "malformed request head");
    const auto& head = parser.get();
    if (head.version() != 11 && head.version() != 10) return fail(400, "unsupported protocol version");
    std::string target(head.target());
    if (target.empty() || target[0] != '/') return fail(400, "request target must be a path");
    HttpRequest& req = r.request;
    req.method = std::string(head.method_string());
    size_t q = target.find('?');
    req.path = target.substr(0, q);
    if (q != std::string::npos) req.query = target.substr(q + 1);
    for (const auto& field : head) {
        std::string name = lower(std::string(field.name_string()));
        if (req.headers.count(name) && (name == "host" || name == "origin" || name == "content-length" || name == "cookie"))
            return fail(400, "header '" + name + "' given twice");
        req.headers[name] = std::string(field.value());
    }
    if (req.headers.count("transfer-encoding")) return fail(501, "request bodies must have a Content-Length");
    r.upgrade = websocket::is_upgrade(head);
    r.keep_alive = head.keep_alive();
    if (!parser.is_done()) {
        parser.eager(true);
        while (!parser.is_done() && used < bytes.size()) {
            size_t n = parser.put(net::buffer(bytes.data() + used, bytes.size() - used), ec);
            if (ec == http::error::need_more) break;
            if (ec) return fail(status_of(ec), ec == http::error::body_limit ? "request too large" : "malformed body");
            used += n;
            if (n == 0) break;
        }
        if (!parser.is_done()) return r;  // the body is still coming
    }
    req.body = parser.get().body();
    r.complete = true;
    r.used = used;
    return r;
}

// ------------------------------------------------------------ replies

struct Reply::Mailbox {
    std::mutex mutex;
    bool open = true;
    net::io_context* io = nullptr;
    HttpServer* server = nullptr;
};

struct HttpServer::Io {
    net::io_context context{1};
    tcp::acceptor acceptor{context};
    net::steady_timer sweeper{context}, accept_pause{context};
};

struct HttpServer::Connection : std::enable_shared_from_this<Connection> {
    using WebSocket = websocket::stream<beast::tcp_stream>;
    HttpServer& server;
    const uint64_t id;
    beast::tcp_stream tcp;
    std::unique_ptr<WebSocket> ws;
    enum State { READING, WAITING, WRITING, STREAM, CLOSED } state = READING;
    std::string in;  // bytes read and not yet taken by a request
    char chunk[16384];
    bool reading = false;     // a read is under way
    bool peer_done = false;   // the client sent all it will send
    bool close_after = false;  // the answer being given ends the connection
    bool head_only = false;
    bool ws_writing = false;
    Clock::time_point opened, last_activity, request_started, write_started;
    std::string out;
    beast::flat_buffer ws_in;

    Connection(HttpServer& s, uint64_t i, tcp::socket socket) : server(s), id(i), tcp(std::move(socket)) {
        opened = last_activity = Clock::now();
    }

    size_t read_cap() const { return server.limits_.max_header_bytes + server.limits_.max_body_bytes + 16; }

    // ---- HTTP

    void read_more() {
        // While a request waits for its answer, reading goes on only to see
        // the client leave, and no more than one request is held.
        if (reading || peer_done || state == STREAM || state == CLOSED || in.size() >= read_cap()) return;
        reading = true;
        tcp.async_read_some(net::buffer(chunk, std::min(sizeof chunk, read_cap() - in.size())),
                            [self = shared_from_this()](beast::error_code ec, size_t n) { self->on_read(ec, n); });
    }

    void on_read(beast::error_code ec, size_t n) {
        reading = false;
        if (state == CLOSED) return;
        if (ec == net::error::eof) {
            peer_done = true;
        } else if (ec) {
            return close();
        } else {
            if (in.empty() && state == READING) request_started = Clock::now();
            in.append(chunk, n);
            last_activity = Clock::now();
        }
        take_requests();
    }

    void take_requests() {
        if (state == READING && !in.empty()) {
            ParsedRequest parsed = parse_request(in, server.limits_.max_header_bytes, server.limits_.max_body_bytes);
            if (parsed.status) return answer(error_response(parsed.status, parsed.why), true);
            if (parsed.complete) {
                if (parsed.upgrade && parsed.request.path == server.stream_path_ && parsed.request.method == "GET")
                    return open_stream(parsed);
                in.erase(0, parsed.used);
                state = WAITING;
                close_after = !parsed.keep_alive;
                head_only = parsed.request.method == "HEAD";
                Reply reply;
                reply.mailbox_ = server.mailbox_;
                reply.connection_ = id;
                if (server.handler_) server.handler_(parsed.request, reply);
                else reply.send(error_response(404, "nothing is served here"));
            }
        }
        if (state == CLOSED) return;
        if (state == READING && peer_done) return close();  // nothing, or half a request, and the client is done
        read_more();
    }

    void answer(const HttpResponse& r, bool close_now) {
        if (state == CLOSED) return;
        close_after = close_after || close_now || peer_done;
        out = serialize(r, head_only, close_after);
        head_only = false;
        state = WRITING;
        write_started = Clock::now();
        if (close_now) in.clear();
        net::async_write(tcp, net::buffer(out), [self = shared_from_this()](beast::error_code ec, size_t) {
            self->on_written(ec);
        });
    }

    void on_written(beast::error_code ec) {
        if (state == CLOSED) return;
        if (ec) return close();
        out.clear();
        out.shrink_to_fit();
        last_activity = Clock::now();
        if (close_after) {
            beast::error_code ignored;
            tcp.socket().shutdown(tcp::socket::shutdown_send, ignored);
            return close();
        }
        state = READING;
        request_started = Clock::now();
        take_requests();  // a request sent behind the one just answered
    }

    // ---- the stream

    void open_stream(const ParsedRequest& parsed) {
        std::string refused = server.stream_.admit ? server.stream_.admit(parsed.request) : std::string();
        if (!refused.empty()) {
            int status = std::atoi(refused.substr(0, 3).c_str());
            return answer(error_response(status >= 400 ? status : 400, refused.size() > 4 ? refused.substr(4) : refused), true);
        }
        // Frames the client sent in the same write as its request are the
        // stream's first bytes: the library reads the request again from
        // what came, and keeps what follows it.
        const size_t buffered_room = kStreamReadBuffer;
        if (in.size() > parsed.used && in.size() > buffered_room)
            return answer(error_response(400, "too much sent before the stream opened"), true);
        state = STREAM;
        ws = std::make_unique<WebSocket>(std::move(tcp));
        websocket::stream_base::timeout t;
        t.handshake_timeout = server.limits_.request_time;
        t.idle_timeout = server.limits_.stream_idle_time;
        t.keep_alive_pings = true;  // a page that reads answers them; one that does not is closed
        ws->set_option(t);
        ws->read_message_max(server.limits_.max_body_bytes);
        ws->auto_fragment(false);
        ws->text(true);
        ws->control_callback([this](websocket::frame_type, beast::string_view) { last_activity = Clock::now(); });
        auto done = [self = shared_from_this()](beast::error_code ec) { self->on_stream_open(ec); };
        write_started = Clock::now();
        ws_writing = true;  // the handshake's answer
        if (in.size() <= buffered_room) {
            ws->async_accept(net::buffer(in), done);
        } else {
            http::request<http::empty_body> req;
            req.method_string(parsed.request.method);
            req.target(parsed.request.path);
            req.version(11);
            for (auto& [name, value] : parsed.request.headers) req.set(name, value);
            ws->async_accept(req, done);
        }
        in.clear();
    }

    void on_stream_open(beast::error_code ec) {
        ws_writing = false;
        if (state == CLOSED) return;
        if (ec) return close();
        last_activity = Clock::now();
        read_frames();
        feed();
    }

    void read_frames() {
        ws->async_read(ws_in, [self = shared_from_this()](beast::error_code ec, size_t) {
            if (self->state == CLOSED) return;
            if (ec) return self->close();  // closed by the client, or a protocol error the library answered
            self->last_activity = Clock::now();
            self->ws_in.consume(self->ws_in.size());  // messages from the page are not part of the stream
            self->read_frames();
        });
    }

    // Sends the client its next message if its last one has left.
    void feed() {
        if (state != STREAM || ws_writing || !server.stream_.next) return;
        std::string message;
        if (!server.stream_.next(id, &message)) return;
        out = std::move(message);
        ws_writing = true;
        write_started = Clock::now();
        ws->async_write(net::buffer(out), [self = shared_from_this()](beast::error_code ec, size_t n) {
            self->ws_writing = false;
            if (self->state == CLOSED) return;
            if (ec) return self->close();
            self->server.stream_bytes_ += n;
            self->feed();  // skips ahead to the newest state
        });
    }

    // ---- leaving

    // How long this connection has made no progress: a write its client
    // does not take, or no bytes from it.
    Clock::time_point stalled_since() const {
        if (state == WAITING) return Clock::now();  // the panel owes it an answer
        if (state == WRITING || (state == STREAM && ws_writing)) return std::min(write_started, last_activity);
        return last_activity;
    }

    void close() {
        if (state == CLOSED) return;
        const bool was_stream = state == STREAM;
        state = CLOSED;
        beast::error_code ignored;
        tcp::socket& s = ws ? beast::get_lowest_layer(*ws).socket() : tcp.socket();
        s.close(ignored);
        if (was_stream && server.stream_.closed) server.stream_.closed(id);
        server.forget(*this);
    }
};

void Reply::send(HttpResponse response) const {
    if (!mailbox_) return;
    std::lock_guard<std::mutex> lock(mailbox_->mutex);
    if (!mailbox_->open) return;  // the server is gone: nobody to answer
    HttpServer* server = mailbox_->server;
    uint64_t id = connection_;
    net::post(*mailbox_->io, [server, id, r = std::move(response)] {
        auto it = server->connections_.find(id);
        if (it == server->connections_.end() || it->second->state != HttpServer::Connection::WAITING) return;  // it left
        auto c = it->second;
        c->answer(r, false);
    });
}

// ------------------------------------------------------------ the server

HttpServer::HttpServer() : io_(std::make_unique<Io>()), mailbox_(std::make_shared<Reply::Mailbox>()) {
    mailbox_->io = &io_->context;
    mailbox_->server = this;
}

HttpServer::~HttpServer() {
    stop();
    {
        std::lock_guard<std::mutex> lock(mailbox_->mutex);
        mailbox_->open = false;
    }
    connections_.clear();
}

bool HttpServer::start(const std::string& address, int port, std::string* error) {
    beast::error_code ec;
    net::ip::address ip = net::ip::make_address(address, ec);
    const std::string where = (ip.is_v6() ? "[" + address + "]" : address) + ":" + std::to_string(port);
    if (ec) {
        if (error) *error = "'" + address + "' is not an IP address to listen on";
        return false;
    }
    tcp::endpoint endpoint(ip, static_cast<unsigned short>(port));
    tcp::acceptor& a = io_->acceptor;
    a.open(endpoint.protocol(), ec);
    // Reuse of the address only (a port left in TIME_WAIT by a stopped
    // panel), never sharing the port with a live listener.
    if (!ec) a.set_option(net::socket_base::reuse_address(true), ec);
    if (!ec && ip.is_v6()) a.set_option(net::ip::v6_only(false), ec);
    if (!ec) a.bind(endpoint, ec);
    if (!ec) a.listen(128, ec);
    if (ec) {
        if (error) {
            *error = ec == net::error::address_in_use
                         ? where + " is already in use (is another live panel or program listening there?)"
                         : "cannot listen on " + where + ": " + ec.message();
        }
        beast::error_code ignored;
        a.close(ignored);
        return false;
    }
    address_ = address;
    port_ = a.local_endpoint().port();
    accept_next();
    sweep();
    thread_ = std::thread([this] { io_->context.run(); });
    return true;
}

void HttpServer::stop() {
    if (!stopping_.exchange(true)) {
        net::post(io_->context, [this] {
            beast::error_code ignored;
            io_->acceptor.close(ignored);
            io_->sweeper.cancel();
            io_->accept_pause.cancel();
            std::vector<std::shared_ptr<Connection>> all;
            for (auto& [id, c] : connections_) all.push_back(c);
            for (auto& c : all) c->close();
            io_->context.stop();
        });
    }
    if (thread_.joinable()) thread_.join();
}

void HttpServer::notify_stream() {
    if (stream_dirty_.exchange(true)) return;  // a feed is already on its way
    net::post(io_->context, [this] { feed_streams(); });
}

void HttpServer::feed_streams() {
    stream_dirty_ = false;
    std::vector<std::shared_ptr<Connection>> streams;
    for (auto& [id, c] : connections_)
        if (c->state == Connection::STREAM) streams.push_back(c);
    for (auto& c : streams) c->feed();
}

void HttpServer::accept_next() {
    io_->acceptor.async_accept([this](beast::error_code ec, tcp::socket socket) {
        if (stopping_ || !io_->acceptor.is_open()) return;
        if (ec) {
            // Out of file descriptors (or another passing failure): the
            // connection idle the longest gives way, and accepting waits a
            // moment instead of spinning.
            if (ec == net::error::no_descriptors || ec.value() == ENFILE) make_room();
            io_->accept_pause.expires_after(kAcceptPause);
            io_->accept_pause.async_wait([this](beast::error_code e) {
                if (!e && !stopping_) accept_next();
            });
            return;
        }
        if (connections_.size() >= limits_.max_connections) make_room();
        beast::error_code ignored;
        socket.set_option(tcp::no_delay(true), ignored);
        auto c = std::make_shared<Connection>(*this, next_id_++, std::move(socket));
        connections_[c->id] = c;
        connection_count_ = connections_.size();
        c->read_more();
        accept_next();
    });
}

void HttpServer::make_room() {
    std::shared_ptr<Connection> oldest;
    for (auto& [id, c] : connections_)
        if (!oldest || c->stalled_since() < oldest->stalled_since()) oldest = c;
    if (oldest) oldest->close();
}

void HttpServer::forget(Connection& c) {
    connections_.erase(c.id);
    connection_count_ = connections_.size();
}

void HttpServer::sweep() {
    const auto now = Clock::now();
    std::vector<std::shared_ptr<Connection>> late, slow;
    for (auto& [id, c] : connections_) {
        switch (c->state) {
        case Connection::READING:
            if (c->in.empty() && now - c->last_activity >= limits_.idle_time) late.push_back(c);
            else if (!c->in.empty() && now - c->request_started >= limits_.request_time) slow.push_back(c);
            break;
        case Connection::WRITING:
            if (now - c->write_started >= limits_.write_time) late.push_back(c);
            break;
        case Connection::STREAM:
            if (c->ws_writing && now - c->write_started >= limits_.write_time) late.push_back(c);
            break;
        default: break;
        }
    }
    for (auto& c : late) c->close();
    for (auto& c : slow) c->answer(error_response(408, "request not completed in time"), true);
    io_->sweeper.expires_after(kSweepEvery);
    io_->sweeper.async_wait([this](beast::error_code ec) {
        if (!ec && !stopping_) sweep();
    });
}

}  // namespace sim
