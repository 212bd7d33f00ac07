#!/usr/bin/env bash
# Installs what is missing, builds, runs every test; then builds the tests again with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs them again. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
jobs=$(nproc 2>/dev/null || echo 2)
# Line tables only: enough for every backtrace and sanitizer report of a test run, where full debug information
# would be a third of the compiling.
lines_release="-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG"
lines_debug="-DCMAKE_CXX_FLAGS_DEBUG=-g1"

echo "== Build (release with debug information)"
# Configured as run.sh and gallery.sh configure it, so that a build one of them made is reused here.
./scripts/configure-release.sh
cmake --build build/release --parallel "$jobs"
echo "== Tests"
ctest --test-dir build/release --output-on-failure --parallel "$jobs" --timeout 300

# Tests must not lean on what an earlier test left behind in the process: each program runs once more with its
# tests in an order of their own. TDX_SHUFFLE_SEED repeats an order that failed.
seed="${TDX_SHUFFLE_SEED:-$(((RANDOM * 32768 + RANDOM) % 99999 + 1))}"
echo "== Tests again, shuffled within each program (seed $seed)"
mapfile -t programs < <(find build/release/tests -type f -executable -name 'test_*' | sort)
shuffle_failed=0
for program in "${programs[@]}"; do
    if ! (cd "$(dirname "$program")" &&
          timeout 600 "./$(basename "$program")" --gtest_shuffle --gtest_random_seed="$seed" --gtest_brief=1); then
        echo "shuffled: $program failed; TDX_SHUFFLE_SEED=$seed repeats its order"
        shuffle_failed=1
    fi
done
[ "$shuffle_failed" = 0 ]

echo "== Build (AddressSanitizer + UndefinedBehaviorSanitizer)"
./scripts/build.sh build/asan -DCMAKE_BUILD_TYPE=Debug "$lines_debug" -DTDX_WERROR=ON -DTDX_SANITIZE=ON \
    -DTDX_BUILD_BENCH=OFF
echo "== Tests under the sanitizers"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build/asan --output-on-failure --parallel "$jobs" --timeout 600

echo "== The host core's and the inspector's threads under ThreadSanitizer"
cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$lines_release" -DTDX_WERROR=ON \
    -DTDX_BUILD_BENCH=OFF -DCMAKE_CXX_FLAGS=-fsanitize=thread -DCMAKE_C_FLAGS=-fsanitize=thread \
    -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread >/dev/null
cmake --build build/tsan --parallel "$jobs" --target test_host_core test_inspector_model test_gui_i18n
TSAN_OPTIONS=halt_on_error=1 build/tsan/tests/SourceHost/host/test_host_core --gtest_brief=1
TSAN_OPTIONS=halt_on_error=1 build/tsan/tests/SourceHost/inspector/test_inspector_model --gtest_brief=1
# The window thread translates its captions while the application's thread may switch the language.
(cd build/tsan/tests/SourceApp/gui/i18n &&
    TSAN_OPTIONS=halt_on_error=1 ./test_gui_i18n --gtest_brief=1 --gtest_filter='I18nTest.*')

if command -v clang++ >/dev/null 2>&1; then
    echo "== Fuzz targets (clang, libFuzzer, sanitizers, coverage throughout): a few seconds on each corpus"
    cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$lines_release" \
        -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DTDX_WERROR=ON -DTDX_SANITIZE=ON -DTDX_BUILD_BENCH=OFF \
        >/dev/null
    mapfile -t fuzzers < <(ninja -C build/fuzz -t targets all | sed -n 's/^\(fuzz_[A-Za-z0-9_]*\): .*/\1/p' | sort -u)
    if [ ${#fuzzers[@]} -gt 0 ]; then
        cmake --build build/fuzz --parallel "$jobs" --target "${fuzzers[@]}"
        ctest --test-dir build/fuzz --output-on-failure --parallel "$jobs" -R '^fuzz_'
    fi
fi
