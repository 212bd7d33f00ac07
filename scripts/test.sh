#!/usr/bin/env bash
# Installs what is missing, builds, runs every test; then builds the tests again with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs them again. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
jobs=$(nproc 2>/dev/null || echo 2)

echo "== Build (release with debug information)"
./scripts/build.sh build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTDX_WERROR=ON
echo "== Tests"
ctest --test-dir build/release --output-on-failure --parallel "$jobs" --timeout 300

echo "== Build (AddressSanitizer + UndefinedBehaviorSanitizer)"
./scripts/build.sh build/asan -DCMAKE_BUILD_TYPE=Debug -DTDX_WERROR=ON -DTDX_SANITIZE=ON -DTDX_BUILD_BENCH=OFF
echo "== Tests under the sanitizers"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build/asan --output-on-failure --parallel "$jobs" --timeout 600
