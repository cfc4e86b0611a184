// The six flight instruments fed values no simulator should deliver: NaN,
// infinities, huge magnitudes, negative zero, denormals. Every update
// callback runs on them; the instruments stay quiet and safe, their drums
// and needles on their stops, and their tooltips unchanged.
#include <cfloat>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "tests/flight_helpers.h"
#include "tests/host_fixture.h"

namespace {

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kHostile[] = {kNaN,     -kNaN,   kInf,     -kInf,   1e300,       -1e300,           DBL_MAX,
                           -DBL_MAX, 1e18,    -1e18,    -0.0,    DBL_TRUE_MIN, 4294967296.0,    -2147483649.0};

struct Gauge {
    const char* name;
    std::vector<uint32_t> tokens;
};
const Gauge kGauges[] = {
    {"Airspeed", {61}},
    {"Vertical_Speed", {65}},
    {"Turn_Coordinator", {69, 70, 753}},
    {"Altimeter", {74, 75}},
    {"Attitude", {78, 80, 612}},
    {"Gyro_Compass", {84, 85, 279, 288}},
};

// Every tooltip of a gauge, sampled over its whole face.
std::vector<std::string> tooltips(const sim::Placement& p) {
    std::vector<std::string> texts;
    for (int y = 0; y < 310; y += 7)
        for (int x = 0; x < 310; x += 7) texts.push_back(p.tooltip(x, y));
    return texts;
}

// The accumulated directions of a needle's first and last table entries.
std::pair<double, double> table_span(sim::Placement& p, size_t i) {
    auto* n = p.record<NeedleElement>(i);
    auto angles = sim::table_angles(n->table, n->table_entries, n->header.x, n->header.y);
    return {angles.front(), angles.back()};
}

bool within(double v, double lo, double hi) { return std::isfinite(v) && v >= lo - 1e-9 && v <= hi + 1e-9; }

}  // namespace

TEST_F(ModuleTest, FlightInstrumentsStaySafeOnHostileValues) {
    for (const Gauge& g : kGauges) {
        sim::SimHost fresh;
        ASSERT_NE(fresh.load_module(MORVANE_MODULE_PATH, nullptr), nullptr);
        sim::Placement& p = *fresh.place(g.name, nullptr);
        for (uint32_t t : g.tokens) fresh.set_var(t, 0);
        fresh.cycle();
        const auto calm_tooltips = tooltips(p);
        for (double v : kHostile) {
            SCOPED_TRACE(std::string(g.name) + " at " + std::to_string(v));
            for (uint32_t t : g.tokens) fresh.set_var(t, v);
            // Long enough for the rate-limited needle to reach its target.
            fresh.cycles(20);
            EXPECT_TRUE(fresh.faults.empty());
            EXPECT_TRUE(fresh.events().empty());
            EXPECT_EQ(tooltips(p), calm_tooltips);
            for (const sim::DrawnElement& d : p.drawn()) {
                if (d.kind == ELEMENT_ICON) { EXPECT_TRUE(d.image == 0 || d.image == -1); }
            }
        }
    }
}

TEST_F(ModuleTest, DialNeedlesHoldTheirStopsOnHostileValues) {
    // Needles whose tables end in stops: they never leave their scale.
    const struct {
        const char* gauge;
        uint32_t token;
        size_t needle;
    } dials[] = {{"Airspeed", 61, 1}, {"Vertical_Speed", 65, 1}, {"Turn_Coordinator", 70, 4}};
    for (const auto& dial : dials) {
        sim::SimHost fresh;
        ASSERT_NE(fresh.load_module(MORVANE_MODULE_PATH, nullptr), nullptr);
        sim::Placement& p = *fresh.place(dial.gauge, nullptr);
        auto [lo, hi] = table_span(p, dial.needle);
        for (double v : kHostile) {
            SCOPED_TRACE(std::string(dial.gauge) + " at " + std::to_string(v));
            fresh.set_var(dial.token, v);
            fresh.cycles(20);
            // A NaN reaches the host unchanged from a needle without a
            // callback; what it draws then is the host's affair.
            if (std::isnan(v) && !p.record<NeedleElement>(dial.needle)->callback) continue;
            EXPECT_TRUE(within(p.element(dial.needle).angle, lo, hi)) << p.element(dial.needle).angle;
            if (std::fabs(v) >= 1e18) {
                EXPECT_TRUE(std::fabs(p.element(dial.needle).angle - (v > 0 ? hi : lo)) < 1e-9);
            }
        }
    }
}

