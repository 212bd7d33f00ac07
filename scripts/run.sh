#!/usr/bin/env bash
# Installs what is missing, builds the program, the simulated control unit and the firmware package builder
# (only they and what they need) and starts the desktop program in its emulator window.
#
#   ./scripts/run.sh [--port PATH | --converter] [--inspector] [arguments for the program...]
#
# Without --port or --converter the simulated control unit runs on a pseudo-terminal with its default
# installation, the window is connected to it, and the simulator stops when the window closes. --port PATH
# names the port of a real network; --converter lets the program search for the converter itself, as on a
# real installation. --inspector opens the inspector window. Other arguments go to the program unchanged.
# The simulator's log (what the display published, and its trace) goes to build/release/simcu.log. The program's
# port is the link build/release/simcu.port, which names the simulator's pseudo-terminal: a simulator started
# again by hand with `--link build/release/simcu.port` is found again by the running program.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
./scripts/configure-release.sh
cmake --build build/release --parallel "$(nproc 2>/dev/null || echo 2)" --target tdx410 simcu_exe mkpackage
program=build/release/SourceHost/desktop/tdx410
simulator=build/release/tools/simcu/simcu

simulate=1
inspector=0
arguments=()
while [ $# -gt 0 ]; do
  case "$1" in
    --port)
      [ $# -ge 2 ] || { echo "run.sh: --port needs a path" >&2; exit 2; }
      simulate=0
      arguments+=(--port "$2")
      shift 2 ;;
    --converter) simulate=0; shift ;;
    --inspector) inspector=1; shift ;;
    *) arguments+=("$1"); shift ;;
  esac
done
# The program looks at its second positional argument for the inspector.
[ $inspector -eq 0 ] || arguments+=(tdx410 inspector)

if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != "offscreen" ]; then
  echo "No display to open the window on; run it under a virtual one: xvfb-run -a ./scripts/run.sh $*"
  exit 1
fi

if [ $simulate -eq 1 ]; then
  log=$PWD/build/release/simcu.log
  link=$PWD/build/release/simcu.port
  "$simulator" --link "$link" >"$log" 2>&1 &
  simulator_pid=$!
  trap 'kill "$simulator_pid" 2>/dev/null || true; wait "$simulator_pid" 2>/dev/null || true' EXIT
  trap 'exit 130' INT TERM HUP
  port=""
  for _ in $(seq 50); do
    # Its first line on the output is the pseudo-terminal's path.
    port=$(grep -m 1 '^/dev/' "$log" || true)
    [ -z "$port" ] || break
    sleep 0.1
  done
  [ -n "$port" ] || { echo "run.sh: the simulated control unit did not start; see $log" >&2; exit 1; }
  echo "Simulated control unit (process $simulator_pid) on $port, linked as $link;" \
    "its log (what the display publishes): $log"
  arguments=(--port "$link" "${arguments[@]}")
fi

status=0
"$program" "${arguments[@]}" || status=$?
exit $status
