// The panel flown by a stand-in for FlightGear on loopback UDP that speaks
// the shipped protocol file: the instruments read what FlightGear sends
// (every mapped property with its unit conversion), clicks on the panel
// come back as the right input lines, and malformed or hostile datagrams
// are counted and never reach the module.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <set>

#include "aircraft/radio_tuning.h"
#include "flightgear/flightgear_link.h"
#include "tests/flightgear/flightgear_stand_in.h"
#include "tests/host_fixture.h"

namespace {

using Clock = std::chrono::steady_clock;
using fgtest::kSent;


// What the module then reads, token by token, in its own units.
struct Expected {
    uint32_t token;
    double value;
    bool word = false;  // an integer in the low 32 bits
};
const double kRad = 3.141592653589793 / 180;
const Expected kExpected[] = {
    {61, 185.2},                           // 100 kt in km/h
    {65, 1000 / 60.0 / 3.28084 * 256},     // 1000 ft/min in m/s x 256
    {69, -0.81 * 127 / 1.62},              // half way to the left end
    {70, 0.5 * 1152},                      // half a standard-rate turn
    {753, 28},
    {755, 28},
    {74, 4500},
    {75, 1013.25},
    {78, 5},
    {80, -20},
    {612, 0},
    {84, 123.5},
    {85, 12 * 65536 / 360.0},
    {279, 1},                              // the gyro spins down: flag
    {288, 0},
    {60, 0},                               // in the air
    {16, 0x234, true},                     // 1234.5 kHz
    {18, 256 + 5, true},
    {22, 30},
    {39, 45},
    {20, 255},
    {880, 1},
    {23, 0x2295, true},                    // 122.95 MHz
    {24, 0x1050, true},                    // 110.50 MHz
    {27, 0x0820, true},                    // 108.20 MHz
    {40, -63.5},
    {41, -59.5},
    {43, 2, true},                         // FROM
    {44, 1},
    {45, 270},
    {50, 25.4},
    {882, 29.75},
    {52, 1, true},                         // TO
    {53, 0},
    {54, 90},
    {354, 2},                              // middle marker
    {38, 0x4721, true},
    {614, 304.8},                          // 1000 ft
    {615, 200 / 3.28084},
    {616, 0},                              // above the decision height
    {390, 2300},
    {429, 2250},
    {391, 25 * 70.72619},
    {430, 24 * 70.72619},
    {416, 180 + 459.67},
    {455, 170 + 459.67},
    {418, 60 * 144.0},
    {457, 55 * 144.0},
    {700, 2310},
    {708, 2240},
    {788, 0},
    {392, 0.75},
    {431, 0.5},
    {393, 0.9},
    {432, 0.8},
    {394, 1},
    {433, 0.6},
    {401, 1},  // lower switches: the fuel pumps
    {440, 0},
    {891, 0},  // upper switches: the starters
    {892, 1},
    {422, 1, true},                        // not cut off: open
    {461, 0, true},
    {291, 8388610 / 2.0},
    {297, 8388610 * 0.75},
    {895, 1},
    {896, 0},
    {732, 1500 * 144.0},
    {353, 5},
    {341, 15},
    {331, 16383},
    {332, 16383},
    {333, 16383 * 0.5},
    {334, 0},
    {323, 32767},
    {330, 16383 * 0.5},
    {329, 16383 * 0.3333},
    {783, -0.5 * 12 * kRad},               // nose down in FlightGear: below zero on the panel
    {787, -0.25 * 12 * kRad},
    {557, 45000},
    {604, 123.5},
};

uint32_t low_word(double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return static_cast<uint32_t>(bits);
}

class FlightGearLinkTest : public ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        stand_in = std::make_unique<fgtest::StandIn>(fgtest::load_protocol(fgtest::shipped_protocol_path()));
        stand_in->properties = std::map<std::string, double>(kSent.begin(), kSent.end());
    }
    void TearDown() override {
        host.attach(nullptr);
        ModuleTest::TearDown();
    }

    void start_link(fg::LinkOptions options = {}) {
        options.listen = {"127.0.0.1", 0};
        options.send = {"127.0.0.1", stand_in->port()};
        link = std::make_unique<fg::FlightGearLink>(options);
        std::string error;
        ASSERT_TRUE(link->open(&error)) << error;
        host.attach(link.get());
    }

    // Host cycles until done() holds, for a generous while.
    bool cycle_until(const std::function<bool()>& done) {
        auto deadline = Clock::now() + std::chrono::seconds(20);
        while (Clock::now() < deadline) {
            host.cycle();
            if (done()) return true;
        }
        return false;
    }

    // FlightGear's current state reaches the panel.
    void send_state() {
        uint64_t before = link->counts().lines;
        stand_in->send_output(link->listen_port());
        ASSERT_TRUE(cycle_until([&] { return link->counts().lines > before; })) << link->status();
        host.cycle();  // the gauges read it in the next cycle
    }

    // The next input line the panel sends, applied by the stand-in; the
    // fields that were not 0.
    std::map<std::string, double> next_input() {
        std::string line;
        auto deadline = Clock::now() + std::chrono::seconds(20);
        while (Clock::now() < deadline) {
            if (stand_in->receive(&line, 5)) {
                last_line = line;
                return stand_in->apply_input(line);
            }
            host.cycle();
        }
        ADD_FAILURE() << "no input line came from the panel";
        return {};
    }

    std::unique_ptr<fgtest::StandIn> stand_in;
    std::unique_ptr<fg::FlightGearLink> link;
    std::string last_line;
};

}  // namespace

