#!/usr/bin/env bash
# korvane-view.exe under Wine on a virtual screen: its window names the file it
# shows, and a What-if sweep from it runs its korvane-batch.exe workers, whose
# trials fill the chart.
#   viewer_window.sh WINE KORVANE_VIEW_EXE GOLDEN_FOLDER WORK_FOLDER
# WINEPREFIX and friends come from the caller.
set -euo pipefail
wine=$1 exe=$(realpath "$2") golden=$3 work=$4
here=$(cd "$(dirname "$0")" && pwd)
fail() {
  echo "FAIL [viewer window]: $*" >&2
  [ ! -s "$work/app.log" ] || tail -n 5 "$work/app.log" >&2
  exit 1
}
mkdir -p "$work"
cp "$golden/defaults.txt" "$work/"
source "$here/xvfb.sh"
start_xvfb "$work" 1280x1024x24 || fail "Xvfb did not start: $(cat "$work/xvfb.log")"

(cd "$work" && exec "$wine" "$exe" defaults.txt) >"$work/app.log" 2>&1 &
app=$!
window=$(timeout 180 xdotool search --sync --onlyvisible --name '^defaults\.txt .* Korvane viewer$' \
  2>/dev/null | head -n 1) || true
[ -n "$window" ] || fail "no window named after defaults.txt appeared within 180 s"
echo "ok   [viewer window] the window names its file"

# The first metric's colour in the What-if chart; before the sweep there is none.
sweep_pixels() {
  import -window "$window" "$work/whatif.png" 2>/dev/null
  convert "$work/whatif.png" -format %c histogram:info:- |
    awk 'toupper($0) ~ /#C82828/ { n += $1 } END { print n + 0 }'
}
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window" || true
xdotool key --clearmodifiers alt+i
sleep 2
before=$(sweep_pixels)
xdotool key --clearmodifiers alt+r
after=0
for _ in $(seq 60); do
  sleep 1
  after=$(sweep_pixels)
  [ "$after" -ge $((before + 400)) ] && break
done
cp "$work/whatif.png" "$work/../viewer-whatif-under-wine.png" 2>/dev/null || true
[ "$after" -ge $((before + 400)) ] ||
  fail "the What-if chart did not fill ($before then $after pixels of its curve's colour)"
echo "ok   [viewer window] a What-if sweep ran its korvane-batch.exe workers and filled the chart"
kill "$app" 2>/dev/null || true
