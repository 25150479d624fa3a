#!/usr/bin/env bash
# Makes the README's screenshots again: the main window, and the result viewer
# on a golden result file (zoomed in with the cursor's readout too) and on
# two runs compared. Runs the programs on a virtual display (xvfb-run,
# openbox, xdotool, ImageMagick). Full-size pictures of every step go to
# build/screenshots/, the copies in docs/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=$root/build/screenshots

if [ "${1:-}" != --on-display ]; then
  bash scripts/setup.sh
  for tool in xvfb-run openbox xdotool import convert; do
    command -v "$tool" >/dev/null || { echo "screenshots: $tool is missing" >&2; exit 1; }
  done
  cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build/release -j "$(nproc)" --target korvane korvane-view korvane-batch
  exec xvfb-run -a -s "-screen 0 1600x960x24" bash "$0" --on-display
fi

bin=$root/build/release/src
mkdir -p "$out" "$root/docs/screenshots"
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
export LANG=C.UTF-8 QT_QPA_PLATFORM=xcb

openbox >/dev/null 2>&1 &
pids+=($!)
sleep 1

# Waits for a window whose title contains $1 and prints its id.
window() {
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1) || true
    [ -n "$id" ] && { sleep 1.5; echo "$id"; return; }
    sleep 0.1
  done
  echo "screenshots: no window \"$1\"" >&2
  exit 1
}

shot() { import -window "$1" "$out/$2"; echo "$out/$2"; }

# Zooms the chart along the line in with the wheel around x, y of the window
# and leaves the cursor at x2, y2, where the readout shows the values.
zoom_and_read() {
  xdotool mousemove --window "$1" "$2" "$3"
  for _ in 1 2 3; do xdotool click 4; sleep 0.2; done
  xdotool mousemove --window "$1" "$4" "$5"
  sleep 1
}

# The viewer on the golden file with four zones: the profile, the table, then
# zone 3 and 4 zoomed in with the readout at the start of zone 4.
"$bin/viewer/korvane-view" tests/golden/layers7-four-zones.result &
pids+=($!)
id=$(window "layers7-four-zones.result")
xdotool windowmove "$id" 0 0 windowsize "$id" 1200 900
sleep 1
shot "$id" viewer-profile.png
xdotool windowactivate --sync "$id" key alt+z
sleep 0.5
shot "$id" viewer-zones.png
xdotool key alt+h
zoom_and_read "$id" 860 300 870 300
shot "$id" viewer-zoom-readout.png
kill "${pids[-1]}"

# Two runs compared: the window's defaults computed in memory, and the same
# plate at 100 layers and a tenth of the step; then zone 1's entry zoomed in.
sed -e 's/^\(Increment dz (cm) = \).*/\10.05/' -e 's/^\(Number of Layers = \).*/\1100/' \
  tests/golden/defaults.txt >"$work/fine-100-layers.txt"
"$bin/viewer/korvane-view" tests/golden/defaults.txt "$work/fine-100-layers.txt" &
pids+=($!)
id=$(window "compared with")
xdotool windowmove "$id" 0 0 windowsize "$id" 1200 900
sleep 1
shot "$id" viewer-compare.png
zoom_and_read "$id" 90 300 200 300
shot "$id" viewer-compare-zoom.png
kill "${pids[-1]}"

# The main window over a folder with result.txt; a double click on it opens
# the viewer in a process of its own.
mkdir "$work/runs"
cp tests/golden/layers7-four-zones.result "$work/runs/result.txt"
(cd "$work/runs" && exec "$bin/app/korvane") &
pids+=($!)
main=$(window "Korvane ")
xdotool windowmove "$main" 0 0
sleep 1
shot "$main" main-window.png
# FileListBox1: 527, 265 on the first page, which starts at 4, 23; its first line.
xdotool mousemove --window "$main" $((4 + 527 + 30)) $((23 + 265 + 8)) click --repeat 2 --delay 80 1
viewer=$(window "result.txt – Korvane viewer")
pids+=("$(xdotool getwindowpid "$viewer")")
xdotool windowmove "$viewer" 700 30 windowsize "$viewer" 900 900
sleep 1.5
import -window root "$out/open-from-main-window.png"
echo "$out/open-from-main-window.png"

# The copies in docs/: the README's small and few colours, the others at full size.
docs=$root/docs/screenshots
convert "$out/main-window.png" -colors 64 "PNG8:$docs/main-window.png"
convert "$out/viewer-profile.png" -resize 900x -colors 128 "PNG8:$docs/viewer.png"
convert "$out/viewer-zoom-readout.png" -resize 900x -colors 128 "PNG8:$docs/viewer-zoom-readout.png"
convert "$out/viewer-profile.png" -colors 256 "PNG8:$docs/viewer-along-line-and-profile.png"
convert "$out/viewer-zones.png" -colors 256 "PNG8:$docs/viewer-zone-table.png"
convert "$out/viewer-compare-zoom.png" -colors 256 "PNG8:$docs/viewer-two-runs.png"
ls -l "$root/docs/screenshots"