// The shipped protocol file and the link's tables describe the same lines:
// the same properties in the same order with the same types, every input
// field relative, and every property the panel sets also reported back.
TEST(FlightGearProtocol, ShippedFileMatchesTheLinkTables) {
    fgtest::Protocol p = fgtest::load_protocol(fgtest::shipped_protocol_path());
    const fg::Mapping& m = fg::mapping();
    EXPECT_EQ(p.out_fields, std::string(1, fg::kFieldSeparator));
    EXPECT_EQ(p.out_line, std::string(1, fg::kLineSeparator));
    EXPECT_EQ(p.in_fields, std::string(1, fg::kFieldSeparator));
    EXPECT_EQ(p.in_line, std::string(1, fg::kLineSeparator));
    const char* types[] = {"float", "int", "bool"};
    ASSERT_EQ(p.outputs.size(), m.output_count);
    std::set<std::string> output_nodes;
    for (size_t i = 0; i < m.output_count; ++i) {
        SCOPED_TRACE(m.outputs[i].node);
        EXPECT_EQ(p.outputs[i].node, m.outputs[i].node);
        EXPECT_EQ(p.outputs[i].type, types[static_cast<int>(m.outputs[i].type)]);
        EXPECT_EQ(p.outputs[i].format, m.outputs[i].format);
        output_nodes.insert(m.outputs[i].node);
    }
    ASSERT_EQ(p.inputs.size(), m.input_count);
    for (size_t i = 0; i < m.input_count; ++i) {
        SCOPED_TRACE(m.inputs[i].node);
        EXPECT_EQ(p.inputs[i].node, m.inputs[i].node);
        EXPECT_EQ(p.inputs[i].type, types[static_cast<int>(m.inputs[i].type)]);
        EXPECT_TRUE(p.inputs[i].relative);
        if (m.inputs[i].type != fg::FieldType::Bool) {
            EXPECT_EQ(p.inputs[i].min, m.inputs[i].min);
            EXPECT_EQ(p.inputs[i].max, m.inputs[i].max);
            EXPECT_EQ(p.inputs[i].wrap, m.inputs[i].wrap);
        }
        EXPECT_TRUE(output_nodes.count(m.inputs[i].node)) << "the panel could not see what it sets";
    }
    // Every event's property is an input field.
    std::set<std::string> input_nodes;
    for (const auto& c : p.inputs) input_nodes.insert(c.node);
    for (size_t i = 0; i < m.event_count; ++i) {
        if (!m.events[i].node) continue;
        EXPECT_TRUE(input_nodes.count(m.events[i].node)) << m.events[i].event;
    }
}

// An aircraft's own protocol file is the shipped one with only its
// documented renames: the same fields in the same order, so the link reads
// and writes it unchanged.
TEST(FlightGearProtocol, AircraftFilesDifferOnlyByTheirRenames) {
    fgtest::Protocol generic = fgtest::load_protocol(fgtest::shipped_protocol_path());
    ASSERT_GT(fg::aircraft_protocol_count(), 0u);
    for (size_t a = 0; a < fg::aircraft_protocol_count(); ++a) {
        const fg::AircraftProtocol& ap = fg::aircraft_protocols()[a];
        SCOPED_TRACE(ap.protocol);
        fgtest::Protocol own = fgtest::load_protocol(std::string(MORVANE_SOURCE_DIR) + "/flightgear/protocol/" +
                                                     ap.protocol + ".xml");
        std::map<std::string, std::string> renames;
        for (size_t r = 0; r < ap.rename_count; ++r) renames[ap.renames[r].generic] = ap.renames[r].aircraft;
        size_t renamed = 0;
        auto same_block = [&](const std::vector<fgtest::Chunk>& g, const std::vector<fgtest::Chunk>& o) {
            ASSERT_EQ(g.size(), o.size());
            for (size_t i = 0; i < g.size(); ++i) {
                auto it = renames.find(g[i].node);
                std::string node = it == renames.end() ? g[i].node : it->second;
                renamed += it != renames.end();
                EXPECT_EQ(o[i].node, node);
                EXPECT_EQ(o[i].type, g[i].type);
                EXPECT_EQ(o[i].format, g[i].format);
                EXPECT_EQ(o[i].relative, g[i].relative);
                EXPECT_EQ(o[i].min, g[i].min);
                EXPECT_EQ(o[i].max, g[i].max);
                EXPECT_EQ(o[i].wrap, g[i].wrap);
            }
        };
        same_block(generic.outputs, own.outputs);
        same_block(generic.inputs, own.inputs);
        EXPECT_EQ(own.out_fields, generic.out_fields);
        EXPECT_EQ(own.in_line, generic.in_line);
        EXPECT_EQ(renamed, 2 * ap.rename_count) << "each renamed property is read and set";
    }
}

