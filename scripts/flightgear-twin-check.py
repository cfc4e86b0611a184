#!/usr/bin/env python3
"""Flies our twin in FlightGear beside the live panel and reports what a
pilot sees (run by scripts/flightgear-panel.sh --check; never in CI:
FlightGear is 1.3 GB). FlightGear starts in the air near KSFO, both
engines running.

1. Engine 2 is stopped (its magnetos off through FlightGear's properties)
   and started again from the right half of the panel's starting box
   (clicks sent to the live panel's POST /mouse): selector up to both
   magnetos, boost pump on, starter on until the engine runs, then off.
2. The throttles are set apart through FlightGear's properties; both
   tachometers and both manifold-pressure needles follow their own engine
   and the synchroscope turns.
3. The twin's figures, measured in FlightGear's property tree: climb,
   cruise at 60 % throttle, stall clean and with flaps; gear and flaps are
   moved from the panel (gear lever, flaps lever) and FlightGear's gear
   and flaps follow.

With --ground FlightGear starts cold and dark on PHNL's runway 08R: the
twin is seen on its three wheels, both engines are started from the
panel's starting box, and it takes off (run and lift-off speed from the
brakes' release), climbs, cruises at 60 % throttle where the climb ended
(near 2000 ft, as the built-in aircraft does), shows the synchroscope and
stalls with flaps 3, full and clean.

The panel's needles are read from its own drawn state (the WebSocket the
browser page draws from). Every wait is on a condition, with a generous
timeout: FlightGear under software rendering runs at a few frames a
second. Exit status 0 when every check held, 1 otherwise.

usage: flightgear-twin-check.py --panel PORT --fg-http PORT [--budget S] [--ground]
"""
import argparse
import base64
import json
import math
import os
import socket
import statistics
import sys
import threading
import time
import urllib.error
import urllib.parse
import urllib.request

HOST = "127.0.0.1"
KT_TO_KMH = 1.852
# The built-in aircraft's figures (README, "The simulated aircraft").
BUILT_IN = {
    "take-off run (m)": 236,
    "lift-off (km/h)": 110,
    "lift-off after (s)": 15.6,
    "climb (ft/min)": 1160,
    "cruise at 60 % throttle (km/h)": 210,
    "stall clean (km/h)": 86,
    "stall flaps 3 (km/h)": 76,
    "stall flaps full (km/h)": 74,
}

failures = []


def say(text):
    print(text, flush=True)


def check(ok, text):
    say(("  ok    " if ok else "  FAIL  ") + text)
    if not ok:
        failures.append(text)
    return ok


# ----------------------------------------------------------- FlightGear

class FlightGear:
    def __init__(self, port):
        self.base = f"http://{HOST}:{port}/json"

    def _url(self, path):
        # Indices stay as brackets: FlightGear's server takes them raw.
        return self.base + urllib.parse.quote(path if path.startswith("/") else "/" + path, safe="/[]")

    def get(self, path, timeout=30):
        with urllib.request.urlopen(self._url(path), timeout=timeout) as r:
            return json.load(r).get("value")

    def num(self, path):
        v = self.get(path)
        return float(v) if v not in (None, "") else 0.0

    def set(self, path, value):
        body = json.dumps({"value": value}).encode()
        req = urllib.request.Request(self._url(path), data=body, method="POST")
        with urllib.request.urlopen(req, timeout=30) as r:
            r.read()

    def time(self):
        return self.num("/sim/time/elapsed-sec")


def wait_for(what, condition, timeout, poll=0.5):
    """Waits until condition() is true (exceptions count as not yet)."""
    end = time.monotonic() + timeout
    last = None
    while time.monotonic() < end:
        try:
            last = condition()
            if last:
                return last
        except (OSError, ValueError):
            pass
        time.sleep(poll)
    raise TimeoutError(f"timed out after {timeout:.0f} s waiting for {what}")


# ------------------------------------------------------------ the panel

