// The built-in circuit flown through the aircraft, from cold and dark to
// parked, on the built-in panel: at each phase the instruments read what
// the aircraft holds; the markers and the call-outs come in order; and the
// flight is the same on every run.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "aircraft/flight_model.h"
#include "aircraft/radio_nav.h"
#include "aircraft/variables.h"
#include "platform/linux/sound_inspect.h"
#include "preview/panel_session.h"
#include "tests/preview/built_in_circuit.h"
#include "preview/preview_support.h"

namespace {

constexpr double kFeet = 3.28084;

// The built-in panel flying the built-in circuit.
struct Circuit : BuiltInCircuit {

    const aircraft::State& aircraft() { return session->aircraft()->state(); }

    // What the host drew for an element of a gauge (by name and, for the
    // engine gauges, parameter string).
    const sim::DrawnElement& element(const std::string& gauge, size_t index, const std::string& parameters = "") {
        for (const sim::PlacedGauge& g : session->gauges())
            if (g.placement->name() == gauge && (parameters.empty() || g.slot.parameters == parameters))
                return g.placement->element(index);
        ADD_FAILURE() << "no gauge " << gauge;
        static sim::DrawnElement none;
        return none;
    }

    double airspeed() { return element("Airspeed", 1).value; }
    double altitude_ft() { return element("Altimeter", 13).value; }
    double climb_fpm() { return element("Vertical_Speed", 1).value / 256 * kFeet * 60; }
    double heading() { return element("Gyro_Compass", 2).value; }
    double rpm(int engine) { return element("Tachometer", 1, std::to_string(engine)).value; }
    double manifold_mb(int engine) {
        return element("Manifold_Pressure", 1, std::to_string(engine)).value / aircraft::kPsfPerBar * 1000;
    }
    // Lamps of the left and right wheels: "G" locked, "r" in transit (lit
    // now), "." dark.
    std::string gear_lamps() {
        auto lamp = [&](size_t red, size_t green) {
            return element("Gear_Lamps", green).image == 0 ? 'G' : element("Gear_Lamps", red).image == 0 ? 'r' : '.';
        };
        return {lamp(5, 6), lamp(3, 4)};
    }
    double flaps_needle() { return element("Flaps_Indicator", 1).value; }
    int marker_lamp() { return element("OMI", 1).image; }
    double radio_height_m() { return element("Radio_Altimeter", 1).value; }