// Every token of the mapping, sent once by the stand-in, reads in the
// module's units and encodings.
TEST_F(FlightGearLinkTest, EveryMappedPropertyReachesItsTokenWithItsConversion) {
    for (const fgtest::Chunk& c : stand_in->protocol().outputs)
        EXPECT_TRUE(kSent.count(c.node)) << "the test sends no value for " << c.node;
    std::set<uint32_t> expected_tokens;
    for (const Expected& e : kExpected) expected_tokens.insert(e.token);
    const fg::Mapping& m = fg::mapping();
    for (size_t i = 0; i < m.token_count; ++i)
        EXPECT_TRUE(expected_tokens.count(m.tokens[i].token)) << "no expectation for token " << m.tokens[i].token;

    start_link();
    send_state();
    for (const Expected& e : kExpected) {
        SCOPED_TRACE("token " + std::to_string(e.token));
        double v = host.var(e.token);
        if (e.word) EXPECT_EQ(low_word(v), static_cast<uint32_t>(e.value));
        else EXPECT_NEAR(v, e.value, 1e-6 * std::max(1.0, std::fabs(e.value)) + 1e-9);
    }
    // The tail-wheel lever's host expression answers FlightGear's lock.
    sim::Placement& quadrant = place("Throttle_Quadrant");
    host.cycle();
    EXPECT_EQ(quadrant.element(1).image, 1);  // locked
}

// The instruments show what they would show with those values set in the
// host directly: the link changes nothing on the way.
TEST_F(FlightGearLinkTest, InstrumentsShowWhatFlightGearSends) {
    const char* gauges[] = {"Airspeed", "Vertical_Speed", "Turn_Coordinator", "Altimeter", "Attitude",
                            "Gyro_Compass", "VOR1_Indicator", "VOR2_Indicator", "Radio_COM1", "Radio_NAV1",
                            "Radio_NAV2", "Radio_XPDR", "Tachometer", "Manifold_Pressure", "Oil_Temperature",
                            "Oil_Pressure", "Fuel_Quantity", "Hydraulic_Pressure", "Suction_Indicator",
                            "OAT_Indicator", "Gear_Lever", "Gear_Lamps", "Parking_Brake", "Pitch_Trim_Indicator",
                            "Rudder_Trim_Indicator", "Synchroscope", "Fire_Valves", "Dirud_Box", "OMI"};
    std::vector<sim::Placement*> placed;
    start_link();
    for (const char* g : gauges) placed.push_back(&place(g));
    send_state();
    host.cycles(100);  // rate-limited needles arrive
    auto snapshot = [&] {
        std::vector<std::tuple<std::string, size_t, double, double, int, double, double, std::string>> s;
        for (sim::Placement* p : placed)
            for (size_t i = 0; i < p->element_count(); ++i) {
                const sim::DrawnElement& d = p->element(i);
                s.emplace_back(p->name(), i, d.angle, d.value_y, d.image, d.dx, d.dy, d.text);
            }
        return s;
    };
    auto from_flightgear = snapshot();

    // What a pilot reads off a few of them.
    sim::Placement& com = *placed[8];
    EXPECT_EQ(com.element(3).image, 2);  // 1[2]2.95
    EXPECT_EQ(com.element(2).image, 2);  // 12[2].95
    EXPECT_EQ(com.element(1).image, 9);  // 122.[9]5
    EXPECT_EQ(placed[20]->element(1).image, 1);  // gear handle down
    EXPECT_EQ(placed[22]->element(1).image, 1);  // parking brake set

    host.attach(nullptr);
    for (const Expected& e : kExpected) {
        if (e.word) host.set_var_low_word(e.token, static_cast<uint32_t>(e.value));
        else host.set_var(e.token, e.value);
    }
    host.cycles(100);
    auto direct = snapshot();
    ASSERT_EQ(from_flightgear.size(), direct.size());
    for (size_t i = 0; i < direct.size(); ++i) {
        SCOPED_TRACE(std::get<0>(direct[i]) + " element " + std::to_string(std::get<1>(direct[i])));
        EXPECT_NEAR(std::get<2>(from_flightgear[i]), std::get<2>(direct[i]), 1e-6);
        EXPECT_NEAR(std::get<3>(from_flightgear[i]), std::get<3>(direct[i]), 1e-6);
        EXPECT_EQ(std::get<4>(from_flightgear[i]), std::get<4>(direct[i]));
        EXPECT_NEAR(std::get<5>(from_flightgear[i]), std::get<5>(direct[i]), 1e-6);
        EXPECT_NEAR(std::get<6>(from_flightgear[i]), std::get<6>(direct[i]), 1e-6);
        EXPECT_EQ(std::get<7>(from_flightgear[i]), std::get<7>(direct[i]));
    }
}

