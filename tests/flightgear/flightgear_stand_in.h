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

// A whole file as it stands on disk; empty when it cannot be read.
inline std::string read_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Reads the protocol file with expat.
inline Protocol load_protocol(const std::string& path) {
    if (!std::ifstream(path)) throw std::runtime_error(path + ": cannot open");
    const std::string text = read_text(path);
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
    if (XML_Parse(parser, text.data(), static_cast<int>(text.size()), 1) == XML_STATUS_ERROR) {
        std::string why = path + ":" + std::to_string(XML_GetCurrentLineNumber(parser)) + ": " +
                          XML_ErrorString(XML_GetErrorCode(parser));
        XML_ParserFree(parser);
        throw std::runtime_error(why);
    }
    XML_ParserFree(parser);
    return state.p;
}

inline std::string shipped_protocol_path() { return std::string(MORVANE_SOURCE_DIR) + "/flightgear/protocol/morvane.xml"; }

// What the stand-in sends: a value for every property of the output block.
inline const std::map<std::string, double> kSent = {
    {"/instrumentation/airspeed-indicator/indicated-speed-kt", 100},
    {"/instrumentation/vertical-speed-indicator/indicated-speed-fpm", 1000},
    {"/instrumentation/slip-skid-ball/indicated-slip-skid", 0.81},
    {"/instrumentation/turn-indicator/indicated-turn-rate", 0.5},
    {"/instrumentation/altimeter/indicated-altitude-ft", 4500},
    {"/instrumentation/altimeter/setting-hpa", 1013.25},
    {"/instrumentation/attitude-indicator/indicated-pitch-deg", 5},
    {"/instrumentation/attitude-indicator/indicated-roll-deg", 20},
    {"/instrumentation/attitude-indicator/caged-flag", 0},
    {"/instrumentation/heading-indicator/indicated-heading-deg", 123.5},
    {"/instrumentation/heading-indicator/offset-deg", 12},
    {"/instrumentation/heading-indicator/spin", 0.5},
    {"/systems/electrical/volts", 28},
    {"/gear/gear[0]/wow", 0},
    {"/gear/gear[1]/wow", 0},
    {"/gear/gear[2]/wow", 0},
    {"/instrumentation/adf/frequencies/selected-khz", 1234.5},
    {"/instrumentation/adf/rotation-deg", 30},
    {"/instrumentation/adf/indicated-bearing-deg", 45},
    {"/instrumentation/adf/in-range", 1},
    {"/instrumentation/adf/ident-audible", 1},
    {"/instrumentation/comm/frequencies/selected-mhz", 122.95},
    {"/instrumentation/nav[0]/frequencies/selected-mhz", 110.5},
    {"/instrumentation/nav[0]/heading-needle-deflection", -5},
    {"/instrumentation/nav[0]/gs-needle-deflection-norm", 0.5},
    {"/instrumentation/nav[0]/to-flag", 0},
    {"/instrumentation/nav[0]/from-flag", 1},
    {"/instrumentation/nav[0]/gs-in-range", 1},
    {"/instrumentation/nav[0]/radials/selected-deg", 270},
    {"/instrumentation/nav[0]/ident-audible", 0},
    {"/instrumentation/nav[1]/frequencies/selected-mhz", 108.2},
    {"/instrumentation/nav[1]/heading-needle-deflection", 2},
    {"/instrumentation/nav[1]/gs-needle-deflection-norm", -0.25},
    {"/instrumentation/nav[1]/to-flag", 1},
    {"/instrumentation/nav[1]/from-flag", 0},
    {"/instrumentation/nav[1]/gs-in-range", 0},
    {"/instrumentation/nav[1]/radials/selected-deg", 90},
    {"/instrumentation/nav[1]/ident-audible", 0},
    {"/instrumentation/marker-beacon/outer", 0},
    {"/instrumentation/marker-beacon/middle", 1},
    {"/instrumentation/marker-beacon/inner", 0},
    {"/instrumentation/transponder/id-code", 4721},
    {"/position/altitude-agl-ft", 1000},
    {"/engines/engine[0]/rpm", 2300},
    {"/engines/engine[0]/mp-inhg", 25},
    {"/engines/engine[0]/oil-temperature-degf", 180},
    {"/engines/engine[0]/oil-pressure-psi", 60},
    {"/engines/engine[0]/thruster/rpm", 2310},
    {"/controls/engines/engine[0]/throttle", 0.75},
    {"/controls/engines/engine[0]/mixture", 0.9},
    {"/controls/engines/engine[0]/propeller-pitch", 1},
    {"/controls/engines/engine[0]/magnetos", 3},
    {"/controls/engines/engine[0]/starter", 0},
    {"/controls/engines/engine[0]/fuel-pump", 1},
    {"/controls/engines/engine[0]/cutoff", 0},
    {"/engines/engine[1]/rpm", 2250},
    {"/engines/engine[1]/mp-inhg", 24},
    {"/engines/engine[1]/oil-temperature-degf", 170},
    {"/engines/engine[1]/oil-pressure-psi", 55},
    {"/engines/engine[1]/thruster/rpm", 2240},
    {"/controls/engines/engine[1]/throttle", 0.5},
    {"/controls/engines/engine[1]/mixture", 0.8},
    {"/controls/engines/engine[1]/propeller-pitch", 0.6},
    {"/controls/engines/engine[1]/magnetos", 2},
    {"/controls/engines/engine[1]/starter", 1},
    {"/controls/engines/engine[1]/fuel-pump", 0},
    {"/controls/engines/engine[1]/cutoff", 1},
    {"/consumables/fuel/tank[0]/level-gal_us", 20},
    {"/consumables/fuel/tank[0]/capacity-gal_us", 40},
    {"/consumables/fuel/tank[0]/selected", 1},
    {"/consumables/fuel/tank[1]/level-gal_us", 30},
    {"/consumables/fuel/tank[1]/capacity-gal_us", 40},
    {"/consumables/fuel/tank[1]/selected", 0},
    {"/systems/hydraulic/pressure-psi", 1500},
    {"/systems/vacuum/suction-inhg", 5},
    {"/environment/temperature-degc", 15},
    {"/controls/gear/gear-down", 1},
    {"/gear/gear[0]/position-norm", 1},
    {"/gear/gear[1]/position-norm", 0.5},
    {"/gear/gear[2]/position-norm", 0},
    {"/controls/gear/brake-parking", 1},
    {"/controls/gear/tailwheel-lock", 1},
    {"/surface-positions/flap-pos-norm", 0.5},
    {"/controls/flight/flaps", 0.3333},
    {"/controls/flight/elevator-trim", 0.5},
    {"/controls/flight/rudder-trim", -0.25},
    {"/sim/time/local-day-seconds", 45000},
    {"/sim/time/elapsed-sec", 123.5},
};

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
