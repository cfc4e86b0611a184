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
# on both, boost pumps on, tanks' valves open, then the flight model's
# engines started. On the ground it stays cold and dark.
var start_in_flight = func {
    if (getprop("/sim/presets/onground")) return;
    for (var n = 0; n < 2; n += 1) {
        setprop("/controls/engines/engine[" ~ n ~ "]/magnetos", 3);
        setprop("/controls/engines/engine[" ~ n ~ "]/fuel-pump", 1);
        setprop("/controls/engines/engine[" ~ n ~ "]/mixture", 1);
        setprop("/controls/engines/engine[" ~ n ~ "]/propeller-pitch", 1);
        setprop("/consumables/fuel/tank[" ~ n ~ "]/selected", 1);
    }
    # FlightGear hands each engine's running state to the flight model
    # every frame from /engines/engine[n]/running: set there, not in the
    # flight model's own property, or the next frame undoes it.
    for (var n = 0; n < 2; n += 1)
        setprop("/engines/engine[" ~ n ~ "]/running", 1);
};
setlistener("/sim/signals/fdm-initialized", func(node) {
    if (node.getBoolValue()) settimer(start_in_flight, 0.5);
}, 0, 0);
