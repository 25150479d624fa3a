#!/usr/bin/env bash
# Sets up, builds and runs every test: a normal build, the Windows programs
# under Wine against it, then the same suite under AddressSanitizer and
# UndefinedBehaviorSanitizer, then every fuzz target for a few seconds on its
# corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash scripts/setup.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/release -j "$jobs"
ctest --test-dir build/release --output-on-failure -j "$jobs"

# Cross-built with MinGW-w64; fails (never skips) when it cannot run.
bash tests/windows/run.sh build/release/src/batch/korvane-batch

cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKORVANE_SANITIZE=ON \
  -DKORVANE_BENCH=OFF -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g"
cmake --build build/sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1 \
LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0" \
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --test-dir build/sanitize --output-on-failure -j "$jobs"

# Fails on the first crash; the input is kept in build/fuzz/artifacts/.
FUZZ_BUILD_JOBS=$jobs bash scripts/fuzz.sh "${KORVANE_FUZZ_SECONDS:-15}"