class Panel:
    """The live panel: its layout, clicks through POST /mouse, and its
    drawn state (needle angles by element) from the /live WebSocket."""

    def __init__(self, port):
        self.port = port
        with urllib.request.urlopen(f"http://{HOST}:{port}/layout.json", timeout=30) as r:
            self.layout = json.load(r)
        self.angles = {}
        self.lock = threading.Lock()
        threading.Thread(target=self._listen, daemon=True).start()

    def gauge(self, name, nth=0):
        found = [g for g in self.layout["gauges"] if g["name"] == name]
        if len(found) <= nth:
            raise LookupError(f"the panel's layout has no gauge {name} #{nth + 1}")
        return found[nth]

    def point(self, name, x, y, nth=0):
        """A point given in the gauge's own design pixels, on the panel
        (the layout places gauges in panel coordinates)."""
        g = self.gauge(name, nth)
        return (round(g["x"] + x * g["w"] / g["bw"]), round(g["y"] + y * g["h"] / g["bh"]))

    def show_window(self, ident):
        self._post(f"/window?ident={ident}&visible=1")

    def click(self, name, x, y, nth=0):
        px, py = self.point(name, x, y, nth)
        self._post(f"/mouse?kind=down&x={px}&y={py}&button=left")
        self._post("/mouse?kind=up")

    def needle(self, name, nth=0):
        """The angle of the gauge's needle, as the page draws it."""
        g = self.gauge(name, nth)
        for i in range(g["first"], g["first"] + g["count"]):
            if self.layout["elements"][i].get("k") == 1:
                with self.lock:
                    return self.angles.get(i)
        raise LookupError(f"{name} has no needle")

    def status(self):
        with urllib.request.urlopen(f"http://{HOST}:{self.port}/state", timeout=30) as r:
            return json.load(r)["status"]

    def _post(self, path):
        # No body and no content type: the live panel takes its parameters
        # from the query only.
        req = urllib.request.Request(f"http://{HOST}:{self.port}{path}", data=None, method="POST")
        try:
            with urllib.request.urlopen(req, timeout=30) as r:
                r.read()
        except urllib.error.HTTPError as e:
            raise OSError(f"the live panel refused POST {path}: {e.code} {e.read().decode(errors='replace').strip()}")

    def _listen(self):
        while True:
            try:
                self._stream()
            except OSError:
                time.sleep(1)

    def _stream(self):
        s = socket.create_connection((HOST, self.port), timeout=60)
        key = base64.b64encode(os.urandom(16)).decode()
        s.sendall((f"GET /live HTTP/1.1\r\nHost: {HOST}:{self.port}\r\nUpgrade: websocket\r\n"
                   f"Connection: Upgrade\r\nSec-WebSocket-Key: {key}\r\nSec-WebSocket-Version: 13\r\n\r\n").encode())
        buf = b""
        while b"\r\n\r\n" not in buf:
            chunk = s.recv(4096)
            if not chunk:
                raise OSError("the panel closed its WebSocket")
            buf += chunk
        buf = buf.split(b"\r\n\r\n", 1)[1]
        message = b""

        def need(n):
            nonlocal buf
            while len(buf) < n:
                chunk = s.recv(65536)
                if not chunk:
                    raise OSError("the panel closed its WebSocket")
                buf += chunk

        while True:
            need(2)
            fin, op, length = buf[0] & 0x80, buf[0] & 0x0F, buf[1] & 0x7F
            at = 2
            if length == 126:
                need(4)
                length, at = int.from_bytes(buf[2:4], "big"), 4
            elif length == 127:
                need(10)
                length, at = int.from_bytes(buf[2:10], "big"), 10
            need(at + length)
            payload, buf = buf[at:at + length], buf[at + length:]
            if op == 8:
                raise OSError("the panel closed its WebSocket")
            if op in (0, 1):
                message += payload
                if fin:
                    m = json.loads(message)
                    message = b""
                    with self.lock:
                        for e in m.get("e", []):
                            self.angles[e[0]] = e[2]


# ------------------------------------------------------------ the checks

def distance_m(lat1, lon1, lat2, lon2):
    r = 6371000.0
    p1, p2 = math.radians(lat1), math.radians(lat2)
    dp, dl = p2 - p1, math.radians(lon2 - lon1)
    a = math.sin(dp / 2) ** 2 + math.cos(p1) * math.cos(p2) * math.sin(dl / 2) ** 2
    return 2 * r * math.asin(math.sqrt(a))


E = "/controls/engines/engine[{}]/"


