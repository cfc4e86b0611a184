#!/usr/bin/env bash
# Flies the panel from FlightGear on this machine: installs Debian's
# FlightGear when it is missing (about 1.3 GB of data, so never in CI), puts
# the panel's protocol file into FlightGear's Protocol folder, starts the
# live panel and then FlightGear beside it, under Xvfb with software
# rendering when there is no display.
#
# usage: scripts/flightgear-panel.sh [--seconds N] [--port HTTP_PORT]
#            [--aircraft NAME] [--twin] [--fg-http PORT] [-- PREVIEW_OPTIONS]
#   --seconds N     stop both after N seconds (default: run until Ctrl-C)
#   --port P        the live panel at http://127.0.0.1:P/ (default 8080)
#   --aircraft A    FlightGear's aircraft (default c172p, the one piston
#                   aircraft in Debian's base data)
#   --twin          the aircraft has two engines (default: one engine, so
#                   engine 2's gauges and levers show and move engine 1)
#   --fg-http P     also open FlightGear's property browser on port P
#   -- ...          the rest goes to morvane-preview (--layout FILE, --night)
# The panel's log (link status lines) and FlightGear's output go to
# out/flightgear/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=0 port=8080 aircraft=c172p single=--fg-single-engine fg_http=""
preview_args=()
while (($#)); do
  case "$1" in
    --) shift; preview_args=("$@"); break ;;
    --seconds) seconds="$2"; shift 2 ;;
    --port) port="$2"; shift 2 ;;
    --aircraft) aircraft="$2"; shift 2 ;;
    --twin) single=""; shift ;;
    --fg-http) fg_http="$2"; shift 2 ;;
    *) echo "flightgear-panel.sh: unknown option $1" >&2; exit 2 ;;
  esac
done

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
"$preview" --serve "$port" --flightgear $single --fg-listen 127.0.0.1:5500 --fg-send 127.0.0.1:5501 \
  "${preview_args[@]}" > out/flightgear/panel.log 2>&1 &
panel=$!

# FlightGear: its output to the panel's port 5500, its input from port 5501.
fg_args=(--aircraft="$aircraft" --airport=KSFO --in-air --altitude=3000 --vc=100 --heading=280
  --disable-sound --disable-terrasync --disable-splash-screen --disable-real-weather-fetch
  --generic=socket,out,10,127.0.0.1,5500,udp,$protocol
  --generic=socket,in,20,127.0.0.1,5501,udp,$protocol)
if [ -n "$fg_http" ]; then fg_args+=(--httpd="$fg_http"); fi
# In a process group of its own, so that stopping it stops Xvfb too.
if [ -n "${DISPLAY:-}" ]; then
  setsid /usr/games/fgfs "${fg_args[@]}" > out/flightgear/fgfs.log 2>&1 &
else
  # No display: Xvfb with software rendering; FlightGear also needs a D-Bus session.
  setsid dbus-run-session -- xvfb-run -a -s "-screen 0 800x600x24" /usr/games/fgfs "${fg_args[@]}" \
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
if [ "$seconds" != 0 ]; then
  end=$((SECONDS + seconds))
  while ((SECONDS < end)) && kill -0 "$panel" 2>/dev/null; do sleep 1; done
else
  wait "$panel"
fi
