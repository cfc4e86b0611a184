#include "web/http_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "web/websocket_frames.h"

namespace sim {

namespace {

using Clock = std::chrono::steady_clock;

const char* reason(int status) {
    switch (status) {
    case 101: return "Switching Protocols";
    case 200: return "OK";
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 408: return "Request Timeout";
    case 413: return "Payload Too Large";
    case 415: return "Unsupported Media Type";
    case 421: return "Misdirected Request";
    case 431: return "Request Header Fields Too Large";
    case 501: return "Not Implemented";
    case 503: return "Service Unavailable";
    default: return "Error";
    }
}

std::string lower(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string trim(const std::string& s) {
    size_t a = s.find_first_not_of(" \t"), b = s.find_last_not_of(" \t");
    return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
}

bool set_nonblocking(int fd) {
    int flags = fcntl(fd, F_GETFL, 0);
    return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
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

RequestHead parse_request_head(const std::string& head, size_t max_body) {
    RequestHead r;
    auto fail = [&](int status, std::string why) {
        r.status = status;
        r.why = std::move(why);
        return r;
    };
    for (unsigned char ch : head)
        if ((ch < 0x20 && ch != '\r' && ch != '\n' && ch != '\t') || ch == 0x7F)
            return fail(400, "control character in the request head");
    HttpRequest& req = r.request;
    size_t line_end = head.find("\r\n");
    std::string line = head.substr(0, line_end);
    size_t sp1 = line.find(' '), sp2 = line.rfind(' ');
    if (sp1 == std::string::npos || sp2 == sp1) return fail(400, "malformed request line");
    req.method = line.substr(0, sp1);
    std::string target = line.substr(sp1 + 1, sp2 - sp1 - 1), version = line.substr(sp2 + 1);
    if (version != "HTTP/1.1" && version != "HTTP/1.0") return fail(400, "unsupported protocol version");
    if (target.empty() || target[0] != '/') return fail(400, "request target must be a path");
    size_t q = target.find('?');
    req.path = target.substr(0, q);
    if (q != std::string::npos) req.query = target.substr(q + 1);
    for (size_t at = line_end == std::string::npos ? head.size() : line_end + 2; at < head.size();) {
        size_t end = head.find("\r\n", at);
        if (end == std::string::npos) end = head.size();
        std::string field = head.substr(at, end - at);
        size_t colon = field.find(':');
        if (colon == std::string::npos || colon == 0) return fail(400, "malformed header line");
        std::string name = lower(field.substr(0, colon));
        if (req.headers.count(name) && (name == "host" || name == "origin" || name == "content-length"))
            return fail(400, "header '" + name + "' given twice");
        req.headers[name] = trim(field.substr(colon + 1));
        at = end + 2;
    }
    if (req.headers.count("transfer-encoding")) return fail(501, "request bodies must have a Content-Length");
    if (req.headers.count("content-length")) {
        const std::string& v = req.headers["content-length"];
        if (v.empty() || v.size() > 9 || v.find_first_not_of("0123456789") != std::string::npos)
            return fail(400, "malformed Content-Length");
        r.body_length = std::stoul(v);
        if (r.body_length > max_body) return fail(413, "request too large");
    }
    r.close = version == "HTTP/1.0" || lower(req.header("connection")) == "close";
    return r;
}

// ------------------------------------------------------------ replies

struct Reply::Mailbox {
    std::mutex mutex;
    bool open = true;
    int wake_fd = -1;
    std::vector<std::pair<uint64_t, HttpResponse>> replies;
    void wake() {
        if (wake_fd >= 0) {
            char b = 1;
            (void)!write(wake_fd, &b, 1);  // a full pipe already wakes the loop
        }
    }
};

void Reply::send(HttpResponse response) const {
    if (!mailbox_) return;
    std::lock_guard<std::mutex> lock(mailbox_->mutex);
    if (!mailbox_->open) return;  // the server is gone: nobody to answer
    mailbox_->replies.emplace_back(connection_, std::move(response));
    mailbox_->wake();
}

// ------------------------------------------------------------ connections

struct HttpServer::Connection {
    int fd = -1;
    uint64_t id = 0;
    enum State { READING, WAITING, STREAM } state = READING;
    std::string in, out;
    size_t out_sent = 0;
    bool close_after_write = false;
    bool closing = false;
    Clock::time_point request_started{};  // first byte of the request being read
    Clock::time_point last_activity{};
    bool reply_close = false;  // the request being answered asked to close
    bool head_only = false;    // it asked for the head of the answer only
};

HttpServer::HttpServer() : mailbox_(std::make_shared<Reply::Mailbox>()) {}

HttpServer::~HttpServer() {
    stop();
    {
        std::lock_guard<std::mutex> lock(mailbox_->mutex);
        mailbox_->open = false;
        if (mailbox_->wake_fd >= 0) close(mailbox_->wake_fd);
        mailbox_->wake_fd = -1;
    }
    for (auto& [id, c] : connections_) close(c->fd);
    connections_.clear();
    if (listen_fd_ >= 0) close(listen_fd_);
    if (wake_read_ >= 0) close(wake_read_);
}

bool HttpServer::start(int port, std::string* error) {
    const std::string where = "127.0.0.1:" + std::to_string(port);
    listen_fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listen_fd_ < 0) {
        if (error) *error = "cannot open a socket for " + where + ": " + std::strerror(errno);
        return false;
    }
    // Reuse of the address only (a port left in TIME_WAIT by a stopped
    // panel), never sharing the port with a live listener.
    int one = 1;
    setsockopt(listen_fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);  // never reachable from another machine
    if (bind(listen_fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        int e = errno;
        if (error) {
            *error = e == EADDRINUSE ? where + " is already in use (is another live panel or program listening there?)"
                                     : "cannot listen on " + where + ": " + std::strerror(e);
        }
        close(listen_fd_), listen_fd_ = -1;
        return false;
    }
    if (listen(listen_fd_, 128) != 0 || !set_nonblocking(listen_fd_)) {
        if (error) *error = "cannot listen on " + where + ": " + std::strerror(errno);
        close(listen_fd_), listen_fd_ = -1;
        return false;
    }
    socklen_t len = sizeof addr;
    getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    int pipe_fds[2];
    if (pipe2(pipe_fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        if (error) *error = std::string("cannot make the server's wake-up pipe: ") + std::strerror(errno);
        return false;
    }
    wake_read_ = pipe_fds[0];
    mailbox_->wake_fd = pipe_fds[1];
    thread_ = std::thread([this] { loop(); });
    return true;
}

void HttpServer::stop() {
    if (stopping_.exchange(true)) {
        if (thread_.joinable()) thread_.join();
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mailbox_->mutex);
        mailbox_->wake();
    }
    if (thread_.joinable()) thread_.join();
}

void HttpServer::notify_stream() {
    stream_dirty_ = true;
    std::lock_guard<std::mutex> lock(mailbox_->mutex);
    mailbox_->wake();
}

void HttpServer::loop() {
    std::vector<pollfd> fds;
    std::vector<Connection*> polled;
    while (!stopping_) {
        fds.clear();
        polled.clear();
        fds.push_back({wake_read_, POLLIN, 0});
        fds.push_back({listen_fd_, POLLIN, 0});
        auto now = Clock::now();
        auto next_deadline = now + std::chrono::milliseconds(500);
        for (auto& [id, c] : connections_) {
            // While a request waits for its answer, reading goes on only to
            // see the client leave; no more than one request is held.
            short events = c->closing ? 0 : POLLRDHUP;
            if (!c->closing && (c->state != Connection::WAITING || c->in.size() <= limits_.max_header_bytes))
                events |= POLLIN;
            if (c->out_sent < c->out.size()) events |= POLLOUT;
            fds.push_back({c->fd, events, 0});
            polled.push_back(c.get());
            if (c->state == Connection::READING) {
                auto limit = c->in.empty() ? c->last_activity + limits_.idle_time : c->request_started + limits_.request_time;
                next_deadline = std::min(next_deadline, limit);
            }
        }
        int wait_ms = int(std::max<long>(1, std::chrono::duration_cast<std::chrono::milliseconds>(next_deadline - now).count() + 1));
        if (poll(fds.data(), fds.size(), wait_ms) < 0 && errno != EINTR) break;
        if (fds[0].revents & POLLIN) {
            char drain[256];
            while (read(wake_read_, drain, sizeof drain) > 0) {
            }
        }
        if (stopping_) break;
        deliver_replies();
        for (size_t i = 0; i < polled.size(); ++i) {
            Connection& c = *polled[i];
            short ev = fds[i + 2].revents;
            if (ev & (POLLERR | POLLNVAL)) c.closing = true, c.out.clear(), c.out_sent = 0;
            if (!c.closing && (ev & (POLLIN | POLLHUP | POLLRDHUP))) read_from(c);
            if (ev & POLLRDHUP) c.closing = true;  // the client left: an answer still owed is dropped
            if (ev & POLLOUT) write_to(c);
        }
        if (fds[1].revents & POLLIN) accept_all();  // may close an idle connection: after the loop above
        feed_streams();
        now = Clock::now();
        for (auto& [id, c] : connections_) {
            if (c->state != Connection::READING || c->closing) continue;
            if (c->in.empty() && now >= c->last_activity + limits_.idle_time) c->closing = true;
            else if (!c->in.empty() && now >= c->request_started + limits_.request_time)
                queue_response(*c, error_response(408, "request not completed in time"), true);
        }
        for (auto it = connections_.begin(); it != connections_.end();) {
            Connection& c = *it->second;
            bool done = c.closing && c.out_sent >= c.out.size();
            if (done) {
                if (c.state == Connection::STREAM && stream_.closed) stream_.closed(c.id);
                close(c.fd);
                it = connections_.erase(it);
            } else {
                ++it;
            }
        }
        connection_count_ = connections_.size();
    }
    for (auto& [id, c] : connections_) {
        if (c->state == Connection::STREAM && stream_.closed) stream_.closed(c->id);
        close(c->fd);
    }
    connections_.clear();
    connection_count_ = 0;
}

void HttpServer::accept_all() {
    for (;;) {
        int fd = accept4(listen_fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) return;
        if (connections_.size() >= limits_.max_connections) {
            // Full: the connection idle the longest (no request begun) gives
            // way; with none, the newcomer is turned away.
            Connection* oldest = nullptr;
            for (auto& [id, c] : connections_)
                if (c->state == Connection::READING && c->in.empty() && !c->closing &&
                    (!oldest || c->last_activity < oldest->last_activity))
                    oldest = c.get();
            if (!oldest) {
                close(fd);
                continue;
            }
            close(oldest->fd);
            connections_.erase(oldest->id);
        }
        int one = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        auto c = std::make_unique<Connection>();
        c->fd = fd;
        c->id = next_id_++;
        c->last_activity = Clock::now();
        connections_[c->id] = std::move(c);
    }
    connection_count_ = connections_.size();
}

void HttpServer::read_from(Connection& c) {
    char buffer[16384];
    for (;;) {
        ssize_t n = recv(c.fd, buffer, sizeof buffer, 0);
        if (n > 0) {
            if (c.in.empty() && c.state == Connection::READING) c.request_started = Clock::now();
            c.in.append(buffer, size_t(n));
            c.last_activity = Clock::now();
            // What one request or frame may hold, and no more.
            if (c.in.size() > limits_.max_header_bytes + limits_.max_body_bytes + 16) break;
            continue;
        }
        if (n == 0) {
            // The client is gone: an answer still owed to it is dropped
            // when it comes.
            c.closing = true;
            c.close_after_write = true;
        } else if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            c.closing = true, c.out.clear(), c.out_sent = 0;
        }
        break;
    }
    if (c.state == Connection::READING) parse_requests(c);
    else if (c.state == Connection::STREAM) parse_frames(c);
}

void HttpServer::parse_requests(Connection& c) {
    while (c.state == Connection::READING && !c.closing && !c.in.empty()) {
        size_t head_end = c.in.find("\r\n\r\n");
        if (head_end == std::string::npos) {
            if (c.in.size() > limits_.max_header_bytes)
                queue_response(c, error_response(431, "request header too large"), true);
            else if (c.close_after_write)
                c.closing = true;  // half a request and the client is done
            return;
        }
        if (head_end > limits_.max_header_bytes) return queue_response(c, error_response(431, "request header too large"), true);
        RequestHead parsed = parse_request_head(c.in.substr(0, head_end), limits_.max_body_bytes);
        if (parsed.status) return queue_response(c, error_response(parsed.status, parsed.why), true);
        HttpRequest& req = parsed.request;
        const size_t body_length = parsed.body_length;
        if (c.in.size() < head_end + 4 + body_length) {
            if (c.close_after_write) c.closing = true;
            return;
        }
        req.body = c.in.substr(head_end + 4, body_length);
        c.in.erase(0, head_end + 4 + body_length);
        if (!c.in.empty()) c.request_started = Clock::now();
        c.reply_close = parsed.close;
        bool upgrade = lower(req.header("upgrade")) == "websocket";
        if (upgrade && req.path == stream_path_ && req.method == "GET") {
            open_stream(c, req);
            return;
        }
        c.state = Connection::WAITING;
        c.head_only = req.method == "HEAD";
        Reply reply;
        reply.mailbox_ = mailbox_;
        reply.connection_ = c.id;
        if (handler_) handler_(req, reply);
        else reply.send(error_response(404, "nothing is served here"));
        deliver_replies();  // answers given at once go out in this turn
    }
}

bool HttpServer::open_stream(Connection& c, const HttpRequest& req) {
    std::string key = req.header("sec-websocket-key");
    std::string refused = stream_.admit ? stream_.admit(req) : std::string();
    if (refused.empty() && (key.empty() || req.header("sec-websocket-version") != "13"))
        refused = "400 a WebSocket request needs a key and version 13";
    if (!refused.empty()) {
        int status = std::atoi(refused.substr(0, 3).c_str());
        queue_response(c, error_response(status >= 400 ? status : 400, refused.substr(4)), true);
        return false;
    }
    c.out += "HTTP/1.1 101 Switching Protocols\r\nUpgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Accept: " +
             websocket_accept_key(key) + "\r\n\r\n";
    c.state = Connection::STREAM;
    stream_dirty_ = true;
    write_to(c);
    return true;
}

void HttpServer::parse_frames(Connection& c) {
    while (!c.closing && !c.in.empty()) {
        WebSocketFrame f = parse_client_frame(c.in, limits_.max_body_bytes);
        if (f.status == WebSocketFrame::INCOMPLETE) return;
        if (f.status == WebSocketFrame::BAD) {
            c.out += websocket_frame(kWsClose, std::string("\x03\xEA", 2));  // 1002: protocol error
            c.closing = true;
            c.in.clear();
            return;
        }
        c.in.erase(0, f.size);
        if (f.opcode == kWsClose) {
            c.out += websocket_frame(kWsClose, f.payload.substr(0, 2));
            c.closing = true;
        } else if (f.opcode == kWsPing) {
            c.out += websocket_frame(kWsPong, f.payload);
        }
        // Text and binary messages from the page are not part of the stream.
    }
    write_to(c);
}

void HttpServer::queue_response(Connection& c, const HttpResponse& r, bool close_after) {
    close_after = close_after || c.reply_close || c.close_after_write;
    std::string head = "HTTP/1.1 " + std::to_string(r.status) + " " + reason(r.status) + "\r\n";
    head += "Content-Type: " + r.content_type + "\r\n";
    head += "Content-Length: " + std::to_string(r.body.size()) + "\r\n";
    head += "X-Content-Type-Options: nosniff\r\n";
    for (auto& [name, value] : r.headers) head += name + ": " + value + "\r\n";
    head += close_after ? "Connection: close\r\n\r\n" : "Connection: keep-alive\r\n\r\n";
    c.out += head;
    if (!c.head_only) c.out += r.body;
    c.head_only = false;
    c.state = Connection::READING;
    c.last_activity = Clock::now();
    c.request_started = Clock::now();
    if (close_after) c.closing = true, c.in.clear();
    write_to(c);
}

void HttpServer::deliver_replies() {
    std::vector<std::pair<uint64_t, HttpResponse>> replies;
    {
        std::lock_guard<std::mutex> lock(mailbox_->mutex);
        replies.swap(mailbox_->replies);
    }
    for (auto& [id, response] : replies) {
        auto it = connections_.find(id);
        if (it == connections_.end() || it->second->state != Connection::WAITING) continue;  // the client left
        Connection& c = *it->second;
        queue_response(c, response, false);
        parse_requests(c);  // a request sent behind this one
    }
}

void HttpServer::write_to(Connection& c) {
    while (c.out_sent < c.out.size()) {
        ssize_t n = send(c.fd, c.out.data() + c.out_sent, c.out.size() - c.out_sent, MSG_NOSIGNAL);
        if (n > 0) {
            c.out_sent += size_t(n);
            if (c.state == Connection::STREAM) stream_bytes_ += uint64_t(n);
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return;
        c.closing = true, c.out.clear(), c.out_sent = 0;  // the client is gone
        return;
    }
    c.out.clear();
    c.out_sent = 0;
    if (c.close_after_write && c.state == Connection::READING && c.in.empty()) c.closing = true;
}

void HttpServer::feed_streams() {
    if (!stream_dirty_.exchange(false) || !stream_.next) return;
    bool someone_waits = false;
    for (auto& [id, c] : connections_) {
        if (c->state != Connection::STREAM || c->closing) continue;
        if (c->out_sent < c->out.size()) {
            someone_waits = true;  // still sending the last one: this client skips ahead later
            continue;
        }
        std::string message;
        if (stream_.next(c->id, &message)) {
            c->out = websocket_frame(kWsText, message);
            c->out_sent = 0;
            write_to(*c);
            if (c->out_sent < c->out.size()) someone_waits = true;
        }
    }
    if (someone_waits) stream_dirty_ = true;  // try them again when their sockets drain
}

}  // namespace sim
