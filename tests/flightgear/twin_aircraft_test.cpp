// Our twin as FlightGear flies it: its flight model and systems
// (flightgear/protocol/Aircraft/morvane-twin/) run in JSBSim, the flight
// model FlightGear runs them in (Debian's flightgear package installs it as
// /usr/games/JSBSim), driven through the properties the panel's link sets.
// Its figures are held against our built-in aircraft's, flown the same way
// in the same run. Without JSBSim (FlightGear is not installed: 1.3 GB)
// these tests report SKIPPED.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "aircraft/aircraft.h"
#include "aircraft/flight_model.h"
#include "tests/aircraft/aircraft_fixture.h"
#include "tests/flightgear/flightgear_stand_in.h"

namespace {

using aircraft_test::kStep;

namespace fs = std::filesystem;

const char* kJsbsim = "/usr/games/JSBSim";
constexpr double kKmhPerKt = 1.852;
constexpr double kFeet = 3.28084;

fs::path twin_folder() { return fs::path(MORVANE_SOURCE_DIR) / "flightgear/protocol/Aircraft/morvane-twin"; }

// A JSBSim root holding the twin (its files linked in place, never copied),
// with the initial conditions a test flies from.
class JsbsimRoot {
public:
    JsbsimRoot() {
        char pattern[] = "/tmp/morvane-twin-XXXXXX";
        if (!mkdtemp(pattern)) throw std::runtime_error("cannot make a temporary folder");
        root_ = pattern;
        fs::create_directories(root_ / "aircraft/morvane-twin");
        fs::create_directories(root_ / "engine");
        for (const auto& e : fs::directory_iterator(twin_folder()))
            fs::create_symlink(e.path(), root_ / "aircraft/morvane-twin" / e.path().filename());
        for (const auto& e : fs::directory_iterator(twin_folder() / "Engines"))
            fs::create_symlink(e.path(), root_ / "engine" / e.path().filename());
        // On the ground: in its three-point attitude with the tyres just
        // touching (5.4 ft from the centre of gravity down to them at 8°).
        // Started lower, with the tyres in the ground, the legs' springs
        // throw it up and it tips over onto its nose.
        write("aircraft/morvane-twin/ground.xml",
              "<?xml version=\"1.0\"?>\n<initialize name=\"ground\">\n <ubody unit=\"FT/SEC\"> 0 </ubody>\n"
              " <latitude unit=\"DEG\"> 47 </latitude> <longitude unit=\"DEG\"> 2 </longitude>\n"
              " <psi unit=\"DEG\"> 270 </psi> <theta unit=\"DEG\"> 8 </theta>\n"
              " <altitudeAGL unit=\"FT\"> 5.4 </altitudeAGL>\n</initialize>\n");
        write("aircraft/morvane-twin/air.xml",
              "<?xml version=\"1.0\"?>\n<initialize name=\"air\">\n <vc unit=\"KTS\"> 100 </vc>\n"
              " <latitude unit=\"DEG\"> 47 </latitude> <longitude unit=\"DEG\"> 2 </longitude>\n"
              " <psi unit=\"DEG\"> 270 </psi> <altitudeAGL unit=\"FT\"> 2000 </altitudeAGL>\n</initialize>\n");
    }
    ~JsbsimRoot() {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }

    // Runs a script: `events` are JSBSim <event> elements, `outputs` the
    // properties logged (at 20 Hz). The columns by property name.
    std::map<std::string, std::vector<double>> fly(const std::string& init, double seconds, const std::string& events,
                                                   const std::vector<std::string>& outputs) {
        std::string csv = "out-" + std::to_string(runs_++) + ".csv";
        std::ostringstream s;
        s << "<?xml version=\"1.0\"?>\n<runscript name=\"test\">\n <use aircraft=\"morvane-twin\" initialize=\""
          << init << "\"/>\n <run start=\"0\" end=\"" << seconds << "\" dt=\"0.008333\">\n" << events
          << " </run>\n <output name=\"" << csv << "\" type=\"CSV\" rate=\"20\">\n"
          << "  <property> simulation/sim-time-sec </property>\n";
        for (const std::string& o : outputs) s << "  <property> " << o << " </property>\n";
        s << " </output>\n</runscript>\n";
        write("script.xml", s.str());
        run({kJsbsim, "--root=" + root_.string(), "--script=" + (root_ / "script.xml").string(), "--nohighlight"});
        return read_csv(root_ / csv, outputs);
    }

private:
    void write(const std::string& name, const std::string& text) {
        std::ofstream(root_ / name) << text;
    }