def start_engine(fg, panel, n):
    half = "left" if n == 0 else "right"
    say(f"Engine {n + 1}: stopped through FlightGear's magnetos, started again from the {half} half of the panel's starting box")
    fg.set(E.format(n) + "magnetos", 0)
    fg.set(E.format(n) + "fuel-pump", False)
    wait_for(f"engine {n + 1} to stop", lambda: fg.get(f"/engines/engine[{n}]/running") is False, 120)
    say(f"  engine {n + 1} stopped: {fg.num(f'/engines/engine[{n}]/rpm'):.0f} rpm windmilling")
    # Selector up five times: H, E (tanks' valve), magneto 1, 2, both.
    sel_x = 77 + 21 if n == 0 else 126 + 21
    for _ in range(5):
        panel.click("Dirud_Box", sel_x, 73 + 21)
    mags = wait_for("the magnetos on both", lambda: fg.num(E.format(n) + "magnetos") == 3, 60)
    check(mags, f"selector at 1.2: FlightGear's engine[{n}] magnetos = 3")
    check(fg.get(f"/consumables/fuel/tank[{n}]/selected") is True,
          f"selector past E: FlightGear's tank[{n}] valve open")
    sw_x = 20 if n == 0 else 230
    panel.click("Dirud_Box", sw_x, 197 + 33)  # lower switch: boost pump
    check(wait_for("the boost pump", lambda: fg.get(E.format(n) + "fuel-pump") is True, 60),
          f"lower switch: FlightGear's engine[{n}] fuel-pump on")
    panel.click("Dirud_Box", sw_x, 79 + 33)  # upper switch: starter
    check(wait_for("the starter", lambda: fg.get(E.format(n) + "starter") is True, 60),
          f"upper switch: FlightGear's engine[{n}] starter on")
    t0 = fg.time()
    running = wait_for(f"engine {n + 1} to run", lambda: fg.get(f"/engines/engine[{n}]/running") is True, 120)
    say(f"  engine {n + 1} caught after {fg.time() - t0:.1f} s with the starter")
    panel.click("Dirud_Box", sw_x, 79 + 33)  # starter off
    wait_for("the starter off", lambda: fg.get(E.format(n) + "starter") is False, 60)
    check(bool(running), f"engine {n + 1} runs: {fg.num(f'/engines/engine[{n}]/rpm'):.0f} rpm")


def sample_engines(fg, panel, label):
    rpm = [fg.num(f"/engines/engine[{n}]/rpm") for n in (0, 1)]
    mp = [fg.num(f"/engines/engine[{n}]/mp-inhg") for n in (0, 1)]
    tach = [panel.needle("Tachometer", n) for n in (0, 1)]
    mpn = [panel.needle("Manifold_Pressure", n) for n in (0, 1)]
    synchro = panel.needle("Synchroscope")
    say(f"  {label}: FlightGear rpm {rpm[0]:.0f} / {rpm[1]:.0f}, MP {mp[0]:.1f} / {mp[1]:.1f} inHg; "
        f"panel tachometer needles {tach[0]:.1f} / {tach[1]:.1f} deg, manifold needles {mpn[0]:.1f} / {mpn[1]:.1f} deg, "
        f"synchroscope bar {synchro:.1f} deg")
    return rpm, mp, tach, mpn, synchro


def synchroscope_angle(rpm1, rpm2):
    """Where the synchroscope's bar points, in degrees clockwise from up,
    for the two propellers' speeds: level (90) when they turn alike, a
    quarter turn for every 100 rpm, counter-clockwise while engine 1 is the
    faster. Its scale has no stops: past 100 rpm the bar turns on, and
    past 200 rpm it has turned through half a turn and looks nearly level
    again."""
    return 90 - 0.9 * (rpm1 - rpm2)


def angle_apart(a, b):
    return abs((a - b + 180) % 360 - 180)


def settle(fg, seconds):
    t0 = fg.time()
    wait_for(f"{seconds} s of simulated time", lambda: fg.time() - t0 >= seconds, seconds * 20 + 60)


