#!/usr/bin/env bash
# Sets up, checks the formatting, builds and runs every test: a normal build
# and its Debian package, the Windows programs and their installer under Wine
# against it, then the same suite under
# AddressSanitizer and UndefinedBehaviorSanitizer, then every fuzz target for
# a few seconds on its corpus. The builds are the presets of CMakePresets.json,
# warnings as errors.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh test

jobs=$(nproc)

mapfile -t sources < <(find src tests fuzz bench -name '*.cpp' -o -name '*.h' | sort)
if ! clang-format --dry-run --Werror "${sources[@]}"; then
  echo "test: the files above differ from .clang-format's style; run clang-format -i on them" >&2
  exit 1
fi

cmake --preset release
cmake --build --preset release -j "$jobs"
ctest --preset release -j "$jobs"

# The Debian package of that build: lintian, the desktop entries, Depends.
bash tests/package/deb.sh

# Cross-built with MinGW-w64; fails (never skips) when it cannot run.
bash tests/windows/run.sh build/release/src/batch/korvane-batch

cmake --preset sanitize
cmake --build --preset sanitize -j "$jobs"
ctest --preset sanitize -j "$jobs"

# Fails on the first crash; the input is kept in build/fuzz/artifacts/.
FUZZ_BUILD_JOBS=$jobs bash scripts/fuzz.sh "${KORVANE_FUZZ_SECONDS:-15}"