// Clicks on the panel come back as input lines that set the right property
// by the right amount, and FlightGear's answer moves the instrument.
TEST_F(FlightGearLinkTest, ClicksComeBackAsInputLines) {
    start_link();
    sim::Placement& lever = place("Gear_Lever");
    sim::Placement& brake = place("Parking_Brake");
    sim::Placement& quadrant = place("Throttle_Quadrant");
    sim::Placement& com = place("Radio_COM1");
    sim::Placement& valves = place("Fire_Valves");
    sim::Placement& vor = place("VOR1_Indicator");
    send_state();

    // Gear handle: one toggle, nothing else.
    ASSERT_TRUE(lever.click(60, 100));
    std::map<std::string, double> changed = next_input();
    EXPECT_EQ(changed, (std::map<std::string, double>{{"/controls/gear/gear-down", 1}})) << last_line;
    EXPECT_EQ(stand_in->properties["/controls/gear/gear-down"], 0);
    EXPECT_EQ(last_line.back(), '\n');
    EXPECT_EQ(stand_in->input_fields(last_line).size(), stand_in->protocol().inputs.size());
    send_state();
    EXPECT_EQ(lever.element(1).image, 0);  // FlightGear put the handle up

    // Parking brake: a toggle.
    ASSERT_TRUE(brake.click(60, 60));
    changed = next_input();
    EXPECT_EQ(changed.count("/controls/gear/brake-parking"), 1u) << last_line;
    EXPECT_EQ(stand_in->properties["/controls/gear/brake-parking"], 0);

    // Throttle 1 at y 54 of its 109-pixel rectangle: 8267 of 16384.
    ASSERT_TRUE(quadrant.click(130, 54));
    next_input();
    EXPECT_NEAR(stand_in->properties["/controls/engines/engine[0]/throttle"], 8267.0 / 16384, 1e-6) << last_line;
    EXPECT_EQ(stand_in->properties["/controls/engines/engine[1]/throttle"], 0.5);
    send_state();
    EXPECT_NEAR(host.var(392), 8267.0 / 16384, 1e-5);  // five decimals on the way back

    // Elevator trim nose up: FlightGear's trim goes toward nose up (down).
    ASSERT_TRUE(quadrant.click(10, 200));
    next_input();
    EXPECT_NEAR(stand_in->properties["/controls/flight/elevator-trim"], 0.5 - 0.005, 1e-6) << last_line;

    // COM1 tens up: ten 1-MHz steps from 122.95 make 132.95, in one or more lines.
    ASSERT_TRUE(com.click(75, 30));
    ASSERT_TRUE(cycle_until([&] {
        std::string line;
        while (stand_in->receive(&line)) stand_in->apply_input(line);
        return std::fabs(stand_in->properties["/instrumentation/comm/frequencies/selected-mhz"] - 132.95) < 1e-4;
    })) << stand_in->properties["/instrumentation/comm/frequencies/selected-mhz"];
    send_state();
    EXPECT_EQ(com.element(3).image, 3);  // 1[3]2.95

    // ADF fine tuning, set switched on: five tenths of a kHz.
    sim::Placement& adf = place("Radio_ADF");
    host.cycle();
    ASSERT_TRUE(adf.click(270, 250));  // main switch
    ASSERT_TRUE(adf.click(190, 250));  // tune up, left button
    ASSERT_TRUE(cycle_until([&] {
        std::string line;
        while (stand_in->receive(&line)) stand_in->apply_input(line);
        return std::fabs(stand_in->properties["/instrumentation/adf/frequencies/selected-khz"] - 1235.0) < 1e-3;
    })) << stand_in->properties["/instrumentation/adf/frequencies/selected-khz"];
    send_state();

    // Left engine admission valve, open: the click shuts it (cuts it off).
    ASSERT_TRUE(valves.click(15 + 7, 60));
    changed = next_input();
    EXPECT_EQ(changed, (std::map<std::string, double>{{"/controls/engines/engine[0]/cutoff", 1}})) << last_line;

    // VOR1 course up, left click: 271 degrees.
    ASSERT_TRUE(vor.click(60, 280));
    next_input();
    EXPECT_NEAR(stand_in->properties["/instrumentation/nav[0]/radials/selected-deg"], 271, 1e-4) << last_line;
}

// With a one-engine aircraft engine 2's gauges show engine 1 and its levers
// move engine 1.
TEST_F(FlightGearLinkTest, SingleEngineAircraftDrivesBothEnginesGaugesFromEngineOne) {
    fg::LinkOptions options;
    options.single_engine = true;
    start_link(options);
    sim::Placement& quadrant = place("Throttle_Quadrant");
    send_state();
    EXPECT_EQ(host.var(429), 2300);
    EXPECT_NEAR(host.var(430), 25 * 70.72619, 1e-6);
    EXPECT_NEAR(host.var(455), 180 + 459.67, 1e-6);
    EXPECT_EQ(host.var(431), 0.75);
    ASSERT_TRUE(quadrant.click(175, 0));  // throttle 2 at the top: full
    next_input();
    EXPECT_EQ(stand_in->properties["/controls/engines/engine[0]/throttle"], 1.0) << last_line;
    EXPECT_EQ(stand_in->properties["/controls/engines/engine[1]/throttle"], 0.5);
}

