#!/usr/bin/env bash
# korvane.exe under Wine on a virtual screen: finds the window, presses Go on
# the first page and checks that the result file is the expected one; then a
# double click on result.txt in the file list must open it in the viewer
# beside the program, when there is one.
#   window_go.sh WINE KORVANE_EXE EXPECTED_RESULT WORK_FOLDER
# WINEPREFIX and friends come from the caller.
set -euo pipefail
wine=$1 exe=$2 expected=$3 work=$4
fail() {
  echo "FAIL [window]: $*" >&2
  [ ! -s "$work/app.log" ] || tail -n 5 "$work/app.log" >&2
  exit 1
}

mkdir -p "$work"
here=$(cd "$(dirname "$0")" && pwd)
source "$here/xvfb.sh"
start_xvfb "$work" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"

# Started in an empty folder: the pickers show it, and a bare save name lands there.
mkdir -p "$work/run"
(cd "$work/run" && exec "$wine" "$exe") >"$work/app.log" 2>&1 &
app=$!
window=$(timeout 180 xdotool search --sync --onlyvisible --name '^Korvane $' 2>/dev/null | head -n 1) ||
  true
[ -n "$window" ] || fail "no window captioned \"Korvane \" appeared within 180 s"

# The focus starts in Edit4, where Enter is Go on the first page. A key that
# reaches the window before it takes the focus is lost: press again then
# (a second Go would only write the same file).
size=$(stat -c %s "$expected")
for attempt in 1 2 3; do
  xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window" || true
  xdotool key --clearmodifiers Return
  # Complete once it has the expected size (the completion dialog follows).
  for _ in $(seq 200); do
    [ -f "$work/run/result.txt" ] && [ "$(stat -c %s "$work/run/result.txt")" -ge "$size" ] && break 2
    sleep 0.1
  done
  [ ! -f "$work/run/result.txt" ] || break
  echo "window: no result.txt after Go (attempt $attempt)" >&2
done
[ -f "$work/run/result.txt" ] || fail "Go wrote no result.txt into the start folder"
for _ in $(seq 600); do
  [ "$(stat -c %s "$work/run/result.txt")" -ge "$size" ] && break
  sleep 0.1
done
cmp "$work/run/result.txt" "$expected" >&2 || fail "result.txt differs from $(basename "$expected")"
echo "ok   [window] Go wrote $(basename "$expected") byte for byte"

viewer=$(dirname "$exe")/korvane-view.exe
[ -f "$viewer" ] || fail "no korvane-view.exe beside $(basename "$exe")"
# The completion dialog is modal: its OK is the default button.
dialog=$(timeout 30 xdotool search --sync --onlyvisible --name '^FinishForm$' 2>/dev/null | head -n 1) ||
  fail "no completion dialog after Go"
xdotool windowactivate --sync "$dialog" 2>/dev/null || xdotool windowfocus --sync "$dialog" || true
xdotool key --clearmodifiers Return
for _ in $(seq 50); do
  xdotool search --onlyvisible --name '^FinishForm$' >/dev/null 2>&1 || break
  sleep 0.1
done
# result.txt is the only file of the start folder: the first line of the
# first page's file list, at (527, 265) on a page that starts at (4, 23).
eval "$(xdotool getwindowgeometry --shell "$window")"
for attempt in 1 2 3; do
  xdotool mousemove --sync $((X + 4 + 527 + 30)) $((Y + 23 + 265 + 8)) click --repeat 2 --delay 80 1
  opened=$(timeout 60 xdotool search --sync --onlyvisible --name '^result\.txt .* Korvane viewer$' \
    2>/dev/null | head -n 1) || true
  [ -z "$opened" ] || break
done
[ -n "$opened" ] || fail "a double click on result.txt opened no viewer window"
echo "ok   [window] a double click on result.txt opened it in korvane-view.exe"
