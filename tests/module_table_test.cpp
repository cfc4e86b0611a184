// The module's gauge table and life cycle as the host sees them.
#include <cmath>
#include <cstring>

#include "host/needle_rule.h"
#include "tests/host_fixture.h"

namespace {

const char* const kGaugeOrder[] = {
    "Shut_Down", "Registration", "Kneeboard_Toggle", "ATC_Toggle", "Map_Toggle", "Invisible_Toggle",
    "Close_Subpanel", "Radios_Toggle", "Landing_View_Toggle", "GPS_Toggle", "Throttle_Toggle",
    "Compass_Toggle", "Radio_ADF", "Radio_COM1", "Radio_NAV1", "Radio_NAV2", "Radio_XPDR", "Airspeed",
    "Attitude", "Vertical_Speed", "Gyro_Compass", "Altimeter", "Turn_Coordinator", "Tachometer",
    "Manifold_Pressure", "Oil_Temperature", "Oil_Pressure", "Hydraulic_Pressure", "Fuel_Quantity",
    "Dirud_Box", "Throttle_Quadrant", "ADF_Indicator", "VOR1_Indicator", "VOR2_Indicator", "OAT_Indicator",
    "Suction_Indicator", "Quorvet_Timer", "Pitch_Trim_Indicator", "Rudder_Trim_Indicator", "Synchroscope",
    "Radio_Altimeter", "Flaps_Indicator", "Prop_Synch_Switch", "Radio_Altimeter_Switch", "Parking_Brake",
    "Gear_Lever", "Fire_Valves", "Radio_Altimeter_DH_Light", "Gear_Lamps", "OMI"};

const unsigned kWidths[] = {30,  150, 19,  19,  19,  19,  19,  19,  19,  19,  19,  19,  100, 100, 100, 100, 100,
                            100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 123, 100, 100, 100,
                            100, 100, 100, 90,  100, 100, 100, 100, 30,  30,  52,  40,  30,  30,  40,  100};

const bool kHasCallback[] = {1, 1, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 1, 1,
                             0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 1, 1, 0, 1, 0, 0, 1};

}  // namespace

TEST_F(ModuleTest, LinkageListsExactlyFiftyGaugesInOrder) {
    ModuleLinkage* linkage = module->linkage();
    EXPECT_EQ(linkage->module_id, 0x13u);
    EXPECT_EQ(linkage->version, 0x900u);
    EXPECT_EQ(linkage->flags, 0u);
    EXPECT_EQ(linkage->priority, 0u);
    auto gauges = module->gauges();
    ASSERT_EQ(gauges.size(), 50u);
    for (size_t i = 0; i < gauges.size(); ++i) {
        SCOPED_TRACE(kGaugeOrder[i]);
        EXPECT_STREQ(gauges[i]->name, kGaugeOrder[i]);
        EXPECT_EQ(gauges[i]->version, 800u);
        EXPECT_EQ(gauges[i]->width_mm, kWidths[i]);
        EXPECT_EQ(gauges[i]->callback != nullptr, kHasCallback[i]);
        EXPECT_EQ(gauges[i]->user_data, 0u);
        EXPECT_EQ(gauges[i]->parameters, nullptr);
        EXPECT_EQ(gauges[i]->query, nullptr);
        EXPECT_EQ(gauges[i]->kill, nullptr);
    }
}

TEST_F(ModuleTest, ImportTableAsksForTheHostServicesAndIsFilledAtLoad) {
    ModuleImportTable* imports = module->import_table();
    EXPECT_EQ(imports->entry.id, 0x0Fu);
    EXPECT_EQ(imports->entry.services, &host.services());
    EXPECT_EQ(imports->terminator.id, 0u);
    EXPECT_EQ(imports->terminator.services, nullptr);
}

TEST_F(ModuleTest, EveryGaugeInstallsUpdatesAndDiesWithoutFault) {
    for (GaugeHeader* g : module->gauges()) host.place_header(module, g, nullptr, nullptr);
    for (auto& p : host.placements()) host.setup(*p);
    host.cycles(3);
    host.kill_all();
    EXPECT_TRUE(host.faults.empty());
}

TEST_F(ModuleTest, UnknownServiceCodesChangeNothing) {
    for (GaugeHeader* g : module->gauges()) {
        if (!g->callback) continue;
        sim::Placement& p = *host.place_header(module, g, nullptr, nullptr);
        host.clear_events();
        auto vars_before = host.vars();
        GaugeHeader before = *p.header();
        for (int32_t code : {-1, 0, 1, 3, 4, 5, 7, 8, 9, 10, 11, 13, 15, 16, 1000, INT32_MIN, INT32_MAX})
            p.header()->callback(p.header(), code, 0x1234);
        SCOPED_TRACE(g->name);
        EXPECT_TRUE(host.events().empty());
        EXPECT_EQ(host.vars(), vars_before);
        EXPECT_EQ(std::memcmp(&before, p.header(), sizeof before), 0);
    }
}

