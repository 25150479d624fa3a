#!/usr/bin/env bash
# Makes the picture of the viewer's Optimise panel again, without a display:
# the heating example (examples/heating.txt) and its recipe window
# (examples/heating-recipe.json), the fastest speed with the speed and the
# first two zones' face-1 outer temperatures free. It goes to
# build/screenshots/ (or the folder given), its copy to docs/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build/screenshots}
mkdir -p "$out"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release -j "$(nproc)" --target optimise_shots korvane-batch
# The panel finds korvane-batch beside the program or on the PATH.
PATH=$PWD/build/release/src/batch:$PATH LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen \
  build/release/tests/recipe/optimise_shots examples/heating.txt examples/heating-recipe.json "$out"
convert "$out/viewer-optimise.png" -colors 256 "PNG8:docs/screenshots/viewer-optimise.png"
ls -l "$out/viewer-optimise.png" docs/screenshots/viewer-optimise.png
