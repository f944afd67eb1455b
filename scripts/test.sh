#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite:
#   1. the normal build and every test;
#   2. the Qt-free engine tests again under AddressSanitizer + UndefinedBehaviorSanitizer;
#   3. the threaded tests under ThreadSanitizer;
#   4. the fuzz targets: a short libFuzzer run each with clang (FUZZ_SECONDS, default 20),
#      their seed corpora otherwise (those run in step 1 as ordinary tests).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/bootstrap.sh
source scripts/build_flags.sh

jobs=$(nproc)
# Each stage's heading says how long the run has taken so far.
stage() { echo "== $1 (at ${SECONDS} s)"; }
generator=(-G Ninja)

stage "build"
cmake -S . -B build "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${optimized_flags[@]}" >/dev/null
cmake --build build -j"$jobs"
stage "tests"
(cd build && ctest --output-on-failure -j"$jobs" --timeout 600)

stage "address + undefined sanitizers (engine tests)"
cmake -S . -B build-asan "${generator[@]}" -DCMAKE_BUILD_TYPE=Debug "${debug_flags[@]}" -DMORVANE_SANITIZE=ON \
      -DMORVANE_GUI=OFF -DMORVANE_BENCH=OFF >/dev/null
cmake --build build-asan -j"$jobs" --target engine-tests
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j"$jobs" -L engine --timeout 900)

stage "thread sanitizer (threaded tests)"
cmake -S . -B build-tsan "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${tsan_flags[@]}" -DMORVANE_TSAN=ON \
      -DMORVANE_GUI=OFF -DMORVANE_BENCH=OFF >/dev/null
cmake --build build-tsan -j"$jobs" --target threaded-tests
(cd build-tsan && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure -j"$jobs" -L threads --timeout 900)

if command -v clang++ >/dev/null 2>&1; then
  stage "fuzzing (libFuzzer, ${FUZZ_SECONDS:-20} s per target)"
  cmake -S . -B build-fuzz "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${optimized_flags[@]}" \
        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DFUZZ=ON \
        -DMORVANE_TESTS=OFF -DMORVANE_GUI=OFF -DMORVANE_BENCH=OFF >/dev/null
  cmake --build build-fuzz -j"$jobs" --target fuzzers
  bash tests/fuzz/run_fuzzers.sh build-fuzz "${FUZZ_SECONDS:-20}"
else
  stage "fuzzing skipped: no clang; the seed corpora ran with the tests"
fi
stage "done"