TEST_F(ModuleTest, TwoPlacementsOfOneGaugeAreIndependentCopies) {
    sim::Placement& a = place("Tachometer", "1");
    sim::Placement& b = place("Tachometer", "2");
    EXPECT_NE(a.header(), b.header());
    EXPECT_NE(a.header(), a.original());
    EXPECT_STREQ(a.header()->parameters, "1");
    EXPECT_STREQ(b.header()->parameters, "2");
    EXPECT_NE(a.header()->parameters, b.header()->parameters);
    ASSERT_EQ(a.element_count(), b.element_count());
    for (size_t i = 0; i < a.element_count(); ++i) {
        EXPECT_NE(a.element(i).record, b.element(i).record);
        EXPECT_EQ(a.element(i).record->gauge, a.header());
        EXPECT_EQ(b.element(i).record->gauge, b.header());
    }
    if (a.header()->mouse_rects) {
        EXPECT_NE(a.header()->mouse_rects, b.header()->mouse_rects);
    }
}

TEST_F(ModuleTest, WrongServiceSlotIsCaughtByTheHost) {
    auto slot = reinterpret_cast<void(GAUGE_CALL*)()>(host.services().slot[12]);
    slot();
    ASSERT_EQ(host.faults.size(), 1u);
    EXPECT_EQ(host.faults[0], "unexpected service slot 12");
    host.faults.clear();
}

// The needle rule, on a tachometer-like table: a stop below the scale,
// points in between, and a stop above it.
TEST(NeedleRule, StopsInterpolatesAndContinues) {
    const NonlinearityEntry table[] = {
        {103, 260, 0, 0}, {103, 260, 400, 0}, {40, 150, 1000, 0}, {150, 40, 2000, 0},
        {260, 150, 3000, 0}, {212, 253, 4000, 0}, {212, 253, 4100, 0}};
    const double px = 150, py = 150;
    double a0 = sim::needle_angle(table, 7, px, py, 0);
    EXPECT_NEAR(a0, sim::point_angle(px, py, 103, 260), 1e-9);
    EXPECT_NEAR(sim::needle_angle(table, 7, px, py, -500), a0, 1e-9);  // below the scale: on the stop
    EXPECT_NEAR(sim::needle_angle(table, 7, px, py, 200), a0, 1e-9);
    EXPECT_NEAR(sim::needle_angle(table, 7, px, py, 2000), 360.0, 1e-9);   // straight up, one turn on
    EXPECT_NEAR(sim::needle_angle(table, 7, px, py, 1500), 315.0, 1e-9);   // halfway 9 o'clock to 12
    double top = sim::needle_angle(table, 7, px, py, 4000);
    EXPECT_NEAR(sim::needle_angle(table, 7, px, py, 9000), top, 1e-9);     // above: on the stop
    EXPECT_GT(top, 360.0 + 90.0);
    // Counter-clockwise: values falling along the table.
    const NonlinearityEntry ccw[] = {{150, 40, 10, 0}, {260, 150, 0, 0}};
    EXPECT_NEAR(sim::needle_angle(ccw, 2, px, py, 5), 45.0, 1e-9);
    EXPECT_NEAR(sim::needle_angle(ccw, 2, px, py, -10), 180.0, 1e-9);  // continues past the end
    // No table: the value is the angle.
    EXPECT_EQ(sim::needle_angle(nullptr, 0, px, py, 33.0), 33.0);
    // Travel limit.
    EXPECT_EQ(sim::limit_travel(10, 100, 20), 30);
    EXPECT_EQ(sim::limit_travel(10, -100, 20), -10);
    EXPECT_EQ(sim::limit_travel(10, 100, 0), 100);
}

// A two-entry clock-hand table turns in proportion over many turns.
TEST(NeedleRule, TwoEntryTableTurnsOverManyTurns) {
    const NonlinearityEntry hand[] = {{150, 40, 0, 0}, {260, 150, 15, 0}};
    EXPECT_NEAR(sim::needle_angle(hand, 2, 150, 150, 60), 360.0, 1e-9);
    EXPECT_NEAR(sim::needle_angle(hand, 2, 150, 150, 75), 450.0, 1e-9);
}