def throttles_apart(fg, panel):
    """The throttles apart set each engine's manifold pressure; the
    governors hold both propellers at the lever's rpm whatever the power,
    so the propeller levers are set a little apart too (2600 and about
    2380 rpm) for the tachometers and the synchroscope; then only 44 rpm
    apart, for the synchroscope within its scale's quarter turns."""
    say("Throttles and propeller levers set apart through FlightGear's properties, height held")
    level_off(fg, 0.6)
    results = []
    for (a, b), (pa, pb) in (((0.1, 0.8), (0.8, 1.0)), ((0.8, 0.1), (1.0, 0.8)), ((0.6, 0.6), (1.0, 0.96))):
        fg.set(E.format(0) + "throttle", a)
        fg.set(E.format(1) + "throttle", b)
        fg.set(E.format(0) + "propeller-pitch", pa)
        fg.set(E.format(1) + "propeller-pitch", pb)
        settle(fg, 12)
        results.append(sample_engines(fg, panel, f"throttles {a:.2f} / {b:.2f}, propeller levers {pa:.2f} / {pb:.2f}"))
    (r1, m1, t1, n1, s1), (r2, m2, t2, n2, s2) = results[:2]
    check(m1[1] > m1[0] + 3 and m2[0] > m2[1] + 3, "FlightGear: each engine's manifold pressure follows its own throttle")
    check(r1[1] > r1[0] + 100 and r2[0] > r2[1] + 100, "FlightGear: each engine's rpm follows its own propeller lever")
    check(t1[1] > t1[0] and t2[0] > t2[1], "panel: each tachometer needle follows its own engine")
    check(n1[1] > n1[0] and n2[0] > n2[1], "panel: each manifold-pressure needle follows its own engine")
    # The synchroscope's bar tilts with the difference (a quarter turn at
    # 100 rpm), one way and then the other as the faster engine changes.
    check(abs(s1 - s2) > 45, f"panel: the synchroscope's bar tilts one way, then the other ({s1:.0f} and {s2:.0f} deg)")
    for rpm, _, _, _, bar in results:
        scale = synchroscope_angle(*rpm)
        check(angle_apart(bar, scale) < 8,
              f"panel: the synchroscope's bar at {bar % 360:.0f} deg, where its scale puts "
              f"{rpm[0] - rpm[1]:+.0f} rpm ({scale % 360:.0f} deg)")
    for n in (0, 1):
        fg.set(E.format(n) + "propeller-pitch", 1.0)


def take_off(fg):
    say("Take-off: flaps 1 (a quarter), full power, three-point attitude, from brake release")
    # A run that does not start on the main wheels is no take-off run.
    wait_for("the main wheels on the ground",
             lambda: fg.get("/gear/gear[1]/wow") is True and fg.get("/gear/gear[2]/wow") is True, 60)
    fg.set("/controls/flight/flaps", 0.25)
    wait_for("flaps 1", lambda: abs(fg.num("/surface-positions/flap-pos-norm") - 0.25) < 0.01, 60)
    fg.set("/controls/flight/elevator", -0.5)
    lat0, lon0 = fg.num("/position/latitude-deg"), fg.num("/position/longitude-deg")
    t0 = fg.time()
    set_throttles(fg, 1.0)
    fg.set("/controls/gear/brake-parking", 0)
    track = []

    def airborne():
        on = fg.get("/gear/gear[1]/wow") or fg.get("/gear/gear[2]/wow")
        track.append((fg.time(), fg.num("/instrumentation/airspeed-indicator/indicated-speed-kt")))
        return not on

    wait_for("lift-off", airborne, 300, poll=0.1)
    lat, lon = fg.num("/position/latitude-deg"), fg.num("/position/longitude-deg")
    run = distance_m(lat0, lon0, lat, lon)
    t, kt = track[-1]
    return {"take-off run (m)": run, "lift-off (km/h)": kt * KT_TO_KMH, "lift-off after (s)": t - t0}


def ap(fg, mode, **targets):
    for k, v in targets.items():
        fg.set(f"/fdm/jsbsim/ap/{k}", v)
    fg.set("/fdm/jsbsim/ap/mode", mode)


def click_gear(panel):
    panel.click("Gear_Lever", 62, 67)


def gear_up_from_panel(fg, panel):
    say("Gear up from the panel's gear lever")
    t0 = fg.time()
    click_gear(panel)
    check(wait_for("the gear handle up", lambda: fg.get("/controls/gear/gear-down") is False, 60),
          "gear lever: FlightGear's gear handle up")
    check_gear_times(fg, lambda p: p < 0.01, "up", t0)


