#!/usr/bin/env bash
# Builds the gallery program and draws its pictures as PNG files for a person to open:
#   ./scripts/gallery.sh [BUILD_FOLDER] [PICTURE...]     (default build/release; pictures in BUILD/gallery)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
shift || true
if [ ! -f "$build/CMakeCache.txt" ]; then
    ./scripts/build.sh "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" --target gallery
"$build/tests/gallery/gallery" "$build/gallery" "$@"
