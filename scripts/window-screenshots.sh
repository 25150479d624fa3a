#!/usr/bin/env bash
# Makes the pictures of the viewer with a process window again: the cure
# oven (examples/heating.txt) against its window (examples/heating-window.json),
# the limits along the line and the Process window tab, then the same oven
# run faster, where two limits fail. Runs the viewer on a virtual display
# (xvfb-run, openbox, xdotool, ImageMagick). Full-size pictures go to
# build/screenshots/, the copies to docs/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=$root/build/screenshots

if [ "${1:-}" != --on-display ]; then
  for tool in xvfb-run openbox xdotool import convert; do
    command -v "$tool" >/dev/null || { echo "window-screenshots: $tool is missing" >&2; exit 1; }
  done
  cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build/release -j "$(nproc)" --target korvane-view korvane-batch
  exec xvfb-run -a -s "-screen 0 1600x960x24" bash "$0" --on-display
fi

view=$root/build/release/src/viewer/korvane-view
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
  echo "window-screenshots: no window \"$1\"" >&2
  exit 1
}

# The viewer on $2 with the cure window, 1200 x 900, as $1.
shoot() {
  "$view" --window examples/heating-window.json "$2" &
  pids+=($!)
  id=$(window "$(basename "$2")")
  xdotool windowmove "$id" 0 0 windowsize "$id" 1200 900
  sleep 1.5
  import -window "$id" "$out/$1"
  echo "$out/$1"
  kill "${pids[-1]}"
}

shoot viewer-window.png examples/heating.txt
# At 0.6 m/min the board is too short above 170 ℃ and leaves too warm.
sed 's/^\(Speed (m\/min) = \).*/\10.6/' examples/heating.txt >"$work/heating-0.6-m-per-min.txt"
shoot viewer-window-fail.png "$work/heating-0.6-m-per-min.txt"

docs=$root/docs/screenshots
convert "$out/viewer-window.png" -resize 900x -colors 128 "PNG8:$docs/viewer-window.png"
convert "$out/viewer-window-fail.png" -colors 256 "PNG8:$docs/viewer-window-fail.png"
ls -l "$docs"/viewer-window*.png
