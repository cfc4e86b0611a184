// The live panel's HTTP/1.1 server with WebSocket streams, on Boost.Beast
// over Boost.Asio.
//
// One I/O thread serves every connection, so idle, slow and streaming
// clients cost a socket each and never a thread. Each connection holds at
// most one request and one answer: a client that does not read its answers
// is not read from either, and is let go when an answer has waited on it
// longer than the write time. Handlers run on the I/O thread and answer
// through a Reply, at once or later from any thread (the panel thread): a
// reply owns all it needs, so an answer that comes after its client left is
// simply dropped. Streams send a client the next message only when its
// previous one has left the socket, so a slow client skips messages instead
// of piling them up, and a stream that reads nothing is closed. When the
// connections reach their cap, the one that has made no progress for the
// longest is let go to make room.
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
    // string) or why not ("403 why"); gives a client its next message
    // (false: nothing new); forgets a client that left. All called on the
    // I/O thread.
    struct Stream {
        std::function<std::string(const HttpRequest&)> admit;
        std::function<bool(uint64_t client, std::string* message)> next;
        std::function<void(uint64_t client)> closed;
    };
    struct Limits {
        size_t max_connections = 500;  // beyond it the connection idle the longest makes room
        size_t max_header_bytes = 8192;
        size_t max_body_bytes = 4096;
        std::chrono::milliseconds request_time{5000};  // from a request's first byte to its end
        std::chrono::milliseconds idle_time{30000};    // a kept-alive connection with no request
        std::chrono::milliseconds write_time{10000};   // an answer or message the client does not take
        std::chrono::milliseconds stream_idle_time{20000};  // a stream that answers no ping
    };

    HttpServer();
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Every request goes to the one handler; a WebSocket request for the
    // stream's path to the stream.
    void set_handler(Handler handler) { handler_ = std::move(handler); }
    void set_stream(std::string path, Stream stream) { stream_path_ = std::move(path), stream_ = std::move(stream); }
    Limits& limits() { return limits_; }

    // Listens on 127.0.0.1:port (0: any free port) and starts the I/O
    // thread. False with a reason naming the address when the port is
    // taken or cannot be had.
    bool start(int port, std::string* error) { return start("127.0.0.1", port, error); }
    // The same on an address of this machine ("0.0.0.0" and "::" for all).
    bool start(const std::string& address, int port, std::string* error);
    int port() const { return port_; }
    const std::string& address() const { return address_; }
    void stop();
    // Tells the stream clients there may be a new message (any thread).
    void notify_stream();

    // Open connections (for the tests).
    size_t connections() const { return connection_count_.load(); }
    // Bytes written to stream clients so far.
    uint64_t stream_bytes() const { return stream_bytes_.load(); }

    struct Connection;

private:
    friend class Reply;
    struct Io;
    void accept_next();
    void sweep();
    void make_room();
    void feed_streams();
    void forget(Connection& c);

    Handler handler_;
    std::string stream_path_;
    Stream stream_;
    Limits limits_;
    std::string address_;
    int port_ = 0;
    std::unique_ptr<Io> io_;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> stream_dirty_{false};
    std::atomic<size_t> connection_count_{0};
    std::atomic<uint64_t> stream_bytes_{0};
    std::shared_ptr<Reply::Mailbox> mailbox_;
    std::map<uint64_t, std::shared_ptr<Connection>> connections_;  // I/O thread only
    uint64_t next_id_ = 1;
    std::thread thread_;
};

// A whole request (head and body) in `bytes`, parsed as the server parses
// it: status 0 when it is well formed, else the error status and reason
// to answer with. `used` is how many bytes the request took.
struct ParsedRequest {
    int status = 0;
    std::string why;
    bool complete = false;  // false: well formed so far, more bytes needed
    HttpRequest request;
    bool keep_alive = true;
    bool upgrade = false;  // a WebSocket request
    size_t used = 0;
};
ParsedRequest parse_request(const std::string& bytes, size_t max_header, size_t max_body);

// Strictly decoded query parameters: percent escapes must be two hex digits
// and may not encode NUL or other control characters; '+' is a space. False
// with the reason naming the parameter when the query is malformed.
bool parse_query(const std::string& query, std::map<std::string, std::string>* params, std::string* error);

}  // namespace sim