// The panel's flaps lever steps FlightGear's flaps in the aircraft's own
// notches: quarters for the twin (1, 2, 3, full), thirds for the c172p;
// from a lever FlightGear left between two notches, to the next one.
TEST_F(FlightGearLinkTest, FlapsLeverMovesFlightGearsFlapsInTheAircraftsNotches) {
#ifndef TELVOR_MODULE_PATH
    GTEST_SKIP() << "the flaps lever's module (Telvor_Flaps) is not built here";
#else
    std::string error;
    ASSERT_NE(host.load_module(TELVOR_MODULE_PATH, &error), nullptr) << error;
    sim::Placement& flaps = place("telvor_flaps");
    struct Aircraft {
        int notches;
        double from;
        std::vector<double> down;  // after each click of the lever down
    };
    for (const Aircraft& a : {Aircraft{4, 0, {0.25, 0.5, 0.75, 1, 1}}, Aircraft{3, 0, {1 / 3.0, 2 / 3.0, 1, 1}},
                              Aircraft{4, 0.3333, {0.5, 0.75}}}) {
        SCOPED_TRACE(std::to_string(a.notches) + " notches from " + std::to_string(a.from));
        host.attach(nullptr);
        link.reset();
        stand_in->properties = std::map<std::string, double>(kSent.begin(), kSent.end());
        stand_in->properties["/controls/flight/flaps"] = a.from;
        fg::LinkOptions options;
        options.flap_notches = a.notches;
        start_link(options);
        send_state();
        for (double want : a.down) {
            double before = stand_in->properties["/controls/flight/flaps"];
            ASSERT_TRUE(flaps.click(380, 90));  // the lever's lower half: one notch down
            if (want != before) next_input();
            EXPECT_NEAR(stand_in->properties["/controls/flight/flaps"], want, 1e-4) << last_line;
            send_state();
            // The panel's flaps handle reads FlightGear's lever back.
            EXPECT_NEAR(host.var(329), want * 16383, 2) << "the panel's flaps handle";
        }
        // And up again, notch by notch, to the top.
        for (int n = int(std::lround(a.down.back() * a.notches)) - 1; n >= 0; --n) {
            ASSERT_TRUE(flaps.click(40, 90));
            next_input();
            EXPECT_NEAR(stand_in->properties["/controls/flight/flaps"], double(n) / a.notches, 1e-4) << last_line;
            send_state();
        }
    }
#endif
}

// Malformed and hostile datagrams are counted and dropped; the panel keeps
// showing the last good line. Another sender is not heard while the one
// feeding the link speaks.
TEST_F(FlightGearLinkTest, MalformedAndHostileLinesAreCountedAndIgnored) {
    double fake_now = 1000;
    fg::LinkOptions options;
    options.clock = [&] { return fake_now; };
    start_link(options);
    sim::Placement& airspeed = place("Airspeed");
    send_state();
    double angle = airspeed.element(1).angle;
    ASSERT_NEAR(host.var(61), 185.2, 1e-9);

    std::string good = stand_in->output_line();
    std::string body = good.substr(0, good.size() - 1);
    size_t first_comma = body.find(',');
    struct Case {
        std::string datagram;
        uint64_t fg::LinkCounts::*counter;
    } cases[] = {
        {body.substr(first_comma + 1) + "\n", &fg::LinkCounts::wrong_field_count},  // one field short
        {body + ",7\n", &fg::LinkCounts::wrong_field_count},                        // one too many
        {"\n\n,,,\n", &fg::LinkCounts::wrong_field_count},
        {"abc" + body.substr(first_comma) + "\n", &fg::LinkCounts::not_a_number},
        {"nan" + body.substr(first_comma) + "\n", &fg::LinkCounts::not_a_number},
        {"inf" + body.substr(first_comma) + "\n", &fg::LinkCounts::not_a_number},
        {"12kt" + body.substr(first_comma) + "\n", &fg::LinkCounts::not_a_number},
        {"1e300" + body.substr(first_comma) + "\n", &fg::LinkCounts::out_of_range},
        {"-5000" + body.substr(first_comma) + "\n", &fg::LinkCounts::out_of_range},
        {std::string(9000, '7'), &fg::LinkCounts::too_long},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.datagram.substr(0, 40));
        uint64_t before = link->counts().*c.counter;
        stand_in->send_raw(c.datagram, link->listen_port());
        ASSERT_TRUE(cycle_until([&] { return link->counts().*c.counter > before; })) << link->status();
        EXPECT_EQ(link->counts().lines, 1u);
        EXPECT_NEAR(host.var(61), 185.2, 1e-9);
        EXPECT_EQ(airspeed.element(1).angle, angle);
    }

    // A good line from another port while FlightGear speaks: not heard.
    fgtest::StandIn intruder(stand_in->protocol());
    intruder.properties = stand_in->properties;
    intruder.properties["/instrumentation/airspeed-indicator/indicated-speed-kt"] = 250;
    intruder.send_output(link->listen_port());
    ASSERT_TRUE(cycle_until([&] { return link->counts().other_sender == 1; })) << link->status();
    EXPECT_NEAR(host.var(61), 185.2, 1e-9);

    std::string status = link->status();
    EXPECT_NE(status.find("1 lines taken, 11 dropped"), std::string::npos) << status;
    EXPECT_NE(status.find("receiving"), std::string::npos) << status;

    // FlightGear falls silent: "no data", and the panel keeps its last state.
    fake_now += 6;
    host.cycles(3);
    status = link->status();
    EXPECT_NE(status.find("no data for 6 s"), std::string::npos) << status;
    EXPECT_NEAR(host.var(61), 185.2, 1e-9);
    EXPECT_EQ(airspeed.element(1).angle, angle);

    // A restarted FlightGear (a new port) is heard once the old one is silent.
    intruder.send_output(link->listen_port());
    ASSERT_TRUE(cycle_until([&] { return link->counts().lines == 2; })) << link->status();
    host.cycle();
    EXPECT_NEAR(host.var(61), 250 * 1.852, 1e-9);
    EXPECT_NE(airspeed.element(1).angle, angle);
}

