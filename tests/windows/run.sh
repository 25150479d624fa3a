#!/usr/bin/env bash
# The Windows programs under Wine, held to the Linux build: korvane-batch.exe
# on the golden data, a run of the largest size and the faults that exist on
# Windows too, each compared with korvane-batch (exit code, messages, every
# file left behind); the installer, installed, run and uninstalled; then
# korvane.exe on a virtual screen, where Go must write the golden defaults.
#   run.sh LINUX_KORVANE_BATCH
# Fails, saying why, when any part cannot run.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
here=$root/tests/windows
die() {
  echo "windows stage: $*" >&2
  exit 1
}
[ $# -eq 1 ] && [ -x "$1" ] || die "usage: run.sh LINUX_KORVANE_BATCH"
linux_batch=$(realpath "$1")

wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
[ -x "$wine" ] || die "Wine is missing ($wine); scripts/setup.sh installs it"
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || die "$tool is missing; scripts/setup.sh installs it"
done

stage_start=$(date +%s)
mkdir -p "$root/build"
bash "$root/scripts/build-windows.sh" >"$root/build/windows-build.log" 2>&1 ||
  { tail -n 30 "$root/build/windows-build.log" >&2; die "the Windows build failed"; }
bin=$root/build/windows/bin

# A prefix of the stage's own; no Mono or Gecko (nothing may be downloaded),
# and no menu entries or file types of the host made from it.
export WINEPREFIX=$root/build/windows/wineprefix
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" LC_ALL=C
unset DISPLAY
work=$(mktemp -d)
cleanup() {
  "$wineserver" -k 2>/dev/null || true
  [ -n "${KEEP_WORK:-}" ] || rm -rf "$work"
}
trap cleanup EXIT
"$wine" wineboot --init >"$work/wineboot.log" 2>&1 ||
  { cat "$work/wineboot.log" >&2; die "Wine cannot set up its prefix"; }

source "$here/batch_cases.sh"

failures=0
# Variables both tools run with (a case may set them).
side_env=()
# same_as_linux CASE ARG...: runs both tools in copies of $work/CASE/in and
# compares what they did; file names are relative, so the messages match.
same_as_linux() {
  local name=$1
  shift
  local dir=$work/$name
  local side
  for side in linux windows; do
    mkdir -p "$dir/in"
    cp -a "$dir/in" "$dir/$side"
  done
  (cd "$dir/linux" && exec env "${side_env[@]}" "$linux_batch" "$@") >"$dir/linux.out" 2>"$dir/linux.err" &&
    echo 0 >"$dir/linux.rc" || echo $? >"$dir/linux.rc"
  (cd "$dir/windows" && exec env "${side_env[@]}" "$wine" "$bin/korvane-batch.exe" "$@") >"$dir/windows.raw-out" \
    2>"$dir/windows.raw-err" && echo 0 >"$dir/windows.rc" || echo $? >"$dir/windows.rc"
  # The console ends Windows lines with CR LF.
  tr -d '\r' <"$dir/windows.raw-out" >"$dir/windows.out"
  tr -d '\r' <"$dir/windows.raw-err" >"$dir/windows.err"
  local problem=
  cmp -s "$dir/linux.rc" "$dir/windows.rc" ||
    problem="exit code $(cat "$dir/windows.rc"), Linux $(cat "$dir/linux.rc")"
  cmp -s "$dir/linux.err" "$dir/windows.err" || problem="$problem; messages differ"
  cmp -s "$dir/linux.out" "$dir/windows.out" || problem="$problem; output differs"
  diff -r "$dir/linux" "$dir/windows" >"$dir/files.diff" 2>&1 || problem="$problem; files differ"
  if [ -n "$problem" ]; then
    echo "FAIL [$name]: ${problem#; }" >&2
    diff "$dir/linux.err" "$dir/windows.err" | head -n 10 >&2 || true
    head -n 10 "$dir/files.diff" >&2
    failures=$((failures + 1))
  else
    echo "ok   [$name] exit $(cat "$dir/linux.rc")"
  fi
}

start=$(date +%s)
run_batch_cases
echo "windows stage: batch cases took $(($(date +%s) - start)) s"

# The installer of the same programs, installed and uninstalled silently.
start=$(date +%s)
bash "$here/installer.sh" "$wine" "$bin" "$work/installer" || failures=$((failures + 1))
echo "windows stage: installer took $(($(date +%s) - start)) s"

# Wine's desktop process lives as long as its server; one started by the batch
# runs has no display, so the window run starts with a fresh server.
"$wineserver" -k 2>/dev/null || true
"$wineserver" -w 2>/dev/null || true
start=$(date +%s)
bash "$here/window_go.sh" "$wine" "$bin/korvane.exe" "$root/tests/golden/defaults.result" "$work/gui" ||
  failures=$((failures + 1))
echo "windows stage: window run took $(($(date +%s) - start)) s"

# The viewer: its export needs no display; its window and its What-if workers.
start=$(date +%s)
"$wineserver" -k 2>/dev/null || true
"$wineserver" -w 2>/dev/null || true
bash "$here/viewer_export.sh" "$wine" "$bin/korvane-view.exe" "$root/tests/golden" "$work/export" ||
  failures=$((failures + 1))
"$wineserver" -k 2>/dev/null || true
"$wineserver" -w 2>/dev/null || true
bash "$here/viewer_window.sh" "$wine" "$bin/korvane-view.exe" "$root/tests/golden" "$work/viewer" ||
  failures=$((failures + 1))
echo "windows stage: viewer took $(($(date +%s) - start)) s"

[ "$failures" -eq 0 ] || die "$failures Windows case(s) failed"
echo "windows stage: korvane-batch.exe, korvane.exe and korvane-view.exe agree with the Linux build" \
  "($(($(date +%s) - stage_start)) s)"
