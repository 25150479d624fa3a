#!/usr/bin/env bash
# Makes the pictures of the viewer with a measured profile again, without a
# display: the oven example (examples/oven.txt, the guesses) with its
# logger's profile (examples/oven-logger.csv, made from examples/oven-true.txt)
# before and after the Calibrate panel fits it, and the dialog that maps the
# logger's columns. They go to build/screenshots/ (or the folder given), their
# copies to docs/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build/screenshots}
mkdir -p "$out"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release -j "$(nproc)" --target measured_shots korvane-batch
# The panel finds korvane-batch beside the program or on the PATH.
PATH=$PWD/build/release/src/batch:$PATH LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen \
  build/release/tests/calibration/measured_shots examples/oven.txt examples/oven-logger.csv 37 "$out"
for shot in measured-before measured-calibrated measured-after measured-dialog; do
  convert "$out/$shot.png" -colors 256 "PNG8:docs/screenshots/$shot.png"
done
ls -l "$out"/measured-*.png docs/screenshots/measured-*.png
