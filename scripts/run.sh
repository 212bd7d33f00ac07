#!/usr/bin/env bash
# Installs what is missing, builds and runs the desktop program. Arguments are passed to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
./scripts/build.sh build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo
program=build/release/SourceHost/application/tdx410
if [ ! -x "$program" ]; then
  echo "Everything that exists so far is built, but the desktop program (the emulator window) is not built yet."
  exit 0
fi
exec "$program" "$@"
