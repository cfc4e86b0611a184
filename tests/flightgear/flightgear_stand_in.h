// A stand-in for FlightGear on loopback UDP: it reads the shipped protocol
// file (flightgear/protocol/morvane.xml) and speaks exactly what it says:
// output lines built chunk by chunk with each chunk's printf format and the
// separators, and input lines taken apart and applied to its own property
// store as FlightGear applies them (relative: numbers added and clamped or
// wrapped into min..max, bools flipped by a field that is not 0).
#pragma once

#include <arpa/inet.h>
#include <expat.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace fgtest {

struct Chunk {
    std::string name, node, type = "int", format;
    bool relative = false, wrap = false;
    double min = 0, max = 0;
};

struct Protocol {
    std::string out_fields, out_line, in_fields, in_line;
    std::vector<Chunk> outputs, inputs;
};

// The protocol file's separator keywords.
inline std::string separator(const std::string& text) {
    static const std::map<std::string, std::string> words = {
        {"newline", "\n"}, {"tab", "\t"}, {"formfeed", "\f"}, {"carriagereturn", "\r"}, {"verticaltab", "\v"}};
    auto it = words.find(text);
    return it == words.end() ? text : it->second;
}

// Reads the protocol file with expat.
inline Protocol load_protocol(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error(path + ": cannot open");
    std::stringstream text;
    text << in.rdbuf();
    struct State {
        Protocol p;
        std::vector<std::string> path;
        std::string chars;
        Chunk chunk;
    } state;
    XML_Parser parser = XML_ParserCreate(nullptr);
    XML_SetUserData(parser, &state);
    XML_SetElementHandler(
        parser,
        [](void* data, const XML_Char* name, const XML_Char**) {
            auto* s = static_cast<State*>(data);
            s->path.push_back(name);
            s->chars.clear();
            if (s->path.back() == "chunk") s->chunk = Chunk{};
        },
        [](void* data, const XML_Char* name) {
            auto* s = static_cast<State*>(data);
            std::string element = name;
            s->path.pop_back();
            bool output = false, input = false;
            for (const std::string& e : s->path) output |= e == "output", input |= e == "input";
            std::string v = s->chars;
            s->chars.clear();
            Chunk& c = s->chunk;
            if (element == "chunk") (output ? s->p.outputs : s->p.inputs).push_back(c);
            else if (element == "name") c.name = v;
            else if (element == "node") c.node = v;
            else if (element == "type") c.type = v;
            else if (element == "format") c.format = v;
            else if (element == "relative") c.relative = v == "true";
            else if (element == "wrap") c.wrap = v == "true";
            else if (element == "min") c.min = std::stod(v);
            else if (element == "max") c.max = std::stod(v);
            else if (element == "var_separator") (output ? s->p.out_fields : s->p.in_fields) = separator(v);
            else if (element == "line_separator") (output ? s->p.out_line : s->p.in_line) = separator(v);
            (void)input;
        });
    XML_SetCharacterDataHandler(parser, [](void* data, const XML_Char* text, int len) {
        static_cast<State*>(data)->chars.append(text, len);
    });
    std::string all = text.str();
    if (XML_Parse(parser, all.data(), static_cast<int>(all.size()), 1) == XML_STATUS_ERROR) {
        std::string why = path + ":" + std::to_string(XML_GetCurrentLineNumber(parser)) + ": " +
                          XML_ErrorString(XML_GetErrorCode(parser));
        XML_ParserFree(parser);
        throw std::runtime_error(why);
    }
    XML_ParserFree(parser);
    return state.p;
}

inline std::string shipped_protocol_path() { return std::string(MORVANE_SOURCE_DIR) + "/flightgear/protocol/morvane.xml"; }

// One UDP socket on 127.0.0.1: FlightGear's output comes from it and its
// input arrives at it.
class StandIn {
public:
    explicit StandIn(Protocol protocol) : p_(std::move(protocol)) {
        fd_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0)
            throw std::runtime_error("stand-in: cannot bind on 127.0.0.1");
        socklen_t len = sizeof a;
        getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
    }
    ~StandIn() { close(fd_); }
    int port() const { return port_; }
    const Protocol& protocol() const { return p_; }
    std::map<std::string, double> properties;

    // The output line of the current properties, chunk by chunk.
    std::string output_line() const {
        std::string line;
        for (size_t i = 0; i < p_.outputs.size(); ++i) {
            const Chunk& c = p_.outputs[i];
            auto it = properties.find(c.node);
            double v = it == properties.end() ? 0.0 : it->second;
            char field[64];
            if (c.type == "float") std::snprintf(field, sizeof field, c.format.c_str(), v);
            else std::snprintf(field, sizeof field, c.format.c_str(), static_cast<int>(std::lround(v)));
            if (i) line += p_.out_fields;
            line += field;
        }
        return line + p_.out_line;
    }

    void send_raw(const std::string& datagram, int to_port) const {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(static_cast<uint16_t>(to_port));
        sendto(fd_, datagram.data(), datagram.size(), 0, reinterpret_cast<sockaddr*>(&a), sizeof a);
    }
    void send_output(int to_port) const { send_raw(output_line(), to_port); }

    // An input line if one has come within `wait_ms` (0: only what is there).
    bool receive(std::string* line, int wait_ms = 0) {
        pollfd pfd{fd_, POLLIN, 0};
        if (::poll(&pfd, 1, wait_ms) <= 0) return false;
        char buffer[9000];
        ssize_t n = recv(fd_, buffer, sizeof buffer, 0);
        if (n <= 0) return false;
        line->assign(buffer, static_cast<size_t>(n));
        return true;
    }

    // The fields of an input line, as FlightGear splits it.
    std::vector<std::string> input_fields(const std::string& line) const {
        std::string body = line;
        if (body.size() >= p_.in_line.size() && body.compare(body.size() - p_.in_line.size(), p_.in_line.size(), p_.in_line) == 0)
            body.resize(body.size() - p_.in_line.size());
        std::vector<std::string> fields;
        size_t start = 0;
        while (fields.size() < p_.inputs.size()) {
            size_t end = body.find(p_.in_fields, start);
            fields.push_back(body.substr(start, end == std::string::npos ? std::string::npos : end - start));
            if (end == std::string::npos) break;
            start = end + p_.in_fields.size();
        }
        return fields;
    }

    // Applies an input line as FlightGear does; the fields that were not 0,
    // by property.
    std::map<std::string, double> apply_input(const std::string& line) {
        std::map<std::string, double> changed;
        std::vector<std::string> fields = input_fields(line);
        for (size_t i = 0; i < fields.size() && i < p_.inputs.size(); ++i) {
            const Chunk& c = p_.inputs[i];
            double v = std::strtod(fields[i].c_str(), nullptr);
            if (v == 0) continue;
            changed[c.node] = v;
            double& prop = properties[c.node];
            if (c.type == "bool") {
                prop = prop != 0 ? 0 : 1;
                continue;
            }
            double next = c.relative ? prop + v : v;
            if (c.type == "int") next = std::trunc(next);
            if (c.max > c.min) {
                if (c.wrap) {
                    double span = c.max - c.min;
                    next = c.min + std::fmod(std::fmod(next - c.min, span) + span, span);
                } else {
                    next = std::min(std::max(next, c.min), c.max);
                }
            }
            prop = next;
        }
        return changed;
    }

private:
    Protocol p_;
    int fd_ = -1;
    int port_ = 0;
};

}  // namespace fgtest
