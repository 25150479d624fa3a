#!/usr/bin/env bash
# Sets up, builds and starts Korvane.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/release -j "$(nproc)" --target korvane
exec build/release/src/app/korvane "$@"
