// A small HTTP/1.1 server with WebSocket streams for the live panel, on the
// loopback address only.
//
// One thread serves every connection from a poll loop, so idle, slow and
// streaming clients cost a socket each and never a thread: no number of
// them can keep the others waiting. Handlers run on that thread and answer
// through a Reply, at once or later from any thread (the panel thread):
// a reply owns all it needs, so an answer that comes after its client left
// is simply dropped. Streams send a client the next message only when its
// previous one has left the socket, so a slow client skips messages
// instead of piling them up.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace sim {

struct HttpRequest {
    std::string method;  // "GET", "POST", ...
    std::string path;    // as sent, without the query
    std::string query;   // as sent, after '?'
    std::map<std::string, std::string> headers;  // names in lower case
    std::string body;
    std::string header(const std::string& lower_name) const {
        auto it = headers.find(lower_name);
        return it == headers.end() ? std::string() : it->second;
    }
};

struct HttpResponse {
    int status = 200;
    std::string content_type = "text/plain; charset=utf-8";
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;
};

// A plain-text error answer.
HttpResponse error_response(int status, const std::string& why);
// A JSON answer that no cache keeps (the panel's state moves on).
HttpResponse json_response(const std::string& body);

class HttpServer;

// The answer to one request, given once from any thread.
class Reply {
public:
    void send(HttpResponse response) const;

private:
    friend class HttpServer;
    struct Mailbox;
    std::shared_ptr<Mailbox> mailbox_;
    uint64_t connection_ = 0;
};

class HttpServer {
public:
    using Handler = std::function<void(const HttpRequest&, Reply)>;
    // Streams: decides whether a WebSocket request may open (an empty
    // string) or why not; gives a client its next message (false: nothing
    // new); forgets a client that left. All called on the server thread.
    struct Stream {
        std::function<std::string(const HttpRequest&)> admit;
        std::function<bool(uint64_t client, std::string* message)> next;
        std::function<void(uint64_t client)> closed;
    };
    struct Limits {
        size_t max_connections = 500;  // beyond it the longest-idle connection makes room
        size_t max_header_bytes = 8192;
        size_t max_body_bytes = 4096;
        std::chrono::milliseconds request_time{5000};  // from a request's first byte to its end
        std::chrono::milliseconds idle_time{30000};    // a kept-alive connection with no request
    };

    HttpServer();
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Every request goes to the one handler; path "/live" with an upgrade
    // header to the stream.
    void set_handler(Handler handler) { handler_ = std::move(handler); }
    void set_stream(std::string path, Stream stream) { stream_path_ = std::move(path), stream_ = std::move(stream); }
    Limits& limits() { return limits_; }

    // Listens on 127.0.0.1:port (0: any free port) and starts the server
    // thread. False with a reason naming the address when the port is taken
    // or cannot be had.
    bool start(int port, std::string* error);
    int port() const { return port_; }
    void stop();
    // Tells the stream clients there may be a new message.
    void notify_stream();

    // Open connections (for the tests).
    size_t connections() const { return connection_count_.load(); }
    // Bytes written to stream clients so far.
    uint64_t stream_bytes() const { return stream_bytes_.load(); }

private:
    struct Connection;
    void loop();
    void accept_all();
    void read_from(Connection& c);
    void parse_requests(Connection& c);
    void parse_frames(Connection& c);
    void write_to(Connection& c);
    void deliver_replies();
    void feed_streams();
    void close_connection(Connection& c);
    void queue_response(Connection& c, const HttpResponse& r, bool close_after);
    bool open_stream(Connection& c, const HttpRequest& req);

    Handler handler_;
    std::string stream_path_;
    Stream stream_;
    Limits limits_;
    int listen_fd_ = -1;
    int wake_read_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> stream_dirty_{false};
    std::atomic<size_t> connection_count_{0};
    std::atomic<uint64_t> stream_bytes_{0};
    std::shared_ptr<Reply::Mailbox> mailbox_;
    std::map<uint64_t, std::unique_ptr<Connection>> connections_;
    uint64_t next_id_ = 1;
    std::thread thread_;
};

// A request's head (request line and header lines, without the blank line
// that ends it), strictly: status 0 when it is well formed, else the error
// status and reason to answer with.
struct RequestHead {
    int status = 0;
    std::string why;
    HttpRequest request;
    size_t body_length = 0;
    bool close = false;  // the client wants the connection closed after the answer
};
RequestHead parse_request_head(const std::string& head, size_t max_body);

// Strictly decoded query parameters: percent escapes must be two hex digits
// and may not encode NUL or other control characters; '+' is a space. False
// with the reason naming the parameter when the query is malformed.
bool parse_query(const std::string& query, std::map<std::string, std::string>* params, std::string* error);

}  // namespace sim