// The panel's key events before FlightGear has said anything find no
// state to act on: nothing is sent, and they are counted.
TEST_F(FlightGearLinkTest, EventsBeforeAnyDataSendNothing) {
    start_link();
    sim::Placement& lever = place("Gear_Lever");
    ASSERT_TRUE(lever.click(60, 100));
    host.cycles(3);
    std::string line;
    EXPECT_FALSE(stand_in->receive(&line));
    EXPECT_EQ(link->counts().events_before_data, 1u);
    EXPECT_EQ(link->counts().sent, 0u);
    EXPECT_NE(link->status().find("no data yet"), std::string::npos);
}

// Every token the module reads and every event it sends on the built-in
// panel, with every click area clicked, has an entry in the mapping.
TEST_F(FlightGearLinkTest, MappingCoversEveryTokenAndEventOfThePanel) {
    start_link();
    send_state();
    const char* names[] = {"Airspeed", "Vertical_Speed", "Turn_Coordinator", "Altimeter", "Attitude",
                           "Gyro_Compass", "ADF_Indicator", "VOR1_Indicator", "VOR2_Indicator", "OMI",
                           "Radio_Altimeter", "Radio_Altimeter_DH_Light", "Radio_Altimeter_Switch", "Radio_ADF",
                           "Radio_COM1", "Radio_NAV1", "Radio_NAV2", "Radio_XPDR", "Shut_Down", "Tachometer",
                           "Manifold_Pressure", "Oil_Temperature", "Oil_Pressure", "Synchroscope",
                           "Prop_Synch_Switch", "Fuel_Quantity", "Hydraulic_Pressure", "Suction_Indicator",
                           "OAT_Indicator", "Fire_Valves", "Throttle_Quadrant", "Gear_Lever", "Gear_Lamps",
                           "Parking_Brake", "Flaps_Indicator", "Pitch_Trim_Indicator", "Rudder_Trim_Indicator",
                           "Dirud_Box", "Quorvet_Timer", "Registration", "Kneeboard_Toggle", "ATC_Toggle",
                           "Map_Toggle", "Invisible_Toggle", "Close_Subpanel", "Radios_Toggle"};
    std::vector<sim::Placement*> placed;
    for (const char* n : names) placed.push_back(&place(n));
    for (sim::Placement* p : placed) host.setup(*p);
    host.cycles(2);
    // Every click area, twice with each button (switches on, then off).
    for (int round = 0; round < 2; ++round)
        for (sim::Placement* p : placed)
            for (const MouseRect* r : p->children())
                for (uint32_t button : {MOUSE_LEFTSINGLE, MOUSE_RIGHTSINGLE}) {
                    p->click(r->x + r->width / 2, r->y + r->height / 2, button);
                    host.cycle();
                }
    const fg::Mapping& m = fg::mapping();
    std::set<uint32_t> tokens, events;
    for (size_t i = 0; i < m.token_count; ++i) tokens.insert(m.tokens[i].token);
    for (size_t i = 0; i < m.event_count; ++i) events.insert(m.events[i].event);
    for (uint32_t t : host.tokens_read) EXPECT_TRUE(tokens.count(t)) << "token " << t << " is not mapped";
    std::set<uint32_t> sent;
    for (const sim::KeyEvent& e : host.events()) sent.insert(e.id);
    for (uint32_t e : sent) EXPECT_TRUE(events.count(e)) << "event " << e << " is not mapped";
    EXPECT_GT(sent.size(), 40u);
    EXPECT_GT(host.tokens_read.size(), 70u);
}

// ------------------------------------------------------------ readings over whole channel sets


// Every 25 kHz COM channel FlightGear can be tuned to reads the word the
// built-in aircraft gives for it: the hundredths truncated as the radio's
// wheels show them (118.025 is 18.02), never rounded up to the next.
TEST_F(FlightGearLinkTest, EveryComChannelReadsTheWordTheBuiltInAircraftGives) {
    start_link();
    int checked = 0;
    for (int khz = 118000; khz <= 136975; khz += 25) {
        stand_in->properties["/instrumentation/comm/frequencies/selected-mhz"] = khz / 1000.0;
        send_state();
        aircraft::Radios radios;
        radios.com1_khz = khz;
        ASSERT_EQ(low_word(host.var(23)), aircraft::com_word(radios)) << khz << " kHz";
        ++checked;
    }
    EXPECT_EQ(checked, 760);
    // A few by hand, the ones FlightGear's half-up rounding got wrong.
    stand_in->properties["/instrumentation/comm/frequencies/selected-mhz"] = 118.025;
    send_state();
    EXPECT_EQ(low_word(host.var(23)), 0x1802u);
    stand_in->properties["/instrumentation/comm/frequencies/selected-mhz"] = 126.875;
    send_state();
    EXPECT_EQ(low_word(host.var(23)), 0x2687u);
}

// Both NAV receivers over all 200 channels, 108.00 to 117.95.
TEST_F(FlightGearLinkTest, EveryNavChannelReadsTheWordTheBuiltInAircraftGives) {
    start_link();
    for (int hundredths = 10800; hundredths <= 11795; hundredths += 5) {
        stand_in->properties["/instrumentation/nav[0]/frequencies/selected-mhz"] = hundredths / 100.0;
        stand_in->properties["/instrumentation/nav[1]/frequencies/selected-mhz"] = (22595 - hundredths) / 100.0;
        send_state();
        aircraft::Radios radios;
        radios.nav_hundredths[0] = hundredths;
        radios.nav_hundredths[1] = 22595 - hundredths;
        ASSERT_EQ(low_word(host.var(24)), aircraft::nav_word(radios, 0)) << hundredths;
        ASSERT_EQ(low_word(host.var(27)), aircraft::nav_word(radios, 1)) << 22595 - hundredths;
    }
}