TEST_F(ModuleTest, TurnCoordinatorCallbacksOnHostileValues) {
    sim::Placement& p = place("Turn_Coordinator");
    for (double v : kHostile) {
        SCOPED_TRACE(v);
        host.set_var(69, v);
        host.set_var(70, v);
        host.set_var(753, v);
        host.cycle();
        // The ball's height is the square of any finite position, however
        // far beyond the tube's ends; only a non-finite one rests it at the
        // bottom.
        if (std::isfinite(v))
            EXPECT_DOUBLE_EQ(p.element(1).dy, v * v * -0.00030517578125);
        else
            EXPECT_EQ(p.element(1).dy, 0.0);
        // The aeroplane is fed a finite rate inside its table.
        EXPECT_TRUE(within(p.element(4).value, -5.0, 5.0)) << p.element(4).value;
        // Only a value above 20 hides the flag; NaN is not one.
        EXPECT_EQ(p.element(3).image, v > 20 ? -1 : 0);
    }
    host.set_var(70, kNaN);
    host.cycle();
    EXPECT_POINTS(p.element(4), 0.0);  // wings level
    host.set_var(69, kNaN);
    host.cycle();
    EXPECT_EQ(p.element(1).dy, 0.0);
    host.set_var(69, -kInf);
    host.cycle();
    EXPECT_EQ(p.element(1).dy, 0.0);
}

TEST_F(ModuleTest, AltimeterDrumsStayOnTheirDrumsOnHostileValues) {
    sim::Placement& p = place("Altimeter");
    for (double v : kHostile) {
        SCOPED_TRACE(v);
        host.set_var(74, v);
        host.set_var(75, v);
        host.cycle();
        for (size_t i = 1; i <= 8; ++i) {
            auto* drum = p.record<MovingImageElement>(i);
            EXPECT_TRUE(std::isfinite(p.element(i).dy));
            EXPECT_GE(p.element(i).dy, 0.0) << i;
            EXPECT_LT(p.element(i).dy, drum->min_y) << i;
        }
        for (size_t i = 9; i <= 12; ++i) EXPECT_EQ(p.element(i).image, v >= 10 ? -1 : 0) << i;
    }
    // Far above the counter's top the counters hold there: the pressure
    // drums at rest on 9999.
    for (double v : {1e300, kInf, DBL_MAX}) {
        host.set_var(75, v);
        host.cycle();
        for (size_t i = 1; i <= 4; ++i) {
            auto* drum = p.record<MovingImageElement>(i);
            EXPECT_DOUBLE_EQ(p.element(i).dy / drum->min_x, 9.0) << v << " drum " << i;
        }
    }
    // A setting that is not a number stands the drums on 0.
    host.set_var(75, kNaN);
    host.cycle();
    for (size_t i = 1; i <= 4; ++i) EXPECT_EQ(p.element(i).dy, 0.0) << i;
}

TEST_F(ModuleTest, AttitudeCardStaysInItsTravelOnHostileValues) {
    sim::Placement& p = place("Attitude");
    for (double v : kHostile) {
        SCOPED_TRACE(v);
        host.set_var(78, v);
        host.cycle();
        EXPECT_TRUE(within(p.element(1).dy, -52.0, 52.0)) << p.element(1).dy;
    }
    host.set_var(78, kNaN);
    host.cycle();
    EXPECT_EQ(p.element(1).dy, 0.0);  // level
    host.set_var(78, -kInf);
    host.cycle();
    EXPECT_NEAR(p.element(1).dy, -52.0, 1e-12);
}

TEST_F(ModuleTest, GyroCompassFlagOnHostileValues) {
    sim::Placement& p = place("Gyro_Compass");
    for (double a : kHostile) {
        for (double b : {0.0, kNaN, 1.0}) {
            host.set_var(279, a);
            host.set_var(288, b);
            host.cycle();
            EXPECT_EQ(p.element(3).image, (a > 0 || b > 0) ? 0 : -1) << a << " " << b;
        }
    }
}
