#!/usr/bin/env bash
# Configures build/release, the one build folder that run.sh, test.sh and gallery.sh share. They all configure
# it here with the same settings, so that whichever runs first, the others reuse its build instead of compiling
# everything again for a changed flag. Line tables only: enough for every backtrace and sanitizer report, where
# full debug information would be a third of the compiling.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG" -DTDX_WERROR=ON "$@" >/dev/null