// On the ground is the weight on any wheel: the c172p's nose wheel comes
// up at rotation while the mains still roll, and a taildragger numbers
// its wheels otherwise.
TEST_F(FlightGearLinkTest, OnTheGroundWhileAnyWheelCarriesWeight) {
    start_link();
    const char* wheels[] = {"/gear/gear[0]/wow", "/gear/gear[1]/wow", "/gear/gear[2]/wow"};
    for (int loaded = 0; loaded < 3; ++loaded) {
        for (int w = 0; w < 3; ++w) stand_in->properties[wheels[w]] = w == loaded ? 1 : 0;
        send_state();
        EXPECT_EQ(host.var(60), 1) << wheels[loaded];
    }
    for (const char* w : wheels) stand_in->properties[w] = 0;
    send_state();
    EXPECT_EQ(host.var(60), 0);
}

// The radio altimeter measures from the wheels: 0 on the runway, whatever
// height FlightGear gives the aircraft's reference point there, and the
// height gained above it once in the air.
TEST_F(FlightGearLinkTest, RadioHeightIsTheWheelsHeightZeroOnTheRunway) {
    start_link();
    stand_in->properties["/gear/gear[1]/wow"] = 1;
    stand_in->properties["/position/altitude-agl-ft"] = 4.7;  // the reference point above the runway
    send_state();
    EXPECT_EQ(host.var(614), 0);
    EXPECT_EQ(host.var(616), 0);  // no decision-height lamp on the ground
    stand_in->properties["/gear/gear[1]/wow"] = 0;
    for (double agl : {4.7, 54.7, 104.7, 504.7}) {
        stand_in->properties["/position/altitude-agl-ft"] = agl;
        send_state();
        EXPECT_NEAR(host.var(614), (agl - 4.7) / 3.28084, 1e-9) << agl;
    }
    EXPECT_EQ(host.var(616), 0);  // 500 ft: above the 200 ft decision height
    stand_in->properties["/position/altitude-agl-ft"] = 104.7;
    send_state();
    EXPECT_EQ(host.var(616), 1);  // 100 ft: below it
}

// The cockpit clock shows the local time at the aircraft.
TEST_F(FlightGearLinkTest, ClockShowsLocalTime) {
    start_link();
    for (double seconds : {0.0, 3600.0 * 7 + 12.5, 86399.0}) {
        stand_in->properties["/sim/time/local-day-seconds"] = seconds;
        send_state();
        EXPECT_NEAR(host.var(557), seconds, 0.05);
    }
}

// ------------------------------------------------------------ every key event against the stand-in

