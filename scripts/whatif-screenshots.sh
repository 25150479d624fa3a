#!/usr/bin/env bash
# Makes the pictures of the viewer's What-if tab again, on the window's
# defaults (examples/defaults.txt), without a display. They go to
# build/screenshots/ (or the folder given), the sweep's copy to docs/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build/screenshots}
mkdir -p "$out"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release -j "$(nproc)" --target whatif_shots korvane-batch
# The panel finds korvane-batch beside the program or on the PATH.
PATH=$PWD/build/release/src/batch:$PATH LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen \
  build/release/tests/whatif/whatif_shots examples/defaults.txt "$out"
convert "$out/whatif-sweep.png" -colors 256 "PNG8:docs/screenshots/whatif-speed-sweep.png"
ls -l "$out"/whatif-*.png docs/screenshots/whatif-speed-sweep.png
