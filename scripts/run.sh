#!/usr/bin/env bash
# Installs what is missing, builds everything and starts the desktop program in its emulator window.
#
#   ./scripts/run.sh [--port PATH | --converter] [--inspector] [arguments for the program...]
#
# Without --port or --converter the simulated control unit runs on a pseudo-terminal with its default
# installation, the window is connected to it, and the simulator stops when the window closes. --port PATH
# names the port of a real network; --converter lets the program search for the converter itself, as on a
# real installation. --inspector opens the inspector window. Other arguments go to the program unchanged.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
./scripts/build.sh build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo
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
  output=$(mktemp)
  "$simulator" --quiet >"$output" 2>/dev/null &
  simulator_pid=$!
  trap 'kill "$simulator_pid" 2>/dev/null || true; wait "$simulator_pid" 2>/dev/null || true; rm -f "$output"' EXIT
  trap 'exit 130' INT TERM HUP
  port=""
  for _ in $(seq 50); do
    port=$(head -n 1 "$output")
    [ -z "$port" ] || break
    sleep 0.1
  done
  [ -n "$port" ] || { echo "run.sh: the simulated control unit did not start" >&2; exit 1; }
  echo "Simulated control unit on $port"
  arguments=(--port "$port" "${arguments[@]}")
fi

status=0
"$program" "${arguments[@]}" || status=$?
exit $status