def check_gear_times(fg, done, what, t0):
    """Seconds of simulated time from t0 (just before the click) until each
    leg (0 tail, 1 left, 2 right) is done, read as often as FlightGear
    answers (a read takes about a frame: the times are good to a second or
    so, the click's way through the link included); each main leg within a
    second of the built-in aircraft's time."""
    times = {}

    def all_done():
        t = fg.time()
        for i in range(3):
            if i not in times and done(fg.num(f"/gear/gear[{i}]/position-norm")):
                times[i] = t - t0
        return len(times) == 3

    wait_for(f"the gear {what}", all_done, 180, poll=0.1)
    check(abs(times[1] - 8.0) < 1.0 and abs(times[2] - 8.6) < 1.0,
          f"FlightGear's gear {what}: left leg {times[1]:.1f} s, right {times[2]:.1f} s (the built-in aircraft's 8.0 and 8.6 s)")


def climb(fg):
    say("Climb: full power, pitch 8 deg (the built-in aircraft's climb attitude), gear up, flaps up")
    fg.set("/controls/flight/elevator", 0)
    fg.set("/controls/flight/flaps", 0)
    set_throttles(fg, 1.0)
    for n in (0, 1):
        fg.set(E.format(n) + "propeller-pitch", 1.0)
    ap(fg, 3, **{"target-pitch-set-deg": 8})
    settle(fg, 25)
    t0, h0 = fg.time(), fg.num("/position/altitude-ft")
    speeds = []
    while fg.time() - t0 < 60:
        speeds.append(fg.num("/instrumentation/airspeed-indicator/indicated-speed-kt"))
        time.sleep(1)
    rate = (fg.num("/position/altitude-ft") - h0) / (fg.time() - t0) * 60
    return {"climb (ft/min)": rate, "climb speed (km/h)": statistics.mean(speeds) * KT_TO_KMH}


def set_throttles(fg, throttle):
    for n in (0, 1):
        fg.set(E.format(n) + "throttle", throttle)


def level_off(fg, throttle):
    set_throttles(fg, throttle)
    ap(fg, 2, **{"target-ft": fg.num("/position/altitude-ft")})


def cruise(fg):
    say("Cruise: 60 % throttle, level")
    level_off(fg, 0.6)
    last = []

    def steady():
        last.append(fg.num("/instrumentation/airspeed-indicator/indicated-speed-kt"))
        settle(fg, 5)
        return len(last) > 8 and max(last[-5:]) - min(last[-5:]) < 0.6

    wait_for("a steady cruise", steady, 900, poll=0)
    return {"cruise at 60 % throttle (km/h)": last[-1] * KT_TO_KMH,
            "cruise height (ft above sea level)": fg.num("/position/altitude-ft")}


# The wing's angle of attack at its most lift, by flap position (0, 1/4,
# 1/2, 3/4, full): past it the wing has let go.
STALL_ALPHA_DEG = ((0.0, 17.31), (0.25, 17.76), (0.5, 18.20), (0.75, 18.65), (1.0, 19.10))


def stall_alpha(flaps):
    for (f0, a0), (f1, a1) in zip(STALL_ALPHA_DEG, STALL_ALPHA_DEG[1:]):
        if flaps <= f1:
            return a0 + (a1 - a0) * (flaps - f0) / (f1 - f0)
    return STALL_ALPHA_DEG[-1][1]


def stall(fg, label):
    """Engines idle, wings level, the test pilot's airspeed target brought
    down 1 kt a second until the wing lets go. The break is the first
    moment, once the slow-down is established (10 s in, the airspeed read
    as a real figure), that the angle of attack passes the wing's stall
    angle or the airspeed climbs back 5 kt above the least seen (the nose
    dropping): the figure is the least indicated airspeed before it. A
    lone reading of 0 (the property not yet there) is not a speed; the
    sink rate alone is none either (idle, flaps down, propellers in fine
    pitch, the twin sinks past 1500 ft/min well above the stall)."""
    say(f"Stall, {label}: engines idle, slowing 1 kt/s, wings level, until the wing lets go")
    set_throttles(fg, 0.0)
    kt0 = fg.num("/instrumentation/airspeed-indicator/indicated-speed-kt")
    alpha_max = stall_alpha(fg.num("/surface-positions/flap-pos-norm"))
    ap(fg, 1, **{"target-kias": kt0})
    t0 = fg.time()
    least = [1e9]
    seen = {}

    def broke():
        t = fg.time() - t0
        fg.set("/fdm/jsbsim/ap/target-kias", max(kt0 - t, 20.0))
        kt = fg.num("/instrumentation/airspeed-indicator/indicated-speed-kt")
        if kt < 20:
            return False
        alpha = fg.num("/orientation/alpha-deg")
        # The speed climbing back counts only once the twin has slowed
        # 10 kt: levelling off from a climb it may still be speeding up.
        if t > 10 and (alpha > alpha_max or (least[0] < kt0 - 10 and kt > least[0] + 5)):
            seen.update(alpha=alpha, kt=kt, t=t)
            return True
        least[0] = min(least[0], kt)
        return False

    wait_for("the stall", broke, 900, poll=0.2)
    say(f"  the break {seen['t']:.0f} s in: angle of attack {seen['alpha']:.1f} deg (the wing's stall angle "
        f"{alpha_max:.1f}), {seen['kt']:.0f} kt; least before it {least[0]:.1f} kt")
    # Recover: full power, 100 kt.
    set_throttles(fg, 1.0)
    ap(fg, 1, **{"target-kias": 100})
    wait_for("the recovery", lambda: fg.num("/instrumentation/airspeed-indicator/indicated-speed-kt") > 90, 300)
    ap(fg, 2, **{"target-ft": fg.num("/position/altitude-ft")})
    settle(fg, 15)
    return least[0] * KT_TO_KMH


