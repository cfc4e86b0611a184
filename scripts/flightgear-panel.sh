#!/usr/bin/env bash
# Flies the panel from FlightGear on this machine: installs Debian's
# FlightGear when it is missing (about 1.3 GB of data, so never in CI), puts
# the panel's protocol file into FlightGear's Protocol folder, starts the
# live panel and then FlightGear beside it, under Xvfb with software
# rendering when there is no display.
#
# usage: scripts/flightgear-panel.sh [--seconds N] [--port HTTP_PORT]
#            [--aircraft NAME] [--twin] [--ground] [--fg-http PORT]
#            [--check] [-- PREVIEW_OPTIONS]
#   --seconds N     stop both after N seconds (default: run until Ctrl-C)
#   --port P        the live panel at http://127.0.0.1:P/ (default 8080)
#   --twin          fly our own twin, morvane-twin (the default): the
#                   aircraft the panel was made for, from
#                   flightgear/protocol/Aircraft/ (given to FlightGear with
#                   --fg-aircraft; nothing is written to its folders)
#   --aircraft A    another FlightGear aircraft, such as c172p (Debian's one
#                   piston aircraft); one that is not our twin is taken to
#                   have one engine (engine 2's gauges and levers show and
#                   move engine 1) unless --twin follows it
#   --ground        start cold and dark on a runway instead of in the air:
#                   PHNL 08R, Honolulu (Debian's FlightGear ships terrain
#                   for Hawaii and Iceland only: elsewhere the ground is
#                   open sea, on which no wheel stands)
#   --fg-http P     also open FlightGear's property browser on port P
#   --link-port P   the link's UDP ports: FlightGear sends to P and reads
#                   P+1 (default 5500)
#   --check         with the twin, in the air (--seconds: the run's time,
#                   figures not reached in it are left out): run
#                   scripts/flightgear-twin-check.py (engine 2 restarted
#                   from the panel's starting box, throttles apart, gear and
#                   flaps from the panel, the twin's figures), then stop;
#                   with --ground: the runway start, both engines from the
#                   starting box, the take-off, climb, cruise, synchroscope,
#                   stalls
#   -- ...          the rest goes to morvane-preview (--layout FILE, --night)
# The panel's log (link status lines) and FlightGear's output go to
# out/flightgear/.
set -euo pipefail
cd "$(dirname "$0")/.."

link=5500 seconds=0 port=8080 aircraft=morvane-twin single="" notches=4 fg_http="" ground="" check=""
preview_args=()
need_value() {
  if (($# < 2)) || [ -z "$2" ]; then echo "flightgear-panel.sh: $1 needs a value" >&2; exit 2; fi
}
while (($#)); do
  case "$1" in
    --) shift; preview_args=("$@"); break ;;
    --seconds) need_value "$@"; seconds="$2"; shift 2 ;;
    --port) need_value "$@"; port="$2"; shift 2 ;;
    --aircraft)
      need_value "$@"; aircraft="$2"; shift 2
      if [ "$aircraft" = morvane-twin ]; then single="" notches=4; else single=--fg-single-engine notches=3; fi ;;
    --twin) single="" notches=4; shift ;;
    --ground) ground=1; shift ;;
    --check) check=1; shift ;;
    --fg-http) need_value "$@"; fg_http="$2"; shift 2 ;;
    --link-port) need_value "$@"; link="$2"; shift 2 ;;
    *) echo "flightgear-panel.sh: unknown option $1" >&2; exit 2 ;;
  esac
done
for n in "$seconds" "$port" "$link" ${fg_http:+"$fg_http"}; do
  case "$n" in ''|*[!0-9]*) echo "flightgear-panel.sh: not a whole number: $n" >&2; exit 2 ;; esac
done
case "$aircraft" in ''|*[!A-Za-z0-9_.-]*) echo "flightgear-panel.sh: not an aircraft name: $aircraft" >&2; exit 2 ;; esac
if [ -n "$check" ]; then
  if [ "$aircraft" != morvane-twin ]; then echo "flightgear-panel.sh: --check flies the twin only" >&2; exit 2; fi
  if [ -z "$fg_http" ]; then fg_http=5580; fi
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi

# FlightGear, Xvfb and Mesa's software renderer.
if [ ! -x /usr/games/fgfs ] || ! command -v xvfb-run >/dev/null || ! command -v dbus-run-session >/dev/null; then
  echo "installing FlightGear (about 1.3 GB) ..."
  $SUDO flock /tmp/apt.lock apt-get install -y --no-install-recommends flightgear xvfb libgl1-mesa-dri dbus
fi

# The protocol files go where --generic looks for them: FG_ROOT/Protocol.
# An aircraft with controls of its own names has a file of its own.
fg_root=/usr/share/games/flightgear
$SUDO install -m 644 flightgear/protocol/morvane*.xml "$fg_root/Protocol/"
protocol=morvane
if [ -f "flightgear/protocol/morvane-$aircraft.xml" ]; then protocol="morvane-$aircraft"; fi

