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