    // (JSBSim writes its logs under its root, where the output name is.)
    // JSBSim runs faster than real time; a generous bound, polled.
    void run(const std::vector<std::string>& args) {
        pid_t pid = fork();
        if (pid == 0) {
            std::vector<char*> argv;
            for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            std::string log = (root_ / "jsbsim.log").string();
            if (!freopen(log.c_str(), "w", stdout) || !freopen(log.c_str(), "a", stderr)) _exit(126);
            execv(argv[0], argv.data());
            _exit(127);
        }
        ASSERT_GT(pid, 0);
        // Waits on JSBSim's end itself (its process descriptor becomes
        // readable when it exits), for 10 minutes at most.
        int status = 0;
        int ended = int(syscall(SYS_pidfd_open, pid, 0));
        if (ended >= 0) {
            pollfd p{ended, POLLIN, 0};
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(10);
            int ready = 0;
            do {
                auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
                ready = poll(&p, 1, int(std::max<int64_t>(0, left.count())));
            } while (ready < 0 && errno == EINTR);
            close(ended);
            if (ready == 0) {
                kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
                FAIL() << "JSBSim did not finish in 10 minutes";
            }
        }
        // (Without process descriptors the test's own time limit bounds the wait.)
        waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "JSBSim failed; see its log";
    }

    static std::map<std::string, std::vector<double>> read_csv(const fs::path& path,
                                                               const std::vector<std::string>& outputs) {
        std::map<std::string, std::vector<double>> columns;
        std::ifstream in(path);
        std::string line;
        std::getline(in, line);  // header: time, then the properties in order
        while (std::getline(in, line)) {
            std::stringstream fields(line);
            std::string f;
            std::vector<double> row;
            while (std::getline(fields, f, ',')) row.push_back(std::strtod(f.c_str(), nullptr));
            if (row.size() < outputs.size() + 2) continue;
            columns["time"].push_back(row[1]);
            for (size_t i = 0; i < outputs.size(); ++i) columns[outputs[i]].push_back(row[i + 2]);
        }
        return columns;
    }