def flaps_and_gear_from_panel(fg, panel):
    say("Gear down and flaps down two notches (of four) from the panel; FlightGear's gear and flaps follow")
    t0 = fg.time()
    click_gear(panel)
    check(wait_for("the gear handle down", lambda: fg.get("/controls/gear/gear-down") is True, 60),
          "gear lever: FlightGear's gear handle down")
    check_gear_times(fg, lambda p: p > 0.99, "down and locked", t0)
    for _ in range(2):
        panel.click("telvor_flaps", 380, 90)
    want = wait_for("the flap lever", lambda: abs(fg.num("/controls/flight/flaps") - 0.5) < 0.01, 60)
    t0 = fg.time()
    wait_for("the flaps", lambda: fg.num("/surface-positions/flap-pos-norm") > fg.num("/controls/flight/flaps") - 0.01, 120)
    check(bool(want), f"flaps lever: FlightGear's flaps at {fg.num('/surface-positions/flap-pos-norm'):.2f} "
                      f"after {fg.time() - t0:.1f} s; panel's flaps needle {panel.needle('Flaps_Indicator'):.1f} deg")


def seated(fg, label):
    """What the runway start did: each wheel on the ground or not, its
    strut's compression, the height above the runway and the attitude."""
    wow = [fg.get(f"/gear/gear[{i}]/wow") is True for i in range(3)]
    comp = [fg.num(f"/gear/gear[{i}]/compression-norm") for i in range(3)]
    say(f"  {label}: wheels on the ground (tail, left, right) {wow}, compression "
        + " / ".join(f"{c:.2f}" for c in comp)
        + f"; {fg.num('/position/altitude-agl-ft'):.1f} ft above ground, pitch {fg.num('/orientation/pitch-deg'):.1f} deg, "
        f"roll {fg.num('/orientation/roll-deg'):.1f} deg, {fg.num('/velocities/groundspeed-kt'):.1f} kt")
    return wow


def ground_run(fg, panel, started, budget):
    say(f"  {fg.get('/sim/aircraft')} cold and dark on PHNL runway 08R; {panel.status()}")
    for w in panel.layout["windows"]:
        panel.show_window(w["ident"])
    say("Runway start: the twin on its wheels")
    settle(fg, 5)
    first = seated(fg, "after 5 s")
    settle(fg, 10)
    wow = seated(fg, "after 15 s")
    check(all(first) and all(wow) and fg.num("/velocities/groundspeed-kt") < 1,
          "the twin sits on its three wheels, at rest, parking brake set")
    for n in (0, 1):
        start_engine(fg, panel, n)
    # The built-in aircraft's own sequence: the climb ends near 2000 ft,
    # where it cruises (at 60 % throttle the indicated speed falls as the
    # air thins: the engines have no supercharger).
    steps = [lambda: take_off(fg), lambda: climb_out(fg, panel), lambda: climb(fg), lambda: cruise(fg),
             lambda: (throttles_apart(fg, panel), {})[1],
             lambda: flaps_then_stall(fg, 0.75, "flaps 3"), lambda: flaps_then_stall(fg, 1.0, "flaps full"),
             lambda: flaps_then_stall(fg, 0, "clean")]
    return report(measure(steps, started, budget))


