// The trace of a flight: per host cycle, every element whose drawn state
// changed (the first cycle lists them all), the key events the gauges sent,
// the panel windows shown or hidden, the sounds played and any contract
// break the host saw. Identical traces mean the same panel to the pilot.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "flight/flight_session.h"
#include "host/sim_host.h"
#include "tools/trace/sound_observer.h"

namespace trace {

// A number as the trace prints it: rounded to the nearest step of
// 10^-decimals, ties to even, with no negative zero. Four decimals of a
// degree or a pixel by default: the Linux module (64-bit, SSE2 doubles, the
// C library's maths) and the Windows module (32-bit x87 with 80-bit
// intermediates, the system's maths) compute the same values apart from the
// last bits (1e-12 or less after the longest chains of filtering and
// trigonometry), eight orders of magnitude below this step; while 1e-4
// degree is 0.0003 pixel at the tip of the longest needle, so a difference
// that a pilot could ever see, or any real one (a wrong table point or
// constant, a value one cycle stale, a different branch), changes the
// printed digits. More decimals show how far apart two runs really are.
void set_decimals(int decimals);  // 1 to 12
std::string fixed(double value);

// What the host draws for one element, in one line.
std::string element_state(const sim::DrawnElement& d);

class TraceWriter {
public:
    TraceWriter(sim::SimHost& host, const sim::FlightSession& flight) : host_(host), flight_(flight) {}

    // The lines of what happened since the last call, under `heading`
    // ("install" or "cycle N"); nothing when nothing changed. Before the
    // first cycle nothing is drawn yet: `drawn` false leaves the elements
    // out.
    void note(const std::string& heading, const std::vector<SoundPlay>& sounds, bool drawn = true);
    const std::string& text() const { return text_; }

private:
    sim::SimHost& host_;
    const sim::FlightSession& flight_;
    std::vector<std::vector<std::string>> last_;  // per gauge, per element
    std::map<uint32_t, bool> panels_;
    size_t events_seen_ = 0, faults_seen_ = 0;
    std::string text_;
};

}  // namespace trace