    fs::path root_;
    int runs_ = 0;
};

// Both engines started from the first instant, levers up: magnetos on,
// boost pumps on and both starters cranking until both engines run, as
// FlightGear starts them (it hands the flight model each engine's running
// state; JSBSim's own set-running search for a steady propeller can end
// with the blades at full coarse and the engine stopped).
std::string engines_running(double throttle) {
    std::ostringstream s;
    s << "  <event name=\"engines\">\n   <condition> simulation/sim-time-sec ge 0 </condition>\n";
    for (int n = 0; n < 2; ++n)
        s << "   <set name=\"fcs/mixture-cmd-norm[" << n << "]\" value=\"1\"/>\n"
          << "   <set name=\"fcs/advance-cmd-norm[" << n << "]\" value=\"1\"/>\n"
          << "   <set name=\"fcs/throttle-cmd-norm[" << n << "]\" value=\"" << throttle << "\"/>\n"
          << "   <set name=\"/controls/engines/engine[" << n << "]/fuel-pump\" value=\"1\"/>\n";
    s << "   <set name=\"propulsion/magneto_cmd\" value=\"3\"/>\n"
      << "   <set name=\"propulsion/active_engine\" value=\"-1\"/>\n"
      << "   <set name=\"propulsion/starter_cmd\" value=\"1\"/>\n  </event>\n"
      << "  <event name=\"started\">\n   <condition>\n    propulsion/engine[0]/set-running eq 1\n"
      << "    propulsion/engine[1]/set-running eq 1\n   </condition>\n"
      << "   <set name=\"propulsion/starter_cmd\" value=\"0\"/>\n  </event>\n";
    return s.str();
}

std::string event(const std::string& name, const std::string& condition, const std::string& sets) {
    return "  <event name=\"" + name + "\">\n   <condition> " + condition + " </condition>\n" + sets + "  </event>\n";
}

std::string set(const std::string& property, double value) {
    std::ostringstream s;
    s << "   <set name=\"" << property << "\" value=\"" << value << "\"/>\n";
    return s.str();
}

bool have_jsbsim() { return access(kJsbsim, X_OK) == 0; }

// ---------------------------------------------------- the built-in aircraft

struct Figures {
    double run_m = 0, lift_off_kmh = 0, lift_off_s = 0, climb_fpm = 0, cruise_kmh = 0;
};

// The built-in aircraft flown as its own tests fly it: flaps 1, full
// power, 8° from 90 km/h; the climb at 8°; the cruise at 60 % throttle.
Figures built_in_figures() {
    Figures f;
    aircraft::Aircraft a = aircraft_test::lined_up();
    aircraft::State& s = a.state();
    s.flaps_detent = 1;
    s.flaps = 0.25;
    a.set_pilot("throttle", 1);
    double east = s.flight.east_m;
    double t = 0;
    for (; s.flight.on_ground && t < 120; t += kStep) {
        if (aircraft::indicated_kmh(s) >= 90) a.set_pilot("pitch", 8);
        a.advance(kStep);
    }
    f.lift_off_s = t;
    f.run_m = east - s.flight.east_m;
    f.lift_off_kmh = aircraft::indicated_kmh(s);
    s.gear_handle_down = false;
    s.flaps_detent = 0;
    aircraft_test::run(a, 40);
    double h0 = s.flight.height_m;
    aircraft_test::run(a, 60);
    f.climb_fpm = (s.flight.height_m - h0) * kFeet;
    a.set_pilot("throttle", 0.6);
    a.set_pilot("pitch", 0.5);
    aircraft_test::run(a, 180);
    f.cruise_kmh = aircraft::indicated_kmh(s);
    return f;
}

void expect_within_ten_percent(double twin, double built_in, const char* what) {
    EXPECT_NEAR(twin, built_in, 0.1 * built_in) << what << ": the twin " << twin << ", the built-in aircraft " << built_in;
    ::testing::Test::RecordProperty(what, std::to_string(twin) + " (built-in " + std::to_string(built_in) + ")");
}

// A logged property at the first sample at or after `seconds` (the last
// sample when the log ends sooner).
double value_at(std::map<std::string, std::vector<double>>& columns, const char* property, double seconds) {
    const std::vector<double>& time = columns["time"];
    size_t i = 0;
    while (i + 1 < time.size() && time[i] < seconds) ++i;
    return columns[property][i];
}

// Minimum indicated airspeed, kt, as the test pilot holds the height with
// the engines idle until the wing lets go.
double twin_stall_kt(JsbsimRoot& root, double flaps) {
    auto c = root.fly("air", 120,
                      engines_running(0) + event("hold", "simulation/sim-time-sec ge 0",
                                                 set("fcs/flap-cmd-norm", flaps) + set("gear/gear-cmd-norm", 0) +
                                                     set("ap/target-ft", 2000 + 0) + set("ap/mode", 2)),
                      {"velocities/vc-kts", "position/h-agl-ft"});
    EXPECT_FALSE(c["time"].empty()) << "JSBSim logged nothing";
    double least = 1e9;
    for (size_t i = 0; i < c["time"].size(); ++i) {
        if (c["position/h-agl-ft"][i] < 1850) break;  // the stall: the height is lost
        least = std::min(least, c["velocities/vc-kts"][i]);
    }
    return least;
}

}  // namespace