def measure(steps, started, budget):
    """Runs each step (a callable answering its figures) while the run's
    wall-clock budget lasts, saying each figure as it comes; all figures."""
    figures = {}
    for step in steps:
        if time.monotonic() - started > budget:
            say("  (the run's time is up: the remaining figures are not measured)")
            break
        measured = step()
        for k, v in measured.items():
            say(f"  measured: {k} {v:.1f}")
        figures.update(measured)
    return figures


def climb_out(fg, panel):
    """After lift-off: 8 deg nose up, the gear up from the panel, the flaps up."""
    ap(fg, 3, **{"target-pitch-set-deg": 8})
    fg.set("/controls/flight/elevator", 0)
    wait_for("50 ft", lambda: fg.num("/position/altitude-agl-ft") > 50, 300)
    gear_up_from_panel(fg, panel)
    fg.set("/controls/flight/flaps", 0)
    return {}


def flaps_then_stall(fg, flaps, label):
    """At 3000 ft or more (climbing back at full power after the last
    stall), level, the flaps set, then the stall."""
    if fg.num("/position/altitude-ft") < 2900:
        set_throttles(fg, 1.0)
        ap(fg, 3, **{"target-pitch-set-deg": 8})
        wait_for("3000 ft", lambda: fg.num("/position/altitude-ft") >= 3000, 900, poll=1)
    level_off(fg, 0.6)
    fg.set("/controls/flight/flaps", flaps)
    settle(fg, 15)
    return {f"stall {label} (km/h)": stall(fg, label)}


def main():
    ap_ = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap_.add_argument("--panel", type=int, required=True, help="the live panel's port")
    ap_.add_argument("--fg-http", type=int, required=True, help="FlightGear's --httpd port")
    ap_.add_argument("--budget", type=float, default=3600,
                     help="wall-clock seconds for the whole run; figures not reached in it are reported as not measured")
    ap_.add_argument("--ground", action="store_true",
                     help="FlightGear started cold and dark on the runway: the runway start, both engines "
                          "from the panel's starting box, the take-off, then the climb, the cruise and the stalls")
    args = ap_.parse_args()
    started = time.monotonic()
    fg = FlightGear(args.fg_http)
    say("Waiting for FlightGear and the live panel ...")
    wait_for("FlightGear's property tree", lambda: fg.time() > 5, 900, poll=2)
    panel = wait_for("the live panel", lambda: Panel(args.panel), 120)
    wait_for("the link's lines", lambda: "lines taken" in panel.status() and " 0 lines taken" not in panel.status(), 900)
    if args.ground:
        return ground_run(fg, panel, started, args.budget)
    wait_for("FlightGear's engines", lambda: fg.get("/engines/engine[1]/running") is True, 900)
    say(f"  {fg.get('/sim/aircraft')} in the air near KSFO; {panel.status()}")
    ap(fg, 2, **{"target-ft": fg.num("/position/altitude-ft")})
    for w in panel.layout["windows"]:
        panel.show_window(w["ident"])

    start_engine(fg, panel, 1)
    throttles_apart(fg, panel)

    flaps_and_gear_from_panel(fg, panel)
    gear_up_from_panel(fg, panel)
    fg.set("/controls/flight/flaps", 0)

    steps = [lambda: climb(fg), lambda: cruise(fg), lambda: flaps_then_stall(fg, 0, "clean"),
             lambda: flaps_then_stall(fg, 0.75, "flaps 3"), lambda: flaps_then_stall(fg, 1.0, "flaps full")]
    return report(measure(steps, started, args.budget))


def report(figures):
    say("\nFigures measured in FlightGear against the built-in aircraft's:")
    for k, v in figures.items():
        ref = BUILT_IN.get(k)
        if ref is None:
            say(f"        {k:34s} {v:8.1f}")
            continue
        off = (v - ref) / ref * 100
        check(abs(off) <= 10, f"{k:34s} {v:8.1f}   built-in {ref:6g}   {off:+5.1f} %")
    say(f"\n{len(failures)} check(s) failed" if failures else "\nevery check held")
    return 1 if failures else 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except (TimeoutError, LookupError, OSError) as e:
        print(f"flightgear-twin-check: {e}", file=sys.stderr)
        sys.exit(1)
