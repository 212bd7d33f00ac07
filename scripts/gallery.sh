#!/usr/bin/env bash
# Builds the gallery program and draws its pictures as PNG files for a person to open:
#   ./scripts/gallery.sh [BUILD_FOLDER] [PICTURE...]     (default build/release; pictures in BUILD/gallery)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
shift || true
if [ ! -f "$build/CMakeCache.txt" ]; then
    if [ "$build" = build/release ]; then
        ./scripts/configure-release.sh
    else
        cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    fi
fi
cmake --build "$build" --target gallery
"$build/tests/gallery/gallery" "$build/gallery" "$@"