TEST(FlightGearTwin, TakeOffClimbAndCruiseMatchTheBuiltInAircraft) {
    if (!have_jsbsim()) GTEST_SKIP() << kJsbsim << " missing: FlightGear (Debian's flightgear) is not installed";
    Figures b = built_in_figures();
    JsbsimRoot root;

    // Take-off: flaps 1, full power from the brakes' release, held in the
    // three-point attitude (8°, the built-in aircraft's lift-off attitude).
    auto t = root.fly("ground", 45,
                      engines_running(0) +
                          event("brakes", "simulation/sim-time-sec ge 0",
                                set("fcs/flap-cmd-norm", 0.25) + set("fcs/left-brake-cmd-norm", 1) +
                                    set("fcs/right-brake-cmd-norm", 1)) +
                          event("roll", "simulation/sim-time-sec ge 10",
                                set("fcs/throttle-cmd-norm[0]", 1) + set("fcs/throttle-cmd-norm[1]", 1) +
                                    set("fcs/left-brake-cmd-norm", 0) + set("fcs/right-brake-cmd-norm", 0) +
                                    set("fcs/elevator-cmd-norm", -0.5)),
                      {"velocities/vc-kts", "position/distance-from-start-mag-mt", "gear/unit[0]/WOW", "gear/unit[1]/WOW"});
    ASSERT_FALSE(t["time"].empty());
    double start_m = -1, run_m = 0, lift_off_kt = 0, lift_off_s = 0, tail_up_s = -1;
    for (size_t i = 0; i < t["time"].size(); ++i) {
        if (t["time"][i] < 10) {
            if (t["gear/unit[0]/WOW"][i] != 1 && tail_up_s < 0) tail_up_s = t["time"][i];
            continue;
        }
        if (start_m < 0) start_m = t["position/distance-from-start-mag-mt"][i];
        if (t["gear/unit[1]/WOW"][i] == 0) {
            run_m = t["position/distance-from-start-mag-mt"][i] - start_m;
            lift_off_kt = t["velocities/vc-kts"][i];
            lift_off_s = t["time"][i] - 10;
            break;
        }
    }
    EXPECT_LT(tail_up_s, 0) << "the tail wheel left the ground before the roll, at " << tail_up_s << " s";
    ASSERT_GT(lift_off_kt, 0) << "the twin never left the ground";
    expect_within_ten_percent(run_m, b.run_m, "take_off_run_m");
    expect_within_ten_percent(lift_off_kt * kKmhPerKt, b.lift_off_kmh, "lift_off_kmh");
    expect_within_ten_percent(lift_off_s, b.lift_off_s, "lift_off_after_s");

    // Climb: full power, 8° nose up, gear and flaps up.
    auto c = root.fly("air", 100,
                      engines_running(1) + event("climb", "simulation/sim-time-sec ge 0",
                                                 set("gear/gear-cmd-norm", 0) + set("ap/target-pitch-set-deg", 8) +
                                                     set("ap/mode", 3)),
                      {"position/h-sl-ft"});
    ASSERT_GE(c["time"].size(), 1800u);
    double climb_fpm = (c["position/h-sl-ft"][1800] - c["position/h-sl-ft"][600]);  // 30 s to 90 s, feet a minute
    expect_within_ten_percent(climb_fpm, b.climb_fpm, "climb_ft_per_min");

    // Cruise: 60 % throttle, the height held.
    auto k = root.fly("air", 300,
                      engines_running(0.6) + event("level", "simulation/sim-time-sec ge 0",
                                                   set("gear/gear-cmd-norm", 0) + set("ap/target-ft", 2000) +
                                                       set("ap/mode", 2)),
                      {"velocities/vc-kts", "position/h-agl-ft"});
    ASSERT_FALSE(k["time"].empty());
    EXPECT_NEAR(k["position/h-agl-ft"].back(), 2000, 50) << "the test pilot holds the height";
    expect_within_ten_percent(k["velocities/vc-kts"].back() * kKmhPerKt, b.cruise_kmh, "cruise_kmh");
}

TEST(FlightGearTwin, StallsWhereTheBuiltInAircraftStalls) {
    if (!have_jsbsim()) GTEST_SKIP() << kJsbsim << " missing: FlightGear (Debian's flightgear) is not installed";
    aircraft::Aircraft a;
    double clean = aircraft::stall_kmh(a.state());
    a.state().flaps = 0.75;
    double flaps3 = aircraft::stall_kmh(a.state());
    JsbsimRoot root;
    expect_within_ten_percent(twin_stall_kt(root, 0) * kKmhPerKt, clean, "stall_clean_kmh");
    expect_within_ten_percent(twin_stall_kt(root, 0.75) * kKmhPerKt, flaps3, "stall_flaps3_kmh");
}

