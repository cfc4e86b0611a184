# The Morvane twin's electrical consumers: every output of the bus carries
# the bus's volts (the flight model sets /systems/electrical/volts: 28 V
# while an engine turns a generator above 700 rpm, 0 without: there is no
# battery). FlightGear's radios and the turn indicator read these outputs.
var consumers = ["turn-coordinator", "nav[0]", "nav[1]", "comm[0]", "comm[1]", "adf",
                 "transponder", "dme", "audio-panel[0]", "marker-beacon", "instrument-lighting",
                 "starter[0]", "starter[1]", "fuel-pump[0]", "fuel-pump[1]"];

var update_bus = func {
    var volts = getprop("/systems/electrical/volts") or 0;
    foreach (var name; consumers)
        setprop("/systems/electrical/outputs/" ~ name, volts);
};

var bus_timer = maketimer(0.25, update_bus);
bus_timer.start();

# Started in the air, the twin flies with both engines running: magnetos
# on both, boost pumps on, tanks' valves open, then each engine cranked by
# its starter until it runs, as a pilot starts it (the starter off once it
# runs, or after 30 s). FlightGear hands each engine's running state to
# the flight model every frame from /engines/engine[n]/running, so an
# engine marked running from here at 0 rpm stops at the next step: only
# cranking turns it. On the ground it stays cold and dark.
var crank = func(n, left) {
    var e = "/controls/engines/engine[" ~ n ~ "]/";
    if (getprop("/engines/engine[" ~ n ~ "]/running") or left <= 0) {
        setprop(e ~ "starter", 0);
        return;
    }
    setprop(e ~ "starter", 1);
    settimer(func crank(n, left - 0.5), 0.5);
};

var start_in_flight = func {
    if (getprop("/sim/presets/onground")) return;
    for (var n = 0; n < 2; n += 1) {
        setprop("/controls/engines/engine[" ~ n ~ "]/magnetos", 3);
        setprop("/controls/engines/engine[" ~ n ~ "]/fuel-pump", 1);
        setprop("/controls/engines/engine[" ~ n ~ "]/mixture", 1);
        setprop("/controls/engines/engine[" ~ n ~ "]/propeller-pitch", 1);
        setprop("/consumables/fuel/tank[" ~ n ~ "]/selected", 1);
        crank(n, 30);
    }
};
setlistener("/sim/signals/fdm-initialized", func(node) {
    if (node.getBoolValue()) settimer(start_in_flight, 0.5);
}, 0, 0);