# The panel.
preview=build/native/bin/morvane-preview
if [ ! -x "$preview" ]; then
  cmake --preset native >/dev/null
  cmake --build --preset native -j2 --target gaugehost_preview
fi
mkdir -p out/flightgear
"$preview" --serve "$port" --flightgear $single --fg-flap-notches "$notches" --fg-listen 127.0.0.1:$link --fg-send 127.0.0.1:$((link + 1)) \
  "${preview_args[@]}" > out/flightgear/panel.log 2>&1 &
panel=$!

# FlightGear: its output to the panel's port (5500), its input from the next.
# Our twin's folder is found through --fg-aircraft, in place.
fg_args=(--aircraft="$aircraft"
  --fg-aircraft="$PWD/flightgear/protocol/Aircraft"
  --disable-sound --disable-terrasync --disable-splash-screen --disable-real-weather-fetch
  --generic=socket,out,10,127.0.0.1,$link,udp,$protocol
  --generic=socket,in,20,127.0.0.1,$((link + 1)),udp,$protocol)
if [ -n "$ground" ]; then
  fg_args+=(--airport=PHNL --runway=08R)
else
  fg_args+=(--airport=KSFO --in-air --altitude=3000 --vc=100 --heading=280)
  if [ "$aircraft" = morvane-twin ]; then
    # In the air: magnetos on both, boost pumps on, cruise power; the
    # twin's Nasal then cranks each engine with its starter until it runs
    # (FlightGear's own trim runs before that and fails, engines stopped:
    # the twin starts untrimmed at the asked speed).
    fg_args+=(--prop:/controls/engines/engine[0]/magnetos=3 --prop:/controls/engines/engine[1]/magnetos=3
      --prop:/controls/engines/engine[0]/fuel-pump=true --prop:/controls/engines/engine[1]/fuel-pump=true
      --prop:/controls/engines/engine[0]/throttle=0.6 --prop:/controls/engines/engine[1]/throttle=0.6
      --prop:/controls/gear/gear-down=false --prop:/controls/gear/brake-parking=0)
  fi
fi
if [ -n "$fg_http" ]; then fg_args+=(--httpd="$fg_http"); fi
if [ -n "$check" ]; then
  # The check needs frames, not pictures: a small window, no clouds, no AI
  # traffic, and nothing drawn. On the runway, drawing the airport close up
  # with software rendering took minutes a frame (FlightGear answered
  # nothing meanwhile); the flight model and the ground under the wheels
  # do not depend on what is drawn.
  fg_args+=(--geometry=320x240 --timeofday=noon --disable-clouds --fog-fastest --disable-ai-models --disable-ai-traffic
    --prop:/sim/rendering/shaders/quality-level=0 --prop:/sim/rendering/texture-compression=off
    --prop:/sim/rendering/random-objects=false --prop:/sim/rendering/random-vegetation=false
    --prop:/sim/rendering/draw-mask/terrain=false --prop:/sim/rendering/draw-mask/models=false
    --prop:/sim/rendering/draw-mask/aircraft=false --prop:/sim/rendering/draw-mask/clouds=false)
fi
# In a process group of its own, so that stopping it stops Xvfb too; for
# --check niced (software rendering takes every core it is given).
fg_nice=0
if [ -n "$check" ]; then fg_nice=15; fi
if [ -n "${DISPLAY:-}" ]; then
  setsid nice -n "$fg_nice" /usr/games/fgfs "${fg_args[@]}" > out/flightgear/fgfs.log 2>&1 &
else
  # No display: Xvfb with software rendering; FlightGear also needs a D-Bus session.
  setsid nice -n "$fg_nice" dbus-run-session -- xvfb-run -a -s "-screen 0 800x600x24" /usr/games/fgfs "${fg_args[@]}" \
    > out/flightgear/fgfs.log 2>&1 &
fi
flightgear=$!

stop() {
  kill -TERM -- "-$flightgear" 2>/dev/null || true
  kill -TERM "$panel" 2>/dev/null || true
  wait "$flightgear" 2>/dev/null || true
  wait "$panel" 2>/dev/null || true
}
trap stop EXIT INT TERM

echo "live panel: http://127.0.0.1:$port/  (FlightGear takes about 40 s to start)"
echo "panel log: out/flightgear/panel.log   FlightGear log: out/flightgear/fgfs.log"
if [ -n "$check" ]; then
  budget=()
  if [ "$seconds" != 0 ]; then budget=(--budget "$seconds"); fi
  # In the background, so that a signal stops the check and FlightGear
  # at once (the trap runs when the wait is interrupted).
  python3 scripts/flightgear-twin-check.py --panel "$port" --fg-http "$fg_http" "${budget[@]}" ${ground:+--ground} \
    > >(tee out/flightgear/twin-check.txt) &
  checker=$!
  trap 'kill -TERM "$checker" 2>/dev/null || true; stop' EXIT INT TERM
  status=0
  wait "$checker" || status=$?
  exit "$status"
fi
if [ "$seconds" != 0 ]; then
  end=$((SECONDS + seconds))
  while ((SECONDS < end)) && kill -0 "$panel" 2>/dev/null; do sleep 1; done
else
  wait "$panel"
fi