// The properties the panel's link sets act on the twin's systems: the
// tanks' valve and the admission valve starve an engine, a propeller lever
// at its bottom feathers, the gear and flaps move with hydraulic pressure
// in their own times, and the bus lives while an engine turns.
TEST(FlightGearTwin, LinkPropertiesActOnTheTwinsSystems) {
    if (!have_jsbsim()) GTEST_SKIP() << kJsbsim << " missing: FlightGear (Debian's flightgear) is not installed";
    JsbsimRoot root;
    auto r = root.fly("air", 60,
                      engines_running(0.6) +
                          event("gear and flaps", "simulation/sim-time-sec ge 2",
                                set("gear/gear-cmd-norm", 0) + set("fcs/flap-cmd-norm", 1)) +
                          event("valves", "simulation/sim-time-sec ge 20",
                                set("/consumables/fuel/tank[0]/selected", 0) +
                                    set("/controls/engines/engine[1]/cutoff", 1)) +
                          event("feather", "simulation/sim-time-sec ge 20", set("fcs/advance-cmd-norm[1]", 0)),
                      {"gear/unit[1]/pos-norm", "gear/unit[2]/pos-norm", "fcs/flap-pos-norm", "propulsion/engine[0]/set-running",
                       "propulsion/engine[1]/set-running", "propulsion/engine[1]/engine-rpm",
                       "/systems/electrical/volts", "/systems/hydraulic/pressure-psi", "/systems/vacuum/drive-rpm"});
    const auto& time = r["time"];
    ASSERT_GE(time.size(), 1100u);
    // Running: the bus and the hydraulics are up.
    EXPECT_EQ(value_at(r, "/systems/electrical/volts", 1), 28);
    EXPECT_GT(value_at(r, "/systems/hydraulic/pressure-psi", 4), 2000);
    EXPECT_GT(value_at(r, "/systems/vacuum/drive-rpm", 1), 700);
    // Gear: the left leg 8.0 s from the handle, the right 8.6 s (the
    // built-in aircraft's jacks); flaps: 12 s.
    EXPECT_GT(value_at(r, "gear/unit[1]/pos-norm", 9.7), 0.01);
    EXPECT_EQ(value_at(r, "gear/unit[1]/pos-norm", 10.3), 0);
    EXPECT_GT(value_at(r, "gear/unit[2]/pos-norm", 10.3), 0.01);
    EXPECT_EQ(value_at(r, "gear/unit[2]/pos-norm", 11), 0);
    EXPECT_LT(value_at(r, "fcs/flap-pos-norm", 13), 0.95);
    EXPECT_EQ(value_at(r, "fcs/flap-pos-norm", 14.5), 1);
    // The tanks' valve shut starves engine 1; the admission valve shut
    // stops engine 2, whose feathered propeller then stops turning.
    EXPECT_EQ(value_at(r, "propulsion/engine[0]/set-running", 19), 1);
    EXPECT_EQ(value_at(r, "propulsion/engine[1]/set-running", 19), 1);
    EXPECT_EQ(value_at(r, "propulsion/engine[0]/set-running", 30), 0);
    EXPECT_EQ(value_at(r, "propulsion/engine[1]/set-running", 30), 0);
    EXPECT_LT(value_at(r, "propulsion/engine[1]/engine-rpm", 59), 100);
}

