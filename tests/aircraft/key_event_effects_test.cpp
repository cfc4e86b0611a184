// Every row of the aircraft's key-event table, by its effect: for each
// event a value, the state before and what must hold after, including the
// radios' wraps, the channel steps and the ADF band's limits. Each case's
// "after" must not already hold before the event, so a row whose effect
// is removed fails its case.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <string>

#include "aircraft/aircraft.h"
#include "aircraft/key_events.h"
#include "aircraft/radio_tuning.h"

namespace {

using aircraft::State;
constexpr double kPi = 3.141592653589793;
constexpr double kFeet = 0.3048;

struct Case {
    uint32_t id, value;
    std::function<void(State&)> before;
    std::function<bool(const State&)> after;
};

void nothing(State&) {}

uint32_t com(const State& s) { return aircraft::com_word(s.radios); }
uint32_t nav(const State& s, int n) { return aircraft::nav_word(s.radios, n); }
uint32_t xpdr(const State& s) { return aircraft::xpdr_word(s.radios); }
bool same_value(double a, double b) { return std::fabs(a - b) < 1e-9; }

const Case kCases[] = {
    // Gear, flaps, brakes, trims.
    {65570, 0, nothing, [](const State& s) { return !s.gear_handle_down; }},
    {65570, 0, [](State& s) { s.gear_handle_down = false; }, [](const State& s) { return s.gear_handle_down; }},
    {65758, 0, nothing, [](const State& s) { return s.flaps_detent == 1; }},
    {65758, 0, [](State& s) { s.flaps_detent = 3; }, [](const State& s) { return s.flaps_detent == 4; }},
    {65759, 0, [](State& s) { s.flaps_detent = 4; }, [](const State& s) { return s.flaps_detent == 3; }},
    {65752, 0, nothing, [](const State& s) { return !s.parking_brake; }},
    {66541, 0, nothing, [](const State& s) { return s.tailwheel_locked; }},
    {65607, 0, nothing, [](const State& s) { return same_value(s.elevator_trim_rad, -0.25 * kPi / 180); }},
    {65615, 0, nothing, [](const State& s) { return same_value(s.elevator_trim_rad, 0.25 * kPi / 180); }},
    {65615, 0, [](State& s) { s.elevator_trim_rad = 19.9 * kPi / 180; },
     [](const State& s) { return same_value(s.elevator_trim_rad, 20 * kPi / 180); }},  // stops at 20°

    // Engine levers.
    {65820, 8192, nothing, [](const State& s) { return s.engine[0].throttle == 0.5 && s.engine[1].throttle == 0; }},
    {65821, 16384, nothing, [](const State& s) { return s.engine[1].throttle == 1 && s.engine[0].throttle == 0; }},
    {65821, 40000, nothing, [](const State& s) { return s.engine[1].throttle == 1; }},  // beyond the top: the top
    {65919, 12288, nothing, [](const State& s) { return s.engine[0].mixture == 0.75 && s.engine[1].mixture == 0; }},
    {65920, 4096, nothing, [](const State& s) { return s.engine[1].mixture == 0.25 && s.engine[0].mixture == 0; }},
    {65923, 0, nothing, [](const State& s) { return s.engine[0].propeller == 0 && s.engine[1].propeller == 1; }},
    {65924, 8192, nothing, [](const State& s) { return s.engine[1].propeller == 0.5 && s.engine[0].propeller == 1; }},
    {66287, 0, nothing, [](const State& s) { return s.prop_synch; }},

    // Starting box and valves.
    {65927, 0, [](State& s) { s.engine[0].magnetos = 2; }, [](const State& s) { return s.engine[0].magnetos == 0; }},
    {65930, 0, nothing, [](const State& s) { return s.engine[0].magnetos == 3 && s.engine[1].magnetos == 0; }},
    {65933, 0, [](State& s) { s.engine[1].magnetos = 3; }, [](const State& s) { return s.engine[1].magnetos == 0; }},
    {65936, 0, nothing, [](const State& s) { return s.engine[1].magnetos == 3 && s.engine[0].magnetos == 0; }},
    {66127, 0, nothing, [](const State& s) { return s.engine[0].magnetos == 1; }},
    {66126, 0, [](State& s) { s.engine[0].magnetos = 3; }, [](const State& s) { return s.engine[0].magnetos == 2; }},
    {66129, 0, nothing, [](const State& s) { return s.engine[1].magnetos == 1 && s.engine[0].magnetos == 0; }},
    {66128, 0, [](State& s) { s.engine[1].magnetos = 1; }, [](const State& s) { return s.engine[1].magnetos == 0; }},
    {66340, 0, nothing, [](const State& s) { return s.engine[0].starter && !s.engine[1].starter; }},
    {66341, 0, nothing, [](const State& s) { return s.engine[1].starter && !s.engine[0].starter; }},
    {66300, 0, nothing, [](const State& s) { return s.engine[0].boost_pump && !s.engine[1].boost_pump; }},
    {66301, 0, nothing, [](const State& s) { return s.engine[1].boost_pump && !s.engine[0].boost_pump; }},
    {66494, 0, nothing, [](const State& s) { return s.engine[0].tank_valve_open && !s.engine[1].tank_valve_open; }},
    {66495, 0, nothing, [](const State& s) { return s.engine[1].tank_valve_open && !s.engine[0].tank_valve_open; }},
    {65956, 0, nothing, [](const State& s) { return s.engine[0].admission_open && !s.engine[1].admission_open; }},
    {65955, 0, [](State& s) { s.engine[0].admission_open = true; }, [](const State& s) { return !s.engine[0].admission_open; }},
    {66517, 0, nothing, [](const State& s) { return s.engine[1].admission_open && !s.engine[0].admission_open; }},
    {66516, 0, [](State& s) { s.engine[1].admission_open = true; }, [](const State& s) { return !s.engine[1].admission_open; }},

    // Instruments.
    {65883, 0, nothing, [](const State& s) { return same_value(s.altimeter_mb, 1014.25); }},
    {65883, 0, [](State& s) { s.altimeter_mb = 1099.5; }, [](const State& s) { return s.altimeter_mb == 1100; }},
    {65884, 0, nothing, [](const State& s) { return same_value(s.altimeter_mb, 1012.25); }},
    {65884, 0, [](State& s) { s.altimeter_mb = 900.5; }, [](const State& s) { return s.altimeter_mb == 900; }},
    {65877, 0, nothing, [](const State& s) { return same_value(s.gyro_error_deg, 1) && same_value(s.gyro_knob, 65536.0 / 360); }},
    {65878, 0, nothing, [](const State& s) { return same_value(s.gyro_error_deg, 359) && same_value(s.gyro_knob, -65536.0 / 360); }},
    {66318, 0, nothing, [](const State& s) { return s.attitude_bar == 4; }},
    {66318, 0, [](State& s) { s.attitude_bar = 98; }, [](const State& s) { return s.attitude_bar == 100; }},
    {66319, 0, nothing, [](const State& s) { return s.attitude_bar == -4; }},
    {66373, 0, nothing, [](const State& s) { return s.attitude_caged; }},
    {65881, 0, [](State& s) { s.radios.adf_card_deg = 359.5; }, [](const State& s) { return same_value(s.radios.adf_card_deg, 0.5); }},
    {65882, 0, nothing, [](const State& s) { return s.radios.adf_card_deg == 359; }},
    {65716, 400, nothing, [](const State& s) { return s.radios.obs_deg[0] == 40 && s.radios.obs_deg[1] == 40; }},
    {65717, 123, nothing, [](const State& s) { return s.radios.obs_deg[1] == 123 && s.radios.obs_deg[0] == 270; }},
    {66321, 1, nothing, [](const State& s) { return same_value(s.decision_height_m, 210 * kFeet); }},
    {66321, 0, nothing, [](const State& s) { return same_value(s.decision_height_m, 250 * kFeet); }},
    {66321, 0, [](State& s) { s.decision_height_m = 980 * kFeet; }, [](const State& s) { return same_value(s.decision_height_m, 1000 * kFeet); }},
    {66322, 1, nothing, [](const State& s) { return same_value(s.decision_height_m, 190 * kFeet); }},
    {66322, 0, [](State& s) { s.decision_height_m = 30 * kFeet; }, [](const State& s) { return s.decision_height_m == 0; }},

    // ADF: 100.0 to 1799.9 kHz, held at either end.
    {66542, 0, nothing, [](const State& s) { return s.radios.adf_tenths_khz == 3510; }},
    {66542, 0, [](State& s) { s.radios.adf_tenths_khz = 17995; }, [](const State& s) { return s.radios.adf_tenths_khz == 17999; }},
    {66543, 0, nothing, [](const State& s) { return s.radios.adf_tenths_khz == 3490; }},
    {66543, 0, [](State& s) { s.radios.adf_tenths_khz = 1005; }, [](const State& s) { return s.radios.adf_tenths_khz == 1000; }},
    {66462, 0, nothing, [](const State& s) { return s.radios.adf_tenths_khz == 3501; }},
    {66462, 0, [](State& s) { s.radios.adf_tenths_khz = 17998; }, [](const State& s) { return s.radios.adf_tenths_khz == 17999; }},
    {66461, 0, nothing, [](const State& s) { return s.radios.adf_tenths_khz == 3499; }},
    {66461, 0, [](State& s) { s.radios.adf_tenths_khz = 1001; }, [](const State& s) { return s.radios.adf_tenths_khz == 1000; }},
    {66122, 0x3755, nothing, [](const State& s) { return s.radios.adf_tenths_khz == 3755; }},
    {66122, 0x0005, nothing, [](const State& s) { return s.radios.adf_tenths_khz == 1000; }},  // below the band
    {65841, 0, nothing, [](const State& s) { return s.radios.adf_tone; }},
    {65836, 0, [](State& s) { s.radios.adf_tone = true; }, [](const State& s) { return !s.radios.adf_tone; }},

    // COM1: 118.000 to 136.975 in 25 kHz channels, the MHz wrapping 136 to
    // 118 and the channels within the MHz.
    {65637, 0, nothing, [](const State& s) { return com(s) == 0x1900; }},
    {65637, 0, [](State& s) { s.radios.com1_khz = 136975; }, [](const State& s) { return s.radios.com1_khz == 118975 && com(s) == 0x1897; }},
    {65636, 0, nothing, [](const State& s) { return s.radios.com1_khz == 136000 && com(s) == 0x3600; }},
    {65636, 0, [](State& s) { s.radios.com1_khz = 122950; }, [](const State& s) { return com(s) == 0x2195; }},
    {65639, 0, nothing, [](const State& s) { return s.radios.com1_khz == 118025 && com(s) == 0x1802; }},
    {65639, 0, [](State& s) { s.radios.com1_khz = 126975; }, [](const State& s) { return s.radios.com1_khz == 126000; }},
    {65638, 0, nothing, [](const State& s) { return s.radios.com1_khz == 118975 && com(s) == 0x1897; }},
    {65638, 0, [](State& s) { s.radios.com1_khz = 126875; }, [](const State& s) { return com(s) == 0x2685; }},

    // NAV: 108.00 to 117.95 in 50 kHz steps.
    {65641, 0, nothing, [](const State& s) { return nav(s, 0) == 0x1370 && nav(s, 1) == 0x1630; }},
    {65641, 0, [](State& s) { s.radios.nav_hundredths[0] = 11795; }, [](const State& s) { return nav(s, 0) == 0x0895; }},
    {65640, 0, nothing, [](const State& s) { return nav(s, 0) == 0x1170; }},
    {65640, 0, [](State& s) { s.radios.nav_hundredths[0] = 10805; }, [](const State& s) { return nav(s, 0) == 0x1705; }},
    {65643, 0, nothing, [](const State& s) { return nav(s, 0) == 0x1275; }},
    {65643, 0, [](State& s) { s.radios.nav_hundredths[0] = 11095; }, [](const State& s) { return nav(s, 0) == 0x1000; }},
    {65642, 0, nothing, [](const State& s) { return nav(s, 0) == 0x1265; }},
    {65642, 0, [](State& s) { s.radios.nav_hundredths[0] = 11000; }, [](const State& s) { return nav(s, 0) == 0x1095; }},
    {65645, 0, nothing, [](const State& s) { return nav(s, 1) == 0x1730 && nav(s, 0) == 0x1270; }},
    {65645, 0, [](State& s) { s.radios.nav_hundredths[1] = 11750; }, [](const State& s) { return nav(s, 1) == 0x0850; }},
    {65644, 0, nothing, [](const State& s) { return nav(s, 1) == 0x1530; }},
    {65644, 0, [](State& s) { s.radios.nav_hundredths[1] = 10800; }, [](const State& s) { return nav(s, 1) == 0x1700; }},
    {65647, 0, nothing, [](const State& s) { return nav(s, 1) == 0x1635; }},
    {65647, 0, [](State& s) { s.radios.nav_hundredths[1] = 11395; }, [](const State& s) { return nav(s, 1) == 0x1300; }},
    {65646, 0, nothing, [](const State& s) { return nav(s, 1) == 0x1625; }},
    {65646, 0, [](State& s) { s.radios.nav_hundredths[1] = 11300; }, [](const State& s) { return nav(s, 1) == 0x1395; }},
    {65837, 0, nothing, [](const State& s) { return s.radios.nav_tone[0] && !s.radios.nav_tone[1]; }},
    {65832, 0, [](State& s) { s.radios.nav_tone[0] = true; }, [](const State& s) { return !s.radios.nav_tone[0]; }},
    {65838, 0, nothing, [](const State& s) { return s.radios.nav_tone[1] && !s.radios.nav_tone[0]; }},
    {65833, 0, [](State& s) { s.radios.nav_tone[1] = true; }, [](const State& s) { return !s.radios.nav_tone[1]; }},

    // Transponder: each octal digit wraps without carrying (1200 at first).
    {65651, 0, nothing, [](const State& s) { return xpdr(s) == 0x2200; }},
    {65651, 0, [](State& s) { s.radios.xpdr_digits[0] = 7; }, [](const State& s) { return xpdr(s) == 0x0200; }},
    {65652, 0, nothing, [](const State& s) { return xpdr(s) == 0x1300; }},
    {65653, 0, nothing, [](const State& s) { return xpdr(s) == 0x1210; }},
    {65654, 0, [](State& s) { s.radios.xpdr_digits[3] = 7; }, [](const State& s) { return xpdr(s) == 0x1200; }},
    {66455, 0, nothing, [](const State& s) { return xpdr(s) == 0x0200; }},
    {66456, 0, nothing, [](const State& s) { return xpdr(s) == 0x1100; }},
    {66457, 0, nothing, [](const State& s) { return xpdr(s) == 0x1270; }},
    {66458, 0, nothing, [](const State& s) { return xpdr(s) == 0x1207; }},

    // Simulator windows and views.
    {65876, 0, nothing, [](const State& s) { return s.kneeboard_shown; }},
    {65564, 0, nothing, [](const State& s) { return s.atc_shown; }},
    {66432, 0, nothing, [](const State& s) { return s.map_shown; }},
    {65734, 0, nothing, [](const State& s) { return s.view == 1; }},
    {65735, 0, nothing, [](const State& s) { return s.view == -1; }},
    {65875, 0, [](State& s) { s.view = 3; }, [](const State& s) { return s.view == 0; }},
};

}  // namespace

