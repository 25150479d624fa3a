#!/usr/bin/env bash
# Sets up, builds and starts Korvane: only what the Linux programs need (no
# Windows toolchain, no test libraries), in a build folder of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh run
cmake -S . -B build/app -G Ninja --log-level=WARNING -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKORVANE_TESTS=OFF -DKORVANE_BENCH=OFF
# The viewer and korvane-batch too: a double click in a file list opens the viewer.
cmake --build build/app -j "$(nproc)" --target korvane korvane-view korvane-batch
exec build/app/src/app/korvane "$@"