// A cold twin on the ground: no bus, no hydraulic pressure; the gear
// handle moved up without pressure leaves the gear down. Magnetos, boost
// pump and starter on engine 2 alone start engine 2 alone, and once it
// runs above idle the generator and the pump come on line.
TEST(FlightGearTwin, ColdTwinStartsOneEngineAtATime) {
    if (!have_jsbsim()) GTEST_SKIP() << kJsbsim << " missing: FlightGear (Debian's flightgear) is not installed";
    JsbsimRoot root;
    auto r = root.fly(
        "ground", 40,
        event("cold", "simulation/sim-time-sec ge 0",
              set("fcs/mixture-cmd-norm[0]", 1) + set("fcs/mixture-cmd-norm[1]", 1) +
                  set("fcs/advance-cmd-norm[0]", 1) + set("fcs/advance-cmd-norm[1]", 1) +
                  set("fcs/left-brake-cmd-norm", 1) + set("fcs/right-brake-cmd-norm", 1) + set("gear/gear-cmd-norm", 1)) +
            event("handle up", "simulation/sim-time-sec ge 2", set("gear/gear-cmd-norm", 0)) +
            event("handle down", "simulation/sim-time-sec ge 6", set("gear/gear-cmd-norm", 1)) +
            event("start 2", "simulation/sim-time-sec ge 8",
                  set("propulsion/active_engine", 1) + set("propulsion/magneto_cmd", 3) +
                      set("/controls/engines/engine[1]/fuel-pump", 1) + set("propulsion/starter_cmd", 1)) +
            event("starter off", "propulsion/engine[1]/set-running eq 1",
                  set("propulsion/starter_cmd", 0) + set("fcs/throttle-cmd-norm[1]", 0.2)),
        {"gear/unit[1]/pos-norm", "gear/unit[2]/pos-norm", "propulsion/engine[0]/engine-rpm", "propulsion/engine[1]/set-running",
         "/systems/electrical/volts", "/systems/hydraulic/pressure-psi"});
    const auto& time = r["time"];
    ASSERT_GE(time.size(), 700u);
    EXPECT_EQ(value_at(r, "/systems/electrical/volts", 5), 0);
    EXPECT_EQ(value_at(r, "/systems/hydraulic/pressure-psi", 5), 0);
    EXPECT_EQ(value_at(r, "gear/unit[1]/pos-norm", 5), 1) << "no pressure: the gear stays down";
    EXPECT_EQ(value_at(r, "gear/unit[2]/pos-norm", 5), 1) << "no pressure: the gear stays down";
    EXPECT_EQ(value_at(r, "propulsion/engine[1]/set-running", 39), 1);
    // It catches about a second after the starter engages, as the built-in
    // aircraft's engines do (0.9 s).
    double caught = 0;
    for (size_t i = 0; i < time.size() && caught == 0; ++i)
        if (r["propulsion/engine[1]/set-running"][i] == 1) caught = time[i];
    EXPECT_GT(caught, 8 + 0.5);
    EXPECT_LT(caught, 8 + 2.0);
    EXPECT_LT(value_at(r, "propulsion/engine[0]/engine-rpm", 39), 1);
    EXPECT_EQ(value_at(r, "/systems/electrical/volts", 39), 28);
    EXPECT_GT(value_at(r, "/systems/hydraulic/pressure-psi", 39), 2000);
}

// The twin flies with the link's own protocol file (morvane.xml, the file
// the stand-in tests hold to the link's tables): every property of it
// that FlightGear's flight-model interface neither fills nor passes to the
// flight model is the twin's own, and the twin's systems read each such
// property the panel sets and write each such property the panel reads.
TEST(FlightGearTwin, TwinServesEveryPropertyOfTheLinksProtocolFileThatIsItsOwn) {
    fgtest::Protocol p = fgtest::load_protocol(fgtest::shipped_protocol_path());
    std::string systems = fgtest::read_text(twin_folder() / "Systems/morvane-systems.xml");
    std::string fg_systems = fgtest::read_text(twin_folder() / "Systems/systems.xml");
    ASSERT_FALSE(systems.empty());
    // Set by the panel, read by no part of FlightGear for a piston
    // aircraft: the admission valves, boost pumps, tanks' valves and the
    // tail-wheel lock.
    auto own_input = [](const std::string& node) {
        for (const char* leaf : {"/cutoff", "/fuel-pump", "/selected", "/tailwheel-lock"})
            if (node.size() > std::strlen(leaf) && node.compare(node.size() - std::strlen(leaf), std::string::npos, leaf) == 0)
                return true;
        return false;
    };
    int inputs = 0, outputs = 0;
    for (const fgtest::Chunk& c : p.inputs) {
        if (!own_input(c.node)) continue;
        ++inputs;
        EXPECT_NE(systems.find(" " + c.node + " "), std::string::npos) << c.node << " is set by the panel but the twin never reads it";
    }
    for (const fgtest::Chunk& c : p.outputs) {
        if (c.node.rfind("/systems/", 0) != 0) continue;
        ++outputs;
        bool written = systems.find("<output> " + c.node + " </output>") != std::string::npos;
        // FlightGear's vacuum pump (systems.xml) writes the suction, turned
        // by the twin's drive rpm.
        if (c.node == "/systems/vacuum/suction-inhg")
            written = fg_systems.find("<rpm>/systems/vacuum/drive-rpm</rpm>") != std::string::npos &&
                      systems.find("<output> /systems/vacuum/drive-rpm </output>") != std::string::npos;
        EXPECT_TRUE(written) << c.node << " is read by the panel but the twin never writes it";
    }
    EXPECT_EQ(inputs, 7) << "two admission valves, two boost pumps, two tanks' valves, the tail-wheel lock";
    EXPECT_EQ(outputs, 3) << "the bus volts, the hydraulic pressure, the suction";
}