    // One line of what the panel shows.
    std::string trace_line() {
        char line[256];
        std::snprintf(line, sizeof line,
                      "%6.1f ias %6.1f alt %7.1f vs %6.0f hdg %5.1f rpm %6.1f %6.1f mp %6.1f %6.1f gear %s flaps %7.1f "
                      "marker %d ra %6.1f at %6.0f %6.0f",
                      session->time(), airspeed(), altitude_ft(), climb_fpm(), heading(), rpm(1), rpm(2), manifold_mb(1),
                      manifold_mb(2), gear_lamps().c_str(), flaps_needle(), marker_lamp(), radio_height_m(),
                      aircraft().flight.east_m, aircraft().flight.north_m);
        return line;
    }
};

// The whole flight, one trace line every 5 s, then the key events and the
// sounds in order.
std::string fly_whole_circuit() {
    Circuit c;
    std::string trace;
    for (double t = 0; t <= c.scenario.duration; t += 5) {
        c.fly_to(t);
        trace += c.trace_line() + "\n";
    }
    for (const std::string& line : c.session->log()) trace += line + "\n";
    for (const auto& s : sound_inspect::played()) trace += "sound " + std::to_string(s.wave_id) + "\n";
    return trace;
}

// At a moment of the flight every instrument shows what the aircraft
// holds (within what one host cycle moves it).
void expect_instruments_read_the_aircraft(Circuit& c) {
    const aircraft::State& s = c.aircraft();
    SCOPED_TRACE("at " + std::to_string(c.session->time()) + " s");
    EXPECT_NEAR(c.airspeed(), aircraft::indicated_kmh(s), 1.5);
    EXPECT_NEAR(c.altitude_ft(), c.host.var(74), 3);
    EXPECT_NEAR(c.heading(), s.flight.heading_deg, 1);
    for (int n : {1, 2}) {
        EXPECT_NEAR(c.rpm(n), s.engine[n - 1].rpm, 30);
        EXPECT_NEAR(c.manifold_mb(n), s.engine[n - 1].manifold_mb, 10);
    }
    std::string gear;
    for (double wheel : {s.gear_left, s.gear_right}) gear += wheel == 1 ? 'G' : wheel == 0 ? '.' : '?';
    if (gear.find('?') == std::string::npos) {
        EXPECT_EQ(c.gear_lamps(), gear);
    }
}

TEST(DefaultCircuit, FromColdAndDarkToParkedTheInstrumentsReadTheAircraftAtEachPhase) {
    Circuit c;
    sound_inspect::clear_played();
    const aircraft::State& s = c.aircraft();

    c.fly_to(1);  // cold and dark
    expect_instruments_read_the_aircraft(c);
    EXPECT_EQ(c.rpm(1), 0);
    EXPECT_EQ(c.rpm(2), 0);
    EXPECT_NEAR(c.manifold_mb(1), 1001.3, 0.5);  // the air's pressure at the field
    EXPECT_EQ(c.gear_lamps(), "GG");
    EXPECT_EQ(c.element("Parking_Brake", 1).image, 1);
    EXPECT_EQ(c.element("Turn_Coordinator", 3).image, 0);  // no power: the flag shows
    EXPECT_EQ(c.element("Gyro_Compass", 3).image, 0);      // no suction: the flag shows

    c.fly_to(36);  // both engines started
    expect_instruments_read_the_aircraft(c);
    EXPECT_TRUE(s.engine[0].running && s.engine[1].running);
    EXPECT_NEAR(c.rpm(1), 840, 5);
    EXPECT_NEAR(c.rpm(2), 840, 5);
    EXPECT_EQ(c.element("Turn_Coordinator", 3).image, -1);
    EXPECT_EQ(c.element("Gyro_Compass", 3).image, -1);

    c.fly_to(60);  // taxiing
    expect_instruments_read_the_aircraft(c);
    EXPECT_EQ(c.element("Parking_Brake", 1).image, 0);
    EXPECT_GT(c.airspeed(), 5);
    EXPECT_TRUE(s.flight.on_ground);

    c.fly_to(100);  // take-off run
    expect_instruments_read_the_aircraft(c);
    EXPECT_NEAR(c.heading(), 270, 3);
    EXPECT_NEAR(c.rpm(1), 2600, 5);
    EXPECT_GT(c.manifold_mb(2), 1250);
    EXPECT_TRUE(s.flight.on_ground);

    c.fly_to(150);  // climbing out, gear up, flaps up, turning crosswind
    expect_instruments_read_the_aircraft(c);
    EXPECT_EQ(c.gear_lamps(), "..");
    EXPECT_LT(c.flaps_needle(), 100);
    EXPECT_GT(c.climb_fpm(), 800);
    EXPECT_LT(c.climb_fpm(), 1300);

    c.fly_to(230);  // downwind
    expect_instruments_read_the_aircraft(c);
    EXPECT_NEAR(c.heading(), 90, 3);
    EXPECT_NEAR(c.altitude_ft(), 1230, 60);
    EXPECT_LT(std::abs(c.climb_fpm()), 200);
    EXPECT_GT(c.airspeed(), 190);
    EXPECT_LT(c.airspeed(), 250);

    c.fly_to(330);  // base: the ADF points at the NDB, VOR1 and VOR2 have a signal
    expect_instruments_read_the_aircraft(c);
    EXPECT_NEAR(c.element("ADF_Indicator", 2).value, aircraft::read_navigation(s).adf_bearing_deg, 1);
    EXPECT_EQ(c.element("VOR1_Indicator", 6).image, 1);
    EXPECT_EQ(c.element("VOR2_Indicator", 6).image, 1);
    EXPECT_EQ(c.gear_lamps(), "GG");

    std::vector<int> markers;  // the marker lamps in the order they light
    c.fly_to(385);  // final approach: gear down, flaps 3, over the outer marker
    expect_instruments_read_the_aircraft(c);
    EXPECT_NEAR(c.heading(), 270, 3);
    EXPECT_NEAR(c.flaps_needle(), 3 * 16382 / 4.0, 20);
    EXPECT_LT(c.climb_fpm(), -350);
    EXPECT_GT(c.airspeed(), 120);
    EXPECT_LT(c.airspeed(), 150);
    for (double t = 360; t < 500; t += 1 / 18.0) {
        c.fly_to(t);
        int lamp = c.marker_lamp();
        if (lamp != 0 && (markers.empty() || markers.back() != lamp)) markers.push_back(lamp);
    }
    EXPECT_EQ(markers, (std::vector<int>{1, 2, 3}));  // outer, middle, inner

    c.fly_to(505);  // landed, braking
    expect_instruments_read_the_aircraft(c);
    EXPECT_TRUE(s.flight.on_ground);
    EXPECT_EQ(c.radio_height_m(), 0);
    EXPECT_LT(c.airspeed(), 80);

    c.fly_to(c.scenario.duration);  // parked
    expect_instruments_read_the_aircraft(c);
    EXPECT_EQ(c.airspeed(), 0);
    EXPECT_LT(c.rpm(1), 1);
    EXPECT_LT(c.rpm(2), 1);
    EXPECT_EQ(c.element("Parking_Brake", 1).image, 1);
    EXPECT_LT(c.flaps_needle(), 1);
    EXPECT_EQ(s.engine[0].magnetos + s.engine[1].magnetos, 0);

    // The radio altimeter's call-outs on the way down, in order (the
    // decision height, 200 ft, speaks in place of the 200-ft call).
    std::vector<uint32_t> callouts;
    for (const auto& p : sound_inspect::played())
        if (p.wave_id >= 3290 && p.wave_id <= 3400) callouts.push_back(p.wave_id);
    EXPECT_EQ(callouts, (std::vector<uint32_t>{3290, 3300, 3310, 3320, 3400, 3340, 3350, 3360, 3370, 3380, 3390}));
}

TEST(DefaultCircuit, TheFlightIsTheSameOnEveryRun) {
    std::string first = fly_whole_circuit();
    std::string second = fly_whole_circuit();
    EXPECT_GT(first.size(), 10000u);
    EXPECT_EQ(first, second);
}

}  // namespace