TEST(KeyEventEffects, EveryRowOfTheTableHasCases) {
    std::map<uint32_t, int> cases;
    for (const Case& c : kCases) ++cases[c.id];
    for (const aircraft::KeyEventRow& row : aircraft::key_event_rows()) {
        // The panel-window events are the host's own: it shows and hides
        // its windows, the aircraft has nothing to do.
        if (!row.apply) {
            EXPECT_TRUE(row.id >= 66506 && row.id <= 66508) << row.id << " has no effect";
            continue;
        }
        EXPECT_GT(cases[row.id], 0) << row.id << " (" << row.name << ") has no case";
    }
    for (const auto& [id, n] : cases) EXPECT_NE(aircraft::find_key_event(id), nullptr) << id << " is not in the table";
}

TEST(KeyEventEffects, EachEventDoesWhatItsRowSays) {
    for (const Case& c : kCases) {
        SCOPED_TRACE("key event " + std::to_string(c.id) + " value " + std::to_string(c.value));
        aircraft::Aircraft plane;
        c.before(plane.state());
        ASSERT_FALSE(c.after(plane.state())) << "the case would pass with no effect";
        plane.key_event(c.id, c.value);
        EXPECT_TRUE(plane.unanswered_events().empty());
        EXPECT_TRUE(c.after(plane.state()));
    }
}
