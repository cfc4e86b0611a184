// The link to FlightGear: a simulation behind the host's variables and key
// events that listens on a loopback UDP port for the lines FlightGear's
// generic protocol writes (flightgear/protocol/morvane.xml, output block),
// answers the module's tokens from the last good line through the mapping
// table, and sends the panel's key events back as input lines (the input
// block) to FlightGear's input port.
//
// Everything happens on the panel thread: the host's cycle drains the
// socket and sends what the cycle's events changed. Lines with the wrong
// field count, fields that are not numbers or lie outside what the property
// can be, datagrams from another sender than the one feeding the link, and
// over-long datagrams are dropped and counted, never shown. A silent link
// keeps the panel at its last state and says "no data".
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "flightgear/flightgear_mapping.h"
#include "host/simulation.h"

namespace fg {

struct Endpoint {
    std::string address = "127.0.0.1";
    int port = 0;
    std::string text() const { return address + ":" + std::to_string(port); }
};

struct LinkOptions {
    Endpoint listen{"127.0.0.1", 5500};  // FlightGear's output arrives here (port 0: any free port)
    Endpoint send{"127.0.0.1", 5501};    // FlightGear reads the panel's input lines here
    // An aircraft with one engine: engine 2's gauges show engine[0] and its
    // levers and switches act on engine[0].
    bool single_engine = false;
    // The flap lever's notches below "up": the panel's own twin has four
    // (1, 2, 3, full: quarters of the travel); FlightGear's c172p three.
    int flap_notches = 4;
    // Seconds without a good line before the link says "no data" and
    // another sender may take over (FlightGear on a busy machine may pause
    // a few seconds).
    double silence_seconds = 5.0;
    // Seconds a value sent to FlightGear is shown before FlightGear's own
    // answer takes over again (and before a switch FlightGear has not
    // followed is asked again: a slow FlightGear must not see it twice).
    double pending_seconds = 5.0;
    // Wall-clock seconds (the link's rate and silence); a steady clock when
    // empty.
    std::function<double()> clock;
};

// Parses "[ADDRESS:]PORT" (an IPv4 address). False with error set.
bool parse_endpoint(const std::string& text, Endpoint* out, std::string* error);

struct LinkCounts {
    uint64_t lines = 0;  // good lines taken
    uint64_t wrong_field_count = 0;
    uint64_t not_a_number = 0;  // including NaN and infinities
    uint64_t out_of_range = 0;
    uint64_t other_sender = 0;
    uint64_t too_long = 0;
    uint64_t sent = 0;  // input lines sent to FlightGear
    uint64_t events_before_data = 0;  // events that found no FlightGear state to act on
    uint64_t dropped() const { return wrong_field_count + not_a_number + out_of_range + other_sender + too_long; }
};

class FlightGearLink : public sim::Simulation {
public:
    explicit FlightGearLink(LinkOptions options);
    ~FlightGearLink() override;
    FlightGearLink(const FlightGearLink&) = delete;
    FlightGearLink& operator=(const FlightGearLink&) = delete;

    // Binds the listening socket. False with error naming the address.
    bool open(std::string* error);
    int listen_port() const { return bound_port_; }
    const LinkOptions& options() const { return options_; }

    bool read(uint32_t token, double* value) override;
    bool write(uint32_t token, double value) override;
    void key_event(uint32_t id, uint32_t value) override;
    void advance(double seconds) override;
    // The host expression the tail-wheel lever reads.
    bool evaluate(const char* expression, double* number, const char** string) override;
    std::string status() const override;

    // Takes what has arrived and sends what the events changed (advance
    // does both).
    void poll();
    void flush();

    const LinkCounts& counts() const { return counts_; }
    // A good line within the silence time.
    bool receiving() const;
    // Good lines per second over the last few seconds.
    double line_rate() const;

private:
    struct Source {
        const TokenSource* token;
        int a, b, c;  // output field indices, -1: none
    };
    struct Pending {
        bool active = false;
        double target = 0;  // what the panel asked for
        double sent = 0;    // what FlightGear has been asked to reach
        double since = 0;
    };

    double now() const;
    std::string resolve(const char* node) const;
    int output_index(const char* node) const;
    void take_datagram(const char* data, size_t size, bool* good);
    bool parse_line(const std::string& line, std::vector<double>* values);
    double effective(int output) const;
    double compute(const Source& s) const;
    void act(const EventAction& a, int input, uint32_t value);
    void note_wheel_height();

    LinkOptions options_;
    const Mapping& map_;
    int socket_ = -1;
    int bound_port_ = 0;

    std::unordered_map<uint32_t, Source> sources_;
    std::unordered_map<uint32_t, std::pair<const EventAction*, int>> events_;  // with the input index
    std::vector<int> input_output_;  // input index -> output index of the same property
    std::vector<int> output_input_;  // output index -> input index, -1: none
    int tailwheel_output_ = -1;

    std::vector<double> values_;
    bool have_values_ = false;
    std::vector<Pending> pending_;
    std::map<uint32_t, double> local_;
    // The reference point's height above ground, ft, when the weight was
    // last on the wheels: where the wheels are, below it (0 until then).
    double wheels_below_reference_ft_ = 0;

    LinkCounts counts_;
    bool peer_known_ = false;
    uint32_t peer_address_ = 0;
    uint16_t peer_port_ = 0;
    double last_good_ = -1;
    std::deque<double> recent_;  // times of recent good lines
};

}  // namespace fg
