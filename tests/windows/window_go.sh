#!/usr/bin/env bash
# korvane.exe under Wine on a virtual screen: finds the window, presses Go on
# the first page and checks that the result file is the expected one.
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
# Xvfb picks a free display itself and writes its number to fd 3.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
app=
finish() {
  [ -z "$app" ] || kill "$app" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  wait 2>/dev/null || true
}
trap finish EXIT
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=:$(cat "$work/display")

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