namespace {

// One key event, the state FlightGear is in before it, and what the
// stand-in holds once it has taken the panel's input line (or, for the
// link's own values, what the module then reads).
struct EventCase {
    uint32_t event, value;
    const char* node;  // the property the event moves; null: the link's own token
    double before, after;
    uint32_t token = 0;
};

#define COM "/instrumentation/comm/frequencies/selected-mhz"
#define NAV1F "/instrumentation/nav[0]/frequencies/selected-mhz"
#define NAV2F "/instrumentation/nav[1]/frequencies/selected-mhz"
#define XPDR "/instrumentation/transponder/id-code"
#define ADFF "/instrumentation/adf/frequencies/selected-khz"
#define ENG0 "/controls/engines/engine[0]/"
#define ENG1 "/controls/engines/engine[1]/"

const EventCase kEventCases[] = {
    {65883, 0, "/instrumentation/altimeter/setting-hpa", 1013, 1014},
    {65884, 0, "/instrumentation/altimeter/setting-hpa", 900.5, 900},  // stops at 900
    {66373, 0, "/instrumentation/attitude-indicator/caged-flag", 0, 1},
    {65877, 0, "/instrumentation/heading-indicator/offset-deg", 179.5, -179.5},
    {65878, 0, "/instrumentation/heading-indicator/offset-deg", 10, 9},
    {65881, 0, "/instrumentation/adf/rotation-deg", 359.5, 0.5},
    {65882, 0, "/instrumentation/adf/rotation-deg", 0.5, 359.5},
    {66542, 0, ADFF, 350, 351},
    {66543, 0, ADFF, 100.5, 100},          // the band's bottom
    {66462, 0, ADFF, 1799.8, 1799.9},
    {66461, 0, ADFF, 350, 349.9},
    {66122, 0x3755, ADFF, 350, 375.5},     // the band set from BCD tenths
    {65841, 0, "/instrumentation/adf/ident-audible", 0, 1},
    {65836, 0, "/instrumentation/adf/ident-audible", 1, 0},
    {65637, 0, COM, 136.975, 118.975},     // 136 wraps to 118, the channel kept
    {65636, 0, COM, 118.025, 136.025},
    {65639, 0, COM, 118.0, 118.025},       // one 25 kHz channel
    {65638, 0, COM, 118.0, 118.975},       // wraps within the MHz
    {65641, 0, NAV1F, 117.95, 108.95},
    {65640, 0, NAV1F, 108.5, 117.5},
    {65643, 0, NAV1F, 110.95, 110.0},
    {65642, 0, NAV1F, 110.0, 110.95},
    {65645, 0, NAV2F, 117.3, 108.3},
    {65644, 0, NAV2F, 108.3, 117.3},
    {65647, 0, NAV2F, 113.7, 113.75},
    {65646, 0, NAV2F, 113.0, 113.95},
    {65837, 0, "/instrumentation/nav[0]/ident-audible", 0, 1},
    {65832, 0, "/instrumentation/nav[0]/ident-audible", 1, 0},
    {65838, 0, "/instrumentation/nav[1]/ident-audible", 0, 1},
    {65833, 0, "/instrumentation/nav[1]/ident-audible", 1, 0},
    {65716, 45, "/instrumentation/nav[0]/radials/selected-deg", 270, 45},
    {65717, 200, "/instrumentation/nav[1]/radials/selected-deg", 90, 200},
    {65651, 0, XPDR, 7000, 0},             // a digit wraps without carrying
    {66455, 0, XPDR, 0, 7000},
    {65652, 0, XPDR, 1234, 1334},
    {66456, 0, XPDR, 1034, 1734},
    {65653, 0, XPDR, 1274, 1204},
    {66457, 0, XPDR, 1204, 1274},
    {65654, 0, XPDR, 1237, 1230},
    {66458, 0, XPDR, 1230, 1237},
    {65820, 8192, ENG0 "throttle", 0, 0.5},
    {65821, 16384, ENG1 "throttle", 0, 1},
    {65919, 4096, ENG0 "mixture", 1, 0.25},
    {65920, 0, ENG1 "mixture", 1, 0},
    {65923, 0, ENG0 "propeller-pitch", 1, 0},
    {65924, 12288, ENG1 "propeller-pitch", 1, 0.75},
    {66127, 0, ENG0 "magnetos", 1, 2},
    {66126, 0, ENG0 "magnetos", 1, 0},
    {65927, 0, ENG0 "magnetos", 2, 0},
    {65930, 0, ENG0 "magnetos", 0, 3},
    {66129, 0, ENG1 "magnetos", 2, 3},
    {66128, 0, ENG1 "magnetos", 3, 2},
    {65933, 0, ENG1 "magnetos", 3, 0},
    {65936, 0, ENG1 "magnetos", 1, 3},
    {66340, 0, ENG0 "starter", 0, 1},
    {66341, 0, ENG1 "starter", 1, 0},
    {66300, 0, ENG0 "fuel-pump", 1, 0},
    {66301, 0, ENG1 "fuel-pump", 0, 1},
    {65956, 0, ENG0 "cutoff", 1, 0},
    {65955, 0, ENG0 "cutoff", 0, 1},
    {66517, 0, ENG1 "cutoff", 1, 0},
    {66516, 0, ENG1 "cutoff", 0, 1},
    {66494, 0, "/consumables/fuel/tank[0]/selected", 1, 0},
    {66495, 0, "/consumables/fuel/tank[1]/selected", 0, 1},
    {65570, 0, "/controls/gear/gear-down", 1, 0},
    {65752, 0, "/controls/gear/brake-parking", 0, 1},
    {66541, 0, "/controls/gear/tailwheel-lock", 1, 0},
    {65758, 0, "/controls/flight/flaps", 0, 0.25},           // the twin's four notches
    {65759, 0, "/controls/flight/flaps", 1, 0.75},
    {65607, 0, "/controls/flight/elevator-trim", 0, 0.005},   // nose down: FlightGear's positive
    {65615, 0, "/controls/flight/elevator-trim", 0, -0.005},
    // The link's own values.
    {66318, 0, nullptr, 0, 10, 612},
    {66319, 0, nullptr, 0, -10, 612},
    {66321, 1, nullptr, 0, (200 + 10) / 3.28084, 615},   // 10 ft low down
    {66322, 0, nullptr, 0, (200 - 50) / 3.28084, 615},   // 50 ft
    {66287, 0, nullptr, 0, 1, 788},
};

#undef COM
#undef NAV1F
#undef NAV2F
#undef XPDR
#undef ADFF
#undef ENG0
#undef ENG1

}  // namespace

TEST_F(FlightGearLinkTest, EveryKeyEventMovesItsPropertyAsFlightGearTakesIt) {
    // Every event of the mapping has a case, but those with no property
    // (the host's own windows and views: the mapping says why).
    std::set<uint32_t> cased;
    for (const EventCase& c : kEventCases) cased.insert(c.event);
    const fg::Mapping& m = fg::mapping();
    for (size_t i = 0; i < m.event_count; ++i) {
        if (m.events[i].act == fg::Act::None) continue;
        EXPECT_TRUE(cased.count(m.events[i].event)) << "no case for " << m.events[i].event;
    }

    for (const EventCase& c : kEventCases) {
        SCOPED_TRACE("event " + std::to_string(c.event));
        host.attach(nullptr);
        link.reset();
        stand_in->properties = std::map<std::string, double>(kSent.begin(), kSent.end());
        if (c.node) stand_in->properties[c.node] = c.before;
        start_link();
        send_state();
        link->key_event(c.event, c.value);
        if (c.node) {
            next_input();
            EXPECT_NEAR(stand_in->properties[c.node], c.after, 1e-6) << last_line;
            send_state();  // and the panel then reads FlightGear's word
        } else {
            host.cycle();
            EXPECT_NEAR(host.var(c.token), c.after, 1e-9);
        }
    }
}
